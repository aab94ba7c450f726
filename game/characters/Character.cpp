// Character.cpp: the character's layers and body types, its states, its
// speech through the balloon, the balloon's placement, blinking and the
// mouth, moves, and the talk-to-me button.
#include "game/characters/Character.h"

#include "game/balloons/TalkBalloon.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/images/ScalerSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "windowing/window/Event.h"

#include <algorithm>
#include <initializer_list>

HV_DEFINE_METACLASS(Character);

const char* const Character::kLayerNames[LAYER_COUNT + 1] = {"legs",     "torso", "head",  "rightarm",
                                                             "leftarm",  "talk",  "blink", nullptr};
const char* const Character::kTypeNames[TYPE_COUNT + 1] = {"A", "B", "C", "D", "E", "F", "G", nullptr};
const char* const Character::kAnchorNames[6] = {"NW", "SW", "SE", "NE", "PHONE", nullptr};
const char Character::kMetatable[] = "hv.Character";
const char Character::kScriptFile[] = "Character.lua";

namespace {

// The definition's body-type count that gives a character all seven types.
constexpr int kAllBodyTypes = 7;
// The talk-to-me button's pop: from 1 % to 150 % of its size in 6 frames.
constexpr int kPopFromPercent = 1;
constexpr int kPopToPercent = 150;
constexpr int kPopFrames = 6;
// The player's and the tutorial guide's fades: in over 6 frames, out over 5.
constexpr int kFadeInFrames = 6;
constexpr int kFadeOutFrames = 5;
// A balloon brought back after a fade out comes back over 4 frames.
constexpr int kReappearFrames = 4;
// The alpha balance that draws a sprite unchanged.
constexpr int kOpaque = 128;

// The sprite names that fill each layer but the head, by body type: the
// layer's word followed by the type letter.
const char* const kLayerWords[] = {"Legs", "Torso", nullptr, "ArmR", "ArmL"};

LanternfieldCanvas* canvas()
{
    return LanternfieldCanvas::instance;
}

lang::String typedName(const char* word, int type)
{
    lang::String name(word);
    name.append(Character::kTypeNames[type]);
    return name;
}

} // namespace

Character::Character()
    : sprite::DialogSprite(false),
      m_bBlinking(false),
      m_nBlinkCountdown(0),
      m_nBlinkMin(0),
      m_nBlinkMax(0),
      m_bEnabled(false),
      m_pTalkText(nullptr),
      m_pTalkBalloon(nullptr),
      m_pSkipButton(nullptr),
      // Idle until a room or a script says otherwise.
      m_nState(STATE_IDLE),
      m_nBodyType(-1),
      m_nHeadType(-1),
      m_bAmbients(false),
      m_bWalking(false),
      m_nMood(0),
      m_layers{},
      m_heads{},
      m_bHasTalkToMeButton(true),
      m_bTalkToMeButtonShown(false),
      m_nFixedBalloonX(0),
      m_nFixedBalloonY(0),
      m_nBalloonAnchor(ANCHOR_AUTO),
      m_bFixedBalloon(false),
      m_nTalkFrames(0),
      m_nMinTalkFrames(0),
      m_nTimeUpFrames(0)
{
    sprite::SpriteBaseLua::bindClass(this, kMetatable, "hv.DialogSprite", kScriptFile, "Character", luaMethods());
}

int Character::definitionNumber(int i) const
{
    return i >= 0 && i < m_params.length() ? m_params[i] : 0;
}

sprite::AnimateSprite* Character::animatedChild(const char* name)
{
    sprite::SpriteBase* child = getSprite(name);
    return child && child->isInstanceOf("AnimateSprite") ? static_cast<sprite::AnimateSprite*>(child) : nullptr;
}

sprite::SpriteBase* Character::talkToMeButton()
{
    return m_bHasTalkToMeButton ? getSprite("TalkToMeButton") : nullptr;
}

sprite::AnimateSprite* Character::getLayer(int layer) const
{
    return layer >= 0 && layer < LAYER_COUNT ? m_layers[layer] : nullptr;
}

sprite::AnimateSprite* Character::getHead(int type) const
{
    return type >= 0 && type < TYPE_COUNT ? m_heads[type] : nullptr;
}

