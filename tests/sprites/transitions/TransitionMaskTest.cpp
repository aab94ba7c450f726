// The mask transition: its list of masks, the scale run frame by frame, the
// stencil calls of its drawing and what they leave on a picture, the
// three-picture reverse case, copies, and masks from the transition factory
// by type code and from Lua option tables.
#include "tests/sprites/transitions/MaskTestSupport.h"

#include "tests/support/TempDir.h"

#include "core/lang/Class.h"
#include "sprites/transitions/TransitionFactory.h"
#include "sprites/transitions/TransitionMask.h"

#include <gtest/gtest.h>
#include <lua.hpp>

using masktest::flatImage;
using masktest::MaskGraphics;
using masktest::StencilGraphics;
using masktest::writeFlatPng;
using sprite::TransitionBase;
using sprite::TransitionFactory;
using sprite::TransitionImage;
using sprite::TransitionMask;
using spritetest::RecordingGraphics;

namespace {

const uint32_t kRed = 0xFFFF0000u;
const uint32_t kWhite = 0xFFFFFFFFu;
const uint32_t kBlue = 0xFF0000FFu;

class MaskTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (TransitionBase* t : made)
            if (t)
                t->release();
    }
    TransitionMask* track(TransitionBase* t)
    {
        made.push_back(t);
        return t && t->isInstanceOf("TransitionMask") ? static_cast<TransitionMask*>(t) : nullptr;
    }
    // A running mask transition over (0, 0, w, h) whose first layer is a
    // flat red picture, started (reset) as the canvas and sprites do.
    TransitionMask* running(float init, float end, int frames = 24, int w = 40, int h = 40)
    {
        TransitionMask* t = track(new TransitionMask(frames, 0, 0, w, h, false));
        window::ImageWinDX* old = flatImage(w, h, kRed);
        t->setLayerImage(0, old);
        old->release();
        t->setMaskScale(init, end);
        t->reset();
        return t;
    }

    testsupport::TempDir dir;
    std::vector<TransitionBase*> made;
};

TEST_F(MaskTest, MasksAreAddedPlacedAndFreed)
{
    TransitionMask* t = track(new TransitionMask());
    EXPECT_EQ(1.0f, t->getScaleInit());
    EXPECT_EQ(2.0f, t->getScaleEnd());
    EXPECT_EQ(1.0f, t->getScale());
    EXPECT_EQ(0, t->getMaskCount());

    std::string path = dir.file("keyhole.png");
    ASSERT_TRUE(writeFlatPng(path, 12, 7, kWhite));
    EXPECT_EQ(0, t->addImageByName(lang::String(path.c_str())));
    window::ImageWinDX* shared = flatImage(5, 3, kWhite);
    EXPECT_EQ(1, t->addImage(shared));
    EXPECT_EQ(2, shared->getRefCount());

    TransitionImage* mask = nullptr;
    ASSERT_TRUE(t->getMask(0, mask));
    ASSERT_NE(nullptr, mask->image);
    EXPECT_STREQ(path.c_str(), mask->name.c_str());
    EXPECT_EQ(12, mask->rect.width);
    EXPECT_EQ(7, mask->baseRect.height);
    EXPECT_EQ(0, mask->position.x);
    ASSERT_TRUE(t->getMask(1, mask));
    EXPECT_EQ(shared, mask->image);
    EXPECT_TRUE(mask->name.isEmpty());
    EXPECT_EQ(5, mask->rect.width);

    t->setImagePosition(1, 30, 40);
    t->setImagePosition(5, 1, 1);
    t->setImagePosition(-1, 1, 1);
    EXPECT_EQ(30, mask->position.x);
    EXPECT_EQ(40, mask->position.y);
    ASSERT_TRUE(t->getMask(0, mask));
    EXPECT_EQ(0, mask->position.x);
    TransitionImage* untouched = nullptr;
    EXPECT_FALSE(t->getMask(2, untouched));
    EXPECT_FALSE(t->getMask(-1, untouched));
    EXPECT_EQ(nullptr, untouched);

    t->clearMasks();
    EXPECT_EQ(0, t->getMaskCount());
    EXPECT_EQ(1, shared->getRefCount());
    t->addImage(shared);
    EXPECT_EQ(2, shared->getRefCount());
    made.clear();
    t->release();
    EXPECT_EQ(1, shared->getRefCount());
    shared->release();
}

