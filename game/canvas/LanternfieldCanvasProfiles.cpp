// LanternfieldCanvasProfiles.cpp: the progress record of the profile in
// play: reset for a new game, read from and written to the profile's
// settings (the record's image and the scripts' own state as Lua text), the
// save when the program closes, and the choice of a profile.
#include "game/canvas/LanternfieldCanvas.h"

#include "core/lang/ByteArray.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/inventory/Inventory.h"
#include "game/menus/MenuSprite.h"
#include "game/progress/ProgressRecord.h"
#include "game/progress/SavedStory.h"
#include "game/rooms/Room.h"
#include "platform/registry/Registry.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "windowing/window/DebugLine.h"

#include <cstring>
#include <ctime>
#include <lua.hpp>
#include <string>

namespace {

// The longest profile name the new-profile prompt takes.
constexpr int kMaxProfileName = 8;

// "<profile>\<part>": a value path below the profile's sub-key.
lang::String profilePath(const lang::String& profile, const char* part)
{
    lang::String path(profile);
    path += '\\';
    path += part;
    return path;
}

// The text "LF_save" returns as bytes ("" for a result that is no string);
// false when there is no script state or the function failed (also when it
// was stopped), so that nothing of the save is stored. A failure shows its
// box unless `quiet`, and gives its message to `error` when there is one.
bool scriptState(lang::ByteArray& bytes, bool quiet = false, std::string* error = nullptr)
{
    ScriptHost* host = ScriptHost::instance;
    lua_State* L = host ? host->getState() : nullptr;
    if (!L)
        return false;
    const int top = lua_gettop(L);
    lua_getglobal(L, "LF_save");
    const bool ok = quiet ? host->guardedPcall(0, 1, 0, "LF_save") == 0 : host->pcallWithTraceback(0, 1, "LF_save");
    if (!ok && error && lua_isstring(L, -1))
        *error = lua_tostring(L, -1);
    size_t length = 0;
    const char* text = ok && lua_type(L, -1) == LUA_TSTRING ? lua_tolstring(L, -1, &length) : nullptr;
    bytes.setLength(int(length));
    if (length)
        std::memcpy(bytes.data(), text, length);
    lua_settop(L, top);
    return ok;
}

// The running time of the calling thread, in milliseconds: what the
// scripts' time guard counts.
long threadMilliseconds()
{
    return long(ScriptHost::threadMicroseconds() / 1000);
}

// The check of a restored story saves it within the time the closing game
// gives its scripts, as the save on the way out must be made.
constexpr long kCheckedSaveMs = ScriptHost::CLOSE_TIME_LIMIT_MS;

} // namespace

LanternfieldCanvas::StoryRestore LanternfieldCanvas::restoreStory(const lang::ByteArray& script)
{
    ScriptHost* host = ScriptHost::instance;
    lua_State* L = host ? host->getState() : nullptr;
    if (!L)
        return STORY_TAKEN;
    std::string message;
    const char* text = script.length() > 0 ? reinterpret_cast<const char*>(script.data()) : "";
    // The save as saveProfile makes it, but without a box: a failure refuses
    // the story. Scripts without a save have nothing to check.
    lua_getglobal(L, "LF_save");
    const bool saves = lua_isfunction(L, -1);
    lua_pop(L, 1);
    SavedStory::SaveText save;
    if (saves)
        save = [](std::string& saved, std::string& error) {
            lang::ByteArray bytes;
            const long start = threadMilliseconds();
            if (!scriptState(bytes, true, &error))
                return false;
            const long took = threadMilliseconds() - start;
            if (took > kCheckedSaveMs) {
                error = "it takes " + std::to_string(took) + " ms, more than the " + std::to_string(kCheckedSaveMs) +
                        " ms a save may take when the game closes";
                return false;
            }
            if (bytes.length() > 0)
                saved.assign(reinterpret_cast<const char*>(bytes.data()), size_t(bytes.length()));
            return true;
        };
    // A story taken leaves itself room to grow in play: its save may take
    // half of what the settings keep of a story.
    const SavedStory::Result result =
        SavedStory::restore(L, text, size_t(script.length()), message, save, sprite::User::maxChunkedLength() / 2);
    if (result == SavedStory::RESTORED)
        return STORY_TAKEN;
    const char* name = m_profileName.c_str();
    if (ScriptHost::isClosing()) {
        // Cut short by the close (or judged while the game closes): the
        // story may well be a good one, and stays stored as it is.
        window::problemLine("loadProfile: the saved story of ", name, " is not taken while the game closes (",
                            message.c_str(), "); it stays stored as it is\n");
        return STORY_KEPT;
    }
    if (result == SavedStory::FAILED) {
        lua_pushlstring(L, message.data(), message.size());
        ScriptHost::showScriptError("readProfileData", L);
        lua_pop(L, 1);
    }
    // A refused story is written over by the next save: it is first kept
    // beside the settings file, for the player to find.
    std::string error;
    const std::string kept = platform::keepBesideSettings(
        std::string(name) + ".story", std::string(text, size_t(script.length())), error);
    if (kept.empty()) {
        window::problemLine("loadProfile: the saved story of ", name, " is not taken (", message.c_str(),
                            ") and cannot be kept aside (", error.c_str(), "); it stays stored as it is and ", name,
                            "'s progress is not saved\n");
        return STORY_KEPT;
    }
    window::problemLine("loadProfile: the saved story of ", name, " is not taken (", message.c_str(),
                        "); it is kept as ", kept.c_str(), " and the chapter starts again\n");
    return STORY_SET_ASIDE;
}

