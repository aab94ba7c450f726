// OutputTestSupport.h: a fixture that starts the sound engine on a device
// output over the manual-pump audio backend, so tests decide how far the
// device has played and read back what it played.
#pragma once

#include "platform/audio/AudioBackend.h"
#include "platform/audio/manual/ManualAudioBackend.h"
#include "tests/sound/core/SoundTestSupport.h"

#include <algorithm>
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
    // While the mixer thread runs, the device plays as a real one does: at
    // most to the end of the playing block at a time, and only once the
    // thread has mixed every other block of the ring (which it does under
    // its lock, taken here too), so the device never reads a block that
    // the thread may be writing.
    std::vector<int16_t> play(size_t frames)
    {
        std::vector<int16_t> samples;
        while (frames > 0) {
            size_t piece = frames;
            if (mixerThreadRuns()) {
                waitForMixer();
                int block = HVSOUND_GetState()->mixer.blockLength;
                piece = std::min(frames, size_t(block - playPosition() % block));
            }
            std::vector<uint8_t> bytes = backend->pump(piece);
            for (size_t i = 0; i + 1 < bytes.size(); i += 2)
                samples.push_back(int16_t(uint16_t(bytes[i] | (bytes[i + 1] << 8))));
            frames -= piece;
        }
        return samples;
    }

    // Waits (a bounded real time, generous for sanitizer builds) until
    // `done` holds, for the mixer thread.
    template <typename F>
    static bool eventually(F done)
    {
        for (int i = 0; i < 2000; ++i) {
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }

    std::shared_ptr<platform::audio::ManualAudioBackend> backend;

private:
    static bool mixerThreadRuns()
    {
        const HVSOUND_STATE* s = HVSOUND_GetState();
        return s->initialised && s->systemChannel && s->primaryBuffer && s->mixer.blockLength > 0 &&
               s->outputType != HVSOUND_OUTPUT_NOSOUND_NONREALTIME;
    }

    // The system channel's play position in the ring, in frames.
    static int playPosition()
    {
        HVSOUND_STATE* s = HVSOUND_GetState();
        HVSOUND_CHANNEL* system = s->systemChannel;
        int64_t position = system->functions.getPosition(system) % s->mixBufferLength;
        return int(position < 0 ? position + s->mixBufferLength : position);
    }

    // Waits until the mixer thread has filled the ring once and mixed every
    // block the device has left since.
    static void waitForMixer()
    {
        HVSOUND_STATE* s = HVSOUND_GetState();
        int blocks = s->mixBufferLength / s->mixer.blockLength;
        int playing = playPosition() / s->mixer.blockLength;
        bool caughtUp = eventually([&] {
            HVSOUND_Software_Lock();
            bool done = s->mixer.blocksMixed >= blocks - 1 && s->mixer.currentBlock == playing;
            HVSOUND_Software_Unlock();
            return done;
        });
        if (!caughtUp)
            ADD_FAILURE() << "the mixer thread did not mix the ring in time";
    }
};

} // namespace soundtest
