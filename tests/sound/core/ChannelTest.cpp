// Channels: handles and staleness, the clamps of the setters, the software
// channel state, playing limits and chains, channel stealing, and sounds
// started on one thread while another changes and frees channels.
#include "tests/sound/core/SoundTestSupport.h"

#include <atomic>
#include <thread>
#include <vector>

namespace {

using SoundCoreChannels = soundtest::SoundFixture;

int g_frequencyCalls = 0;

bool countFrequency(HVSOUND_CHANNEL*, int)
{
    ++g_frequencyCalls;
    return true;
}

TEST_F(SoundCoreChannels, HandlesGoStaleWhenTheChannelStops)
{
    start();
    HVSOUND_SAMPLE* s = rampSample(1000);
    int handle = HVSOUND_PlaySound(HVSOUND_FREE, s);
    ASSERT_GE(handle, 0);
    int index = handle & HVSOUND_CHANNEL_INDEX_MASK;
    EXPECT_NE(handle >> 12, 0) << "a play hands out a full handle";
    EXPECT_TRUE(HVSOUND_IsPlaying(handle));
    EXPECT_TRUE(HVSOUND_StopSound(handle));
    EXPECT_FALSE(HVSOUND_SetVolume(handle, 10));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_TRUE(HVSOUND_SetVolume(index, 10)) << "the bare index still reaches the channel";
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_NONE);

    int again = HVSOUND_PlaySound(index, s);
    ASSERT_GE(again, 0);
    EXPECT_EQ(again & HVSOUND_CHANNEL_INDEX_MASK, index);
    EXPECT_NE(again, handle);
    EXPECT_FALSE(HVSOUND_IsPlaying(handle)) << "an old handle never touches the newer sound";
    EXPECT_TRUE(HVSOUND_IsPlaying(again));

