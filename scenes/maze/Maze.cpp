// Maze.cpp: the hedge maze room: its board, the token's moves, the fog
// under the flashlight and the room's input.
#include "scenes/maze/Maze.h"

#include "core/lang/System.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/RandomDraw.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/mazegen/MazeGenerator.h"
#include "sprites/base/BoundsSprite.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <algorithm>
#include <cstdlib>
#include <string>

HV_DEFINE_METACLASS(Maze);

const char Maze::kScriptTable[] = "Maze";

namespace {

const char* const kFogFrameNames[4] = {"MazeFogPrototype_1", "MazeFogPrototype_2", "MazeFogPrototype_3",
                                       "MazeFogPrototype_4"};
const char* const kBorderNames[8] = {"MazeWall_N",     "MazeWall_S",     "MazeWall_W",     "MazeWall_E",
                                     "MazeCorner_NW", "MazeCorner_NE", "MazeCorner_SW", "MazeCorner_SE"};

std::string hedgeName(int walls)
{
    return "MazeHedge_" + std::to_string(walls);
}

// The grid as the debug tools take it: its size, start, end and walls.
MazeGenerator::Grid toolGrid(const MazeGrid& grid)
{
    MazeGenerator::Grid out;
    out.rows = grid.rows;
    out.columns = grid.columns;
    out.start = grid.startCell;
    out.end = grid.endCell;
    for (const MazeGrid::Cell& cell : grid.cells)
        out.walls.push_back(cell.walls);
    return out;
}

} // namespace

Maze::Maze()
    : m_bBuilt(false),
      m_nTravelerX(0),
      m_nTravelerY(0),
      m_nLastUncovered(0),
      m_bDragging(false),
      m_bFlashlightOn(false),
      m_bSolved(false),
      m_bClimbing(false),
      m_nGrabX(0),
      m_nGrabY(0),
      m_pFlashlight(nullptr),
      m_fogFrames{}
{
}

Maze::~Maze()
{
    releaseCells();
    releaseFog();
    if (m_pFlashlight)
        m_pFlashlight->release();
    for (sprite::SpriteBase*& frame : m_fogFrames) {
        if (frame)
            frame->release();
        frame = nullptr;
    }
}

void Maze::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    m_bShown = true;
    m_bBuilt = false;
    std::string error;
    if (!m_grid.load(getDefinitionInts(), error)) {
        window::debugLine("Maze: ", error.c_str(), "; the maze is left empty\n");
        return;
    }
    sprite::SpriteBase* hedge = SceneRoom::find(this, hedgeName(0).c_str());
    sprite::SpriteBase* flashlight = SceneRoom::find(this, "FlashlightPrototype");
    if (!hedge || !flashlight || !SceneRoom::find(this, "traveler") || !SceneRoom::find(this, "travelerPulsing") ||
        !SceneRoom::find(this, "MazeFogTilePrototype"))
        return;
    m_grid.setCellSize(hedge->width(), hedge->height());
    if (m_pFlashlight)
        m_pFlashlight->release();
    m_pFlashlight = flashlight->clone();
    for (int i = 0; i < 4; ++i) {
        if (m_fogFrames[i])
            m_fogFrames[i]->release();
        m_fogFrames[i] = nullptr;
        if (sprite::SpriteBase* prototype = SceneRoom::find(this, kFogFrameNames[i])) {
            m_fogFrames[i] = prototype->clone();
            prototype->setVisible(false);
        }
    }
    m_bBuilt = true;
}

