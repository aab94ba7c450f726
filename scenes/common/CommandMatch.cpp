// CommandMatch.cpp: action commands and their prefix match.
#include "scenes/common/CommandMatch.h"

#include "core/lang/String.h"
#include "windowing/window/Event.h"

#include <cstring>

lang::String* CommandMatch::actionCommand(window::Event* e)
{
    if (!e || !e->arg || !e->arg->isInstanceOf("String"))
        return nullptr;
    return static_cast<lang::String*>(e->arg);
}

int CommandMatch::matchPrefix(const lang::String& command, const char* const* names, int count)
{
    int best = -1;
    size_t bestLength = 0;
    for (int i = 0; i < count; ++i) {
        if (!names[i] || !command.startsWith(names[i]))
            continue;
        const size_t length = std::strlen(names[i]);
        if (best < 0 || length > bestLength) {
            best = i;
            bestLength = length;
        }
    }
    return best;
}
