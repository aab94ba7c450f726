// GameInstructDialog.h: the mini-game instructions panel (for now only its class, so that
// the data makes it by name; its behaviour is not written yet).
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class GameInstructDialog : public sprite::DialogSprite {
public:
    GameInstructDialog() : sprite::DialogSprite(false) {}

    HV_CLASS_NAME("GameInstructDialog", sprite::DialogSprite)
    HV_DECLARE_METACLASS(GameInstructDialog);
};
