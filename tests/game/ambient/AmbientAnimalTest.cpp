// AmbientAnimalTest.cpp: butterflies, fireflies and bubbles placed by a room:
// when and where they enter, how they leave the screen, the fireflies'
// blinking, a click startling them, rising bubble groups, and rooms whose
// data has no templates for them.
#include "game/ambient/AmbientButterfly.h"
#include "game/ambient/AmbientFirefly.h"
#include "tests/game/support/BareCanvas.h"
#include "tests/sprites/images/TestPictures.h"

#include <gtest/gtest.h>

#include <functional>

namespace gametest {
namespace {

class AmbientAnimalTest : public ::testing::Test {
protected:
    AmbientAnimalTest() { room = world.addRoom(2, {0}); }

    // A canvas sprite the animals take their look from.
    sprite::AnimateSprite* addTemplate(const char* name, int columns)
    {
        window::ImageWinDX* picture = spritetest::makePicture(16 * columns, 12, [](int, int) { return 0xFFFFFFFFu; });
        auto* look = new sprite::AnimateSprite(picture, columns, 1);
        picture->release();
        look->setVisible(false);
        world.canvas->addSprite(name, look, -1);
        world.made.push_back(look);
        return look;
    }
    void withTemplates()
    {
        addTemplate("Butterfly_1", 2);
        addTemplate("Butterfly_3", 4);
        addTemplate("Firefly_1", 2);
        addTemplate("AmbientBubble", 1);
        world.canvas->makeAmbientManagers();
        manager = world.canvas->getAmbientAnimManager();
        world.enter(2);
    }
    void seed(int s)
    {
        room->getRandom().seed(s);
        manager->getRandom().seed(s + 100);
        AmbientButterfly::random().seed(s + 200);
        AmbientFirefly::random().seed(s + 300);
    }
    sprite::SpriteBase* ambient(int i)
    {
        return static_cast<sprite::SpriteBase*>(room->getAmbientSprites().elementAt(i));
    }
    AmbientAnimal* animal(int i) { return static_cast<AmbientAnimal*>(ambient(i)); }
    int visibleAnimals()
    {
        int n = 0;
        for (int i = 0; i < room->getAmbientSprites().size(); ++i)
            n += ambient(i)->isVisible() ? 1 : 0;
        return n;
    }
    static bool offScreen(sprite::SpriteBase* s)
    {
        return s->left() >= 802 || s->left() < -1 - s->width() || s->top() < -15 - s->height() || s->top() >= 606;
    }