bool LanternfieldCanvas::isValidProfileName(const lang::String& name)
{
    if (name.length() < 1 || name.length() > kMaxProfileName || name.trim().isEmpty())
        return false;
    for (int i = 0; i < name.length(); ++i) {
        if (!lang::String::isNameChar(static_cast<unsigned char>(name.c_str()[i])))
            return false;
    }
    return true;
}

void LanternfieldCanvas::resetProgress()
{
    if (!m_pProgress) {
        m_pProgress = new ProgressRecord();
        return;
    }
    m_pProgress->init();
    if (sceneHooks.clearTiles && getRoom(ROOM_ART_RESTORATION))
        sceneHooks.clearTiles(getRoom(ROOM_ART_RESTORATION));
}

bool LanternfieldCanvas::loadProfile()
{
    sprite::User* settings = getUser();
    if (!m_pProgress || !settings || m_profileName.isEmpty())
        return false;
    m_bStoredStoryKept = false;
    lang::ByteArray image;
    lang::ByteArray script;
    {
        // The profile as the settings file holds it now (another copy of
        // the game may have saved it since this one read the file).
        platform::RegistryBatch current;
        m_playedProfile.remember(*settings, m_profileName);
        const lang::String userdata = profilePath(m_profileName, "userdata");
        // The older single value "userdata" is read when the pieces are missing.
        if (!settings->getBytesChunked(userdata, image) && !settings->getBytes(userdata, image))
            return false;
        // A profile without a stored script state has an empty one.
        settings->getBytesChunked(profilePath(m_profileName, "LF"), script);
    }
    if (!m_pProgress->readImage(image.data(), image.length()))
        return false;
    if (!getRoom(m_pProgress->currentRoom)) {
        // A damaged record names no room: the chapter starts afresh.
        window::debugLine("loadProfile: no room ", m_pProgress->currentRoom, " in the record of ",
                          m_profileName.c_str(), "\n");
        m_pProgress->currentRoom = getChapterStartRoom();
    }

    switch (restoreStory(script)) {
    case STORY_TAKEN:
        break;
    case STORY_KEPT:
        // No save may write over the stored story.
        m_bStoredStoryKept = true;
        m_pProgress->currentRoom = getChapterStartRoom();
        return false;
    case STORY_SET_ASIDE:
        // The record's room belongs to a story that is not there: the
        // chapter starts again, and is saved so at once, with the story
        // as the game now holds it.
        m_pProgress->currentRoom = getChapterStartRoom();
        if (!saveProfile() && ScriptHost::isClosing()) {
            // The close cut the load short, its scripts refused: nothing
            // was played, and the story stays stored as it was (its copy
            // beside the settings), so no save was lost.
            m_lastSaveFailure.clear();
        }
        return false;
    }
    if (m_pInventory)
        m_pInventory->restoreFromProgress();
    return true;
}

