// BookDlgSprite.cpp: the metaclass of BookDlgSprite.
#include "game/menus/BookDlgSprite.h"

HV_DEFINE_METACLASS(BookDlgSprite);

int BookDlgSprite::filterCommand(lang::String* command, lang::String* out)
{
    if (command && (command->equalsIgnoreCase("ResumeGame") || command->equalsIgnoreCase("EndGame")))
        setVisible(false);
    return sprite::DialogSprite::filterCommand(command, out);
}
