// SafeCrack.cpp: the safe-lock close-up: its grow and shrink over the study,
// the track and the pieces' drags, the goal and the unlock chain.
#include "scenes/safecrack/SafeCrack.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"
#include "scenes/common/ActionCommand.h"
#include "scenes/common/BlockDrag.h"
#include "scenes/common/CloseUpMotion.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/PieceSprites.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"
#include "sprites/transitions/TransitionScale.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <algorithm>
#include <cstdlib>
#include <string>

HV_DEFINE_METACLASS(SafeCrack);

const char SafeCrack::kHostTable[] = "MansionStudy";
const char SafeCrack::kProgressSprite[] = "Progress";
const char SafeCrack::kProgressText[] = "STR_SAFE_PROGRESS";
const char SafeCrack::kBlockedText[] = "STR_SAFE_BLOCKED";
const char SafeCrack::kOpenText[] = "STR_SAFE_OPEN";

namespace {

// The actions that reach the close-up, matched by prefix.
enum Command { SHRUNK, GROWN, UNLOCKED_1, START_UNLOCK_2, START_TASK, UNLOCKED_2, END_TASK };
const char* const kCommands[] = {"SafeCrackPuzzleShrink", "SafeCrackPuzzleGrow", "FinishedUnlock1",
                                 "StartUnlockSecondLocks", "StartTaskComplete",  "FinishedUnlock2",
                                 "EndTaskComplete"};

// The pistons: closed and open places, and the two stages.
struct Piston {
    int closedX;
    int closedY;
    int openX;
    int openY;
};
const Piston kPistons[] = {
    {200, 206, 200, 167}, {439, 206, 439, 167}, {456, 53, 421, 53},   {456, 414, 421, 414},
    {131, 54, 166, 54},   {131, 414, 166, 414}, {200, 336, 200, 375}, {439, 332, 439, 371},
};
const int kFirstStage[] = {0, 1, 6, 7};
const int kSecondStage[] = {2, 3, 4, 5};

// The cells where the goal wants each type: type 1 in the right column,
// type 2 in the left.
bool inColumn(int cell, int column)
{
    return cell >= 0 && cell < SafeCrack::COLUMNS * SafeCrack::ROWS && cell % SafeCrack::COLUMNS == column;
}

// The junction cells between the column in the middle and row 2: a piece
// goes from one only to the other.
constexpr int kMiddleTop = 7;
constexpr int kMiddleJunction = 12;

// The timer sprite waits off screen.
constexpr int kTimerX = -500;
constexpr int kTimerY = -500;
constexpr int kTimerStep = 50;

// The instructions grow in over 8 frames about (50, 50) after a press on
// the question mark, from a tenth of their size.
constexpr int kQuestionFrames = 8;
constexpr int kQuestionOriginX = 50;
constexpr int kQuestionOriginY = 50;
constexpr float kSmall = 0.1f;
// The shrink's last half fades.
constexpr float kShrinkFade = 0.5f;
// Where the instructions open when the close-up grows.
constexpr int kInstructionsX = 400;
constexpr int kInstructionsY = 300;

std::string pieceName(int type, int i)
{
    return "PieceType_" + std::to_string(type) + "_" + std::to_string(i);
}

} // namespace

SafeCrack::SafeCrack()
    : sprite::DialogSprite(false),
      m_nHostRoom(HOST_ROOM),
      m_nOriginX(ORIGIN_X),
      m_nOriginY(ORIGIN_Y),
      m_nOpenX(OPEN_X),
      m_nOpenY(OPEN_Y),
      m_bWon(false),
      m_bClosing(false),
      m_nDragged(-1),
      m_nTakenCell(-1),
      m_nPressX(-1),
      m_nPressY(-1),
      m_nPressRow(-1),
      m_nPressColumn(-1),
      m_nGrabX(-1),
      m_nGrabY(-1),
      m_nFixedTop(-1),
      m_nFixedLeft(-1),
      m_nStartX(-1),
      m_nStartY(-1),
      m_nDragType(UNDECIDED),
      m_nLastDragX(-1),
      m_nLastDragY(-1),
      m_nLowestX(-1),
      m_nHighestX(-1),
      m_nLowestY(-1),
      m_nHighestY(-1)
{
}