void Character::reportEnd(sprite::SpriteBase* sprite, const char* command)
{
    auto* text = new lang::String(command);
    sprite->setAction(this, text);
    text->release();
}

void Character::setTalkText(sprite::SpriteBase* text)
{
    m_pTalkText = text && text->isInstanceOf("NewFontSprite") ? static_cast<sprite::NewFontSprite*>(text) : nullptr;
}

// ---- Set-up and the sprite overrides ---------------------------------------

void Character::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    lang::IntArray* numbers = definition ? definition->getNumbers() : nullptr;
    if (numbers)
        m_params = *numbers;
    closeMouth();
    m_offset = util::Point(definitionNumber(0), definitionNumber(1));
    m_nBlinkCountdown = definitionNumber(3);
    m_nBlinkMin = definitionNumber(3);
    m_nBlinkMax = definitionNumber(4);
    if (m_bHasTalkToMeButton) {
        findHeadSprites();
        for (int type = 0; type < TYPE_COUNT; ++type) {
            setBodyType(type);
            setLayersVisible(false);
        }
    }
    setVisible(false);
}

void Character::setPosition(int x, int y)
{
    m_position = util::Point(x, y);
    sprite::DialogSprite::setPosition(x, y);
}

void Character::setVisible(bool visible)
{
    sprite::DialogSprite::setVisible(visible);
    if (!visible) {
        showTalkText(false);
        showTalkBalloon(false, false, 0);
    } else if (sprite::SpriteBase* button = talkToMeButton()) {
        button->setVisible(m_bTalkToMeButtonShown);
    }
}

bool Character::hittest(int x, int y)
{
    int lx = x;
    int ly = y;
    toLocal(lx, ly);
    sprite::SpriteBase* button = talkToMeButton();
    auto* animated =
        button && button->isInstanceOf("AnimateSprite") ? static_cast<sprite::AnimateSprite*>(button) : nullptr;
    const bool buttonShows = button && button->isVisible();
    if (animated && buttonShows)
        animated->setFrame(0);
    if (!m_bEnabled)
        return false;
    for (sprite::AnimateSprite* layer : m_layers) {
        if (layer && layer->hittestImage(lx, ly)) {
            if (animated && buttonShows)
                animated->setFrame(1);
            return true;
        }
    }
    if (buttonShows && button->hittest(lx, ly)) {
        if (animated)
            animated->setFrame(1);
        return true;
    }
    return false;
}

bool Character::isOverTalkToMeButton(int x, int y)
{
    sprite::SpriteBase* button = talkToMeButton();
    if (!button || !m_bEnabled || !isVisible() || !button->isVisible())
        return false;
    int lx = x;
    int ly = y;
    toLocal(lx, ly);
    return button->hittest(lx, ly);
}

int Character::mouseDown(window::Event* e)
{
    if (m_pSkipButton) {
        int lx = e->x;
        int ly = e->y;
        toLocal(lx, ly);
        if (m_pSkipButton->hittest(lx, ly)) {
            skipTalk();
            return COMMAND_READY;
        }
    }
    return sprite::DialogSprite::mouseDown(e);
}

bool Character::mouseMove(window::Event* e)
{
    return m_bEnabled && isVisible() && hittest(e->x, e->y);
}

bool Character::handleEvent(window::Event* e)
{
    if (e && e->arg && e->arg->isInstanceOf("String"))
        handleAction(e->target, static_cast<lang::String*>(e->arg));
    return true;
}

void Character::handleAction(lang::Object*, lang::String* command)
{
    if (!command)
        return;
    if (command->startsWith("MovingPositionFinished")) {
        if (m_bWalking) {
            setWalking(false);
            setAction(nullptr, nullptr);
        }
    } else if (command->startsWith("RightArmToStart")) {
        setLayerFrame(RIGHT_ARM, 0);
    } else if (command->startsWith("BlinkFinished")) {
        if (m_layers[BLINK])
            m_layers[BLINK]->setVisible(false);
    } else if (command->startsWith("ToIdle")) {
        if (m_nState != STATE_MOVING)
            changeState(STATE_IDLE);
    } else if (command->startsWith("TalkBalloonDisappearFinished")) {
        showTalkBalloon(true, false, 0);
        showTalkText(true);
        fadeTalkBalloon(kOpaque, kReappearFrames);
        if (m_pTalkBalloon)
            reportEnd(m_pTalkBalloon, "TalkBalloonAppearFinished");
    } else if (command->startsWith("TalkToMeButtonMaxSize")) {
        if (sprite::SpriteBase* button = getSprite("TalkToMeButton"))
            button->setScale(1.0);
    }
}

