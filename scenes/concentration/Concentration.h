// Concentration.h: the card memory room (room 17): 24 face-down cards in 4
// rows of 6 hold 12 pairs; the player and a computer opponent take turns at
// turning up two cards; a pair scores a point and the same side plays on, a
// miss turns both cards down and passes the turn. The room deals the cards,
// animates them, keeps the turns and scores and tells its script how the
// game ended, when the player's turn comes, and how the computer's turn goes
// (a pair that keeps it, a miss that hands it back); the computer's choice
// and memory are ConcentrationPlayer.cpp.
#pragma once

#include "core/util/TVector.h"
#include "game/rooms/Room.h"
#include "scenes/common/RandomDraw.h"

namespace window {
class Event;
}

class Concentration : public Room {
public:
    // The board: 4 rows of 6 cards, 12 pairs.
    static constexpr int ROWS = 4;
    static constexpr int COLUMNS = 6;
    static constexpr int CARD_COUNT = ROWS * COLUMNS;
    // The first to this many pairs wins (one pair is then still on the board).
    static constexpr int WINNING_PAIRS = 6;
    // The steps of turning a card over.
    static constexpr int TURN_STEPS = 8;

    // Room states of the game (the Room base's run from 0 to 7).
    static constexpr int STATE_START = 9;
    static constexpr int STATE_NEW_GAME = 10;
    static constexpr int STATE_END_ROUND = 12;
    static constexpr int STATE_PLAYER_TURN = 13;
    static constexpr int STATE_COMPUTER_FIRST = 14;
    static constexpr int STATE_COMPUTER_SECOND = 15;
    static constexpr int STATE_SECOND_PICKED = 16;
    static constexpr int STATE_PAIR_SCORED = 17;
    static constexpr int STATE_TURN_PASSES = 18;

    // Sound table entries.
    static constexpr int SOUND_TURN_CARD = 113;
    static constexpr int SOUND_COMPUTER_SCORES = 114;
    static constexpr int SOUND_PLAYER_SCORES = 115;
    static constexpr int SOUND_TO_COMPUTER = 116;
    static constexpr int SOUND_TO_PLAYER = 117;
    static constexpr int SOUND_LOST = 118;
    static constexpr int SOUND_FLY_AWAY = 119;
    static constexpr int SOUND_DEAL = 120;

    // The mini-game index of its instructions, and the room the close
    // button leads back to (the tavern).
    static constexpr int INSTRUCTIONS_GAME = 3;
    static constexpr int TAVERN_ROOM = 11;
    // The room's table in `rooms`.
    static const char kScriptTable[];

    // One card of the board.
    struct Card {
        int value = -1;   // 0..11, two cards share each; -1: no game laid out
        int step = 0;     // step of the running turn-over, 0..8
        int countdown = 0; // ticks before a delayed turn-down or fly-away
        bool faceUp = false; // turned up in this turn: it cannot be picked again
        bool waitingToConceal = false;
        bool concealing = false;
        bool revealing = false;
        bool seen = false;  // face up at least once in this game
        bool taken = false; // part of a matched pair, out of play
        bool waitingToFly = false;
        bool flying = false;
    };

    // No game laid out; the player's turn; draws from the room's generator.
    Concentration();
    // Removes the cards.
    ~Concentration() override;

    HV_CLASS_NAME("Concentration", Room)
    HV_DECLARE_METACLASS(Concentration);

    // Under the room's monitor: nothing while the instructions show or the
    // room does not; else Room::tick, and the deal or the cards' animations
    // while the room is not in a transition and the game runs.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Numbers 1..5: the computer's memory chance, the ticks between dealt
    // cards, a dealt card's flight in ticks, the deck's left and top.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The question mark, the room's own handling, the close button, then
    // the player's pick of a card.
    int mouseDown(window::Event* e) override;
    void onEnter() override;
    void onExit() override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;
    // The tavern is left through a zoom; any other room as the base does.
    void goToRoom(int index) override;
    void setState(int state) override;
    // The actions of the finished animations of the scoring.
    bool handleEvent(window::Event* e) override;

