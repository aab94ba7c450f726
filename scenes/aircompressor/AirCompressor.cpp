// AirCompressor.cpp: the air compressor's set-up, its fuse and wire stages,
// the diodes' drag and drop, the wires and the way back to the dive dock.
#include "scenes/aircompressor/AirCompressor.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/DefinitionNumber.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/window/Event.h"

#include <cstdlib>
#include <string>

HV_DEFINE_METACLASS(AirCompressor);

namespace {

// The fuses by number: green, blue, purple, yellow (their cursors 13 to 16).
const char* const kFuseColours[AirCompressor::FUSE_COUNT] = {"Green", "Blue", "Purple", "Yellow"};
// The ground fuses are tried in this order (blue, green, purple, yellow).
const int kGroundOrder[AirCompressor::FUSE_COUNT] = {1, 0, 2, 3};
// The dive dock is reached through the compressor's mask at (135, 47),
// shrinking from 4.0 to 0.3 over 36 frames.
constexpr int kZoomX = 135;
constexpr int kZoomY = 47;
constexpr float kZoomFrom = 4.0f;
constexpr float kZoomTo = 0.3f;
constexpr int kZoomFrames = 36;
// A wire leaves its diode 4 pixels in from the right and 4 above the
// middle; from the mouse it leaves 8 below the pointer.
constexpr int kWireInset = 4;
constexpr int kWireBelowMouse = 8;
// The anchors split the anchor rectangle's height in fifths.
constexpr int kAnchorParts = 5;
const char kCloseButton[] = "AirCompressorClose";

std::string wiresText(const int* sockets)
{
    std::string text;
    for (int i = 0; i < AirCompressor::DIODE_COUNT; ++i)
        text += (i ? ", " : "") + std::to_string(sockets[i]);
    return text + ".\n";
}

} // namespace

AirCompressor::AirCompressor()
    : m_nHeld(HELD_NOTHING),
      m_nHeldFrom(-1),
      m_fusePress(-1, -1),
      m_nFusePressFrom(-1),
      m_nSparkKind(0),
      m_nSparkFramesLeft(0),
      m_bSparkRunning(false),
      m_bGearSparkles(false),
      m_bWireStage(false),
      m_nFuseWidth(0),
      m_nFuseHeight(0),
      m_nBoltsRunning(0),
      m_nWireWidth(1),
      m_nDragged(-1),
      m_pressPoint(-1, -1),
      m_bCarrying(false),
      m_nLightKind(LIGHT_OFF),
      m_nLightCountdown(0),
      m_bLightStepping(false),
      m_bLightOnStart(true),
      m_bLightPhase(true),
      m_ownDraw(m_random),
      m_pDraw(&m_ownDraw)
{
    for (int f = 0; f < FUSE_COUNT; ++f) {
        m_groundFuses[f] = nullptr;
        for (int p = 0; p < POSITION_COUNT; ++p)
            m_positionSprites[f][p] = nullptr;
    }
    for (int p = 0; p < POSITION_COUNT; ++p) {
        m_correctFuses[p] = -1;
        m_placed[p] = -1;
        m_bolts[p] = nullptr;
        m_boltCounted[p] = false;
    }
    for (int d = 0; d < DIODE_COUNT; ++d) {
        m_diodes[d] = nullptr;
        m_socketSprites[d] = nullptr;
        m_wireColours[d] = 0xFF000000u;
        m_correctDiodes[d] = 0;
        m_sockets[d] = -1;
    }
    for (sprite::AnimateSprite*& spark : m_sparks)
        spark = nullptr;
    SceneLua::bindRoomClass(this, "AirCompressor", luaMethods());
}

AirCompressor::~AirCompressor()
{
    for (sprite::AnimateSprite* spark : m_sparks) {
        if (spark)
            spark->release();
    }
}

