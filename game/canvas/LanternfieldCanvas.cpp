// LanternfieldCanvas.cpp: the game canvas's construction, its tables of
// names and the look-ups the rest of the game uses.
#include "game/canvas/LanternfieldCanvas.h"

#include "core/util/Hashtable.h"
#include "game/ambient/AmbientAnimManager.h"
#include "game/ambient/AmbientSoundManager.h"
#include "game/characters/Character.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "sound/clip/AudioClip.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "windowing/images/ImageBase.h"

#include <lua.hpp>

LanternfieldCanvas* LanternfieldCanvas::instance = nullptr;
LanternfieldCanvas::SceneHooks LanternfieldCanvas::sceneHooks;
void (*LanternfieldCanvas::musicClipMade)() = nullptr;

const char LanternfieldCanvas::kMetatable[] = "hv.LanternfieldCanvas";
const char LanternfieldCanvas::kScriptFile[] = "LanternfieldCanvas.lua";
const char LanternfieldCanvas::kLuaClassName[] = "LanternfieldCanvas";
const char LanternfieldCanvas::kGameScript[] = "Lanternfield.lua";

const char* const LanternfieldCanvas::kRoomNames[ROOM_COUNT] = {
    "Dock",
    "ProfessorHouse",
    "MarketPlace",
    "OldTownConnector",
    "KnickKnackStore",
    "Riverside",
    "TreasureChestCU",
    "FountainCU",
    "SlideBlockPuzzle",
    "Vignette",
    "TavernGallery",
    "TavernInterior",
    "GalleryInterior",
    "MansionGate",
    "DiveDock",
    "HedgeMazeFront",
    "MansionFront",
    "Concentration",
    "WhackAClam",
    "ArtRestoration",
    "Maze",
    "AirCompressor",
    "CallBox",
    "LevelComplete",
    "VignetteIntro",
    "Landing",
    "WelcomeCenter",
    "Bookshelf",
    "Trailhead",
    "Jungle",
    "CaveEntrance",
    "CaveMaze",
    "Bridge",
    "InnerSanctum",
    "Inlay",
    "OuterSanctum",
    "Volcano",
    "Waterfall",
    "InnerWaterfall",
    "VillageEnterance",
    "OuterVillage_1",
    "OuterVillage_2",
    "OuterVillage_3",
    "MansionFront_Night",
    "TavernInterior_Night",
    "DiveDock_Night",
    "MansionGate_Night",
    "HedgeMazeFront_Night",
    "TavernGallery_Night",
    "DiveDockInterior",
    "MansionHallway",
    "MansionStudy",
    "TicTac",
    "ViewFinder",
    "MansionKeypad",
    "BehindDiveDock",
    "WindRace",
    "IslandLanding",
    "Temple1",
    "Temple2",
    "Temple3",
    "TempleDoorPuzzle",
    "AmuletDoor",
    "GoldenRoom",
    "Lures",
    "StoryIntro",
};

const char* const LanternfieldCanvas::kCharacterNames[CHARACTER_COUNT] = {
    "PlayerCharacter", "TutorialCharacter", "Professor",       "ShopKeeper", "Fisherman",   "Barkeeper", "CardShark",
    "GalleryOwner",    "Millionaire",       "CallBoxIntercom", "ParkRanger", "TribalElder", "Ghost",
};

const char* const LanternfieldCanvas::kDialogNames[DIALOG_COUNT] = {
    "MainMenu", "Options", "Instructions", "GameInstructions", "BookDialog", "ChoosePlayer", "PuzzleCheats",
};

const char* const LanternfieldCanvas::kCloseUpNames[CLOSE_UP_COUNT] = {
    "PipesCU", "PegsCU", "WhackAClam", "ArtRestoration", "ClockCU", "CircuitBoard", "SafeCrack",
};

const char* const LanternfieldCanvas::kBalloonSpriteNames[BALLOON_SPRITE_COUNT] = {
    "TalkBalloon",     "TalkText",         "TalkSkip",         "ThoughtBalloon",   "ThoughtText",     "TutorialBalloon",
    "TutorialText",    "InventoryTipBalloon", "InventoryTipText", "RoomItemsBalloon", "RoomItemTipText",
};

