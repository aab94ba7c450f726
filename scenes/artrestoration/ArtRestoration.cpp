// ArtRestoration.cpp: the painting restoration's board, its swaps, the glow
// of a restored painting and the ways back to the gallery.
#include "scenes/artrestoration/ArtRestoration.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/artrestoration/ArtPiece.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/DefinitionNumber.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/ScalerSprite.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/Event.h"

#include <string>
#include <utility>

HV_DEFINE_METACLASS(ArtRestoration);

const char ArtRestoration::kScriptTable[] = "ArtRestoration";

namespace {

// The instructions open by themselves this many frames after entering.
constexpr int kInstructionsDelay = 36;
// The exit zoom to the gallery lasts 36 frames.
constexpr int kZoomFrames = 36;
// The thumbnail of the active painting: at (200, 400), turned to 345
// degrees, shrinking from 75 % to 25 % as it fades in to alpha 128, over
// 15 frames.
constexpr int kThumbX = 200;
constexpr int kThumbY = 400;
constexpr double kThumbRotation = 345.0;
constexpr int kThumbFrom = 75;
constexpr int kThumbTo = 25;
constexpr int kThumbFrames = 15;
constexpr int kThumbAlpha = 128;
// A colour balance byte that leaves a picture as drawn, and a full one.
constexpr int kAsDrawn = 128;
constexpr int kFull = 255;
// The shuffle: five rounds of swaps, then tiles left at home swapped away.
constexpr int kShuffleRounds = 5;
// A draw that keeps giving the tile itself (only a scripted draw can) gives
// up after so many tries.
constexpr int kMaxRedraws = 64;
const char kCloseButton[] = "ArtRestorationClose";

// The exit zooms by painting, dirty then clean: mask, position and scales.
struct Zoom {
    const char* mask;
    int x;
    int y;
    float from;
    float to;
};
const Zoom kZooms[ArtRestoration::PAINTING_COUNT][2] = {
    {{"+iGalleryTransDirty_1", -114, -56, 4.0f, 0.32f}, {"+iGalleryTransClean_1", -102, -36, 4.0f, 0.32f}},
    {{"+iGalleryTransDirty_2", 188, 76, 4.0f, 0.25f}, {"+iGalleryTransClean_2", 168, -57, 4.0f, 0.29f}},
    {{"+iGalleryTransDirty_3", 401, -96, 6.0f, 0.32f}, {"+iGalleryTransClean_3", 381, -86, 4.0f, 0.28f}},
};

enum Command { SWAP_DONE, GLOW_PART_TWO_DONE, START_NEXT_PAINTING };
const char* const kCommands[] = {"SwapDone", "GlowPartTwoDone", "StartNextPainting"};

int luaInteger(const char* function)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host)
        return 0;
    host->callLuaFunctionWithResult(function);
    return host->popLuaInteger();
}

int luaInteger(const char* function, int n)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host)
        return 0;
    host->callLuaFunctionIntResult(function, n);
    return host->popLuaInteger();
}

void setCommand(sprite::SpriteBase* s, window::Receiver* receiver, const char* command)
{
    auto* text = new lang::String(command);
    s->setAction(receiver, text);
    text->release();
}

void fadeColour(sprite::SpriteBase* s, int level, window::Receiver* receiver, const char* command)
{
    ColorWin32 target(level, level, level, kFull);
    setCommand(s, receiver, command);
    s->setColorBalanceDestination(&target, ArtRestoration::GLOW_FRAMES, 0);
}

} // namespace

ArtRestoration::ArtRestoration()
    : m_bWon(false),
      m_bInitialised(false),
      m_bLeaving(false),
      m_bClean(false),
      m_pThumbnail(nullptr),
      m_pSwapA(nullptr),
      m_pSwapB(nullptr),
      m_pPressed(nullptr),
      m_nActive(0),
      m_ownDraw(m_random),
      m_pDraw(&m_ownDraw)
{
    for (int p = 0; p < PAINTING_COUNT; ++p) {
        m_orderValues[p] = 0;
        m_paintings[p] = nullptr;
        m_hoverFrames[p] = nullptr;
        m_selectedFrames[p] = nullptr;
        m_columns[p] = DEFAULT_COLUMNS;
        m_rows[p] = DEFAULT_ROWS;
    }
}

ArtRestoration::~ArtRestoration()
{
    clearTiles();
    for (ArtPiece* swapping : {m_pSwapA, m_pSwapB}) {
        if (swapping)
            swapping->release();
    }
    for (int p = 0; p < PAINTING_COUNT; ++p) {
        if (m_hoverFrames[p])
            m_hoverFrames[p]->release();
        if (m_selectedFrames[p])
            m_selectedFrames[p]->release();
    }
    if (m_pThumbnail)
        m_pThumbnail->release();
}

