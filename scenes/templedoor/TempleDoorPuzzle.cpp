// TempleDoorPuzzle.cpp: the temple door's sliding-block lock: its layouts and
// walls, the axis of each drag, the limits with the rules of its two boards,
// the drops and the key's way out at the top.
#include "scenes/templedoor/TempleDoorPuzzle.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/BlockBoard.h"
#include "scenes/common/PieceSprites.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/buttons/ButtonSprite.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <algorithm>
#include <cstdlib>
#include <string>

HV_DEFINE_METACLASS(TempleDoorPuzzle);

const char TempleDoorPuzzle::kScriptTable[] = "TempleDoorPuzzle";

namespace {

const char kOwner[] = "TempleDoorPuzzle";
// The prototypes of the block kinds 1 to 4, and the key's (in its kind's size).
const char* const kPrototypes[] = {"Block_1", "Block_2_V", "Block_2_H", "Block_4"};
const char kKeyPrototype[] = "Key";
// The cells that anchor the per-board rules: the columns that reach the
// bottom row (27 on the first board, 33 on the second) and the cells whose
// blocks the rules hold back.
constexpr int kFirstBoardColumnCell = 27;
constexpr int kSecondBoardColumnCell = 33;
// How far inside a cell the rules look for a block above or at the top.
constexpr int kNear = 10;
constexpr int kAbove = 20;

} // namespace

TempleDoorPuzzle::TempleDoorPuzzle()
    : m_nTargetCell(0),
      m_nPuzzleCount(0),
      m_nCurrentPuzzle(0),
      m_nDragged(-1),
      m_nDragOrientation(UNDECIDED),
      m_nLowestX(-1),
      m_nHighestX(-1),
      m_nLowestY(-1),
      m_nHighestY(-1),
      m_bSolved(false)
{
    m_grid.cellWidth = CELL_SIZE;
    m_grid.cellHeight = CELL_SIZE;
}

TempleDoorPuzzle::~TempleDoorPuzzle() = default;

std::vector<int> TempleDoorPuzzle::walledCells(int n)
{
    if (n == 0)
        return {0, 1, 3, 4, 25, 26, 28, 29};
    return {0, 1, 3, 4, 5, 12, 17, 18, 23, 30, 31, 32, 34, 35};
}

void TempleDoorPuzzle::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    const lang::IntArray& numbers = getDefinitionInts();
    m_nPuzzleCount = numbers.length() > 1 ? numbers[1] : 0;
    m_layouts = BlockLayouts::read(numbers, HEADER_SIZE, BLOCK_SIZE, kOwner);
    m_bShown = true;
}

void TempleDoorPuzzle::onEnter()
{
    Room::onEnter();
    SceneInstructions::enterPuzzle(this, INSTRUCTIONS_GAME, SceneInstructions::ENTRY_DELAY);
    SceneRoom::enableCloseButton(this);
    if (sprite::SpriteBase* bling = SceneRoom::find(this, "KeyBling"))
        bling->setVisible(false);
}

void TempleDoorPuzzle::onExit()
{
    Room::onExit();
    SceneInstructions::leavePuzzle(this, INSTRUCTIONS_GAME);
}

void TempleDoorPuzzle::getGameInstructionsInfo(int& game, int& x, int& y)
{
    SceneInstructions::info(this, INSTRUCTIONS_GAME, game, x, y);
}

bool TempleDoorPuzzle::isInputEnabled()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    return !m_bSolved && !(c && c->isGameInstructionsShowing());
}

void TempleDoorPuzzle::clearBoard()
{
    BlockBoard::removeSprites(this, m_blocks);
    m_blocks.clear();
    m_walled.clear();
    m_nDragged = -1;
    m_nDragOrientation = UNDECIDED;
}

