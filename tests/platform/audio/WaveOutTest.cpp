// waveOut over the manual-pump backend: queue order, loops, held bytes, the
// byte counter, reset, close refusal and volume.
#include "platform/audio/WinMM.h"
#include "platform/audio/manual/ManualAudioBackend.h"
#include "platform/kernel/Clock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using platform::audio::ManualAudioBackend;

namespace {

WAVEFORMATEX waveOutPcmFormat(WORD channels, WORD bits, DWORD rate = 22050)
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

class WaveOutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        backend = std::make_shared<ManualAudioBackend>();
        platform::audio::setAudioBackend(backend);
    }
    void TearDown() override { platform::audio::setAudioBackend(nullptr); }

    // An 8-bit mono device, so that bytes and frames are the same.
    HWAVEOUT openBytes()
    {
        WAVEFORMATEX f = waveOutPcmFormat(1, 8);
        HWAVEOUT h = nullptr;
        EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
        return h;
    }

    WAVEHDR header(std::vector<char>& data, DWORD flags = 0, DWORD loops = 0)
    {
        WAVEHDR h;
        std::memset(&h, 0, sizeof h);
        h.lpData = data.data();
        h.dwBufferLength = DWORD(data.size());
        h.dwFlags = flags;
        h.dwLoops = loops;
        return h;
    }

    DWORD position(HWAVEOUT h)
    {
        MMTIME t;
        std::memset(&t, 0, sizeof t);
        t.wType = TIME_BYTES;
        EXPECT_EQ(waveOutGetPosition(h, &t, sizeof t), MMSYSERR_NOERROR);
        EXPECT_EQ(t.wType, TIME_BYTES);
        return t.u.cb;
    }

    std::string pump(size_t frames)
    {
        auto bytes = backend->pump(frames);
        return std::string(bytes.begin(), bytes.end());
    }

    std::shared_ptr<ManualAudioBackend> backend;
};

