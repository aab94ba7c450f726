// BridgeTest.cpp: the bridge's memory game in the fixture game: a whole game
// of its rounds played by reading each preview off the pictures and
// clicking it back, with the counters and reports the script sees; the
// preview's and a wrong click's timing; clicks outside the player's turn;
// the pause and the instructions; the cursors; a preview that waits for the
// room's walk-in wipe; entering with a round started by the script's entry;
// and definitions the room cannot hold.
#include "scenes/bridge/Bridge.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/transitions/TransitionBase.h"
#include "tests/scenes/support/SceneFixture.h"

namespace scenetest {
namespace {

constexpr int kBridgeRoom = 32;
constexpr int kChoice = 60;

// The middle of the click area of picture k (1 to 4).
int choiceX(int k)
{
    return 100 + 150 * (k - 1) + kChoice / 2;
}
constexpr int kChoiceY = 330;

std::string manifest(const std::string& numbers)
{
    std::string m = "<data>\n" + numbers + "\n<sprites>\n";
    for (int k = 1; k <= 4; ++k) {
        const std::string x = std::to_string(choiceX(k) - kChoice / 2);
        m += "bChoice" + std::to_string(k) + " AnimateSprite choice " + x + " 300 3 1 2\n";
        m += "ClickChoice_" + std::to_string(k) + " RectButtonSprite " + x + " 300 60 60 0\n";
    }
    return m + "DoorToInnerSanctum RectButtonSprite 700 0 100 100 1\n"
               "DoorToInnerSanctumWithBridge RectButtonSprite 700 500 100 100 0\n"
               "<end>\n";
}

// The counters the scripts keep, each change recorded; a finished round
// starts the next one.
const char kCounters[] = "LF.bridge = {match = 0, set = 0, index = 0}\n"
                         "function LF_getBridgeCurrentMatch() return LF.bridge.match end\n"
                         "function LF_getBridgeCurrentSet() return LF.bridge.set end\n"
                         "function LF_getBridgeCurrentSetIndex() return LF.bridge.index end\n"
                         "function LF_setBridgeCurrentMatch(n) record('LF_setBridgeCurrentMatch', n) "
                         "LF.bridge.match = n end\n"
                         "function LF_setBridgeCurrentSet(n) record('LF_setBridgeCurrentSet', n) "
                         "LF.bridge.set = n end\n"
                         "function LF_setBridgeCurrentSetIndex(n) record('LF_setBridgeCurrentSetIndex', n) "
                         "LF.bridge.index = n end\n"
                         "rooms['Bridge'].onCorrectAnswer = function(self, n)\n"
                         "  record('onCorrectAnswer:Bridge', n) self:setState('endround')\n"
                         "end\n";

class BridgeTest : public SceneFixture {
protected:
    void start(const std::string& numbers, const std::string& script = "")
    {
        framesPicture(world.data(), "choice", 3, kChoice, kChoice);
        SceneSetup scene;
        scene.index = kBridgeRoom;
        scene.className = "Bridge";
        scene.manifest = manifest(numbers);
        scene.callbacks = {"onWrongAnswer"};
        gametest::GameOptions options;
        options.gameScript = std::string(kCounters) + script;
        ASSERT_TRUE(startScene(scene, options));
        bridge = static_cast<Bridge*>(room(kBridgeRoom));
        ASSERT_TRUE(bridge->isInstanceOf("Bridge"));
        enter(kBridgeRoom);
        clearRecords();
        clearCalls();
    }
    sprite::AnimateSprite* picture(int k)
    {
        return static_cast<sprite::AnimateSprite*>(bridge->getSprite(("bChoice" + std::to_string(k)).c_str()));
    }
    // The picture (1 to 4) that is lit, 0 for none.
    int lit()
    {
        for (int k = 1; k <= 4; ++k) {
            if (picture(k)->getFrame() == 0)
                return k;
        }
        return 0;
    }
    // Steps frames until the player's turn, noting each picture that lights
    // up, the frames at which it lights and goes dark, and (turnFrame) the
    // frame of the turn.
    std::vector<int> watchPreview(std::vector<int>* litAt = nullptr, std::vector<int>* darkAt = nullptr)
    {
        std::vector<int> seen;
        int before = lit();
        for (int frame = 1; frame <= 2000 && bridge->getGameState() != Bridge::STATE_PLAYER_TURN; ++frame) {
            frames(1);
            const int now = lit();
            if (now != 0 && before == 0) {
                seen.push_back(now);
                if (litAt)
                    litAt->push_back(frame);
            } else if (now == 0 && before != 0 && darkAt) {
                darkAt->push_back(frame);
            }
            before = now;
            turnFrame = frame;
        }
        return seen;
    }

