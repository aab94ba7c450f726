// PipesCU.cpp: the pipes close-up: its pieces, turns, glows, the win
// sequence and the grow and shrink over the fountain room.
#include "scenes/pipes/PipesCU.h"

#include "core/lang/IntArray.h"
#include "core/util/Point.h"
#include "core/util/RectangleNM.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "game/rooms/Room.h"
#include "scenes/common/CloseUpMotion.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/images/ScalerSprite.h"
#include "windowing/graphics/ColorWin32.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <string>

HV_DEFINE_METACLASS(PipesCU);

const char* const PipesCU::kCommands[6] = {"PipeRotateComplete",  "PipeSparkleDone",     "PipeColorChangeDone",
                                           "PipePuzzleShrink",    "PipePuzzleGrowFirst", "PipePuzzleGrow"};

namespace {

// The repaired pieces' tint.
const int kFixedRed = 188;
const int kFixedGreen = 242;
const int kFixedBlue = 255;

std::string numbered(const char* prefix, int n)
{
    return prefix + std::to_string(n);
}

// Turns the sprite to the angle (the rotation only turns by steps).
void turnTo(sprite::SpriteBase* sprite, double angle)
{
    sprite->rotateBy(angle - sprite->getRotation());
}

} // namespace

PipesCU::PipesCU()
    : sprite::DialogSprite(false),
      m_bBuilt(false),
      m_nOriginX(0),
      m_nOriginY(0),
      m_nCentreX(-1),
      m_nCentreY(-1),
      m_bSolved(false),
      m_pHost(nullptr)
{
}

// The pieces, glows and end glows are children: the dialog releases them.
PipesCU::~PipesCU() = default;

sprite::ScalerSprite* PipesCU::pieceSprite(int cell) const
{
    return cell >= 0 && cell < int(m_pieces.size()) ? m_pieces[size_t(cell)].sprite : nullptr;
}

sprite::SpriteBase* PipesCU::glowSprite(int cell) const
{
    return cell >= 0 && cell < int(m_pieces.size()) ? m_pieces[size_t(cell)].glow : nullptr;
}

void PipesCU::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    m_bShown = true;
    lang::IntArray* numbers = definition ? definition->getNumbers() : nullptr;
    std::string error = "no numbers";
    if (!numbers || !m_board.load(*numbers, error)) {
        window::debugLine("PipesCU: ", error.c_str(), "; the board is left empty\n");
        return;
    }
    // Every template the board's kinds name must be a scaling sprite, and
    // every glow an animation, before anything is built.
    for (const PipesBoard::Cell& c : m_board.cells) {
        sprite::SpriteBase* t = SceneRoom::find(this, numbered("Pipe_", c.kind).c_str());
        sprite::SpriteBase* g = SceneRoom::find(this, numbered("Glow_", m_board.kinds[size_t(c.kind)].glow).c_str());
        if (!t || !t->isInstanceOf("ScalerSprite") || !g || !g->isInstanceOf("AnimateSprite")) {
            window::debugLine("PipesCU: the pieces of kind ", std::to_string(c.kind).c_str(),
                              " need a scaling template and an animated glow; the board is left empty\n");
            return;
        }
    }
    sprite::SpriteBase* endGlow = SceneRoom::find(this, numbered("Glow_", END_GLOW).c_str());
    if (!endGlow || !endGlow->isInstanceOf("ScalerSprite"))
        return;
    for (int k = 0; k < PipesBoard::KIND_COUNT; ++k) {
        if (sprite::SpriteBase* t = getSprite(numbered("Pipe_", k).c_str()))
            t->setVisible(false);
    }
    if (sprite::SpriteBase* sparkle = SceneRoom::find(this, "PipeSparkle"))
        sparkle->setVisible(false);
    m_pieces.assign(m_board.cells.size(), Piece());
    for (int i = 0; i < m_board.cellCount(); ++i)
        placePiece(i, m_board.cells[size_t(i)].kind, m_board.cells[size_t(i)].startAngle);
    const int ends[2] = {m_board.startCell, m_board.endCell};
    for (int e = 0; e < 2; ++e) {
        auto* glow = static_cast<sprite::ScalerSprite*>(endGlow->clone());
        turnTo(glow, 90.0);
        const int column = m_board.columnOf(ends[e]);
        const int y = PIECE_ORIGIN + PIECE_STEP * m_board.rowOf(ends[e]);
        // The start glow stands left of the board, the end glow right of it.
        glow->setPosition(e == 0 ? PIECE_STEP * column - 22 : PIECE_STEP * column + 148, y);
        addChild(numbered("PipeEndGlow_", e).c_str(), glow);
        m_endGlows.push_back(glow);
        glow->release();
    }
    if (sprite::SpriteBase* highlight = SceneRoom::find(this, "PipeHighLight"))
        bringToFront(highlight);
    m_bBuilt = true;
}

