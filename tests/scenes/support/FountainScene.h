// FountainScene.h: the fountain close-up (room 7) in the fixture game with
// the pipes close-up it opens: a 4 x 1 board of straight pipes and one elbow,
// solved by turning the second piece half a turn.
#pragma once

#include "tests/scenes/support/SceneFixture.h"

class FountainCU;
class PipesCU;

namespace scenetest {

class FountainScene : public SceneFixture {
protected:
    static constexpr int kRoom = 7;
    // The board grows open about (400, 300): its 600 x 560 box then starts
    // at (100, 20); piece c's middle lies 63 + 85 c pixels in, 63 down.
    static constexpr int kBoardLeft = 100;
    static constexpr int kBoardTop = 20;
    // Cells: the start, a straight pipe a quarter turn off, an elbow that
    // may stand at any angle, the end.
    static constexpr int kCrossed = 1;
    static constexpr int kElbow = 2;

    void SetUp() override;
    static int pieceX(int cell) { return kBoardLeft + 63 + 85 * cell; }
    static int pieceY() { return kBoardTop + 63; }
    // Painted frames (which transitions need) until `done`, at most 200.
    bool painted(const std::function<bool()>& done);
    // Opens the pipes close-up from the fountain and waits until it is open.
    void openPipes();

    FountainCU* fountain = nullptr;
    PipesCU* pipes = nullptr;
};

} // namespace scenetest
