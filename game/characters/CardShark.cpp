// CardShark.cpp: the card player's parts, gestures and delayed blinks.
#include "game/characters/CardShark.h"

#include "sprites/images/AnimateSprite.h"

HV_DEFINE_METACLASS(CardShark);

namespace {

const char* const kCardSharkParts[] = {"TorsoB1", "ArmRB1", "ArmLB1", "HeadB1", "BlinkB1", "HeadA", "HeadD", nullptr};
// His gestures: two ticks a frame.
constexpr int kGestureRate = 2;

} // namespace

CardShark::CardShark() : Townsperson(kCardSharkParts, true), m_nBlinkDelay(-1) {}

bool CardShark::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    const bool talking = m_nState == STATE_TALKING || m_nState == STATE_TIME_UP;
    if (talking && !m_bBlinking && m_nBlinkDelay >= 0 && --m_nBlinkDelay < 0) {
        showLayerSprite(BLINK);
        setBlinking(true);
    }
    return Townsperson::tick(frame, boundsOut, region);
}

void CardShark::enterIdlePose()
{
    m_nBlinkDelay = 0;
    Townsperson::enterIdlePose();
}

void CardShark::onTalkTimeUp()
{
    closeMouth();
}

void CardShark::buildStandingPose()
{
    bindLayer(LEGS, "LegsB");
    swapLayer(TORSO, "TorsoB");
    swapLayer(HEAD, "HeadB");
    bindLayer(RIGHT_ARM, "ArmRB");
    bindLayer(LEFT_ARM, "ArmLB");
    restArms();
}

void CardShark::replayGestures()
{
    playLayerFromStart(LEFT_ARM, kGestureRate, 1);
    playLayerFromStart(RIGHT_ARM, kGestureRate, 1);
    playLayer(TORSO, kGestureRate, 1);
}

void CardShark::conversationTorso()
{
    swapLayer(TORSO, "TorsoB1");
    playLayer(TORSO, 1, 1);
}

void CardShark::conversationHead()
{
    setLayerVisible(HEAD, false);
    hideChild("HeadB");
    bindLayer(HEAD, "HeadB1");
    showLayerSprite(HEAD);
    playLayer(HEAD, 1, 1);
}

void CardShark::conversationBlink()
{
    bindLayer(BLINK, "BlinkB1");
    if (m_layers[BLINK])
        bringToFront(m_layers[BLINK]);
    m_nBlinkDelay = BLINK_DELAY;
}
