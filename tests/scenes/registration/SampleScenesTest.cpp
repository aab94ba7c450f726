// SampleScenesTest.cpp: the sample game's puzzle rooms load as their scene
// classes with every sprite their games use, and can be played by clicks:
// the card game deals and turns a card, noughts and crosses takes a move
// and says how each game ended,
// the call box takes its number, the bridge's game shows its stones when
// asked and is won by reading its previews, the cave maze moves between
// chambers (a dead end saying to go back), the cave's mouth shows the
// forward arrow, a village's peg board is won (its pegs the colour of
// the village's own), the inlay is solved and every puzzle door's inlay
// (each its own) gives a gem for the golden door, which opens clear, a pearl is taken; the bookshelf, a
// painting and the air compressor are
// solved; the chest's and the temple door's first boards are solved, and the
// safe's lock opens over the study and closes; the fountain is mended through
// its pipes (its key saying where it fits), the circuit board's wires are
// joined and the hedge maze is walked to its exit; each painting zooms back to
// its place on the gallery's wall; the card and board games, a painting, a peg board and the pearl
// dive each once their instructions panel has grown open by itself, as on a
// first visit, and been played away; a lost card game makes the next one
// winnable; every first visit's instructions open
// on the screen; the maze's help names only controls that work, the pearl
// dive's and the card game's help say what is clicked and what wins, and every
// puzzle's Leave button works from the start; the fountain shows the
// story's doors; a board closed at once leaves its room undimmed and at play.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/characters/Character.h"
#include "game/dialogs/GameInstructDialog.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "platform/user/Input.h"
#include "scenes/aircompressor/AirCompressor.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/artrestoration/ArtPiece.h"
#include "scenes/artrestoration/ArtRestoration.h"
#include "scenes/bookshelf/Bookshelf.h"
#include "scenes/bridge/Bridge.h"
#include "scenes/callbox/CallBox.h"
#include "scenes/caves/CaveMaze.h"
#include "scenes/circuit/CircuitBoard.h"
#include "scenes/concentration/Concentration.h"
#include "scenes/fountain/FountainCU.h"
#include "scenes/maze/Maze.h"
#include "scenes/pipes/PipesCU.h"
#include "scenes/inlay/Inlay.h"
#include "scenes/pegs/PegsCU.h"
#include "scenes/safecrack/SafeCrack.h"
#include "scenes/sanctum/OuterSanctum.h"
#include "scenes/slideblock/SlideBlockPuzzle.h"
#include "scenes/templedoor/TempleDoorPuzzle.h"
#include "scenes/tictac/TicTac.h"
#include "scenes/treasurechest/TreasureChestCU.h"
#include "scenes/whackaclam/Clam.h"
#include "scenes/whackaclam/WhackAClam.h"
#include "sound/clip/AudioClip.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/images/ImageSprite.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/images/ScalerSprite.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"
#include "sprites/transitions/TransitionImage.h"
#include "sprites/transitions/TransitionMask.h"
#include "tests/scenes/support/SampleChapter2.h"
#include "tests/scenes/support/SamplePuzzles.h"
#include "windowing/images/ImageBase.h"
#include "tests/scenes/support/SceneFixture.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <deque>
#include <fstream>
#include <functional>
#include <lua.hpp>

namespace scenetest {
namespace {

// The middle of a sprite of the room.
void clickOn(testsupport::GameWorld& world, sprite::SpriteBase* s)
{
    world.click(s->left() + s->width() / 2, s->top() + s->height() / 2);
}

class SampleScenesTest : public SceneFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGameSeenInstructions());
    }
    // Nothing the rooms look for is missing from the data, and nothing failed.
    void expectCleanRun()
    {
        EXPECT_EQ(std::string::npos, world.debugText().find(": no sprite ")) << world.debugText();
        EXPECT_EQ(std::string::npos, world.debugText().find(" is no ")) << world.debugText();
        EXPECT_TRUE(world.boxes().empty()) << world.boxes()[0].caption << ": " << world.boxes()[0].text;
        // No scene's sound is a slot of the sound table that holds music.
        for (int index : soundsPlayed()) {
            window::AudioClip* clip = canvas->getSound(index);
            EXPECT_FALSE(clip && clip->getKind() == window::AudioClip::KIND_MUSIC)
                << "sound " << index << " is " << clip->getName().c_str();
        }
    }
    bool framesUntil(const std::function<bool()>& done, int maxFrames)
    {
        for (int i = 0; i < maxFrames && !done(); ++i)
            world.stepFrames(1);
        return done();
    }
    // The player starts having seen every game's instructions; this game's
    // are taken back to unseen, as on a first visit.
    void unseeInstructions(int game) { canvas->setShowGameInstructions(game, true); }
    // A puzzle's first visit opens its instructions by themselves; the panel's
    // play button shrinks them away and leaves the question mark. (The
    // panel's zooms end by messages that only the world's frames deliver.)
    void playPastInstructions(int game)
    {
        auto* panel = static_cast<GameInstructDialog*>(canvas->getSprite("GameInstructions"));
        ASSERT_TRUE(framesUntil([panel] { return panel->isVisible() && !panel->isZooming(); }, 100));
        EXPECT_EQ(game, panel->getGame());
        // It grows to the middle of the room, wholly on the screen.
        EXPECT_GE(panel->left(), 0);
        EXPECT_GE(panel->top(), 0);
        EXPECT_LE(panel->left() + panel->width(), 800);
        EXPECT_LE(panel->top() + panel->height(), 600);
        sprite::SpriteBase* play = panel->getSprite("playButton");
        world.click(panel->left() + play->left() + play->width() / 2, panel->top() + play->top() + play->height() / 2);
        ASSERT_TRUE(framesUntil([panel] { return !panel->isVisible(); }, 20));
        EXPECT_TRUE(canvas->isSpriteVisible("GameInsQuestionMark"));
    }
    // The message at the top right shows the text item.
    void expectTip(const char* id)
    {
        EXPECT_TRUE(canvas->isSpriteVisible("RoomItemsBalloon"));
        EXPECT_STREQ(lang::String::loadText(id).c_str(),
                     static_cast<sprite::NewFontSprite*>(canvas->getSprite("RoomItemTipText"))->getText().c_str());
    }
    // Painted frames (which transitions need) until `done`, at most 400.
    bool painted(const std::function<bool()>& done) { return player.painted(done); }
    std::string flag(const char* name) { return runLua(room(2), std::string("return tostring(LF.") + name + ")"); }
    void clickSprite(Room* r, const char* name) { player.clickSprite(r, name); }
    // A story value of the scripts, as text.
    std::string story(Room* room, const std::string& value) { return runLua(room, "return tostring(" + value + ")"); }
    // A press at the first point of the sprite's bounds where its picture is opaque.
    void clickOpaque(sprite::AnimateSprite* s)
    {
        for (int y = s->top(); y < s->top() + s->height(); ++y) {
            for (int x = s->left(); x < s->left() + s->width(); ++x) {
                if (s->hittestImage(x, y)) {
                    world.click(x, y);
                    return;
                }
            }
        }
        ADD_FAILURE() << "no opaque pixel in " << s->getName().c_str();
    }
    // Each piece of the inlay carried from the tray to its place on the board.
    void solveInlay(Inlay* inlay)
    {
        for (const Inlay::PieceInfo& piece : inlay->getPieces()) {
            world.click(piece.tray->left() + 10, piece.tray->top() + 10);
            ASSERT_TRUE(inlay->getHeld() >= 0);
            const int x = inlay->getGridLeft() + Inlay::CELL * (piece.target % Inlay::GRID_CELLS) + 4 +
                          piece.grid->width() / 2;
            const int y = inlay->getGridTop() + Inlay::CELL * (piece.target / Inlay::GRID_CELLS) + 4 +
                          piece.grid->height() / 2;
            world.mouseMove(x, y);
            world.click(x, y);
        }
    }
    static int centreX(sprite::SpriteBase* s) { return s->left() + s->width() / 2; }
    static int centreY(sprite::SpriteBase* s) { return s->top() + s->height() / 2; }
    void dragSprite(sprite::SpriteBase* s, int dx, int dy, int ox = 0, int oy = 0)
    {
        player.dragSprite(s, dx, dy, ox, oy);
    }

    gametest::SamplePlayer player{world, canvas};
};

TEST_F(SampleScenesTest, TheFountainIsMendedThroughItsPipes)
{
    auto* fountain = static_cast<FountainCU*>(room(7));
    ASSERT_TRUE(fountain->isInstanceOf("FountainCU"));
    auto* pipes = static_cast<PipesCU*>(canvas->getCloseUp(0));
    ASSERT_TRUE(pipes->isInstanceOf("PipesCU"));
    ASSERT_TRUE(pipes->isBuilt());
    enter(7);
    mendFountain(player, world, canvas, fountain);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(pipes->getSolved());
    EXPECT_EQ("true", flag("fountainPipesFixed"));
    ASSERT_TRUE(painted([this] { return flag("tasksCompleted") == "1"; }));
    // The running water sends the player back to the market, which says so.
    ASSERT_TRUE(painted([this] { return canvas->getCurrentRoomIndex() == 2; }));
    expectTip("STR_FOUNTAIN_RUNS");
    expectCleanRun();
}

// The locked pipe door and the key under the scum say where the key lies
// and how to reach it; the key taken from the drained basin: the player says
// where it fits, and when a click elsewhere lets it fall back into the basin;
// the key opening the door is said too.
TEST_F(SampleScenesTest, TheFountainsKeySaysWhereItFitsAndWhenItFallsBack)
{
    auto* fountain = static_cast<FountainCU*>(room(7));
    enter(7);
    Character* self = canvas->getPlayerCharacter();
    auto thought = [self] { return std::string(self->isTalking() ? self->getTalkText()->getText().c_str() : ""); };
    struct Step {
        const char* spot; // clicked with the key in the basin, then held
        bool held;
        const char* said;
    };
    auto play = [&](const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.said);
            clickSprite(fountain, step.spot);
            EXPECT_EQ(step.held, fountain->isKeyHeld());
            EXPECT_EQ(lang::String::loadText(step.said).c_str(), thought());
        }
    };
    play({
        {"PipesClickRect", false, "STR_THINK_PIPE_DOOR_LOCKED"},
        {"KeyInFountain", false, "STR_THINK_FOUNTAIN_SCUM"},
    });
    clickSprite(fountain, "ValveClickRect");
    ASSERT_TRUE(painted([fountain] { return fountain->getSprite("ValveDoorOpen")->isVisible(); }));
    clickSprite(fountain, "ValveClickRect");
    ASSERT_TRUE(painted([fountain] { return fountain->isTwinkleOn(); }));
    play({
        {"PipesClickRect", false, "STR_THINK_PIPE_DOOR_KEY"},
        {"KeyInFountain", true, "STR_THINK_FOUNTAIN_KEY"},
        {"ValveClickRect", false, "STR_THINK_FOUNTAIN_KEY_BACK"},
        {"KeyInFountain", true, "STR_THINK_FOUNTAIN_KEY"},
    });
    // The key held opens the pipe door, which the player says (no word of
    // the key falling back).
    clickSprite(fountain, "PipesClickRect");
    EXPECT_EQ("true", flag("fountainPipeDoorOpen"));
    EXPECT_EQ(lang::String::loadText("STR_THINK_PIPE_DOOR_OPEN").c_str(), thought());
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheCircuitBoardsWiresAreJoined)
{
    auto* board = static_cast<CircuitBoard*>(canvas->getCloseUp(LanternfieldCanvas::CLOSE_UP_CIRCUIT_BOARD));
    ASSERT_TRUE(board->isInstanceOf("CircuitBoard"));
    ASSERT_TRUE(board->isBuilt());
    enter(49);
    clickSprite(room(49), "CircuitPanel");
    ASSERT_TRUE(painted([board] { return board->isReady() && !board->isTransitioning(); }));
    // Its buttons work, and keep off the channels and the lights.
    for (const char* name : {"CloseButton", "ResetButton"}) {
        sprite::SpriteBase* button = board->getSprite(name);
        EXPECT_TRUE(button->isVisible() && sprite::ButtonMixin::fromSprite(button)->isEnabled()) << name;
        const util::RectangleNM b = *button->getBounds();
        for (int cell = 0; cell < CircuitRouter::CELLS; ++cell) {
            if (board->router().gridAt(cell) != CircuitRouter::OPEN && board->router().wireOfPole(cell) < 0)
                continue;
            const int x = CircuitRouter::cellToPixelX(cell) - CircuitRouter::CELL_PIXELS / 2;
            const int y = CircuitRouter::cellToPixelY(cell) - CircuitRouter::CELL_PIXELS / 2;
            EXPECT_FALSE(b.x < x + CircuitRouter::CELL_PIXELS && x < b.x + b.width &&
                         b.y < y + CircuitRouter::CELL_PIXELS && y < b.y + b.height)
                << name << " covers cell " << cell;
        }
    }
    auto at = [board](int row, int column, int& x, int& y) {
        x = board->left() + CircuitRouter::cellToPixelX(CircuitRouter::cellIndex(row, column));
        y = board->top() + CircuitRouter::cellToPixelY(CircuitRouter::cellIndex(row, column));
    };
    // Each wire from its first pole along its channels: (row, column) corners.
    const std::vector<std::vector<std::pair<int, int>>> routes = {
        {{1, 1}, {1, 5}, {9, 5}, {9, 9}},
        {{1, 17}, {1, 21}, {21, 21}},
        {{25, 1}, {25, 17}, {17, 17}},
    };
    for (const auto& route : routes) {
        int x = 0, y = 0;
        at(route[0].first, route[0].second, x, y);
        world.mouseDown(x, y);
        for (size_t i = 1; i < route.size(); ++i) {
            int r = route[i - 1].first, c = route[i - 1].second;
            while (r != route[i].first || c != route[i].second) {
                r += (route[i].first > r) - (route[i].first < r);
                c += (route[i].second > c) - (route[i].second < c);
                at(r, c, x, y);
                world.mouseMove(x, y);
            }
        }
        world.mouseUp(x, y);
    }
    EXPECT_TRUE(board->router().allWiresComplete());
    ASSERT_TRUE(painted([this] { return flag("circuitBoardSolved") == "true"; }));
    ASSERT_TRUE(painted([board] { return !board->isVisible(); }));
    // The panel on the shop's wall shows its wires joined, also when the
    // shop is entered again: its lamps lit, but no wire's way of its own
    // unlike the one laid (no lamp's colour below the lamps).
    enter(49);
    auto* panel = static_cast<sprite::AnimateSprite*>(room(49)->getSprite("CircuitPanel"));
    EXPECT_EQ(1, panel->getFrame());
    window::ImageBase* image = panel->getImage();
    ASSERT_TRUE(image && image->getPixels());
    auto rgb = [image](int x, int y) {
        return image->getPixels()[size_t(y * image->getPitch() / 4 + x)] & 0xFFFFFFu;
    };
    const int frameLeft = panel->width();
    for (int lamp = 0; lamp < 4; ++lamp) {
        const uint32_t colour = rgb(frameLeft + 30 + 20 * lamp, 20);
        int drawn = 0;
        for (int y = 30; y < panel->height(); ++y) {
            for (int x = frameLeft; x < 2 * frameLeft; ++x)
                drawn += rgb(x, y) == colour ? 1 : 0;
        }
        EXPECT_EQ(0, drawn) << "lamp " << lamp;
    }
    expectCleanRun();
}