void PipesCU::placePiece(int cell, int kind, double angle)
{
    sprite::SpriteBase* t = getSprite(numbered("Pipe_", kind).c_str());
    auto* piece = static_cast<sprite::ScalerSprite*>(t->clone());
    piece->setPosition(PIECE_ORIGIN + PIECE_STEP * m_board.columnOf(cell),
                       PIECE_ORIGIN + PIECE_STEP * m_board.rowOf(cell));
    turnTo(piece, angle);
    piece->setVisible(true);
    addChild(numbered("PipePiece_", cell).c_str(), piece);
    m_pieces[size_t(cell)].sprite = piece;
    piece->release();
}

void PipesCU::resetPipes()
{
    if (!m_bBuilt)
        return;
    for (int i = 0; i < m_board.cellCount(); ++i) {
        PipesBoard::Cell& c = m_board.cells[size_t(i)];
        Piece& p = m_pieces[size_t(i)];
        removeChild(p.sprite);
        c.reached = false;
        c.turning = false;
        c.angle = c.startAngle;
        if (p.glow)
            p.glow->setVisible(false);
        placePiece(i, c.kind, c.startAngle);
    }
    m_bSolved = false;
}

void PipesCU::readAngles()
{
    for (int i = 0; i < m_board.cellCount(); ++i)
        m_board.cells[size_t(i)].angle = int(m_pieces[size_t(i)].sprite->getRotation());
}

void PipesCU::updateFlow()
{
    if (!m_bBuilt)
        return;
    readAngles();
    m_board.updateFlow();
    showFlowGlows();
}

void PipesCU::showFlowGlows()
{
    int sync = 0;
    for (int i = 0; i < m_board.cellCount(); ++i) {
        const PipesBoard::Cell& c = m_board.cells[size_t(i)];
        Piece& p = m_pieces[size_t(i)];
        if (!c.reached) {
            if (p.glow)
                p.glow->setVisible(false);
            continue;
        }
        if (!p.glow) {
            sprite::SpriteBase* t = getSprite(numbered("Glow_", m_board.kinds[size_t(c.kind)].glow).c_str());
            p.glow = t->clone();
            addChild(numbered("PipeGlow_", i).c_str(), p.glow);
            p.glow->release();
        }
        auto* glow = static_cast<sprite::AnimateSprite*>(p.glow);
        // Every glow pulses in step with the first cell's.
        if (i == 0)
            sync = glow->getFrame();
        glow->setPosition(PIECE_ORIGIN + PIECE_STEP * m_board.columnOf(i),
                          PIECE_ORIGIN + PIECE_STEP * m_board.rowOf(i));
        turnTo(glow, p.sprite->getRotation());
        glow->playAnimation(0, -1, -1, 1, false, 1);
        glow->setPingPong(true);
        glow->setFrame(sync);
        glow->setVisible(true);
    }
    for (size_t e = 0; e < m_endGlows.size(); ++e) {
        sprite::ScalerSprite* glow = m_endGlows[e];
        glow->playAnimation(0, -1, -1, 1, false, 1);
        glow->setPingPong(true);
        glow->setFrame(sync);
        if (e == 1) {
            // Only the glow's first 20 pixels show beside the end cell.
            util::RectangleNM* b = glow->getBounds();
            util::RectangleNM clip(b->x, b->y, 20, glow->height());
            glow->setClipRect(&clip);
        }
        glow->setVisible(true);
    }
}

