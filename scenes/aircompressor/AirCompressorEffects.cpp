// AirCompressorEffects.cpp: the air compressor's effects: the light on the
// "Button_Start" or "Button_Test" overlay (flicker, pulse or glow), the
// routine of short spark animations, and the sparkles on the rusty gear.
#include "scenes/aircompressor/AirCompressor.h"

#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/images/AnimateSprite.h"
#include "windowing/window/Event.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kStartButton[] = "Button_Start";
const char kTestButton[] = "Button_Test";
const char kFlickerDone[] = "FlickerDone";
// The alpha bytes of an unlit and a fully lit overlay.
constexpr int kDark = 0;
constexpr int kLit = 255;
// A flicker flashes up to 50..150 within 2 to 4 frames and holds 1 to 3,
// then falls dark within 1 to 5 frames and holds 5 to 15; any other light
// holds 5 frames lit and 15 dark.
constexpr int kFlashMin = 50;
constexpr int kFlashMax = 150;
constexpr int kRiseMin = 2;
constexpr int kRiseMax = 4;
constexpr int kFallMin = 1;
constexpr int kFallMax = 5;
constexpr int kHoldLitMin = 1;
constexpr int kHoldLitMax = 3;
constexpr int kHoldDarkMin = 5;
constexpr int kHoldDarkMax = 15;
constexpr int kPulseHoldLit = 5;
constexpr int kPulseHoldDark = 15;
// Sparks at the fuse door stand within 5 pixels of its left edge or 5 to
// 10 in from its right edge; at a fuse position they keep 5 pixels off its
// bottom; anywhere means the 800 x 600 screen.
constexpr int kDoorSlack = 5;
constexpr int kDoorRightIn = 10;
constexpr int kFuseBottomSlack = 5;
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
// Gear sparkles: one of three, at 80 % or full size, two ticks a frame.
constexpr int kGearSparkles = 3;
constexpr double kSmallSparkle = 0.8;
constexpr int kGearSparkleRate = 2;

} // namespace

sprite::AnimateSprite* AirCompressor::litButton()
{
    return SceneRoom::findAnimation(this, m_bLightOnStart ? kStartButton : kTestButton);
}

sprite::AnimateSprite* AirCompressor::unlitButton()
{
    return SceneRoom::findAnimation(this, m_bLightOnStart ? kTestButton : kStartButton);
}

void AirCompressor::setLightEffect(int kind, bool onStart)
{
    m_nLightKind = kind;
    m_bLightOnStart = onStart;
    sprite::AnimateSprite* lit = litButton();
    sprite::AnimateSprite* unlit = unlitButton();
    m_bLightStepping = true;
    m_bLightPhase = true;
    for (sprite::AnimateSprite* button : {lit, unlit}) {
        if (button)
            button->completeAnimations();
    }
    if (unlit)
        unlit->setVisible(false);
    if (kind == LIGHT_OFF) {
        if (lit)
            lit->setVisible(false);
        m_bLightStepping = false;
    } else if (kind == LIGHT_FLICKER || kind == LIGHT_PULSE) {
        if (lit) {
            lit->setVisible(true);
            lit->setAlphaBalance(kDark);
        }
        m_nLightCountdown = lightDelay(false);
    } else {
        if (lit) {
            lit->setVisible(true);
            lit->setAlphaBalance(kLit);
        }
        m_nLightCountdown = 0;
        m_bLightStepping = false;
    }
}

int AirCompressor::lightDelay(bool afterStep)
{
    if (m_nLightKind == LIGHT_FLICKER)
        return afterStep ? m_pDraw->nextInt(kHoldDarkMin, kHoldDarkMax) : m_pDraw->nextInt(kHoldLitMin, kHoldLitMax);
    return afterStep ? kPulseHoldDark : kPulseHoldLit;
}

void AirCompressor::tickLight()
{
    if (!m_bLightStepping)
        return;
    if (--m_nLightCountdown <= 0) {
        lightStep();
        m_bLightStepping = false;
    }
}

