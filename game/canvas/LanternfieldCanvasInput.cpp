// LanternfieldCanvasInput.cpp: the game's part of the frame and of the
// input: the automatic pause when the window loses the focus, the ambient
// managers' frame, the question mark and the speech skip taken before the
// dialogs, the cursor chosen for what lies under the pointer, the keys of the
// two rooms that use them, and the developer keys of the debug mode.
#include "game/canvas/LanternfieldCanvas.h"

#include "core/lang/Synchronized.h"
#include "core/lang/System.h"
#include "game/ambient/AmbientAnimManager.h"
#include "game/ambient/AmbientSoundManager.h"
#include "game/characters/Character.h"
#include "game/debug/PuzzleCheats.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "sound/clip/AudioClip.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"
#include "sprites/text/TextSprite.h"
#include "windowing/window/Cursor.h"
#include "windowing/window/Event.h"

namespace {

// The window layer's code of F7: the debug scale pulse of the how-to-play dialog.
constexpr int kKeyF7 = 1118;
// The pulse keeps the dialog's scale between these; at either bound it
// turns back from 1.9 or 0.4.
constexpr double kPulseHigh = 2.0;
constexpr double kPulseHighBack = 1.9;
constexpr double kPulseLow = 0.3;
constexpr double kPulseLowBack = 0.4;
// The tutorial guide's place in the character table.
constexpr int kInputTutorial = 1;

bool playingGlobalISpy()
{
    ScriptHost* host = ScriptHost::instance;
    if (!host || !host->getState())
        return false;
    host->callLuaFunctionWithResult("LF_playingGlobalISpy");
    return host->popLuaBoolean();
}

void setSpriteText(sprite::SpriteBase* s, const lang::String& text)
{
    if (!s)
        return;
    if (s->isInstanceOf("TextSprite"))
        static_cast<sprite::TextSprite*>(s)->setText(text);
    else if (s->isInstanceOf("NewFontSprite"))
        static_cast<sprite::NewFontSprite*>(s)->setText(text.c_str());
}

} // namespace

double LanternfieldCanvas::debugScaleStep = 0.1;

void LanternfieldCanvas::onFocusLost()
{
    m_bPausePending = true;
}

void LanternfieldCanvas::setActive(bool active)
{
    m_bPausePending = !active;
    // The music goes on (it plays looped unless it plays already), except
    // where the scripts asked for none. While the game loads there is none
    // until the loader has loaded it.
    window::AudioClip* music = m_pMusicClip;
    if (music && !m_bNoMusic)
        music->loop();
}

void LanternfieldCanvas::doFrame()
{
    lang::Synchronized guard(this, true);
    if (m_bPausePending) {
        if (m_nGameState == STATE_PLAYING) {
            // The introduction is never paused.
            if (getCurrentRoomIndex() != ROOM_STORY_INTRO)
                setGameState(STATE_PAUSED);
        } else if (window::AudioClip* music = m_pMusicClip; music && music->isPlaying()) {
            music->pause();
        }
        m_bPausePending = false;
    }
    if (m_pAmbientAnims)
        m_pAmbientAnims->tick();
    if (m_pAmbientSounds)
        m_pAmbientSounds->tick();
    GameCanvas3::doFrame();
}

bool LanternfieldCanvas::processEvent()
{
    window::Event* e = getCurrentEvent();
    if (!e)
        return true;
    if (lang::System::isDebugMode() && e->id == window::Event::KEY_DOWN && e->key == kKeyF7) {
        sprite::SpriteBase* dialog = getSprite("Instructions");
        if (dialog && dialog->isVisible()) {
            dialog->setFlipType(dialog->getFlipType() <= 0 ? 1 : 0);
            double scale = dialog->getScaleX() + debugScaleStep;
            if (scale >= kPulseHigh) {
                scale = kPulseHighBack;
                debugScaleStep = -debugScaleStep;
            } else if (scale <= kPulseLow) {
                scale = kPulseLowBack;
                debugScaleStep = -debugScaleStep;
            }
            dialog->setScale(scale, scale);
        }
        return true;
    }
    return GameCanvas3::processEvent();
}

