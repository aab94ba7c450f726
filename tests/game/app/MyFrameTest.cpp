// MyFrameTest.cpp: the game program from its entry: the main frame's
// loading screen, the hand-over to the 16 ms game timer, closing with the
// save (also when a script, a box, the settings file or the display keeps
// the close waiting), and a missing archive.
#include "game/app/CloseWatcher.h"
#include "game/app/GameEntry.h"
#include "game/app/MyFrame.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/progress/ProgressRecord.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryFileLock.h"
#include "platform/user/DisplayThread.h"
#include "platform/user/Messages.h"
#include "platform/user/headless/HeadlessBackend.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "platform/user/Window.h"
#include "tests/game/support/GameFixture.h"
#include "tests/sprites/support/RecordingGraphics.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/MachinePace.h"
#include "windowing/images/ImageBase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace gametest {
namespace {

// Ends this program, a test's child, with a line that says so once
// `seconds` have passed at the machine's pace: a game that hangs should its
// test fail is never left running, and a busy machine is no hang.
void endWhenHung(int seconds)
{
    std::thread([seconds] {
        testsupport::MachinePace waited;
        while (waited.counted() < seconds * 1000)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const std::string line = "hung: " + std::to_string(seconds) + " s passed at the machine's pace, at " +
                                 waited.load() + "\n";
        if (write(STDERR_FILENO, line.data(), line.size()) < 0) {
        }
        std::_Exit(124);
    }).detach();
}

class MyFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeGame(world.data(), GameOptions());
        world.data().picture("logo", 40, 20, 0xFF804020u);
        world.data().picture("loading", 10, 10, 0xFFFFFFFFu);
        world.data().picture("loadbar", 200, 10, 0xFF20A020u);
        world.setSetting("FULLSCREEN", 0);
    }
    void TearDown() override
    {
        if (!frame)
            return;
        // Closed as the player closes it, so the window lets go of the frame.
        if (frame->getHWND() && !world.hasQuit()) {
            PostMessageA(frame->getHWND(), WM_CLOSE, 0, 0);
            world.pumpUntil([] { return false; }, 3000);
        }
        frame->release();
    }
    // Opens the main frame and waits for the hand-over.
    bool open()
    {
        world.openArchive();
        frame = new MyFrame();
        util::RectangleNM bounds(0, 0, 800, 600);
        if (!frame->create(nullptr, &bounds))
            return false;
        return world.pumpUntil([this] { return frame->getSplash() == nullptr || frame->isLoadFailed(); }) &&
               !frame->isLoadFailed();
    }

    testsupport::GameWorld world;
    MyFrame* frame = nullptr;
};

TEST_F(MyFrameTest, TheLoadingScreenHandsOverToTheGameTimer)
{
    ASSERT_TRUE(open());
    LanternfieldCanvas* canvas = MyFrame::canvas();
    ASSERT_NE(nullptr, canvas);
    EXPECT_TRUE(canvas->isStarted());
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState());
    EXPECT_FALSE(frame->isShown()) << "the canvas paints from now on";
    // The canvas covers the client area exactly, so frames are never stretched.
    RECT client{};
    GetClientRect(canvas->getHWND(), &client);
    EXPECT_EQ(800, client.right);
    EXPECT_EQ(600, client.bottom);
    // No loading picture beside the program: the archive's logo was the splash.
    EXPECT_EQ((600 - 20) / 2, frame->getSplashTop());
    // The game timer ticks the canvas: 40 ms make a logic frame.
    const int before = canvas->getFrameCounter();
    for (int i = 0; i < 10; ++i) {
        world.clock().advance(16);
        world.pump();
    }
    EXPECT_GE(canvas->getFrameCounter(), before + 3);
}