// ---- Tick: blinking, the talk countdowns and the mouth ----------------------

bool Character::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (!isVisible())
        return sprite::DialogSprite::tick(frame, boundsOut, region);
    if (m_bBlinking && --m_nBlinkCountdown < 0)
        blink();
    if (m_nState != STATE_TALKING && m_nState != STATE_TIME_UP)
        return sprite::DialogSprite::tick(frame, boundsOut, region);

    const bool wasTalking = isTalking();
    const bool changed = sprite::DialogSprite::tick(frame, boundsOut, region);
    if (m_pTalkText && m_pTalkText->isVisible() && isTalking() && !m_pTalkText->isRevealPaused()) {
        --m_nMinTalkFrames;
        if (!m_pTalkText->isRevealing())
            --m_nTalkFrames;
    }
    if (m_nTalkFrames <= 0 && wasTalking)
        changeState(STATE_TIME_UP);
    else if (frame % 2 == 0)
        flapMouth();
    // A speech whose time is up is taken down once it could be read, so
    // that no balloon is left standing after the talk.
    const int readFrames = m_pTalkText ? m_pTalkText->getText().length() * READ_FRAMES_PER_CHAR : 0;
    const int reading = readFrames > READ_MIN_FRAMES ? readFrames : READ_MIN_FRAMES;
    if (m_nState == STATE_TIME_UP && m_nTimeUpFrames++ > reading) {
        stopTalk();
        return changed;
    }
    if (!isTalking())
        stopTalk();
    return changed;
}

void Character::flapMouth()
{
    sprite::AnimateSprite* mouth = m_layers[TALK];
    if (!mouth)
        return;
    // A mouth of one frame has no other frame to show.
    const int last = mouth->getFrameCount() - 1;
    if (last < 1)
        return;
    int next;
    do {
        next = m_random.nextInt(last);
    } while (next == mouth->getFrame());
    mouth->setFrame(next);
}

void Character::blink()
{
    if (m_layers[BLINK] && isVisible()) {
        bringToFront(m_layers[BLINK]);
        m_layers[BLINK]->setVisible(true);
        startAnimation(BLINK, 0, -1, 1, 1, 1, lang::String("BlinkFinished"));
    }
    m_nBlinkCountdown = m_random.nextInt(m_nBlinkMin, m_nBlinkMax);
}

// ---- States ------------------------------------------------------------------

void Character::changeState(int state)
{
    if (m_nState != STATE_IDLE && m_nState == state)
        return;
    m_nState = state;
    switch (state) {
    case STATE_OFF:
        if (isTalking())
            stopTalk();
        if (isVisible())
            setVisible(false);
        setBlinking(false);
        m_bAmbients = false;
        break;
    case STATE_IDLE:
        enterIdlePose();
        closeMouth();
        break;
    case STATE_TIME_UP:
        onTalkTimeUp();
        break;
    case STATE_STOPPED:
        onTalkStopped();
        break;
    default:
        break;
    }
}

void Character::onTalkStopped()
{
    closeMouth();
    m_nState = STATE_IDLE;
    setBlinking(true);
}

void Character::onTalkTimeUp()
{
    playRightArmBack();
    closeMouth();
}

bool Character::canSkipTalk()
{
    return m_nMinTalkFrames <= 0;
}

void Character::setState(const lang::String& name)
{
    if (name.toLowerCase().equals("normal"))
        m_nMood = 0;
}

void Character::setConversation(bool)
{
}

void Character::setBlinking(bool blinking)
{
    m_bBlinking = blinking;
    if (!blinking && m_layers[BLINK])
        m_layers[BLINK]->setVisible(false);
}

void Character::setEnabled(bool enabled)
{
    m_bEnabled = enabled;
    sprite::SpriteBase* button = talkToMeButton();
    if (!enabled && button && button->isVisible() && button->isInstanceOf("AnimateSprite"))
        static_cast<sprite::AnimateSprite*>(button)->setFrame(0);
}

