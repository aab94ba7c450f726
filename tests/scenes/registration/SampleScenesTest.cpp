// SampleScenesTest.cpp: the sample game's puzzle rooms load as their scene
// classes with every sprite their games use, and can be played by clicks:
// the card game deals and turns a card, noughts and crosses takes a move;
// the bookshelf, a painting and the air compressor are solved.
#include "game/progress/ProgressRecord.h"
#include "scenes/aircompressor/AirCompressor.h"
#include "scenes/artrestoration/ArtPiece.h"
#include "scenes/artrestoration/ArtRestoration.h"
#include "scenes/bookshelf/Bookshelf.h"
#include "scenes/concentration/Concentration.h"
#include "scenes/tictac/TicTac.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SceneFixture.h"

namespace scenetest {
namespace {

class SampleScenesTest : public SceneFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGame());
    }
    // Nothing the rooms look for is missing from the data, and nothing failed.
    void expectCleanRun()
    {
        EXPECT_EQ(std::string::npos, world.debugText().find(": no sprite ")) << world.debugText();
        EXPECT_EQ(std::string::npos, world.debugText().find(" is no ")) << world.debugText();
        EXPECT_TRUE(world.boxes().empty()) << world.boxes()[0].caption << ": " << world.boxes()[0].text;
    }
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
    static int centreX(sprite::SpriteBase* s) { return s->left() + s->width() / 2; }
    static int centreY(sprite::SpriteBase* s) { return s->top() + s->height() / 2; }
};

TEST_F(SampleScenesTest, TheCardGameDealsAndTurnsACardUp)
{
    auto* cards = static_cast<Concentration*>(room(17));
    ASSERT_TRUE(cards->isInstanceOf("Concentration"));
    enter(17);
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
    expectCleanRun();
}

TEST_F(SampleScenesTest, NoughtsAndCrossesTakesTheComputersMoveAndThePlayers)
{
    auto* game = static_cast<TicTac*>(room(52));
    ASSERT_TRUE(game->isInstanceOf("TicTac"));
    enter(52);
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
        world.click(centreX(home), centreY(home));
        ASSERT_EQ("1", runLua(shelf, "return LF_isBookshelfItemFixed(" + item + ")")) << "thing " << n;
    }
    EXPECT_EQ("true", story(shelf, "LF.bookshelfSorted"));
    // The key from the clock opens the drawer.
    sprite::SpriteBase* key = shelf->getSprite("KeyOnClock");
    world.click(centreX(key), centreY(key));
    EXPECT_EQ("true", runLua(shelf, "return self:isKeyOnCursor()"));
    world.click(120, 540);
    world.stepFrames(30);
    EXPECT_TRUE(shelf->getSprite("DrawerMap")->isVisible());
    expectCleanRun();
}

TEST_F(SampleScenesTest, APaintingIsMendedBySwappingTilesHome)
{
    auto* art = static_cast<ArtRestoration*>(room(19));
    ASSERT_TRUE(art->isInstanceOf("ArtRestoration"));
    enter(19);
    ASSERT_TRUE(stepUntil([art] { return !art->isTransitioning(); }));
    // The first painting met is cut 3 x 3 into cells of 100 x 80.
    const std::vector<ArtPiece*>& tiles = art->tiles(0);
    ASSERT_EQ(9u, tiles.size());
    sprite::SpriteBase* painting = art->getSprite("Painting1");
    auto clickSlot = [&](int slot) {
        world.click(painting->left() + slot % 3 * 100 + 50, painting->top() + slot / 3 * 80 + 40);
    };
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

TEST_F(SampleScenesTest, TheAirCompressorIsMendedWithFusesAndWires)
{
    auto* air = static_cast<AirCompressor*>(room(21));
    ASSERT_TRUE(air->isInstanceOf("AirCompressor"));
    enter(21);
    ASSERT_TRUE(stepUntil([air] { return !air->isTransitioning(); }));
    // The right fuses: yellow, green, purple in holders 1 to 3.
    const char* fuses[] = {"Fuse_YellowOnGround", "Fuse_GreenOnGround", "Fuse_PurpleOnGround"};
    for (int holder = 0; holder < 3; ++holder) {
        sprite::SpriteBase* fuse = air->getSprite(fuses[holder]);
        world.click(centreX(fuse), centreY(fuse));
        EXPECT_FALSE(fuse->isVisible()) << fuses[holder];
        world.click(180 + 70 * holder, 220);
    }
    ASSERT_EQ("3", runLua(air, "return self:getNumCorrectFuses()"));
    sprite::SpriteBase* test = air->getSprite("Button_Test");
    world.click(centreX(test), centreY(test));
    ASSERT_EQ("wires", story(air, "LF.compressorStage"));
    // The right diodes: 3, 1, 4, 2 in sockets 1 to 4.
    const int diodes[] = {3, 1, 4, 2};
    for (int socket = 0; socket < 4; ++socket) {
        sprite::SpriteBase* diode = air->getSprite(("Diode" + std::to_string(diodes[socket])).c_str());
        sprite::SpriteBase* target = air->getSprite(("DiodeRect" + std::to_string(socket + 1)).c_str());
        world.mouseDown(centreX(diode), centreY(diode));
        world.mouseMove(centreX(target), centreY(target));
        world.mouseUp(centreX(target), centreY(target));
    }
    ASSERT_EQ("4", runLua(air, "return self:getWiringStatus()"));
    sprite::SpriteBase* start = air->getSprite("Button_Start");
    world.click(centreX(start), centreY(start));
    EXPECT_EQ("running", story(air, "LF.compressorStage"));
    EXPECT_TRUE(air->getSprite("IndicatorLight")->isVisible());
    world.stepFrames(20);
    expectCleanRun();
}

} // namespace
} // namespace scenetest