void ArtRestoration::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    for (int o = 0; o < PAINTING_COUNT; ++o) {
        // A grid needs a cell at least: a missing or smaller number gives 1.
        m_columns[o] = std::max(1, DefinitionNumber::at(m_definitionInts, 1 + 2 * o));
        m_rows[o] = std::max(1, DefinitionNumber::at(m_definitionInts, 2 + 2 * o));
        m_paintings[o] = SceneRoom::find(this, ("Painting" + std::to_string(o + 1)).c_str());
    }
    m_bShown = true;
}

bool ArtRestoration::isRestored(int p) const
{
    for (const ArtPiece* piece : m_tiles[p]) {
        if (!piece->isHome())
            return false;
    }
    return true;
}

bool ArtRestoration::inputAllowed()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    return !isTransitioning() && !(c && c->isGameInstructionsShowing()) && !m_bWon;
}

void ArtRestoration::grid(int& columns, int& rows)
{
    const int order = getOrderValue(m_nActive);
    const int o = order >= 1 && order <= PAINTING_COUNT ? order - 1 : 0;
    columns = m_columns[o];
    rows = m_rows[o];
}

void ArtRestoration::cellPosition(int slot, int& x, int& y)
{
    x = 0;
    y = 0;
    sprite::SpriteBase* picture = painting(m_nActive);
    if (!picture)
        return;
    int columns = 1;
    int rows = 1;
    grid(columns, rows);
    x = picture->left() + slot % columns * (picture->width() / columns);
    y = picture->top() + slot / columns * (picture->height() / rows);
}

void ArtRestoration::showFrameAt(int kind, int x, int y, bool shown)
{
    sprite::SpriteBase** frames = kind == FRAME_KIND_HOVER ? m_hoverFrames : m_selectedFrames;
    for (int p = 0; p < PAINTING_COUNT; ++p) {
        sprite::SpriteBase* frame = frames[p];
        if (!frame)
            continue;
        const bool active = p == m_nActive;
        frame->setVisible(active && shown);
        if (!active)
            continue;
        frame->setPosition(x - ArtPiece::FRAME_MARGIN, y - ArtPiece::FRAME_MARGIN);
        if (frame->isInstanceOf("AnimateSprite"))
            static_cast<sprite::AnimateSprite*>(frame)->setFrame(kind == FRAME_KIND_HOVER ? ArtPiece::FRAME_HOVER
                                                                                          : ArtPiece::FRAME_SELECTED);
    }
}

void ArtRestoration::paint(window::Graphics* g)
{
    for (sprite::SpriteBase* frame : {m_hoverFrames[m_nActive], m_selectedFrames[m_nActive]}) {
        if (frame)
            frame->setVisible(false);
    }
    Room::paint(g);
}

void ArtRestoration::makeFrames(int p)
{
    const std::string name = "ArtSelection" + std::to_string(getOrderValue(p));
    sprite::SpriteBase* model = SceneRoom::find(this, name.c_str());
    for (sprite::SpriteBase** frame : {&m_hoverFrames[p], &m_selectedFrames[p]}) {
        if (*frame) {
            removeChild(*frame);
            (*frame)->release();
            *frame = nullptr;
        }
        if (!model)
            continue;
        *frame = model->clone();
        (*frame)->setVisible(false);
        bringToFront(*frame);
    }
    showFrameAt(FRAME_KIND_HOVER, 0, 0, false);
    showFrameAt(FRAME_KIND_SELECTED, 0, 0, false);
}

bool ArtRestoration::buildBoard(int p)
{
    int seen = luaInteger("LF_getNumJigsawPaintingsSeen");
    if (seen < PAINTING_COUNT && luaInteger("LF_getJigsawPaintingOrder", p + 1) == 0) {
        ++seen;
        if (ScriptHost* host = ScriptHost::instance)
            host->callLuaFunctionIntInt("LF_setJigsawPaintingOrder", p + 1, seen);
    }
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunction("LF_setNumJigsawPaintingsSeen", seen);
    const int order = luaInteger("LF_getJigsawPaintingOrder", p + 1);
    if (order < 1 || order > PAINTING_COUNT) {
        // The scripts number at most three paintings: no board without one.
        OutputDebugStringA("ArtRestoration: no order value for the painting\n");
        return false;
    }
    m_orderValues[p] = order;
    m_tiles[p].clear();
    auto* picture = painting(p) && painting(p)->isInstanceOf("ImageSprite")
                        ? static_cast<sprite::ImageSprite*>(painting(p))
                        : nullptr;
    const int columns = m_columns[order - 1];
    const int rows = m_rows[order - 1];
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            auto* piece = new ArtPiece(picture ? picture->getImage() : nullptr, columns, rows, p);
            piece->setup(r * columns + c, r * columns + c, this);
            piece->setVisible(false);
            m_tiles[p].push_back(piece);
            bringToFront(piece);
        }
    }
    return true;
}

