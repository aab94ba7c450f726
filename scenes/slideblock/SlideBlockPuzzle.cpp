// SlideBlockPuzzle.cpp: the sliding-block board inside the treasure chest:
// its layouts, the blocks' drags and drops, the chest doors' cycle, the god
// rays and the key overlays of the chapters.
#include "scenes/slideblock/SlideBlockPuzzle.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/ActionCommand.h"
#include "scenes/common/BlockBoard.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/PieceSprites.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/transitions/TransitionBase.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <algorithm>
#include <string>

HV_DEFINE_METACLASS(SlideBlockPuzzle);

namespace {

const char kOwner[] = "SlideBlockPuzzle";
// The chapter of the gold doors and of the gold lock's overlay.
constexpr int kGoldChapter = 6;
// The chapter whose chest shows neither key overlay nor god rays.
constexpr int kPlainChapter = 5;

// The actions of the finished door wipes and god rays, matched by prefix.
enum Command { DOOR_CLOSED, DOOR_OPENED, HIDE_RAY_1, HIDE_RAY_3, HIDE_RAY_5, HIDE_RAY_6 };
const char* const kCommands[] = {"DoorWipedClosed", "DoorWipedOpen", "hidegodray1",
                                 "hidegodray3",     "hidegodray5",   "hidegodray6"};
// The god rays and key overlays, by the number in their names.
const char* const kRays[] = {"KeyRaysMiddle1", "KeyRaysMiddle3", "KeyRaysMiddle5", "KeyRaysMiddle6"};
const char* const kOverlays[] = {"keyOverlay1", "keyOverlay3", "keyOverlay5", "keyOverlay6", "KeyOverlay_Chapter6"};

// The number of the chapter's god rays and key overlay (1, 3, 5 or 6 in
// their names); 0 for chapter 5, which shows none.
int chapterRay(int chapter)
{
    switch (chapter) {
    case 2:
        return 5;
    case 3:
        return 6;
    case kPlainChapter:
        return 0;
    default:
        return 3;
    }
}

} // namespace

SlideBlockPuzzle::SlideBlockPuzzle()
    : m_bLocked(false),
      m_nCenterX(400),
      m_nCenterY(300),
      m_nTargetCell(0),
      m_nLowest(-1),
      m_nHighest(-1),
      m_nDragOrientation(-1),
      m_nPuzzleCount(0),
      m_nCurrentPuzzle(0),
      m_bSolved(false),
      m_bCloseRequested(false),
      m_bBusy(false),
      m_nDragged(-1),
      m_pLeftDoor(nullptr),
      m_pRightDoor(nullptr),
      m_pLeftGoldDoor(nullptr),
      m_pRightGoldDoor(nullptr),
      m_nPendingDoorActions(0)
{
    m_grid.cellWidth = CELL_SIZE;
    m_grid.cellHeight = CELL_SIZE;
}

SlideBlockPuzzle::~SlideBlockPuzzle() = default;

void SlideBlockPuzzle::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    const lang::IntArray& numbers = getDefinitionInts();
    m_nPuzzleCount = numbers.length() > 1 ? numbers[1] : 0;
    m_layouts = BlockLayouts::read(numbers, HEADER_SIZE, BLOCK_SIZE, kOwner);
    m_pLeftDoor = SceneRoom::find(this, "ChestDoor1");
    m_pRightDoor = SceneRoom::find(this, "ChestDoor2");
    m_pLeftGoldDoor = SceneRoom::find(this, "ChestDoor1_Gold");
    m_pRightGoldDoor = SceneRoom::find(this, "ChestDoor2_Gold");
    for (sprite::SpriteBase* right : {m_pRightDoor, m_pRightGoldDoor}) {
        if (right)
            right->setFlipType(sprite::SpriteBase::FLIP_HORIZONTAL);
    }
    for (const char* ray : kRays) {
        if (sprite::SpriteBase* s = SceneRoom::find(this, ray))
            s->setVisible(false);
    }
    m_bShown = true;
}

void SlideBlockPuzzle::onEnter()
{
    Room::onEnter();
    m_bCloseRequested = false;
    SceneInstructions::enterPuzzle(this, INSTRUCTIONS_GAME, SceneInstructions::ENTRY_DELAY);
    enableCloseButton(true);
}

void SlideBlockPuzzle::onExit()
{
    Room::onExit();
    SceneInstructions::leavePuzzle(this, INSTRUCTIONS_GAME);
}

void SlideBlockPuzzle::getGameInstructionsInfo(int& game, int& x, int& y)
{
    SceneInstructions::info(this, INSTRUCTIONS_GAME, game, x, y);
}

