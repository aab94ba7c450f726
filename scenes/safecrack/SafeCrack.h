// SafeCrack.h: the close-up of the safe lock in the study (room 51), a
// dialog the canvas owns. Up to eight pieces of two kinds slide on a track
// over a 5 x 4 grid of 120-pixel cells; those of kind 1 start in the left
// column, those of kind 2 in the right one (a row whose pieces the definition
// leaves out stays empty), and the lock opens when the two groups have
// changed sides; the line "Progress", when there is one, counts the pieces on
// their far side, says when a pull leaves a piece where it was, and says the
// lock is open as soon as it is. Solving drives eight pistons open in two
// stages, shows the task banner and closes the close-up. Everything is measured in the
// close-up's own coordinates.
#pragma once

#include "sprites/dialogs/DialogSprite.h"

#include <array>
#include <string>

namespace sprite {
class ButtonSprite;
}

namespace window {
class Event;
}

class SafeCrack : public sprite::DialogSprite {
public:
    // Drag types of a piece: not yet decided, up and down, left and right.
    static constexpr int UNDECIDED = -1;
    static constexpr int VERTICAL = 1;
    static constexpr int HORIZONTAL = 2;

    // One piece: the definition's own sprite, where it stands and started.
    struct Piece {
        sprite::ButtonSprite* sprite = nullptr;
        // 1 or 2.
        int type = 1;
        int cell = 0;
        int home = 0;
        int dragType = UNDECIDED;
    };

    // The grid: 5 columns, 4 rows, cells 120 pixels apart from (49, 29).
    static constexpr int COLUMNS = 5;
    static constexpr int ROWS = 4;
    static constexpr int PITCH = 120;
    static constexpr int FIRST_X = 49;
    static constexpr int FIRST_Y = 29;
    // A dropped piece goes on to the next cell when more than this far past
    // a cell's place (less than half a cell: the pieces are hard to pull).
    static constexpr int SNAP = 48;
    // A piece passing within this distance of a cell's place settles there
    // and may turn (compared squared).
    static constexpr int JUNCTION_RADIUS = 16;
    // The pieces of each type, at most (one a row).
    static constexpr int PIECES = 4;
    // The line that counts the pieces home, and its text ("%1" of "%2");
    // its words for a piece that cannot go the way pulled, and for the
    // lock opened.
    static const char kProgressSprite[];
    static const char kProgressText[];
    static const char kBlockedText[];
    static const char kOpenText[];
    // Where the close-up grows from and opens to, over how many frames.
    static constexpr int ORIGIN_X = 152;
    static constexpr int ORIGIN_Y = 358;
    static constexpr int OPEN_X = 454;
    static constexpr int OPEN_Y = 335;
    static constexpr int GROW_FRAMES = 9;
    // The host room's dimming reaches this alpha.
    static constexpr int DIM_ALPHA = 128;
    // The study, its table in `rooms`, and the close-up's mini-game.
    static constexpr int HOST_ROOM = 51;
    static const char kHostTable[];
    static constexpr int INSTRUCTIONS_GAME = 12;
    // Sound table entries: a piece of each type picked up, dropped, solved.
    static constexpr int SOUND_PICK_UP_1 = 208;
    static constexpr int SOUND_PICK_UP_2 = 209;
    static constexpr int SOUND_DROP = 13;
    static constexpr int SOUND_SOLVED = 210;
    // The unlock chain: each stage's pistons move this many frames; the
    // waits between the steps and the banner's time on screen.
    static constexpr int PISTON_FRAMES = 24;
    static constexpr int STAGE_WAIT = 12;
    static constexpr int TASK_WAIT = 24;
    static constexpr int BANNER_FRAMES = 101;

    SafeCrack();
    ~SafeCrack() override;

    HV_CLASS_NAME("SafeCrack", sprite::DialogSprite)
    HV_DECLARE_METACLASS(SafeCrack);

    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The question mark, the close and reset buttons, then picking a piece up.
    int mouseDown(window::Event* e) override;
    // Drags the piece along the axis its first movement and its cell allow,
    // turning at the junctions.
    bool mouseMove(window::Event* e) override;
    // Drops the piece on the nearer cell and tests the goal.
    int mouseUp(window::Event* e) override;
    // The ends of the grow and shrink and the steps of the unlock chain.
    bool handleEvent(window::Event* e) override;
    // Hidden at once, calling off its waits, its host room undimmed and no
    // longer paused.
    void closeNow() override;

