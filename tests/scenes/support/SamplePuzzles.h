// SamplePuzzles.h: the sample game's puzzles solved the way a player solves
// them, by clicks and drags on the running program (shared by the sample
// scene tests and the walkthrough).
#pragma once

#include "tests/game/support/SampleSession.h"

#include <utility>
#include <vector>

class FountainCU;
class SlideBlockPuzzle;
class TreasureChestCU;

namespace scenetest {

// The drags that take a sliding-block board's key out through its exit:
// (block index, cells along the block's axis) in order, found breadth-first
// over the board's states, so it is as short as any; empty when the board
// cannot be solved.
std::vector<std::pair<int, int>> slideBlockSolution(const SlideBlockPuzzle& board);

// Plays the board's solution by drags (its input must be open).
void solveSlideBlockBoard(gametest::SamplePlayer& player, SlideBlockPuzzle* board);

// In the fountain close-up: the valve door opened, the water drained, the
// key taken to the pipe door, the pipes turned into place in their close-up
// (whose instructions are closed if they open), and the clean water turned
// on.
void mendFountain(gametest::SamplePlayer& player, testsupport::GameWorld& world, LanternfieldCanvas* canvas,
                  FountainCU* fountain);

// In the chest close-up: its instructions closed if they open, then each
// board of the chapter solved as it comes behind the doors until the chest
// stands open.
void openChest(gametest::SamplePlayer& player, TreasureChestCU* chest);

} // namespace scenetest
