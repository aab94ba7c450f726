// The nine townspeople: their idle routines frame by frame against a twin of
// their seeded generator (the barkeeper, the shopkeeper's two moods, the
// gallery owner's), the card player's delayed blinks, the conversation
// pose, and the speeches after which the fisherman and the professor stay.
#include "tests/game/support/CharacterStage.h"

#include "core/util/Random.h"
#include "game/characters/Barkeeper.h"
#include "game/characters/CardShark.h"
#include "game/characters/Fisherman.h"
#include "game/characters/GalleryOwner.h"
#include "game/characters/ParkRanger.h"
#include "game/characters/Professor.h"
#include "game/characters/ShopKeeper.h"
#include "game/characters/TribalElder.h"

#include <gtest/gtest.h>

#include <string>

using gametest::CharacterStage;

namespace {

// Numbers 0 to 8: the anchor, five body types, eyelids that wait 1000
// frames (no blink draws while a routine is followed), an alternative head
// for 10 to 20 frames, waits of 30 to 40 frames after the other steps.
const std::vector<int> kNumbers = {30, 120, 5, 1000, 1000, 10, 20, 30, 40};

class TownspeopleTest : public ::testing::Test {
protected:
    TownspeopleTest()
    {
        stage.folder.data.text("LINE", "well met");
        stage.folder.openTexts();
    }

    template <class C>
    C* standing(const char* name, int slot, int seed = 1)
    {
        C* c = stage.make<C>(name, slot, kNumbers, gametest::townParts());
        c->getRandom().seed(seed);
        twin.seed(seed);
        c->setVisible(true);
        c->setOffset(200, 300);
        c->setEnabled(true);
        c->setIdle(true);
        return c;
    }

    static sprite::SpriteBase* layer(Character* c, int l) { return c->getLayer(l); }
    static sprite::SpriteBase* part(Character* c, const char* name) { return c->getSprite(name); }