LanternfieldCanvas::LanternfieldCanvas()
    : m_pProgress(nullptr),
      m_cLastKey(0),
      m_nGameState(STATE_LOADING),
      m_nPreviousGameState(STATE_LOADING),
      m_bResetGame(false),
      m_pProfileStore(nullptr),
      m_profileName(""),
      m_bPausePending(false),
      m_pMusicClip(nullptr),
      m_musicName(""),
      m_bNoMusic(false),
      m_nPendingRoom(-1),
      m_nCurrentCursor(CURSOR_NORMAL),
      m_bCursorLock(false),
      m_bHeldItem(false),
      m_pGameCursor(nullptr),
      m_nItemOnCursor(-1),
      m_nSpecialFrame(-1),
      m_nCursorPicture(-1),
      m_nCursorPictureFrame(-1),
      m_nInstructionsGame(-1),
      m_nInstructionsX(0),
      m_nInstructionsY(0),
      m_bPuzzleActive(false),
      m_bMouseReadout(false),
      m_bQuitWasVisible(false),
      m_dialogs{},
      m_pInventory(nullptr),
      m_closeUps{},
      m_rooms{},
      m_characters{},
      m_balloonSprites{},
      m_pTalkingCharacter(nullptr),
      m_pAmbientAnims(nullptr),
      m_pAmbientSounds(nullptr),
      m_bInTransition(false),
      m_nQueuedGame(-1),
      m_nQueuedX(0),
      m_nQueuedY(0),
      m_bSetUp(false),
      m_setupError("")
{
    instance = this;
    // Pictures made from here on are decoded when first drawn.
    window::ImageBase::forceImmediateDecode = false;
    ScriptHost* host = ScriptHost::instance;
    if (host && host->getState() && getLuaRef() != LUA_NOREF) {
        host->setupMetatableForClass(kMetatable, GameCanvas3::kMetatable, kScriptFile, kLuaClassName, luaMethods());
        host->setObjectMetatable(getLuaRef(), kMetatable);
    }
}

LanternfieldCanvas::~LanternfieldCanvas()
{
    if (window::AudioClip* music = m_pMusicClip)
        music->release();
    delete m_pAmbientAnims;
    delete m_pAmbientSounds;
    delete m_pProgress;
    if (m_pProfileStore)
        m_pProfileStore->release();
    if (instance == this)
        instance = nullptr;
}

Room* LanternfieldCanvas::getRoom(int index)
{
    // Compared as unsigned: -1 is as far out of the table as 66.
    return unsigned(index) < unsigned(ROOM_COUNT) ? m_rooms[index] : nullptr;
}

int LanternfieldCanvas::findRoomIndex(const lang::String& name)
{
    for (int i = 0; i < ROOM_COUNT; ++i) {
        if (m_rooms[i] && m_rooms[i]->getName().equals(name))
            return i;
    }
    return -1;
}

void LanternfieldCanvas::callOnAllRooms()
{
    for (int i = 0; i < ROOM_COUNT; ++i) {
        if (m_rooms[i])
            m_rooms[i]->resetGlobalItems();
    }
}

Character* LanternfieldCanvas::getPlayerCharacter()
{
    return m_characters[0];
}

Character* LanternfieldCanvas::findCharacter(const lang::String& name)
{
    for (int i = 0; i < CHARACTER_COUNT; ++i) {
        if (m_characters[i] && m_characters[i]->getName().equals(name))
            return m_characters[i];
    }
    return nullptr;
}

void LanternfieldCanvas::addCharacterToScreen(Character* character)
{
    if (character)
        addSprite(character->getName().c_str(), character, -1);
}

void LanternfieldCanvas::removeCharacterFromScreen(const lang::String& name)
{
    if (Character* character = findCharacter(name))
        removeSprite(character);
}

void LanternfieldCanvas::showSprite(const char* name, bool visible)
{
    if (sprite::SpriteBase* s = getSprite(name))
        s->setVisible(visible);
}

bool LanternfieldCanvas::isSpriteVisible(const char* name)
{
    sprite::SpriteBase* s = getSprite(name);
    return s && s->isVisible();
}

void LanternfieldCanvas::hideGlobalISpyList()
{
    showSprite("GlobalISpyList", false);
    for (int i = 1; i <= 12; ++i) {
        lang::String name("GlobalISpyListText_");
        name.append(i);
        showSprite(name.c_str(), false);
    }
}

void LanternfieldCanvas::hideFlowerISpyList()
{
    showSprite("ISpyList_Flowers", false);
    for (int i = 1; i <= 5; ++i) {
        lang::String text("HiddenFlowerListText_");
        text.append(i);
        showSprite(text.c_str(), false);
        lang::String flower("ListFlower_");
        flower.append(i);
        showSprite(flower.c_str(), false);
    }
}

void LanternfieldCanvas::hideAllScreens()
{
    showSprite("BookDialog", false);
    showSprite("Instructions", false);
    showSprite("Options", false);
    showSprite("MainMenu", false);
    showSprite("Dim", false);
    showSprite("Quit", false);
    if (m_pInventory)
        m_pInventory->setVisible(false);
    showSprite("BlackBarTop", false);
    showSprite("BlackBarBottom", false);
    showSprite("TutorialCharacter", false);
}

Room* LanternfieldCanvas::getCurrentRoom()
{
    return m_pProgress ? getRoom(m_pProgress->currentRoom) : nullptr;
}

int LanternfieldCanvas::getCurrentRoomIndex() const
{
    return m_pProgress ? m_pProgress->currentRoom : -1;
}

int LanternfieldCanvas::dataNumber(int index)
{
    lang::IntArray* numbers = getManifestNumbers();
    return index >= 0 && index < numbers->length() ? (*numbers)[index] : 0;
}
