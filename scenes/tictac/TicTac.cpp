// TicTac.cpp: the noughts-and-crosses room: the pieces, the turns, the
// scoring animations and the end of a game.
#include "scenes/tictac/TicTac.h"

#include "core/lang/Math.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/common/TurnLabels.h"
#include "scenes/concentration/Concentration.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <algorithm>
#include <iterator>
#include <string>

HV_DEFINE_METACLASS(TicTac);

const char TicTac::kScriptTable[] = "TicTac";

namespace {

// Board geometry: the cells are 80 pixels square; a piece of column c, row
// r is centred near x = 240 + 80c, y = 150 + 80r; a point falls in column
// (x - 200) / 80 and row (y - 110) / 80 (truncated toward zero).
constexpr int kCell = 80;
constexpr int kColumnOrigin = 200;
constexpr int kRowOrigin = 110;
constexpr int kPieceColumnShift = 3;
constexpr int kPieceLeftNudge = 3;
constexpr int kPieceCentreY = 150;
constexpr int kPieceTopNudge = 4;
// Delays in frames: the player's turn after a move, the computer's first
// move of a game, the computer's move after its turn shows, the turn after
// the computer's, the end of a game after the last move or score, the new
// game after "endround", and the won games counter after a win.
constexpr int kNextStepDelay = 1;
constexpr int kComputerStartDelay = 32;
constexpr int kComputerMoveDelay = 17;
constexpr int kComputerTurnDelay = 16;
constexpr int kGameOverDelay = 24;
constexpr int kNewGameDelay = 22;
constexpr int kWinsDelay = 65;
// The blink chain: the highlighted look holds 10 frames, the plain one 5.
constexpr int kHighlightFrames = 10;
constexpr int kPlainFrames = 5;
// The pieces fade out over this many frames at "endround".
constexpr int kFadeFrames = 12;
// The floating points stand in the gap at a corner of the piece just placed
// and grow there to 1.5 times their size over 30 frames, long enough to be
// read, then fly to the side's score over 16 frames as they shrink back; 128
// is a colour balance byte that leaves the picture as drawn.
constexpr double kFloatScale = 1.5;
constexpr int kAsDrawn = 128;
constexpr int kFloatGrowFrames = 30;
constexpr int kFloatFlyFrames = 16;
// The alpha byte of the inactive turn labels at entry; the side coming on
// turn fades in over 7 frames.
constexpr int kAlphaInactive = 30;
constexpr int kTurnFadeFrames = 7;
// The instructions open by themselves this many frames after entering.
constexpr int kInstructionsDelay = 36;
// The scoring's commands sent by finished animations, matched by prefix.
enum Command { PLAYER_SCALED_UP, COMPUTER_SCALED_UP, UPDATE_PLAYER, UPDATE_COMPUTER, NEXT_STATE };
const char* const kCommands[] = {"PlayerScoreDoneScalingUp", "AIScoreDoneScalingUp", "updatePlayerScore",
                                 "updateAIScore", "startNextState"};

lang::String* text(const char* command)
{
    return new lang::String(command);
}

// The sides' labels, scores and sparkles and the won games' label: the
// pieces lie under them, and so do the points on their way to a score.
const char* const kTicTacLabels[] = {"Wins",           "ScoreBlingAI",       "ScoreBlingPlayer",
                                     "AITurnBG",       "PlayerTurnBG",       "AITurnInactive",
                                     "AITurnActive",   "PlayerTurnInactive", "PlayerTurnActive",
                                     "AIScore",        "PlayerScore"};

// The piece's place for the cell: left and top.
void placeOnCell(sprite::SpriteBase* piece, int cell)
{
    const int c = cell % TicTacBoard::SIZE;
    const int r = cell / TicTacBoard::SIZE;
    piece->setPosition((c + kPieceColumnShift) * kCell - piece->width() / 2 - kPieceLeftNudge,
                       kPieceCentreY + kCell * r - piece->height() / 2 - kPieceTopNudge);
}

// The points' place for a scoring piece: centred on the crossing of the gaps
// at the piece's corner that faces the board's middle, where they lie
// between the marks of the four pieces about it and on the board, away
// from the labels round it. They stand there at their size as drawn: a
// flight or growth cut short by leaving the room ends here.
void placeOnGapCorner(sprite::SpriteBase* points, sprite::SpriteBase* piece)
{
    const int middleX = kColumnOrigin + kCell * TicTacBoard::SIZE / 2;
    const int middleY = kRowOrigin + kCell * TicTacBoard::SIZE / 2;
    int x = piece->left() + piece->width() / 2;
    int y = piece->top() + piece->height() / 2;
    x += (x < middleX ? kCell : -kCell) / 2;
    y += (y < middleY ? kCell : -kCell) / 2;
    points->setPosition(x - points->width() / 2, y - points->height() / 2);
    points->setDestination(points->left(), points->top(), 0);
    points->setScale(1.0);
}

} // namespace

