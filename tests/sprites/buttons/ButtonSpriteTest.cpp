// ButtonSpriteTest.cpp: the animated and the rectangular button: the look
// of each state (pixels read back), hit tests, rollover, set-up from
// definitions, hiding and cloning.
#include "tests/sprites/images/TestPictures.h"

#include "core/lang/IntArray.h"
#include "core/lang/ObjectArray.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/buttons/RectButtonSprite.h"
#include "windowing/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

using sprite::ButtonMixin;
using sprite::ButtonSprite;
using sprite::RectButtonSprite;
using sprite::SpriteBase;

lang::IntArray* numbers(std::initializer_list<int> values)
{
    lang::IntArray* a = new lang::IntArray;
    a->setLength(int(values.size()));
    int i = 0;
    for (int v : values)
        (*a)[i++] = v;
    return a;
}

const uint32_t kNormal = 0xFF0000C0u;
const uint32_t kRollover = 0xFF00C000u;
const uint32_t kDisabled = 0xFF404040u;
const uint32_t kSelected = 0xFFC00000u;

// Four 8 x 8 frames in a row: normal, rollover, disabled, selected; the
// top-left pixel of each frame is transparent.
uint32_t looks(int x, int y)
{
    static const uint32_t colours[] = {kNormal, kRollover, kDisabled, kSelected};
    if (x % 8 == 0 && y == 0)
        return 0x00FFFFFFu;
    return colours[x / 8];
}

class ButtonSpriteTest : public ::testing::Test {
protected:
    ButtonSpriteTest()
    {
        m_looks = spritetest::makePicture(32, 8, looks);
        m_target = spritetest::makeTarget(40, 40);
        m_g = m_target->getGraphics();
    }
    ~ButtonSpriteTest() override
    {
        m_g->release();
        m_target->release();
        m_looks->release();
    }

    // A button at (10, 10) from a definition: 4 x 1 frames, rollover 1,
    // normal 0, disabled 2, and the extra numbers given.
    ButtonSprite* make(std::initializer_list<int> extra = {})
    {
        std::vector<int> values = {10, 10, 4, 1, 1, 0, 2};
        values.insert(values.end(), extra);
        lang::IntArray* p = new lang::IntArray;
        p->setLength(int(values.size()));
        for (size_t i = 0; i < values.size(); ++i)
            (*p)[int(i)] = values[i];
        lang::ObjectArray* res = new lang::ObjectArray;
        res->setLength(1);
        *res->at(0) = m_looks;
        ButtonSprite* b = new ButtonSprite();
        EXPECT_TRUE(b->configure(res, p));
        p->release();
        res->release();
        return b;
    }

    // The colour the button draws at (14, 14), or black when it draws nothing.
    uint32_t look(ButtonSprite* b)
    {
        m_target->getPixels()[14 * 40 + 14] = 0xFF000000u;
        b->draw(m_g);
        return spritetest::pixelAt(m_target, 14, 14);
    }

    window::ImageWinDX* m_looks;
    window::ImageWinDX* m_target;
    window::Graphics* m_g;
};

TEST_F(ButtonSpriteTest, EachStateShowsItsFrame)
{
    ButtonSprite* b = make();
    EXPECT_EQ(ButtonMixin::DISABLED, b->getState());
    EXPECT_EQ(kDisabled, look(b));
    EXPECT_EQ(SpriteBase::CURSOR_NONE, b->getMouseOverCursor());
    b->setEnabled(true);
    EXPECT_EQ(kNormal, look(b));
    EXPECT_EQ(SpriteBase::CURSOR_HAND, b->getMouseOverCursor());
    EXPECT_TRUE(b->mouseMoved(14, 14));
    EXPECT_EQ(ButtonMixin::ROLLOVER, b->getState());
    EXPECT_EQ(kRollover, look(b));
    // Pressed looks like the rollover unless told otherwise.
    b->setMouseDown(true);
    EXPECT_EQ(ButtonMixin::PRESSED, b->getState());
    EXPECT_EQ(kRollover, look(b));
    EXPECT_FALSE(b->mouseMoved(30, 30));
    EXPECT_EQ(ButtonMixin::NORMAL, b->getState());
    EXPECT_EQ(kNormal, look(b));
    b->setEnabled(false);
    EXPECT_EQ(kDisabled, look(b));
    EXPECT_EQ(SpriteBase::CURSOR_NORMAL, b->getMouseOverCursor());
    // Disabled: no rollover.
    EXPECT_FALSE(b->mouseMoved(14, 14));
    EXPECT_EQ(ButtonMixin::DISABLED, b->getState());
    b->release();
}

