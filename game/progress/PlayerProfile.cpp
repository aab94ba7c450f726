// PlayerProfile.cpp: a profile's id, remembered on reading and checked on
// saving.
#include "game/progress/PlayerProfile.h"

#include "sprites/settings/User.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <unistd.h>

const char* const PlayerProfile::ID_VALUE = "profileId";

namespace {

lang::String playerProfileValue(const lang::String& name, const char* value)
{
    lang::String path(name);
    path += '\\';
    path += value;
    return path;
}

// An id no other profile has: the time, this process and a count.
lang::String newPlayerProfileId()
{
    static std::atomic<unsigned> made{0};
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    char text[64];
    std::snprintf(text, sizeof text, "%llx-%x-%x",
                  static_cast<unsigned long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()),
                  static_cast<unsigned>(::getpid()), ++made);
    return lang::String(text);
}

} // namespace

void PlayerProfile::remember(sprite::User& store, const lang::String& name)
{
    m_name = name;
    m_named = !store.getString(playerProfileValue(name, "displayName"), lang::String("")).isEmpty();
    m_id = store.getString(playerProfileValue(name, ID_VALUE), lang::String(""));
}

bool PlayerProfile::isStillTheOneRead(sprite::User& store, const lang::String& name)
{
    if (!m_name.equalsIgnoreCase(name)) {
        remember(store, name);
        return true;
    }
    const bool named = !store.getString(playerProfileValue(name, "displayName"), lang::String("")).isEmpty();
    if (m_named && !named)
        return false;
    return !named || store.getString(playerProfileValue(name, ID_VALUE), lang::String("")).equals(m_id);
}

void PlayerProfile::makeNew(sprite::User& store, const lang::String& prefix, const lang::String& name)
{
    // The saved game in pieces (sub-keys) and the older single value of
    // the record: a deletion takes the value first, the sub-key after it.
    for (const char* saved : {"userdata", "userdata", "LF"})
        store.deleteValue(prefix + saved);
    store.setString(prefix + "displayName", name);
    store.setString(prefix + ID_VALUE, newPlayerProfileId());
}
