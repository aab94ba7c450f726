// InnerSanctumTest.cpp: the inner sanctum's board in the fixture game:
// toggling by press, drag and release, the pattern reports (lowest pattern
// only, none for a solved one), the chapter gate, the torch errand, and the
// definition that lacks its patterns.
#include "scenes/sanctum/InnerSanctum.h"

#include "game/progress/ProgressRecord.h"
#include "platform/kernel/DebugOutput.h"
#include "sprites/images/AnimateSprite.h"
#include "tests/scenes/support/SceneFixture.h"

#include <sstream>

namespace scenetest {
namespace {

constexpr int kRoom = 33;

int pieceX(int i)
{
    return 120 + 50 * (i % 5);
}
int pieceY(int i)
{
    return 120 + 50 * (i / 5);
}

// Patterns: 1 and 2 are piece 0 alone, 3 is piece 1 alone, 4 pieces 0 and 1.
std::string manifest(int numbers = InnerSanctum::DEFINITION_NUMBERS)
{
    std::ostringstream out;
    out << "<data>\n0";
    for (int n = 1; n < numbers; ++n) {
        const int p = (n - 1) / 25, i = (n - 1) % 25;
        const bool on = (i == 0 && p != 2) || (i == 1 && p >= 2);
        out << " " << (on ? 1 : 0);
    }
    out << "\n<sprites>\n";
    for (int i = 0; i < 25; ++i)
        out << "Piece_" << i << " AnimateSprite piece " << pieceX(i) - 20 << " " << pieceY(i) - 20 << " 2 1 0\n";
    out << "TorchClickRect RectButtonSprite 600 100 100 100 1\n"
           "DoorToOuterSanctum RectButtonSprite 0 500 100 100 1\n<end>\n";
    return out.str();
}

class InnerSanctumTest : public SceneFixture {
protected:
    void start(int numbers = InnerSanctum::DEFINITION_NUMBERS)
    {
        framesPicture(world.data(), "piece", 2, 40, 40);
        SceneSetup scene;
        scene.index = kRoom;
        scene.className = "InnerSanctum";
        scene.manifest = manifest(numbers);
        scene.callbacks = {"onWinPattern", "dropTorch"};
        gametest::GameOptions options;
        options.gameScript = "LF.solvedPatterns = {}\nLF.allSolved = false\n"
                             "function LF_isInnerSanctumPatternSolved(n) return LF.solvedPatterns[n] or 0 end\n"
                             "function LF_solvedAllInnerSanctumPatterns() return LF.allSolved end\n";
        ASSERT_TRUE(startScene(scene, options));
        sanctum = static_cast<InnerSanctum*>(room(kRoom));
        canvas->getProgress()->chapter = InnerSanctum::CHAPTER;
        enter(kRoom);
    }

    int frame(int i) { return static_cast<sprite::AnimateSprite*>(sanctum->piece(i).sprite)->getFrame(); }
    std::string frames01()
    {
        std::string s;
        for (int i = 0; i < 3; ++i)
            s += char('0' + frame(i));
        return s;
    }

    InnerSanctum* sanctum = nullptr;
};

TEST_F(InnerSanctumTest, PressDragAndReleaseToggleEachPieceOncePerVisit)
{
    start();
    // A click toggles once (the release over the same piece does not again).
    world.click(pieceX(2), pieceY(2));
    EXPECT_EQ("001", frames01());
    // Press on 0, move within it, to 1 and back to 0, release on 0.
    world.mouseDown(pieceX(0), pieceY(0));
    world.mouseMove(pieceX(0) + 5, pieceY(0) + 5);
    EXPECT_EQ("101", frames01()) << "moving within the piece does not toggle it again";
    world.mouseMove(pieceX(1), pieceY(1));
    world.mouseMove(pieceX(0), pieceY(0));
    EXPECT_EQ("011", frames01()) << "to the neighbour and back toggles both, then the first again";
    world.mouseUp(pieceX(0), pieceY(0));
    EXPECT_EQ("011", frames01()) << "the release skips the piece toggled last";
    EXPECT_FALSE(sanctum->isBoardPressed());
    EXPECT_EQ(-1, sanctum->getLastToggled());
    EXPECT_NE(std::string::npos, world.debugText().find("m_nToggledPiece = "));
}

TEST_F(InnerSanctumTest, OnlyTheLowestNewPatternIsReported)
{
    start();
    // Piece 0 alone equals patterns 1 and 2: only 1 is reported.
    world.click(pieceX(0), pieceY(0));
    EXPECT_EQ(std::vector<std::string>{"onWinPattern:InnerSanctum(1)"}, calls("onWinPattern"));
    // With pattern 1 solved, the same board reports nothing.
    runLua(sanctum, "LF.solvedPatterns[1] = 1");
    world.click(pieceX(0), pieceY(0));
    clearCalls();
    world.click(pieceX(0), pieceY(0));
    EXPECT_TRUE(calls("onWinPattern").empty());
    world.click(pieceX(1), pieceY(1));
    EXPECT_EQ(std::vector<std::string>{"onWinPattern:InnerSanctum(4)"}, calls("onWinPattern"));
}

TEST_F(InnerSanctumTest, TheBoardAnswersOnlyInChapterThreeUntilAllAreSolved)
{
    start();
    canvas->getProgress()->chapter = 2;
    world.click(pieceX(3), pieceY(3));
    EXPECT_EQ(0, frame(3));
    canvas->getProgress()->chapter = InnerSanctum::CHAPTER;
    runLua(sanctum, "LF.allSolved = true");
    world.click(pieceX(3), pieceY(3));
    EXPECT_EQ(0, frame(3));
    runLua(sanctum, "LF.allSolved = false");
    // The script arms the drop: the next press only drops the torch.
    EXPECT_EQ("", runLua(sanctum, "self:setDropCursor()").substr(0, 6));
    world.click(pieceX(3), pieceY(3));
    EXPECT_EQ(0, frame(3));
    EXPECT_EQ(1u, calls("dropTorch").size());
    world.click(pieceX(3), pieceY(3));
    EXPECT_EQ(1, frame(3));
    // With the club torch on the cursor the torch area keeps it, elsewhere drops it.
    canvas->setSpecialCursor(InnerSanctum::CURSOR_CLUB_TORCH, false, -1);
    world.click(650, 150);
    EXPECT_EQ(1u, calls("dropTorch").size());
    world.click(pieceX(3), pieceY(3));
    EXPECT_EQ(2u, calls("dropTorch").size());
    EXPECT_EQ(1, frame(3));
    expectLuaErrors(sanctum, {{"self:setDropCursor(1)", "too many arguments"},
                              {"hv.InnerSanctum.setDropCursor({})", "not a Sprite object"}});
}

TEST_F(InnerSanctumTest, ADefinitionWithoutPatternsNeverReports)
{
    platform::DebugCapture debug;
    start(1);
    EXPECT_TRUE(debug.contains("lacks pattern numbers"));
    world.click(pieceX(0), pieceY(0));
    EXPECT_EQ(1, frame(0));
    EXPECT_TRUE(calls("onWinPattern").empty());
}

} // namespace
} // namespace scenetest
