// Backend.cpp: where the window backend is chosen, and the reset of the
// window layer for tests.
#include "platform/user/Backend.h"

#include "platform/kernel/StandardError.h"
#include "platform/user/core/WindowManager.h"
#include "platform/user/headless/HeadlessBackend.h"
#include "platform/user/sdl/SdlBackend.h"
#include "platform/user/sdl/XDisplayWatch.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

std::mutex& backendMutex()
{
    static std::mutex m;
    return m;
}

std::unique_ptr<WindowBackend>& installed()
{
    static std::unique_ptr<WindowBackend>* backend = new std::unique_ptr<WindowBackend>;
    return *backend;
}

std::atomic<WindowBackend*> g_current{nullptr};

// The backend of that name; null, with what went wrong, when there is none
// or it cannot start.
std::unique_ptr<WindowBackend> makeBackend(const std::string& name, std::string& failure)
{
    if (name == "headless")
        return std::make_unique<HeadlessBackend>();
    if (name == "sdl")
        return createSdlBackend(failure);
    failure = "there is no window backend \"" + name + "\" (HV_WINDOW_BACKEND takes \"sdl\" or \"headless\")";
    return nullptr;
}

} // namespace

WindowBackend& windowBackend()
{
    if (WindowBackend* b = g_current.load(std::memory_order_acquire))
        return *b;
    std::lock_guard<std::mutex> lock(backendMutex());
    if (!installed()) {
        const char* env = std::getenv("HV_WINDOW_BACKEND");
        std::string name = env && *env ? env : "sdl";
        std::string failure;
        std::unique_ptr<WindowBackend> backend = makeBackend(name, failure);
        if (!backend) {
            // A program without its window would run on unseen for ever.
            // Nothing has been shown yet, and nothing here waits but for
            // the line (a moment at most): the process ends at once.
            StandardError::line(noWindowLine(failure));
            std::_Exit(NO_WINDOW_EXIT_CODE);
        }
        installed() = std::move(backend);
        g_current.store(installed().get(), std::memory_order_release);
    }
    return *installed();
}

std::string noWindowLine(const std::string& failure)
{
    return std::string(program_invocation_short_name) + ": " + failure +
           "; HV_WINDOW_BACKEND=headless runs it without a window\n";
}

void endStalledDisplayOpening()
{
    xEndStalledOpening();
}

void setWindowBackend(std::unique_ptr<WindowBackend> backend)
{
    std::lock_guard<std::mutex> lock(backendMutex());
    g_current.store(backend.get(), std::memory_order_release);
    installed() = std::move(backend);
}

bool setWindowBackend(const std::string& name)
{
    std::string failure;
    std::unique_ptr<WindowBackend> backend = makeBackend(name, failure);
    if (!backend)
        return false;
    setWindowBackend(std::move(backend));
    return true;
}

void resetWindowLayer()
{
    user::WindowManager::instance().reset();
}

} // namespace platform