void ArtRestoration::shuffle(int p)
{
    std::vector<ArtPiece*>& list = m_tiles[p];
    const int n = int(list.size());
    std::vector<int> slots(size_t(n), 0);
    for (int i = 0; i < n; ++i)
        slots[size_t(i)] = list[size_t(i)]->getSlot();
    for (int round = 0; round < kShuffleRounds; ++round)
        RandomDraw::shuffle(*m_pDraw, slots.data(), n);
    for (int i = 0; i < n; ++i)
        list[size_t(i)]->setSlot(slots[size_t(i)]);
    // With one tile there is nothing to swap it with.
    if (n < 2)
        return;
    for (int i = 0; i < n; ++i) {
        if (!list[size_t(i)]->isHome())
            continue;
        int j = i;
        for (int tries = 0; j == i && tries < kMaxRedraws; ++tries)
            j = m_pDraw->nextInt(n - 1);
        if (j == i || j < 0 || j >= n)
            continue;
        const int slot = list[size_t(i)]->getSlot();
        list[size_t(i)]->setSlot(list[size_t(j)]->getSlot());
        list[size_t(j)]->setSlot(slot);
    }
}

void ArtRestoration::updateVisibility(ArtPiece* piece)
{
    piece->setVisible(piece->getPainting() == m_nActive && !m_bClean);
}

void ArtRestoration::restack()
{
    for (int home = 1; home >= 0; --home) {
        for (ArtPiece* piece : m_tiles[m_nActive]) {
            if (piece->isHome() == (home == 1))
                bringToFront(piece);
        }
    }
    for (sprite::SpriteBase* frame : {m_selectedFrames[m_nActive], m_hoverFrames[m_nActive]}) {
        if (frame)
            bringToFront(frame);
    }
}

void ArtRestoration::makeThumbnail()
{
    if (m_pThumbnail) {
        removeChild(m_pThumbnail);
        m_pThumbnail->release();
        m_pThumbnail = nullptr;
    }
    auto* picture = painting(m_nActive) && painting(m_nActive)->isInstanceOf("ImageSprite")
                        ? static_cast<sprite::ImageSprite*>(painting(m_nActive))
                        : nullptr;
    m_pThumbnail = new sprite::ScalerSprite();
    if (picture && picture->getImage())
        m_pThumbnail->setImage(picture->getImage());
    m_pThumbnail->setPosition(kThumbX, kThumbY);
    m_pThumbnail->rotateBy(kThumbRotation);
    m_pThumbnail->setVisible(true);
    m_pThumbnail->startScaling(kThumbFrom, kThumbTo, kThumbFrames, false, 0, 0, false, 0.0, 0.0);
    m_pThumbnail->setColorBalance(0, kAsDrawn, kAsDrawn, kAsDrawn);
    m_pThumbnail->setAlphaDestination(kThumbAlpha, kThumbFrames, 0);
    callArtRestorationAnimateThumbnail(m_pThumbnail);
    bringToFront(m_pThumbnail);
    if (sprite::SpriteBase* frame = SceneRoom::find(this, "PaintingFrame"))
        bringToFront(frame);
}

void ArtRestoration::onEnter()
{
    Room::onEnter();
    setVisible(true);
    SceneInstructions::enterPuzzle(this, INSTRUCTIONS_GAME, kInstructionsDelay);
    if (!m_bInitialised) {
        m_bInitialised = true;
        m_bWon = false;
    }
    const int active = luaInteger("LF_getActivePainting") - 1;
    if (active >= 0 && active < PAINTING_COUNT)
        m_nActive = active;
    else
        OutputDebugStringA("ArtRestoration: no such painting, the board stays\n");
    for (int p = 0; p < PAINTING_COUNT; ++p) {
        if (m_paintings[p])
            m_paintings[p]->setVisible(p == m_nActive);
    }
    if (m_tiles[m_nActive].empty() && buildBoard(m_nActive)) {
        shuffle(m_nActive);
        makeFrames(m_nActive);
    }
    m_bClean = isRestored(m_nActive);
    for (const std::vector<ArtPiece*>& list : m_tiles) {
        for (ArtPiece* piece : list)
            updateVisibility(piece);
    }
    restack();
    for (int kind : {FRAME_KIND_HOVER, FRAME_KIND_SELECTED})
        showFrameAt(kind, 0, 0, false);
    makeThumbnail();
    for (sprite::SpriteBase* picture : m_paintings) {
        if (picture)
            picture->setVisible(false);
    }
    if (sprite::ButtonMixin* close = SceneRoom::findButton(this, kCloseButton))
        close->setEnabled(true);
}

