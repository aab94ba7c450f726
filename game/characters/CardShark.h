// CardShark.h: one of the people met in the rooms (for now only
// its class, so that the data makes it by name).
#pragma once

#include "game/characters/Character.h"

class CardShark : public Character {
public:
    CardShark() = default;

    HV_CLASS_NAME("CardShark", Character)
    HV_DECLARE_METACLASS(CardShark);
};
