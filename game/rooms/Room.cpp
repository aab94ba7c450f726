// Room.cpp: the room's construction, its state machine, entering and
// leaving, the click rules (exits before the script), its exits and its
// characters.
#include "game/rooms/Room.h"

#include "core/lang/Synchronized.h"
#include "game/ambient/AmbientAnimManager.h"
#include "game/ambient/AmbientAnimal.h"
#include "game/ambient/AmbientSoundManager.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/characters/Character.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/particles/ExplosionSpritePSX.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <algorithm>

HV_DEFINE_METACLASS(Room);

const char Room::kMetatable[] = "hv.Room";
const char Room::kScriptFile[] = "Room.lua";
const char Room::kLuaClassName[] = "Room";

namespace {

LanternfieldCanvas* canvas()
{
    return LanternfieldCanvas::instance;
}

bool isPlaying()
{
    LanternfieldCanvas* c = canvas();
    return c && c->getGameState() == LanternfieldCanvas::STATE_PLAYING;
}

// The player figure, when it talks and may be cut short.
Character* interruptiblePlayer()
{
    LanternfieldCanvas* c = canvas();
    Character* player = c ? c->getPlayerCharacter() : nullptr;
    return player && player->isTalking() && player->canSkipTalk() ? player : nullptr;
}

} // namespace

Room::Room()
    : sprite::DialogSprite(false),
      m_effects(10),
      m_ambientSprites(10),
      m_particles(nullptr),
      m_nPendingSprite(-1),
      m_nNextPendingSprite(-1),
      m_nHoverCursor(-1),
      m_nDoorCount(0),
      m_nState(STATE_LEFT),
      m_nSavedState(0),
      m_nDelayedState(0),
      m_nDelay(0),
      m_nLeaveTo(-1),
      m_nLeaveDelay(0),
      m_nChapterEnded(0),
      m_characters(10)
{
    sprite::SpriteBaseLua::bindClass(this, kMetatable, "hv.DialogSprite", kScriptFile, kLuaClassName, luaMethods());
}

Room::~Room()
{
    if (m_particles) {
        for (int i = 0; i < m_particles->size(); ++i)
            m_particles->elementAt(i)->release();
        delete m_particles;
        m_particles = nullptr;
    }
    while (m_characters.size() > 0)
        m_characters.removeElementAt(m_characters.size() - 1);
}

void Room::handleAction(lang::Object*, lang::String* command)
{
    if (command && command->equals("cleanup"))
        removeEffects();
}

void Room::removeEffects()
{
    for (int i = 0; i < m_effects.size(); ++i)
        removeChild(static_cast<sprite::SpriteBase*>(m_effects.elementAt(i)));
    m_effects.removeAllElements();
}

bool Room::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    // A hidden room whose hiding was handled ticks only its own animations.
    if (!m_bVisible && !m_bShown)
        return sprite::SpriteBase::tick(frame, boundsOut, region);
    if (m_bVisible && isPlaying() && m_nState != STATE_SUSPENDED && m_nDelay > 0) {
        if (--m_nDelay == 0)
            setState(m_nDelayedState);
    }
    if (m_bVisible && isPlaying() && m_nState != STATE_SUSPENDED && m_nLeaveDelay > 0) {
        if (--m_nLeaveDelay == 0 && canvas())
            canvas()->changeRoom(m_nLeaveTo);
    }
    return sprite::DialogSprite::tick(frame, boundsOut, region);
}

void Room::setVisible(bool visible)
{
    const bool hiding = m_bVisible && !visible;
    sprite::DialogSprite::setVisible(visible);
    if (hiding && m_bShown) {
        // The pictures of the room left go at once: puzzle rooms skip their
        // whole tick while hidden, so the dialog tick that frees a hidden
        // dialog's pictures would never reach them and every puzzle visited
        // would keep its pictures (and their textures) for good. The shown
        // flag stays for that tick, which still ticks the children once.
        sprite::FancyContainer::onHidden();
    }
    if (!visible)
        return;
    for (int i = 0; i < m_characters.size(); ++i) {
        Character* character = m_characters.elementAt(i);
        if (character->isVisible())
            character->setVisible(true);
    }
}