TicTac::TicTac()
    : m_nAIScore(0),
      m_nPlayerScore(0),
      m_bPlayerTurn(false),
      m_bPlayerStarted(true),
      m_nRound(0),
      m_nLevel(0),
      m_dSlackAdjust(0.0),
      m_scoredCells(10),
      m_pRollover(nullptr),
      m_pFloating(nullptr),
      m_tieDraw(&lang::Math::random)
{
    for (int i = 0; i < TicTacBoard::CELLS; ++i) {
        m_xPieces[i] = nullptr;
        m_oPieces[i] = nullptr;
    }
    SceneLua::bindRoomClass(this, "TicTac", luaMethods());
}

TicTac::~TicTac()
{
    removePieces();
}

void TicTac::setTieDraw(std::function<double()> draw)
{
    m_tieDraw = draw ? std::move(draw) : std::function<double()>(&lang::Math::random);
}

void TicTac::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    m_pRollover = SceneRoom::find(this, "Rollover");
    m_pFloating = SceneRoom::findAnimation(this, "FloatingNumbers");
}

bool TicTac::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    return SceneRoom::pausingTick(this, frame, boundsOut, region);
}

void TicTac::onEnter()
{
    Room::onEnter();
    SceneInstructions::enterPuzzle(this, INSTRUCTIONS_GAME, kInstructionsDelay);
    TurnLabels::showNames(this, kAlphaInactive);
    if (m_pRollover)
        m_pRollover->setVisible(false);
    SceneRoom::setFrame(this, "Wins", 0);
    for (const char* name : {"ScoreBlingPlayer", "ScoreBlingAI"}) {
        if (sprite::SpriteBase* bling = SceneRoom::find(this, name))
            bling->setVisible(false);
    }
    setState(STATE_START);
}

void TicTac::onExit()
{
    stopScoring();
    removePieces();
    Room::onExit();
    SceneInstructions::leavePuzzle(this, INSTRUCTIONS_GAME);
}

void TicTac::stopScoring()
{
    // The steps of a scoring still to come, which would hand the turn on in
    // the next visit.
    static const char* const kScheduled[] = {
        "ShowScoringAnimationsForPlayer", "ShowScoringAnimationsForAI", "UnhighlightScoringIndexes",
        "HighlightScoringIndexes",        "UnhighlightScoringIndexes2", "HighlightScoringIndexes2",
        "UnhighlightScoringIndexes3",     "IncreasePlayerWins",
    };
    if (LanternfieldCanvas* c = SceneRoom::canvas()) {
        for (const char* command : kScheduled) {
            lang::String name(command);
            c->scheduleAction(0, &name, sprite::GameCanvas3::ACTION_REMOVE, nullptr, nullptr);
        }
    }
    sprite::SpriteBase* scoring[] = {m_pFloating, SceneRoom::find(this, "ScoreBlingPlayer"),
                                     SceneRoom::find(this, "ScoreBlingAI")};
    for (sprite::SpriteBase* s : scoring) {
        if (s) {
            s->setAction(nullptr, nullptr);
            s->setVisible(false);
        }
    }
    // A game left unfinished is played again from its start by the side that
    // began it; a finished one has already said who starts the next.
    if (!m_board.isFull())
        m_bPlayerTurn = m_bPlayerStarted;
}

void TicTac::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = INSTRUCTIONS_GAME;
    x = getX();
    y = getY();
}

void TicTac::goToRoom(int index)
{
    if (index == TAVERN_ROOM)
        Concentration::zoomToTavern(this, index);
    else
        Room::goToRoom(index);
}