// The first two chapters' words agree with what the screen shows: each case
// gives the words shown (after what the player does), the words they must
// be, and a phrase the screen would contradict.
TEST_F(SampleScenesTest, TheFirstChaptersWordsAgreeWithTheScreen)
{
    canvas->getProgress()->chapter = 1;
    auto text = [](const char* id) { return std::string(lang::String::loadText(id).c_str()); };
    auto talk = [](Character* c) { return c && c->isTalking() ? std::string(c->getTalkText()->getText().c_str()) : ""; };
    // What four clicks on a person make them say (clicks that end a speech
    // say nothing).
    auto linesOf = [&](const char* name) {
        Character* person = canvas->findCharacter(lang::String(name));
        std::string said;
        for (int i = 0; i < 4; ++i) {
            world.click(centreX(person), centreY(person));
            world.stepFrames(2);
            said += talk(person) + "|";
        }
        return said;
    };
    // The player's thought after a step taken with the story set so, which
    // is undone after.
    auto thoughtAfter = [&](int chapter, const std::string& story, const std::string& undo,
                            const std::function<void()>& step) {
        canvas->getProgress()->chapter = chapter;
        runLua(room(2), story);
        step();
        world.stepFrames(2);
        const std::string said = talk(canvas->getPlayerCharacter());
        canvas->getPlayerCharacter()->stopTalk();
        runLua(room(2), undo);
        canvas->getProgress()->chapter = 1;
        return said;
    };
    const struct {
        const char* what;
        std::function<std::string()> words;
        const char* said;
        const char* contradicted;
    } cases[] = {
        {"the first task, before the professor is met: his letter asks", [&] { return text("STR_HINT_1"); }, nullptr,
         "the professor's flowers"},
        {"the fountain's task, over a basin of old water", [&] { return text("STR_HINT_10"); }, nullptr, "dry"},
        {"the ways on, the caves' ways their mouths", [] { return pictureWords("dialogs/HowToPlay1"); }, nullptr,
         "at its edges.\""},
        {"the bridge's rules, a round after the first shown by itself", [] { return pictureWords("bridge/panel"); },
         nullptr, "the same order\""},
        {"an opened lock, the next board shown at once", [&] { return text("STR_CHEST_LOCK_OPEN"); }, nullptr,
         "doors"},
        {"the second chapter's slide of the old town", [] { return pictureWords("vignette/Slide5"); }, nullptr,
         "map"},
        {"the maze's end, told at its front", [&] { return text("STR_MAZE_SOLVED"); }, nullptr, "through"},
        {"the first chapter's way to the Tavern Gallery, shut", [&] { return text("STR_THINK_MARKET_GALLERY_SHUT"); },
         nullptr, "ferry"},
        {"the vines' task, the machete lying at the volcano", [&] { return text("STR_HINT_42"); }, nullptr,
         "past the volcano"},
        {"the restoration's task, its room open once the card game is won (the trophy is never used)",
         [&] { return text("STR_HINT_22"); }, nullptr, "trophy opens"},
        {"the barkeeper once the card player is beaten",
         [&] {
             runLua(room(2), "LF.concentrationWon = true");
             enter(11);
             return linesOf("Barkeeper");
         },
         nullptr, "Don't play cards"},
        {"the card player once beaten", [&] { return linesOf("CardShark"); }, nullptr, "game of memory"},
        {"the box given at the dock",
         [&] {
             runLua(room(2), "LF.visited.Dock = true; LF_giveItem('Box')");
             enter(0);
             player.takeFromBar("Box");
             world.click(400, 300);
             world.stepFrames(2);
             return talk(canvas->findCharacter(lang::String("Fisherman")));
         },
         "STR_FISHERMAN_BOX", nullptr},
        {"the vase filled at the river",
         [&] {
             runLua(room(2), "LF_giveItem('Vase')");
             enter(5);
             player.takeFromBar("Vase");
             clickSprite(room(5), "River");
             world.stepFrames(2);
             return talk(canvas->getPlayerCharacter());
         },
         "STR_THINK_VASE_FILLED", nullptr},
        {"the lever pulled at the river, leaning over",
         [&] {
             enter(5);
             clickSprite(room(5), "Lever");
             world.stepFrames(2);
             sprite::SpriteBase* pulled = room(5)->getSprite("LeverPulled");
             EXPECT_FALSE(room(5)->getSprite("Lever")->isVisible());
             EXPECT_TRUE(pulled && pulled->isVisible()) << "the lever leans over";
             return talk(canvas->getPlayerCharacter());
         },
         "STR_THINK_LEVER_PULLED", nullptr},
        {"the lever clicked once pulled",
         [&] {
             world.stepFrames(200);
             clickSprite(room(5), "LeverPulled");
             world.stepFrames(2);
             return talk(canvas->getPlayerCharacter());
         },
         "STR_THINK_LEVER_DONE", nullptr},
        {"the vase taken from the shop's counter",
         [&] {
             enter(4);
             clickSprite(room(4), "Item_Vase");
             world.stepFrames(2);
             return talk(canvas->getPlayerCharacter());
         },
         "STR_THINK_VASE", nullptr},
        {"the safe opened at night, the dive shop opening with nothing more fetched",
         [&] {
             canvas->getProgress()->chapter = 5;
             enter(51);
             runLua(room(51), "rooms.MansionStudy.setRoomState(self)");
             world.stepFrames(2);
             canvas->getProgress()->chapter = 1;
             return talk(canvas->getPlayerCharacter());
         },
         "STR_THINK_SAFE", "porch"},
        {"the village elder once the three peg boards are won",
         [&] {
             canvas->getProgress()->chapter = 4;
             runLua(room(2), "LF.pegsSolved = {true, true, true}");
             enter(40);
             return linesOf("TribalElder");
         },
         nullptr, "lost their pegs"},
        {"another village's peg dropped on a board",
         [&] {
             canvas->getInventory()->enableItems(true);
             runLua(room(2), "LF_giveItem('Peg_2')");
             enter(40);
             player.takeFromBar("Peg_2");
             clickSprite(room(40), "PegBoard");
             world.stepFrames(2);
             canvas->getProgress()->chapter = 1;
             const std::string said = talk(canvas->getPlayerCharacter());
             canvas->getPlayerCharacter()->stopTalk();
             return said;
         },
         "STR_THINK_PEG_WRONG", nullptr},
        {"the outer sanctum's lever pulled with its row not full",
         [&] {
             canvas->getProgress()->chapter = 4;
             enter(35);
             clickSprite(room(35), "LeverClickRect");
             world.stepFrames(2);
             return talk(canvas->getPlayerCharacter());
         },
         "STR_THINK_SANCTUM_FILL", nullptr},
        {"an empty place of the sanctum's row clicked with no colour picked",
         [&] {
             clickSprite(room(35), "RowClickRect_2");
             world.stepFrames(2);
             canvas->getProgress()->chapter = 1;
             return talk(canvas->getPlayerCharacter());
         },
         "STR_THINK_SANCTUM_PICK", nullptr},
        {"a colour of the sanctum clicked once both codes are broken",
         [&] {
             return thoughtAfter(4, "LF.outerSanctumWins = 2 LF.outerSanctumSolved = true",
                                 "LF.outerSanctumWins = 0 LF.outerSanctumSolved = false", [&] {
                                     enter(35);
                                     clickSprite(room(35), "PieceChoice_3");
                                 });
         },
         "STR_THINK_SANCTUM_DONE", nullptr},
        {"a cave inlay opened again once solved",
         [&] { return thoughtAfter(3, "LF.inlaySolved = {true, true, true, true}", "LF.inlaySolved = {}", [&] { enter(34); }); },
         "STR_THINK_INLAY_DONE", nullptr},
        {"the lure keeper's game opened again once won",
         [&] {
             canvas->getProgress()->chapter = 6;
             runLua(room(2), "LF.luresWon = true; LF.lurePlaced = {Spoon = true, Fly = true, Plug = true, "
                             "Spinner = true}");
             enter(64);
             canvas->getProgress()->chapter = 1;
             return std::string(
                 static_cast<sprite::NewFontSprite*>(room(64)->getSprite("Status"))->getText().c_str());
         },
         "STR_LURES_DONE", nullptr},
        {"the card game opened again once won: the message at the top right",
         [&] {
             canvas->getProgress()->chapter = 2;
             runLua(room(2), "LF.concentrationWon = true");
             enter(17);
             world.stepFrames(2);
             canvas->getProgress()->chapter = 1;
             auto* tip = static_cast<sprite::NewFontSprite*>(canvas->getSprite("RoomItemTipText"));
             return tip->isVisible() ? std::string(tip->getText().c_str()) : "";
         },
         "STR_CARDS_DONE", nullptr},
        {"a peg board opened again once won: the line under it",
         [&] {
             canvas->getProgress()->chapter = 4;
             runLua(room(2), "LF.pegSet[1] = true LF.pegsSolved = {true}");
             enter(40);
             clickSprite(room(40), "PegBoard");
             world.stepFrames(30);
             auto* pegs = canvas->getCloseUp(1);
             auto* line = static_cast<sprite::NewFontSprite*>(pegs->getSprite("Status"));
             const std::string said = pegs->isVisible() && line->isVisible() ? line->getText().c_str() : "";
             runLua(room(2), "LF.pegSet = {} LF.pegsSolved = {}");
             canvas->hideCloseUps();
             canvas->getProgress()->chapter = 1;
             return said;
         },
         "STR_PEGS_DONE", nullptr},
    };
    for (const auto& c : cases) {
        const std::string words = c.words();
        if (c.said) {
            EXPECT_EQ(text(c.said), words) << c.what;
            EXPECT_FALSE(words.empty()) << c.what << ": nothing shown";
        }
        if (c.contradicted) {
            EXPECT_EQ(std::string::npos, words.find(c.contradicted)) << c.what << ": " << words;
        }
    }
    // The ferry takes the player round to the Tavern Gallery, which the
    // market's exit names, east of the market.
    for (const char* id : {"Text4", "STR_CHAPTER_DESCRIPTION_2"}) {
        for (const char* place : {"the Tavern Gallery", "east of the market"})
            EXPECT_NE(std::string::npos, text(id).find(place)) << id << ": " << text(id);
    }
    // The bar gives nothing onto the pointer in the sixth chapter: the seal's
    // note says a click sets the amulet, and the gems' tips send them to the
    // seal, no longer to the golden door.
    EXPECT_EQ(0u, text("STR_NOTE_AMULET_DOOR").find("Click the seal"));
    for (const char* gem : {"Gem_1", "Gem_2", "Gem_3", "Gem_4"}) {
        const std::string tip = runLua(room(2), std::string("LF.chapter = 6; for i, n in pairs(LF_ITEMS) do "
                                                            "if n == '") + gem +
                                                    "' then return hv.getResourceString("
                                                    "LF_getInventoryItemToolTipID(i)) end end");
        EXPECT_NE(std::string::npos, tip.find("seal")) << gem << ": " << tip;
    }
    runLua(room(2), "LF.chapter = 1");
    // The amulet's tip tells of four empty settings: its picture holds no
    // gem in its middle.
    EXPECT_NE(std::string::npos, text("STR_TIP_Amulet").find("empty"));
    auto* amulet = static_cast<sprite::ImageSprite*>(canvas->getInventory()->getSprite("Amulet"));
    ASSERT_NE(nullptr, amulet);
    window::ImageBase* image = amulet->getImage();
    ASSERT_TRUE(image && image->getPixels());
    const uint32_t middle = image->getPixels()[size_t(image->getHeight() / 2) * size_t(image->getPitch() / 4) +
                                               size_t(image->getWidth() / 2)];
    EXPECT_FALSE(((middle >> 16) & 0xFF) > 0x90 && ((middle >> 8) & 0xFF) < 0x60) << "a red gem in its middle";
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheHedgeMazeIsWalkedToItsExit)
{
    auto* maze = static_cast<Maze*>(room(20));
    ASSERT_TRUE(maze->isInstanceOf("Maze"));
    ASSERT_TRUE(maze->isBuilt());
    enter(20);
    walkHedgeMaze(player, world, maze);
    EXPECT_TRUE(maze->isSolved());
    ASSERT_TRUE(painted([this] { return flag("hedgeMazeSolved") == "true"; }));
    // Out at the maze's front, a message tells of it.
    ASSERT_TRUE(painted([this] { return canvas->getCurrentRoomIndex() == 15; }));
    ASSERT_TRUE(painted([this] { return canvas->isSpriteVisible("RoomItemsBalloon"); }));
    EXPECT_STREQ(lang::String::loadText("STR_MAZE_SOLVED").c_str(),
                 static_cast<sprite::NewFontSprite*>(canvas->getSprite("RoomItemTipText"))->getText().c_str());
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheMazesHelpNamesOnlyTheControlsThatMoveItsToken)
{
    const std::string help = pictureWords("ins/maze");
    ASSERT_FALSE(help.empty()) << "the help's description is read from the data";
    auto* maze = static_cast<Maze*>(room(20));
    // Each control the help may name, and what a player does to use it:
    // the token is to move east from the entrance.
    const struct {
        const char* word;
        std::function<void(Maze*)> use;
    } controls[] = {
        {"arrow key", [this](Maze*) {
             for (int i = 0; i < 10; ++i)
                 world.key(VK_RIGHT);
         }},
        {"drag", [this](Maze* m) {
             const int x = m->getTravelerX() + 10, y = m->getTravelerY() + 10;
             world.mouseDown(x, y);
             world.mouseMove(x + 15, y);
             world.mouseMove(x + 30, y);
             world.mouseUp(x + 30, y);
         }},
        {"click it", [this](Maze* m) {
             const int x = m->getTravelerX() + 10, y = m->getTravelerY() + 10;
             world.click(x, y);
             world.mouseMove(x + 30, y);
         }},
    };
    int named = 0;
    for (const auto& control : controls) {
        if (help.find(control.word) == std::string::npos)
            continue;
        SCOPED_TRACE(control.word);
        ++named;
        enter(20);
        world.stepFrames(2);
        const int startX = maze->getTravelerX();
        control.use(maze);
        world.stepFrames(2);
        EXPECT_GT(maze->getTravelerX(), startX) << "the help names it, so it moves the token";
    }
    EXPECT_GT(named, 0) << "the help names a control: " << help;
}

