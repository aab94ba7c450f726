// LanternfieldCanvasActions.cpp: the game's command table: the main menu,
// the profile choice, starting and continuing a game, the in-game pause and
// its book, the dialogs' close buttons, the web link, the mini-game
// instructions, the fades between screens and a few story commands.
#include "game/canvas/LanternfieldCanvas.h"

#include "core/lang/Synchronized.h"
#include "game/ambient/AmbientSoundManager.h"
#include "game/characters/Character.h"
#include "game/debug/PuzzleCheats.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/dialogs/GameInstructDialog.h"
#include "game/inventory/Inventory.h"
#include "game/menus/BookDlgSprite.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "platform/shell/Shell.h"
#include "platform/user/Window.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "windowing/window/Cursor.h"
#include "windowing/window/Frame.h"

namespace {

// The web link's address when the settings name none.
const char kBuiltInWebAddress[] = "https://harbinvel.example/";
// The tutorial guide's place in the character table.
constexpr int kTutorial = 1;
// The instructions panel opened by the canvas: 8 frames from (50, 50),
// growing from a tenth of its size.
constexpr int kZoomFrames = 8;
constexpr int kZoomOrigin = 50;
constexpr float kZoomSmall = 0.1f;
constexpr float kZoomFull = 1.0f;

} // namespace

void LanternfieldCanvas::handleAction(lang::Object* receiver, lang::String* command)
{
    lang::Synchronized guard(this, true);
    if (command && handleGameAction(receiver, *command))
        return;
    GameCanvas3::handleAction(receiver, command);
}

void LanternfieldCanvas::fadeOutToDim(const char* next)
{
    if (sprite::SpriteBase* dim = getSprite("DimFull")) {
        dim->setAlphaBalance(0);
        dim->setVisible(true);
        dim->setAlphaDestination(128, FADE_OUT_FRAMES, 0);
    }
    lang::String command(next);
    scheduleAction(FADE_OUT_NEXT_STEP, &command, 0, nullptr, nullptr);
}