SafeCrack::~SafeCrack() = default;

int SafeCrack::exits(int cell)
{
    switch (cell) {
    case 0:
    case 4:
        return EXIT_DOWN;
    case 5:
    case 9:
        return EXIT_UP | EXIT_DOWN;
    case kMiddleTop:
        return EXIT_DOWN;
    case 10:
        return EXIT_UP | EXIT_DOWN | EXIT_RIGHT;
    case 11:
    case 13:
        return EXIT_LEFT | EXIT_RIGHT;
    case kMiddleJunction:
        return EXIT_UP | EXIT_LEFT | EXIT_RIGHT;
    case 14:
        return EXIT_UP | EXIT_DOWN | EXIT_LEFT;
    case 15:
    case 19:
        return EXIT_UP;
    default:
        return 0;
    }
}

void SafeCrack::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    for (int type = 1; type <= 2; ++type) {
        for (int i = 0; i < PIECES; ++i) {
            Piece& piece = m_pieces[size_t((type - 1) * PIECES + i)];
            piece.type = type;
            // A piece the definition leaves out leaves its row empty.
            const std::string name = pieceName(type, i);
            piece.sprite = getSprite(name.c_str()) ? PieceSprites::find(this, name.c_str()) : nullptr;
        }
    }
    onShown();
}

void SafeCrack::setOrigin()
{
    m_nOriginX = ORIGIN_X;
    m_nOriginY = ORIGIN_Y;
}

void SafeCrack::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = INSTRUCTIONS_GAME;
    x = getX();
    y = getY();
}

bool SafeCrack::isInputEnabled()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    return !isTransitioning() && !m_bWon && !(c && c->isGameInstructionsShowing());
}

bool SafeCrack::instructionsAutoShow()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    return c && c->getShowGameInstructions(INSTRUCTIONS_GAME);
}

sprite::SpriteBase* SafeCrack::hostDim()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    Room* host = c ? c->getRoom(m_nHostRoom) : nullptr;
    return host ? SceneRoom::find(host, "DimOverlay") : nullptr;
}

void SafeCrack::fadeHostDim(int from, int to)
{
    if (sprite::SpriteBase* dim = hostDim()) {
        dim->setVisible(true);
        dim->setAlphaBalance(from);
        dim->setAlphaDestination(to, GROW_FRAMES, 0);
    }
}

void SafeCrack::grow(int hostRoom)
{
    m_nHostRoom = hostRoom;
    setVisible(true);
    m_bClosing = false;
    m_nOpenX = OPEN_X;
    m_nOpenY = OPEN_Y;
    auto* transition = new sprite::TransitionScale(GROW_FRAMES, m_nOriginX, m_nOriginY, m_nOpenX, m_nOpenY, kSmall,
                                                   1.0f, 0.0f, 1, 1, 1, 1, 0, 0);
    ActionCommand::give(this, this, kCommands[GROWN]);
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (c) {
        c->setPuzzleActive(true);
        if (instructionsAutoShow())
            c->showGameInstructions(kInstructionsX, kInstructionsY, INSTRUCTIONS_GAME, true, true, GROW_FRAMES,
                                    m_nOriginX, m_nOriginY, kSmall, 1.0f);
    }
    show(true, transition);
    transition->release();
    fadeHostDim(0, DIM_ALPHA);
    for (const char* button : {"ResetButton", "CloseButton"}) {
        if (sprite::SpriteBase* s = SceneRoom::find(this, button))
            s->setVisible(true);
    }
    m_bWon = false;
    if (c)
        c->setGameInstructionsInfo(INSTRUCTIONS_GAME, kInstructionsX, kInstructionsY);
    setupPieces();
}

void SafeCrack::closeNow()
{
    sprite::DialogSprite::closeNow();
    LanternfieldCanvas* c = SceneRoom::canvas();
    CloseUpMotion::releaseHost(hostDim(), c ? c->getRoom(m_nHostRoom) : nullptr);
}

