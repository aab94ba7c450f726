// BookDlgSprite.h: the chapter book (for now the pause screen: it opens,
// and closes on its resume and end buttons; its pages are not written yet).
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class BookDlgSprite : public sprite::DialogSprite {
public:
    BookDlgSprite() : sprite::DialogSprite(false) {}

    HV_CLASS_NAME("BookDlgSprite", sprite::DialogSprite)
    HV_DECLARE_METACLASS(BookDlgSprite);

    // The book opens at a chapter (its pages are not written yet: it shows).
    void open(int, bool) { setVisible(true); }
    // "ResumeGame" and "EndGame" close the book and go on to the canvas.
    int filterCommand(lang::String* command, lang::String* out) override;
};