void SlideBlockPuzzle::setBoardCenter(int x, int y)
{
    m_nCenterX = x;
    m_nCenterY = y;
}

void SlideBlockPuzzle::enableCloseButton(bool enable)
{
    SceneRoom::enableCloseButton(this, enable);
}

bool SlideBlockPuzzle::isInputEnabled()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    return !m_bBusy && !m_bLocked && !(c && c->isGameInstructionsShowing());
}

void SlideBlockPuzzle::clearBoard()
{
    BlockBoard::removeSprites(this, m_blocks);
    m_blocks.clear();
    m_nDragged = -1;
    m_nDragOrientation = -1;
}

void SlideBlockPuzzle::buildBoard(int n)
{
    clearBoard();
    m_bSolved = false;
    m_nCurrentPuzzle = n;
    const BlockLayouts::Layout* layout = BlockBoard::layout(m_layouts, n, kOwner);
    m_grid.columns = layout ? layout->header[BlockBoard::COLUMNS_ENTRY] : 0;
    m_grid.rows = layout ? layout->header[BlockBoard::ROWS_ENTRY] : 0;
    if (layout)
        m_nTargetCell = layout->header[BlockBoard::TARGET_ENTRY];
    m_grid.left = m_nCenterX - m_grid.width() / 2 + 2;
    m_grid.top = m_nCenterY - m_grid.height() / 2 + 2;
    if (layout)
        placeBlocks(*layout, n);
    if (handOverDoors() == 0 && m_bBusy && m_nPendingDoorActions == 0)
        doorsOpened();
    showKeyOverlay();
}

void SlideBlockPuzzle::placeBlocks(const BlockLayouts::Layout& layout, int n)
{
    const int keyIndex = layout.header[BlockBoard::KEY_ENTRY];
    BlockBoard::checkKey(layout, n, kOwner);
    const bool gold = n >= FIRST_GOLD_PUZZLE;
    const int cells = m_grid.columns * m_grid.rows;
    for (size_t i = 0; i < layout.blocks.size(); ++i) {
        BlockInfo block;
        block.length = layout.blocks[i][0];
        block.cell = layout.blocks[i][1];
        block.orientation = layout.blocks[i][2];
        block.key = int(i) == keyIndex;
        const bool horizontal = block.orientation == HORIZONTAL;
        const int along = horizontal ? m_grid.columnOfCell(block.cell) : m_grid.rowOfCell(block.cell);
        const int side = horizontal ? m_grid.columns : m_grid.rows;
        if ((block.orientation != VERTICAL && !horizontal) || block.length < 1 || block.cell < 0 ||
            block.cell >= cells || block.length > side - along) {
            BlockLayouts::report(kOwner, "block " + std::to_string(i) + " of puzzle " + std::to_string(n) +
                                             " (length " + std::to_string(block.length) + ", cell " +
                                             std::to_string(block.cell) + ", axis " +
                                             std::to_string(block.orientation) + ") is left out");
            continue;
        }
        std::string prototype = block.key ? "Key" : "Block_" + std::to_string(block.length) + (horizontal ? "_H" : "_V");
        if (gold)
            prototype += "_Gold";
        block.sprite = PieceSprites::place(this, PieceSprites::find(this, prototype.c_str()),
                                           m_grid.xOfCell(block.cell), m_grid.yOfCell(block.cell));
        if (block.sprite)
            m_blocks.push_back(block);
    }
}

sprite::SpriteBase* SlideBlockPuzzle::leftDoor()
{
    return Room::chapterNumber() == kGoldChapter ? m_pLeftGoldDoor : m_pLeftDoor;
}

sprite::SpriteBase* SlideBlockPuzzle::rightDoor()
{
    return Room::chapterNumber() == kGoldChapter ? m_pRightGoldDoor : m_pRightDoor;
}

int SlideBlockPuzzle::handOverDoors()
{
    int rearmed = 0;
    const struct {
        sprite::SpriteBase* door;
        const char* command;
    } doors[] = {{leftDoor(), "DoorWipedOpenL"}, {rightDoor(), "DoorWipedOpenR"}};
    for (const auto& d : doors) {
        if (!d.door || !d.door->isTransitioning())
            continue;
        bringToFront(d.door);
        d.door->getTransition()->setDelay(DOOR_OPEN_DELAY);
        ActionCommand::give(d.door, this, d.command);
        ++rearmed;
    }
    if (m_bBusy)
        m_nPendingDoorActions = rearmed;
    return rearmed;
}