void Character::setOffset(int x, int y)
{
    setPosition(x - m_offset.x, y - m_offset.y);
}

// ---- Body and head types, layers ----------------------------------------------

void Character::findHeadSprites()
{
    const bool allTypes = definitionNumber(2) == kAllBodyTypes;
    for (int type = 0; type < TYPE_COUNT; ++type) {
        const bool optional = type == 2 || type == 4;
        m_heads[type] = optional && !allTypes ? nullptr : animatedChild(typedName("Head", type).c_str());
    }
}

void Character::setBodyType(int type)
{
    if (type == m_nBodyType)
        return;
    for (sprite::AnimateSprite*& layer : m_layers)
        layer = nullptr;
    if (type < 0 || type >= TYPE_COUNT)
        return;
    // Types C and E exist only on a character with all seven.
    if ((type == 2 || type == 4) && definitionNumber(2) != kAllBodyTypes)
        return;
    for (int layer = LEGS; layer <= LEFT_ARM; ++layer) {
        if (kLayerWords[layer])
            m_layers[layer] = animatedChild(typedName(kLayerWords[layer], type).c_str());
    }
    m_layers[HEAD] = m_heads[type];
    if (type == TYPE_B) {
        m_layers[TALK] = animatedChild("MouthB");
        m_layers[BLINK] = animatedChild("BlinkB");
        if (m_layers[TALK])
            bringToFront(m_layers[TALK]);
        if (m_layers[BLINK])
            bringToFront(m_layers[BLINK]);
    }
}

void Character::setBodyTypeAndShow(int type)
{
    setLayersVisible(false);
    setBodyType(type);
    setLayersVisible(true);
    m_nBodyType = type;
}

void Character::enterIdlePose()
{
    m_bAmbients = true;
    setBodyTypeAndShow(TYPE_B);
    setLayersVisible(true);
    resetLayerFrames();
}

void Character::setHeadTypeLayers(int type)
{
    sprite::AnimateSprite* head = getHead(type);
    // A head type the character lacks leaves the head as it is.
    if (!m_layers[HEAD] || !head)
        return;
    m_layers[HEAD]->setVisible(false);
    m_layers[HEAD] = head;
    for (int layer : {TALK, BLINK}) {
        if (!m_layers[layer])
            continue;
        if (type == TYPE_B) {
            bringToFront(m_layers[layer]);
            m_layers[layer]->setVisible(true);
        } else {
            m_layers[layer]->setVisible(false);
        }
    }
    head->setVisible(true);
    m_nHeadType = type;
}

void Character::setAnimLayer(int layer, const lang::String& spriteName, int frame)
{
    sprite::AnimateSprite* current = getLayer(layer);
    sprite::AnimateSprite* replacement = animatedChild(spriteName.c_str());
    // A name the character lacks leaves the layer as it is.
    if (!current || !replacement)
        return;
    current->setVisible(false);
    m_layers[layer] = replacement;
    replacement->setVisible(true);
    replacement->setFrame(frame);
}

void Character::setLayerVisible(int layer, bool visible)
{
    sprite::AnimateSprite* sprite = getLayer(layer);
    if (!sprite || (visible && !isVisible()))
        return;
    sprite->setVisible(visible);
}

void Character::setLayerFrame(int layer, int frame)
{
    if (sprite::AnimateSprite* sprite = getLayer(layer))
        sprite->setFrame(frame);
}

void Character::setLayersVisible(bool visible)
{
    for (sprite::AnimateSprite* layer : m_layers) {
        if (layer)
            layer->setVisible(visible);
    }
}

void Character::resetLayerFrames()
{
    for (sprite::AnimateSprite* layer : m_layers) {
        if (layer)
            layer->setFrame(0);
    }
}

void Character::closeMouth()
{
    setLayerFrame(TALK, 0);
}

// ---- Layer animation -------------------------------------------------------------

