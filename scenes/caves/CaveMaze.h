// CaveMaze.h: the cave maze (room 31): cave screens laid out on a grid, one
// shown at a time. Tunnels with torches open to the north, west and east, a
// passage leads south; clicking an open way fades the screen to black, sets
// up the neighbouring screen and fades back in. The gem door screen holds
// the golden door and the gems placed in it; four puzzle screens hold doors
// to the inlay puzzles and show the gem won there. The scripts keep the
// player's screen and the gems' and puzzles' state, and hear of every
// screen shown ("onScreenSetup").
#pragma once

#include "game/rooms/Room.h"
#include "scenes/common/RandomDraw.h"

#include <string>
#include <vector>

namespace window {
class Event;
}

class CaveMaze : public Room {
public:
    // Directions, and the ways of a cell by bit.
    static constexpr int NORTH = 0;
    static constexpr int SOUTH = 1;
    static constexpr int WEST = 2;
    static constexpr int EAST = 3;
    static constexpr int WAY_NORTH = 8;
    static constexpr int WAY_SOUTH = 4;
    static constexpr int WAY_WEST = 2;
    static constexpr int WAY_EAST = 1;
    static constexpr int PUZZLES = 4;
    static constexpr int GEMS = 4;

    // A move: the screen fades to black for 24 frames, the next screen is
    // set up 27 frames later and fades in over 30, then input returns.
    static constexpr int FADE_DONE_FRAMES = 24;
    static constexpr int READY_FRAMES = 27;
    static constexpr int FADE_IN_FRAMES = 30;
    static constexpr int DIM_FRAMES = 30;
    static constexpr int DIM_ALPHA = 128;

    // Sound table entries: the cave's loop, the footsteps of a move.
    static constexpr int SOUND_CAVE_LOOP = 156;
    static constexpr int SOUND_MOVE = 157;

    // The room's table in `rooms`.
    static const char kScriptTable[];

    // One screen of the grid: its ways and the tunnel pictures it shows.
    struct Cell {
        int value = 0;
        sprite::SpriteBase* north = nullptr;
        sprite::SpriteBase* south = nullptr;
        sprite::SpriteBase* west = nullptr;
        sprite::SpriteBase* east = nullptr;
    };

    // An empty grid, no move asked for.
    CaveMaze();

    HV_CLASS_NAME("CaveMaze", Room)
    HV_DECLARE_METACLASS(CaveMaze);

    // The move messages; other commands go to the room.
    void handleAction(lang::Object* sender, lang::String* command) override;
    // The grid, its special screens and the cells' tunnels from the numbers.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The room's own handling, then a click on an open way moves.
    int mouseDown(window::Event* e) override;
    // The cursor of the way or the puzzle door under the pointer.
    bool mouseMove(window::Event* e) override;
    // The scripts' screen is set up.
    void onEnter() override;
    void onExit() override;
    void goToRoom(int index) override;
    // Starts the move asked for; true while a move direction is set.
    bool blocksRoomChange() override;

    // Shows screen s: its things, gems, doors, tunnels and torches.
    void setupScreen(int s);
    // The index 0 to 3 of the puzzle on the current screen; 1 on a screen
    // that holds no puzzle.
    int getPuzzleIndex() const;

    // The draws of the north tunnels' pictures (null: the room's own); the
    // tunnels are chosen again with it.
    void setRandomDraw(RandomDraw* draw);

    bool isScreen(int s) const { return s >= 0 && s < m_nCellCount; }
    int getRowCount() const { return m_nRows; }
    int getColumnCount() const { return m_nColumns; }
    int getStartScreen() const { return m_nStartScreen; }
    int getGemDoorScreen() const { return m_nGemDoorScreen; }
    int getPuzzleScreen(int p) const { return p >= 0 && p < PUZZLES ? m_puzzleScreens[p] : -1; }
    int getCurrentScreen() const { return m_nCurrentScreen; }
    int getMoveDirection() const { return m_nMoveDirection; }
    int getCellCount() const { return m_nCellCount; }
    const Cell& cell(int s) const { return m_cells[size_t(s)]; }
    bool isMoving() const { return m_bMoving; }

    // The native methods of hv.CaveMaze, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // Each cell's tunnel pictures; the north one drawn at random.
    void chooseTunnels();
    // The door of a direction is enabled and the point (room coordinates)
    // lies in it.
    bool isOnOpenDoor(int direction, int x, int y);
    // The direction of the first open door under the point, west, north,
    // south, east; -1 for none.
    int doorUnder(int x, int y);
    // Sends the command to this room's handleAction after `delay` frames.
    void schedule(int delay, const std::string& command);
    // "DimFull" from `from` fading to `to` (hidden at the end when 0).
    void fadeDim(int from, int to);

    int m_colStep[4];
    int m_rowStep[4];
    int m_puzzleScreens[PUZZLES];
    int m_nRows;
    int m_nColumns;
    int m_nStartScreen;
    int m_nGemDoorScreen;
    int m_nCurrentScreen;
    int m_nMoveDirection;
    int m_nCellCount;
    std::vector<Cell> m_cells;
    // A move's fade runs: from its start to the end of the fade-in.
    bool m_bMoving;
    RandomDraw m_ownDraw;
    RandomDraw* m_pDraw;
};
