// WhackAClamTest.cpp: the pearl game in the fixture game with one clam at
// (400, 300): the clam's steps frame by frame, a pearl clicked on a closing
// clam, a scripted game to the win standing before it leads out, the air
// running out with the warning's pulse giving way to the empty label, the
// way out after it and a full tank on coming back, the
// how-to-play given up when the room is left before it opens, and a
// definition with odd data.
#include "scenes/whackaclam/WhackAClam.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/whackaclam/Clam.h"
#include "sprites/images/AnimateSprite.h"
#include "tests/scenes/support/SceneFixture.h"

#include <algorithm>

namespace scenetest {
namespace {

constexpr int kWhackAClamRoom = 18;
// Three pearls; slots from (100, 500); at most 2 showing; closed 4 ticks,
// open 8 (2 when fast); no step delay; every opening clam holds a pearl
// (100 %); no limit per clam; one clam of look 1 at (400, 300), full size.
const char kNumbers[] = "0 3 100 500 0 2 0 4 4 8 8 0 0 100 0  400 300 100 1 0  -1";
// The clam's picture is 120 x 160 about (400, 300), so its 20-pixel pearl
// (left edge 55, top 135 in the picture) is centred on this point.
constexpr int kPearlX = 340 + 55 + 10;
constexpr int kPearlY = 220 + 135 + 10;
// The air tank's height: (10 + 1) x 12 ticks of air.
constexpr int kTank = 10;

class WhackAClamTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        data.picture("bottom", 120, 160, 0xFF605040u);
        framesPicture(data, "top", 4, 120, 160);
        data.picture("pearl", 20, 20, 0xFFF0F0F0u);
        framesPicture(data, "bubbles", 3, 20, 20);
        data.picture("tank", 20, kTank, 0xFF2080C0u);
        data.picture("warn", 40, 40, 0xFFFF2020u);
        SceneSetup scene;
        scene.index = kWhackAClamRoom;
        scene.className = "WhackAClam";
        scene.manifest = std::string("<data>\n") + numbers() +
                         "\n<sprites>\n"
                         "ClamBottom_A Sprite bottom -500 0\nClamBottom_B Sprite bottom -500 0\n"
                         "ClamTop_A AnimateSprite top -500 0 4 1 0\nClamTop_B AnimateSprite top -500 0 4 1 0\n"
                         "Pearl Sprite pearl -500 0\nPearlBubbles AnimateSprite bubbles -500 0 3 1 -1\n" +
                         tank() +
                         "AirTankWarning Sprite warn 650 50\nAirTankEmpty Sprite warn 650 50\n"
                         "WhackAClamClose ButtonSprite warn 740 540 1 1 0 0 0 1\n<end>\n";
        scene.callbacks = {"onAllCaught", "onWin", "onLose", "onClose", "noPearl"};
        gametest::GameOptions options;
        options.gameScript = "function LF_showTaskCompleted() record('LF_showTaskCompleted') end\n";
        ASSERT_TRUE(startScene(scene, options));
        game = static_cast<WhackAClam*>(room(kWhackAClamRoom));
        ASSERT_TRUE(game->isInstanceOf("WhackAClam"));
        enter(kWhackAClamRoom);
    }
    virtual std::string numbers() { return kNumbers; }
    virtual std::string tank() { return "ClamTankOverlay Sprite tank 700 100\n"; }
    void activate() { EXPECT_EQ("true", runLua(game, "return self:activateGame(true)")); }
    Clam* clam() { return game->getClam(0); }

    WhackAClam* game = nullptr;
};

