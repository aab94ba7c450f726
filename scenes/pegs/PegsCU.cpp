// PegsCU.cpp: the peg solitaire close-up: opening and closing over the host
// room, laying the pegs out, the clicks and drags that jump them, and the end
// of a board, won or stuck.
#include "scenes/pegs/PegsCU.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"
#include "platform/kernel/DebugOutput.h"
#include "core/lang/String.h"
#include "scenes/common/AnimationTimer.h"
#include "scenes/common/CloseUpMotion.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/common/SpriteAction.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/transitions/TransitionScale.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <algorithm>
#include <string>

HV_DEFINE_METACLASS(PegsCU);

namespace {

// A peg of width w and height h stands at (85 c - w / 2 + 72, 85 r - h / 2 +
// 77) in the close-up; a point falls in column (x - 20) / 85 and row
// (y - 20) / 85 of the close-up (truncated toward zero).
constexpr int kPegLeft = 72;
constexpr int kPegTop = 77;
constexpr int kBoardMargin = 20;
// A peg on the pointer stands 15 pixels left of and 15 below its centre,
// and is kept within the close-up's 550 pixels of width.
constexpr int kCarryLeft = 15;
constexpr int kCarryDown = 15;
constexpr int kCarryMaxRight = 550;
// Pegs fade in over 20 frames and out over 8; 128 is the alpha as drawn.
constexpr int kFadeInFrames = 20;
constexpr int kFadeOutFrames = 8;
constexpr int kAsDrawn = 128;
// The grow and shrink: 9 frames between scale 0.1 and 1, moving evenly; the
// shrink fades out over its second half.
constexpr float kSmall = 0.1f;
constexpr float kFull = 1.0f;
constexpr float kShrinkFade = 0.5f;
// The host room's dim overlay reaches half alpha.
constexpr int kDimAlpha = 128;
// The three header numbers: columns, rows, puzzle count.
constexpr int kHeaderNumbers = 3;
constexpr int kCursorNormal = 8;
// The line under the board that says the board is won or stuck or a peg
// cannot jump where it was put, its texts, and the ring that marks the hole
// of the peg picked up.
const char kPegsStatus[] = "Status";
const char kPegsWonText[] = "STR_PEGS_WON";
const char kPegsStuckText[] = "STR_PEGS_STUCK";
const char kPegsNoJumpText[] = "STR_PEGS_NO_JUMP";
const char kPegsRing[] = "PegRing";

enum Command { SHRINK_DONE, GROW_DONE, REMOVE_DONE, ADD_DONE, EXIT, GAME_OVER };
const char* const kCommands[] = {"PegsPuzzleShrink", "PegsPuzzleGrow", "RemovePegsDone",
                                 "AddPegsDone",      "exitFromPegsCloseup", "gameOverReset"};

std::string tableOf(int puzzle)
{
    return "OuterVillage_" + std::to_string(puzzle);
}

} // namespace

PegsCU::PegsCU()
    : sprite::DialogSprite(false),
      m_nColumns(0),
      m_nRows(0),
      m_nPuzzleCount(0),
      m_nPuzzle(1),
      m_pHost(nullptr),
      m_nOriginX(CENTRE_X),
      m_nOriginY(CENTRE_Y),
      m_nPegsLeft(0),
      m_bPegsReady(false),
      m_nSelected(-1),
      m_board(0, 0)
{
}

PegsCU::~PegsCU()
{
    releasePegs();
}

void PegsCU::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    lang::IntArray* numbers = definition ? definition->getNumbers() : nullptr;
    if (numbers)
        m_numbers = *numbers;
    m_counts.clear();
    m_nPuzzleCount = 0;
    if (m_numbers.length() >= kHeaderNumbers) {
        m_nColumns = std::max(0, m_numbers[0]);
        m_nRows = std::max(0, m_numbers[1]);
        const int c = m_numbers[2];
        // The counts lie at c .. 2c - 1, after the header numbers.
        if (c >= 1 && c >= kHeaderNumbers - 1 && 2 * c <= m_numbers.length()) {
            m_nPuzzleCount = c;
            for (int p = 0; p < c; ++p)
                m_counts.push_back(std::max(0, m_numbers[c + p]));
        } else {
            window::debugLine("PegsCU: no peg counts for ", c, " puzzles in ", m_numbers.length(), " numbers\n");
        }
    } else {
        window::debugLine("PegsCU: the definition holds ", m_numbers.length(), " numbers\n");
    }
    m_board = PegBoard(m_nColumns, m_nRows);
    m_bShown = true;
}

