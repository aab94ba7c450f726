// Inlay.cpp: the inlay puzzle room: its puzzles laid out from the numbers of
// its definition, pieces picked up and put down on the grid or back in the
// tray, the wrong drops, the solution and the gem.
#include "scenes/inlay/Inlay.h"

#include "core/lang/System.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/images/ImageSprite.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <lua.hpp>

HV_DEFINE_METACLASS(Inlay);

const char Inlay::kScriptTable[] = "Inlay";

namespace {

// Definition numbers: the grid's left and top; piece n's width in cells at
// 3 + n and its height at 32 + n; puzzle p's five piece numbers from
// 62 + 10 (p - 1), their targets five numbers on; puzzle 2's second set of
// pieces from 102 (targets from 107). 112 numbers hold them all.
constexpr int kGridLeftNumber = 2;
constexpr int kGridTopNumber = 3;
constexpr int kWidthBase = 3;
constexpr int kHeightBase = 32;
constexpr int kPuzzleBase = 62;
constexpr int kPuzzleStride = 10;
constexpr int kAlternativeBase = 102;
constexpr int kNumbersNeeded = 112;
// A piece may stick out of the grid by 21 pixels (half a cell) on any side;
// a placed piece stands 4 pixels inside its cell's corner; the collision
// tests look at the centre of every cell the piece covers.
constexpr int kOverhang = 21;
constexpr int kPlacedInset = 4;
constexpr int kCellCentre = 21;
// Unplaced grid pieces wait off screen at half alpha.
constexpr int kParked = -500;
constexpr int kHalfAlpha = 128;
// The pieces and the grid fade out over 24 frames once solved.
constexpr int kSolvedFadeFrames = 24;
// The close button zooms back into the cave maze through its door.
constexpr int kZoomX = 0;
constexpr int kZoomY = -56;
constexpr float kZoomFrom = 4.0f;
constexpr float kZoomTo = 0.32f;
constexpr int kZoomFrames = 36;

std::string numbered(const char* base, int n)
{
    return base + std::to_string(n);
}

} // namespace

Inlay::Inlay()
    : m_nGridLeft(0),
      m_nGridTop(0),
      m_nIncorrectCountdown(-1),
      m_nPuzzle(1),
      m_nHeld(-1),
      m_nTrayLeft(0),
      m_nTrayTop(0),
      m_bPlaying(false)
{
    SceneLua::bindRoomClass(this, "Inlay", luaMethods());
}

Inlay::~Inlay()
{
    clearPieces();
}

int Inlay::number(int i) const
{
    return i >= 0 && i < m_definitionInts.length() ? m_definitionInts[i] : 0;
}

void Inlay::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    if (m_definitionInts.length() < kNumbersNeeded)
        window::debugLine("Inlay: the definition holds ", m_definitionInts.length(), " of ", kNumbersNeeded,
                          " numbers\n");
    m_nGridLeft = number(kGridLeftNumber);
    m_nGridTop = number(kGridTopNumber);
    for (int n = 1; n <= PIECE_NUMBERS; ++n) {
        if (sprite::SpriteBase* tray = getSprite(numbered("TrayPiece_", n).c_str())) {
            tray->setVisible(false);
            tray->setMouseOverCursor(sprite::SpriteBase::CURSOR_HAND);
        }
        if (sprite::SpriteBase* piece = getSprite(numbered("Piece_", n).c_str()))
            piece->setMouseOverCursor(sprite::SpriteBase::CURSOR_HAND);
    }
    m_bShown = true;
}

void Inlay::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = INSTRUCTIONS_GAME;
    x = getX();
    y = getY();
}

bool Inlay::askScript(const char* base)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host || !host->getState())
        return false;
    host->callLuaFunctionWithResult(numbered(base, m_nPuzzle).c_str());
    return host->popLuaBoolean();
}

sprite::SpriteBase* Inlay::gem()
{
    // A puzzle without a gem of its own is played all the same.
    return getSprite(numbered("Gem_", m_nPuzzle < 1 ? 1 : m_nPuzzle).c_str());
}

