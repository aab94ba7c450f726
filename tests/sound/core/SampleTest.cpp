// Samples: allocation and mode normalisation, the sample table (two threads
// taking slots at once), writing with conversion, lock wrap, multichannel
// planes, loop points and guards, free.
#include "tests/sound/core/SoundTestSupport.h"
#include "tests/sound/formats/VorbisFixtures.h"
#include "tests/sound/formats/WavBuilder.h"
#include "tests/support/TempDir.h"

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using SoundCoreSamples = soundtest::SoundFixture;

int16_t value16(const HVSOUND_SAMPLE* s, int index)
{
    int16_t v;
    memcpy(&v, s->data + 2 * index, 2);
    return v;
}

TEST_F(SoundCoreSamples, AllocationNeedsALengthAndAnEngine)
{
    EXPECT_EQ(HVSOUND_Sample_Alloc(-1, 100, 0, 22050, 255, 128, 128), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_UNINITIALISED);
    start();
    EXPECT_EQ(HVSOUND_Sample_Alloc(-1, 0, 0, 22050, 255, 128, 128), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_EQ(HVSOUND_Sample_Alloc(-3, 10, 0, 22050, 255, 128, 128), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    // 2^32 + 4 KiB bytes, which an int takes for 4 KiB: refused, and the
    // slot keeps its sample.
    HVSOUND_SAMPLE* kept = HVSOUND_Sample_Alloc(5, 10, 0, 22050, 255, 128, 128);
    EXPECT_EQ(HVSOUND_Sample_Alloc(5, 0x40000400, HVSOUND_MODE_16BITS | HVSOUND_MODE_STEREO, 22050, 255, -1, 128),
              nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_MEMORY);
    EXPECT_EQ(HVSOUND_GetState()->samples[5], kept);
    HVSOUND_SAMPLE* buffer = HVSOUND_Sample_AllocChannels(-2, 0, HVSOUND_MODE_16BITS, 22050, 255, 128, 255, 1);
    ASSERT_NE(buffer, nullptr) << "the channel-count form accepts length 0";
    EXPECT_EQ(buffer->data, nullptr);
    HVSOUND_Sample_Free(buffer);
}

TEST_F(SoundCoreSamples, ModeIsNormalised)
{
    start();
    HVSOUND_SAMPLE* plain = HVSOUND_Sample_Alloc(-1, 10, 0, 22050, 255, 128, 128);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->mode, HVSOUND_MODE_8BITS | HVSOUND_MODE_MONO | HVSOUND_MODE_LOOP_OFF | HVSOUND_MODE_SIGNED);
    EXPECT_EQ(plain->frequency, 22050);
    EXPECT_EQ(plain->playbackLimit, -1);
    EXPECT_EQ(plain->moduleRate, 8363);
    EXPECT_FLOAT_EQ(plain->minDistance, 1.0f);
    EXPECT_FLOAT_EQ(plain->maxDistance, 1000000.0f);

    EXPECT_EQ(HVSOUND_Sample_NormaliseMode(HVSOUND_MODE_8BITS | HVSOUND_MODE_16BITS | HVSOUND_MODE_UNSIGNED) &
                  (HVSOUND_MODE_8BITS | HVSOUND_MODE_16BITS),
              HVSOUND_MODE_16BITS);
    EXPECT_EQ(HVSOUND_Sample_NormaliseMode(HVSOUND_MODE_STEREO | HVSOUND_MODE_MONO | HVSOUND_MODE_MULTICHANNEL) &
                  (HVSOUND_MODE_STEREO | HVSOUND_MODE_MONO | HVSOUND_MODE_MULTICHANNEL),
              HVSOUND_MODE_STEREO);
    // No hardware 3D voices: a hardware 3D request becomes a plain sample.
    uint32_t hw3d = HVSOUND_Sample_NormaliseMode(HVSOUND_MODE_HW3D | HVSOUND_MODE_3D);
    EXPECT_EQ(hw3d & (HVSOUND_MODE_HW3D | HVSOUND_MODE_3D | HVSOUND_MODE_HW2D), 0u);
    // A 3D sample asks for a hardware 2D voice, which implies 2D and stop-same;
    // without hardware 2D voices the voice request goes.
    uint32_t soft3d = HVSOUND_Sample_NormaliseMode(HVSOUND_MODE_3D);
    EXPECT_EQ(soft3d & HVSOUND_MODE_HW2D, 0u);
    EXPECT_NE(soft3d & HVSOUND_MODE_2D, 0u);
    EXPECT_NE(soft3d & HVSOUND_MODE_STOPSAME, 0u);
    EXPECT_NE(HVSOUND_Sample_NormaliseMode(HVSOUND_MODE_PRIMARY | HVSOUND_MODE_HW2D) & HVSOUND_MODE_HW2D, 0u)
        << "the primary mix buffer keeps its hardware voice";
    uint32_t packed = HVSOUND_Sample_NormaliseMode(HVSOUND_MODE_COMPRESSED_A | HVSOUND_MODE_8BITS);
    EXPECT_EQ(packed & (HVSOUND_MODE_COMPRESSED_A | HVSOUND_MODE_8BITS | HVSOUND_MODE_16BITS), HVSOUND_MODE_16BITS);
}

TEST_F(SoundCoreSamples, SoftwareRefusesCompressedData)
{
    start();
    EXPECT_EQ(HVSOUND_Sample_Alloc(-1, 64, HVSOUND_MODE_COMPRESSED_B, 22050, 255, 128, 128), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT);
    EXPECT_EQ(HVSOUND_GetState()->samples[0], nullptr) << "no half-made sample is left in the table";
    HVSOUND_SAMPLE* s = rampSample(64);
    uint8_t source[64] = {};
    EXPECT_FALSE(HVSOUND_Sample_Write(s, source, 0, 36, HVSOUND_MODE_COMPRESSED_A));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT);
}