    // The point the close-up grows from and shrinks to.
    void setOrigin();
    // Grows open over the room of that index (the study).
    void grow(int hostRoom);
    // Shrinks closed.
    void shrinkOut();
    // The pieces back home and the pistons closed.
    void setupPieces();
    void getGameInstructionsInfo(int& game, int& x, int& y);

    // Input is taken: no grow or shrink runs, the instructions do not show
    // and the safe is not open.
    bool isInputEnabled();
    bool isWon() const { return m_bWon; }
    // The pieces the definition gives, and those of them on their far side.
    int piecesOnTrack() const;
    int piecesHome() const;
    bool isClosing() const { return m_bClosing; }
    int getOriginX() const { return m_nOriginX; }
    int getOriginY() const { return m_nOriginY; }
    // Piece i of type 1 is entry i, of type 2 entry 4 + i.
    const std::array<Piece, 2 * PIECES>& getPieces() const { return m_pieces; }
    // The dragged piece's entry, -1 when none.
    int getDraggedPiece() const { return m_nDragged; }
    int getLowestX() const { return m_nLowestX; }
    int getHighestX() const { return m_nHighestX; }
    int getLowestY() const { return m_nLowestY; }
    int getHighestY() const { return m_nHighestY; }

    // The track: the ways out of a cell (bits), and the piece's place on a
    // cell and the cell under a place.
    static constexpr int EXIT_UP = 1;
    static constexpr int EXIT_DOWN = 2;
    static constexpr int EXIT_LEFT = 4;
    static constexpr int EXIT_RIGHT = 8;
    static int exits(int cell);
    static bool allowsHorizontal(int cell) { return (exits(cell) & (EXIT_LEFT | EXIT_RIGHT)) != 0; }
    static bool allowsVertical(int cell) { return (exits(cell) & (EXIT_UP | EXIT_DOWN)) != 0; }
    static int xOfColumn(int column) { return FIRST_X + PITCH * column; }
    static int yOfRow(int row) { return FIRST_Y + PITCH * row; }
    static int columnOfX(int x) { return (x - FIRST_X) / PITCH; }
    static int rowOfY(int y) { return (y - FIRST_Y) / PITCH; }

private:
    Piece* dragged() { return m_nDragged >= 0 ? &m_pieces[size_t(m_nDragged)] : nullptr; }
    // Picks up the first piece under the local point (kind 1 before kind 2
    // of the same number), with its sound or without.
    void startDrag(int x, int y, bool withSound);
    void computeDragLimits();
    // The piece other than the dragged one that stands on the cell, or null.
    Piece* pieceOn(int row, int column);
    // The dragged piece settles on the cell of its place (X, Y).
    void snapToGrid(int row, int column);
    void onSolved();
    // The line "Progress" counts the pieces home, or shows the line given.
    void showProgress();
    void showLine(const std::string& line);
    // Pistons `first` to `first + count` of a stage move open; the first
    // carries `command`.
    void openPistons(const int* pistons, int count, const char* command);
    // The timer sprite sends `command` after `frames` frames; or nothing.
    void startTimer(int frames, const char* command);
    void cancelTimer();
    // The host room's dimming fades from one alpha to another.
    void fadeHostDim(int from, int to);
    sprite::SpriteBase* hostDim();
    // Runs rooms.MansionStudy[function] on the canvas's current room.
    void tellStudy(const char* function);
    void closeInstructions();
    // The auto-show flag of the scripts for the close-up's instructions.
    bool instructionsAutoShow();

    int m_nHostRoom;
    int m_nOriginX;
    int m_nOriginY;
    int m_nOpenX;
    int m_nOpenY;
    bool m_bWon;
    bool m_bClosing;
    int m_nDragged;
    // The cell the dragged piece was taken from at the press.
    int m_nTakenCell;
    int m_nPressX;
    int m_nPressY;
    int m_nPressRow;
    int m_nPressColumn;
    int m_nGrabX;
    int m_nGrabY;
    int m_nFixedTop;
    int m_nFixedLeft;
    int m_nStartX;
    int m_nStartY;
    int m_nDragType;
    int m_nLastDragX;
    int m_nLastDragY;
    int m_nLowestX;
    int m_nHighestX;
    int m_nLowestY;
    int m_nHighestY;
    std::array<Piece, 2 * PIECES> m_pieces;
};
