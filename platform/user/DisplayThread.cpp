// DisplayThread.cpp: the display's thread's calls, counted in one atomic
// word that the taker claims.
#include "platform/user/DisplayThread.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

// The word's value once the display's thread is taken over.
constexpr unsigned long kDisplayTaken = ~0UL;
// The call under way (0: none, kDisplayTaken: taken over), and the last
// call's number.
std::atomic<unsigned long> displayCallUnderWay{0};
std::atomic<unsigned long> displayLastCall{0};
// How deep the calling thread is in calls.
thread_local int displayCallDepth = 0;
std::atomic<bool> displayGone{false};

} // namespace

DisplayThread::Call::Call()
{
    // The release makes what the thread did so far seen by a taker.
    if (displayCallDepth++ == 0)
        displayCallUnderWay.store(++displayLastCall, std::memory_order_release);
}

DisplayThread::Call::~Call()
{
    if (--displayCallDepth != 0)
        return;
    unsigned long mine = displayCallUnderWay.load(std::memory_order_relaxed);
    if (mine != kDisplayTaken && displayCallUnderWay.compare_exchange_strong(mine, 0, std::memory_order_acq_rel))
        return;
    // Taken over: the taker goes on in this thread's stead, which must
    // touch nothing more.
    stayInCall();
}

bool DisplayThread::inCall()
{
    return displayCallDepth > 0;
}

void DisplayThread::stayInCall()
{
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

unsigned long DisplayThread::callUnderWay()
{
    const unsigned long call = displayCallUnderWay.load(std::memory_order_relaxed);
    return call == kDisplayTaken ? 0 : call;
}

bool DisplayThread::takeOver(unsigned long call)
{
    unsigned long expected = call;
    return call != 0 && call != kDisplayTaken &&
           displayCallUnderWay.compare_exchange_strong(expected, kDisplayTaken, std::memory_order_acq_rel);
}

bool DisplayThread::takenOver()
{
    return displayCallUnderWay.load(std::memory_order_acquire) == kDisplayTaken;
}

void DisplayThread::markDisplayLost()
{
    displayGone = true;
}

bool DisplayThread::displayLost()
{
    return displayGone;
}

} // namespace platform
