// LanternfieldCanvasRooms.cpp: the six chapters (start, cut scene, end), the
// way from the menu into a room and back, the change from one room to the
// next, at once or behind an exit's screen transition, and the close-ups
// opened over a room.
#include "game/canvas/LanternfieldCanvas.h"

#include "game/ambient/AmbientSoundManager.h"
#include "game/characters/Character.h"
#include "game/cutscenes/Vignette.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/transitions/TransitionBase.h"
#include "windowing/window/DebugLine.h"

namespace {

// The start room of chapters 1 to 6.
constexpr int kChapterStartRooms[6] = {0, 10, 25, 33, 48, 0};
// The slide group of the end-game cut scene.
constexpr int kEndGameSlideGroup = 6;

void callLua(const char* function, int arg)
{
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunction(function, arg);
}

void callLua(const char* function)
{
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunctionNoArgs(function);
}

} // namespace

void LanternfieldCanvas::fadeInFromDim(int frames)
{
    sprite::SpriteBase* dim = getSprite("DimFull");
    if (!dim)
        return;
    dim->setAlphaBalance(128);
    dim->setAlphaDestination(0, frames, 1);
    lang::String command("TransitionDone");
    scheduleAction(frames, &command, 0, nullptr, nullptr);
}

int LanternfieldCanvas::getChapterStartRoom()
{
    const int chapter = m_pProgress ? m_pProgress->chapter : 1;
    return chapter >= 1 && chapter <= 6 ? kChapterStartRooms[chapter - 1] : 0;
}

void LanternfieldCanvas::startChapter()
{
    if (!m_pProgress)
        return;
    hideCloseUps();
    const int chapter = m_pProgress->chapter;
    if (getVignetteSeen(chapter) < 1) {
        if (Character* tutorial = m_characters[1])
            tutorial->stopTalk();
        resetGameWorld();
        playChapterVignette();
        return;
    }
    const int room = m_bResetGame ? getChapterStartRoom() : m_pProgress->currentRoom;
    if (room == ROOM_VIGNETTE) {
        // The slides' group is not kept with the player: a chapter continued
        // on its slides (the window closed over them) shows its own again.
        playChapterVignette();
        return;
    }
    if (isSpriteVisible("DimFull"))
        fadeInFromDim(CHAPTER_FADE_FRAMES);
    replaceMusic(chapterMusicName(chapter));
    enterGame(room);
    if (!m_bPuzzleActive && m_pInventory) {
        m_pInventory->enableItems(true);
        m_pInventory->setVisible(true);
    }
    showSprite("Quit", true);
}

void LanternfieldCanvas::playChapterVignette()
{
    fadeInFromDim(CHAPTER_FADE_FRAMES);
    const int chapter = m_pProgress ? m_pProgress->chapter : 1;
    int group = 0;
    if (chapter >= 1 && chapter <= 6) {
        showSprite("BlackBarTop", false);
        showSprite("BlackBarBottom", false);
        showSprite("Quit", true);
        group = chapter - 1;
    }
    // The last chapter, seen and its story told to the end, was left on the
    // end's slides: those show again, and their continue ends the story.
    if (chapter == 6 && m_pProgress && m_pProgress->maxChapter >= 6 && getVignetteSeen(chapter) >= 1)
        group = kEndGameSlideGroup;
    Room* vignette = getRoom(ROOM_VIGNETTE);
    if (vignette && vignette->isInstanceOf("Vignette"))
        static_cast<Vignette*>(vignette)->setGroup(group);
    if (!m_pProgress || m_pProgress->lastRoom != ROOM_LEVEL_COMPLETE)
        setBackgroundMusic(lang::String("+musicMainScreen"));
    enterGame(ROOM_VIGNETTE);
    if (m_pInventory)
        m_pInventory->setVisible(false);
}

void LanternfieldCanvas::setEndGameVignette()
{
    // The story is told to its end: its last chapter counts complete while
    // the end's slides show, so that a game left on them keeps it.
    if (m_pProgress && m_pProgress->maxChapter < 6)
        m_pProgress->maxChapter = 6;
    showSprite("Quit", true);
    Room* vignette = getRoom(ROOM_VIGNETTE);
    if (vignette && vignette->isInstanceOf("Vignette"))
        static_cast<Vignette*>(vignette)->setGroup(kEndGameSlideGroup);
    replaceMusic(lang::String("+musicMainScreen"));
}

void LanternfieldCanvas::setVignetteSeen(int chapter)
{
    callLua("LF_setVignetteSeen", chapter);
}

void LanternfieldCanvas::setVignetteNotSeen(int chapter)
{
    callLua("LF_setVignetteNotSeen", chapter);
}

void LanternfieldCanvas::setChaptersNotSeenFrom(int chapter)
{
    // Left seen, a later chapter would be continued in the room of the
    // chapter played over, its own progress gone with the world's reset.
    for (int n = chapter < 1 ? 1 : chapter; n <= 6; ++n)
        setVignetteNotSeen(n);
}

