// LanternfieldCanvasState.cpp: the game state, the background music, the
// progress record and profile, the cursor state, the named actions and the
// mini-game instructions, in the reduced form the rooms, chapters and
// puzzles need so far: the menu opens the game, the player selection, the
// how-to-play pages and the options, but no progress is stored with a profile
// yet, and there are no cursor pictures yet.
#include "game/canvas/LanternfieldCanvas.h"

#include "core/lang/Synchronized.h"
#include "core/lang/System.h"
#include "game/ambient/AmbientAnimManager.h"
#include "game/ambient/AmbientSoundManager.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/dialogs/GameInstructDialog.h"
#include "game/inventory/Inventory.h"
#include "game/menus/MenuSprite.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "platform/kernel/DebugOutput.h"
#include "sound/clip/AudioClip.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "windowing/window/Event.h"

#include <initializer_list>

namespace {

// The volumes used while there is no settings store.
constexpr int kDefaultFXVolume = 170;
constexpr int kDefaultMusicVolume = 85;
// Background music is streamed.
constexpr int kStreamKind = 1;

ChoosePlayer* choosePlayer(LanternfieldCanvas* canvas)
{
    sprite::SpriteBase* dialog = canvas->getSprite("ChoosePlayer");
    return dialog && dialog->isInstanceOf("ChoosePlayer") ? static_cast<ChoosePlayer*>(dialog) : nullptr;
}

MenuSprite* mainMenu(LanternfieldCanvas* canvas)
{
    sprite::SpriteBase* menu = canvas->getSprite("MainMenu");
    return menu && menu->isInstanceOf("MenuSprite") ? static_cast<MenuSprite*>(menu) : nullptr;
}

Room* jumpScreen(LanternfieldCanvas* canvas)
{
    sprite::SpriteBase* screen = canvas->getSprite("PuzzleCheats");
    return screen && screen->isInstanceOf("PuzzleCheats") ? static_cast<Room*>(screen) : nullptr;
}

// The player selection over the dimmed screen, with that profile chosen
// ("" opens the new-profile prompt).
void openPlayerSelection(LanternfieldCanvas* canvas, const lang::String& profile)
{
    ChoosePlayer* chooser = choosePlayer(canvas);
    if (!chooser)
        return;
    for (const char* name : {"Dim", "ChoosePlayer", "GameCursor"}) {
        if (sprite::SpriteBase* sprite = canvas->getSprite(name))
            canvas->addSprite(name, sprite, -1);
    }
    canvas->showSprite("Dim", true);
    chooser->setSelectedProfile(profile);
    chooser->setVisible(true);
}

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
        if (m_pAmbientSounds) {
            m_pAmbientSounds->setVolume(getFXVolume());
            m_pAmbientSounds->setEnabled(true);
        }
        showSprite("Dim", false);
        break;
    case STATE_PAUSED:
        setSuspendLuaAnimations(true);
        setActionsPaused(true);
        OutputDebugStringA("STATE_PAUSED...\n");
        break;
    case STATE_MAIN_MENU:
        hideAllScreens();
        showSprite("MainMenu", true);
        showSprite("Dim", false);
        hideGlobalISpyList();
        if (m_profileName.equalsIgnoreCase("")) {
            if (MenuSprite* menu = mainMenu(this))
                menu->hideProfileName();
            resetProgress();
            resetGameWorld();
            openPlayerSelection(this, lang::String(""));
            m_bResetGame = true;
        } else if (MenuSprite* menu = mainMenu(this)) {
            menu->setProfileName(m_profileName);
        }
        loopSound(SOUND_MENU_LOOP);
        break;
    default:
        break;
    }
    m_nGameState = state;
}

lang::String LanternfieldCanvas::setBackgroundMusic(const lang::String& name)
{
    if (!m_pMusicClip)
        return lang::String("");
    lang::String previous(m_pMusicClip->getName());
    if (!previous.equals(name))
        m_pMusicClip->load(name, kStreamKind);
    m_pMusicClip->setVolume(getMusicVolume());
    m_pMusicClip->loop();
    m_musicName = previous;
    return previous;
}