void SafeCrack::shrinkOut()
{
    m_bClosing = true;
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (c) {
        c->setPuzzleActive(false);
        if (Room* host = c->getRoom(m_nHostRoom))
            host->resumeIfPaused();
        c->setCursor(LanternfieldCanvas::CURSOR_NORMAL, false);
    }
    auto* transition = new sprite::TransitionScale(GROW_FRAMES, m_nOpenX, m_nOpenY, m_nOriginX, m_nOriginY, 1.0f,
                                                   kSmall, kShrinkFade, 1, 1, 1, 1, 0, 0);
    transition->setFade(true);
    ActionCommand::give(this, this, kCommands[SHRUNK]);
    // A hide: the close-up is hidden when the shrink ends.
    show(false, transition);
    transition->release();
    fadeHostDim(DIM_ALPHA, 0);
    if (c)
        c->setGameInstructionsInfo(-1, 0, 0);
    closeInstructions();
}

void SafeCrack::closeInstructions()
{
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->showGameInstructions(getX(), getY(), INSTRUCTIONS_GAME, false, false, 0, 0, 0, 0.0f, 0.0f);
}

void SafeCrack::setupPieces()
{
    m_nDragged = -1;
    m_nDragType = UNDECIDED;
    for (size_t i = 0; i < std::size(kPistons); ++i) {
        if (sprite::SpriteBase* piston = SceneRoom::find(this, ("piston" + std::to_string(i)).c_str()))
            piston->setPosition(kPistons[i].closedX, kPistons[i].closedY);
    }
    for (Piece& piece : m_pieces) {
        const int i = int(&piece - m_pieces.data()) % PIECES;
        const int column = piece.type == 1 ? 0 : COLUMNS - 1;
        piece.cell = piece.home = i * COLUMNS + column;
        piece.dragType = UNDECIDED;
        if (!piece.sprite)
            continue;
        PieceSprites::setUp(piece.sprite);
        piece.sprite->setPosition(xOfColumn(column), yOfRow(i));
        bringToFront(piece.sprite);
    }
    // The pieces stand over the door's bolts, some of which lie across the
    // track: a piece slid over one shows whole. The line counting the pieces
    // across stays readable over the bolts as they slide open.
    if (sprite::SpriteBase* progress = getSprite(kProgressSprite))
        bringToFront(progress);
    showProgress();
}

int SafeCrack::mouseDown(window::Event* e)
{
    if (!isInputEnabled())
        return NOT_HANDLED;
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (c && c->isOverGameInsQuestionMark(e->x, e->y)) {
        c->showGameInstructions(getX(), getY(), INSTRUCTIONS_GAME, true, true, kQuestionFrames, kQuestionOriginX,
                                kQuestionOriginY, kSmall, 1.0f);
        return COMMAND_READY;
    }
    const int result = sprite::DialogSprite::mouseDown(e);
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    sprite::SpriteBase* close = getSprite("CloseButton");
    sprite::ButtonMixin* closeButton = close ? sprite::ButtonMixin::fromSprite(close) : nullptr;
    if (closeButton && closeButton->isEnabled() && close->isVisible() && close->hittest(x, y)) {
        tellStudy("closeSafeCrack");
        shrinkOut();
        return COMMAND_READY;
    }
    sprite::SpriteBase* reset = getSprite("ResetButton");
    if (reset && reset->isVisible() && reset->hittest(x, y)) {
        setupPieces();
        return COMMAND_READY;
    }
    if (m_nDragged < 0) {
        startDrag(x, y, true);
        m_nTakenCell = m_nDragged >= 0 ? m_pieces[size_t(m_nDragged)].cell : -1;
    }
    return result;
}

