// OptionsSprite.cpp: the options dialog stand-in's set-up.
#include "game/menus/OptionsSprite.h"

#include "sprites/settings/User.h"

HV_DEFINE_METACLASS(OptionsSprite);

OptionsSprite::OptionsSprite()
    : sprite::DialogSprite(false), m_pUser(nullptr), m_pMusicClip(nullptr), m_pEffectsSample(nullptr), m_pFrame(nullptr)
{
}

OptionsSprite::~OptionsSprite()
{
    if (m_pUser)
        m_pUser->release();
}

void OptionsSprite::setUser(sprite::User* user)
{
    if (user)
        user->addRef();
    if (m_pUser)
        m_pUser->release();
    m_pUser = user;
}
