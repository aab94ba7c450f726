// SdlAudioBackend.h: sound output through SDL's audio devices; it starts
// SDL's audio part on its own, whether or not the window layer uses SDL.
#pragma once

#include "platform/audio/AudioBackend.h"

#include <memory>

namespace platform::audio {

class SdlAudioSession;

class SdlAudioBackend : public AudioBackend {
public:
    SdlAudioBackend();
    ~SdlAudioBackend() override;

    const char* name() const override { return "sdl"; }
    // Whether SDL's audio part started; without it there are no devices.
    bool started() const;
    int deviceCount() override;
    std::string deviceName(int index) override;
    std::unique_ptr<AudioOutput> open(int index, const AudioFormat& format, AudioSource& source) override;

private:
    std::shared_ptr<SdlAudioSession> m_session;
};

} // namespace platform::audio
