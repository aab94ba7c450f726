// Concentration.cpp: the card memory room: the deal, the cards' turn-over
// and fly-away animations, the turns, the scoring and the end of a game.
#include "scenes/concentration/Concentration.h"

#include "core/lang/Synchronized.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/AnimationTimer.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/common/TurnLabels.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <string>

HV_DEFINE_METACLASS(Concentration);

const char Concentration::kScriptTable[] = "Concentration";

namespace {

// The game's states run from STATE_START up to this one.
constexpr int kLastGameState = 19;
// The horizontal scale of a card at each step of a turn-over: it narrows to
// an edge (step 3, where the other side takes over) and widens again.
constexpr double kTurnScale[Concentration::TURN_STEPS] = {0.9, 0.7, 0.5, 0.1, 0.3, 0.5, 0.7, 0.9};
// The step from which a turn-over shows the other side.
constexpr int kSideChangeStep = 3;
// The player's second card that misses, or a pair, waits this long before
// it turns down or flies off; the turn passes as long after a miss.
constexpr int kPickWait = 16;
// The computer's two cards of a miss stay face up this long, so that the
// player sees what it turned, before they turn down and the turn passes.
constexpr int kComputerMissWait = 40;
// The computer's second pick follows its first after this many ticks.
constexpr int kComputerSecondPickDelay = 16;
// A side that plays (on) waits this long before the computer's pick.
constexpr int kComputerTurnDelay = 30;
// "endround": the next game is laid out after this many ticks.
constexpr int kEndRoundDelay = 12;
// Where the faces lie: the first card's left and top, and the gaps.
constexpr int kBoardLeft = 135;
constexpr int kBoardTop = 124;
constexpr int kColumnGap = 8;
constexpr int kRowGap = 5;
// The floating point waits this long on the card, then flies to the score.
constexpr int kFloatPause = 15;
constexpr int kFloatFrames = 18;
// Where the point flies without a score to fly to: the player's bottom
// left, the computer's top right.
constexpr int kPlayerScoreX = 47;
constexpr int kPlayerScoreY = 525;
constexpr int kComputerScoreX = 765;
constexpr int kComputerScoreY = 115;
// A taken card flies to this x, below the screen for the player and above
// it for the computer, and turns by 4 degrees a tick as it goes.
constexpr int kFlyX = 400;
constexpr int kFlyToPlayerY = 700;
constexpr int kFlyToComputerY = -100;
constexpr int kFlyFrames = 12;
constexpr double kSpinDegrees = 4.0;
// The alpha byte of the inactive turn labels at entry.
constexpr int kAlphaInactive = 45;
// The zoom back into a tavern: the mask's place and its shrinking.
constexpr int kZoomX = 398;
constexpr int kZoomY = -64;
constexpr float kZoomFrom = 7.0f;
constexpr float kZoomTo = 0.2f;
constexpr int kZoomFrames = 36;

// The scoring's commands, matched by prefix.
enum Command { FLOAT_TO_PLAYER, FLOAT_TO_COMPUTER, UPDATE_PLAYER, UPDATE_COMPUTER, NEXT_STATE };
const char* const kCommands[] = {"floatToPlayerScore", "floatToAIScore", "updatePlayerScore", "updateAIScore",
                                 "startNextState"};

std::string numbered(const char* prefix, int n)
{
    return prefix + std::to_string(n);
}

// Turns the sprite to the angle (degrees).
void turnTo(sprite::SpriteBase* s, double angle)
{
    s->rotateBy(angle - s->getRotation());
}

} // namespace

Concentration::Concentration()
    : m_seen(24),
      m_knownPairs(24),
      m_nCardCount(0),
      m_nRows(0),
      m_nColumns(0),
      m_nAIScore(0),
      m_nPlayerScore(0),
      m_bPlayerTurn(true),
      m_bUseMemory(false),
      m_nPlannedSecond(-1),
      m_nFirstCard(-1),
      m_bHaveFirst(false),
      m_nComputerPairsInRow(0),
      m_bDealing(false),
      m_nMemoryPercent(0),
      m_nDealInterval(0),
      m_nDealFrames(1),
      m_nDeckX(0),
      m_nDeckY(0),
      m_nDealt(0),
      m_nDealTimer(0),
      m_bWeakComputer(false),
      m_pFloating(nullptr),
      m_ownDraw(m_random),
      m_pDraw(&m_ownDraw)
{
    for (int n = 0; n < CARD_COUNT; ++n) {
        m_backs[n] = nullptr;
        m_faces[n] = nullptr;
    }
    SceneLua::bindRoomClass(this, "Concentration", luaMethods());
}

