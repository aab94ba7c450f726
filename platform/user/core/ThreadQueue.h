// ThreadQueue.h: the message queue of one thread: posted and input messages
// and queued work in arrival order, messages sent from other threads, the quit
// request, and the keyboard state as the thread took its input.
#pragma once

#include "platform/user/Messages.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>

namespace platform {
namespace user {

class ThreadQueue;

// One entry of a thread's queue.
struct QueueEntry {
    enum Kind { Posted, Input, Task };
    Kind kind = Posted;
    MSG msg{};
    // Input: the key or button whose state changes for the thread when the
    // message is taken (0: none), its left/right-specific key, and the change.
    BYTE stateKey = 0;
    BYTE stateKeySpecific = 0;
    bool stateDown = false;
    // Task: work done on the thread when the queue reaches it.
    std::function<void()> task;
};

// A message sent from another thread; the sender waits for `done`.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;
    std::shared_ptr<ThreadQueue> replyTo;
};

// Every member is guarded by the window manager's lock; `wake` waits on it.
class ThreadQueue {
public:
    explicit ThreadQueue(DWORD id) : threadId(id) {}

    DWORD threadId;
    bool alive = true;
    std::deque<QueueEntry> entries;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quitPosted = false;
    int quitCode = 0;
    BYTE keyState[256] = {};
    std::condition_variable wake;

    // Marks every waiting sender done with a result of 0 (the thread ended or
    // the layer was reset).
    void abandonSent();
};

} // namespace user
} // namespace platform
