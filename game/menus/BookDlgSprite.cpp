// BookDlgSprite.cpp: the metaclass of BookDlgSprite.
#include "game/menus/BookDlgSprite.h"

HV_DEFINE_METACLASS(BookDlgSprite);