void PegsCU::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = INSTRUCTIONS_GAME;
    x = getX();
    y = getY();
}

void PegsCU::setOrigin(int x, int y)
{
    m_nOriginX = x;
    m_nOriginY = y;
}

void PegsCU::grow(int puzzle, Room* host)
{
    if (puzzle < 1 || puzzle > m_nPuzzleCount) {
        window::debugLine("PegsCU: no puzzle ", puzzle, "\n");
        return;
    }
    m_nPuzzle = puzzle;
    m_pHost = host;
    m_nSelected = -1;
    setVisible(true);
    auto* transition = new sprite::TransitionScale(GROW_FRAMES, m_nOriginX, m_nOriginY, CENTRE_X, CENTRE_Y, kSmall,
                                                   kFull, 0.0f, 1, 1, 1, 1, 0, 0);
    SpriteAction::set(this, this, kCommands[GROW_DONE]);
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    if (canvas) {
        canvas->setPuzzleActive(true);
        if (canvas->getShowGameInstructions(INSTRUCTIONS_GAME))
            canvas->showGameInstructions(CENTRE_X, CENTRE_Y, INSTRUCTIONS_GAME, true, true, GROW_FRAMES, m_nOriginX,
                                         m_nOriginY, kSmall, kFull);
    }
    show(true, transition);
    transition->release();
    addPegs();
    fadeDim(0, kDimAlpha);
    if (canvas)
        canvas->setGameInstructionsInfo(INSTRUCTIONS_GAME, CENTRE_X, CENTRE_Y);
}

void PegsCU::closeNow()
{
    sprite::DialogSprite::closeNow();
    CloseUpMotion::releaseHost(hostSprite("DimOverlay"), m_pHost);
}

void PegsCU::shrinkOut()
{
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    if (canvas) {
        canvas->setPuzzleActive(false);
        canvas->setCursor(kCursorNormal, false);
    }
    if (m_pHost)
        m_pHost->resumeIfPaused();
    markSelected(false);
    if (sprite::SpriteBase* line = getSprite(kPegsStatus)) {
        AnimationTimer::cancel(line);
        line->setVisible(false);
    }
    auto* transition = new sprite::TransitionScale(GROW_FRAMES, CENTRE_X, CENTRE_Y, m_nOriginX, m_nOriginY, kFull,
                                                   kSmall, kShrinkFade, 1, 1, 1, 1, 0, 0);
    SpriteAction::set(this, this, kCommands[SHRINK_DONE]);
    show(false, transition);
    transition->release();
    fadeDim(kDimAlpha, 0);
    if (canvas) {
        canvas->setGameInstructionsInfo(-1, 0, 0);
        canvas->showGameInstructions(CENTRE_X, CENTRE_Y, INSTRUCTIONS_GAME, false, false, GROW_FRAMES, m_nOriginX,
                                     m_nOriginY, kSmall, kFull);
    }
}

sprite::SpriteBase* PegsCU::hostSprite(const char* name)
{
    return m_pHost ? SceneRoom::find(m_pHost, name) : nullptr;
}

void PegsCU::fadeDim(int from, int to)
{
    if (sprite::SpriteBase* dim = hostSprite("DimOverlay")) {
        dim->setVisible(true);
        dim->setAlphaBalance(from);
        dim->setAlphaDestination(to, GROW_FRAMES, 0);
    }
}

void PegsCU::releasePegs()
{
    for (int i = int(m_pegs.size()) - 1; i >= 0; --i)
        removeChild(m_pegs[i].sprite);
    m_pegs.clear();
    markSelected(false);
}

