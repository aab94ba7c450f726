// hvcore: a small check of the object runtime, run by the README's run command
// until the game's own entry exists.
#include "core/lang/Exception.h"
#include "core/lang/Math.h"
#include "core/lang/String.h"
#include "platform/kernel/Kernel.h"

#include <cstdio>

int main()
{
    lang::String title("Lanternfield engine");
    title += ": core runtime";
    std::printf("%s\n", title.c_str());
    std::printf("  tick count      %u\n", GetTickCount());
    std::printf("  2.5 as text     %s\n", lang::String(2.5).c_str());
    std::printf("  random double   %s\n", lang::String(lang::Math::random()).c_str());
    try {
        throw new lang::Exception("exceptions travel as objects");
    } catch (lang::Exception* e) {
        std::printf("  caught          %s\n", e->toString().c_str());
        e->release();
    }
    return 0;
}