void TempleDoorPuzzle::setupPuzzle(int n)
{
    if (sprite::SpriteBase* bling = SceneRoom::find(this, "KeyBling"))
        bling->setVisible(false);
    sprite::SpriteBase* shown = SceneRoom::find(this, n == 0 ? "TempleDoorPuzzle1BG" : "TempleDoorPuzzle2BG");
    sprite::SpriteBase* hidden = SceneRoom::find(this, n == 0 ? "TempleDoorPuzzle2BG" : "TempleDoorPuzzle1BG");
    if (hidden)
        hidden->setVisible(false);
    if (shown) {
        shown->setVisible(true);
        bringToFront(shown);
    }
    for (const char* name : {SceneRoom::kCloseButton, "ResetButton"}) {
        if (sprite::ButtonMixin* button = SceneRoom::findButton(this, name)) {
            bringToFront(getSprite(name));
            button->setEnabled(true);
        }
    }
    clearBoard();
    m_drag.clearPress();
    m_bSolved = false;
    m_nCurrentPuzzle = n;
    const BlockLayouts::Layout* layout = BlockBoard::layout(m_layouts, n, kOwner);
    if (!layout) {
        m_grid.columns = 0;
        m_grid.rows = 0;
        return;
    }
    m_grid.columns = layout->header[BlockBoard::COLUMNS_ENTRY];
    m_grid.rows = layout->header[BlockBoard::ROWS_ENTRY];
    m_nTargetCell = layout->header[BlockBoard::TARGET_ENTRY];
    m_grid.left = layout->header[5];
    m_grid.top = layout->header[6];
    placeBlocks(*layout, n);
    m_walled = walledCells(n);
}

void TempleDoorPuzzle::placeBlocks(const BlockLayouts::Layout& layout, int n)
{
    const int keyIndex = layout.header[BlockBoard::KEY_ENTRY];
    BlockBoard::checkKey(layout, n, kOwner);
    for (size_t i = 0; i < layout.blocks.size(); ++i) {
        BlockInfo block;
        block.kind = layout.blocks[i][0];
        block.cell = layout.blocks[i][1];
        block.key = int(i) == keyIndex;
        const int row = m_grid.rowOfCell(block.cell);
        const int column = m_grid.columnOfCell(block.cell);
        if (block.kind < KIND_SINGLE || block.kind > KIND_SQUARE || block.cell < 0 ||
            block.cell >= m_grid.columns * m_grid.rows || column + widthOf(block.kind) > m_grid.columns ||
            row + heightOf(block.kind) > m_grid.rows) {
            BlockLayouts::report(kOwner, "block " + std::to_string(i) + " of puzzle " + std::to_string(n) +
                                             " (kind " + std::to_string(block.kind) + ", cell " +
                                             std::to_string(block.cell) + ") is left out");
            continue;
        }
        const char* prototype = block.key ? kKeyPrototype : kPrototypes[block.kind - 1];
        block.sprite = PieceSprites::place(this, PieceSprites::find(this, prototype), m_grid.xOfCell(block.cell),
                                           m_grid.yOfCell(block.cell));
        if (block.sprite)
            m_blocks.push_back(block);
    }
}

TempleDoorPuzzle::BlockInfo* TempleDoorPuzzle::findBlockAt(int x, int y)
{
    return BlockBoard::findAt(m_blocks, m_nDragged, x, y);
}

TempleDoorPuzzle::Probe TempleDoorPuzzle::probe(int x, int y, BlockInfo** hit)
{
    const int row = m_grid.rowOfY(y);
    const int column = m_grid.columnOfX(x);
    // Truncation puts a point up to a cell before the board in row or
    // column 0: such a point is off the board too.
    if (x < m_grid.left || y < m_grid.top || !m_grid.containsCell(row, column) ||
        std::find(m_walled.begin(), m_walled.end(), m_grid.cellIndex(row, column)) != m_walled.end())
        return WALL;
    BlockInfo* block = findBlockAt(x, y);
    if (hit)
        *hit = block;
    return block ? BLOCK : FREE;
}

TempleDoorPuzzle::Scan TempleDoorPuzzle::scanBack(bool horizontal, int from, int across, int counter)
{
    const int edge = horizontal ? m_grid.left : m_grid.top;
    int p = from;
    while (counter >= 0 && p >= edge) {
        if ((horizontal ? probe(p, across) : probe(across, p)) != FREE)
            break;
        --counter;
        p -= CELL_SIZE;
    }
    return {p, counter};
}

TempleDoorPuzzle::Scan TempleDoorPuzzle::scanForward(bool horizontal, int from, int across, int counter, int limit,
                                                     int extent)
{
    int p = from;
    while (counter <= limit) {
        BlockInfo* hit = nullptr;
        const Probe found = horizontal ? probe(p, across, &hit) : probe(across, p, &hit);
        if (found == BLOCK) {
            p = (horizontal ? hit->sprite->left() : hit->sprite->top()) - extent;
            break;
        }
        if (found == WALL)
            break;
        ++counter;
        p += CELL_SIZE;
    }
    return {p, counter};
}

