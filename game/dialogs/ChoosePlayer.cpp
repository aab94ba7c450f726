// ChoosePlayer.cpp: the player selection stand-in's stores.
#include "game/dialogs/ChoosePlayer.h"

#include "sprites/settings/User.h"

HV_DEFINE_METACLASS(ChoosePlayer);

namespace {

void hold(sprite::User*& field, sprite::User* store)
{
    if (store)
        store->addRef();
    if (field)
        field->release();
    field = store;
}

} // namespace

ChoosePlayer::ChoosePlayer() : sprite::DialogSprite(false), m_pMainStore(nullptr), m_pProfileStore(nullptr) {}

ChoosePlayer::~ChoosePlayer()
{
    hold(m_pMainStore, nullptr);
    hold(m_pProfileStore, nullptr);
}

void ChoosePlayer::setStores(sprite::User* mainStore, sprite::User* profileStore)
{
    hold(m_pMainStore, mainStore);
    hold(m_pProfileStore, profileStore);
}