int Inlay::caveMazePuzzleIndex()
{
    // The maze answers through its script method; a room without one
    // counts as standing on no puzzle screen.
    Room* maze = Room::roomAt(CAVE_MAZE_ROOM);
    ScriptHost* host = ScriptHost::instance;
    if (!maze || !host || !host->getState() || maze->getLuaRef() < 0)
        return 1;
    lua_State* L = host->getState();
    const int top = lua_gettop(L);
    int index = 1;
    host->pushObject(maze->getLuaRef());
    if (lua_istable(L, -1)) {
        lua_getfield(L, -1, "getPuzzleIndex");
        if (lua_isfunction(L, -1)) {
            lua_pushvalue(L, -2);
            if (host->pcallWithTraceback(1, 1) && lua_isnumber(L, -1))
                index = int(lua_tointeger(L, -1));
        }
    }
    lua_settop(L, top);
    return index >= 0 && index < PUZZLES ? index : 1;
}

void Inlay::onEnter()
{
    m_nPuzzle = caveMazePuzzleIndex() + 1;
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunction("LF_setCurrentInlayPuzzle", m_nPuzzle);
    Room::onEnter();
    // Leaving by the close button hid it: it is offered again.
    if (sprite::SpriteBase* close = SceneRoom::find(this, SceneRoom::kCloseButton))
        close->setVisible(true);
    SceneRoom::enableCloseButton(this);
    if (LanternfieldCanvas* canvas = SceneRoom::canvas())
        canvas->setPuzzleActive(true);
    if (!askScript("LF_solvedCaveMazePuzzle_")) {
        setupPuzzle();
        // As soon as the board is there: its pieces invite a drag at once,
        // and the rules must not open over a piece the player moves.
        SceneInstructions::queue(this, INSTRUCTIONS_GAME, SceneInstructions::ENTRY_DELAY);
    } else if (sprite::SpriteBase* shown = gem()) {
        // A solved puzzle's gem waits until it is taken, and then is gone.
        shown->setVisible(!askScript("LF_gemTakenFromInlay_"));
    }
}

void Inlay::onExit()
{
    Room::onExit();
    m_nHeld = -1;
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    if (canvas && canvas->isPuzzleActive())
        SceneInstructions::leavePuzzle(this, INSTRUCTIONS_GAME);
}

void Inlay::clearPieces()
{
    for (std::vector<PieceInfo>* list : {&m_pieces, &m_alternative}) {
        for (PieceInfo& piece : *list) {
            piece.grid->setPosition(kParked, kParked);
            piece.grid->setAlphaBalance(kHalfAlpha);
            piece.tray->setVisible(false);
        }
        list->clear();
    }
}

std::vector<Inlay::PieceInfo> Inlay::makePieces(int first)
{
    std::vector<PieceInfo> list;
    for (int k = 0; k < PIECES_PER_PUZZLE; ++k) {
        const int n = number(first + k);
        sprite::SpriteBase* grid = n >= 1 && n <= PIECE_NUMBERS ? SceneRoom::find(this, numbered("Piece_", n).c_str())
                                                                  : nullptr;
        sprite::SpriteBase* tray = grid ? SceneRoom::find(this, numbered("TrayPiece_", n).c_str()) : nullptr;
        // A piece outside 1 .. 29, or without both pictures, is left out.
        if (!tray || !grid->isInstanceOf("ImageSprite")) {
            window::debugLine("Inlay: puzzle ", m_nPuzzle, " leaves out piece ", n, "\n");
            continue;
        }
        grid->setVisible(false);
        tray->setVisible(true);
        PieceInfo piece;
        piece.grid = static_cast<sprite::ImageSprite*>(grid);
        piece.tray = tray;
        piece.target = number(first + PIECES_PER_PUZZLE + k);
        piece.width = number(kWidthBase + n);
        piece.height = number(kHeightBase + n);
        list.push_back(piece);
    }
    return list;
}

void Inlay::setupPuzzle()
{
    clearPieces();
    m_nIncorrectCountdown = -1;
    if (sprite::SpriteBase* incorrect = SceneRoom::find(this, "IncorrectAnswer"))
        incorrect->setVisible(false);
    SceneRoom::setAlpha(this, "grid", kHalfAlpha);
    m_nHeld = -1;
    if (sprite::SpriteBase* shown = gem())
        shown->setVisible(true);
    if (m_nPuzzle < 1 || m_nPuzzle > PUZZLES) {
        window::debugLine("Inlay: no puzzle ", m_nPuzzle, "\n");
        return;
    }
    m_pieces = makePieces(kPuzzleBase + kPuzzleStride * (m_nPuzzle - 1));
    if (m_nPuzzle == 2)
        m_alternative = makePieces(kAlternativeBase);
}

