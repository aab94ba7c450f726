// SlideBlockFixture.h: the sliding-block board (room 8) in the fixture game,
// with layouts written by the test: its manifest (doors, god rays, key
// overlays, buttons and block prototypes of every length), the pictures
// and the points of the board's cells.
#pragma once

#include "scenes/slideblock/SlideBlockPuzzle.h"
#include "sprites/buttons/ButtonSprite.h"
#include "tests/scenes/support/SceneFixture.h"

#include <string>
#include <vector>

namespace scenetest {

constexpr int kBoardRoom = 8;
constexpr int kCell = SlideBlockPuzzle::CELL_SIZE;

// One puzzle of a layout table.
struct SlidePuzzle {
    int columns;
    int rows;
    int target;
    int key;
    // (length, cell, axis) per block.
    std::vector<std::vector<int>> blocks;
};

// The <data> numbers of a board room without exits holding the puzzles.
inline std::string layoutNumbers(const std::vector<SlidePuzzle>& puzzles)
{
    std::string out = "0 " + std::to_string(puzzles.size()) + "\n";
    for (const SlidePuzzle& p : puzzles)
        out += std::to_string(p.columns) + " " + std::to_string(p.rows) + " " + std::to_string(p.target) + " " +
               std::to_string(p.blocks.size()) + " " + std::to_string(p.key) + "\n";
    for (const SlidePuzzle& p : puzzles) {
        for (const std::vector<int>& b : p.blocks) {
            for (int n : b)
                out += std::to_string(n) + " ";
            out += "\n";
        }
    }
    return out;
}

// The board's sprites: doors, rays, overlays, buttons and prototypes.
inline std::string boardSprites()
{
    std::string m = "ChestDoor1 Sprite door 100 100\n"
                    "ChestDoor2 Sprite door 400 100\n"
                    "ChestDoor1_Gold Sprite door 100 100\n"
                    "ChestDoor2_Gold Sprite door 400 100\n"
                    "CloseButton ButtonSprite button 740 540 1 1 0 0 0\n"
                    "ResetButton ButtonSprite button 690 540 1 1 0 0 0\n";
    for (const char* k : {"1", "3", "5", "6"}) {
        m += std::string("KeyRaysMiddle") + k + " AnimateSprite rays 300 200 3 1 0\n";
        m += std::string("keyOverlay") + k + " Sprite overlay 300 200\n";
    }
    m += "KeyOverlay_Chapter6 Sprite overlay 300 200\n";
    for (const char* gold : {"", "_Gold"}) {
        m += std::string("Key") + gold + " ButtonSprite key2h" + gold + " -400 0 2 1 -1 0 0\n";
        for (int length = 1; length <= 3; ++length) {
            for (const char* axis : {"H", "V"}) {
                const std::string name = "Block_" + std::to_string(length) + "_" + axis;
                m += name + gold + " ButtonSprite " + "b" + std::to_string(length) + axis + gold + " -400 0 2 1 -1 0 0\n";
            }
        }
    }
    return m;
}

// The pictures the board's sprites name.
inline void boardPictures(testsupport::GameData& data)
{
    data.picture("door", 300, 300, 0xFF604020u);
    data.picture("button", 40, 40, 0xFF808080u);
    data.picture("overlay", 40, 40, 0xFFFFFF00u);
    framesPicture(data, "rays", 3, 60, 60);
    // The gold set has pictures of its own, so a block shows which set it
    // was cloned from.
    for (const std::string gold : {"", "_Gold"}) {
        framesPicture(data, "key2h" + gold, 2, 2 * kCell, kCell);
        for (int length = 1; length <= 3; ++length) {
            framesPicture(data, "b" + std::to_string(length) + "H" + gold, 2, length * kCell, kCell);
            framesPicture(data, "b" + std::to_string(length) + "V" + gold, 2, kCell, length * kCell);
        }
    }
}

class SlideBlockFixture : public SceneFixture {
protected:
    // Starts the game with the board holding `puzzles` (and `options`).
    void startBoard(const std::vector<SlidePuzzle>& puzzles, gametest::GameOptions options = gametest::GameOptions())
    {
        boardPictures(world.data());
        SceneSetup scene;
        scene.index = kBoardRoom;
        scene.className = "SlideBlockPuzzle";
        scene.manifest = "<data>\n" + layoutNumbers(puzzles) + "<sprites>\n" + boardSprites() + "<end>\n";
        ASSERT_TRUE(startScene(scene, options));
        board = static_cast<SlideBlockPuzzle*>(room(kBoardRoom));
        ASSERT_TRUE(board->isInstanceOf("SlideBlockPuzzle"));
    }
    // The middle of cell (column, row) of the built board.
    int cellX(int column) { return board->getGrid().xOfColumn(column) + kCell / 2; }
    int cellY(int row) { return board->getGrid().yOfRow(row) + kCell / 2; }
    sprite::SpriteBase* block(int i) { return board->getBlocks()[size_t(i)].sprite; }
    int blockCell(int i) { return board->getBlocks()[size_t(i)].cell; }

    SlideBlockPuzzle* board = nullptr;
};

} // namespace scenetest