void SlideBlockPuzzle::showKeyOverlay()
{
    for (const char* name : kOverlays) {
        if (sprite::SpriteBase* s = getSprite(name))
            s->setVisible(false);
    }
    const int chapter = Room::chapterNumber();
    const int ray = chapterRay(chapter);
    if (ray == 0)
        return;
    const std::string name = chapter == kGoldChapter ? "KeyOverlay_Chapter6" : "keyOverlay" + std::to_string(ray);
    if (sprite::SpriteBase* overlay = SceneRoom::find(this, name.c_str())) {
        overlay->setVisible(true);
        bringToFront(overlay);
    }
}

void SlideBlockPuzzle::startDoorAnimation(int n)
{
    SceneRoom::playSound(SOUND_DOORS);
    m_nCurrentPuzzle = n;
    m_bBusy = true;
    m_nPendingDoorActions = 0;
    const struct {
        sprite::SpriteBase* door;
        int wipe;
        const char* command;
    } doors[] = {{leftDoor(), WIPE_RIGHTWARD, "DoorWipedClosedL"}, {rightDoor(), WIPE_LEFTWARD, "DoorWipedClosedR"}};
    for (const auto& d : doors) {
        if (!d.door)
            continue;
        d.door->showWithTransition(true, d.wipe);
        bringToFront(d.door);
        sprite::TransitionBase* wipe = d.door->getTransition();
        if (!wipe)
            continue;
        wipe->setPingPong(true);
        wipe->setFrames(DOOR_FRAMES);
        ActionCommand::give(d.door, this, d.command);
        ++m_nPendingDoorActions;
    }
    // Without doors to wait for, the board is rebuilt at once.
    if (m_nPendingDoorActions == 0)
        doorsClosed();
}

void SlideBlockPuzzle::doorsClosed()
{
    buildBoard(m_nCurrentPuzzle);
}

void SlideBlockPuzzle::doorsOpened()
{
    m_bBusy = false;
    m_bLocked = false;
    m_nPendingDoorActions = 0;
    hideDoors();
}

void SlideBlockPuzzle::hideDoors()
{
    for (sprite::SpriteBase* door : {m_pLeftDoor, m_pRightDoor, m_pLeftGoldDoor, m_pRightGoldDoor}) {
        if (door)
            door->setVisible(false);
    }
}

void SlideBlockPuzzle::showGodRays()
{
    const int k = chapterRay(Room::chapterNumber());
    if (k == 0)
        return;
    const std::string name = "KeyRaysMiddle" + std::to_string(k);
    sprite::AnimateSprite* rays = SceneRoom::findAnimation(this, name.c_str());
    if (!rays)
        return;
    bringToFront(rays);
    rays->setVisible(true);
    rays->setFrame(0);
    rays->playAnimation(0, rays->getFrameCount() - 1, 0, GOD_RAY_RATE, false, 1);
    ActionCommand::give(rays, this, ("hidegodray" + std::to_string(k)).c_str());
}

sprite::ButtonSprite* SlideBlockPuzzle::getKeyBlock()
{
    for (const BlockInfo& block : m_blocks) {
        if (block.key)
            return block.sprite;
    }
    return nullptr;
}

int SlideBlockPuzzle::getKeyBlockColumnDeltaX()
{
    sprite::ButtonSprite* key = getKeyBlock();
    if (!key)
        return 0;
    return (m_grid.columns - m_grid.columnOfX(key->left()) + 1) * m_grid.cellWidth;
}

SlideBlockPuzzle::BlockInfo* SlideBlockPuzzle::findBlockAt(int x, int y)
{
    return BlockBoard::findAt(m_blocks, m_nDragged, x, y);
}

int SlideBlockPuzzle::mouseDown(window::Event* e)
{
    if (!isInputEnabled())
        return NOT_HANDLED;
    const int result = Room::mouseDown(e);
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    if (SceneRoom::isCloseButtonHit(this, e->x, e->y)) {
        m_bCloseRequested = true;
        return COMMAND_READY;
    }
    sprite::SpriteBase* reset = getSprite("ResetButton");
    if (reset && reset->hittest(x, y)) {
        startDoorAnimation(m_nCurrentPuzzle);
        return COMMAND_READY;
    }
    if (e->modifiers & window::Event::CTRL_MASK)
        return result;
    const int hit = BlockBoard::indexAt(m_blocks, -1, x, y);
    // A press on none of the board's own parts is not the board's: it goes
    // on to the room that shows the board over itself, whose exits it may hit.
    if (hit < 0)
        return result == HANDLED ? NOT_HANDLED : result;
    SceneRoom::playSound(SOUND_PICK_UP);
    m_nDragged = hit;
    m_nDragOrientation = m_blocks[size_t(hit)].orientation;
    m_drag.pick(m_blocks[size_t(hit)].sprite, x, y);
    computeDragLimits();
    return COMMAND_READY;
}

