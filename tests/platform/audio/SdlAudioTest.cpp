// The SDL backend end to end: with SDL's disk driver a 1 kHz tone played
// through waveOut and through a sound buffer is found in the captured file;
// with no usable driver every open fails with its proper code.
#include "platform/audio/DirectSound.h"
#include "platform/audio/WinMM.h"
#include "platform/audio/sdl/SdlAudioBackend.h"
#include "tests/support/MachinePace.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

using platform::audio::SdlAudioBackend;

namespace {

constexpr DWORD kRate = 22050;
// 441 frames hold exactly 20 periods of 1 kHz at 22050 Hz, so the loop is seamless.
constexpr int kLoopFrames = 441;
constexpr double kPi = 3.14159265358979323846;

// Stereo 16-bit frames of a 1 kHz sine at half of full scale.
std::vector<int16_t> toneFrames()
{
    std::vector<int16_t> samples;
    for (int i = 0; i < kLoopFrames; ++i) {
        auto v = int16_t(std::lround(16384.0 * std::sin(2.0 * kPi * 1000.0 * i / kRate)));
        samples.push_back(v);
        samples.push_back(v);
    }
    return samples;
}

WAVEFORMATEX stereo16()
{
    WAVEFORMATEX f;
    std::memset(&f, 0, sizeof f);
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 2;
    f.nSamplesPerSec = kRate;
    f.wBitsPerSample = 16;
    f.nBlockAlign = 4;
    f.nAvgBytesPerSec = kRate * 4;
    return f;
}

// The share of the signal's energy at `hz` (1 for a pure tone of that
// frequency), over the left channel of a stereo 16-bit capture with the
// silence before and after the sound cut off.
double energyShareAt(const std::vector<int16_t>& stereo, double hz)
{
    std::vector<double> left;
    for (size_t i = 0; i + 1 < stereo.size(); i += 2)
        left.push_back(stereo[i]);
    size_t first = 0, last = left.size();
    while (first < last && left[first] == 0)
        ++first;
    while (last > first && left[last - 1] == 0)
        --last;
    if (last - first < 1000)
        return 0.0;
    double re = 0, im = 0, total = 0;
    for (size_t n = first; n < last; ++n) {
        const double phase = 2.0 * kPi * hz * double(n - first) / kRate;
        re += left[n] * std::cos(phase);
        im -= left[n] * std::sin(phase);
        total += left[n] * left[n];
    }
    return 2.0 * (re * re + im * im) / (double(last - first) * total);
}

std::vector<int16_t> readCapture(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

class SdlAudioTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        platform::audio::setAudioBackend(nullptr);
        ::unsetenv("SDL_AUDIODRIVER");
        ::unsetenv("SDL_DISKAUDIOFILE");
    }

    // Installs an SDL backend writing everything it plays to `capture`;
    // false when SDL's disk driver cannot start here.
    bool startDiskBackend(const std::string& capture)
    {
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
        auto backend = std::make_shared<SdlAudioBackend>();
        if (!backend->started() || backend->deviceCount() <= 0)
            return false;
        platform::audio::setAudioBackend(backend);
        return true;
    }

    testsupport::TempDir dir;
};

// Waits, at most five seconds at the machine's pace, until `done` holds.
template <class Predicate>
bool waitFor(Predicate done)
{
    return testsupport::reachedAtPace(5000, done);
}

TEST_F(SdlAudioTest, ToneThroughWaveOutReachesTheCapture)
{
    const std::string capture = dir.file("waveout.raw");
    if (!startDiskBackend(capture))
        GTEST_SKIP() << "SDL's disk audio driver is not available";
    ASSERT_GE(waveOutGetNumDevs(), 1u);
    WAVEFORMATEX f = stereo16();
    HWAVEOUT h = nullptr;
    ASSERT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    std::vector<int16_t> tone = toneFrames();
    WAVEHDR header;
    std::memset(&header, 0, sizeof header);
    header.lpData = reinterpret_cast<LPSTR>(tone.data());
    header.dwBufferLength = DWORD(tone.size() * 2);
    header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    header.dwLoops = 0xFFFFFFFFu;
    ASSERT_EQ(waveOutPrepareHeader(h, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(h, &header, sizeof header), MMSYSERR_NOERROR);
    const DWORD wanted = kRate * 4 / 4; // a quarter of a second
    EXPECT_TRUE(waitFor([&] {
        MMTIME t{};
        t.wType = TIME_BYTES;
        waveOutGetPosition(h, &t, sizeof t);
        return t.u.cb >= wanted;
    }));
    ASSERT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
    EXPECT_TRUE(header.dwFlags & WHDR_DONE);
    ASSERT_EQ(waveOutUnprepareHeader(h, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutClose(h), MMSYSERR_NOERROR);

    std::vector<int16_t> captured = readCapture(capture);
    ASSERT_GE(captured.size(), size_t(wanted / 2));
    EXPECT_GT(energyShareAt(captured, 1000.0), 0.9);
    EXPECT_LT(energyShareAt(captured, 3000.0), 0.05);
}

TEST_F(SdlAudioTest, ToneThroughASoundBufferReachesTheCapture)
{
    const std::string capture = dir.file("dsound.raw");
    if (!startDiskBackend(capture))
        GTEST_SKIP() << "SDL's disk audio driver is not available";
    IDirectSound8* device = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
    ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX f = stereo16();
    ASSERT_EQ(primary->SetFormat(&f), DS_OK);
    primary->Release();

    std::vector<int16_t> tone = toneFrames();
    desc.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN;
    desc.dwBufferBytes = DWORD(tone.size() * 2);
    desc.lpwfxFormat = &f;
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    void* p1;
    void* p2;
    DWORD n1, n2;
    ASSERT_EQ(buffer->Lock(0, desc.dwBufferBytes, &p1, &n1, &p2, &n2, 0), DS_OK);
    std::memcpy(p1, tone.data(), n1);
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);

    // Count the loops the play cursor makes until a quarter of a second has played.
    DWORD last = 0;
    int laps = 0;
    EXPECT_TRUE(waitFor([&] {
        DWORD play = 0;
        buffer->GetCurrentPosition(&play, nullptr);
        if (play < last)
            ++laps;
        last = play;
        return laps >= 13; // 13 × 20 ms
    }));
    DWORD status = 0;
    ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    ASSERT_EQ(buffer->Stop(), DS_OK);
    buffer->Release();
    device->Release();

    std::vector<int16_t> captured = readCapture(capture);
    ASSERT_GE(captured.size(), size_t(kRate / 4));
    EXPECT_GT(energyShareAt(captured, 1000.0), 0.9);
    EXPECT_LT(energyShareAt(captured, 3000.0), 0.05);
}

BOOL CALLBACK countDevices(LPGUID, LPCSTR, LPCSTR, LPVOID context)
{
    ++*static_cast<int*>(context);
    return TRUE;
}

TEST_F(SdlAudioTest, WithoutADriverEveryOpenFails)
{
    ::setenv("SDL_AUDIODRIVER", "hv-no-such-driver", 1);
    auto backend = std::make_shared<SdlAudioBackend>();
    EXPECT_FALSE(backend->started());
    platform::audio::setAudioBackend(backend);

    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    WAVEFORMATEX f = stereo16();
    HWAVEOUT h = nullptr;
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    EXPECT_EQ(h, nullptr);
    IDirectSound8* device = nullptr;
    EXPECT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
    int devices = 0;
    EXPECT_EQ(DirectSoundEnumerateA(&countDevices, &devices), DS_OK);
    EXPECT_EQ(devices, 0);
}

} // namespace