    EXPECT_EQ(HVSOUND_Channel_Find(HVSOUND_GetMaxChannels() + 16), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_EQ(HVSOUND_Channel_MakeHandle(HVSOUND_SYSTEMCHANNEL), HVSOUND_SYSTEMCHANNEL);
    EXPECT_EQ(HVSOUND_Channel_MakeHandle(HVSOUND_GetMaxChannels()), -1);
}

TEST_F(SoundCoreChannels, SerialWrapsFrom0x7FFFFTo1)
{
    start();
    HVSOUND_CHANNEL* c = HVSOUND_Channel_Find(5);
    c->serial = HVSOUND_CHANNEL_SERIAL_MAX;
    EXPECT_EQ(HVSOUND_Channel_MakeHandle(5), (0x7FFFF << 12) | 5);
    EXPECT_EQ(HVSOUND_Channel_MakeHandle(5), (1 << 12) | 5);
    EXPECT_EQ(HVSOUND_Channel_Find((1 << 12) | 5), c);
    EXPECT_EQ(HVSOUND_Channel_Find((0x7FFFF << 12) | 5), nullptr);
}

TEST_F(SoundCoreChannels, VolumeAndPanAreClamped)
{
    start();
    HVSOUND_SetSFXMasterVolume(170);
    int ch = HVSOUND_PlaySound(HVSOUND_FREE, rampSample(100));
    HVSOUND_CHANNEL* c = HVSOUND_Channel_Find(ch);
    EXPECT_TRUE(HVSOUND_SetVolume(ch, 300));
    EXPECT_EQ(HVSOUND_GetVolume(ch), 255);
    EXPECT_EQ(c->mixVolume, 170) << "the driver gets master x volume / 255";
    EXPECT_TRUE(HVSOUND_SetVolume(ch, -20));
    EXPECT_EQ(HVSOUND_GetVolume(ch), 0);
    EXPECT_TRUE(HVSOUND_SetVolumeAbsolute(ch, 300));
    EXPECT_EQ(c->mixVolume, 255) << "absolute volume ignores the master";
    EXPECT_TRUE(c->flags & HVSOUND_CHANNEL_ABSOLUTE);

    EXPECT_TRUE(HVSOUND_SetPan(ch, -1));
    EXPECT_EQ(c->pan, -1);
    EXPECT_TRUE(HVSOUND_SetPan(ch, 400));
    EXPECT_EQ(c->pan, 255);
    EXPECT_TRUE(HVSOUND_SetPan(ch, -7));
    EXPECT_EQ(c->pan, 0);

    HVSOUND_GetState()->panSeparation = 0.5f;
    EXPECT_TRUE(HVSOUND_SetPan(ch, 0));
    EXPECT_EQ(c->pan, 64) << "(0 - 128) x 0.5 + 128";
    EXPECT_TRUE(HVSOUND_SetPanDirect(ch, 0));
    EXPECT_EQ(c->pan, 0);
    HVSOUND_GetState()->panSeparation = 1.0f;
}

TEST_F(SoundCoreChannels, AnUnchangedFrequencyMakesNoDriverCall)
{
    start();
    int ch = HVSOUND_PlaySound(HVSOUND_FREE, rampSample(100));
    HVSOUND_CHANNEL* c = HVSOUND_Channel_Find(ch);
    c->functions.setFrequency = countFrequency;
    g_frequencyCalls = 0;
    EXPECT_TRUE(HVSOUND_SetFrequency(ch, 22050));
    EXPECT_EQ(g_frequencyCalls, 0) << "22,050 Hz is what the sample set";
    EXPECT_TRUE(HVSOUND_SetFrequency(ch, 11025));
    EXPECT_EQ(g_frequencyCalls, 1);
    EXPECT_EQ(HVSOUND_GetFrequency(ch), 11025);
}

TEST_F(SoundCoreChannels, SoftwareFrequencyIsClampedAndSetsTheStep)
{
    start();
    int ch = HVSOUND_PlaySound(HVSOUND_FREE, rampSample(100));
    HVSOUND_CHANNEL* c = HVSOUND_Channel_Find(ch);
    EXPECT_EQ(c->step, uint64_t(1) << 32) << "22,050 Hz at a 22,050 Hz mix";
    HVSOUND_SetFrequency(ch, 11025);
    EXPECT_EQ(c->step, uint64_t(1) << 31);
    HVSOUND_SetFrequency(ch, 50);
    EXPECT_EQ(c->step, (uint64_t(100) << 32) / 22050) << "plays at 100 Hz";
    EXPECT_EQ(c->direction, HVSOUND_DIRECTION_FORWARD);
    HVSOUND_SetFrequency(ch, -50);
    EXPECT_EQ(c->step, (uint64_t(100) << 32) / 22050);
    EXPECT_EQ(c->direction, HVSOUND_DIRECTION_BACKWARD);
    HVSOUND_SetFrequency(ch, 1000000);
    EXPECT_EQ(c->step, (uint64_t(705600) << 32) / 22050) << "705,600 Hz at most";
    EXPECT_EQ(c->direction, HVSOUND_DIRECTION_FORWARD);
    HVSOUND_SetFrequency(ch, -2000000);
    EXPECT_EQ(c->step, (uint64_t(705600) << 32) / 22050);
    EXPECT_EQ(c->direction, HVSOUND_DIRECTION_BACKWARD);
}

TEST_F(SoundCoreChannels, PanLawSplitsTheVolume)
{
    start();
    int ch = HVSOUND_PlaySound(HVSOUND_FREE, rampSample(100));
    HVSOUND_CHANNEL* c = HVSOUND_Channel_Find(ch);
    EXPECT_EQ(HVSOUND_Software_PanLaw(0), 0);
    EXPECT_EQ(HVSOUND_Software_PanLaw(128), 181);
    EXPECT_EQ(HVSOUND_Software_PanLaw(255), 255);
    HVSOUND_SetVolume(ch, 255);
    HVSOUND_SetPan(ch, 128);
    // left = P[255 - pan], right = P[pan], but the centre gives both sides
    // P[128] = 181 (P[127] would be 180).
    EXPECT_EQ(c->leftVolume, 181);
    EXPECT_EQ(c->rightVolume, 181);
    EXPECT_EQ(c->meanVolume, 181);
    HVSOUND_SetPan(ch, 127);
    EXPECT_EQ(c->leftVolume, 181) << "P[128] beside the centre";
    EXPECT_EQ(c->rightVolume, 180);
    HVSOUND_SetPan(ch, 129);
    EXPECT_EQ(c->leftVolume, 179);
    EXPECT_EQ(c->rightVolume, 181);
    HVSOUND_SetPan(ch, 0);
    EXPECT_EQ(c->leftVolume, 255);
    EXPECT_EQ(c->rightVolume, 0);
    EXPECT_EQ(c->meanVolume, 127);
    HVSOUND_SetVolume(ch, 100);
    HVSOUND_SetPan(ch, 128);
    EXPECT_EQ(c->leftVolume, 181 * 100 / 255);
    EXPECT_EQ(c->rightVolume, 181 * 100 / 255);
    HVSOUND_SetPan(ch, -1);
    EXPECT_EQ(c->leftVolume, 100) << "no pan law for stereo samples";
    EXPECT_EQ(c->rightVolume, 100);
}

TEST_F(SoundCoreChannels, PositionsStayInsideTheSample)
{
    start();
    HVSOUND_SAMPLE* s = rampSample(100);
    int ch = HVSOUND_PlaySound(HVSOUND_FREE, s);
    EXPECT_TRUE(HVSOUND_SetCurrentPosition(ch, 99));
    EXPECT_EQ(HVSOUND_GetCurrentPosition(ch), 99);
    EXPECT_FALSE(HVSOUND_SetCurrentPosition(ch, 100));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_EQ(HVSOUND_GetCurrentPosition(ch), 99);
    HVSOUND_StopSound(ch);
    EXPECT_EQ(HVSOUND_GetCurrentPosition(ch & HVSOUND_CHANNEL_INDEX_MASK), 0);
}

TEST_F(SoundCoreChannels, PauseFollowsTheRecordAndPlaysCanStartPaused)
{
    start();
    HVSOUND_SAMPLE* s = rampSample(100);
    int ch = HVSOUND_PlaySound(HVSOUND_FREE, s);
    EXPECT_FALSE(HVSOUND_GetPaused(ch));
    EXPECT_TRUE(HVSOUND_SetPaused(ch, true));
    EXPECT_TRUE(HVSOUND_GetPaused(ch));
    int list[HVSOUND_MAX_SUBCHANNELS] = {HVSOUND_FREE};
    int paused = HVSOUND_PlaySoundEx(list, 1, s, nullptr, true);
    ASSERT_GE(paused, 0);
    EXPECT_TRUE(HVSOUND_GetPaused(paused));
    EXPECT_FALSE(HVSOUND_GetMute(paused));
}

TEST_F(SoundCoreChannels, BadArgumentsToPlayFailWithMinusOne)
{
    start();
    HVSOUND_SAMPLE* s = rampSample(100);
    EXPECT_EQ(HVSOUND_PlaySound(HVSOUND_FREE, nullptr), -1);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    int list[HVSOUND_MAX_SUBCHANNELS] = {HVSOUND_FREE};
    EXPECT_EQ(HVSOUND_PlaySoundEx(list, 16, s, nullptr, false), -1);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    // A unit that is not in the DSP chain: -1, never 0 (a valid channel).
    auto* stray = reinterpret_cast<HVSOUND_DSPUNIT*>(&list);
    EXPECT_EQ(HVSOUND_PlaySoundEx(list, 1, s, stray, false), -1);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_EQ(HVSOUND_PlaySound(HVSOUND_GetMaxChannels(), s), -1);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
}

TEST_F(SoundCoreChannels, PlaybackLimitAndStopSameKeepCopiesDown)
{
    start();
    HVSOUND_SAMPLE* limited = rampSample(100);
    limited->playbackLimit = 2;
    EXPECT_GE(HVSOUND_PlaySound(HVSOUND_FREE, limited), 0);
    EXPECT_GE(HVSOUND_PlaySound(HVSOUND_FREE, limited), 0);
    EXPECT_EQ(HVSOUND_PlaySound(HVSOUND_FREE, limited), -1);
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 2);

