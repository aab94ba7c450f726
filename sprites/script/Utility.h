// Utility.h: the Utility module of the scripts: runs "Utility.lua" and gives
// Lua hv.getResourceString, the archive's text items.
#pragma once

struct lua_State;

class Utility {
public:
    // Makes the module on first use and registers it with the script host's
    // state when that state has not had it yet ("Utility.lua" runs once).
    static Utility* instance();

    // Runs "Utility.lua" (from the working directory); when it ran, adds
    // getResourceString to the global table hv. A failure writes the message
    // as one line on stderr, and getResourceString stays unregistered.
    void registerLua();

    // hv.getResourceString(key): the text item of that key in the ANSI code
    // page, "" when there is none.
    static int getResourceString(lua_State* L);

private:
    Utility() = default;
};
