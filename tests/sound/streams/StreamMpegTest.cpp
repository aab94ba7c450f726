// StreamMpegTest.cpp: MP3 files made by lame at test time played as streams
// on the update-driven engine: the mixer's output against the same file
// loaded whole as a sample, seeks by exact frame table and by estimate
// (with a downmix), looping, and damaged frame bodies and headers.
#include "tests/sound/formats/MpegTestSupport.h"
#include "tests/sound/streams/StreamTestSupport.h"

#include "sound/core/system_file.h"

namespace {

using namespace streamtest;

class SoundStreamMpeg : public StreamFixture {
protected:
    void SetUp() override
    {
        StreamFixture::SetUp();
        if (!mpegtest::haveTool("lame"))
            GTEST_SKIP() << "lame is needed";
    }

    // What the mixer makes of the file loaded whole as a sample and played
    // once, over `blocks` blocks.
    std::vector<int16_t> heardAsSample(std::vector<uint8_t>& mp3, int blocks)
    {
        HVSOUND_SAMPLE* sample = HVSOUND_Sample_Load(HVSOUND_FREE, mp3.data(), HVSOUND_MODE_LOADMEMORY, 0,
                                                     int(mp3.size()));
        EXPECT_NE(sample, nullptr) << HVSOUND_GetError();
        if (!sample)
            return {};
        heard.clear();
        int channel = HVSOUND_PlaySound(HVSOUND_FREE, sample);
        EXPECT_NE(channel, -1);
        update(blocks);
        HVSOUND_StopSound(channel);
        HVSOUND_Sample_Free(sample);
        std::vector<int16_t> result;
        result.swap(heard);
        return result;
    }

    // Plays the stream once and updates until it has stopped itself.
    std::vector<int16_t> heardAsStream(HVSOUND_STREAM* s)
    {
        heard.clear();
        EXPECT_TRUE(HVSOUND_Stream_SetMode(s, HVSOUND_MODE_LOOP_OFF));
        EXPECT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
        for (int blocks = 0; s->channel != -1 && blocks < 1000; ++blocks)
            update();
        EXPECT_EQ(s->channel, -1) << "the stream ended";
        std::vector<int16_t> result;
        result.swap(heard);
        return result;
    }

    // Seeks to `sample` as a set-position does and refills the buffer.
    static void seekTo(HVSOUND_STREAM* s, uint32_t sample)
    {
        ASSERT_TRUE(HVSOUND_Stream_Seek(s, HVSOUND_STREAM_SEEK_SAMPLES, sample, true));
        ASSERT_TRUE(HVSOUND_Stream_Prefill(s));
    }
};

// `values` equal `reference` from value `from` on (as far as both go).
bool matchesAt(const std::vector<int16_t>& values, const std::vector<int16_t>& reference, long from)
{
    if (from < 0 || from >= long(reference.size()))
        return false;
    size_t n = std::min(values.size(), reference.size() - size_t(from));
    return std::equal(values.begin(), values.begin() + long(n), reference.begin() + from);
}

// The mono mix the stream makes of interleaved stereo.
std::vector<int16_t> downmixed(const std::vector<int16_t>& stereo)
{
    std::vector<int16_t> mono(stereo.size() / 2);
    for (size_t i = 0; i < mono.size(); ++i)
        mono[i] = int16_t((int(stereo[2 * i]) + int(stereo[2 * i + 1])) >> 1);
    return mono;
}

TEST_F(SoundStreamMpeg, AStreamedMp3SoundsExactlyLikeTheFileLoadedWhole)
{
    startEngine();
    struct Case {
        const char* what;
        int rate;
        int channels;
        const char* options;
        uint32_t mode;
        bool fromFile;
    };
    const Case cases[] = {
        {"MPEG-1 joint stereo from memory", 44100, 2, "-b 128", 0, false},
        {"MPEG-1 joint stereo from a file, exact", 44100, 2, "-b 128", HVSOUND_MODE_MPEGACCURATE, true},
        {"MPEG-2 mono at the mixing rate", 22050, 1, "-m m -b 48", 0, false},
        {"MPEG-1 variable rate", 44100, 2, "-V 2", 0, true},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> mp3 = mpegtest::lameFile(c.rate, c.channels, c.options);
        ASSERT_FALSE(mp3.empty()) << c.what;
        // One second of sound is 43 blocks at 22,050 Hz; lame adds a little.
        std::vector<int16_t> whole = heardAsSample(mp3, 60);
        HVSOUND_STREAM* s = c.fromFile ? openFile(mp3, "sound.mp3", c.mode) : openMemory(mp3, c.mode);
        ASSERT_NE(s, nullptr) << c.what << ": error " << HVSOUND_GetError();
        EXPECT_EQ(s->sample->frequency, c.rate) << c.what;
        std::vector<int16_t> streamed = heardAsStream(s);
        size_t n = std::min(whole.size(), streamed.size());
        ASSERT_GT(n, size_t(c.rate / 2)) << c.what;
        std::vector<int16_t> a(whole.begin(), whole.begin() + long(n));
        std::vector<int16_t> b(streamed.begin(), streamed.begin() + long(n));
        EXPECT_EQ(firstDifference(a, b), -1) << c.what;
        for (size_t i = n; i < streamed.size(); ++i)
            ASSERT_EQ(streamed[i], 0) << c.what << ": silence after the end, at " << i;
        for (size_t i = n; i < whole.size(); ++i)
            ASSERT_EQ(whole[i], 0) << c.what << ": the sample had ended, at " << i;
        close(s);
    }
}

// The reference is the reader's decode of every frame from the first. Two
// frames of preroll rebuild the decoder's state exactly when the bit
// reservoir of the frame before the target lies within the frame before
// it: at 320 kbit/s that holds from frame 10 on (and trivially for the
// first frames, which need no preroll).
TEST_F(SoundStreamMpeg, AnExactSeekStartsTwoFramesEarlyAndDropsThemAndTheRemainder)
{
    startEngine();
    std::vector<uint8_t> mp3 = mpegtest::lameFile(44100, 2, "-b 320");
    ASSERT_FALSE(mp3.empty());
    std::vector<int> frames;
    std::vector<int16_t> reference = mpegtest::decodeStream(mp3, &frames);
    ASSERT_GT(frames.size(), size_t(20));
    const int perFrame = frames[0] / 2; // samples per channel
    HVSOUND_STREAM* s = openMemory(mp3, HVSOUND_MODE_LOOP_OFF | HVSOUND_MODE_MPEGACCURATE);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->frameTable.count, uint32_t(frames.size()));
    EXPECT_EQ(s->lengthSamples, int(reference.size() / 2)) << "the exact length";

