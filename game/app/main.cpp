// main.cpp: the game program. It reads nothing from its command line.
#include "game/app/GameEntry.h"
#include "game/registration/GameClasses.h"
#include "platform/files/Modules.h"
#include "sprites/loader/SpriteFramework.h"

int main()
{
    const int code = GameEntry::run(GetModuleHandleA(nullptr));
    GameClasses::unregisterClasses();
    sprite::SpriteFramework::tearDown();
    return code;
}