// The pearl dive's help bears the name its room shows and says what the
// player clicks; it and the card game's help name the count that wins; the
// chest's help says how its blocks move and what opens a lock.
TEST_F(SampleScenesTest, TheDiveAndCardGamesHelpSayWhatIsClickedAndWhatWins)
{
    const char* const numbers[] = {"none", "one", "two", "three", "four", "five", "six", "seven", "eight"};
    auto* dive = static_cast<WhackAClam*>(room(18));
    ASSERT_TRUE(dive->isInstanceOf("WhackAClam"));
    ASSERT_LT(dive->getPearlCount(), 9);
    const std::string room = pictureWords("rooms/WhackAClam");
    const std::string title = room.substr(0, room.find('"', 1) + 1);
    const struct {
        const char* help;
        std::vector<std::string> said, unsaid;
    } games[] = {
        {"ins/whackaclam",
         {title, "click the pearl", std::string(numbers[dive->getPearlCount()]) + " pearls"},
         {"whack", "tap"}},
        {"ins/concentration", {std::string(numbers[Concentration::WINNING_PAIRS]) + " pairs wins"}, {"every"}},
        // Each move scores the line it makes, so a three grown to four
        // scores again.
        {"ins/tictac", {"a line that grows scores again"}, {}},
        {"ins/treasure", {"along its length", "key block", "gap on the right", "three locks"}, {"about"}},
    };
    for (const auto& game : games) {
        const std::string help = pictureWords(game.help);
        ASSERT_FALSE(help.empty()) << game.help;
        for (const std::string& words : game.said)
            EXPECT_NE(std::string::npos, help.find(words)) << game.help << " lacks " << words << ": " << help;
        for (const std::string& words : game.unsaid)
            EXPECT_EQ(std::string::npos, help.find(words)) << game.help << " says " << words << ": " << help;
    }
}

TEST_F(SampleScenesTest, EveryPuzzlesLeaveButtonWorksOnEntering)
{
    for (int index = 0; index < LanternfieldCanvas::ROOM_COUNT; ++index) {
        Room* r = room(index);
        sprite::ButtonMixin* leave = nullptr;
        std::string name;
        for (int i = 0; i < r->getChildCount() && !leave; ++i) {
            sprite::SpriteBase* child = r->childAt(i);
            name = child->getName().c_str();
            const bool named =
                name == "CloseButton" || (name.size() > 5 && name.compare(name.size() - 5, 5, "Close") == 0);
            if (named && child->isInstanceOf("ButtonSprite"))
                leave = sprite::ButtonMixin::fromSprite(child);
            child->release();
        }
        if (!leave)
            continue;
        SCOPED_TRACE(r->getName().c_str());
        enter(index);
        world.stepFrames(2);
        EXPECT_TRUE(leave->isEnabled()) << name;
    }
}

TEST_F(SampleScenesTest, TheCardGameDealsAndTurnsACardUp)
{
    auto* cards = static_cast<Concentration*>(room(17));
    ASSERT_TRUE(cards->isInstanceOf("Concentration"));
    unseeInstructions(3);
    enter(17);
    playPastInstructions(3);
    ASSERT_TRUE(stepUntil([cards] {
        return cards->getState() == Concentration::STATE_PLAYER_TURN && !cards->isDealing();
    }));
    world.stepFrames(10);
    EXPECT_EQ(24, cards->getCardCount());
    sprite::SpriteBase* back = cards->getCardBack(7);
    world.click(back->left() + back->width() / 2, back->top() + back->height() / 2);
    EXPECT_TRUE(cards->card(7).faceUp);
    world.stepFrames(10);
    EXPECT_TRUE(cards->getCardFace(7)->isVisible());
    auto* score = static_cast<sprite::NewFontSprite*>(cards->getSprite("PlayerScore"));
    EXPECT_STREQ("0", score->getText().c_str());
    EXPECT_GT(score->width(), 0) << "the bitmap font lays the text out";
    // Two misses of the player: after each the computer's turn comes within
    // two seconds, a click on a card then is told to wait, and the turn
    // comes back with the word that he missed, which the player's next card
    // clears.
    auto pickable = [cards](int other) {
        for (int n = 0; n < cards->getCardCount(); ++n) {
            const Concentration::Card& c = cards->card(n);
            if (!c.taken && !c.faceUp && n != other &&
                (other < 0 || c.value != cards->card(other).value))
                return n;
        }
        return -1;
    };
    auto clickCard = [this, cards](int n) {
        sprite::SpriteBase* b = cards->getCardBack(n);
        world.click(b->left() + b->width() / 2, b->top() + b->height() / 2);
    };
    int first = 7;
    for (int miss = 0; miss < 2; ++miss) {
        if (miss > 0) {
            first = pickable(-1);
            clickCard(first);
            EXPECT_FALSE(canvas->isSpriteVisible("RoomItemsBalloon")) << "the word of his miss stays";
        }
        clickCard(pickable(first));
        ASSERT_EQ(Concentration::STATE_SECOND_PICKED, cards->getState()) << miss;
        EXPECT_TRUE(framesUntil([cards] { return cards->getState() == Concentration::STATE_COMPUTER_FIRST; }, 50))
            << "miss " << miss;
        // A card clicked on the computer's turn is not picked, and the
        // message says to wait.
        const int early = pickable(-1);
        clickCard(early);
        EXPECT_FALSE(cards->card(early).faceUp) << "miss " << miss;
        expectTip("STR_CARDS_WAIT");
        ASSERT_TRUE(framesUntil([cards] { return cards->getState() == Concentration::STATE_PLAYER_TURN; }, 500))
            << "miss " << miss;
        expectTip("STR_CARDS_HIS_MISS");
    }
    // A lost game is told before the new deal, in which the card player
    // plays weak: a newcomer who remembers only the last four cards turned
    // up wins it (where at full strength he takes six pairs to one). Once
    // won, he plays at his full strength again.
    cards->getRandom().seed(5);
    runLua(cards, "rooms.Concentration.loseGameScene(self, 1)");
    expectTip("STR_CARDS_LOST");
    ASSERT_TRUE(stepUntil([cards] { return cards->getState() == Concentration::STATE_PLAYER_TURN; }));
    EXPECT_TRUE(cards->isWeakComputer());
    EXPECT_TRUE(playCardGameFromMemory(player, cards, 4)) << cards->getPlayerScore() << "-" << cards->getAIScore();
    EXPECT_EQ("false", story(cards, "LF_dumbDownConcentrationAI()"));
    expectCleanRun();
}

TEST_F(SampleScenesTest, NoughtsAndCrossesTakesTheComputersMoveAndThePlayers)
{
    auto* game = static_cast<TicTac*>(room(52));
    ASSERT_TRUE(game->isInstanceOf("TicTac"));
    unseeInstructions(10);
    enter(52);
    playPastInstructions(10);
    ASSERT_TRUE(stepUntil([game] { return game->getState() == TicTac::STATE_PLAYER_TURN; }));
    int free = -1;
    for (int i = 24; i >= 0 && free < 0; --i) {
        if (game->board().at(i) == TicTacBoard::EMPTY)
            free = i;
    }
    ASSERT_GE(free, 0);
    world.click(240 + 80 * (free % 5), 150 + 80 * (free / 5));
    EXPECT_EQ(TicTacBoard::PLAYER, game->board().at(free));
    world.stepFrames(10);
    EXPECT_TRUE(game->getOPiece(free)->isVisible());
    expectCleanRun();
}

// A click on the board while the card shark is on turn places nothing and
// the line says to wait for "You", and then, once it lights (a moment after
// the shark's mark at the latest), that it is the player's turn; a click on
// a blocked or taken square says so; the player's click on a free square on
// their turn plays and brings the game's line back.
TEST_F(SampleScenesTest, NoughtsAndCrossesTellsAClickOnTheSharksTurnToWait)
{
    auto* game = static_cast<TicTac*>(room(52));
    enter(52);
    auto message = [game] {
        return std::string(static_cast<sprite::NewFontSprite*>(game->getSprite("Message"))->getText().c_str());
    };
    auto text = [](const char* id) { return std::string(lang::String::loadText(id).c_str()); };
    auto freeCell = [game] {
        int cell = 24;
        while (cell > 0 && game->board().at(cell) != TicTacBoard::EMPTY)
            --cell;
        return cell;
    };
    auto clickCell = [this](int cell) { world.click(240 + 80 * (cell % 5), 150 + 80 * (cell / 5)); };
    // Between the shark's mark and "You" lighting.
    ASSERT_TRUE(stepUntil([game] { return game->getState() == TicTac::STATE_COMPUTER_MOVE; }, 2000));
    int cell = freeCell();
    clickCell(cell);
    EXPECT_EQ(TicTacBoard::EMPTY, game->board().at(cell));
    EXPECT_EQ(text("STR_TICTAC_WAIT"), message());
    ASSERT_TRUE(stepUntil([game] { return game->getState() == TicTac::STATE_PLAYER_TURN; }, 2000));
    EXPECT_EQ(text("STR_TICTAC_YOUR_TURN"), message()) << "the player's turn, once \"You\" lights";
    clickCell(12);
    EXPECT_EQ(text("STR_TICTAC_BLOCKED"), message());
    int taken = 0;
    while (game->board().at(taken) != TicTacBoard::COMPUTER)
        ++taken;
    clickCell(taken);
    EXPECT_EQ(text("STR_TICTAC_TAKEN"), message());
    EXPECT_EQ(TicTac::STATE_PLAYER_TURN, game->getState());
    std::string playing = text("STR_TICTAC_PLAYING");
    playing.replace(playing.find("%1"), 2, "0");
    cell = freeCell();
    clickCell(cell);
    EXPECT_EQ(TicTacBoard::PLAYER, game->board().at(cell));
    EXPECT_EQ(playing, message());
    expectCleanRun();
}