int PipesCU::pieceAt(int x, int y)
{
    x -= left();
    y -= HIT_TOP;
    for (int i = 0; i < m_board.cellCount(); ++i) {
        sprite::ScalerSprite* s = m_pieces[size_t(i)].sprite;
        if (!m_board.isEnd(i) && s && !s->isAnimating() && s->hittest(x, y))
            return i;
    }
    return -1;
}

bool PipesCU::updateHighlight(int x, int y)
{
    if (!m_bBuilt)
        return false;
    const int cell = pieceAt(x, y);
    if (cell < 0)
        return false;
    if (sprite::SpriteBase* highlight = getSprite("PipeHighLight")) {
        sprite::ScalerSprite* s = m_pieces[size_t(cell)].sprite;
        highlight->setVisible(true);
        highlight->setPosition(s->left() - s->width() / 2, s->top() - s->height() / 2);
    }
    return true;
}

bool PipesCU::canAcceptInput()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    return !isTransitioning() && !(c && c->isGameInstructionsShowing()) && !m_bSolved;
}

int PipesCU::mouseDown(window::Event* e)
{
    if (!canAcceptInput())
        return 0;
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (c && c->isOverGameInsQuestionMark(e->x, e->y)) {
        c->showGameInstructions(getX(), getY(), INSTRUCTIONS_GAME, true, true, 8, 50, 50, 0.1f, 1.0f);
        return COMMAND_READY;
    }
    const int result = sprite::DialogSprite::mouseDown(e);
    if (getLastCommand().equals(SceneRoom::kCloseButton)) {
        shrinkOut();
    } else if (m_bBuilt) {
        const int cell = pieceAt(e->x, e->y);
        if (cell >= 0)
            startTurn(cell);
    }
    return result;
}

bool PipesCU::mouseMove(window::Event* e)
{
    if (!canAcceptInput())
        return false;
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (updateHighlight(e->x, e->y)) {
        if (c)
            c->setSpecialCursor(CURSOR_SPIN, false, -1);
        return false;
    }
    if (c)
        c->dropSpecialCursor();
    if (sprite::SpriteBase* highlight = getSprite("PipeHighLight"))
        highlight->setVisible(false);
    if (c)
        c->setCursor(CURSOR_NORMAL, false);
    return sprite::DialogSprite::mouseMove(e);
}

void PipesCU::startTurn(int cell)
{
    sprite::ScalerSprite* piece = m_pieces[size_t(cell)].sprite;
    const int from = int(piece->getRotation());
    // 270 turns on to 360 (not 0), so the turn always runs clockwise.
    int to = from + 90;
    if (to > 360)
        to -= 360;
    m_board.cells[size_t(cell)].turning = true;
    updateFlow();
    SceneRoom::playSound(SOUND_TURN);
    piece->startScaling(100, 100, TURN_TICKS, false, 128, 128, true, from, to);
    CloseUpMotion::setCommand(piece, this, kCommands[ROTATE_COMPLETE]);
}

bool PipesCU::isSolved()
{
    if (!m_bBuilt)
        return false;
    for (Piece& p : m_pieces) {
        if (p.sprite->getRotation() >= 360.0)
            turnTo(p.sprite, 0.0);
    }
    readAngles();
    if (!m_board.piecesInPlace())
        return false;
    m_bSolved = true;
    return true;
}

void PipesCU::rotateComplete()
{
    if (isSolved()) {
        startWinSparkles();
        return;
    }
    const int turned = m_board.takeTurningPiece();
    updateFlow();
    if (LanternfieldCanvas* c = SceneRoom::canvas()) {
        const util::Point at = c->getMousePosition();
        updateHighlight(at.x, at.y);
    }
    for (Piece& p : m_pieces) {
        if (p.sprite->getRotation() >= 360.0)
            p.sprite->rotateBy(-360.0);
    }
    if (turned >= 0 && m_board.cells[size_t(turned)].reached)
        SceneRoom::playSound(SOUND_REACHED);
}