void SafeCrack::startDrag(int x, int y, bool withSound)
{
    Piece* found = nullptr;
    for (int i = 0; i < PIECES && !found; ++i) {
        for (int type = 0; type < 2 && !found; ++type) {
            Piece& piece = m_pieces[size_t(type * PIECES + i)];
            if (piece.sprite && piece.sprite->hittest(x, y))
                found = &piece;
        }
    }
    if (!found)
        return;
    if (withSound)
        SceneRoom::playSound(found->type == 1 ? SOUND_PICK_UP_1 : SOUND_PICK_UP_2);
    m_nPressX = x;
    m_nPressY = y;
    m_nPressRow = rowOfY(y);
    m_nPressColumn = columnOfX(x);
    m_nDragged = int(found - m_pieces.data());
    sprite::ButtonSprite* s = found->sprite;
    if (allowsHorizontal(found->cell)) {
        m_nGrabX = x - s->left();
        m_nFixedTop = s->top();
    }
    if (allowsVertical(found->cell)) {
        m_nFixedLeft = s->left();
        m_nGrabY = y - s->top();
    }
    m_nStartX = s->left();
    m_nStartY = s->top();
    computeDragLimits();
}

SafeCrack::Piece* SafeCrack::pieceOn(int row, int column)
{
    const int cell = row * COLUMNS + column;
    for (size_t i = 0; i < m_pieces.size(); ++i) {
        if (int(i) != m_nDragged && m_pieces[i].sprite && m_pieces[i].cell == cell)
            return &m_pieces[i];
    }
    return nullptr;
}

void SafeCrack::computeDragLimits()
{
    Piece* piece = dragged();
    if (!piece)
        return;
    const int cell = piece->cell;
    const int row = cell / COLUMNS;
    const int column = cell % COLUMNS;
    const int x0 = piece->sprite->left();
    const int y0 = piece->sprite->top();
    const int way = exits(cell);
    const int lastX = xOfColumn(COLUMNS - 1);
    const int lastY = yOfRow(ROWS - 1);
    m_nLowestX = m_nHighestX = x0;
    m_nLowestY = m_nHighestY = y0;
    if (allowsHorizontal(cell)) {
        if (way & EXIT_LEFT) {
            int x = x0;
            for (int q = column; x >= FIRST_X && !pieceOn(row, q); --q)
                x -= PITCH;
            m_nLowestX = std::max(FIRST_X, x + PITCH);
        }
        if (way & EXIT_RIGHT) {
            int x = lastX;
            for (int q = column; q < COLUMNS; ++q) {
                if (Piece* in = pieceOn(row, q)) {
                    x = in->sprite->left() - PITCH;
                    break;
                }
                x += PITCH;
            }
            m_nHighestX = std::min(lastX, x);
        }
    }
    if (allowsVertical(cell)) {
        if (way & EXIT_UP) {
            if (cell == kMiddleJunction) {
                m_nLowestY = pieceOn(kMiddleTop / COLUMNS, column) ? y0 : y0 - PITCH;
            } else {
                int y = y0;
                for (int r = row; y >= FIRST_Y && !pieceOn(r, column); --r)
                    y -= PITCH;
                m_nLowestY = std::max(FIRST_Y, y + PITCH);
            }
        }
        if (way & EXIT_DOWN) {
            if (cell == kMiddleTop) {
                m_nHighestY = pieceOn(kMiddleJunction / COLUMNS, column) ? y0 : y0 + PITCH;
            } else {
                int y = lastY;
                for (int r = row; r < ROWS; ++r) {
                    if (Piece* in = pieceOn(r, column)) {
                        y = in->sprite->top() - PITCH;
                        break;
                    }
                    y += PITCH;
                }
                m_nHighestY = std::min(lastY, y);
            }
        }
    }
}