    BareWorld world;
    Room* room = nullptr;
    AmbientAnimManager* manager = nullptr;
};

TEST_F(AmbientAnimalTest, AButterflyOfOneEntersFromAnEdge101To201FramesLater)
{
    withTemplates();
    for (int s = 1; s <= 8; ++s) {
        seed(s);
        room->addAmbientButterflies(1, 100, 200);
        AmbientAnimal* b = animal(room->getAmbientSprites().size() - 1);
        ASSERT_FALSE(b->isVisible()) << "one of one starts off screen";
        const int wait = b->getRespawnCountdown();
        EXPECT_GE(wait, 100);
        EXPECT_LE(wait, 200);
        int frame = 0;
        while (!b->isVisible() && frame < 300) {
            manager->tick();
            ++frame;
        }
        EXPECT_EQ(wait + 1, frame) << s;
        EXPECT_EQ(b->isFlyingLeft() ? 801 : -1 - b->width(), b->left()) << s;
        EXPECT_GE(b->top(), b->getBandTop());
        EXPECT_LE(b->top(), b->getBandBottom());
        EXPECT_EQ(-1, b->getRespawnCountdown()) << "the wait is spent";
    }
}

TEST_F(AmbientAnimalTest, OfSixButterfliesOneToThreeStartOnScreenTheOthersWait)
{
    withTemplates();
    for (int s = 1; s <= 10; ++s) {
        room->getAmbientSprites().removeAllElements();
        seed(s);
        room->addAmbientButterflies(6, 30, 60);
        ASSERT_EQ(6, room->getAmbientSprites().size());
        const int shown = visibleAnimals();
        EXPECT_GE(shown, 1) << "of three or more halves at least one shows";
        EXPECT_LE(shown, 3);
        for (int i = 0; i < 6; ++i) {
            AmbientAnimal* b = animal(i);
            EXPECT_EQ(i < shown, b->isVisible()) << "the first ones show";
            if (b->isVisible()) {
                EXPECT_GE(b->left(), 75);
                EXPECT_LE(b->left(), 725);
                EXPECT_GE(b->top(), b->getBandTop());
                EXPECT_LE(b->top(), b->getBandBottom());
            } else {
                EXPECT_GE(b->getRespawnCountdown(), 30);
                EXPECT_LE(b->getRespawnCountdown(), 60);
            }
            // The size sets the band: small ones fly high and slowly.
            const double f = (b->getSize() * 100 - 45) / 55;
            EXPECT_EQ(f < 0.33 ? 32 : f < 0.66 ? 56 : 80, b->getSpeedRange());
            EXPECT_EQ(f < 0.33 ? 50 : f < 0.66 ? 200 : 375, b->getBandTop());
        }
    }
}

TEST_F(AmbientAnimalTest, AScriptsHugeCountAddsOnlyWhatTheScreenHolds)
{
    withTemplates();
    room->addAmbientFireflies(1000000000, 10, 20);
    EXPECT_EQ(Room::MAX_AMBIENT_ANIMALS, room->getAmbientSprites().size());
}

TEST_F(AmbientAnimalTest, AnAnimalIsHiddenOnlyOnceItHasLeftTheScreen)
{
    withTemplates();
    seed(5);
    room->addAmbientButterflies(2, 10, 20);
    room->addAmbientFireflies(2, 10, 20);
    for (int i = 0; i < 4; ++i) {
        AmbientAnimal* a = animal(i);
        a->setPosition(i % 2 ? 760 : 10, 300);
        a->setVisible(true);
        bool left = false;
        for (int frame = 1; frame <= 1500 && !left; ++frame) {
            a->tick(frame, nullptr, nullptr);
            EXPECT_GE(a->getSpeedX(), 1.0);
            auto* firefly = a->isInstanceOf("AmbientFirefly") ? static_cast<AmbientFirefly*>(a) : nullptr;
            if (firefly && !firefly->isVisible() && !offScreen(a)) {
                // Its light went out: it flies on in the dark.
                EXPECT_LE(firefly->getBlinkCountdown(), AmbientFirefly::DARK_MAX);
                firefly->setVisible(true);
                continue;
            }
            left = !a->isVisible();
            EXPECT_EQ(left, offScreen(a)) << i << " at frame " << frame;
        }
        EXPECT_TRUE(left) << i << " flies off in the end";
    }
}

TEST_F(AmbientAnimalTest, AFireflyBlinksLitForAboutFiveSecondsAndDarkForOneOrTwo)
{
    withTemplates();
    seed(3);
    room->addAmbientFireflies(1, 10, 20);
    auto* f = static_cast<AmbientFirefly*>(animal(0));
    f->setPosition(400, 300);
    f->setVisible(true);
    const int lit = f->getBlinkCountdown();
    EXPECT_GE(lit, AmbientFirefly::LIT_MIN);
    EXPECT_LE(lit, AmbientFirefly::LIT_MAX);
    int frame = 0;
    for (int step = 0; step < 4; ++step) {
        const bool wasLit = f->isVisible();
        const int wait = f->getBlinkCountdown();
        for (int i = 0; i < wait; ++i) {
            f->setPosition(400, 300); // kept on screen
            EXPECT_EQ(wasLit, f->isVisible()) << step << ", " << i;
            f->tick(++frame, nullptr, nullptr);
        }
        EXPECT_NE(wasLit, f->isVisible()) << "the light flipped after " << wait << " frames";
        const int next = f->getBlinkCountdown();
        EXPECT_GE(next, wasLit ? AmbientFirefly::DARK_MIN : AmbientFirefly::LIT_MIN);
        EXPECT_LE(next, wasLit ? AmbientFirefly::DARK_MAX : AmbientFirefly::LIT_MAX);
    }
}

TEST_F(AmbientAnimalTest, AClickStartlesTheAnimalsUnderItUpwards)
{
    withTemplates();
    seed(9);
    room->addAmbientButterflies(1, 10, 20);
    room->addAmbientFireflies(1, 10, 20);
    for (int i = 0; i < 2; ++i) {
        animal(i)->setPosition(300, 300);
        animal(i)->setVisible(true);
    }
    world.pressAt(room, 300 + 2, 300 + 2);
    for (int i = 0; i < 2; ++i) {
        // Startled: a lift of 51 gives at least 1.85 pixels a frame upwards.
        EXPECT_GE(animal(i)->getSpeedY(), 1.85) << i;
        EXPECT_LE(animal(i)->getSpeedY(), 6.75) << i;
    }
}

TEST_F(AmbientAnimalTest, BubblesRiseInGroupsAndTheCanvasHidesThemAtTheTop)
{
    withTemplates();
    seed(4);
    room->addAmbientBubbles();
    room->addAmbientBubbles();
    ASSERT_EQ(AmbientAnimManager::BUBBLE_COUNT, room->getAmbientSprites().size()) << "the same bubbles again";
    ASSERT_EQ(1, manager->getBubbleCountdown());
    EXPECT_EQ(0, visibleAnimals());
    world.canvas->doFrame();
    std::vector<sprite::SpriteBase*> group;
    for (int i = 0; i < AmbientAnimManager::BUBBLE_COUNT; ++i) {
        if (ambient(i)->isVisible())
            group.push_back(ambient(i));
    }
    ASSERT_GE(group.size(), 3u);
    ASSERT_LE(group.size(), 6u);
    EXPECT_GE(manager->getBubbleCountdown(), 40);
    EXPECT_LE(manager->getBubbleCountdown(), 90);
    const int startY = group[0]->top();
    for (size_t i = 1; i < group.size(); ++i) {
        EXPECT_LE(group[i]->top(), group[i - 1]->top() - 7) << "each next one higher";
        EXPECT_GE(group[i]->top(), group[i - 1]->top() - 19);
    }
    EXPECT_GE(startY, 200);
    EXPECT_LE(startY, 570);
    // A rise of 650 pixels over 325 or 216 frames; then "showfalse" hides it.
    std::vector<bool> hidden(group.size(), false);
    for (int frame = 0; frame < 327; ++frame) {
        world.canvas->doFrame();
        for (size_t i = 0; i < group.size(); ++i) {
            if (!group[i]->isVisible() && !hidden[i]) {
                hidden[i] = true;
                EXPECT_LE(group[i]->top(), startY - 650 + 20) << "hidden at the end of its rise";
            }
        }
    }
    for (size_t i = 0; i < group.size(); ++i)
        EXPECT_TRUE(hidden[i]) << i;
}

TEST_F(AmbientAnimalTest, TooFewFreeBubblesPutTheGroupOffBy20Frames)
{
    withTemplates();
    room->addAmbientBubbles();
    for (int i = 2; i < AmbientAnimManager::BUBBLE_COUNT; ++i)
        ambient(i)->setVisible(true);
    manager->tick();
    EXPECT_EQ(AmbientAnimManager::BUBBLE_RETRY, manager->getBubbleCountdown());
    EXPECT_FALSE(ambient(0)->isVisible());
}

TEST_F(AmbientAnimalTest, LeavingTheRoomTakesTheAnimalsAndBubblesAway)
{
    withTemplates();
    room->addAmbientButterflies(3, 10, 20);
    room->addAmbientBubbles();
    room->onExit();
    EXPECT_EQ(0, room->getAmbientSprites().size());
    EXPECT_EQ(nullptr, manager->getButterflies());
    EXPECT_EQ(nullptr, manager->getBubbles());
    manager->tick();
}

TEST_F(AmbientAnimalTest, DataWithoutTemplatesGivesNoAnimalsAndNoBubbles)
{
    world.canvas->makeAmbientManagers();
    manager = world.canvas->getAmbientAnimManager();
    room->addAmbientButterflies(4, 10, 20);
    room->addAmbientFireflies(4, 10, 20);
    room->addAmbientBubbles();
    EXPECT_EQ(0, room->getAmbientSprites().size());
    EXPECT_EQ(nullptr, manager->addBubbles());
    EXPECT_EQ(nullptr, manager->addButterfly(1, 2));
    for (int i = 0; i < 5; ++i)
        world.canvas->doFrame();
}

} // namespace
} // namespace gametest