int TempleDoorPuzzle::lowestX(const BlockInfo& block)
{
    const int s = CELL_SIZE;
    const int x0 = block.sprite->left();
    const int y0 = block.sprite->top();
    const int column = m_grid.columnOfCell(block.cell);
    int lowest = std::max(m_grid.left, scanBack(true, x0, y0, column).position + s);
    if (m_nCurrentPuzzle == 1 && block.kind == KIND_TALL && block.cell == kFirstBoardColumnCell)
        lowest = x0;
    if (lowest != x0 && heightOf(block.kind) == 2)
        lowest = std::max(lowest, std::max(m_grid.left, scanBack(true, x0, y0 + s, column).position + s));
    return lowest;
}

int TempleDoorPuzzle::highestX(const BlockInfo& block)
{
    const int s = CELL_SIZE;
    const int x0 = block.sprite->left();
    const int y0 = block.sprite->top();
    const int w = widthOf(block.kind) * s;
    const int row = m_grid.rowOfCell(block.cell);
    const int column = m_grid.columnOfCell(block.cell);
    const int cell = block.cell;
    const int k = block.kind;
    const int p = m_nCurrentPuzzle;
    // The right edge of the board for this block.
    const int end = m_grid.left + m_grid.width() - w;
    int start = end;
    if (p == 0 && (cell == kFirstBoardColumnCell || cell == 2))
        start = x0;
    else if (p == 1 && (cell == kSecondBoardColumnCell || cell == 2))
        start = x0;
    else if (p == 1 && row == 1 && k == KIND_SQUARE)
        start = end - s;
    else if (p == 1 && (k == KIND_SINGLE || k == KIND_TALL || k == KIND_SQUARE)) {
        if (k == KIND_TALL && cell == kFirstBoardColumnCell)
            start = x0;
        else if (k == KIND_SINGLE && cell == 10)
            start = end;
        else if (k == KIND_SINGLE && cell == 22)
            start = x0;
        else if (row == 2 || row == 3 || (k == KIND_TALL && row == 1))
            start = end - s;
    } else if (p == 1 && k == KIND_WIDE && (row == 2 || row == 3)) {
        start = end - s;
    }
    int highest = std::min(start, scanForward(true, x0 + s, y0, column, m_grid.columns, w).position);
    if (highest != x0 && heightOf(k) == 2)
        highest = std::min({highest, end, scanForward(true, x0 + s, y0 + s, column, m_grid.columns, w).position});
    return highest;
}

int TempleDoorPuzzle::lowestY(const BlockInfo& block)
{
    const int s = CELL_SIZE;
    const int x0 = block.sprite->left();
    const int y0 = block.sprite->top();
    const int row = m_grid.rowOfCell(block.cell);
    const int column = m_grid.columnOfCell(block.cell);
    // Out through the top, unless a block stands at the top of that column.
    auto outAtTop = [&](int x) { return findBlockAt(x, m_grid.top + kNear) ? y0 : m_grid.top - s; };
    const Scan left = scanBack(false, y0, x0, row);
    int lowest;
    if (block.key && left.counter == 0 && m_grid.columnOfCell(m_nTargetCell) == column && row == 1) {
        lowest = outAtTop(x0);
    } else {
        lowest = std::max(m_grid.top, left.position + s);
        if (m_nCurrentPuzzle == 1 && row == 1 && block.kind == KIND_SQUARE)
            lowest = y0;
    }
    if (m_nCurrentPuzzle == 0 && block.cell == kFirstBoardColumnCell && findBlockAt(x0 + kNear, y0 - kAbove))
        lowest = y0;
    if (lowest != y0 && widthOf(block.kind) == 2) {
        const Scan right = scanBack(false, y0, x0 + s, row);
        if (block.key && right.counter == 0)
            lowest = outAtTop(x0 + s);
        else
            lowest = std::max(lowest, std::max(m_grid.top, right.position + s));
    }
    return lowest;
}