void PegsCU::markSelected(bool shown)
{
    if (!shown)
        m_nSelected = -1;
    sprite::SpriteBase* ring = getSprite(kPegsRing);
    if (!ring)
        return;
    ring->setVisible(shown && m_nSelected >= 0);
    if (!ring->isVisible())
        return;
    // Round the hole the peg was taken from, under the peg.
    const PegInfo& peg = m_pegs[size_t(m_nSelected)];
    ring->setPosition(HOLE_PITCH * peg.column + kPegLeft - ring->width() / 2,
                      HOLE_PITCH * peg.row + kPegTop - ring->height() / 2);
    bringToFront(ring);
}

void PegsCU::placeOnHole(PegInfo& peg)
{
    peg.x = HOLE_PITCH * peg.column - peg.sprite->width() / 2 + kPegLeft;
    peg.y = HOLE_PITCH * peg.row - peg.sprite->height() / 2 + kPegTop;
    peg.sprite->setPosition(peg.x, peg.y);
}

void PegsCU::addPegs()
{
    m_bPegsReady = false;
    releasePegs();
    if (sprite::SpriteBase* line = getSprite(kPegsStatus))
        line->setVisible(false);
    m_board.clear();
    m_nPegsLeft = 0;
    const int start = PegBoard::firstCellIndex(m_counts, m_nPuzzle);
    sprite::AnimateSprite* prototype = SceneRoom::findAnimation(this, ("Peg_" + std::to_string(m_nPuzzle)).c_str());
    if (start >= 0 && prototype) {
        const int count = m_counts[m_nPuzzle - 1];
        for (int k = 0; k < count; ++k) {
            const int index = start + k;
            const int cell = index < m_numbers.length() ? m_numbers[index] : -1;
            // Cells outside the board or taken twice are left out.
            if (!m_board.isCell(cell) || m_board.has(cell)) {
                window::debugLine("PegsCU: puzzle ", m_nPuzzle, " skips the cell at number ", index, "\n");
                continue;
            }
            PegInfo peg;
            peg.sprite = static_cast<sprite::AnimateSprite*>(prototype->clone());
            peg.cell = peg.startCell = cell;
            peg.column = peg.startColumn = cell % m_nColumns;
            peg.row = peg.startRow = cell / m_nColumns;
            if (sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(peg.sprite))
                button->setEnabled(true);
            peg.sprite->setVisible(true);
            placeOnHole(peg);
            peg.startX = peg.x;
            peg.startY = peg.y;
            peg.sprite->setAlphaBalance(0);
            peg.sprite->setAlphaDestination(kAsDrawn, kFadeInFrames, 0);
            bringToFront(peg.sprite);
            peg.sprite->release();
            m_board.set(cell, true);
            m_pegs.push_back(peg);
        }
    }
    m_nPegsLeft = int(m_pegs.size());
    if (m_pegs.empty())
        m_bPegsReady = true; // nothing to wait for: the buttons work at once
    else
        SpriteAction::set(m_pegs[0].sprite, this, kCommands[ADD_DONE]);
}

void PegsCU::removePegs()
{
    m_bPegsReady = false;
    markSelected(false);
    if (m_pegs.empty()) {
        addPegs();
        return;
    }
    for (int i = int(m_pegs.size()) - 1; i >= 0; --i)
        m_pegs[i].sprite->setAlphaDestination(0, kFadeOutFrames, 0);
    SpriteAction::set(m_pegs[0].sprite, this, kCommands[REMOVE_DONE]);
}

bool PegsCU::acceptsInput()
{
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    return !isTransitioning() && !(canvas && canvas->isGameInstructionsShowing()) && m_bPegsReady;
}

int PegsCU::refused(window::Event* e)
{
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    const bool standing = isVisible() && !isTransitioning() && !(canvas && canvas->isGameInstructionsShowing());
    return standing && hittest(e->x, e->y) ? HANDLED : NOT_HANDLED;
}

