// Backend.cpp: where the window backend is chosen and its opening watched,
// and the reset of the window layer for tests.
#include "platform/user/Backend.h"

#include "platform/kernel/StandardError.h"
#include "platform/kernel/Thread.h"
#include "platform/user/core/WindowManager.h"
#include "platform/user/headless/HeadlessBackend.h"
#include "platform/user/sdl/SdlBackend.h"
#include "platform/user/sdl/XDisplayWatch.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

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

// How often the opening's guard looks at the opening thread, and the most
// one look counts.
constexpr int kOpeningLookMs = 20;
constexpr int kOpeningLongestLookMs = 5 * kOpeningLookMs;

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

WindowBackend& openWindowBackend(bool (*quitAsked)())
{
    if (WindowBackend* b = g_current.load(std::memory_order_acquire))
        return *b;
    const long opener = systemThreadId();
    std::mutex openingMutex;
    std::condition_variable openingEnded;
    bool opened = false;
    std::thread guard([&] {
        using std::chrono::milliseconds;
        std::chrono::duration<double, std::milli> unanswered{0};
        auto last = std::chrono::steady_clock::now();
        int64_t ranMs = -1;
        std::unique_lock<std::mutex> lock(openingMutex);
        while (!openingEnded.wait_for(lock, milliseconds(kOpeningLookMs), [&opened] { return opened; })) {
            const auto now = std::chrono::steady_clock::now();
            // The guard too may have been kept from running (the machine
            // busy, the program stopped): no look counts for more than this.
            const milliseconds span = std::min(std::chrono::duration_cast<milliseconds>(now - last),
                                               milliseconds(kOpeningLongestLookMs));
            last = now;
            ThreadActivity activity;
            const bool told = threadActivity(opener, activity);
            // The server the opening waits for gets a processor no sooner
            // than the program's threads: on a machine with more threads
            // ready than processors a stretch counts for a thread's share.
            if (!quitAsked() || (told && activity.processorMs != ranMs))
                unanswered = milliseconds(0);
            else if (!told || activity.asleep)
                unanswered += span / machineCrowding();
            ranMs = told ? activity.processorMs : -1;
            if (unanswered >= milliseconds(DISPLAY_OPENING_LIMIT_MS))
                xEndStalledOpening();
        }
    });
    WindowBackend& backend = windowBackend();
    {
        std::lock_guard<std::mutex> lock(openingMutex);
        opened = true;
    }
    openingEnded.notify_one();
    guard.join();
    return backend;
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
