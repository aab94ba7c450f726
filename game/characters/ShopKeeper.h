// ShopKeeper.h: one of the people met in the rooms (for now only
// its class, so that the data makes it by name).
#pragma once

#include "game/characters/Character.h"

class ShopKeeper : public Character {
public:
    ShopKeeper() = default;

    HV_CLASS_NAME("ShopKeeper", Character)
    HV_DECLARE_METACLASS(ShopKeeper);
};
