// PegsCU.h: the peg solitaire close-up of the three peg boards of the outer
// village (rooms 40 to 42, puzzles 1 to 3). The canvas grows it open over
// its host room's dimmed picture; the player picks a peg and jumps it two
// holes across another into an empty hole, and the jumped peg goes. One peg
// left solves the puzzle: the village's script hears of it at once, and the
// won board stands a while with a line under it saying so, then the close-up
// closes; a board with no jump left (told to the script at once too) stands
// as long with its own line, then fades out and is laid out again. A ring
// marks the hole of the peg picked up.
#pragma once

#include "core/lang/IntArray.h"
#include "scenes/common/ClickOrDrag.h"
#include "scenes/pegs/PegBoard.h"
#include "sprites/dialogs/DialogSprite.h"

#include <vector>

namespace sprite {
class AnimateSprite;
}

class Room;

class PegsCU : public sprite::DialogSprite {
public:
    // One peg of the board.
    struct PegInfo {
        sprite::AnimateSprite* sprite = nullptr; // a child of the close-up
        int x = 0;
        int y = 0;
        int startX = 0;
        int startY = 0;
        int row = 0;
        int column = 0;
        int cell = 0;
        int startRow = 0;
        int startColumn = 0;
        int startCell = 0;
        bool removed = false;
    };

    // Sound table entries.
    static constexpr int SOUND_PEG_REMOVED = 181;
    static constexpr int SOUND_PEG_SELECTED = 182;
    // The mini-game index of its instructions.
    static constexpr int INSTRUCTIONS_GAME = 9;
    // The first host room (puzzle p opens over room 39 + p).
    static constexpr int FIRST_HOST_ROOM = 40;
    static constexpr int PUZZLES = 3;
    // Pixels between two holes.
    static constexpr int HOLE_PITCH = 85;
    // The grow and shrink move to and from the screen's centre in 9 frames.
    static constexpr int CENTRE_X = 400;
    static constexpr int CENTRE_Y = 300;
    static constexpr int GROW_FRAMES = 9;
    // A won or stuck board stands three seconds (at 25 frames a second)
    // after its jumped peg has faded, long enough to read the line under it.
    static constexpr int END_FRAMES = 75;

    PegsCU();
    // Takes the pegs off the board.
    ~PegsCU() override;

    HV_CLASS_NAME("PegsCU", sprite::DialogSprite)
    HV_DECLARE_METACLASS(PegsCU);

    // Columns, rows, the puzzle count and each puzzle's peg count from the
    // numbers; a list too short for them leaves no puzzle to play.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    int mouseDown(window::Event* e) override;
    int mouseUp(window::Event* e) override;
    bool mouseMove(window::Event* e) override;
    // The end actions of the grow, the shrink and the pegs' fades.
    bool handleEvent(window::Event* e) override;
    // Hidden at once, calling off its waits, its host room undimmed and no
    // longer paused.
    void closeNow() override;
    virtual void getGameInstructionsInfo(int& game, int& x, int& y);

    // The point the close-up grows from and shrinks into.
    void setOrigin(int x, int y);
    // Opens puzzle 1 .. 3 over its host room.
    void grow(int puzzle, Room* host);
    // Closes the close-up toward its origin.
    void shrinkOut();
    // Lays the puzzle's pegs out afresh, fading in; they take clicks once
    // the fade has ended.
    void addPegs();
    // Fades every peg out and lays the puzzle out again after.
    void removePegs();

    // Clicks are taken: no transition runs, no instructions show, and the
    // pegs stand ready.
    bool acceptsInput();
    // A click on the board at (x, y) (the parent's frame, as events give it).
    void clickBoard(int x, int y);

    int getPuzzle() const { return m_nPuzzle; }
    int getPegsLeft() const { return m_nPegsLeft; }
    bool arePegsReady() const { return m_bPegsReady; }
    int getSelected() const { return m_nSelected; }
    const std::vector<PegInfo>& getPegs() const { return m_pegs; }
    const PegBoard& board() const { return m_board; }
    Room* getHostRoom() const { return m_pHost; }

private:
    // The result of a press or release the board does not take: one on the
    // shown board while its pegs are not ready (the won or stuck board
    // standing, the pegs fading in) is consumed, so that it reaches neither
    // the room nor the task paper under the board.
    int refused(window::Event* e);
    // Every peg sprite taken off the close-up; the list emptied.
    void releasePegs();
    // The peg's sprite placed on its hole.
    void placeOnHole(PegInfo& peg);
    // The ring round the selected peg's hole shown, or hidden with no peg
    // selected any more.
    void markSelected(bool shown);
    // The jumped peg goes; the win or the stuck board follows.
    void removePeg(int index);
    // The named sprite of the host room, or null.
    sprite::SpriteBase* hostSprite(const char* name);
    // The host room's dim overlay fades from one alpha to the other.
    void fadeDim(int from, int to);

    lang::IntArray m_numbers;
    int m_nColumns;
    int m_nRows;
    int m_nPuzzleCount;
    std::vector<int> m_counts;
    int m_nPuzzle;
    Room* m_pHost;
    int m_nOriginX;
    int m_nOriginY;
    ClickOrDrag m_press;
    int m_nPegsLeft;
    bool m_bPegsReady;
    std::vector<PegInfo> m_pegs;
    int m_nSelected;
    PegBoard m_board;
};
