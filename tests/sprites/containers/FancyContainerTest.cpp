// FancyContainerTest.cpp: the container sprite: drawing order and transform,
// list order, two-phase removal, ticking, fades, colour, pictures and locks.
#include "tests/sprites/containers/ContainerTestSupport.h"

#include "core/lang/Class.h"
#include "core/util/Vector.h"
#include "sprites/script/ScriptHost.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using spritetest::CountingSprite;
using spritetest::OpenContainer;
using spritetest::TransformGraphics;
using sprite::FancyContainer;
using sprite::SpriteBase;

class FancyContainerTest : public ::testing::Test {
protected:
    FancyContainerTest()
    {
        container = new OpenContainer(200, 100);
        container->setPosition(100, 50);
    }
    ~FancyContainerTest() override
    {
        for (SpriteBase* s : made)
            s->release();
        container->release();
    }

    // A child centred on (x, y) of the container's frame, added on top; the
    // container holds its own reference.
    CountingSprite* add(int x, int y, int w, int h, uint32_t colour = 0xFF00FF00u)
    {
        CountingSprite* s = new CountingSprite(x, y, w, h, colour);
        made.push_back(s);
        container->bringToFront(s);
        return s;
    }

    std::vector<SpriteBase*> order()
    {
        std::vector<SpriteBase*> out;
        for (int i = 0;; ++i) {
            SpriteBase* s = container->childAt(i);
            if (!s)
                break;
            out.push_back(s);
            s->release();
        }
        return out;
    }

    OpenContainer* container;
    std::vector<SpriteBase*> made;
};

TEST_F(FancyContainerTest, ChildrenDrawFirstToLastInTheContainersFrameAndAlpha)
{
    CountingSprite* a = add(20, 10, 10, 10, 0xFFFF0000u);
    CountingSprite* hidden = add(50, 50, 10, 10, 0xFF0000FFu);
    CountingSprite* b = add(190, 90, 20, 20, 0xFF00FF00u);
    hidden->setVisible(false);
    container->setAlphaBalance(64);
    container->setFillBackground(true);
    container->setBackgroundColor(int(0x80112233u));

    TransformGraphics g;
    container->draw(&g);

    // Clipped to the container's box, then moved so that (0, 0) is its
    // top-left corner: to the centre (200, 100) and back by half the size.
    std::vector<spritetest::RecordingGraphics::Call> clips = g.ofOp("clipRect");
    ASSERT_FALSE(clips.empty());
    EXPECT_EQ(100, clips[0].x);
    EXPECT_EQ(50, clips[0].y);
    EXPECT_EQ(200, clips[0].w);
    EXPECT_EQ(100, clips[0].h);
    ASSERT_EQ(5u, g.transforms.size());
    EXPECT_EQ("translate", g.transforms[0].op);
    EXPECT_EQ(200, g.transforms[0].a);
    EXPECT_EQ(100, g.transforms[0].b);
    EXPECT_EQ("rotate", g.transforms[1].op);
    EXPECT_EQ("scale", g.transforms[2].op);
    EXPECT_EQ("flip", g.transforms[3].op);
    EXPECT_EQ("translate", g.transforms[4].op);
    EXPECT_EQ(-100, g.transforms[4].a);
    EXPECT_EQ(-50, g.transforms[4].b);

    // The background first, then the visible children bottom to top, all
    // at the container's top-left corner and with its alpha.
    std::vector<spritetest::RecordingGraphics::Call> fills = g.ofOp("fillRect");
    ASSERT_EQ(1u, fills.size());
    EXPECT_EQ(0x80112233u, fills[0].argb);
    EXPECT_EQ(200, fills[0].w);
    EXPECT_EQ(100, fills[0].translateX);
    EXPECT_EQ(50, fills[0].translateY);
    std::vector<spritetest::RecordingGraphics::Call> drawn = g.ofOp("fillRectAlpha");
    ASSERT_EQ(2u, drawn.size());
    EXPECT_EQ(0xFFFF0000u, drawn[0].argb);
    EXPECT_EQ(15, drawn[0].x);
    EXPECT_EQ(5, drawn[0].y);
    EXPECT_EQ(0xFF00FF00u, drawn[1].argb);
    EXPECT_EQ(180, drawn[1].x);
    for (const auto& c : drawn) {
        EXPECT_EQ(100, c.translateX);
        EXPECT_EQ(50, c.translateY);
        EXPECT_EQ(64, c.alpha);
    }
    EXPECT_EQ(1, a->paints);
    EXPECT_EQ(1, b->paints);
    EXPECT_EQ(0, hidden->paints);
    // The drawing state is given back.
    EXPECT_EQ(0, g.getTranslateX());
    EXPECT_EQ(128, g.getAlpha());
}

