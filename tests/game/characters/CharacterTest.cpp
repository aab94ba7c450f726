// A character's speech: reading times and the reveal, the one talking
// character, the end of a speech (and its balloon going once read), skipping,
// blinks and the mouth, the
// balloon's place for each anchor code, moves, hit tests and the
// talk-to-me button.
#include "tests/game/support/CharacterStage.h"

#include "game/characters/Character.h"
#include "windowing/window/Event.h"

#include <gtest/gtest.h>

#include <string>

using gametest::CharacterStage;

namespace {

constexpr int kBlip = Character::SOUND_TALK_BLIP;

class CharacterTest : public ::testing::Test {
protected:
    CharacterTest()
    {
        stage.folder.data.text("TEN", "abcdefghij");
        stage.folder.data.text("HUNDRED", std::string(100, 'x'));
        stage.folder.data.text("HELLO", "hello");
        stage.folder.openTexts();
    }

    // A visible, idle, enabled character with its anchor (30, 120) placed
    // on (x, y); blinks after 3 to 6 frames.
    Character* standing(const char* name, int slot, int x = 200, int y = 300)
    {
        Character* c = stage.make(name, slot, {30, 120, 5, 3, 6});
        c->setVisible(true);
        c->setOffset(x, y);
        c->setEnabled(true);
        c->setIdle(true);
        return c;
    }

