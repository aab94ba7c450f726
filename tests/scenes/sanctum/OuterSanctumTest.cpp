// OuterSanctumTest.cpp: the outer sanctum's judging and its report of the
// tries (table-driven), then in the fixture game a row painted by clicks
// and judged by the lever, "paintAgain", the press-release distance that
// tells a click from a drop, and the rules offered on entering.
#include "scenes/sanctum/OuterSanctum.h"

#include "core/lang/Integer.h"
#include "scenes/common/SceneInstructions.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "tests/scenes/support/SceneFixture.h"
#include "windowing/window/Event.h"

#include <string>

namespace scenetest {
namespace {

constexpr int kOuterSanctumRoom = 35;

TEST(OuterSanctumRulesTest, ARowIsJudgedPlaceByPlace)
{
    struct Case {
        int answer[4];
        int row[4];
        int results[4];
        bool solved;
    };
    const Case cases[] = {
        {{3, 5, 0, 7}, {5, 3, 0, 1}, {2, 2, 1, 0}, false},
        {{3, 5, 0, 7}, {3, 5, 0, 7}, {1, 1, 1, 1}, true},
        {{3, 5, 0, 7}, {1, 2, 4, 6}, {0, 0, 0, 0}, false},
        {{3, 5, 0, 7}, {7, 0, 5, 3}, {2, 2, 2, 2}, false},
        {{0, 1, 2, 3}, {0, 2, 6, 3}, {1, 2, 0, 1}, false},
    };
    for (const Case& c : cases) {
        int results[4] = {-9, -9, -9, -9};
        EXPECT_EQ(c.solved, OuterSanctum::judge(c.answer, c.row, results));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(c.results[i], results[i]) << "place " << i << " of row " << c.row[0] << c.row[1] << c.row[2]
                                                << c.row[3];
    }
}

TEST(OuterSanctumRulesTest, EachWonPuzzleLeavesOneTryFewer)
{
    struct Case {
        int attempts, wins;
        bool solved;
        int report[3];
    };
    const Case cases[] = {
        {6, 0, false, {0, 6, 0}}, {7, 0, false, {1, 0, 0}}, {7, 0, true, {1, 0, 1}},
        {2, 4, false, {0, 2, 0}}, {3, 4, false, {1, 0, 0}}, {1, 0, true, {0, 1, 1}},
    };
    for (const Case& c : cases) {
        int out[3];
        OuterSanctum::report(c.attempts, c.wins, c.solved, out);
        EXPECT_EQ((std::vector<int>{c.report[0], c.report[1], c.report[2]}), (std::vector<int>{out[0], out[1], out[2]}))
            << c.attempts << " tries, " << c.wins << " wins";
    }
}

// Choices along the bottom, the row's four places in the middle.
int choiceX(int kind)
{
    return 45 + 60 * kind;
}
constexpr int kChoiceY = 425;
int placeX(int i)
{
    return 225 + 60 * i;
}
constexpr int kPlaceY = 325;

std::string outerSanctumManifest()
{
    std::string m = "<data>\n0\n<sprites>\n";
    for (int i = 0; i < 4; ++i) {
        m += "RowPiece_0_" + std::to_string(i) + " AnimateSprite kinds " + std::to_string(placeX(i) - 25) +
             " 300 8 1 0\n";
        m += "RowClickRect_" + std::to_string(i) + " RectButtonSprite " + std::to_string(placeX(i) - 25) +
             " 300 50 50 1\n";
        m += "Results_0_" + std::to_string(i) + " AnimateSprite marks " + std::to_string(placeX(i) - 25) +
             " 260 3 1 0\n";
    }
    // An earlier row drawn by the script, with its marks.
    m += "RowPiece_1_0 AnimateSprite kinds 225 200 8 1 0\nResults_1_0 AnimateSprite marks 225 160 3 1 0\n";
    for (int k = 0; k < 8; ++k) {
        m += "PieceChoice_" + std::to_string(k) + " RectButtonSprite " + std::to_string(choiceX(k) - 25) +
             " 400 50 50 1\n";
        m += "Cursor_Scattered_" + std::to_string(k) + " AnimateSprite kinds " + std::to_string(choiceX(k) - 25) +
             " 400 8 1 " + std::to_string(k) + "\n";
    }
    return m + "LeverClickRect RectButtonSprite 700 300 60 100 0\nLever AnimateSprite lever 700 300 2 1 0\n<end>\n";
}

class OuterSanctumTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        framesPicture(data, "kinds", 8, 50, 50);
        framesPicture(data, "marks", 3, 50, 30);
        framesPicture(data, "lever", 2, 60, 100);
        SceneSetup scene;
        scene.index = kOuterSanctumRoom;
        scene.className = "OuterSanctum";
        scene.manifest = outerSanctumManifest();
        scene.callbacks = {"pullLever", "paintAgain", "showResults"};
        gametest::GameOptions options;
        options.gameScript = "LF.outerWins = 0\n"
                             "function LF_solvedOuterSanctumPuzzle() return false end\n"
                             "function LF_getOuterSanctumPuzzleNumWins() return LF.outerWins end\n";
        ASSERT_TRUE(startScene(scene, options));
        sanctum = static_cast<OuterSanctum*>(room(kOuterSanctumRoom));
        enter(kOuterSanctumRoom);
        const int code[4] = {3, 5, 0, 7};
        sanctum->setAnswer(code);
        EXPECT_EQ("", runLua(sanctum, "self:setAllowClicks(true)").substr(0, 6));
    }