// The line under the title says how each game ended, and the ended board
// stays, with neither side on turn, until a click brings the next game,
// whose line counts the games won, as the label under the board does at
// once (inside the window); the third won game leaves neither side on turn
// and the Leave button working; the turn labels keep off the board.
TEST_F(SampleScenesTest, NoughtsAndCrossesSaysHowEachGameEndedAndTheWinnerLeaves)
{
    auto* game = static_cast<TicTac*>(room(52));
    enter(52);
    auto* wins = static_cast<sprite::AnimateSprite*>(game->getSprite("Wins"));
    const util::RectangleNM label = *wins->getBounds();
    EXPECT_TRUE(label.x >= 4 && label.x + label.width <= 796 && label.y + label.height <= 596)
        << label.x << ", " << label.y << ", " << label.width << " x " << label.height;
    auto message = [game] {
        auto* line = static_cast<sprite::NewFontSprite*>(game->getSprite("Message"));
        return std::string(line ? line->getText().c_str() : "(no message line)");
    };
    auto text = [](const char* id, int won) {
        std::string line = lang::String::loadText(id).c_str();
        const size_t at = line.find("%1");
        return at == std::string::npos ? line : line.replace(at, 2, std::to_string(won));
    };
    EXPECT_EQ(text("STR_TICTAC_RULES", 0), message());
    // The turn labels stand off the board (its cells 80 pixels square from
    // (200, 110)).
    for (const char* label : {"AITurnBG", "PlayerTurnBG"}) {
        const util::RectangleNM bounds = *game->getSprite(label)->getBounds();
        EXPECT_TRUE(bounds.x >= 600 || bounds.x + bounds.width <= 200 || bounds.y >= 510 ||
                    bounds.y + bounds.height <= 110)
            << label;
    }
    const struct {
        int state;
        const char* said;
        int won;
    } ends[] = {
        {TicTac::STATE_COMPUTER_WON, "STR_TICTAC_LOST", 0},
        {TicTac::STATE_TIE, "STR_TICTAC_TIE", 0},
        {TicTac::STATE_PLAYER_WON, "STR_TICTAC_WON", 1},
        {TicTac::STATE_PLAYER_WON, "STR_TICTAC_WON", 2},
    };
    for (const auto& end : ends) {
        ASSERT_TRUE(stepUntil([game] { return game->getState() == TicTac::STATE_PLAYER_TURN; }, 2000));
        game->setState(end.state);
        EXPECT_EQ(text(end.said, end.won), message()) << end.said;
        world.click(400, 300);
        EXPECT_EQ(end.state, game->getState()) << end.said << ": a click just after the end clears the board";
        EXPECT_EQ(end.won > 0, wins->isVisible()) << end.said;
        if (end.won > 0) {
            EXPECT_EQ(end.won - 1, wins->getFrame()) << end.said << ": the label counts the games won with the line";
        }
        world.stepFrames(100);
        EXPECT_EQ(end.state, game->getState()) << end.said << ": the ended board stays";
        EXPECT_EQ(text(end.said, end.won), message()) << end.said;
        for (const char* label : {"AITurnBG", "PlayerTurnBG"}) {
            EXPECT_EQ(0, static_cast<sprite::AnimateSprite*>(game->getSprite(label))->getFrame())
                << end.said << ": no side on turn while the ended board waits";
        }
        world.click(400, 300);
        EXPECT_EQ(text("STR_TICTAC_PLAYING", end.won), message()) << end.said << ": the next game's line";
    }
    // The third won game, its last move the computer's.
    ASSERT_TRUE(stepUntil([game] { return game->getState() == TicTac::STATE_PLAYER_TURN; }, 2000));
    const int cell = game->board().at(6) == TicTacBoard::EMPTY ? 6 : 7;
    world.click(240 + 80 * (cell % 5), 150 + 80 * (cell / 5));
    ASSERT_TRUE(stepUntil([game] { return game->getState() == TicTac::STATE_COMPUTER_TURN; }, 2000));
    game->setState(TicTac::STATE_PLAYER_WON);
    EXPECT_EQ(text("STR_TICTAC_SOLVED", 3), message());
    EXPECT_EQ(0, static_cast<sprite::AnimateSprite*>(game->getSprite("AITurnBG"))->getFrame()) << "no side on turn";
    sprite::SpriteBase* leave = game->getSprite("CloseButton");
    EXPECT_TRUE(sprite::ButtonMixin::fromSprite(leave)->isEnabled());
    clickOn(world, leave);
    EXPECT_TRUE(painted([this] { return canvas->getProgress()->currentRoom == 44; })) << "back in the tavern";
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheBookshelfIsSortedByCarryingEveryThingHome)
{
    auto* shelf = static_cast<Bookshelf*>(room(27));
    ASSERT_TRUE(shelf->isInstanceOf("Bookshelf"));
    enter(27);
    ASSERT_TRUE(stepUntil([shelf] { return !shelf->isTransitioning(); }));
    EXPECT_EQ("16", story(shelf, "LF.reverseISpyCount"));
    for (int n = 1; n <= Bookshelf::ITEM_COUNT; ++n) {
        const std::string item = std::to_string(n);
        clickOpaque(static_cast<sprite::AnimateSprite*>(shelf->getSprite(("WallItem_" + item).c_str())));
        ASSERT_EQ(n, shelf->heldItem()) << "thing " << n;
        sprite::SpriteBase* home = shelf->getSprite(("HomeItem_" + item).c_str());
        world.mouseMove(centreX(home), centreY(home));
        clickOn(world, home);
        ASSERT_EQ("1", runLua(shelf, "return LF_isBookshelfItemFixed(" + item + ")")) << "thing " << n;
        // Home, it covers its shadow: neither turned nor mirrored as it hung.
        sprite::SpriteBase* thing = shelf->getSprite(("WallItem_" + item).c_str());
        EXPECT_EQ(0, int(thing->getRotation()) % 360) << "thing " << n;
        EXPECT_EQ(sprite::SpriteBase::FLIP_NONE, thing->getFlipType()) << "thing " << n;
    }
    EXPECT_EQ("true", story(shelf, "LF.bookshelfSorted"));
    // The clock, once set (its close-up is played in the story's walk), shows
    // its key, and the key opens the drawer, whose map goes into the bar.
    sprite::SpriteBase* key = shelf->getSprite("KeyOnClock");
    EXPECT_FALSE(key->isVisible());
    runLua(shelf, "rooms.Bookshelf.onClockSolved(self, 1)");
    ASSERT_TRUE(key->isVisible());
    clickOn(world, key);
    EXPECT_EQ("true", runLua(shelf, "return self:isKeyOnCursor()"));
    world.click(461, 563);
    world.stepFrames(30);
    EXPECT_TRUE(shelf->getSprite("DrawerMap")->isVisible());
    clickSprite(shelf, "DrawerMap");
    EXPECT_TRUE(canvas->getInventory()->hasItem(lang::String("CaveMapScroll")));
    expectCleanRun();
}

TEST_F(SampleScenesTest, APaintingIsMendedBySwappingTilesHome)
{
    auto* art = static_cast<ArtRestoration*>(room(19));
    ASSERT_TRUE(art->isInstanceOf("ArtRestoration"));
    unseeInstructions(4);
    enter(19);
    ASSERT_TRUE(stepUntil([art] { return !art->isTransitioning(); }));
    playPastInstructions(4);
    // The first painting met is cut 3 x 3 into cells of 100 x 80.
    const std::vector<ArtPiece*>& tiles = art->tiles(0);
    ASSERT_EQ(9u, tiles.size());
    sprite::SpriteBase* painting = art->getSprite("Painting1");
    auto clickSlot = [&](int slot) {
        world.click(painting->left() + slot % 3 * 100 + 50, painting->top() + slot / 3 * 80 + 40);
    };
    // Each painting covers its whole picture: no tile shows a gap.
    for (const char* name : {"Painting1", "Painting2", "Painting3"}) {
        window::ImageBase* image = static_cast<sprite::ImageSprite*>(art->getSprite(name))->getImage();
        const uint32_t* pixels = image->getPixels();
        ASSERT_NE(nullptr, pixels) << name;
        int clear = 0;
        for (int i = 0; i < image->getWidth() * image->getHeight(); ++i)
            clear += (pixels[i] >> 24) != 0xFF;
        EXPECT_EQ(0, clear) << name << " has pixels the board shows black";
    }
    // Over a tile still to be moved the pointer is the hand.
    for (int home = 0; home < 9; ++home) {
        if (tiles[size_t(home)]->isHome())
            continue;
        const int slot = tiles[size_t(home)]->getSlot();
        world.mouseMove(painting->left() + slot % 3 * 100 + 50, painting->top() + slot / 3 * 80 + 40);
        EXPECT_EQ(LanternfieldCanvas::CURSOR_HAND, canvas->getCurrentCursor());
        break;
    }
    for (int home = 0; home < 9 && !art->isClean(); ++home) {
        if (tiles[size_t(home)]->isHome())
            continue;
        clickSlot(tiles[size_t(home)]->getSlot());
        clickSlot(home);
        ASSERT_TRUE(stepUntil([&] { return tiles[size_t(home)]->isHome(); }, 30)) << "tile " << home;
        world.stepFrames(1);
    }
    EXPECT_TRUE(art->isClean());
    ASSERT_TRUE(stepUntil([&] { return story(art, "LF.paintingFixed[1]") == "true"; }, 60));
    world.stepFrames(40);
    EXPECT_EQ(ArtRestoration::GALLERY_ROOM, canvas->getCurrentRoomIndex());
    EXPECT_EQ("2", runLua(art, "return LF_getActivePainting()"));
    expectCleanRun();
}

// The place on the screen that the running zoom's mask keeps at a scale:
// its opaque pixels, scaled about the middle of its picture, which the zoom
// puts at its place plus half the picture's size.
util::RectangleNM artZoomShape(sprite::TransitionImage* mask, float scale)
{
    window::ImageBase* image = mask->image;
    const uint32_t* pixels = image ? image->getPixels() : nullptr;
    if (!pixels)
        return util::RectangleNM(0, 0, 0, 0);
    const int w = image->getWidth(), h = image->getHeight();
    int left = w, top = h, right = 0, bottom = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if ((pixels[size_t(y) * size_t(image->getPitch() / 4) + size_t(x)] >> 24) < 0x80)
                continue;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x + 1);
            bottom = std::max(bottom, y + 1);
        }
    }
    const double cx = mask->position.x + w / 2.0, cy = mask->position.y + h / 2.0;
    const int l = int(std::lround(cx + scale * (left - w / 2.0))), t = int(std::lround(cy + scale * (top - h / 2.0)));
    return util::RectangleNM(l, t, int(std::lround(cx + scale * (right - w / 2.0))) - l,
                             int(std::lround(cy + scale * (bottom - h / 2.0))) - t);
}

// Each grid's tile frames (plain, under the pointer, selected), drawn 4
// pixels up and left of a cell, draw only inside that cell: no tile's frame
// covers a neighbouring tile.
TEST_F(SampleScenesTest, ThePaintingsTileFramesDrawInsideTheirCells)
{
    auto* art = static_cast<ArtRestoration*>(room(19));
    sprite::SpriteBase* painting = art->getSprite("Painting1");
    for (int order = 1; order <= ArtRestoration::PAINTING_COUNT; ++order) {
        SCOPED_TRACE(order);
        const std::string name = "ArtSelection" + std::to_string(order);
        auto* frames = static_cast<sprite::ImageSprite*>(art->getSprite(name.c_str()));
        ASSERT_TRUE(frames && frames->isInstanceOf("ImageSprite"));
        window::ImageBase* image = frames->getImage();
        ASSERT_TRUE(image && image->getPixels());
        const int cellW = painting->width() / art->getColumns(order);
        const int cellH = painting->height() / art->getRows(order);
        const int frameW = image->getWidth() / 3;
        int outside = 0;
        for (int y = 0; y < image->getHeight(); ++y) {
            for (int x = 0; x < image->getWidth(); ++x) {
                const int fx = x % frameW - ArtPiece::FRAME_MARGIN;
                const int fy = y - ArtPiece::FRAME_MARGIN;
                const bool inCell = fx >= 0 && fx < cellW && fy >= 0 && fy < cellH;
                if ((image->getPixels()[y * image->getWidth() + x] >> 24) != 0 && !inCell)
                    ++outside;
            }
        }
        EXPECT_EQ(0, outside) << "pixels of the frames beyond their cell";
    }
}

// No painting has a horizon (a row where most of its width changes colour)
// a few pixels off a cut between its rows of tiles: a thin strip of the
// ground beyond it at a tile's edge reads as a strip of the tile below. The
// paintings are met in their order, each on the grid of its number.
TEST_F(SampleScenesTest, APaintingsHorizonsKeepClearOfTheCutsBetweenItsTiles)
{
    auto* art = static_cast<ArtRestoration*>(room(19));
    for (int order = 1; order <= ArtRestoration::PAINTING_COUNT; ++order) {
        SCOPED_TRACE(order);
        const std::string name = "Painting" + std::to_string(order);
        auto* painting = static_cast<sprite::ImageSprite*>(art->getSprite(name.c_str()));
        ASSERT_TRUE(painting && painting->isInstanceOf("ImageSprite"));
        window::ImageBase* image = painting->getImage();
        ASSERT_TRUE(image && image->getPixels());
        const int w = image->getWidth();
        const int cellH = image->getHeight() / art->getRows(order);
        const uint32_t* pixels = image->getPixels();
        for (int y = 1; y < image->getHeight(); ++y) {
            int changed = 0;
            for (int x = 0; x < w; ++x)
                changed += pixels[y * w + x] != pixels[(y - 1) * w + x] ? 1 : 0;
            if (changed * 5 < w * 3)
                continue;
            const int off = std::min(y % cellH, cellH - y % cellH);
            EXPECT_TRUE(off == 0 || off >= cellH / 4) << "a horizon at row " << y << ", " << off
                                                      << " pixels off a cut";
        }
    }
}