TEST_F(ButtonSpriteTest, SelectedFramesAndTheirDefaults)
{
    ButtonSprite* b = make({1});
    b->setStateFrames(1, 0, 2, 3, -1, -2, -2);
    EXPECT_EQ(3, b->getStateFrame(ButtonMixin::SELECTED_ROLLOVER));
    EXPECT_EQ(1, b->getStateFrame(ButtonMixin::PRESSED));
    EXPECT_EQ(3, b->getStateFrame(ButtonMixin::SELECTED_PRESSED));
    b->setState(ButtonMixin::SELECTED);
    EXPECT_EQ(kSelected, look(b));
    b->setMouseOver(true);
    EXPECT_EQ(ButtonMixin::SELECTED_ROLLOVER, b->getState());
    EXPECT_EQ(kSelected, look(b));
    // Enabling keeps the selection.
    b->setEnabled(true);
    EXPECT_EQ(ButtonMixin::SELECTED_ROLLOVER, b->getState());

    // Without a selected-rollover frame, that state is refused.
    ButtonSprite* plain = make({1});
    EXPECT_EQ(-1, plain->getStateFrame(ButtonMixin::SELECTED_ROLLOVER));
    plain->setState(ButtonMixin::SELECTED_ROLLOVER);
    EXPECT_EQ(ButtonMixin::NORMAL, plain->getState());
    EXPECT_EQ(kNormal, look(plain));
    plain->release();
    b->release();
}

TEST_F(ButtonSpriteTest, AButtonFromADefinitionFollowsItsStateAndDoesNotPlay)
{
    // Eight numbers: the last is the state, not a looping frame step.
    ButtonSprite* b = make({1});
    EXPECT_EQ(ButtonMixin::NORMAL, b->getState());
    EXPECT_EQ(0, b->getFrameStep());
    for (int frame = 1; frame <= 5; ++frame)
        b->tick(frame, nullptr, nullptr);
    EXPECT_EQ(0, b->getFrame());
    EXPECT_EQ(kNormal, look(b));
    EXPECT_EQ(10, b->left());
    EXPECT_EQ(10, b->top());
    EXPECT_EQ(8, b->width());
    b->release();

    // A definition that gives the frames only.
    ButtonSprite* bare = new ButtonSprite();
    lang::IntArray* p = numbers({0, 0, 4});
    EXPECT_TRUE(bare->configure(nullptr, p));
    p->release();
    EXPECT_EQ(ButtonMixin::DISABLED, bare->getState());
    EXPECT_EQ(0, bare->getStateFrame(ButtonMixin::ROLLOVER));
    bare->release();
}

TEST_F(ButtonSpriteTest, TheWholeBoxIsHitUnlessPixelsAreAskedFor)
{
    ButtonSprite* b = make({1});
    EXPECT_TRUE(b->getBoundsHitTest());
    // (10, 10) is a transparent pixel of the frame.
    EXPECT_TRUE(b->hittest(10, 10));
    EXPECT_TRUE(b->hitAndEnabled(10, 10));
    EXPECT_TRUE(b->mouseMoved(10, 10));
    b->setBoundsHitTest(false);
    EXPECT_FALSE(b->hittest(10, 10));
    EXPECT_FALSE(b->mouseMoved(10, 10));
    EXPECT_EQ(ButtonMixin::NORMAL, b->getState());
    EXPECT_TRUE(b->hittest(11, 10));
    EXPECT_FALSE(b->hittest(18, 10));

    // A hidden button neither rolls over nor takes clicks.
    b->setVisible(false);
    EXPECT_FALSE(b->mouseMoved(11, 10));
    EXPECT_FALSE(b->hitAndEnabled(11, 10));
    b->release();

    // Without a picture and without the bounds flag, the bounds still decide.
    ButtonSprite* empty = new ButtonSprite();
    empty->setBoundsHitTest(false);
    EXPECT_FALSE(empty->hittest(0, 0));
    empty->release();
}