int TempleDoorPuzzle::highestY(const BlockInfo& block)
{
    const int s = CELL_SIZE;
    const int x0 = block.sprite->left();
    const int y0 = block.sprite->top();
    const int h = heightOf(block.kind) * s;
    const int row = m_grid.rowOfCell(block.cell);
    const int column = m_grid.columnOfCell(block.cell);
    const int cell = block.cell;
    const int k = block.kind;
    const int p = m_nCurrentPuzzle;
    const int bottom = m_grid.top + m_grid.height();
    // The bottom edge of the board for this block.
    const int end = bottom - h;
    const bool firstColumn = p == 0 && column == m_grid.columnOfCell(kFirstBoardColumnCell);
    const bool secondColumn = p == 1 && column == m_grid.columnOfCell(kSecondBoardColumnCell);
    // The first rule that matches gives the start value; some give none,
    // and then the scan alone decides.
    bool hasStart = true;
    int start = end - s;
    if (p == 0 && cell == 22 && k == KIND_WIDE) {
        start = y0;
    } else if (firstColumn && k != KIND_SINGLE && k != KIND_SQUARE) {
        hasStart = m_grid.rowOfY(y0) == m_grid.rows - 1;
        start = y0;
    } else if (secondColumn) {
        if (k == KIND_SQUARE) {
            hasStart = row == 3;
            start = y0;
        } else if (k == KIND_SINGLE || k == KIND_TALL) {
            start = end;
        } else {
            start = bottom - 2 * h;
        }
    } else if (firstColumn && m_grid.rowOfY(y0) == m_grid.rows - 2 && k == KIND_SINGLE) {
        start = end;
    } else if ((p == 1 && cell == 10 && k == KIND_WIDE) || (p == 1 && cell == 6 && k == KIND_SINGLE) ||
               (cell == kFirstBoardColumnCell && k == KIND_SINGLE)) {
        start = y0;
    } else if (firstColumn && k == KIND_SINGLE) {
        start = end;
    } else if (p == 1 && cell == 6 && k == KIND_WIDE) {
        start = y0;
    } else if (block.key && row == 0 && findBlockAt(x0, m_grid.top + kNear)) {
        // Otherwise the bottom row is out of reach.
        start = y0;
    }
    const int scanned = scanForward(false, y0 + h, x0, row, m_grid.rows, h).position;
    int highest = hasStart ? std::min(start, scanned) : scanned;
    if (highest != y0 && widthOf(k) == 2)
        highest = std::min(highest, scanForward(false, y0 + s, x0 + s, row, m_grid.rows, h).position);
    if (p == 0 && cell == kFirstBoardColumnCell && findBlockAt(x0 + kNear, y0 - kAbove))
        highest = y0;
    return highest;
}

void TempleDoorPuzzle::computeDragLimits()
{
    BlockInfo* block = dragged();
    if (!block)
        return;
    m_nLowestX = lowestX(*block);
    m_nHighestX = highestX(*block);
    m_nLowestY = lowestY(*block);
    m_nHighestY = highestY(*block);
}

int TempleDoorPuzzle::mouseDown(window::Event* e)
{
    if (!isInputEnabled())
        return NOT_HANDLED;
    if (SceneInstructions::openOnQuestionMark(this, INSTRUCTIONS_GAME, e->x, e->y))
        return COMMAND_READY;
    const int result = Room::mouseDown(e);
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    if (SceneRoom::isCloseButtonHit(this, e->x, e->y)) {
        if (LanternfieldCanvas* c = SceneRoom::canvas())
            c->showGameInstructions(getX(), getY(), INSTRUCTIONS_GAME, false, false, 0, 0, 0, 0.0f, 0.0f);
        tellScript("exitToTempleRoom");
        return COMMAND_READY;
    }
    sprite::SpriteBase* reset = getSprite("ResetButton");
    if (reset && reset->hittest(x, y)) {
        setupPuzzle(m_nCurrentPuzzle);
        return COMMAND_READY;
    }
    if (e->modifiers & window::Event::CTRL_MASK)
        return result;
    const int hit = BlockBoard::indexAt(m_blocks, -1, x, y);
    if (hit < 0)
        return result;
    SceneRoom::playSound(SOUND_PICK_UP);
    m_nDragged = hit;
    m_drag.pick(m_blocks[size_t(hit)].sprite, x, y);
    computeDragLimits();
    return COMMAND_READY;
}