void SlideBlockPuzzle::computeDragLimits()
{
    BlockInfo* block = dragged();
    if (!block)
        return;
    const bool horizontal = block->orientation == HORIZONTAL;
    const int x0 = block->sprite->left();
    const int y0 = block->sprite->top();
    const int s = horizontal ? m_grid.cellWidth : m_grid.cellHeight;
    const int length = block->length * s;
    // Along the axis: the block's own place, the board's first edge and
    // extent, the cells it may pass, and where a probe across it stands.
    const int start = horizontal ? x0 : y0;
    const int edge = horizontal ? m_grid.left : m_grid.top;
    const int extent = horizontal ? m_grid.width() : m_grid.height();
    const int cells = horizontal ? m_grid.columns : m_grid.rows;
    const int at = horizontal ? m_grid.columnOfCell(block->cell) : m_grid.rowOfCell(block->cell);
    auto probe = [&](int p) { return horizontal ? findBlockAt(p, y0) : findBlockAt(x0, p); };

    int p = start - s;
    for (int counter = at; counter >= 0 && p >= edge; --counter, p -= s) {
        if (probe(p))
            break;
    }
    m_nLowest = std::max(edge, p + s);

    m_nHighest = edge + extent - length;
    p = start + length;
    int counter = at;
    while (counter <= cells) {
        if (BlockInfo* hit = probe(p)) {
            p = (horizontal ? hit->sprite->left() : hit->sprite->top()) - length;
            break;
        }
        ++counter;
        p += s;
    }
    if (horizontal && block->key && counter > cells)
        m_nHighest = edge + extent - length + s; // out through the exit by one cell
    else
        m_nHighest = std::min(m_nHighest, p);
}

bool SlideBlockPuzzle::mouseMove(window::Event* e)
{
    if (!isInputEnabled())
        return false;
    BlockInfo* block = dragged();
    if ((e->modifiers & window::Event::CTRL_MASK) || !block)
        return Room::mouseMove(e);
    int px = e->x;
    int py = e->y;
    toLocal(px, py);
    const bool horizontal = m_nDragOrientation == HORIZONTAL;
    int x;
    int y;
    // The key alone may go one cell out through the exit on the right.
    if (!m_drag.follow(m_grid, block->sprite, horizontal, horizontal && block->key ? m_grid.cellWidth : 0, px, py,
                       m_nLowest, m_nHighest, x, y))
        return Room::mouseMove(e);
    block->cell = m_grid.cellAt(x, y);
    block->sprite->setPosition(x, y);
    Room::mouseMove(e);
    return true;
}

int SlideBlockPuzzle::mouseUp(window::Event* e)
{
    BlockInfo* block = dragged();
    if (!isInputEnabled() || (e->modifiers & window::Event::CTRL_MASK) || !block)
        return NOT_HANDLED;
    sprite::ButtonSprite* s = block->sprite;
    const bool horizontal = m_nDragOrientation == HORIZONTAL;
    int x;
    int y;
    if (m_drag.letGo(this, e, s, horizontal, x, y)) {
        if (horizontal) {
            int column = m_grid.columnOfX(x);
            // The key dropped in the second-to-last column goes out to the exit.
            if (block->key && column == m_grid.columns - 2)
                column = m_grid.columns - 1;
            x = BlockGrid::snap(x, m_grid.xOfColumn(column), m_grid.cellWidth);
        } else {
            y = BlockGrid::snap(y, m_grid.yOfRow(m_grid.rowOfY(y)), m_grid.cellHeight);
        }
        SceneRoom::playSound(SOUND_DROP);
        block->cell = m_grid.cellAt(x, y);
        s->setPosition(x, y);
    }
    if (block->key && (block->cell == m_nTargetCell || block->cell == m_nTargetCell - 1))
        m_bSolved = true;
    m_nDragged = -1;
    m_nDragOrientation = -1;
    return NOT_HANDLED;
}

bool SlideBlockPuzzle::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    const int match = CommandMatch::matchPrefix(*command, kCommands);
    switch (match) {
    case DOOR_CLOSED:
        if (m_nPendingDoorActions > 0 && --m_nPendingDoorActions == 0)
            doorsClosed();
        break;
    case DOOR_OPENED:
        if (m_nPendingDoorActions > 0 && --m_nPendingDoorActions == 0)
            doorsOpened();
        break;
    case HIDE_RAY_1:
    case HIDE_RAY_3:
    case HIDE_RAY_5:
    case HIDE_RAY_6:
        if (sprite::SpriteBase* rays = getSprite(kRays[match - HIDE_RAY_1])) {
            rays->setVisible(false);
            rays->setAction(nullptr, nullptr);
        }
        break;
    default:
        break;
    }
    return false;
}