    CharacterStage stage;
};

TEST_F(CharacterTest, TheReadingTimeIsTheTextsLengthButAtLeast48Frames)
{
    const struct {
        const char* id;
        int frames;
    } cases[] = {{"TEN", 48}, {"HUNDRED", 100}, {"MISSING", 48}};
    Character* c = standing("Professor", 2);
    for (const auto& t : cases) {
        c->talk(lang::String(t.id), false);
        EXPECT_EQ(Character::STATE_TALKING, c->getState()) << t.id;
        EXPECT_FALSE(c->canSkipTalk()) << t.id;
        stage.step(t.frames - 1);
        EXPECT_EQ(Character::STATE_TALKING, c->getState()) << t.id << " one frame before its end";
        stage.step(1);
        EXPECT_EQ(Character::STATE_TIME_UP, c->getState()) << t.id;
        EXPECT_TRUE(c->canSkipTalk()) << t.id;
        EXPECT_TRUE(stage.balloon->isVisible()) << "the balloon stays up until the speech is stopped";
        EXPECT_TRUE(c->isTalking()) << t.id;
        c->stopTalk();
    }
}

TEST_F(CharacterTest, TheRevealHoldsTheReadingTimeAndAPauseHoldsBothCounts)
{
    Character* c = standing("Professor", 2);
    c->talk(lang::String("TEN"), false);
    stage.text->startReveal();
    stage.step(5);
    EXPECT_EQ(48, c->getTalkFrames()) << "no reading while the text is still revealed";
    EXPECT_EQ(43, c->getMinTalkFrames());
    stage.text->setRevealPaused(true);
    stage.step(5);
    EXPECT_EQ(48, c->getTalkFrames());
    EXPECT_EQ(43, c->getMinTalkFrames());
    stage.text->setRevealPaused(false);
    stage.step(20);
    EXPECT_LT(c->getTalkFrames(), 48) << "the reveal ended and the reading time runs";
}

TEST_F(CharacterTest, ASecondSpeakerStopsTheFirstAndTakesTheBalloon)
{
    Character* first = standing("Professor", 2, 100, 100);
    Character* second = standing("ShopKeeper", 3, 700, 400);
    first->talk(lang::String("TEN"), false);
    EXPECT_EQ(first, stage.world.canvas->getTalkingCharacter());
    stage.step(3);
    second->talk(lang::String("HELLO"), false);
    EXPECT_EQ(Character::STATE_IDLE, first->getState());
    EXPECT_EQ(0, first->getTalkFrames());
    EXPECT_TRUE(first->isBlinking()) << "a stopped speaker blinks again";
    EXPECT_EQ(second, stage.world.canvas->getTalkingCharacter());
    EXPECT_EQ(Character::STATE_TALKING, second->getState());
    EXPECT_TRUE(stage.balloon->isVisible());
    EXPECT_STREQ("hello", stage.text->getText().c_str());
    EXPECT_EQ(Character::ANCHOR_SE, stage.balloon->getCurrentTail()) << "placed for the second speaker";
    EXPECT_EQ(2, stage.played(kBlip)) << "each speech blips once";
}

TEST_F(CharacterTest, StoppingTakesTheBalloonDownAndReturnsToIdle)
{
    Character* c = standing("Professor", 2);
    c->talk(lang::String("TEN"), false);
    EXPECT_TRUE(stage.skip->isVisible());
    ASSERT_EQ(Character::ANCHOR_SW, stage.balloon->getCurrentTail()) << "left half, low on the screen";
    EXPECT_TRUE(stage.tails[Character::ANCHOR_SW]->isVisible());
    c->stopTalk();
    EXPECT_FALSE(stage.balloon->isVisible());
    EXPECT_FALSE(stage.text->isVisible());
    EXPECT_FALSE(stage.skip->isVisible());
    EXPECT_FALSE(stage.tails[Character::ANCHOR_SW]->isVisible());
    EXPECT_EQ(-1, stage.balloon->getCurrentTail());
    EXPECT_EQ(Character::STATE_IDLE, c->getState());
    EXPECT_TRUE(c->isBlinking());
    EXPECT_FALSE(c->isTalking());
    EXPECT_EQ(nullptr, stage.world.canvas->getTalkingCharacter());
}

TEST_F(CharacterTest, OnceReadTheBalloonGoesByItself)
{
    // After its speaking time a balloon stands 2 frames a character, but at
    // least 75, then the speech stops and takes it down.
    const struct {
        const char* id;
        int speaking, reading;
    } cases[] = {{"TEN", 48, 75}, {"HUNDRED", 100, 200}};
    Character* c = standing("Professor", 2);
    for (const auto& t : cases) {
        c->talk(lang::String(t.id), false);
        stage.step(t.speaking + t.reading);
        EXPECT_EQ(Character::STATE_TIME_UP, c->getState()) << t.id;
        EXPECT_TRUE(stage.balloon->isVisible()) << t.id << " still to be read";
        stage.step(1);
        EXPECT_FALSE(stage.balloon->isVisible()) << t.id;
        EXPECT_FALSE(c->isTalking()) << t.id;
    }
}

TEST_F(CharacterTest, ATimedSpeechShowsNoSkipButtonAndTheReadingTimeEndsWithTheArmBack)
{
    Character* c = standing("Professor", 2);
    c->talk(lang::String("TEN"), true);
    EXPECT_FALSE(stage.skip->isVisible());
    c->getLayer(Character::RIGHT_ARM)->setFrame(3);
    stage.step(48);
    ASSERT_EQ(Character::STATE_TIME_UP, c->getState());
    EXPECT_EQ(0, c->getLayer(Character::TALK)->getFrame()) << "the mouth closes";
    stage.step(3);
    EXPECT_EQ(0, c->getLayer(Character::RIGHT_ARM)->getFrame()) << "the right arm went back to rest";
    EXPECT_EQ(0, c->getLayer(Character::TALK)->getFrame()) << "and the mouth stays closed";
}

TEST_F(CharacterTest, SkippingEndsOnlyASpeechWhoseTextShows)
{
    Character* c = standing("Professor", 2);
    c->skipTalk();
    EXPECT_EQ(Character::STATE_IDLE, c->getState());
    c->talk(lang::String("TEN"), false);
    c->skipTalk();
    EXPECT_EQ(Character::STATE_IDLE, c->getState());
    EXPECT_FALSE(stage.balloon->isVisible());

    // A press on the skip button, handed to the character, skips too.
    c->setPosition(0, 0);
    c->talk(lang::String("TEN"), false);
    auto* press = new window::Event(c, window::Event::MOUSE_DOWN, c);
    press->x = stage.skip->left() + 1;
    press->y = stage.skip->top() + 1;
    EXPECT_EQ(1, c->mouseDown(press));
    press->release();
    EXPECT_FALSE(c->isTalking());
}

TEST_F(CharacterTest, HidingACharacterTakesTheSharedBalloonDown)
{
    Character* speaker = standing("Professor", 2);
    Character* other = standing("ShopKeeper", 3);
    speaker->talk(lang::String("TEN"), false);
    other->setVisible(false);
    EXPECT_FALSE(stage.balloon->isVisible());
    EXPECT_FALSE(stage.text->isVisible());
    EXPECT_FALSE(stage.skip->isVisible());
}

TEST_F(CharacterTest, StateChangesRunTheirEntryOnlyWhenTheStateChanges)
{
    Character* c = standing("Professor", 2);
    c->setAmbients(false);
    c->changeState(Character::STATE_IDLE);
    EXPECT_TRUE(c->getAmbients()) << "entering idle again re-runs the idle pose";
    c->talk(lang::String("TEN"), false);
    c->getLayer(Character::TALK)->setFrame(2);
    c->changeState(Character::STATE_TALKING);
    EXPECT_EQ(2, c->getLayer(Character::TALK)->getFrame()) << "no entry action for the same state";
}

TEST_F(CharacterTest, BlinksComeAfterTheDrawnWaitAndEndHidden)
{
    Character* c = standing("Professor", 2);
    c->getRandom().seed(11);
    sprite::AnimateSprite* eyelids = c->getLayer(Character::BLINK);
    stage.step(10);
    EXPECT_FALSE(eyelids->isPlaying()) << "no blink before blinking is on";

    c->setBlinking(true);
    // The first wait is number 3: the blink comes on the fourth frame.
    stage.step(3);
    EXPECT_FALSE(eyelids->isPlaying());
    stage.step(1);
    EXPECT_TRUE(eyelids->isVisible());
    EXPECT_TRUE(eyelids->isPlaying());
    int wait = c->getBlinkCountdown();
    EXPECT_GE(wait, 3);
    EXPECT_LE(wait, 6);
    stage.step(3);
    EXPECT_FALSE(eyelids->isVisible()) << "the eyelids hide when the blink ends";

    for (int blinks = 0; blinks < 5; ++blinks) {
        wait = c->getBlinkCountdown();
        int frames = 0;
        while (!eyelids->isPlaying() && frames < 20) {
            stage.step(1);
            ++frames;
        }
        EXPECT_EQ(wait + 1, frames) << "blink " << blinks;
        stage.step(3);
    }
}

TEST_F(CharacterTest, TheMouthFlapsOnEvenFramesAndNeverShowsAFrameTwice)
{
    Character* c = standing("Professor", 2);
    c->getRandom().seed(3);
    c->talk(lang::String("HUNDRED"), false);
    sprite::AnimateSprite* mouth = c->getLayer(Character::TALK);
    int last = mouth->getFrame();
    for (int i = 0; i < 40; ++i) {
        const bool even = stage.world.canvas->getFrameCounter() % 2 == 0;
        stage.step(1);
        if (even)
            EXPECT_NE(last, mouth->getFrame()) << "frame " << i;
        else
            EXPECT_EQ(last, mouth->getFrame()) << "frame " << i;
        last = mouth->getFrame();
    }
}

TEST_F(CharacterTest, AMouthOfOneFrameStaysAsItIs)
{
    std::vector<gametest::Part> parts = gametest::bodyB();
    for (gametest::Part& p : parts) {
        if (p.name == "MouthB")
            p.frames = 1;
    }
    Character* c = stage.make("Professor", 2, {30, 120, 5, 3, 6}, parts);
    c->setVisible(true);
    c->setIdle(true);
    c->talk(lang::String("TEN"), false);
    stage.step(10);
    EXPECT_EQ(0, c->getLayer(Character::TALK)->getFrame());
}

// Where the balloon, its tail and the skip button go for each anchor code,
// for the anchor point (200, 300) of a character with a talk-to-me button
// and a torso 40 wide.
TEST_F(CharacterTest, TheBalloonIsPlacedByItsAnchorCode)
{
    Character* c = standing("Professor", 2);
    const int tw = CharacterStage::kTailWidth;
    for (int code = 0; code <= 4; ++code) {
        c->setFixedTalkBalloonPosition(true, 200, 300, code);
        c->talk(lang::String("HELLO"), false);
        const int w = stage.balloon->width();
        const int h = stage.balloon->height();
        ASSERT_EQ(stage.text->getBounds()->width + CharacterStage::kPadX, w);
        ASSERT_EQ(20, h) << "a line of 10 and the margin of 10";
        const struct {
            int bx, by, tailX, tailY, sx, sy;
        } expected[] = {
            {220, 300, 220 - tw + 15, 306, 240, 307},
            {200, 280, 230, 285, 280, 287},
            {200 - w / 2, 270, 200 - w / 4, 275, 200 - w / 4 + 40, 280},
            {190 - w, 300, 175, 306, 130, 307},
            {200, 280, 230 - w, 285, -100, 287},
        };
        const auto& e = expected[code];
        EXPECT_EQ(e.bx, stage.balloon->left()) << "code " << code;
        EXPECT_EQ(e.by, stage.balloon->top()) << "code " << code;
        EXPECT_EQ(code, stage.balloon->getCurrentTail());
        EXPECT_EQ(e.tailX, stage.tails[code]->left()) << "code " << code;
        EXPECT_EQ(e.tailY, stage.tails[code]->top()) << "code " << code;
        EXPECT_TRUE(stage.tails[code]->isVisible());
        EXPECT_EQ(e.sx, stage.skip->left()) << "code " << code;
        EXPECT_EQ(e.sy, stage.skip->top()) << "code " << code;
        c->stopTalk();
    }
}

TEST_F(CharacterTest, WithoutAnAnchorCodeTheBalloonTakesTheSideWithRoom)
{
    const struct {
        int x, y, code;
    } cases[] = {{100, 100, Character::ANCHOR_NW},
                 {100, 250, Character::ANCHOR_SW},
                 {700, 400, Character::ANCHOR_SE},
                 {700, 200, Character::ANCHOR_NE},
                 {400, 201, Character::ANCHOR_SE}};
    Character* c = standing("Professor", 2);
    for (const auto& t : cases) {
        c->setOffset(t.x, t.y);
        c->talk(lang::String("HELLO"), false);
        EXPECT_EQ(t.code, stage.balloon->getCurrentTail()) << t.x << ", " << t.y;
        c->stopTalk();
    }
    // The fixed point is forgotten only in its flag.
    c->setFixedTalkBalloonPosition(true, 100, 100, Character::ANCHOR_PHONE);
    c->setFixedTalkBalloonPosition(false, 0, 0, -1);
    EXPECT_EQ(Character::ANCHOR_PHONE, c->getBalloonAnchor());
}

TEST_F(CharacterTest, ABalloonAboveASpeakerAtTheRightEdgeEndsAMarginInside)
{
    Character* c = standing("Professor", 2, 790, 500);
    c->talk(lang::String("HUNDRED"), false);
    EXPECT_EQ(800 - Character::BALLOON_MARGIN, stage.balloon->left() + stage.balloon->width());
    EXPECT_EQ(790 - stage.balloon->width() / 4, stage.tails[Character::ANCHOR_SE]->left());
}

// Whatever its anchor and wherever its speaker, a balloon keeps the margin
// inside every edge of the screen; pushed in, it takes its skip button and
// the tail on its side along.
TEST_F(CharacterTest, EveryBalloonKeepsAMarginInsideTheScreen)
{
    const int m = Character::BALLOON_MARGIN;
    const int tw = CharacterStage::kTailWidth;
    Character* c = standing("Professor", 2);
    for (int code = 0; code <= 4; ++code) {
        for (const auto& at : {std::make_pair(2, 2), std::make_pair(798, 2), std::make_pair(2, 598),
                               std::make_pair(798, 598)}) {
            SCOPED_TRACE(code);
            SCOPED_TRACE(std::to_string(at.first) + ", " + std::to_string(at.second));
            c->setFixedTalkBalloonPosition(true, at.first, at.second, code);
            c->talk(lang::String("HUNDRED"), false);
            const util::RectangleNM b = *stage.balloon->getBounds();
            EXPECT_TRUE(b.x >= m && b.y >= m && b.x + b.width <= 800 - m && b.y + b.height <= 600 - m)
                << b.x << ", " << b.y << ", " << b.width << " x " << b.height;
            // (The phone's skip button stands apart from its balloon.)
            const util::RectangleNM skip = *stage.skip->getBounds();
            EXPECT_TRUE(code == Character::ANCHOR_PHONE ||
                        (skip.x < b.x + b.width && b.x < skip.x + skip.width && skip.y < b.y + b.height &&
                         b.y < skip.y + skip.height))
                << "the skip button stays on the balloon";
            if (code == Character::ANCHOR_NW) {
                EXPECT_EQ(b.x - tw + 15, stage.tails[code]->left()) << "the tail hangs from the balloon's side";
            }
            c->stopTalk();
        }
    }
}

TEST_F(CharacterTest, AFadeOutOfTheBalloonBringsItBackWithTheText)
{
    Character* c = standing("Professor", 2);
    c->talk(lang::String("TEN"), false);
    c->fadeTalkBalloon(0, 1);
    stage.step(1);
    EXPECT_EQ(0, stage.balloon->getAlpha());
    EXPECT_TRUE(stage.balloon->isVisible()) << "a fade out does not hide the balloon";
    stage.step(4);
    EXPECT_EQ(128, stage.balloon->getAlpha());
    EXPECT_EQ(128, stage.text->getAlpha());
    EXPECT_EQ(128, stage.skip->getAlpha());
}

TEST_F(CharacterTest, AMoveEndsInTheMovingStateAndStopsTheWalk)
{
    Character* c = standing("Professor", 2, 200, 300);
    c->setWalking(true);
    EXPECT_TRUE(c->getLayer(Character::LEGS)->isLooping());
    c->moveTo(400, 300, 10);
    stage.step(9);
    lang::String toIdle("ToIdle");
    c->handleAction(nullptr, &toIdle);
    EXPECT_EQ(Character::STATE_MOVING, c->getState()) << "ToIdle is ignored during a move";
    stage.step(1);
    EXPECT_EQ(400, c->getPositionPoint().x + c->getOffsetPoint().x);
    EXPECT_FALSE(c->isWalking());
    EXPECT_EQ(Character::STATE_MOVING, c->getState()) << "the state stays until a script sets one";
}

TEST_F(CharacterTest, AnEnabledCharacterIsHitOnItsOpaquePartsAndLightsItsButton)
{
    Character* c = standing("Professor", 2, 200, 300);
    c->showTalkToMeButton(true);
    auto* button = static_cast<sprite::AnimateSprite*>(c->getSprite("TalkToMeButton"));
    // The anchor (30, 120) is at (200, 300): the figure's corner is (170, 180).
    EXPECT_TRUE(c->hittest(170 + 30, 180 + 60)) << "the torso";
    EXPECT_EQ(1, button->getFrame());
    EXPECT_FALSE(c->hittest(170 + 3, 180 + 10)) << "beside the head";
    EXPECT_EQ(0, button->getFrame());
    EXPECT_TRUE(c->hittest(170 + 50, 180 + 5)) << "the button";
    c->setEnabled(false);
    EXPECT_EQ(0, button->getFrame());
    EXPECT_FALSE(c->hittest(170 + 30, 180 + 60));
}

TEST_F(CharacterTest, MissingHeadsAndPartsAreIgnored)
{
    Character* c = standing("Professor", 2);
    sprite::AnimateSprite* head = c->getLayer(Character::HEAD);
    c->setHeadTypeLayers(Character::TYPE_D);
    EXPECT_EQ(head, c->getLayer(Character::HEAD));
    EXPECT_TRUE(head->isVisible());
    c->setAnimLayer(Character::TORSO, lang::String("Nothing"), 1);
    EXPECT_TRUE(c->getLayer(Character::TORSO)->isVisible());
    c->setBodyTypeAndShow(2);
    for (int layer = 0; layer < Character::LAYER_COUNT; ++layer)
        EXPECT_EQ(nullptr, c->getLayer(layer)) << "a five-type character has no type C";
}

TEST_F(CharacterTest, VoicesBlipAndTheButtonPopsWithItsSound)
{
    Character* voice = stage.make("CallBoxIntercom", 9, {0, 0, 5, 3, 6}, {});
    voice->setHasTalkToMeButton(false);
    voice->setVisible(true);
    voice->talk(lang::String("TEN"), false);
    EXPECT_EQ(1, stage.played(kBlip));

    Character* c = standing("Professor", 2);
    c->popTalkToMeButton();
    EXPECT_EQ(1, stage.played(Character::SOUND_TALK_TO_ME));
    EXPECT_TRUE(c->isTalkToMeButtonShown());
    sprite::SpriteBase* button = c->getSprite("TalkToMeButton");
    stage.step(3);
    EXPECT_GT(button->getScaleX(), 0.0);
    stage.step(4);
    EXPECT_DOUBLE_EQ(1.0, button->getScaleX()) << "back to its size at the end of the pop";
}

} // namespace
