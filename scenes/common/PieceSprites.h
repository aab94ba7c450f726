// PieceSprites.h: the movable pieces of the block and lock puzzles: button
// sprites that show frame 0, their rollover look on frame 1, and are enabled
// for the pointer; a board's pieces are made as clones of a prototype.
#pragma once

namespace sprite {
class ButtonSprite;
class DialogSprite;
class FancyContainer;
} // namespace sprite

class PieceSprites {
public:
    // The room's child of that name when it is a button sprite; null after
    // a debug line otherwise.
    static sprite::ButtonSprite* find(sprite::DialogSprite* room, const char* name);
    // Frame 0; the state frames rollover 1, normal and disabled 0 (selected
    // none, pressed as rollover); enabled unless it is selected.
    static void setUp(sprite::ButtonSprite* piece);
    // A clone of the prototype, set up, visible, with its left and top at
    // (left, top), on top of the container (which holds it; the pointer is
    // borrowed). Null for a null prototype.
    static sprite::ButtonSprite* place(sprite::FancyContainer* board, sprite::ButtonSprite* prototype, int left,
                                       int top);
};
