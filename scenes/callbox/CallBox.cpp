// CallBox.cpp: the call box close-up: its receiver, dial, register and the
// test of the number dialled.
#include "scenes/callbox/CallBox.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/DefinitionNumbers.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/buttons/ButtonSprite.h"
#include "windowing/images/ImageBase.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <cstdlib>
#include <cstring>
#include <string>

HV_DEFINE_METACLASS(CallBox);

const char CallBox::kScriptTable[] = "CallBox";

namespace {

// A colour balance byte that leaves the picture as drawn, and the full one
// the tinted places are drawn with.
constexpr int kAsDrawn = 128;
constexpr int kFull = 255;
// The register places slide over 6 frames; the receivers cross-fade over 7.
constexpr int kSlideFrames = 6;
constexpr int kReceiverFadeFrames = 7;
// The mouse-over cursors the keys and click areas take: the hand of the
// framework (1), the game's hand (9), none (-1).
constexpr int kCursorNone = -1;
constexpr int kCursorHand = 1;
constexpr int kCursorGameHand = 9;
// The close button's zoom: the mask, its place, its scales and frames.
constexpr int kZoomX = 536;
constexpr int kZoomY = 87;
constexpr float kZoomFrom = 10.0f;
constexpr float kZoomTo = 0.2f;
constexpr int kZoomFrames = 36;
// The keys' frames by button state: rollover 1, normal 0, disabled 3,
// selected and selected rollover as normal (-1), pressed 2, selected
// pressed as pressed (-2).
constexpr int kKeyFrames[] = {1, 0, 3, -1, -1, 2, -2};
const char kClear[] = "CallBoxClear";
const char kEnter[] = "CallBoxEnter";
const char kPlaceCommand[] = "CallBoxReg";
const char kClearDialCommand[] = "clearDialTrue";

std::string numbered(const char* prefix, int n)
{
    return prefix + std::to_string(n);
}

} // namespace

CallBox::CallBox()
    : m_nCount(0), m_nRestY(0), m_nDisplayY(0), m_nComboLength(0), m_bMillionaireCombo(false)
{
    for (int i = 0; i < PLACES; ++i) {
        m_digits[i] = 0;
        m_combo[i] = 0;
        m_blanks[i] = nullptr;
    }
    SceneLua::bindRoomClass(this, "CallBox", luaMethods());
}

CallBox::~CallBox()
{
    for (window::ImageBase*& blank : m_blanks) {
        if (blank)
            blank->release();
        blank = nullptr;
    }
}

void CallBox::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    DefinitionNumbers numbers(this);
    const int given = numbers.at(1);
    m_nComboLength = given;
    if (given < 0 || given > PLACES) {
        // The register holds four digits: a longer combination could never
        // be dialled, and its digits would not fit.
        m_nComboLength = given < 0 ? 0 : PLACES;
        window::debugLine(getName().c_str(), ": a combination of ", given, " digits is taken as ", m_nComboLength,
                          "\n");
    }
    for (int i = 0; i < m_nComboLength; ++i)
        m_combo[i] = numbers.at(2 + i);
    // The heights follow the digits the definition holds.
    const int digits = given > 0 ? given : 0;
    m_nRestY = numbers.at(2 + digits);
    m_nDisplayY = numbers.at(3 + digits);

    // The places' own pictures are what they show while empty (the room
    // owns the sprites, and they their pictures).
    for (int i = 1; i <= PLACES; ++i) {
        sprite::SpriteBase* s = place(i);
        window::ImageBase*& blank = m_blanks[i - 1];
        if (blank)
            blank->release();
        blank = s && s->isInstanceOf("ImageSprite") ? static_cast<sprite::ImageSprite*>(s)->getImage() : nullptr;
        if (blank)
            blank->addRef();
    }

    std::string keys[KEYS + 2];
    for (int k = 1; k <= KEYS; ++k)
        keys[k - 1] = numbered("CallBox", k);
    keys[KEYS] = kClear;
    keys[KEYS + 1] = kEnter;
    for (const std::string& name : keys) {
        sprite::SpriteBase* s = SceneRoom::find(this, name.c_str());
        if (!s)
            continue;
        if (!s->isInstanceOf("ButtonSprite")) {
            window::debugLine(getName().c_str(), ": the sprite ", name.c_str(), " is no ButtonSprite\n");
            continue;
        }
        auto* key = static_cast<sprite::ButtonSprite*>(s);
        key->setStateFrames(kKeyFrames[0], kKeyFrames[1], kKeyFrames[2], kKeyFrames[3], kKeyFrames[4],
                            kKeyFrames[5], kKeyFrames[6]);
        key->setFireOnRelease(true);
        key->setBoundsHitTest(false);
    }
    m_bShown = true;
}