bool Room::isTransitioning()
{
    LanternfieldCanvas* c = canvas();
    return sprite::DialogSprite::isTransitioning() || (c && c->isOverlayShowing());
}

void Room::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    lang::IntArray* numbers = definition ? definition->getNumbers() : nullptr;
    if (numbers && numbers->length() > 0) {
        m_definitionInts = *numbers;
        m_nDoorCount = m_definitionInts[0];
    }
}

int Room::mouseDown(window::Event* e)
{
    // No earlier button name may fire again with this press.
    setLastCommand(lang::String(""));
    // Leaving: every press is swallowed.
    if (m_nState == STATE_LEAVING)
        return COMMAND_READY;
    const int x = e->x;
    const int y = e->y;
    Character* talkingPlayer = interruptiblePlayer();
    LanternfieldCanvas* c = canvas();

    // Presses on the inventory bar, its items or its hint paper are the inventory's.
    Inventory* inventory = c ? c->getInventory() : nullptr;
    if (inventory && inventory->isVisible()) {
        sprite::SpriteBase* background = inventory->getSprite("InventoryBG");
        if (background && background->isVisible()) {
            int lx = x;
            int ly = y;
            inventory->toLocal(lx, ly);
            if (background->hittestOpaque(lx, ly) || inventory->isHoveringItem() || inventory->isOverHintPaper(x, y))
                return COMMAND_READY;
        }
    }

    if (c && c->isHeldItemOnCursor()) {
        // An item on the cursor is used on the room; the exits stay shut.
        // A use that ended the chapter ends this press.
        if (useHeldItem(x, y))
            return HANDLED;
    } else {
        int lx = x;
        int ly = y;
        toLocal(lx, ly);
        for (int i = 0; i < m_nDoorCount; ++i) {
            DoorSprite* door = getDoor(i);
            if (!door || !door->isEnabled() || !door->hittest(lx, ly))
                continue;
            if (door->isZoomDoor())
                zoomToRoom(door->getTargetRoom(), lang::String(""), door->getZoomX(), door->getZoomY(),
                           door->getZoomScaleFrom(), door->getZoomScaleTo(), door->getTransitionFrames(),
                           door->getZoomImage());
            else
                goToRoom(door->getTargetRoom());
            if (talkingPlayer)
                talkingPlayer->stopTalk();
            return COMMAND_READY;
        }

        // Every butterfly or firefly under the point flies off.
        for (int i = 0; i < m_ambientSprites.size(); ++i) {
            auto* animal = static_cast<sprite::SpriteBase*>(m_ambientSprites.elementAt(i));
            if (!animal->hittest(lx, ly))
                continue;
            if (animal->isInstanceOf("AmbientButterfly") || animal->isInstanceOf("AmbientFirefly"))
                static_cast<AmbientAnimal*>(animal)->startle();
        }

        // The script ended the chapter: nothing more of this click.
        if (clickAt(x, y))
            return HANDLED;
    }
    return sprite::DialogSprite::mouseDown(e);
}

bool Room::clickAt(int x, int y)
{
    if (m_nState == STATE_LEAVING)
        return false;
    if (Character* talkingPlayer = interruptiblePlayer())
        talkingPlayer->stopTalk();
    callScriptXY(scriptName(), "onClick", x, y);
    const bool ended = m_nChapterEnded > 0;
    m_nChapterEnded = 0;
    return ended;
}

bool Room::mouseMove(window::Event* e)
{
    updateHover(e->x, e->y, -1);
    return sprite::DialogSprite::mouseMove(e);
}

void Room::onEnter()
{
    LanternfieldCanvas* c = canvas();
    sprite::DialogSprite::onShown();
    if (c && c->getAmbientSoundManager())
        c->getAmbientSoundManager()->setEnabled(true);
    if (c && c->isOverlayShowing()) {
        // Shown under the transition; input waits for activate.
        setState(STATE_SHOWN_UNDER_TRANSITION);
        setState(STATE_LEAVING);
    } else {
        setState(STATE_ENTER);
    }
    setPendingSprite(-1, -1);
    int game = -1;
    int gx = 0;
    int gy = 0;
    getGameInstructionsInfo(game, gx, gy);
    if (c)
        c->setGameInstructionsInfo(game, gx, gy);
    callScript(scriptName(), "onEnter");
}