TEST_F(MyFrameTest, TheBarShowsTheShareOfTheDataLoaded)
{
    ASSERT_TRUE(open());
    LanternfieldCanvas* canvas = MyFrame::canvas();
    const struct {
        int total;
        int width;
    } cases[] = {{0, 0}, {canvas->getEntriesLoaded(), 200}, {canvas->getEntriesLoaded() * 4, 50}};
    for (const auto& c : cases) {
        canvas->setManifestTotal(c.total);
        auto* g = new spritetest::RecordingGraphics();
        frame->update(g);
        ASSERT_FALSE(g->ofOp("fillRect").empty());
        EXPECT_EQ(0xFF50504Cu, g->ofOp("fillRect")[0].argb) << "the background";
        std::vector<spritetest::RecordingGraphics::Call> clips = g->ofOp("clipRect");
        ASSERT_EQ(1u, clips.size()) << c.total;
        EXPECT_EQ(MyFrame::BAR_X, clips[0].x);
        EXPECT_EQ(MyFrame::BAR_Y, clips[0].y);
        EXPECT_EQ(c.width, clips[0].w) << c.total;
        std::vector<spritetest::RecordingGraphics::Call> images = g->ofOp("drawImage");
        ASSERT_EQ(2u, images.size()) << "the bar and its label; the splash went at the hand-over";
        EXPECT_EQ(frame->getLoadingLabel(), images[1].image);
        EXPECT_EQ(MyFrame::LABEL_X, images[1].x);
        EXPECT_EQ(MyFrame::LABEL_Y, images[1].y);
        g->release();
    }
}