int CallBox::mouseDown(window::Event* e)
{
    const int result = Room::mouseDown(e);
    if (!SceneRoom::isCloseButtonHit(this, e->x, e->y))
        return result;
    zoomToRoom(MANSION_GATE_ROOM, lang::String("+iCallBoxTransition"), kZoomX, kZoomY, kZoomFrom, kZoomTo,
               kZoomFrames, nullptr);
    callScript(kScriptTable, "onExit");
    return COMMAND_READY;
}

void CallBox::onEnter()
{
    Room::onEnter();
    if (sprite::SpriteBase* lifted = SceneRoom::find(this, "ReceiverOffHook"))
        lifted->setVisible(false);
    if (sprite::SpriteBase* hung = SceneRoom::find(this, "ReceiverOnHook")) {
        hung->setColorBalance(kAsDrawn, kAsDrawn, kAsDrawn, kAsDrawn);
        hung->setVisible(true);
    }
    clearRegister(false);
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setPuzzleActive(true);
}

void CallBox::onExit()
{
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setPuzzleActive(false);
    Room::onExit();
}

bool CallBox::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    if (command->startsWith(kPlaceCommand)) {
        blankPlace(std::atoi(command->c_str() + std::strlen(kPlaceCommand)));
        return true;
    }
    if (command->startsWith(kClearDialCommand)) {
        if (sprite::SpriteBase* clear = SceneRoom::find(this, kClear))
            clear->setAction(nullptr, nullptr);
        clearDial(true);
    }
    return false;
}

sprite::SpriteBase* CallBox::place(int i)
{
    return SceneRoom::find(this, numbered(kPlaceCommand, i).c_str());
}

void CallBox::blankPlace(int i)
{
    sprite::SpriteBase* s = i >= 1 && i <= PLACES ? place(i) : nullptr;
    if (!s)
        return;
    s->setAction(nullptr, nullptr);
    if (m_blanks[i - 1] && s->isInstanceOf("ImageSprite"))
        static_cast<sprite::ImageSprite*>(s)->setImage(m_blanks[i - 1]);
}

void CallBox::addDigit(int digit)
{
    if (m_nCount >= PLACES) {
        SceneRoom::playSound(SOUND_WRONG);
        return;
    }
    m_digits[m_nCount++] = digit;
    if (sprite::SpriteBase* s = place(m_nCount)) {
        // A slide back of the last clearing no longer empties this place.
        s->setAction(nullptr, nullptr);
        sprite::SpriteBase* model = getSprite(numbered("CallBoxRegProto", digit).c_str());
        // A digit without a picture leaves the place's picture as it was.
        if (model && model->isInstanceOf("ImageSprite") && s->isInstanceOf("ImageSprite"))
            static_cast<sprite::ImageSprite*>(s)->setImage(static_cast<sprite::ImageSprite*>(model)->getImage());
        else
            window::debugLine(getName().c_str(), ": no picture for the digit ", digit, "\n");
        s->setPosition(s->left(), m_nRestY);
    }
    // Only the digits 0 to 9 have a sound of their own.
    if (digit >= 0 && digit <= 9)
        SceneRoom::playSound(SOUND_DIGIT + digit);
}