void PipesCU::startWinSparkles()
{
    sprite::SpriteBase* sparkle = getSprite("PipeSparkle");
    if (sparkle)
        sparkle->setVisible(false);
    m_board.takeTurningPiece();
    updateFlow();
    swapReachedPieces();
    if (!sparkle) {
        // Without sparkles the colour change follows at once.
        colourReachedPipes();
        return;
    }
    const int w = sparkle->width() / 2;
    const int h = sparkle->height() / 2;
    const int xs[2] = {55 - w, 86 * m_board.width - w + 75};
    const int ys[2] = {55 - h, 86 * m_board.height - h + 68};
    // Four sparkles start at the corners (top-left, top-right, bottom-right,
    // bottom-left) and run right, down, left and up along the board's edges.
    int i = 0, j = 0;
    for (int k = 0; k < 4; ++k) {
        sprite::SpriteBase* s = sparkle->clone();
        int x = xs[i], y = ys[j];
        s->setPosition(x, y);
        turnTo(s, 90.0 * k);
        if (k % 2 == 0) {
            x += k == 0 ? SPARKLE_RUN : -SPARKLE_RUN;
            i = 1 - i;
        } else {
            y += k == 1 ? SPARKLE_RUN : -SPARKLE_RUN;
            j = 1 - j;
        }
        s->setDestination(x, y, SPARKLE_TICKS);
        if (s->isInstanceOf("AnimateSprite"))
            static_cast<sprite::AnimateSprite*>(s)->playAnimation(0, -1, 0, 1, false, 1);
        s->setVisible(true);
        if (k == 3)
            CloseUpMotion::setCommand(s, this, kCommands[SPARKLE_DONE]);
        addChild(numbered("PipeSparkle_", k).c_str(), s);
        s->release();
    }
    SceneRoom::playSound(SOUND_SPARKLES);
}

void PipesCU::swapReachedPieces()
{
    for (int i = 0; i < m_board.cellCount(); ++i) {
        const PipesBoard::Cell& c = m_board.cells[size_t(i)];
        // The even kinds show the broken look; the kind before is repaired.
        if (!c.reached || c.kind == 0 || c.kind % 2 != 0)
            continue;
        sprite::ScalerSprite* old = m_pieces[size_t(i)].sprite;
        sprite::SpriteBase* t = getSprite(numbered("Pipe_", c.kind - 1).c_str());
        if (!t || !t->isInstanceOf("ScalerSprite"))
            continue;
        auto* fixed = static_cast<sprite::ScalerSprite*>(t->clone());
        fixed->setPosition(old->left(), old->top());
        turnTo(fixed, old->getRotation());
        fixed->setVisible(true);
        removeChild(old);
        addChild(numbered("PipePiece_", i).c_str(), fixed);
        m_pieces[size_t(i)].sprite = fixed;
        fixed->release();
    }
}

void PipesCU::colourReachedPipes()
{
    sprite::SpriteBase* last = nullptr;
    for (int i = 0; i < m_board.cellCount(); ++i) {
        if (!m_board.cells[size_t(i)].reached)
            continue;
        sprite::ScalerSprite* s = m_pieces[size_t(i)].sprite;
        ColorWin32 fixed(kFixedRed, kFixedGreen, kFixedBlue, 255);
        s->setColorBalanceDestination(&fixed, COLOUR_STEPS, false);
        SceneRoom::playSound(SOUND_COLOUR);
        s->setAction(nullptr, nullptr);
        last = s;
    }
    // A board whose water reaches no piece has no colour change to wait for:
    // the sequence ends at once rather than stalling.
    if (last)
        CloseUpMotion::setCommand(last, this, kCommands[COLOUR_CHANGE_DONE]);
    else
        colourChangeDone();
}

void PipesCU::colourChangeDone()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (Room* room = c ? c->getCurrentRoom() : nullptr) {
        room->onEnter();
        room->callScript("FountainCU", "setFountainFixedPipes");
    }
    shrinkOut();
}

sprite::SpriteBase* PipesCU::dimOverlay()
{
    Room* room = Room::roomAt(FOUNTAIN_ROOM);
    return room ? room->getSprite("DimOverlay") : nullptr;
}

