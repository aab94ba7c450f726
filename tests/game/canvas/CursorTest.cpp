// CursorTest.cpp: the game's own cursor in the fixture game: the cursor
// table, the pictures put on "GameCursor", their hot spots, and the cursor
// chosen for what lies under the pointer.
#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/images/AnimateSprite.h"
#include "tests/game/support/GameFixture.h"
#include "windowing/images/ImageBase.h"
#include "windowing/window/Cursor.h"

namespace gametest {
namespace {

using Canvas = LanternfieldCanvas;

class CursorTest : public GameFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        // Each ordinary cursor a size of its own, so the hot spots tell.
        for (int i = 0; i <= 12; ++i)
            data.picture("iCursor_" + std::to_string(i), 20 + 2 * i, 30 + i, 0xFF336699u);
        data.picture("OuterSanctum_Cursor", 80, 10, 0xFF00FF00u);
        data.picture("OuterSanctum_Cursor_alpha", 80, 10, 0xFFFFFFFFu);
        data.picture("Temple3_Cursor_TorchOnFire", 60, 40, 0xFFFF0000u);
        data.picture("Temple3_Cursor_TorchOnFire_alpha", 60, 40, 0xFFFFFFFFu);
        data.picture("iCursor_Machete", 21, 31, 0xFF999999u);
        GameOptions options;
        options.omitted.insert("GameCursor");
        options.extraSprites = "GameCursor AnimateSprite iCursor_8 0 0 1 1 0\n";
        ASSERT_TRUE(startGame(options));
        cursor = static_cast<sprite::AnimateSprite*>(canvas->getSprite("GameCursor"));
        ASSERT_TRUE(cursor->isInstanceOf("AnimateSprite"));
    }
    sprite::AnimateSprite* cursor = nullptr;
};

TEST_F(CursorTest, TheTableMapsNamesAndIndexesBothWays)
{
    struct Case {
        const char* name;
        int index;
        const char* back;
    };
    const Case cases[] = {
        {"north", 0, "north"},          {"normalCursor", 8, "normalCursor"}, {"handCursor", 9, "handCursor"},
        {"fountainKey", 10, "fountainKey"}, {"Paintbrush", 42, "Paintbrush"},   {"Pearls", 56, "Pearls"},
        {"X", 57, ""},                  {"hidden", 58, ""},                  {"normalcursor", 8, "normalCursor"},
        {"x", 8, "normalCursor"},       {"", 8, "normalCursor"},             {"Machete", 40, "Machete"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.index, Canvas::cursorIndexOf(lang::String(c.name))) << c.name;
        EXPECT_STREQ(c.back, Canvas::cursorNameOf(Canvas::cursorIndexOf(lang::String(c.name))).c_str()) << c.name;
    }
    for (int index : {-1, 59, 1000})
        EXPECT_STREQ("", Canvas::cursorNameOf(index).c_str()) << index;
}

TEST_F(CursorTest, OrdinaryAndSpecialCursorsKeepToTheirOwnCalls)
{
    canvas->setCursor(3, false);
    window::ImageBase* picture = cursor->getImage();
    canvas->setCursor(40, false);
    canvas->setSpecialCursor(8, true, -1);
    EXPECT_EQ(3, canvas->getCurrentCursor());
    EXPECT_EQ(-1, canvas->getItemOnCursor());
    canvas->setCursor(3, false);
    EXPECT_EQ(picture, cursor->getImage()) << "the same cursor is not loaded again";
    canvas->setCursor(3, true);
    EXPECT_NE(picture, cursor->getImage()) << "another lock loads it again";
    EXPECT_EQ(window::Cursor::blankCursor, canvas->getCursor()) << "no system cursor over the game's";

    canvas->setSpecialCursor(Canvas::CURSOR_PAINTBRUSH, false, 3);
    EXPECT_EQ(8, cursor->getColumns());
    EXPECT_EQ(3, cursor->getFrame());
    EXPECT_EQ(3, canvas->getSpecialFrame());
    EXPECT_TRUE(canvas->isCursorLocked());
    canvas->dropSpecialCursor();
    EXPECT_EQ(-1, canvas->getSpecialFrame());
    EXPECT_EQ(-1, canvas->getItemOnCursor());
    EXPECT_EQ(Canvas::CURSOR_NORMAL, canvas->getCurrentCursor());
    EXPECT_FALSE(canvas->isCursorLocked());

    canvas->setCursor(Canvas::CURSOR_HIDDEN, false);
    EXPECT_FALSE(cursor->isVisible());
}

