// GameEntry.cpp: the program's entry function.
#include "game/app/GameEntry.h"

#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "core/util/RectangleNM.h"
#include "game/app/MyFrame.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/registration/GameClasses.h"
#include "platform/kernel/Thread.h"
#include "platform/registry/Registry.h"
#include "platform/user/Backend.h"
#include "platform/user/MessageBox.h"
#include "platform/user/Messages.h"
#include "sprites/loader/SpriteFramework.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/DebugLine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>

HINSTANCE GameEntry::s_hInstance = nullptr;

namespace {

// The signals that ask the game to end: the system's request, Ctrl+C, the
// terminal hung up (closed, or its session ended) and Ctrl+\. Each is taken
// as the window's close, so that the game is saved on the way out.
constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};
// Set by a quit signal (a lock-free atomic may be written by a signal
// handler); a watching thread turns it into a close request.
std::atomic<bool> quitSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

// How often the watching thread looks at the flag.
constexpr int kSignalPollMs = 20;
// How long a game that closes (a quit signal, the window's close) may spend
// in its scripts: they are stopped well before, so only a script blocked
// in a call that never returns (a command it runs, say) keeps it longer,
// and then the process ends without what is left of its save. Only the
// time a script call is under way counts (see scriptTimeSince): the game's
// own work, its save's writing above all, is never cut.
constexpr int kQuitEndMs = ScriptHost::CLOSE_TIME_LIMIT_MS + 4000;
constexpr int kLongestLookMs = 5 * kSignalPollMs;
// The exit code of a game ended so.
constexpr int kQuitOverdueCode = 1;
// The exit code of a game whose save did not reach the disk.
constexpr int kUnsavedCode = 1;

using WatchClock = std::chrono::steady_clock;

// The watching thread's last look at the script call under way.
struct ScriptLook {
    // The call's thread; 0 for none, or one the system does not tell of.
    long thread = 0;
    platform::ThreadActivity activity;
    WatchClock::time_point at = WatchClock::now();
};

// How much of the time since the last look counts toward kQuitEndMs. While
// the script's thread runs, its own processor time counts: the guard counts
// the same clock, so a script it can stop (the close gives the scripts two
// seconds of it) is stopped first, however busy the machine. While the
// thread is asleep in a call (one that never returns takes no processor
// time), the whole time counts. The time it waits for a processor, or the
// machine keeps the game stopped, does not; where the system does not tell,
// the time the call is under way counts. No look counts for more than
// kLongestLookMs, as the watching thread too may have been kept waiting.
std::chrono::milliseconds scriptTimeSince(ScriptLook& last)
{
    using std::chrono::milliseconds;
    ScriptLook look;
    const long thread = ScriptHost::runningThread();
    const bool told = thread != 0 && platform::threadActivity(thread, look.activity);
    look.thread = told ? thread : 0;
    const auto wall = std::chrono::duration_cast<milliseconds>(look.at - last.at);
    milliseconds counted{0};
    if (thread != 0 && !told)
        counted = wall;
    else if (told && thread == last.thread)
        counted = look.activity.asleep ? wall : milliseconds(look.activity.processorMs - last.activity.processorMs);
    last = look;
    return std::min(counted, milliseconds(kLongestLookMs));
}

void noteQuitSignal(int)
{
    quitSignalled = true;
}

// Ends the overdue game at once. Nothing here waits: no lock (a thread
// blocked in a write to standard error holds the stream's and the log's),
// and the message is written only when standard error takes it now (a
// pipe nobody reads may be full). A box's process ends with the game.
[[noreturn]] void endOverdue(const std::string& message)
{
    pollfd errors{STDERR_FILENO, POLLOUT, 0};
    if (::poll(&errors, 1, 0) == 1 && (errors.revents & POLLOUT) != 0 &&
        ::write(STDERR_FILENO, message.data(), message.size()) < 0) {
        // Nothing is left to tell of it.
    }
    std::_Exit(kQuitOverdueCode);
}

} // namespace