lang::String LanternfieldCanvas::chapterMusicName(int chapter)
{
    return lang::String(chapter == 3 ? "+sMusicChapter3" : "+sMusicChapter1");
}

void LanternfieldCanvas::replaceMusic(const lang::String& name)
{
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunctionString("LF_replaceMusic", name);
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

void LanternfieldCanvas::resetProgress()
{
    if (!m_pProgress) {
        m_pProgress = new ProgressRecord();
        m_pProgress->init();
        return;
    }
    m_pProgress->init();
    if (sceneHooks.clearTiles && getRoom(ROOM_ART_RESTORATION))
        sceneHooks.clearTiles(getRoom(ROOM_ART_RESTORATION));
}

bool LanternfieldCanvas::loadProfile()
{
    // No profile is stored yet: the progress stays as it was reset.
    return false;
}

void LanternfieldCanvas::saveProfile()
{
    if (m_profileName.isEmpty())
        return;
    ScriptHost* host = ScriptHost::instance;
    if (!host || !host->getState())
        return;
    host->callLuaFunctionWithResult("LF_save");
    host->popLuaString();
}

void LanternfieldCanvas::saveOnExit()
{
    if (!m_pProgress)
        return;
    // Only a room being played is left: in the menu it was left already.
    Room* room = getCurrentRoom();
    if (room && (m_nGameState == STATE_PLAYING || m_nGameState == STATE_PAUSED)) {
        room->completeAnimations(false);
        room->onExit();
    }
    if (m_pProgress->currentRoom == ROOM_FOUNTAIN_CU && ScriptHost::instance &&
        ScriptHost::instance->getLuaBoolean("LF.fountainFixedWaterOn"))
        m_pProgress->currentRoom = ROOM_MARKET_PLACE;
    if (m_nPendingRoom != -1)
        m_pProgress->currentRoom = m_nPendingRoom;
    saveProfile();
}

void LanternfieldCanvas::dropSpecialCursor()
{
    // An item taken from the bar goes back into it.
    if (isHeldItemOnCursor() && m_pInventory)
        m_pInventory->releaseHeldItem();
    m_bHeldItem = false;
    m_bCursorLock = false;
    m_nCurrentCursor = CURSOR_NORMAL;
    m_nItemOnCursor = -1;
    m_nSpecialFrame = -1;
}

namespace {

// The cursors by index: 0 to 9 the ordinary ones, 10 to 56 the special ones.
const char* const kCursorNames[] = {
    "north", "south", "east", "west", "northwest", "northeast", "southwest", "southeast", "normalCursor",
    "handCursor", "fountainKey", "spin", "Key_OnGround", "Fuse_GreenOnGround", "Fuse_BlueOnGround",
    "Fuse_PurpleOnGround", "Fuse_YellowOnGround", "OilCan", "Diode", "Moon", "Fish", "Sun", "Spear", "Earring",
    "Crown", "Orb", "Spearhead", "CircleBit_1", "CircleBit_2", "Shovel", "ShovelWithDirt", "Chalice",
    "ChaliceWithWater", "Torch", "TorchWithFire", "Hammer", "Plant", "Peg_1", "Peg_2", "Peg_3", "Machete",
    "ClubTorch", "Paintbrush", "StickSmall", "StickMedium", "StickLarge", "Prism", "Stone1", "Stone2",
    "Temple2Stick", "Vase", "VaseWithWater", "Bouquet", "Box", "Cypher", "Seahorse", "Pearls"};
constexpr int kNamedCursors = int(sizeof kCursorNames / sizeof kCursorNames[0]);

} // namespace

int LanternfieldCanvas::cursorIndexOf(const lang::String& name)
{
    for (int i = 0; i < kNamedCursors; ++i) {
        if (name.equals(kCursorNames[i]))
            return i;
    }
    return CURSOR_NORMAL;
}

lang::String LanternfieldCanvas::cursorNameOf(int index)
{
    return lang::String(index >= 0 && index < kNamedCursors ? kCursorNames[index] : "");
}

void LanternfieldCanvas::setCursor(int index, bool lock)
{
    // Indexes 10 and up other than "hidden" are special cursors.
    if ((index >= 10 && index != CURSOR_HIDDEN) || index < 0)
        return;
    m_nCurrentCursor = index;
    m_bCursorLock = lock;
}

void LanternfieldCanvas::setSpecialCursor(int index, bool heldItem, int frame)
{
    // Indexes below 10 are the ordinary cursors.
    if (index < 10)
        return;
    m_bHeldItem = heldItem;
    m_nItemOnCursor = index;
    m_bCursorLock = true;
    m_nCurrentCursor = index;
    // Only the paintbrush cursor (42) shows a frame of the caller's choice.
    if (index == 42)
        m_nSpecialFrame = frame;
}

void LanternfieldCanvas::dropInvalidCursorItem()
{
    // The sound of an item that does not fit here.
    playSound(22);
    dropSpecialCursor();
}

void LanternfieldCanvas::positionCursorImage(int, int)
{
}

sprite::SpriteBase* LanternfieldCanvas::getHeldItemSprite()
{
    return m_pInventory ? m_pInventory->getHeldItem() : nullptr;
}

void LanternfieldCanvas::setGameInstructionsInfo(int game, int x, int y)
{
    m_nInstructionsGame = game;
    m_nInstructionsX = x;
    m_nInstructionsY = y;
}

bool LanternfieldCanvas::getShowGameInstructions(int game)
{
    ScriptHost* host = ScriptHost::instance;
    if (unsigned(game) >= unsigned(GameInstructDialog::GAME_COUNT) || !host || !host->getState())
        return false;
    host->callLuaFunctionIntResult("LF_getShowGameInstructions", game + 1);
    return host->popLuaBoolean();
}

void LanternfieldCanvas::setShowGameInstructions(int game, bool show)
{
    ScriptHost* host = ScriptHost::instance;
    if (unsigned(game) >= unsigned(GameInstructDialog::GAME_COUNT) || !host)
        return;
    host->callLuaFunction(show ? "LF_setShowGameInstructions" : "LF_clearShowGameInstructions", game + 1);
}

void LanternfieldCanvas::showGameInsDimmer(bool show)
{
    sprite::SpriteBase* dimmer = getSprite("GameInsDimmer");
    if (!dimmer)
        return;
    if (show)
        addSpriteBehind("GameInsDimmer", dimmer, getSprite("GameInstructions"));
    dimmer->setVisible(show);
}

void LanternfieldCanvas::showGameInstructions(int x, int y, int game, bool show, bool grow, int steps, int originX,
                                              int originY, float startScale, float endScale)
{
    sprite::SpriteBase* panelSprite = getSprite("GameInstructions");
    auto* panel = panelSprite && panelSprite->isInstanceOf("GameInstructDialog")
                      ? static_cast<GameInstructDialog*>(panelSprite)
                      : nullptr;
    sprite::SpriteBase* mark = getSprite("GameInsQuestionMark");
    if (!show) {
        if (panel)
            panel->setGame(game, false);
        if (mark)
            mark->setVisible(false);
        showGameInsDimmer(false);
        return;
    }
    if (grow || getShowGameInstructions(game)) {
        if (mark)
            mark->setVisible(false);
        if (panel && grow) {
            panel->zoom(game, false, x, y, steps, originX, originY, startScale, endScale);
        } else if (panel) {
            panel->setPosition(x - panel->width() / 2, y - panel->height() / 2);
            panel->setScale(1.0);
            panel->setGame(game, true);
        }
        showGameInsDimmer(true);
        if (!grow) {
            if (sprite::SpriteBase* dimmer = getSprite("GameInsDimmer"))
                dimmer->setAlphaBalance(GameInstructDialog::DIMMER_ALPHA);
        }
    } else {
        showGameInsQuestionMark();
        showGameInsDimmer(false);
    }
    setShowGameInstructions(game, false);
}

void LanternfieldCanvas::enterPegsCU(int n)
{
    // The point each of the three peg puzzles grows from; the close-up is
    // the canvas's second, over rooms 40 to 42.
    static const int kOrigins[3][2] = {{408, 220}, {585, 165}, {318, 220}};
    sprite::DialogSprite* pegs = m_closeUps[1];
    if (!pegs)
        return;
    if (Room* room = getCurrentRoom())
        room->pauseIfVisible();
    if (n >= 1 && n <= 3 && sceneHooks.openPegs)
        sceneHooks.openPegs(pegs, n, kOrigins[n - 1][0], kOrigins[n - 1][1], getRoom(39 + n));
}

void LanternfieldCanvas::exitSafeCrack()
{
    if (m_closeUps[6] && sceneHooks.closeSafeCrack)
        sceneHooks.closeSafeCrack(m_closeUps[6]);
}

void LanternfieldCanvas::setupTempleDoorPuzzle(int n)
{
    // Room 61 is the temple-door puzzle.
    Room* room = getRoom(61);
    if (room && sceneHooks.setupTempleDoorPuzzle)
        sceneHooks.setupTempleDoorPuzzle(room, n);
}

void LanternfieldCanvas::queueGameInstructions(int x, int y, int game, int delay)
{
    if (!getShowGameInstructions(game)) {
        showGameInstructions(x, y, game, true, false, GameInstructDialog::ZOOM_FRAMES,
                             GameInstructDialog::ORIGIN_X, GameInstructDialog::ORIGIN_Y,
                             GameInstructDialog::SMALL_SCALE, GameInstructDialog::FULL_SCALE);
        return;
    }
    m_nQueuedGame = game;
    m_nQueuedX = x;
    m_nQueuedY = y;
    lang::String expand("ExpandInstructions");
    scheduleAction(delay, &expand, 0, nullptr, nullptr);
}

bool LanternfieldCanvas::isGameInstructionsShowing()
{
    return isSpriteVisible("GameInstructions");
}

void LanternfieldCanvas::showGameInsQuestionMark()
{
    sprite::SpriteBase* mark = getSprite("GameInsQuestionMark");
    if (!mark)
        return;
    mark->setVisible(true);
    if (sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(mark))
        button->setEnabled(true);
}

void LanternfieldCanvas::disableGameInsQuestionMark()
{
    sprite::SpriteBase* mark = getSprite("GameInsQuestionMark");
    if (sprite::ButtonMixin* button = mark ? sprite::ButtonMixin::fromSprite(mark) : nullptr)
        button->setEnabled(false);
}

bool LanternfieldCanvas::isOverGameInsQuestionMark(int x, int y)
{
    sprite::SpriteBase* mark = getSprite("GameInsQuestionMark");
    sprite::ButtonMixin* button = mark ? sprite::ButtonMixin::fromSprite(mark) : nullptr;
    return mark && mark->isVisible() && button && button->hitAndEnabled(x, y);
}

void LanternfieldCanvas::handleAction(lang::Object* receiver, lang::String* command)
{
    lang::Synchronized guard(this, true);
    if (command && command->equalsIgnoreCase("bStart1")) {
        showSprite("MainMenu", false);
        if (m_bResetGame || getCurrentRoomIndex() == ROOM_STORY_INTRO) {
            // A new game opens with the story's introduction.
            resetProgress();
            resetGameWorld();
            m_bResetGame = false;
            enterGame(ROOM_STORY_INTRO);
        } else {
            startChapter();
        }
        return;
    }
    if (command && command->equals("TransitionDone")) {
        m_bInTransition = false;
        return;
    }
    if (command && command->equalsIgnoreCase("PuzzleCheatsClose")) {
        // Back from the jump screen into the room it was opened over.
        playSound(0);
        if (Room* screen = jumpScreen(this))
            screen->onExit();
        if (Room* room = getCurrentRoom()) {
            room->setVisible(true);
            if (!m_bPuzzleActive)
                showSprite("Inventory", true);
            const int index = getCurrentRoomIndex();
            leaveCurrentRoom();
            enterRoom(index);
        }
        return;
    }
    if (command && command->equals("ExpandInstructions")) {
        showGameInstructions(m_nQueuedX, m_nQueuedY, m_nQueuedGame, true, true, GameInstructDialog::ZOOM_FRAMES,
                             GameInstructDialog::ORIGIN_X, GameInstructDialog::ORIGIN_Y,
                             GameInstructDialog::SMALL_SCALE, GameInstructDialog::FULL_SCALE);
        return;
    }
    if (command && command->equalsIgnoreCase("bMenuOptions") && !m_bInTransition) {
        // The options over everything, dimmed behind, the cursor above.
        showSprite("Dim", true);
        showSprite("Options", true);
        for (const char* name : {"Dim", "Options", "GameCursor"}) {
            if (sprite::SpriteBase* s = getSprite(name))
                addSprite(name, s, -1);
        }
        return;
    }
    if (command && command->equalsIgnoreCase("bOptionsClose")) {
        showSprite("Dim", false);
        return;
    }
    if (command && command->equals("showfalse") && receiver && receiver->isInstanceOf("SpriteBase")) {
        // A sprite whose animation ended (a rising bubble) goes out of sight.
        auto* sender = static_cast<sprite::SpriteBase*>(receiver);
        sender->setAction(nullptr, nullptr);
        sender->setVisible(false);
        return;
    }
    // The profile and how-to-play commands of the menu.
    if (command && !m_bInTransition && command->equalsIgnoreCase("ChangeProfile")) {
        playSound(0);
        openPlayerSelection(this, m_profileName);
        return;
    }
    if (command && command->startsWith("profile:")) {
        // The name is the dialog's choice, whatever follows the prefix.
        ChoosePlayer* chooser = choosePlayer(this);
        m_profileName = chooser ? chooser->getSelectedName() : lang::String("");
        if (sprite::User* settings = getUser())
            settings->setString(lang::String("LASTPROFILE"), m_profileName);
        showSprite("ChoosePlayer", false);
        showSprite("Dim", false);
        if (m_pProfileStore)
            m_pProfileStore->open(lang::String::loadText("REGISTRYNAME") + "\\" + m_profileName.toUpperCase());
        if (MenuSprite* menu = mainMenu(this))
            menu->setProfileName(m_profileName);
        resetProgress();
        resetGameWorld();
        loadProfile();
        return;
    }
    if (command && !m_bInTransition && command->equalsIgnoreCase("bMenuHowtoPlay")) {
        playSound(0);
        showSprite("MainMenu", false);
        showSprite("Instructions", true);
        for (const char* name : {"Instructions", "GameCursor"}) {
            if (sprite::SpriteBase* sprite = getSprite(name))
                addSprite(name, sprite, -1);
        }
        return;
    }
    if (command && command->equalsIgnoreCase("bInstructionsClose")) {
        playSound(0);
        showSprite("MainMenu", true);
        return;
    }
    GameCanvas3::handleAction(receiver, command);
}

bool LanternfieldCanvas::onKey(window::Event* e, lang::Object** receiver, lang::String* command)
{
    const bool handled = GameCanvas3::onKey(e, receiver, command);
    if (handled || !e || !lang::System::isDebugMode())
        return handled;
    Room* room = getCurrentRoom();
    Room* screen = jumpScreen(this);
    if ((e->key == 'c' || e->key == 'C') && room && screen) {
        room->setVisible(false);
        showSprite("Inventory", false);
        screen->onEnter();
    }
    return false;
}

void LanternfieldCanvas::doFrame()
{
    lang::Synchronized guard(this, true);
    if (m_pAmbientAnims)
        m_pAmbientAnims->tick();
    if (m_pAmbientSounds)
        m_pAmbientSounds->tick();
    GameCanvas3::doFrame();
}
