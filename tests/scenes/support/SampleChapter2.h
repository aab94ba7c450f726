// SampleChapter2.h: the second chapter's card game, paintings and pearl dive
// played the way a player plays them, by clicks on the running program, for
// the walkthrough.
#pragma once

#include "tests/game/support/SampleSession.h"

class ArtRestoration;
class Concentration;
class WhackAClam;

namespace scenetest {

// At the card table (its instructions closed): on each of the player's
// turns two cards of a pair still on the table are turned up, until the
// player has won the game, which leads back to the tavern.
void winCardGame(gametest::SamplePlayer& player, testsupport::GameWorld& world, Concentration* cards);

// At the card table, the player's turns played as a newcomer who remembers
// only the last `memory` cards turned up, by either side: a pair both of
// whose cards are remembered, else a card not remembered and its partner if
// that is, else another card not remembered. Until the game ends; whether the
// player won it.
bool playCardGameFromMemory(gametest::SamplePlayer& player, Concentration* cards, int memory);

// In the restoration room (its instructions closed): each tile of the
// painting on the easel that is out of place is clicked, then the tile on its
// home cell, until the painting is whole; the room then zooms back to the
// gallery by itself (after the last painting, once the owner has thanked).
void restorePainting(gametest::SamplePlayer& player, testsupport::GameWorld& world, ArtRestoration* art);

// Under water: a click starts the dive, its instructions are closed, and
// the pearls are clicked out of the open clams until every slot is lit;
// the room leads back to the dive dock by itself. A dive whose air runs out
// is left and made again, a few times at most.
void diveForPearls(gametest::SamplePlayer& player, testsupport::GameWorld& world, WhackAClam* dive);

} // namespace scenetest