TEST_F(MaskTest, TheScaleRunsFromInitToEndOverTheFrames)
{
    TransitionMask* t = running(0.5f, 10.0f);
    EXPECT_EQ(0.5f, t->getScale());
    for (int frame = 1; frame <= 24; ++frame) {
        ASSERT_EQ(0, t->step());
        EXPECT_NEAR(0.5 + frame * (9.5 / 24), t->getScale(), 1e-4) << frame;
    }
    EXPECT_EQ(TransitionBase::STEP_FINISHED, t->step());
}

TEST_F(MaskTest, TheScaleNeverFallsBelowOneHundredth)
{
    TransitionMask* t = running(1.0f, -50.0f, 10);
    ASSERT_EQ(0, t->step());
    EXPECT_EQ(0.01f, t->getScale());
    ASSERT_EQ(0, t->step());
    EXPECT_EQ(0.01f, t->getScale());
    // Rewinding starts the run over.
    t->reset();
    EXPECT_EQ(1.0f, t->getScale());
}

TEST_F(MaskTest, TheLayerIsDrawnThroughTheStencilOfTheScaledMasks)
{
    TransitionMask* t = running(0.5f, 10.0f);
    window::ImageWinDX* keyhole = flatImage(8, 6, kWhite);
    t->setImagePosition(t->addImage(keyhole), 16, 17);
    keyhole->release();
    // A mask without a picture stencils its rectangle.
    int plain = t->addImage(nullptr);
    TransitionImage* record = nullptr;
    ASSERT_TRUE(t->getMask(plain, record));
    record->rect = util::RectangleNM(0, 0, 4, 5);
    t->setImagePosition(plain, 2, 3);
    ASSERT_EQ(0, t->step());
    float scale = t->getScale();

    MaskGraphics* g = new MaskGraphics();
    t->paint(g);
    std::vector<std::string> expected = {"setBlendMode",      "beginMask",     "setMaskInverted", "setMaskMode",
                                         "drawImageCentered", "fillRectAlpha", "setMaskMode",     "setBlendMode",
                                         "drawImageCentered", "endMask",       "setBlendMode",    "setBlendMode"};
    ASSERT_EQ(expected, g->ops());
    const std::vector<RecordingGraphics::Call>& c = g->calls;
    EXPECT_FALSE(c[0].flag);
    EXPECT_FALSE(c[2].flag); // growing: not inverted
    EXPECT_TRUE(c[3].flag);  // writing the mask
    EXPECT_EQ(keyhole, c[4].image);
    EXPECT_EQ(16 + 4, c[4].x);
    EXPECT_EQ(17 + 3, c[4].y);
    EXPECT_EQ(8, c[4].src.width);
    EXPECT_EQ(scale, float(c[4].scaleX));
    EXPECT_EQ(scale, float(c[4].scaleY));
    EXPECT_EQ(2, c[5].x);
    EXPECT_EQ(3, c[5].y);
    EXPECT_EQ(4, c[5].w);
    EXPECT_EQ(5, c[5].h);
    EXPECT_EQ(0xFF000000u, c[5].argb);
    EXPECT_FALSE(c[6].flag); // drawing through the mask
    EXPECT_FALSE(c[7].flag);
    EXPECT_EQ(t->getLayerImage(0), c[8].image);
    EXPECT_EQ(1.0, c[8].scaleX);
    EXPECT_TRUE(c[10].flag);
    EXPECT_TRUE(c[11].flag);
    g->release();
}

TEST_F(MaskTest, AnOverlayLeavesBlendingOnAfterItsMaskedLayer)
{
    TransitionMask* t = running(3.0f, 0.5f);
    t->setOverlay(true);
    window::ImageWinDX* keyhole = flatImage(8, 8, kWhite);
    t->addImage(keyhole);
    keyhole->release();
    ASSERT_EQ(0, t->step());
    MaskGraphics* g = new MaskGraphics();
    t->paint(g);
    std::vector<RecordingGraphics::Call> blends = g->ofOp("setBlendMode");
    ASSERT_EQ(2u, blends.size());
    EXPECT_FALSE(blends[0].flag);
    EXPECT_TRUE(blends[1].flag);
    EXPECT_TRUE(g->ofOp("setMaskInverted")[0].flag); // shrinking: inverted
    g->release();
}

