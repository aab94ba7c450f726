// GalleryOwner.cpp: the metaclass of GalleryOwner.
#include "game/characters/GalleryOwner.h"

HV_DEFINE_METACLASS(GalleryOwner);