TEST_F(FancyContainerTest, AScaledContainerScalesAroundItsCentre)
{
    add(10, 10, 4, 4);
    container->setScale(2.0);
    container->rotateBy(90.0);
    container->setFlipType(SpriteBase::FLIP_HORIZONTAL);
    TransformGraphics g;
    container->draw(&g);
    ASSERT_EQ(5u, g.transforms.size());
    EXPECT_EQ(90.0, g.transforms[1].a);
    EXPECT_EQ(2.0, g.transforms[2].a);
    EXPECT_EQ(2.0, g.transforms[2].b);
    EXPECT_EQ(1.0, g.transforms[3].a);
    // The way back from the centre is in scaled units: the corner lands at
    // 200 - 2 x 100.
    std::vector<spritetest::RecordingGraphics::Call> drawn = g.ofOp("fillRectAlpha");
    ASSERT_EQ(1u, drawn.size());
    EXPECT_EQ(0, drawn[0].translateX);
    EXPECT_EQ(0, drawn[0].translateY);
}

TEST_F(FancyContainerTest, ChildrenAreOrderedByInsertion)
{
    CountingSprite* a = add(0, 0, 1, 1);
    CountingSprite* b = add(0, 0, 1, 1);
    CountingSprite* c = add(0, 0, 1, 1);
    EXPECT_EQ((std::vector<SpriteBase*>{a, b, c}), order());

    container->insertAfter(c, nullptr);
    EXPECT_EQ((std::vector<SpriteBase*>{c, a, b}), order());
    container->bringToFront(c);
    EXPECT_EQ((std::vector<SpriteBase*>{a, b, c}), order());
    container->insertAfter(a, b);
    EXPECT_EQ((std::vector<SpriteBase*>{b, a, c}), order());
    container->insertBefore(c, a);
    EXPECT_EQ((std::vector<SpriteBase*>{b, c, a}), order());
    CountingSprite stranger(0, 0, 1, 1);
    container->insertBefore(a, &stranger);
    EXPECT_EQ((std::vector<SpriteBase*>{a, b, c}), order());

    EXPECT_EQ(nullptr, container->childAt(-1));
    EXPECT_EQ(nullptr, container->childAt(3));
    EXPECT_FALSE(container->bringToFront(nullptr));
    EXPECT_FALSE(container->bringToFront(container));
    EXPECT_EQ(3, container->getChildCount());
}

TEST_F(FancyContainerTest, TheListHoldsAReferenceAndChildAtAddsOne)
{
    CountingSprite* a = add(0, 0, 1, 1);
    EXPECT_EQ(2, a->getRefCount());
    SpriteBase* got = container->childAt(0);
    EXPECT_EQ(3, a->getRefCount());
    got->release();
    // Moving a child whose only holder is the list keeps it alive.
    made.clear();
    a->release();
    container->insertAfter(a, nullptr);
    EXPECT_EQ(1, a->getRefCount());
}

TEST_F(FancyContainerTest, ARemovedChildIsHiddenAtOnceAndLeavesAtTheNextTick)
{
    CountingSprite* a = add(20, 10, 10, 10);
    CountingSprite* b = add(40, 10, 10, 10);
    container->tick(1, nullptr, nullptr);
    EXPECT_TRUE(container->removeChild(a));
    EXPECT_FALSE(a->isVisible());
    EXPECT_TRUE(container->isRemovalPending(a));
    EXPECT_EQ(2, container->getChildCount());
    // Still ticked (hidden) in the tick that drops it.
    EXPECT_TRUE(container->tick(2, nullptr, nullptr));
    EXPECT_EQ((std::vector<int>{1, 2}), a->ticks);
    EXPECT_EQ((std::vector<SpriteBase*>{b}), order());
    EXPECT_FALSE(container->isRemovalPending(a));
    EXPECT_EQ(1, a->getRefCount());
    // Removing a sprite that is no child changes nothing.
    EXPECT_TRUE(container->removeChild(a));
    EXPECT_FALSE(container->isRemovalPending(a));
}

