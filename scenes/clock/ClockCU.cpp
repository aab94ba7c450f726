// ClockCU.cpp: the clock close-up: growing and shrinking over the bookshelf,
// dragging the hands, and the solution's check.
#include "scenes/clock/ClockCU.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "game/rooms/Room.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/common/CloseUpMotion.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/transitions/TransitionScale.h"
#include "windowing/window/Event.h"

#include <cmath>
#include <string>

HV_DEFINE_METACLASS(ClockCU);

namespace {

// The scale runs: from a tenth to full size (and back), moving and scaling
// evenly; only the shrink fades out, over its second half.
constexpr float kSmall = 0.1f;
constexpr float kFull = 1.0f;
constexpr float kShrinkFade = 0.5f;
constexpr double kPi = 3.14159265358979323846;

enum Command { GROW_DONE, SHRINK_DONE };
const char* const kCommands[] = {"ClockCUGrow", "ClockCUShrink"};

} // namespace

ClockCU::ClockCU()
    : sprite::DialogSprite(false),
      m_nOriginX(0),
      m_nOriginY(0),
      m_nOpenX(-1),
      m_nOpenY(-1),
      m_bClosing(false),
      m_pHost(nullptr),
      m_pHourHand(nullptr),
      m_pMinuteHand(nullptr),
      m_pHeldHand(nullptr)
{
}

ClockCU::~ClockCU() = default;

void ClockCU::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    m_bShown = true;
    m_pHourHand = SceneRoom::find(this, "ClockHourHand");
    m_pMinuteHand = SceneRoom::find(this, "ClockMinuteHand");
    turnTo(m_pMinuteHand, MINUTE_DEFINED);
}

void ClockCU::setOrigin(int x, int y)
{
    m_nOriginX = x;
    m_nOriginY = y;
}

bool ClockCU::isIdle()
{
    return !isTransitioning();
}

void ClockCU::turnTo(sprite::SpriteBase* hand, double degrees)
{
    if (hand)
        hand->rotateBy(degrees - hand->getRotation());
}

sprite::SpriteBase* ClockCU::dimOverlay()
{
    Room* bookshelf = Room::roomAt(BOOKSHELF_ROOM);
    return bookshelf ? bookshelf->getSprite("DimOverlay") : nullptr;
}

void ClockCU::runTransition(bool growing, const char* command)
{
    auto* transition = growing ? new sprite::TransitionScale(TRANSITION_FRAMES, m_nOriginX, m_nOriginY, m_nOpenX,
                                                             m_nOpenY, kSmall, kFull, 0.0f, 1, 1, 1, 1, 0, 0)
                               : new sprite::TransitionScale(TRANSITION_FRAMES, m_nOpenX, m_nOpenY, m_nOriginX,
                                                             m_nOriginY, kFull, kSmall, kShrinkFade, 1, 1, 1, 1, 0, 0);
    if (!growing)
        transition->setFade(true);
    SceneRoom::playSound(growing ? SOUND_OPEN : SOUND_CLOSE);
    lang::String* name = new lang::String(command);
    setAction(this, name);
    name->release();
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (growing && c)
        c->setPuzzleActive(true);
    show(growing, transition);
    transition->release();
}

void ClockCU::grow()
{
    setVisible(true);
    m_nOpenX = OPEN_X;
    m_nOpenY = OPEN_Y;
    runTransition(true, kCommands[GROW_DONE]);
    m_bClosing = false;
    m_pHeldHand = nullptr;
    if (sprite::SpriteBase* dim = dimOverlay()) {
        dim->setVisible(true);
        dim->setAlphaBalance(0);
        dim->setAlphaDestination(DIM_ALPHA, TRANSITION_FRAMES, 0);
    }
    turnTo(m_pHourHand, HOUR_START);
    turnTo(m_pMinuteHand, MINUTE_START);
}

void ClockCU::closeNow()
{
    sprite::DialogSprite::closeNow();
    CloseUpMotion::releaseHost(dimOverlay(), Room::roomAt(BOOKSHELF_ROOM));
}

