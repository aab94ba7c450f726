// GameEntry.cpp: the program's entry function.
#include "game/app/GameEntry.h"

#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "core/util/RectangleNM.h"
#include "game/app/CloseWatcher.h"
#include "game/app/MyFrame.h"
#include "game/registration/GameClasses.h"
#include "platform/kernel/StandardError.h"
#include "platform/registry/Registry.h"
#include "platform/user/Backend.h"
#include "platform/user/MessageBox.h"
#include "platform/user/Messages.h"
#include "sprites/loader/SpriteFramework.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/DebugLine.h"

#include <csignal>
#include <filesystem>
#include <string>

HINSTANCE GameEntry::s_hInstance = nullptr;

namespace {

// The signals that ask the game to end: the system's request, Ctrl+C, the
// terminal hung up (closed, or its session ended) and Ctrl+\. Each is taken
// as the window's close, so that the game is saved on the way out.
constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};
// The exit code of a game whose save did not reach the disk.
constexpr int kUnsavedCode = 1;

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
    // A new run forgets the close of the last.
    CloseWatcher::forgetQuitSignals();
    ScriptHost::clearClose();
    platform::allowMessageBoxes();
    // From the first instant, before the display opens (which may take a
    // while), a quit signal is the window's close: it is noted here and
    // made once the window is. The handlers stay until the process has
    // ended: a signal repeated as it ends (Ctrl+C held down) is only noted.
    for (int quit : kQuitSignals)
        std::signal(quit, CloseWatcher::noteQuitSignal);
    // A write beyond the file-size limit (ulimit -f) fails as on a full
    // disk, rather than killing the game halfway through its save.
    std::signal(SIGXFSZ, SIG_IGN);
    // The window's display first: a game that cannot open one says so and
    // ends here, before anything has started, as does one whose display
    // does not answer once a quit signal has come.
    platform::openWindowBackend(CloseWatcher::quitSignalled);
    sprite::SpriteFramework::startUp();
    GameClasses::registerClasses();
    s_hInstance = instance;
    auto* frame = new MyFrame();
    bool started = false;
    {
        // Watching from before the archive opens and the window is made: a
        // quit signal closes a box that says the game cannot start, and a
        // call into the display that does not come back holds up no close.
        CloseWatcher watcher(frame);
        started = openArchive();
        if (started)
            watcher.gameStarted();
        util::RectangleNM bounds(0, 0, 800, 600);
        if (started && frame->create(nullptr, &bounds)) {
            watcher.watchWindow(frame->getHWND());
            messageLoop();
        }
    }
    const bool loadFailed = frame->isLoadFailed();
    // The canvas goes with the frame: what it knows of its last save first.
    const std::string saveFailure = MyFrame::lastSaveFailure();
    frame->release();
    // A game whose archive did not open has said so.
    const int code = started ? closedCode(loadFailed, saveFailure) : CANNOT_START_CODE;
    lang::ResourceFile::closeAll();
    return code;
}

bool GameEntry::openArchive()
{
    try {
        lang::ResourceFile::open(lang::String(kArchiveName));
        return true;
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
        return false;
    }
}

int GameEntry::closedCode(bool loadFailed, const std::string& saveFailure)
{
    // A game whose data could not be loaded ends with an error.
    int code = loadFailed ? 1 : 0;
    // So does one whose last save did not happen (the story too long, its
    // script stopped) or did not reach the disk (a full disk, say): the
    // player learns what was lost, without the debug output.
    const std::string unsaved = saveFailure.empty() ? platform::registryWriteFailure() : saveFailure;
    if (!unsaved.empty()) {
        platform::StandardError::line("The game could not be saved: " + unsaved +
                                      "; what was played since its last save is lost.\n");
        code = kUnsavedCode;
    }
    return code;
}
