// The sound-buffer device over the manual-pump backend: devices, the primary
// format, Lock wrap and locked bytes played as silence, cursors, status,
// volume, pan, frequency, lost buffers.
#include "platform/audio/DirectSound.h"
#include "platform/audio/manual/ManualAudioBackend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using platform::audio::ManualAudioBackend;

namespace {

WAVEFORMATEX pcmFormat(WORD channels, WORD bits, DWORD rate)
{
    WAVEFORMATEX f;
    std::memset(&f, 0, sizeof f);
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = WORD(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

// What an attenuation in hundredths of a decibel does to a sample value.
long attenuated(double value, double hundredths)
{
    return std::lround(value * std::pow(10.0, -hundredths / 2000.0));
}

class DirectSoundTest : public ::testing::Test {
protected:
    static constexpr DWORD kRate = 44100;

    void SetUp() override
    {
        backend = std::make_shared<ManualAudioBackend>();
        backend->setChunkFrames(16);
        platform::audio::setAudioBackend(backend);
    }
    void TearDown() override
    {
        if (device)
            device->Release();
        platform::audio::setAudioBackend(nullptr);
    }

    // A device whose output plays 16-bit stereo at kRate.
    void openDevice()
    {
        ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
        ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
        IDirectSoundBuffer* primary = nullptr;
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
        ASSERT_EQ(device->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
        WAVEFORMATEX f = pcmFormat(2, 16, kRate);
        ASSERT_EQ(primary->SetFormat(&f), DS_OK);
        primary->Release();
    }

    IDirectSoundBuffer* makeBuffer(WORD channels, WORD bits, DWORD rate, DWORD frames,
                                   DWORD flags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_CTRLVOLUME |
                                                 DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN)
    {
        WAVEFORMATEX f = pcmFormat(channels, bits, rate);
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = flags;
        desc.dwBufferBytes = frames * f.nBlockAlign;
        desc.lpwfxFormat = &f;
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        return buffer;
    }

    // Writes 16-bit samples over the whole buffer.
    static void fill(IDirectSoundBuffer* buffer, const std::vector<int16_t>& samples)
    {
        void* p1 = nullptr;
        void* p2 = nullptr;
        DWORD n1 = 0, n2 = 0;
        DWORD bytes = DWORD(samples.size() * 2);
        ASSERT_EQ(buffer->Lock(0, bytes, &p1, &n1, &p2, &n2, 0), DS_OK);
        ASSERT_EQ(n1, bytes);
        std::memcpy(p1, samples.data(), bytes);
        ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
    }

    // Pumps the output and gives the stereo 16-bit samples it played.
    std::vector<int16_t> pump(size_t frames)
    {
        std::vector<uint8_t> bytes = backend->pump(frames);
        std::vector<int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }

    static DWORD playCursor(IDirectSoundBuffer* buffer)
    {
        DWORD play = 0xFFFFFFFFu;
        EXPECT_EQ(buffer->GetCurrentPosition(&play, nullptr), DS_OK);
        return play;
    }

    static DWORD status(IDirectSoundBuffer* buffer)
    {
        DWORD s = 0xFFFFFFFFu;
        EXPECT_EQ(buffer->GetStatus(&s), DS_OK);
        return s;
    }

    std::shared_ptr<ManualAudioBackend> backend;
    IDirectSound8* device = nullptr;
};

struct Enumerated {
    std::vector<std::string> names;
    std::vector<GUID> guids;
    std::vector<bool> nullGuid;
};

BOOL CALLBACK collect(LPGUID guid, LPCSTR description, LPCSTR, LPVOID context)
{
    auto* e = static_cast<Enumerated*>(context);
    e->names.push_back(description);
    e->nullGuid.push_back(guid == nullptr);
    e->guids.push_back(guid ? *guid : GUID{});
    return TRUE;
}

TEST_F(DirectSoundTest, DevicesAreEnumeratedAndOpenedByIdentifier)
{
    backend->setDevices({"Speakers", "Headset"});
    Enumerated e;
    ASSERT_EQ(DirectSoundEnumerateA(&collect, &e), DS_OK);
    ASSERT_EQ(e.names, (std::vector<std::string>{"Primary Sound Driver", "Speakers", "Headset"}));
    EXPECT_TRUE(e.nullGuid[0]);
    EXPECT_FALSE(e.nullGuid[2]);
    EXPECT_NE(e.guids[1], e.guids[2]);

    ASSERT_EQ(DirectSoundCreate8(&e.guids[2], &device, nullptr), DS_OK);
    EXPECT_EQ(backend->outputDevice(), 1);
    const auto first = backend->outputFormat();
    EXPECT_EQ(first.rate, 22050u);
    EXPECT_EQ(first.channels, 2);
    EXPECT_EQ(first.bits, 8);
    device->Release();
    device = nullptr;
    EXPECT_EQ(backend->openOutputs(), 0) << "releasing the device closes its output";

    IDirectSound* plain = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &plain, nullptr), DS_OK);
    EXPECT_EQ(backend->outputDevice(), -1) << "no identifier: the default device";
    plain->Release();

    GUID unknown = e.guids[2];
    unknown.Data1 ^= 1;
    EXPECT_EQ(DirectSoundCreate8(&unknown, &device, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
    backend->setOpenRefused(true);
    EXPECT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DSERR_ALLOCATED);
    backend->setDevices({});
    EXPECT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DSERR_NODRIVER);
    Enumerated none;
    EXPECT_EQ(DirectSoundEnumerateA(&collect, &none), DS_OK);
    EXPECT_TRUE(none.names.empty());
}

TEST_F(DirectSoundTest, ThePrimaryFormatNeedsThePriorityLevelAndOutlivesTheBuffer)
{
    ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
    IDirectSoundBuffer* primary = nullptr;
    DSBUFFERDESC desc{};
    desc.dwSize = DSBUFFERDESC1_SIZE32; // the short form of a 32-bit program
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX f = pcmFormat(2, 16, kRate);
    EXPECT_EQ(primary->SetFormat(&f), DSERR_PRIOLEVELNEEDED);
    ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
    WAVEFORMATEX adpcm = f;
    adpcm.wFormatTag = 2;
    EXPECT_EQ(primary->SetFormat(&adpcm), DSERR_BADFORMAT);
    ASSERT_EQ(primary->SetFormat(&f), DS_OK);
    void* listener = reinterpret_cast<void*>(1);
    EXPECT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, &listener), E_NOINTERFACE);
    EXPECT_EQ(listener, nullptr);
    primary->Release();
    EXPECT_EQ(backend->openOutputs(), 1);
    EXPECT_EQ(backend->outputFormat().rate, kRate);
    EXPECT_EQ(backend->outputFormat().bits, 16);

