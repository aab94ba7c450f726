// GameEntry.h: the program's entry: the process-wide start-up, the resource
// archive, the main frame and the message loop.
#pragma once

#include "platform/Win32Types.h"

#include <string>

class GameEntry {
public:
    // The archive beside the program that holds the game's data.
    static constexpr const char* kArchiveName = "Lanternfield.bin";
    // The exit code of a game whose archive could not be opened.
    static constexpr int CANNOT_START_CODE = 1;

    // Opens the display (a game that cannot ends at once: see
    // platform::openWindowBackend), starts the framework and registers the
    // classes (both stay for the process: its end lets go of them), opens
    // the archive, opens the main frame at 0, 0, 800 x 600 and runs the
    // message loop until WM_QUIT; SIGTERM, SIGINT, SIGHUP and SIGQUIT close
    // the frame as the player does, from the first instant (one that comes
    // before the window is made closes it once it is) until the process
    // has ended (their handlers, and SIGXFSZ ignored, stay).
    // Returns the exit code: 0, or CANNOT_START_CODE when the archive could
    // not be opened (after a message saying so, however its box is
    // closed), or as closedCode says. The close is
    // watched by a CloseWatcher: a game that closes closes its message
    // boxes; one that has spent six seconds of its close in a script call
    // (a script blocked in a call) ends the process with code 1 and a
    // message; one whose window's thread does not come back from a call
    // into the display is closed, saved and ended by the watcher.
    static int run(HINSTANCE instance);
    // The exit code of a game that has closed: 1 when its data could not be
    // loaded (`loadFailed`), or its player's last save did not happen
    // (`saveFailure` says why) or the settings file could not be written (a
    // line on stderr says what was lost; SIGXFSZ is ignored, so a write
    // beyond the file-size limit fails as on a full disk), else 0.
    static int closedCode(bool loadFailed, const std::string& saveFailure);
    // Takes the messages of the calling thread until WM_QUIT (or a failure
    // of the message queue).
    static void messageLoop();

    // The module instance handle the entry function was given.
    static HINSTANCE instanceHandle() { return s_hInstance; }

private:
    // Opens the archive; false, after a message saying why, when it cannot.
    static bool openArchive();

    static HINSTANCE s_hInstance;
};
