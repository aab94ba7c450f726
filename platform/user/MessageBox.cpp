// MessageBox.cpp: message boxes, written to stderr, recorded for tests and
// shown by the backend when it can.
#include "platform/user/MessageBox.h"

#include "platform/kernel/StandardError.h"
#include "platform/user/Backend.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <initializer_list>
#include <mutex>
#include <pthread.h>
#include <set>
#include <string>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace platform {

struct MessageBoxCapture::State {
    mutable std::mutex mutex;
    std::vector<MessageBoxRecord> boxes;
};

namespace {

std::mutex& captureMutex()
{
    static std::mutex m;
    return m;
}

MessageBoxCapture::State*& currentCapture()
{
    static MessageBoxCapture::State* state = nullptr;
    return state;
}

std::atomic<bool> messageBoxesClosed{false};

// The threads waiting in a box now, by their system thread id.
std::mutex& openBoxesMutex()
{
    static std::mutex m;
    return m;
}
std::multiset<long>& openBoxThreads()
{
    static std::multiset<long> threads;
    return threads;
}

// A box shown on the display waits in a process of its own, a child of the
// thread that shows it: ending that process closes the box.
void endMessageBoxProcesses(long thread)
{
    std::ifstream children("/proc/self/task/" + std::to_string(thread) + "/children");
    long child = 0;
    while (children >> child) {
        if (child > 0)
            ::kill(pid_t(child), SIGKILL);
    }
}

// Set on a thread while it shows a box: a process it forks then is the
// box's, a child of this process.
thread_local bool showingBox = false;
thread_local pid_t boxParent = 0;

// In a process just forked (only async-signal-safe calls): a box's process
// ends when the thread that shows the box ends, with the program however it
// ends, and a quit signal ends it too (the program's own handler, which it
// inherits, only sets a flag that nothing there reads).
void boxProcessStarted()
{
    if (!showingBox)
        return;
    for (int quit : {SIGTERM, SIGINT, SIGHUP, SIGQUIT})
        ::signal(quit, SIG_DFL);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The program ended before the line above: nobody is left for the box.
    if (::getppid() != boxParent)
        ::_exit(0);
}

// From now on a process this thread forks is a box's, until showingBox is
// cleared.
void showBoxesHere()
{
    static const bool forksWatched = ::pthread_atfork(nullptr, nullptr, boxProcessStarted) == 0;
    (void)forksWatched;
    boxParent = ::getpid();
    showingBox = true;
}

// Shows the box on this thread and waits for it; a close that comes once
// the box is registered finds it by this thread.
void showBox(const MessageBoxRecord& record, UINT type)
{
    const long thread = long(::syscall(SYS_gettid));
    {
        std::lock_guard<std::mutex> lock(openBoxesMutex());
        openBoxThreads().insert(thread);
    }
    if (!messageBoxesClosed) {
        showBoxesHere();
        windowBackend().showMessageBox(record.text, record.caption, type);
        showingBox = false;
    }
    {
        std::lock_guard<std::mutex> lock(openBoxesMutex());
        openBoxThreads().erase(openBoxThreads().find(thread));
    }
}

} // namespace

void closeMessageBoxes()
{
    messageBoxesClosed = true;
    std::lock_guard<std::mutex> lock(openBoxesMutex());
    for (long thread : openBoxThreads())
        endMessageBoxProcesses(thread);
}

void allowMessageBoxes()
{
    messageBoxesClosed = false;
}

void becomeBoxProcess()
{
    showBoxesHere();
}

MessageBoxCapture::MessageBoxCapture() : m_state(new State)
{
    std::lock_guard<std::mutex> lock(captureMutex());
    currentCapture() = m_state;
}

MessageBoxCapture::~MessageBoxCapture()
{
    {
        std::lock_guard<std::mutex> lock(captureMutex());
        if (currentCapture() == m_state)
            currentCapture() = nullptr;
    }
    delete m_state;
}

std::vector<MessageBoxRecord> MessageBoxCapture::boxes() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->boxes;
}

void MessageBoxCapture::clear()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->boxes.clear();
}

} // namespace platform

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    platform::MessageBoxRecord record;
    record.owner = owner;
    record.text = text ? text : "";
    // A box without a caption is titled "Error", as on the system the engine was made for.
    record.caption = caption ? caption : "Error";
    record.type = type;
    platform::StandardError::line("[message box] " + record.caption + ": " + record.text + "\n");
    {
        std::lock_guard<std::mutex> lock(platform::captureMutex());
        if (platform::MessageBoxCapture::State* s = platform::currentCapture()) {
            std::lock_guard<std::mutex> inner(s->mutex);
            s->boxes.push_back(record);
        }
    }
    if (platform::messageBoxesClosed)
        return IDOK;
    platform::WindowBackend& backend = platform::windowBackend();
    const int pumpInterval = backend.pumpInterval();
    if (pumpInterval < 0) {
        platform::showBox(record, type);
        return IDOK;
    }
    // On the thread that takes the window's events the box waits on a
    // thread of its own, while this one goes on taking them: the window's
    // close, which would wait behind the box, closes it and is then the
    // game's as any other.
    const unsigned closesBefore = platform::events::closeRequestCount();
    std::atomic<bool> answered{false};
    std::thread box;
    try {
        box = std::thread([&record, type, &answered] {
            platform::showBox(record, type);
            answered = true;
        });
    } catch (const std::system_error&) {
        // No thread to be had: the box waits on this one.
        platform::showBox(record, type);
        return IDOK;
    }
    while (!answered) {
        backend.pump();
        if (platform::events::closeRequestCount() != closesBefore)
            platform::closeMessageBoxes();
        std::this_thread::sleep_for(std::chrono::milliseconds(pumpInterval));
    }
    box.join();
    return IDOK;
}