bool Inlay::isSolved() const
{
    auto allOnTarget = [](const std::vector<PieceInfo>& list) {
        for (const PieceInfo& piece : list) {
            if (piece.placed != piece.target)
                return false;
        }
        return true;
    };
    if (!m_pieces.empty() && allOnTarget(m_pieces))
        return true;
    return !m_alternative.empty() && allOnTarget(m_alternative);
}

bool Inlay::isOnGrid(int left, int top, int width, int height) const
{
    const int span = CELL * GRID_CELLS + kOverhang;
    return left >= m_nGridLeft - kOverhang && top >= m_nGridTop - kOverhang && left + width <= m_nGridLeft + span &&
           top + height <= m_nGridTop + span;
}

bool Inlay::collides(int x, int y)
{
    sprite::ImageSprite* heldGrid = m_pieces[m_nHeld].grid;
    if (!heldGrid->hittestImage(x, y, 1))
        return false;
    // The held piece's own record in the second set is no other piece.
    for (const std::vector<PieceInfo>* list : {&m_pieces, &m_alternative}) {
        for (const PieceInfo& piece : *list) {
            if (piece.grid != heldGrid && piece.grid->hittestImage(x, y, 1))
                return true;
        }
    }
    return false;
}

void Inlay::setPlaced(int cell)
{
    PieceInfo& held = m_pieces[m_nHeld];
    held.placed = cell;
    for (PieceInfo& other : m_alternative) {
        if (other.grid == held.grid)
            other.placed = cell;
    }
}

void Inlay::sendBackToTray()
{
    PieceInfo& held = m_pieces[m_nHeld];
    held.grid->setPosition(m_nTrayLeft, m_nTrayTop);
    held.grid->setVisible(false);
    setPlaced(-1);
    held.tray->setVisible(true);
}

void Inlay::fadeOutPieces()
{
    for (PieceInfo& piece : m_pieces) {
        piece.grid->setAlphaDestination(0, kSolvedFadeFrames, 0);
        piece.grid->setMouseOverCursor(sprite::SpriteBase::CURSOR_NORMAL);
    }
    if (sprite::SpriteBase* grid = SceneRoom::find(this, "grid"))
        grid->setAlphaDestination(0, kSolvedFadeFrames, 0);
}

void Inlay::handleClick(int x, int y)
{
    if (askScript("LF_solvedCaveMazePuzzle_") || !m_bPlaying)
        return;
    for (const char* door : {"doorRight", "doorLeft"}) {
        sprite::SpriteBase* s = getSprite(door);
        if (s && s->isAnimating())
            return;
    }
    toLocal(x, y);
    if (m_nHeld < 0) {
        for (int i = 0; i < int(m_pieces.size()); ++i) {
            PieceInfo& piece = m_pieces[i];
            const bool onGrid = piece.grid->isVisible() && piece.grid->hittestImage(x, y, 1);
            const bool inTray = piece.tray->isVisible() && piece.tray->isInstanceOf("ImageSprite") &&
                                static_cast<sprite::ImageSprite*>(piece.tray)->hittestImage(x, y, 1);
            if (!onGrid && !inTray)
                continue;
            m_nHeld = i;
            piece.grid->setVisible(true);
            piece.grid->setPosition(x - piece.grid->width() / 2, y - piece.grid->height() / 2);
            bringToFront(piece.grid);
            SceneRoom::playSound(SOUND_PICKED_UP);
            m_nTrayLeft = piece.tray->left();
            m_nTrayTop = piece.tray->top();
            piece.tray->setVisible(false);
            return;
        }
        return;
    }
    PieceInfo& held = m_pieces[m_nHeld];
    const util::RectangleNM bounds = *held.grid->getBounds();
    if (!isOnGrid(bounds.x, bounds.y, bounds.width, bounds.height)) {
        sendBackToTray();
        SceneRoom::playSound(SOUND_BACK_TO_TRAY);
        m_nHeld = -1;
        return;
    }
    const int column = (bounds.x - m_nGridLeft) / CELL;
    const int row = (bounds.y - m_nGridTop) / CELL;
    held.grid->setPosition(m_nGridLeft + CELL * column + kPlacedInset, m_nGridTop + CELL * row + kPlacedInset);
    bool collision = false;
    for (int i = 0; i < held.width; ++i) {
        for (int j = 0; j < held.height; ++j) {
            const int px = m_nGridLeft + CELL * column + kCellCentre + CELL * i;
            const int py = m_nGridTop + CELL * row + kCellCentre + CELL * j;
            OutputDebugStringA("-----------------------------\n");
            window::debugLine("COL = ", (px - m_nGridLeft) / CELL, "\n");
            window::debugLine("ROW = ", (py - m_nGridTop) / CELL, "\n");
            if (!collision && collides(px, py))
                collision = true;
        }
    }
    if (collision) {
        if (sprite::SpriteBase* incorrect = SceneRoom::find(this, "IncorrectAnswer"))
            incorrect->setVisible(true);
        m_nIncorrectCountdown = INCORRECT_FRAMES;
        sendBackToTray();
        SceneRoom::playSound(SOUND_BACK_TO_TRAY);
    } else {
        setPlaced(row * GRID_CELLS + column);
        SceneRoom::playSound(SOUND_PLACED);
    }
    m_nHeld = -1;
    if (isSolved()) {
        fadeOutPieces();
        callScriptInt(kScriptTable, "onWin", m_nPuzzle);
    }
}