    // Shuffles values[0..n-1] with the room's generator (the puzzles' shuffle).
    static void shuffle(Room* room, int* values, int n);
    // Leaves the room (this one, or the noughts and crosses room) for the
    // tavern through the card room's keyhole mask, shrinking over it.
    static void zoomToTavern(Room* room, int tavern);

    // A new game: the old cards removed, 24 cards dealt face down.
    void newGame();
    // Turns card n up by the player's click or the computer's pick.
    void selectCard(int n);
    // Card n of a taken pair flies off toward the side that took it.
    void flyAwayCard(int n);
    // Takes every card off the board.
    void removeCards();

    // The computer player (ConcentrationPlayer.cpp): every card turned up
    // is remembered; the computer picks its first or second card.
    void rememberCard(int n);
    void pickComputerCard();
    // The other card of card n's value, or -1.
    int findPartner(int n);

    // The draws of this room (null: the room's own generator again); the
    // draw is not owned.
    void setRandomDraw(RandomDraw* draw) { m_pDraw = draw ? draw : &m_ownDraw; }

    const Card& card(int n) const { return m_cards[n]; }
    int getCardCount() const { return m_nCardCount; }
    int getPlayerScore() const { return m_nPlayerScore; }
    int getAIScore() const { return m_nAIScore; }
    bool isPlayerTurn() const { return m_bPlayerTurn; }
    bool isDealing() const { return m_bDealing; }
    int getFirstCard() const { return m_nFirstCard; }
    int getPlannedSecond() const { return m_nPlannedSecond; }
    int getComputerPairsInRow() const { return m_nComputerPairsInRow; }
    bool isWeakComputer() const { return m_bWeakComputer; }
    int getMemoryPercent() const { return m_nMemoryPercent; }
    util::TVector<int>& getSeenList() { return m_seen; }
    util::TVector<int>& getKnownPairs() { return m_knownPairs; }
    sprite::SpriteBase* getCardBack(int n) const { return m_backs[n]; }
    sprite::SpriteBase* getCardFace(int n) const { return m_faces[n]; }

    // The native methods of hv.Concentration, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // Lays out the cards: backs on the deck, faces in their places, hidden.
    void dealCards();
    // One tick of the deal.
    void dealStep();
    // One tick of every card's animation and countdown.
    void animateCards();
    void animateCard(int n);
    void startTurnUp(int n);
    void startTurnDown(int n);
    // One tick of card n's turn-down (also while it flies off); true at its
    // last step, when the card lies face down again.
    bool stepTurnDown(int n);
    // Every back of a card not taken on, or every back off.
    void enableBacks(bool enable);
    void enableBack(int n, bool enable);
    // A step of the scoring (its command's index); a step whose sprite is
    // missing goes straight on to the next.
    void handleCommand(int command);
    // The end of a game when a side has six pairs; true when it ended.
    bool endGameIfWon();
    // The random pick of the computer (ConcentrationPlayer.cpp).
    int pickRandomCard();

    Card m_cards[CARD_COUNT];
    sprite::SpriteBase* m_backs[CARD_COUNT];
    sprite::SpriteBase* m_faces[CARD_COUNT];
    util::TVector<int> m_seen;
    util::TVector<int> m_knownPairs;
    int m_nCardCount;
    int m_nRows;
    int m_nColumns;
    int m_nAIScore;
    int m_nPlayerScore;
    bool m_bPlayerTurn;
    bool m_bUseMemory;
    int m_nPlannedSecond;
    int m_nFirstCard;
    bool m_bHaveFirst;
    int m_nComputerPairsInRow;
    bool m_bDealing;
    int m_nMemoryPercent;
    int m_nDealInterval;
    int m_nDealFrames;
    int m_nDeckX;
    int m_nDeckY;
    int m_nDealt;
    int m_nDealTimer;
    bool m_bWeakComputer;
    sprite::SpriteBase* m_pFloating;
    RandomDraw m_ownDraw;
    RandomDraw* m_pDraw;
};