    void paint(int kind, int place)
    {
        clickAt(choiceX(kind), kChoiceY);
        ASSERT_TRUE(sanctum->isHolding());
        clickAt(placeX(place), kPlaceY);
    }

    sprite::ButtonMixin* lever() { return sprite::ButtonMixin::fromSprite(sanctum->getSprite("LeverClickRect")); }

    OuterSanctum* sanctum = nullptr;
};

TEST_F(OuterSanctumTest, ARowPaintedByClicksIsJudgedByTheLever)
{
    int shuffled[4];
    for (int i = 0; i < 4; ++i)
        shuffled[i] = sanctum->getAnswer()[i];
    EXPECT_EQ(3, shuffled[0]) << "the test's code";
    paint(5, 0);
    paint(3, 1);
    paint(0, 2);
    EXPECT_FALSE(lever()->isEnabled());
    // Kind 5 is in the row already: an empty place asks to paint again, an
    // occupied one does nothing; either way the hand is emptied.
    clearRecords();
    clickAt(choiceX(5), kChoiceY);
    clickAt(placeX(3), kPlaceY);
    EXPECT_EQ(std::vector<std::string>{"paintAgain:OuterSanctum(1)"}, calls("paintAgain"));
    EXPECT_FALSE(sanctum->isHolding());
    EXPECT_EQ(OuterSanctum::EMPTY, sanctum->placeKind(3));
    clickAt(choiceX(5), kChoiceY);
    clickAt(placeX(1), kPlaceY);
    EXPECT_EQ(1u, calls("paintAgain").size());
    EXPECT_EQ(3, sanctum->placeKind(1));
    EXPECT_FALSE(sanctum->isHolding());
    const std::vector<int> sounds = soundsPlayed();
    EXPECT_EQ(OuterSanctum::SOUND_EMPTY_HAND, sounds.back());
    paint(1, 3);
    EXPECT_TRUE(lever()->isEnabled());
    EXPECT_EQ(1, static_cast<sprite::AnimateSprite*>(sanctum->getSprite("Lever"))->getFrame());
    clearCalls();
    clickAt(730, 350);
    EXPECT_EQ(std::vector<std::string>{"pullLever:OuterSanctum(1)"}, calls("pullLever"));
    EXPECT_EQ(std::vector<std::string>{"showResults:OuterSanctum(0, 1, 0)"}, calls("showResults"));
    const int expected[4] = {2, 2, 1, 0};
    for (int i = 0; i < 4; ++i) {
        auto* mark = static_cast<sprite::AnimateSprite*>(sanctum->getSprite(("Results_0_" + std::to_string(i)).c_str()));
        EXPECT_EQ(expected[i], mark->getFrame()) << i;
        EXPECT_EQ(OuterSanctum::EMPTY, sanctum->placeKind(i));
    }
    EXPECT_EQ(1, sanctum->getAttempts());
}

TEST_F(OuterSanctumTest, APieceOnAnotherKindSwapsAndTheHandKeepsTheOld)
{
    paint(2, 0);
    clearRecords();
    clickAt(choiceX(4), kChoiceY);
    clickAt(placeX(0), kPlaceY);
    EXPECT_EQ(4, sanctum->placeKind(0));
    EXPECT_TRUE(sanctum->isHolding());
    EXPECT_EQ(2, sanctum->getHeldKind());
    EXPECT_FALSE(sanctum->getSprite("Cursor_Scattered_2")->isVisible()) << "kind 2 is in the hand again";
    const std::vector<int> sounds = soundsPlayed();
    ASSERT_GE(sounds.size(), 2u);
    EXPECT_EQ((std::vector<int>{OuterSanctum::SOUND_PLACE, OuterSanctum::SOUND_PICK}),
              std::vector<int>(sounds.end() - 2, sounds.end()));
    clickAt(placeX(1), kPlaceY);
    EXPECT_EQ(2, sanctum->placeKind(1));
    EXPECT_FALSE(sanctum->isHolding());
    // A kind the row holds already swaps with nothing, and the hand empties.
    clickAt(choiceX(4), kChoiceY);
    clickAt(placeX(1), kPlaceY);
    EXPECT_EQ(2, sanctum->placeKind(1));
    EXPECT_EQ(4, sanctum->placeKind(0));
    EXPECT_FALSE(sanctum->isHolding());
}

