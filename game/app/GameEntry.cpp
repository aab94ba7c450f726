// GameEntry.cpp: the program's entry function.
#include "game/app/GameEntry.h"

#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "core/util/RectangleNM.h"
#include "game/app/MyFrame.h"
#include "game/registration/GameClasses.h"
#include "platform/user/MessageBox.h"
#include "platform/user/Messages.h"
#include "sprites/loader/SpriteFramework.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/DebugLine.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

HINSTANCE GameEntry::s_hInstance = nullptr;

namespace {

// Set by SIGTERM or SIGINT (a lock-free atomic may be written by a signal
// handler); a watching thread turns it into a close request.
std::atomic<bool> quitSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

// How often the watching thread looks at the flag.
constexpr int kSignalPollMs = 20;
// How long the game may take to end once it closes (a quit signal, the
// window's close): its scripts are stopped well before, so only a script
// blocked in a call that never returns (a command it runs, say) keeps it
// longer, and then the process ends without what is left of its save.
constexpr int kQuitEndMs = ScriptHost::CLOSE_TIME_LIMIT_MS + 4000;
// The exit code of a game ended so.
constexpr int kQuitOverdueCode = 1;

void noteQuitSignal(int)
{
    quitSignalled = true;
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
    void (*oldTerm)(int) = std::signal(SIGTERM, noteQuitSignal);
    void (*oldInt)(int) = std::signal(SIGINT, noteQuitSignal);
    auto* frame = new MyFrame();
    util::RectangleNM bounds(0, 0, 800, 600);
    if (frame->create(nullptr, &bounds)) {
        // A quit signal closes the frame as the player does, so the progress
        // is saved on the way out: a script stuck in a loop is stopped, and
        // a message box waiting for OK closes, for as long as the game takes
        // to end. A game that is closing, whichever way, and has not ended
        // in time ends here: every save writes a new file and renames it
        // over the old, so the last whole save stays.
        const HWND window = frame->getHWND();
        std::atomic<bool> running{true};
        std::thread watcher([&running, window] {
            bool quitting = false;
            bool closing = false;
            std::chrono::steady_clock::time_point endBy;
            while (running) {
                if (quitSignalled.exchange(false)) {
                    quitting = true;
                    ScriptHost::requestClose();
                    PostMessageA(window, WM_CLOSE, 0, 0);
                }
                if (quitting)
                    platform::closeMessageBoxes();
                const auto now = std::chrono::steady_clock::now();
                if (!closing && (quitting || ScriptHost::isClosing())) {
                    closing = true;
                    endBy = now + std::chrono::milliseconds(kQuitEndMs);
                }
                if (closing && now >= endBy) {
                    window::problemLine("The game did not end within ", kQuitEndMs / 1000,
                                        " seconds of its close (a script may wait for a call that does not "
                                        "return): it ends now, without what it had not saved yet.\n");
                    std::_Exit(kQuitOverdueCode);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(kSignalPollMs));
            }
        });
        messageLoop();
        running = false;
        watcher.join();
    }
    // A game whose data could not be loaded ends with an error.
    const int code = frame->isLoadFailed() ? 1 : 0;
    frame->release();
    std::signal(SIGTERM, oldTerm == SIG_ERR ? SIG_DFL : oldTerm);
    std::signal(SIGINT, oldInt == SIG_ERR ? SIG_DFL : oldInt);
    lang::ResourceFile::closeAll();
    return code;
}
