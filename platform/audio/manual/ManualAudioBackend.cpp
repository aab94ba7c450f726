// ManualAudioBackend.cpp: outputs that render only when pumped by a test.
#include "platform/audio/manual/ManualAudioBackend.h"

#include <algorithm>
#include <mutex>

namespace platform::audio {

class ManualAudioOutput;

// Shared by the backend and its outputs, so outputs may outlive the backend.
// The lock is held while an output renders, so no output goes away mid-render.
struct ManualAudioState {
    mutable std::mutex mutex;
    std::vector<std::string> devices{"Test audio output"};
    bool refused = false;
    int opensBeforeRefusal = -1; // -1: no single refusal waits
    uint32_t chunkFrames = 256;
    std::vector<ManualAudioOutput*> outputs; // oldest first
};

class ManualAudioOutput : public AudioOutput {
public:
    ManualAudioOutput(std::shared_ptr<ManualAudioState> state, int device, const AudioFormat& format,
                      AudioSource& source)
        : m_state(std::move(state)), m_device(device), m_format(format), m_source(source),
          m_chunkFrames(m_state->chunkFrames)
    {
    }
    ~ManualAudioOutput() override
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        auto& list = m_state->outputs;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }

    const AudioFormat& format() const override { return m_format; }
    uint32_t chunkFrames() const override { return m_chunkFrames; }
    int device() const { return m_device; }
    AudioSource& source() { return m_source; }

private:
    std::shared_ptr<ManualAudioState> m_state;
    int m_device;
    AudioFormat m_format;
    AudioSource& m_source;
    uint32_t m_chunkFrames;
};

namespace {

ManualAudioOutput* pick(const ManualAudioState& state, int output)
{
    if (state.outputs.empty())
        return nullptr;
    if (output < 0)
        return state.outputs.back();
    return size_t(output) < state.outputs.size() ? state.outputs[size_t(output)] : nullptr;
}

} // namespace

ManualAudioBackend::ManualAudioBackend() : m_state(std::make_shared<ManualAudioState>()) {}

ManualAudioBackend::~ManualAudioBackend() = default;

void ManualAudioBackend::setDevices(std::vector<std::string> names)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->devices = std::move(names);
}

void ManualAudioBackend::setOpenRefused(bool refused)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->refused = refused;
}

void ManualAudioBackend::refuseOneOpen(int opensFirst)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->opensBeforeRefusal = std::max(opensFirst, 0);
}

void ManualAudioBackend::setChunkFrames(uint32_t frames)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->chunkFrames = std::max<uint32_t>(frames, 1);
}

int ManualAudioBackend::deviceCount()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return int(m_state->devices.size());
}

std::string ManualAudioBackend::deviceName(int index)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    if (index < 0 || size_t(index) >= m_state->devices.size())
        return std::string();
    return m_state->devices[size_t(index)];
}

std::unique_ptr<AudioOutput> ManualAudioBackend::open(int index, const AudioFormat& format, AudioSource& source)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    if (m_state->refused || m_state->devices.empty() || index >= int(m_state->devices.size()))
        return nullptr;
    if (m_state->opensBeforeRefusal >= 0 && m_state->opensBeforeRefusal-- == 0)
        return nullptr;
    auto output = std::make_unique<ManualAudioOutput>(m_state, index, format, source);
    m_state->outputs.push_back(output.get());
    return output;
}

int ManualAudioBackend::openOutputs() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return int(m_state->outputs.size());
}

AudioFormat ManualAudioBackend::outputFormat(int output) const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    ManualAudioOutput* o = pick(*m_state, output);
    return o ? o->format() : AudioFormat{};
}

int ManualAudioBackend::outputDevice(int output) const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    ManualAudioOutput* o = pick(*m_state, output);
    return o ? o->device() : -1;
}

std::vector<uint8_t> ManualAudioBackend::pump(size_t frames, int output)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    ManualAudioOutput* o = pick(*m_state, output);
    if (!o)
        return {};
    std::vector<uint8_t> bytes(frames * o->format().frameBytes());
    if (!bytes.empty())
        o->source().render(bytes.data(), bytes.size());
    return bytes;
}

} // namespace platform::audio
