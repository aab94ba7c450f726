// PipesCU.h: the pipes close-up, opened from the fountain close-up: a board
// of pipe pieces that a click turns a quarter turn clockwise. Water runs in
// from the left of the start cell and from the right of the end cell, and
// every piece it reaches glows; with every piece at its solution angle the
// board sparkles, the reached pieces take their repaired look, the fountain's
// script hears "setFountainFixedPipes" and the board shrinks away.
#pragma once

#include "scenes/pipes/PipesBoard.h"
#include "sprites/dialogs/DialogSprite.h"

#include <vector>

class Room;

namespace sprite {
class ScalerSprite;
}

class PipesCU : public sprite::DialogSprite {
public:
    // Its mini-game instructions.
    static constexpr int INSTRUCTIONS_GAME = 0;
    // The room whose "DimOverlay" darkens behind the board.
    static constexpr int FOUNTAIN_ROOM = 7;
    // The board opens and closes over this many frames, centred here.
    static constexpr int GROW_FRAMES = 9;
    static constexpr int CENTRE_X = 400;
    static constexpr int CENTRE_Y = 300;
    // The pieces' grid: the first piece's place and the step between pieces.
    static constexpr int PIECE_ORIGIN = 63;
    static constexpr int PIECE_STEP = 85;
    // Presses and the pointer are taken this far below the board's top.
    static constexpr int HIT_TOP = 20;
    // A quarter turn takes this many ticks.
    static constexpr int TURN_TICKS = 4;
    // The win sparkles run this far in this many ticks.
    static constexpr int SPARKLE_RUN = 800;
    static constexpr int SPARKLE_TICKS = 30;
    // The reached pieces fade to a blue white over this many steps.
    static constexpr int COLOUR_STEPS = 48;
    // Cursors: the spin cursor over a piece, else the normal one.
    static constexpr int CURSOR_SPIN = 11;
    static constexpr int CURSOR_NORMAL = 8;
    // Sounds.
    static constexpr int SOUND_GROW = 41;
    static constexpr int SOUND_TURN = 42;
    static constexpr int SOUND_REACHED = 43;
    static constexpr int SOUND_SPARKLES = 44;
    static constexpr int SOUND_COLOUR = 49;
    // The id of the event that tells the host of the repair.
    static constexpr int HOST_EVENT_ID = 7;
    // The end glows are clones of this glow.
    static constexpr int END_GLOW = 3;

    // The board's commands, as the ends of its animations send them.
    enum Command {
        ROTATE_COMPLETE,
        SPARKLE_DONE,
        COLOUR_CHANGE_DONE,
        PUZZLE_SHRINK,
        PUZZLE_GROW_FIRST,
        PUZZLE_GROW,
    };
    static const char* const kCommands[6];

    PipesCU();
    ~PipesCU() override;

    HV_CLASS_NAME("PipesCU", sprite::DialogSprite)
    HV_DECLARE_METACLASS(PipesCU);

    // Reads the board and lays its pieces out at their start angles; a
    // faulty board or a missing sprite is reported and the board stays empty.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    int mouseDown(window::Event* e) override;
    bool mouseMove(window::Event* e) override;
    bool handleEvent(window::Event* e) override;
    // Hidden at once, calling off its waits, its host room undimmed and no
    // longer paused.
    void closeNow() override;

    void setOrigin(int x, int y)
    {
        m_nOriginX = x;
        m_nOriginY = y;
    }
    void setHost(Room* host) { m_pHost = host; }
    Room* getHost() const { return m_pHost; }
    // Opens the board from its origin over the fountain room.
    void grow();
    // Closes it back to its origin.
    void shrinkOut();
    // Every piece back at its start angle, no glow, not solved.
    void resetPipes();
    // Every piece at its solution angle; sets solved.
    bool isSolved();
    // The flow from both ends, and the glows of the pieces it reaches.
    void updateFlow();
    // Highlights the turnable piece under (x, y); whether there is one.
    bool updateHighlight(int x, int y);
    // Input is taken: no transition runs, no instructions show, not solved.
    bool canAcceptInput();
    // Runs one of the board's commands.
    void handleCommand(int command);

    PipesBoard& board() { return m_board; }
    bool isBuilt() const { return m_bBuilt; }
    bool getSolved() const { return m_bSolved; }
    sprite::ScalerSprite* pieceSprite(int cell) const;
    sprite::SpriteBase* glowSprite(int cell) const;
    sprite::ScalerSprite* endGlow(int i) const { return m_endGlows[size_t(i)]; }

private:
    struct Piece {
        sprite::ScalerSprite* sprite = nullptr;
        sprite::SpriteBase* glow = nullptr;
    };

    // The cell's piece made afresh from its kind's template, at its place.
    void placePiece(int cell, int kind, double angle);
    // The piece sprites' angles into the board's cells.
    void readAngles();
    void showFlowGlows();
    // The first turnable piece under the point (relative to the board).
    int pieceAt(int x, int y);
    void startTurn(int cell);
    void rotateComplete();
    void startWinSparkles();
    void swapReachedPieces();
    void colourReachedPipes();
    void colourChangeDone();
    void puzzleShrink();
    // The fountain room's "DimOverlay".
    sprite::SpriteBase* dimOverlay();

    PipesBoard m_board;
    std::vector<Piece> m_pieces;
    std::vector<sprite::ScalerSprite*> m_endGlows;
    bool m_bBuilt;
    int m_nOriginX;
    int m_nOriginY;
    int m_nCentreX;
    int m_nCentreY;
    bool m_bSolved;
    Room* m_pHost;
};