sprite::SpriteBase* TicTac::lowestLabel()
{
    for (int i = 0; i < getChildCount(); ++i) {
        sprite::SpriteBase* child = childAt(i);
        const bool label = std::any_of(std::begin(kTicTacLabels), std::end(kTicTacLabels),
                                       [child](const char* name) { return child->getName().equals(name); });
        child->release();
        if (label)
            return child;
    }
    return nullptr;
}

void TicTac::removePieces()
{
    for (int i = 0; i < TicTacBoard::CELLS; ++i) {
        if (m_xPieces[i])
            removeChild(m_xPieces[i]);
        if (m_oPieces[i])
            removeChild(m_oPieces[i]);
        m_xPieces[i] = nullptr;
        m_oPieces[i] = nullptr;
    }
    m_scoredCells.removeAllElements();
}

void TicTac::resetBoard()
{
    removePieces();
    m_nPlayerScore = 0;
    m_nAIScore = 0;
    TurnLabels::showScores(this, m_nPlayerScore, m_nAIScore);
    TurnLabels::clearTurn(this);
    sprite::AnimateSprite* xPrototype = SceneRoom::findAnimation(this, "Prototype_X");
    sprite::AnimateSprite* oPrototype = SceneRoom::findAnimation(this, "Prototype_O");
    sprite::SpriteBase* label = lowestLabel();
    for (int i = 0; i < TicTacBoard::CELLS; ++i) {
        for (sprite::AnimateSprite* prototype : {xPrototype, oPrototype}) {
            if (!prototype)
                continue;
            auto* piece = static_cast<sprite::AnimateSprite*>(prototype->clone());
            piece->setVisible(false);
            placeOnCell(piece, i);
            if (label)
                insertBefore(piece, label);
            else
                bringToFront(piece);
            (prototype == xPrototype ? m_xPieces : m_oPieces)[i] = piece;
            piece->release();
        }
    }
    m_board.clear();
}

int TicTac::checkGameOver()
{
    if (!m_board.isFull())
        return GAME_GOES_ON;
    if (m_nAIScore < m_nPlayerScore) {
        m_bPlayerTurn = false;
        return PLAYER_AHEAD;
    }
    if (m_nAIScore > m_nPlayerScore) {
        m_bPlayerTurn = true;
        return COMPUTER_AHEAD;
    }
    // The side that moved second in this game starts the next.
    m_bPlayerTurn = !m_bPlayerStarted;
    return TIE;
}

int TicTac::stateAfterCheck(int result)
{
    switch (result) {
    case PLAYER_AHEAD:
        return STATE_PLAYER_WON;
    case COMPUTER_AHEAD:
        return STATE_COMPUTER_WON;
    case TIE:
        return STATE_TIE;
    default:
        return STATE_NEXT_TURN;
    }
}

void TicTac::chooseComputerMove(int& row, int& column)
{
    m_board.chooseMove(slack(), m_tieDraw, row, column);
}