    HVSOUND_SAMPLE* single =
        rampSample(100, HVSOUND_MODE_16BITS | HVSOUND_MODE_LOOP_NORMAL | HVSOUND_MODE_STOPSAME);
    int first = HVSOUND_PlaySound(HVSOUND_FREE, single);
    int second = HVSOUND_PlaySound(HVSOUND_FREE, single);
    ASSERT_GE(second, 0);
    EXPECT_FALSE(HVSOUND_IsPlaying(first)) << "the earlier play was stopped";
    EXPECT_TRUE(HVSOUND_IsPlaying(second));
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 3);
}

TEST_F(SoundCoreChannels, MultichannelSamplesPlayOnAChain)
{
    start();
    HVSOUND_SAMPLE* s = HVSOUND_Sample_AllocChannels(-1, 64, HVSOUND_MODE_16BITS | HVSOUND_MODE_MULTICHANNEL, 22050,
                                                     255, 128, 128, 3);
    int handle = HVSOUND_PlaySound(HVSOUND_FREE, s);
    ASSERT_GE(handle, 0);
    HVSOUND_CHANNEL* head = HVSOUND_Channel_Find(handle);
    ASSERT_NE(head->link, nullptr);
    ASSERT_NE(head->link->link, nullptr);
    EXPECT_EQ(head->link->link->link, nullptr);
    EXPECT_EQ(head->link->subChannel, 1);
    int planeStride = 64 * 2 + HVSOUND_GUARD_BYTES;
    EXPECT_EQ(head->link->dataPointer, s->data + planeStride);
    EXPECT_EQ(head->link->link->dataPointer, s->data + 2 * planeStride);
    EXPECT_EQ(head->link->flags & HVSOUND_CHANNEL_RESERVED, 0u) << "sub-channels are free again once built";
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 3);

    HVSOUND_SetPaused(handle, true);
    EXPECT_TRUE(head->link->link->flags & HVSOUND_CHANNEL_PAUSED) << "pause follows the chain";
    HVSOUND_StopSound(handle);
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
    EXPECT_EQ(head->link, nullptr);
}