    struct Case {
        int frame;
        int into; // samples into that frame
        int startFrame;
    };
    for (Case c : {Case{10, 0, 8}, Case{10, 500, 8}, Case{1, 3, 0}, Case{0, 0, 0}, Case{12, 1151, 10}}) {
        uint32_t target = uint32_t(c.frame * perFrame + c.into);
        ASSERT_TRUE(HVSOUND_Stream_Seek(s, HVSOUND_STREAM_SEEK_SAMPLES, target, true));
        EXPECT_EQ(HVSOUND_File_Tell(s->file), s->dataOffset + int(s->frameTable.offsets[c.startFrame])) << c.frame;
        EXPECT_EQ(s->skip, ((c.frame - c.startFrame) * perFrame + c.into) * 4) << c.frame;
        ASSERT_TRUE(HVSOUND_Stream_Prefill(s));
        EXPECT_TRUE(matchesAt(bufferHalf(s, 0), reference, long(target) * 2)) << c.frame << "+" << c.into;
    }
}

TEST_F(SoundStreamMpeg, AnEstimatedSeekLandsOnAWholeFrameNearTheTargetAndADownmixFollowsIt)
{
    startEngine();
    std::vector<uint8_t> mp3 = mpegtest::lameFile(44100, 2, "-b 320");
    ASSERT_FALSE(mp3.empty());
    std::vector<int> frames;
    std::vector<int16_t> stereo = mpegtest::decodeStream(mp3, &frames);
    const int perFrame = frames[0] / 2;
    struct Case {
        const char* what;
        uint32_t mode;
        int slack; // frames the landing may be off by
    };
    const Case cases[] = {
        {"estimated", 0, 1},
        {"estimated, downmixed", HVSOUND_MODE_FORCEMONO, 1},
        {"exact, downmixed", HVSOUND_MODE_FORCEMONO | HVSOUND_MODE_MPEGACCURATE, 0},
    };
    for (const Case& c : cases) {
        bool mono = (c.mode & HVSOUND_MODE_FORCEMONO) != 0;
        std::vector<int16_t> reference = mono ? downmixed(stereo) : stereo;
        int values = mono ? 1 : 2;
        HVSOUND_STREAM* s = openMemory(mp3, HVSOUND_MODE_LOOP_OFF | c.mode);
        ASSERT_NE(s, nullptr) << c.what;
        EXPECT_EQ(s->sample->mode & (HVSOUND_MODE_MONO | HVSOUND_MODE_STEREO),
                  mono ? HVSOUND_MODE_MONO : HVSOUND_MODE_STEREO);
        EXPECT_TRUE(matchesAt(bufferHalf(s, 0), reference, 0)) << c.what << ": the open";
        for (int target : {12 * perFrame + 300, 30 * perFrame, 20 * perFrame + 1}) {
            seekTo(s, uint32_t(target));
            std::vector<int16_t> buffer = bufferHalf(s, 0);
            int landed = -1;
            for (int d = -c.slack; d <= c.slack && landed < 0; ++d) {
                if (matchesAt(buffer, reference, long(target + d * perFrame) * values))
                    landed = d;
            }
            EXPECT_NE(landed, -1) << c.what << ": target " << target;
        }
        close(s);
    }
}