void AirCompressor::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    auto n = [this](int i) { return DefinitionNumber::at(m_definitionInts, i); };
    for (int p = 0; p < POSITION_COUNT; ++p) {
        m_fuseCorners[p] = util::Point(n(1 + 2 * p), n(2 + 2 * p));
        m_correctFuses[p] = n(9 + p);
    }
    m_nFuseWidth = n(7);
    m_nFuseHeight = n(8);
    m_wiringArea = util::RectangleNM(n(12), n(13), n(14), n(15));
    m_wireAnchors = util::RectangleNM(n(16), n(17), n(18), n(19));
    for (int d = 0; d < DIODE_COUNT; ++d) {
        const uint32_t r = uint32_t(n(20 + 3 * d)) & 0xFF;
        const uint32_t g = uint32_t(n(21 + 3 * d)) & 0xFF;
        const uint32_t b = uint32_t(n(22 + 3 * d)) & 0xFF;
        m_wireColours[d] = 0xFF000000u | r << 16 | g << 8 | b;
        m_correctDiodes[d] = n(33 + d);
        m_sockets[d] = -1;
    }
    m_nWireWidth = n(32);
    for (int f = 0; f < FUSE_COUNT; ++f) {
        for (int p = 0; p < POSITION_COUNT; ++p) {
            const std::string name = std::string("Fuse_") + kFuseColours[f] + "_Pos" + std::to_string(p + 1);
            m_positionSprites[f][p] = SceneRoom::findAnimation(this, name.c_str());
        }
    }
    for (int p = 0; p < POSITION_COUNT; ++p) {
        m_bolts[p] = SceneRoom::findAnimation(this, ("FuseBolt" + std::to_string(p)).c_str());
        if (m_bolts[p])
            m_bolts[p]->setVisible(false);
    }
    if (sprite::SpriteBase* wireSparks = SceneRoom::find(this, "WireSparks"))
        wireSparks->setVisible(false);
    showFuses(false);
    for (int f = 0; f < FUSE_COUNT; ++f)
        m_groundFuses[f] = SceneRoom::find(this, (std::string("Fuse_") + kFuseColours[f] + "OnGround").c_str());
    for (int d = 0; d < DIODE_COUNT; ++d) {
        const std::string number = std::to_string(d + 1);
        m_diodes[d] = SceneRoom::find(this, ("Diode" + number).c_str());
        m_socketSprites[d] = SceneRoom::find(this, ("DiodeRect" + number).c_str());
        if (m_diodes[d])
            m_diodeHomes[d] = util::Point(m_diodes[d]->left(), m_diodes[d]->top());
    }
    if (sprite::AnimateSprite* model = SceneRoom::findAnimation(this, "Sparks")) {
        for (sprite::AnimateSprite*& spark : m_sparks) {
            if (spark)
                spark->release();
            spark = static_cast<sprite::AnimateSprite*>(model->clone());
            spark->setVisible(false);
            bringToFront(spark);
        }
    }
    for (const char* name : {"RustSparkle1", "RustSparkle2", "RustSparkle3", "IndicatorLight"}) {
        if (sprite::SpriteBase* s = SceneRoom::find(this, name))
            s->setVisible(false);
    }
    m_bShown = true;
}

void AirCompressor::onEnter()
{
    Room::onEnter();
    SceneInstructions::enterPuzzle(this, INSTRUCTIONS_GAME, SceneInstructions::ENTRY_DELAY);
    setVisible(true);
}

void AirCompressor::onExit()
{
    // A diode on its way goes home; a fuse back into the holder it was
    // taken from while that stands empty, else onto the ground.
    if (m_nDragged >= 0) {
        dropWire(-1);
        m_pressPoint = util::Point(-1, -1);
        m_bCarrying = false;
    } else if (m_nHeld >= ITEM_FIRST_FUSE && m_nHeld <= ITEM_LAST_FUSE && m_nHeldFrom >= 0 &&
               m_placed[m_nHeldFrom] < 0) {
        m_placed[m_nHeldFrom] = m_nHeld - ITEM_FIRST_FUSE;
        m_nHeld = HELD_NOTHING;
        showFuses(true);
        if (allPositionsFilled())
            setLightEffect(LIGHT_GLOW, false);
    } else if (holdingItem()) {
        dropItem(true);
    }
    m_nHeldFrom = -1;
    m_fusePress = util::Point(-1, -1);
    Room::onExit();
    SceneInstructions::leavePuzzle(this, INSTRUCTIONS_GAME);
}

void AirCompressor::getGameInstructionsInfo(int& game, int& x, int& y)
{
    SceneInstructions::info(this, INSTRUCTIONS_GAME, game, x, y);
}

void AirCompressor::goToRoom(int index)
{
    if (index == DIVE_DOCK_ROOM)
        zoomToRoom(index, lang::String("+iAirCompressorMask"), kZoomX, kZoomY, kZoomFrom, kZoomTo, kZoomFrames,
                   nullptr);
    else
        Room::goToRoom(index);
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->dropSpecialCursor();
}

