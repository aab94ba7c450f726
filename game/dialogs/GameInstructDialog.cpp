// GameInstructDialog.cpp: the metaclass of GameInstructDialog and the
// buttons that close it.
#include "game/dialogs/GameInstructDialog.h"

#include "game/canvas/LanternfieldCanvas.h"

HV_DEFINE_METACLASS(GameInstructDialog);

int GameInstructDialog::translateCommand(lang::String* command, lang::String*, int)
{
    if (!command || !(command->equalsIgnoreCase("playButton") || command->equalsIgnoreCase("insQuestionMark") ||
                      command->equalsIgnoreCase("closeButton")))
        return KEEP_COMMAND;
    setVisible(false);
    if (LanternfieldCanvas* canvas = LanternfieldCanvas::instance) {
        canvas->showGameInsQuestionMark();
        canvas->showSprite("GameInsDimmer", false);
    }
    // The press is taken here; the canvas's command stays empty.
    return REPLACE_COMMAND;
}
