// CloseWatcher.h: the thread that watches the game's close, needing no
// display. A quit signal closes the window as the player does; a game that
// closes (whichever way) or whose display is lost closes its message boxes
// for as long as it takes to end. One whose close waits too long in its
// scripts ends at once, without the rest of its save; one whose window's
// thread does not come back from a call into the display is closed from
// here, with its save.
#pragma once

#include "platform/Win32Types.h"
#include "sprites/script/ScriptHost.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

class MyFrame;

class CloseWatcher {
public:
    // How long a closing game may wait in its scripts and for its display:
    // the scripts are stopped well before (after CLOSE_TIME_LIMIT_MS of
    // their own running), so only a script blocked in a call that never
    // returns (a command it runs, say) keeps it longer. Only the time a
    // script call or a call into the display is under way counts: the game's
    // own work, its save's writing above all, is never cut.
    static constexpr int QUIT_END_MS = ScriptHost::CLOSE_TIME_LIMIT_MS + 4000;
    // How long one call into the display may keep a closing game before the
    // close is made here instead: twice the longest SDL waits on its own
    // for the server, a second.
    static constexpr int DISPLAY_CALL_LIMIT_MS = 2000;
    // The exit code of a game ended for its close's time.
    static constexpr int OVERDUE_CODE = 1;

    // Starts watching the close of `frame` (borrowed, it outlives the
    // watcher), whose window comes with watchWindow.
    explicit CloseWatcher(MyFrame* frame);
    // Stops watching.
    ~CloseWatcher();
    CloseWatcher(const CloseWatcher&) = delete;
    CloseWatcher& operator=(const CloseWatcher&) = delete;

    // The frame's window, once made: a quit signal that came before is
    // passed on to it now.
    void watchWindow(HWND window);

    // The game has started (its archive is open): a close made here ends
    // it as GameEntry::closedCode says. Until then a close made here ends
    // it as a game that cannot start ends.
    void gameStarted();

    // The quit signals' handler (it only sets a lock-free flag), whether a
    // quit signal has come that no watcher has taken yet (one that comes
    // before the window's display opens waits for the watcher made next),
    // and a new run of the game that forgets the signals of the last.
    static void noteQuitSignal(int);
    static bool quitSignalled();
    static void forgetQuitSignals();

private:
    void watch();
    // Ends the overdue game at once, saying so when standard error takes it.
    [[noreturn]] void endOverdue();
    // Makes the close in the stead of the window's thread, held for good in
    // a call into the display, and ends the game.
    void finishClose();

    MyFrame* m_frame;
    // Made beforehand: an overdue game allocates nothing.
    const std::string m_overdue;
    std::atomic<HWND> m_window{nullptr};
    std::atomic<bool> m_started{false};
    std::atomic<bool> m_running{true};
    std::thread m_thread;
};
