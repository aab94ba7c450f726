// ScriptQuery.h: the questions the scenes ask the story script: a global
// LF_ function's answer read as a flag or a number (false or 0 without a
// script host).
#pragma once

class ScriptQuery {
public:
    // name() read as a boolean.
    static bool flag(const char* name);
    // name() read as an integer.
    static int number(const char* name);
    // name(argument) read as an integer.
    static int numberOf(const char* name, int argument);
};