// Each painting, left by the Leave button and then restored, zooms back into
// its own painting on the gallery's wall, where the count of those restored
// is told: the zoom's mask covers the whole
// screen as it starts and is the painting's picture as it ends, so that no
// scrap of the restoration hangs over the gallery and the zoom ends on the
// painting, which shows its grime until it is restored. The small picture of
// the painting in the restoration keeps off the easel, which stands 24
// pixels round the painting.
TEST_F(SampleScenesTest, ARestoredPaintingIsZoomedBackToItsPlaceOnTheGalleryWall)
{
    auto* art = static_cast<ArtRestoration*>(room(19));
    Room* gallery = room(ArtRestoration::GALLERY_ROOM);
    auto zoomingBack = [this, art](bool clean) {
        auto* zoom = dynamic_cast<sprite::TransitionMask*>(canvas->getTransition());
        sprite::TransitionImage* mask = nullptr;
        ASSERT_TRUE(zoom && zoom->getMask(0, mask));
        EXPECT_NE(-1, mask->name.indexOf(clean ? "Clean" : "Dirty")) << mask->name.c_str();
        const util::RectangleNM start = artZoomShape(mask, zoom->getScaleInit());
        EXPECT_TRUE(start.x <= 0 && start.y <= 0 && start.x + start.width >= 800 && start.y + start.height >= 600)
            << mask->name.c_str() << " starts at " << start.x << ", " << start.y << " " << start.width << " x "
            << start.height;
        const int p = art->getActivePainting() + 1;
        sprite::SpriteBase* wall = room(ArtRestoration::GALLERY_ROOM)->getSprite(("Painting" + std::to_string(p)).c_str());
        ASSERT_NE(nullptr, wall);
        // The picture inside the painting's frame of 6 pixels.
        const util::RectangleNM end = artZoomShape(mask, zoom->getScaleEnd());
        EXPECT_NEAR(wall->left() + 6, end.x, 2) << mask->name.c_str();
        EXPECT_NEAR(wall->top() + 6, end.y, 2) << mask->name.c_str();
        EXPECT_NEAR(wall->width() - 12, end.width, 2) << mask->name.c_str();
        EXPECT_NEAR(wall->height() - 12, end.height, 2) << mask->name.c_str();
    };
    for (int p = 1; p <= 3; ++p) {
        SCOPED_TRACE(p);
        enter(19);
        ASSERT_TRUE(stepUntil([art] { return !art->isTransitioning(); }));
        ASSERT_EQ(p, art->getActivePainting() + 1);
        // The thumbnail and its frame keep off the easel.
        sprite::SpriteBase* board = art->getSprite(("Painting" + std::to_string(p)).c_str());
        const util::RectangleNM easel(board->left() - 24, board->top() - 24, board->width() + 48,
                                      board->height() + 48);
        world.stepFrames(20);
        sprite::ScalerSprite* thumbnail = art->getThumbnail();
        const double reach = std::hypot(thumbnail->width() * thumbnail->getScaleX(),
                                        thumbnail->height() * thumbnail->getScaleY()) / 2;
        sprite::SpriteBase* frame = art->getSprite("PaintingFrame");
        EXPECT_EQ(centreX(frame), thumbnail->getX());
        EXPECT_EQ(centreY(frame), thumbnail->getY());
        EXPECT_LT(thumbnail->getX() + reach, easel.x);
        EXPECT_LT(frame->left() + frame->width(), easel.x);
        // Left by the Leave button: back to the painting, grimy.
        clickSprite(art, "ArtRestorationClose");
        zoomingBack(false);
        ASSERT_TRUE(painted([this] { return canvas->getCurrentRoomIndex() == ArtRestoration::GALLERY_ROOM; }));
        sprite::SpriteBase* grime = gallery->getSprite(("Grime" + std::to_string(p)).c_str());
        ASSERT_NE(nullptr, grime);
        EXPECT_TRUE(grime->isVisible());
        // Restored: back to the painting, clean.
        enter(19);
        ASSERT_TRUE(stepUntil([art] { return !art->isTransitioning(); }));
        const std::vector<ArtPiece*>& tiles = art->tiles(p - 1);
        const int columns = art->getColumns(art->getOrderValue(p - 1));
        const int cellW = board->width() / columns, cellH = board->height() / art->getRows(art->getOrderValue(p - 1));
        auto clickSlot = [&](int slot) {
            world.click(board->left() + slot % columns * cellW + cellW / 2, board->top() + slot / columns * cellH + cellH / 2);
        };
        for (size_t home = 0; home < tiles.size() && !art->isClean(); ++home) {
            if (tiles[home]->isHome())
                continue;
            clickSlot(tiles[home]->getSlot());
            clickSlot(int(home));
            ASSERT_TRUE(stepUntil([&] { return tiles[home]->isHome(); }, 30)) << "tile " << home;
            world.stepFrames(1);
        }
        ASSERT_TRUE(art->isClean());
        ASSERT_TRUE(stepUntil([this] { return canvas->getTransition() != nullptr; }, ArtRestoration::WIN_DELAY + 100));
        zoomingBack(true);
        ASSERT_TRUE(painted([this] { return canvas->getCurrentRoomIndex() == ArtRestoration::GALLERY_ROOM; }));
        EXPECT_FALSE(grime->isVisible());
        // The gallery tells how many are restored; the last brings the card.
        std::string told = lang::String::loadText(p < 3 ? "STR_GALLERY_RESTORED" : "STR_GALLERY_CARD").c_str();
        if (p < 3 && told.find("%1") != std::string::npos)
            told.replace(told.find("%1"), 2, std::to_string(p));
        EXPECT_TRUE(canvas->isSpriteVisible("RoomItemsBalloon"));
        EXPECT_EQ(told, static_cast<sprite::NewFontSprite*>(canvas->getSprite("RoomItemTipText"))->getText().c_str());
    }
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheAirCompressorIsMendedWithFusesAndWires)
{
    auto* air = static_cast<AirCompressor*>(room(21));
    ASSERT_TRUE(air->isInstanceOf("AirCompressor"));
    enter(21);
    ASSERT_TRUE(stepUntil([air] { return !air->isTransitioning(); }));
    mendAirCompressor(player, world, air);
    EXPECT_EQ("running", story(air, "LF.compressorStage"));
    EXPECT_TRUE(air->getSprite("IndicatorLight")->isVisible());
    world.stepFrames(20);
    expectCleanRun();
}

// The note under the fuse box follows the holders as the player fills and
// empties them, and TEST pressed with a fuse in hand puts it down and tries
// the holders.
TEST_F(SampleScenesTest, TheAirCompressorsNoteFollowsItsHoldersAndTestTakesAFuseInHand)
{
    auto* air = static_cast<AirCompressor*>(room(21));
    // As a game saved at the fuses and started again: the board is laid out
    // afresh, START unlit.
    runLua(air, "LF.compressorStage = 'fuses'");
    enter(21);
    ASSERT_TRUE(stepUntil([air] { return !air->isTransitioning(); }));
    EXPECT_FALSE(air->getSprite("Button_Start")->isVisible());
    // The note's text, its lines joined again.
    auto note = [air] {
        std::string text = static_cast<sprite::NewFontSprite*>(air->getSprite("StatusText"))->getText().c_str();
        std::replace(text.begin(), text.end(), '\n', ' ');
        return text;
    };
    auto says = [&note](const char* id) { return note() == lang::String::loadText(id).c_str(); };
    auto holder = [this](int h) { world.click(180 + 70 * h, 220); };
    const char* fuses[] = {"Fuse_GreenOnGround", "Fuse_BlueOnGround", "Fuse_PurpleOnGround"};
    for (int h = 0; h < 3; ++h) {
        player.clickOn(air->getSprite(fuses[h]));
        holder(h);
    }
    EXPECT_TRUE(says("STR_AIRCOMP_TEST_READY")) << note();
    holder(1);
    ASSERT_TRUE(air->holdingItem()) << "the fuse taken out of its holder";
    EXPECT_TRUE(says("STR_AIRCOMP_FUSES")) << "a holder stands empty: " << note();
    holder(1);
    EXPECT_TRUE(says("STR_AIRCOMP_TEST_READY")) << note();
    sprite::SpriteBase* spare = air->getSprite("Fuse_YellowOnGround");
    player.clickOn(spare);
    ASSERT_TRUE(air->holdingItem());
    player.clickOn(air->getSprite("Button_Test"));
    EXPECT_FALSE(air->holdingItem());
    EXPECT_TRUE(spare->isVisible()) << "back on the floor";
    EXPECT_NE(std::string::npos, note().find("of 3")) << "TEST tried the holders: " << note();
    // The wires: START with a socket empty says so; once all four hold a
    // diode the note no longer says one is empty.
    runLua(air, "LF.compressorStage = 'wires' self:startWireGame(true) self:initWireGame()");
    player.clickOn(air->getSprite("Button_Start"));
    EXPECT_TRUE(says("STR_AIRCOMP_SOCKET_EMPTY")) << note();
    for (int d = 1; d <= 4; ++d) {
        player.clickOn(air->getSprite(("Diode" + std::to_string(d)).c_str()));
        player.clickOn(air->getSprite(("DiodeRect" + std::to_string(d)).c_str()));
    }
    EXPECT_EQ("0", runLua(air, "return self:getWiringStatus() >= 0 and 0 or -1"));
    EXPECT_TRUE(says("STR_AIRCOMP_START_READY")) << note();
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheCallBoxTakesTheNumberOnTheCard)
{
    auto* box = static_cast<CallBox*>(room(22));
    ASSERT_TRUE(box->isInstanceOf("CallBox"));
    runLua(box, "LF.galleryRestored = true");
    enter(22);
    // The intercom keeps still while the receiver lies on its hook.
    world.stepFrames(30);
    EXPECT_FALSE(canvas->isSpriteVisible("TalkBalloon")) << "a greeting before the receiver is lifted";
    // A key clicked lifts the receiver and dials at once: no press is lost;
    // the intercom greets.
    player.clickOn(box->getSprite("CallBox4"));
    EXPECT_TRUE(box->getSprite("ReceiverOffHook")->isVisible());
    EXPECT_EQ(1, box->getEnteredCount());
    // The intercom's greeting, and its answer to the right number, stand
    // clear of the keys, the register, the receiver on or off its hook and
    // the buttons, their tail on their balloon.
    ASSERT_TRUE(painted([this] { return canvas->isSpriteVisible("TalkBalloon"); }));
    sprite::SpriteBase* balloon = canvas->getSprite("TalkBalloon");
    auto meet = [](const util::RectangleNM& p, const util::RectangleNM& q, int slack) {
        return p.x < q.x + q.width + slack && q.x < p.x + p.width + slack && p.y < q.y + q.height + slack &&
               q.y < p.y + p.height + slack;
    };
    std::vector<std::string> parts = {"CallBoxClear", "CallBoxEnter", "ReceiverOnHook", "ReceiverOffHook",
                                      "CloseButton"};
    for (int i = 1; i <= 9; ++i)
        parts.push_back("CallBox" + std::to_string(i));
    for (int i = 1; i <= 4; ++i)
        parts.push_back("CallBoxReg" + std::to_string(i));
    auto expectClear = [&](const char* words) {
        const util::RectangleNM b = *balloon->getBounds();
        for (const std::string& part : parts) {
            sprite::SpriteBase* s = box->getSprite(part.c_str());
            if (s->isVisible()) {
                EXPECT_FALSE(meet(b, *s->getBounds(), 0)) << words << " covers " << part;
            }
        }
        EXPECT_FALSE(meet(b, *canvas->getSprite("Quit")->getBounds(), 0)) << words << " covers the pause button";
        int tails = 0;
        for (int code = 0; code < 6; ++code) {
            sprite::SpriteBase* tail = canvas->getSprite(("TalkBalloonTail_" + std::to_string(code)).c_str());
            if (tail && tail->isVisible()) {
                ++tails;
                EXPECT_TRUE(meet(b, *tail->getBounds(), 1)) << "tail " << code << " stands apart from its balloon";
            }
        }
        EXPECT_EQ(1, tails);
    };
    expectClear("the greeting");
    // A click while the intercom still speaks is not lost either.
    player.clickOn(box->getSprite("CallBoxClear"));
    EXPECT_EQ(0, box->getEnteredCount());
    dialCallBox(player, world, box);
    EXPECT_EQ("true", runLua(box, "return tostring(LF.callBoxSolved)"));
    ASSERT_TRUE(painted([this] { return canvas->isSpriteVisible("TalkBalloon"); }));
    expectClear("the answer");
    // The answer names the gate it opens: the hedge maze's, not the mansion's.
    Character* intercom = canvas->findCharacter(lang::String("CallBoxIntercom"));
    ASSERT_TRUE(intercom && intercom->isTalking());
    EXPECT_NE(std::string::npos, std::string(intercom->getTalkText()->getText().c_str()).find("hedge maze"));
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheBridgeIsRaisedByRememberingTheStones)
{
    auto* bridge = static_cast<Bridge*>(room(32));
    ASSERT_TRUE(bridge->isInstanceOf("Bridge"));
    enter(32);
    // The rules and a dark lamp for each round to remember show over the
    // stones while the bridge is down.
    sprite::SpriteBase* rules = bridge->getSprite("StonesPanel");
    ASSERT_NE(nullptr, rules);
    EXPECT_TRUE(rules->isVisible());
    for (int k = 1; k <= 4; ++k) {
        auto* lamp = static_cast<sprite::AnimateSprite*>(bridge->getSprite(("RoundLamp_" + std::to_string(k)).c_str()));
        ASSERT_NE(nullptr, lamp);
        EXPECT_TRUE(lamp->isVisible() && lamp->getFrame() == 0) << k;
    }
    // The panel leaves the exits' boxes whole.
    for (int i = 0; i < bridge->getDoorCount(); ++i) {
        const util::RectangleNM d = *bridge->getDoor(i)->getBounds();
        const util::RectangleNM p = *rules->getBounds();
        EXPECT_FALSE(p.x < d.x + d.width && d.x < p.x + p.width && p.y < d.y + d.height && d.y < p.y + p.height)
            << "the panel covers Door" << i;
    }
    // The stones wait for the player who has just come: none lights until
    // their panel is clicked, and then the showing begins.
    auto lit = [bridge] {
        for (int k = 1; k <= 4; ++k) {
            if (static_cast<sprite::AnimateSprite*>(bridge->getSprite(("bChoice" + std::to_string(k)).c_str()))
                    ->getFrame() == 0)
                return true;
        }
        return false;
    };
    EXPECT_FALSE(player.painted(lit, 150)) << "a stone lit before the player asked";
    player.clickOn(rules);
    EXPECT_TRUE(player.painted(lit, 40)) << "the click on the panel shows the stones";
    raiseBridge(player, world, bridge);
    EXPECT_EQ("true", runLua(bridge, "return tostring(LF.bridgeSolved)"));
    EXPECT_TRUE(bridge->getSprite("Planks")->isVisible());
    EXPECT_TRUE(static_cast<DoorSprite*>(bridge->getSprite("Door0"))->isEnabled());
    // Up, the bridge leaves no rules over an empty panel, and the player
    // says the way is open.
    EXPECT_FALSE(rules->isVisible());
    EXPECT_FALSE(bridge->getSprite("RoundLamp_4")->isVisible());
    Character* self = canvas->getPlayerCharacter();
    EXPECT_TRUE(self->isTalking());
    EXPECT_STREQ(lang::String::loadText("STR_THINK_BRIDGE_UP").c_str(), self->getTalkText()->getText().c_str());
    expectCleanRun();
}