void AirCompressor::lightStep()
{
    sprite::AnimateSprite* lit = litButton();
    if (!lit)
        return;
    auto* command = new lang::String(kFlickerDone);
    lit->setAction(this, command);
    command->release();
    if (m_nLightKind == LIGHT_FLICKER) {
        if (m_bLightPhase) {
            const int target = m_pDraw->nextInt(kFlashMin, kFlashMax);
            lit->setAlphaDestination(target, m_pDraw->nextInt(kRiseMin, kRiseMax), 0);
        } else {
            lit->setAlphaDestination(kDark, m_pDraw->nextInt(kFallMin, kFallMax), 0);
        }
        return;
    }
    const int frames = m_nLightKind == LIGHT_PULSE ? PULSE_FRAMES : 0;
    lit->setAlphaBalance(m_bLightPhase ? kDark : kLit);
    lit->setAlphaDestination(m_bLightPhase ? kLit : kDark, frames, 0);
}

void AirCompressor::pressButton(const lang::String& name, bool down)
{
    sprite::AnimateSprite* button = SceneRoom::findAnimation(this, name.c_str());
    if (down) {
        m_bLightStepping = false;
        if (button) {
            button->completeAnimations();
            button->setFrame(1);
            button->setAlphaBalance(kLit);
        }
        SceneRoom::playSound(SOUND_BUTTON);
        return;
    }
    if (button)
        button->setFrame(0);
    setLightEffect(m_nLightKind, name.equals(kStartButton));
}

void AirCompressor::enableButtons(bool startActive)
{
    const int hand = sprite::SpriteBase::CURSOR_HAND;
    const int normal = sprite::SpriteBase::CURSOR_NORMAL;
    if (sprite::SpriteBase* start = SceneRoom::find(this, kStartButton))
        start->setMouseOverCursor(startActive ? hand : normal);
    if (sprite::SpriteBase* test = SceneRoom::find(this, kTestButton))
        test->setMouseOverCursor(startActive ? normal : hand);
}

void AirCompressor::resetSparkSlots()
{
    for (int i = 0; i < SPARK_SLOTS; ++i) {
        m_sparkSlots[i] = SparkSlot();
        if (m_sparks[i]) {
            m_sparks[i]->setVisible(false);
            m_sparks[i]->setFlipType(sprite::SpriteBase::FLIP_NONE);
        }
    }
}

void AirCompressor::startSparkRoutine(int kind)
{
    if (m_bSparkRunning)
        return;
    m_nSparkKind = kind;
    m_nSparkFramesLeft = m_pDraw->nextInt(SPARK_FRAMES_MIN, SPARK_FRAMES_MAX);
    resetSparkSlots();
    const int count = m_pDraw->nextInt(1, SPARK_SLOTS);
    if (kind == SPARKS_SOCKETS) {
        const bool full = allSocketsFilled();
        if (full)
            m_nSparkFramesLeft = SPARK_FRAMES_MIN;
        int slot = 0;
        for (int s = 0; s < DIODE_COUNT; ++s) {
            if (full || m_sockets[s] < 0)
                placeSpark(slot++, true, s);
        }
        if (slot > 0) {
            m_bSparkRunning = true;
            SceneRoom::playSound(m_pDraw->nextInt(SOUND_SPARK_FIRST, SOUND_SPARK_LAST));
        }
    } else if (kind == SPARKS_FUSES) {
        for (int i = 0; i < POSITION_COUNT; ++i)
            placeSpark(i, true);
        placeSpark(0, true);
        m_bSparkRunning = true;
    } else {
        for (int i = 0; i < count; ++i)
            placeSpark(i, i == 0);
        m_bSparkRunning = true;
    }
}