void Maze::layoutBoard()
{
    if (!m_bBuilt)
        return;
    m_bSolved = false;
    m_bClimbing = false;
    sprite::SpriteBase* traveler = getSprite("traveler");
    const int startRow = m_grid.cellRow(m_grid.startCell);
    const int startColumn = m_grid.cellColumn(m_grid.startCell);
    m_nTravelerX = m_grid.cellX(startColumn) + (m_grid.cellWidth - traveler->width()) / 2;
    m_nTravelerY = m_grid.cellY(startRow) + (m_grid.cellHeight - traveler->height()) / 2;
    updateTravelBounds(startRow, startColumn);
    m_nLastUncovered = 0;
    m_bDragging = false;
    m_bFlashlightOn = true;
    centerFlashlight(m_nTravelerX + traveler->width() / 2, m_nTravelerY + traveler->height() / 2);
    buildHedges();

    const int gridWidth = m_grid.gridWidth();
    const int gridHeight = m_grid.gridHeight();
    const int left = m_grid.left;
    const int top = m_grid.top;
    auto sizeOf = [this](const char* name, bool width) {
        sprite::SpriteBase* s = getSprite(name);
        return s ? (width ? s->width() : s->height()) : 0;
    };
    placeBorder("MazeWall_N", gridWidth, sizeOf("MazeWall_N", false), left, top - sizeOf("MazeWall_N", false));
    placeBorder("MazeWall_S", gridWidth, sizeOf("MazeWall_S", false), left, m_grid.bottom());
    placeBorder("MazeWall_W", sizeOf("MazeWall_W", true), gridHeight, left - sizeOf("MazeWall_W", true), top);
    placeBorder("MazeWall_E", sizeOf("MazeWall_E", true), gridHeight, m_grid.right(), top);
    placeBorder("MazeCorner_NW", -1, -1, left - sizeOf("MazeCorner_NW", true), top - sizeOf("MazeCorner_NW", false));
    placeBorder("MazeCorner_NE", -1, -1, m_grid.right(), top - sizeOf("MazeCorner_NE", false));
    placeBorder("MazeCorner_SW", -1, -1, left - sizeOf("MazeCorner_SW", true), m_grid.bottom());
    placeBorder("MazeCorner_SE", -1, -1, m_grid.right(), m_grid.bottom());

    buildFog();
    if (auto* pulsing = SceneRoom::findAnimation(this, "travelerPulsing"))
        pulsing->playAnimation(0, -1, -1, 1, false, 1);
    bringToFront(traveler);
    bringToFront(getSprite("travelerPulsing"));
    placeTraveler();
}

void Maze::buildHedges()
{
    removeHedges();
    for (int i = 0; i < m_grid.cellCount(); ++i) {
        Cell& cell = m_grid.cells[size_t(i)];
        cell.fogged = i == m_grid.startCell || i == m_grid.endCell ? 0 : 1;
        sprite::SpriteBase* prototype = SceneRoom::find(this, hedgeName(cell.walls).c_str());
        if (!prototype)
            continue;
        sprite::SpriteBase* hedge = prototype->clone();
        hedge->setPosition(m_grid.cellX(m_grid.cellColumn(i)), m_grid.cellY(m_grid.cellRow(i)));
        addChild(("Hedge_" + std::to_string(i)).c_str(), hedge);
        m_hedges.push_back(hedge);
        hedge->release();
    }
    sprite::SpriteBase* north = SceneRoom::find(this, "MazeGate_N");
    sprite::SpriteBase* south = SceneRoom::find(this, "MazeGate_S");
    for (sprite::SpriteBase* gate : {north, south}) {
        if (gate)
            gate->setVisible(false);
    }
    for (const char* name : kBorderNames) {
        if (sprite::SpriteBase* s = getSprite(name))
            bringToFront(s);
    }
    const int startX = m_grid.cellX(m_grid.cellColumn(m_grid.startCell));
    const int endX = m_grid.cellX(m_grid.cellColumn(m_grid.endCell));
    const int lastRow = m_grid.rows - 1;
    if (north && m_grid.cellRow(m_grid.startCell) == 0) {
        north->setVisible(true);
        placeOnTop("MazeGate_N", startX, m_grid.top);
    }
    if (north && m_grid.cellRow(m_grid.endCell) == 0) {
        north->setVisible(true);
        placeOnTop("MazeGate_N", endX, m_grid.top - north->height());
    }
    if (south && m_grid.cellRow(m_grid.startCell) == lastRow) {
        south->setVisible(true);
        placeOnTop("MazeGate_S", startX, m_grid.bottom());
    }
    if (south && m_grid.cellRow(m_grid.endCell) == lastRow) {
        south->setVisible(true);
        placeOnTop("MazeGate_S", endX, m_grid.bottom());
    }
}

