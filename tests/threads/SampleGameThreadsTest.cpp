// SampleGameThreadsTest.cpp: one short run of the sample game for the
// ThreadSanitizer build: the loader thread loads while the window thread
// reads the loading progress and paints, then a new player starts, walks
// through a few rooms and closes the window (the save on exit, the loader
// thread joined); the window switched away and back, minimised and restored
// in and out of full screen while the game loads; the program quit while the
// story's script loops at load; and the chest's sliding board laid out again
// behind its doors. The sanitizer, not an assertion, finds the faults here.
#include "game/app/GameEntry.h"
#include "game/rooms/Room.h"
#include "platform/kernel/Clock.h"
#include "platform/user/Backend.h"
#include "platform/user/Input.h"
#include "scenes/slideblock/SlideBlockPuzzle.h"
#include "scenes/treasurechest/TreasureChestCU.h"
#include "tests/game/support/GameFixture.h"
#include "tests/game/support/SampleSession.h"
#include "tests/support/MachinePace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

namespace gametest {
namespace {

TEST(SampleGameThreadsTest, ANewPlayerWalksThroughAFewRoomsAndQuits)
{
    if (!hasSampleGame())
        GTEST_SKIP() << "the game data is built with the tools";
    testsupport::GameWorld world;
    auto* frame = new testsupport::TestLoaderFrame();
    Canvas* canvas = nullptr;
    double progress = 0.0;
    // The main frame's loading bar reads these while the loader thread
    // counts, and the window repaints (as when it is resized or minimised)
    // while the loader sets the game up.
    world.whileLoading = [&canvas, &progress, frame] {
        if (canvas && canvas->getManifestTotal() != 0)
            progress = double(canvas->getEntriesLoaded()) / canvas->getManifestTotal();
        frame->repaint();
    };
    ASSERT_TRUE(startSampleGame(world, frame, canvas));
    EXPECT_LE(progress, 1.0);

    newPlayer(world, "Ann");
    world.click(400, 410); // "Start"
    world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + 2);
    ASSERT_EQ(LanternfieldCanvas::ROOM_STORY_INTRO, canvas->getProgress()->currentRoom);
    leaveBy(world, canvas->getRoom(LanternfieldCanvas::ROOM_STORY_INTRO), 0);
    for (const char* button : {"NextButton", "ContinueButton", "NextButton", "NextButton", "ContinueButton"})
        pressCutSceneButton(world, canvas, button);
    world.stepFrames(25);
    ASSERT_EQ(0, canvas->getProgress()->currentRoom);
    leaveBy(world, canvas->getRoom(0), 0);
    ASSERT_EQ(2, canvas->getProgress()->currentRoom);
    leaveBy(world, canvas->getRoom(2), 0);
    EXPECT_NE(2, canvas->getProgress()->currentRoom);

