// SamplePuzzles.h: the sample game's puzzles solved the way a player solves
// them, by clicks and drags on the running program (shared by the sample
// scene tests and the walkthrough).
#pragma once

#include "tests/game/support/SampleSession.h"

#include <string>
#include <utility>
#include <vector>

class AirCompressor;
class Bridge;
class CallBox;
class FountainCU;
class Maze;
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

// In the hedge maze: the way through found over its open walls, and the
// token dragged along it to the exit, where it climbs out by itself.
void walkHedgeMaze(gametest::SamplePlayer& player, testsupport::GameWorld& world, Maze* maze);

// At the call box: the receiver lifted (a first click may only end the
// intercom's greeting), the number on the gallery owner's card (the mansion
// gate's code) dialled and entered.
void dialCallBox(gametest::SamplePlayer& player, testsupport::GameWorld& world, CallBox* box);

// At the broken compressor: the right fuses into their holders, the test
// button, the diodes dragged into their sockets, and the start button.
void mendAirCompressor(gametest::SamplePlayer& player, testsupport::GameWorld& world, AirCompressor* air);

// The words a picture of the data writes (data/pictures/<picture>.txt, such
// as a mini-game's help "ins/maze"): its text lines, in lower case ("" without
// the sources).
std::string pictureWords(const std::string& picture);

// At the bridge: each round's stones read as they light up, and clicked
// back in the same order, until the bridge is raised.
void raiseBridge(gametest::SamplePlayer& player, testsupport::GameWorld& world, Bridge* bridge);

} // namespace scenetest