Concentration::~Concentration()
{
    removeCards();
}

void Concentration::shuffle(Room* room, int* values, int n)
{
    RandomDraw draw(room->getRandom());
    RandomDraw::shuffle(draw, values, n);
}

void Concentration::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    int* const fields[] = {&m_nMemoryPercent, &m_nDealInterval, &m_nDealFrames, &m_nDeckX, &m_nDeckY};
    const lang::IntArray& numbers = getDefinitionInts();
    for (int i = 0; i < 5; ++i) {
        if (i + 1 < numbers.length())
            *fields[i] = numbers[i + 1];
        else
            window::debugLine("Concentration: the definition lacks number ", i + 1, "\n");
    }
    // A card dealt in no ticks would never reach its place.
    if (m_nDealFrames < 1) {
        window::debugLine("Concentration: a dealt card's flight of ", m_nDealFrames, " ticks is taken as 1\n");
        m_nDealFrames = 1;
    }
    m_pFloating = SceneRoom::find(this, "FloatingNumbers");
}

void Concentration::onEnter()
{
    Room::onEnter();
    SceneInstructions::enterPuzzle(this, INSTRUCTIONS_GAME, SceneInstructions::ENTRY_DELAY);
    TurnLabels::showNames(this, kAlphaInactive);
    m_bDealing = false;
    // No state change of an earlier visit is still to come.
    m_nDelay = 0;
    for (const char* name : {"FloatingNumbers", "ScoreBlingPlayer", "ScoreBlingAI"}) {
        if (sprite::SpriteBase* s = SceneRoom::find(this, name)) {
            s->setAction(nullptr, nullptr);
            s->setVisible(false);
        }
    }
    setState(STATE_START);
}

void Concentration::onExit()
{
    removeCards();
    Room::onExit();
    SceneInstructions::leavePuzzle(this, INSTRUCTIONS_GAME);
}

void Concentration::getGameInstructionsInfo(int& game, int& x, int& y)
{
    SceneInstructions::info(this, INSTRUCTIONS_GAME, game, x, y);
}

void Concentration::zoomToTavern(Room* room, int tavern)
{
    room->zoomToRoom(tavern, lang::String("+iConcentrationMask"), kZoomX, kZoomY, kZoomFrom, kZoomTo, kZoomFrames,
                     nullptr);
}

void Concentration::goToRoom(int index)
{
    if (index == TAVERN_ROOM)
        zoomToTavern(this, index);
    else
        Room::goToRoom(index);
}

void Concentration::removeCards()
{
    for (int n = 0; n < CARD_COUNT; ++n) {
        if (m_backs[n])
            removeChild(m_backs[n]);
        if (m_faces[n])
            removeChild(m_faces[n]);
        m_backs[n] = nullptr;
        m_faces[n] = nullptr;
    }
    m_nCardCount = 0;
    m_seen.removeAllElements();
    m_knownPairs.removeAllElements();
}

void Concentration::newGame()
{
    removeCards();
    for (Card& c : m_cards)
        c = Card();
    m_nRows = ROWS;
    m_nColumns = COLUMNS;
    m_nCardCount = CARD_COUNT;
    dealCards();
    m_nPlannedSecond = -1;
    m_nFirstCard = -1;
    m_bPlayerTurn = true;
    m_nPlayerScore = 0;
    m_nAIScore = 0;
    m_bUseMemory = false;
    m_nComputerPairsInRow = 0;
    TurnLabels::showScores(this, m_nPlayerScore, m_nAIScore);
    TurnLabels::clearTurn(this);
    m_bWeakComputer = false;
    if (ScriptHost* host = ScriptHost::instance) {
        host->callLuaFunctionWithResult("LF_dumbDownConcentrationAI");
        m_bWeakComputer = host->popLuaBoolean();
    }
}