void Maze::buildFog()
{
    releaseFog();
    sprite::SpriteBase* prototype = SceneRoom::find(this, "MazeFogTilePrototype");
    if (!prototype)
        return;
    for (int row = 0; row < m_grid.rows; ++row) {
        for (int column = 0; column < m_grid.columns; ++column) {
            sprite::SpriteBase* tile = prototype->clone();
            tile->setColorBalance(FOG_ALPHA, FOG_TINT, FOG_TINT, FOG_TINT);
            tile->setPosition(m_grid.cellX(column) - 1, m_grid.cellY(row) - 1);
            m_fogTiles.push_back(tile);
        }
    }
}

void Maze::generate()
{
    MazeGenerator::Grid grid = toolGrid(m_grid);
    RandomDraw draw(getRandom());
    // A grid the generator refuses is reported there and stays as it was.
    if (!MazeGenerator::generate(grid, draw))
        return;
    releaseCells();
    m_grid.cells.resize(size_t(grid.cellCount()));
    for (size_t i = 0; i < m_grid.cells.size(); ++i) {
        m_grid.cells[i].walls = grid.walls[i];
        // The generator reaches every cell; the next layout sets the fog.
        m_grid.cells[i].visited = 1;
    }
}

void Maze::writeGridDump()
{
    // A file that cannot be written is reported on the debugger output by
    // the writer; a debug key must not stop the game, so the room goes on.
    std::string error;
    MazeGenerator::writeGridDump(toolGrid(m_grid), MazeGenerator::kDumpFile, error);
}

void Maze::placeOnTop(const char* name, int x, int y)
{
    if (sprite::SpriteBase* s = getSprite(name)) {
        s->setPosition(x, y);
        bringToFront(s);
    }
}

void Maze::placeBorder(const char* name, int width, int height, int x, int y)
{
    sprite::SpriteBase* s = SceneRoom::find(this, name);
    if (!s)
        return;
    // Only a sized sprite takes the grid's length; a picture keeps its own.
    if (width >= 0 && s->isInstanceOf("BoundsSprite"))
        static_cast<sprite::BoundsSprite*>(s)->setSize(width, height);
    s->setPosition(x, y);
}

void Maze::updateTravelBounds(int row, int column)
{
    sprite::SpriteBase* traveler = getSprite("traveler");
    const int w = traveler ? traveler->width() : 0;
    const int h = traveler ? traveler->height() : 0;
    m_bounds = m_grid.travelBounds(row, column, m_nTravelerX, m_nTravelerY, w, h);
}

bool Maze::uncoverHere()
{
    const int here = m_grid.cellIndex(m_grid.rowAt(m_nTravelerY), m_grid.columnAt(m_nTravelerX));
    m_grid.cells[size_t(here)].fogged = 0;
    m_nLastUncovered = here;
    return here == m_grid.endCell;
}

