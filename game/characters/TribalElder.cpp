// TribalElder.cpp: the elder's parts and his idle routine without blinks.
#include "game/characters/TribalElder.h"

HV_DEFINE_METACLASS(TribalElder);

namespace {

const char* const kTribalElderParts[] = {"ArmRB1", "ArmLB1", "HeadB1", "BlinkB1", "HeadA", "HeadD", nullptr};

} // namespace

TribalElder::TribalElder() : Townsperson(kTribalElderParts, true) {}

void TribalElder::showAlternativeHead()
{
    Townsperson::showAlternativeHead();
    setLayerVisible(BLINK, false);
    setBlinking(false);
}

void TribalElder::replayGestures()
{
    setBlinking(false);
    Townsperson::replayGestures();
}
