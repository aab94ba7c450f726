// SampleChapter2.cpp: the second chapter's card game, paintings and pearl
// dive played by clicks.
#include "tests/scenes/support/SampleChapter2.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/artrestoration/ArtPiece.h"
#include "scenes/artrestoration/ArtRestoration.h"
#include "scenes/concentration/Concentration.h"
#include "scenes/whackaclam/Clam.h"
#include "scenes/whackaclam/WhackAClam.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SampleWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace scenetest {
namespace {

// Turns a game of cards may take: six pairs, and the computer's turns if
// the player ever misses.
constexpr int kCardTurns = 40;
// A spot of open water, away from the clams and the way back, whose click
// starts the dive.
constexpr int kDiveStartX = 400, kDiveStartY = 200;
// The dive's how-to-play is queued for the next frame and grows in 8.
constexpr int kHowToPlayFrames = 20;
// The air lasts 150 pixels of the tank at one pixel every 12 frames.
constexpr int kDiveFrames = 150 * WhackAClam::AIR_TICKS + 60;
// Dives made before giving up: a lost one is left and made again.
constexpr int kDiveAttempts = 3;
// The pearl's picture is searched in steps of this many pixels when its
// middle does not take the click (a clam whose picture is mirrored).
constexpr int kPearlSearchStep = 2;

bool cardGameWon()
{
    return ScriptHost::instance->getLuaBoolean("LF.concentrationWon");
}

// Every card still on the table lies face down in its place, its back
// flown there from the deck.
bool cardsLaidOut(Concentration* cards)
{
    for (int n = 0; n < cards->getCardCount(); ++n) {
        sprite::SpriteBase* back = cards->getCardBack(n);
        sprite::SpriteBase* face = cards->getCardFace(n);
        if (cards->card(n).taken)
            continue;
        if (!back || !face || back->left() != face->left() || back->top() != face->top() ||
            cards->card(n).revealing || cards->card(n).concealing)
            return false;
    }
    return true;
}

// A point of the clam's pearl, as the player sees it there, that takes a
// click; false when the clam shows none.
bool pearlPoint(Clam* clam, int& x, int& y)
{
    sprite::ImageSprite* pearl = clam->getPearl();
    if (!pearl || !clam->hasPearl() || clam->getState() == Clam::STATE_CLOSED || clam->getFloatingPearl())
        return false;
    // The pearl's middle in the clam's picture, turned into the room's frame.
    int dx = pearl->getX() + pearl->width() / 2 - clam->width() / 2;
    int dy = pearl->getY() + pearl->height() / 2 - clam->height() / 2;
    clam->toScreen(dx, dy);
    x = clam->getX() + dx;
    y = clam->getY() + dy;
    if (clam->isPearlClickable(x, y))
        return true;
    for (y = clam->top(); y < clam->top() + clam->height(); y += kPearlSearchStep) {
        for (x = clam->left(); x < clam->left() + clam->width(); x += kPearlSearchStep) {
            if (clam->isPearlClickable(x, y))
                return true;
        }
    }
    return false;
}

// The game's end: won, or six pairs the computer's.
bool cardGameOver(Concentration* cards)
{
    return cardGameWon() || cards->getAIScore() >= Concentration::WINNING_PAIRS;
}

// On each of the player's turns until the game ends, the two cards `choose`
// names are turned up; `watch` sees every frame played.
void playCardTurns(gametest::SamplePlayer& player, Concentration* cards, const std::function<void(int&, int&)>& choose,
                   const std::function<void()>& watch = [] {})
{
    for (int turn = 0; turn < kCardTurns && !cardGameOver(cards); ++turn) {
        ASSERT_TRUE(player.painted(
            [cards, &watch] {
                watch();
                return cardGameOver(cards) || (cards->getState() == Concentration::STATE_PLAYER_TURN &&
                                               cards->isPlayerTurn() && !cards->isDealing() && cardsLaidOut(cards));
            },
            600))
            << "turn " << turn;
        if (cardGameOver(cards))
            break;
        int first = -1, second = -1;
        choose(first, second);
        ASSERT_GE(second, 0) << "no two cards left on the table";
        player.clickOn(cards->getCardBack(first));
        ASSERT_TRUE(cards->card(first).faceUp) << "card " << first;
        player.clickOn(cards->getCardBack(second));
        ASSERT_TRUE(cards->card(second).faceUp || cards->card(second).taken) << "card " << second;
        ASSERT_TRUE(player.painted(
            [cards] { return cardGameOver(cards) || cards->getState() != Concentration::STATE_SECOND_PICKED; }, 200));
    }
}

} // namespace

bool playCardGameFromMemory(gametest::SamplePlayer& player, Concentration* cards, int memory)
{
    // The cards turned up, the latest last, each once.
    std::vector<int> recalled;
    auto watch = [cards, &recalled, memory] {
        for (int n = 0; n < cards->getCardCount(); ++n) {
            if (cards->card(n).faceUp && (recalled.empty() || recalled.back() != n)) {
                recalled.erase(std::remove(recalled.begin(), recalled.end(), n), recalled.end());
                recalled.push_back(n);
            }
        }
        if (int(recalled.size()) > memory)
            recalled.erase(recalled.begin(), recalled.end() - memory);
    };
    auto open = [cards](int n) { return !cards->card(n).taken; };
    auto known = [&recalled, open](int n) {
        return open(n) && std::find(recalled.begin(), recalled.end(), n) != recalled.end();
    };
    auto partner = [cards](int n) {
        for (int k = 0; k < cards->getCardCount(); ++k) {
            if (k != n && cards->card(k).value == cards->card(n).value)
                return k;
        }
        return -1;
    };
    playCardTurns(
        player, cards,
        [&](int& first, int& second) {
            // A pair both of whose cards are remembered.
            for (int a = 0; a < cards->getCardCount() && second < 0; ++a) {
                if (known(a) && known(partner(a))) {
                    first = a;
                    second = partner(a);
                }
            }
            if (second >= 0)
                return;
            // Else a card not remembered (or any), then its partner if that
            // is remembered, or another card not remembered (or any).
            for (bool unknownOnly : {true, false}) {
                for (int n = 0; n < cards->getCardCount() && first < 0; ++n) {
                    if (open(n) && !(unknownOnly && known(n)))
                        first = n;
                }
            }
            if (first >= 0 && known(partner(first)))
                second = partner(first);
            for (bool unknownOnly : {true, false}) {
                for (int n = 0; n < cards->getCardCount() && second < 0; ++n) {
                    if (n != first && open(n) && !(unknownOnly && known(n)))
                        second = n;
                }
            }
        },
        watch);
    return cardGameWon();
}