bool AirCompressor::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c || c->isGameInstructionsShowing() || c->getGameState() != LanternfieldCanvas::STATE_PLAYING)
        return false;
    tickSparks();
    tickGearSparkles();
    tickLight();
    return Room::tick(frame, boundsOut, region);
}

// Fuses.

void AirCompressor::playItemSound(int item, bool pickUp)
{
    int sound = -1;
    if (item == ITEM_KEY)
        sound = 90;
    else if (item >= ITEM_FIRST_FUSE && item <= ITEM_LAST_FUSE)
        sound = 92;
    else if (item == ITEM_OIL_CAN)
        sound = 94;
    else if (item == ITEM_DIODE)
        sound = 100;
    // Each drop sound follows its pick-up sound in the table.
    if (sound >= 0)
        SceneRoom::playSound(pickUp ? sound : sound + 1);
}

bool AirCompressor::allPositionsFilled() const
{
    for (int placed : m_placed) {
        if (placed < 0)
            return false;
    }
    return true;
}

std::string AirCompressor::getGroundFuseClicked(int x, int y)
{
    for (int f : kGroundOrder) {
        sprite::SpriteBase* fuse = m_groundFuses[f];
        if (fuse && fuse->isVisible() && fuse->hittest(x, y))
            return fuse->getName().c_str();
    }
    return "";
}

int AirCompressor::getClickedFuseIndex(int x, int y)
{
    for (int p = 0; p < POSITION_COUNT; ++p) {
        util::RectangleNM area(m_fuseCorners[p].x, m_fuseCorners[p].y, m_nFuseWidth, m_nFuseHeight);
        if (area.contains(x, y))
            return p;
    }
    return -1;
}

int AirCompressor::getNumCorrectFuses()
{
    if (!allPositionsFilled())
        return -1;
    int right = 0;
    for (int p = 0; p < POSITION_COUNT; ++p)
        right += m_placed[p] == m_correctFuses[p] ? 1 : 0;
    return right;
}

void AirCompressor::initFuseGame()
{
    for (auto& row : m_positionSprites) {
        for (sprite::AnimateSprite* s : row) {
            if (s)
                s->setVisible(false);
        }
    }
    for (int& placed : m_placed)
        placed = -1;
}

void AirCompressor::showFuses(bool show)
{
    for (auto& row : m_positionSprites) {
        for (sprite::AnimateSprite* s : row) {
            if (s)
                s->setVisible(false);
        }
    }
    if (show) {
        for (int p = 0; p < POSITION_COUNT; ++p) {
            const int f = m_placed[p];
            if (f >= 0 && f < FUSE_COUNT && m_positionSprites[f][p])
                m_positionSprites[f][p]->setVisible(true);
        }
    }
    LanternfieldCanvas* c = SceneRoom::canvas();
    const int cursor = c ? c->getCurrentCursor() : HELD_NOTHING;
    for (int f = 0; f < FUSE_COUNT; ++f) {
        sprite::SpriteBase* ground = m_groundFuses[f];
        if (!ground)
            continue;
        bool placed = cursor == ITEM_FIRST_FUSE + f;
        for (int p : m_placed)
            placed = placed || p == f;
        ground->setVisible(!placed);
        ground->setMouseOverCursor(placed ? sprite::SpriteBase::CURSOR_NORMAL : sprite::SpriteBase::CURSOR_HAND);
    }
}

int AirCompressor::pickUpItem(const lang::String& name)
{
    if (holdingItem())
        dropItem(true);
    sprite::SpriteBase* item = getSprite(name.c_str());
    if (item)
        item->setVisible(false);
    m_nHeld = LanternfieldCanvas::cursorIndexOf(name);
    m_nHeldFrom = -1;
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setSpecialCursor(m_nHeld, false, -1);
    if (item)
        item->setMouseOverCursor(sprite::SpriteBase::CURSOR_NORMAL);
    if (m_nHeld >= ITEM_FIRST_FUSE && m_nHeld <= ITEM_LAST_FUSE && !allPositionsFilled()) {
        setLightEffect(LIGHT_FLICKER, false);
        lightFuses(false);
    }
    playItemSound(m_nHeld, true);
    return m_nHeld;
}

