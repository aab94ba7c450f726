// MenuSprite.cpp: the metaclass of MenuSprite.
#include "game/menus/MenuSprite.h"

#include "sprites/text/TextSprite.h"

HV_DEFINE_METACLASS(MenuSprite);

void MenuSprite::setProfileName(const lang::String& name)
{
    sprite::SpriteBase* text = getSprite("ProfileName");
    if (!text)
        return;
    if (text->isInstanceOf("TextSprite"))
        static_cast<sprite::TextSprite*>(text)->setText(name);
    text->setVisible(true);
}

void MenuSprite::hideProfileName()
{
    if (sprite::SpriteBase* text = getSprite("ProfileName"))
        text->setVisible(false);
}
