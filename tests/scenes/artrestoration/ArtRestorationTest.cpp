// ArtRestorationTest.cpp: the painting restoration in the fixture game on a
// 2 x 2 board with its tiles' places forced: swaps by clicks and by drags,
// the glow chain to "onFixedPainting", "onWin" 125 frames after the last
// painting, the exit zoom, and the board kept across visits until a new
// game clears it.
#include "scenes/artrestoration/ArtRestoration.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/artrestoration/ArtPiece.h"
#include "sprites/buttons/ButtonMixin.h"
#include "tests/scenes/support/SceneFixture.h"
#include "tests/scenes/support/ScriptedDraw.h"
#include "tests/scenes/support/ZoomCheck.h"

#include <algorithm>

namespace scenetest {
namespace {

constexpr int kArtRestorationRoom = 19;
// Painting 1 is 100 x 100 at (300, 200): cells of 50 x 50.
constexpr int kLeft = 300;
constexpr int kTop = 200;
constexpr int kArtCell = 50;

class ArtRestorationTest : public SceneFixture {
protected:
    // The definition's numbers: the exit count, then columns and rows for
    // order values 1 to 3.
    explicit ArtRestorationTest(const char* numbers = "0 2 2 3 3 4 4") : numbers(numbers) {}
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        data.picture("painting", 100, 100, [](int x, int y) { return 0xFF000000u | uint32_t(x) << 16 | uint32_t(y); });
        framesPicture(data, "selection", 3, 58, 58);
        framesPicture(data, "close", 1, 40, 40);
        data.picture("frame", 120, 120, 0x40FFFFFFu);
        SceneSetup scene;
        scene.index = kArtRestorationRoom;
        scene.className = "ArtRestoration";
        scene.manifest = std::string("<data>\n") + numbers + "\n<sprites>\n"
                         "Painting1 Sprite painting 300 200\nPainting2 Sprite painting 300 200\n"
                         "Painting3 Sprite painting 300 200\n"
                         "ArtSelection1 AnimateSprite selection -100 0 3 1 0\n"
                         "ArtSelection2 AnimateSprite selection -100 0 3 1 0\n"
                         "ArtSelection3 AnimateSprite selection -100 0 3 1 0\n"
                         "PaintingFrame Sprite frame 100 400\n"
                         "ArtRestorationClose ButtonSprite close 740 540 1 1 0 0 0\n<end>\n";
        scene.callbacks = {"onFixedPainting", "onWin", "animateThumbnail"};
        gametest::GameOptions options;
        options.gameScript = "LF.active = 1 LF.seen = 0 LF.order = {0, 0, 0} LF.allFixed = false\n"
                             "function LF_getActivePainting() return LF.active end\n"
                             "function LF_getNumJigsawPaintingsSeen() return LF.seen end\n"
                             "function LF_setNumJigsawPaintingsSeen(n) record('LF_setNumJigsawPaintingsSeen', n) "
                             "LF.seen = n end\n"
                             "function LF_getJigsawPaintingOrder(p) return LF.order[p] end\n"
                             "function LF_setJigsawPaintingOrder(p, o) record('LF_setJigsawPaintingOrder', p, o) "
                             "LF.order[p] = o end\n"
                             "function LF_fixedAllPaintings() return LF.allFixed end\n"
                             "function LF_showTaskCompleted() record('LF_showTaskCompleted') end\n";
        ASSERT_TRUE(startScene(scene, options));
        art = static_cast<ArtRestoration*>(room(kArtRestorationRoom));
        ASSERT_TRUE(art->isInstanceOf("ArtRestoration"));
        art->setRandomDraw(&draw);
    }
    // Enters with painting `p` (1 to 3) active and its tiles at these slots.
    void enterWithSlots(int p, std::vector<int> slots)
    {
        runLua(art, "LF.active = " + std::to_string(p));
        enter(kArtRestorationRoom);
        ASSERT_TRUE(stepUntil([this] { return !art->isTransitioning(); }));
        const std::vector<ArtPiece*>& tiles = art->tiles(p - 1);
        ASSERT_EQ(slots.size(), tiles.size());
        for (size_t i = 0; i < slots.size(); ++i)
            tiles[i]->setSlot(slots[i]);
        world.stepFrames(1);
    }
    void clickSlot(int slot) { world.click(kLeft + slot % 2 * kArtCell + 25, kTop + slot / 2 * kArtCell + 25); }
    // Swaps the tiles at the two slots by clicks and waits for the swap's end.
    void swap(int a, int b)
    {
        clickSlot(a);
        clickSlot(b);
        frames(ArtRestoration::SWAP_FRAMES + 1);
        world.stepFrames(1);
    }