bool SafeCrack::mouseMove(window::Event* e)
{
    if (!isInputEnabled())
        return false;
    Piece* piece = dragged();
    if (!piece)
        return sprite::DialogSprite::mouseMove(e);
    int px = e->x;
    int py = e->y;
    toLocal(px, py);
    if (piece->dragType == UNDECIDED) {
        const int dx = std::abs(m_nPressX - px);
        const int dy = std::abs(m_nPressY - py);
        if (dx == 0 && dy == 0)
            return false;
        if (dy < dx && allowsHorizontal(piece->cell))
            piece->dragType = HORIZONTAL;
        else if (dx < dy && allowsVertical(piece->cell))
            piece->dragType = VERTICAL;
        m_nDragType = piece->dragType;
        window::debugLine("*** m_nDragType ", m_nDragType, " ***\n");
    }
    int x;
    int y;
    if (m_nDragType == HORIZONTAL) {
        x = m_nStartX + (px - m_nPressX);
        y = m_nFixedTop;
    } else if (m_nDragType == VERTICAL) {
        x = m_nFixedLeft;
        y = m_nStartY + (py - m_nPressY);
    } else {
        return sprite::DialogSprite::mouseMove(e);
    }
    if (x < FIRST_X || x > xOfColumn(COLUMNS) || y < FIRST_Y || y > yOfRow(ROWS))
        return sprite::DialogSprite::mouseMove(e);
    if (m_nDragType == HORIZONTAL)
        x = std::min(std::max(x, m_nLowestX), m_nHighestX);
    else
        y = std::min(std::max(y, m_nLowestY), m_nHighestY);
    m_nLastDragX = x;
    m_nLastDragY = y;
    piece->cell = rowOfY(y) * COLUMNS + columnOfX(x);
    piece->sprite->setPosition(x, y);
    // Passing close by a cell's place other than the one it was taken from,
    // the piece settles there and is taken up again, so that it may turn.
    const int row = rowOfY(y);
    const int column = columnOfX(x);
    const int dx = xOfColumn(column) - x;
    const int dy = yOfRow(row) - y;
    if (dx * dx + dy * dy < JUNCTION_RADIUS * JUNCTION_RADIUS && (row != m_nPressRow || column != m_nPressColumn)) {
        snapToGrid(row, column);
        startDrag(px, py, false);
        // The cell it settled on is remembered, so that a slow drag does
        // not settle it there again with every move.
        m_nPressRow = row;
        m_nPressColumn = column;
    }
    return true;
}

void SafeCrack::snapToGrid(int row, int column)
{
    Piece* piece = dragged();
    piece->cell = row * COLUMNS + column;
    piece->sprite->setPosition(xOfColumn(column), yOfRow(row));
    m_nPressRow = -1;
    m_nPressColumn = -1;
    m_nDragType = UNDECIDED;
    piece->dragType = UNDECIDED;
}

int SafeCrack::mouseUp(window::Event* e)
{
    Piece* piece = dragged();
    if (!isInputEnabled() || !piece)
        return NOT_HANDLED;
    sprite::ButtonSprite* s = piece->sprite;
    const bool moved = (m_nDragType == HORIZONTAL && s->left() != m_nStartX) ||
                       (m_nDragType == VERTICAL && s->top() != m_nStartY);
    int px = e->x;
    int py = e->y;
    toLocal(px, py);
    if (moved) {
        int x = m_nLastDragX == -1 ? px : m_nLastDragX;
        int y = m_nLastDragY == -1 ? py : m_nLastDragY;
        if (m_nDragType == HORIZONTAL) {
            const int place = xOfColumn(columnOfX(x));
            x = x > place + SNAP ? place + PITCH : place;
        } else {
            const int place = yOfRow(rowOfY(y));
            y = y > place + SNAP ? place + PITCH : place;
        }
        SceneRoom::playSound(SOUND_DROP);
        piece->cell = rowOfY(y) * COLUMNS + columnOfX(x);
        s->setPosition(x, y);
    }
    // Also after a drag that ended settled on a cell (its last move put it
    // on the cell's place, so nothing is left to drop). A pull that left
    // the piece on the cell it was taken from says it cannot go that way.
    if (!moved && piece->cell == m_nTakenCell && BlockDrag::isPull(m_nPressX, m_nPressY, px, py))
        showLine(lang::String::loadText(kBlockedText).c_str());
    else
        showProgress();
    if (piecesOnTrack() > 0 && piecesHome() == piecesOnTrack())
        onSolved();
    piece->dragType = UNDECIDED;
    m_nDragType = UNDECIDED;
    m_nDragged = -1;
    return NOT_HANDLED;
}

int SafeCrack::piecesOnTrack() const
{
    return int(std::count_if(m_pieces.begin(), m_pieces.end(), [](const Piece& p) { return p.sprite != nullptr; }));
}

int SafeCrack::piecesHome() const
{
    return int(std::count_if(m_pieces.begin(), m_pieces.end(), [](const Piece& p) {
        return p.sprite && inColumn(p.cell, p.type == 1 ? COLUMNS - 1 : 0);
    }));
}