void TicTac::setState(int state)
{
    if (state == m_nState)
        return;
    Room::setState(state);
    switch (state) {
    case STATE_START: {
        SceneRoom::enableCloseButton(this);
        m_nRound = 0;
        if (ScriptHost* host = ScriptHost::instance) {
            host->callLuaFunctionWithResult("LF_getTicTacRoundNumber");
            m_nRound = host->popLuaInteger();
        }
        sprite::AnimateSprite* wins = SceneRoom::findAnimation(this, "Wins");
        if (wins)
            wins->setVisible(m_nRound > 0);
        if (m_nRound <= 0) {
            m_nLevel = 0;
        } else if (m_nRound == 1) {
            if (wins)
                wins->setFrame(0);
            m_nLevel = 1;
        } else {
            if (wins)
                wins->setFrame(m_nRound - 1);
            m_nLevel = 2;
        }
        setState(STATE_NEW_GAME);
        break;
    }
    case STATE_NEW_GAME:
        resetBoard();
        // The side that opens is on turn from the new board on.
        showTurnOf(m_bPlayerTurn);
        m_bPlayerStarted = m_bPlayerTurn;
        if (m_bPlayerTurn)
            setStateAfter(STATE_PLAYER_TURN, kNextStepDelay);
        else
            setStateAfter(STATE_COMPUTER_TURN, kComputerStartDelay);
        break;
    case STATE_END_GAME:
        SceneRoom::playSound(SOUND_BOARD_CLEARED);
        for (int i = 0; i < TicTacBoard::CELLS; ++i) {
            for (sprite::AnimateSprite* piece : {m_xPieces[i], m_oPieces[i]}) {
                if (piece)
                    piece->setAlphaDestination(0, kFadeFrames, 0);
            }
        }
        setStateAfter(STATE_NEW_GAME, kNewGameDelay);
        break;
    case STATE_PLAYER_TURN:
        OutputDebugStringA("STATE: PLAYER TURN\n");
        showTurnOf(true);
        break;
    case STATE_COMPUTER_MOVE: {
        OutputDebugStringA("STATE: AI TURN 1\n");
        int row = -1;
        int column = -1;
        chooseComputerMove(row, column);
        if (row < 0)
            break;
        if (placePiece(row * TicTacBoard::SIZE + column, TicTacBoard::COMPUTER) == 0)
            setStateAfter(stateAfterCheck(checkGameOver()), kGameOverDelay);
        break;
    }
    case STATE_COMPUTER_TURN:
        showTurnOf(false);
        if (m_pRollover)
            m_pRollover->setVisible(false);
        setStateAfter(STATE_COMPUTER_MOVE, kComputerMoveDelay);
        break;
    case STATE_NEXT_TURN:
        m_bPlayerTurn = !m_bPlayerTurn;
        // The label passes with the turn, not with the wait that follows.
        showTurnOf(m_bPlayerTurn);
        if (m_bPlayerTurn)
            setStateAfter(STATE_PLAYER_TURN, kNextStepDelay);
        else
            setStateAfter(STATE_COMPUTER_TURN, kComputerTurnDelay);
        break;
    case STATE_PLAYER_WON: {
        ++m_nRound;
        ++m_nLevel;
        if (ScriptHost* host = ScriptHost::instance)
            host->callLuaFunction("LF_setTicTacRoundNumber", m_nRound);
        schedule(kWinsDelay, "IncreasePlayerWins", SceneRoom::find(this, "Wins"));
        if (m_nRound == GAMES_TO_SOLVE) {
            SceneRoom::enableCloseButton(this, false);
            callScript(kScriptTable, "solvedGameScene");
        } else {
            callScript(kScriptTable, m_nRound == 2 ? "winGame2Scene" : "winGame1Scene");
        }
        break;
    }
    case STATE_COMPUTER_WON:
        SceneRoom::playSound(SOUND_COMPUTER_WON);
        callScript(kScriptTable, "loseGameScene");
        break;
    case STATE_TIE:
        callScriptInt(kScriptTable, "tieGameScene", m_bPlayerStarted ? 0 : 1);
        break;
    default:
        break;
    }
}

void TicTac::showTurnOf(bool player)
{
    auto lit = [this](const char* name) {
        sprite::AnimateSprite* label = SceneRoom::findAnimation(this, name);
        return label && label->getFrame() == 1;
    };
    if (lit(player ? "PlayerTurnBG" : "AITurnBG") && !lit(player ? "AITurnBG" : "PlayerTurnBG"))
        return;
    TurnLabels::showTurn(this, player, kTurnFadeFrames);
    // The script's line may be telling the player to wait for this.
    if (player)
        callNotice(kScriptTable, "playerTurn");
}

int TicTac::placePiece(int cell, int mark)
{
    const bool player = mark == TicTacBoard::PLAYER;
    sprite::AnimateSprite* piece = player ? m_oPieces[cell] : m_xPieces[cell];
    if (piece) {
        piece->setVisible(true);
        const int secondToLast = piece->getFrameCount() - 2;
        piece->playAnimation(0, secondToLast > 0 ? secondToLast : 0, 0, 1, false, 1);
    }
    m_board.set(cell, mark);
    SceneRoom::playSound(SOUND_PIECE_PLACED);
    const int points = m_board.scoreLines(mark, cell, m_scoredCells);
    (player ? m_nPlayerScore : m_nAIScore) += points;
    if (points > 0) {
        schedule(kHighlightFrames, player ? "ShowScoringAnimationsForPlayer" : "ShowScoringAnimationsForAI",
                 piece);
        if (m_pFloating)
            m_pFloating->setFrame(points - 1);
    }
    return points;
}