int AirCompressor::placeFuse(int position)
{
    // The scripts pass 0 to 2; anything else changes nothing.
    if (position < 0 || position >= POSITION_COUNT)
        return m_nHeld;
    const int old = m_placed[position];
    const bool allBefore = getNumCorrectFuses() >= 0;
    const int from = m_nHeldFrom;
    bool removal = false;
    if (m_nHeld >= ITEM_FIRST_FUSE && m_nHeld <= ITEM_LAST_FUSE) {
        m_placed[position] = m_nHeld - ITEM_FIRST_FUSE;
        SceneRoom::playSound(SOUND_FUSE_PLACED);
    } else {
        m_placed[position] = -1;
        removal = true;
        playItemSound(ITEM_FIRST_FUSE, true);
    }
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (old < 0) {
        m_nHeld = HELD_NOTHING;
        m_nHeldFrom = -1;
        if (c)
            c->dropSpecialCursor();
    } else {
        m_nHeld = old + ITEM_FIRST_FUSE;
        m_nHeldFrom = position;
        if (c)
            c->setSpecialCursor(m_nHeld, false, -1);
    }
    if (old >= 0 && !removal) {
        // A fuse put into a full holder moves only itself, as a drag does:
        // the one it knocks out goes where the new one came from, into that
        // holder while it stands empty, else back onto the ground.
        if (from >= 0 && from < POSITION_COUNT && m_placed[from] < 0) {
            m_placed[from] = old;
            m_nHeld = HELD_NOTHING;
            m_nHeldFrom = -1;
            if (c)
                c->dropSpecialCursor();
        } else {
            dropItem(true);
        }
    }
    showFuses(true);
    if (allPositionsFilled()) {
        setLightEffect(LIGHT_GLOW, false);
        lightFuses(false);
    } else if (removal && allBefore) {
        setLightEffect(LIGHT_FLICKER, false);
        lightFuses(false);
    }
    return m_nHeld;
}

int AirCompressor::dropItem(bool putBack)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (putBack) {
        const lang::String name = LanternfieldCanvas::cursorNameOf(m_nHeld);
        if (!name.isEmpty() && !name.equals("handCursor") && !name.equals("normalCursor") && !name.equals("Diode")) {
            if (sprite::SpriteBase* item = getSprite(name.c_str())) {
                item->setVisible(true);
                item->setMouseOverCursor(sprite::SpriteBase::CURSOR_HAND);
            }
        }
    }
    playItemSound(m_nHeld, false);
    if (c) {
        c->dropSpecialCursor();
        const util::Point mouse = c->getMousePosition();
        c->positionCursorImage(mouse.x, mouse.y);
    }
    m_nHeld = HELD_NOTHING;
    m_nHeldFrom = -1;
    return m_nHeld;
}

void AirCompressor::fitRightParts(bool wires)
{
    if (holdingItem() && m_nDragged < 0)
        dropItem(true);
    for (int p = 0; p < POSITION_COUNT; ++p)
        m_placed[p] = m_correctFuses[p];
    lightFuses(true);
    if (!wires)
        return;
    for (int s = 0; s < DIODE_COUNT; ++s) {
        const int d = m_correctDiodes[s];
        m_sockets[s] = d;
        if (d >= 0 && d < DIODE_COUNT && m_diodes[d] && m_socketSprites[s]) {
            m_diodes[d]->setPosition(m_socketSprites[s]->left() + SOCKET_INSET,
                                     m_socketSprites[s]->top() + SOCKET_INSET);
            m_diodes[d]->setVisible(true);
        }
    }
}

void AirCompressor::lightFuses(bool on)
{
    if (on && !allPositionsFilled()) {
        for (int p = 0; p < POSITION_COUNT; ++p) {
            sprite::AnimateSprite* bolt = m_bolts[p];
            if (m_placed[p] >= 0 || !bolt)
                continue;
            countBolt(p, true);
            bolt->setFrame(0);
            bolt->setVisible(true);
            auto* command = new lang::String(bolt->getName());
            bolt->setAction(this, command);
            command->release();
            // Every frame twice, one a tick.
            bolt->playAnimation(0, -1, 2, 1, false, 1);
        }
        return;
    }
    showFuses(true);
    for (int p = 0; p < POSITION_COUNT; ++p) {
        const int f = m_placed[p];
        if (f >= 0 && f < FUSE_COUNT) {
            if (m_positionSprites[f][p])
                m_positionSprites[f][p]->setFrame(on && f == m_correctFuses[p] ? 1 : 0);
        } else if (!on && m_bolts[p]) {
            m_bolts[p]->completeAnimations();
            m_bolts[p]->setVisible(false);
            countBolt(p, false);
        }
    }
}

