// GenericDialog.h: a small message dialog with up to two answers (the
// confirmation before a profile is deleted, the notice that a name exists):
// its first and second buttons give the commands it was opened with, and it
// closes on either.
#pragma once

#include "core/lang/String.h"
#include "sprites/dialogs/DialogSprite.h"

class GenericDialog : public sprite::DialogSprite {
public:
    // The kinds open() knows.
    static constexpr int KIND_DELETE = 0;
    static constexpr int KIND_NOTICE = 1;
    // The key that presses the default button.
    static constexpr int KEY_ENTER = 13;

    GenericDialog();

    HV_CLASS_NAME("GenericDialog", sprite::DialogSprite)
    HV_DECLARE_METACLASS(GenericDialog);

    // Keeps the two commands, shows the kind's buttons and title and puts
    // the message in "messageText". Another kind leaves the buttons, titles
    // and default button as they were.
    void open(int kind, lang::String message, lang::String firstCommand, lang::String secondCommand);
    // A click on one of the dialog's buttons: the dialog closes; a "b1..."
    // button gives the first command and a "b2..." button the second (1),
    // any other name nothing (0).
    int filterCommand(lang::String* buttonName, lang::String* command) override;
    // Enter presses the default button while it shows: the last command
    // becomes its command (1). Any other key: 0.
    int keyDown(int key) override;

    const lang::String& getFirstCommand() const { return m_firstCommand; }
    const lang::String& getSecondCommand() const { return m_secondCommand; }
    // The name of the button Enter presses; empty when there is none.
    const lang::String& getDefaultButton() const { return m_defaultButton; }

private:
    lang::String m_firstCommand;
    lang::String m_secondCommand;
    lang::String m_defaultButton;
};