void TicTac::schedule(int delay, const char* command, lang::Object* parameter)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c)
        return;
    lang::String* name = text(command);
    c->scheduleAction(delay, name, 0, parameter, this);
    name->release();
}

void TicTac::setHighlighted(sprite::AnimateSprite* piece, bool highlighted)
{
    const int last = piece->getFrameCount() - 1;
    piece->setFrame(highlighted ? last : (last > 0 ? last - 1 : 0));
}

int TicTac::mouseDown(window::Event* e)
{
    if (SceneInstructions::openOnQuestionMark(this, INSTRUCTIONS_GAME, e->x, e->y)) {
        setLastCommand(lang::String(""));
        return COMMAND_READY;
    }
    const int result = Room::mouseDown(e);
    if (SceneRoom::leaveIfCloseButtonHit(this, e->x, e->y, kScriptTable, TAVERN_ROOM))
        return COMMAND_READY;
    if (m_nState != STATE_PLAYER_TURN && !(m_nState == STATE_PLAYING && m_bPlayerTurn))
        return result;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    const int column = (x - kColumnOrigin) / kCell;
    const int row = (y - kRowOrigin) / kCell;
    if (!TicTacBoard::inside(column, row))
        return result;
    const int cell = row * TicTacBoard::SIZE + column;
    // A game must be laid out: only a cell with its pieces can be played.
    if (!m_oPieces[cell] || !m_xPieces[cell])
        return result;
    if (m_board.at(cell) != TicTacBoard::EMPTY) {
        // A blocked or taken square takes no piece; the script says why.
        callNoticeInt(kScriptTable, "squareNotFree", m_board.at(cell));
        return result;
    }
    setState(STATE_PLAYER_MOVE);
    if (placePiece(cell, TicTacBoard::PLAYER) > 0)
        return result;
    const int over = checkGameOver();
    if (over == PLAYER_AHEAD)
        m_dSlackAdjust = 0.0;
    else if (over == COMPUTER_AHEAD)
        m_dSlackAdjust += 0.7;
    else if (over == TIE)
        m_dSlackAdjust += 0.5;
    setStateAfter(stateAfterCheck(over), kNextStepDelay);
    return result;
}

bool TicTac::mouseMove(window::Event* e)
{
    if (m_pRollover) {
        m_pRollover->setVisible(false);
        int x = e->x;
        int y = e->y;
        toLocal(x, y);
        const int column = (x - kColumnOrigin) / kCell;
        const int row = (y - kRowOrigin) / kCell;
        const int cell = row * TicTacBoard::SIZE + column;
        if (m_nState == STATE_PLAYER_TURN && m_bPlayerTurn && TicTacBoard::inside(column, row) &&
            m_board.at(cell) == TicTacBoard::EMPTY && m_xPieces[cell]) {
            m_pRollover->setPosition(m_xPieces[cell]->left(), m_xPieces[cell]->top());
            m_pRollover->setVisible(true);
        }
    }
    return Room::mouseMove(e);
}