TEST_F(MyFrameTest, ClosingTheWindowLeavesTheRoomSavesAndQuits)
{
    ASSERT_TRUE(open());
    LanternfieldCanvas* canvas = MyFrame::canvas();
    canvas->setProfileName(lang::String("Ann"));
    canvas->enterGame(3);
    world.lua().clear();
    PostMessageA(frame->getHWND(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(world.pumpUntil([] { return false; }, 3000));
    EXPECT_TRUE(world.hasQuit());
    const std::vector<std::string> calls = world.lua().calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ("record(\"onExit:OldTownConnector\", 1)", calls[0]);
    EXPECT_EQ("record(\"LF_save\")", calls[1]);
    EXPECT_EQ(1, world.setting("NORMALEXIT", -1));
    frame->release();
    frame = nullptr;
    EXPECT_EQ(nullptr, MyFrame::canvas());
}

namespace {

// A display on which a quit signal comes as the first window is made, before
// the window is there; its making goes on once the game has taken the
// signal in.
class MyFrameEarlyQuitBackend : public platform::HeadlessBackend {
public:
    void windowCreated(HWND hwnd, const RECT& client) override
    {
        if (!m_quit) {
            m_quit = true;
            std::raise(SIGTERM);
            while (!ScriptHost::isClosing())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        platform::HeadlessBackend::windowCreated(hwnd, client);
    }

private:
    bool m_quit = false;
};

} // namespace

TEST_F(MyFrameTest, TheProgramRunsFromItsEntryUntilItIsClosedOrSignalled)
{
    world.data().writeArchive();
    // The player closes the window once the game is on screen, or the system
    // asks the program to end (its terminal hung up, Ctrl+\ too): the same
    // normal quit with its save.
    for (int signal : {0, SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        world.setSetting("NORMALEXIT", 0);
        std::atomic<bool> stop{false};
        std::thread player([&stop, signal] {
            while (!stop) {
                LanternfieldCanvas* canvas = MyFrame::canvas();
                if (canvas && canvas->isStarted() && canvas->getParent()) {
                    if (signal)
                        std::raise(signal);
                    else
                        PostMessageA(canvas->getParent()->getHWND(), WM_CLOSE, 0, 0);
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        EXPECT_EQ(0, GameEntry::run(nullptr));
        stop = true;
        player.join();
        EXPECT_EQ(1, world.setting("NORMALEXIT", -1));
        // Repeated as the program ends (Ctrl+C held down), the signal is
        // only noted: it kills nothing.
        if (signal)
            std::raise(signal);
    }
    // One that comes before the window is made, and is taken in then,
    // closes the window once it is.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            endWhenHung(30);
            platform::setWindowBackend(std::make_unique<MyFrameEarlyQuitBackend>());
            std::exit(GameEntry::run(nullptr) + 10);
        },
        ::testing::ExitedWithCode(10), "");
}

namespace {

// The quit signals a process catches (the mask of its SigCgt line).
unsigned long long caughtQuitSignals(pid_t process)
{
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    std::string line;
    unsigned long long caught = 0;
    while (std::getline(status, line))
        if (line.rfind("SigCgt:", 0) == 0)
            caught = std::stoull(line.substr(7), nullptr, 16);
    unsigned long long quits = 0;
    for (int quit : {SIGTERM, SIGINT, SIGHUP, SIGQUIT})
        quits |= 1ull << (quit - 1);
    return caught & quits;
}

// A display whose message boxes wait for OK in a process of their own, as
// a real display's do; it tells when one is open, which quit signals the
// box's process catches, and whether the game left one open (ended by the
// display after a minute at the machine's pace).
class MyFrameWaitingBoxBackend : public platform::HeadlessBackend {
public:
    std::atomic<bool> open{false};
    std::atomic<unsigned long long> boxCatches{0};
    std::atomic<bool> leftOpen{false};
    bool showMessageBox(const std::string&, const std::string&, UINT) override
    {
        int started[2];
        if (pipe(started) != 0)
            return false;
        const pid_t box = fork();
        if (box == 0) {
            // The process is the box's from here (what fork runs in it is
            // done). It makes only calls a signal handler may: the game's
            // threads run on as it is forked.
            if (write(started[1], "x", 1) != 1)
                _exit(1);
            pause();
            _exit(0);
        }
        char byte = 0;
        while (box > 0 && read(started[0], &byte, 1) < 0 && errno == EINTR) {
        }
        close(started[0]);
        close(started[1]);
        if (box > 0)
            boxCatches = boxCatches | caughtQuitSignals(box);
        open = true;
        testsupport::MachinePace waited;
        while (box > 0 && waitpid(box, nullptr, WNOHANG) == 0) {
            if (waited.counted() >= 60000) {
                leftOpen = true;
                kill(box, SIGKILL);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        open = false;
        return true;
    }
};

} // namespace

TEST_F(MyFrameTest, AQuitOrTheWindowsCloseEndsAStuckScriptOrAWaitingBoxAndKeepsThePlayersWholeStory)
{
    // Ann's saved game, which no end of the program may spoil.
    world.setSetting("LASTPROFILE", "Ann");
    world.setSetting("Ann\\displayName", "Ann");
    ProgressRecord record;
    record.currentRoom = 3;
    record.chapter = 2;
    lang::ByteArray image;
    record.writeImage(image);
    world.settings()->setBytesChunked(lang::String("Ann\\userdata"), image);
    const std::string story = "LF.chapterTwo = true\n";
    lang::ByteArray text;
    text.setLength(int(story.size()));
    std::copy(story.begin(), story.end(), text.data());
    world.settings()->setBytesChunked(lang::String("Ann\\LF"), text);
    const std::string marker = (world.folder() / "waiting").string();
    // Only the signal may end what hangs.
    ScriptHost::setTimeLimit(600000);

    struct Case {
        const char* what;
        std::string gameScript;
        // Once the game is on screen, the window is closed (and the save
        // on the way out is what hangs).
        bool closeFirst;
        // The window, not a signal, is closed while what hangs waits.
        bool closeWindow = false;
        // The game's frames run once it is on screen.
        bool inPlay = false;
    };
    const std::vector<Case> cases = {
        {"an endless loop at load", "if not looped then looped = true io.open('waiting', 'w'):close() "
                                    "while true do end end\n",
         false},
        {"an endless save at exit", "function LF_save() io.open('waiting', 'w'):close() while true do end end\n",
         true},
        {"a message box at load", "if not alerted then alerted = true _ALERT('read me') end\n", false},
        {"a message box at load, the window closed",
         "if not alertedOnce then alertedOnce = true _ALERT('read me') end\n", false, true},
        // The box waits on the window's thread, which the signal's close
        // waits for; the save on the way out writes the story as it was.
        {"a message box in play",
         "canvas:setHasLuaAnimations(true)\n"
         "function canvas:nextFrame() self:setHasLuaAnimations(false) _ALERT('read me') end\n"
         "function LF_save() return [[" + story + "]] end\n",
         false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameOptions options;
        options.gameScript = c.gameScript;
        writeGame(world.data(), options);
        world.data().writeArchive();
        std::filesystem::remove(marker);
        auto backend = std::make_unique<MyFrameWaitingBoxBackend>();
        MyFrameWaitingBoxBackend* boxes = backend.get();
        platform::setWindowBackend(std::move(backend));
        std::atomic<bool> stop{false};
        std::thread player([&] {
            bool closed = false;
            while (!stop) {
                LanternfieldCanvas* canvas = MyFrame::canvas();
                if (c.closeFirst && !closed && canvas && canvas->isStarted() && canvas->getParent()) {
                    PostMessageA(canvas->getParent()->getHWND(), WM_CLOSE, 0, 0);
                    closed = true;
                }
                if ((std::filesystem::exists(marker) || boxes->open) && !c.closeWindow) {
                    std::raise(SIGTERM);
                    return;
                }
                if (boxes->open && c.closeWindow && canvas && canvas->getParent()) {
                    PostMessageA(canvas->getParent()->getHWND(), WM_CLOSE, 0, 0);
                    return;
                }
                if (c.inPlay && canvas && canvas->isStarted())
                    world.clock().advance(MyFrame::GAME_PERIOD_MS);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        EXPECT_EQ(0, GameEntry::run(nullptr));
        stop = true;
        player.join();
        EXPECT_FALSE(boxes->open);
        EXPECT_FALSE(boxes->leftOpen);
        // A quit signal ends a box's process: it keeps none of the game's handlers.
        EXPECT_EQ(0u, boxes->boxCatches.load());
        platform::useHeadlessBackend();
        EXPECT_EQ(1, world.setting("NORMALEXIT", -1));
        lang::ByteArray kept;
        ASSERT_TRUE(world.settings()->getBytesChunked(lang::String("Ann\\LF"), kept));
        EXPECT_EQ(story, std::string(reinterpret_cast<const char*>(kept.data()), size_t(kept.length())));
        ASSERT_TRUE(world.settings()->getBytesChunked(lang::String("Ann\\userdata"), kept));
        ProgressRecord read;
        ASSERT_TRUE(read.readImage(kept.data(), kept.length()));
        EXPECT_EQ(3, read.currentRoom);
        EXPECT_EQ(2, read.chapter);
    }
    ScriptHost::setTimeLimit(0);
}

// A save stuck in a call that never returns (opening a pipe nobody writes
// to) cannot be stopped: the window's close tells the scripts that the game
// closes, and the game ends on its own within seconds, without that save.
TEST_F(MyFrameTest, TheWindowsCloseEndsAGameWhoseSaveIsStuckInACall)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    world.setSetting("LASTPROFILE", "Ann");
    world.setSetting("Ann\\displayName", "Ann");
    GameOptions options;
    options.gameScript = "function LF_save() io.open('pipe') end\n";
    writeGame(world.data(), options);
    world.data().writeArchive();
    ASSERT_EQ(0, mkfifo((world.folder() / "pipe").c_str(), 0600));
    // The child, a fresh run of this program, ends without removing its own
    // folders: they are made inside this test's.
    const char* const temporary = std::getenv("TMPDIR");
    const bool hadTemporary = temporary != nullptr;
    const std::string kept = hadTemporary ? temporary : "";
    setenv("TMPDIR", world.folder().c_str(), 1);
    EXPECT_EXIT(
        {
            endWhenHung(30);
            std::thread player([] {
                for (;;) {
                    LanternfieldCanvas* canvas = MyFrame::canvas();
                    if (canvas && canvas->isStarted() && canvas->getParent()) {
                        PostMessageA(canvas->getParent()->getHWND(), WM_CLOSE, 0, 0);
                        return;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            });
            player.detach();
            std::exit(GameEntry::run(nullptr) + 10);
        },
        ::testing::ExitedWithCode(1), "did not end within 6 seconds of its close");
    if (hadTemporary)
        setenv("TMPDIR", kept.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

namespace {

// Waits (in a program ended otherwise should the test fail) until the game
// is on screen.
void waitForTheGameOnScreen()
{
    for (;;) {
        LanternfieldCanvas* canvas = MyFrame::canvas();
        if (canvas && canvas->isStarted() && canvas->getParent())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// The settings file as text.
std::string settingsText(const std::filesystem::path& folder)
{
    std::stringstream text;
    text << std::ifstream(folder / "registry.txt").rdbuf();
    return text.str();
}

// Bytes as the settings file writes a binary value's.
std::string settingsHex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex = "x";
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

} // namespace

// The exit save waits for the settings file, which another copy of the game
// holds locked for a while (less than a lock is waited for): that time is
// the save's writing, not a script's, and the game ends once the lock is
// let go, saved, with code 0.
TEST_F(MyFrameTest, TheClosesClockNeverCountsTheSavesWriting)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    world.setSetting("LASTPROFILE", "Ann");
    world.setSetting("Ann\\displayName", "Ann");
    world.data().writeArchive();
    const std::string lockFile = (world.folder() / "registry.txt.lock").string();
    EXPECT_EXIT(
        {
            endWhenHung(60);
            std::thread player([lockFile] {
                waitForTheGameOnScreen();
                const int lock = ::open(lockFile.c_str(), O_RDWR | O_CREAT, 0600);
                flock(lock, LOCK_EX);
                std::raise(SIGTERM);
                std::this_thread::sleep_for(platform::RegistryFileLock::kWait - std::chrono::seconds(1));
                close(lock);
            });
            player.detach();
            std::exit(GameEntry::run(nullptr) + 10);
        },
        ::testing::ExitedWithCode(10), "");
    EXPECT_NE(std::string::npos, settingsText(world.folder()).find("V \"NORMALEXIT\" 4 x01000000"));
}

namespace {

// A display whose thread, once told to, makes a call into it that does not
// come back, as Xlib's does when the server no longer answers, or comes back
// only once the close was made without it; its boxes wait as a real
// display's do.
class MyFrameFrozenBackend : public MyFrameWaitingBoxBackend {
public:
    std::atomic<bool> freeze{false};
    // The window's thread is held in its next picture instead (with the
    // paint lock a paint holds).
    std::atomic<bool> freezeInPresent{false};
    std::atomic<bool> frozen{false};
    bool comesBack = false;
    int pumpInterval() const override { return GetCurrentThreadId() == m_thread ? 5 : -1; }
    void pump() override
    {
        if (freeze && GetCurrentThreadId() == m_thread)
            hold();
    }
    void present(HWND hwnd, std::shared_ptr<const std::vector<uint32_t>> pixels, int width, int height) override
    {
        if (freezeInPresent && GetCurrentThreadId() == m_thread)
            hold();
        platform::HeadlessBackend::present(hwnd, std::move(pixels), width, height);
    }

private:
    [[noreturn]] void hold()
    {
        {
            platform::DisplayThread::Call call;
            frozen = true;
            while (!comesBack || !platform::DisplayThread::takenOver())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        // A thread taken over never gets here: running on beside the one
        // that took over, it would save and close a second time.
        std::_Exit(3);
    }

    const DWORD m_thread = GetCurrentThreadId();
};

} // namespace

// The window's thread is held in a call into the display when the game is
// asked to end, on screen or in a box a script opened in play: the close is
// made without it, with Ann's story and the normal end saved, and the game
// ends with code 0 within seconds; with code 1 and the line that says so
// when that save is refused. The thread, should its call come back, never
// runs on. Held while the game loads (the loader in a script's call that
// does not return), the close saves nothing: the game is not there whole.
// Held in a paint of the loading screen while the loader starts the game,
// which then waits to hand the window over, the close saves: the game is
// there whole. Held in a paint of the game in play, with the canvas's lock,
// the close saves without leaving the room, whose exit would wait for that
// lock; held between two frames, the close leaves the room before the save. A save that a busy machine slows down is never cut: the close
// counts the time its scripts run, not the time they wait for a processor.
TEST_F(MyFrameTest, AGameWhoseDisplayNoLongerAnswersEndsSavedOnAQuit)
{
    if (testsupport::ChildProgram::role() == "busy") {
        // The busy row's three busy threads, in a program of their own: the
        // game's processor time is its own, and this test's process, forked
        // for each row, has none but its own thread.
        testsupport::BusyProcessor busy;
        testsupport::ChildProgram::report();
        pause();
    }
    GTEST_FLAG_SET(death_test_style, "fast");
    world.setSetting("LASTPROFILE", "Ann");
    world.setSetting("Ann\\displayName", "Ann");
    ProgressRecord record;
    record.currentRoom = 3;
    lang::ByteArray image;
    record.writeImage(image);
    world.settings()->setBytesChunked(lang::String("Ann\\userdata"), image);
    ASSERT_EQ(0, mkfifo((world.folder() / "pipe").c_str(), 0600));
    const std::filesystem::path waiting = world.folder() / "waiting";
    const std::filesystem::path playing = world.folder() / "playing";
    const std::filesystem::path frozen = world.folder() / "frozen";
    const std::filesystem::path completed = world.folder() / "completed";
    struct Case {
        const char* what;
        std::string gameScript;
        // Where the display's call holds the window's thread.
        enum { ON_SCREEN, IN_BOX, AT_LOAD, AT_HAND_OVER, IN_PICTURE, IN_PLAY } held;
        // The save on the way out is refused from the freeze on.
        bool refuse = false;
        bool comesBack = false;
        // The close shares one processor with three threads that never rest.
        bool busy = false;
    };
    // The story is checked at load with its save, which waits there until
    // the pipe is opened for writing.
    const std::string waitsAtLoad = "local save = LF_save\n"
                                    "function LF_save() if not held then held = true "
                                    "io.open('waiting', 'w'):close() io.open('pipe') end return save() end\n";
    // The game's frames start the story in a room and then draw anew each
    // time; the room's exit moves a sprite on the canvas and marks the
    // story, which the save then says, and the canvas's own completion of
    // its animations, part of leaving the room, leaves a mark once the
    // display is frozen.
    const std::string startsTheStory =
        "canvas:setHasLuaAnimations(true)\n"
        "function canvas:completeAnimations() if io.open('frozen') then io.open('completed', 'w'):close() end end\n"
        "function canvas:nextFrame() if not started then started = true LF.vignetteSeen = {1, 1, 1, 1, 1, 1} "
        "self:startChapter() for _, room in pairs(rooms) do room.onExit = function() "
        "canvas:bringToFront(canvas:sprite('GameCursor')) LF.roomLeft = true end end "
        "io.open('playing', 'w'):close() end blink = not blink self:sprite('NewTask'):show(blink) end\n"
        "local save = LF_save\n"
        "function LF_save() return save() .. (LF.roomLeft and 'LF.roomLeft = true\\n' or '') end\n";
    const Case cases[] = {
        {"on screen", "", Case::ON_SCREEN},
        {"in a box a script opened",
         "canvas:setHasLuaAnimations(true)\n"
         "function canvas:nextFrame() self:setHasLuaAnimations(false) _ALERT('read me') end\n",
         Case::IN_BOX},
        {"on screen, the save refused",
         "local save = LF_save\n"
         "function LF_save() if io.open('frozen') then error('refused') end return save() end\n",
         Case::ON_SCREEN, true},
        {"on screen, its call into the display coming back", "", Case::ON_SCREEN, false, true},
        {"at load", waitsAtLoad, Case::AT_LOAD},
        {"as the load hands the window over", waitsAtLoad, Case::AT_HAND_OVER},
        {"in a picture of the game in play", startsTheStory, Case::IN_PICTURE},
        {"between two frames of the game in play", startsTheStory, Case::IN_PLAY},
        {"on screen, its save slow on a busy machine",
         "local save = LF_save\n"
         "function LF_save() if io.open('frozen') then local t = os.clock() while os.clock() - t < 1.5 do end end "
         "return save() end\n",
         Case::ON_SCREEN, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world.setSetting("NORMALEXIT", 0);
        for (const std::filesystem::path& marker : {waiting, playing, frozen, completed})
            std::filesystem::remove(marker);
        // The story the save makes names the case; the save runs as long
        // as a sample game's does.
        const std::string story = std::string("LF.savedBy = '") + c.what + "'\n";
        GameOptions options;
        options.gameScript =
            "function LF_save() for i = 1, 100000 do end return [[" + story + "]] end\n" + c.gameScript;
        writeGame(world.data(), options);
        world.data().writeArchive();
        std::optional<testsupport::ChildProgram> busy;
        if (c.busy) {
            busy.emplace("busy", world.folder());
            ASSERT_TRUE(busy->waitForReports(1)) << busy->output();
        }
        EXPECT_EXIT(
            {
                // The busy row's save runs on a quarter of a processor at
                // most.
                endWhenHung(c.busy ? 240 : 60);
                auto backend = std::make_unique<MyFrameFrozenBackend>();
                MyFrameFrozenBackend* display = backend.get();
                display->comesBack = c.comesBack;
                platform::setWindowBackend(std::move(backend));
                std::thread player([this, display, &c, &waiting, &playing, &frozen, &busy] {
                    if (c.held == Case::AT_HAND_OVER) {
                        // The loading screen's next paint holds the window's
                        // thread; the loader, let go, starts the game and
                        // waits for that paint to end.
                        while (!std::filesystem::exists(waiting))
                            std::this_thread::sleep_for(std::chrono::milliseconds(1));
                        display->freezeInPresent = true;
                        while (!display->frozen) {
                            world.clock().advance(MyFrame::LOADING_PERIOD_MS);
                            std::this_thread::sleep_for(std::chrono::milliseconds(1));
                        }
                        std::ofstream{world.folder() / "pipe"};
                        while (!MyFrame::canvas() || !MyFrame::canvas()->isStarted())
                            std::this_thread::sleep_for(std::chrono::milliseconds(1));
                        std::raise(SIGTERM);
                        return;
                    }
                    if (c.held == Case::AT_LOAD) {
                        while (!std::filesystem::exists(waiting))
                            std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    } else {
                        waitForTheGameOnScreen();
                    }
                    // The game's frames, which open the script's box, or
                    // start the story and draw it.
                    const bool inPicture = c.held == Case::IN_PICTURE;
                    const bool inPlay = inPicture || c.held == Case::IN_PLAY;
                    auto frame = [this](bool next) {
                        if (next)
                            world.clock().advance(MyFrame::GAME_PERIOD_MS);
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    };
                    while ((c.held == Case::IN_BOX && !display->open) ||
                           (inPlay && !std::filesystem::exists(playing)))
                        frame(true);
                    std::ofstream{frozen};
                    (inPicture ? display->freezeInPresent : display->freeze) = true;
                    while (!display->frozen)
                        frame(inPicture);
                    // The close runs on the busy processor, every thread
                    // of the game there (the one that takes the close over
                    // is made there).
                    if (busy)
                        for (const auto& thread : std::filesystem::directory_iterator("/proc/self/task"))
                            testsupport::BusyProcessor::share(std::stoi(thread.path().filename()));
                    std::raise(SIGTERM);
                });
                player.detach();
                std::exit(GameEntry::run(nullptr) + 10);
            },
            ::testing::ExitedWithCode(c.refuse ? 1 : 0),
            c.refuse ? "The game could not be saved: the story of Ann cannot be had" : "");
        const std::string settings = settingsText(world.folder());
        EXPECT_NE(std::string::npos, settings.find("V \"NORMALEXIT\" 4 x01000000")) << settings;
        EXPECT_EQ(!c.refuse && c.held != Case::AT_LOAD, settings.find(settingsHex(story)) != std::string::npos)
            << settings;
        // The room in play is left unless a frame holds the canvas.
        const bool left = c.held == Case::IN_PLAY;
        EXPECT_EQ(left, std::filesystem::exists(completed));
        EXPECT_EQ(left, settings.find(settingsHex(story + "LF.roomLeft = true\n")) != std::string::npos) << settings;
    }
}

TEST(GameEntryTest, AMissingArchiveIsReportedAndEndsWithAnError)
{
    testsupport::GameWorld world;
    // The display lost while the box waits, the window's thread held for
    // good in its call into it: the close is made without that thread, and
    // the game, which never started, still ends with 1. These cases come
    // first, while this process, which each forks, has no thread but its
    // own: a game run here leaves standard error's writer running.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            endWhenHung(30);
            auto backend = std::make_unique<MyFrameFrozenBackend>();
            MyFrameFrozenBackend* display = backend.get();
            platform::setWindowBackend(std::move(backend));
            std::thread lost([display] {
                while (!display->open)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                display->freeze = true;
                while (!display->frozen)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                platform::DisplayThread::markDisplayLost();
            });
            lost.detach();
            std::exit(GameEntry::run(nullptr) + 10);
        },
        ::testing::ExitedWithCode(1), "");

    // A settings write that failed after the player's save (the normal
    // end's mark, on a full disk, say) ends a game with 1 too, saying what
    // was lost.
    EXPECT_EXIT(
        {
            platform::ScopedRegistryFile full((world.folder() / "full.txt").string());
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit fileSize{};
            getrlimit(RLIMIT_FSIZE, &fileSize);
            const rlim_t unlimited = fileSize.rlim_cur;
            fileSize.rlim_cur = 1;
            setrlimit(RLIMIT_FSIZE, &fileSize);
            DWORD one = 1;
            RegSetValueExA(HKEY_CURRENT_USER, "NORMALEXIT", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
            // Standard error, which the test reads from a file, is written.
            fileSize.rlim_cur = unlimited;
            setrlimit(RLIMIT_FSIZE, &fileSize);
            std::exit(GameEntry::closedCode(false, ""));
        },
        ::testing::ExitedWithCode(1), "The game could not be saved: .*File too large");

    EXPECT_EQ(1, GameEntry::run(nullptr));
    std::vector<platform::MessageBoxRecord> boxes = world.boxes();
    ASSERT_EQ(1u, boxes.size());
    // The box says what happened, and where the archive was looked for.
    EXPECT_EQ("The game cannot start: its data " + std::filesystem::absolute("Lanternfield.bin").string() +
                  " is missing.",
              boxes[0].text);

    // A quit signal while the box waits for OK closes it, and the program
    // ends as it would have, the box not left open.
    auto backend = std::make_unique<MyFrameWaitingBoxBackend>();
    MyFrameWaitingBoxBackend* box = backend.get();
    platform::setWindowBackend(std::move(backend));
    std::thread player([box] {
        testsupport::MachinePace waited;
        while (!box->open && waited.counted() < 60000)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::raise(SIGTERM);
    });
    EXPECT_EQ(1, GameEntry::run(nullptr));
    player.join();
    EXPECT_FALSE(box->open);
    EXPECT_FALSE(box->leftOpen);
    platform::useHeadlessBackend();
}

} // namespace
} // namespace gametest
