// MenuSprite.h: the main menu panel (for now only its class, so that
// the data makes it by name; its behaviour is not written yet).
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class MenuSprite : public sprite::DialogSprite {
public:
    MenuSprite() : sprite::DialogSprite(false) {}

    HV_CLASS_NAME("MenuSprite", sprite::DialogSprite)
    HV_DECLARE_METACLASS(MenuSprite);

    // The player's name shows in the "ProfileName" text, or is hidden.
    void setProfileName(const lang::String& name);
    void hideProfileName();
};
