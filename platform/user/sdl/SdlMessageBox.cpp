// SdlMessageBox.cpp: SDL's message box in a process of its own, the
// program started again with the box in its environment.
#include "platform/user/sdl/SdlMessageBox.h"

#include "platform/user/MessageBox.h"
#include "platform/user/sdl/XDisplayWatch.h"

#include <SDL.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform {
namespace {

// The environment that makes the program a box's process, and its box.
constexpr const char* kBoxFlags = "HV_MESSAGE_BOX_FLAGS";
constexpr const char* kBoxCaption = "HV_MESSAGE_BOX_CAPTION";
constexpr const char* kBoxText = "HV_MESSAGE_BOX_TEXT";
// The exit code of a box's process that could not show its box, and of one
// that could not start.
constexpr int kBoxNotShown = 3;
constexpr int kBoxNotStarted = 127;
// The longest text a box takes: well below the 128 KiB the system lets one
// environment string have (a longer one would keep the process from
// starting), and more than a box can show.
constexpr size_t kBoxTextLimit = 64 * 1024;

bool isBoxSetting(const char* entry)
{
    for (const char* name : {kBoxFlags, kBoxCaption, kBoxText}) {
        const size_t length = std::strlen(name);
        if (std::strncmp(entry, name, length) == 0 && entry[length] == '=')
            return true;
    }
    return false;
}

// A box's process shows its box and ends, before the program's main runs.
// SDL shows it without video started (nothing of the program's display is
// there), in a process it forks, which ends with this one.
int runBoxProcess()
{
    const char* flags = std::getenv(kBoxFlags);
    const char* caption = std::getenv(kBoxCaption);
    const char* text = std::getenv(kBoxText);
    if (!flags || !caption || !text)
        return 0;
    // A write to its display once that is gone fails, and the box ends as
    // the display's loss ends it, whoever started the process.
    ::signal(SIGPIPE, SIG_IGN);
    becomeBoxProcess();
    xEndOnDisplayError();
    const int shown = SDL_ShowSimpleMessageBox(Uint32(std::strtoul(flags, nullptr, 10)), caption, text, nullptr);
    std::_Exit(shown == 0 ? 0 : kBoxNotShown);
}

[[maybe_unused]] const int boxProcess = runBoxProcess();

} // namespace

std::string sdlMessageBoxText(const std::string& text)
{
    if (text.size() <= kBoxTextLimit)
        return text;
    // The first byte left out, when it continues a character, leaves that
    // character out whole.
    size_t end = kBoxTextLimit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

bool showSdlMessageBox(unsigned flags, const std::string& caption, const std::string& text)
{
    // All is made before the fork: the new process only starts the program.
    std::vector<std::string> settings{std::string(kBoxFlags) + "=" + std::to_string(flags),
                                      std::string(kBoxCaption) + "=" + sdlMessageBoxText(caption),
                                      std::string(kBoxText) + "=" + sdlMessageBoxText(text)};
    std::vector<char*> environment;
    for (std::string& setting : settings)
        environment.push_back(&setting[0]);
    for (char** entry = environ; *entry; ++entry)
        if (!isBoxSetting(*entry))
            environment.push_back(*entry);
    environment.push_back(nullptr);
    char* arguments[] = {program_invocation_name, nullptr};
    const pid_t box = ::fork();
    if (box == 0) {
        ::execve("/proc/self/exe", arguments, environment.data());
        ::_exit(kBoxNotStarted);
    }
    if (box < 0)
        return false;
    int status = 0;
    while (::waitpid(box, &status, 0) < 0 && errno == EINTR) {
    }
    return !(WIFEXITED(status) && (WEXITSTATUS(status) == kBoxNotShown || WEXITSTATUS(status) == kBoxNotStarted));
}

} // namespace platform