void Concentration::dealCards()
{
    sprite::SpriteBase* backPrototype = SceneRoom::find(this, "CardBackPrototype");
    sprite::SpriteBase* facePrototypes[CARD_COUNT / 2];
    bool complete = backPrototype != nullptr;
    for (int v = 0; v < CARD_COUNT / 2; ++v) {
        facePrototypes[v] = SceneRoom::find(this, numbered("CardFacePrototype_", v).c_str());
        complete = complete && facePrototypes[v];
    }
    if (!complete) {
        // Without every picture no fair game can be laid out.
        window::debugLine("Concentration: the card pictures are incomplete; no cards are dealt\n");
        m_nCardCount = 0;
        return;
    }
    const int w = backPrototype->width();
    const int h = backPrototype->height();
    for (int n = 0; n < m_nCardCount; ++n) {
        sprite::SpriteBase* back = backPrototype->clone();
        back->setPosition(m_nDeckX, m_nDeckY);
        back->setVisible(true);
        addChild(numbered("CardBack_", n).c_str(), back);
        m_backs[n] = back;
        back->release();
    }
    int values[CARD_COUNT];
    const int half = m_nCardCount / 2;
    for (int k = 0; k < half; ++k) {
        values[k] = k;
        values[half + k] = k;
    }
    RandomDraw::shuffle(*m_pDraw, values, m_nCardCount);
    for (int r = 0; r < m_nRows; ++r) {
        for (int c = 0; c < m_nColumns; ++c) {
            const int n = r * m_nColumns + c;
            m_cards[n].value = values[n];
            sprite::SpriteBase* face = facePrototypes[values[n]]->clone();
            face->setPosition(kBoardLeft + c * (w + kColumnGap), kBoardTop + r * (h + kRowGap));
            face->setVisible(false);
            addChild(numbered("CardFace_", n).c_str(), face);
            m_faces[n] = face;
            face->release();
        }
    }
}

void Concentration::enableBack(int n, bool enable)
{
    if (sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(m_backs[n]))
        button->setEnabled(enable);
}

void Concentration::enableBacks(bool enable)
{
    for (int n = 0; n < m_nCardCount; ++n) {
        if (!enable || !m_cards[n].taken)
            enableBack(n, enable);
    }
}

void Concentration::setState(int state)
{
    if (state == m_nState)
        return;
    Room::setState(state);
    switch (state) {
    case STATE_START:
        SceneRoom::enableCloseButton(this);
        setState(STATE_NEW_GAME);
        break;
    case STATE_NEW_GAME:
        newGame();
        m_bDealing = true;
        m_nDealt = 0;
        m_nDealTimer = 0;
        enableBacks(false);
        break;
    case STATE_END_ROUND:
        setStateAfter(STATE_START, kEndRoundDelay);
        break;
    case STATE_PLAYER_TURN:
        m_nFirstCard = -1;
        m_bHaveFirst = false;
        TurnLabels::showTurn(this, true, 0);
        enableBacks(true);
        // The script's message may be telling the player to wait for this.
        callNotice(kScriptTable, "playerTurn");
        break;
    case STATE_COMPUTER_FIRST:
        TurnLabels::showTurn(this, false, 0);
        enableBacks(false);
        m_nPlannedSecond = -1;
        m_nFirstCard = -1;
        m_bUseMemory = false;
        m_bHaveFirst = false;
        pickComputerCard();
        setStateAfter(STATE_COMPUTER_SECOND, kComputerSecondPickDelay);
        break;
    case STATE_COMPUTER_SECOND:
        pickComputerCard();
        break;
    case STATE_SECOND_PICKED:
        enableBacks(false);
        break;
    case STATE_PAIR_SCORED:
        if (!m_bPlayerTurn)
            ++m_nComputerPairsInRow;
        if (endGameIfWon())
            break;
        if (m_bPlayerTurn) {
            setState(STATE_PLAYER_TURN);
        } else {
            // Its pair keeps its turn: the script says so, as the player may
            // have missed the cards that flew off.
            callNotice(kScriptTable, "opponentPair");
            setStateAfter(STATE_COMPUTER_FIRST, kComputerTurnDelay);
        }
        break;
    case STATE_TURN_PASSES:
        m_bPlayerTurn = !m_bPlayerTurn;
        if (m_bPlayerTurn) {
            SceneRoom::playSound(SOUND_TO_PLAYER);
            setState(STATE_PLAYER_TURN);
            // The computer's miss handed the turn back: the script says so.
            callNotice(kScriptTable, "opponentMissed");
        } else {
            m_nComputerPairsInRow = 0;
            SceneRoom::playSound(SOUND_TO_COMPUTER);
            // Its label lights as the turn passes, not only with its first
            // pick: the whole of its turn shows as its own.
            TurnLabels::showTurn(this, false, 0);
            enableBacks(false);
            setStateAfter(STATE_COMPUTER_FIRST, kComputerTurnDelay);
        }
        break;
    default:
        break;
    }
}