    const char* numbers;
    ArtRestoration* art = nullptr;
    ScriptedDraw draw;
};

// Grids of one cell and of none, from a definition that stops short.
class ArtRestorationOddGridTest : public ArtRestorationTest {
protected:
    ArtRestorationOddGridTest() : ArtRestorationTest("0 1 1 0") {}
};

TEST_F(ArtRestorationTest, ATwoByTwoBoardSolvedBySwapsGlowsAndLeaves)
{
    enterWithSlots(1, {1, 0, 3, 2});
    // (A new game set the count to 0 before.)
    EXPECT_EQ((std::vector<std::string>{"LF_setJigsawPaintingOrder(1, 1)"}), calls("LF_setJigsaw"));
    EXPECT_EQ("LF_setNumJigsawPaintingsSeen(1)", calls("LF_setNum").back());
    EXPECT_EQ(1u, calls("animateThumbnail").size());
    const std::vector<ArtPiece*>& tiles = art->tiles(0);
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(n, tiles[size_t(n)]->getHome());
    EXPECT_EQ(kLeft + kArtCell, tiles[0]->left()) << "a tile stands at its slot's cell";
    EXPECT_EQ(kTop, tiles[0]->top());
    clearRecords();
    // One selected: sound 78; selected again: deselected, no sound.
    clickSlot(1);
    EXPECT_TRUE(tiles[0]->isSelected());
    clickSlot(1);
    EXPECT_FALSE(tiles[0]->isSelected());
    EXPECT_EQ((std::vector<int>{ArtRestoration::SOUND_SELECTED}), soundsPlayed());
    clearRecords();
    swap(1, 0);
    EXPECT_TRUE(tiles[0]->isHome());
    EXPECT_TRUE(tiles[1]->isHome());
    EXPECT_EQ((std::vector<int>{ArtRestoration::SOUND_SELECTED, ArtRestoration::SOUND_SWAP_A,
                                ArtRestoration::SOUND_SWAP_B, ArtRestoration::SOUND_HOME}),
              soundsPlayed());
    // A tile at home cannot be selected.
    clickSlot(0);
    EXPECT_FALSE(tiles[0]->isSelected());
    clearRecords();
    clearCalls();
    swap(3, 2);
    EXPECT_TRUE(art->isClean());
    EXPECT_TRUE(art->isLeaving());
    const std::vector<int> sounds = soundsPlayed();
    EXPECT_EQ(ArtRestoration::SOUND_RESTORED, sounds.back());
    EXPECT_FALSE(tiles[2]->isVisible());
    sprite::SpriteBase* painting = art->getSprite("Painting1");
    EXPECT_TRUE(painting->isVisible());
    // The glow: up to white over 10 frames, back over 10, then the script hears it.
    ASSERT_TRUE(stepUntil([&] { return !calls("onFixedPainting").empty(); }, 40));
    EXPECT_EQ((std::vector<std::string>{"onFixedPainting:ArtRestoration(1)"}), calls("onFixedPainting"));
    EXPECT_EQ(128, painting->getColor().getRed());
    // Not all fixed: the zoom to the gallery through the clean mask.
    expectZoom(canvas, "+iGalleryTransClean_1", -102, -36, 4.0f, 0.32f);
    world.stepFrames(40);
    EXPECT_EQ(ArtRestoration::GALLERY_ROOM, canvas->getCurrentRoomIndex());
}

// A tile pressed and let go over another that can move swaps with it; let
// go over one at home it stays selected, and a click finishes the swap.
TEST_F(ArtRestorationTest, ATileDraggedOntoAnotherSwapsWithIt)
{
    enterWithSlots(1, {1, 0, 3, 2});
    const std::vector<ArtPiece*>& tiles = art->tiles(0);
    auto centre = [](int slot, int& x, int& y) {
        x = kLeft + slot % 2 * kArtCell + 25;
        y = kTop + slot / 2 * kArtCell + 25;
    };
    const struct {
        const char* what;
        int from, to; // the slots pressed and let go over
        std::vector<bool> home;
        bool selected; // the tile pressed stays selected
    } drags[] = {
        {"the tile at slot 1 dragged onto slot 0", 1, 0, {true, true, false, false}, false},
        {"the tile at slot 3 dragged onto a tile at home", 3, 0, {true, true, false, false}, true},
    };
    for (const auto& d : drags) {
        SCOPED_TRACE(d.what);
        int x = 0, y = 0;
        centre(d.from, x, y);
        ArtPiece* pressed = nullptr;
        for (ArtPiece* tile : tiles)
            pressed = tile->getSlot() == d.from ? tile : pressed;
        world.mouseDown(x, y);
        centre(d.to, x, y);
        world.mouseMove(x, y);
        world.mouseUp(x, y);
        frames(ArtRestoration::SWAP_FRAMES + 1);
        world.stepFrames(1);
        for (size_t i = 0; i < tiles.size(); ++i)
            EXPECT_EQ(d.home[i], tiles[i]->isHome()) << "tile " << i;
        EXPECT_EQ(d.selected, pressed->isSelected());
    }
    clickSlot(2);
    frames(ArtRestoration::SWAP_FRAMES + 1);
    EXPECT_TRUE(art->isClean());
}

TEST_F(ArtRestorationTest, ANewBoardIsShuffledInFiveRoundsThenTilesAtHomeAreSwappedAway)
{
    // Round 1 swaps tiles 0 and 1, and 2 and 3; rounds 2 to 4 draw each
    // tile's own place; round 5 swaps 2 and 3 back home. The pass after
    // finds tiles 2 and 3 home: 2 redraws its own place, then takes tile
    // 0's slot, and 3 takes tile 1's.
    draw.add({1, 1, 3, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 3, 3, 2, 0, 1});
    enter(kArtRestorationRoom);
    std::vector<int> slots;
    for (const ArtPiece* tile : art->tiles(0))
        slots.push_back(tile->getSlot());
    EXPECT_EQ((std::vector<int>{2, 3, 1, 0}), slots);
    EXPECT_EQ(std::vector<std::string>(5 * 4 + 3, "0..3"), draw.asked());
    EXPECT_EQ(0u, draw.left());
}

TEST_F(ArtRestorationTest, TheLastPaintingWinsAfter125FramesAndANewGameClearsTheBoard)
{
    runLua(art, "LF.allFixed = true");
    enterWithSlots(2, {1, 0, 2, 3});
    EXPECT_EQ(1, art->getOrderValue(1)) << "the first painting met uses the first grid";
    clearCalls();
    swap(0, 1);
    ASSERT_TRUE(stepUntil([&] { return art->isWon(); }, 40));
    EXPECT_EQ((std::vector<std::string>{"LF_showTaskCompleted()"}), calls("LF_show"));
    EXPECT_FALSE(sprite::ButtonMixin::fromSprite(art->getSprite("ArtRestorationClose"))->isEnabled());
    frames(ArtRestoration::WIN_DELAY - 1);
    EXPECT_TRUE(calls("onWin").empty());
    frames(1);
    EXPECT_EQ((std::vector<std::string>{"onWin:ArtRestoration(1)"}), calls("onWin"));
    // The board of painting 2 stays until a new game.
    EXPECT_EQ(4u, art->tiles(1).size());
    canvas->resetProgress();
    EXPECT_TRUE(art->tiles(1).empty());
}

TEST_F(ArtRestorationTest, ABoardIsKeptAcrossVisitsAndBadScriptValuesBuildNothing)
{
    enterWithSlots(1, {3, 2, 1, 0});
    art->onExit();
    art->onEnter();
    EXPECT_EQ(3, art->tiles(0)[0]->getSlot()) << "the places are kept";
    // A painting the scripts give no order value for gets no board.
    art->onExit();
    runLua(art, "LF.active = 3 LF.seen = 3");
    art->onEnter();
    EXPECT_TRUE(art->tiles(2).empty());
    // A painting number out of range keeps the one before.
    art->onExit();
    runLua(art, "LF.active = 7");
    art->onEnter();
    EXPECT_EQ(2, art->getActivePainting());
}

TEST_F(ArtRestorationTest, TheCloseButtonZoomsToThePaintingsPlaceInTheGallery)
{
    // Each painting met in turn gets the next grid: 2 x 2, 3 x 3, 4 x 4.
    struct Case {
        int painting;
        int tiles;
        const char* mask;
        int x, y;
        float from, to;
    };
    const Case cases[] = {
        {1, 4, "+iGalleryTransDirty_1", -114, -56, 4.0f, 0.32f},
        {2, 9, "+iGalleryTransDirty_2", 188, 76, 4.0f, 0.25f},
        {3, 16, "+iGalleryTransDirty_3", 401, -96, 6.0f, 0.32f},
    };
    for (const Case& c : cases) {
        std::vector<int> slots(size_t(c.tiles), 0);
        for (int i = 0; i < c.tiles; ++i)
            slots[size_t(i)] = i < 2 ? 1 - i : i;
        enterWithSlots(c.painting, slots);
        world.click(750, 550);
        expectZoom(canvas, c.mask, c.x, c.y, c.from, c.to);
        world.stepFrames(40);
        ASSERT_EQ(ArtRestoration::GALLERY_ROOM, canvas->getCurrentRoomIndex());
    }
}

TEST_F(ArtRestorationOddGridTest, OneCellAndNoCellsMakeOneTileWithoutAHang)
{
    // Order 1: one column, one row; order 2: none given, taken as one each.
    for (int p = 1; p <= 2; ++p) {
        runLua(art, "LF.active = " + std::to_string(p));
        enter(kArtRestorationRoom);
        ASSERT_TRUE(stepUntil([this] { return !art->isTransitioning(); }));
        ASSERT_EQ(1u, art->tiles(p - 1).size()) << "painting " << p;
        EXPECT_EQ(100, art->tiles(p - 1)[0]->width()) << "the whole painting is the one cell";
        EXPECT_TRUE(art->isClean()) << "a lone tile stands at home";
        world.stepFrames(1);
        art->onExit();
    }
}

} // namespace
} // namespace scenetest