void AirCompressor::countBolt(int position, bool running)
{
    if (position < 0 || position >= POSITION_COUNT || m_boltCounted[position] == running)
        return;
    m_boltCounted[position] = running;
    m_nBoltsRunning += running ? 1 : -1;
}

// Wires.

bool AirCompressor::allSocketsFilled() const
{
    for (int content : m_sockets) {
        if (content < 0)
            return false;
    }
    return true;
}

void AirCompressor::sendHome(int d)
{
    if (d < 0 || d >= DIODE_COUNT || !m_diodes[d])
        return;
    m_diodes[d]->setPosition(m_diodeHomes[d].x, m_diodeHomes[d].y);
    m_diodes[d]->setVisible(true);
    m_diodes[d]->setMouseOverCursor(sprite::SpriteBase::CURSOR_HAND);
}

void AirCompressor::initWireGame()
{
    for (int d = 0; d < DIODE_COUNT; ++d) {
        sendHome(d);
        m_sockets[d] = -1;
    }
    m_nDragged = -1;
}

int AirCompressor::getWiringStatus()
{
    if (!allSocketsFilled())
        return -1;
    int right = 0;
    for (int s = 0; s < DIODE_COUNT; ++s)
        right += m_sockets[s] == m_correctDiodes[s] ? 1 : 0;
    return right;
}

void AirCompressor::clearWrongWires()
{
    for (int s = 0; s < DIODE_COUNT; ++s) {
        if (m_sockets[s] == m_correctDiodes[s])
            continue;
        // The diode the socket held goes home (none for an empty socket).
        sendHome(m_sockets[s]);
        m_sockets[s] = -1;
    }
    m_nDragged = -1;
}

void AirCompressor::dropWire(int socket)
{
    const int d = m_nDragged;
    if (d < 0)
        return;
    OutputDebugStringA(("start dropWire wires: " + wiresText(m_sockets)).c_str());
    OutputDebugStringA(("index = " + std::to_string(socket) + "\n").c_str());
    const bool allBefore = allSocketsFilled();
    sprite::SpriteBase* diode = m_diodes[d];
    if (socket >= 0 && socket < DIODE_COUNT && (m_sockets[socket] < 0 || m_sockets[socket] == d)) {
        m_sockets[socket] = d;
        if (diode && m_socketSprites[socket])
            diode->setPosition(m_socketSprites[socket]->left() + SOCKET_INSET,
                               m_socketSprites[socket]->top() + SOCKET_INSET);
    } else if (diode) {
        diode->setPosition(m_diodeHomes[d].x, m_diodeHomes[d].y);
    }
    for (int s = 0; s < DIODE_COUNT; ++s) {
        if (s != socket && m_sockets[s] == d) {
            if (allBefore)
                setLightEffect(LIGHT_PULSE, true);
            m_sockets[s] = -1;
            break;
        }
    }
    if (diode)
        diode->setVisible(true);
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->dropSpecialCursor();
    playItemSound(ITEM_DIODE, false);
    m_nDragged = -1;
    m_nHeld = HELD_NOTHING;
    if (allSocketsFilled())
        setLightEffect(LIGHT_GLOW, true);
    OutputDebugStringA(("end dropWire wires: " + wiresText(m_sockets)).c_str());
    // The script's note follows the sockets.
    callNotice(scriptName(), "onDiodeDropped");
}

void AirCompressor::wireAnchor(int i, int& x, int& y) const
{
    x = m_wireAnchors.x + m_wireAnchors.width / 2;
    y = m_wireAnchors.y + (i + 1) * (m_wireAnchors.height / kAnchorParts);
}

void AirCompressor::paint(window::Graphics* g)
{
    Room::paint(g);
    if (!m_bWireStage)
        return;
    LanternfieldCanvas* c = SceneRoom::canvas();
    for (int d = 0; d < DIODE_COUNT; ++d) {
        sprite::SpriteBase* diode = m_diodes[d];
        if (!diode)
            continue;
        int x = diode->left() + diode->width() - kWireInset;
        int y = diode->getY() - kWireInset;
        if (d == m_nDragged && c) {
            const util::Point mouse = c->getMousePosition();
            x = mouse.x + diode->width() - kWireInset;
            y = mouse.y + kWireBelowMouse;
        }
        int ax = 0;
        int ay = 0;
        wireAnchor(d, ax, ay);
        g->setColor(m_wireColours[d]);
        g->drawLine(x, y, ax, ay, m_nWireWidth);
    }
}