int LanternfieldCanvas::getVignetteSeen(int chapter)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host || !host->getState())
        return 0;
    host->callLuaFunctionIntResult("LF_getVignetteSeen", chapter);
    return host->popLuaInteger();
}

void LanternfieldCanvas::advanceChapter()
{
    if (!m_pProgress)
        return;
    const int chapter = m_pProgress->chapter;
    if (chapter == 6) {
        m_pProgress->chapter = 1;
        m_pProgress->maxChapter = 6;
        for (int n = 1; n <= 6; ++n)
            setVignetteNotSeen(n);
        exitToMenu();
        return;
    }
    m_pProgress->chapter = chapter + 1;
    if (m_pProgress->maxChapter < chapter)
        m_pProgress->maxChapter = chapter;
    leaveRoomAndSave();
    startChapter();
}

void LanternfieldCanvas::enterGame(int index)
{
    showSprite("MainMenu", false);
    for (int i = 0; i < ROOM_COUNT; ++i) {
        if (m_rooms[i])
            m_rooms[i]->setVisible(false);
    }
    if (m_pInventory)
        m_pInventory->setToOrigin();
    if (m_pAmbientSounds)
        m_pAmbientSounds->removeLoop(SOUND_MENU_LOOP);
    stopSound(SOUND_MENU_LOOP);
    if (!m_bPuzzleActive && m_pInventory)
        m_pInventory->setVisible(true);
    setGameState(STATE_PLAYING);
    enterRoom(index);
}

void LanternfieldCanvas::exitToMenu()
{
    leaveCurrentRoom();
    hideCloseUps();
    saveProfile();
    callLua("LF_blackBarsShow", 0);
    callLua("LF_clearPreviousAmbientSound");
    replaceMusic(lang::String("+musicMainScreen"));
    dropSpecialCursor();
    setGameState(STATE_MAIN_MENU);
}

void LanternfieldCanvas::leaveRoomAndSave()
{
    saveProfile();
    leaveCurrentRoom();
}

void LanternfieldCanvas::changeRoom(int index)
{
    // A room that does not exist is never entered: the player stays where
    // they are instead of ending up in no room at all.
    if (!getRoom(index)) {
        window::debugLine("changeRoom: no room ", index, "\n");
        return;
    }
    leaveCurrentRoom();
    // The change is made, whichever way it came: no room is pending any more
    // (the save on exit would take a pending room for the current one). A
    // change the new room asks for as it is entered is pending again.
    m_nPendingRoom = -1;
    enterRoom(index);
}

void LanternfieldCanvas::jumpToRoom(int index)
{
    if (!getRoom(index)) {
        window::debugLine("jumpToRoom: no room ", index, "\n");
        return;
    }
    // The chapter counts begun, as its slides' end makes it: a restart
    // continues it in the room, instead of showing the slides again over a
    // world reset.
    if (m_pProgress)
        setVignetteSeen(m_pProgress->chapter);
    if (m_nGameState == STATE_PAUSED) {
        // The book closes as its Resume button closes it.
        showSprite("BookDialog", false);
        showSprite("Options", false);
        setQuitVisible(true);
        setGameState(STATE_PLAYING);
    } else if (m_nGameState == STATE_MAIN_MENU) {
        // The menu and its dialogs go as when a game starts; the room the
        // player was in was left on the way to the menu (or never entered).
        hideAllScreens();
        showSprite("ChoosePlayer", false);
        showSprite("Quit", true);
        replaceMusic(chapterMusicName(m_pProgress ? m_pProgress->chapter : 1));
        m_nPendingRoom = -1;
        enterGame(index);
        return;
    }
    changeRoom(index);
}

void LanternfieldCanvas::enterRoom(int index)
{
    if (m_nGameState != STATE_PLAYING || !m_pProgress)
        return;
    Room* room = getRoom(index);
    if (!room) {
        window::debugLine("enterRoom: no room ", index, "\n");
        return;
    }
    m_pProgress->currentRoom = index;
    const bool slides = index == ROOM_VIGNETTE || index == ROOM_VIGNETTE_INTRO;
    if (!slides && m_pInventory)
        m_pInventory->setVisible(true);
    setPuzzleActive(false);
    // The cut scenes show their slides without the bar, which clearing the
    // puzzle flag has just shown: however they are entered (the story's
    // first slides through the opening's exit).
    if (slides && m_pInventory)
        m_pInventory->setVisible(false);
    showSprite("TaskCompleted", false);
    room->onEnter();
}

void LanternfieldCanvas::leaveCurrentRoom()
{
    if (!m_pProgress)
        return;
    m_pProgress->lastRoom = m_pProgress->currentRoom;
    if (Room* room = getCurrentRoom()) {
        room->setVisible(false);
        room->onExit();
    }
    if (m_pTalkingCharacter)
        m_pTalkingCharacter->stopTalk();
    dropSpecialCursor();
    setPuzzleActive(false);
}

