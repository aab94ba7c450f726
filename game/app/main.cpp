// main.cpp: the game program. It reads nothing from its command line.
#include "game/app/GameEntry.h"
#include "platform/files/Modules.h"

int main()
{
    return GameEntry::run(GetModuleHandleA(nullptr));
}
