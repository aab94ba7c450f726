// DeviceControls.cpp: the process-wide settings, under one lock.
#include "platform/d3d9/DeviceControls.h"

#include "platform/d3d9/SystemWindowHost.h"

#include <mutex>

namespace platform::d3d9 {
namespace {

struct PendingFault {
    int times = 0;
    HRESULT result = S_OK;
};

struct ControlState {
    std::mutex mutex;
    SoftwareCaps caps;
    PendingFault faults[static_cast<int>(FaultPoint::Count)];
    uint32_t lossGeneration = 0;
    int lossHoldCalls = 0;
    WindowHost* host = nullptr;
    SystemWindowHost systemHost;
};

ControlState& state()
{
    static ControlState instance;
    return instance;
}

} // namespace

SoftwareCaps DeviceControls::caps()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().caps;
}

void DeviceControls::setCaps(const SoftwareCaps& caps)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().caps = caps;
}

void DeviceControls::failNext(FaultPoint point, int times, HRESULT result)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    PendingFault& fault = state().faults[static_cast<int>(point)];
    fault.times = times < 0 ? 0 : times;
    fault.result = result;
}

HRESULT DeviceControls::takeFault(FaultPoint point)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    PendingFault& fault = state().faults[static_cast<int>(point)];
    if (fault.times <= 0)
        return S_OK;
    --fault.times;
    return fault.result;
}

void DeviceControls::loseDevices(int holdCalls)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    ++state().lossGeneration;
    state().lossHoldCalls = holdCalls < 0 ? 0 : holdCalls;
}

uint32_t DeviceControls::lossGeneration()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().lossGeneration;
}

int DeviceControls::lossHoldCalls()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().lossHoldCalls;
}

void DeviceControls::setWindowHost(WindowHost* host)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().host = host;
}

WindowHost& DeviceControls::windowHost()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().host ? *state().host : state().systemHost;
}

void DeviceControls::reset()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().caps = SoftwareCaps();
    for (PendingFault& fault : state().faults)
        fault = PendingFault();
    state().lossHoldCalls = 0;
    state().host = nullptr;
}

} // namespace platform::d3d9