bool Inlay::acceptsInput()
{
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    return !(canvas && canvas->isGameInstructionsShowing()) && m_bPlaying;
}

int Inlay::mouseDown(window::Event* e)
{
    if (!acceptsInput())
        return NOT_HANDLED;
    if (SceneInstructions::openOnQuestionMark(this, INSTRUCTIONS_GAME, e->x, e->y))
        return COMMAND_READY;
    if (SceneRoom::isCloseButtonHit(this, e->x, e->y)) {
        if (sprite::SpriteBase* close = getSprite(SceneRoom::kCloseButton))
            close->setVisible(false);
        zoomToRoom(CAVE_MAZE_ROOM, lang::String("+iCaveMazeDoorMask"), kZoomX, kZoomY, kZoomFrom, kZoomTo,
                   kZoomFrames, nullptr);
        callScript("CallBox", "onExit");
        return COMMAND_READY;
    }
    const int result = Room::mouseDown(e);
    handleClick(e->x, e->y);
    m_press.press(e);
    return result;
}

int Inlay::mouseUp(window::Event* e)
{
    if (!acceptsInput())
        return NOT_HANDLED;
    const int result = Room::mouseUp(e);
    if (m_nHeld >= 0 && m_press.isDrop(e)) {
        handleClick(e->x, e->y);
        m_press.press(e);
    }
    return result;
}

bool Inlay::mouseMove(window::Event* e)
{
    if (!acceptsInput())
        return false;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    bool gemHovered = false;
    if (m_nHeld >= 0) {
        sprite::ImageSprite* grid = m_pieces[m_nHeld].grid;
        grid->setPosition(x - grid->width() / 2, y - grid->height() / 2);
    } else if (!askScript("LF_gemTakenFromInlay_") && askScript("LF_solvedCaveMazePuzzle_")) {
        sprite::SpriteBase* shown = gem();
        gemHovered = shown && shown->isVisible() && shown->hittestOpaque(x, y);
    }
    return Room::mouseMove(e) || gemHovered;
}

bool Inlay::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    if (!canvas || canvas->isGameInstructionsShowing() || canvas->getGameState() != LanternfieldCanvas::STATE_PLAYING)
        return false;
    if (m_nIncorrectCountdown >= 0 && --m_nIncorrectCountdown <= 0) {
        if (sprite::SpriteBase* incorrect = getSprite("IncorrectAnswer"))
            incorrect->setVisible(false);
    }
    return Room::tick(frame, boundsOut, region);
}

void Inlay::keyPressed(int key)
{
    if (!lang::System::isDebugMode() || key < '1' || key > '4')
        return;
    m_nPuzzle = key - '0';
    setupPuzzle();
}
