// LanternfieldCanvasSetup.cpp: the canvas's initialisation from the frame,
// its sound start-up, and the binding of every named object of the data
// manifest once it is loaded.
#include "game/canvas/LanternfieldCanvas.h"

#include "game/ambient/AmbientAnimManager.h"
#include "game/ambient/AmbientSoundManager.h"
#include "game/balloons/TalkBalloon.h"
#include "game/characters/Character.h"
#include "game/characters/PlayerCharacter.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/inventory/Inventory.h"
#include "game/menus/OptionsSprite.h"
#include "game/progress/ProgressRecord.h"
#include "game/progress/SavedStory.h"
#include "game/rooms/Room.h"
#include "platform/files/Files.h"
#include "platform/registry/Registry.h"
#include "platform/user/MessageBox.h"
#include "sound/clip/AudioClip.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Frame.h"

#include <lua.hpp>

#include <string>
#include <vector>

namespace {

// Whether the profile has its name where the player selection wrote it (the
// profile's own key), asked without making the key when it is missing.
bool profileHasName(const lang::String& profile)
{
    lang::String path("Software\\Harbinvel\\");
    path += lang::String::loadText("REGISTRYNAME");
    path += '\\';
    path += profile.toUpperCase();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    const bool named = RegQueryValueExA(key, "displayName", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 1;
    RegCloseKey(key);
    return named;
}

// The data manifest as the player knows it: an item of the game data by its
// name, a file by its path as the system writes it.
std::string setupManifestName(const lang::String& file)
{
    if (file.startsWith("+"))
        return std::string("\"") + file.substring(1).c_str() + "\" of the game data";
    return platform::nativePath(file.c_str());
}

// Indexes of the balloon sprites in the order of their name table.
enum BalloonIndex {
    TALK_BALLOON,
    TALK_TEXT,
    TALK_SKIP,
    THOUGHT_BALLOON,
    THOUGHT_TEXT,
    TUTORIAL_BALLOON,
    TUTORIAL_TEXT,
    INVENTORY_TIP_BALLOON,
    INVENTORY_TIP_TEXT,
    ROOM_ITEMS_BALLOON,
    ROOM_ITEM_TIP_TEXT
};
constexpr int PLAYER = 0;
constexpr int TUTORIAL = 1;
// The eleven characters who speak through "TalkBalloon" start here.
constexpr int FIRST_SPEAKER = 2;

// The class each dialog must be an instance of.
const char* const kDialogClasses[LanternfieldCanvas::DIALOG_COUNT] = {
    "MenuSprite",    "OptionsSprite", "InstructDialog", "GameInstructDialog",
    "BookDlgSprite", "ChoosePlayer",  "PuzzleCheats",
};

// The canvas sprites the set-up shows, hides or hands on, beyond the named
// fields, and the tail of the thought balloon's table.
const char* const kSetupSprites[] = {
    "InventoryHintPaper", "InventoryHintArrowButton", "HintText",   "NewTask",         "TutorialHelpButton",
    "GameInsQuestionMark", "GameInsDimmer",          "GameCursor", "BlackBarTop",     "BlackBarBottom",
    "CheatText",          "TaskCompleted",            "GlobalISpyList", "ISpyList_Flowers",
};

// Most missing names one report lists.
constexpr size_t kMaxNamesReported = 10;

} // namespace

void LanternfieldCanvas::init(const lang::String& codeBase, sprite::User* user, const lang::String& dataFile,
                              int unused)
{
    lang::String name(dataFile);
    if (name.isEmpty()) {
        name = lang::String::loadText("GAMENAME");
        name.append(".dat");
    }
    GameCanvas3::init(codeBase, user, name, unused);
    if (!m_pProfileStore)
        m_pProfileStore = new sprite::User();
}

bool LanternfieldCanvas::preLoad()
{
    return initSound();
}

bool LanternfieldCanvas::initSound()
{
    // The window's thread may be activated at any moment of the load: it
    // sees the clip only once the clip is made and loaded.
    window::AudioClip* music = m_pMusicClip;
    if (!music)
        music = new window::AudioClip();
    if (musicClipMade)
        musicClipMade();
    window::AudioClip::setMasterVolume(getFXVolume());
    music->load(lang::String("+musicLoad"), 0);
    music->play();
    music->setVolume(getMusicVolume());
    m_pMusicClip = music;
    m_nGameState = STATE_LOADING;
    return true;
}

bool LanternfieldCanvas::checkRequiredNames()
{
    struct Required {
        std::string name;
        const char* className;
    };
    std::vector<Required> required;
    for (int i = 0; i < DIALOG_COUNT; ++i)
        required.push_back({kDialogNames[i], kDialogClasses[i]});
    for (int i = 0; i < CLOSE_UP_COUNT; ++i)
        required.push_back({kCloseUpNames[i], "DialogSprite"});
    required.push_back({"Inventory", "Inventory"});
    for (int i = 0; i < ROOM_COUNT; ++i)
        required.push_back({kRoomNames[i], "Room"});
    for (int i = 0; i < CHARACTER_COUNT; ++i)
        required.push_back({kCharacterNames[i], i == PLAYER ? "PlayerCharacter" : "Character"});
    for (int i = 0; i < BALLOON_SPRITE_COUNT; ++i) {
        const bool balloon = i == TALK_BALLOON || i == THOUGHT_BALLOON || i == TUTORIAL_BALLOON ||
                             i == INVENTORY_TIP_BALLOON || i == ROOM_ITEMS_BALLOON;
        required.push_back({kBalloonSpriteNames[i], balloon ? "TalkBalloon" : "SpriteBase"});
    }
    for (const char* name : kSetupSprites)
        required.push_back({name, "SpriteBase"});
    for (int i = 1; i <= 12; ++i)
        required.push_back({"GlobalISpyListText_" + std::to_string(i), "SpriteBase"});
    for (int i = 1; i <= 5; ++i)
        required.push_back({"HiddenFlowerListText_" + std::to_string(i), "SpriteBase"});

    std::vector<std::string> missing;
    for (const Required& r : required) {
        sprite::SpriteBase* s = getSprite(r.name.c_str());
        if (!s)
            missing.push_back("\"" + r.name + "\"");
        else if (!s->isInstanceOf(r.className))
            missing.push_back("\"" + r.name + "\" (not a " + r.className + ")");
    }
    if (missing.empty())
        return true;
    std::string text = "The data manifest " + setupManifestName(getDataFileName()) +
                       " is damaged or incomplete: it lacks ";
    for (size_t i = 0; i < missing.size() && i < kMaxNamesReported; ++i)
        text += (i ? ", " : "") + missing[i];
    if (missing.size() > kMaxNamesReported)
        text += " and " + std::to_string(missing.size() - kMaxNamesReported) + " more";
    text += ".";
    m_setupError = lang::String(text.c_str());
    window::debugLine("setupGame: ", text, "\n");
    MessageBoxA(nullptr, text.c_str(), "setupGame", MB_OK);
    return false;
}

void LanternfieldCanvas::bindObjects()
{
    for (int i = 0; i < DIALOG_COUNT; ++i)
        m_dialogs[i] = static_cast<sprite::DialogSprite*>(getSprite(kDialogNames[i]));
    for (int i = 0; i < CLOSE_UP_COUNT; ++i)
        m_closeUps[i] = static_cast<sprite::DialogSprite*>(getSprite(kCloseUpNames[i]));
    m_pInventory = static_cast<Inventory*>(getSprite("Inventory"));
    for (int i = 0; i < ROOM_COUNT; ++i)
        m_rooms[i] = static_cast<Room*>(getSprite(kRoomNames[i]));
    for (int i = 0; i < CHARACTER_COUNT; ++i)
        m_characters[i] = static_cast<Character*>(getSprite(kCharacterNames[i]));
    for (int i = 0; i < BALLOON_SPRITE_COUNT; ++i)
        m_balloonSprites[i] = getSprite(kBalloonSpriteNames[i]);
}

void LanternfieldCanvas::setUpCharacters()
{
    auto* talk = static_cast<TalkBalloon*>(m_balloonSprites[TALK_BALLOON]);
    for (int i = FIRST_SPEAKER; i < CHARACTER_COUNT; ++i) {
        Character* character = m_characters[i];
        character->setTalkBalloon(talk);
        for (int code = 0; code <= 5; ++code) {
            lang::String tail("TalkBalloonTail_");
            tail.append(code);
            talk->setTail(code, getSprite(tail.c_str()));
        }
        talk->setMargins(dataNumber(7), dataNumber(8));
        talk->resetTextColor();
        character->setTalkText(m_balloonSprites[TALK_TEXT]);
        character->setSkipButton(m_balloonSprites[TALK_SKIP]);
        character->setVisible(false);
        talk->setVisible(false);
        m_balloonSprites[TALK_TEXT]->setVisible(false);
        const lang::String& name = character->getName();
        // The two voices without a body never offer a talk-to-me button.
        if (name.equals("CallBoxIntercom") || name.equals("Ghost"))
            character->setHasTalkToMeButton(false);
    }

    auto* thought = static_cast<TalkBalloon*>(m_balloonSprites[THOUGHT_BALLOON]);
    thought->setMargins(dataNumber(3), dataNumber(4));
    thought->setTextShift(dataNumber(5), dataNumber(6));
    thought->setTail(6, getSprite("ThoughtBalloonTail"));

    auto* player = static_cast<PlayerCharacter*>(m_characters[PLAYER]);
    player->setTalkBalloon(thought);
    player->setTalkText(m_balloonSprites[THOUGHT_TEXT]);
    player->setHasTalkToMeButton(false);
    player->setVisible(false);
    player->setBalloonAnchor(6);
    player->setPosition(dataNumber(0), dataNumber(1));
    player->setAltX(dataNumber(2));
    player->setHome(dataNumber(0), dataNumber(1));

    auto* tutorialBalloon = static_cast<TalkBalloon*>(m_balloonSprites[TUTORIAL_BALLOON]);
    tutorialBalloon->setMargins(dataNumber(11), dataNumber(12));
    tutorialBalloon->attachButton(getSprite("TutorialHelpButton"));

    auto* tip = static_cast<TalkBalloon*>(m_balloonSprites[INVENTORY_TIP_BALLOON]);
    tip->setMargins(dataNumber(13), dataNumber(14));
    tip->setTextShift(dataNumber(15), tip->getTextDY());
    auto* items = static_cast<TalkBalloon*>(m_balloonSprites[ROOM_ITEMS_BALLOON]);
    items->setMargins(dataNumber(16), dataNumber(17));
    items->setTextShift(dataNumber(18), items->getTextDY());
    items->setHome(items->left(), items->top());

    Character* tutorial = m_characters[TUTORIAL];
    tutorial->setTalkBalloon(tutorialBalloon);
    tutorial->setTalkText(m_balloonSprites[TUTORIAL_TEXT]);
    tutorial->setHasTalkToMeButton(false);
    tutorial->setVisible(false);
    tutorial->setPosition(dataNumber(9), dataNumber(10));
}

bool LanternfieldCanvas::loadData()
{
    return GameCanvas3::loadData() && m_bSetUp;
}

void LanternfieldCanvas::setupGame(sprite::DataLoader* loader)
{
    m_bSetUp = false;
    m_setupError = "";
    if (!checkRequiredNames())
        return;
    bindObjects();
    ScriptHost* host = ScriptHost::instance;

    m_pInventory->setVisible(false);
    m_pInventory->setHintSprites(getSprite("InventoryHintPaper"), getSprite("InventoryHintArrowButton"),
                                 getSprite("HintText"), getSprite("NewTask"));
    showSprite("InventoryHintPaper", false);
    showSprite("InventoryHintArrowButton", false);
    showSprite("HintText", false);

    for (int i = 0; i < ROOM_COUNT; ++i) {
        if (host) {
            std::string script = std::string(kRoomNames[i]) + ".lua";
            host->runScriptFile(script.c_str(), 1);
        }
        m_rooms[i]->setVisible(false);
    }

    setUpCharacters();
    showSprite("GameInsQuestionMark", false);
    showSprite("GameInsDimmer", false);

    auto* options = static_cast<OptionsSprite*>(m_dialogs[DIALOG_OPTIONS]);
    options->setUser(getUser());
    options->addMusicClip(m_pMusicClip.load());
    options->setEffectsSample(getSound(0));
    Component* parent = getParent();
    options->setFrame(parent && parent->isInstanceOf("Frame") ? static_cast<window::Frame*>(parent) : nullptr);
    options->readVolumes();
    static_cast<ChoosePlayer*>(m_dialogs[DIALOG_CHOOSE_PLAYER])->setStores(getUser(), m_pProfileStore);

    setBackgroundMusic(lang::String("+musicMainScreen"));

    sprite::User* settings = getUser();
    if (settings && settings->getInt(lang::String("SHOWLINK"), 1) == 0) {
        sprite::SpriteBase* link = m_dialogs[DIALOG_MAIN_MENU]->getSprite("upsellHV");
        if (sprite::ButtonMixin* button = link ? sprite::ButtonMixin::fromSprite(link) : nullptr)
            button->setState(sprite::ButtonMixin::DISABLED);
    }
    m_profileName = settings ? settings->getString(lang::String("LASTPROFILE"), lang::String("")) : lang::String("");
    // The name becomes a path in the settings: anything else is no profile.
    if (!m_profileName.isEmpty() && !isValidProfileName(m_profileName)) {
        window::debugLine("setupGame: \"LASTPROFILE\" is not a profile name: \"", m_profileName.c_str(), "\"\n");
        m_profileName = "";
    }
    // A profile deleted (or never finished) has no name in the settings:
    // opening its store would make its key again, as a profile without a name.
    if (!m_profileName.isEmpty() && !profileHasName(m_profileName)) {
        window::debugLine("setupGame: \"LASTPROFILE\" names no profile: \"", m_profileName.c_str(), "\"\n");
        m_profileName = "";
    }
    if (!m_profileName.isEmpty())
        openProfileStore(m_profileName);

    GameCanvas3::setupGame(loader);

    if (!m_pAmbientAnims)
        m_pAmbientAnims = new AmbientAnimManager();
    if (!m_pAmbientSounds)
        m_pAmbientSounds = new AmbientSoundManager();
    m_pAmbientSounds->setVolume(getFXVolume());

    m_pGameCursor = getSprite("GameCursor");
    m_pGameCursor->setVisible(false);
    showSprite("BlackBarTop", false);
    showSprite("BlackBarBottom", false);
    showSprite("CheatText", false);
    showSprite("TaskCompleted", false);
    showSprite("NewTask", false);
    hideGlobalISpyList();
    hideFlowerISpyList();

    if (host)
        host->runScriptFile(kGameScript, 1);
    resetProgress();
    resetGameWorld();
    // The story of a player who has played nothing yet, for new players.
    if (lua_State* L = host ? host->getState() : nullptr)
        SavedStory::keepFresh(L);
    if (!m_profileName.isEmpty())
        loadProfile();
    m_bSetUp = true;
    setGameState(STATE_MAIN_MENU);
}
