// Millionaire.cpp: the millionaire's parts and idle routine.
#include "game/characters/Millionaire.h"

HV_DEFINE_METACLASS(Millionaire);

namespace {

const char* const kMillionaireParts[] = {"ArmRB1", "ArmLB1", "HeadB1", "BlinkB1", "HeadA", "HeadD", nullptr};
// The definition's numbers of the wait after every idle step.
constexpr int kMillionaireWait = 7;

} // namespace

Millionaire::Millionaire() : Townsperson(kMillionaireParts, true) {}

void Millionaire::enterIdlePose()
{
    Townsperson::enterIdlePose();
    runLayer(HEAD, 1, 0);
}

void Millionaire::showAlternativeHead()
{
    turnToAlternativeHead();
    m_nIdleCountdown = drawWait(kMillionaireWait);
}

void Millionaire::replayNormalPose()
{
    m_bIdlePose = false;
    if (m_random.nextInt(1) == 1) {
        swapLayer(HEAD, "HeadB");
        runLayer(HEAD, 1, 0);
        setLayerVisible(BLINK, false);
        setLayerFrame(LEFT_ARM, 0);
        runLayer(LEFT_ARM, 1, 0);
    }
    setLayerFrame(RIGHT_ARM, 0);
    runLayer(RIGHT_ARM, 1, 0);
    m_nIdleCountdown = drawWait(kMillionaireWait);
}