// A wrong stone is said on a solid band right under the stones, where the
// player looks; the new order waits for the player's click on the stones,
// which takes the band away.
TEST_F(SampleScenesTest, AWrongStoneIsSaidOnABandUnderTheStones)
{
    auto* bridge = static_cast<Bridge*>(room(32));
    enter(32);
    player.clickOn(bridge->getSprite("StonesPanel"));
    ASSERT_TRUE(player.painted([bridge] { return bridge->getGameState() == Bridge::STATE_PLAYER_TURN; }, 400));
    const int wrongSlot = (bridge->getSequence(0) + 1) % 4;
    player.clickOn(bridge->getChoice(wrongSlot));
    auto* band = static_cast<sprite::ImageSprite*>(bridge->getSprite("WrongStone"));
    ASSERT_TRUE(player.painted([band] { return band->isVisible(); }, 40));
    player.clickOn(bridge->getSprite("StonesPanel"));
    EXPECT_TRUE(band->isVisible()) << "a click going on with the order takes the band away at once";
    int left = 800, right = 0, bottom = 0;
    for (int slot = 0; slot < 4; ++slot) {
        const util::RectangleNM c = *bridge->getChoice(slot)->getBounds();
        left = std::min(left, c.x);
        right = std::max(right, c.x + c.width);
        bottom = std::max(bottom, c.y + c.height);
    }
    const util::RectangleNM b = *band->getBounds();
    EXPECT_GE(b.x, left - 20);
    EXPECT_LE(b.x + b.width, right + 20);
    EXPECT_GE(b.y, bottom);
    EXPECT_LE(b.y, bottom + 20) << "right under the stones";
    EXPECT_GE(b.width, (right - left) * 3 / 4) << "as wide as most of the row";
    window::ImageBase* image = band->getImage();
    ASSERT_TRUE(image && image->getPixels());
    int opaque = 0;
    for (int i = 0; i < image->getWidth() * image->getHeight(); ++i)
        opaque += (image->getPixels()[i] >> 24) == 0xFF ? 1 : 0;
    EXPECT_GE(opaque * 10, image->getWidth() * image->getHeight() * 9) << "a solid band, not loose letters";
    // No stone lights while the player reads it; a click shows the new order.
    auto lit = [bridge] {
        for (int slot = 0; slot < 4; ++slot) {
            if (bridge->getChoice(slot)->getFrame() == 0)
                return true;
        }
        return false;
    };
    world.mouseMove(400, 500);
    EXPECT_FALSE(player.painted(lit, 120)) << "a new order lit before the player asked";
    player.clickOn(bridge->getSprite("StonesPanel"));
    EXPECT_FALSE(band->isVisible());
    EXPECT_TRUE(player.painted(lit, 40));
    expectCleanRun();
}

// The outer sanctum's code whose rows run out: its last row stands listed
// with the others, and the row shows the code, every mark green, until the
// player's next click brings a new code.
TEST_F(SampleScenesTest, TheOuterSanctumShowsItsLastRowAndItsCodeWhenItsRowsRunOut)
{
    canvas->getProgress()->chapter = 4;
    auto* sanctum = static_cast<OuterSanctum*>(room(35));
    enter(35);
    // The four kinds that are not in the code: no row of them breaks it.
    std::vector<int> absent;
    for (int kind = 0; kind < OuterSanctum::KINDS; ++kind) {
        if (std::find(sanctum->getAnswer(), sanctum->getAnswer() + OuterSanctum::PLACES, kind) ==
            sanctum->getAnswer() + OuterSanctum::PLACES)
            absent.push_back(kind);
    }
    ASSERT_EQ(4u, absent.size());
    std::vector<int> code(sanctum->getAnswer(), sanctum->getAnswer() + OuterSanctum::PLACES);
    for (int row = 1; row <= OuterSanctum::MAX_TRIES; ++row) {
        for (int place = 0; place < OuterSanctum::PLACES; ++place) {
            clickSprite(sanctum, ("PieceChoice_" + std::to_string(absent[size_t(place)])).c_str());
            clickSprite(sanctum, ("RowClickRect_" + std::to_string(place)).c_str());
        }
        clickSprite(sanctum, "LeverClickRect");
        ASSERT_EQ(row, sanctum->getAttempts());
    }
    auto frame = [sanctum](const std::string& name) {
        auto* s = static_cast<sprite::AnimateSprite*>(sanctum->getSprite(name.c_str()));
        return s && s->isVisible() ? s->getFrame() : -1;
    };
    for (int place = 0; place < OuterSanctum::PLACES; ++place) {
        const std::string at = "_" + std::to_string(place);
        EXPECT_EQ(absent[size_t(place)], frame("RowPiece_7" + at)) << "the last row is listed";
        EXPECT_EQ(OuterSanctum::ABSENT, frame("Results_7" + at));
        EXPECT_EQ(code[size_t(place)], frame("RowPiece_0" + at)) << "the row shows the code";
        EXPECT_EQ(OuterSanctum::RIGHT_PLACE, frame("Results_0" + at));
    }
    world.stepFrames(100);
    EXPECT_EQ(code[0], frame("RowPiece_0_0")) << "the code stays until a click";
    clickSprite(sanctum, "Status");
    world.stepFrames(20);
    EXPECT_EQ(-1, frame("RowPiece_0_0"));
    EXPECT_EQ(-1, frame("RowPiece_7_0"));
    EXPECT_EQ(0, sanctum->getAttempts());
    // The new code broken at once: its winning row stands listed, every mark
    // green, until the next click, as the last row of a code run out does.
    code.assign(sanctum->getAnswer(), sanctum->getAnswer() + OuterSanctum::PLACES);
    for (int place = 0; place < OuterSanctum::PLACES; ++place) {
        clickSprite(sanctum, ("PieceChoice_" + std::to_string(code[size_t(place)])).c_str());
        clickSprite(sanctum, ("RowClickRect_" + std::to_string(place)).c_str());
    }
    clickSprite(sanctum, "LeverClickRect");
    world.stepFrames(100);
    for (int place = 0; place < OuterSanctum::PLACES; ++place) {
        const std::string at = "_" + std::to_string(place);
        EXPECT_EQ(code[size_t(place)], frame("RowPiece_1" + at)) << "the winning row is listed";
        EXPECT_EQ(OuterSanctum::RIGHT_PLACE, frame("Results_1" + at));
    }
    clickSprite(sanctum, "Status");
    world.stepFrames(20);
    EXPECT_EQ(-1, frame("RowPiece_1_0")) << "the next click brings the second code";
    EXPECT_EQ(0, sanctum->getAttempts());
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheCaveMouthLeadsIntoTheMazeWhoseChambersAreWalked)
{
    enter(30);
    world.mouseMove(400, 60);
    EXPECT_EQ(0, canvas->getCurrentCursor());
    auto* maze = static_cast<CaveMaze*>(room(31));
    ASSERT_TRUE(maze->isInstanceOf("CaveMaze"));
    enter(31);
    EXPECT_EQ(22, maze->getCurrentScreen()) << "the chamber at the cave's mouth";
    world.click(400, 80);
    ASSERT_TRUE(stepUntil([maze] { return maze->getState() == Room::STATE_PLAYING; }, 200));
    EXPECT_EQ(18, maze->getCurrentScreen());
    world.click(725, 300);
    ASSERT_TRUE(stepUntil([maze] { return maze->getState() == Room::STATE_PLAYING; }, 200));
    EXPECT_EQ(19, maze->getCurrentScreen());
    EXPECT_TRUE(maze->getSprite("PuzzleDoor")->isVisible());
    EXPECT_EQ("19", runLua(maze, "return tostring(LF.caveMazeScreen)"));
    // In the dead end, with its one way east, a click beside it says to go
    // back.
    enter(30);
    runLua(maze, "LF.caveMazeScreen = 12");
    enter(31);
    ASSERT_EQ(12, maze->getCurrentScreen());
    world.click(400, 300);
    world.stepFrames(2);
    Character* self = canvas->getPlayerCharacter();
    ASSERT_TRUE(self->isTalking());
    EXPECT_STREQ(lang::String::loadText("STR_THINK_CAVE_DEAD_END").c_str(), self->getTalkText()->getText().c_str());
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheFirstVillagesPegBoardIsWonDownToOnePeg)
{
    unseeInstructions(9);
    enter(40);
    auto* pegs = static_cast<PegsCU*>(canvas->getCloseUp(1));
    ASSERT_TRUE(pegs->isInstanceOf("PegsCU"));
    // The board lacks its peg: a click leaves it shut, the peg dropped on
    // it sets it in, and then a click opens it.
    player.clickSprite(room(40), "PegBoard");
    EXPECT_FALSE(pegs->isVisible());
    player.settle();
    // The peg is taken out of the bar in the fourth chapter, once it has begun.
    canvas->getProgress()->chapter = 4;
    canvas->getInventory()->enableItems(true);
    runLua(room(40), "LF_giveItem('Peg_1')");
    player.takeFromBar("Peg_1");
    player.clickSprite(room(40), "PegBoard");
    EXPECT_TRUE(room(40)->getSprite("BoardPeg")->isVisible());
    EXPECT_FALSE(canvas->getInventory()->hasItem(lang::String("Peg_1")));
    Character* self = canvas->getPlayerCharacter();
    ASSERT_TRUE(self->isTalking()) << "the player says the peg is set";
    EXPECT_STREQ(lang::String::loadText("STR_THINK_PEG_SET").c_str(), self->getTalkText()->getText().c_str());
    player.clickSprite(room(40), "PegBoard");
    EXPECT_FALSE(self->isVisible()) << "the figure would stand over the board";
    playPastInstructions(9);
    for (int i = 0; i < 60 && !pegs->acceptsInput(); ++i)
        world.stepFrames(1);
    ASSERT_TRUE(pegs->acceptsInput());
    // The middle of a hole, on the screen.
    auto hole = [pegs](int cell, int& x, int& y) {
        x = pegs->left() + 85 * (cell % 5) + 72;
        y = pegs->top() + 85 * (cell / 5) + 77;
    };
    // A won or stuck board says so on the line under it, in letters as
    // large as the titles', between the last holes' pegs and the buttons,
    // and stands three seconds (at 25 frames a second) after the jumped
    // peg's fade of 8 frames, taking no clicks.
    auto* line = static_cast<sprite::NewFontSprite*>(pegs->getSprite("Status"));
    ASSERT_NE(nullptr, line);
    auto standsReadable = [this, pegs, line](const char* text) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(line->isVisible());
        EXPECT_STREQ(lang::String::loadText(text).c_str(), line->getText().c_str());
        const util::RectangleNM b = *line->getBounds();
        EXPECT_GE(b.height, 30) << "small letters";
        EXPECT_TRUE(b.x >= 10 && b.x + b.width <= 490 && b.y >= 77 + 3 * 85 + 20) << "off the board's holes";
        for (const char* button : {"CloseButton", "ResetButton"}) {
            const util::RectangleNM k = *pegs->getSprite(button)->getBounds();
            EXPECT_FALSE(b.x < k.x + k.width && k.x < b.x + b.width && b.y < k.y + k.height && k.y < b.y + b.height)
                << "over " << button;
        }
        world.stepFrames(8 + 3 * 25 - 2);
        EXPECT_TRUE(line->isVisible() && pegs->isVisible() && !pegs->isTransitioning()) << "gone too soon";
        EXPECT_FALSE(pegs->arePegsReady());
    };
    // Cell 3 jumps to 1 over 2 and leaves no jump: the board is laid out
    // again after.
    for (int cell : {3, 1}) {
        int x, y;
        hole(cell, x, y);
        world.click(x, y);
    }
    standsReadable("STR_PEGS_STUCK");
    ASSERT_TRUE(framesUntil([pegs] { return pegs->acceptsInput(); }, 60));
    // Cell 2 jumps to 4 over 3, then 4 to 14 over 9: the board is won, and
    // closes after.
    for (const auto& move : {std::make_pair(2, 4), std::make_pair(4, 14)}) {
        int x, y;
        hole(move.first, x, y);
        world.click(x, y);
        hole(move.second, x, y);
        world.click(x, y);
    }
    EXPECT_EQ(1, pegs->getPegsLeft());
    standsReadable("STR_PEGS_WON");
    world.stepFrames(12);
    EXPECT_FALSE(pegs->isVisible());
    EXPECT_EQ("true", runLua(room(40), "return tostring(LF.pegsSolved[1])"));
    // The win is said, with the boards won so far.
    ASSERT_TRUE(self->isTalking()) << "the player says the board is won";
    EXPECT_STREQ(lang::String::loadText("STR_THINK_PEGS_WON_1").c_str(), self->getTalkText()->getText().c_str());
    EXPECT_FALSE(canvas->isSpriteVisible("RoomItemsBalloon")) << "the word of the stuck board stays";
    expectCleanRun();
}

