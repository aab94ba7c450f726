// BlockDrag.h: the drag of one block on a sliding-block board, done alike by
// the chest's board and the temple door's: where the pointer took hold of
// the block and where the block stood, the place a pointer position gives
// the block along its axis between its limits, and whether and where a
// release lets it go; and what counts as a pull rather than a click.
#pragma once

class BlockGrid;

namespace sprite {
class DialogSprite;
class SpriteBase;
}

namespace window {
class Event;
}

class BlockDrag {
public:
    // A release this many pixels or more from its press, along either axis,
    // is a pull on what was taken up; a shorter one is a click.
    static constexpr int PULL_DISTANCE = 12;
    // The release at (x, y) after a press at (pressX, pressY) is a pull.
    static bool isPull(int pressX, int pressY, int x, int y);

    // The block is taken at (x, y), in the room's coordinates, where it stands.
    void pick(sprite::SpriteBase* block, int x, int y);
    // No press is held any more (a new board).
    void clearPress();
    // The place the pointer at (px, py) gives the block: along its axis the
    // pointer keeps its hold on the block, across it the block stays. False
    // when that place leaves the board (up to `overhang` past its right edge
    // allowed): the block does not move at all then. Otherwise the place is
    // clamped into [lowest, highest] along the axis and is the last drag.
    bool follow(const BlockGrid& grid, sprite::SpriteBase* block, bool horizontal, int overhang, int px,
                int py, int lowest, int highest, int& x, int& y);
    // The block is let go by the release `e`: whether it stands elsewhere
    // along its axis than where it was taken, and then where it was let go
    // in the room's coordinates (the last place a move gave it, else the
    // event's point).
    bool letGo(sprite::DialogSprite* room, const window::Event* e, sprite::SpriteBase* block, bool horizontal,
               int& x, int& y) const;

    int pressX() const { return m_nPressX; }
    int pressY() const { return m_nPressY; }

private:
    int m_nPressX = -1;
    int m_nPressY = -1;
    // The pointer's distance from the block's left and top edges.
    int m_nGrabX = -1;
    int m_nGrabY = -1;
    int m_nStartX = -1;
    int m_nStartY = -1;
    // Kept after a drop: a later release without a move reads it.
    int m_nLastX = -1;
    int m_nLastY = -1;
};