bool LanternfieldCanvas::onMouseDown(window::Event* e, lang::Object** receiver, lang::String* command)
{
    // The question mark is the canvas's before any dialog or room sees the press.
    if (m_nInstructionsGame != -1 && isOverGameInsQuestionMark(e->x, e->y)) {
        sprite::SpriteBase* mark = getSprite("GameInsQuestionMark");
        mark->addRef();
        if (*receiver)
            (*receiver)->release();
        *receiver = mark;
        *command = "GameInsQuestionMark";
        return true;
    }
    // The pause button still pauses over an open instructions panel.
    sprite::SpriteBase* pause = getSprite("Quit");
    if (isCoveredByGameInstructions(e->x, e->y) && !(pause && pause->isVisible() && pause->hittest(e->x, e->y)))
        return false;
    // A balloon or button out of sight holds no point.
    sprite::SpriteBase* items = getSprite("RoomItemsBalloon");
    if (items && items->isVisible() && items->hittest(e->x, e->y)) {
        if (Room* room = getCurrentRoom())
            room->mouseDown(e);
    }
    // Only a speech already running is skipped: one that this very press
    // started (its skip button put under the pointer) goes on.
    Character* talking = m_pTalkingCharacter;
    const bool result = GameCanvas3::onMouseDown(e, receiver, command);
    sprite::SpriteBase* skip = getSprite("TalkSkip");
    if (!(e->modifiers & window::Event::CTRL_MASK) && skip && skip->isVisible() && skip->hittest(e->x, e->y) &&
        m_pTalkingCharacter && m_pTalkingCharacter == talking && m_pTalkingCharacter->isTalking())
        m_pTalkingCharacter->skipTalk();
    return result;
}

bool LanternfieldCanvas::onMouseMove(window::Event* e, lang::Object** receiver, lang::String* command)
{
    GameCanvas3::onMouseMove(e, receiver, command);
    // The framework's answer names the cursor for the sprites under the
    // pointer; the game draws it itself, so no command follows.
    const lang::String cursorName(*command);
    *command = "";
    chooseCursor(e, cursorName);
    return false;
}

void LanternfieldCanvas::chooseCursor(window::Event* e, const lang::String& cursorName)
{
    const int x = e->x;
    const int y = e->y;
    sprite::SpriteBase* quit = getSprite("Quit");
    if (quit && quit->isVisible() && quit->hittest(x, y)) {
        setCursor(CURSOR_HAND, false);
        positionCursorImage(x, y);
        return;
    }
    if (lang::System::isDebugMode() && m_bMouseReadout) {
        lang::String text("X=");
        text += x;
        text += ", Y=";
        text += y;
        setSpriteText(getSprite("CheatText"), text);
    }
    sprite::SpriteBase* mark = getSprite("GameInsQuestionMark");
    if (m_nInstructionsGame != -1 && mark && mark->isVisible())
        mark->mouseMoved(x, y);

    const bool bookShown = isSpriteVisible("BookDialog");
    // The item on the cursor, else the normal pointer (the bar's rule).
    auto itemOrNormal = [this, bookShown]() {
        if (!bookShown && hasItemOnCursor())
            restoreSpecialCursor();
        else
            setCursor(CURSOR_NORMAL, false);
    };
    Inventory* inventory = m_pInventory;
    const bool hovered = inventory && inventory->isVisible() && inventory->isHoveringItem();
    if (inventory && (hovered || inventory->isOverHintPaper(x, y))) {
        if (inventory->hitTestItems(x, y) && !playingGlobalISpy())
            setCursor(CURSOR_HAND, false);
        else
            itemOrNormal();
        positionCursorImage(x, y);
        return;
    }
    sprite::SpriteBase* background = inventory ? inventory->getSprite("InventoryBG") : nullptr;
    if (inventory && inventory->isVisible() && background && background->isVisible()) {
        int lx = x;
        int ly = y;
        inventory->toLocal(lx, ly);
        if (background->hittest(lx, ly)) {
            itemOrNormal();
            positionCursorImage(x, y);
            return;
        }
    }

    Room* room = getCurrentRoom();
    if (room && !hovered) {
        ScriptHost* host = ScriptHost::instance;
        if (playingGlobalISpy() && !(host && host->getLuaBoolean("gISpyBadCursor"))) {
            setCursor(CURSOR_NORMAL, false);
        } else if (m_bCursorLock) {
            // A locked cursor only follows the pointer.
        } else if (bookShown) {
            setCursor(window::Cursor::blankCursor);
            setCursor(cursorIndexOf(cursorName), false);
        } else if (hasItemOnCursor()) {
            restoreSpecialCursor();
        } else {
            const int own = room->getHoverCursor();
            setCursor(own != -1 ? own : cursorIndexOf(cursorName), false);
        }
        positionCursorImage(x, y);
        return;
    }
    if (!bookShown && hasItemOnCursor()) {
        restoreSpecialCursor();
        return;
    }
    setCursor(cursorIndexOf(cursorName), false);
    positionCursorImage(x, y);
}

