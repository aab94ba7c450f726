// CircuitBoard.cpp: the circuit board close-up around its wire routing.
#include "scenes/circuit/CircuitBoard.h"

#include "core/lang/IntArray.h"
#include "core/lang/String.h"
#include "core/util/RectangleNM.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"
#include "scenes/common/CloseUpMotion.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/base/BoundsSprite.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <string>

HV_DEFINE_METACLASS(CircuitBoard);

const char* const CircuitBoard::kCommands[3] = {"CircuitPuzzleShrink", "CircuitPuzzleGrow", "EndTaskCompleted"};

namespace {

const char* const kCornerSuffixes[4] = {"_TL", "_TR", "_BR", "_BL"};
// The template that also serves as the wait before the board reports.
const char kTimer[] = "WireHorizontal_0";
// The line beside the board and what it says of a wire stopped by a wire.
const char kCircuitStatus[] = "Status";
const char kCircuitStoppedText[] = "STR_CIRCUIT_STOPPED";

} // namespace

CircuitBoard::CircuitBoard()
    : sprite::DialogSprite(false),
      m_bBuilt(false),
      m_nHostRoom(HOST_ROOM),
      m_nOriginX(0),
      m_nOriginY(0),
      m_nCentreX(0),
      m_nCentreY(0),
      m_bReady(false),
      m_bSolved(false),
      m_nUnit(1)
{
    m_router.setListener(this);
}

// The tiles are children: the dialog releases them.
CircuitBoard::~CircuitBoard()
{
    m_router.setListener(nullptr);
}

void CircuitBoard::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    m_bShown = true;
    if (sprite::SpriteBase* grid = SceneRoom::find(this, "debugGrid"))
        grid->setVisible(false);
    lang::IntArray* numbers = definition ? definition->getNumbers() : nullptr;
    if (!numbers || numbers->length() < NUMBER_COUNT) {
        window::debugLine("CircuitBoard: the board needs ", std::to_string(NUMBER_COUNT).c_str(),
                          " numbers; it is left empty\n");
        return;
    }
    std::array<int, 2 * CircuitRouter::WIRES> poles{};
    for (size_t i = 0; i < poles.size(); ++i)
        poles[i] = (*numbers)[int(i) + 1];
    if (!m_router.setPoles(poles)) {
        window::debugLine("CircuitBoard: a pole cell lies off the grid; the board is left empty\n");
        return;
    }
    bool found = true;
    for (int i = 0; i < CircuitRouter::WIRES; ++i) {
        const std::string n = std::to_string(i);
        m_heads[size_t(i)] = SceneRoom::findAnimation(this, ("WireHead_" + n).c_str());
        m_poles[size_t(i)][0] = SceneRoom::findAnimation(this, ("Pole_" + n + "_1").c_str());
        m_poles[size_t(i)][1] = SceneRoom::findAnimation(this, ("Pole_" + n + "_2").c_str());
        found = found && m_heads[size_t(i)] && m_poles[size_t(i)][0] && m_poles[size_t(i)][1];
        if (m_heads[size_t(i)])
            m_heads[size_t(i)]->setVisible(false);
    }
    if (!found) {
        window::debugLine("CircuitBoard: a wire head or pole is missing; the board is left empty\n");
        return;
    }
    m_nUnit = (*numbers)[0];
    m_bBuilt = true;
}

void CircuitBoard::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = INSTRUCTIONS_GAME;
    x = getX();
    y = getY();
}

sprite::SpriteBase* CircuitBoard::dimOverlay()
{
    Room* room = Room::roomAt(m_nHostRoom);
    return room ? room->getSprite("DimOverlay") : nullptr;
}

void CircuitBoard::tellCurrentRoom(const char* function)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (Room* room = c ? c->getCurrentRoom() : nullptr)
        room->callScript(room->scriptName(), function);
}

void CircuitBoard::grow()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    m_nHostRoom = HOST_ROOM;
    m_bSolved = false;
    setVisible(true);
    m_nCentreX = CENTRE_X;
    m_nCentreY = CENTRE_Y;
    if (c) {
        c->setPuzzleActive(true);
        if (c->getShowGameInstructions(INSTRUCTIONS_GAME))
            c->showGameInstructions(400, 300, INSTRUCTIONS_GAME, true, true, GROW_FRAMES, m_nOriginX, m_nOriginY,
                                    0.1f, 1.0f);
    }
    CloseUpMotion::grow(this, m_nOriginX, m_nOriginY, CENTRE_X, CENTRE_Y, kCommands[PUZZLE_GROW]);
    CloseUpMotion::fadeDim(dimOverlay(), true);
    resetBoard();
    m_router.buildGrid();
    if (c)
        c->setGameInstructionsInfo(INSTRUCTIONS_GAME, CENTRE_X, CENTRE_Y);
}

void CircuitBoard::closeNow()
{
    sprite::DialogSprite::closeNow();
    CloseUpMotion::releaseHost(dimOverlay(), Room::roomAt(m_nHostRoom));
}