int PegsCU::mouseDown(window::Event* e)
{
    if (!acceptsInput())
        return refused(e);
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    if (canvas && canvas->isOverGameInsQuestionMark(e->x, e->y)) {
        canvas->showGameInstructions(getX(), getY(), INSTRUCTIONS_GAME, true, true, SceneInstructions::GROW_FRAMES,
                                     SceneInstructions::ORIGIN_X, SceneInstructions::ORIGIN_Y,
                                     SceneInstructions::START_SCALE, SceneInstructions::END_SCALE);
        return COMMAND_READY;
    }
    const int result = sprite::DialogSprite::mouseDown(e);
    lang::String command = getLastCommand();
    // A button that fires on its release names no command yet: the press
    // on it decides all the same.
    int lx = e->x;
    int ly = e->y;
    toLocal(lx, ly);
    for (const char* name : {"CloseButton", "ResetButton"}) {
        sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(getSprite(name));
        if (command.isEmpty() && button && button->hitAndEnabled(lx, ly))
            command = name;
    }
    if (command.equals("CloseButton")) {
        if (Room* current = canvas ? canvas->getCurrentRoom() : nullptr)
            current->callScript(tableOf(m_nPuzzle).c_str(), "setupPuzzle");
        shrinkOut();
    } else if (command.equals("ResetButton")) {
        removePegs();
    } else {
        clickBoard(e->x, e->y);
        m_press.press(e);
    }
    return result;
}

int PegsCU::mouseUp(window::Event* e)
{
    if (!acceptsInput())
        return refused(e);
    const int result = sprite::DialogSprite::mouseUp(e);
    if (m_nSelected >= 0 && m_press.isDrop(e)) {
        clickBoard(e->x, e->y);
        m_press.press(e);
    }
    return result;
}

bool PegsCU::mouseMove(window::Event* e)
{
    if (!acceptsInput())
        return false;
    const bool handled = sprite::DialogSprite::mouseMove(e);
    if (m_nSelected < 0 || m_nSelected >= int(m_pegs.size()))
        return handled;
    sprite::AnimateSprite* peg = m_pegs[m_nSelected].sprite;
    int lx = e->x;
    int ly = e->y;
    toLocal(lx, ly);
    bool overButton = false;
    for (const char* name : {"CloseButton", "ResetButton"}) {
        sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(getSprite(name));
        if (button && button->hitAndEnabled(lx, ly))
            overButton = true;
    }
    peg->setVisible(!overButton);
    const int w = peg->width();
    const int h = peg->height();
    int pegLeft = e->x - w / 2 - left() - kCarryLeft;
    int pegTop = e->y - h / 2 - top() + kCarryDown;
    pegLeft = std::max(0, std::min(pegLeft, kCarryMaxRight - w));
    pegTop = std::max(0, std::min(pegTop, top() + height() - h));
    peg->setPosition(pegLeft, pegTop);
    return true;
}

void PegsCU::clickBoard(int x, int y)
{
    int lx = x;
    int ly = y;
    toLocal(lx, ly);
    const int column = (lx - kBoardMargin) / HOLE_PITCH;
    const int row = (ly - kBoardMargin) / HOLE_PITCH;
    if (!m_board.inside(column, row))
        return;
    OutputDebugStringA("-----------------------------\n");
    window::debugLine("COL = ", column, "\n");
    window::debugLine("ROW = ", row, "\n");
    if (m_nSelected < 0) {
        for (int i = 0; i < int(m_pegs.size()); ++i) {
            PegInfo& peg = m_pegs[i];
            sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(peg.sprite);
            if (!button || !button->isEnabled() || !peg.sprite->hittestImage(lx, ly))
                continue;
            m_nSelected = i;
            SceneRoom::playSound(SOUND_PEG_SELECTED);
            peg.sprite->setFrame(0);
            markSelected(true);
            bringToFront(peg.sprite);
            break;
        }
        return;
    }
    PegInfo& selected = m_pegs[m_nSelected];
    markSelected(false);
    selected.sprite->setVisible(true);
    const int middle = m_board.jumpOver(selected.cell, column, row);
    sprite::SpriteBase* line = SceneRoom::find(this, kPegsStatus);
    if (middle < 0) {
        selected.sprite->setPosition(selected.x, selected.y);
        // Put back on its own hole, the peg is just let go; anywhere else
        // the line says it cannot jump there, until the next jump.
        if (m_board.cellOf(column, row) != selected.cell)
            SceneRoom::say(this, kPegsStatus, kPegsNoJumpText);
        return;
    }
    if (line)
        line->setVisible(false);
    m_board.set(selected.cell, false);
    selected.column = column;
    selected.row = row;
    selected.cell = m_board.cellOf(column, row);
    m_board.set(selected.cell, true);
    placeOnHole(selected);
    for (int i = 0; i < int(m_pegs.size()); ++i) {
        if (!m_pegs[i].removed && m_pegs[i].cell == middle) {
            removePeg(i);
            break;
        }
    }
}

