// ChoosePlayer.h: the player selection dialog (for now the two settings
// stores the canvas set-up hands it; the profile list is not written yet).
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

private:
    sprite::User* m_pMainStore;
    sprite::User* m_pProfileStore;
};
