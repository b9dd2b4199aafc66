#include "app/framework/MessageQueue.h"

#include <utility>

CMessageQueue& CMessageQueue::Process()
{
    static CMessageQueue queue;
    return queue;
}

void CMessageQueue::Post(WindowId window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                         std::any payload)
{
    std::function<void()> wake;
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(CPostedMessage{window, message, wParam, lParam, std::move(payload)});
        wake = m_wakeHandler;
    }
    m_posted.notify_all();
    if (wake)
        wake();
}

bool CMessageQueue::TryTake(CPostedMessage& message)
{
    std::lock_guard lock(m_mutex);
    if (m_messages.empty())
        return false;
    message = std::move(m_messages.front());
    m_messages.pop_front();
    return true;
}

std::vector<CPostedMessage> CMessageQueue::TakeAll()
{
    std::lock_guard lock(m_mutex);
    std::vector<CPostedMessage> messages(std::make_move_iterator(m_messages.begin()),
                                         std::make_move_iterator(m_messages.end()));
    m_messages.clear();
    return messages;
}

bool CMessageQueue::WaitAndTake(CPostedMessage& message, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    if (!m_posted.wait_for(lock, timeout, [this] { return !m_messages.empty(); }))
        return false;
    message = std::move(m_messages.front());
    m_messages.pop_front();
    return true;
}

std::size_t CMessageQueue::Size() const
{
    std::lock_guard lock(m_mutex);
    return m_messages.size();
}

void CMessageQueue::SetWakeHandler(std::function<void()> handler)
{
    std::lock_guard lock(m_mutex);
    m_wakeHandler = std::move(handler);
}
