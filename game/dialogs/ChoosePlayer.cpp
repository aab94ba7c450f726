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

ChoosePlayer::ChoosePlayer()
    : sprite::DialogSprite(false), m_pMainStore(nullptr), m_pProfileStore(nullptr), m_selectedName("")
{
}

ChoosePlayer::~ChoosePlayer()
{
    hold(m_pMainStore, nullptr);
    hold(m_pProfileStore, nullptr);
}

int ChoosePlayer::filterCommand(lang::String* command, lang::String* out)
{
    if (!command || !command->equalsIgnoreCase("acceptProfile"))
        return sprite::DialogSprite::filterCommand(command, out);
    if (m_selectedName.isEmpty()) {
        m_selectedName = "Player";
        const lang::String shown("Player\\displayName");
        if (m_pMainStore && m_pMainStore->getString(shown, lang::String("")).isEmpty())
            m_pMainStore->setString(shown, m_selectedName);
    }
    setVisible(false);
    *out = "profile:";
    *out += m_selectedName;
    return REPLACE_COMMAND;
}

void ChoosePlayer::setStores(sprite::User* mainStore, sprite::User* profileStore)
{
    hold(m_pMainStore, mainStore);
    hold(m_pProfileStore, profileStore);
}
