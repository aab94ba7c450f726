// BorderedDialogUseTest.cpp: a bordered dialog made by name from a
// definition, with pictures missing, hit by the pointer, copied, and hidden
// without losing its frame's pixels.
#include "tests/sprites/dialogs/FramePictures.h"
#include "tests/support/TempDir.h"

#include "sprites/images/ImageSprite.h"
#include "sprites/images/TiledSprite.h"
#include "windowing/window/Event.h"


namespace {

using spritetest::Map;
using sprite::BorderedDialog;
using sprite::DialogSprite;
using sprite::ImageSprite;
using sprite::SpriteBase;
using sprite::TiledSprite;

class BorderedDialogUseTest : public spritetest::FrameTest {
protected:
    // The nine pictures in a definition's list, slot `missing` left empty.
    lang::ObjectArray* frameWithout(int missing)
    {
        lang::ObjectArray* list = spritetest::imageList({pieces[0], pieces[1], pieces[2], pieces[3], pieces[4],
                                                         pieces[5], pieces[6], pieces[7], pieces[8]});
        *list->at(missing) = nullptr;
        return list;
    }

    // Whether every child keeps its pixels while the dialog is hidden.
    static bool framesKept(DialogSprite* dialog)
    {
        for (SpriteBase* s : children(dialog)) {
            if (s->isInstanceOf("TiledSprite") ? !static_cast<TiledSprite*>(s)->getKeepImages()
                                               : !static_cast<ImageSprite*>(s)->getKeepLoaded())
                return false;
        }
        return true;
    }
};

const Map kSmall = {
    "AAACC",
    "AAACC",
    "hIiCC",
    "Hiidd",
    "hIiDD",
    "GiiEE",
    "GGEEE",
};

TEST_F(BorderedDialogUseTest, MadeByNameAndDefinedLikeADialog)
{
    lang::Object* made = lang::Class::forName(lang::String("BorderedDialog"))->newInstance();
    ASSERT_TRUE(made->isInstanceOf("BorderedDialog"));
    EXPECT_TRUE(made->isInstanceOf("DialogSprite"));
    EXPECT_TRUE(made->isInstanceOf("FancyContainer"));
    EXPECT_STREQ("BorderedDialog", made->getClassName());
    BorderedDialog* fresh = static_cast<BorderedDialog*>(made);
    EXPECT_FALSE(fresh->isModal());
    EXPECT_EQ(0, fresh->getChildCount()) << "no frame before a definition";
    fresh->release();

    // Position, size, modal, visible, draggable: the dialog's own numbers.
    BorderedDialog* dialog = make({10, 20, 12, 9, 1, 0, 1});
    EXPECT_EQ(10, dialog->left());
    EXPECT_EQ(20, dialog->top());
    EXPECT_EQ(12, dialog->width());
    EXPECT_EQ(9, dialog->height());
    EXPECT_TRUE(dialog->isModal());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(dialog->isDraggable());
    EXPECT_EQ(9, dialog->getChildCount());
    EXPECT_TRUE(framesKept(dialog));

    // A second definition replaces the frame rather than stacking another.
    lang::ObjectArray* images = spritetest::imageList({pieces[0], pieces[1], pieces[2], pieces[3], pieces[4],
                                                       pieces[5], pieces[6], pieces[7], pieces[8]});
    lang::IntArray* params = spritetest::numberList({0, 0, 5, 7});
    EXPECT_TRUE(dialog->configure(images, params));
    dialog->setVisible(true);
    dialog->tick(1, nullptr, nullptr);
    EXPECT_EQ(9, dialog->getChildCount());
    EXPECT_EQ(kSmall, render(dialog, 5, 7));
    params->release();
    images->release();
    dialog->release();
}

TEST_F(BorderedDialogUseTest, MissingPicturesLeaveTheirPiecesOut)
{
    // Only the top row of pictures: the rest of the box stays empty.
    BorderedDialog* dialog = make(spritetest::imageList({pieces[0], pieces[1], pieces[2]}), {1, 1, 12, 9});
    EXPECT_EQ(3, dialog->getChildCount());
    Map expected(11, "..............");
    expected[1] = expected[2] = ".AAAbBbBbBbCC.";
    expected[3] = "...........CC.";
    EXPECT_EQ(expected, render(dialog, 14, 11));
    dialog->release();

    // No left edge: it counts as 0 pixels thick, so the centre starts at 0.
    dialog = make(frameWithout(BorderedDialog::LEFT), {0, 0, 12, 9});
    std::vector<SpriteBase*> made = children(dialog);
    ASSERT_EQ(8u, made.size());
    SpriteBase* centre = made.back();
    EXPECT_EQ(0, centre->left());
    EXPECT_EQ(2, centre->top());
    EXPECT_EQ(10, centre->width());
    EXPECT_EQ(6, centre->height());
    dialog->release();

    // No image list, or fewer numbers than a dialog takes.
    dialog = make(nullptr, {});
    EXPECT_EQ(0, dialog->getChildCount());
    dialog->resize(30, 20);
    EXPECT_EQ(30, dialog->width());
    dialog->release();
}

TEST_F(BorderedDialogUseTest, TheDialogsBoxOrItsFrameIsHit)
{
    BorderedDialog* dialog = make({20, 30, 12, 9});
    // The box runs from (20, 30) to (31, 38).
    EXPECT_TRUE(dialog->hittest(20, 30));
    EXPECT_TRUE(dialog->hittest(31, 38));
    EXPECT_FALSE(dialog->hittest(19, 30));
    EXPECT_FALSE(dialog->hittest(32, 38));
    EXPECT_FALSE(dialog->hittest(31, 39));
    dialog->resize(7, 6);
    EXPECT_TRUE(dialog->hittest(26, 35));
    EXPECT_FALSE(dialog->hittest(27, 35));
    EXPECT_FALSE(dialog->hittest(26, 36));
    dialog->release();

    // Hit by its pieces: a frame without a centre has a hole in the middle.
    dialog = make(frameWithout(BorderedDialog::CENTRE), {20, 30, 12, 9});
    dialog->setOwnRectHitTest(false);
    EXPECT_TRUE(dialog->hittest(20, 34)) << "left edge";
    EXPECT_TRUE(dialog->hittest(25, 30)) << "top edge";
    EXPECT_TRUE(dialog->hittest(31, 35)) << "right edge";
    EXPECT_TRUE(dialog->hittest(25, 38)) << "bottom edge";
    EXPECT_TRUE(dialog->hittest(30, 37)) << "bottom-right corner";
    EXPECT_FALSE(dialog->hittest(25, 34)) << "where the centre would be";
    EXPECT_FALSE(dialog->hittest(32, 34));

    // A press on the frame is the dialog's; one beside it is not, the
    // dialog not being modal.
    lang::String* arg = new lang::String("");
    window::Event* press = new window::Event(dialog, window::Event::MOUSE_DOWN, arg);
    arg->release();
    press->x = 20;
    press->y = 34;
    EXPECT_EQ(DialogSprite::HANDLED, dialog->mouseDown(press));
    EXPECT_STREQ("", dialog->getLastCommand().c_str());
    press->x = 40;
    EXPECT_EQ(DialogSprite::NOT_HANDLED, dialog->mouseDown(press));
    press->release();
    dialog->release();
}

TEST_F(BorderedDialogUseTest, ACopyHasTheSameFrameAndNoOtherChildren)
{
    BorderedDialog* dialog = make({1, 1, 12, 9});
    // Children added later lie above the frame.
    TiledSprite* extra = new TiledSprite(2, 2, pieces[0], 0, 0, 0, 0);
    extra->setPosition(5, 4);
    EXPECT_TRUE(dialog->addChild("Extra", extra));
    extra->release();
    Map withExtra = spritetest::Map{
        "..............",
        ".AAAbBbBbBbCC.",
        ".AAAbBbBbBbCC.",
        ".hIiiIiiIiiCC.",
        ".Hiiiiiiiiidd.",
        ".hIiiIAAIiiDD.",
        ".HiiiiAAiiidd.",
        ".hIiiIiiIiiDD.",
        ".GiiiiiiiiiEE.",
        ".GGfFfFfFfEEE.",
        "..............",
    };
    EXPECT_EQ(withExtra, render(dialog, 14, 11));

    SpriteBase* made = dialog->clone();
    ASSERT_TRUE(made->isInstanceOf("BorderedDialog"));
    BorderedDialog* copy = static_cast<BorderedDialog*>(made);
    EXPECT_EQ(1, copy->left());
    EXPECT_EQ(1, copy->top());
    EXPECT_EQ(12, copy->width());
    EXPECT_EQ(9, copy->height());
    EXPECT_EQ(9, copy->getChildCount());
    EXPECT_EQ(nullptr, copy->getSprite("Extra"));
    EXPECT_TRUE(framesKept(copy));
    Map frameOnly = withExtra;
    frameOnly[5] = ".hIiiIiiIiiDD.";
    frameOnly[6] = ".Hiiiiiiiiidd.";
    EXPECT_EQ(frameOnly, render(copy, 14, 11));

    // Its pieces are its own: resizing it leaves the original as it was.
    copy->resize(5, 7);
    Map small(9, ".......");
    for (int y = 0; y < 7; ++y)
        small[size_t(y) + 1] = "." + kSmall[size_t(y)] + ".";
    EXPECT_EQ(small, render(copy, 7, 9));
    EXPECT_EQ(withExtra, render(dialog, 14, 11));
    copy->release();

    // A copy of a frame with pieces missing has just the pieces there are.
    BorderedDialog* partial = make(frameWithout(BorderedDialog::TOP), {0, 0, 12, 9});
    made = partial->clone();
    EXPECT_EQ(8, static_cast<BorderedDialog*>(made)->getChildCount());
    EXPECT_EQ(render(partial, 12, 9), render(made, 12, 9));
    made->release();
    partial->release();
    dialog->release();
}

TEST_F(BorderedDialogUseTest, HidingAndShowingKeepsTheFramesPixels)
{
    // Named pictures read from files: those are the ones a hidden dialog
    // frees, since they can be read in again.
    testsupport::TempDir dir;
    window::ImageWinDX* named[9];
    lang::ObjectArray* images = new lang::ObjectArray;
    images->setLength(9);
    for (int i = 0; i < 9; ++i) {
        std::string path = dir.file("piece" + std::to_string(i) + ".png");
        ASSERT_TRUE(spritetest::writePng(path, spritetest::kPieceSize[i][0], spritetest::kPieceSize[i][1],
                                         [i](int x, int y) { return spritetest::piecePixel(i, x, y); }));
        named[i] = new window::ImageWinDX(lang::String(path.c_str()), true);
        ASSERT_TRUE(named[i]->hasPixels());
        *images->at(i) = named[i];
    }
    ASSERT_TRUE(spritetest::writePng(dir.file("other.png"), 2, 2, [](int, int) { return 0xFF102030u; }));
    window::ImageWinDX* other = new window::ImageWinDX(lang::String(dir.file("other.png").c_str()), true);

    BorderedDialog* dialog = make(images, {1, 1, 12, 9});
    // Another picture in the dialog, away from the frame: it is let go.
    ImageSprite* picture = new ImageSprite();
    picture->setImage(other);
    picture->setPosition(40, 40);
    dialog->addChild("Other", picture);
    picture->release();

    dialog->setVisible(false);
    dialog->tick(1, nullptr, nullptr);
    EXPECT_FALSE(other->hasPixels());
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(named[i]->hasPixels()) << i;

    dialog->setVisible(true);
    dialog->tick(2, nullptr, nullptr);
    EXPECT_TRUE(other->hasPixels());
    EXPECT_EQ(spritetest::kTwelveByNine, render(dialog, 14, 11));

    // The same holds for a copy.
    SpriteBase* copy = dialog->clone();
    copy->setVisible(false);
    copy->tick(3, nullptr, nullptr);
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(named[i]->hasPixels()) << i;
    copy->release();

    dialog->release();
    other->release();
    for (window::ImageWinDX* image : named)
        image->release();
}

} // namespace