void ArtRestoration::onExit()
{
    m_pPressed = nullptr;
    Room::onExit();
    setVisible(false);
    SceneInstructions::close(this, INSTRUCTIONS_GAME);
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setPuzzleActive(false);
}

void ArtRestoration::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = INSTRUCTIONS_GAME;
    x = left();
    y = top();
}

void ArtRestoration::resetProgress()
{
    m_bWon = false;
    m_bInitialised = false;
    m_bLeaving = false;
    m_bClean = false;
    m_nActive = 0;
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunction("LF_setNumJigsawPaintingsSeen", 0);
}

void ArtRestoration::clearTiles()
{
    m_pPressed = nullptr;
    for (std::vector<ArtPiece*>& list : m_tiles) {
        for (ArtPiece* piece : list) {
            removeChild(piece);
            piece->release();
        }
        list.clear();
    }
}

bool ArtRestoration::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (!isVisible() || !inputAllowed())
        return false;
    return Room::tick(frame, boundsOut, region);
}

void ArtRestoration::hoverAt(int x, int y)
{
    const std::vector<ArtPiece*>& list = m_tiles[m_nActive];
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (!(*it)->isVisible())
            continue;
        (*it)->setHovered((*it)->hittest(x, y));
        // The hand over a tile a click can still move.
        (*it)->setMouseOverCursor((*it)->isHome() ? sprite::SpriteBase::CURSOR_NORMAL
                                                  : sprite::SpriteBase::CURSOR_HAND);
    }
}

bool ArtRestoration::mouseMove(window::Event* e)
{
    if (inputAllowed() && !m_pSwapA && !m_pSwapB) {
        int x = e->x;
        int y = e->y;
        toLocal(x, y);
        hoverAt(x, y);
    }
    return Room::mouseMove(e);
}

ArtPiece* ArtRestoration::movableTileAt(int x, int y)
{
    const std::vector<ArtPiece*>& list = m_tiles[m_nActive];
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if ((*it)->isVisible() && (*it)->hittest(x, y) && !(*it)->isHome())
            return *it;
    }
    return nullptr;
}

int ArtRestoration::mouseDown(window::Event* e)
{
    m_pPressed = nullptr;
    if (m_bLeaving)
        return Room::mouseDown(e);
    if (SceneInstructions::openOnQuestionMark(this, INSTRUCTIONS_GAME, e->x, e->y)) {
        setLastCommand(lang::String(""));
        return COMMAND_READY;
    }
    const int result = Room::mouseDown(e);
    if (getLastCommand().equals(kCloseButton)) {
        leaveToGallery();
        return COMMAND_READY;
    }
    if (!inputAllowed() || m_pSwapA || m_pSwapB)
        return result;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    if (ArtPiece* piece = movableTileAt(x, y)) {
        piece->click();
        judgeSelection();
        // Selected and no swap under way: it may be dragged onto another.
        if (piece->isSelected() && !m_pSwapA)
            m_pPressed = piece;
        return COMMAND_READY;
    }
    return result;
}

int ArtRestoration::mouseUp(window::Event* e)
{
    ArtPiece* pressed = m_pPressed;
    m_pPressed = nullptr;
    if (pressed && pressed->isSelected() && !m_bLeaving && inputAllowed() && !m_pSwapA && !m_pSwapB) {
        int x = e->x;
        int y = e->y;
        toLocal(x, y);
        ArtPiece* target = movableTileAt(x, y);
        if (target && target != pressed) {
            target->click();
            judgeSelection();
            return HANDLED;
        }
    }
    return Room::mouseUp(e);
}