void Character::playFrames(sprite::AnimateSprite* sprite, int startFrame, int endFrame, int rate, int step,
                           int loops)
{
    if (startFrame == -1)
        startFrame = sprite->getFrame();
    if (endFrame == -1)
        endFrame = sprite->getFrameCount() - 1;
    if (step > 0)
        sprite->setFrame(startFrame);
    sprite->setFrameRange(startFrame, endFrame);
    sprite->setFrameRate(rate);
    sprite->setStartDelay(0);
    sprite->setPingPong(false);
    if (loops > 1)
        sprite->setLoopsLeft(loops);
    sprite->setFrameStep(step, loops > 1 || loops < 0);
}

void Character::startAnimation(int layer, int startFrame, int endFrame, int frameRate, int frameStep, int loops,
                               const lang::String& notification)
{
    sprite::AnimateSprite* sprite = getLayer(layer);
    if (!sprite)
        return;
    playFrames(sprite, startFrame, endFrame, frameRate, frameStep, loops);
    reportEnd(sprite, notification.isEmpty() ? "AnimationFinished" : notification.c_str());
    setLayerVisible(layer, true);
}

void Character::playArmForward(int layer)
{
    if (sprite::AnimateSprite* arm = getLayer(layer))
        playFrames(arm, 0, -1, 1, 1, 1);
}

void Character::playArmBack(int layer)
{
    sprite::AnimateSprite* arm = getLayer(layer);
    if (!arm || arm->getFrame() == 0)
        return;
    const int last = arm->getFrameCount() - 1;
    arm->setFrame(last);
    arm->setFrameRange(last, 0);
    arm->setFrameRate(1);
    arm->setStartDelay(0);
    arm->setPingPong(false);
    arm->setFrameStep(-1, false);
}

void Character::playRightArmForward()
{
    playArmForward(RIGHT_ARM);
}

void Character::playLeftArmForward()
{
    playArmForward(LEFT_ARM);
}

void Character::playRightArmBack()
{
    playArmBack(RIGHT_ARM);
}

void Character::playLeftArmBack()
{
    playArmBack(LEFT_ARM);
}

void Character::setWalking(bool walking)
{
    m_bWalking = walking;
    for (int layer : {LEGS, RIGHT_ARM, LEFT_ARM}) {
        sprite::AnimateSprite* sprite = m_layers[layer];
        if (!sprite)
            continue;
        if (walking) {
            // No count left from an earlier run may end the cycle.
            sprite->setLoopsLeft(0);
            playFrames(sprite, 0, -1, 1, 1, -1);
        } else {
            playFrames(sprite, 0, 0, 1, 1, 1);
        }
    }
}

void Character::moveTo(int x, int y, int frames)
{
    changeState(STATE_MOVING);
    reportEnd(this, "MovingPositionFinished");
    setDestination(x - m_offset.x, y - m_offset.y, frames);
}

// ---- Speaking ------------------------------------------------------------------

bool Character::isTalking()
{
    return (m_pTalkText && m_pTalkText->isRevealing()) || m_nTalkFrames > 0 ||
           (m_pTalkBalloon && m_pTalkBalloon->isVisible());
}

void Character::talk(const lang::String& textId, bool timed)
{
    m_nMinTalkFrames = MIN_TALK_FRAMES;
    say(lang::String::loadText(textId), timed, 1);
}

void Character::say(const lang::String& text, bool timed, int framesPerChar)
{
    if (LanternfieldCanvas* c = canvas()) {
        Character* speaking = c->getTalkingCharacter();
        if (speaking && speaking != this)
            speaking->stopTalk();
        c->setTalkingCharacter(this);
    }
    if (m_nState != STATE_TALKING)
        changeState(STATE_TALKING);
    m_nTimeUpFrames = 0;
    if (m_pTalkBalloon) {
        if (m_pTalkText) {
            m_pTalkText->setText(text.c_str());
            m_pTalkBalloon->layout(m_pTalkText);
        }
        if (m_bFixedBalloon)
            placeTalkBalloon(m_nFixedBalloonX, m_nFixedBalloonY, m_nBalloonAnchor);
        else
            placeTalkBalloon(m_position.x + m_offset.x, m_position.y + m_offset.y, m_nBalloonAnchor);
        m_pTalkBalloon->placeOver(m_pTalkText);
        showTalkBalloon(true, timed, 0);
        if (m_bHasTalkToMeButton || getName().equals("CallBoxIntercom") || getName().equals("Ghost")) {
            if (LanternfieldCanvas* c = canvas())
                c->playSound(SOUND_TALK_BLIP);
        }
    }
    showTalkText(true);
    setSpeechText(text, framesPerChar);
}

