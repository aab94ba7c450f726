// PipesCUTest.cpp: the pipes close-up opened from the fountain and played
// with the mouse: turns and their sounds, four turns back to the first angle,
// the ends and turning pieces that take no click, the glows of the flow, a
// solved board through its sparkles and colour change to the fountain's
// "setFountainFixedPipes" and "PipesFixedBling", and the reset.
#include "scenes/pipes/PipesCU.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/fountain/FountainCU.h"
#include "sprites/images/ScalerSprite.h"
#include "tests/scenes/support/FountainScene.h"

#include <algorithm>

namespace scenetest {
namespace {

class PipesCUTest : public FountainScene {
protected:
    double angle(int cell) { return pipes->pieceSprite(cell)->getRotation(); }
    bool reached(int cell) { return pipes->board().cells[size_t(cell)].reached; }
    // A click on the piece, then frames until its turn has ended.
    void turn(int cell)
    {
        world.click(pieceX(cell), pieceY());
        ASSERT_TRUE(painted([&] { return !pipes->pieceSprite(cell)->isAnimating(); }));
    }
    int count(int sound)
    {
        const std::vector<int> s = soundsPlayed();
        return int(std::count(s.begin(), s.end(), sound));
    }
};

TEST_F(PipesCUTest, TurnsAndTheFlowOfTheWater)
{
    openPipes();
    // The crossed pipe parts the water: the start and the end fill alone.
    EXPECT_TRUE(reached(0));
    EXPECT_FALSE(reached(kCrossed));
    EXPECT_TRUE(reached(3));
    EXPECT_TRUE(pipes->glowSprite(0)->isVisible());
    EXPECT_EQ(nullptr, pipes->glowSprite(kCrossed));
    clearRecords();
    // Four turns of the elbow bring it back to where it started.
    const double first = angle(kElbow);
    for (int i = 1; i <= 4; ++i) {
        turn(kElbow);
        EXPECT_DOUBLE_EQ(i == 4 ? first : first + 90.0 * i, angle(kElbow)) << i << " turns";
    }
    EXPECT_EQ(4, count(PipesCU::SOUND_TURN));
    // The ends do not turn; a piece still turning takes no click.
    clearRecords();
    world.click(pieceX(0), pieceY());
    world.click(pieceX(3), pieceY());
    EXPECT_EQ(0, count(PipesCU::SOUND_TURN));
    world.mouseDown(pieceX(kElbow), pieceY());
    EXPECT_TRUE(pipes->board().cells[kElbow].turning);
    EXPECT_FALSE(reached(kElbow)) << "a turning piece holds the water back";
    world.mouseUp(pieceX(kElbow), pieceY());
    world.click(pieceX(kElbow), pieceY());
    EXPECT_EQ(1, count(PipesCU::SOUND_TURN));
    ASSERT_TRUE(painted([&] { return !pipes->pieceSprite(kElbow)->isAnimating(); }));
    EXPECT_FALSE(pipes->board().cells[kElbow].turning);
    EXPECT_DOUBLE_EQ(first + 90.0, angle(kElbow));
}

TEST_F(PipesCUTest, ASolvedBoardIsRepairedAndTellsTheFountain)
{
    openPipes();
    turn(kCrossed);
    EXPECT_DOUBLE_EQ(180.0, angle(kCrossed)) << "a straight pipe half a turn off counts as solved";
    EXPECT_TRUE(pipes->getSolved());
    EXPECT_FALSE(pipes->canAcceptInput());
    // The sparkles run, then the reached pieces change colour, then the
    // fountain hears of it and the board closes.
    ASSERT_TRUE(painted([this] { return !calls("setFountainFixedPipes").empty(); }));
    EXPECT_EQ(1, count(PipesCU::SOUND_SPARKLES));
    EXPECT_EQ(4, count(PipesCU::SOUND_COLOUR)) << "every piece is reached once the board is whole";
    EXPECT_EQ(0, count(PipesCU::SOUND_REACHED));
    EXPECT_EQ((std::vector<std::string>{"setFountainFixedPipes:FountainCU(1)"}), calls("setFountainFixedPipes"));
    // The straight pipes (kind 12) took their repaired look (kind 11).
    EXPECT_EQ(pipes->getSprite("Pipe_11")->width(), pipes->pieceSprite(0)->width());
    ASSERT_TRUE(painted([this] { return !pipes->isVisible(); }));
    EXPECT_TRUE(fountain->getSprite("PipeMissing")->isVisible()) << "the fountain shows the mended pipes";
    EXPECT_EQ(1, count(FountainCU::SOUND_PIPES_FIXED));
    EXPECT_TRUE(fountain->getSprite("CloseButton")->isVisible());

    // A new game puts every piece back at its start angle.
    pipes->resetPipes();
    EXPECT_FALSE(pipes->getSolved());
    EXPECT_DOUBLE_EQ(90.0, angle(kCrossed));
    EXPECT_FALSE(pipes->glowSprite(0)->isVisible());
}

TEST_F(PipesCUTest, ASolvedBoardWithoutWaterStillEnds)
{
    // Both ends stand across, and that is their solution: the water reaches
    // no piece, so no colour change can end the sequence.
    openPipes();
    for (int end : {0, 3}) {
        pipes->pieceSprite(end)->rotateBy(90.0);
        pipes->board().cells[size_t(end)].solutionAngle = 90;
    }
    turn(kCrossed);
    ASSERT_TRUE(pipes->getSolved());
    ASSERT_TRUE(painted([this] { return !calls("setFountainFixedPipes").empty(); }));
    EXPECT_EQ(0, count(PipesCU::SOUND_COLOUR));
    ASSERT_TRUE(painted([this] { return !pipes->isVisible(); }));
    EXPECT_TRUE(fountain->getSprite("PipeMissing")->isVisible());
}

TEST_F(PipesCUTest, TheCanvasHookGrowsThePipesOverTheFountainOnly)
{
    // Over another room the hook opens nothing.
    enter(kRoom + 1);
    ASSERT_NE(nullptr, LanternfieldCanvas::sceneHooks.growPipes);
    LanternfieldCanvas::sceneHooks.growPipes(pipes);
    EXPECT_FALSE(pipes->isVisible());
    // Over the fountain close-up it opens as the pipe door's click does.
    enter(kRoom);
    LanternfieldCanvas::sceneHooks.growPipes(pipes);
    ASSERT_TRUE(pipes->isVisible());
    ASSERT_TRUE(painted([this] { return !pipes->isTransitioning(); }));
    EXPECT_EQ(kBoardLeft, pipes->left());
    EXPECT_EQ(kBoardTop, pipes->top());
}

} // namespace
} // namespace scenetest