    desc.dwSize = 30;
    EXPECT_EQ(device->CreateSoundBuffer(&desc, &primary, nullptr), DSERR_INVALIDPARAM);

    DSCAPS caps{};
    EXPECT_EQ(device->GetCaps(&caps), DSERR_INVALIDPARAM) << "dwSize must be set";
    caps.dwSize = sizeof caps;
    ASSERT_EQ(device->GetCaps(&caps), DS_OK);
    EXPECT_EQ(caps.dwFlags & DSCAPS_EMULDRIVER, 0u);
    EXPECT_EQ(caps.dwMaxHw3DAllBuffers, 0u);
    EXPECT_EQ(caps.dwFreeHw3DStreamingBuffers, 0u);
    EXPECT_EQ(caps.dwMinSecondarySampleRate, 100u);
    EXPECT_EQ(caps.dwMaxSecondarySampleRate, 200000u);
}

TEST_F(DirectSoundTest, LockWrapsIntoTwoParts)
{
    openDevice();
    // 402 bytes ask for 100.5 frames: the buffer holds whole frames.
    WAVEFORMATEX f = pcmFormat(2, 16, kRate);
    DSBUFFERDESC desc{};
    desc.dwSize = DSBUFFERDESC_SIZE32;
    desc.dwFlags = DSBCAPS_CTRLVOLUME;
    desc.dwBufferBytes = 402;
    desc.lpwfxFormat = &f;
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);

    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(buffer->Lock(0, 400, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(n1, 400u) << "the size is cut to whole frames";
    EXPECT_EQ(p2, nullptr);
    EXPECT_EQ(n2, 0u);
    EXPECT_EQ(static_cast<uint8_t*>(p1)[123], 0) << "a new buffer is silent";
    uint8_t* base = static_cast<uint8_t*>(p1);
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);

    ASSERT_EQ(buffer->Lock(300, 200, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(p1, base + 300);
    EXPECT_EQ(n1, 100u);
    EXPECT_EQ(p2, base);
    EXPECT_EQ(n2, 100u);
    EXPECT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
    EXPECT_EQ(buffer->Unlock(base + 300, 101, nullptr, 0), DSERR_INVALIDPARAM) << "past the end";

    EXPECT_EQ(buffer->Lock(300, 200, &p1, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(400, 4, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 404, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->Lock(100, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(n1 + n2, 400u);
    buffer->Release();
}

TEST_F(DirectSoundTest, PlayCursorRunsModuloTheSizeAndStatusFollowsPlay)
{
    openDevice();
    IDirectSoundBuffer* buffer = makeBuffer(2, 16, kRate, 100);
    std::vector<int16_t> ramp;
    for (int i = 0; i < 100; ++i) {
        ramp.push_back(int16_t(i * 100));
        ramp.push_back(int16_t(-i * 100));
    }
    fill(buffer, ramp);
    EXPECT_EQ(status(buffer), 0u);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(status(buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);

    std::vector<int16_t> out = pump(30);
    for (int i = 0; i < 30; ++i) {
        ASSERT_EQ(out[2 * i], i * 100) << "frame " << i << " is played unchanged";
        ASSERT_EQ(out[2 * i + 1], -i * 100);
    }
    EXPECT_EQ(playCursor(buffer), 30u * 4);
    DWORD play = 0, write = 0;
    ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(write, (30u + 16) * 4) << "the write cursor is one device request ahead";

    out = pump(250);
    EXPECT_EQ(out[2 * 69], 99 * 100);
    EXPECT_EQ(out[2 * 70], 0) << "the buffer loops";
    EXPECT_EQ(playCursor(buffer), (280u % 100) * 4);

    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_EQ(status(buffer), 0u);
    EXPECT_EQ(pump(10), std::vector<int16_t>(20, 0));
    EXPECT_EQ(playCursor(buffer), 80u * 4) << "stopping keeps the position";

    // Once through to the end, then back to the start.
    ASSERT_EQ(buffer->SetCurrentPosition(90 * 4 + 2), DS_OK);
    EXPECT_EQ(playCursor(buffer), 90u * 4);
    EXPECT_EQ(buffer->SetCurrentPosition(400), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(status(buffer), DSBSTATUS_PLAYING);
    out = pump(20);
    EXPECT_EQ(out[2 * 9], 99 * 100);
    EXPECT_EQ(out[2 * 10], 0);
    EXPECT_EQ(status(buffer), 0u);
    EXPECT_EQ(playCursor(buffer), 0u);
    buffer->Release();
}

TEST_F(DirectSoundTest, VolumeAndPanAttenuateInHundredthsOfADecibel)
{
    openDevice();
    IDirectSoundBuffer* buffer = makeBuffer(1, 16, kRate, 8);
    fill(buffer, std::vector<int16_t>(8, 10000));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    auto frame = [&]() {
        std::vector<int16_t> out = pump(1);
        return std::make_pair(long(out[0]), long(out[1]));
    };
    EXPECT_EQ(frame(), std::make_pair(10000L, 10000L)) << "a mono buffer plays on both sides";

    ASSERT_EQ(buffer->SetVolume(-600), DS_OK);
    EXPECT_EQ(frame(), std::make_pair(attenuated(10000, 600), attenuated(10000, 600)));
    ASSERT_EQ(buffer->SetVolume(DSBVOLUME_MIN), DS_OK);
    EXPECT_EQ(frame(), std::make_pair(0L, 0L)) << "the minimum is silence";
    ASSERT_EQ(buffer->SetVolume(0), DS_OK);

    ASSERT_EQ(buffer->SetPan(1000), DS_OK);
    EXPECT_EQ(frame(), std::make_pair(attenuated(10000, 1000), 10000L)) << "a positive pan quietens the left";
    ASSERT_EQ(buffer->SetPan(5), DS_OK);
    EXPECT_EQ(frame(), std::make_pair(attenuated(10000, 5), 10000L));
    ASSERT_EQ(buffer->SetPan(-2500), DS_OK);
    EXPECT_EQ(frame(), std::make_pair(10000L, attenuated(10000, 2500)));
    ASSERT_EQ(buffer->SetPan(DSBPAN_LEFT), DS_OK);
    EXPECT_EQ(frame(), std::make_pair(10000L, 0L));
    ASSERT_EQ(buffer->SetVolume(-600), DS_OK);
    ASSERT_EQ(buffer->SetPan(600), DS_OK);
    EXPECT_EQ(frame(), std::make_pair(attenuated(10000, 1200), attenuated(10000, 600))) << "the two add up";

    EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetPan(10001), DSERR_INVALIDPARAM);
    buffer->Release();

    IDirectSoundBuffer* plain = makeBuffer(1, 16, kRate, 8, DSBCAPS_GETCURRENTPOSITION2);
    EXPECT_EQ(plain->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetPan(100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetFrequency(22050), DSERR_CONTROLUNAVAIL);
    plain->Release();
}

TEST_F(DirectSoundTest, FrequencyResamplesToTheOutputRate)
{
    openDevice();
    IDirectSoundBuffer* buffer = makeBuffer(1, 16, kRate / 2, 4);
    fill(buffer, {0, 1000, 3000, -1000});
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    std::vector<int16_t> out = pump(8);
    const int16_t expected[8] = {0, 500, 1000, 2000, 3000, 1000, -1000, -500};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[2 * i], expected[i]) << "frame " << i << ": half-rate frames are interpolated";
    EXPECT_EQ(playCursor(buffer), 0u);

    ASSERT_EQ(buffer->SetFrequency(kRate), DS_OK);
    out = pump(3);
    EXPECT_EQ(out[2], 1000);
    EXPECT_EQ(playCursor(buffer), 3u * 2);
    EXPECT_EQ(buffer->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetFrequency(200001), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
    out = pump(2);
    EXPECT_EQ(out[0], -1000);
    EXPECT_EQ(out[2], -500);
    buffer->Release();
}

TEST_F(DirectSoundTest, BuffersMixAndClampAndEightBitDataIsUnsigned)
{
    openDevice();
    IDirectSoundBuffer* a = makeBuffer(1, 16, kRate, 4);
    IDirectSoundBuffer* b = makeBuffer(1, 16, kRate, 4);
    fill(a, {30000, 1000, -30000, 0});
    fill(b, {30000, 2000, -30000, 0});
    IDirectSoundBuffer* c = makeBuffer(1, 8, kRate, 4);
    void* p1;
    void* p2;
    DWORD n1, n2;
    ASSERT_EQ(c->Lock(0, 4, &p1, &n1, &p2, &n2, 0), DS_OK);
    std::memcpy(p1, "\x80\x80\xC0\x80", 4);
    ASSERT_EQ(c->Unlock(p1, n1, p2, n2), DS_OK);
    for (auto* x : {a, b, c})
        ASSERT_EQ(x->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    std::vector<int16_t> out = pump(4);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[2], 3000);
    EXPECT_EQ(out[4], -32768 + 0) << "clamped: -60000 + 16384 is still below the range";
    EXPECT_EQ(out[6], 0);
    for (auto* x : {a, b, c})
        x->Release();
}

TEST_F(DirectSoundTest, DuplicatesShareTheSoundAndNothingElse)
{
    openDevice();
    IDirectSoundBuffer* original = makeBuffer(1, 16, kRate, 4);
    fill(original, {100, 200, 300, 400});
    ASSERT_EQ(original->SetVolume(-600), DS_OK);
    ASSERT_EQ(original->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    pump(1);
    IDirectSoundBuffer* copy = nullptr;
    ASSERT_EQ(device->DuplicateSoundBuffer(original, &copy), DS_OK);
    EXPECT_EQ(status(copy), 0u) << "a duplicate starts stopped";
    EXPECT_EQ(playCursor(copy), 0u);
    ASSERT_EQ(original->Stop(), DS_OK);
    ASSERT_EQ(copy->SetVolume(0), DS_OK);
    fill(original, {1000, 2000, 3000, 4000});
    ASSERT_EQ(copy->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = pump(2);
    EXPECT_EQ(out[0], 1000) << "the memory is shared, the volume is not";
    EXPECT_EQ(out[2], 2000);
    EXPECT_EQ(playCursor(original), 1u * 2);
    // Bytes locked through the original play as silence through the copy
    // too, until they are unlocked.
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(original->Lock(2 * 2, 2 * 2, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(pump(1)[0], 0) << "frame 2, locked";
    ASSERT_EQ(original->Unlock(p1, n1, p2, n2), DS_OK);
    EXPECT_EQ(pump(1)[0], 4000) << "frame 3, unlocked";

    IDirectSoundBuffer* primary = nullptr;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    IDirectSoundBuffer* none = nullptr;
    EXPECT_EQ(device->DuplicateSoundBuffer(primary, &none), DSERR_INVALIDCALL);
    primary->Release();
    void* buffer3d = nullptr;
    EXPECT_EQ(copy->QueryInterface(IID_IDirectSound3DBuffer, &buffer3d), E_NOINTERFACE);
    original->Release();
    copy->Release();
}

TEST_F(DirectSoundTest, LostBuffersRefuseLockAndPlayUntilRestored)
{
    openDevice();
    IDirectSoundBuffer* buffer = makeBuffer(1, 16, kRate, 4, DSBCAPS_CTRLVOLUME | DSBCAPS_LOCDEFER);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING | DSBPLAY_LOCSOFTWARE), DS_OK);
    EXPECT_EQ(status(buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING | DSBSTATUS_LOCSOFTWARE);
    EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING | DSBPLAY_LOCHARDWARE), DSERR_CONTROLUNAVAIL)
        << "no hardware voices";

    platform::audio::loseSoundBuffers(device);
    EXPECT_EQ(status(buffer), DSBSTATUS_BUFFERLOST);
    void* p1;
    void* p2;
    DWORD n1, n2;
    EXPECT_EQ(buffer->Lock(0, 8, &p1, &n1, &p2, &n2, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DSERR_BUFFERLOST);
    ASSERT_EQ(buffer->Restore(), DS_OK);
    EXPECT_EQ(buffer->Lock(0, 8, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    buffer->Release();

    IDirectSoundBuffer* fixed = makeBuffer(1, 16, kRate, 4, DSBCAPS_CTRLVOLUME | DSBCAPS_LOCSOFTWARE);
    EXPECT_EQ(fixed->Play(0, 0, DSBPLAY_LOCSOFTWARE), DSERR_INVALIDCALL)
        << "only deferred buffers choose where they play";
    fixed->Release();
}

TEST_F(DirectSoundTest, BuffersOutliveTheirDevice)
{
    openDevice();
    IDirectSoundBuffer* buffer = makeBuffer(1, 16, kRate, 4);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    device->Release();
    device = nullptr;
    EXPECT_EQ(backend->openOutputs(), 0);
    EXPECT_EQ(status(buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(buffer->Stop(), DS_OK);
    buffer->Release();
}

TEST(DirectSoundModule, EntryPointsResolveByName)
{
    using platform::audio::resolveDirectSound;
    EXPECT_EQ(resolveDirectSound("DirectSoundCreate8"), reinterpret_cast<FARPROC>(&DirectSoundCreate8));
    EXPECT_EQ(resolveDirectSound("DirectSoundCreate"), reinterpret_cast<FARPROC>(&DirectSoundCreate));
    EXPECT_EQ(resolveDirectSound("DirectSoundEnumerateA"), reinterpret_cast<FARPROC>(&DirectSoundEnumerateA));
    EXPECT_EQ(resolveDirectSound("DirectSoundCaptureCreate"), nullptr);
    EXPECT_EQ(resolveDirectSound(nullptr), nullptr);
}

} // namespace
