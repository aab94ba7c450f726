// SavedStory.h: takes a profile's saved story text (the Lua text that the
// scripts' "LF_save" made) back into the story table LF, as data only.
#pragma once

#include <cstddef>
#include <string>

struct lua_State;

// The text is a settings value, and the settings file is the user's to
// change: it runs as text only (never a precompiled chunk), in a table of
// its own that holds nothing but a fresh LF, without string methods and
// within a budget of steps and memory. What it leaves in that LF must be
// plain data (numbers, strings, booleans and tables of them) and is then
// copied into the story table; anything else leaves the story as it was.
class SavedStory {
public:
    enum Result {
        RESTORED,
        // Not data: a precompiled chunk, or a value that is no plain data.
        REFUSED,
        // The text does not compile or fails when it runs (also beyond its budget).
        FAILED,
    };

    // Runs the text as the chunk "LF". `message` gets the reason of a
    // refusal or Lua's error message. The Lua stack is left as it was.
    static Result restore(lua_State* L, const char* text, size_t length, std::string& message);

    // Keeps a copy of the story table as a fresh game has it (the scripts
    // made it at the start), for makeFresh.
    static void keepFresh(lua_State* L);
    // The story table becomes a copy of the one keepFresh kept (nil when
    // none was kept): the story of a player who has played nothing yet.
    static void makeFresh(lua_State* L);
};