TEST_F(WhackAClamTest, TheClamOpensWithAPearlAndShutsOnItOnItsTimers)
{
    ASSERT_EQ(1, game->getClamCount());
    frames(10);
    EXPECT_EQ(Clam::STATE_CLOSED, clam()->getState()) << "nothing moves until the script starts the game";
    activate();
    clearRecords();
    // Per frame: the state and the top shell's frame (3 closed, 0 open).
    const int closed = Clam::STATE_CLOSED, opening = Clam::STATE_OPENING, open = Clam::STATE_OPEN,
              closing = Clam::STATE_CLOSING;
    const int steps[][2] = {{closed, 3},  {closed, 3}, {closed, 3},  {closed, 3},  {opening, 3},
                            {opening, 2}, {opening, 1}, {opening, 0}, {open, 0},    {open, 0},
                            {open, 0},    {open, 0},    {open, 0},    {open, 0},    {open, 0},
                            {open, 0},    {open, 0},    {closing, 0}, {closing, 2}, {closed, 3}};
    for (int f = 0; f < int(sizeof steps / sizeof steps[0]); ++f) {
        frames(1);
        EXPECT_EQ(steps[f][0], clam()->getState()) << "frame " << f + 1;
        EXPECT_EQ(steps[f][1], clam()->getTop()->getFrame()) << "frame " << f + 1;
        if (f == 4) {
            EXPECT_TRUE(clam()->hasPearl() && game->getPearlsShowing() == 1) << "the pearl is decided as it opens";
        }
    }
    EXPECT_FALSE(clam()->hasPearl()) << "a clam that shuts loses its pearl";
    EXPECT_EQ(0, game->getPearlsShowing());
    const std::vector<int> sounds = soundsPlayed();
    ASSERT_EQ(2u, sounds.size());
    EXPECT_EQ(Clam::SOUND_OPENING, sounds[0]);
    EXPECT_TRUE(sounds[1] >= Clam::SOUND_CLOSING && sounds[1] < Clam::SOUND_CLOSING + Clam::CLOSING_SOUNDS);
    expectLuaErrors(game, {{"self:activateGame()", "too many arguments"},
                           {"self:activateGame(true, 1)", "too many arguments"},
                           {"hv.WhackAClam.activateGame({}, true)", "not a Sprite object"},
                           {"hv.WhackAClam.activateGame(canvas, true)", "not a WhackAClam"}});
}

TEST_F(WhackAClamTest, APearlClickedAsTheClamShutsReopensItForThreeTimesItsOpenDelay)
{
    activate();
    ASSERT_TRUE(stepUntil([this] { return clam()->getState() == Clam::STATE_CLOSING; }));
    clearRecords();
    world.click(kPearlX, kPearlY);
    EXPECT_EQ((std::vector<int>{Clam::SOUND_PEARL_TAKEN, Clam::SOUND_OPENING}), soundsPlayed());
    EXPECT_EQ(Clam::STATE_OPENING, clam()->getState());
    EXPECT_EQ(1, game->getPearlsClicked());
    ASSERT_TRUE(stepUntil([this] { return clam()->getState() == Clam::STATE_OPEN; }));
    EXPECT_EQ(3 * 8, clam()->getCountdown());
    EXPECT_NE(std::string::npos, world.debugText().find("Pop that clam back open!!\n"));
    ASSERT_TRUE(clam()->getFloatingPearl() && clam()->getFloatingPearl()->isVisible());
    // It floats up for 25 frames and flies to the first slot in 10.
    ASSERT_TRUE(stepUntil([this] { return game->getPearlsCollected() == 1; }));
    EXPECT_NEAR(25 + 10, framesRun, 1);
    EXPECT_EQ(128, game->getSlot(0)->getColor().getRed());
    EXPECT_EQ(64, game->getSlot(1)->getColor().getRed());
}

TEST_F(WhackAClamTest, ComingBackAfterAPearlStartsAgainFromNoneWithEverySlotDark)
{
    for (int visit = 0; visit < 2; ++visit) {
        activate();
        ASSERT_TRUE(stepUntil([this] { return clam()->getState() == Clam::STATE_OPEN && clam()->hasPearl(); }))
            << visit;
        world.click(kPearlX, kPearlY);
        ASSERT_TRUE(stepUntil([this] { return game->getPearlsCollected() == 1; })) << visit;
        EXPECT_EQ(128, game->getSlot(0)->getColor().getRed()) << visit << ": the first slot lit";
        EXPECT_EQ(64, game->getSlot(1)->getColor().getRed()) << visit;
        game->onExit();
        game->onEnter();
        EXPECT_EQ(0, game->getPearlsCollected()) << visit;
        EXPECT_EQ(0, game->getPearlsClicked()) << visit;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(64, game->getSlot(i)->getColor().getRed()) << visit << ": slot " << i << " dark again";
    }
}

