#include "app/framework/MessageQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace
{

TEST(MessageQueueTest, MessagesComeOutInOrderWithTheirParametersAndPayload)
{
    CMessageQueue queue;
    CPostedMessage message;
    EXPECT_FALSE(queue.TryTake(message));

    queue.Post(7, WM_FILE_CHANGED, 0, 0, std::string("/work/a.txt"));
    queue.Post(8, WM_ITEM_REFRESH, 2, 1234);
    EXPECT_EQ(queue.Size(), 2u);

    ASSERT_TRUE(queue.TryTake(message));
    EXPECT_EQ(message.m_window, 7u);
    EXPECT_EQ(message.m_nMessage, 1445u);
    ASSERT_NE(std::any_cast<std::string>(&message.m_payload), nullptr);
    EXPECT_EQ(std::any_cast<std::string>(message.m_payload), "/work/a.txt");

    const auto rest = queue.TakeAll();
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].m_window, 8u);
    EXPECT_EQ(rest[0].m_nMessage, 1066u);
    EXPECT_EQ(rest[0].m_wParam, 2u);
    EXPECT_EQ(rest[0].m_lParam, 1234);
    EXPECT_FALSE(rest[0].m_payload.has_value());
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_FALSE(queue.WaitAndTake(message, std::chrono::milliseconds(0)));
}

TEST(MessageQueueTest, MessageNumbersKeepTheirValues)
{
    EXPECT_EQ(WM_USER, 1024u);
    EXPECT_EQ(WM_ITEM_EXPAND, 1064u);
    EXPECT_EQ(WM_ITEM_REINSERT_ALL, 1070u);
    EXPECT_EQ(WM_BINARY_COMPARE_DONE, 1074u);
    EXPECT_EQ(WM_FILE_CHANGED, 1445u);
}

TEST(MessageQueueTest, ThePayloadOutlivesWhatItWasCopiedFrom)
{
    CMessageQueue queue;
    {
        std::string path = "/a/path/that/goes/away";
        queue.Post(1, WM_FILE_CHANGED, 0, 0, path);
        path.assign(path.size(), 'x');
    }
    CPostedMessage message;
    ASSERT_TRUE(queue.TryTake(message));
    EXPECT_EQ(std::any_cast<std::string>(message.m_payload), "/a/path/that/goes/away");
}

TEST(MessageQueueTest, TheWakeHandlerRunsAfterEachPostOutsideTheLock)
{
    CMessageQueue queue;
    std::vector<std::size_t> sizesSeen;
    // The handler uses the queue itself: a handler called under the lock would deadlock here.
    queue.SetWakeHandler([&] { sizesSeen.push_back(queue.Size()); });
    queue.Post(1, WM_USER);
    queue.Post(1, WM_USER + 1);
    EXPECT_EQ(sizesSeen, (std::vector<std::size_t>{1, 2}));
    queue.SetWakeHandler({});
    queue.Post(1, WM_USER + 2);
    EXPECT_EQ(sizesSeen.size(), 2u);
}

TEST(MessageQueueTest, ManyWorkersPostAndEveryMessageArrivesInEachWorkersOrder)
{
    constexpr int kWorkers = 4;
    constexpr int kEach = 2000;
    CMessageQueue queue;
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w)
        workers.emplace_back(
            [&queue, w]
            {
                for (int i = 0; i < kEach; ++i)
                    queue.Post(static_cast<WindowId>(w + 1), WM_USER, static_cast<std::uintptr_t>(i));
            });

    std::vector<int> next(kWorkers, 0);
    int received = 0;
    bool inOrder = true;
    while (inOrder && received < kWorkers * kEach)
    {
        CPostedMessage message;
        if (!queue.WaitAndTake(message, std::chrono::seconds(60)))
            break;
        const auto w = static_cast<std::size_t>(message.m_window - 1);
        inOrder = w < next.size() && message.m_wParam == static_cast<std::uintptr_t>(next[w]);
        if (inOrder)
            ++next[w];
        ++received;
    }
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(received, kWorkers * kEach);
    EXPECT_EQ(queue.Size(), 0u);
}

} // namespace
