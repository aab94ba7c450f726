// main.cpp: the game program. It reads nothing from its command line.
#include "game/app/GameEntry.h"
#include "game/registration/GameClasses.h"
#include "platform/files/Files.h"
#include "platform/files/Modules.h"
#include "platform/registry/Registry.h"
#include "scenes/registration/SceneClasses.h"
#include "sprites/loader/SpriteFramework.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

// Before anything else of the program runs (a box's process, which is the
// program started again, included): a standard stream that was closed (a
// launcher's `2>&-`) is opened on /dev/null. Otherwise the first file or
// connection the program opens takes its number, and a line meant for
// standard error goes into the display's connection or the settings file.
// Opening takes the lowest free number, which is the one closed, as those
// below it are open by then.
__attribute__((constructor(101))) void openClosedStandardStreams()
{
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream)
        if (::fcntl(stream, F_GETFD) < 0 && errno == EBADF)
            ::open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
}

} // namespace

int main()
{
    // A write to a connection whose other end has gone (the display's
    // server ended, standard error's reader gone) fails instead of ending
    // the program: a lost display is then closed as such, and a line that
    // nobody reads changes no exit code. Boxes' processes, the program
    // started again, inherit this.
    std::signal(SIGPIPE, SIG_IGN);
    // The settings file is chosen in the folder the program was started in:
    // a relative path in the environment names a file there, not beside the
    // program.
    std::error_code ec;
    const std::string settings = platform::registryFile();
    if (!settings.empty() && settings[0] != '/') {
        const std::filesystem::path absolute = std::filesystem::absolute(settings, ec);
        if (!ec)
            platform::setRegistryFile(absolute.c_str());
    }
    // The archive and the scripts lie beside the program.
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