int AirCompressor::mouseDown(window::Event* e)
{
    if (SceneInstructions::openOnQuestionMark(this, INSTRUCTIONS_GAME, e->x, e->y)) {
        setLastCommand(lang::String(""));
        return COMMAND_READY;
    }
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    sprite::ButtonMixin* close = SceneRoom::findButton(this, kCloseButton);
    if (close && close->hitAndEnabled(x, y)) {
        goToRoom(DIVE_DOCK_ROOM);
        setLastCommand(lang::String(""));
        return COMMAND_READY;
    }
    if (!m_bWireStage) {
        const int before = m_nHeld;
        const int result = Room::mouseDown(e);
        // A fuse this press put on the cursor may be dragged to its holder.
        const bool fuse = m_nHeld >= ITEM_FIRST_FUSE && m_nHeld <= ITEM_LAST_FUSE;
        m_fusePress = fuse && m_nHeld != before ? util::Point(e->x, e->y) : util::Point(-1, -1);
        m_nFusePressFrom = m_nHeldFrom;
        return result;
    }
    for (int d = 0; d < DIODE_COUNT; ++d) {
        if (!m_diodes[d] || !m_diodes[d]->hittest(x, y))
            continue;
        if (holdingItem())
            dropItem(true);
        if (!m_bCarrying) {
            m_nDragged = d;
            if (LanternfieldCanvas* c = SceneRoom::canvas())
                c->setSpecialCursor(ITEM_DIODE, false, -1);
            m_nHeld = ITEM_DIODE;
            playItemSound(ITEM_DIODE, true);
            m_diodes[d]->setVisible(false);
            m_pressPoint = util::Point(x, y);
        }
        setLastCommand(lang::String(""));
        return COMMAND_READY;
    }
    return Room::mouseDown(e);
}

int AirCompressor::mouseUp(window::Event* e)
{
    if (m_fusePress.x >= 0) {
        const util::Point from = m_fusePress;
        m_fusePress = util::Point(-1, -1);
        const bool fuse = m_nHeld >= ITEM_FIRST_FUSE && m_nHeld <= ITEM_LAST_FUSE;
        // Let go away from its press, the fuse does what a click there does:
        // into a holder, or back to the ground.
        if (fuse && (std::abs(e->x - from.x) > CARRY_SLACK || std::abs(e->y - from.y) > CARRY_SLACK)) {
            const int dragged = m_nHeld;
            const int origin = m_nFusePressFrom;
            callScriptXY(scriptName(), "onClick", e->x, e->y);
            // Let go over a fuse on the ground, the release took that one
            // up: a drag moves one fuse, so that one goes where the dragged
            // one came from, into its holder (a click there, which the
            // script tells of) while that stands empty, else onto the ground.
            if (m_nHeld >= ITEM_FIRST_FUSE && m_nHeld <= ITEM_LAST_FUSE && m_nHeld != dragged) {
                if (origin >= 0 && origin < POSITION_COUNT && m_placed[origin] < 0) {
                    int x = m_fuseCorners[origin].x + m_nFuseWidth / 2;
                    int y = m_fuseCorners[origin].y + m_nFuseHeight / 2;
                    toScreen(x, y);
                    callScriptXY(scriptName(), "onClick", x, y);
                } else {
                    dropItem(true);
                }
            }
            return HANDLED;
        }
    }
    if (m_nDragged < 0)
        return NOT_HANDLED;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    if (!m_bCarrying && std::abs(x - m_pressPoint.x) <= CARRY_SLACK && std::abs(y - m_pressPoint.y) <= CARRY_SLACK) {
        m_bCarrying = true;
        return HANDLED;
    }
    int target = -1;
    for (int s = 0; s < DIODE_COUNT && target < 0; ++s) {
        if (m_socketSprites[s] && m_socketSprites[s]->hittest(x, y))
            target = s;
    }
    dropWire(target);
    m_pressPoint = util::Point(-1, -1);
    m_bCarrying = false;
    return HANDLED;
}

bool AirCompressor::mouseMove(window::Event* e)
{
    if (m_nDragged < 0)
        return Room::mouseMove(e);
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    if (!m_wiringArea.contains(x, y)) {
        dropWire(-1);
        m_pressPoint = util::Point(-1, -1);
        m_bCarrying = false;
    }
    return true;
}