void Room::onExit()
{
    m_nLeaveDelay = 0;
    LanternfieldCanvas* c = canvas();
    callScript(scriptName(), "onExit");
    completeAnimations(false);
    while (m_characters.size() > 0) {
        Character* character = m_characters.elementAt(0);
        removeCharacter(character->getName());
        // A character renamed since it was added is still taken out.
        m_characters.removeElement(character);
    }
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunctionNoArgs("LF_cleanupGlobalISpy");
    if (c && c->getAmbientSoundManager())
        c->getAmbientSoundManager()->setEnabled(false);
    if (Character* player = c ? c->getPlayerCharacter() : nullptr) {
        if (player->isTalking())
            player->stopTalk();
        player->setVisible(false);
    }
    for (int i = 0; i < m_ambientSprites.size(); ++i)
        removeChild(static_cast<sprite::SpriteBase*>(m_ambientSprites.elementAt(i)));
    m_ambientSprites.removeAllElements();
    if (c && c->getAmbientAnimManager())
        c->getAmbientAnimManager()->roomLeft();
    if (c && c->getAmbientSoundManager())
        c->getAmbientSoundManager()->stopSounds(AMBIENT_FADE_FRAMES);
    removeEffects();
    m_nHoverCursor = -1;
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunction("LF_setGlobalISpyActive", 0);
    setState(STATE_LEFT);
}

void Room::activate()
{
    setState(STATE_ENTER);
}

void Room::itemUsed(sprite::SpriteBase*) {}

bool Room::useHeldItem(int x, int y)
{
    LanternfieldCanvas* c = canvas();
    if (!c || !c->isHeldItemOnCursor() || m_nState == STATE_LEAVING)
        return false;
    // A thought the player may cut short ends before the script runs, so
    // that one the script starts in answer stays.
    if (Character* talkingPlayer = interruptiblePlayer())
        talkingPlayer->stopTalk();
    callScriptXY(scriptName(), "onUse", x, y);
    itemUsed(c->getHeldItemSprite());
    const bool ended = m_nChapterEnded > 0;
    m_nChapterEnded = 0;
    return ended;
}

void Room::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = -1;
    x = 0;
    y = 0;
}

void Room::keyPressed(int) {}

void Room::resetGlobalItems()
{
    callScript(scriptName(), "resetGlobalItems");
}

void Room::resetProgress() {}

void Room::goToRoomNamed(const lang::String& name)
{
    LanternfieldCanvas* c = canvas();
    goToRoom(c ? c->findRoomIndex(name) : -1);
}

void Room::goToRoom(int index)
{
    LanternfieldCanvas* c = canvas();
    // A target that is no room leaves the player where they are.
    if (!c || !c->getRoom(index)) {
        window::debugLine("Room::goToRoom: no room ", index, " from ", scriptName(), "\n");
        return;
    }
    // The room enters its leaving state once its exit transition exists
    // (findExitTransition); without one it is left at once.
    c->setDestination(lang::String(""));
    c->requestRoomChange(index);
    if (isVisible())
        setDirty(true);
}

bool Room::blocksRoomChange()
{
    return false;
}

void Room::setState(int state)
{
    const int old = m_nState;
    m_nState = state;
    switch (state) {
    case STATE_ENTER:
        setVisible(true);
        setState(STATE_PLAYING);
        break;
    case STATE_SHOWN_UNDER_TRANSITION:
        setVisible(true);
        break;
    case STATE_SUSPENDED:
        m_nSavedState = old;
        break;
    case STATE_RESUME:
        m_nState = m_nSavedState;
        break;
    case STATE_EXIT:
        setVisible(false);
        onExit();
        break;
    default:
        break;
    }
}

void Room::setPendingSprite(int first, int next)
{
    m_nPendingSprite = first;
    m_nNextPendingSprite = next;
}

void Room::takePendingSprite()
{
    if (m_nPendingSprite == -1)
        return;
    m_nPendingSprite = -1;
    if (m_nNextPendingSprite != -1)
        setPendingSprite(m_nNextPendingSprite, -1);
}

