// InstructDialog.h: the how-to-play dialog (for now only its class, so that
// the data makes it by name; its behaviour is not written yet).
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class InstructDialog : public sprite::DialogSprite {
public:
    InstructDialog() : sprite::DialogSprite(false) {}

    HV_CLASS_NAME("InstructDialog", sprite::DialogSprite)
    HV_DECLARE_METACLASS(InstructDialog);
};