TEST_F(SoundStreamMpeg, ALoopingMp3RepeatsItsWholeDecodeWithoutEnding)
{
    startEngine();
    std::vector<uint8_t> whole = mpegtest::lameFile(22050, 1, "-m m -b 48", true, 0.5);
    ASSERT_FALSE(whole.empty());
    // The file cut at a frame whose main data begins in the frames before
    // it (main_data_begin, the side information's first byte in MPEG-2, is
    // not 0): its first frame finds no reservoir, after an open as after
    // each loop, where no bytes of the file's end may stand in for it.
    std::vector<uint32_t> offsets = mpegtest::frameOffsets(whole);
    size_t cut = 5;
    while (cut < offsets.size() && whole[offsets[cut] + ((whole[offsets[cut] + 1] & 1) ? 4 : 6)] == 0)
        ++cut;
    ASSERT_LT(cut, offsets.size());
    std::vector<uint8_t> borrowing(whole.begin() + offsets[cut], whole.end());
    for (std::vector<uint8_t>* mp3 : {&whole, &borrowing}) {
        const char* what = mp3 == &whole ? "whole" : "cut";
        std::vector<int> frames;
        std::vector<int16_t> reference = mpegtest::decodeStream(*mp3, &frames);
        const size_t total = reference.size();
        const size_t frame = size_t(frames[0] / 2);
        HVSOUND_STREAM* s = openMemory(*mp3, HVSOUND_MODE_LOOP_NORMAL);
        ASSERT_NE(s, nullptr) << what;
        recordFromStart(s);
        ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1) << what;
        for (int i = 0; i < 120; ++i) {
            update();
            ASSERT_EQ(s->countdown, -1) << what << ", block " << i;
        }
        EXPECT_TRUE(s->playing) << what;
        ASSERT_GT(recorded.size(), 3 * total) << what;
        // A loop is taken when the next value is wanted.
        EXPECT_EQ(s->loopGeneration, int((recorded.size() - 1) / total)) << what;
        // The decoder carries its overlap and synthesis history from the end
        // into the first frame of each loop (a seamless join); from the
        // second frame on every loop is the file's decode again.
        for (size_t i = 0; i < recorded.size(); ++i) {
            size_t at = i % total;
            if (i >= total && at < frame)
                continue;
            ASSERT_EQ(recorded[i], reference[at]) << what << " at " << i;
        }
        close(s);
    }
}

TEST_F(SoundStreamMpeg, DamagedFramesAreSkippedAndTheStreamPlaysOnOnceAndLooping)
{
    startEngine();
    constexpr int kSamplesPerFrame = 576; // MPEG-2 at 22,050 Hz, mono
    constexpr int kFirstDamaged = 20;
    struct Case {
        int damaged;
        bool headers; // the frames' headers wiped (their sync lost), else their bodies
    };
    for (Case c : {Case{16, false}, Case{40, false}, Case{200, false}, Case{16, true}, Case{200, true}}) {
        const std::string what = std::to_string(c.damaged) + (c.headers ? " wiped headers" : " damaged bodies");
        // Twenty good frames before the damage, about twenty after it.
        std::vector<uint8_t> mp3 = mpegtest::lameFile(22050, 1, "-m m -b 48", true,
                                                      (c.damaged + 40) * kSamplesPerFrame / 22050.0);
        ASSERT_FALSE(mp3.empty());
        std::vector<uint32_t> frames = mpegtest::frameOffsets(mp3);
        ASSERT_GE(frames.size(), size_t(kFirstDamaged + c.damaged + 20));
        for (int f = kFirstDamaged; f < kFirstDamaged + c.damaged; ++f) {
            // Bodies overwritten keep their headers and hold side
            // information no decoder takes; a wiped header leaves a stretch
            // the reader slides through to the next confirmed frame.
            auto at = mp3.begin() + frames[size_t(f)];
            if (c.headers)
                std::fill(at, at + 4, uint8_t(0));
            else
                std::fill(at + 4, mp3.begin() + frames[size_t(f) + 1], uint8_t(0xFF));
        }
        const int good = int(frames.size()) - c.damaged;
        const size_t sound = size_t(good) * kSamplesPerFrame * 2; // values of the stereo output
        const int blocks = int(sound / 2 / 512) + 1;

        std::vector<int16_t> whole = heardAsSample(mp3, blocks);
        HVSOUND_STREAM* s = openMemory(mp3, HVSOUND_MODE_LOOP_OFF);
        ASSERT_NE(s, nullptr);
        std::vector<int16_t> streamed = heardAsStream(s);
        ASSERT_GE(whole.size(), sound);
        ASSERT_GE(streamed.size(), sound) << what << ": played to the end of the data";
        EXPECT_EQ(firstDifference(std::vector<int16_t>(whole.begin(), whole.begin() + long(sound)),
                                  std::vector<int16_t>(streamed.begin(), streamed.begin() + long(sound))),
                  -1)
            << what;

        ASSERT_TRUE(HVSOUND_Stream_SetMode(s, HVSOUND_MODE_LOOP_NORMAL));
        ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
        for (int i = 0; i < blocks * 5 / 2; ++i) {
            update();
            ASSERT_EQ(s->countdown, -1) << what << ", looping, block " << i;
        }
        EXPECT_GE(s->loopGeneration, 2) << what;
        close(s);
    }
}

} // namespace
