// Clam.cpp: a clam's opening and closing, its pearl and the pearl's flight.
#include "scenes/whackaclam/Clam.h"

#include "core/util/Random.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/common/SpriteAction.h"
#include "scenes/whackaclam/WhackAClam.h"
#include "sprites/images/AnimateSprite.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/window/DebugLine.h"

#include <string>

HV_DEFINE_METACLASS(Clam);

namespace {

// The looks' template letters and their pearls' left edges; every pearl's
// top lies 135 pixels below the top of the clam's picture.
const char* const kLetters[Clam::TYPES] = {"A", "B", "C", "D", "E"};
constexpr int kPearlX[Clam::TYPES] = {55, 55, 57, 60, 56};
constexpr int kPearlY = 135;
// The bubbles rise from this point of the clam's picture.
constexpr int kBubblesX = 5;
constexpr int kBubblesY = 65;
// A taken pearl floats 150 pixels up in 25 ticks, then flies to its slot
// in 10.
constexpr int kFloatRise = 150;
constexpr int kFloatFrames = 25;
constexpr int kFlightFrames = 10;
// A clam that reopens for a pearl on its way stays open three times as long.
constexpr int kReopenFactor = 3;
// In the end animation an opening clam stops two frames short of closed.
constexpr int kCrackFrames = 2;
// A closing clam shuts two frames a step.
constexpr int kClosingStep = 2;

enum Command { FLOAT_DONE, MOVE_DONE, BUBBLES_DONE };
const char* const kCommands[] = {"PearlFloatDone", "PearlMoveDone", "PearlBubblesDone"};

template <class T>
void drop(T*& sprite)
{
    if (sprite)
        sprite->release();
    sprite = nullptr;
}

// A clone of the room's template of that name, or null.
template <class T>
T* cloneOf(WhackAClam* room, const std::string& name, const char* className)
{
    sprite::SpriteBase* model = SceneRoom::find(room, name.c_str());
    if (!model || !model->isInstanceOf(className))
        return nullptr;
    return static_cast<T*>(model->clone());
}

} // namespace

Clam::Clam()
    : m_pTop(nullptr),
      m_pPearl(nullptr),
      m_pFloatingPearl(nullptr),
      m_pBubbles(nullptr),
      m_pRoom(nullptr),
      m_bHasPearl(false),
      m_nCountdown(-1),
      m_nPearlsGiven(0),
      m_nState(STATE_IDLE),
      m_nType(0)
{
    // The clam's position is its centre.
    m_nAnchor = ANCHOR_CENTER_X | ANCHOR_CENTER_Y;
}

Clam::~Clam()
{
    drop(m_pTop);
    drop(m_pPearl);
    drop(m_pFloatingPearl);
    drop(m_pBubbles);
}

const char* Clam::letterOf(int type)
{
    return kLetters[type >= 1 && type <= TYPES ? type - 1 : 0];
}

int Clam::pearlXOf(int type)
{
    return kPearlX[type >= 1 && type <= TYPES ? type - 1 : 0];
}

sprite::SpriteBase* Clam::clone()
{
    Clam* other = new Clam();
    copyStateTo(other);
    copyTo(other);
    other->m_nType = m_nType;
    other->m_bHasPearl = m_bHasPearl;
    other->m_nCountdown = m_nCountdown;
    other->m_nPearlsGiven = m_nPearlsGiven;
    return other;
}

void Clam::dropFloatingPearl()
{
    if (m_pFloatingPearl && m_pRoom)
        m_pRoom->removeChild(m_pFloatingPearl);
    drop(m_pFloatingPearl);
}