TEST_F(ButtonSpriteTest, HidingDropsTheLooksThatOnlyLastWhileThePointerIsThere)
{
    ButtonSprite* b = make({1});
    b->setMouseOver(true);
    b->unloadImages();
    EXPECT_EQ(ButtonMixin::NORMAL, b->getState());
    b->setMouseDown(true);
    EXPECT_EQ(ButtonMixin::PRESSED, b->getState());
    b->unloadImages();
    EXPECT_EQ(ButtonMixin::NORMAL, b->getState());
    b->setStateFrames(1, 0, 2, 3, -1, -2, -2);
    b->setState(ButtonMixin::SELECTED_PRESSED);
    b->unloadImages();
    EXPECT_EQ(ButtonMixin::SELECTED, b->getState());
    // Made in memory, the picture keeps its pixels.
    EXPECT_TRUE(m_looks->hasPixels());
    b->release();
}

TEST_F(ButtonSpriteTest, AClonedButtonKeepsFramesStateAndFlags)
{
    ButtonSprite* b = make({1});
    b->setStateFrames(1, 0, 2, 3, 1, -2, -2);
    b->setFireOnRelease(true);
    b->setMouseOver(true);
    ButtonSprite* copy = static_cast<ButtonSprite*>(b->clone());
    EXPECT_STREQ("ButtonSprite", copy->getClassName());
    EXPECT_EQ(ButtonMixin::ROLLOVER, copy->getState());
    EXPECT_TRUE(copy->getFireOnRelease());
    EXPECT_EQ(1, copy->getStateFrame(ButtonMixin::SELECTED_ROLLOVER));
    EXPECT_EQ(kRollover, look(copy));
    copy->setEnabled(false);
    EXPECT_EQ(ButtonMixin::ROLLOVER, b->getState());
    EXPECT_EQ(ButtonMixin::fromSprite(copy), static_cast<ButtonMixin*>(copy));
    copy->release();
    b->release();
}

TEST(RectButtonSpriteTest, AnInvisibleClickArea)
{
    RectButtonSprite* r = new RectButtonSprite();
    lang::IntArray* p = numbers({10, 20, 30, 40});
    EXPECT_TRUE(r->configure(nullptr, p));
    p->release();
    EXPECT_EQ(ButtonMixin::DISABLED, r->getState());
    EXPECT_FALSE(r->mouseMoved(15, 25));
    p = numbers({10, 20, 30, 40, 1});
    EXPECT_TRUE(r->configure(nullptr, p));
    p->release();
    EXPECT_EQ(ButtonMixin::NORMAL, r->getState());
    EXPECT_EQ(SpriteBase::CURSOR_HAND, r->getMouseOverCursor());
    p = numbers({1, 2, 3});
    EXPECT_FALSE(r->configure(nullptr, p));
    p->release();
    EXPECT_EQ(10, r->left());

    // Hidden, it still rolls over and takes clicks.
    r->setVisible(false);
    EXPECT_TRUE(r->mouseMoved(10, 20));
    EXPECT_EQ(ButtonMixin::ROLLOVER, r->getState());
    EXPECT_TRUE(r->hitAndEnabled(39, 59));
    EXPECT_FALSE(r->hitAndEnabled(40, 59));
    EXPECT_FALSE(r->mouseMoved(40, 20));
    EXPECT_EQ(ButtonMixin::NORMAL, r->getState());
    EXPECT_TRUE(r->isInteractive());

    r->setFireOnRelease(true);
    EXPECT_FALSE(r->armIfClickOnRelease());
    EXPECT_EQ(ButtonMixin::PRESSED, r->getState());
    EXPECT_TRUE(r->releaseAt(12, 22));
    EXPECT_EQ(ButtonMixin::NORMAL, r->getState());

    // A clone is a plain sized sprite.
    SpriteBase* copy = r->clone();
    EXPECT_STREQ("BoundsSprite", copy->getClassName());
    EXPECT_EQ(nullptr, ButtonMixin::fromSprite(copy));
    EXPECT_EQ(30, copy->width());
    copy->release();
    EXPECT_EQ(static_cast<ButtonMixin*>(r), ButtonMixin::fromSprite(r));
    r->release();
}

} // namespace