TEST_F(FancyContainerTest, AChildPutBackBeforeTheTickStaysButHidden)
{
    CountingSprite* a = add(20, 10, 10, 10);
    // Removed twice and put back once: it stays all the same.
    container->removeChild(a);
    container->removeChild(a);
    container->bringToFront(a);
    container->tick(1, nullptr, nullptr);
    EXPECT_EQ(1, container->getChildCount());
    EXPECT_FALSE(a->isVisible());
    container->tick(2, nullptr, nullptr);
    EXPECT_EQ(1, container->getChildCount());
}

TEST_F(FancyContainerTest, AHiddenContainerTicksItsChildrenButReportsOnlyTransitions)
{
    CountingSprite* a = add(20, 10, 10, 10);
    container->tick(1, nullptr, nullptr);
    a->movePosition(1, 0);
    EXPECT_TRUE(container->tick(2, nullptr, nullptr));

    container->setVisible(false);
    container->tick(3, nullptr, nullptr);
    a->movePosition(1, 0);
    EXPECT_FALSE(container->tick(4, nullptr, nullptr));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), a->ticks);

    // A child in a hide transition goes through its transition step instead
    // of its tick, and its dirty flag counts even now.
    CountingSprite* b = add(60, 10, 10, 10);
    b->showWithTransition(false, 100);
    ASSERT_EQ(SpriteBase::TRANSITION_HIDING, b->getTransitionMode());
    b->setDirty(true);
    EXPECT_TRUE(container->tick(5, nullptr, nullptr));
    EXPECT_TRUE(b->ticks.empty());
    EXPECT_EQ(5, b->getLastFrame());
}

TEST_F(FancyContainerTest, ChildrenWithLuaAnimationsAreHandedToTheFrameList)
{
    util::Vector collected(10);
    util::Vector* framework = FancyContainer::luaAnimatedSprites;
    FancyContainer::luaAnimatedSprites = &collected;
    CountingSprite* a = add(0, 0, 1, 1);
    add(0, 0, 1, 1);
    a->setHasLuaAnimations(true);
    container->tick(1, nullptr, nullptr);
    FancyContainer::luaAnimatedSprites = framework;
    ASSERT_EQ(1, collected.size());
    EXPECT_EQ(a, collected.elementAt(0));
    container->tick(2, nullptr, nullptr);
    EXPECT_EQ(1, collected.size());
}

TEST_F(FancyContainerTest, AFadeOutHidesTheContainerAndRestoresItsAlpha)
{
    container->fade(-20);
    EXPECT_TRUE(container->isFading());
    std::vector<int> alphas;
    for (int frame = 1; frame <= 6; ++frame) {
        container->tick(frame, nullptr, nullptr);
        alphas.push_back(container->getAlpha());
        EXPECT_TRUE(container->isVisible());
    }
    EXPECT_EQ((std::vector<int>{108, 88, 68, 48, 28, 8}), alphas);
    container->tick(7, nullptr, nullptr);
    EXPECT_FALSE(container->isVisible());
    EXPECT_FALSE(container->isFading());
    EXPECT_EQ(128, container->getAlpha());
}

TEST_F(FancyContainerTest, AFadeInStartsFromTransparentAndStopsAtOpaque)
{
    container->setVisible(false);
    container->fade(20);
    EXPECT_TRUE(container->isVisible());
    EXPECT_EQ(0, container->getAlpha());
    // The same fade again changes nothing.
    container->tick(1, nullptr, nullptr);
    container->fade(20);
    EXPECT_EQ(20, container->getAlpha());
    for (int frame = 2; frame <= 6; ++frame)
        container->tick(frame, nullptr, nullptr);
    EXPECT_EQ(120, container->getAlpha());
    EXPECT_TRUE(container->isFading());
    container->tick(7, nullptr, nullptr);
    EXPECT_EQ(128, container->getAlpha());
    EXPECT_FALSE(container->isFading());

    // A fade-out at the last speed; from alpha 0 it starts at 128 first.
    container->setAlphaBalance(0);
    container->fadeOut();
    EXPECT_EQ(-20, container->getFadeStep());
    EXPECT_EQ(128, container->getAlpha());
    // Step 0 stops a fade where it is.
    container->tick(8, nullptr, nullptr);
    container->fade(0);
    container->tick(9, nullptr, nullptr);
    EXPECT_EQ(108, container->getAlpha());
    EXPECT_FALSE(container->isFading());
}

