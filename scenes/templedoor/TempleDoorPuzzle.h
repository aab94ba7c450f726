// TempleDoorPuzzle.h: the sliding-block lock of the temple door (room 61).
// Blocks of one or two cells each way slide on a board of 60-pixel cells
// that is not a full rectangle (some cells are walled); each drag takes the
// axis of the pointer's first movement, and the key leaves at the top. The
// two boards are data; the walls and a set of per-board rules that hold
// blocks back are fixed here and match those two boards. The room tells its
// script when the player closes it or solves the board, when a stone pulled
// stays where it stood, and when a stone moves.
#pragma once

#include "game/rooms/Room.h"
#include "scenes/common/BlockDrag.h"
#include "scenes/common/BlockGrid.h"
#include "scenes/common/BlockLayouts.h"

#include <vector>

namespace sprite {
class ButtonSprite;
}

namespace window {
class Event;
}

class TempleDoorPuzzle : public Room {
public:
    // Drag axes of a block: not yet decided, up and down, left and right.
    static constexpr int UNDECIDED = -1;
    static constexpr int VERTICAL = 1;
    static constexpr int HORIZONTAL = 2;
    // Block kinds: one cell, two tall, two wide, two by two.
    static constexpr int KIND_SINGLE = 1;
    static constexpr int KIND_TALL = 2;
    static constexpr int KIND_WIDE = 3;
    static constexpr int KIND_SQUARE = 4;

    // One block on the board.
    struct BlockInfo {
        // Its button sprite, a clone of a prototype (held by the room).
        sprite::ButtonSprite* sprite = nullptr;
        int kind = KIND_SINGLE;
        // The cell of its top-left corner, kept up to date while dragged.
        int cell = 0;
        // The axis of the drag under way; UNDECIDED when built and after
        // every release.
        int dragOrientation = UNDECIDED;
        bool key = false;
    };

    // The cells are 60 pixels square.
    static constexpr int CELL_SIZE = 60;
    // The numbers of a puzzle's header and of a block in the layout table.
    static constexpr int HEADER_SIZE = 7;
    static constexpr int BLOCK_SIZE = 2;
    // Sound table entries: a block picked up, dropped.
    static constexpr int SOUND_PICK_UP = 227;
    static constexpr int SOUND_DROP = 13;
    // The mini-game of its instructions.
    static constexpr int INSTRUCTIONS_GAME = 13;
    // The room's table in `rooms`.
    static const char kScriptTable[];

    TempleDoorPuzzle();
    ~TempleDoorPuzzle() override;

    HV_CLASS_NAME("TempleDoorPuzzle", Room)
    HV_DECLARE_METACLASS(TempleDoorPuzzle);

    // Reads and checks the layout table.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // Puzzle mode, the instructions queued, the close button enabled and
    // the key's sparkle hidden; the board stays as it was.
    void onEnter() override;
    void onExit() override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;
    // The question mark, the close and reset buttons, then picking a block up.
    int mouseDown(window::Event* e) override;
    // Drags the block along the axis of the first movement between its limits.
    bool mouseMove(window::Event* e) override;
    // Drops the block on the nearest cell and tests the key; a pull that
    // left it where it stood is told to the script as "cannotMove", a move
    // as "stoneMoved".
    int mouseUp(window::Event* e) override;

    // Puzzle n built at once (an unknown or broken one leaves the board empty).
    void setupPuzzle(int n);

    // The width and height of a block kind in cells (1 for an unknown kind).
    static int widthOf(int kind) { return kind == KIND_WIDE || kind == KIND_SQUARE ? 2 : 1; }
    static int heightOf(int kind) { return kind == KIND_TALL || kind == KIND_SQUARE ? 2 : 1; }
    // The walled cells of puzzle n.
    static std::vector<int> walledCells(int n);

    bool isSolved() const { return m_bSolved; }
    int getCurrentPuzzle() const { return m_nCurrentPuzzle; }
    int getPuzzleCount() const { return m_nPuzzleCount; }
    int getTargetCell() const { return m_nTargetCell; }
    const BlockGrid& getGrid() const { return m_grid; }
    const std::vector<BlockInfo>& getBlocks() const { return m_blocks; }
    const std::vector<int>& getWalledCells() const { return m_walled; }
    // The dragged block's index in the list, -1 when none.
    int getDraggedBlock() const { return m_nDragged; }
    int getDragOrientation() const { return m_nDragOrientation; }
    int getLowestX() const { return m_nLowestX; }
    int getHighestX() const { return m_nHighestX; }
    int getLowestY() const { return m_nLowestY; }
    int getHighestY() const { return m_nHighestY; }

    // Input is taken: the instructions do not show and the board is not solved.
    bool isInputEnabled();

private:
    // What a probe at a point finds.
    enum Probe { FREE, WALL, BLOCK };
    // The end of a scan along a row or column: where it stopped and the
    // counter's last value.
    struct Scan {
        int position;
        int counter;
    };

    // The blocks' sprites leave the room, last first; no walls.
    void clearBoard();
    // The blocks of a layout, checked against its board; bad ones reported.
    void placeBlocks(const BlockLayouts::Layout& layout, int n);
    // The limits of the dragged block along both axes.
    void computeDragLimits();
    int lowestX(const BlockInfo& block);
    int highestX(const BlockInfo& block);
    int lowestY(const BlockInfo& block);
    int highestY(const BlockInfo& block);
    // Scans from `from` backwards (left or up) along the row at `y` or the
    // column at `x`, while the counter stays at 0 or above and the probe
    // on the board, until a wall or a block.
    Scan scanBack(bool horizontal, int from, int across, int counter);
    // Scans forwards (right or down) while the counter stays at most
    // `limit`: a block sets the position `extent` before its near edge.
    Scan scanForward(bool horizontal, int from, int across, int counter, int limit, int extent);
    // What stands at a point: a wall outside the grid or on a walled cell,
    // else the first block other than the dragged one whose sprite holds it.
    Probe probe(int x, int y, BlockInfo** hit = nullptr);
    BlockInfo* findBlockAt(int x, int y);
    BlockInfo* dragged() { return m_nDragged >= 0 ? &m_blocks[size_t(m_nDragged)] : nullptr; }
    // The key is out: the sparkle on it and the script told (which may
    // build another board, so the key is a copy).
    void onSolved(BlockInfo key);
    // Runs rooms.TempleDoorPuzzle[function](current room, current puzzle);
    // a notice the script leaves undefined is skipped.
    void tellScript(const char* function, bool notice = false);

    BlockGrid m_grid;
    int m_nTargetCell;
    int m_nPuzzleCount;
    int m_nCurrentPuzzle;
    int m_nDragged;
    int m_nDragOrientation;
    int m_nLowestX;
    int m_nHighestX;
    int m_nLowestY;
    int m_nHighestY;
    BlockDrag m_drag;
    bool m_bSolved;
    std::vector<BlockLayouts::Layout> m_layouts;
    std::vector<BlockInfo> m_blocks;
    std::vector<int> m_walled;
};