bool Concentration::endGameIfWon()
{
    const char* scene = nullptr;
    if (m_nPlayerScore == WINNING_PAIRS && m_nAIScore == WINNING_PAIRS) {
        SceneRoom::enableCloseButton(this, false);
        scene = "tieGameScene";
    } else if (m_nPlayerScore >= WINNING_PAIRS && m_nAIScore < WINNING_PAIRS) {
        SceneRoom::enableCloseButton(this, false);
        scene = "winGameScene";
    } else if (m_nPlayerScore < WINNING_PAIRS && m_nAIScore >= WINNING_PAIRS) {
        SceneRoom::playSound(SOUND_LOST);
        scene = "loseGameScene";
    }
    if (!scene)
        return false;
    callScript(kScriptTable, scene);
    return true;
}

bool Concentration::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    lang::Synchronized guard(this, true);
    LanternfieldCanvas* c = SceneRoom::canvas();
    // The table stands still under the pause book as under the rules: a card
    // or a point that landed there would ask for the next turn while the
    // room takes no delayed state, and the game would wait for ever.
    if ((c && (c->isGameInstructionsShowing() || c->getGameState() != LanternfieldCanvas::STATE_PLAYING)) ||
        !isShowing())
        return false;
    const bool changed = Room::tick(frame, boundsOut, region);
    const bool running = m_nState == STATE_PLAYING || (m_nState >= STATE_START && m_nState <= kLastGameState);
    if (!isTransitioning() && running) {
        if (m_bDealing)
            dealStep();
        else
            animateCards();
    }
    return changed;
}

void Concentration::dealStep()
{
    if (m_nDealt < m_nCardCount && ++m_nDealTimer > m_nDealInterval) {
        m_nDealTimer = 0;
        const int n = m_nDealt++;
        SceneRoom::playSound(SOUND_DEAL);
        if (m_backs[n] && m_faces[n]) {
            m_backs[n]->setVisible(true);
            m_backs[n]->setDestination(m_faces[n]->left(), m_faces[n]->top(), m_nDealFrames);
        }
    }
    if (m_nDealt >= m_nCardCount) {
        m_bDealing = false;
        enableBacks(true);
        setState(STATE_PLAYER_TURN);
    }
}

void Concentration::startTurnUp(int n)
{
    SceneRoom::playSound(SOUND_TURN_CARD);
    m_cards[n].step = 0;
    m_cards[n].revealing = true;
}

void Concentration::startTurnDown(int n)
{
    SceneRoom::playSound(SOUND_TURN_CARD);
    m_cards[n].step = 0;
    m_cards[n].concealing = true;
}

void Concentration::animateCards()
{
    for (int n = 0; n < m_nCardCount; ++n) {
        if (m_backs[n] && m_faces[n])
            animateCard(n);
    }
}

bool Concentration::stepTurnDown(int n)
{
    Card& card = m_cards[n];
    sprite::SpriteBase* back = m_backs[n];
    sprite::SpriteBase* face = m_faces[n];
    if (card.step < TURN_STEPS) {
        back->setScaleX(kTurnScale[card.step]);
        if (card.step >= kSideChangeStep) {
            if (face->isVisible())
                face->setVisible(false);
            else
                face->setScaleX(kTurnScale[card.step]);
        }
        ++card.step;
        return false;
    }
    card.countdown = 0;
    card.faceUp = card.waitingToConceal = card.concealing = false;
    back->setScale(1.0);
    face->setScale(1.0);
    return true;
}

