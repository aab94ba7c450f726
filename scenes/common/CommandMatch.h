// CommandMatch.h: the commands that reach a scene as the actions of its
// sprites' finished animations: the command text of such an event, and its
// match against the scene's commands by prefix, where a longer command wins
// over a shorter one that begins it ("Unhighlight2" before "Unhighlight").
#pragma once

#include <cstddef>

namespace lang {
class String;
}

namespace window {
class Event;
}

class CommandMatch {
public:
    // The event's command: its argument when that is a String, else null
    // (borrowed from the event).
    static lang::String* actionCommand(window::Event* e);

    // The index in `names` of the longest name that `command` begins with;
    // -1 when none does. An empty name matches every command.
    static int matchPrefix(const lang::String& command, const char* const* names, int count);
    template <size_t N>
    static int matchPrefix(const lang::String& command, const char* const (&names)[N])
    {
        return matchPrefix(command, names, int(N));
    }
};
