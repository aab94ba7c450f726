// Inlay.h: the gem inlays of the cave (room 34). Each of the cave maze's four
// puzzle screens leads to one puzzle: five flat pieces lie in a tray and
// must be fitted into a 5 x 5 grid so that each covers its target cells
// (puzzle 2 has a second solution). A piece is picked up with a click and
// put down with the next click, or dragged and dropped. A solved puzzle
// fades its pieces and shows its gem, which the room's script lets the
// player take.
#pragma once

#include "game/rooms/Room.h"
#include "scenes/common/ClickOrDrag.h"

#include <string>
#include <vector>

namespace sprite {
class ImageSprite;
}

class Inlay : public Room {
public:
    // One piece of the current puzzle.
    struct PieceInfo {
        sprite::ImageSprite* grid = nullptr; // "Piece_<n>"
        sprite::SpriteBase* tray = nullptr;  // "TrayPiece_<n>"
        int target = 0;                      // row x 5 + column of its top-left cell
        int placed = -1;                     // -1 while it is not on the grid
        int width = 0;                       // in cells
        int height = 0;
    };

    // Sound table entries.
    static constexpr int SOUND_BACK_TO_TRAY = 22;
    static constexpr int SOUND_PICKED_UP = 23;
    static constexpr int SOUND_PLACED = 24;
    // The mini-game index of its instructions.
    static constexpr int INSTRUCTIONS_GAME = 7;
    // The cave maze, whose screen decides the puzzle.
    static constexpr int CAVE_MAZE_ROOM = 31;
    static constexpr int PUZZLES = 4;
    static constexpr int PIECES_PER_PUZZLE = 5;
    // Pieces are numbered 1 to 29.
    static constexpr int PIECE_NUMBERS = 29;
    // The grid: 5 x 5 cells of 42 pixels.
    static constexpr int GRID_CELLS = 5;
    static constexpr int CELL = 42;
    // A wrong drop shows "IncorrectAnswer" this many frames.
    static constexpr int INCORRECT_FRAMES = 16;
    // The room's table in `rooms`.
    static const char kScriptTable[];

    Inlay();
    ~Inlay() override;

    HV_CLASS_NAME("Inlay", Room)
    HV_DECLARE_METACLASS(Inlay);

    // The grid's place; the tray pieces hidden, every piece with the hand
    // cursor.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    void onEnter() override;
    void onExit() override;
    // The "IncorrectAnswer" countdown, then the room's tick; nothing while
    // the instructions show or the game does not play.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    int mouseDown(window::Event* e) override;
    int mouseUp(window::Event* e) override;
    bool mouseMove(window::Event* e) override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;
    // In debug mode the keys 1 to 4 lay that puzzle out.
    void keyPressed(int key) override;

    // Lays the current puzzle out: every piece in the tray.
    void setupPuzzle();
    // Picks a piece up at (x, y), or puts the held one down there.
    void handleClick(int x, int y);
    // Every piece (or, for puzzle 2, every piece of the second set) is
    // placed on its target.
    bool isSolved() const;
    // Clicks are taken: no instructions show and the script lets play.
    bool acceptsInput();

    void setPlaying(bool on) { m_bPlaying = on; }
    bool isPlaying() const { return m_bPlaying; }
    int getPuzzle() const { return m_nPuzzle; }
    void setPuzzle(int puzzle) { m_nPuzzle = puzzle; }
    int getHeld() const { return m_nHeld; }
    int getIncorrectCountdown() const { return m_nIncorrectCountdown; }
    const std::vector<PieceInfo>& getPieces() const { return m_pieces; }
    const std::vector<PieceInfo>& getAlternative() const { return m_alternative; }
    int getGridLeft() const { return m_nGridLeft; }
    int getGridTop() const { return m_nGridTop; }

    // The native methods of hv.Inlay, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // Both lists emptied, their grid pieces parked off screen and faded to
    // half, their tray pieces hidden.
    void clearPieces();
    // The list of the five pieces whose numbers start at definition number
    // `first` (their targets follow five numbers later).
    std::vector<PieceInfo> makePieces(int first);
    // The held piece's bounds lie on the grid, 21 pixels of overhang allowed.
    bool isOnGrid(int left, int top, int width, int height) const;
    // Another piece's grid picture covers the point as well as the held one.
    bool collides(int x, int y);
    // The held piece goes back to its tray place.
    void sendBackToTray();
    // The held piece's cell, copied to its record of the second set.
    void setPlaced(int cell);
    void fadeOutPieces();
    // The definition's number i; 0 past its end.
    int number(int i) const;
    // The script's answer of LF_<base><puzzle>().
    bool askScript(const char* base);
    sprite::SpriteBase* gem();
    // The cave maze's puzzle screen: 0 to 3, 1 on any other screen.
    static int caveMazePuzzleIndex();

    int m_nGridLeft;
    int m_nGridTop;
    ClickOrDrag m_press;
    int m_nIncorrectCountdown;
    int m_nPuzzle;
    int m_nHeld;
    int m_nTrayLeft;
    int m_nTrayTop;
    bool m_bPlaying;
    std::vector<PieceInfo> m_pieces;
    std::vector<PieceInfo> m_alternative;
};