TEST_F(SoundCoreSamples, TableGrowsBy256AndSlotsAreReused)
{
    start();
    HVSOUND_STATE* st = HVSOUND_GetState();
    EXPECT_EQ(st->sampleTableSize, 256);
    HVSOUND_SAMPLE* far = HVSOUND_Sample_Alloc(300, 16, 0, 22050, 255, 128, 128);
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(st->sampleTableSize, 512);
    EXPECT_EQ(st->samples[300], far);
    EXPECT_EQ(far->tableIndex, 300);

    HVSOUND_SAMPLE* first = HVSOUND_Sample_Alloc(-1, 16, 0, 22050, 255, 128, 128);
    EXPECT_EQ(first->tableIndex, 0) << "-1 takes the first empty slot";

    int channel = HVSOUND_PlaySound(HVSOUND_FREE, far);
    ASSERT_GE(channel, 0);
    HVSOUND_SAMPLE* replacement = HVSOUND_Sample_Alloc(300, 8, 0, 22050, 255, 128, 128);
    ASSERT_NE(replacement, nullptr);
    EXPECT_EQ(st->samples[300], replacement);
    EXPECT_FALSE(HVSOUND_IsPlaying(channel & HVSOUND_CHANNEL_INDEX_MASK)) << "the old sample was stopped and freed";
}

// The engine's memory of the test below: the first allocation the held
// thread makes once armed waits until the other thread is blocked (or has
// its sample).
std::atomic<bool> g_tableHoldArmed{false};
std::atomic<long> g_tableOther{0};
std::atomic<bool> g_tableOtherDone{false};
thread_local bool t_tableHeld = false;

void* holdFirstTableAllocation(size_t size)
{
    if (t_tableHeld && g_tableHoldArmed.exchange(false))
        soundtest::untilBlockedOr(g_tableOther, [] { return g_tableOtherDone.load(); });
    return malloc(size);
}

TEST_F(SoundCoreSamples, TwoThreadsTakingFreeSlotsAtOnceKeepOneSlotEach)
{
    // One thread is held in the first allocation its sample needs (the
    // record; the table's growth when every slot is taken) while another
    // takes a free slot for its own.
    start();
    HVSOUND_STATE* st = HVSOUND_GetState();
    auto alloc = [] { return HVSOUND_Sample_Alloc(-1, 16, 0, 22050, 255, 128, 128); };
    for (int taken : {0, 256}) {
        SCOPED_TRACE(std::to_string(taken) + " slots taken");
        std::vector<HVSOUND_SAMPLE*> samples;
        for (int i = 0; i < taken; ++i)
            samples.push_back(alloc());
        g_tableOther = 0;
        g_tableOtherDone = false;
        st->memoryPool.userAlloc = holdFirstTableAllocation;
        st->memoryPool.userRealloc = nullptr; // the growth allocates anew
        g_tableHoldArmed = true;
        HVSOUND_SAMPLE* held = nullptr;
        HVSOUND_SAMPLE* other = nullptr;
        std::thread first([&] {
            t_tableHeld = true;
            held = alloc();
        });
        while (g_tableHoldArmed)
            std::this_thread::yield();
        std::thread second([&] {
            g_tableOther = platform::systemThreadId();
            other = alloc();
            g_tableOtherDone = true;
        });
        first.join();
        second.join();
        st->memoryPool.userAlloc = malloc;
        st->memoryPool.userRealloc = realloc;
        ASSERT_TRUE(held && other);
        EXPECT_NE(held->tableIndex, other->tableIndex);
        EXPECT_EQ(st->samples[held->tableIndex], held);
        EXPECT_EQ(st->samples[other->tableIndex], other);
        samples.push_back(held);
        samples.push_back(other);
        for (HVSOUND_SAMPLE* sample : samples)
            HVSOUND_Sample_Free(sample);
    }
}