bool LanternfieldCanvas::takesEscape()
{
    auto* chooser = static_cast<ChoosePlayer*>(getDialog(DIALOG_CHOOSE_PLAYER));
    return chooser && chooser->isVisible() && chooser->isInputPromptVisible();
}

bool LanternfieldCanvas::onKey(window::Event* e, lang::Object** receiver, lang::String* command)
{
    const bool handled = GameCanvas3::onKey(e, receiver, command);
    m_cLastKey = char(e->key);
    auto* chooser = static_cast<ChoosePlayer*>(getDialog(DIALOG_CHOOSE_PLAYER));
    // Typing a new player's name never works the developer keys.
    if ((chooser && chooser->isInputPromptVisible()) || !lang::System::isDebugMode() || handled)
        return handled;
    // The keys reach the two rooms by their full code, as the debug keys
    // compare them: a function key never passes for a letter.
    const int index = getCurrentRoomIndex();
    Room* room = getCurrentRoom();
    if (room && index == ROOM_MAZE) {
        room->keyPressed(e->key);
    } else if (room && index == ROOM_INLAY) {
        room->keyPressed(e->key);
        return false;
    }
    handleDebugKey(e->key);
    return handled;
}

bool LanternfieldCanvas::handleDebugKey(int key)
{
    if (key >= '1' && key <= '6') {
        // The chapter starts from its beginning, as a first start does; during
        // a fade it could not start, so the record is left as it is. The
        // chapters before it count complete; those completed already stay
        // so, as the book's "Play it again" keeps them.
        if (m_bInTransition)
            return true;
        if (m_pProgress) {
            m_pProgress->chapter = key - '0';
            if (m_pProgress->maxChapter < key - '0' - 1)
                m_pProgress->maxChapter = key - '0' - 1;
        }
        setChaptersNotSeenFrom(key - '0');
        if (Character* tutorial = m_characters[kInputTutorial])
            tutorial->stopTalk();
        lang::String play("PlayButton");
        handleAction(this, &play);
        return true;
    }
    Room* room = getCurrentRoom();
    if (key == 'c' || key == 'C') {
        if (room) {
            room->setVisible(false);
            if (m_pInventory)
                m_pInventory->setVisible(false);
            if (Room* cheats = static_cast<Room*>(getDialog(DIALOG_PUZZLE_CHEATS)))
                cheats->onEnter();
        }
        return true;
    }
    if (key == 'i' || key == 'I') {
        if (room)
            room->killGlobalISpyIfActive();
        return true;
    }
    if (key == 'p') {
        m_bMouseReadout = !m_bMouseReadout;
        showSprite("CheatText", m_bMouseReadout);
        return true;
    }
    return false;
}
