// The player's thoughts (their place, their length counted down twice a
// frame, their fades) and the tutorial guide's fading words.
#include "tests/game/support/CharacterStage.h"

#include "game/characters/PlayerCharacter.h"
#include "game/characters/TutorialCharacter.h"

#include <gtest/gtest.h>

#include <string>

using gametest::CharacterStage;

namespace {

class PlayerCharacterTest : public ::testing::Test {
protected:
    PlayerCharacterTest()
    {
        for (int n : {1, 3, 7, 20})
            stage.folder.data.text("THINK_" + std::to_string(n), std::string(size_t(n), 'a'));
        stage.folder.openTexts();
        thought = new TalkBalloon();
        stage.onCanvas("ThoughtBalloon", thought);
        tail = new sprite::BoundsSprite(0, 0, 20, 12);
        stage.onCanvas("ThoughtBalloonTail", tail);
        thought->setTail(Character::ANCHOR_THOUGHT, tail);
        thoughtText = stage.makeText("ThoughtText");
        questionMark = new sprite::BoundsSprite(760, 40, 30, 30);
        stage.onCanvas("GameInsQuestionMark", questionMark);
        questionMark->setVisible(false);

        // Bound as the canvas binds the player.
        player = stage.make<PlayerCharacter>("PlayerCharacter", 0, {30, 120, 5, 3, 6});
        player->setTalkBalloon(thought);
        player->setTalkText(thoughtText);
        player->setSkipButton(nullptr);
        player->setHasTalkToMeButton(false);
        player->setVisible(false);
        player->setBalloonAnchor(Character::ANCHOR_THOUGHT);
        player->setPosition(100, 450);
        player->setHome(100, 450);
        player->setAltX(300);
    }

    void think(int n) { player->talk(lang::String(("THINK_" + std::to_string(n)).c_str()), false); }

    CharacterStage stage;
    TalkBalloon* thought = nullptr;
    sprite::SpriteBase* tail = nullptr;
    sprite::NewFontSprite* thoughtText = nullptr;
    sprite::SpriteBase* questionMark = nullptr;
    PlayerCharacter* player = nullptr;
};

TEST_F(PlayerCharacterTest, AThoughtLastsHalfOfEightFramesACharacterButAtLeast24)
{
    // ceil(max(8 n, 48) / 2) frames.
    const struct {
        int chars, frames;
    } cases[] = {{1, 24}, {3, 24}, {7, 28}, {20, 80}};
    for (const auto& t : cases) {
        think(t.chars);
        EXPECT_TRUE(player->isVisible());
        EXPECT_EQ(0, stage.played(Character::SOUND_TALK_BLIP)) << "the player never blips";
        stage.step(t.frames - 1);
        EXPECT_EQ(Character::STATE_TALKING, player->getState()) << t.chars;
        stage.step(1);
        EXPECT_EQ(Character::STATE_IDLE, player->getState()) << t.chars << " characters";
        EXPECT_TRUE(thought->isVisible()) << "the balloon fades out";
        stage.step(5);
        EXPECT_FALSE(thought->isVisible()) << t.chars;
        EXPECT_FALSE(thoughtText->isVisible());
        EXPECT_FALSE(tail->isVisible());
        EXPECT_TRUE(player->isVisible()) << "the figure stays";
    }
}

TEST_F(PlayerCharacterTest, AThoughtCanBeCutShortAfter24Frames)
{
    think(20);
    stage.step(23);
    EXPECT_FALSE(player->canSkipTalk());
    stage.step(1);
    EXPECT_TRUE(player->canSkipTalk());
    player->stopTalk();
    EXPECT_EQ(128, thought->getAlpha()) << "a stopped thought fades out";
    stage.step(5);
    EXPECT_EQ(0, thought->getAlpha());
    EXPECT_FALSE(thought->isVisible());
}

TEST_F(PlayerCharacterTest, ThoughtsFadeInOverSixFrames)
{
    think(20);
    EXPECT_EQ(0, thought->getAlpha());
    EXPECT_EQ(0, thoughtText->getAlpha());
    EXPECT_EQ(0, tail->getAlpha());
    EXPECT_TRUE(tail->isVisible());
    stage.step(5);
    EXPECT_GT(thought->getAlpha(), 0);
    EXPECT_LT(thought->getAlpha(), 128);
    stage.step(1);
    EXPECT_EQ(128, thought->getAlpha());
    EXPECT_EQ(128, thoughtText->getAlpha());
    EXPECT_EQ(128, tail->getAlpha());
}

TEST_F(PlayerCharacterTest, AThoughtStandsAtTheAlternativeXWhileTheQuestionMarkShows)
{
    think(3);
    EXPECT_EQ(100, player->left());
    EXPECT_EQ(450, player->top());
    EXPECT_EQ(Character::ANCHOR_THOUGHT, thought->getCurrentTail());
    // The anchor (130, 570): the balloon's corner there, the tail at the
    // three-quarter point of the figure (not posed yet, so no torso: its own
    // width counts), 3 above the bottom of a low balloon.
    EXPECT_EQ(130, thought->left());
    EXPECT_EQ(570, thought->top());
    EXPECT_EQ(130 + 60 - 15, tail->left());
    EXPECT_EQ(570 + thought->height() - 3 + thought->height() - 12, tail->top());
    player->stopTalk();
    questionMark->setVisible(true);
    think(3);
    EXPECT_EQ(300, player->left());
    EXPECT_EQ(450, player->top()) << "the y never changes";
}

TEST(TutorialCharacterTest, TheGuidesWordsFadeInWhileTheBalloonAndItsButtonAreThereAtOnce)
{
    CharacterStage stage;
    stage.folder.data.text("ADVICE", "click the door");
    stage.folder.openTexts();
    auto* balloon = new TalkBalloon();
    stage.onCanvas("TutorialBalloon", balloon);
    auto* help = new sprite::BoundsSprite(0, 0, 16, 16);
    stage.onCanvas("TutorialHelpButton", help);
    balloon->attachButton(help);
    sprite::NewFontSprite* words = stage.makeText("TutorialText");
    auto* guide = stage.make<TutorialCharacter>("TutorialCharacter", 1, {0, 0, 5, 3, 6}, {});
    guide->setTalkBalloon(balloon);
    guide->setTalkText(words);
    guide->setSkipButton(nullptr);
    guide->setHasTalkToMeButton(false);
    guide->setPosition(90, 460);
    guide->setVisible(true);

    guide->talk(lang::String("ADVICE"), false);
    EXPECT_TRUE(balloon->isVisible());
    EXPECT_EQ(128, balloon->getAlpha());
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(balloon->left() - 8, help->left());
    EXPECT_EQ(0, words->getAlpha());
    EXPECT_EQ(128, words->getColor().getRed()) << "the font's own colours";
    stage.step(6);
    EXPECT_EQ(128, words->getAlpha());
    EXPECT_EQ(0, stage.played(Character::SOUND_TALK_BLIP));

    guide->stopTalk();
    EXPECT_FALSE(balloon->isVisible());
    EXPECT_FALSE(help->isVisible());
    EXPECT_TRUE(words->isVisible()) << "the words fade out";
    stage.step(5);
    EXPECT_FALSE(words->isVisible());
}

} // namespace
