// CloseWatcher.cpp: the watching thread's looks at the quit signals, the
// script call under way and the display's thread, and what it does about
// them.
#include "game/app/CloseWatcher.h"

#include "game/app/GameEntry.h"
#include "game/app/MyFrame.h"
#include "platform/kernel/Thread.h"
#include "platform/user/DisplayThread.h"
#include "platform/user/MessageBox.h"
#include "platform/user/Messages.h"

#include <algorithm>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;
using CloseClock = std::chrono::steady_clock;

// Set by a quit signal (a lock-free atomic may be written by a signal
// handler); the watching thread turns it into a close request.
std::atomic<bool> closeQuitSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

// How often the watching thread looks.
constexpr int kCloseLookMs = 20;
// No look counts for more than this: the watching thread too may have been
// kept waiting (a busy machine, the game stopped).
constexpr int kCloseLongestLookMs = 5 * kCloseLookMs;

// What the close may be waiting for, at one look.
struct CloseLook {
    CloseClock::time_point at = CloseClock::now();
    // The script call's thread (0: none, or one the system does not tell
    // of), whether it sleeps in a call, and its processor time.
    long scriptThread = 0;
    bool scriptUntold = false;
    bool scriptAsleep = false;
    int64_t scriptUs = 0;
    // The call into the display under way (0: none).
    unsigned long displayCall = 0;
};

CloseLook closeLookNow()
{
    CloseLook look;
    const long thread = ScriptHost::runningThread();
    platform::ThreadActivity activity;
    const int64_t us = thread != 0 ? ScriptHost::threadMicroseconds(thread) : -1;
    if (us >= 0 && platform::threadActivity(thread, activity)) {
        look.scriptThread = thread;
        look.scriptAsleep = activity.asleep;
        look.scriptUs = us;
    }
    look.scriptUntold = thread != 0 && look.scriptThread == 0;
    look.displayCall = platform::DisplayThread::callUnderWay();
    return look;
}

// The time between two looks, as a look may count it.
milliseconds closeLookSpan(const CloseLook& last, const CloseLook& now)
{
    return std::min(std::chrono::duration_cast<milliseconds>(now.at - last.at), milliseconds(kCloseLongestLookMs));
}

// How much of the time between two looks counts toward QUIT_END_MS. While
// the script call's thread runs, its own processor time counts: the guard
// counts the same clock, so a script it can stop (the close gives the
// scripts two seconds of it) is stopped first, however busy the machine.
// While the thread is asleep in a call (one that never returns takes no
// processor time), the whole time counts, as does the time one call into
// the display stays under way. The time a thread waits for a processor, or
// the machine keeps the game stopped, does not; where the system does not
// tell, the time the script call is under way counts. The game's own work
// between those calls never counts.
milliseconds closeTimeCounted(const CloseLook& last, const CloseLook& now)
{
    const milliseconds span = closeLookSpan(last, now);
    milliseconds counted{0};
    if (now.scriptUntold)
        counted = span;
    else if (now.scriptThread != 0 && now.scriptThread == last.scriptThread)
        counted = now.scriptAsleep ? span : milliseconds((now.scriptUs - last.scriptUs) / 1000);
    if (now.displayCall != 0 && now.displayCall == last.displayCall)
        counted = span;
    return std::min(counted, span);
}

} // namespace

CloseWatcher::CloseWatcher(MyFrame* frame)
    : m_frame(frame),
      m_overdue("The game did not end within " + std::to_string(QUIT_END_MS / 1000) +
                " seconds of its close (a script may wait for a call that does not return): it ends now, "
                "without what it had not saved yet.\n")
{
    m_thread = std::thread([this] { watch(); });
}

CloseWatcher::~CloseWatcher()
{
    m_running = false;
    m_thread.join();
}

void CloseWatcher::watchWindow(HWND window)
{
    m_window = window;
}

void CloseWatcher::gameStarted()
{
    m_started = true;
}

void CloseWatcher::noteQuitSignal(int)
{
    closeQuitSignalled = true;
}

bool CloseWatcher::quitSignalled()
{
    return closeQuitSignalled;
}

void CloseWatcher::forgetQuitSignals()
{
    closeQuitSignalled = false;
}

void CloseWatcher::watch()
{
    // A quit signal closes the window as the player does, so the progress
    // is saved on the way out (a script stuck in a loop is stopped at once).
    bool closeAsked = false;
    bool closing = false;
    bool finishing = false;
    milliseconds inClose{0};
    milliseconds inDisplayCall{0};
    CloseLook last = closeLookNow();
    while (m_running) {
        if (closeQuitSignalled.exchange(false)) {
            ScriptHost::requestClose();
            closeAsked = true;
        }
        const HWND window = m_window;
        if (closeAsked && window) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            closeAsked = false;
        }
        if (ScriptHost::isClosing() || platform::DisplayThread::displayLost())
            closing = true;
        const CloseLook now = closeLookNow();
        if (closing) {
            // Boxes waiting for OK close for as long as the game takes to end.
            platform::closeMessageBoxes();
            // The close made here counts as the window's own does: its
            // scripts' calls, never the time the machine keeps it from
            // running. The window's thread, held for good in its call, is
            // no call under way from then on.
            inClose += closeTimeCounted(last, now);
            inDisplayCall = now.displayCall != 0 && now.displayCall == last.displayCall
                                ? inDisplayCall + closeLookSpan(last, now)
                                : milliseconds(0);
            if (!finishing && inDisplayCall >= milliseconds(DISPLAY_CALL_LIMIT_MS) &&
                platform::DisplayThread::takeOver(now.displayCall)) {
                finishing = true;
                std::thread([this] { finishClose(); }).detach();
            }
        }
        last = now;
        if (inClose >= milliseconds(QUIT_END_MS))
            endOverdue();
        std::this_thread::sleep_for(milliseconds(kCloseLookMs));
    }
}

void CloseWatcher::finishClose()
{
    m_frame->finishClose();
    std::_Exit(m_started ? GameEntry::closedCode(m_frame->isLoadFailed(), MyFrame::lastSaveFailure())
                         : GameEntry::CANNOT_START_CODE);
}

// Nothing here waits: no lock (a thread blocked in a write to standard
// error holds the stream's and the log's), and the message is written only
// when standard error takes it now (a pipe nobody reads may be full). A
// box's process ends with the game.
void CloseWatcher::endOverdue()
{
    pollfd errors{STDERR_FILENO, POLLOUT, 0};
    if (::poll(&errors, 1, 0) == 1 && (errors.revents & POLLOUT) != 0 &&
        ::write(STDERR_FILENO, m_overdue.data(), m_overdue.size()) < 0) {
        // Nothing is left to tell of it.
    }
    std::_Exit(OVERDUE_CODE);
}