void Concentration::animateCard(int n)
{
    Card& card = m_cards[n];
    sprite::SpriteBase* back = m_backs[n];
    sprite::SpriteBase* face = m_faces[n];

    if (card.taken && !card.waitingToFly) {
        if (!card.flying)
            return;
        face->rotateBy(kSpinDegrees);
        turnTo(back, face->getRotation() + kSpinDegrees);
        stepTurnDown(n);
        if (back->getMoveSteps() == 0 && face->getMoveSteps() == 0) {
            // Flown off: gone, not a turning corner at the screen's edge.
            back->setVisible(false);
            face->setVisible(false);
            card.flying = false;
        }
        return;
    }

    if (card.revealing) {
        if (card.step < TURN_STEPS) {
            back->setScaleX(kTurnScale[card.step]);
            if (card.step >= kSideChangeStep) {
                if (!face->isVisible())
                    face->setVisible(true);
                if (back->isVisible()) {
                    back->setVisible(false);
                    enableBack(n, false);
                }
                face->setScaleX(kTurnScale[card.step]);
            }
            ++card.step;
        } else {
            back->setVisible(true);
            back->setScale(1.0);
            face->setScale(1.0);
            card.revealing = false;
        }
    } else if (card.concealing) {
        if (stepTurnDown(n)) {
            sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(back);
            if (button && button->getState() != sprite::ButtonMixin::SELECTED &&
                button->getState() != sprite::ButtonMixin::SELECTED_ROLLOVER)
                button->setState(sprite::ButtonMixin::NORMAL);
        }
    }

    if (card.waitingToConceal) {
        if (--card.countdown < 1) {
            card.countdown = 0;
            card.faceUp = card.waitingToConceal = false;
            startTurnDown(n);
        }
    } else if (card.waitingToFly) {
        if (--card.countdown < 0) {
            card.waitingToFly = false;
            flyAwayCard(n);
        }
    }
}

void Concentration::selectCard(int n)
{
    if (n < 0 || n >= m_nCardCount || !m_backs[n])
        return;
    if (!m_bHaveFirst) {
        m_bHaveFirst = true;
        m_nFirstCard = n;
        m_cards[n].faceUp = true;
        startTurnUp(n);
        rememberCard(n);
        return;
    }
    if (n == m_nFirstCard)
        return;
    startTurnUp(n);
    rememberCard(n);
    setState(STATE_SECOND_PICKED);
    const int first = m_nFirstCard;
    if (first >= 0 && m_cards[first].value == m_cards[n].value) {
        for (int k : {first, n}) {
            m_cards[k].taken = true;
            m_cards[k].waitingToFly = true;
            m_cards[k].countdown = kPickWait;
            m_knownPairs.removeElement(k);
        }
        m_cards[n].faceUp = true;
        if (m_pFloating) {
            m_pFloating->setVisible(true);
            bringToFront(m_pFloating);
            m_pFloating->setPosition(m_backs[n]->left(), m_backs[n]->top());
            AnimationTimer::start(m_pFloating, kFloatPause, this,
                                  m_bPlayerTurn ? kCommands[FLOAT_TO_PLAYER] : kCommands[FLOAT_TO_COMPUTER]);
        } else {
            handleCommand(m_bPlayerTurn ? FLOAT_TO_PLAYER : FLOAT_TO_COMPUTER);
        }
    } else {
        const int wait = m_bPlayerTurn ? kPickWait : kComputerMissWait;
        for (int k : {first, n}) {
            if (k < 0)
                continue;
            m_cards[k].countdown = wait;
            m_cards[k].waitingToConceal = true;
        }
        m_cards[n].faceUp = true;
        setStateAfter(STATE_TURN_PASSES, wait);
        m_nFirstCard = -1;
    }
}

