// MixerStressTest.cpp: the real mixer thread mixes while another thread
// plays, stops, steals, re-prioritises, changes loop points and modes, and
// frees samples that play; and it mixes, slower than the device plays, into
// the ring a real device reads. Run under ThreadSanitizer it must report
// nothing; under AddressSanitizer no freed sample may be mixed.
#include "platform/audio/sdl/SdlAudioBackend.h"
#include "sound/mixer/hvsound_dsp.h"
#include "tests/sound/core/SoundTestSupport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace {

using platform::audio::AudioBackend;
using platform::audio::AudioFormat;
using platform::audio::AudioOutput;
using platform::audio::AudioSource;

// What a device renders, passed through, counting the device's requests.
class CountingSource : public AudioSource {
public:
    CountingSource(AudioSource& source, std::atomic<int>& requests) : m_source(source), m_requests(requests) {}
    void render(uint8_t* out, size_t bytes) override
    {
        m_source.render(out, bytes);
        ++m_requests;
    }

private:
    AudioSource& m_source;
    std::atomic<int>& m_requests;
};

// SDL's audio devices (its dummy one in tests), each counting the requests
// its thread makes.
class CountingBackend : public AudioBackend {
public:
    const char* name() const override { return "counting"; }
    int deviceCount() override { return m_sdl.deviceCount(); }
    std::string deviceName(int index) override { return m_sdl.deviceName(index); }
    std::unique_ptr<AudioOutput> open(int index, const AudioFormat& format, AudioSource& source) override
    {
        m_sources.push_back(std::make_unique<CountingSource>(source, requests));
        return m_sdl.open(index, format, *m_sources.back());
    }

    std::atomic<int> requests{0};

private:
    platform::audio::SdlAudioBackend m_sdl;
    std::vector<std::unique_ptr<CountingSource>> m_sources;
};

// A unit after the output's: each cycle it waits until the device has taken
// three more requests, so the mixer thread falls behind the device and
// writes blocks the device comes to before the thread looks at the cursor
// again. It only looks at the count, which orders nothing of the mixer
// thread before the device's reads.
struct SlowUnit {
    CountingBackend* backend;
    std::atomic<int> cycles{0};
};

void* waitForTheDevice(void*, void* buffer, int, void* parameter)
{
    auto* unit = static_cast<SlowUnit*>(parameter);
    const int until = unit->backend->requests + 3;
    soundtest::within([&] { return unit->backend->requests >= until; }, 2.0);
    ++unit->cycles;
    return buffer;
}

class SoundMixerStress : public soundtest::SoundFixture {
protected:
    // Blocks the mixer thread has mixed so far.
    static int blocksMixed()
    {
        HVSOUND_Software_Lock();
        int blocks = HVSOUND_GetState()->mixer.blocksMixed;
        HVSOUND_Software_Unlock();
        return blocks;
    }

    // Moves the output's clock on by one block (a little more than one
    // block of 512 at 22,050 Hz) and waits (a hang's limit) until the mixer
    // thread has mixed the block the cursor left.
    void letTheMixerRun()
    {
        int before = blocksMixed();
        clock.advance(24);
        soundtest::within([&] { return blocksMixed() > before; });
    }

    // A sample of random width, layout, loop mode and length, full of noise.
    HVSOUND_SAMPLE* randomSample(std::mt19937& rng)
    {
        static const uint32_t loops[] = {HVSOUND_MODE_LOOP_OFF, HVSOUND_MODE_LOOP_NORMAL, HVSOUND_MODE_LOOP_BIDI};
        uint32_t mode = loops[rng() % 3] | (rng() % 2 ? HVSOUND_MODE_16BITS : HVSOUND_MODE_8BITS) |
                        (rng() % 3 == 0 ? HVSOUND_MODE_STEREO : HVSOUND_MODE_MONO) |
                        (rng() % 2 ? HVSOUND_MODE_2D : 0u);
        int length = 20 + int(rng() % 3000);
        HVSOUND_SAMPLE* s = HVSOUND_Sample_Alloc(-1, length, mode, 8000 + int(rng() % 40000), 255, 128,
                                                 int(rng() % 256));
        if (!s)
            return nullptr;
        std::vector<uint8_t> noise(size_t(HVSOUND_Sample_ByteLength(s)));
        for (uint8_t& b : noise)
            b = uint8_t(rng());
        HVSOUND_Sample_Write(s, noise.data(), 0, int(noise.size()), s->mode);
        return s;
    }
};

