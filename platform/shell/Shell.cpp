// Shell.cpp: web addresses handed to `xdg-open`, spawned directly with the
// address as a single argument, and the capture that tests use instead.
#include "platform/shell/Shell.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace platform {

struct ShellCapture::State {
    mutable std::mutex mutex;
    std::vector<ShellRecord> calls;
};

namespace {

// The launcher that hands an address to the desktop's browser.
const char kLauncher[] = "xdg-open";
// Any value above 32 tells success.
const intptr_t kLaunched = 42;

std::mutex& captureMutex()
{
    static std::mutex m;
    return m;
}

ShellCapture::State*& currentCapture()
{
    static ShellCapture::State* state = nullptr;
    return state;
}

// Whether the text begins with a URL scheme and its colon ("http:", "file:").
bool hasScheme(const char* text)
{
    if (!std::isalpha(static_cast<unsigned char>(text[0])))
        return false;
    for (const char* p = text + 1; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == ':')
            return true;
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return false;
}

HINSTANCE asResult(intptr_t code)
{
    return reinterpret_cast<HINSTANCE>(code);
}

// Runs the launcher with the address as its one argument; a thread of its
// own collects it when it ends, so no finished child is left behind.
intptr_t launch(const std::string& address)
{
    char* argv[] = {const_cast<char*>(kLauncher), const_cast<char*>(address.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, kLauncher, nullptr, nullptr, argv, environ) != 0)
        return SE_ERR_NOASSOC;
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return kLaunched;
}

} // namespace

bool isOpenableWebAddress(const char* address)
{
    if (!address)
        return false;
    size_t scheme = 0;
    if (strncasecmp(address, "http://", 7) == 0)
        scheme = 7;
    else if (strncasecmp(address, "https://", 8) == 0)
        scheme = 8;
    else
        return false;
    if (!address[scheme])
        return false;
    for (const char* p = address; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c <= 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

ShellCapture::ShellCapture() : m_state(new State)
{
    std::lock_guard<std::mutex> lock(captureMutex());
    currentCapture() = m_state;
}

ShellCapture::~ShellCapture()
{
    {
        std::lock_guard<std::mutex> lock(captureMutex());
        if (currentCapture() == m_state)
            currentCapture() = nullptr;
    }
    delete m_state;
}

std::vector<ShellRecord> ShellCapture::calls() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->calls;
}

} // namespace platform

HINSTANCE ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR, INT)
{
    platform::ShellRecord record;
    record.file = file ? file : "";
    record.parameters = parameters ? parameters : "";
    const bool opens = !operation || std::strcmp(operation, "open") == 0;
    if (!opens || !file || !platform::hasScheme(file))
        record.result = SE_ERR_FNF;
    else if (!platform::isOpenableWebAddress(file))
        record.result = SE_ERR_ACCESSDENIED;
    else
        record.command = {platform::kLauncher, file};

    std::lock_guard<std::mutex> lock(platform::captureMutex());
    platform::ShellCapture::State* capture = platform::currentCapture();
    if (!record.command.empty())
        record.result = capture ? platform::kLaunched : platform::launch(record.file);
    if (capture) {
        std::lock_guard<std::mutex> callsLock(capture->mutex);
        capture->calls.push_back(record);
    }
    return platform::asResult(record.result);
}
