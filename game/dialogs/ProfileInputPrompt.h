// ProfileInputPrompt.h: the small dialog in which the player types the name
// of a new profile, inside the player selection dialog, which shows it,
// hands it the keys and acts on its two commands, "submitNewProfile" and
// "cancelAddProfile".
#pragma once

#include "sprites/dialogs/DialogSprite.h"

namespace sprite {
class NewFontSprite;
}

class ProfileInputPrompt : public sprite::DialogSprite {
public:
    // A profile name has at most this many characters.
    static constexpr int MAX_NAME_LENGTH = 8;
    static constexpr int KEY_ENTER = 13;
    static constexpr int KEY_ESCAPE = 27;

    ProfileInputPrompt();

    HV_CLASS_NAME("ProfileInputPrompt", sprite::DialogSprite)
    HV_DECLARE_METACLASS(ProfileInputPrompt);

    // The dialog's set-up; the name field shows its text cursor and the two
    // buttons' places are kept.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // Showing lays out the buttons (the submit button alone in the middle
    // when the prompt may not be cancelled), empties the name and disables
    // submitting.
    void setVisible(bool visible) override;
    // Enter submits (when a name is typed), Esc cancels: 1 with the command
    // in the last command. Other keys edit the name: 0.
    int keyDown(int key) override;

    void setMayCancel(bool mayCancel) { m_nMayCancel = mayCancel ? 1 : 0; }
    bool getMayCancel() const { return m_nMayCancel != 0; }
    // The typed name field, or null.
    sprite::NewFontSprite* getNameField();

private:
    // Submitting is possible once the name holds more than blanks.
    void updateSubmit();

    int m_nMayCancel;
    int m_nSubmitX;
    int m_nCancelX;
};