bool LanternfieldCanvas::handleGameAction(lang::Object* receiver, const lang::String& command)
{
    // The menu's commands wait while a fade between screens runs.
    const bool menuFree = !m_bInTransition;
    auto is = [&command](const char* name) { return command.equalsIgnoreCase(name); };
    Character* tutorial = m_characters[kTutorial];
    auto* chooser = static_cast<ChoosePlayer*>(getDialog(DIALOG_CHOOSE_PLAYER));
    auto* instructions = static_cast<GameInstructDialog*>(getDialog(DIALOG_GAME_INSTRUCTIONS));

    if (menuFree && is("bMenuExit")) {
        saveProfile();
        playSound(SOUND_CLICK);
        setCursor(window::Cursor::waitCursor);
        showWaitCursor();
        return true;
    }
    if (menuFree && is("ChangeProfile")) {
        playSound(SOUND_CLICK);
        openPlayerSelection(m_profileName);
        return true;
    }
    if (command.startsWith("profile:")) {
        // The dialog's selection names the player, whatever the text says.
        if (chooser)
            chooseProfile(chooser->getSelectedName());
        return true;
    }
    if (menuFree && is("bMenuInstructions")) {
        playSound(SOUND_CLICK);
        if (m_bPuzzleActive && m_nInstructionsGame >= 0) {
            setGameInstructionsInfo(m_nInstructionsGame, m_nInstructionsX, m_nInstructionsY);
            setShowGameInstructions(m_nInstructionsGame, true);
            if (instructions)
                addSpriteBehind("GameInstructions", instructions, getSprite("GameCursor"));
            showGameInstructions(m_nInstructionsX, m_nInstructionsY, m_nInstructionsGame, true, false, kZoomFrames,
                                 kZoomOrigin, kZoomOrigin, kZoomSmall, kZoomFull);
            if (instructions) {
                instructions->showPlayButton(false);
                instructions->showCloseButton(true);
            }
        }
        return true;
    }
    if (menuFree && is("bMenuOptions")) {
        playSound(SOUND_CLICK);
        showSprite("Dim", true);
        showSprite("Options", true);
        for (const char* name : {"Dim", "Options", "GameCursor"}) {
            if (sprite::SpriteBase* s = getSprite(name))
                addSprite(name, s, -1);
        }
        return true;
    }
    const bool newGame = is("bStart1") && (getCurrentRoomIndex() == ROOM_STORY_INTRO || m_bResetGame);
    if (menuFree && (is("PlayButton") || is("ReplayGame") || newGame)) {
        playSound(SOUND_CLICK);
        if (ScriptHost* host = ScriptHost::instance)
            host->runScriptFile(kGameScript, 1);
        if (tutorial)
            tutorial->stopTalk();
        startFromMenu(command);
        return true;
    }
    if (menuFree && is("bStart1")) {
        startFromMenu(command);
        return true;
    }
    if (is("EndGame")) {
        playSound(SOUND_CLICK);
        exitToMenu();
        return true;
    }
    if (is("Quit")) {
        playSound(SOUND_CLICK);
        sprite::SpriteBase* quit = getSprite("Quit");
        sprite::ButtonMixin* button = quit ? sprite::ButtonMixin::fromSprite(quit) : nullptr;
        if (quit && quit->isVisible() && (!button || button->getState() != sprite::ButtonMixin::DISABLED))
            setGameState(STATE_PAUSED);
        return true;
    }
    if (is("GameInsQuestionMark")) {
        showGameInstructions(m_nInstructionsX, m_nInstructionsY, m_nInstructionsGame, true, true, kZoomFrames,
                             kZoomOrigin, kZoomOrigin, kZoomSmall, kZoomFull);
        return true;
    }
    if (menuFree && is("upsellHV")) {
        playSound(SOUND_CLICK);
        openWebLink();
        return true;
    }
    if (is("ResumeGame")) {
        playSound(SOUND_CLICK);
        // The pause button comes back as the book found it, over the slides
        // too: nothing else brings it back before the next chapter starts.
        setQuitVisible(m_bQuitWasVisible);
        setGameState(STATE_PLAYING);
        return true;
    }
    if (menuFree && is("bMenuHowtoPlay")) {
        playSound(SOUND_CLICK);
        showSprite("MainMenu", false);
        showSprite("Instructions", true);
        for (const char* name : {"Instructions", "GameCursor"}) {
            if (sprite::SpriteBase* s = getSprite(name))
                addSprite(name, s, -1);
        }
        return true;
    }
    if (is("bInstructionsClose")) {
        playSound(SOUND_CLICK);
        showSprite("MainMenu", true);
        return true;
    }
    if (is("bOptionsClose")) {
        playSound(SOUND_CLICK);
        if (m_nGameState == STATE_PLAYING || m_nGameState == STATE_PAUSED)
            setQuitVisible(m_bQuitWasVisible);
        showSprite("Dim", false);
        return true;
    }
    if (is("PuzzleCheatsClose")) {
        playSound(SOUND_CLICK);
        if (Room* cheats = static_cast<Room*>(getDialog(DIALOG_PUZZLE_CHEATS)))
            cheats->onExit();
        // Over the menu no room is shown; over the pause book the room
        // waits under the book as it was, to be resumed.
        if (m_nGameState == STATE_MAIN_MENU)
            return true;
        const int current = getCurrentRoomIndex();
        if (Room* room = getCurrentRoom())
            room->setVisible(true);
        if (!m_bPuzzleActive && m_pInventory)
            m_pInventory->setVisible(true);
        if (m_nGameState == STATE_PLAYING)
            changeRoom(current);
        return true;
    }
    if (is("crossCursor")) {
        setCursor(window::Cursor::crossCursor);
        return true;
    }
    if (is("CLOSED")) {
        showSprite("Dim", false);
        return true;
    }
    if (command.equals("showfalse")) {
        if (receiver && receiver->isInstanceOf("SpriteBase")) {
            auto* sender = static_cast<sprite::SpriteBase*>(receiver);
            sender->setAction(nullptr, nullptr);
            sender->setVisible(false);
        }
        return true;
    }
    if (command.equals("ShowTaskCompleted")) {
        if (ScriptHost* host = ScriptHost::instance)
            host->callLuaFunctionNoArgs("LF_showTaskCompleted");
        return true;
    }
    if (command.equals("MoveToTavernInterior")) {
        if (Room* room = getCurrentRoom()) {
            room->callScript("Concentration", "onExit");
            showSprite("GameInsQuestionMark", false);
            room->goToRoom(ROOM_TAVERN_INTERIOR);
        } else {
            showSprite("GameInsQuestionMark", false);
        }
        return true;
    }
    if (command.equals("ExpandInstructions")) {
        showGameInstructions(m_nQueuedX, m_nQueuedY, m_nQueuedGame, true, true, kZoomFrames, kZoomOrigin,
                             kZoomOrigin, kZoomSmall, kZoomFull);
        return true;
    }
    if (command.equals("ShowIntro")) {
        showIntro();
        fadeInFromDim(FADE_IN_FRAMES);
        return true;
    }
    if (command.equals("TransitionDone")) {
        m_bInTransition = false;
        return true;
    }
    if (command.equals("OpenBook")) {
        showSprite("MainMenu", false);
        leaveGameScreen(m_pProgress ? m_pProgress->chapter : 1, m_bPuzzleActive);
        fadeInFromDim(FADE_IN_FRAMES);
        return true;
    }
    if (command.equals("StartChapter")) {
        showSprite("MainMenu", false);
        startChapter();
        fadeInFromDim(FADE_IN_FRAMES);
        return true;
    }
    return false;
}

