// MenuSprite.cpp: the metaclass of MenuSprite.
#include "game/menus/MenuSprite.h"

HV_DEFINE_METACLASS(MenuSprite);