TEST_F(CursorTest, TheBurningTorchAnimatesWithoutEndAndTheBrushStandsStill)
{
    canvas->setSpecialCursor(34, true, -1);
    EXPECT_EQ(6, cursor->getColumns());
    EXPECT_EQ(4, cursor->getRows());
    std::set<int> frames;
    for (int i = 0; i < 60; ++i) {
        world.stepFrames(1);
        frames.insert(cursor->getFrame());
        // The pointer's moves give the cursor again: the run goes on.
        canvas->setSpecialCursor(34, true, -1);
    }
    EXPECT_EQ(24u, frames.size()) << "every frame, more than once round";

    canvas->setSpecialCursor(Canvas::CURSOR_PAINTBRUSH, false, 5);
    world.stepFrames(10);
    EXPECT_EQ(5, cursor->getFrame());
}

TEST_F(CursorTest, EachCursorPictureSitsOnThePointerByItsHotSpot)
{
    struct Case {
        int index;
        int dx; // offset from the pointer, with w and h the picture's size
        int dy;
    };
    const auto w = [this] { return cursor->width(); };
    const auto h = [this] { return cursor->height(); };
    for (int index : {0, 1, 2, 3, 4, 5, 8, 9, 10, 12, 40}) {
        if (index < Canvas::FIRST_SPECIAL_CURSOR)
            canvas->setCursor(index, false);
        else
            canvas->setSpecialCursor(index, false, -1);
        canvas->positionCursorImage(300, 200);
        int x = 300;
        int y = 200;
        switch (index) {
        case 0: x -= 14; break;
        case 1: x -= 14; y -= h() - 13; break;
        case 2: x -= w() - 6; y -= 13; break;
        case 3: x -= 3; y -= 7; break;
        case 5: x -= 37; y -= 2; break;
        case 8: y -= 2; break;
        case 9:
        case 10: x -= 10; y -= 2; break;
        case 12: x -= w() - 6; y -= 2; break;
        case 40: x -= w() / 2; y -= h() / 2; break;
        }
        EXPECT_EQ(x, cursor->left()) << index;
        EXPECT_EQ(y, cursor->top()) << index;
    }
    EXPECT_EQ(21, w()) << "the machete's picture";
}

TEST_F(CursorTest, ThePointersMovesChooseTheCursor)
{
    enter(3);
    canvas->setQuitVisible(true);
    world.mouseMove(770, 10);
    EXPECT_EQ(Canvas::CURSOR_HAND, canvas->getCurrentCursor()) << "over the pause button";
    world.mouseMove(300, 200);
    EXPECT_EQ(Canvas::CURSOR_NORMAL, canvas->getCurrentCursor());
    EXPECT_EQ(300, cursor->left());
    EXPECT_EQ(198, cursor->top());

    canvas->setSpecialCursor(40, true, -1);
    world.mouseMove(310, 210);
    EXPECT_EQ(40, canvas->getCurrentCursor()) << "the item stays on the cursor";
    world.mouseMove(770, 10);
    EXPECT_EQ(Canvas::CURSOR_HAND, canvas->getCurrentCursor());
    world.mouseMove(310, 210);
    EXPECT_EQ(40, canvas->getCurrentCursor()) << "and comes back after the button";

    // A locked cursor only follows the pointer.
    canvas->dropSpecialCursor();
    canvas->setCursor(4, true);
    world.mouseMove(320, 220);
    EXPECT_EQ(4, canvas->getCurrentCursor());
    EXPECT_EQ(320, cursor->left());

    // Pausing puts the normal cursor back, unlocked; playing again (the book
    // closed) restores the item on the cursor.
    canvas->setSpecialCursor(40, true, -1);
    canvas->setGameState(Canvas::STATE_PAUSED);
    EXPECT_EQ(Canvas::CURSOR_NORMAL, canvas->getCurrentCursor());
    canvas->showSprite("BookDialog", false);
    canvas->setGameState(Canvas::STATE_PLAYING);
    EXPECT_EQ(40, canvas->getCurrentCursor());
}

} // namespace
} // namespace gametest
