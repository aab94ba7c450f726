// LanternfieldCanvasState.cpp: the game states (loading, main menu, playing,
// paused) with what each shows and hides, and the background music with its
// volume, its chapter tunes and the music kept to return to.
#include "game/canvas/LanternfieldCanvas.h"

#include "core/lang/Synchronized.h"
#include "game/ambient/AmbientSoundManager.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/inventory/Inventory.h"
#include "game/menus/MenuSprite.h"
#include "game/progress/ProgressRecord.h"
#include "platform/kernel/DebugOutput.h"
#include "sound/clip/AudioClip.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "windowing/window/Cursor.h"

namespace {

// The volumes used while there is no settings store.
constexpr int kDefaultFXVolume = 170;
constexpr int kDefaultMusicVolume = 85;

} // namespace

void LanternfieldCanvas::setGameState(int state)
{
    lang::Synchronized guard(this, true);
    m_nPreviousGameState = m_nGameState;
    setSuspendLuaAnimations(false);
    setActionsPaused(false);
    switch (state) {
    case STATE_PLAYING:
        OutputDebugStringA("STATE_PLAYING...\n");
        if (window::AudioClip* music = m_pMusicClip; music && !m_bNoMusic)
            music->loop();
        if (m_pAmbientSounds) {
            m_pAmbientSounds->setVolume(getFXVolume());
            m_pAmbientSounds->setEnabled(true);
        }
        showSprite("Dim", false);
        if (!m_bPausePending) {
            if (!isSpriteVisible("BookDialog") && hasItemOnCursor())
                restoreSpecialCursor();
            showCursorSprite(true);
        }
        break;
    case STATE_PAUSED:
        setSuspendLuaAnimations(true);
        setActionsPaused(true);
        OutputDebugStringA("STATE_PAUSED...\n");
        setCursor(CURSOR_NORMAL, false);
        leaveGameScreen(m_pProgress ? m_pProgress->chapter : 1, m_bPuzzleActive);
        // The game's own cursor is not drawn while the window lacks the focus.
        if (m_bPausePending)
            setCursor(window::Cursor::normalCursor);
        break;
    case STATE_MAIN_MENU: {
        hideAllScreens();
        if (m_pInventory)
            m_pInventory->releaseHeldItem();
        showSprite("MainMenu", true);
        showSprite("Dim", false);
        hideGlobalISpyList();
        auto* menu = static_cast<MenuSprite*>(getDialog(DIALOG_MAIN_MENU));
        if (m_profileName.equalsIgnoreCase("")) {
            resetProgress();
            resetGameWorld();
            if (menu)
                menu->hideProfileName();
            openPlayerSelection(lang::String(""));
            m_bResetGame = true;
        } else if (menu) {
            menu->setProfileName(m_profileName);
        }
        if (m_pAmbientSounds)
            m_pAmbientSounds->addLoop(SOUND_MENU_LOOP);
        loopSound(SOUND_MENU_LOOP);
        break;
    }
    default:
        break;
    }
    m_nGameState = state;
}

void LanternfieldCanvas::openPlayerSelection(const lang::String& profile)
{
    sprite::SpriteBase* dialog = getDialog(DIALOG_CHOOSE_PLAYER);
    if (!dialog || !dialog->isInstanceOf("ChoosePlayer"))
        return;
    auto* chooser = static_cast<ChoosePlayer*>(dialog);
    for (const char* name : {"Dim", "ChoosePlayer", "GameCursor"}) {
        if (sprite::SpriteBase* sprite = getSprite(name))
            addSprite(name, sprite, -1);
    }
    showSprite("Dim", true);
    chooser->setSelectedProfile(profile);
    chooser->setVisible(true);
}

lang::String LanternfieldCanvas::setBackgroundMusic(const lang::String& name)
{
    window::AudioClip* music = m_pMusicClip;
    if (!music)
        return lang::String("");
    lang::String previous(music->getName());
    if (!previous.equals(name))
        music->load(name, window::AudioClip::KIND_STREAM);
    music->setVolume(getMusicVolume());
    music->loop();
    m_musicName = previous;
    return previous;
}

void LanternfieldCanvas::setChapterBackgroundMusic(int chapter)
{
    setBackgroundMusic(chapterMusicName(chapter));
}

lang::String LanternfieldCanvas::chapterMusicName(int chapter)
{
    // Chapter 3 has a tune of its own; every other chapter plays the first.
    return lang::String(chapter == 3 ? "+sMusicChapter3" : "+sMusicChapter1");
}

void LanternfieldCanvas::replaceMusic(const lang::String& name)
{
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunctionString("LF_replaceMusic", name);
}

void LanternfieldCanvas::revertBackgroundMusic()
{
    if (m_musicName.isEmpty())
        return;
    lang::String kept(m_musicName);
    setBackgroundMusic(kept);
    m_musicName = "";
}

void LanternfieldCanvas::fadeMusic(int target, int frames)
{
    if (window::AudioClip* music = m_pMusicClip)
        fadeSound(music, target, frames, false);
}

int LanternfieldCanvas::getFXVolume()
{
    sprite::User* settings = getUser();
    return settings ? settings->getInt(lang::String("VOLUMEFX"), kDefaultFXVolume) : kDefaultFXVolume;
}

int LanternfieldCanvas::getMusicVolume()
{
    sprite::User* settings = getUser();
    return settings ? settings->getInt(lang::String("VOLUMEMUSIC"), kDefaultMusicVolume) : kDefaultMusicVolume;
}