void SafeCrack::showProgress()
{
    std::string line = lang::String::loadText(kProgressText).c_str();
    for (const auto& [mark, n] : {std::pair<const char*, int>{"%1", piecesHome()}, {"%2", piecesOnTrack()}}) {
        const size_t at = line.find(mark);
        if (at != std::string::npos)
            line.replace(at, 2, std::to_string(n));
    }
    showLine(line);
}

void SafeCrack::showLine(const std::string& line)
{
    if (sprite::SpriteBase* progress = getSprite(kProgressSprite)) {
        if (progress->isInstanceOf("NewFontSprite"))
            static_cast<sprite::NewFontSprite*>(progress)->setText(line.c_str());
    }
}

void SafeCrack::onSolved()
{
    m_bWon = true;
    for (const char* button : {"ResetButton", "CloseButton"}) {
        if (sprite::SpriteBase* s = getSprite(button))
            s->setVisible(false);
    }
    // Said at once: the bolts take a while to slide open.
    showLine(lang::String::loadText(kOpenText).c_str());
    SceneRoom::playSound(SOUND_SOLVED);
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunction("LF_setWonSafeCrack", 1);
    openPistons(kFirstStage, int(std::size(kFirstStage)), kCommands[UNLOCKED_1]);
}

void SafeCrack::openPistons(const int* pistons, int count, const char* command)
{
    for (int i = 0; i < count; ++i) {
        const Piston& p = kPistons[pistons[i]];
        sprite::SpriteBase* piston = SceneRoom::find(this, ("piston" + std::to_string(pistons[i])).c_str());
        if (!piston)
            continue;
        piston->setDestination(p.openX, p.openY, PISTON_FRAMES);
        if (i == 0)
            ActionCommand::give(piston, this, command);
    }
}

void SafeCrack::startTimer(int frames, const char* command)
{
    sprite::SpriteBase* timer = SceneRoom::find(this, "DummySprite");
    if (!timer)
        return;
    timer->setPosition(kTimerX, kTimerY);
    ActionCommand::give(timer, this, command);
    timer->setDestination(kTimerX - kTimerStep, kTimerY - kTimerStep, frames);
}

void SafeCrack::cancelTimer()
{
    if (sprite::SpriteBase* timer = getSprite("DummySprite"))
        timer->setAction(nullptr, nullptr);
}

void SafeCrack::tellStudy(const char* function)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (Room* current = c ? c->getCurrentRoom() : nullptr)
        current->callScript(kHostTable, function);
}

bool SafeCrack::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    switch (CommandMatch::matchPrefix(*command, kCommands)) {
    case SHRUNK:
        setVisible(false);
        if (sprite::SpriteBase* dim = hostDim())
            dim->setVisible(false);
        closeInstructions();
        break;
    case GROWN:
        if (LanternfieldCanvas* c = SceneRoom::canvas()) {
            if (instructionsAutoShow())
                c->showGameInstructions(getX(), getY(), INSTRUCTIONS_GAME, true, false, 0, 0, 0, 0.0f, 0.0f);
            else
                c->showGameInsQuestionMark();
        }
        break;
    case UNLOCKED_1:
        startTimer(STAGE_WAIT, kCommands[START_UNLOCK_2]);
        break;
    case START_UNLOCK_2:
        openPistons(kSecondStage, int(std::size(kSecondStage)), kCommands[UNLOCKED_2]);
        startTimer(PISTON_FRAMES, kCommands[UNLOCKED_2]);
        break;
    case START_TASK:
        cancelTimer();
        if (ScriptHost* host = ScriptHost::instance)
            host->callLuaFunctionNoArgs("LF_showTaskCompleted");
        startTimer(BANNER_FRAMES, kCommands[END_TASK]);
        break;
    case UNLOCKED_2:
        cancelTimer();
        startTimer(TASK_WAIT, kCommands[START_TASK]);
        break;
    case END_TASK:
        cancelTimer();
        tellStudy("setRoomState");
        shrinkOut();
        break;
    default:
        break;
    }
    return false;
}
