// Professor.cpp: the professor's parts and his conversation without blinks.
#include "game/characters/Professor.h"

HV_DEFINE_METACLASS(Professor);

namespace {

const char* const kExtraParts[] = {"ArmRB1", "ArmLB1", "HeadB1", "BlinkB1", "HeadA", "HeadD", "TorsoB1", nullptr};

} // namespace

Professor::Professor() : Townsperson(kExtraParts, true) {}

void Professor::onTalkStopped()
{
    closeMouth();
}

void Professor::conversationStarting()
{
    setBlinking(false);
}

void Professor::conversationEnding()
{
    m_nState = STATE_IDLE;
}
