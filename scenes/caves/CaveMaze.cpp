// CaveMaze.cpp: the cave maze's grid, its screens and the moves between them.
#include "scenes/caves/CaveMaze.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "scenes/common/DefinitionNumbers.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/common/ScriptValues.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/images/AnimateSprite.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <cstdlib>

HV_DEFINE_METACLASS(CaveMaze);

const char CaveMaze::kScriptTable[] = "CaveMaze";

namespace {

// Cursors: the arrows by direction, the normal pointer and the hand.
constexpr int kCursorByDirection[] = {0, 1, 3, 2};
constexpr int kMazeCursorNormal = 8;
constexpr int kMazeCursorHand = 9;
// A grid side longer than this is bad data (the numbers could not hold it).
constexpr int kMaxSide = 100;
// A solved puzzle's gem sits in its door at three quarters of its size.
constexpr double kInlayGemScale = 0.75;
// The doors in the order they are tried.
const char* const kDoors[] = {"DoorNorth", "DoorSouth", "DoorWest", "DoorEast"};
constexpr int kTryOrder[] = {CaveMaze::WEST, CaveMaze::NORTH, CaveMaze::SOUTH, CaveMaze::EAST};
const char* const kNorthTorches[] = {"Torch_3", "BlueFlame_3", "Torch_4", "BlueFlame_4"};
const char* const kWestTorches[] = {"Torch_1", "BlueFlame_1"};
const char* const kEastTorches[] = {"Torch_2", "BlueFlame_2"};
const char* const kGoldDoor[] = {"goldDoor", "goldDoor_Left", "goldDoor_Right", "goldDoor_Trim"};
const char* const kTunnels[] = {"Tunnel_N_1", "Tunnel_N_2", "Tunnel_W", "Tunnel_E"};
const char* const kDrips[] = {"WaterDrip", "WaterDripSplash", "WaterDrip_2", "WaterDripSplash_3", "WaterDrip_3"};
// The move messages.
const char kFadeDone[] = "CaveFadeDone";
const char kReady[] = "ReadyToMoveToRoom";
const char kFadeInDone[] = "FadeTransitionDone";

} // namespace

CaveMaze::CaveMaze()
    : m_colStep{0, 0, -1, 1},
      m_rowStep{-1, 1, 0, 0},
      m_puzzleScreens{0, 0, 0, 0},
      m_nRows(0),
      m_nColumns(0),
      m_nStartScreen(0),
      m_nGemDoorScreen(0),
      m_nCurrentScreen(0),
      m_nMoveDirection(-1),
      m_nCellCount(0),
      m_bMoving(false),
      m_ownDraw(m_random),
      m_pDraw(&m_ownDraw)
{
    SceneLua::bindRoomClass(this, "CaveMaze", luaMethods());
}

void CaveMaze::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    m_bShown = true;
    DefinitionNumbers numbers(this);
    m_nRows = numbers.at(1);
    m_nColumns = numbers.at(2);
    if (m_nRows < 0 || m_nColumns < 0 || m_nRows > kMaxSide || m_nColumns > kMaxSide) {
        window::debugLine(getName().c_str(), ": a grid of ", m_nRows, " x ", m_nColumns, " screens is taken as none\n");
        m_nRows = 0;
        m_nColumns = 0;
    }
    m_nStartScreen = numbers.at(3);
    m_nGemDoorScreen = numbers.at(4);
    for (int p = 0; p < PUZZLES; ++p)
        m_puzzleScreens[p] = numbers.at(5 + p);
    m_nCellCount = m_nRows * m_nColumns;
    m_cells.assign(size_t(m_nCellCount), Cell());
    for (int s = 0; s < m_nCellCount; ++s)
        m_cells[size_t(s)].value = numbers.at(9 + s);
    m_nCurrentScreen = m_nStartScreen;
    chooseTunnels();
}