void Maze::moveTraveler(int x, int y)
{
    if (!m_bBuilt || m_bSolved || m_bClimbing)
        return;
    sprite::SpriteBase* traveler = getSprite("traveler");
    const int w = traveler ? traveler->width() : 0;
    const int h = traveler ? traveler->height() : 0;
    const int targetX = x - m_nGrabX;
    const int targetY = y - m_nGrabY;
    // Step by step toward where the pointer holds the token, each step kept
    // inside the corridor of the cell it starts from (inside the bounds'
    // open interval), so that the token slides along a hedge it meets. A
    // coordinate with no room in its interval stays where it is.
    auto inside = [](int v, int now, int low, int high) {
        return low + 1 > high - 1 ? now : std::max(low + 1, std::min(high - 1, v));
    };
    const int limit = (std::abs(targetX - m_nTravelerX) + std::abs(targetY - m_nTravelerY)) / FOLLOW_STEP + 2;
    for (int i = 0; i < limit && !uncoverHere(); ++i) {
        const int dx = std::max(-FOLLOW_STEP, std::min(FOLLOW_STEP, targetX - m_nTravelerX));
        const int dy = std::max(-FOLLOW_STEP, std::min(FOLLOW_STEP, targetY - m_nTravelerY));
        if (dx == 0 && dy == 0)
            break;
        updateTravelBounds(m_grid.rowAt(m_nTravelerY), m_grid.columnAt(m_nTravelerX));
        const int nx = dx ? inside(m_nTravelerX + dx, m_nTravelerX, m_bounds.minX, m_bounds.maxX) : m_nTravelerX;
        const int ny = dy ? inside(m_nTravelerY + dy, m_nTravelerY, m_bounds.minY, m_bounds.maxY) : m_nTravelerY;
        if (nx == m_nTravelerX && ny == m_nTravelerY)
            break;
        m_nTravelerX = nx;
        m_nTravelerY = ny;
    }
    if (uncoverHere()) {
        // In the end cell the token leaves the pointer and climbs out.
        m_bClimbing = true;
        m_bDragging = false;
    }
    centerFlashlight(m_nTravelerX + w / 2, m_nTravelerY + h / 2);
}

void Maze::climb()
{
    sprite::SpriteBase* traveler = getSprite("traveler");
    sprite::SpriteBase* pulsing = getSprite("travelerPulsing");
    sprite::SpriteBase* winning = getSprite("WinningRect");
    if (!traveler || !pulsing || !winning)
        return;
    // The pulsing ring stands PULSE_OFFSET above the token (placeTraveler).
    if (m_nTravelerY - PULSE_OFFSET - top() <= winning->top() + WIN_MARGIN) {
        m_bClimbing = false;
        m_bSolved = true;
        callScript(kScriptTable, "solvedMaze");
        if (LanternfieldCanvas* c = SceneRoom::canvas())
            c->disableGameInsQuestionMark();
        return;
    }
    // Up through the gate, drawn toward the middle of the end cell.
    const int middle = m_grid.cellX(m_grid.cellColumn(m_grid.endCell)) + (m_grid.cellWidth - traveler->width()) / 2;
    m_nTravelerX += std::max(-CLIMB_STEP, std::min(CLIMB_STEP, middle - m_nTravelerX));
    m_nTravelerY -= CLIMB_STEP;
    centerFlashlight(m_nTravelerX + traveler->width() / 2, m_nTravelerY + traveler->height() / 2);
}

void Maze::centerFlashlight(int x, int y)
{
    if (m_bFlashlightOn && m_pFlashlight)
        m_pFlashlight->setPosition(x - m_pFlashlight->width() / 2, y - m_pFlashlight->height() / 2);
}

void Maze::removeHedges()
{
    for (sprite::SpriteBase* hedge : m_hedges)
        removeChild(hedge);
    m_hedges.clear();
}

void Maze::releaseFog()
{
    for (sprite::SpriteBase* tile : m_fogTiles)
        tile->release();
    m_fogTiles.clear();
}

void Maze::releaseCells()
{
    removeHedges();
    m_grid.cells.clear();
}

void Maze::placeTraveler()
{
    sprite::SpriteBase* traveler = getSprite("traveler");
    sprite::SpriteBase* pulsing = getSprite("travelerPulsing");
    const int x = m_nTravelerX - left();
    const int y = m_nTravelerY - top();
    if (traveler)
        traveler->setPosition(x, y);
    if (pulsing)
        pulsing->setPosition(x - PULSE_OFFSET, y - PULSE_OFFSET);
}

bool Maze::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c || c->isGameInstructionsShowing() || c->getGameState() != LanternfieldCanvas::STATE_PLAYING)
        return false;
    if (m_bBuilt && m_bClimbing)
        climb();
    if (m_bBuilt)
        placeTraveler();
    return Room::tick(frame, boundsOut, region);
}