// The keyhole opening: the old picture stays outside the growing mask and
// is gone inside it.
TEST_F(MaskTest, AGrowingMaskOpensAHoleInTheOldPicture)
{
    TransitionMask* t = running(0.5f, 10.0f);
    window::ImageWinDX* keyhole = flatImage(8, 8, kWhite);
    t->setImagePosition(t->addImage(keyhole), 16, 16);
    keyhole->release();
    // Scale 0.5 covers 4 by 4 about (20, 20), 16/24 more a step.
    struct {
        int steps;
        int half; // half the side of the hole after those steps
    } cases[] = {{0, 2}, {4, 8}, {7, 13}};
    int done = 0;
    for (const auto& c : cases) {
        for (; done < c.steps; ++done)
            ASSERT_EQ(0, t->step());
        StencilGraphics* g = new StencilGraphics(40, 40, kBlue);
        t->paint(g);
        EXPECT_EQ(kBlue, g->at(20, 20)) << c.steps;
        EXPECT_EQ(kBlue, g->at(20 - c.half, 20 + c.half - 1)) << c.steps;
        EXPECT_EQ(kRed, g->at(20 - c.half - 1, 20)) << c.steps;
        EXPECT_EQ(kRed, g->at(20, 20 + c.half)) << c.steps;
        EXPECT_EQ(kRed, g->at(0, 0)) << c.steps;
        g->release();
    }
}

// The keyhole closing: a shrinking mask keeps the old picture only inside.
TEST_F(MaskTest, AShrinkingMaskKeepsTheOldPictureInsideIt)
{
    TransitionMask* t = running(3.0f, 1.0f, 4);
    window::ImageWinDX* keyhole = flatImage(8, 8, kWhite);
    t->setImagePosition(t->addImage(keyhole), 16, 16);
    keyhole->release();
    ASSERT_EQ(0, t->step()); // 2.5: 20 by 20 about (20, 20)
    StencilGraphics* g = new StencilGraphics(40, 40, kBlue);
    t->paint(g);
    EXPECT_EQ(kRed, g->at(20, 20));
    EXPECT_EQ(kRed, g->at(10, 29));
    EXPECT_EQ(kBlue, g->at(9, 20));
    EXPECT_EQ(kBlue, g->at(20, 30));
    EXPECT_EQ(kBlue, g->at(39, 0));
    g->release();
}

// Reversed with a fill: three captures; after the first layer the fill
// layer is passed over and the third picture runs the masks back from the
// end scale, drawn over the fill.
TEST_F(MaskTest, ReversedItRevealsAThirdPictureOverTheFill)
{
    TransitionMask* t = track(new TransitionMask(10, 0, 0, 40, 30, false));
    t->setMaskScale(1.0f, 3.0f);
    t->setReverse(true);
    t->setFillSecondLayer(true);
    t->setFillColour(0xFF445566u);
    window::ImageWinDX* keyhole = flatImage(8, 8, kWhite);
    t->addImage(keyhole);
    keyhole->release();
    MaskGraphics* g = new MaskGraphics();
    t->begin();
    t->capture(g, 0, 0, 40, 30);
    EXPECT_EQ(2, t->getState());
    t->capture(g, 0, 0, 40, 30);
    EXPECT_EQ(-1, t->getState());
    t->reset();
    EXPECT_EQ(1.0f, t->getScale());
    for (int frame = 1; frame <= 10; ++frame)
        ASSERT_EQ(0, t->step());
    EXPECT_NEAR(3.0, t->getScale(), 1e-5);

    ASSERT_EQ(0, t->step());
    EXPECT_EQ(2, t->getCurrentLayer());
    EXPECT_NEAR(3.0 - 0.2, t->getScale(), 1e-5);
    EXPECT_FALSE(t->isLayerActive(0));
    EXPECT_TRUE(t->isLayerActive(1));
    EXPECT_TRUE(t->isLayerActive(2));

    g->calls.clear();
    t->paint(g);
    const int* order = t->getDrawOrder();
    EXPECT_EQ(0, order[0]);
    EXPECT_EQ(1, order[1]);
    EXPECT_EQ(2, order[2]);
    std::vector<std::string> ops = g->ops();
    ASSERT_GE(ops.size(), 3u);
    EXPECT_EQ("fillRectAlpha", ops[1]);
    EXPECT_EQ(0xFF445566u, g->calls[1].argb);
    std::vector<RecordingGraphics::Call> draws = g->ofOp("drawImageCentered");
    ASSERT_EQ(2u, draws.size());
    EXPECT_EQ(t->getLayerImage(2), draws[1].image);
    for (int frame = 1; frame <= 9; ++frame)
        ASSERT_EQ(0, t->step());
    EXPECT_NEAR(1.0, t->getScale(), 1e-4);
    // A new layer steps once at frame 0 and then frames 1 to 10.
    ASSERT_EQ(0, t->step());
    EXPECT_NEAR(0.8, t->getScale(), 1e-4);
    EXPECT_EQ(TransitionBase::STEP_FINISHED, t->step());
    g->release();
}

