// GenericDialog.cpp: the message dialog's kinds, buttons and keys.
#include "game/dialogs/GenericDialog.h"

#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/ImageSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "sprites/text/TextSprite.h"

HV_DEFINE_METACLASS(GenericDialog);

namespace {

using sprite::ButtonMixin;

// Whether each kind shows a button (in state 1) or hides it (in state 0).
struct ButtonLook {
    const char* name;
    bool inDelete;
    bool inNotice;
};

const ButtonLook kButtons[] = {
    {"b1OK", false, true},
    {"b1Delete", true, false},
    {"b1Clear", false, false},
    {"b2Cancel", true, false},
};

} // namespace

GenericDialog::GenericDialog() : sprite::DialogSprite(false), m_firstCommand(""), m_secondCommand(""), m_defaultButton("") {}

void GenericDialog::open(int kind, lang::String message, lang::String firstCommand, lang::String secondCommand)
{
    m_firstCommand = firstCommand;
    m_secondCommand = secondCommand;
    m_defaultButton = "";
    const bool known = kind == KIND_DELETE || kind == KIND_NOTICE;
    for (const ButtonLook& look : kButtons) {
        sprite::SpriteBase* sprite = getSprite(look.name);
        if (!sprite)
            continue;
        if (known) {
            const bool shown = kind == KIND_DELETE ? look.inDelete : look.inNotice;
            sprite->setVisible(shown);
            if (ButtonMixin* button = ButtonMixin::fromSprite(sprite)) {
                // Shown: state 1 unless selected; hidden: state 0.
                button->setEnabled(shown);
            }
        }
        // The answers are hit where their pictures are drawn, not in their boxes.
        if (sprite->isInstanceOf("ImageSprite"))
            static_cast<sprite::ImageSprite*>(sprite)->setBoundsHitTest(false);
    }
    if (known) {
        if (sprite::SpriteBase* title = getSprite("DeletePlayerTitle"))
            title->setVisible(kind == KIND_DELETE);
        if (sprite::SpriteBase* title = getSprite("DuplicateNameTitle"))
            title->setVisible(kind == KIND_NOTICE);
        m_defaultButton = kind == KIND_DELETE ? "b1Delete" : "b1OK";
    }
    sprite::SpriteBase* text = getSprite("messageText");
    if (text && text->isInstanceOf("NewFontSprite"))
        static_cast<sprite::NewFontSprite*>(text)->setText(message.c_str());
    else if (text && text->isInstanceOf("TextSprite"))
        static_cast<sprite::TextSprite*>(text)->setText(message);
}

int GenericDialog::filterCommand(lang::String* buttonName, lang::String* command)
{
    setVisible(false);
    if (!buttonName || !command)
        return KEEP_COMMAND;
    if (buttonName->startsWith("b2")) {
        *command = m_secondCommand;
        return REPLACE_COMMAND;
    }
    if (buttonName->startsWith("b1")) {
        *command = m_firstCommand;
        return REPLACE_COMMAND;
    }
    return KEEP_COMMAND;
}

int GenericDialog::keyDown(int key)
{
    if (key != KEY_ENTER || m_defaultButton.isEmpty())
        return NOT_HANDLED;
    sprite::SpriteBase* button = getSprite(m_defaultButton.c_str());
    if (!button || !button->isVisible())
        return NOT_HANDLED;
    lang::String name(m_defaultButton);
    lang::String command("");
    filterCommand(&name, &command);
    m_lastCommand = command;
    return COMMAND_READY;
}
