// hv.Character from scripts: talking (talk, talkTimer, talkDelay,
// setTalkAlpha), poses and layers, the balloon's fixed place, the
// queries, and the argument errors.
#include "tests/game/support/CharacterStage.h"

#include "game/characters/Character.h"

#include <gtest/gtest.h>

#include <string>

using gametest::CharacterStage;

namespace {

class CharacterLuaTest : public ::testing::Test {
protected:
    CharacterLuaTest()
    {
        stage.folder.data.text("TEN", "abcdefghij");
        stage.folder.openTexts();
        c = stage.make("Professor", 2, {30, 120, 5, 3, 6});
        c->setVisible(true);
        c->setOffset(200, 300);
        stage.folder.expose(c, "c");
        stage.folder.expose(stage.balloon, "balloon");
    }

    std::string run(const std::string& code) { return stage.folder.run(code); }
    // The error of the code, which must fail with a message holding `part`.
    void expectError(const std::string& code, const std::string& part)
    {
        const std::string error = run(code);
        EXPECT_NE(std::string::npos, error.find(part)) << code << " gave: " << error;
    }
    bool globalFlag(const char* name)
    {
        lua_State* L = stage.folder.host->getState();
        lua_getglobal(L, name);
        const bool flag = lua_toboolean(L, -1) != 0;
        lua_pop(L, 1);
        return flag;
    }

