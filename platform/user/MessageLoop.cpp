// MessageLoop.cpp: posting, sending, taking and dispatching messages, and the
// window timers.
#include "platform/kernel/Clock.h"
#include "platform/user/Input.h"
#include "platform/user/Messages.h"
#include "platform/user/Window.h"
#include "platform/user/core/WindowManager.h"

#include <algorithm>

using platform::user::QueueEntry;
using platform::user::TimerRecord;
using platform::user::WindowManager;
using platform::user::wm;
using platform::user::WindowRecord;

namespace {

// Timers may not run faster than this, as on the system the engine was made for.
constexpr UINT kMinimumTimerInterval = 10;

// MSG.lPrivate: the backend types the key's printable character itself.
constexpr DWORD kLoopTextFollows = 1;

QueueEntry postedEntry(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    QueueEntry e;
    e.kind = QueueEntry::Posted;
    e.msg.hwnd = hwnd;
    e.msg.message = message;
    e.msg.wParam = wParam;
    e.msg.lParam = lParam;
    e.msg.time = platform::clock().tickCount();
    e.msg.pt = wm().pointer;
    return e;
}

} // namespace

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    std::shared_ptr<platform::user::ThreadQueue> queue;
    if (!hwnd) {
        queue = wm().currentQueue();
    } else {
        WindowRecord* w = wm().find(hwnd);
        if (!w)
            return FALSE;
        queue = w->queue;
    }
    if (!queue || !queue->alive)
        return FALSE;
    wm().post(queue, postedEntry(hwnd, message, wParam, lParam));
    return TRUE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    auto queue = threadId == GetCurrentThreadId() ? wm().currentQueue() : wm().queueOfThread(threadId);
    if (!queue || !queue->alive)
        return FALSE;
    wm().post(queue, postedEntry(nullptr, message, wParam, lParam));
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    auto queue = wm().currentQueue();
    queue->quitPosted = true;
    queue->quitCode = exitCode;
    queue->wake.notify_all();
}

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return wm().send(hwnd, message, wParam, lParam);
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (!msg)
        return -1;
    wm().takeMessage(msg, hwnd, filterMin, filterMax, PM_REMOVE, true);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!msg)
        return FALSE;
    return wm().takeMessage(msg, hwnd, filterMin, filterMax, removeFlags, false) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg)
        return FALSE;
    UINT m = msg->message;
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP)
        return FALSE;
    if (m == WM_KEYUP || m == WM_SYSKEYUP)
        return TRUE;
    BYTE state[256];
    GetKeyboardState(state);
    WORD ch = 0;
    if (ToAscii(UINT(msg->wParam), (HIWORD(msg->lParam) & 0xFF), state, &ch, 0) != 1)
        return TRUE;
    // A printable character the backend types itself would arrive twice.
    if ((msg->lPrivate & kLoopTextFollows) && ch >= 32 && ch != 127)
        return TRUE;
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(msg->hwnd);
    if (!w)
        return TRUE;
    QueueEntry e = postedEntry(msg->hwnd, m == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR, ch, msg->lParam);
    // The character is the next message the thread takes.
    auto queue = w->queue;
    if (queue && queue->alive) {
        queue->entries.push_front(std::move(e));
        queue->wake.notify_all();
    }
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        TIMERPROC proc = (TIMERPROC)msg->lParam;
        {
            // Only a procedure given to SetTimer is called.
            std::lock_guard<std::mutex> lock(wm().mutex);
            auto& procs = wm().timerProcs;
            if (std::find(procs.begin(), procs.end(), proc) == procs.end())
                return 0;
        }
        proc(msg->hwnd, WM_TIMER, UINT_PTR(msg->wParam), GetTickCount());
        return 0;
    }
    if (!msg->hwnd)
        return 0;
    WNDPROC proc;
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        WindowRecord* w = wm().find(msg->hwnd);
        if (!w || w->threadId != GetCurrentThreadId() || !w->proc)
            return 0;
        proc = w->proc;
    }
    return proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowManager& m = wm();
    std::shared_ptr<platform::user::ThreadQueue> queue;
    if (hwnd) {
        WindowRecord* w = m.find(hwnd);
        if (!w)
            return 0;
        queue = w->queue;
    } else {
        queue = m.currentQueue();
    }
    elapse = std::max(elapse, kMinimumTimerInterval);
    if (proc && std::find(m.timerProcs.begin(), m.timerProcs.end(), proc) == m.timerProcs.end())
        m.timerProcs.push_back(proc);
    const DWORD now = platform::clock().tickCount();
    // A thread timer keeps its id only when it names one of the thread's timers.
    TimerRecord* existing = nullptr;
    for (TimerRecord& t : m.timers)
        if (t.hwnd == hwnd && t.id == id && (hwnd || t.queue == queue))
            existing = &t;
    if (!existing) {
        if (!hwnd)
            id = m.nextTimerId++;
        TimerRecord t;
        t.hwnd = hwnd;
        t.id = id;
        t.queue = queue;
        m.timers.push_back(t);
        existing = &m.timers.back();
    }
    existing->interval = elapse;
    existing->due = now + elapse;
    existing->proc = proc;
    queue->wake.notify_all();
    return id == 0 ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    auto& timers = wm().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const TimerRecord& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end())
        return FALSE;
    timers.erase(it);
    return TRUE;
}