TEST_F(WaveOutTest, DevicesComeFromTheBackend)
{
    backend->setDevices({"First", "A device name longer than thirty-one characters"});
    EXPECT_EQ(waveOutGetNumDevs(), 2u);
    WAVEOUTCAPSA caps;
    ASSERT_EQ(waveOutGetDevCapsA(1, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "A device name longer than thirt");
    EXPECT_EQ(caps.wChannels, 2);
    EXPECT_EQ(waveOutGetDevCapsA(WAVE_MAPPER, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "First");
    EXPECT_EQ(waveOutGetDevCapsA(2, &caps, sizeof caps), MMSYSERR_BADDEVICEID);

    WAVEFORMATEX f = waveOutPcmFormat(2, 16);
    HWAVEOUT h = nullptr;
    ASSERT_EQ(waveOutOpen(&h, 1, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(backend->outputDevice(), 1);
    EXPECT_EQ(backend->outputFormat().rate, 22050u);
    EXPECT_EQ(backend->outputFormat().channels, 2);
    EXPECT_EQ(backend->outputFormat().bits, 16);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(backend->outputDevice(), -1) << "the mapper opens the default device";
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_EQ(backend->openOutputs(), 0);
}

TEST_F(WaveOutTest, OpenFailuresGiveTheirCodes)
{
    WAVEFORMATEX f = waveOutPcmFormat(2, 16);
    HWAVEOUT h = reinterpret_cast<HWAVEOUT>(1);
    EXPECT_EQ(waveOutOpen(&h, 1, &f, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(h, nullptr);

    WAVEFORMATEX bad = f;
    bad.wBitsPerSample = 24;
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &bad, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    bad = f;
    bad.nBlockAlign = 2;
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &bad, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &f, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
    EXPECT_EQ(backend->openOutputs(), 0) << "a query opens nothing";
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 1234, 0, 0x00030000u), MMSYSERR_NOTSUPPORTED);

    backend->setOpenRefused(true);
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_ERROR);
    EXPECT_EQ(h, nullptr);

    backend->setDevices({});
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveOutOpen(&h, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
}

TEST_F(WaveOutTest, HeadersPlayInOrderAndAreMarkedDone)
{
    HWAVEOUT h = openBytes();
    std::vector<char> a{'a', 'b', 'c'}, b{'d', 'e'};
    WAVEHDR ha = header(a), hb = header(b);
    EXPECT_EQ(waveOutWrite(h, &ha, sizeof ha), WAVERR_UNPREPARED);
    ASSERT_EQ(waveOutPrepareHeader(h, &ha, sizeof ha), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutPrepareHeader(h, &hb, WAVEHDR_SIZE32), MMSYSERR_NOERROR) << "the 32-bit size is taken";
    EXPECT_EQ(ha.dwFlags, WHDR_PREPARED);
    EXPECT_EQ(waveOutPrepareHeader(h, &ha, 8), MMSYSERR_INVALPARAM);

    EXPECT_EQ(pump(2), std::string("\x80\x80")) << "an empty queue plays silence";
    EXPECT_EQ(position(h), 0u) << "and the position does not move";

    ASSERT_EQ(waveOutWrite(h, &ha, sizeof ha), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(h, &hb, sizeof hb), MMSYSERR_NOERROR);
    EXPECT_EQ(ha.dwFlags, WHDR_PREPARED | WHDR_INQUEUE);
    EXPECT_EQ(waveOutWrite(h, &ha, sizeof ha), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(h, &ha, sizeof ha), WAVERR_STILLPLAYING);

    EXPECT_EQ(pump(4), "abcd");
    EXPECT_EQ(ha.dwFlags, WHDR_PREPARED | WHDR_DONE);
    EXPECT_EQ(hb.dwFlags, WHDR_PREPARED | WHDR_INQUEUE);
    EXPECT_EQ(position(h), 4u);
    EXPECT_EQ(pump(3), std::string("e\x80\x80"));
    EXPECT_EQ(hb.dwFlags, WHDR_PREPARED | WHDR_DONE);
    EXPECT_EQ(position(h), 5u);

    EXPECT_EQ(waveOutUnprepareHeader(h, &ha, sizeof ha), MMSYSERR_NOERROR);
    EXPECT_EQ(ha.dwFlags, WHDR_DONE);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutWrite(h, &hb, sizeof hb), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOutTest, LoopHeadersRepeatAndTheCounterKeepsGrowing)
{
    HWAVEOUT h = openBytes();
    // One header looping itself for ever, as a ring the program writes ahead into.
    std::vector<char> ring{'0', '1', '2', '3', '4'};
    WAVEHDR hr = header(ring, WHDR_BEGINLOOP | WHDR_ENDLOOP, 0xFFFFFFFFu);
    ASSERT_EQ(waveOutPrepareHeader(h, &hr, sizeof hr), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(h, &hr, sizeof hr), MMSYSERR_NOERROR);
    EXPECT_EQ(pump(12), "012340123401");
    ring[2] = 'X'; // written ahead of the position
    EXPECT_EQ(pump(6), "X3401X");
    EXPECT_EQ(position(h), 18u) << "bytes played, not reduced modulo the buffer";
    EXPECT_EQ(hr.dwFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_INQUEUE);
    // Bytes the program holds while it rewrites them play as silence until it
    // releases them.
    ASSERT_EQ(platform::audio::holdWaveData(h, &ring[1], 2), MMSYSERR_NOERROR);
    EXPECT_EQ(pump(5), std::string("340\x80\x80"));
    ASSERT_EQ(platform::audio::releaseWaveData(h, &ring[1]), MMSYSERR_NOERROR);
    EXPECT_EQ(pump(5), "3401X");
    EXPECT_EQ(platform::audio::holdWaveData(nullptr, &ring[1], 2), MMSYSERR_INVALHANDLE);

    EXPECT_EQ(waveOutClose(h), WAVERR_STILLPLAYING) << "close is refused while a buffer is queued";
    EXPECT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
    EXPECT_EQ(hr.dwFlags, WHDR_BEGINLOOP | WHDR_ENDLOOP | WHDR_PREPARED | WHDR_DONE);
    EXPECT_EQ(position(h), 0u) << "reset sets the position back";
    EXPECT_EQ(pump(2), std::string("\x80\x80"));

    // Played again after a reset it starts from its beginning.
    ASSERT_EQ(waveOutWrite(h, &hr, sizeof hr), MMSYSERR_NOERROR);
    EXPECT_EQ(pump(3), "01X");
    EXPECT_EQ(position(h), 3u);
    EXPECT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutUnprepareHeader(h, &hr, sizeof hr), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(WaveOutTest, LoopsSpanHeadersAndEndAfterTheirCount)
{
    HWAVEOUT h = openBytes();
    std::vector<char> a{'a'}, b{'b', 'c'}, c{'d', 'e'}, d{'f'};
    WAVEHDR ha = header(a), hb = header(b, WHDR_BEGINLOOP, 3), hc = header(c, WHDR_ENDLOOP), hd = header(d);
    for (WAVEHDR* x : {&ha, &hb, &hc, &hd}) {
        ASSERT_EQ(waveOutPrepareHeader(h, x, sizeof *x), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(h, x, sizeof *x), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(pump(6), "abcdeb");
    EXPECT_TRUE(ha.dwFlags & WHDR_DONE);
    EXPECT_FALSE(hb.dwFlags & WHDR_DONE) << "a header stays queued while its loop runs";
    EXPECT_EQ(pump(10), std::string("cdebcdef\x80\x80"));
    for (WAVEHDR* x : {&hb, &hc, &hd})
        EXPECT_EQ(x->dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    EXPECT_EQ(position(h), 14u);

    // A loop with nothing in it plays once instead of spinning.
    std::vector<char> empty;
    WAVEHDR he = header(empty, WHDR_BEGINLOOP | WHDR_ENDLOOP, 0xFFFFFFFFu);
    ASSERT_EQ(waveOutPrepareHeader(h, &he, sizeof he), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(h, &he, sizeof he), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(h, &ha, sizeof ha), MMSYSERR_NOERROR);
    EXPECT_EQ(pump(2), std::string("a\x80"));
    EXPECT_TRUE(he.dwFlags & WHDR_DONE);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(WaveOutTest, VolumeScalesEachSide)
{
    WAVEFORMATEX f = waveOutPcmFormat(2, 16);
    HWAVEOUT h = nullptr;
    ASSERT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    std::vector<int16_t> frames{20000, -20000, 20000, -20000};
    std::vector<char> data(reinterpret_cast<char*>(frames.data()), reinterpret_cast<char*>(frames.data()) + 8);
    WAVEHDR hd = header(data);
    ASSERT_EQ(waveOutPrepareHeader(h, &hd, sizeof hd), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutSetVolume(h, MAKELONG(0x8000, 0xFFFF)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(h, &hd, sizeof hd), MMSYSERR_NOERROR);
    std::vector<uint8_t> out = backend->pump(2);
    ASSERT_EQ(out.size(), 8u);
    int16_t s[4];
    std::memcpy(s, out.data(), 8);
    EXPECT_EQ(s[0], 20000 * 0x8000 / 0xFFFF);
    EXPECT_EQ(s[1], -20000);
    EXPECT_EQ(s[2], 20000 * 0x8000 / 0xFFFF);
    EXPECT_EQ(waveOutSetVolume(nullptr, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

TEST(WinMMTimer, FollowsTheKernelClock)
{
    platform::FakeClock clock(5000);
    platform::ScopedClock scoped(clock);
    EXPECT_EQ(timeGetTime(), 5000u);
    clock.advance(250);
    EXPECT_EQ(timeGetTime(), 5250u);
}

} // namespace