void CaveMaze::setRandomDraw(RandomDraw* draw)
{
    m_pDraw = draw ? draw : &m_ownDraw;
    chooseTunnels();
}

void CaveMaze::chooseTunnels()
{
    for (Cell& c : m_cells) {
        c.north = c.south = c.west = c.east = nullptr;
        if (c.value & WAY_NORTH)
            c.north = getSprite(m_pDraw->nextInt(1) == 1 ? "Tunnel_N_1" : "Tunnel_N_2");
        if (c.value & WAY_WEST)
            c.west = getSprite("Tunnel_W");
        if (c.value & WAY_EAST)
            c.east = getSprite("Tunnel_E");
    }
}

int CaveMaze::getPuzzleIndex() const
{
    for (int p = 0; p < PUZZLES; ++p) {
        if (m_puzzleScreens[p] == m_nCurrentScreen)
            return p;
    }
    // Off the puzzle screens the answer is 1, as the inlay expects.
    return 1;
}

namespace {

void showNamed(sprite::DialogSprite* room, const char* name, bool visible)
{
    if (sprite::SpriteBase* s = SceneRoom::find(room, name))
        s->setVisible(visible);
}

template <size_t N>
void showAll(sprite::DialogSprite* room, const char* const (&names)[N], bool visible)
{
    for (const char* name : names)
        showNamed(room, name, visible);
}

void showPicture(sprite::SpriteBase* picture, bool visible)
{
    if (picture)
        picture->setVisible(visible);
}

} // namespace

void CaveMaze::setupScreen(int s)
{
    if (!isScreen(s)) {
        window::debugLine(getName().c_str(), ": there is no screen ", s, "\n");
        return;
    }
    m_nCurrentScreen = s;
    callScriptInt(kScriptTable, "onScreenSetup", s);

    // The things of this screen shown, those of the others hidden.
    const std::string items = "Item_" + std::to_string(s) + "_";
    const std::string path = "PathRoom_" + std::to_string(s);
    for (int i = 0; i < getChildCount(); ++i) {
        sprite::SpriteBase* child = childAt(i);
        if (!child)
            continue;
        const lang::String& name = child->getName();
        if (name.startsWith(items.c_str()))
            child->setVisible(true);
        else if (name.startsWith("Item_") || name.startsWith("Prototype_"))
            child->setVisible(false);
        else if (name.startsWith("PathRoom_"))
            child->setVisible(name.equals(path.c_str()));
        child->release();
    }

    const bool gemDoor = s == m_nGemDoorScreen;
    const bool opened = gemDoor && ScriptValues::getBool("LF_openedGemDoor");
    for (int g = 1; g <= GEMS; ++g) {
        const std::string gem = "Gem_" + std::to_string(g);
        const bool placed = gemDoor && !opened && ScriptValues::getInt("LF_isGemPlacedInDoor", g) == 1;
        showNamed(this, gem.c_str(), placed);
    }

    sprite::AnimateSprite* puzzleDoor = SceneRoom::findAnimation(this, "PuzzleDoor");
    if (puzzleDoor)
        puzzleDoor->setVisible(false);
    for (int p = 1; p <= PUZZLES; ++p) {
        const std::string number = std::to_string(p);
        sprite::SpriteBase* inlayGem = SceneRoom::find(this, ("InlayGem_" + number).c_str());
        if (inlayGem)
            inlayGem->setVisible(false);
        if (s != m_puzzleScreens[p - 1])
            continue;
        if (puzzleDoor)
            puzzleDoor->setVisible(true);
        if (ScriptValues::getBool(("LF_solvedCaveMazePuzzle_" + number).c_str())) {
            if (puzzleDoor)
                puzzleDoor->setFrame(1);
            if (!ScriptValues::getBool(("LF_gemTakenFromInlay_" + number).c_str()) && inlayGem) {
                inlayGem->setVisible(true);
                inlayGem->setScale(kInlayGemScale, kInlayGemScale);
            }
        } else if (puzzleDoor) {
            puzzleDoor->setFrame(0);
        }
    }

    showAll(this, kTunnels, false);
    for (const char* door : kDoors) {
        if (sprite::ButtonMixin* button = SceneRoom::findButton(this, door))
            button->setState(sprite::ButtonMixin::DISABLED);
    }
    // The ways of the cell: a tunnel with its torches and its door, or (south)
    // the door alone.
    auto open = [this](int direction) {
        if (sprite::ButtonMixin* button = SceneRoom::findButton(this, kDoors[direction]))
            button->setEnabled(true);
    };
    const Cell& c = m_cells[size_t(s)];
    const bool north = (c.value & WAY_NORTH) && c.north;
    const bool west = (c.value & WAY_WEST) && c.west;
    const bool east = (c.value & WAY_EAST) && c.east;
    const struct {
        bool way;
        sprite::SpriteBase* tunnel;
        int direction;
    } tunnels[] = {{north, c.north, NORTH}, {west, c.west, WEST}, {east, c.east, EAST}};
    for (const auto& t : tunnels) {
        if (!t.way)
            continue;
        showPicture(t.tunnel, true);
        open(t.direction);
    }
    showAll(this, kNorthTorches, north);
    if (c.value & WAY_SOUTH)
        open(SOUTH);
    showAll(this, kWestTorches, west);
    showAll(this, kEastTorches, east);

    // The golden door stands in the gem door screen's north tunnel.
    if (gemDoor)
        showPicture(c.north, false);
    showAll(this, kGoldDoor, gemDoor);

    if (LanternfieldCanvas* canvas = SceneRoom::canvas())
        canvas->loopSound(SOUND_CAVE_LOOP);
}

