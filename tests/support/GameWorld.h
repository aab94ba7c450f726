// GameWorld.h: a whole program's world for a test: a temporary folder that is
// the program folder and the working folder, the settings file there, a fake
// clock, captured message boxes and diagnostic lines, a fresh Lua state with
// the framework's classes, and the frame started on the real loader thread;
// then frames stepped on the fake clock, input given through the window
// layer, and the program closed as the player closes it.
#pragma once

#include "platform/kernel/Clock.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/registry/Registry.h"
#include "platform/user/MessageBox.h"
#include "tests/support/GameData.h"
#include "tests/support/LuaRecorder.h"
#include "tests/support/TempDir.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ScriptHost;

namespace sprite {
class GameCanvas3;
class LoaderFrame2;
class User;
} // namespace sprite

namespace testsupport {

class TestLoaderFrame;

class GameWorld {
public:
    // The settings store the world's programs use.
    static constexpr const char* kRegistryName = "TestGame";
    // The program's path inside the folder.
    static constexpr const char* kProgramName = "game";

    GameWorld();
    // Closes a program still open, releases it, closes the archives, and
    // puts back the working folder, program path, settings file, clock and
    // script host.
    ~GameWorld();
    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    GameData& data() { return m_data; }
    const std::filesystem::path& folder() const { return m_dir.path(); }
    platform::FakeClock& clock() { return m_clock; }
    LuaRecorder& lua() { return m_lua; }

    // Settings in the world's store, read and written outside the program.
    void setSetting(const char* name, int value);
    void setSetting(const char* name, const char* text);
    int setting(const char* name, int fallback);
    std::string settingText(const char* name, const char* fallback);
    // The world's own view of that store (borrowed).
    sprite::User* settings();
    // The folder in the form the program's paths take ('\\' separators).
    std::string programFolder() const;

    // Writes the archive and opens it as the current one.
    void openArchive();

    // Takes over the creation references of a frame and its canvas, which
    // the world closes and releases at its end.
    void adopt(TestLoaderFrame* frame, sprite::GameCanvas3* canvas);
    // Opens the frame with the canvas (adopted) and runs the message loop until the hand-over or the end
    // of the program (a failed load closes it). True at the hand-over; the
    // canvas has then painted once and its window shows.
    bool start(TestLoaderFrame* frame, sprite::GameCanvas3* canvas, const char* dataFile = "+datfile",
               bool onThread = true);
    // Called on this thread at every turn of the message loop while the
    // loader runs, as the main frame's loading screen reads the progress.
    std::function<void()> whileLoading;
    // Runs the message loop until `done` answers true, the program posts
    // WM_QUIT, or `timeoutMs` of real time pass at the machine's pace (a
    // hang: see MachinePace); true when `done` answered.
    bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 20000);
    // Takes the queued messages (none left afterwards).
    void pump();

    // Moves the fake clock and gives the canvas its timer tick.
    void tick(int milliseconds);
    // Ticks of 40 ms until the canvas has run `count` more logic frames.
    void stepFrames(int count);

    // Input through the window layer at a point of the canvas, each followed
    // by the messages it causes and one timer tick.
    void mouseMove(int x, int y);
    void mouseDown(int x, int y);
    void mouseUp(int x, int y);
    void click(int x, int y);
    void key(unsigned virtualKey);

    // WM_CLOSE to the frame, then the message loop until WM_QUIT; true when
    // the program quit.
    bool close();
    bool hasQuit() const { return m_bQuit; }

    // What the program showed and wrote.
    std::vector<platform::MessageBoxRecord> boxes() const { return m_boxes.boxes(); }
    // The boxes whose caption begins with `caption`.
    std::vector<platform::MessageBoxRecord> boxes(const std::string& caption) const;
    std::string debugText() const { return m_debug.text(); }

    TestLoaderFrame* frame() const { return m_pFrame; }
    sprite::GameCanvas3* canvas() const { return m_pCanvas; }

private:
    // The left button at (x, y), pressed or released.
    void leftButton(int x, int y, bool down);

    TempDir m_dir;
    GameData m_data;
    platform::FakeClock m_clock;
    platform::ScopedRegistryFile m_registry;
    platform::MessageBoxCapture m_boxes;
    platform::DebugCapture m_debug;
    LuaRecorder m_lua;
    std::filesystem::path m_previousFolder;
    ScriptHost* m_pPreviousHost;
    ScriptHost* m_pHost;
    sprite::User* m_pStore;
    TestLoaderFrame* m_pFrame;
    sprite::GameCanvas3* m_pCanvas;
    bool m_bQuit;
};

} // namespace testsupport