void PegsCU::removePeg(int index)
{
    PegInfo& peg = m_pegs[index];
    peg.removed = true;
    m_board.set(peg.cell, false);
    peg.sprite->setAlphaDestination(0, kFadeOutFrames, 0);
    if (sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(peg.sprite))
        button->setState(0);
    SceneRoom::playSound(SOUND_PEG_REMOVED);
    --m_nPegsLeft;
    const bool won = m_nPegsLeft == 1;
    if (!won && m_board.anyJump())
        return;
    OutputDebugStringA(won ? "WINNER!!!!!!!!!!!!!!!!!!!!\n" : "GAME OVER!!!!!!!!!!!!!!!!!!!!\n");
    const char* next = kCommands[won ? EXIT : GAME_OVER];
    // The village hears of the end at once, so that a game saved, left for
    // the menu or quit while the board stands keeps a win; a stuck board is
    // only a notice, which a script may leave undefined.
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    if (Room* current = canvas ? canvas->getCurrentRoom() : nullptr) {
        if (won)
            current->callScriptInt(tableOf(1).c_str(), "setSolvedPegPuzzle", m_nPuzzle);
        else
            current->callNoticeInt(tableOf(1).c_str(), "stuckPegPuzzle", m_nPuzzle);
    }
    // The won or stuck board stands a while with the line under it saying
    // so, taking no clicks, before it closes or is laid out again.
    m_bPegsReady = false;
    if (sprite::SpriteBase* line = SceneRoom::say(this, kPegsStatus, won ? kPegsWonText : kPegsStuckText)) {
        peg.sprite->setAction(nullptr, nullptr);
        AnimationTimer::start(line, kFadeOutFrames + END_FRAMES, this, next);
    } else {
        SpriteAction::set(peg.sprite, this, next);
    }
}

bool PegsCU::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    switch (CommandMatch::matchPrefix(*command, kCommands)) {
    case SHRINK_DONE:
        setVisible(false);
        if (sprite::SpriteBase* dim = hostSprite("DimOverlay"))
            dim->setVisible(false);
        if (canvas)
            canvas->showGameInstructions(CENTRE_X, CENTRE_Y, INSTRUCTIONS_GAME, false, false, GROW_FRAMES,
                                         m_nOriginX, m_nOriginY, kSmall, kFull);
        break;
    case GROW_DONE:
        if (canvas) {
            if (canvas->getShowGameInstructions(INSTRUCTIONS_GAME))
                canvas->showGameInstructions(getX(), getY(), INSTRUCTIONS_GAME, true, true,
                                             SceneInstructions::GROW_FRAMES, SceneInstructions::ORIGIN_X,
                                             SceneInstructions::ORIGIN_Y, SceneInstructions::START_SCALE,
                                             SceneInstructions::END_SCALE);
            canvas->showGameInsQuestionMark();
        }
        break;
    case REMOVE_DONE:
        addPegs();
        break;
    case GAME_OVER:
        removePegs();
        break;
    case ADD_DONE:
        m_bPegsReady = true;
        break;
    case EXIT:
        shrinkOut();
        break;
    default:
        break;
    }
    return false;
}
