// Backend.cpp: where the window backend is chosen, and the reset of the
// window layer for tests.
#include "platform/user/Backend.h"

#include "platform/user/core/WindowManager.h"
#include "platform/user/headless/HeadlessBackend.h"
#include "platform/user/sdl/SdlBackend.h"

#include <atomic>
#include <cstdio>
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

std::unique_ptr<WindowBackend> makeBackend(const std::string& name)
{
    if (name == "headless")
        return std::make_unique<HeadlessBackend>();
    if (name == "sdl")
        return createSdlBackend();
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
        std::unique_ptr<WindowBackend> backend = makeBackend(name);
        if (!backend) {
            if (name != "headless")
                std::fprintf(stderr, "window backend \"%s\" unavailable; running without a display\n", name.c_str());
            backend = std::make_unique<HeadlessBackend>();
        }
        installed() = std::move(backend);
        g_current.store(installed().get(), std::memory_order_release);
    }
    return *installed();
}

void setWindowBackend(std::unique_ptr<WindowBackend> backend)
{
    std::lock_guard<std::mutex> lock(backendMutex());
    g_current.store(backend.get(), std::memory_order_release);
    installed() = std::move(backend);
}

bool setWindowBackend(const std::string& name)
{
    std::unique_ptr<WindowBackend> backend = makeBackend(name);
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
