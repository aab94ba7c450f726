// GameInstructionsTest.cpp: when a mini-game's instructions panel opens by
// itself and when only its question mark shows, in the fixture game whose
// scripts keep the per-game flags.
#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/buttons/ButtonMixin.h"
#include "tests/game/support/GameFixture.h"

namespace gametest {
namespace {

using sprite::ButtonMixin;

class GameInstructionsTest : public GameFixture {
protected:
    void SetUp() override
    {
        // Every game starts flagged, as for a new player.
        GameOptions options;
        options.gameScript = "for n = 1, " + std::to_string(LanternfieldCanvas::GAME_COUNT) +
                             " do LF.showIns[n] = true end\n";
        ASSERT_TRUE(startGame(options));
        mark = ButtonMixin::fromSprite(canvas->getSprite("GameInsQuestionMark"));
        ASSERT_NE(nullptr, mark);
        clearCalls();
    }
    bool panelShown() { return canvas->isGameInstructionsShowing(); }
    bool markShown() { return canvas->isGameInsQuestionMarkShowing(); }
    ButtonMixin* mark = nullptr;
};

TEST_F(GameInstructionsTest, GamesOutsideTheTableHaveNoFlagAndOnlyTheQuestionMark)
{
    for (int game : {-1, 18, 1000}) {
        EXPECT_FALSE(canvas->getShowGameInstructions(game)) << game;
        canvas->setShowGameInstructions(game, true);
        canvas->showSprite("GameInsQuestionMark", false);
        canvas->queueGameInstructions(100, 100, game, 3);
        world.stepFrames(4);
        EXPECT_TRUE(markShown()) << game;
        EXPECT_FALSE(panelShown()) << game;
    }
    EXPECT_TRUE(calls("LF_setShowGameInstructions").empty());
    EXPECT_TRUE(calls("LF_clearShowGameInstructions").empty());
    EXPECT_TRUE(canvas->getShowGameInstructions(0));
    EXPECT_TRUE(canvas->getShowGameInstructions(17));
}

TEST_F(GameInstructionsTest, AFlaggedGameOpensItsPanelAfterTheDelayOnceThenOnlyItsMark)
{
    canvas->queueGameInstructions(200, 150, 3, 5);
    world.stepFrames(4);
    EXPECT_FALSE(panelShown()) << "not before the delay";
    world.stepFrames(2);
    EXPECT_TRUE(panelShown());
    EXPECT_FALSE(markShown());
    EXPECT_TRUE(canvas->isSpriteVisible("GameInsDimmer"));
    EXPECT_EQ((std::vector<std::string>{"LF_clearShowGameInstructions(4)"}), calls("LF_"));

    canvas->showGameInstructions(0, 0, 3, false, false, 8, 50, 50, 0.1f, 1.0f);
    EXPECT_FALSE(panelShown());
    EXPECT_FALSE(canvas->isSpriteVisible("GameInsDimmer"));
    EXPECT_EQ(1u, calls("LF_").size()) << "hiding leaves the flag alone";

    canvas->queueGameInstructions(200, 150, 3, 5);
    EXPECT_TRUE(markShown()) << "the second time only the mark";
    world.stepFrames(6);
    EXPECT_FALSE(panelShown());
}

TEST_F(GameInstructionsTest, TheMenusInstructionsCentreThePanelOnThePoint)
{
    canvas->setShowGameInstructions(6, true);
    canvas->showGameInstructions(400, 300, 6, true, false, 8, 50, 50, 0.1f, 1.0f);
    sprite::SpriteBase* panel = canvas->getSprite("GameInstructions");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(400 - panel->width() / 2, panel->left());
    EXPECT_EQ(300 - panel->height() / 2, panel->top());
    EXPECT_EQ(128, canvas->getSprite("GameInsDimmer")->getAlpha());
    EXPECT_FALSE(canvas->getShowGameInstructions(6));
}

TEST_F(GameInstructionsTest, AShownQuestionMarkKeepsASelectedState)
{
    struct Case {
        int before;
        int after;
    };
    for (const Case c : {Case{ButtonMixin::DISABLED, ButtonMixin::NORMAL},
                         Case{ButtonMixin::SELECTED, ButtonMixin::SELECTED},
                         Case{ButtonMixin::SELECTED_ROLLOVER, ButtonMixin::SELECTED_ROLLOVER}}) {
        mark->setState(c.before);
        canvas->showGameInstructions(0, 0, 9, true, false, 8, 50, 50, 0.1f, 1.0f);
        if (c.before == ButtonMixin::DISABLED)
            canvas->showGameInstructions(0, 0, 9, true, false, 8, 50, 50, 0.1f, 1.0f);
        EXPECT_EQ(c.after, mark->getState()) << c.before;
    }
    canvas->disableGameInsQuestionMark();
    EXPECT_EQ(ButtonMixin::DISABLED, mark->getState());
    EXPECT_FALSE(canvas->isOverGameInsQuestionMark(5, 5)) << "a disabled mark takes no press";
}

} // namespace
} // namespace gametest
