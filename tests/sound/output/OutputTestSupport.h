// OutputTestSupport.h: a fixture that starts the sound engine on a device
// output over the manual-pump audio backend, so tests decide how far the
// device has played and read back what it played.
#pragma once

#include "platform/audio/AudioBackend.h"
#include "platform/audio/manual/ManualAudioBackend.h"
#include "tests/sound/core/SoundTestSupport.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace soundtest {

class OutputFixture : public SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        backend = std::make_shared<platform::audio::ManualAudioBackend>();
        platform::audio::setAudioBackend(backend);
        HVSOUND_GetState()->driverIndex = -1;
    }

    void TearDown() override
    {
        SoundFixture::TearDown();
        HVSOUND_GetState()->driverIndex = -1;
        HVSOUND_GetState()->mixerType = HVSOUND_MIXER_QUALITY_AUTODETECT;
        platform::audio::setAudioBackend(nullptr);
    }

    // The 16-bit samples of what the device played in `frames` more frames.
    std::vector<int16_t> play(size_t frames)
    {
        std::vector<uint8_t> bytes = backend->pump(frames);
        std::vector<int16_t> samples(bytes.size() / 2);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = int16_t(uint16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
        return samples;
    }

    // Waits (a bounded real time) until `done` holds, for the mixer thread.
    template <typename F>
    static bool eventually(F done)
    {
        for (int i = 0; i < 400; ++i) {
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }

    std::shared_ptr<platform::audio::ManualAudioBackend> backend;
};

} // namespace soundtest
