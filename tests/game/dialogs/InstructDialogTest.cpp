// InstructDialogTest.cpp: the how-to-play dialog built from a manifest: its
// version text, paging with Back and Next through cross-fading pages, and the
// page kept when the dialog is closed and opened again.
#include "game/dialogs/InstructDialog.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/text/TextSprite.h"
#include "tests/game/support/LoadedSprites.h"
#include "windowing/window/Event.h"

#include <gtest/gtest.h>

#include <string>

namespace gametest {
namespace {

using sprite::ButtonMixin;

// The dialog at (100, 50); Back, Next and Close along its bottom.
const int kInstructDialogLeft = 100;
const int kInstructDialogTop = 50;

std::string pages(int count)
{
    std::string out = "<sprites>\n";
    for (int i = 1; i <= count; ++i)
        out += "pg" + std::to_string(i) + " BoundsSprite 20 60 560 360\n";
    return out + "bInstructionsBack RectButtonSprite 30 440 100 34 1\n"
                 "bInstructionsNext RectButtonSprite 150 440 100 34 1\n"
                 "bInstructionsClose RectButtonSprite 470 440 100 34 1\n"
                 "version TextSprite 580 490 2\n"
                 "<end>\n";
}

class InstructDialogTest : public ::testing::Test {
protected:
    void load(int pageCount)
    {
        world.data().classScripts();
        world.data().manifest("instructions", pages(pageCount));
        ASSERT_TRUE(sprites.load(world, "Instructions InstructDialog:+instructions 100 50 600 500 0 1\n"));
        dialog = sprites.named<InstructDialog>("Instructions");
        ASSERT_NE(nullptr, dialog);
    }
    int press(const char* button)
    {
        sprite::SpriteBase* b = dialog->getSprite(button);
        auto* e = new window::Event(dialog, window::Event::MOUSE_DOWN, dialog);
        e->x = kInstructDialogLeft + b->left() + 5;
        e->y = kInstructDialogTop + b->top() + 5;
        const int r = dialog->mouseDown(e);
        e->release();
        return r;
    }
    void frames(int n)
    {
        util::RectangleNM bounds;
        for (int i = 0; i < n; ++i)
            dialog->tick(++frame, &bounds, nullptr);
    }
    int state(const char* name) { return ButtonMixin::fromSprite(dialog->getSprite(name))->getState(); }
    int alpha(int page) { return dialog->getSprite(("pg" + std::to_string(page)).c_str())->getAlpha(); }

    testsupport::GameWorld world;
    LoadedSprites sprites;
    InstructDialog* dialog = nullptr;
    int frame = 0;
};

TEST_F(InstructDialogTest, OnlyTheFirstPageShowsAndTheVersionIsPrinted)
{
    load(3);
    EXPECT_EQ(3, dialog->getPageCount());
    EXPECT_EQ(1, dialog->getPage());
    EXPECT_EQ(128, alpha(1));
    EXPECT_EQ(0, alpha(2));
    EXPECT_EQ(0, alpha(3));
    EXPECT_EQ(ButtonMixin::DISABLED, state("bInstructionsBack"));
    EXPECT_EQ(ButtonMixin::NORMAL, state("bInstructionsNext"));
    auto* version = static_cast<sprite::TextSprite*>(dialog->getSprite("version"));
    EXPECT_EQ("v1.00.114", std::string(version->getText().c_str()));
    EXPECT_NE(nullptr, version->getFont());
    EXPECT_EQ(ColorWin32(25, 25, 0, 255).getValue(), version->getTextColor().getValue());
    EXPECT_EQ(ColorWin32(255, 255, 255, 255).getValue(), version->getShadowColor().getValue());
}

TEST_F(InstructDialogTest, NextAndBackCrossFadeThePagesAndStopAtTheEnds)
{
    load(3);
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, press("bInstructionsNext"));
    EXPECT_EQ(2, dialog->getPage());
    EXPECT_EQ(ButtonMixin::NORMAL, state("bInstructionsBack"));
    frames(InstructDialog::PAGE_FADE_FRAMES);
    EXPECT_EQ(128, alpha(2));
    EXPECT_EQ(0, alpha(1));
    EXPECT_TRUE(dialog->getSprite("pg1")->isVisible()) << "the old page stays, transparent";
    press("bInstructionsNext");
    EXPECT_EQ(3, dialog->getPage());
    EXPECT_EQ(ButtonMixin::DISABLED, state("bInstructionsNext")) << "no page after the last";
    // A press on the disabled Next does nothing.
    EXPECT_NE(sprite::DialogSprite::COMMAND_READY, press("bInstructionsNext"));
    EXPECT_EQ(3, dialog->getPage());
    press("bInstructionsBack");
    press("bInstructionsBack");
    frames(InstructDialog::PAGE_FADE_FRAMES);
    EXPECT_EQ(1, dialog->getPage());
    EXPECT_EQ(128, alpha(1));
    EXPECT_EQ(ButtonMixin::DISABLED, state("bInstructionsBack"));
    EXPECT_EQ(ButtonMixin::NORMAL, state("bInstructionsNext"));
}

TEST_F(InstructDialogTest, ASinglePageLeavesBothWaysShut)
{
    load(1);
    EXPECT_EQ(ButtonMixin::DISABLED, state("bInstructionsBack"));
    EXPECT_EQ(ButtonMixin::DISABLED, state("bInstructionsNext"));
}

TEST_F(InstructDialogTest, CloseFadesOutAndTheNextOpeningShowsTheSamePage)
{
    load(4);
    press("bInstructionsNext");
    press("bInstructionsNext");
    frames(InstructDialog::PAGE_FADE_FRAMES);
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, press("bInstructionsClose")) << "the canvas shows the menu";
    EXPECT_TRUE(dialog->isFading());
    frames(20);
    EXPECT_FALSE(dialog->isVisible());
    dialog->setVisible(true);
    EXPECT_EQ(3, dialog->getPage());
    EXPECT_EQ(128, alpha(3));
    EXPECT_EQ(0, alpha(1));
}

} // namespace
} // namespace gametest
