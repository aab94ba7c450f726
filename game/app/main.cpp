// main.cpp: the game program. It reads nothing from its command line.
#include "game/app/GameEntry.h"
#include "game/registration/GameClasses.h"
#include "platform/files/Files.h"
#include "platform/files/Modules.h"
#include "scenes/registration/SceneClasses.h"
#include "sprites/loader/SpriteFramework.h"

#include <csignal>
#include <filesystem>

int main()
{
    // A write to a connection whose other end has gone (the display's
    // server ended, standard error's reader gone) fails instead of ending
    // the program: a lost display is then closed as such, and a line that
    // nobody reads changes no exit code. Boxes' processes, the program
    // started again, inherit this.
    std::signal(SIGPIPE, SIG_IGN);
    // The archive and the scripts lie beside the program.
    std::error_code ec;
    std::filesystem::current_path(platform::programDirectory(), ec);
    // Every class the data may name is registered before the entry runs.
    sprite::SpriteFramework::startUp();
    GameClasses::registerClasses();
    SceneClasses::registerClasses();
    const int code = GameEntry::run(GetModuleHandleA(nullptr));
    SceneClasses::unregisterClasses();
    GameClasses::unregisterClasses();
    sprite::SpriteFramework::tearDown();
    return code;
}