TEST_F(SoundMixerStress, TheMixerThreadMixesWhileAnotherThreadChangesEverything)
{
    // The no-sound output plays in real time by the clock, which only the
    // caller thread moves; few channels, so that plays steal.
    start(6, HVSOUND_OUTPUT_NOSOUND);
    letTheMixerRun();
    ASSERT_GT(blocksMixed(), 0) << "the mixer thread runs";
    int before = blocksMixed();

    std::thread caller([this] {
        std::mt19937 rng(20240611);
        std::vector<HVSOUND_SAMPLE*> samples;
        std::vector<int> handles;
        auto anySample = [&] { return samples[rng() % samples.size()]; };
        auto anyHandle = [&] { return handles[rng() % handles.size()]; };
        int movedAt = -1; // the blocks mixed when the cursor last moved
        for (int op = 0; op < 4000; ++op) {
            // The calls are spread over about half a second, during which
            // the cursor moves a block every 64 calls once the thread has
            // mixed the block it left last: the thread wakes every 10 ms and
            // mixes while the calls go on, and never finds the cursor a
            // whole ring on, which would look to it like no move, however
            // slow the machine makes it.
            std::this_thread::sleep_for(std::chrono::microseconds(50));
            if (op % 64 == 63) {
                soundtest::within([&] { return blocksMixed() > movedAt; });
                movedAt = blocksMixed();
                clock.advance(24);
            }
            int kind = int(rng() % 13);
            if (samples.size() < 2 || (kind == 0 && samples.size() < 8)) {
                if (HVSOUND_SAMPLE* s = randomSample(rng))
                    samples.push_back(s);
                continue;
            }
            if (handles.empty() && kind >= 2 && kind <= 9)
                kind = 1;
            switch (kind) {
            case 1: {
                int handle = HVSOUND_PlaySound(HVSOUND_FREE, anySample());
                if (handle >= 0)
                    handles.push_back(handle);
                break;
            }
            case 2:
                HVSOUND_StopSound(anyHandle());
                break;
            case 3:
                HVSOUND_SetPriority(anyHandle(), int(rng() % 300));
                break;
            case 4: {
                HVSOUND_SAMPLE* s = anySample();
                int first = int(rng() % uint32_t(s->length));
                HVSOUND_Sample_SetLoopPoints(s, first, first + 1 + int(rng() % 500));
                break;
            }
            case 5: {
                static const uint32_t modes[] = {HVSOUND_MODE_LOOP_OFF, HVSOUND_MODE_LOOP_NORMAL,
                                                 HVSOUND_MODE_LOOP_BIDI, HVSOUND_MODE_LOOP_NORMAL | HVSOUND_MODE_2D};
                HVSOUND_Sample_SetMode(anySample(), modes[rng() % 4]);
                break;
            }
            case 6: {
                size_t i = rng() % samples.size();
                HVSOUND_Sample_Free(samples[i]);
                samples.erase(samples.begin() + long(i));
                break;
            }
            case 7:
                HVSOUND_SetVolume(anyHandle(), int(rng() % 256));
                HVSOUND_SetPan(anyHandle(), int(rng() % 257) - 1);
                HVSOUND_SetFrequency(anyHandle(), int(rng() % 100000) - 20000);
                break;
            case 8:
                HVSOUND_SetPaused(anyHandle(), rng() % 2 == 0);
                break;
            case 9:
                HVSOUND_SetCurrentPosition(anyHandle(), int(rng() % 3000));
                break;
            case 10: {
                HVSOUND_VECTOR place{float(int(rng() % 21) - 10), 0.0f, float(rng() % 10)};
                if (!handles.empty())
                    HVSOUND_3D_SetAttributes(anyHandle(), &place, nullptr);
                HVSOUND_Update();
                break;
            }
            case 11: {
                // No channel may still name a freed sample.
                for (int i = 0; i < HVSOUND_GetMaxChannels(); ++i) {
                    HVSOUND_SAMPLE* playing = HVSOUND_GetCurrentSample(i);
                    bool known = !playing || std::find(samples.begin(), samples.end(), playing) != samples.end();
                    EXPECT_TRUE(known) << "channel " << i << " plays a freed sample (operation " << op << ")";
                }
                EXPECT_LE(HVSOUND_GetChannelsPlaying(), 6);
                break;
            }
            default: {
                // A given channel, playing or not, taken over.
                int handle = HVSOUND_PlaySound(int(rng() % 6), anySample());
                if (handle >= 0)
                    handles.push_back(handle);
                break;
            }
            }
        }
        HVSOUND_StopSound(HVSOUND_ALL);
        EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
        for (HVSOUND_SAMPLE* s : samples)
            HVSOUND_Sample_Free(s);
    });
    caller.join();
    EXPECT_GT(blocksMixed(), before + 10) << "the mixer thread mixed while the calls went on";
}

TEST_F(SoundMixerStress, TheMixerThreadNeverWritesABlockTheDeviceReads)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    platform::setClock(nullptr); // the device plays in real time
    for (int output : {HVSOUND_OUTPUT_WINMM, HVSOUND_OUTPUT_DSOUND}) {
        auto backend = std::make_shared<CountingBackend>();
        platform::audio::setAudioBackend(backend);
        start(8, output);
        HVSOUND_SAMPLE* tone = rampSample(4000, HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO | HVSOUND_MODE_LOOP_NORMAL);
        ASSERT_GE(HVSOUND_PlaySound(HVSOUND_FREE, tone), 0);
        SlowUnit slow{backend.get()};
        HVSOUND_DSPUNIT* unit = HVSOUND_DSP_Create(waitForTheDevice, 2000, &slow);
        ASSERT_NE(unit, nullptr);
        HVSOUND_DSP_SetActive(unit, true);
        // Twice round the ring and more (4 blocks under DirectSound, 8 under waveOut).
        EXPECT_TRUE(soundtest::within([&] { return slow.cycles >= 20; })) << "output " << output;
        HVSOUND_Close();
        platform::audio::setAudioBackend(nullptr);
    }
}

} // namespace