TEST_F(FancyContainerTest, ColourGoesDownToTheChildrenButAlphaStaysTheContainers)
{
    CountingSprite* a = add(0, 0, 1, 1);
    container->tick(1, nullptr, nullptr);
    container->setColorBalance(64, 10, 20, 30);
    EXPECT_EQ(ColorWin32(10, 20, 30, 128).getValue(), a->getColor().getValue());
    EXPECT_EQ(ColorWin32(10, 20, 30, 64).getValue(), container->getColor().getValue());
    EXPECT_TRUE(container->isDirty());
    // The same colour again changes nothing.
    a->setColorBalance(128, 1, 2, 3);
    container->setColorBalance(64, 10, 20, 30);
    EXPECT_EQ(ColorWin32(1, 2, 3, 128).getValue(), a->getColor().getValue());
}

TEST_F(FancyContainerTest, ShownAndHiddenLoadAndFreeTheChildrensPictures)
{
    CountingSprite* a = add(0, 0, 1, 1);
    CountingSprite* hidden = add(0, 0, 1, 1);
    hidden->setVisible(false);
    container->onHidden();
    EXPECT_EQ(1, a->unloads);
    EXPECT_EQ(1, hidden->unloads);
    container->onShown();
    EXPECT_EQ(1, a->loads);
    EXPECT_EQ(0, hidden->loads);

    container->setChildrenPaused(true);
    EXPECT_TRUE(a->isPaused());
    EXPECT_TRUE(hidden->isPaused());
    container->setChildrenPaused(false);
    EXPECT_FALSE(a->isPaused());

    TransformGraphics g;
    container->prepareTransition(&g);
    EXPECT_EQ(1, a->prepares);
    EXPECT_EQ(0, hidden->prepares);
}

TEST_F(FancyContainerTest, CompletingAnimationsNeedsTheScriptHost)
{
    CountingSprite* a = add(0, 0, 10, 10);
    a->setDestination(50, 0, 10);
    ScriptHost* host = ScriptHost::instance;
    ScriptHost::instance = nullptr;
    container->completeAnimations(true);
    ScriptHost::instance = host;
    // Without a Lua state nothing is done, not even the jump.
    EXPECT_EQ(10, a->getMoveSteps());
}