void AirCompressor::placeSpark(int slot, bool shown, int socket)
{
    sprite::AnimateSprite* spark = slot >= 0 && slot < SPARK_SLOTS ? m_sparks[slot] : nullptr;
    if (!spark)
        return;
    const int frames = spark->getFrameCount();
    // A spark that would outlast the routine is not started.
    if (shown && m_nSparkFramesLeft < frames)
        return;
    SceneRoom::playSound(m_pDraw->nextInt(SOUND_SPARK_FIRST, SOUND_SPARK_LAST));
    SparkSlot& state = m_sparkSlots[slot];
    state.active = shown;
    spark->setFrame(0);
    if (!shown && m_nSparkFramesLeft > frames)
        state.delay = m_pDraw->nextInt(m_nSparkFramesLeft / 4, m_nSparkFramesLeft - frames);
    const int w = spark->width();
    const int coin = m_pDraw->nextInt(1);
    int x = spark->left();
    int y = spark->top();
    if (m_nSparkKind == SPARKS_DOOR || m_nSparkKind == SPARKS_FUSES) {
        const bool door = m_nSparkKind == SPARKS_DOOR;
        const std::string name = door ? "Door_FuseClosed" : "Fuse_Blue_Pos" + std::to_string(slot + 1);
        if (sprite::SpriteBase* at = SceneRoom::find(this, name.c_str())) {
            const int l = at->left();
            const int t = at->top();
            const int wd = at->width();
            const int ht = at->height();
            if (coin == 1)
                x = -w + (door ? m_pDraw->nextInt(l - kDoorSlack, l + kDoorSlack)
                               : m_pDraw->nextInt(l + wd / 4, l + wd / 2));
            else
                x = door ? m_pDraw->nextInt(l + wd - kDoorRightIn, l + wd - kDoorSlack)
                         : m_pDraw->nextInt(l + wd / 2, l + 3 * wd / 4);
            spark->setFlipType(coin == 1 ? sprite::SpriteBase::FLIP_NONE : sprite::SpriteBase::FLIP_HORIZONTAL);
            y = door ? m_pDraw->nextInt(t, t + ht) : m_pDraw->nextInt(t, t + ht - kFuseBottomSlack);
        }
    } else if (m_nSparkKind == SPARKS_SOCKETS) {
        if (socket >= 0 && socket < DIODE_COUNT && m_socketSprites[socket]) {
            x = m_socketSprites[socket]->left() - w + (m_diodes[0] ? m_diodes[0]->width() : 0);
            y = m_socketSprites[socket]->top();
        }
    } else {
        x = m_pDraw->nextInt(0, kScreenWidth);
        y = m_pDraw->nextInt(0, kScreenHeight);
    }
    spark->setPosition(x, y);
    spark->setVisible(shown);
}

void AirCompressor::tickSparks()
{
    if (!m_bSparkRunning)
        return;
    if (--m_nSparkFramesLeft <= 0) {
        m_bSparkRunning = false;
        resetSparkSlots();
        return;
    }
    for (int i = 0; i < SPARK_SLOTS; ++i) {
        SparkSlot& slot = m_sparkSlots[i];
        sprite::AnimateSprite* spark = m_sparks[i];
        if (!spark)
            continue;
        if (slot.active) {
            const int next = spark->getFrame() + 1;
            if (next >= spark->getFrameCount())
                placeSpark(i, false);
            else
                spark->setFrame(next);
        } else if (slot.delay > 0 && --slot.delay == 0) {
            placeSpark(i, true);
        }
    }
}

void AirCompressor::tickGearSparkles()
{
    if (!m_bGearSparkles)
        return;
    const std::string name = "RustSparkle" + std::to_string(m_pDraw->nextInt(1, kGearSparkles));
    sprite::AnimateSprite* sparkle = SceneRoom::findAnimation(this, name.c_str());
    sprite::SpriteBase* rust = SceneRoom::find(this, "Rust");
    if (!sparkle || !rust || sparkle->isAnimating())
        return;
    sparkle->setScale(m_pDraw->nextInt(1) == 0 ? kSmallSparkle : 1.0);
    sparkle->setPosition(rust->left() + m_pDraw->nextInt(rust->width()), rust->top() + m_pDraw->nextInt(rust->height()));
    sparkle->setVisible(true);
    auto* command = new lang::String(name.c_str());
    sparkle->setAction(this, command);
    command->release();
    sparkle->playAnimation(0, -1, 0, kGearSparkleRate, false, 1);
}

bool AirCompressor::isShowingAnimation()
{
    return m_bSparkRunning || m_nBoltsRunning > 0 || hasLuaAnimations();
}

bool AirCompressor::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    if (command->equals(kFlickerDone)) {
        if (m_nLightKind == LIGHT_GLOW)
            return false;
        m_bLightStepping = true;
        m_nLightCountdown = lightDelay(!m_bLightPhase);
        m_bLightPhase = !m_bLightPhase;
        return true;
    }
    if (command->startsWith("FuseBolt")) {
        countBolt(std::atoi(command->c_str() + std::strlen("FuseBolt")), false);
        if (sprite::SpriteBase* bolt = getSprite(command->c_str()))
            bolt->setVisible(false);
    } else if (command->startsWith("RustSparkle")) {
        if (sprite::SpriteBase* sparkle = getSprite(command->c_str()))
            sparkle->setVisible(false);
    }
    return false;
}
