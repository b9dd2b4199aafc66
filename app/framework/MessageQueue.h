#pragma once

#include <any>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

// Workers never touch windows: they post (window, message, parameters, payload) here and the
// user-interface thread drains the queue and hands each message to its window. This is the piece
// of the framework layer that the workers need; the rest (documents, views, command routing) is
// built around it.

// A window as the framework names it to workers: a number, never a pointer, so that a message
// for a window destroyed in the meantime is recognised and dropped by the receiver, not used.
using WindowId = std::uint64_t;
inline constexpr WindowId kNoWindow = 0;

// Message numbers, kept as the program has always numbered them.
inline constexpr unsigned WM_USER = 1024;
// Folder and project comparison items (the item travels in the second parameter).
inline constexpr unsigned WM_ITEM_EXPAND = WM_USER + 40;
inline constexpr unsigned WM_ITEM_REMOVE = WM_USER + 41;
inline constexpr unsigned WM_ITEM_REFRESH = WM_USER + 42;
inline constexpr unsigned WM_ITEM_RECOMPARE = WM_USER + 43;
inline constexpr unsigned WM_ITEM_REBUILD_CHILDREN = WM_USER + 44;
inline constexpr unsigned WM_ITEM_INSERT_CHILDREN = WM_USER + 45;
inline constexpr unsigned WM_ITEM_REINSERT_ALL = WM_USER + 46;
// A binary comparison thread has finished.
inline constexpr unsigned WM_BINARY_COMPARE_DONE = WM_USER + 50;
// A watched file was written by somebody else; the payload is the watched path (std::string).
inline constexpr unsigned WM_FILE_CHANGED = WM_USER + 421;

struct CPostedMessage
{
    WindowId m_window = kNoWindow;
    unsigned m_nMessage = 0;
    std::uintptr_t m_wParam = 0;
    std::intptr_t m_lParam = 0;
    // Data the message owns, so that it stays valid however long the message waits (a path
    // travels as a std::string copy, never as a pointer into the sender's state).
    std::any m_payload;
};

// A thread-safe first-in first-out queue of posted messages. Any thread posts; the
// user-interface thread takes. The toolkit side installs a wake handler that schedules a drain
// on its own event loop (a queued call); tests take messages directly.
class CMessageQueue
{
public:
    CMessageQueue() = default;
    CMessageQueue(const CMessageQueue&) = delete;
    CMessageQueue& operator=(const CMessageQueue&) = delete;

    // The queue that the running program's workers post to.
    static CMessageQueue& Process();

    // Never blocks on the receiver. The wake handler runs after the message is queued, on the
    // posting thread and outside the queue's lock.
    void Post(WindowId window, unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0,
              std::any payload = {});

    // Takes the oldest message; false when the queue is empty.
    bool TryTake(CPostedMessage& message);
    // Takes every queued message, oldest first.
    std::vector<CPostedMessage> TakeAll();
    // Waits up to `timeout` for a message and takes it; false when none came.
    bool WaitAndTake(CPostedMessage& message, std::chrono::milliseconds timeout);

    std::size_t Size() const;

    // Called after every Post (may be empty). Set it before workers start posting.
    void SetWakeHandler(std::function<void()> handler);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<CPostedMessage> m_messages;
    std::function<void()> m_wakeHandler;
};
