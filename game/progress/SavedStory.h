// SavedStory.h: takes a profile's saved story text (the Lua text that the
// scripts' "LF_save" made) back into the story table LF, as data only.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

struct lua_State;

// The text is a settings value, and the settings file is the user's to
// change: it runs as text only (never a precompiled chunk), in a table of
// its own that holds nothing but a fresh LF, without string methods and
// within a budget of steps (which grows with its length) and of memory.
// What it leaves in that LF must be plain data (numbers, strings, booleans
// and tables of them, each table in one place only, and not too many) and is
// then copied into the story table; anything else leaves the story as it
// was.
class SavedStory {
public:
    enum Result {
        RESTORED,
        // Not data: a precompiled chunk, or a value that is no plain data;
        // a story that needs more memory, or is larger, than a story may be;
        // or one that cannot be saved and taken back.
        REFUSED,
        // The text does not compile or fails when it runs (also when it runs
        // too long).
        FAILED,
    };

    // What the save would write of the story table as it is now; false,
    // with the reason in `error`, when the save fails.
    using SaveText = std::function<bool(std::string& text, std::string& error)>;

    // Runs the text as the chunk "LF". With `save`, a story is taken only
    // when what its save writes holds at most `maxSaved` bytes and is taken
    // back in turn, so that the story can be saved and restored again.
    // `message` gets the reason of a refusal or Lua's error message. The
    // Lua stack is left as it was.
    static Result restore(lua_State* L, const char* text, size_t length, std::string& message,
                          const SaveText& save = nullptr, size_t maxSaved = 0);

    // Keeps a copy of the story table as a fresh game has it (the scripts
    // made it at the start), for makeFresh.
    static void keepFresh(lua_State* L);
    // The story table becomes a copy of the one keepFresh kept (nil when
    // none was kept): the story of a player who has played nothing yet.
    static void makeFresh(lua_State* L);
};