TEST_F(WhackAClamTest, AScriptedGameCollectsEveryPearlAndWinsAfterTheEndAnimation)
{
    activate();
    for (int p = 0; p < 3; ++p) {
        ASSERT_TRUE(stepUntil([this] { return clam()->getState() == Clam::STATE_OPEN && clam()->hasPearl(); }))
            << p;
        world.click(kPearlX, kPearlY);
        EXPECT_EQ(p + 1, game->getPearlsClicked());
    }
    EXPECT_TRUE(game->isAllClicked());
    // Every pearl clicked: the air stops, and a further click counts for nothing.
    const int height = game->getTankRect().height;
    world.click(kPearlX, kPearlY);
    EXPECT_NE(std::string::npos, world.debugText().find("), ignored, too many pearls\n"));
    ASSERT_TRUE(stepUntil([this] { return game->isEndAnimation(); }));
    EXPECT_EQ(3, game->getPearlsCollected());
    EXPECT_EQ(height, game->getTankRect().height);
    EXPECT_EQ((std::vector<std::string>{"LF_showTaskCompleted()"}), calls("LF_showTaskCompleted"));
    // The win is the script's as the end animation starts; the dive then
    // stands, a click on the close button leading nowhere.
    EXPECT_EQ(1u, calls("onAllCaught").size());
    EXPECT_TRUE(calls("onWin").empty());
    world.click(760, 560);
    EXPECT_TRUE(calls("onClose").empty());
    ASSERT_TRUE(stepUntil([this] { return !calls("onWin").empty(); }));
    EXPECT_EQ(99, framesRun) << "EndGameAnimationDone comes 4 seconds on, the click's frame one of them";
    EXPECT_TRUE(calls("onLose").empty());
    frames(200);
    EXPECT_EQ(1u, calls("onWin").size());
}

TEST_F(WhackAClamTest, AnEmptyTankLosesAndTheLowAirWarningGivesWayToOutOfAir)
{
    // The air drains once the script starts the game: one pixel of the tank
    // every 12 ticks; below a quarter of it the warning starts.
    activate();
    ASSERT_TRUE(stepUntil([this] { return game->isWarningGiven(); }));
    EXPECT_EQ(2, game->getTankRect().height);
    // The warning fades in over 23 frames, then out.
    sprite::SpriteBase* warning = game->getSprite("AirTankWarning");
    EXPECT_TRUE(warning->isVisible());
    ASSERT_TRUE(stepUntil([warning] { return warning->getAlpha() == 128; }, 24));
    const int fadeIn = framesRun;
    frames(1);
    EXPECT_GT(128, warning->getAlpha());
    ASSERT_TRUE(stepUntil([this] { return !calls("onLose").empty(); }));
    EXPECT_EQ(3 * WhackAClam::AIR_TICKS, fadeIn + 1 + framesRun) << "from 2 pixels to none, then one more step";
    EXPECT_EQ(-1, game->getTankRect().height);
    // With the air out, the steady "Out of air!" stands in the warning's place.
    sprite::SpriteBase* empty = game->getSprite("AirTankEmpty");
    for (int f = 0; f < 50; f += 25) {
        frames(25);
        EXPECT_FALSE(warning->isVisible());
        EXPECT_TRUE(empty->isVisible());
        EXPECT_EQ(128, empty->getAlpha());
    }
    EXPECT_EQ(1u, calls("onLose").size());
    EXPECT_TRUE(calls("onWin").empty());
    // The lost dive does not hold the player: the close button leads out.
    world.click(760, 560);
    EXPECT_EQ(1u, calls("onClose").size());
    // Coming back starts a dive with a full tank, not with the air the lost
    // one left (which lost it again at once, the warning still pulsing).
    game->onExit();
    game->onEnter();
    EXPECT_EQ(kTank, game->getTankRect().height);
    EXPECT_FALSE(warning->isVisible());
    EXPECT_FALSE(empty->isVisible());
    frames(2 * WhackAClam::AIR_TICKS);
    EXPECT_FALSE(game->isLost());
    EXPECT_EQ(1u, calls("onLose").size());
}

