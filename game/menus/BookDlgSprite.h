// BookDlgSprite.h: the chapter book (for now only its class, so that
// the data makes it by name; its behaviour is not written yet).
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class BookDlgSprite : public sprite::DialogSprite {
public:
    BookDlgSprite() : sprite::DialogSprite(false) {}

    HV_CLASS_NAME("BookDlgSprite", sprite::DialogSprite)
    HV_DECLARE_METACLASS(BookDlgSprite);
};