void Room::reservedHook1() {}

void Room::reservedHook2() {}

void Room::exitTo(int index)
{
    setState(STATE_EXIT);
    if (index >= 0 && canvas())
        canvas()->changeRoom(index);
}

void Room::setStateAfter(int state, int frames)
{
    if (!isVisible() || !isPlaying() || m_nState == STATE_SUSPENDED)
        return;
    m_nDelayedState = state;
    m_nDelay = frames;
}

void Room::moveToRoomAfter(int index, int frames)
{
    m_nLeaveTo = index;
    m_nLeaveDelay = std::max(frames, 0);
    if (m_nLeaveDelay == 0 && canvas())
        canvas()->changeRoom(index);
}

void Room::pauseIfVisible()
{
    if (isVisible() && isPlaying())
        setState(STATE_SUSPENDED);
}

void Room::resumeIfPaused()
{
    if (isVisible() && m_nState == STATE_SUSPENDED)
        setState(STATE_RESUME);
}

void Room::updateHover(int x, int y, int fallback)
{
    m_nHoverCursor = fallback;
    for (int i = 0; i < m_characters.size(); ++i) {
        if (m_characters.elementAt(i)->isOverTalkToMeButton(x, y)) {
            m_nHoverCursor = CURSOR_TALK;
            return;
        }
    }
}

void Room::killGlobalISpyIfActive()
{
    ScriptHost* host = ScriptHost::instance;
    if (host && host->getLuaBoolean("LF.globalISpyActive"))
        callScript(scriptName(), "killGlobalISpy");
}

DoorSprite* Room::getDoor(int i)
{
    lang::String name("Door");
    name.append(i);
    sprite::SpriteBase* door = getSprite(name.c_str());
    return door && door->isInstanceOf("DoorSprite") ? static_cast<DoorSprite*>(door) : nullptr;
}

void Room::enableDoors(bool enable)
{
    for (int i = 0; i < m_nDoorCount; ++i) {
        if (DoorSprite* door = getDoor(i))
            door->setEnabled(enable);
    }
}

void Room::enableDoorTo(int target, bool enable, int skip)
{
    for (int i = 0; i < m_nDoorCount; ++i) {
        DoorSprite* door = getDoor(i);
        if (!door || door->getTargetRoom() != target)
            continue;
        if (skip > 0) {
            --skip;
            continue;
        }
        door->setEnabled(enable);
    }
}

void Room::addCharacter(const lang::String& name, const lang::String& afterName, int x, int y, bool visible,
                        bool enabled, bool idle)
{
    LanternfieldCanvas* c = canvas();
    Character* character = c ? c->findCharacter(name) : nullptr;
    if (!character)
        return;
    // Taken off the canvas's top level first: that hides it, and the
    // script's visibility below must be the one that stays.
    c->removeCharacterFromScreen(name);
    if (afterName.isEmpty())
        addChild(name.c_str(), character);
    else
        addChildAfter(name.c_str(), character, getSprite(afterName.c_str()));
    if (m_characters.indexOf(character) < 0)
        m_characters.addElement(character);
    character->setVisible(visible);
    character->setOffset(x, y);
    character->setEnabled(enabled);
    character->setIdle(idle);
}

void Room::removeCharacter(const lang::String& name)
{
    Character* character = findCharacter(name);
    if (!character)
        return;
    character->changeState(Character::STATE_OFF);
    if (LanternfieldCanvas* c = canvas())
        c->addCharacterToScreen(character);
    m_characters.removeElement(character);
    removeChild(character);
}

bool Room::hasCharacter(const lang::String& name)
{
    return findCharacter(name) != nullptr;
}

Character* Room::findCharacter(const lang::String& name)
{
    for (int i = 0; i < m_characters.size(); ++i) {
        Character* character = m_characters.elementAt(i);
        if (character->getName().equals(name))
            return character;
    }
    return nullptr;
}

Room* Room::roomAt(int index)
{
    LanternfieldCanvas* c = canvas();
    return c ? c->getRoom(index) : nullptr;
}

int Room::chapterNumber()
{
    LanternfieldCanvas* c = canvas();
    return c && c->getProgress() ? c->getProgress()->chapter : 1;
}