TEST_F(WhackAClamTest, HowToPlayQueuedOnActivatingIsGivenUpWhenTheRoomIsLeft)
{
    canvas->setShowGameInstructions(WhackAClam::INSTRUCTIONS_GAME, true);
    activate();
    game->onExit();
    frames(20);
    EXPECT_FALSE(canvas->isGameInstructionsShowing());
    EXPECT_FALSE(canvas->isGameInsQuestionMarkShowing());
    EXPECT_TRUE(canvas->getShowGameInstructions(WhackAClam::INSTRUCTIONS_GAME)) << "still to be seen";
}

// Clams that never hold a pearl.
class WhackAClamNoPearlTest : public WhackAClamTest {
protected:
    std::string numbers() override { return "0 3 100 500 0 2 0 4 4 8 8 0 0 0 0  400 300 100 1 0  -1"; }
};

TEST_F(WhackAClamNoPearlTest, AClickOnAnEmptyOpenClamSoundsAndTakesNothingAClosedOneIsNotHeard)
{
    // The click that starts the dive, on the shut clam, is no miss of it.
    ASSERT_EQ("", runLua(game, "rooms.WhackAClam.onClick = function(self, x, y) self:activateGame(true) end"));
    world.click(kPearlX, kPearlY);
    ASSERT_TRUE(game->isRunning());
    EXPECT_TRUE(calls("noPearl").empty());
    clearRecords();
    world.click(kPearlX, kPearlY);
    EXPECT_TRUE(soundsPlayed().empty()) << "closed";
    ASSERT_TRUE(stepUntil([this] { return clam()->getState() == Clam::STATE_OPEN; }));
    ASSERT_FALSE(clam()->hasPearl());
    clearRecords();
    world.click(kPearlX, kPearlY);
    EXPECT_EQ((std::vector<int>{Clam::SOUND_NO_PEARL}), soundsPlayed());
    EXPECT_EQ(0, game->getPearlsClicked());
    EXPECT_EQ(nullptr, clam()->getFloatingPearl());
    EXPECT_EQ(Clam::STATE_OPEN, clam()->getState());
    EXPECT_EQ((std::vector<std::string>{"noPearl:WhackAClam(1)", "noPearl:WhackAClam(0)"}), calls("noPearl"));
}

// A dive left while a clam shows its pearl: the next dive lays the clam out
// shut and empty, as the pearls showing are counted again from none (a pearl
// kept from the last dive showed uncounted, and the limit of pearls showing
// let one more open).
TEST_F(WhackAClamTest, ADiveLeftWithAPearlShowingStartsTheNextWithTheClamEmpty)
{
    activate();
    ASSERT_TRUE(stepUntil([this] { return clam()->getState() == Clam::STATE_OPEN && clam()->hasPearl(); }));
    game->onExit();
    game->onEnter();
    EXPECT_FALSE(clam()->hasPearl());
    EXPECT_EQ(0, game->getPearlsShowing());
    activate();
    for (int f = 0; f < 40; ++f) {
        frames(1);
        ASSERT_EQ(clam()->hasPearl() ? 1 : 0, game->getPearlsShowing()) << "frame " << f;
    }
}

// A clam list without its -1, a clam of no known look, and a tank of no height.
class WhackAClamOddDataTest : public WhackAClamTest {
protected:
    std::string numbers() override
    {
        return "0 3 100 500 0 2 0 4 4 8 8 0 0 100 0  400 300 100 9 0  200 250 50 2 1  300 200 100 1 0";
    }
    std::string tank() override { return "ClamTankOverlay BoundsSprite 700 100 20 0\n"; }
};

TEST_F(WhackAClamOddDataTest, TakesTheClamsToTheListsEndAndLosesWithoutAWarning)
{
    ASSERT_EQ(2, game->getClamCount());
    EXPECT_EQ(1, game->getClam(0)->getType()) << "drawn first: the higher clam";
    EXPECT_EQ(2, game->getClam(1)->getType());
    EXPECT_EQ(sprite::SpriteBase::FLIP_HORIZONTAL, game->getClam(1)->getFlipType());
    EXPECT_NE(std::string::npos, world.debugText().find("has no look 9"));
    activate();
    ASSERT_TRUE(stepUntil([this] { return !calls("onLose").empty(); }));
    EXPECT_EQ(-1, game->getTankRect().height);
    EXPECT_FALSE(game->isWarningGiven());
}

} // namespace
} // namespace scenetest