// Each board's pegs are the colour of the village's own peg, the one the
// player set into it: the middle of a board peg's head is the colour of the
// bar's peg head; the board in the village is labelled with that colour.
TEST_F(SampleScenesTest, EachPegBoardsPegsAreTheColourOfItsVillagesPeg)
{
    auto pixel = [](sprite::SpriteBase* s, int x, int y) -> uint32_t {
        window::ImageBase* image = static_cast<sprite::ImageSprite*>(s)->getImage();
        if (!image || !image->getPixels())
            return 0;
        return image->getPixels()[size_t(y * image->getPitch() / 4 + x)] | 0xFF000000u;
    };
    for (int n = 1; n <= 3; ++n) {
        const std::string name = "Peg_" + std::to_string(n);
        sprite::SpriteBase* boardPeg = canvas->getCloseUp(1)->getSprite(name.c_str());
        sprite::SpriteBase* ownPeg = canvas->getInventory()->getSprite(name.c_str());
        ASSERT_TRUE(boardPeg && ownPeg) << name;
        EXPECT_EQ(pixel(ownPeg, 16, 9), pixel(boardPeg, 20, 20)) << name;
        // The village's board, empty or not, names the colour its peg's tip
        // gives ("A red peg").
        std::string tip = lang::String::loadText(("STR_TIP_" + name).c_str()).c_str();
        for (char& c : tip)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        const std::string colour = tip.substr(2, tip.find(" peg") - 2);
        const std::string label = pictureWords("rooms/OuterVillage_" + std::to_string(n));
        EXPECT_NE(std::string::npos, label.find("\"" + colour + " pegs\"")) << name << ": " << label;
    }
}

TEST_F(SampleScenesTest, TheInlayTakesItsPiecesIntoTheGridAndIsSolved)
{
    auto* inlay = static_cast<Inlay*>(room(34));
    ASSERT_TRUE(inlay->isInstanceOf("Inlay"));
    enter(34);
    ASSERT_EQ(2, inlay->getPuzzle()) << "the cave maze is on no puzzle screen";
    ASSERT_EQ(5u, inlay->getPieces().size());
    solveInlay(inlay);
    EXPECT_TRUE(inlay->isSolved());
    EXPECT_EQ("true", runLua(inlay, "return tostring(LF.inlaySolved[2])"));
    expectCleanRun();
}

// The island's gems: the landing's, the jungle's, and one behind each puzzle
// door of the cave, whose solved inlay shows it in the middle of its board
// and gives it at a click; the four open the golden door, whose click sets
// them (the player says so on coming to it) and which counts the sockets
// still empty until then.
TEST_F(SampleScenesTest, EveryPuzzleDoorOfTheCaveGivesAGemTheGoldenDoorStillNeeds)
{
    auto* maze = static_cast<CaveMaze*>(room(31));
    auto* inlay = static_cast<Inlay*>(room(34));
    Inventory* bar = canvas->getInventory();
    Character* self = canvas->getPlayerCharacter();
    auto gems = [bar] {
        int count = 0;
        for (const char* gem : {"Gem_1", "Gem_2", "Gem_3", "Gem_4"})
            count += bar->hasItem(lang::String(gem)) ? 1 : 0;
        return count;
    };
    auto thought = [self] { return std::string(self->getTalkText()->getText().c_str()); };
    canvas->getProgress()->chapter = 3;
    runLua(maze, "LF_findItem('Gem_1') LF_findItem('Gem_4')");
    ASSERT_EQ(2, gems());
    // Come to the door with gems (which stay in the bar), the player says
    // that a click on it sets them; two set, two sockets are left.
    runLua(maze, "LF.caveMazeScreen = 6");
    enter(31);
    world.stepFrames(2);
    EXPECT_EQ(lang::String::loadText("STR_THINK_GOLDEN_DOOR_GEMS").c_str(), thought());
    clickOn(world, maze->getSprite("goldDoor"));
    world.stepFrames(2);
    EXPECT_EQ(lang::String::loadText("STR_THINK_GOLDEN_DOOR_2").c_str(), thought());
    EXPECT_EQ(0, gems());
    int doors = 0;
    std::vector<std::vector<int>> doorPlaces;
    for (int p = 1; p <= CaveMaze::PUZZLES; ++p) {
        const int chamber = maze->getPuzzleScreen(p - 1);
        if (chamber < 0 || chamber >= maze->getCellCount() || maze->cell(chamber).value == 0)
            continue;
        SCOPED_TRACE(p);
        ++doors;
        runLua(maze, "LF.caveMazeScreen = " + std::to_string(chamber));
        enter(31);
        enter(34);
        ASSERT_EQ(p, inlay->getPuzzle());
        // The thought of the door ends, as a walk to the inlay ends it, and
        // its balloon fades before the pieces are taken.
        self->stopTalk();
        ASSERT_TRUE(framesUntil([self] { return !self->isTalking(); }, 30));
        sprite::SpriteBase* gem = inlay->getSprite(("Gem_" + std::to_string(p)).c_str());
        sprite::SpriteBase* board = inlay->getSprite("grid");
        // The grid marks this door's places, which no other door shares.
        EXPECT_EQ(p - 1, static_cast<sprite::AnimateSprite*>(board)->getFrame());
        std::vector<int> places;
        for (const Inlay::PieceInfo& piece : inlay->getPieces())
            places.push_back(piece.target);
        for (const std::vector<int>& other : doorPlaces)
            EXPECT_NE(other, places) << "two puzzle doors hold the same inlay";
        doorPlaces.push_back(places);
        solveInlay(inlay);
        world.stepFrames(30);
        EXPECT_EQ(lang::String::loadText("STR_THINK_INLAY_SOLVED").c_str(), thought());
        // The gem lies in the middle of the board that faded from over it.
        ASSERT_TRUE(gem->isShowing());
        EXPECT_EQ(board->left() + board->width() / 2, gem->left() + gem->width() / 2);
        EXPECT_EQ(board->top() + board->height() / 2, gem->top() + gem->height() / 2);
        const int before = gems();
        clickOn(world, gem);
        EXPECT_EQ(before + 1, gems()) << "a gem the door still needs";
        EXPECT_FALSE(gem->isVisible());
        world.stepFrames(2);
        EXPECT_TRUE(self->isTalking());
        EXPECT_EQ(lang::String::loadText("STR_THINK_INLAY_GEM").c_str(), thought());
    }
    EXPECT_EQ(2, doors) << "two gems lie in the cave";
    runLua(maze, "LF.caveMazeScreen = 6");
    enter(31);
    clickOn(world, maze->getSprite("goldDoor"));
    EXPECT_EQ("true", runLua(maze, "return tostring(LF.caveGemDoorOpened)"));
    EXPECT_EQ(0, gems()) << "all four are in the door";
    // Open, the door shows its way through: the band of sockets went with
    // the gems, and the player says the door opened.
    world.stepFrames(2);
    EXPECT_EQ(lang::String::loadText("STR_THINK_GOLDEN_DOOR_OPEN").c_str(), thought());
    for (int visit = 0; visit < 2; ++visit) {
        const util::RectangleNM trim = *maze->getSprite("goldDoor_Trim")->getBounds();
        EXPECT_LE(trim.y + trim.height, 0) << "the band of sockets crosses the doorway on visit " << visit;
        enter(31);
    }
    // The gems cannot leave the bar in this chapter: their tips say how
    // they are used.
    for (const char* gem : {"Gem_1", "Gem_2", "Gem_3", "Gem_4"}) {
        EXPECT_NE(std::string::npos,
                  std::string(lang::String::loadText((std::string("STR_TIP_") + gem).c_str()).c_str()).find("golden door"))
            << gem;
    }
    expectCleanRun();
}

// A pearl clicked in an open clam is taken; a click on a shut clam (as on one
// that shut on its pearl just before the click) is told to be no catch, in
// the word line above the clams, until the next click.
TEST_F(SampleScenesTest, ADiveAmongTheClamsTakesAPearl)
{
    auto* game = static_cast<WhackAClam*>(room(18));
    ASSERT_TRUE(game->isInstanceOf("WhackAClam"));
    unseeInstructions(2);
    enter(18);
    ASSERT_EQ(5, game->getClamCount());
    // The click that starts the dive comes once the instructions are played
    // away (one on the water under them is dropped).
    playPastInstructions(2);
    world.click(400, 200);
    EXPECT_TRUE(game->isRunning());
    auto* word = static_cast<sprite::NewFontSprite*>(game->getSprite("DiveWord"));
    ASSERT_TRUE(word);
    auto wordText = [word] { return std::string(word->getText().c_str()); };
    EXPECT_EQ("", wordText()) << "the click that starts the dive";
    // A click on the pearl's centre in the clam's frame, turned into the room's.
    auto clickPearl = [this](Clam* clam) {
        sprite::ImageSprite* pearl = clam->getPearl();
        int dx = pearl->getX() - clam->width() / 2;
        int dy = pearl->getY() - clam->height() / 2;
        clam->toScreen(dx, dy);
        world.click(clam->getX() + dx, clam->getY() + dy);
    };
    Clam* open = nullptr;
    for (int i = 0; i < 2000 && !open; ++i) {
        canvas->doFrame();
        for (int c = 0; c < game->getClamCount(); ++c) {
            Clam* clam = game->getClam(c);
            if (clam->getState() == Clam::STATE_OPEN && clam->hasPearl())
                open = clam;
        }
    }
    ASSERT_TRUE(open);
    clickPearl(open);
    EXPECT_EQ(1, game->getPearlsClicked());
    world.stepFrames(40);
    EXPECT_EQ(1, game->getPearlsCollected());
    EXPECT_EQ("", wordText());
    Clam* shut = nullptr;
    for (int i = 0; i < 2000 && !shut; ++i) {
        canvas->doFrame();
        for (int c = 0; c < game->getClamCount(); ++c) {
            if (game->getClam(c)->getState() == Clam::STATE_CLOSED)
                shut = game->getClam(c);
        }
    }
    ASSERT_TRUE(shut);
    clickPearl(shut);
    EXPECT_EQ(1, game->getPearlsClicked());
    world.stepFrames(2);
    EXPECT_TRUE(word->isShowing());
    EXPECT_EQ(std::string(lang::String::loadText("STR_DIVE_SHUT").c_str()), wordText()) << "a click on a shut clam";
    world.click(400, 200);
    EXPECT_EQ("", wordText()) << "the next click";
    expectCleanRun();
}

