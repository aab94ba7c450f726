// ProfileInputPrompt.cpp: the new-profile prompt's layout and keys.
#include "game/dialogs/ProfileInputPrompt.h"

#include "core/lang/Owned.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/text/NewFontSprite.h"
#include "windowing/window/Event.h"

HV_DEFINE_METACLASS(ProfileInputPrompt);

namespace {

using sprite::ButtonMixin;

void setButtonState(sprite::SpriteBase* sprite, int state)
{
    if (ButtonMixin* button = ButtonMixin::fromSprite(sprite))
        button->setState(state);
}

} // namespace

ProfileInputPrompt::ProfileInputPrompt() : sprite::DialogSprite(false), m_nMayCancel(0), m_nSubmitX(0), m_nCancelX(0) {}

sprite::NewFontSprite* ProfileInputPrompt::getNameField()
{
    sprite::SpriteBase* name = getSprite("name");
    return name && name->isInstanceOf("NewFontSprite") ? static_cast<sprite::NewFontSprite*>(name) : nullptr;
}

void ProfileInputPrompt::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    if (sprite::NewFontSprite* name = getNameField())
        name->setCursorVisible(true);
    if (sprite::SpriteBase* submit = getSprite("submitNewProfile"))
        m_nSubmitX = submit->left();
    if (sprite::SpriteBase* cancel = getSprite("cancelAddProfile"))
        m_nCancelX = cancel->left();
}

void ProfileInputPrompt::setVisible(bool visible)
{
    if (visible) {
        sprite::SpriteBase* submit = getSprite("submitNewProfile");
        sprite::SpriteBase* cancel = getSprite("cancelAddProfile");
        if (m_nMayCancel == 0) {
            if (cancel)
                cancel->setVisible(false);
            if (submit) {
                // Alone, it stands in the middle under the name.
                submit->setPosition(width() / 2 - submit->width() / 2, submit->top());
                submit->setVisible(true);
            }
        } else {
            if (submit) {
                submit->setPosition(m_nSubmitX, submit->top());
                submit->setVisible(true);
            }
            if (cancel) {
                cancel->setVisible(true);
                setButtonState(cancel, ButtonMixin::NORMAL);
            }
        }
        if (sprite::NewFontSprite* name = getNameField())
            name->setText("");
        setButtonState(submit, ButtonMixin::DISABLED);
    }
    sprite::DialogSprite::setVisible(visible);
}

int ProfileInputPrompt::keyDown(int key)
{
    if (key == KEY_ENTER) {
        ButtonMixin* submit = ButtonMixin::fromSprite(getSprite("submitNewProfile"));
        if (submit && submit->isEnabled()) {
            m_lastCommand = "submitNewProfile";
            return COMMAND_READY;
        }
    } else if (key == KEY_ESCAPE) {
        m_lastCommand = "cancelAddProfile";
        return COMMAND_READY;
    } else if (sprite::NewFontSprite* name = getNameField()) {
        auto* event = new window::Event(this, window::Event::KEY_DOWN, this);
        lang::Owned owned(event);
        event->key = key;
        name->handleKey(event, MAX_NAME_LENGTH, true);
    }
    updateSubmit();
    return NOT_HANDLED;
}

void ProfileInputPrompt::updateSubmit()
{
    ButtonMixin* submit = ButtonMixin::fromSprite(getSprite("submitNewProfile"));
    if (!submit)
        return;
    sprite::NewFontSprite* name = getNameField();
    submit->setEnabled(name && !name->getText().trim().isEmpty());
}
