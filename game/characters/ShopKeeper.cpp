// ShopKeeper.cpp: the metaclass of ShopKeeper.
#include "game/characters/ShopKeeper.h"

HV_DEFINE_METACLASS(ShopKeeper);