void Character::setSpeechText(const lang::String& text, int framesPerChar)
{
    if (!m_pTalkText)
        return;
    m_pTalkText->setVisible(true);
    m_pTalkText->setText(text.c_str());
    const long long frames = (long long)text.length() * framesPerChar;
    m_nTalkFrames = frames < m_nMinTalkFrames ? m_nMinTalkFrames : int(frames);
}

void Character::stopTalk()
{
    changeState(STATE_STOPPED);
    if (LanternfieldCanvas* c = canvas()) {
        // The slot is left alone when another character took it over.
        if (c->getTalkingCharacter() == this)
            c->setTalkingCharacter(nullptr);
    }
    showTalkText(false);
    if (m_pTalkBalloon) {
        showTalkBalloon(false, false, 0);
        m_pTalkBalloon->clearTail();
    }
    m_nTalkFrames = 0;
    m_nMinTalkFrames = 0;
}

void Character::skipTalk()
{
    if (m_pTalkText && m_pTalkText->isVisible() && isTalking())
        stopTalk();
}

void Character::showTalkText(bool show)
{
    if (m_pTalkText)
        m_pTalkText->setVisible(show);
}

void Character::showTalkBalloon(bool show, bool hideSkip, int transition)
{
    if (m_pTalkBalloon) {
        if (transition != 0)
            m_pTalkBalloon->showWithTransition(show, transition);
        else
            m_pTalkBalloon->setVisible(show);
        m_pTalkBalloon->showTail(show);
    }
    if (m_pSkipButton) {
        m_pSkipButton->setVisible(show && !hideSkip);
        sprite::ButtonMixin::enableIfButton(m_pSkipButton, show && !hideSkip);
    }
}

void Character::fadeIn(sprite::SpriteBase* sprite)
{
    sprite->setVisible(true);
    sprite->setAlphaBalance(0);
    sprite->setAlphaDestination(kOpaque, kFadeInFrames, 0);
}

void Character::fadeOut(sprite::SpriteBase* sprite)
{
    sprite->setAlphaDestination(0, kFadeOutFrames, 1);
}

void Character::fadeTalkBalloon(int alpha, int frames)
{
    if (m_pTalkBalloon) {
        const bool disappearing = alpha == 0 && m_pTalkBalloon->getAlpha() != 0;
        m_pTalkBalloon->setAlphaDestination(alpha, frames, 0);
        m_pTalkBalloon->fadeTail(alpha, frames);
        if (disappearing)
            reportEnd(m_pTalkBalloon, "TalkBalloonDisappearFinished");
    }
    if (m_pSkipButton)
        m_pSkipButton->setAlphaDestination(alpha, frames, 0);
    if (m_pTalkText)
        m_pTalkText->setAlphaDestination(alpha, frames, 0);
}

// ---- Balloon placement ---------------------------------------------------------

int Character::balloonAnchorWidth()
{
    return m_layers[TORSO] ? m_layers[TORSO]->width() : width();
}