void LanternfieldCanvas::startFromMenu(const lang::String& command)
{
    Character* tutorial = m_characters[kTutorial];
    if (command.equalsIgnoreCase("PlayButton")) {
        playSound(SOUND_CLICK);
        if (tutorial)
            tutorial->stopTalk();
        startChapter();
        return;
    }
    if (command.equalsIgnoreCase("ReplayGame")) {
        if (sceneHooks.clearTiles && getRoom(ROOM_ART_RESTORATION))
            sceneHooks.clearTiles(getRoom(ROOM_ART_RESTORATION));
        playSound(SOUND_CLICK);
        setChaptersNotSeenFrom(m_pProgress ? m_pProgress->chapter : 1);
        startChapter();
        return;
    }
    playSound(SOUND_CLICK);
    if (getCurrentRoomIndex() == ROOM_STORY_INTRO || m_bResetGame) {
        // A new game: its progress afresh, then the story's introduction.
        resetProgress();
        resetGameWorld();
        m_bResetGame = false;
        if (tutorial)
            tutorial->stopTalk();
        fadeOutToDim("ShowIntro");
    } else {
        // Continuing: a profile without a readable record gets one now.
        if (!loadProfile())
            saveProfile();
        for (Character* character : m_characters) {
            if (character)
                character->setFixedTalkBalloonPosition(false, 0, 0, -1);
        }
        fadeOutToDim("StartChapter");
    }
    m_bInTransition = true;
}

void LanternfieldCanvas::showIntro()
{
    if (Character* tutorial = m_characters[kTutorial])
        tutorial->stopTalk();
    showSprite("Quit", false);
    setBackgroundMusic(lang::String("+musicMainScreen"));
    enterGame(ROOM_STORY_INTRO);
    if (m_pInventory)
        m_pInventory->setVisible(false);
}

void LanternfieldCanvas::leaveGameScreen(int chapter, bool puzzleActive)
{
    m_bQuitWasVisible = isSpriteVisible("Quit");
    showSprite("DimFull", false);
    showSprite("Quit", false);
    if (auto* book = static_cast<BookDlgSprite*>(getDialog(DIALOG_BOOK)))
        book->open(chapter < 1 ? 1 : chapter, puzzleActive);
    if (m_pAmbientSounds) {
        m_pAmbientSounds->setEnabled(false);
        m_pAmbientSounds->setVolume(0);
    }
}

void LanternfieldCanvas::setQuitVisible(bool visible)
{
    showSprite("Quit", visible);
}

void LanternfieldCanvas::enableQuitButton(bool enable)
{
    sprite::SpriteBase* quit = getSprite("Quit");
    if (sprite::ButtonMixin* button = quit ? sprite::ButtonMixin::fromSprite(quit) : nullptr)
        button->setEnabled(enable);
}

lang::String LanternfieldCanvas::getWebLinkAddress()
{
    sprite::User* settings = getUser();
    return settings ? settings->getString(lang::String("VISITURL"), lang::String(kBuiltInWebAddress))
                    : lang::String(kBuiltInWebAddress);
}

void LanternfieldCanvas::openWebLink()
{
    Component* parent = getParent();
    if (parent && parent->isInstanceOf("Frame"))
        static_cast<window::Frame*>(parent)->setFullScreen(false, false);
    const lang::String address = getWebLinkAddress();
    // A browser by name first, then the address itself; the platform opens
    // web addresses only, each as a single argument of its launcher.
    HINSTANCE result = ShellExecuteA(nullptr, nullptr, "iexplore.exe", address.c_str(), nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<intptr_t>(result) <= 32)
        ShellExecuteA(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