void CircuitBoard::shrinkOut()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (c)
        c->setPuzzleActive(false);
    if (Room* host = Room::roomAt(m_nHostRoom))
        host->resumeIfPaused();
    if (c)
        c->setCursor(CURSOR_NORMAL, false);
    CloseUpMotion::shrink(this, CENTRE_X, CENTRE_Y, m_nOriginX, m_nOriginY, kCommands[PUZZLE_SHRINK]);
    CloseUpMotion::fadeDim(dimOverlay(), false);
    if (c) {
        c->setGameInstructionsInfo(-1, 0, 0);
        c->showGameInstructions(CENTRE_X, CENTRE_Y, INSTRUCTIONS_GAME, false, false, GROW_FRAMES, m_nOriginX,
                                m_nOriginY, 0.1f, 1.0f);
    }
}

void CircuitBoard::polesToFront()
{
    for (auto& pair : m_poles) {
        for (sprite::AnimateSprite* pole : pair) {
            if (pole)
                bringToFront(pole);
        }
    }
}

void CircuitBoard::sayStopped(bool shown)
{
    if (shown)
        SceneRoom::say(this, kCircuitStatus, kCircuitStoppedText);
    else if (sprite::SpriteBase* line = SceneRoom::find(this, kCircuitStatus))
        line->setVisible(false);
}

void CircuitBoard::lightPoles(int wire, bool lit)
{
    // A lit pole holds its last frame: every joined pair shows lit at once.
    for (sprite::AnimateSprite* pole : m_poles[size_t(wire)]) {
        const int frame = lit ? pole->getFrameCount() - 1 : 0;
        pole->playAnimation(frame, frame, -1, 1, false, 1);
    }
}

void CircuitBoard::resetBoard()
{
    if (!m_bBuilt)
        return;
    for (int i = 0; i < CircuitRouter::WIRES; ++i) {
        m_heads[size_t(i)]->playAnimation(0, -1, -1, 1, false, 1);
        lightPoles(i, false);
    }
    m_router.reset();
    // The wire laid at the reset joins its poles: it shows lit, as a wire
    // the player joins does.
    for (int i = 0; i < CircuitRouter::WIRES; ++i) {
        if (m_router.isWireComplete(i))
            lightPoles(i, true);
    }
    polesToFront();
}

void CircuitBoard::startDrag(int x, int y)
{
    if (!m_bBuilt)
        return;
    x -= left();
    y -= top();
    for (int wire : {0, 2, 3}) {
        for (int side = 1; side <= 2; ++side) {
            if (m_poles[size_t(wire)][size_t(side - 1)]->hittest(x, y)) {
                m_router.beginAtPole(wire, side);
                m_router.pressAt(x, y);
                SceneRoom::playSound(SOUND_DRAG_START);
                lightPoles(wire, false);
                return;
            }
        }
        util::RectangleNM* bounds = m_heads[size_t(wire)]->getBounds();
        if (bounds && bounds->contains(x, y)) {
            if (m_router.resumeAtHead(wire)) {
                m_router.pressAt(x, y);
                SceneRoom::playSound(SOUND_DRAG_START);
            }
            return;
        }
    }
}

bool CircuitBoard::canAcceptInput()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    return !isTransitioning() && !(c && c->isGameInstructionsShowing()) && m_bReady;
}

int CircuitBoard::mouseDown(window::Event* e)
{
    if (!canAcceptInput())
        return 0;
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (c && c->isOverGameInsQuestionMark(e->x, e->y)) {
        c->showGameInstructions(400, 300, INSTRUCTIONS_GAME, true, true, 8, 50, 50, 0.1f, 1.0f);
        return COMMAND_READY;
    }
    const int result = sprite::DialogSprite::mouseDown(e);
    if (getLastCommand().equals(SceneRoom::kCloseButton)) {
        tellCurrentRoom("enterFromCircuitBoardNotSolved");
        shrinkOut();
    } else if (getLastCommand().equals("ResetButton")) {
        resetBoard();
    } else {
        startDrag(e->x, e->y);
    }
    return result;
}

int CircuitBoard::mouseUp(window::Event* e)
{
    if (!canAcceptInput())
        return 0;
    const int result = sprite::DialogSprite::mouseUp(e);
    m_router.endDrag();
    return result;
}

bool CircuitBoard::mouseMove(window::Event* e)
{
    if (!canAcceptInput())
        return false;
    if (m_router.getCurrentWire() != CircuitRouter::NONE)
        m_router.dragTo(e->x - left(), e->y - top());
    return sprite::DialogSprite::mouseMove(e);
}

void CircuitBoard::onSolved()
{
    if (m_bSolved)
        return;
    m_bSolved = true;
    SceneRoom::playSound(SOUND_SOLVED);
    for (const char* name : {SceneRoom::kCloseButton, "ResetButton"}) {
        if (sprite::ButtonMixin* button = SceneRoom::findButton(this, name))
            button->setState(sprite::ButtonMixin::DISABLED);
    }
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunctionNoArgs("LF_showTaskCompleted");
    if (sprite::SpriteBase* timer = SceneRoom::find(this, kTimer)) {
        // The template is never shown: its move off screen is the wait.
        timer->setPosition(-500, -500);
        timer->setDestination(-1000, -1000, SOLVED_WAIT);
        CloseUpMotion::setCommand(timer, this, kCommands[END_TASK_COMPLETED]);
    }
}

