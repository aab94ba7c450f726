// CircuitBoard.h: the circuit board close-up of the dive-dock interior
// (room 49): four wires to be dragged along the board's channels, each
// between its two poles; wire 1 is laid already. With all four joined the
// task-completed banner shows, the host room's script hears
// "setSolvedCircuitBoard" and the board shrinks away. A wire stopped by a
// wire is told on the line beside the board until a wire moves again.
#pragma once

#include "scenes/circuit/CircuitRouter.h"
#include "sprites/dialogs/DialogSprite.h"

#include <array>
#include <vector>

namespace sprite {
class AnimateSprite;
}

class CircuitBoard : public sprite::DialogSprite, private CircuitRouter::Listener {
public:
    static constexpr int INSTRUCTIONS_GAME = 11;
    // The room the board opens over.
    static constexpr int HOST_ROOM = 49;
    // It grows from here to its centre over this many frames.
    static constexpr int ORIGIN_X = 722;
    static constexpr int ORIGIN_Y = 250;
    static constexpr int CENTRE_X = 420;
    static constexpr int CENTRE_Y = 310;
    static constexpr int GROW_FRAMES = 9;
    // The banner shows this long before the board reports and shrinks.
    static constexpr int SOLVED_WAIT = 85;
    // A straight piece is this thick; a corner stands this far up and left
    // of the head.
    static constexpr int WIRE_THICKNESS = 9;
    static constexpr int CORNER_OFFSET = 22;
    // The definition's numbers: the unit, then the wires' pole pairs.
    static constexpr int NUMBER_COUNT = 1 + 2 * CircuitRouter::WIRES;
    static constexpr int CURSOR_NORMAL = 8;
    // Sounds.
    static constexpr int SOUND_DRAG_START = 100;
    static constexpr int SOUND_DRAG_END = 101;
    static constexpr int SOUND_SOLVED = 200;
    static constexpr int SOUND_WIRE_DONE = 201;

    enum Command { PUZZLE_SHRINK, PUZZLE_GROW, END_TASK_COMPLETED };
    static const char* const kCommands[3];

    CircuitBoard();
    ~CircuitBoard() override;

    HV_CLASS_NAME("CircuitBoard", sprite::DialogSprite)
    HV_DECLARE_METACLASS(CircuitBoard);

    // The unit and the poles; a faulty list or a missing head or pole is
    // reported and the board stays empty.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    int mouseDown(window::Event* e) override;
    int mouseUp(window::Event* e) override;
    bool mouseMove(window::Event* e) override;
    bool handleEvent(window::Event* e) override;
    // Hidden at once, calling off its waits, its host room undimmed and no
    // longer paused.
    void closeNow() override;
    void getGameInstructionsInfo(int& game, int& x, int& y);

    void setOrigin()
    {
        m_nOriginX = ORIGIN_X;
        m_nOriginY = ORIGIN_Y;
    }
    // Opens afresh over room 49: every drawn wire cleared, wire 1 laid (and
    // its poles lit when it joins them).
    void grow();
    void shrinkOut();
    void resetBoard();
    // The press at (x, y) takes up a wire at a pole or at its head.
    void startDrag(int x, int y);
    bool canAcceptInput();
    void onSolved();
    void handleCommand(int command);

    CircuitRouter& router() { return m_router; }
    bool isBuilt() const { return m_bBuilt; }
    bool isReady() const { return m_bReady; }
    int getUnit() const { return m_nUnit; }
    int tileSpriteCount(int wire) const { return int(m_tiles[size_t(wire)].size()); }
    sprite::SpriteBase* tileSprite(int wire, int i) const { return m_tiles[size_t(wire)][size_t(i)]; }

private:
    void tileAdded(int wire, const CircuitRouter::Tile& tile) override;
    void tileRemoved(int wire) override;
    void tilesCleared(int wire) override;
    void headPlaced(int wire, int x, int y) override;
    void headShown(int wire, bool shown) override;
    void dragEnded(int wire) override;
    void wireCompleted(int wire, bool all) override;
    void boardCompleted() override;
    void wireStopped(int wire) override;

    void polesToFront();
    // The line beside the board says a wire was stopped by a wire, or is hidden.
    void sayStopped(bool shown);
    // Both poles of the wire lit (the last frame) or dark (frame 0).
    void lightPoles(int wire, bool lit);
    // The host room's "DimOverlay".
    sprite::SpriteBase* dimOverlay();
    // The current room's own script table hears the function.
    void tellCurrentRoom(const char* function);

    CircuitRouter m_router;
    bool m_bBuilt;
    int m_nHostRoom;
    int m_nOriginX;
    int m_nOriginY;
    int m_nCentreX;
    int m_nCentreY;
    bool m_bReady;
    // Solved in this opening: a wire laid again during the wait after the
    // solve does not solve it twice.
    bool m_bSolved;
    int m_nUnit;
    std::array<sprite::AnimateSprite*, CircuitRouter::WIRES> m_heads{};
    std::array<std::array<sprite::AnimateSprite*, 2>, CircuitRouter::WIRES> m_poles{};
    // The laid tiles' sprites, per wire in laying order (children of the
    // board; null where a template is missing).
    std::array<std::vector<sprite::SpriteBase*>, CircuitRouter::WIRES> m_tiles;
};