void ArtRestoration::judgeSelection()
{
    ArtPiece* selected[2] = {nullptr, nullptr};
    int count = 0;
    for (ArtPiece* piece : m_tiles[m_nActive]) {
        if (piece->isVisible() && piece->isSelected()) {
            if (count < 2)
                selected[count] = piece;
            ++count;
        }
    }
    if (count == 1) {
        SceneRoom::playSound(SOUND_SELECTED);
        return;
    }
    if (count != 2)
        return;
    SceneRoom::playSound(SOUND_SWAP_A);
    SceneRoom::playSound(SOUND_SWAP_B);
    m_pSwapA = selected[0];
    m_pSwapB = selected[1];
    m_pSwapA->addRef();
    m_pSwapB->addRef();
    const int ax = m_pSwapA->left();
    const int ay = m_pSwapA->top();
    setCommand(m_pSwapB, this, kCommands[SWAP_DONE]);
    setCommand(m_pSwapA, this, "SwapDoneIgnore");
    m_pSwapA->setDestination(m_pSwapB->left(), m_pSwapB->top(), SWAP_FRAMES);
    m_pSwapB->setDestination(ax, ay, SWAP_FRAMES);
    OutputDebugStringA("ArtRestoration: Setting animating tile\n");
    bringToFront(m_pSwapB);
    bringToFront(m_pSwapA);
    m_pSwapB->deselect();
    m_pSwapA->deselect();
}

void ArtRestoration::swapDone()
{
    if (!m_pSwapA || !m_pSwapB)
        return;
    const int slot = m_pSwapA->getSlot();
    m_pSwapA->setSlot(m_pSwapB->getSlot());
    m_pSwapB->setSlot(slot);
    bool anyHome = false;
    for (ArtPiece** swapping : {&m_pSwapA, &m_pSwapB}) {
        ArtPiece* piece = *swapping;
        updateVisibility(piece);
        anyHome = anyHome || piece->isHome();
        piece->clearMarks();
        piece->setAction(nullptr, nullptr);
        *swapping = nullptr;
        piece->release();
        OutputDebugStringA("ArtRestoration: Clearing animating tile\n");
    }
    m_bClean = isRestored(m_nActive);
    if (m_bClean)
        return;
    if (anyHome)
        SceneRoom::playSound(SOUND_HOME);
    restack();
    if (LanternfieldCanvas* c = SceneRoom::canvas()) {
        const util::Point mouse = c->getMousePosition();
        int x = mouse.x;
        int y = mouse.y;
        toLocal(x, y);
        hoverAt(x, y);
    }
}

bool ArtRestoration::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    sprite::SpriteBase* picture = painting(m_nActive);
    switch (CommandMatch::matchPrefix(*command, kCommands)) {
    case SWAP_DONE:
        // The exact command: "SwapDoneIgnore" ends the other tile's move.
        if (!command->equals(kCommands[SWAP_DONE]))
            return false;
        swapDone();
        if (!m_bClean)
            return false;
        SceneRoom::playSound(SOUND_RESTORED);
        for (const std::vector<ArtPiece*>& list : m_tiles) {
            for (ArtPiece* piece : list)
                piece->setVisible(false);
        }
        if (picture) {
            picture->setVisible(true);
            fadeColour(picture, kFull, this, kCommands[GLOW_PART_TWO_DONE]);
        }
        m_bLeaving = true;
        return true;
    case GLOW_PART_TWO_DONE:
        if (picture)
            fadeColour(picture, kAsDrawn, this, kCommands[START_NEXT_PAINTING]);
        return true;
    case START_NEXT_PAINTING:
        if (picture)
            picture->setAction(nullptr, nullptr);
        startNextPainting();
        return !m_bWon;
    default:
        return false;
    }
}

void ArtRestoration::startNextPainting()
{
    callScriptInt(kScriptTable, "onFixedPainting", m_nActive + 1);
    ScriptHost* host = ScriptHost::instance;
    bool all = false;
    if (host) {
        host->callLuaFunctionWithResult("LF_fixedAllPaintings");
        all = host->popLuaBoolean();
    }
    if (!all) {
        leaveToGallery();
        return;
    }
    m_bWon = true;
    if (sprite::ButtonMixin* close = SceneRoom::findButton(this, kCloseButton))
        close->setState(0);
    if (host)
        host->callLuaFunctionNoArgs("LF_showTaskCompleted");
    if (LanternfieldCanvas* c = SceneRoom::canvas()) {
        auto* text = new lang::String("onWin");
        c->scheduleAction(WIN_DELAY, text, 0, nullptr, this);
        text->release();
    }
}

void ArtRestoration::handleAction(lang::Object* sender, lang::String* command)
{
    if (command && command->equals("onWin")) {
        callScript(kScriptTable, "onWin");
        leaveToGallery();
        return;
    }
    Room::handleAction(sender, command);
}

void ArtRestoration::leaveToGallery()
{
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->showSprite("GameInsQuestionMark", false);
    const Zoom& zoom = kZooms[m_nActive][m_bClean ? 1 : 0];
    zoomToRoom(GALLERY_ROOM, lang::String(zoom.mask), zoom.x, zoom.y, zoom.from, zoom.to, kZoomFrames, nullptr);
    m_bLeaving = false;
}