bool CaveMaze::isOnOpenDoor(int direction, int x, int y)
{
    sprite::SpriteBase* door = getSprite(kDoors[direction]);
    sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(door);
    return button && button->isEnabled() && door->hittest(x, y);
}

int CaveMaze::doorUnder(int x, int y)
{
    for (int direction : kTryOrder) {
        if (isOnOpenDoor(direction, x, y))
            return direction;
    }
    return -1;
}

int CaveMaze::mouseDown(window::Event* e)
{
    if (m_nState == STATE_LEAVING)
        return COMMAND_READY;
    int result = Room::mouseDown(e);
    if (!isVisible())
        return result;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    m_nMoveDirection = doorUnder(x, y);
    // The start screen's south passage leads out of the maze, not to a screen.
    if (m_nMoveDirection == SOUTH && m_nCurrentScreen == m_nStartScreen)
        m_nMoveDirection = -1;
    if (m_nMoveDirection < 0)
        return result;
    if (m_nMoveDirection == NORTH && m_nCurrentScreen == m_nGemDoorScreen) {
        // The golden door is in the way.
        m_nMoveDirection = -1;
        return NOT_HANDLED;
    }
    blocksRoomChange();
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setCursor(kMazeCursorNormal, false);
    return result;
}

bool CaveMaze::blocksRoomChange()
{
    if (m_nMoveDirection < 0)
        return false;
    // One move at a time: a room change asked for during a move waits.
    if (m_bMoving)
        return true;
    showAll(this, kDrips, false);
    if (m_nMoveDirection == NORTH && m_nCurrentScreen == m_nGemDoorScreen) {
        m_nMoveDirection = -1;
        return false;
    }
    const int row = (m_nColumns > 0 ? m_nCurrentScreen / m_nColumns : 0) + m_rowStep[m_nMoveDirection];
    const int column = (m_nColumns > 0 ? m_nCurrentScreen % m_nColumns : 0) + m_colStep[m_nMoveDirection];
    if (row < 0 || row >= m_nRows || column < 0 || column >= m_nColumns) {
        // A way off the grid goes nowhere; no move is left asked for.
        m_nMoveDirection = -1;
        return true;
    }
    const int target = row * m_nColumns + column;
    fadeDim(0, DIM_ALPHA);
    schedule(FADE_DONE_FRAMES, kFadeDone + std::to_string(target));
    setState(STATE_LEAVING);
    m_bMoving = true;
    SceneRoom::playSound(SOUND_MOVE);
    return true;
}