void Character::placeTalkBalloon(int x, int y, int anchor)
{
    TalkBalloon* balloon = m_pTalkBalloon;
    if (!balloon)
        return;
    int code = anchor;
    if (code == ANCHOR_AUTO) {
        // The side with room: right of a speaker on the left, above one low
        // on the screen.
        const bool low = y > SCREEN_HEIGHT / 3;
        if (x < SCREEN_WIDTH / 2)
            code = low ? ANCHOR_SW : ANCHOR_NW;
        else
            code = low ? ANCHOR_SE : ANCHOR_NE;
    }
    const int wb = balloon->width();
    const int hb = balloon->height();
    const int wa = balloonAnchorWidth();
    const int hs = m_pSkipButton ? m_pSkipButton->height() : 0;
    const int ws = m_pSkipButton ? m_pSkipButton->width() : 0;
    const int towardSpeaker = x + wa - wa / 4;
    const int talkToMe = m_bHasTalkToMeButton ? 1 : 0;
    int bx = x;
    int by = y;
    int tx = x;
    int ty = y;
    int sx = 0;
    int sy = 0;
    bool placesSkip = true;
    switch (code) {
    case ANCHOR_NW:
        bx = talkToMe ? x + wa - 20 : x;
        by = y;
        tx = bx;
        ty = y + hb / 3;
        sx = bx + 20;
        sy = y - hs / 2 - 3 + hb;
        break;
    case ANCHOR_SW:
        by = y - hb;
        tx = towardSpeaker;
        ty = y;
        sx = tx + 50;
        sy = by - hs / 2 - 3 + hb;
        break;
    case ANCHOR_SE:
        bx = x - wb / 2;
        // Kept on screen: no overhang past the right edge's margin.
        if (bx + wb > SCREEN_WIDTH - BALLOON_MARGIN)
            bx = SCREEN_WIDTH - BALLOON_MARGIN - wb;
        by = y - hb - 10 * talkToMe;
        tx = x - wb / 4;
        ty = by + hb;
        sx = tx + 40;
        sy = by - hs / 2 + hb;
        break;
    case ANCHOR_PHONE:
        by = y - hb;
        tx = towardSpeaker;
        ty = y;
        sx = tx - 330;
        sy = by - hs / 2 - 3 + hb;
        break;
    case ANCHOR_THOUGHT: {
        // The thought balloon's tail sits higher on taller balloons.
        const int k = hb <= 47 ? 3 : hb > 100 ? 57 : hb >= 83 ? 39 : hb >= 63 ? 22 : 19;
        tx = towardSpeaker;
        ty = y + hb - k;
        placesSkip = false;
        break;
    }
    default:
        bx = x - wb - 10 * talkToMe;
        by = y;
        tx = bx + wb;
        ty = y + hb / 3;
        sx = tx - ws - 20;
        sy = y - hs / 2 - 3 + hb;
        break;
    }
    // Any balloon still past an edge's margin is pushed inside, its skip
    // button along with it, and its tail along with the edge it hangs from:
    // the top or bottom edge for every code, the side edge for NW and NE.
    const int keptX = std::max(BALLOON_MARGIN, std::min(bx, SCREEN_WIDTH - BALLOON_MARGIN - wb));
    const int keptY = std::max(BALLOON_MARGIN, std::min(by, SCREEN_HEIGHT - BALLOON_MARGIN - hb));
    const bool sideTail = code != ANCHOR_SW && code != ANCHOR_SE && code != ANCHOR_PHONE && code != ANCHOR_THOUGHT;
    if (sideTail)
        tx += keptX - bx;
    ty += keptY - by;
    sx += keptX - bx;
    sy += keptY - by;
    bx = keptX;
    by = keptY;
    balloon->setPosition(bx, by);
    balloon->placeTail(code, tx, ty);
    if (m_pSkipButton && placesSkip)
        m_pSkipButton->setPosition(sx, sy);
}

void Character::setFixedTalkBalloonPosition(bool fixed, int x, int y, int anchor)
{
    if (fixed) {
        m_nFixedBalloonX = x;
        m_nFixedBalloonY = y;
        m_nBalloonAnchor = anchor;
    }
    m_bFixedBalloon = fixed;
}

// ---- The talk-to-me button -------------------------------------------------------

void Character::showTalkToMeButton(bool show)
{
    if (!m_bHasTalkToMeButton)
        return;
    m_bTalkToMeButtonShown = show;
    if (sprite::SpriteBase* button = getSprite("TalkToMeButton"))
        button->setVisible(show);
}

void Character::popTalkToMeButton()
{
    if (!m_bHasTalkToMeButton)
        return;
    if (LanternfieldCanvas* c = canvas())
        c->playSound(SOUND_TALK_TO_ME);
    m_bTalkToMeButtonShown = true;
    sprite::SpriteBase* button = getSprite("TalkToMeButton");
    if (!button)
        return;
    button->setVisible(true);
    if (button->isInstanceOf("ScalerSprite"))
        static_cast<sprite::ScalerSprite*>(button)->startScaling(kPopFromPercent, kPopToPercent, kPopFrames, false, 0,
                                                                  0, false, 0.0, 0.0);
    reportEnd(button, "TalkToMeButtonMaxSize");
}
