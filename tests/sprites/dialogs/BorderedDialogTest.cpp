// BorderedDialogTest.cpp: the frame of a bordered dialog drawn at several
// sizes (pixels read back against hand-drawn maps), and resizing.
#include "tests/sprites/dialogs/FramePictures.h"

namespace {

using spritetest::kTwelveByNine;
using spritetest::Map;
using sprite::BorderedDialog;
using sprite::SpriteBase;

class BorderedDialogTest : public spritetest::FrameTest {};

TEST_F(BorderedDialogTest, TheFrameIsDrawnFromItsNinePictures)
{
    BorderedDialog* dialog = make({1, 1, 12, 9});
    EXPECT_EQ(kTwelveByNine, render(dialog, 14, 11));

    // Corners, then edges and the centre, in the order they were made.
    std::vector<SpriteBase*> made = children(dialog);
    ASSERT_EQ(9u, made.size());
    const char* classes[] = {"ImageSprite", "ImageSprite", "TiledSprite", "ImageSprite", "TiledSprite",
                             "ImageSprite", "TiledSprite", "TiledSprite", "TiledSprite"};
    for (int i = 0; i < 9; ++i)
        EXPECT_STREQ(classes[i], made[size_t(i)]->getClassName()) << i;
    dialog->release();
}

TEST_F(BorderedDialogTest, ADialogAsWideAsItsTopCornersHasNoTopEdge)
{
    // 5 = top-left 3 + top-right 2; the bottom corners (2 and 3) leave no
    // bottom edge either.
    BorderedDialog* dialog = make({0, 0, 5, 7});
    const Map expected = {
        "AAACC",
        "AAACC",
        "hIiCC",
        "Hiidd",
        "hIiDD",
        "GiiEE",
        "GGEEE",
    };
    EXPECT_EQ(expected, render(dialog, 5, 7));
    std::vector<SpriteBase*> made = children(dialog);
    ASSERT_EQ(9u, made.size());
    EXPECT_EQ(0, made[2]->width()) << "top";
    EXPECT_EQ(0, made[6]->width()) << "bottom";
    dialog->release();
}

TEST_F(BorderedDialogTest, SettingTheSizeAsABoxLaysTheFrameOutAsResizeDoes)
{
    BorderedDialog* resized = make({1, 1, 12, 9});
    BorderedDialog* sized = make({1, 1, 12, 9});
    resized->resize(7, 6);
    // The way game code that knows only a sized sprite changes the size.
    sprite::BoundsSprite* box = sized;
    box->setSize(7, 6);
    EXPECT_EQ(render(resized, 9, 8), render(sized, 9, 8));
    EXPECT_EQ(7, sized->width());
    EXPECT_EQ(1, sized->left());
    resized->release();
    sized->release();
}

TEST_F(BorderedDialogTest, ResizingMovesTheFarCornersAndStretchesTheRest)
{
    BorderedDialog* dialog = make({1, 1, 12, 9});
    dialog->resize(7, 6);
    EXPECT_EQ(1, dialog->left()) << "the top-left corner stays";
    EXPECT_EQ(1, dialog->top());
    EXPECT_EQ(7, dialog->width());
    EXPECT_EQ(6, dialog->height());
    const Map smaller = {
        ".........",
        ".AAAbBCC.",
        ".AAAbBCC.",
        ".hIiiICC.",
        ".Hiiiidd.",
        ".GIiiIEE.",
        ".GGfFEEE.",
        ".........",
    };
    EXPECT_EQ(smaller, render(dialog, 9, 8));
    // Larger: 16 x 10 at (1, 1); the right edge starts below the taller
    // top-right corner, the left one below the shorter top-left corner.
    dialog->resize(16, 10);
    const Map larger = {
        "..................",
        ".AAAbBbBbBbBbBbCC.",
        ".AAAbBbBbBbBbBbCC.",
        ".hIiiIiiIiiIiiICC.",
        ".Hiiiiiiiiiiiiidd.",
        ".hIiiIiiIiiIiiIDD.",
        ".Hiiiiiiiiiiiiidd.",
        ".hIiiIiiIiiIiiIDD.",
        ".Hiiiiiiiiiiiiidd.",
        ".GIiiIiiIiiIiiIEE.",
        ".GGfFfFfFfFfFfEEE.",
        "..................",
    };
    EXPECT_EQ(larger, render(dialog, 18, 12));
    dialog->release();
}

TEST_F(BorderedDialogTest, ADialogSmallerThanItsCornersGivesNoNegativeSizes)
{
    BorderedDialog* dialog = make({0, 0, 12, 9});
    dialog->resize(4, 3);
    std::vector<SpriteBase*> made = children(dialog);
    ASSERT_EQ(9u, made.size());
    for (size_t i = 0; i < made.size(); ++i) {
        EXPECT_GE(made[i]->width(), 0) << i;
        EXPECT_GE(made[i]->height(), 0) << i;
    }
    EXPECT_EQ(0, made[2]->width()) << "top: 4 - 3 - 2 is no room";
    // The pieces overlap in the order they were made, within the dialog's box.
    const Map drawn = {
        "AACC..",
        "GGEE..",
        "GGEE..",
        "......",
        "......",
    };
    EXPECT_EQ(drawn, render(dialog, 6, 5));
    dialog->release();
}

} // namespace