void CaveMaze::handleAction(lang::Object* sender, lang::String* command)
{
    if (command && command->startsWith(kFadeDone)) {
        const int target = std::atoi(command->c_str() + sizeof kFadeDone - 1);
        schedule(READY_FRAMES, kReady + std::to_string(target));
        return;
    }
    if (command && command->startsWith(kReady)) {
        setupScreen(std::atoi(command->c_str() + sizeof kReady - 1));
        fadeDim(DIM_ALPHA, 0);
        schedule(FADE_IN_FRAMES, kFadeInDone);
    } else if (command && command->startsWith(kFadeInDone)) {
        setState(STATE_PLAYING);
        m_bMoving = false;
        m_nMoveDirection = -1;
    }
    Room::handleAction(sender, command);
}

void CaveMaze::schedule(int delay, const std::string& command)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c)
        return;
    lang::String text(command.c_str());
    c->scheduleAction(delay, &text, 0, nullptr, this);
}

void CaveMaze::fadeDim(int from, int to)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    sprite::SpriteBase* dim = c ? c->getSprite("DimFull") : nullptr;
    if (!dim)
        return;
    dim->setAlphaBalance(from);
    dim->setVisible(true);
    dim->setAlphaDestination(to, DIM_FRAMES, to == 0 ? 1 : 0);
}

bool CaveMaze::mouseMove(window::Event* e)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (m_nState == STATE_LEAVING) {
        if (c)
            c->setCursor(kMazeCursorNormal, true);
        return true;
    }
    Inventory* inventory = c ? c->getInventory() : nullptr;
    const bool itemUnder =
        c && (c->hasItemOnCursor() || (inventory && (inventory->isHoveringItem() || inventory->hitTestItems(e->x, e->y))));
    if (c && !itemUnder) {
        int x = e->x;
        int y = e->y;
        toLocal(x, y);
        const int direction = doorUnder(x, y);
        sprite::SpriteBase* puzzleDoor = getSprite("PuzzleDoor");
        if (direction >= 0) {
            const bool way = direction != SOUTH || m_nCurrentScreen != m_nStartScreen;
            c->setCursor(way ? kCursorByDirection[direction] : kMazeCursorNormal, true);
        } else if (puzzleDoor && puzzleDoor->isVisible() && puzzleDoor->hittest(x, y)) {
            for (int p = 1; p <= PUZZLES; ++p) {
                if (m_puzzleScreens[p - 1] != m_nCurrentScreen)
                    continue;
                const bool taken = ScriptValues::getBool(("LF_gemTakenFromInlay_" + std::to_string(p)).c_str());
                c->setCursor(taken ? kMazeCursorNormal : kMazeCursorHand, true);
            }
        } else if (c->getCurrentCursor() != kMazeCursorNormal) {
            c->setCursor(kMazeCursorNormal, false);
        }
    }
    return Room::mouseMove(e);
}

void CaveMaze::onEnter()
{
    Room::onEnter();
    // A move of an earlier visit is over.
    m_bMoving = false;
    m_nMoveDirection = -1;
    const int screen = ScriptValues::getInt("LF_getCaveMazeCurrentScreen");
    if (isScreen(screen)) {
        setupScreen(screen);
    } else {
        window::debugLine(getName().c_str(), ": the scripts' screen ", screen, " is no screen; the start screen is shown\n");
        setupScreen(m_nStartScreen);
    }
}

void CaveMaze::onExit()
{
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setCursor(kMazeCursorNormal, false);
    Room::onExit();
}

void CaveMaze::goToRoom(int index)
{
    Room::goToRoom(index);
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setCursor(kMazeCursorNormal, false);
}