// Fills every channel with the sample at `priority`, channel i at volume
// 100 + i, except `quiet` at volume 20.
std::vector<int> fillChannels(HVSOUND_SAMPLE* s, int priority, int quiet)
{
    std::vector<int> handles;
    s->priority = priority;
    for (int i = 0; i < HVSOUND_GetMaxChannels(); ++i) {
        int h = HVSOUND_PlaySound(HVSOUND_FREE, s);
        HVSOUND_SetVolume(h, h % 4096 == quiet ? 20 : 100 + i);
        handles.push_back(h);
    }
    return handles;
}

TEST_F(SoundCoreChannels, TheQuietestChannelOfTheLowestPriorityIsStolen)
{
    start();
    HVSOUND_SAMPLE* s = rampSample(100);
    std::vector<int> handles = fillChannels(s, 128, 17);
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 32);

    HVSOUND_SAMPLE* next = rampSample(100);
    next->priority = 127;
    EXPECT_EQ(HVSOUND_PlaySound(HVSOUND_FREE, next), -1) << "a less important sound steals nothing";
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_CHANNEL_ALLOC);

    next->priority = 128;
    int stolen = HVSOUND_PlaySound(HVSOUND_FREE, next);
    ASSERT_GE(stolen, 0);
    EXPECT_EQ(stolen & HVSOUND_CHANNEL_INDEX_MASK, 17);
    EXPECT_FALSE(HVSOUND_IsPlaying(handles[17])) << "the old handle is stale";
    EXPECT_EQ(HVSOUND_GetCurrentSample(stolen), next);

    // A lower priority goes first whatever its volume.
    HVSOUND_SetPriority(handles[3], 10);
    int again = HVSOUND_PlaySound(HVSOUND_FREE, next);
    EXPECT_EQ(again & HVSOUND_CHANNEL_INDEX_MASK, 3);
}

TEST_F(SoundCoreChannels, PriorityOf256IsNeverStolen)
{
    start(4);
    HVSOUND_SAMPLE* s = rampSample(100);
    fillChannels(s, 256, -1);
    HVSOUND_SAMPLE* next = rampSample(100);
    next->priority = 10000;
    EXPECT_EQ(HVSOUND_PlaySound(HVSOUND_FREE, next), -1);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_CHANNEL_ALLOC);
}