TEST_F(MaskTest, NotReversedTheFillLayerRunsTheMasksFromTheStartAgain)
{
    TransitionMask* t = track(new TransitionMask(4, 0, 0, 40, 30, false));
    t->setMaskScale(1.0f, 2.0f);
    t->setFillSecondLayer(true);
    RecordingGraphics* g = new RecordingGraphics();
    t->begin();
    t->capture(g, 0, 0, 40, 30);
    EXPECT_EQ(-1, t->getState());
    t->reset();
    for (int frame = 1; frame <= 4; ++frame)
        ASSERT_EQ(0, t->step());
    EXPECT_NEAR(2.0, t->getScale(), 1e-5);
    ASSERT_EQ(0, t->step());
    EXPECT_EQ(1, t->getCurrentLayer());
    EXPECT_NEAR(1.25, t->getScale(), 1e-5);
    EXPECT_FALSE(t->isLayerActive(0));
    EXPECT_TRUE(t->isLayerActive(1));
    g->release();
}

TEST_F(MaskTest, ACopySharesTheMaskPicturesAndReloadsNamedOnes)
{
    std::string path = dir.file("ring.png");
    ASSERT_TRUE(writeFlatPng(path, 6, 9, kWhite));
    TransitionMask* t = running(0.5f, 10.0f, 12);
    window::ImageWinDX* shared = flatImage(5, 3, kWhite);
    t->setImagePosition(t->addImage(shared), 7, 8);
    int named = t->addImage(nullptr);
    TransitionImage* record = nullptr;
    ASSERT_TRUE(t->getMask(named, record));
    record->name = lang::String(path.c_str());
    record->rect = util::RectangleNM(1, 2, 3, 4);
    ASSERT_EQ(0, t->step());

    TransitionBase* copy = t->clone();
    TransitionMask* c = track(copy);
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(12, c->getFrames());
    EXPECT_EQ(1, c->getFrame());
    EXPECT_TRUE(c->getFillSecondLayer());
    EXPECT_EQ(t->getLayerImage(0), c->getLayerImage(0));
    ASSERT_EQ(2, c->getMaskCount());
    EXPECT_EQ(3, shared->getRefCount());
    TransitionImage* m = nullptr;
    ASSERT_TRUE(c->getMask(0, m));
    EXPECT_EQ(shared, m->image);
    EXPECT_EQ(7, m->position.x);
    EXPECT_EQ(8, m->position.y);
    EXPECT_EQ(5, m->rect.width);
    ASSERT_TRUE(c->getMask(1, m));
    ASSERT_NE(nullptr, m->image);
    EXPECT_EQ(6, m->image->getWidth());
    EXPECT_STREQ(path.c_str(), m->name.c_str());
    EXPECT_EQ(1, m->rect.x);
    EXPECT_EQ(4, m->rect.height);
    shared->release();
}

TEST_F(MaskTest, TheMaskClassIsCreatedByName)
{
    lang::Class* metaclass = lang::Class::forName(lang::String("TransitionMask"));
    ASSERT_NE(nullptr, metaclass);
    TransitionMask* t = track(static_cast<TransitionBase*>(metaclass->newInstance()));
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(24, t->getFrames());
    EXPECT_EQ(0, t->getMaskCount());
    EXPECT_EQ(-1, t->getState());
}

