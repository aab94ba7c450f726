// PieceSprites.cpp: the pieces of the block and lock puzzles.
#include "scenes/common/PieceSprites.h"

#include "scenes/common/SceneRoom.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/dialogs/DialogSprite.h"
#include "windowing/window/DebugLine.h"

sprite::ButtonSprite* PieceSprites::find(sprite::DialogSprite* room, const char* name)
{
    sprite::SpriteBase* child = SceneRoom::find(room, name);
    if (child && !child->isInstanceOf("ButtonSprite")) {
        window::debugLine(room->getName().c_str(), ": the sprite ", name, " is no ButtonSprite\n");
        return nullptr;
    }
    return static_cast<sprite::ButtonSprite*>(child);
}

void PieceSprites::setUp(sprite::ButtonSprite* piece)
{
    piece->setFrame(0);
    piece->setStateFrames(1, 0, 0, -1, -1, -2, -2);
    piece->setEnabled(true);
}

sprite::ButtonSprite* PieceSprites::place(sprite::FancyContainer* board, sprite::ButtonSprite* prototype, int left,
                                          int top)
{
    if (!prototype)
        return nullptr;
    auto* piece = static_cast<sprite::ButtonSprite*>(prototype->clone());
    setUp(piece);
    piece->setVisible(true);
    piece->setPosition(left, top);
    board->bringToFront(piece);
    piece->release();
    return piece;
}
