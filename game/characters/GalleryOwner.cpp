// GalleryOwner.cpp: the gallery owner's two moods.
#include "game/characters/GalleryOwner.h"

#include "sprites/images/AnimateSprite.h"

HV_DEFINE_METACLASS(GalleryOwner);

namespace {

const char* const kGalleryOwnerParts[] = {"TorsoB1", "ArmRB1", "ArmLB1", "HeadB1", "BlinkB1", "HeadA", "HeadD",
                                   "ArmRB2",  "ArmLB2", "HeadB2", "ArmLB",  "ArmRB",   "HeadB", nullptr};
// The definition's numbers of the wait after every idle step.
constexpr int kWait = 7;
// Her moving pose: two ticks a frame.
constexpr int kMotionRate = 2;

} // namespace

GalleryOwner::GalleryOwner() : Townsperson(kGalleryOwnerParts, true) {}

void GalleryOwner::buildStandingPose()
{
    findHeadSprites();
    bindLayer(LEGS, "LegsB");
    m_layers[HEAD] = m_heads[TYPE_B];
    hideLayerSprite(TORSO);
    if (m_nMood == MOOD_HAPPY) {
        hideChild("TorsoB1");
        swapLayer(TORSO, "TorsoB");
        setLayerFrame(TORSO, 0);
        swapLayer(LEFT_ARM, "ArmLB2");
        swapLayer(RIGHT_ARM, "ArmRB2");
        hideLayerSprite(HEAD);
        bindLayer(HEAD, "HeadB2");
    } else {
        hideChild("TorsoB");
        swapLayer(TORSO, "TorsoB1");
        setLayerFrame(TORSO, 0);
        swapLayer(RIGHT_ARM, "ArmRB");
        swapLayer(LEFT_ARM, "ArmLB");
    }
    showLayerSprite(HEAD);
    restArms();
}

void GalleryOwner::enterIdlePose()
{
    hideExtraParts();
    setBodyType(TYPE_B);
    Character::enterIdlePose();
    m_bIdlePose = false;
    if (m_nMood != MOOD_HAPPY) {
        swapLayer(TORSO, "TorsoB1");
        runLayer(TORSO, kMotionRate, -1);
        swapLayer(HEAD, "HeadB");
        runLayer(HEAD, kMotionRate, -1);
        setLayerVisible(BLINK, false);
    }
    playLayerFromStart(LEFT_ARM, kMotionRate, -1);
    playLayerFromStart(RIGHT_ARM, kMotionRate, -1);
}

void GalleryOwner::setState(const lang::String& name)
{
    if (name.equalsIgnoreCase("happy")) {
        m_nMood = MOOD_HAPPY;
        setBodyType(TYPE_B);
    } else {
        Townsperson::setState(name);
    }
}

bool GalleryOwner::idleStepDue()
{
    return Townsperson::idleStepDue() && m_nMood == MOOD_HAPPY && !m_bIdlePose;
}

void GalleryOwner::showAlternativeHead()
{
    turnToAlternativeHead();
    m_nIdleCountdown = drawWait(kWait);
}

void GalleryOwner::replayNormalPose()
{
    swapLayer(HEAD, "HeadB2");
    setLayerVisible(BLINK, false);
    playLayerFromStart(LEFT_ARM, kMotionRate, -1);
    playLayerFromStart(RIGHT_ARM, kMotionRate, -1);
    m_nIdleCountdown = drawWait(kWait);
}

void GalleryOwner::conversationTorso()
{
    swapLayer(TORSO, "TorsoB");
}
