// SlideBlockPuzzle.h: the sliding-block lock inside the treasure chest (room
// 8). Blocks one cell thick slide along their own axis on a grid of square
// cells; the key block is to be slid out through the exit on the right. The
// layouts are the numbers of the room's definition, and the chest close-up
// (TreasureChestCU, which hosts this room) picks the board, starts the chest
// doors that close over every rebuild, and reads the solved and
// close-requested flags: the room itself tells its script nothing.
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

class SlideBlockPuzzle : public Room {
public:
    // Block axes.
    static constexpr int VERTICAL = 1;
    static constexpr int HORIZONTAL = 2;

    // One block on the board.
    struct BlockInfo {
        // Its button sprite, a clone of a prototype (held by the room).
        sprite::ButtonSprite* sprite = nullptr;
        // Its extent in cells along its axis.
        int length = 1;
        // The cell of its top-left corner, kept up to date while dragged.
        int cell = 0;
        int orientation = HORIZONTAL;
        bool key = false;
    };

    // The cells are 42 pixels square.
    static constexpr int CELL_SIZE = 42;
    // The numbers of a puzzle's header and of a block in the layout table.
    static constexpr int HEADER_SIZE = 5;
    static constexpr int BLOCK_SIZE = 3;
    // Puzzles from this number on use the gold blocks and key.
    static constexpr int FIRST_GOLD_PUZZLE = 12;
    // Sound table entries: a block picked up, dropped, the doors.
    static constexpr int SOUND_PICK_UP = 12;
    static constexpr int SOUND_DROP = 13;
    static constexpr int SOUND_DOORS = 14;
    // The mini-game of its instructions.
    static constexpr int INSTRUCTIONS_GAME = 1;
    // The doors wipe shut and open again in 10 frames each way, and wait 5
    // frames between the two while the board is rebuilt behind them; the
    // left door wipes toward the right, the right door toward the left.
    static constexpr int DOOR_FRAMES = 10;
    static constexpr int DOOR_OPEN_DELAY = 5;
    static constexpr int WIPE_RIGHTWARD = 102;
    static constexpr int WIPE_LEFTWARD = 100;
    // The god rays play at 2 ticks a frame.
    static constexpr int GOD_RAY_RATE = 2;

    SlideBlockPuzzle();
    ~SlideBlockPuzzle() override;

    HV_CLASS_NAME("SlideBlockPuzzle", Room)
    HV_DECLARE_METACLASS(SlideBlockPuzzle);

    // Reads and checks the layout table, finds the doors (the right ones
    // mirrored) and hides the god rays.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // Puzzle mode, the instructions queued, the close button enabled.
    void onEnter() override;
    void onExit() override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;
    // The close and reset buttons, then picking a block up.
    int mouseDown(window::Event* e) override;
    // Drags the block along its axis between its limits.
    bool mouseMove(window::Event* e) override;
    // Drops the block on the nearest cell and tests the key.
    int mouseUp(window::Event* e) override;
    // The ends of the door wipes and of the god rays.
    bool handleEvent(window::Event* e) override;

    // Puzzle n built at once (an unknown or broken one leaves the board empty).
    void buildBoard(int n);
    // The doors close, puzzle n is built behind them, they open again.
    void startDoorAnimation(int n);
    // The chapter's god rays over the key play once.
    void showGodRays();
    // The four doors hidden.
    void hideDoors();
    // The key block's sprite, or null.
    sprite::ButtonSprite* getKeyBlock();
    // The distance that takes the key block off the board to the right; 0
    // without a key block.
    int getKeyBlockColumnDeltaX();
    void setBoardCenter(int x, int y);
    void enableCloseButton(bool enable);

    bool isLocked() const { return m_bLocked; }
    void setLocked(bool locked) { m_bLocked = locked; }
    bool isSolved() const { return m_bSolved; }
    void clearSolved() { m_bSolved = false; }
    bool isCloseRequested() const { return m_bCloseRequested; }
    void clearCloseRequested() { m_bCloseRequested = false; }
    bool isBusy() const { return m_bBusy; }
    int getCurrentPuzzle() const { return m_nCurrentPuzzle; }
    int getPuzzleCount() const { return m_nPuzzleCount; }
    int getTargetCell() const { return m_nTargetCell; }
    int getPendingDoorActions() const { return m_nPendingDoorActions; }
    const BlockGrid& getGrid() const { return m_grid; }
    const std::vector<BlockInfo>& getBlocks() const { return m_blocks; }
    // The dragged block's index in the list, -1 when none.
    int getDraggedBlock() const { return m_nDragged; }
    int getLowestPosition() const { return m_nLowest; }
    int getHighestPosition() const { return m_nHighest; }

    // Input is taken: no door cycle runs, the instructions do not show and
    // the host has not locked the board.
    bool isInputEnabled();

private:
    // The blocks' sprites leave the room, last first.
    void clearBoard();
    // The limits of the dragged block along its axis.
    void computeDragLimits();
    // The first block other than the dragged one whose sprite holds the
    // point, or null.
    BlockInfo* findBlockAt(int x, int y);
    BlockInfo* dragged() { return m_nDragged >= 0 ? &m_blocks[size_t(m_nDragged)] : nullptr; }
    // The blocks of a layout, checked against its board; bad ones reported.
    void placeBlocks(const BlockLayouts::Layout& layout, int n);
    // The chapter's pair of doors: the gold pair in chapter 6.
    sprite::SpriteBase* leftDoor();
    sprite::SpriteBase* rightDoor();
    // The door cycle: doors shut (rebuild), doors open (done).
    void doorsClosed();
    void doorsOpened();
    // The doors still wiping after a rebuild wait 5 frames and report
    // their opening; how many do.
    int handOverDoors();
    void showKeyOverlay();

    bool m_bLocked;
    BlockGrid m_grid;
    int m_nCenterX;
    int m_nCenterY;
    int m_nTargetCell;
    int m_nLowest;
    int m_nHighest;
    int m_nDragOrientation;
    BlockDrag m_drag;
    int m_nPuzzleCount;
    int m_nCurrentPuzzle;
    bool m_bSolved;
    bool m_bCloseRequested;
    bool m_bBusy;
    int m_nDragged;
    sprite::SpriteBase* m_pLeftDoor;
    sprite::SpriteBase* m_pRightDoor;
    sprite::SpriteBase* m_pLeftGoldDoor;
    sprite::SpriteBase* m_pRightGoldDoor;
    int m_nPendingDoorActions;
    std::vector<BlockLayouts::Layout> m_layouts;
    std::vector<BlockInfo> m_blocks;
};
