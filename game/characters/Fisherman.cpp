// Fisherman.cpp: the fisherman's parts.
#include "game/characters/Fisherman.h"

HV_DEFINE_METACLASS(Fisherman);

namespace {

const char* const kFishermanParts[] = {"ArmRB1", "ArmLB1", "HeadB1", "BlinkB1", "HeadA", "HeadD", "TorsoB1", nullptr};

} // namespace

Fisherman::Fisherman() : Townsperson(kFishermanParts, true, true) {}