void ClockCU::shrinkOut()
{
    if (LanternfieldCanvas* c = SceneRoom::canvas()) {
        c->setPuzzleActive(false);
        if (Inventory* bar = c->getInventory())
            bar->setVisible(false);
        c->setCursor(LanternfieldCanvas::CURSOR_NORMAL, false);
    }
    if (Room* bookshelf = Room::roomAt(BOOKSHELF_ROOM))
        bookshelf->resumeIfPaused();
    runTransition(false, kCommands[SHRINK_DONE]);
    if (sprite::SpriteBase* dim = dimOverlay()) {
        dim->setVisible(true);
        dim->setAlphaBalance(DIM_ALPHA);
        dim->setAlphaDestination(0, TRANSITION_FRAMES, 0);
    }
    m_bClosing = true;
}

bool ClockCU::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    sprite::SpriteBase* dim = dimOverlay();
    switch (CommandMatch::matchPrefix(*command, kCommands)) {
    case SHRINK_DONE:
        setVisible(false);
        if (dim)
            dim->setVisible(false);
        if (m_pHost)
            if (sprite::SpriteBase* close = m_pHost->getSprite(SceneRoom::kCloseButton))
                close->setVisible(true);
        break;
    case GROW_DONE:
        if (dim)
            dim->setVisible(true);
        break;
    default:
        break;
    }
    return false;
}

int ClockCU::mouseDown(window::Event* e)
{
    if (!isIdle())
        return NOT_HANDLED;
    const int result = sprite::DialogSprite::mouseDown(e);
    if (getLastCommand().equals(SceneRoom::kCloseButton)) {
        shrinkOut();
        return result;
    }
    if (!m_pHeldHand) {
        const int x = e->x - left();
        const int y = e->y - top();
        for (sprite::SpriteBase* hand : {m_pHourHand, m_pMinuteHand}) {
            if (hand && hand->isInstanceOf("AnimateSprite") &&
                static_cast<sprite::AnimateSprite*>(hand)->hittestImage(x, y)) {
                m_pHeldHand = hand;
                break;
            }
        }
    }
    if (m_pHeldHand)
        if (LanternfieldCanvas* c = SceneRoom::canvas())
            c->loopSound(SOUND_HAND);
    return result;
}

double ClockCU::handAngleToward(int x, int y)
{
    const double a = std::atan2(double(PIVOT_Y - y), double(PIVOT_X - x)) * 180.0 / kPi;
    double angle = std::fmod(a - 90.0, 360.0);
    if (angle < 0.0)
        angle += 360.0;
    return angle;
}

bool ClockCU::mouseMove(window::Event* e)
{
    if (!isIdle())
        return false;
    if (m_pHeldHand) {
        const double a = std::atan2(double(PIVOT_Y - e->y), double(PIVOT_X - e->x)) * 180.0 / kPi;
        turnTo(m_pHeldHand, handAngleToward(e->x, e->y));
        OutputDebugStringA(("ROTATION = " + std::to_string(int(a)) + "\n").c_str());
    }
    return sprite::DialogSprite::mouseMove(e);
}

bool ClockCU::isSolution(double hour, double minute)
{
    const int h = int(hour);
    const int m = int(minute);
    return h >= HOUR_LOW && h <= HOUR_HIGH && m >= MINUTE_LOW && m <= MINUTE_HIGH;
}

int ClockCU::mouseUp(window::Event*)
{
    if (!isIdle() || !m_pHeldHand)
        return NOT_HANDLED;
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->stopSound(SOUND_HAND);
    m_pHeldHand = nullptr;
    if (!m_pHourHand || !m_pMinuteHand || !isSolution(m_pHourHand->getRotation(), m_pMinuteHand->getRotation()))
        return NOT_HANDLED;
    SceneRoom::playSound(SOUND_SOLVED);
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (Room* current = c ? c->getCurrentRoom() : nullptr)
        current->callScript("Bookshelf", "onClockSolved");
    return NOT_HANDLED;
}