void LanternfieldCanvas::requestRoomChange(int index)
{
    if (!getRoom(index)) {
        window::debugLine("requestRoomChange: no room ", index, "\n");
        return;
    }
    m_nPendingRoom = index;
    Room* room = getCurrentRoom();
    sprite::TransitionBase* transition = nullptr;
    if (!room) {
        changeRoom(index);
        return;
    }
    if (room->findExitTransition(index, &transition)) {
        setTransition(transition);
        transition->begin();
        transition->release();
    }
}

void LanternfieldCanvas::processPendingRoom(int state)
{
    if (state != 0)
        return;
    Room* current = getCurrentRoom();
    if (current && current->blocksRoomChange()) {
        // The change is dropped: nothing is pending any more (the save on
        // exit would name the dropped room for the one the player is in).
        m_nPendingRoom = -1;
        return;
    }
    const lang::String& destination = getDestination();
    if (!destination.isEmpty())
        m_nPendingRoom = findRoomIndex(destination);
    const int target = m_nPendingRoom;
    changeRoom(target);
    m_nPendingRoom = -1;
    const int last = m_pProgress ? m_pProgress->lastRoom : -1;
    if ((target == ROOM_FOUNTAIN_CU && last == ROOM_MARKET_PLACE) ||
        (target == ROOM_MARKET_PLACE && last == ROOM_FOUNTAIN_CU))
        showSprite("Dim", false);
}

void LanternfieldCanvas::afterTransitionPaint(int layer)
{
    processPendingRoom(layer);
}

void LanternfieldCanvas::onTransitionFinished()
{
    if (Room* room = getCurrentRoom())
        room->activate();
}

void LanternfieldCanvas::setPuzzleActive(bool active)
{
    m_bPuzzleActive = active;
    if (m_pInventory)
        m_pInventory->setVisible(!active);
    showSprite("HintText", !active);
}

void LanternfieldCanvas::resetGameWorld()
{
    for (int i = 0; i < CHARACTER_COUNT; ++i) {
        if (m_characters[i])
            m_characters[i]->setFixedTalkBalloonPosition(false, 0, 0, -1);
    }
    m_nPendingRoom = -1;
    if (ScriptHost* host = ScriptHost::instance)
        host->runScriptFile(kGameScript, 1);
    if (m_pInventory)
        m_pInventory->reset();
    callOnAllRooms();
    if (sceneHooks.resetPipes && m_closeUps[0])
        sceneHooks.resetPipes(m_closeUps[0]);
    for (int i = 0; i < ROOM_COUNT; ++i) {
        if (m_rooms[i])
            m_rooms[i]->resetProgress();
    }
    if (m_pInventory)
        m_pInventory->setVisible(false);
    showSprite("RoomItemsBalloon", false);
    showSprite("RoomItemTipText", false);
}

void LanternfieldCanvas::enterPegsCU(int n)
{
    // The point each of the three peg puzzles grows from.
    static const int kOrigins[3][2] = {{408, 220}, {585, 165}, {318, 220}};
    sprite::DialogSprite* pegs = getCloseUp(CLOSE_UP_PEGS);
    if (!pegs)
        return;
    if (Room* room = getCurrentRoom())
        room->pauseIfVisible();
    if (n >= 1 && n <= 3 && sceneHooks.openPegs)
        sceneHooks.openPegs(pegs, n, kOrigins[n - 1][0], kOrigins[n - 1][1], getRoom(ROOM_OUTER_VILLAGE_1 + n - 1));
}

void LanternfieldCanvas::hideCloseUps()
{
    // Each close-up closes at once with what it did to its room (the
    // dimming, the pause): the room is met undimmed the next time, and no
    // wait of the close-up goes on under the next screen.
    for (sprite::DialogSprite* closeUp : m_closeUps) {
        if (closeUp && closeUp->isVisible())
            closeUp->closeNow();
    }
    showSprite("GameInstructions", false);
    showSprite("GameInsQuestionMark", false);
    showGameInsDimmer(false);
    // The how-to-play dialog too: flipped by its debug key, its close button
    // may lie out of reach, and nothing else takes it down over a room.
    showSprite("Instructions", false);
}

void LanternfieldCanvas::exitSafeCrack()
{
    sprite::DialogSprite* safe = getCloseUp(CLOSE_UP_SAFE_CRACK);
    if (safe && sceneHooks.closeSafeCrack)
        sceneHooks.closeSafeCrack(safe);
}

void LanternfieldCanvas::setupTempleDoorPuzzle(int n)
{
    Room* room = getRoom(ROOM_TEMPLE_DOOR_PUZZLE);
    if (room && sceneHooks.setupTempleDoorPuzzle)
        sceneHooks.setupTempleDoorPuzzle(room, n);
}