TEST_F(SoundCoreSamples, FreeingAPlayingSampleStopsItsChannels)
{
    start();
    HVSOUND_SAMPLE* s = rampSample(100);
    int a = HVSOUND_PlaySound(HVSOUND_FREE, s);
    int b = HVSOUND_PlaySound(HVSOUND_FREE, s);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 2);
    int slot = s->tableIndex;
    HVSOUND_Sample_Free(s);
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
    EXPECT_EQ(HVSOUND_GetState()->samples[slot], nullptr);
    EXPECT_FALSE(HVSOUND_IsPlaying(a)) << "the handle went stale";
}

TEST_F(SoundCoreSamples, WriteConvertsWidthSignAndDelta)
{
    start();
    // 8-bit unsigned source into a 16-bit sample: each byte becomes the high
    // byte, then the sign bit flips.
    HVSOUND_SAMPLE* wide = rampSample(4);
    uint8_t unsignedBytes[] = {0x80, 0xFF, 0x00, 0x81};
    ASSERT_TRUE(HVSOUND_Sample_Upload(wide, unsignedBytes, HVSOUND_MODE_8BITS | HVSOUND_MODE_UNSIGNED));
    EXPECT_EQ(value16(wide, 0), 0);
    EXPECT_EQ(value16(wide, 1), 0x7F00);
    EXPECT_EQ(value16(wide, 2), -32768);
    EXPECT_EQ(value16(wide, 3), 0x0100);

    // 16-bit source into an 8-bit sample keeps the high byte.
    HVSOUND_SAMPLE* narrow = HVSOUND_Sample_Alloc(-1, 3, HVSOUND_MODE_8BITS, 22050, 255, 128, 128);
    int16_t words[] = {0x1234, -2, 0x7F00};
    ASSERT_TRUE(HVSOUND_Sample_Upload(narrow, words, HVSOUND_MODE_16BITS));
    EXPECT_EQ(int8_t(narrow->data[0]), 0x12);
    EXPECT_EQ(int8_t(narrow->data[1]), -1);
    EXPECT_EQ(int8_t(narrow->data[2]), 0x7F);

    // Delta-coded 8-bit data: each value is the running sum.
    int8_t deltas[] = {10, -3, 5};
    ASSERT_TRUE(HVSOUND_Sample_Upload(narrow, deltas, HVSOUND_MODE_8BITS | HVSOUND_MODE_DELTA));
    EXPECT_EQ(int8_t(narrow->data[0]), 10);
    EXPECT_EQ(int8_t(narrow->data[1]), 7);
    EXPECT_EQ(int8_t(narrow->data[2]), 12);
}

TEST_F(SoundCoreSamples, LockWrapsPastTheEndIntoTwoRegions)
{
    start();
    HVSOUND_SAMPLE* s = rampSample(100); // 200 bytes
    void* p1;
    void* p2;
    int l1, l2;
    ASSERT_TRUE(HVSOUND_Sample_Lock(s, 150, 100, &p1, &p2, &l1, &l2));
    EXPECT_EQ(p1, s->data + 150);
    EXPECT_EQ(l1, 50);
    EXPECT_EQ(p2, s->data);
    EXPECT_EQ(l2, 50);
    HVSOUND_Sample_Unlock(s, p1, p2, l1, l2);
    ASSERT_TRUE(HVSOUND_Sample_Lock(s, 0, 500, &p1, &p2, &l1, &l2));
    EXPECT_EQ(l1, 200) << "cut to the byte length";
    EXPECT_EQ(l2, 0);
    HVSOUND_Sample_Unlock(s, p1, p2, l1, l2);
    EXPECT_FALSE(HVSOUND_Sample_Lock(s, 201, 10, &p1, &p2, &l1, &l2));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_EQ(p1, nullptr);
    EXPECT_EQ(l1, 0);

    // A write that runs past the end continues at the start.
    int16_t values[] = {100, 101, 102, 103};
    ASSERT_TRUE(HVSOUND_Sample_Write(s, values, 196, 8, HVSOUND_MODE_16BITS));
    EXPECT_EQ(value16(s, 98), 100);
    EXPECT_EQ(value16(s, 99), 101);
    EXPECT_EQ(value16(s, 0), 102);
    EXPECT_EQ(value16(s, 1), 103);
}