TEST_F(MaskTest, TypeCodesOpenOrCloseTheMaskNamed)
{
    std::string path = dir.file("hole.png");
    ASSERT_TRUE(writeFlatPng(path, 10, 10, kWhite));
    lang::String name(path.c_str());

    TransitionMask* open = track(TransitionFactory::create(400, util::RectangleNM(10, 20, 300, 202), name, false, 24));
    ASSERT_NE(nullptr, open);
    EXPECT_EQ(0.5f, open->getScaleInit());
    EXPECT_EQ(10.0f, open->getScaleEnd());
    EXPECT_FALSE(open->isReverse());
    EXPECT_EQ(0, open->getState());
    ASSERT_EQ(1, open->getMaskCount());
    TransitionImage* mask = nullptr;
    ASSERT_TRUE(open->getMask(0, mask));
    EXPECT_EQ(10 + 75, mask->position.x);
    EXPECT_EQ(20 + 50, mask->position.y);
    EXPECT_EQ(10, mask->rect.width);

    TransitionMask* close = track(TransitionFactory::create(401, 0, 0, -6, 7, name, false, 0));
    ASSERT_NE(nullptr, close);
    EXPECT_EQ(10.0f, close->getScaleInit());
    EXPECT_EQ(0.5f, close->getScaleEnd());
    EXPECT_TRUE(close->isReverse());
    EXPECT_EQ(1, close->getFrames());
    ASSERT_TRUE(close->getMask(0, mask));
    // Quarters round down, also below zero.
    EXPECT_EQ(-2, mask->position.x);
    EXPECT_EQ(1, mask->position.y);

    TransitionMask* bare = track(TransitionFactory::createFullScreen(400, 24));
    ASSERT_NE(nullptr, bare);
    EXPECT_EQ(0, bare->getMaskCount());
    EXPECT_EQ(nullptr, TransitionFactory::createFullScreen(402, 24));
}

// createFromLuaTable inside a protected call; the table is a Lua expression.
TransitionBase* fromLua(lua_State* L, const std::string& table, int maskX, int maskY)
{
    struct Call {
        TransitionBase* made;
        int maskX, maskY;
    } call{nullptr, maskX, maskY};
    lua_CFunction run = [](lua_State* L) -> int {
        Call* c = static_cast<Call*>(lua_touserdata(L, 1));
        lua_remove(L, 1);
        c->made = TransitionFactory::createFromLuaTable(L, util::RectangleNM(0, 0, 100, 100), false, c->maskX,
                                                        c->maskY);
        return 0;
    };
    std::string chunk = "return " + table;
    EXPECT_EQ(0, luaL_loadstring(L, chunk.c_str()));
    EXPECT_EQ(0, lua_pcall(L, 0, 1, 0));
    lua_pushcfunction(L, run);
    lua_insert(L, -2);
    lua_pushlightuserdata(L, &call);
    lua_insert(L, -2);
    if (lua_pcall(L, 2, 0, 0) != 0) {
        ADD_FAILURE() << lua_tostring(L, -1);
        lua_pop(L, 1);
    }
    return call.made;
}

TEST_F(MaskTest, ALuaTableNamesTheMaskItsPlaceAndItsScales)
{
    std::string path = dir.file("star.png");
    ASSERT_TRUE(writeFlatPng(path, 4, 4, kWhite));
    lua_State* L = luaL_newstate();

    TransitionMask* plain = track(fromLua(L, "{transition = 'mask', mask = '" + path + "'}", 400, 300));
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(1.0f, plain->getScaleInit());
    EXPECT_EQ(1.0f, plain->getScaleEnd());
    EXPECT_FALSE(plain->isReverse());
    ASSERT_EQ(1, plain->getMaskCount());
    TransitionImage* mask = nullptr;
    ASSERT_TRUE(plain->getMask(0, mask));
    EXPECT_EQ(400, mask->position.x);
    EXPECT_EQ(300, mask->position.y);
    EXPECT_EQ(4, mask->rect.width);
    // Without scale keys the mask keeps its size.
    RecordingGraphics* g = new RecordingGraphics();
    plain->capture(g, 0, 0, 800, 600);
    g->release();
    plain->reset();
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(0, plain->step());
    EXPECT_EQ(1.0f, plain->getScale());

    TransitionMask* placed = track(fromLua(L,
                                           "{transition = 'mask', mask = '" + path +
                                               "', maskX = 12, maskY = -7, maskScaleInit = 0.25, "
                                               "maskScaleEnd = 6.5, reverse = true, frames = 0}",
                                           400, 300));
    ASSERT_NE(nullptr, placed);
    EXPECT_EQ(0.25f, placed->getScaleInit());
    EXPECT_EQ(6.5f, placed->getScaleEnd());
    EXPECT_TRUE(placed->isReverse());
    EXPECT_EQ(1, placed->getFrames());
    ASSERT_TRUE(placed->getMask(0, mask));
    EXPECT_EQ(12, mask->position.x);
    EXPECT_EQ(-7, mask->position.y);
    EXPECT_EQ(0, lua_gettop(L));
    lua_close(L);
}

} // namespace