void Clam::setup(int countdown, WhackAClam* room)
{
    m_nCountdown = countdown;
    m_pRoom = room;
    const std::string letter = letterOf(m_nType);
    sprite::SpriteBase* bottom = SceneRoom::find(room, ("ClamBottom_" + letter).c_str());
    if (bottom && bottom->isInstanceOf("ImageSprite"))
        setImage(static_cast<sprite::ImageSprite*>(bottom)->getImage());
    drop(m_pTop);
    dropFloatingPearl();
    drop(m_pBubbles);
    m_pTop = cloneOf<sprite::AnimateSprite>(room, "ClamTop_" + letter, "AnimateSprite");
    if (m_pTop) {
        m_pTop->setPosition(0, 0);
        m_pTop->setVisible(true);
        m_pTop->setFrame(m_pTop->getFrameCount() - 1);
    }
    drop(m_pPearl);
    m_pPearl = cloneOf<sprite::ImageSprite>(room, "Pearl", "ImageSprite");
    if (m_pPearl) {
        m_pPearl->setPosition(pearlXOf(m_nType), kPearlY);
        m_pPearl->setVisible(true);
    }
    m_pBubbles = cloneOf<sprite::AnimateSprite>(room, "PearlBubbles", "AnimateSprite");
    if (m_pBubbles) {
        m_pBubbles->setPosition(kBubblesX, kBubblesY);
        m_pBubbles->setVisible(false);
    }
    // A new dive starts with the clam shut and empty: the room counts the
    // pearls showing from none again, and a pearl kept from the last dive
    // would show uncounted.
    m_bHasPearl = false;
    m_nState = STATE_CLOSED;
}

bool Clam::hittest(int x, int y)
{
    if (!m_pPearl)
        return false;
    int dx = x - m_nX;
    int dy = y - m_nY;
    toLocal(dx, dy);
    return m_pPearl->hittestImage(dx + width() / 2, dy + height() / 2, 1);
}

bool Clam::click(int x, int y)
{
    if (m_pFloatingPearl || m_nState == STATE_CLOSED || !hittest(x, y))
        return false;
    if (m_bHasPearl) {
        SceneRoom::playSound(SOUND_PEARL_TAKEN);
        OutputDebugStringA("Start pearl animation...\n");
        startPearlFloat();
        if (m_pRoom)
            m_pRoom->pearlClicked();
    } else {
        SceneRoom::playSound(SOUND_NO_PEARL);
    }
    return true;
}

bool Clam::isPearlClickable(int x, int y)
{
    return !m_pFloatingPearl && m_nState != STATE_CLOSED && hittest(x, y) && m_bHasPearl;
}

void Clam::startEndGame()
{
    m_nCountdown = 1;
}

void Clam::paint(window::Graphics* g)
{
    sprite::ImageSprite::paint(g);
    window::Graphics* inner = g->create();
    if (!inner)
        return;
    inner->translate(m_nX, m_nY);
    inner->rotate(m_dRotation);
    inner->scale(m_dScaleX, m_dScaleY);
    inner->flip(m_nFlip);
    inner->translate(-(width() >> 1), -(height() >> 1));
    if (m_bHasPearl && m_pPearl)
        m_pPearl->draw(inner);
    if (m_pTop)
        m_pTop->draw(inner);
    if (m_pBubbles && m_pBubbles->isVisible())
        m_pBubbles->draw(inner);
    inner->dispose();
    inner->release();
}

bool Clam::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    if ((canvas && (canvas->isGameInstructionsShowing() ||
                    canvas->getGameState() != LanternfieldCanvas::STATE_PLAYING)) ||
        m_nState == STATE_IDLE || !m_pRoom || !(m_pRoom->isRunning() || m_pRoom->isEndAnimation()) ||
        !isVisible() || m_pRoom->isInactive())
        return false;
    if (--m_nCountdown >= 0) {
        bool changed = false;
        if (m_pBubbles && m_pBubbles->isVisible())
            changed = m_pBubbles->tick(frame, nullptr, nullptr);
        return sprite::ImageSprite::tick(frame, boundsOut, region) || changed;
    }
    const int delay = m_pRoom->getStepDelay();
    const int frames = m_pTop ? m_pTop->getFrameCount() : 1;
    switch (m_nState) {
    case STATE_CLOSED:
        SceneRoom::playSound(SOUND_OPENING);
        m_nState = STATE_OPENING;
        m_nCountdown = delay;
        if (!m_pFloatingPearl && m_pRoom->shouldGetPearl(this)) {
            m_bHasPearl = true;
            m_pRoom->changePearlsShowing(1);
        }
        break;
    case STATE_OPEN:
        m_nCountdown = delay;
        if (!m_pFloatingPearl) {
            util::Random* random = new util::Random();
            SceneRoom::playSound(SOUND_CLOSING + random->nextInt(CLOSING_SOUNDS - 1));
            random->release();
            m_nState = STATE_CLOSING;
        }
        break;
    case STATE_CLOSING: {
        const int next = (m_pTop ? m_pTop->getFrame() : frames) + kClosingStep;
        if (next < frames) {
            m_pTop->setFrame(next);
            m_nCountdown = delay;
        } else {
            if (m_pTop)
                m_pTop->setFrame(frames - 1);
            settle(STATE_CLOSED);
        }
        break;
    }
    case STATE_OPENING: {
        const int next = (m_pTop ? m_pTop->getFrame() : 0) - 1;
        if (next < 0 || (m_pRoom->isEndAnimation() && next < frames - kCrackFrames)) {
            settle(STATE_OPEN);
        } else {
            m_pTop->setFrame(next);
            m_nCountdown = delay;
        }
        break;
    }
    default:
        break;
    }
    return true;
}