void CallBox::updateRegister()
{
    for (int i = 1; i <= m_nCount; ++i) {
        sprite::SpriteBase* s = place(i);
        if (!s)
            continue;
        s->setVisible(true);
        if (i == m_nCount && s->top() == m_nRestY)
            s->setDestination(s->left(), m_nDisplayY, kSlideFrames);
    }
    SceneRoom::playSound(SOUND_REGISTER_SHOWN);
}

void CallBox::clearRegister(bool animate)
{
    for (int i = 1; i <= PLACES; ++i) {
        m_digits[i - 1] = 0;
        sprite::SpriteBase* s = place(i);
        if (!s)
            continue;
        s->setColorBalance(kFull, kAsDrawn, kAsDrawn, kAsDrawn);
        if (animate && i <= m_nCount) {
            // The sprite keeps a reference on its command.
            auto* command = new lang::String(numbered(kPlaceCommand, i).c_str());
            s->setAction(this, command);
            command->release();
            s->setDestination(s->left(), m_nRestY, kSlideFrames);
        } else {
            s->setPosition(s->left(), m_nRestY);
            s->setVisible(true);
            blankPlace(i);
        }
    }
    if (m_nCount > 0)
        SceneRoom::playSound(SOUND_REGISTER_CLEARED);
    m_nCount = 0;
}

bool CallBox::isComboCorrect() const
{
    if (m_nCount != m_nComboLength)
        return false;
    for (int i = 0; i < m_nCount; ++i) {
        if (m_digits[i] != m_combo[i])
            return false;
    }
    return true;
}

void CallBox::testCombo(bool show)
{
    const bool right = isComboCorrect();
    SceneRoom::playSound(right ? SOUND_RIGHT : SOUND_WRONG);
    for (int i = 1; i <= m_nCount; ++i) {
        sprite::SpriteBase* s = place(i);
        if (!s)
            continue;
        if (!show)
            s->setColorBalance(kFull, kAsDrawn, kAsDrawn, kAsDrawn);
        else if (right)
            s->setColorBalance(kFull, 0, kAsDrawn, 0);
        else
            s->setColorBalance(kFull, kAsDrawn, 0, 0);
    }
}

void CallBox::clearDial(bool enable)
{
    for (int k = 1; k <= KEYS; ++k) {
        const std::string name = numbered("CallBox", k);
        if (sprite::ButtonMixin* key = SceneRoom::findButton(this, name.c_str())) {
            key->setEnabled(enable);
            getSprite(name.c_str())->setVisible(true);
        }
    }
    for (const char* name : {kClear, kEnter}) {
        if (sprite::ButtonMixin* key = SceneRoom::findButton(this, name)) {
            key->setEnabled(enable);
            getSprite(name)->setMouseOverCursor(enable ? kCursorGameHand : kCursorNone);
        }
    }
}

void CallBox::liftReceiver(bool lift)
{
    sprite::SpriteBase* hung = SceneRoom::find(this, "ReceiverOnHook");
    sprite::SpriteBase* lifted = SceneRoom::find(this, "ReceiverOffHook");
    sprite::SpriteBase* going = lift ? hung : lifted;
    sprite::SpriteBase* coming = lift ? lifted : hung;
    if (going) {
        going->setAlphaBalance(kAsDrawn);
        going->setAlphaDestination(0, kReceiverFadeFrames, 1);
    }
    if (coming) {
        coming->setAlphaBalance(0);
        coming->setVisible(true);
        coming->setAlphaDestination(kAsDrawn, kReceiverFadeFrames, 0);
    }
    // The lifted receiver's area hangs it up; the hung receiver's and the
    // keypad's lift it.
    const struct {
        const char* name;
        bool on;
    } areas[] = {{"ReceiverOffHookRect", lift}, {"ReceiverOnHookRect", !lift}, {"CallBoxButtonsRect", !lift}};
    for (const auto& area : areas) {
        if (sprite::ButtonMixin* button = SceneRoom::findButton(this, area.name)) {
            getSprite(area.name)->setMouseOverCursor(area.on ? kCursorHand : kCursorNone);
            button->setEnabled(area.on);
        }
    }
    if (lift)
        SceneRoom::playSound(SOUND_RECEIVER_LIFTED);
}
