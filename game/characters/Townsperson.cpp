// Townsperson.cpp: the standing pose, the idle routine and the conversation
// pose the nine people share.
#include "game/characters/Townsperson.h"

#include "sprites/images/AnimateSprite.h"

namespace {

// The definition's numbers of the two waits of the idle routine.
constexpr int kAlternativeHeadWait = 5;
constexpr int kReplayWait = 7;
// The head and arm gestures of a normal replay: two ticks a frame.
constexpr int kTownspersonGestureRate = 2;

} // namespace

Townsperson::Townsperson(const char* const* extraParts, bool emptiesTalkAndBlink, bool staysAfterSpeech)
    : m_nIdleCountdown(0),
      m_bIdlePose(false),
      m_extraParts(extraParts),
      m_bEmptiesTalkAndBlink(emptiesTalkAndBlink),
      m_bStaysAfterSpeech(staysAfterSpeech)
{
}

void Townsperson::onTalkStopped()
{
    if (m_bStaysAfterSpeech)
        closeMouth();
    else
        Character::onTalkStopped();
}

void Townsperson::conversationEnding()
{
    if (m_bStaysAfterSpeech)
        m_nState = STATE_IDLE;
}

// ---- Layer helpers --------------------------------------------------------------

void Townsperson::hideChild(const char* name)
{
    if (sprite::SpriteBase* child = getSprite(name))
        child->setVisible(false);
}

void Townsperson::hideExtraParts()
{
    for (const char* const* name = m_extraParts; name && *name; ++name)
        hideChild(*name);
    if (m_bEmptiesTalkAndBlink) {
        m_layers[TALK] = nullptr;
        m_layers[BLINK] = nullptr;
    }
}

void Townsperson::swapLayer(int layer, const char* name)
{
    sprite::AnimateSprite* replacement = animatedChild(name);
    if (!replacement)
        return;
    if (m_layers[layer])
        m_layers[layer]->setVisible(false);
    m_layers[layer] = replacement;
    replacement->setVisible(true);
}

void Townsperson::bindLayer(int layer, const char* name)
{
    m_layers[layer] = animatedChild(name);
}

void Townsperson::showLayerSprite(int layer)
{
    if (m_layers[layer])
        m_layers[layer]->setVisible(true);
}

void Townsperson::hideLayerSprite(int layer)
{
    if (m_layers[layer])
        m_layers[layer]->setVisible(false);
}

void Townsperson::playLayer(int layer, int rate, int loops, const char* notification)
{
    startAnimation(layer, 0, -1, rate, 1, loops, lang::String(notification));
}

void Townsperson::playLayerFromStart(int layer, int rate, int loops, const char* notification)
{
    setLayerFrame(layer, 0);
    playLayer(layer, rate, loops, notification);
}

void Townsperson::runLayer(int layer, int rate, int loops)
{
    if (m_layers[layer])
        m_layers[layer]->playAnimation(0, -1, loops, rate, false, 1);
}

int Townsperson::drawWait(int first)
{
    return m_random.nextInt(definitionNumber(first), definitionNumber(first + 1));
}

// ---- Set-up and the standing pose -------------------------------------------------

void Townsperson::setDefinition(sprite::SpriteDefinition* definition)
{
    Character::setDefinition(definition);
    m_bShown = true;
    hideExtraParts();
}

void Townsperson::findHeadSprites()
{
    for (sprite::AnimateSprite*& head : m_heads)
        head = nullptr;
    m_heads[TYPE_A] = animatedChild("HeadA");
    m_heads[TYPE_B] = animatedChild("HeadB");
    m_heads[TYPE_D] = animatedChild("HeadD");
}

void Townsperson::setBodyType(int type)
{
    if (type != TYPE_B)
        return;
    hideExtraParts();
    buildStandingPose();
}

void Townsperson::buildStandingPose()
{
    bindLayer(LEGS, "LegsB");
    bindLayer(TORSO, "TorsoB");
    bindLayer(HEAD, "HeadB");
    bindLayer(RIGHT_ARM, "ArmRB");
    bindLayer(LEFT_ARM, "ArmLB");
    showLayerSprite(HEAD);
    restArms();
}

void Townsperson::restArms()
{
    setLayerFrame(RIGHT_ARM, 0);
    setLayerFrame(LEFT_ARM, 0);
}

void Townsperson::enterIdlePose()
{
    if (m_nMood != 0)
        return;
    hideExtraParts();
    setBodyType(TYPE_B);
    Character::enterIdlePose();
}

// ---- The idle routine ----------------------------------------------------------------

bool Townsperson::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (idleStepDue()) {
        if (!m_bIdlePose && m_random.nextInt(2) == 0)
            showAlternativeHead();
        else
            replayNormalPose();
    }
    return Character::tick(frame, boundsOut, region);
}

bool Townsperson::idleStepDue()
{
    return isVisible() && m_nState == STATE_IDLE && m_bAmbients && --m_nIdleCountdown < 0;
}

void Townsperson::turnToAlternativeHead()
{
    m_bIdlePose = true;
    setHeadTypeLayers(m_random.nextInt(1) == 0 ? TYPE_A : TYPE_D);
}

void Townsperson::showAlternativeHead()
{
    turnToAlternativeHead();
    m_nIdleCountdown = drawWait(kAlternativeHeadWait);
}

void Townsperson::replayNormalPose()
{
    m_bIdlePose = false;
    swapLayer(HEAD, "HeadB");
    playLayer(HEAD, kTownspersonGestureRate, 1);
    setLayerVisible(BLINK, false);
    replayGestures();
    m_nIdleCountdown = drawWait(kReplayWait);
}

void Townsperson::replayGestures()
{
    playLayerFromStart(LEFT_ARM, kTownspersonGestureRate, 1);
    playLayerFromStart(RIGHT_ARM, 1, 1, "RightArmToStart");
}

// ---- The conversation pose ---------------------------------------------------------

void Townsperson::setConversation(bool on)
{
    conversationStarting();
    if (!on) {
        conversationEnding();
        if (!keepsMoodAfterConversation())
            setState(lang::String("normal"));
        enterIdlePose();
        playRightArmBack();
        playLeftArmBack();
        return;
    }
    // The pose is up already.
    if (m_layers[RIGHT_ARM] && m_layers[RIGHT_ARM] == getSprite("ArmRB1"))
        return;
    conversationTorso();
    swapLayer(RIGHT_ARM, "ArmRB1");
    swapLayer(LEFT_ARM, "ArmLB1");
    conversationHead();
    conversationBlink();
    playLeftArmForward();
    playRightArmForward();
}

void Townsperson::conversationTorso()
{
    swapLayer(TORSO, "TorsoB1");
}

void Townsperson::conversationHead()
{
    setLayerVisible(HEAD, false);
    bindLayer(HEAD, "HeadB1");
    showLayerSprite(HEAD);
}

void Townsperson::conversationBlink()
{
    bindLayer(BLINK, "BlinkB1");
    showLayerSprite(BLINK);
    if (m_layers[BLINK])
        bringToFront(m_layers[BLINK]);
    setBlinking(true);
}