void Maze::draw(window::Graphics* g)
{
    Room::draw(g);
    if (!isShowing() || !m_pFlashlight || !m_bFlashlightOn || !m_bBuilt)
        return;
    window::Graphics* fog = g->create();
    if (fog) {
        // The fog covers every fogged cell except where the flashlight's
        // shape, written into the mask, lies over it.
        fog->clipRect(m_grid.left, m_grid.top, m_grid.gridWidth(), m_grid.gridHeight() + 2);
        fog->beginMask();
        fog->setMaskInvert(false);
        fog->setMaskMode(true);
        m_pFlashlight->draw(fog);
        fog->setMaskMode(false);
        for (size_t i = 0; i < m_fogTiles.size() && i < m_grid.cells.size(); ++i) {
            if (m_grid.cells[i].fogged)
                m_fogTiles[i]->draw(fog);
        }
        fog->endMask();
        fog->dispose();
        fog->release();
    }
    for (sprite::SpriteBase* frame : m_fogFrames) {
        if (frame)
            frame->draw(g);
    }
    if (sprite::SpriteBase* close = getSprite(SceneRoom::kCloseButton))
        close->draw(g);
}

bool Maze::isOnTraveler(int x, int y)
{
    toLocal(x, y);
    for (const char* name : {"traveler", "travelerPulsing"}) {
        sprite::SpriteBase* s = getSprite(name);
        if (s && s->hittest(x, y))
            return true;
    }
    return false;
}

int Maze::mouseDown(window::Event* e)
{
    if (SceneInstructions::openOnQuestionMark(this, INSTRUCTIONS_GAME, e->x, e->y))
        return COMMAND_READY;
    const int result = Room::mouseDown(e);
    if (getLastCommand().equals(SceneRoom::kCloseButton)) {
        callScript(kScriptTable, "onExit");
        if (LanternfieldCanvas* c = SceneRoom::canvas()) {
            c->disableGameInsQuestionMark();
            c->changeRoom(HEDGE_MAZE_FRONT);
        }
        return COMMAND_READY;
    }
    m_press.press(e);
    if (!m_bDragging && m_bBuilt && isOnTraveler(e->x, e->y)) {
        m_bDragging = true;
        m_nGrabX = e->x - m_nTravelerX;
        m_nGrabY = e->y - m_nTravelerY;
        SceneRoom::playSound(SOUND_PICK_UP);
        return COMMAND_READY;
    }
    m_bDragging = false;
    return result;
}

int Maze::mouseUp(window::Event* e)
{
    // Only the token's drag answers a release; a click keeps it held.
    const bool moved =
        std::abs(e->x - m_press.pressX()) > CLICK_SLACK || std::abs(e->y - m_press.pressY()) > CLICK_SLACK;
    if (m_bDragging && (moved || m_press.isLongHold(e->when))) {
        m_bDragging = false;
        return COMMAND_READY;
    }
    return NOT_HANDLED;
}

bool Maze::mouseMove(window::Event* e)
{
    if (m_bSolved || !m_bBuilt)
        return false;
    if (m_bDragging)
        moveTraveler(e->x, e->y);
    return m_bDragging || isOnTraveler(e->x, e->y);
}

void Maze::onEnter()
{
    Room::onEnter();
    layoutBoard();
    SceneInstructions::enterPuzzle(this, INSTRUCTIONS_GAME, INSTRUCTIONS_DELAY);
    if (sprite::ButtonMixin* winning = SceneRoom::findButton(this, "WinningRect"))
        winning->setState(sprite::ButtonMixin::DISABLED);
}

void Maze::onExit()
{
    Room::onExit();
    SceneInstructions::leavePuzzle(this, INSTRUCTIONS_GAME);
    removeHedges();
    releaseFog();
}

void Maze::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = INSTRUCTIONS_GAME;
    x = getX();
    y = getY();
}

void Maze::keyPressed(int key)
{
    if (!lang::System::isDebugMode())
        return;
    switch (key) {
    case 'f':
    case 'F':
        m_bFlashlightOn = !m_bFlashlightOn;
        break;
    case 'w':
    case 'W':
        writeGridDump();
        break;
    case 'g':
    case 'G':
        generate();
        layoutBoard();
        break;
    default:
        break;
    }
}