TEST_F(SoundCoreChannels, ReservedChannelsAreSkippedAndTheSearchMovesOn)
{
    start(4);
    HVSOUND_SetReserved(0, true);
    HVSOUND_SAMPLE* s = rampSample(100);
    int a = HVSOUND_PlaySound(HVSOUND_FREE, s);
    EXPECT_EQ(a & HVSOUND_CHANNEL_INDEX_MASK, 1);
    HVSOUND_StopSound(a);
    int b = HVSOUND_PlaySound(HVSOUND_FREE, s);
    EXPECT_EQ(b & HVSOUND_CHANNEL_INDEX_MASK, 2) << "the search starts after the last channel taken";
}

TEST_F(SoundCoreChannels, VariationsStayInRange)
{
    start();
    HVSOUND_SAMPLE* s = rampSample(100);
    s->frequency = 150;
    s->frequencyVariation = 100;
    s->volume = 250;
    s->volumeVariation = 20;
    s->pan = 5;
    s->panVariation = 20;
    bool sawLowFrequency = false;
    for (int i = 0; i < 200; ++i) {
        int ch = HVSOUND_PlaySound(HVSOUND_FREE, s);
        ASSERT_GE(ch, 0);
        HVSOUND_CHANNEL* c = HVSOUND_Channel_Find(ch);
        EXPECT_GE(c->frequency, 101);
        EXPECT_LE(c->frequency, 249);
        sawLowFrequency = sawLowFrequency || c->frequency == 101;
        EXPECT_GE(c->volume, 230);
        EXPECT_LE(c->volume, 255);
        EXPECT_GE(c->pan, 0);
        EXPECT_LE(c->pan, 24);
        HVSOUND_StopSound(ch);
    }
    EXPECT_TRUE(sawLowFrequency) << "offsets below -49 are held at 101 Hz";
}

TEST_F(SoundCoreChannels, AllChannelsAnswerTogether)
{
    start(8);
    HVSOUND_SAMPLE* s = rampSample(100);
    for (int i = 0; i < 5; ++i)
        HVSOUND_PlaySound(HVSOUND_FREE, s);
    EXPECT_TRUE(HVSOUND_SetVolume(HVSOUND_ALL, 77));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(HVSOUND_GetVolume(i), 77);
    EXPECT_TRUE(HVSOUND_StopSound(HVSOUND_ALL));
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
    EXPECT_TRUE(HVSOUND_IsPlaying(HVSOUND_SYSTEMCHANNEL)) << "-3 leaves the system channel alone";
}

// Run under ThreadSanitizer: a play's search and set-up of a channel, and
// the count of the channels playing, meet the other thread's changes of
// every channel and frees under the mixer lock (which an output driven by
// update calls does without): on the software channels of the no-sound
// output, and on DirectSound's hardware voices as well, whose state the
// count reads from the channel records.
TEST_F(SoundCoreChannels, SoundsStartSafelyWhileAnotherThreadChangesAndFreesChannels)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    for (int output : {HVSOUND_OUTPUT_NOSOUND, HVSOUND_OUTPUT_DSOUND}) {
        SCOPED_TRACE(output);
        // The device plays in real time.
        platform::setClock(output == HVSOUND_OUTPUT_DSOUND ? nullptr : &clock);
        start(4, output);
        HVSOUND_SAMPLE* kept = rampSample(400, HVSOUND_MODE_16BITS | HVSOUND_MODE_LOOP_NORMAL);
        std::atomic<bool> done{false};
        std::thread starter([kept, &done] {
            for (int i = 0; i < 2000; ++i) {
                HVSOUND_PlaySound(HVSOUND_FREE, kept);
                HVSOUND_GetChannelsPlaying();
            }
            done = true;
        });
        for (int round = 0; !done; ++round) {
            HVSOUND_SetVolume(HVSOUND_ALL, round % 256);
            HVSOUND_SAMPLE* brief = rampSample(100);
            HVSOUND_PlaySound(HVSOUND_FREE, brief);
            HVSOUND_Sample_Free(brief);
        }
        starter.join();
        for (int i = 0; i < HVSOUND_GetMaxChannels(); ++i) {
            HVSOUND_SAMPLE* playing = HVSOUND_GetCurrentSample(i);
            EXPECT_TRUE(!playing || playing == kept) << "channel " << i << " names a freed sample";
        }
        HVSOUND_Close();
    }
}

} // namespace
