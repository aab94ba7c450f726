// hvcore: a small check of the object runtime, run by the README's run command
// until the game's own entry exists.
#include "platform/kernel/Kernel.h"

#include <cstdio>

int main()
{
    char number[32];
    std::printf("Lanternfield engine: core runtime\n");
    std::printf("  tick count     %u\n", GetTickCount());
    std::printf("  2.5 formatted  %s\n", crtGcvt(2.5, 9, number));
    return 0;
}
