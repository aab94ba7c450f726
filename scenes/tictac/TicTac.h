// TicTac.h: the noughts-and-crosses room (room 52): a scored game on a
// 5 x 5 board against the computer. The player places O pieces, the computer
// X pieces, one a turn; a run of three to five through the cell just played
// scores. A game ends with the board full, and the side with more points
// wins; three won games solve the puzzle (the script keeps the count). The
// room keeps the turns, the pieces and their animations, the scores and the
// calls to its script; the rules are TicTacBoard's.
#pragma once

#include "core/util/TVector.h"
#include "game/rooms/Room.h"
#include "scenes/tictac/TicTacBoard.h"

#include <functional>

namespace sprite {
class AnimateSprite;
}

namespace window {
class Event;
}

class TicTac : public Room {
public:
    // Room states of the game (the Room base's run from 0 to 7).
    static constexpr int STATE_START = 9;
    static constexpr int STATE_NEW_GAME = 10;
    static constexpr int STATE_END_GAME = 11;
    static constexpr int STATE_PLAYER_TURN = 12;
    static constexpr int STATE_PLAYER_MOVE = 13;
    static constexpr int STATE_COMPUTER_MOVE = 14;
    static constexpr int STATE_COMPUTER_TURN = 15;
    static constexpr int STATE_NEXT_TURN = 16;
    static constexpr int STATE_PLAYER_WON = 17;
    static constexpr int STATE_COMPUTER_WON = 18;
    static constexpr int STATE_TIE = 19;

    // Results of checkGameOver.
    static constexpr int GAME_GOES_ON = 0;
    static constexpr int PLAYER_AHEAD = 1;
    static constexpr int COMPUTER_AHEAD = 2;
    static constexpr int TIE = 9;

    // Sound table entries.
    static constexpr int SOUND_COMPUTER_SCORES = 114;
    static constexpr int SOUND_PLAYER_SCORES = 115;
    static constexpr int SOUND_COMPUTER_WON = 118;
    static constexpr int SOUND_BOARD_CLEARED = 219;
    static constexpr int SOUND_PIECE_PLACED = 220;
    static constexpr int SOUND_PLAYER_RUN = 221;
    static constexpr int SOUND_COMPUTER_RUN = 222;

    // The mini-game index of its instructions, the room the close button
    // leads back to (the tavern at night), and the won games that solve it.
    static constexpr int INSTRUCTIONS_GAME = 10;
    static constexpr int TAVERN_ROOM = 44;
    static constexpr int GAMES_TO_SOLVE = 3;
    // The room's table in `rooms`.
    static const char kScriptTable[];

    // The computer starts; level 0, no adjustment, no pieces.
    TicTac();
    // Removes the pieces.
    ~TicTac() override;

    HV_CLASS_NAME("TicTac", Room)
    HV_DECLARE_METACLASS(TicTac);

    // The scoring's blink chain and the won-games counter; then the base's.
    void handleAction(lang::Object* sender, lang::String* command) override;
    // Paused while the instructions show or the game does not play.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Keeps the "Rollover" and "FloatingNumbers" children.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The question mark, the room's own handling, the close button, then
    // the player's move; a click on a blocked or taken square is told to
    // the script ("squareNotFree" with the square's mark).
    int mouseDown(window::Event* e) override;
    // The rollover over the empty cell under the pointer on the player's turn.
    bool mouseMove(window::Event* e) override;
    void onEnter() override;
    void onExit() override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;
    // The tavern is left through a zoom; any other room as the base does.
    void goToRoom(int index) override;
    void setState(int state) override;
    // The actions of the finished animations of the scoring.
    bool handleEvent(window::Event* e) override;

    // A new game: the pieces made afresh (hidden, under the labels), the
    // board cleared.
    void resetBoard();
    // Takes every piece off the board.
    void removePieces();
    // 0 while a cell is empty; with the board full PLAYER_AHEAD,
    // COMPUTER_AHEAD or TIE, and who starts the next game set.
    int checkGameOver();
    // The computer's cell (TicTacBoard::chooseMove at this room's slack).
    void chooseComputerMove(int& row, int& column);
    int evaluateCell(int x, int y, int mark) { return m_board.evaluateCell(x, y, mark); }
    int slack() const { return TicTacBoard::slack(m_nLevel, m_dSlackAdjust); }

    // The draw that breaks the computer's ties (null: lang::Math::random).
    void setTieDraw(std::function<double()> draw);

    TicTacBoard& board() { return m_board; }
    int getPlayerScore() const { return m_nPlayerScore; }
    int getAIScore() const { return m_nAIScore; }
    bool isPlayerTurn() const { return m_bPlayerTurn; }
    bool didPlayerStart() const { return m_bPlayerStarted; }
    int getRound() const { return m_nRound; }
    int getLevel() const { return m_nLevel; }
    double getSlackAdjust() const { return m_dSlackAdjust; }
    util::TVector<int>& getScoredCells() { return m_scoredCells; }
    sprite::AnimateSprite* getXPiece(int cell) const { return m_xPieces[cell]; }
    sprite::AnimateSprite* getOPiece(int cell) const { return m_oPieces[cell]; }

    // The native methods of hv.TicTac, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // Shows the piece and plays its placing animation (to its second-to-last
    // frame), marks the cell and scores the move; the points.
    int placePiece(int cell, int mark);
    // The state that follows the end check's result (GAME_GOES_ON: next).
    static int stateAfterCheck(int result);
    // Sends `command` to this room's handleAction after `delay` frames with
    // `parameter` as sender.
    void schedule(int delay, const char* command, lang::Object* parameter);
    // The blink chain: the piece's highlighted (last) or plain look.
    static void setHighlighted(sprite::AnimateSprite* piece, bool highlighted);
    // The scoring's steps after the highlight (by index of their command).
    void handleCommand(int command);
    // Leaving: a scoring under way is dropped, and the turn of an unfinished
    // game goes back to the side that began it.
    void stopScoring();
    // The first in drawing order of the labels, scores and sparkles, or null.
    sprite::SpriteBase* lowestLabel();
    // The side's label lights (fading in) unless it is lit already, so that
    // a side lit as its turn came keeps its label steady; the player's
    // lighting is told to the script ("playerTurn").
    void showTurnOf(bool player);

    int m_nAIScore;
    int m_nPlayerScore;
    bool m_bPlayerTurn;
    bool m_bPlayerStarted;
    int m_nRound;
    int m_nLevel;
    double m_dSlackAdjust;
    util::TVector<int> m_scoredCells;
    sprite::AnimateSprite* m_xPieces[TicTacBoard::CELLS];
    sprite::AnimateSprite* m_oPieces[TicTacBoard::CELLS];
    TicTacBoard m_board;
    sprite::SpriteBase* m_pRollover;
    sprite::AnimateSprite* m_pFloating;
    std::function<double()> m_tieDraw;
};