TEST_F(SoundCoreSamples, MultichannelDataIsSplitIntoPlanes)
{
    start();
    HVSOUND_SAMPLE* s = HVSOUND_Sample_AllocChannels(-1, 4, HVSOUND_MODE_16BITS | HVSOUND_MODE_MULTICHANNEL, 22050,
                                                     255, 128, 128, 3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(HVSOUND_Sample_ByteLength(s), 24);
    int16_t interleaved[12];
    for (int f = 0; f < 4; ++f)
        for (int c = 0; c < 3; ++c)
            interleaved[f * 3 + c] = int16_t(100 * c + f);
    ASSERT_TRUE(HVSOUND_Sample_Upload(s, interleaved, HVSOUND_MODE_16BITS | HVSOUND_MODE_MULTICHANNEL));
    int planeStride = 4 * 2 + HVSOUND_GUARD_BYTES;
    for (int c = 0; c < 3; ++c) {
        for (int f = 0; f < 4; ++f) {
            int16_t v;
            memcpy(&v, s->data + c * planeStride + 2 * f, 2);
            EXPECT_EQ(v, 100 * c + f) << "channel " << c << " frame " << f;
        }
    }
    // Locking again shows the interleaved frames.
    void* p1;
    void* p2;
    int l1, l2;
    ASSERT_TRUE(HVSOUND_Sample_Lock(s, 6, 6, &p1, &p2, &l1, &l2));
    int16_t frame[3];
    memcpy(frame, p1, 6);
    EXPECT_EQ(frame[0], 1);
    EXPECT_EQ(frame[1], 101);
    EXPECT_EQ(frame[2], 201);
    HVSOUND_Sample_Unlock(s, p1, p2, l1, l2);
}

TEST_F(SoundCoreSamples, LoopPointsAreCheckedAndCut)
{
    start();
    HVSOUND_SAMPLE* s = rampSample(50);
    EXPECT_FALSE(HVSOUND_Sample_SetLoopPoints(s, 10, 5));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_FALSE(HVSOUND_Sample_SetLoopPoints(s, 50, 60));
    EXPECT_FALSE(HVSOUND_Sample_SetLoopPoints(s, -1, 60));
    ASSERT_TRUE(HVSOUND_Sample_SetLoopPoints(s, 0, 50 + 100));
    EXPECT_EQ(s->loopStart, 0);
    EXPECT_EQ(s->loopLength, 50);
    ASSERT_TRUE(HVSOUND_Sample_SetLoopPoints(s, 10, 19));
    EXPECT_EQ(s->loopLength, 10);
}

TEST_F(SoundCoreSamples, LoopGuardGivesTheInterpolatorTheRightNeighbour)
{
    start();
    HVSOUND_SAMPLE* s = rampSample(50); // values 0..49, loop off
    EXPECT_EQ(value16(s, 50), 0) << "loop off: silence after the end";

    ASSERT_TRUE(HVSOUND_Sample_SetMode(s, HVSOUND_MODE_LOOP_NORMAL));
    ASSERT_TRUE(HVSOUND_Sample_SetLoopPoints(s, 10, 19));
    EXPECT_EQ(s->guardPosition, 20);
    EXPECT_EQ(value16(s, 20), 10) << "normal loop: the loop start follows the loop end";

    ASSERT_TRUE(HVSOUND_Sample_SetLoopPoints(s, 30, 39));
    EXPECT_EQ(value16(s, 20), 20) << "the old guard's value is back";
    EXPECT_EQ(value16(s, 40), 30);

    ASSERT_TRUE(HVSOUND_Sample_SetMode(s, HVSOUND_MODE_LOOP_BIDI));
    EXPECT_EQ(value16(s, 40), 39) << "bidirectional: the loop end repeats";

    ASSERT_TRUE(HVSOUND_Sample_SetMode(s, HVSOUND_MODE_LOOP_NORMAL | HVSOUND_MODE_LOOP_BIDI));
    EXPECT_EQ(s->mode & HVSOUND_MODE_LOOP_ANY, HVSOUND_MODE_LOOP_NORMAL) << "normal wins over bidirectional";

    // A lock shows the true data; its unlock writes the guard again.
    void* p1;
    void* p2;
    int l1, l2;
    ASSERT_TRUE(HVSOUND_Sample_Lock(s, 0, 100, &p1, &p2, &l1, &l2));
    EXPECT_EQ(value16(s, 40), 40);
    static_cast<int16_t*>(p1)[30] = 999;
    HVSOUND_Sample_Unlock(s, p1, p2, l1, l2);
    EXPECT_EQ(value16(s, 40), 999);

    // The guard of a loop over the whole sample sits just past the end.
    ASSERT_TRUE(HVSOUND_Sample_SetLoopPoints(s, 0, 49));
    EXPECT_EQ(value16(s, 40), 40);
    EXPECT_EQ(value16(s, 50), 0);
}

TEST_F(SoundCoreSamples, SetModeMakesPlainCallsSubjectTo3D)
{
    start();
    HVSOUND_SAMPLE* s = HVSOUND_Sample_Alloc(-1, 10, HVSOUND_MODE_2D, 22050, 255, 128, 128);
    EXPECT_NE(s->mode & HVSOUND_MODE_2D, 0u);
    HVSOUND_Sample_SetMode(s, HVSOUND_MODE_LOOP_NORMAL);
    EXPECT_EQ(s->mode & HVSOUND_MODE_2D, 0u);
    HVSOUND_Sample_SetMode(s, HVSOUND_MODE_LOOP_NORMAL | HVSOUND_MODE_2D);
    EXPECT_NE(s->mode & HVSOUND_MODE_2D, 0u);
}

TEST_F(SoundCoreSamples, DefaultsComeBackThroughAnyOutput)
{
    start();
    HVSOUND_SAMPLE* s = HVSOUND_Sample_Alloc(-1, 10, 0, 11025, 200, 64, 90);
    s->volumeVariation = 7;
    int frequency = 0, volume = 0, variation = 0;
    EXPECT_TRUE(HVSOUND_Sample_GetDefaultsEx(s, &frequency, &volume, nullptr, nullptr, nullptr, &variation, nullptr));
    EXPECT_EQ(frequency, 11025);
    EXPECT_EQ(volume, 200);
    EXPECT_EQ(variation, 7);
    EXPECT_FALSE(HVSOUND_Sample_GetDefaults(nullptr, &frequency, nullptr, nullptr, nullptr));
}

TEST_F(SoundCoreSamples, LoadReportsWhyItFailed)
{
    start();
    EXPECT_EQ(HVSOUND_Sample_Load(-1, nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    testsupport::TempDir dir;
    EXPECT_EQ(HVSOUND_Sample_Load(-1, dir.file("missing.wav").c_str(), 0, 0, 0), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_NOTFOUND);
    // Rates no channel can play, which a stream open refuses too.
    std::vector<uint8_t> rateZeroWav =
        wavtest::WavBuilder().pcm(1, 0, 16).data(std::vector<uint8_t>(2000, 0x11)).build();
    std::vector<uint8_t> rateAllOnesOgg = vorbistest::encodeTone(1, 22050, 3000);
    vorbistest::Page first = vorbistest::pagesOf(rateAllOnesOgg).at(0);
    std::fill_n(rateAllOnesOgg.begin() + long(first.at + first.header + 12), 4, uint8_t(0xFF));
    vorbistest::resealPage(rateAllOnesOgg, first.at, first.header + first.body);
    for (std::vector<uint8_t>* bytes : {&rateZeroWav, &rateAllOnesOgg}) {
        EXPECT_EQ(HVSOUND_Sample_Load(-1, bytes->data(), HVSOUND_MODE_LOADMEMORY, 0, int(bytes->size())), nullptr);
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_BAD);
    }
}

// Raw 16-bit data of `length` bytes at `offset` inside a larger block: every
// byte of the window is loaded, the last ones included, and nothing beyond.
TEST_F(SoundCoreSamples, MemoryLoadsWithAnOffsetKeepEveryByteOfTheirWindow)
{
    start();
    std::vector<int16_t> block(64);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = int16_t(1000 + i);
    const uint32_t mode = HVSOUND_MODE_LOADMEMORY | HVSOUND_MODE_LOADRAW | HVSOUND_MODE_16BITS;
    for (int offsetValues : {0, 1, 10, 63}) {
        SCOPED_TRACE(testing::Message() << "offset " << offsetValues << " values");
        int values = 64 - offsetValues - (offsetValues == 63 ? 0 : 1); // up to, or short of, the block's end
        HVSOUND_SAMPLE* s = HVSOUND_Sample_Load(-1, block.data(), mode, 2 * offsetValues, 2 * values);
        ASSERT_NE(s, nullptr) << "error " << HVSOUND_GetError();
        ASSERT_EQ(s->length, values);
        EXPECT_EQ(value16(s, 0), 1000 + offsetValues);
        EXPECT_EQ(value16(s, values - 1), 1000 + offsetValues + values - 1);
        HVSOUND_Sample_Free(s);
    }
}

} // namespace
