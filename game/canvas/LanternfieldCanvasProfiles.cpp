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
#include <lua.hpp>

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
// box unless `quiet`.
bool scriptState(lang::ByteArray& bytes, bool quiet = false)
{
    ScriptHost* host = ScriptHost::instance;
    lua_State* L = host ? host->getState() : nullptr;
    if (!L)
        return false;
    const int top = lua_gettop(L);
    lua_getglobal(L, "LF_save");
    const bool ok = quiet ? host->guardedPcall(0, 1, 0, "LF_save") == 0 : host->pcallWithTraceback(0, 1, "LF_save");
    size_t length = 0;
    const char* text = ok && lua_type(L, -1) == LUA_TSTRING ? lua_tolstring(L, -1, &length) : nullptr;
    bytes.setLength(int(length));
    if (length)
        std::memcpy(bytes.data(), text, length);
    lua_settop(L, top);
    return ok;
}

// Takes the saved story text of a profile back into the story table; false
// when it was refused or failed, which the log tells (and a failing text a
// "readProfileData" box too). A story is taken only when its save can
// store it and take it back.
bool restoreStory(const lang::ByteArray& script, const lang::String& profile)
{
    ScriptHost* host = ScriptHost::instance;
    lua_State* L = host ? host->getState() : nullptr;
    if (!L)
        return true;
    std::string message;
    const char* text = script.length() > 0 ? reinterpret_cast<const char*>(script.data()) : "";
    // The save as saveProfile makes it, but without a box: a failure refuses
    // the story. Scripts without a save have nothing to check.
    lua_getglobal(L, "LF_save");
    const bool saves = lua_isfunction(L, -1);
    lua_pop(L, 1);
    SavedStory::SaveText save;
    if (saves)
        save = [](std::string& saved) {
            lang::ByteArray bytes;
            if (!scriptState(bytes, true))
                return false;
            if (bytes.length() > 0)
                saved.assign(reinterpret_cast<const char*>(bytes.data()), size_t(bytes.length()));
            return true;
        };
    switch (SavedStory::restore(L, text, size_t(script.length()), message, save, sprite::User::maxChunkedLength())) {
    case SavedStory::RESTORED:
        return true;
    case SavedStory::FAILED:
        lua_pushlstring(L, message.data(), message.size());
        ScriptHost::showScriptError("readProfileData", L);
        lua_pop(L, 1);
        break;
    case SavedStory::REFUSED:
        break;
    }
    window::debugLine("loadProfile: the saved story of ", profile.c_str(), " is not taken (", message.c_str(),
                      "); the chapter starts again\n");
    return false;
}

} // namespace

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

    if (!restoreStory(script, m_profileName)) {
        // The record's room belongs to a story that is not there.
        m_pProgress->currentRoom = getChapterStartRoom();
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
    if (m_pInventory)
        m_pInventory->storeProgress();
    lang::ByteArray image;
    m_pProgress->writeImage(image);
    // The script runs before the settings file is locked for the save. A
    // record is never stored without its story: when the story cannot be
    // had, the last whole save stays.
    lang::ByteArray script;
    if (!scriptState(script)) {
        window::debugLine("saveProfile: the story of ", m_profileName.c_str(),
                          " cannot be had; the progress is not saved\n");
        return false;
    }
    // The record and the script state reach the settings file together,
    // into the profile this copy read: one deleted by another copy of the
    // game stays deleted, and a new player of that name keeps their own.
    platform::RegistryBatch batch;
    if (!m_playedProfile.isStillTheOneRead(*settings, m_profileName)) {
        window::debugLine("saveProfile: the player ", m_profileName.c_str(),
                          " was deleted or made anew by another copy of the game; the progress is not saved\n");
        return false;
    }
    // The batch's end writes the file: a write refused (the settings would
    // be too large) keeps the last whole save too.
    if (!settings->setBlocksChunked({{profilePath(m_profileName, "userdata"), &image},
                                     {profilePath(m_profileName, "LF"), &script}}) ||
        batch.end() != ERROR_SUCCESS) {
        window::debugLine("saveProfile: the progress of ", m_profileName.c_str(),
                          " cannot be stored whole; the last whole save stays\n");
        return false;
    }
    return true;
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
    ScriptHost* host = ScriptHost::instance;
    if (lua_State* L = host && getLuaRef() != LUA_NOREF ? host->getState() : nullptr) {
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