    Bridge* bridge = nullptr;
    int turnFrame = 0;
};

TEST_F(BridgeTest, AWholeGamePlayedByReadingThePreviews)
{
    start("0 2 2 1 2 3 4");
    runLua(bridge, "self:setState('startround')");
    const int reports[] = {-1, 1, -1, 2};
    for (int match = 0; match < 4; ++match) {
        SCOPED_TRACE(match);
        clearRecords();
        const std::vector<int> sequence = watchPreview();
        ASSERT_EQ(size_t(match + 1), sequence.size());
        std::vector<int> sounds;
        for (int k : sequence)
            sounds.push_back(Bridge::SOUND_CHOICE + k);
        EXPECT_EQ(sounds, soundsPlayed()) << "each lit picture sounds";
        clearRecords();
        clearCalls();
        for (int k : sequence) {
            ASSERT_EQ(Bridge::STATE_PLAYER_TURN, bridge->getGameState());
            const int pressed = canvas->getFrameCounter();
            world.mouseDown(choiceX(k), kChoiceY);
            EXPECT_EQ(0, picture(k)->getFrame()) << "pressed";
            world.mouseUp(choiceX(k), kChoiceY);
            EXPECT_EQ(1, picture(k)->getFrame()) << "released";
            ASSERT_TRUE(stepUntil([this] { return bridge->getGameState() != Bridge::STATE_CORRECT; }));
            EXPECT_EQ(11, canvas->getFrameCounter() - pressed) << "a right choice counts 11 frames after the press";
        }
        EXPECT_EQ(sounds, soundsPlayed());
        EXPECT_TRUE(calls("onWrongAnswer").empty());
        EXPECT_EQ(std::vector<std::string>{"onCorrectAnswer:Bridge(" + std::to_string(reports[match]) + ")"},
                  calls("onCorrectAnswer"));
        EXPECT_EQ(std::vector<std::string>{"LF_setBridgeCurrentMatch(" + std::to_string(match + 1) + ")"},
                  calls("LF_setBridgeCurrentMatch"));
        const std::vector<std::string> newSet = {"LF_setBridgeCurrentSet(" + std::to_string(reports[match]) + ")"};
        EXPECT_EQ(reports[match] < 0 ? std::vector<std::string>() : newSet, calls("LF_setBridgeCurrentSet("));
        EXPECT_EQ((match + 1) / 2, bridge->getCurrentSet());
        EXPECT_EQ((match + 1) % 2, bridge->getCurrentSetIndex());
    }
}

TEST_F(BridgeTest, PreviewAndWrongClickTiming)
{
    start("0 1 3 1 3 2");
    // A round of one step: lit 11 frames after the start, for 11 frames,
    // dark for 11, then the player's turn.
    runLua(bridge, "self:setState('START')");
    std::vector<int> litAt, darkAt;
    watchPreview(&litAt, &darkAt);
    EXPECT_EQ(std::vector<int>{11}, litAt);
    EXPECT_EQ(std::vector<int>{22}, darkAt);
    EXPECT_EQ(33, turnFrame);

    // A click outside the choices in the player's turn reaches only the room.
    clearCalls();
    clickAt(400, 100);
    EXPECT_EQ(1u, calls("onClick").size());
    EXPECT_EQ(Bridge::STATE_PLAYER_TURN, bridge->getGameState());

    // A wrong choice sounds at once and is reported 11 frames later; until
    // then the turn goes on.
    const int right = bridge->getSlotOrder(bridge->getSequence(0)) + 1;
    const int wrong = right % 4 + 1;
    clearRecords();
    clearCalls();
    const int pressed = canvas->getFrameCounter();
    world.click(choiceX(wrong), kChoiceY);
    EXPECT_EQ(std::vector<int>{Bridge::SOUND_WRONG}, soundsPlayed());
    EXPECT_EQ(Bridge::STATE_PLAYER_TURN, bridge->getGameState());
    ASSERT_TRUE(stepUntil([this] { return !calls("onWrongAnswer").empty(); }));
    EXPECT_EQ(11, canvas->getFrameCounter() - pressed);
    EXPECT_EQ(std::vector<std::string>{"onWrongAnswer:Bridge(1)"}, calls("onWrongAnswer"));
    EXPECT_EQ(Bridge::STATE_WRONG, bridge->getGameState());
    frames(30);
    EXPECT_EQ(Bridge::STATE_WRONG, bridge->getGameState()) << "it waits for the script";
    clearCalls();
    clickAt(choiceX(right), kChoiceY);
    EXPECT_EQ(1u, calls("onClick").size());
    EXPECT_EQ(Bridge::STATE_WRONG, bridge->getGameState()) << "no choice outside the turn";

    // A round shown for its own sake: its preview ends without handing the
    // turn over, until the script says the preview is done.
    runLua(bridge, "self:setState('preview_1')");
    ASSERT_TRUE(stepUntil([this] { return bridge->getGameState() == Bridge::STATE_PREVIEW_NEXT; }));
    frames(30);
    EXPECT_EQ(Bridge::STATE_PREVIEW_NEXT, bridge->getGameState());
    clearCalls();
    clickAt(choiceX(bridge->getSlotOrder(bridge->getSequence(0)) + 1), kChoiceY);
    EXPECT_EQ(1u, calls("onClick").size()) << "no choice while the preview is shown";
    runLua(bridge, "self:setState('preview_done')");
    frames(2);
    EXPECT_EQ(Bridge::STATE_PLAYER_TURN, bridge->getGameState());

    // The same sequence shown again, and the turn handed over later.
    runLua(bridge, "self:setState('preview_1')");
    runLua(bridge, "self:setState('preview_2')");
    const std::vector<int> again = watchPreview();
    EXPECT_EQ(std::vector<int>{bridge->getSlotOrder(bridge->getSequence(0)) + 1}, again);
}

TEST_F(BridgeTest, PausesInstructionsAndCursors)
{
    start("0 1 1 2");
    // While the game does not play, a state cannot be scheduled.
    canvas->setGameState(LanternfieldCanvas::STATE_PAUSED);
    runLua(bridge, "self:setState('startround')");
    EXPECT_EQ(-1, bridge->getStateDelay());
    canvas->setGameState(LanternfieldCanvas::STATE_PLAYING);
    runLua(bridge, "self:setState('startround')");
    EXPECT_EQ(10, bridge->getStateDelay());
    // While the instructions show, the delay waits.
    canvas->showSprite("GameInstructions", true);
    frames(20);
    EXPECT_EQ(10, bridge->getStateDelay());
    canvas->showSprite("GameInstructions", false);
    frames(11);
    EXPECT_EQ(Bridge::STATE_PREVIEW_START, bridge->getGameState());

    // The enabled exit shows the north arrow, locked; the disabled one does not.
    const struct {
        int x, y, cursor;
        bool locked;
    } cursors[] = {{750, 50, 0, true}, {750, 550, 8, false}, {400, 100, 8, false}};
    for (const auto& c : cursors) {
        world.mouseMove(c.x, c.y);
        EXPECT_EQ(c.cursor, canvas->getCurrentCursor()) << c.x << "," << c.y;
        EXPECT_EQ(c.locked, canvas->isCursorLocked()) << c.x << "," << c.y;
    }
    // In the player's turn the picture under the pointer shows its hover look.
    watchPreview();
    world.mouseMove(choiceX(2), kChoiceY);
    EXPECT_EQ(1, picture(2)->getFrame());
    EXPECT_EQ(2, picture(3)->getFrame());

    expectLuaErrors(bridge, {
                                {"self.setState(self)", "bad argument #3 to 'setState' (too many arguments)"},
                                {"self.setState(self, 'start', 1)", "bad argument #3 to 'setState' (too many arguments)"},
                                {"self.setState(canvas, 'start')", "bad argument #1 to 'setState' (not a Bridge)"},
                            });
    runLua(bridge, "self:setState('nothing')");
    EXPECT_EQ(Bridge::STATE_PLAYER_TURN, bridge->getGameState());
}

TEST_F(BridgeTest, APreviewScheduledWhileTheRoomComesInWaitsForIt)
{
    start("0 1 1 2");
    // While the room comes in under the wipe of a walk-in, the delay waits,
    // so that the preview is not half over when the player first sees it.
    sprite::TransitionBase* wipe = nullptr;
    bridge->makeDoorTransition(&wipe, sprite::TransitionBase::DIR_LEFT);
    ASSERT_NE(nullptr, wipe);
    canvas->setTransition(wipe);
    wipe->release();
    runLua(bridge, "self:setState('startround')");
    ASSERT_TRUE(bridge->isTransitioning());
    frames(20);
    EXPECT_EQ(10, bridge->getStateDelay());
    EXPECT_EQ(Bridge::STATE_START_ROUND, bridge->getGameState());
    canvas->setTransition(nullptr);
    frames(11);
    EXPECT_EQ(Bridge::STATE_PREVIEW_START, bridge->getGameState());
}

TEST_F(BridgeTest, ARoundStartedByTheScriptsEntryIsPlayableAndNothingPendingOutlivesTheVisit)
{
    start("0 1 1 2", "rooms['Bridge'].onEnter = function(self, n) self:setState('startround') end\n");
    // The fixture entered the room once already: the round the entry started
    // has its length.
    EXPECT_EQ(2, bridge->getSequenceLength());
    EXPECT_EQ(2u, watchPreview().size());
    // Leaving mid-preview drops what was pending.
    runLua(bridge, "self:setState('preview_2')");
    canvas->leaveCurrentRoom();
    EXPECT_EQ(-1, bridge->getStateDelay());
    EXPECT_EQ(0, bridge->getSequenceLength());
}

TEST_F(BridgeTest, DefinitionsTheRoomCannotHold)
{
    // A round of 150 steps is cut to 100; a match beyond the table has no
    // steps and completes as soon as its (empty) preview would start.
    start("0 1 2 150");
    EXPECT_EQ(std::vector<int>{100}, bridge->getRoundLengths());
    runLua(bridge, "LF.bridge.match = 5 self:setState('startround')");
    EXPECT_EQ(0, bridge->getSequenceLength());
    frames(11);
    EXPECT_EQ(std::vector<std::string>{"onCorrectAnswer:Bridge(-1)"}, calls("onCorrectAnswer"));
    EXPECT_EQ(-1, bridge->getSequence(0)) << "no step was shown";
}

} // namespace
} // namespace scenetest