void GameEntry::messageLoop()
{
    MSG msg;
    // GetMessageA answers 0 for WM_QUIT and -1 when the queue fails; either
    // ends the loop.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int GameEntry::run(HINSTANCE instance)
{
    // The window's display first: a game that cannot open one says so and
    // ends here, before anything has started.
    platform::windowBackend();
    sprite::SpriteFramework::startUp();
    GameClasses::registerClasses();
    try {
        lang::ResourceFile::open(lang::String(kArchiveName));
    } catch (lang::Exception* e) {
        // What happened to which file, as the archive tells it; else where
        // it was looked for and the engine's message.
        std::string text;
        if (!e->getDetail().isEmpty()) {
            text = std::string("The game cannot start: its data ") + e->getDetail().c_str() + ".";
        } else {
            std::error_code ec;
            const std::filesystem::path where = std::filesystem::absolute(kArchiveName, ec);
            text = "The game data " + (ec ? std::string(kArchiveName) : where.string()) + " could not be opened (" +
                   e->toString().c_str() + ").";
        }
        e->release();
        window::debugLine(text, "\n");
        MessageBoxA(nullptr, text.c_str(), "Lanternfield", MB_OK);
        return 1;
    }
    s_hInstance = instance;
    quitSignalled = false;
    ScriptHost::clearClose();
    platform::allowMessageBoxes();
    void (*oldHandlers[std::size(kQuitSignals)])(int);
    for (size_t i = 0; i < std::size(kQuitSignals); ++i)
        oldHandlers[i] = std::signal(kQuitSignals[i], noteQuitSignal);
    // A write beyond the file-size limit (ulimit -f) fails as on a full
    // disk, rather than killing the game halfway through its save.
    void (*oldFileSizeHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    auto* frame = new MyFrame();
    util::RectangleNM bounds(0, 0, 800, 600);
    if (frame->create(nullptr, &bounds)) {
        // A quit signal closes the frame as the player does, so the progress
        // is saved on the way out: a script stuck in a loop is stopped. A
        // game that is closing, whichever way, closes the message boxes
        // waiting for OK for as long as it takes to end, and one that spends
        // too long in its scripts ends here: every save writes a new file
        // and renames it over the old, so the last whole save stays.
        const HWND window = frame->getHWND();
        const std::string overdue = "The game did not end within " + std::to_string(kQuitEndMs / 1000) +
                                    " seconds of its close (a script may wait for a call that does not "
                                    "return): it ends now, without what it had not saved yet.\n";
        std::atomic<bool> running{true};
        std::thread watcher([&running, window, &overdue] {
            bool quitting = false;
            bool closing = false;
            std::chrono::milliseconds inScripts{0};
            ScriptLook lastLook;
            while (running) {
                if (quitSignalled.exchange(false)) {
                    quitting = true;
                    ScriptHost::requestClose();
                    PostMessageA(window, WM_CLOSE, 0, 0);
                }
                if (quitting || ScriptHost::isClosing())
                    closing = true;
                if (closing) {
                    platform::closeMessageBoxes();
                    inScripts += scriptTimeSince(lastLook);
                }
                if (inScripts >= std::chrono::milliseconds(kQuitEndMs))
                    endOverdue(overdue);
                std::this_thread::sleep_for(std::chrono::milliseconds(kSignalPollMs));
            }
        });
        messageLoop();
        running = false;
        watcher.join();
    }
    // A game whose data could not be loaded ends with an error.
    int code = frame->isLoadFailed() ? 1 : 0;
    // So does one whose last save did not happen (the story too long, its
    // script stopped) or did not reach the disk (a full disk, say): the
    // player learns what was lost, without the debug output.
    std::string unsaved = MyFrame::canvas() ? MyFrame::canvas()->lastSaveFailure() : std::string();
    frame->release();
    if (unsaved.empty())
        unsaved = platform::registryWriteFailure();
    if (!unsaved.empty()) {
        std::fprintf(stderr, "The game could not be saved: %s; what was played since its last save is lost.\n",
                     unsaved.c_str());
        code = kUnsavedCode;
    }
    for (size_t i = 0; i < std::size(kQuitSignals); ++i)
        std::signal(kQuitSignals[i], oldHandlers[i] == SIG_ERR ? SIG_DFL : oldHandlers[i]);
    std::signal(SIGXFSZ, oldFileSizeHandler == SIG_ERR ? SIG_DFL : oldFileSizeHandler);
    lang::ResourceFile::closeAll();
    return code;
}
