// Maze.h: the hedge maze (room 20): the player leads a traveller token with
// the pointer (dragged, or picked up by a click) from the start cell at the
// entrance through a grid of hedge cells to the end cell, from which it
// climbs out of the exit at the top by itself. Cells not yet visited lie
// under fog, and a flashlight cut out of the fog follows the token. Leaving
// through the exit calls the script's "solvedMaze"; the close button goes
// back to the hedge maze's front (room 15).
#pragma once

#include "game/rooms/Room.h"
#include "scenes/common/ClickOrDrag.h"
#include "scenes/maze/MazeGrid.h"

#include <vector>

namespace window {
class Event;
class Graphics;
} // namespace window

class Maze : public Room {
public:
    using Cell = MazeGrid::Cell;

    // The room the close button leads back to.
    static constexpr int HEDGE_MAZE_FRONT = 15;
    // The mini-game of its instructions, which open this many frames after
    // entering.
    static constexpr int INSTRUCTIONS_GAME = 6;
    static constexpr int INSTRUCTIONS_DELAY = 36;
    // Picking the token up.
    static constexpr int SOUND_PICK_UP = 121;
    // The pulsing token stands this much further left and up than the token.
    static constexpr int PULSE_OFFSET = 16;
    // The maze is solved once the pulsing token's top comes within this
    // many pixels below the top of "WinningRect".
    static constexpr int WIN_MARGIN = 10;
    // The token follows the pointer in steps of at most this many pixels,
    // each held to the corridor it stands in, so that a fast pointer leads
    // it along the hedges rather than through them.
    static constexpr int FOLLOW_STEP = 4;
    // In the end cell the token climbs out by itself this many pixels a frame.
    static constexpr int CLIMB_STEP = 4;
    // A release this close to its press, on both axes, keeps the token held.
    static constexpr int CLICK_SLACK = 3;
    // The fog tiles' colour balance: nearly opaque, colours as drawn.
    static constexpr int FOG_ALPHA = 123;
    static constexpr int FOG_TINT = 128;
    // The room's table in `rooms`.
    static const char kScriptTable[];

    // Nothing built: no cells, no flashlight, no press yet.
    Maze();
    // Frees the cells and removes the hedges, the fog, the flashlight and
    // the fog frames.
    ~Maze() override;

    HV_CLASS_NAME("Maze", Room)
    HV_DECLARE_METACLASS(Maze);

    // Reads the grid and makes the flashlight, the fog frames and the cells;
    // a faulty grid or a missing sprite is reported and the maze stays empty.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The room's drawing, then the fog outside the flashlight and, above
    // it, the fog frames and the close button.
    void draw(window::Graphics* g) override;
    // Places the token sprites, and climbs it out of the end cell; nothing
    // ticks while the instructions show or the game does not play.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // The question mark, the room's own handling and its close button, then
    // picking the token up (or putting it down).
    int mouseDown(window::Event* e) override;
    // A release away from its press, or more than 550 ms after it, puts
    // the token down.
    int mouseUp(window::Event* e) override;
    // Moves the token with the pointer while it is held.
    bool mouseMove(window::Event* e) override;
    void onEnter() override;
    void onExit() override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;
    // Debug mode only: 'f' the flashlight on or off, 'w' the grid dump, 'g'
    // a new random grid.
    void keyPressed(int key) override;

    // Lays the board out afresh from the cells: the token at the start,
    // hedges, gates, border, fog, the flashlight on.
    void layoutBoard();
    void buildHedges();
    void buildFog();
    void updateTravelBounds(int row, int column);
    // The token follows the pointer at (x, y), held where it was taken, as
    // far as the hedges let it; in the end cell the climb takes over.
    void moveTraveler(int x, int y);
    void centerFlashlight(int x, int y);
    void removeHedges();
    void releaseFog();
    void releaseCells();
    int cellRow(int index) const { return m_grid.cellRow(index); }
    int cellColumn(int index) const { return m_grid.cellColumn(index); }
    int cellIndex(int row, int column) const { return m_grid.cellIndex(row, column); }

    // The debug tools: a random grid of the same size, start and end, and a
    // dump of the grid to the debugger output and "MazeTEST.txt".
    void generate();
    void writeGridDump();

    MazeGrid& grid() { return m_grid; }
    bool isBuilt() const { return m_bBuilt; }
    int getTravelerX() const { return m_nTravelerX; }
    int getTravelerY() const { return m_nTravelerY; }
    const MazeGrid::Bounds& getTravelBounds() const { return m_bounds; }
    int getLastUncovered() const { return m_nLastUncovered; }
    bool isDragging() const { return m_bDragging; }
    bool isFlashlightOn() const { return m_bFlashlightOn; }
    bool isSolved() const { return m_bSolved; }
    bool isClimbing() const { return m_bClimbing; }
    sprite::SpriteBase* getFlashlight() const { return m_pFlashlight; }
    const std::vector<sprite::SpriteBase*>& getFogTiles() const { return m_fogTiles; }
    int getHedgeCount() const { return int(m_hedges.size()); }

private:
    // The traveller's sprites at its position; the pulsing one 16 pixels up
    // and to the left.
    void placeTraveler();
    // The named sprite of the definition moved, and brought to the front.
    void placeOnTop(const char* name, int x, int y);
    // The border sprite sized (when it can be) and placed.
    void placeBorder(const char* name, int width, int height, int x, int y);
    // Whether the point lies on the token or its pulsing ring.
    bool isOnTraveler(int x, int y);
    // The cell the token's corner stands in is uncovered; true in the end cell.
    bool uncoverHere();
    // One frame of the climb out of the end cell; the win once the ring
    // meets the exit.
    void climb();

    MazeGrid m_grid;
    // The grid and the sprites the maze needs were found.
    bool m_bBuilt;
    int m_nTravelerX;
    int m_nTravelerY;
    int m_nLastUncovered;
    MazeGrid::Bounds m_bounds;
    bool m_bDragging;
    bool m_bFlashlightOn;
    bool m_bSolved;
    // The token is in the end cell and climbs out by itself.
    bool m_bClimbing;
    // Where on the token the pointer took it: pointer less token corner.
    int m_nGrabX;
    int m_nGrabY;
    sprite::SpriteBase* m_pFlashlight;
    ClickOrDrag m_press;
    // The hedge children "Hedge_<i>" (owned by the room's child list).
    std::vector<sprite::SpriteBase*> m_hedges;
    // The fog tiles, one per cell in cell order; drawn by the room itself.
    std::vector<sprite::SpriteBase*> m_fogTiles;
    sprite::SpriteBase* m_fogFrames[4];
};
