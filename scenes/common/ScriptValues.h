// ScriptValues.h: the story values the scenes read and change through the
// scripts' global functions (the "LF_" getters and setters): each call runs
// under the script host's error handler, and a failed or missing call reads
// as 0 or false.
#pragma once

class ScriptValues {
public:
    // function(): its integer result (a number truncated toward zero; 0 for
    // anything else).
    static int getInt(const char* function);
    // function(argument): its integer result.
    static int getInt(const char* function, int argument);
    // function(): the Lua truth of its result.
    static bool getBool(const char* function);
    // function(value), no result.
    static void set(const char* function, int value);
};