// A dive lost for air is said, and said again on a click on the water; the
// dive after it starts with a full tank once the player has left and come
// back, which holds until the click that starts the dive.
TEST_F(SampleScenesTest, ALostDiveIsSaidAndTheNextStartsAfresh)
{
    auto* game = static_cast<WhackAClam*>(room(18));
    unseeInstructions(2);
    enter(18);
    const int fullTank = game->getTankRect().height;
    playPastInstructions(2);
    world.click(400, 200);
    ASSERT_TRUE(game->isRunning());
    for (int i = 0; i < 20000 && !game->isLost(); ++i)
        canvas->doFrame();
    ASSERT_TRUE(game->isLost());
    Character* self = canvas->getPlayerCharacter();
    ASSERT_TRUE(self->isTalking());
    EXPECT_STREQ(lang::String::loadText("STR_THINK_DIVE_LOST").c_str(), self->getTalkText()->getText().c_str());
    self->stopTalk();
    world.stepFrames(200);
    world.click(400, 200);
    ASSERT_TRUE(self->isTalking()) << "a click on the water after the lost dive";
    EXPECT_STREQ(lang::String::loadText("STR_THINK_DIVE_LOST").c_str(), self->getTalkText()->getText().c_str());
    self->stopTalk();
    // Leave (its position is the button's centre).
    sprite::SpriteBase* close = game->getSprite("WhackAClamClose");
    world.click(close->getX(), close->getY());
    world.stepFrames(200);
    ASSERT_EQ(14, canvas->getCurrentRoomIndex());
    enter(18);
    world.stepFrames(100);
    EXPECT_FALSE(game->isLost());
    EXPECT_EQ(fullTank, game->getTankRect().height) << "air used before the dive";
    EXPECT_FALSE(game->getSprite("AirTankWarning")->isVisible());
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheChestsFirstBoardIsSolvedAndTheNextComesBehindTheDoors)
{
    canvas->getProgress()->chapter = 1;
    auto* chest = static_cast<TreasureChestCU*>(room(6));
    ASSERT_TRUE(chest->isInstanceOf("TreasureChestCU"));
    enter(6);
    SlideBlockPuzzle* board = chest->getBoard();
    ASSERT_NE(nullptr, board);
    ASSERT_EQ(3u, board->getBlocks().size());
    // The block across the bottom goes left, the tall one down, the key out.
    const std::vector<std::pair<int, int>> moves{{2, -1}, {1, 3}, {0, 5}};
    EXPECT_EQ(moves, slideBlockSolution(*board)) << "the shortest way out";
    solveSlideBlockBoard(player, board);
    world.stepFrames(2);
    EXPECT_EQ(1, chest->getCurrentPuzzle());
    ASSERT_TRUE(board->isBusy());
    for (int i = 0; i < 60 && board->isBusy(); ++i)
        world.stepFrames(1);
    EXPECT_EQ(1, board->getCurrentPuzzle()) << "the next board behind the doors";
    EXPECT_EQ(5u, board->getBlocks().size());
    // The chest's exit box leads back to the riverside between the boards.
    world.stepFrames(30);
    DoorSprite* exit = chest->getDoor(0);
    ASSERT_NE(nullptr, exit);
    EXPECT_TRUE(exit->isEnabled());
    clickOn(world, exit);
    EXPECT_TRUE(player.arrivedIn(5, 100)) << "the riverside";
    expectCleanRun();
}

// The golden chest's Reset, enabled, is drawn as a live button: its face in
// its normal look is the colour of the Leave button's beside it, not a
// greyed one like its own disabled look.
TEST_F(SampleScenesTest, TheGoldenChestsResetLooksAsLiveAsItsLeave)
{
    canvas->getProgress()->chapter = 6;
    auto* chest = static_cast<TreasureChestCU*>(room(6));
    enter(6);
    SlideBlockPuzzle* board = chest->getBoard();
    ASSERT_NE(nullptr, board);
    auto face = [board](const char* name) {
        auto* button = static_cast<sprite::ButtonSprite*>(board->getSprite(name));
        window::ImageBase* image = button->getImage();
        // The strip's first frame is the normal look; a point of its face
        // left of the word, clear of the rounded corners.
        return image->getPixels()[size_t(image->getHeight() / 2) * size_t(image->getPitch() / 4) + 8];
    };
    auto* reset = static_cast<sprite::ButtonSprite*>(board->getSprite("ResetButton"));
    ASSERT_NE(nullptr, reset);
    EXPECT_TRUE(reset->isEnabled());
    EXPECT_EQ(face("CloseButton"), face("ResetButton"));
}

TEST_F(SampleScenesTest, TheTempleDoorsFirstBoardIsSolved)
{
    auto* door = static_cast<TempleDoorPuzzle*>(room(61));
    ASSERT_TRUE(door->isInstanceOf("TempleDoorPuzzle"));
    enter(61);
    ASSERT_EQ(4u, door->getBlocks().size()) << "the room's script builds the first board";
    const int cell = TempleDoorPuzzle::CELL_SIZE;
    // The key pulled up at once stays under the single: the line under the
    // board says the stone cannot go that way, until a stone moves.
    auto line = [door] {
        return std::string(static_cast<sprite::NewFontSprite*>(door->getSprite("Status"))->getText().c_str());
    };
    dragSprite(door->getBlocks()[0].sprite, 0, -cell);
    EXPECT_EQ(lang::String::loadText("STR_TEMPLE_DOOR_BLOCKED").c_str(), line());
    // The single left, the tall block down, the wide one right, the key up.
    dragSprite(door->getBlocks()[3].sprite, -2 * cell, 0);
    EXPECT_EQ(lang::String::loadText("STR_TEMPLE_DOOR_LOCK_1").c_str(), line());
    dragSprite(door->getBlocks()[2].sprite, 0, 2 * cell);
    dragSprite(door->getBlocks()[1].sprite, cell, 0);
    dragSprite(door->getBlocks()[0].sprite, 0, -4 * cell);
    EXPECT_EQ(1, door->getCurrentPuzzle()) << "the second board follows the first";
    EXPECT_EQ(5u, door->getBlocks().size());
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheSafesLockOpensOverTheStudyAndCloses)
{
    auto* safe = static_cast<SafeCrack*>(canvas->getCloseUp(6));
    ASSERT_TRUE(safe->isInstanceOf("SafeCrack"));
    enter(51);
    // The study's man is talking as the safe is opened: he stops, so that
    // no balloon lies over the lock.
    Character* man = canvas->findCharacter("Millionaire");
    ASSERT_NE(nullptr, man);
    clickOn(world, man);
    world.stepFrames(2);
    ASSERT_TRUE(man->isTalking());
    sprite::SpriteBase* box = room(51)->getSprite("Safe");
    world.click(box->left() + 30, box->top() + 60);
    world.stepFrames(15);
    ASSERT_TRUE(safe->isVisible());
    EXPECT_TRUE(safe->isInputEnabled());
    EXPECT_FALSE(man->isTalking());
    // The lock lies wholly in the window, its buttons working.
    EXPECT_EQ(SafeCrack::OPEN_X - safe->width() / 2, safe->left());
    EXPECT_EQ(SafeCrack::OPEN_Y - safe->height() / 2, safe->top());
    EXPECT_GE(safe->left(), 0);
    EXPECT_GE(safe->top(), 0);
    EXPECT_LE(safe->left() + safe->width(), 800);
    EXPECT_LE(safe->top() + safe->height(), 600);
    for (const char* name : {"CloseButton", "ResetButton"}) {
        sprite::SpriteBase* button = safe->getSprite(name);
        EXPECT_TRUE(button->isVisible() && sprite::ButtonMixin::fromSprite(button)->isEnabled()) << name;
        EXPECT_LE(button->left() + button->width(), safe->width()) << name;
        EXPECT_LE(button->top() + button->height(), safe->height()) << name;
    }
    // The third gold piece goes right along row 2 to the middle.
    sprite::SpriteBase* piece = safe->getPieces()[2].sprite;
    dragSprite(piece, 2 * SafeCrack::PITCH - 20, 0, safe->left(), safe->top());
    EXPECT_EQ(12, safe->getPieces()[2].cell);
    sprite::SpriteBase* leave = safe->getSprite("CloseButton");
    world.click(safe->left() + leave->left() + 20, safe->top() + leave->top() + 10);
    world.stepFrames(15);
    EXPECT_FALSE(safe->isVisible());
    expectCleanRun();
}

// A board closed at once (the way to the menu, a chapter's start, the jump
// screen) takes its room's dimming with it and gives the room back its play.
TEST_F(SampleScenesTest, ABoardClosedAtOnceLeavesItsRoomUndimmedAndAtPlay)
{
    struct Row {
        int closeUp;
        int host;
        const char* open;
    };
    for (const Row& row : {Row{LanternfieldCanvas::CLOSE_UP_PIPES, 7, "self:enterPipesCU()"},
                           Row{4, 27, "self:enterClockCU()"},
                           Row{LanternfieldCanvas::CLOSE_UP_CIRCUIT_BOARD, 49, "canvas:enterCircuitBoard()"},
                           Row{LanternfieldCanvas::CLOSE_UP_SAFE_CRACK, 51, "canvas:enterSafeCrack()"}}) {
        sprite::DialogSprite* board = canvas->getCloseUp(row.closeUp);
        SCOPED_TRACE(board->getName().c_str());
        enter(row.host);
        world.stepFrames(2);
        const int state = room(row.host)->getState();
        EXPECT_EQ("", runLua(room(row.host), row.open));
        ASSERT_TRUE(painted([board] { return board->isVisible() && !board->isTransitioning(); }));
        sprite::SpriteBase* dim = room(row.host)->getSprite("DimOverlay");
        ASSERT_TRUE(dim && dim->isVisible());
        canvas->hideCloseUps();
        EXPECT_FALSE(board->isVisible());
        EXPECT_FALSE(dim->isVisible());
        EXPECT_EQ(state, room(row.host)->getState());
    }
}

} // namespace
} // namespace scenetest

namespace scenetest {
namespace {

// On a first visit every puzzle room opens its instructions by itself (the
// pipes as the fountain opens them, the waterfall when its script asks) as
// soon as the room is there, before the player is at play, and the panel
// lies wholly on the screen.
TEST_F(SampleScenesTest, EveryFirstVisitsInstructionsOpenOnTheScreen)
{
    const struct {
        const char* room;
        int game;
        const char* script; // the script's call that opens them, if any
    } cases[] = {
        {"FountainCU", 0, "self:enterPipesCU()"},
        {"SlideBlockPuzzle", 1, nullptr},
        {"WhackAClam", 2, nullptr},
        {"Concentration", 3, nullptr},
        {"ArtRestoration", 4, nullptr},
        {"AirCompressor", 5, nullptr},
        {"Maze", 6, nullptr},
        {"Inlay", 7, nullptr},
        {"Bookshelf", 8, nullptr},
        {"TicTac", 10, nullptr},
        {"TempleDoorPuzzle", 13, nullptr},
        {"OuterSanctum", 14, nullptr},
        {"WindRace", 15, nullptr},
        {"Lures", 16, nullptr},
        {"Waterfall", 17, "self:showGameInstructions()"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.room);
        int index = 0;
        while (index < LanternfieldCanvas::ROOM_COUNT && !room(index)->getName().equals(c.room))
            ++index;
        ASSERT_LT(index, LanternfieldCanvas::ROOM_COUNT);
        unseeInstructions(c.game);
        enter(index);
        if (c.script)
            runLua(room(index), c.script);
        sprite::SpriteBase* panel = canvas->getSprite("GameInstructions");
        EXPECT_TRUE(framesUntil([panel] { return panel->isVisible(); }, SceneInstructions::ENTRY_DELAY + 2))
            << "the instructions wait until the player is at play";
        playPastInstructions(c.game);
        if (HasFatalFailure())
            return;
    }
}

} // namespace
} // namespace scenetest
namespace scenetest {
namespace {

// After a restart the fountain shows what the story did: the valve's niche
// and wheel, the key drawn over the drained puddle; the key then opens the
// pipe door, whose picture shows.
TEST_F(SampleScenesTest, TheFountainShowsTheStorysDoorsAndTheKeyOverThePuddle)
{
    auto* fountain = static_cast<FountainCU*>(room(7));
    // Where the sprite stands in the drawing order (childAt gives a reference).
    auto drawnAt = [fountain](const char* name) {
        for (int i = fountain->getChildCount() - 1; i >= 0; --i) {
            sprite::SpriteBase* child = fountain->childAt(i);
            child->release();
            if (child == fountain->getSprite(name))
                return i;
        }
        return -1;
    };
    auto shows = [fountain](const char* name) {
        auto* s = static_cast<sprite::AnimateSprite*>(fountain->getSprite(name));
        return s->isVisible() && s->getFrame() >= 0;
    };
    runLua(fountain, "LF.fountainValveOpen = true LF.fountainDrained = true");
    enter(7);
    EXPECT_TRUE(shows("ValveDoorOpen"));
    EXPECT_TRUE(shows("ValveTurnAnim"));
    EXPECT_FALSE(fountain->getSprite("ClosedValveDoor")->isVisible());
    EXPECT_TRUE(shows("KeyInFountain"));
    EXPECT_GT(drawnAt("KeyInFountain"), drawnAt("ScumWaterScaler"));
    EXPECT_GT(drawnAt("KeyTwinkle"), drawnAt("ScumWaterScaler"));
    player.clickSprite(fountain, "KeyInFountain");
    ASSERT_TRUE(fountain->isKeyHeld());
    player.clickSprite(fountain, "PipesClickRect");
    EXPECT_TRUE(shows("PipeDoorOpenBroken"));
    EXPECT_FALSE(fountain->getSprite("KeyInFountain")->isVisible());
    expectCleanRun();
}

} // namespace
} // namespace scenetest
