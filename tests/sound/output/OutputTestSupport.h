// OutputTestSupport.h: a fixture that starts the sound engine on a device
// output over the manual-pump audio backend, so tests decide how far the
// device has played and read back what it played, and the check, on either
// output, that the device never plays a block of the ring being written.
#pragma once

#include "platform/audio/AudioBackend.h"
#include "platform/audio/manual/ManualAudioBackend.h"
#include "sound/mixer/hvsound_dsp.h"
#include "tests/sound/core/SoundTestSupport.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
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

    // Starts the engine on `output` with a sound in every block of the ring,
    // changes the sound, then holds the mixer thread in its output unit
    // right after it has read the cursor to check the block it writes next,
    // and meanwhile pumps the device round the ring and half into that
    // block: the device must play silence there, neither the old sound nor
    // the new one. Once the thread goes on, the rest of the block is the new
    // sound. With `late`, the check reads the cursor only after the hold and
    // so finds the device in the block: the thread leaves the block as it is
    // (the device plays on what it held), and from the next pass on the
    // device plays the new sound there as everywhere else.
    void expectTheDeviceNeverReadsTheBlockBeingWritten(int output, bool late)
    {
        // The system channel reads the cursor through the held check from
        // the start, before the mixer thread runs.
        HVSOUND_SetOutput(output);
        HVSOUND_OutputDriver* driver = HVSOUND_GetState()->driver;
        HeldCheck::originalInit = driver->initChannelFunctions;
        driver->initChannelFunctions = HeldCheck::initChannelFunctions;
        struct Restore {
            HVSOUND_OutputDriver* driver;
            ~Restore() { driver->initChannelFunctions = HeldCheck::originalInit; }
        } restore{driver};
        start(8, output);
        HVSOUND_STATE* s = HVSOUND_GetState();
        const int block = s->mixer.blockLength;
        const int blocks = s->mixBufferLength / block;
        HVSOUND_SAMPLE* oldSound = constantSample(8000);
        HVSOUND_SAMPLE* newSound = constantSample(-8000);
        int channel = HVSOUND_PlaySound(HVSOUND_FREE, oldSound);
        ASSERT_GE(channel, 0);
        play(size_t(2 * blocks * block));
        waitForMixer();
        ASSERT_TRUE(HVSOUND_StopSound(channel));
        ASSERT_GE(HVSOUND_PlaySound(HVSOUND_FREE, newSound), 0);

        HeldCheck::armed = true;
        HeldCheck::late = late;
        HeldCheck::held = HeldCheck::letGo = false;
        HVSOUND_DSPUNIT* before = HVSOUND_DSP_Create(HeldCheck::outputComes, 999, nullptr);
        HVSOUND_DSPUNIT* after = HVSOUND_DSP_Create(HeldCheck::outputDone, 1001, nullptr);
        ASSERT_TRUE(before && after);
        HVSOUND_DSP_SetActive(before, true);
        HVSOUND_DSP_SetActive(after, true);
        // The cursor leaves its block, which the thread mixes next.
        waitForMixer();
        const int mixedBefore = blocksMixed();
        play(size_t(block - playPosition() % block));
        bool held = within([] { return HeldCheck::held.load(); });
        EXPECT_TRUE(held) << "the mixer thread came to the check";
        if (held) {
            backend->pump(size_t((blocks - 1) * block));
            std::vector<uint8_t> whileHeld = backend->pump(size_t(block / 2));
            size_t heard = 0;
            for (uint8_t b : whileHeld)
                heard += b != 0;
            EXPECT_EQ(heard, 0u) << "bytes of the block being written that the device played";
        }
        HeldCheck::letGo = true;
        if (!late) {
            std::vector<int16_t> rest = play(size_t(block / 2));
            EXPECT_TRUE(std::all_of(rest.begin(), rest.end(), [](int16_t v) { return v < 0; }))
                << "the rest of the block is the new sound";
            return;
        }
        // The thread leaves the block and mixes every other block of the ring
        // before the device goes on.
        EXPECT_TRUE(within([&] { return blocksMixed() >= mixedBefore + blocks; }));
        play(size_t(block - playPosition() % block));
        std::vector<int16_t> later = play(size_t(2 * blocks * block));
        EXPECT_EQ(std::count_if(later.begin(), later.end(), [](int16_t v) { return v >= 0; }), 0)
            << "values of two passes round the ring after the block left as it was that are not the new sound";
    }

    // A looping 16-bit mono software sample holding `value`.
    HVSOUND_SAMPLE* constantSample(int16_t value)
    {
        HVSOUND_SAMPLE* sample = HVSOUND_Sample_Alloc(-1, 1000, HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO |
                                                                    HVSOUND_MODE_LOOP_NORMAL,
                                                      22050, 255, 128, 128);
        EXPECT_NE(sample, nullptr);
        if (!sample)
            return nullptr;
        std::fill_n(reinterpret_cast<int16_t*>(sample->data), sample->length, value);
        HVSOUND_Sample_WriteGuards(sample);
        return sample;
    }

    std::shared_ptr<platform::audio::ManualAudioBackend> backend;

private:
    // Holds the mixer thread at the first read of the system channel's play
    // position in the output unit (between a unit just before the output's
    // and one just after it): the check of the block the unit writes.
    struct HeldCheck {
        static inline std::atomic<bool> armed{false};
        static inline std::atomic<bool> late{false};
        static inline std::atomic<bool> held{false};
        static inline std::atomic<bool> letGo{false};
        static inline thread_local bool inOutput = false;
        static inline void (*originalInit)(HVSOUND_CHANNEL*) = nullptr;
        static inline int (*original)(HVSOUND_CHANNEL*) = nullptr;

        static void initChannelFunctions(HVSOUND_CHANNEL* channel)
        {
            originalInit(channel);
            if (channel->index == HVSOUND_SYSTEMCHANNEL) {
                original = channel->functions.getPosition;
                channel->functions.getPosition = getPosition;
            }
        }

        static void* outputComes(void*, void* buffer, int, void*)
        {
            inOutput = true;
            return buffer;
        }
        static void* outputDone(void*, void* buffer, int, void*)
        {
            inOutput = false;
            return buffer;
        }
        static int getPosition(HVSOUND_CHANNEL* channel)
        {
            int position = original(channel);
            if (inOutput && armed.exchange(false)) {
                held = true;
                within([] { return letGo.load(); });
                if (late)
                    position = original(channel);
            }
            inOutput = false;
            return position;
        }
    };

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

    // The blocks the mixer thread has mixed since it started.
    static int blocksMixed()
    {
        HVSOUND_Software_Lock();
        int blocks = HVSOUND_GetState()->mixer.blocksMixed;
        HVSOUND_Software_Unlock();
        return blocks;
    }

    // Waits until the mixer thread has filled the ring once and mixed every
    // block the device has left since.
    static void waitForMixer()
    {
        HVSOUND_STATE* s = HVSOUND_GetState();
        int blocks = s->mixBufferLength / s->mixer.blockLength;
        int playing = playPosition() / s->mixer.blockLength;
        bool caughtUp = within([&] {
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