void TicTac::handleAction(lang::Object* sender, lang::String* command)
{
    auto* piece = sender && sender->isInstanceOf("AnimateSprite") ? static_cast<sprite::AnimateSprite*>(sender)
                                                                   : nullptr;
    if (command) {
        const bool player = command->equals("ShowScoringAnimationsForPlayer");
        if (player || command->equals("ShowScoringAnimationsForAI")) {
            for (int i = 0; i < m_scoredCells.size(); ++i) {
                const int cell = m_scoredCells.elementAt(i);
                sprite::AnimateSprite* scored = player ? m_oPieces[cell] : m_xPieces[cell];
                if (!scored)
                    continue;
                setHighlighted(scored, true);
                schedule(kHighlightFrames, "UnhighlightScoringIndexes", scored);
            }
            SceneRoom::playSound(player ? SOUND_PLAYER_RUN : SOUND_COMPUTER_RUN);
            m_scoredCells.removeAllElements();
            if (!m_pFloating) {
                handleCommand(player ? UPDATE_PLAYER : UPDATE_COMPUTER);
            } else {
                m_pFloating->setVisible(true);
                bringToFront(m_pFloating);
                if (piece)
                    placeOnGapCorner(m_pFloating, piece);
                m_pFloating->setColorBalance(kAsDrawn, kAsDrawn, kAsDrawn, kAsDrawn);
                m_pFloating->setScaleDestination(kFloatScale, kFloatScale, kFloatGrowFrames);
                lang::String* next = text(kCommands[player ? PLAYER_SCALED_UP : COMPUTER_SCALED_UP]);
                m_pFloating->setAction(this, next);
                next->release();
            }
        } else if (piece && command->equals("UnhighlightScoringIndexes")) {
            setHighlighted(piece, false);
            schedule(kPlainFrames, "HighlightScoringIndexes", piece);
        } else if (piece && command->equals("HighlightScoringIndexes")) {
            setHighlighted(piece, true);
            schedule(kHighlightFrames, "UnhighlightScoringIndexes2", piece);
        } else if (piece && command->equals("UnhighlightScoringIndexes2")) {
            setHighlighted(piece, false);
            schedule(kPlainFrames, "HighlightScoringIndexes2", piece);
        } else if (piece && command->equals("HighlightScoringIndexes2")) {
            setHighlighted(piece, true);
            schedule(kHighlightFrames, "UnhighlightScoringIndexes3", piece);
        } else if (piece && command->equals("UnhighlightScoringIndexes3")) {
            setHighlighted(piece, false);
        } else if (command->equals("IncreasePlayerWins")) {
            if (sprite::AnimateSprite* wins = SceneRoom::findAnimation(this, "Wins")) {
                wins->setVisible(true);
                wins->setFrame(m_nRound - 1);
            }
        }
    }
    Room::handleAction(sender, command);
}

bool TicTac::handleEvent(window::Event* e)
{
    if (lang::String* command = CommandMatch::actionCommand(e)) {
        const int match = CommandMatch::matchPrefix(*command, kCommands);
        if (match >= 0)
            handleCommand(match);
    }
    return false;
}

void TicTac::handleCommand(int command)
{
    switch (command) {
    case PLAYER_SCALED_UP:
    case COMPUTER_SCALED_UP: {
        if (!m_pFloating)
            break;
        const bool player = command == PLAYER_SCALED_UP;
        m_pFloating->setScaleDestination(1.0, 1.0, kFloatFlyFrames);
        // They end centred on the side's score, under its label.
        if (sprite::SpriteBase* score = SceneRoom::find(this, player ? "PlayerScore" : "AIScore")) {
            const util::RectangleNM to = *score->getBounds();
            m_pFloating->setDestination(to.x + (to.width - m_pFloating->width()) / 2,
                                        to.y + (to.height - m_pFloating->height()) / 2, kFloatFlyFrames);
        }
        // On their way to the score the points pass over the pieces, in
        // sight all across the board, and under the sides' labels and
        // scores, hiding none of them.
        if (sprite::SpriteBase* label = lowestLabel())
            insertBefore(m_pFloating, label);
        lang::String* next = text(kCommands[player ? UPDATE_PLAYER : UPDATE_COMPUTER]);
        m_pFloating->setAction(this, next);
        next->release();
        break;
    }
    case UPDATE_PLAYER:
    case UPDATE_COMPUTER: {
        const bool player = command == UPDATE_PLAYER;
        SceneRoom::playSound(player ? SOUND_PLAYER_SCORES : SOUND_COMPUTER_SCORES);
        if (m_pFloating)
            m_pFloating->setVisible(false);
        TurnLabels::showScores(this, m_nPlayerScore, m_nAIScore);
        sprite::AnimateSprite* bling = SceneRoom::findAnimation(this, player ? "ScoreBlingPlayer" : "ScoreBlingAI");
        if (!bling) {
            handleCommand(NEXT_STATE);
            break;
        }
        bling->setVisible(true);
        lang::String* next = text(kCommands[NEXT_STATE]);
        bling->setAction(this, next);
        next->release();
        bling->playAnimation(0, -1, 0, 1, false, 1);
        break;
    }
    case NEXT_STATE: {
        for (const char* name : {"ScoreBlingPlayer", "ScoreBlingAI"}) {
            if (sprite::SpriteBase* bling = SceneRoom::find(this, name)) {
                bling->setAction(nullptr, nullptr);
                bling->setVisible(false);
            }
        }
        const int over = checkGameOver();
        setStateAfter(stateAfterCheck(over), over == GAME_GOES_ON ? kNextStepDelay : kGameOverDelay);
        break;
    }
    default:
        break;
    }
}
