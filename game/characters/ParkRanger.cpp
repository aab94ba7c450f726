// ParkRanger.cpp: the park ranger's parts and his conversation face.
#include "game/characters/ParkRanger.h"

#include "sprites/images/AnimateSprite.h"

#include <initializer_list>

HV_DEFINE_METACLASS(ParkRanger);

namespace {

const char* const kParkRangerParts[] = {"ArmRB1", "ArmLB1", "HeadB1", "MouthB1", "BlinkB1", "HeadA", "HeadD", nullptr};

} // namespace

ParkRanger::ParkRanger() : Townsperson(kParkRangerParts, true) {}

void ParkRanger::conversationBlink()
{
    bindLayer(BLINK, "BlinkB1");
    bindLayer(TALK, "MouthB1");
    showLayerSprite(BLINK);
    showLayerSprite(TALK);
    for (int layer : {BLINK, TALK}) {
        if (m_layers[layer])
            bringToFront(m_layers[layer]);
    }
    setBlinking(true);
}
