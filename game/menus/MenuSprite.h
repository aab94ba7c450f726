// MenuSprite.h: the main menu panel: a dialog whose buttons' names go on to
// the canvas's named actions, showing the current player's name; a click on
// that name or on the "ClickHere" sprite beside it asks to change the player.
#pragma once

#include "sprites/dialogs/DialogSprite.h"

namespace sprite {
class NewFontSprite;
}

class MenuSprite : public sprite::DialogSprite {
public:
    // The command a click on the player's name gives.
    static constexpr const char* CHANGE_PROFILE = "ChangeProfile";

    MenuSprite();

    HV_CLASS_NAME("MenuSprite", sprite::DialogSprite)
    HV_DECLARE_METACLASS(MenuSprite);

    // The dialog's set-up, then the name text "ProfileName" is bound; the
    // menu counts as shown from the start.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // A press on "ProfileName" (also while it is hidden) or "ClickHere"
    // gives "ChangeProfile", whatever button lies under it.
    int mouseDown(window::Event* e) override;

    // The name text shows the player's name.
    void setProfileName(const lang::String& name);
    void hideProfileName();

    sprite::NewFontSprite* getProfileNameText() const { return m_pProfileName; }

private:
    // Borrowed from the dialog's children; null without a definition.
    sprite::NewFontSprite* m_pProfileName;
};