bool TempleDoorPuzzle::mouseMove(window::Event* e)
{
    if (!isInputEnabled())
        return false;
    BlockInfo* block = dragged();
    if ((e->modifiers & window::Event::CTRL_MASK) || !block)
        return Room::mouseMove(e);
    int px = e->x;
    int py = e->y;
    toLocal(px, py);
    bool decidedNow = false;
    if (block->dragOrientation == UNDECIDED) {
        window::debugLine("****************************\n");
        const int dx = std::abs(m_drag.pressX() - px);
        const int dy = std::abs(m_drag.pressY() - py);
        // An exactly diagonal movement decides nothing yet.
        if (dy != dx) {
            block->dragOrientation = dy < dx ? HORIZONTAL : VERTICAL;
            m_nDragOrientation = block->dragOrientation;
            decidedNow = true;
        }
    }
    sprite::ButtonSprite* s = block->sprite;
    const bool horizontal = block->dragOrientation == HORIZONTAL;
    int x;
    int y;
    // As on the chest's board, the key alone may stand a cell past the
    // right edge (its limits keep it on the board here).
    if (!m_drag.follow(m_grid, s, horizontal, horizontal && block->key ? CELL_SIZE : 0, px, py,
                       horizontal ? m_nLowestX : m_nLowestY, horizontal ? m_nHighestX : m_nHighestY, x, y))
        return Room::mouseMove(e);
    block->cell = m_grid.cellAt(x, y);
    // Back where it stands on the move that chose the axis: the block may
    // choose again.
    if (decidedNow && x == s->left() && y == s->top())
        block->dragOrientation = UNDECIDED;
    s->setPosition(x, y);
    Room::mouseMove(e);
    return true;
}

int TempleDoorPuzzle::mouseUp(window::Event* e)
{
    BlockInfo* block = dragged();
    if (!isInputEnabled() || (e->modifiers & window::Event::CTRL_MASK) || !block)
        return NOT_HANDLED;
    sprite::ButtonSprite* s = block->sprite;
    const bool horizontal = m_nDragOrientation == HORIZONTAL;
    int x;
    int y;
    const bool moved = m_drag.letGo(this, e, s, horizontal, x, y);
    if (moved) {
        if (horizontal) {
            x = BlockGrid::snap(x, m_grid.xOfColumn(m_grid.columnOfX(x)), CELL_SIZE);
        } else if (block->key && m_grid.rowOfY(y) == 1 && m_nLowestY <= m_grid.yOfRow(0)) {
            // The key let go in the row below the top goes on to row 0
            // when its road is free.
            y = m_grid.yOfRow(0);
        } else {
            y = BlockGrid::snap(y, m_grid.yOfRow(m_grid.rowOfY(y)), CELL_SIZE);
        }
        SceneRoom::playSound(SOUND_DROP);
        block->cell = m_grid.cellAt(x, y);
        s->setPosition(x, y);
    }
    const bool solved = block->key && (block->cell == m_nTargetCell || block->cell == m_nTargetCell - 1);
    const BlockInfo key = *block;
    int px = e->x;
    int py = e->y;
    toLocal(px, py);
    const bool pulledInVain = !moved && BlockDrag::isPull(m_drag.pressX(), m_drag.pressY(), px, py);
    block->dragOrientation = UNDECIDED;
    m_nDragged = -1;
    m_nDragOrientation = UNDECIDED;
    m_nLowestX = m_nHighestX = m_nLowestY = m_nHighestY = -1;
    // The script says when a stone pulled cannot go that way, and hears of
    // the next stone that moves.
    if (pulledInVain)
        tellScript("cannotMove", true);
    else if (moved)
        tellScript("stoneMoved", true);
    // Last: the script may build another board at once.
    if (solved)
        onSolved(key);
    return NOT_HANDLED;
}

void TempleDoorPuzzle::onSolved(BlockInfo key)
{
    m_bSolved = true;
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->showGameInstructions(getX(), getY(), INSTRUCTIONS_GAME, false, false, 0, 0, 0, 0.0f, 0.0f);
    if (sprite::SpriteBase* bling = SceneRoom::find(this, "KeyBling")) {
        bringToFront(bling);
        bling->setPosition(key.sprite->left(), key.sprite->top());
        bling->setVisible(true);
    }
    tellScript("winGameScene");
    // A board the script built at once for the next lock is played on with
    // its question mark, which the solve took away.
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!m_bSolved && c && c->getCurrentRoom() == this)
        SceneInstructions::openOrMark(this, INSTRUCTIONS_GAME);
}

void TempleDoorPuzzle::tellScript(const char* function, bool notice)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    Room* current = c ? c->getCurrentRoom() : nullptr;
    Room* target = current ? current : this;
    if (notice)
        target->callNoticeInt(kScriptTable, function, m_nCurrentPuzzle);
    else
        target->callScriptInt(kScriptTable, function, m_nCurrentPuzzle);
}