    EXPECT_TRUE(world.close());
    EXPECT_TRUE(world.boxes().empty());
}

// The loader held where it has just written, or next writes, what the
// window's thread meets during the load: once the music clip is made (the
// clip an activation loops), before the game is set up (the data-loaded flag
// just cleared, the full-screen flag the options read next), and before it
// starts the canvas (the flag a key pressed on the canvas reads). The
// hand-shake is of relaxed atomics, which order nothing for the sanitizer:
// only the canvas's and the frame's own guards may.
std::atomic<int> holdReached{0};
std::atomic<int> holdReleased{0};

void holdLoader(int point)
{
    holdReached.store(point, std::memory_order_relaxed);
    // The limit, at the machine's pace, only ends a hold whose window never
    // turns.
    testsupport::reachedAtPace(20000, [point] { return holdReleased.load(std::memory_order_relaxed) >= point; });
}

class HeldLoaderCanvas : public Canvas {
public:
    void setupGame(sprite::DataLoader* loader) override
    {
        holdLoader(2);
        Canvas::setupGame(loader);
    }
    void start() override
    {
        holdLoader(3);
        Canvas::start();
    }
};

// The game's main frame tells the canvas of its activation.
class ActivatingFrame : public testsupport::TestLoaderFrame {
public:
    void activated(bool active) override
    {
        if (sprite::GameCanvas3* canvas = getCanvas())
            canvas->setActive(active);
        TestLoaderFrame::activated(active);
    }
};

// The player switches away from the loading game in full screen (it leaves
// full screen and minimises), back (full screen again), minimises and
// restores it, one step at every turn of the window's message loop, while
// pressing a key and the window repaints; the loader waits at each hold for
// two rounds of it.
TEST(SampleGameThreadsTest, TheWindowIsSwitchedAwayAndBackWhileTheGameLoads)
{
    if (!hasSampleGame())
        GTEST_SKIP() << "the game data is built with the tools";
    testsupport::GameWorld world;
    // The system's clock: the test clock's lock would order the two threads'
    // steps for the sanitizer.
    platform::setClock(nullptr);
    holdReached = 0;
    holdReleased = 0;
    LanternfieldCanvas::musicClipMade = [] { holdLoader(1); };
    struct Unhook {
        ~Unhook() { LanternfieldCanvas::musicClipMade = nullptr; }
    } unhook;
    auto* frame = new ActivatingFrame();
    frame->setFullScreen(true, false);
    Canvas* canvas = nullptr;
    constexpr int kTurnsHeld = 8;
    int turn = 0;
    int turnsHeld = 0;
    bool musicWhileHeld = false;
    bool dataInWhileHeld = false;
    world.whileLoading = [&] {
        const int at = holdReached.load(std::memory_order_relaxed);
        if (at > holdReleased.load(std::memory_order_relaxed)) {
            if (at == 1 && canvas->getMusicClip())
                musicWhileHeld = true;
            if (at == 2 && canvas->isDataLoaded())
                dataInWhileHeld = true;
            if (++turnsHeld >= kTurnsHeld) {
                turnsHeld = 0;
                holdReleased.store(at, std::memory_order_relaxed);
            }
        }
        const HWND window = frame->getHWND();
        switch (turn++ % 4) {
        case 0:
            platform::events::activated(nullptr);
            break;
        case 2:
            platform::events::minimized(window, true);
            break;
        default:
            platform::events::minimized(window, false);
            break;
        }
        platform::events::key(VK_SHIFT, true);
        platform::events::key(VK_SHIFT, false);
        frame->repaint();
    };
    ASSERT_TRUE(startSampleGame(world, frame, canvas, nullptr, [] { return new HeldLoaderCanvas(); }));
    EXPECT_EQ(3, holdReleased.load());
    EXPECT_FALSE(musicWhileHeld) << "the music clip is handed over once it is loaded";
    EXPECT_FALSE(dataInWhileHeld) << "the data is in once the game is set up";
    EXPECT_TRUE(canvas->getMusicClip());
    EXPECT_TRUE(world.close());
    EXPECT_TRUE(world.boxes().empty());
}

// A quit signal while the loader thread runs the story's script in a loop:
// the loader, stopped, is waited for before the canvas it filled is stopped.
TEST(SampleGameThreadsTest, TheProgramQuitsWhileAScriptLoopsAtLoad)
{
#ifdef HV_SAMPLE_DIR
    if (!hasSampleGame())
        GTEST_SKIP() << "the game data is built with the tools";
    testsupport::GameWorld world;
    for (const auto& entry : std::filesystem::directory_iterator(HV_SAMPLE_DIR)) {
        if (entry.path().extension() == ".bin" || entry.path().extension() == ".lua")
            std::filesystem::copy_file(entry.path(), world.folder() / entry.path().filename());
    }
    const std::filesystem::path looping = world.folder() / "looping";
    std::ofstream(world.folder() / "Lanternfield.lua", std::ios::app)
        << "\nio.open('looping', 'w'):close() local co = coroutine.create(function() while true do end end) "
           "coroutine.resume(co) while true do pcall(function() for i = 1, 1e7 do end end) end\n";
    world.setSetting("FULLSCREEN", 0);
    // The system's clock, as the program has it: the test clock's lock would
    // order the two threads' steps for the sanitizer.
    platform::setClock(nullptr);
    std::atomic<bool> ended{false};
    std::thread player([&looping, &ended] {
        while (!ended && !std::filesystem::exists(looping))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (!ended)
            std::raise(SIGINT);
    });
    EXPECT_EQ(0, GameEntry::run(nullptr));
    ended = true;
    player.join();
#else
    GTEST_SKIP() << "the game data is built with the tools";
#endif
}

// The treasure chest's Reset closes the sliding board's doors, and the board
// is laid out again behind them as their wipe ends in the board's tick: its
// blocks are taken off the board there, as on the next entry outside a tick.
using SampleChestThreadsTest = GameFixture;

TEST_F(SampleChestThreadsTest, TheChestsResetLaysItsBoardOutAgainBehindTheDoors)
{
    if (!hasSampleGame())
        GTEST_SKIP() << "the game data is built with the tools";
    ASSERT_TRUE(startSampleGame());
    SamplePlayer player(world, canvas);
    enter(6);
    player.closeInstructions();
    auto* board = static_cast<SlideBlockPuzzle*>(room(TreasureChestCU::BOARD_ROOM));
    ASSERT_TRUE(board->isInstanceOf("SlideBlockPuzzle"));
    ASSERT_TRUE(player.painted([board] { return !board->isBusy(); }));
    clickPart(world, board, "ResetButton");
    ASSERT_TRUE(board->isBusy()) << "the doors close";
    EXPECT_TRUE(player.painted([board] { return !board->isBusy(); }));
    enter(6);
    EXPECT_TRUE(player.arrivedIn(6));
}

} // namespace
} // namespace gametest