bool LanternfieldCanvas::saveProfile()
{
    if (m_profileName.isEmpty())
        return false;
    sprite::User* settings = getUser();
    if (!m_pProgress || !settings)
        return false;
    const char* name = m_profileName.c_str();
    // Every way the save can fail keeps the last whole save, and the reason
    // for the closing game to tell.
    auto failed = [this](const std::string& why) {
        window::debugLine("saveProfile: ", why, "; the last whole save stays\n");
        m_lastSaveFailure = why;
        return false;
    };
    m_lastSaveFailure.clear();
    if (m_bStoredStoryKept) {
        // What the settings hold of the player stays as it is (the player
        // was told when it was read).
        window::debugLine("saveProfile: the stored story of ", name,
                          " was not taken; the progress is not saved over it\n");
        return true;
    }
    if (m_pInventory)
        m_pInventory->storeProgress();
    lang::ByteArray image;
    m_pProgress->writeImage(image);
    // The script runs before the settings file is locked for the save. A
    // record is never stored without its story: when the story cannot be
    // had, the last whole save stays.
    lang::ByteArray script;
    if (!scriptState(script))
        return failed(std::string("the story of ") + name + " cannot be had (its save script failed or was stopped)");
    // The record and the script state reach the settings file together,
    // into the profile this copy read: one deleted by another copy of the
    // game stays deleted, and a new player of that name keeps their own.
    platform::RegistryBatch batch;
    if (!m_playedProfile.isStillTheOneRead(*settings, m_profileName))
        return failed(std::string("the player ") + name + " was deleted or made anew by another copy of the game");
    // The batch's end writes the file: a write refused (the settings would
    // be too large) keeps the last whole save too.
    const std::string notWhole = std::string("the progress of ") + name + " cannot be stored whole (a story of " +
                                 std::to_string(script.length()) + " bytes; ";
    std::string why;
    if (!settings->setBlocksChunked(
            {{profilePath(m_profileName, "userdata"), &image}, {profilePath(m_profileName, "LF"), &script}}, &why))
        return failed(notWhole + why + ")");
    if (batch.end() != ERROR_SUCCESS) {
        // The file not written (the disk full, say) is named as the
        // settings name it.
        why = platform::registryWriteFailure();
        return failed(why.empty() ? notWhole + "the settings would be larger than a settings file may be)" : why);
    }
    return true;
}

void LanternfieldCanvas::saveOnExit(bool leaveRoom)
{
    if (!m_pProgress)
        return;
    // Only a room being played is left: in the menu it was left already.
    Room* room = getCurrentRoom();
    if (leaveRoom && room && (m_nGameState == STATE_PLAYING || m_nGameState == STATE_PAUSED)) {
        room->completeAnimations(false);
        room->onExit();
    }
    ScriptHost* host = ScriptHost::instance;
    if (lua_State* L = leaveRoom && host && getLuaRef() != LUA_NOREF ? host->getState() : nullptr) {
        const int top = lua_gettop(L);
        host->pushObject(getLuaRef());
        lua_getfield(L, -1, "completeAnimations");
        if (lua_isfunction(L, -1)) {
            lua_pushvalue(L, -2);
            host->pcallWithTraceback(1, 0, "canvas:completeAnimations");
        }
        lua_settop(L, top);
    }
    if (m_pProgress->currentRoom == ROOM_FOUNTAIN_CU && host && host->getLuaBoolean("LF.fountainFixedWaterOn"))
        m_pProgress->currentRoom = ROOM_MARKET_PLACE;
    if (m_nPendingRoom != -1)
        m_pProgress->currentRoom = m_nPendingRoom;
    saveProfile();
}

void LanternfieldCanvas::openProfileStore(const lang::String& name)
{
    if (!m_pProfileStore)
        return;
    lang::String key = lang::String::loadText("REGISTRYNAME");
    key += '\\';
    key += name.toUpperCase();
    m_pProfileStore->open(key);
}

void LanternfieldCanvas::chooseProfile(const lang::String& name)
{
    // The name becomes a path in the settings: anything but a profile name
    // is refused.
    if (!isValidProfileName(name)) {
        window::debugLine("chooseProfile: not a profile name: \"", name.c_str(), "\"\n");
        return;
    }
    if (sprite::User* settings = getUser())
        settings->setString(lang::String("LASTPROFILE"), name);
    m_profileName = name;
    showSprite("ChoosePlayer", false);
    showSprite("Dim", false);
    openProfileStore(name);
    if (auto* menu = static_cast<MenuSprite*>(getDialog(DIALOG_MAIN_MENU)))
        menu->setProfileName(name);
    resetProgress();
    // The story table is the chosen player's alone: it starts as a fresh
    // game's (nothing of the last player's, their cut scenes seen
    // included), and the player's saved story, when there is one, is
    // restored into it.
    if (ScriptHost* host = ScriptHost::instance) {
        if (lua_State* L = host->getState())
            SavedStory::makeFresh(L);
    }
    resetGameWorld();
    loadProfile();
}
