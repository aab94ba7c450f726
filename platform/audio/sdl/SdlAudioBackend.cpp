// SdlAudioBackend.cpp: SDL audio devices fed through SDL's callback, which
// asks the output's source for the next bytes on SDL's audio thread.
#include "platform/audio/sdl/SdlAudioBackend.h"

#include <SDL.h>

#include <cstring>

namespace platform::audio {

// SDL's audio part, started once per backend and kept while any of its
// outputs is open, so an output may outlive the backend that made it.
class SdlAudioSession {
public:
    SdlAudioSession()
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        m_started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    ~SdlAudioSession()
    {
        if (m_started)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    SdlAudioSession(const SdlAudioSession&) = delete;
    SdlAudioSession& operator=(const SdlAudioSession&) = delete;

    bool started() const { return m_started; }

private:
    bool m_started = false;
};

namespace {

// SDL answers -1 when a driver cannot list its devices; its default device
// can still be opened then, so that counts as one device.
int countDevices()
{
    int count = SDL_GetNumAudioDevices(0);
    return count < 0 ? 1 : count;
}

// The request size: the largest power of two within 12 ms of sound, so the
// device takes small steps (the engine rewrites a block only once the device
// has taken all of it) without waking up too often.
uint32_t chunkFramesFor(uint32_t rate)
{
    uint32_t limit = rate * 12 / 1000;
    uint32_t frames = 64;
    while (frames * 2 <= limit && frames < 4096)
        frames *= 2;
    return frames;
}

class SdlAudioOutput : public AudioOutput {
public:
    SdlAudioOutput(std::shared_ptr<SdlAudioSession> session, const AudioFormat& format, AudioSource& source)
        : m_session(std::move(session)), m_format(format), m_source(source), m_chunkFrames(chunkFramesFor(format.rate))
    {
    }
    ~SdlAudioOutput() override
    {
        if (m_device)
            SDL_CloseAudioDevice(m_device); // waits for a running callback
    }

    bool open(const char* deviceName)
    {
        SDL_AudioSpec want;
        std::memset(&want, 0, sizeof want);
        want.freq = int(m_format.rate);
        want.format = m_format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        want.channels = Uint8(m_format.channels);
        want.samples = Uint16(m_chunkFrames);
        want.callback = &SdlAudioOutput::callback;
        want.userdata = this;
        SDL_AudioSpec have;
        // No changes allowed: SDL converts to whatever the hardware takes.
        m_device = SDL_OpenAudioDevice(deviceName, 0, &want, &have, 0);
        if (!m_device)
            return false;
        SDL_PauseAudioDevice(m_device, 0);
        return true;
    }

    const AudioFormat& format() const override { return m_format; }
    uint32_t chunkFrames() const override { return m_chunkFrames; }

private:
    static void SDLCALL callback(void* user, Uint8* stream, int length)
    {
        auto* self = static_cast<SdlAudioOutput*>(user);
        self->m_source.render(stream, size_t(length));
    }

    std::shared_ptr<SdlAudioSession> m_session;
    AudioFormat m_format;
    AudioSource& m_source;
    uint32_t m_chunkFrames;
    SDL_AudioDeviceID m_device = 0;
};

} // namespace

SdlAudioBackend::SdlAudioBackend() : m_session(std::make_shared<SdlAudioSession>()) {}

SdlAudioBackend::~SdlAudioBackend() = default;

bool SdlAudioBackend::started() const { return m_session->started(); }

int SdlAudioBackend::deviceCount() { return m_session->started() ? countDevices() : 0; }

std::string SdlAudioBackend::deviceName(int index)
{
    if (!m_session->started() || index < 0 || index >= countDevices())
        return std::string();
    const char* name = SDL_GetAudioDeviceName(index, 0);
    return name ? name : "Default audio output";
}

std::unique_ptr<AudioOutput> SdlAudioBackend::open(int index, const AudioFormat& format, AudioSource& source)
{
    if (!m_session->started() || index >= countDevices())
        return nullptr;
    // A device named by SDL is opened by its name; otherwise the default one.
    std::string name;
    if (index >= 0) {
        const char* listed = SDL_GetAudioDeviceName(index, 0);
        if (listed)
            name = listed;
    }
    auto output = std::make_unique<SdlAudioOutput>(m_session, format, source);
    if (!output->open(name.empty() ? nullptr : name.c_str()))
        return nullptr;
    return output;
}

} // namespace platform::audio
