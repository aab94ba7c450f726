// GalleryOwner.h: one of the people met in the rooms (for now only
// its class, so that the data makes it by name).
#pragma once

#include "game/characters/Character.h"

class GalleryOwner : public Character {
public:
    GalleryOwner() = default;

    HV_CLASS_NAME("GalleryOwner", Character)
    HV_DECLARE_METACLASS(GalleryOwner);
};