void winCardGame(gametest::SamplePlayer& player, testsupport::GameWorld&, Concentration* cards)
{
    playCardTurns(player, cards, [cards](int& first, int& second) {
        // Two cards of one picture among those still on the table.
        for (int a = 0; a < cards->getCardCount() && second < 0; ++a) {
            for (int b = a + 1; b < cards->getCardCount() && second < 0; ++b) {
                if (!cards->card(a).taken && !cards->card(b).taken && cards->card(a).value == cards->card(b).value) {
                    first = a;
                    second = b;
                }
            }
        }
    });
    ASSERT_TRUE(cardGameWon());
    EXPECT_EQ(Concentration::WINNING_PAIRS, cards->getPlayerScore());
    // The won game ends: the game leads back to the tavern by itself, where
    // the win is told, and leaves no card on the table.
    ASSERT_TRUE(player.painted([&player] { return player.current() == Concentration::TAVERN_ROOM; }));
    ASSERT_TRUE(LanternfieldCanvas::instance->isSpriteVisible("RoomItemsBalloon"));
    auto* tip = static_cast<sprite::NewFontSprite*>(LanternfieldCanvas::instance->getSprite("RoomItemTipText"));
    EXPECT_STREQ(lang::String::loadText("STR_CARDS_WON_TROPHY").c_str(), tip->getText().c_str());
    EXPECT_EQ(0, cards->getCardCount());
}

void restorePainting(gametest::SamplePlayer& player, testsupport::GameWorld& world, ArtRestoration* art)
{
    ASSERT_TRUE(player.painted([art] { return art->inputAllowed(); }));
    const int active = art->getActivePainting();
    const std::vector<ArtPiece*>& tiles = art->tiles(active);
    ASSERT_FALSE(tiles.empty());
    const int order = art->getOrderValue(active);
    const int columns = art->getColumns(order);
    const int rows = art->getRows(order);
    sprite::SpriteBase* painting = art->getSprite(("Painting" + std::to_string(active + 1)).c_str());
    ASSERT_NE(nullptr, painting);
    const int cellWidth = painting->width() / columns;
    const int cellHeight = painting->height() / rows;
    auto clickCell = [&](int slot) {
        world.click(painting->left() + slot % columns * cellWidth + cellWidth / 2,
                    painting->top() + slot / columns * cellHeight + cellHeight / 2);
    };
    // Each tile in turn is brought home: it, then the tile on its cell.
    for (size_t home = 0; home < tiles.size(); ++home) {
        ArtPiece* tile = tiles[home];
        if (tile->isHome())
            continue;
        clickCell(tile->getSlot());
        ASSERT_TRUE(tile->isSelected()) << "tile " << home;
        clickCell(int(home));
        ASSERT_TRUE(player.painted([art, tile] { return tile->isHome() && !art->isSwapping(tile); }, 60))
            << "tile " << home;
    }
    ASSERT_TRUE(art->isClean());
    ASSERT_TRUE(player.arrivedIn(ArtRestoration::GALLERY_ROOM, 400)) << "the room zooms back to the gallery";
}

void diveForPearls(gametest::SamplePlayer& player, testsupport::GameWorld& world, WhackAClam* dive)
{
    const int dock = SampleWalk::roomOf("DiveDock");
    const int clams = SampleWalk::roomOf("WhackAClam");
    for (int attempt = 0; attempt < kDiveAttempts; ++attempt) {
        // A first visit opens the how-to-play as the dive is entered; the
        // first click then starts the dive.
        player.closeInstructions(kHowToPlayFrames);
        world.click(kDiveStartX, kDiveStartY);
        ASSERT_TRUE(player.painted([dive] { return dive->isRunning(); }, 60)) << "dive " << attempt;
        for (int frame = 0; frame < kDiveFrames && dive->getPearlsClicked() < dive->getPearlCount() &&
                            !dive->isGameOver();
             ++frame) {
            for (int c = 0; c < dive->getClamCount(); ++c) {
                int x = 0, y = 0;
                if (pearlPoint(dive->getClam(c), x, y))
                    world.click(x, y);
            }
            world.stepFrames(1);
        }
        if (dive->getPearlsClicked() >= dive->getPearlCount())
            break;
        // The air ran out: up to the dock and down again.
        player.walkTo(dock);
        player.walkTo(clams);
        if (::testing::Test::HasFatalFailure())
            return;
    }
    ASSERT_EQ(dive->getPearlCount(), dive->getPearlsClicked());
    ASSERT_TRUE(player.arrivedIn(dock, 600)) << "the won dive leads back up to the dock";
    EXPECT_TRUE(ScriptHost::instance->getLuaBoolean("LF.pearlsWon"));
}

} // namespace scenetest