TEST_F(OuterSanctumTest, OnlyTheEarlierRowsAndTheirMarksFadeOut)
{
    paint(2, 0);
    // The script shows the rows it has judged, with their marks.
    for (const char* name : {"Results_0_0", "RowPiece_1_0", "Results_1_0"})
        sanctum->getSprite(name)->setVisible(true);
    EXPECT_EQ("", runLua(sanctum, "self:fadeOutIncorrectRows()").substr(0, 6));
    frames(OuterSanctum::ROW_FADE_FRAMES + 2);
    EXPECT_FALSE(sanctum->getSprite("RowPiece_1_0")->isVisible());
    EXPECT_FALSE(sanctum->getSprite("Results_1_0")->isVisible());
    EXPECT_TRUE(sanctum->getSprite("RowPiece_0_0")->isVisible()) << "the row being painted stays";
    EXPECT_TRUE(sanctum->getSprite("Results_0_0")->isVisible());
    EXPECT_EQ(128, sanctum->getSprite("RowPiece_0_0")->getAlpha());
}

TEST_F(OuterSanctumTest, AReleaseNinePixelsAwayDropsThePieceEightDoesNot)
{
    world.mouseDown(choiceX(2), kChoiceY);
    world.mouseUp(choiceX(2) + 8, kChoiceY);
    EXPECT_TRUE(sanctum->isHolding()) << "8 pixels: a click, the piece stays on the pointer";
    EXPECT_EQ(2, sanctum->getHeldKind());
    world.mouseDown(placeX(0), kPlaceY);
    world.mouseUp(placeX(0), kPlaceY);
    EXPECT_EQ(2, sanctum->placeKind(0));
    world.mouseDown(choiceX(4), kChoiceY);
    // The drop consumes the release: no button under it is offered it again.
    lang::Integer none(0);
    window::Event release(sanctum, window::Event::MOUSE_UP, &none);
    release.x = placeX(1);
    release.y = kPlaceY;
    EXPECT_EQ(sprite::DialogSprite::HANDLED, sanctum->mouseUp(&release));
    EXPECT_FALSE(sanctum->isHolding()) << "a drag drops the piece where it is released";
    EXPECT_EQ(4, sanctum->placeKind(1));
    // The script's new puzzle fades the rows and forgets the places.
    EXPECT_EQ("", runLua(sanctum, "self:setupPuzzle()").substr(0, 6));
    EXPECT_EQ(OuterSanctum::EMPTY, sanctum->placeKind(0));
    EXPECT_FALSE(lever()->isEnabled());
    expectLuaErrors(sanctum, {{"self:setAllowClicks(true, 1)", "too many arguments"},
                              {"hv.OuterSanctum.setupPuzzle({})", "not a Sprite object"}});
}

// Entering offers the rules while a code is left to break: the panel opens
// by itself on a first visit, the question mark shows on a later one.
TEST_F(OuterSanctumTest, EnteringOffersTheRulesWhileACodeIsLeftToBreak)
{
    sanctum->onExit();
    canvas->setShowGameInstructions(OuterSanctum::INSTRUCTIONS_GAME, true);
    enter(kOuterSanctumRoom);
    frames(SceneInstructions::ENTRY_DELAY + SceneInstructions::GROW_FRAMES + 2);
    EXPECT_TRUE(canvas->isGameInstructionsShowing()) << "a first visit";
    sanctum->onExit();
    EXPECT_FALSE(canvas->isGameInstructionsShowing());
    enter(kOuterSanctumRoom);
    EXPECT_TRUE(canvas->isGameInsQuestionMarkShowing()) << "a later visit";
    sanctum->onExit();
    runLua(sanctum, "function LF_solvedOuterSanctumPuzzle() return true end");
    enter(kOuterSanctumRoom);
    frames(SceneInstructions::ENTRY_DELAY + 2);
    EXPECT_FALSE(canvas->isGameInsQuestionMarkShowing()) << "both codes are broken";
    EXPECT_FALSE(canvas->isGameInstructionsShowing());
}

} // namespace
} // namespace scenetest