void Clam::settle(int state)
{
    m_nState = state;
    m_nCountdown = m_pRoom->clamDelay(state == STATE_CLOSED);
    if (state == STATE_CLOSED && m_bHasPearl) {
        // The clam shut on its pearl: it is lost.
        m_pRoom->changePearlsShowing(-1);
        m_bHasPearl = false;
    } else if (state == STATE_OPEN && m_pFloatingPearl) {
        OutputDebugStringA("Pop that clam back open!!\n");
        startPearlFloat();
        m_nCountdown *= kReopenFactor;
    }
}

void Clam::startPearlFloat()
{
    if (!m_pPearl || !m_pRoom)
        return;
    if (!m_pFloatingPearl)
        m_pFloatingPearl = m_pPearl->clone();
    if (m_nState != STATE_OPEN) {
        SceneRoom::playSound(SOUND_OPENING);
        m_nState = STATE_OPENING;
        return;
    }
    m_pFloatingPearl->setScale(m_dScaleX, m_dScaleX);
    const int dx = sprite::SpriteBase::toInt((m_pPearl->getX() - (width() >> 1)) * m_dScaleX);
    const int dy = sprite::SpriteBase::toInt((m_pPearl->getY() - (height() >> 1)) * m_dScaleY);
    m_pFloatingPearl->setCenter(dx + m_nX, dy + m_nY);
    window::debugLine("Relative pearl x,y = ", dx, ",", dy, ", scale = ", sprite::SpriteBase::toInt(m_dScaleX * 100),
                      "\n");
    m_pFloatingPearl->setDestination(m_pFloatingPearl->left(), m_pFloatingPearl->top() - kFloatRise, kFloatFrames);
    SpriteAction::set(m_pFloatingPearl, this, kCommands[FLOAT_DONE]);
    m_pFloatingPearl->setVisible(true);
    m_pRoom->bringToFront(m_pFloatingPearl);
    m_bHasPearl = false;
    m_pRoom->changePearlsShowing(-1);
    ++m_nPearlsGiven;
    if (m_pBubbles) {
        m_pBubbles->setVisible(true);
        m_pBubbles->playAnimation(0, -1, 0, 1, false, 1);
        SpriteAction::set(m_pBubbles, this, kCommands[BUBBLES_DONE]);
    }
}

bool Clam::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return true;
    switch (CommandMatch::matchPrefix(*command, kCommands)) {
    case FLOAT_DONE: {
        sprite::SpriteBase* slot = m_pRoom ? m_pRoom->nextPearlSlot() : nullptr;
        if (!slot) {
            OutputDebugStringA("WARNING: tried to animate a pearl when we have max pearls already\n");
            dropFloatingPearl();
            break;
        }
        if (m_pFloatingPearl) {
            m_pFloatingPearl->setScaleDestination(slot->getScaleX(), slot->getScaleX(), kFlightFrames);
            m_pFloatingPearl->setDestination(slot->left(), slot->top(), kFlightFrames);
            SpriteAction::set(m_pFloatingPearl, this, kCommands[MOVE_DONE]);
        }
        break;
    }
    case MOVE_DONE:
        if (m_pRoom)
            m_pRoom->pearlCollected();
        dropFloatingPearl();
        break;
    case BUBBLES_DONE:
        if (m_pBubbles)
            m_pBubbles->setVisible(false);
        break;
    default:
        break;
    }
    return true;
}