    CharacterStage stage;
    util::Random twin;
};

TEST_F(TownspeopleTest, TheBarkeepersRoutineFollowsHisDrawsAndHisArmsNeverRest)
{
    Barkeeper* c = standing<Barkeeper>("Barkeeper", 5, 21);
    EXPECT_TRUE(c->getLayer(Character::LEFT_ARM)->isLooping());
    EXPECT_EQ(nullptr, c->getLayer(Character::BLINK)) << "no eyelids in the standing pose";
    int count = 0;
    bool idlePose = false;
    const char* head = "HeadB";
    int alternatives = 0, replays = 0;
    for (int frame = 0; frame < 400; ++frame) {
        stage.step(1);
        if (--count < 0) {
            if (!idlePose && twin.nextInt(2) == 0) {
                idlePose = true;
                head = twin.nextInt(1) == 0 ? "HeadA" : "HeadD";
                count = twin.nextInt(10, 20);
                ++alternatives;
            } else {
                idlePose = false;
                head = "HeadB";
                count = twin.nextInt(30, 40);
                ++replays;
            }
        }
        ASSERT_EQ(part(c, head), layer(c, Character::HEAD)) << "frame " << frame;
        ASSERT_TRUE(part(c, head)->isVisible()) << "frame " << frame;
        ASSERT_EQ(count, c->getIdleCountdown()) << "frame " << frame;
        ASSERT_EQ(idlePose, c->isIdlePose()) << "frame " << frame;
    }
    EXPECT_GT(alternatives, 0);
    EXPECT_GT(replays, 0);
    const int armFrame = c->getLayer(Character::RIGHT_ARM)->getFrame();
    stage.step(1);
    EXPECT_NE(armFrame, c->getLayer(Character::RIGHT_ARM)->getFrame()) << "the arms still move";
}

TEST_F(TownspeopleTest, TheShopkeeperHasNoRoutineInHisNormalMoodAndOneWithHisClipboard)
{
    ShopKeeper* c = standing<ShopKeeper>("ShopKeeper", 3, 8);
    EXPECT_EQ(nullptr, c->getLayer(Character::LEGS)) << "he stands behind his counter";
    EXPECT_FALSE(part(c, "MouthB")->isVisible());
    stage.step(50);
    EXPECT_EQ(0, c->getIdleCountdown()) << "the wait stands still in the normal mood";
    EXPECT_EQ(part(c, "HeadB"), layer(c, Character::HEAD));

    c->setState(lang::String("CLIPBOARD"));
    EXPECT_EQ(ShopKeeper::MOOD_CLIPBOARD, c->getMood());
    EXPECT_EQ(part(c, "HeadB"), layer(c, Character::HEAD)) << "the pose waits for the next idle pose";
    c->changeState(Character::STATE_IDLE);
    EXPECT_EQ(part(c, "HeadB1"), layer(c, Character::HEAD));
    EXPECT_EQ(part(c, "ArmLB1"), layer(c, Character::LEFT_ARM));
    EXPECT_EQ(part(c, "BlinkB1"), layer(c, Character::BLINK));
    EXPECT_FALSE(part(c, "MouthB")->isVisible());

    int count = 0;
    bool idlePose = false;
    const char* head = "HeadB1";
    bool blinking = c->isBlinking();
    int runs = 0;
    int alternatives = 0, twice = 0;
    const char* heads[] = {"HeadA", "HeadB", "HeadD"};
    for (int frame = 0; frame < 400; ++frame) {
        stage.step(1);
        if (--count < 0) {
            if (!idlePose && twin.nextInt(2) == 0) {
                idlePose = true;
                blinking = false;
                head = heads[twin.nextInt(2)];
                ++alternatives;
            } else {
                idlePose = false;
                blinking = true;
                head = "HeadB1";
                runs = 1 + twin.nextInt(1);
                twice += runs == 2;
            }
            count = twin.nextInt(30, 40);
            if (!idlePose) {
                ASSERT_EQ(runs == 2, c->getLayer(Character::LEFT_ARM)->isLooping())
                    << "the arms play once or twice, frame " << frame;
            }
        }
        ASSERT_EQ(part(c, head), layer(c, Character::HEAD)) << "frame " << frame;
        ASSERT_EQ(count, c->getIdleCountdown()) << "frame " << frame;
        ASSERT_EQ(blinking, c->isBlinking()) << "frame " << frame;
        if (idlePose) {
            ASSERT_EQ(nullptr, c->getLayer(Character::BLINK)) << "no eyelids with another head";
        }
    }

    EXPECT_GT(alternatives, 0);
    EXPECT_GT(twice, 0);

    // He talks in his normal pose and goes back to the clipboard after.
    c->setConversation(true);
    EXPECT_EQ(0, c->getMood());
    EXPECT_EQ(part(c, "ArmRB"), layer(c, Character::RIGHT_ARM));
    EXPECT_TRUE(part(c, "MouthB")->isVisible());
    c->setConversation(false);
    EXPECT_EQ(ShopKeeper::MOOD_CLIPBOARD, c->getMood());
    EXPECT_EQ(part(c, "ArmRB1"), layer(c, Character::RIGHT_ARM));
}

TEST_F(TownspeopleTest, TheCardPlayerBlinksAfterElevenTicksOfTalkingInConversation)
{
    CardShark* c = standing<CardShark>("CardShark", 6);
    c->setConversation(true);
    EXPECT_EQ(part(c, "BlinkB1"), layer(c, Character::BLINK));
    EXPECT_FALSE(part(c, "BlinkB1")->isVisible()) << "the eyelids wait";
    EXPECT_FALSE(part(c, "HeadB")->isVisible());
    EXPECT_EQ(CardShark::BLINK_DELAY, c->getBlinkDelay());
    stage.step(5);
    EXPECT_EQ(CardShark::BLINK_DELAY, c->getBlinkDelay()) << "the delay counts only while he talks";
    c->talk(lang::String("LINE"), false);
    stage.step(10);
    EXPECT_FALSE(c->isBlinking());
    EXPECT_EQ(0, c->getBlinkDelay());
    stage.step(1);
    EXPECT_TRUE(c->isBlinking());
    EXPECT_TRUE(part(c, "BlinkB1")->isVisible());

    // His right arm stays where it is when the reading time runs out.
    c->getLayer(Character::RIGHT_ARM)->setFrame(2);
    stage.step(48);
    ASSERT_EQ(Character::STATE_TIME_UP, c->getState());
    stage.step(4);
    EXPECT_EQ(2, c->getLayer(Character::RIGHT_ARM)->getFrame());
}

TEST_F(TownspeopleTest, TheGalleryOwnerMovesWithoutPauseAndChangesHeadsOnlyWhenHappy)
{
    GalleryOwner* c = standing<GalleryOwner>("GalleryOwner", 7, 4);
    EXPECT_EQ(part(c, "TorsoB1"), layer(c, Character::TORSO));
    EXPECT_FALSE(part(c, "TorsoB")->isVisible());
    EXPECT_EQ(part(c, "ArmRB"), layer(c, Character::RIGHT_ARM));
    EXPECT_TRUE(c->getLayer(Character::TORSO)->isLooping());
    for (int frame = 0; frame < 60; ++frame) {
        stage.step(1);
        ASSERT_EQ(part(c, "HeadB"), layer(c, Character::HEAD)) << "never another head in the normal mood";
    }
    EXPECT_EQ(-60, c->getIdleCountdown()) << "the wait keeps falling";

    c->setState(lang::String("Happy"));
    EXPECT_EQ(GalleryOwner::MOOD_HAPPY, c->getMood());
    EXPECT_EQ(part(c, "HeadB2"), layer(c, Character::HEAD)) << "happy at once";
    EXPECT_EQ(part(c, "ArmLB2"), layer(c, Character::LEFT_ARM));
    EXPECT_EQ(part(c, "TorsoB"), layer(c, Character::TORSO));

    // The first happy step comes on the first tick; an alternative head
    // then stays until the next idle pose.
    int count = -60;
    bool idlePose = false;
    for (int frame = 0; frame < 300; ++frame) {
        stage.step(1);
        if (--count < 0 && !idlePose) {
            if (twin.nextInt(2) == 0) {
                idlePose = true;
                const char* head = twin.nextInt(1) == 0 ? "HeadA" : "HeadD";
                ASSERT_EQ(part(c, head), layer(c, Character::HEAD)) << "frame " << frame;
            } else {
                ASSERT_EQ(part(c, "HeadB2"), layer(c, Character::HEAD)) << "frame " << frame;
            }
            count = twin.nextInt(30, 40);
        }
        ASSERT_EQ(idlePose, c->isIdlePose()) << "frame " << frame;
    }
    ASSERT_TRUE(idlePose) << "the seed turns his head within the frames followed";
    c->changeState(Character::STATE_IDLE);
    EXPECT_FALSE(c->isIdlePose());
    EXPECT_EQ(GalleryOwner::MOOD_HAPPY, c->getMood()) << "his mood outlasts the idle pose";
    c->setConversation(true);
    c->setConversation(false);
    EXPECT_EQ(GalleryOwner::MOOD_HAPPY, c->getMood()) << "and a conversation";
}

TEST_F(TownspeopleTest, TheFishermanAndTheProfessorStayAfterASpeechUntilTheConversationEnds)
{
    Fisherman* fisherman = standing<Fisherman>("Fisherman", 4);
    Professor* professor = standing<Professor>("Professor", 2);
    professor->setBlinking(true);
    professor->setConversation(true);
    EXPECT_FALSE(professor->isBlinking()) << "the professor never blinks in conversation";
    EXPECT_EQ(nullptr, professor->getLayer(Character::BLINK));
    fisherman->setConversation(true);
    EXPECT_EQ(part(fisherman, "BlinkB1"), layer(fisherman, Character::BLINK));
    for (Townsperson* c : {static_cast<Townsperson*>(fisherman), static_cast<Townsperson*>(professor)}) {
        c->talk(lang::String("LINE"), false);
        c->stopTalk();
        EXPECT_EQ(Character::STATE_STOPPED, c->getState()) << c->getName().c_str();
        const int count = c->getIdleCountdown();
        stage.step(20);
        EXPECT_EQ(count, c->getIdleCountdown()) << "no idle steps after a speech";
        c->setConversation(false);
        EXPECT_EQ(Character::STATE_IDLE, c->getState());
        EXPECT_EQ(part(c, "ArmRB"), layer(c, Character::RIGHT_ARM));
        EXPECT_FALSE(part(c, "ArmRB1")->isVisible());
        stage.step(1);
        EXPECT_NE(count, c->getIdleCountdown()) << "the routine runs again";
    }
}

TEST_F(TownspeopleTest, TheConversationPoseIsTakenUpOnce)
{
    Barkeeper* c = standing<Barkeeper>("Barkeeper", 5);
    c->setConversation(true);
    EXPECT_EQ(part(c, "TorsoB1"), layer(c, Character::TORSO));
    EXPECT_EQ(part(c, "HeadB1"), layer(c, Character::HEAD));
    EXPECT_EQ(part(c, "ArmRB1"), layer(c, Character::RIGHT_ARM));
    EXPECT_TRUE(part(c, "BlinkB1")->isVisible());
    EXPECT_TRUE(c->isBlinking());
    EXPECT_FALSE(part(c, "HeadB")->isVisible());
    stage.step(2);
    const int arm = c->getLayer(Character::RIGHT_ARM)->getFrame();
    ASSERT_GT(arm, 0) << "the arm gesture plays";
    c->setConversation(true);
    EXPECT_EQ(arm, c->getLayer(Character::RIGHT_ARM)->getFrame()) << "a second call does nothing";

    c->setConversation(false);
    EXPECT_EQ(part(c, "ArmRB"), layer(c, Character::RIGHT_ARM));
    EXPECT_FALSE(part(c, "TorsoB1")->isVisible());
    EXPECT_FALSE(part(c, "HeadB1")->isVisible());
    EXPECT_TRUE(part(c, "HeadB")->isVisible());
}

TEST_F(TownspeopleTest, TheParkRangerTalksWithAMouthOfHisOwnAndTheElderStopsBlinking)
{
    ParkRanger* ranger = standing<ParkRanger>("ParkRanger", 10);
    ranger->setConversation(true);
    EXPECT_EQ(part(ranger, "MouthB1"), layer(ranger, Character::TALK));
    EXPECT_EQ(part(ranger, "TorsoB"), layer(ranger, Character::TORSO)) << "his standing torso stays";
    EXPECT_TRUE(ranger->isBlinking());

    TribalElder* elder = standing<TribalElder>("TribalElder", 11);
    elder->setBlinking(true);
    stage.step(1);
    EXPECT_FALSE(elder->isBlinking()) << "his first idle step ends the blinking";
}

TEST_F(TownspeopleTest, OtherBodyAndHeadTypesChangeNothing)
{
    Barkeeper* c = standing<Barkeeper>("Barkeeper", 5);
    sprite::AnimateSprite* torso = c->getLayer(Character::TORSO);
    c->setBodyTypeAndShow(3);
    EXPECT_EQ(torso, c->getLayer(Character::TORSO));
    EXPECT_TRUE(torso->isVisible());
    EXPECT_EQ(3, c->getBodyType()) << "the type is recorded all the same";
    sprite::AnimateSprite* head = c->getLayer(Character::HEAD);
    c->setHeadTypeLayers(2);
    EXPECT_EQ(head, c->getLayer(Character::HEAD)) << "the nine have no head C";
}

TEST_F(TownspeopleTest, AShortDefinitionReadsTheMissingWaitsAsNoWait)
{
    Barkeeper* c = stage.make<Barkeeper>("Barkeeper", 5, {30, 120, 5, 1000, 1000}, gametest::townParts());
    c->setVisible(true);
    c->setIdle(true);
    stage.step(3);
    EXPECT_EQ(0, c->getIdleCountdown()) << "a step every tick";
}

} // namespace
