// Professor.cpp: the professor's parts and his conversation without blinks.
#include "game/characters/Professor.h"

HV_DEFINE_METACLASS(Professor);

namespace {

const char* const kProfessorParts[] = {"ArmRB1", "ArmLB1", "HeadB1", "BlinkB1", "HeadA", "HeadD", "TorsoB1", nullptr};

} // namespace

Professor::Professor() : Townsperson(kProfessorParts, true, true) {}

void Professor::conversationStarting()
{
    setBlinking(false);
}