    CharacterStage stage{true};
    Character* c = nullptr;
};

TEST_F(CharacterLuaTest, AScriptMakesACharacterTalkWithAndWithoutTheSkipButton)
{
    ASSERT_EQ("", run("c:setIdle(true) c:setEnabled(true) c:talk('TEN') talking = c:isTalking() idle = c:isIdle()"));
    EXPECT_TRUE(globalFlag("talking"));
    EXPECT_FALSE(globalFlag("idle"));
    EXPECT_TRUE(stage.skip->isVisible());
    EXPECT_STREQ("abcdefghij", stage.text->getText().c_str());
    EXPECT_EQ(1, stage.played(Character::SOUND_TALK_BLIP));

    ASSERT_EQ("", run("c:stopTalk() c:talkTimer('TEN') idle = c:isIdle()"));
    EXPECT_FALSE(stage.skip->isVisible()) << "a timed speech has no skip button";
    stage.step(48);
    EXPECT_EQ(Character::STATE_TIME_UP, c->getState());

    ASSERT_EQ("", run("c:stopTalk() c:talk('TEN') c:talkDelay(5)"));
    stage.step(5);
    EXPECT_EQ(Character::STATE_TIME_UP, c->getState()) << "the reading time the script set";
    ASSERT_EQ("", run("c:stopTalk() idle = c:isIdle() talking = c:isTalking()"));
    EXPECT_TRUE(globalFlag("idle"));
    EXPECT_FALSE(globalFlag("talking"));
}

TEST_F(CharacterLuaTest, TalkAlphaFadesTheBalloonOutAndBackOrToTheByteItAsks)
{
    ASSERT_EQ("", run("c:talk('TEN') c:setTalkAlpha{alpha = 0}"));
    stage.step(1);
    EXPECT_EQ(0, stage.balloon->getAlpha());
    stage.step(4);
    EXPECT_EQ(128, stage.balloon->getAlpha()) << "back over 4 frames";

    // The factor x 128 held to a byte, over the frames asked (1 when not).
    const struct {
        const char* table;
        int frames, alpha;
    } cases[] = {{"{alpha = 0.5, frames = 2}", 2, 64}, {"{}", 1, 128},           {"{alpha = 3}", 1, 255},
                 {"{alpha = -1}", 1, 0},               {"{alpha = 'x'}", 1, 128}, {"{alpha = 1.999}", 1, 255}};
    for (const auto& t : cases) {
        ASSERT_EQ("", run(std::string("c:setTalkAlpha") + t.table)) << t.table;
        stage.step(t.frames);
        EXPECT_EQ(t.alpha, stage.balloon->getAlpha()) << t.table;
        stage.step(4);
    }
}

TEST_F(CharacterLuaTest, PosesLayersAndAnimationsAreSetByName)
{
    ASSERT_EQ("", run("c:setIdle(true) c:setBodyType('C')"));
    EXPECT_EQ(nullptr, c->getLayer(Character::TORSO)) << "a five-type character has no type C";
    EXPECT_EQ(2, c->getBodyType());
    ASSERT_EQ("", run("c:setBodyType('B') c:setAnimLayer('torso', 'LegsB', 1)"));
    EXPECT_EQ(c->getSprite("LegsB"), c->getLayer(Character::TORSO));
    EXPECT_EQ(1, c->getLayer(Character::TORSO)->getFrame());
    ASSERT_EQ("", run("c:setHeadType('D')"));
    EXPECT_EQ(c->getSprite("HeadB"), c->getLayer(Character::HEAD)) << "no head D: nothing changes";

    ASSERT_EQ("", run("c:startAnimation{layer = 'rightarm', loops = -1}"));
    sprite::AnimateSprite* arm = c->getLayer(Character::RIGHT_ARM);
    EXPECT_TRUE(arm->isLooping());
    stage.step(10);
    EXPECT_TRUE(arm->isLooping()) << "the arm keeps cycling";
    ASSERT_EQ("", run("c:startAnimation('leftarm', 3, 0, 0, 2, -1)"));
    sprite::AnimateSprite* left = c->getLayer(Character::LEFT_ARM);
    EXPECT_EQ(2, left->getFrameRate());
    EXPECT_EQ(-1, left->getFrameStep());

    ASSERT_EQ("", run("c:walk(true)"));
    EXPECT_TRUE(c->isWalking());
    ASSERT_EQ("", run("c:walk(1, 2, false)"));
    EXPECT_FALSE(c->isWalking()) << "the flag is the last value";
    ASSERT_EQ("", run("c:setBlinking(true) c:ambients(false) c:setIdle(false)"));
    EXPECT_TRUE(c->isBlinking());
    EXPECT_FALSE(c->getAmbients());
    EXPECT_EQ(Character::STATE_HELD, c->getState());
    ASSERT_EQ("", run("c:setOffset(400, 500) c:moveTo(420, 500, 4)"));
    stage.step(4);
    EXPECT_EQ(420 - 30, c->left());
    EXPECT_EQ(Character::STATE_MOVING, c->getState());
    ASSERT_EQ("", run("c:showTalkToMeButton(true) c:setEnabled(true) hit = c:hittest(420, 380 + 20) "
                      "on = c:isEnabled()"));
    EXPECT_TRUE(globalFlag("hit"));
    EXPECT_TRUE(globalFlag("on"));
    EXPECT_TRUE(c->isTalkToMeButtonShown());
    ASSERT_EQ("", run("c:talkToMeButtonEnter()"));
    EXPECT_EQ(1, stage.played(Character::SOUND_TALK_TO_ME));
}

TEST_F(CharacterLuaTest, TheBalloonsFixedPlaceTakesAPositionNameOnlyAsTheFifthValue)
{
    ASSERT_EQ("", run("c:setFixedTalkBalloonPosition(true, 100, 120, 'PHONE')"));
    EXPECT_TRUE(c->hasFixedBalloon());
    EXPECT_EQ(Character::ANCHOR_PHONE, c->getBalloonAnchor());
    ASSERT_EQ("", run("c:setFixedTalkBalloonPosition(false, 0, 0)"));
    EXPECT_FALSE(c->hasFixedBalloon());
    EXPECT_EQ(Character::ANCHOR_PHONE, c->getBalloonAnchor()) << "unfixing keeps the code";
    ASSERT_EQ("", run("c:setFixedTalkBalloonPosition(true, 100, 120)"));
    EXPECT_EQ(Character::ANCHOR_AUTO, c->getBalloonAnchor());
    ASSERT_EQ("", run("c:talk('TEN')"));
    // Left half, upper third: to the right of the point, past the figure
    // (not posed, so 60 wide) less 20.
    EXPECT_EQ(100 + 60 - 20, stage.balloon->left());
    EXPECT_EQ(120, stage.balloon->top());
}

TEST_F(CharacterLuaTest, WrongArgumentsRaiseErrorsAndChangeNothing)
{
    const struct {
        const char* code;
        const char* error;
    } cases[] = {
        {"c:talk()", "too many arguments"},
        {"c:talk('TEN', 1)", "too many arguments"},
        {"c:isIdle(1)", "too many arguments"},
        {"c:setOffset(1)", "too many arguments"},
        {"c:setOffset('a', 2)", "number expected"},
        {"c:setBodyType('Z')", "invalid option"},
        {"c:setAnimLayer('knee', 'HeadB', 0)", "invalid option"},
        {"c:setFixedTalkBalloonPosition(true, 1, 2, 'UP')", "invalid option"},
        {"c:setFixedTalkBalloonPosition(true)", "number expected"},
        {"c:setTalkAlpha(1)", "table expected"},
        {"c:startAnimation()", "table expected"},
        {"c:startAnimation{layer = 'knee'}", "invalid layer"},
        {"c:startAnimation{}", "invalid layer"},
        {"c:startAnimation('head', 0, 1, 1, 1, 1, 1)", "too many arguments"},
        {"c:startAnimation('head', 0, 'x', 1, 1, 1)", "number expected"},
        {"c.talk({}, 'TEN')", "not a Sprite object"},
        {"c.talk(balloon, 'TEN')", "not a Character"},
        {"c.isTalking(5)", "table expected"},
    };
    for (const auto& t : cases)
        expectError(t.code, t.error);
    EXPECT_EQ(Character::STATE_IDLE, c->getState());
    EXPECT_FALSE(c->isTalking());
    EXPECT_FALSE(c->hasFixedBalloon());
    EXPECT_TRUE(stage.world.canvas->playedSounds.empty());
}

} // namespace