void Concentration::flyAwayCard(int n)
{
    const int y = m_bPlayerTurn ? kFlyToPlayerY : kFlyToComputerY;
    const int angle = m_pDraw->nextInt(4, 200);
    const int row = n / m_nColumns;
    const bool nearHalf = m_bPlayerTurn ? row >= m_nRows / 2 : row < m_nRows / 2;
    const int extra = nearHalf ? 0 : (m_nRows - row) * 2;
    SceneRoom::playSound(SOUND_FLY_AWAY);
    sprite::SpriteBase* back = m_backs[n];
    sprite::SpriteBase* face = m_faces[n];
    for (sprite::SpriteBase* s : {face, back}) {
        s->setDestination(kFlyX, y, extra + kFlyFrames);
        turnTo(s, angle);
    }
    bringToFront(back);
    bringToFront(face);
    if (m_pFloating)
        bringToFront(m_pFloating);
    startTurnDown(n);
    m_cards[n].flying = true;
}

bool Concentration::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    const int match = CommandMatch::matchPrefix(*command, kCommands);
    if (match >= 0)
        handleCommand(match);
    return false;
}

void Concentration::handleCommand(int command)
{
    switch (command) {
    case FLOAT_TO_PLAYER:
    case FLOAT_TO_COMPUTER: {
        const bool player = command == FLOAT_TO_PLAYER;
        if (!m_pFloating) {
            handleCommand(player ? UPDATE_PLAYER : UPDATE_COMPUTER);
            break;
        }
        auto* next = new lang::String(kCommands[player ? UPDATE_PLAYER : UPDATE_COMPUTER]);
        m_pFloating->setAction(nullptr, nullptr);
        // The point comes to rest over the side's score, wherever the room
        // shows it.
        int x = player ? kPlayerScoreX : kComputerScoreX;
        int y = player ? kPlayerScoreY : kComputerScoreY;
        if (sprite::SpriteBase* score = getSprite(player ? "PlayerScore" : "AIScore")) {
            x = score->left() + score->width() / 2 - m_pFloating->width() / 2;
            y = score->top() + score->height() / 2 - m_pFloating->height() / 2;
        }
        m_pFloating->setDestination(x, y, kFloatFrames);
        m_pFloating->setAction(this, next);
        next->release();
        break;
    }
    case UPDATE_PLAYER:
    case UPDATE_COMPUTER: {
        const bool player = command == UPDATE_PLAYER;
        if (m_pFloating)
            m_pFloating->setVisible(false);
        if (player)
            ++m_nPlayerScore;
        else
            ++m_nAIScore;
        TurnLabels::showScores(this, m_nPlayerScore, m_nAIScore);
        sprite::AnimateSprite* bling = SceneRoom::findAnimation(this, player ? "ScoreBlingPlayer" : "ScoreBlingAI");
        SceneRoom::playSound(player ? SOUND_PLAYER_SCORES : SOUND_COMPUTER_SCORES);
        if (!bling) {
            handleCommand(NEXT_STATE);
            break;
        }
        auto* next = new lang::String(kCommands[NEXT_STATE]);
        bling->setVisible(true);
        bling->setAction(this, next);
        next->release();
        bling->playAnimation(0, -1, 0, 1, false, 1);
        break;
    }
    case NEXT_STATE:
        for (const char* name : {"ScoreBlingPlayer", "ScoreBlingAI"}) {
            if (sprite::SpriteBase* bling = SceneRoom::find(this, name)) {
                bling->setAction(nullptr, nullptr);
                bling->setVisible(false);
            }
        }
        setState(STATE_PAIR_SCORED);
        break;
    default:
        break;
    }
}

int Concentration::mouseDown(window::Event* e)
{
    if (SceneInstructions::openOnQuestionMark(this, INSTRUCTIONS_GAME, e->x, e->y)) {
        setLastCommand(lang::String(""));
        return COMMAND_READY;
    }
    const int result = Room::mouseDown(e);
    if (SceneRoom::leaveIfCloseButtonHit(this, e->x, e->y, kScriptTable, TAVERN_ROOM))
        return COMMAND_READY;
    if (!m_bDealing && m_bPlayerTurn && m_nState == STATE_PLAYER_TURN) {
        int x = e->x;
        int y = e->y;
        toLocal(x, y);
        for (int n = 0; n < m_nCardCount; ++n) {
            sprite::SpriteBase* back = m_backs[n];
            if (back && !m_cards[n].faceUp && back->isShowing() && back->hittest(x, y))
                selectCard(n);
        }
    }
    return result;
}