void PipesCU::grow()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    setVisible(true);
    if (sprite::SpriteBase* highlight = getSprite("PipeHighLight"))
        highlight->setVisible(false);
    SceneRoom::playSound(SOUND_GROW);
    m_nCentreX = CENTRE_X;
    m_nCentreY = CENTRE_Y;
    const char* action = kCommands[PUZZLE_GROW];
    if (c) {
        c->setPuzzleActive(true);
        if (c->getShowGameInstructions(INSTRUCTIONS_GAME)) {
            c->showGameInstructions(CENTRE_X, CENTRE_Y, INSTRUCTIONS_GAME, true, true, GROW_FRAMES, m_nOriginX,
                                    m_nOriginY, 0.1f, 1.0f);
            action = kCommands[PUZZLE_GROW_FIRST];
        }
    }
    CloseUpMotion::grow(this, m_nOriginX, m_nOriginY, CENTRE_X, CENTRE_Y, action);
    if (isSolved())
        setAlphaDestination(0, GROW_FRAMES, false);
    CloseUpMotion::fadeDim(dimOverlay(), true);
    if (c)
        c->setGameInstructionsInfo(INSTRUCTIONS_GAME, CENTRE_X, CENTRE_Y);
}

void PipesCU::closeNow()
{
    sprite::DialogSprite::closeNow();
    CloseUpMotion::releaseHost(dimOverlay(), Room::roomAt(FOUNTAIN_ROOM));
}

void PipesCU::shrinkOut()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    m_board.clearReached();
    if (c) {
        c->setPuzzleActive(false);
        if (Inventory* bar = c->getInventory())
            bar->setVisible(false);
    }
    if (Room* fountain = Room::roomAt(FOUNTAIN_ROOM))
        fountain->resumeIfPaused();
    if (c)
        c->dropSpecialCursor();
    CloseUpMotion::shrink(this, m_nCentreX, m_nCentreY, m_nOriginX, m_nOriginY, kCommands[PUZZLE_SHRINK]);
    CloseUpMotion::fadeDim(dimOverlay(), false);
    if (c) {
        c->setGameInstructionsInfo(-1, 0, 0);
        c->showGameInstructions(CENTRE_X, CENTRE_Y, INSTRUCTIONS_GAME, false, false, GROW_FRAMES, m_nOriginX,
                                m_nOriginY, 0.1f, 1.0f);
    }
}

void PipesCU::puzzleShrink()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    setVisible(false);
    if (sprite::SpriteBase* dim = dimOverlay())
        dim->setVisible(false);
    if (c) {
        c->showGameInstructions(CENTRE_X, CENTRE_Y, INSTRUCTIONS_GAME, false, false, GROW_FRAMES, m_nOriginX,
                                m_nOriginY, 0.1f, 1.0f);
        c->setChapterBackgroundMusic(1);
    }
    if (!m_pHost)
        return;
    if (sprite::SpriteBase* close = m_pHost->getSprite(SceneRoom::kCloseButton))
        close->setVisible(true);
    if (isSolved()) {
        // The host hears of the repair as an animation's end would tell it.
        lang::String* text = new lang::String("PipesFixedBling");
        auto* bling = new window::Event(this, HOST_EVENT_ID, text);
        text->release();
        m_pHost->handleEvent(bling);
        bling->release();
    }
}

bool PipesCU::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    const int match = CommandMatch::matchPrefix(*command, kCommands);
    // The sparkle that ends the run sends its command when its animation
    // ends and again when its move ends: the win sequence goes on once.
    if ((match == SPARKLE_DONE || match == COLOUR_CHANGE_DONE) && e->target &&
        e->target->isInstanceOf("SpriteBase"))
        static_cast<sprite::SpriteBase*>(e->target)->setAction(nullptr, nullptr);
    if (match >= 0)
        handleCommand(match);
    return false;
}

void PipesCU::handleCommand(int command)
{
    switch (command) {
    case ROTATE_COMPLETE:
        rotateComplete();
        break;
    case SPARKLE_DONE:
        colourReachedPipes();
        break;
    case COLOUR_CHANGE_DONE:
        colourChangeDone();
        break;
    case PUZZLE_SHRINK:
        puzzleShrink();
        break;
    case PUZZLE_GROW_FIRST:
    case PUZZLE_GROW:
        updateFlow();
        if (LanternfieldCanvas* c = SceneRoom::canvas()) {
            c->setBackgroundMusic("+sMusicPuzzle");
            if (command == PUZZLE_GROW)
                c->showGameInsQuestionMark();
        }
        break;
    default:
        break;
    }
}
