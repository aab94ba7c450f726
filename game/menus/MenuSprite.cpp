// MenuSprite.cpp: the main menu's player name and its "ChangeProfile" click.
#include "game/menus/MenuSprite.h"

#include "sprites/text/NewFontSprite.h"
#include "windowing/window/Event.h"

#include <initializer_list>

HV_DEFINE_METACLASS(MenuSprite);

MenuSprite::MenuSprite() : sprite::DialogSprite(false), m_pProfileName(nullptr) {}

void MenuSprite::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    sprite::SpriteBase* name = getSprite("ProfileName");
    m_pProfileName = name && name->isInstanceOf("NewFontSprite") ? static_cast<sprite::NewFontSprite*>(name) : nullptr;
    m_bShown = true;
}

void MenuSprite::setProfileName(const lang::String& name)
{
    if (!m_pProfileName)
        return;
    m_pProfileName->setText(name.c_str());
    m_pProfileName->setVisible(true);
}

void MenuSprite::hideProfileName()
{
    if (m_pProfileName)
        m_pProfileName->setVisible(false);
}

int MenuSprite::mouseDown(window::Event* e)
{
    const int result = sprite::DialogSprite::mouseDown(e);
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    // Bounding boxes only: the name answers also while it is hidden.
    for (const char* name : {"ProfileName", "ClickHere"}) {
        sprite::SpriteBase* target = getSprite(name);
        if (target && target->hittest(x, y)) {
            setLastCommand(lang::String(CHANGE_PROFILE));
            return COMMAND_READY;
        }
    }
    return result;
}