bool CircuitBoard::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    const int match = CommandMatch::matchPrefix(*command, kCommands);
    if (match >= 0)
        handleCommand(match);
    return false;
}

void CircuitBoard::handleCommand(int command)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    switch (command) {
    case PUZZLE_SHRINK:
        setVisible(false);
        if (sprite::SpriteBase* dim = dimOverlay())
            dim->setVisible(false);
        if (c)
            c->showGameInstructions(CENTRE_X, CENTRE_Y, INSTRUCTIONS_GAME, false, false, GROW_FRAMES, m_nOriginX,
                                    m_nOriginY, 0.1f, 1.0f);
        break;
    case PUZZLE_GROW:
        if (c && c->getShowGameInstructions(INSTRUCTIONS_GAME))
            c->showGameInstructions(getX(), getY(), INSTRUCTIONS_GAME, true, false, 8, 50, 50, 0.1f, 1.0f);
        m_bReady = true;
        break;
    case END_TASK_COMPLETED:
        if (sprite::SpriteBase* timer = getSprite(kTimer))
            timer->setAction(nullptr, nullptr);
        tellCurrentRoom("setSolvedCircuitBoard");
        shrinkOut();
        break;
    default:
        break;
    }
}

void CircuitBoard::tileAdded(int wire, const CircuitRouter::Tile& tile)
{
    sayStopped(false);
    const std::string n = std::to_string(wire);
    const bool vertical = tile.direction == CircuitRouter::UP || tile.direction == CircuitRouter::DOWN;
    std::string name;
    if (tile.corner != CircuitRouter::NONE)
        name = "WireCorner_" + n + kCornerSuffixes[tile.corner];
    else
        name = (vertical ? "WireVertical_" : "WireHorizontal_") + n;
    sprite::SpriteBase* model = SceneRoom::find(this, name.c_str());
    sprite::SpriteBase* piece = model ? model->clone() : nullptr;
    m_tiles[size_t(wire)].push_back(piece);
    if (piece) {
        int x = tile.fromX - CORNER_OFFSET, y = tile.fromY - CORNER_OFFSET;
        if (tile.corner == CircuitRouter::NONE) {
            const int w = vertical ? WIRE_THICKNESS : m_nUnit;
            const int h = vertical ? m_nUnit : WIRE_THICKNESS;
            if (piece->isInstanceOf("BoundsSprite"))
                static_cast<sprite::BoundsSprite*>(piece)->setSize(w, h);
            switch (tile.direction) {
            case CircuitRouter::RIGHT:
                x = tile.x - w, y = tile.y - 2;
                break;
            case CircuitRouter::LEFT:
                x = tile.x, y = tile.y - 2;
                break;
            case CircuitRouter::DOWN:
                x = tile.x - 2, y = tile.y - h;
                break;
            default:
                x = tile.x - 2, y = tile.y;
                break;
            }
        }
        piece->setVisible(true);
        bringToFront(piece);
        piece->setPosition(x, y);
        piece->release();
    }
    bringToFront(m_heads[size_t(wire)]);
    const CircuitRouter::Wire& first = m_router.wire(0);
    if (tile.cell != first.poleA && tile.cell != first.poleB)
        polesToFront();
}

void CircuitBoard::tileRemoved(int wire)
{
    sayStopped(false);
    std::vector<sprite::SpriteBase*>& tiles = m_tiles[size_t(wire)];
    if (tiles.empty())
        return;
    if (tiles.back())
        removeChild(tiles.back());
    tiles.pop_back();
}

void CircuitBoard::tilesCleared(int wire)
{
    sayStopped(false);
    for (sprite::SpriteBase* piece : m_tiles[size_t(wire)]) {
        if (piece)
            removeChild(piece);
    }
    m_tiles[size_t(wire)].clear();
}

void CircuitBoard::headPlaced(int wire, int x, int y)
{
    sprite::AnimateSprite* head = m_heads[size_t(wire)];
    head->setPosition(x - head->width() / 2 + 3, y - head->height() / 2);
}

void CircuitBoard::headShown(int wire, bool shown)
{
    m_heads[size_t(wire)]->setVisible(shown);
}

void CircuitBoard::dragEnded(int)
{
    SceneRoom::playSound(SOUND_DRAG_END);
}

void CircuitBoard::wireCompleted(int wire, bool all)
{
    lightPoles(wire, true);
    polesToFront();
    SceneRoom::playSound(SOUND_WIRE_DONE);
    if (all)
        onSolved();
}

void CircuitBoard::boardCompleted()
{
    onSolved();
}

void CircuitBoard::wireStopped(int)
{
    sayStopped(true);
}
