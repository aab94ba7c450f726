// ChoosePlayer.h: the player selection dialog (for now the two settings
// stores the canvas set-up hands it, the selected name and one button that
// plays as it; the profile list is not written yet).
#pragma once

#include "sprites/dialogs/DialogSprite.h"

namespace sprite {
class User;
}

class ChoosePlayer : public sprite::DialogSprite {
public:
    ChoosePlayer();
    // Releases both stores.
    ~ChoosePlayer() override;

    HV_CLASS_NAME("ChoosePlayer", sprite::DialogSprite)
    HV_DECLARE_METACLASS(ChoosePlayer);

    // The main settings store and the current profile's (references held).
    void setStores(sprite::User* mainStore, sprite::User* profileStore);

    sprite::User* getMainStore() const { return m_pMainStore; }
    sprite::User* getProfileStore() const { return m_pProfileStore; }

    // The profile shown as chosen ("" for none), whose name the canvas
    // takes on "profile:".
    void setSelectedProfile(const lang::String& name) { m_selectedName = name; }
    const lang::String& getSelectedName() const { return m_selectedName; }
    // Until the profile list is written, its "acceptProfile" button plays as
    // the selected profile, or as a profile "Player" made for the purpose
    // when none is selected: "profile:" and the name go to the canvas.
    int filterCommand(lang::String* command, lang::String* out) override;
    // The new-profile prompt shows (keys are typed into it).
    bool isInputPromptVisible()
    {
        sprite::SpriteBase* prompt = getSprite("inputPrompt");
        return prompt && prompt->isVisible();
    }

private:
    sprite::User* m_pMainStore;
    sprite::User* m_pProfileStore;
    lang::String m_selectedName;
};