TEST_F(FancyContainerTest, TheChildListIsLockedWhileItIsWalkedOrChanged)
{
    CountingSprite* a = add(20, 10, 10, 10);
    CountingSprite* b = add(40, 10, 10, 10);
    util::Vector* list = &container->list();
    TransformGraphics g;
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { container->tick(1, nullptr, nullptr); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { container->draw(&g); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { container->childAt(0)->release(); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { container->bringToFront(a); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { container->removeChild(b); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { container->onHidden(); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { container->setChildrenPaused(true); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { container->setColorBalance(128, 1, 1, 1); }));
}

TEST_F(FancyContainerTest, AChildTickMayChangeTheListSafely)
{
    CountingSprite* a = add(20, 10, 10, 10);
    CountingSprite* b = add(40, 10, 10, 10);
    CountingSprite* late = new CountingSprite(0, 0, 1, 1);
    made.push_back(late);
    // An action of the first child reorders the list and adds a child while
    // the tick walks it (the monitor is recursive).
    bool first = true;
    a->onTick = [&] {
        if (!first)
            return;
        first = false;
        container->bringToFront(a);
        container->bringToFront(late);
        container->removeChild(b);
    };
    container->tick(1, nullptr, nullptr);
    EXPECT_EQ((std::vector<SpriteBase*>{a, late}), order());
}

TEST_F(FancyContainerTest, AContainerRefusesItselfAndEveryContainerThatHoldsIt)
{
    OpenContainer* middle = new OpenContainer(50, 50);
    OpenContainer* inner = new OpenContainer(10, 10);
    made.push_back(middle);
    made.push_back(inner);
    ASSERT_TRUE(container->bringToFront(middle));
    ASSERT_TRUE(middle->bringToFront(inner));
    CountingSprite* leaf = new CountingSprite(0, 0, 1, 1);
    made.push_back(leaf);
    ASSERT_TRUE(inner->bringToFront(leaf));

    // Every way in, for the container itself, its parent and its grandparent.
    for (SpriteBase* ancestor : std::vector<SpriteBase*>{inner, middle, container}) {
        SCOPED_TRACE(ancestor == inner ? "itself" : ancestor == middle ? "parent" : "grandparent");
        EXPECT_FALSE(inner->bringToFront(ancestor));
        EXPECT_FALSE(inner->insertAfter(ancestor, leaf));
        EXPECT_FALSE(inner->insertBefore(ancestor, leaf));
        EXPECT_EQ(1, inner->getChildCount());
    }
    EXPECT_EQ(middle, inner->getParent());
    EXPECT_EQ(container, middle->getParent());
    EXPECT_EQ(nullptr, container->getParent());
    // The tree still ticks: no container reaches itself.
    EXPECT_NO_FATAL_FAILURE(container->tick(1, nullptr, nullptr));
    EXPECT_EQ(std::vector<int>{1}, leaf->ticks);
    // A sibling's child is no ancestor.
    EXPECT_TRUE(middle->bringToFront(leaf));
}

TEST_F(FancyContainerTest, ASpriteAddedToASecondContainerLeavesTheFirstAtOnce)
{
    CountingSprite* a = add(20, 10, 10, 10);
    CountingSprite* b = add(40, 10, 10, 10);
    OpenContainer* other = new OpenContainer(100, 100);
    made.push_back(other);
    EXPECT_EQ(container, a->getParent());

    ASSERT_TRUE(other->bringToFront(a));
    EXPECT_EQ(other, a->getParent());
    EXPECT_EQ((std::vector<SpriteBase*>{b}), order()) << "gone before any tick, not waiting for one";
    EXPECT_TRUE(a->isVisible()) << "moved, not removed: it stays shown";
    container->tick(1, nullptr, nullptr);
    other->tick(1, nullptr, nullptr);
    EXPECT_EQ(std::vector<int>{1}, a->ticks) << "ticked once a frame";
    TransformGraphics g;
    container->draw(&g);
    other->draw(&g);
    EXPECT_EQ(1, a->paints);

    // A child waiting to leave the first container leaves at once too, and
    // the first container's next tick does not take it from the second.
    container->removeChild(b);
    ASSERT_TRUE(other->insertAfter(b, nullptr));
    EXPECT_FALSE(container->isRemovalPending(b));
    container->tick(2, nullptr, nullptr);
    EXPECT_EQ(2, other->getChildCount());
    EXPECT_EQ(other, b->getParent());
    EXPECT_EQ(0, container->getChildCount());

    // Removed and dropped at the tick: the sprite belongs to no container.
    other->removeChild(a);
    other->tick(3, nullptr, nullptr);
    EXPECT_EQ(nullptr, a->getParent());

    // A container that goes away leaves its surviving children free.
    other->release();
    made.erase(std::find(made.begin(), made.end(), other));
    EXPECT_EQ(nullptr, b->getParent());
    EXPECT_TRUE(container->bringToFront(b));
}

TEST_F(FancyContainerTest, TheMetaclassMakesAOneByOneContainer)
{
    lang::Class* metaclass = lang::Class::forName(lang::String("FancyContainer"));
    ASSERT_NE(nullptr, metaclass);
    lang::Object* instance = metaclass->newInstance();
    ASSERT_TRUE(instance->isInstanceOf("FancyContainer"));
    ASSERT_TRUE(instance->isInstanceOf("BoundsSprite"));
    FancyContainer* c = static_cast<FancyContainer*>(instance);
    EXPECT_EQ(1, c->width());
    EXPECT_EQ(1, c->height());
    EXPECT_EQ(20, c->getFadeStep());
    // A clone is a plain sized sprite.
    SpriteBase* copy = c->clone();
    EXPECT_STREQ("BoundsSprite", copy->getClassName());
    copy->release();
    instance->release();
}

} // namespace
