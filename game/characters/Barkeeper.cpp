// Barkeeper.cpp: the barkeeper's parts and his busy arms.
#include "game/characters/Barkeeper.h"

HV_DEFINE_METACLASS(Barkeeper);

namespace {

const char* const kExtraParts[] = {"ArmRB1", "ArmLB1", "HeadB1", "BlinkB1", "HeadA", "HeadD", "TorsoB1", nullptr};

} // namespace

Barkeeper::Barkeeper() : Townsperson(kExtraParts, true) {}

void Barkeeper::restArms()
{
    runLayer(LEFT_ARM, 1, -1);
    runLayer(RIGHT_ARM, 1, -1);
}
