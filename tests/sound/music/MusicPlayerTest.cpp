// MusicPlayerTest.cpp: the music player's calls: bad songs and clamps, the
// tempo rule and C2 table, stopping, freeing and restarting songs, songs kept
// across an engine restart, samples freed under a song, timed callbacks (and
// a song freed in its own).
#include "tests/sound/music/MusicTestSupport.h"

#include "sound/core/hvsound_sample.h"

#include <chrono>
#include <thread>

namespace {

using s3mtest::fx;
using s3mtest::kC4;
using s3mtest::S3mBuilder;

class MusicPlayerTest : public musictest::MusicFixture {
protected:
    static S3mBuilder twoNotes()
    {
        S3mBuilder b;
        b.constantInstrument();
        b.note(0, 0, 0, kC4, 1).note(0, 0, 1, kC4, 1);
        return b;
    }

    // The blocks the mixer thread has mixed, which it counts under its lock.
    static int blocksMixed()
    {
        HVSOUND_MixerLockScope lock;
        return HVSOUND_GetState()->mixer.blocksMixed;
    }

    // Makes `change` again and again, without a pause, until the mixer
    // thread has mixed `blocks` more blocks (a hang's limit, at the pace the
    // machine gives the test); false when it never has.
    template <typename F>
    static bool untilMixed(int blocks, F change)
    {
        const int until = blocksMixed() + blocks;
        testsupport::MachinePace pace;
        for (int round = 0; blocksMixed() < until && pace.counted() < soundtest::kHangSeconds * 1000; ++round)
            change(round);
        return blocksMixed() >= until;
    }
};

TEST_F(MusicPlayerTest, EveryCallOnABadSongFailsWithError14)
{
    HVMUSIC_SONG* pending = HVMUSIC_LoadSongEx("whatever.s3m", 0, 0, HVSOUND_MODE_NONBLOCKING, nullptr, 0);
    ASSERT_NE(pending, nullptr) << "queued";
    HVMUSIC_SONG* bad[] = {nullptr, pending};
    for (HVMUSIC_SONG* song : bad) {
        EXPECT_FALSE(HVMUSIC_PlaySong(song));
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
        EXPECT_FALSE(HVMUSIC_StopSong(song));
        EXPECT_FALSE(HVMUSIC_SetPaused(song, true));
        EXPECT_FALSE(HVMUSIC_GetPaused(song));
        EXPECT_FALSE(HVMUSIC_SetMasterVolume(song, 10));
        EXPECT_FALSE(HVMUSIC_IsPlaying(song));
        EXPECT_EQ(HVMUSIC_SetLooping(song, true), -1);
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    }
    EXPECT_FALSE(HVMUSIC_FreeSong(nullptr));
    EXPECT_TRUE(pending->openFailed) << "output 12 opens at once: the file is missing";
    EXPECT_TRUE(HVMUSIC_FreeSong(pending));
}

TEST_F(MusicPlayerTest, MasterVolumeIsHeldTo0Through256AndLoopingAnswers1)
{
    HVMUSIC_SONG* song = load(twoNotes().build());
    ASSERT_NE(song, nullptr);
    struct Case {
        int given;
        int stored;
    };
    for (Case c : {Case{300, 256}, Case{-5, 0}, Case{256, 256}, Case{100, 100}}) {
        EXPECT_TRUE(HVMUSIC_SetMasterVolume(song, c.given));
        EXPECT_EQ(song->masterVolume, c.stored) << c.given;
    }
    EXPECT_EQ(HVMUSIC_SetLooping(song, false), 1);
    EXPECT_FALSE(song->looping);
}

TEST_F(MusicPlayerTest, TheTempoRuleRoundsSamplesPerTickAndHoldsTheBpmAtOne)
{
    HVMUSIC_SONG* song = load(twoNotes().build());
    ASSERT_NE(song, nullptr);
    struct Case {
        int bpm;
        float speedFactor;
        int storedBpm;
        int samplesPerTick;
    };
    for (Case c : {Case{125, 1.0f, 125, 441}, Case{0, 1.0f, 1, 55125}, Case{-7, 1.0f, 1, 55125},
                   Case{150, 1.0f, 150, 368}, Case{125, 2.0f, 125, 221}}) {
        song->speedFactor = c.speedFactor;
        EXPECT_TRUE(HVMUSIC_SetBPM(song, c.bpm));
        EXPECT_EQ(song->bpm, c.storedBpm);
        EXPECT_EQ(song->samplesPerTick, c.samplesPerTick) << c.bpm << " x " << c.speedFactor;
    }
}

TEST_F(MusicPlayerTest, C2FrequencyFollowsTheFinetuneTable)
{
    const int table[16] = {8363, 8413, 8463, 8529, 8581, 8651, 8723, 8757,
                           7895, 7941, 7985, 8046, 8107, 8169, 8232, 8280};
    for (int f = 0; f < 16; ++f)
        EXPECT_EQ(HVMUSIC_C2Frequency(f), table[f]) << f;
    EXPECT_EQ(HVMUSIC_C2Frequency(16), 8363);
    EXPECT_EQ(HVMUSIC_C2Frequency(-1), 8363);
}

TEST_F(MusicPlayerTest, LoadingNeedsAStartedEngine)
{
    HVSOUND_Close();
    EXPECT_EQ(HVMUSIC_LoadSong("song.s3m"), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_UNINITIALISED);
}

TEST_F(MusicPlayerTest, StopGivesTheChannelsBackAndPlayStartsOverFromTheFirstOrder)
{
    HVMUSIC_SONG* song = play(twoNotes());
    ASSERT_NE(song, nullptr);
    for (int i = 0; i < 20; ++i)
        HVSOUND_Update();
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 2);
    EXPECT_GT(song->row, 0);
    EXPECT_TRUE(HVMUSIC_StopSong(song));
    EXPECT_FALSE(HVMUSIC_IsPlaying(song));
    EXPECT_TRUE(song->finished);
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
    EXPECT_EQ(song->unit.channels.first, nullptr);

    EXPECT_TRUE(HVMUSIC_PlaySong(song));
    EXPECT_EQ(song->order, 0);
    EXPECT_EQ(song->row, 0);
    EXPECT_FALSE(song->finished);
    HVSOUND_Update();
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 2);
}

TEST_F(MusicPlayerTest, FreeingAPlayingSongStopsItAndReturnsItsMemory)
{
    HVMUSIC_SONG* song = play(twoNotes());
    ASSERT_NE(song, nullptr);
    HVSOUND_Update();
    ASSERT_EQ(HVSOUND_GetChannelsPlaying(), 2);
    forget(song);
    EXPECT_TRUE(HVMUSIC_FreeSong(song));
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
    EXPECT_EQ(HVSOUND_GetState()->songs, nullptr);
    HVSOUND_Update(); // the songs unit no longer finds it
}

TEST_F(MusicPlayerTest, MusicChannelsAreMarkedAndTheirSoundsIgnoreTheEffectsVolume)
{
    HVMUSIC_SONG* song = play(twoNotes());
    ASSERT_NE(song, nullptr);
    HVSOUND_Update();
    HVSOUND_CHANNEL* c = HVMUSIC_Channel_Of(song, &song->channels[0].voice);
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->flags & HVSOUND_CHANNEL_MUSIC);
    EXPECT_TRUE(c->flags & HVSOUND_CHANNEL_ABSOLUTE);
    HVSOUND_SetSFXMasterVolume(50);
    EXPECT_EQ(c->mixVolume, 128) << "the effects volume does not touch music";
}

TEST_F(MusicPlayerTest, AChannelTakenByAnotherSoundIsNoLongerTheSongs)
{
    HVSOUND_Close();
    HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
    ASSERT_TRUE(HVSOUND_Init(musictest::kRate, 2, 0));
    HVMUSIC_SONG* song = play(twoNotes());
    ASSERT_NE(song, nullptr);
    HVSOUND_Update();
    HVSOUND_CHANNEL* c = HVMUSIC_Channel_Of(song, &song->channels[0].voice);
    ASSERT_NE(c, nullptr);
    HVSOUND_SAMPLE* effect =
        rampSample(2000, HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO | HVSOUND_MODE_LOOP_NORMAL);
    int handle = HVSOUND_PlaySound(c->index, effect);
    ASSERT_GE(handle, 0);
    EXPECT_EQ(HVMUSIC_Channel_Of(song, &song->channels[0].voice), nullptr);
    for (int i = 0; i < 40; ++i)
        HVSOUND_Update();
    EXPECT_EQ(HVSOUND_GetCurrentSample(handle), effect) << "the song's next rows leave the effect alone";
    HVSOUND_SetSFXMasterVolume(40);
    EXPECT_EQ(c->mixVolume, 40) << "the effect follows the effects volume";
    HVMUSIC_StopSong(song);
    EXPECT_TRUE(HVSOUND_IsPlaying(handle)) << "stopping the song does not stop the effect";
}

TEST_F(MusicPlayerTest, SongsOutliveAnEngineRestartAndTakeTheNewMixRate)
{
    HVMUSIC_SONG* song = load(twoNotes().build());
    ASSERT_NE(song, nullptr);
    ASSERT_TRUE(HVMUSIC_PlaySong(song));
    HVSOUND_Update();
    HVSOUND_Close();
    EXPECT_FALSE(HVMUSIC_IsPlaying(song)) << "closing stops every song";
    ASSERT_TRUE(HVSOUND_Init(44100, 32, 0));
    EXPECT_EQ(song->samplesPerTick, 882);
    ASSERT_TRUE(HVMUSIC_PlaySong(song));
    HVSOUND_Update();
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 2);
}

TEST_F(MusicPlayerTest, ASampleFreedUnderASongIsForgottenAndPlaysNothing)
{
    HVMUSIC_SONG* song = play(twoNotes());
    ASSERT_NE(song, nullptr);
    HVSOUND_Update();
    HVSOUND_SAMPLE* sample = song->samples[0];
    HVSOUND_Sample_Free(sample);
    EXPECT_EQ(song->samples[0], nullptr);
    EXPECT_EQ(song->channels[0].voice.sample, nullptr);
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
    ASSERT_TRUE(HVMUSIC_PlaySong(song));
    for (int i = 0; i < 10; ++i)
        HVSOUND_Update();
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
}

// The free of a song's sample, held once it has stopped the sample's
// channels, and the song that plays it on the mixer thread.
HVMUSIC_SONG* g_heldSong = nullptr;
bool g_takenAgain = false;

int blocksMixedNow()
{
    HVSOUND_MixerLockScope lock;
    return HVSOUND_GetState()->mixer.blocksMixed;
}

void holdTheFree(HVSOUND_SAMPLE* sample)
{
    const int until = blocksMixedNow() + 4;
    soundtest::mustReach([&] { return blocksMixedNow() >= until; }, "the mixer thread mixes while the free waits");
    for (int i = 0; i < HVSOUND_GetState()->totalChannels; ++i)
        g_takenAgain = g_takenAgain || HVSOUND_Channel_CurrentSample(&HVSOUND_GetState()->channels[i]) == sample;
    // A free that let a note take the sample again would wait for ever for
    // that looping note to end.
    HVMUSIC_StopSong(g_heldSong);
}

TEST_F(MusicPlayerTest, ASampleFreedWhileTheMixerThreadPlaysItsSongIsNeverTakenUpAgain)
{
    HVSOUND_Close();
    platform::setClock(nullptr); // the no-sound output's play position follows real time
    start(8, HVSOUND_OUTPUT_NOSOUND);
    S3mBuilder b;
    b.constantInstrument();
    for (int row = 0; row < 64; ++row)
        b.note(0, row, 0, kC4, 1);
    g_heldSong = play(b.speed(1).tempo(255));
    ASSERT_NE(g_heldSong, nullptr);
    HVSOUND_Sample_FreeHook = holdTheFree;
    HVSOUND_Sample_Free(g_heldSong->samples[0]);
    HVSOUND_Sample_FreeHook = nullptr;
    EXPECT_FALSE(g_takenAgain) << "a note took up the sample while its free went on";
    EXPECT_EQ(g_heldSong->samples[0], nullptr);
}

TEST_F(MusicPlayerTest, SongsAreFreedAndStoppedSafelyWhileTheMixerThreadPlaysThem)
{
    HVSOUND_Close();
    platform::setClock(nullptr); // the no-sound output's play position follows real time
    start(8, HVSOUND_OUTPUT_NOSOUND);
    std::vector<uint8_t> bytes = twoNotes().speed(1).build();
    int mixedBefore = blocksMixed();
    for (int round = 0; round < 20; ++round) {
        HVMUSIC_SONG* song =
            HVMUSIC_LoadSongEx(bytes.data(), 0, int(bytes.size()), HVSOUND_MODE_LOADMEMORY, nullptr, 0);
        ASSERT_NE(song, nullptr);
        ASSERT_TRUE(HVMUSIC_PlaySong(song));
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + round % 7));
        if (round % 3 == 0)
            HVMUSIC_StopSong(song);
        if (round % 4 == 1)
            HVMUSIC_SetPaused(song, true);
        if (round % 4 == 2) {
            // The tempo changes while the mixer thread plays a few more
            // blocks of the song.
            untilMixed(3, [song](int round) { HVMUSIC_SetBPM(song, (32 + round) % 255 + 1); });
        }
        EXPECT_TRUE(HVMUSIC_FreeSong(song));
    }
    EXPECT_GT(blocksMixed(), mixedBefore) << "the mixer thread ran meanwhile";
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
}

TEST_F(MusicPlayerTest, TheEffectsVolumeChangesSafelyWhileTheMixerThreadStartsNotes)
{
    HVSOUND_Close();
    platform::setClock(nullptr); // the no-sound output's play position follows real time
    start(8, HVSOUND_OUTPUT_NOSOUND);
    S3mBuilder b;
    b.constantInstrument();
    for (int row = 0; row < 64; ++row) {
        for (int channel = 0; channel < 4; ++channel)
            b.note(0, row, channel, kC4, 1, s3mtest::kNone, 0, 10 + channel * 10);
    }
    HVMUSIC_SONG* song = play(b.speed(1).tempo(255));
    ASSERT_NE(song, nullptr);
    ASSERT_GE(HVSOUND_PlaySound(HVSOUND_FREE,
                                rampSample(2000, HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO | HVSOUND_MODE_LOOP_NORMAL)),
              0);
    // The volume moves until the mixer thread has mixed (and started notes
    // in) a few more blocks.
    EXPECT_TRUE(untilMixed(12, [](int round) { HVSOUND_SetSFXMasterVolume(round % 2 ? 40 : 255); }))
        << "the mixer thread ran meanwhile";
    HVSOUND_Software_Lock();
    for (HVSOUND_CHANNEL* c = song->unit.channels.first; c; c = c->next) {
        EXPECT_EQ(c->flags & (HVSOUND_CHANNEL_MUSIC | HVSOUND_CHANNEL_ABSOLUTE),
                  unsigned(HVSOUND_CHANNEL_MUSIC | HVSOUND_CHANNEL_ABSOLUTE));
        EXPECT_EQ(c->mixVolume, c->volume) << "a note keeps its own volume";
    }
    HVSOUND_Software_Unlock();
}

struct Fired {
    HVMUSIC_SONG* song;
    int parameter;
    int block; // the block mixed by the update that made the call
};
std::vector<Fired> g_fired;
// The block the test's current HVSOUND_Update mixes, counted from the song's start.
int g_block = 0;

void record(HVMUSIC_SONG* song, int parameter)
{
    g_fired.push_back(Fired{song, parameter, g_block});
}

TEST_F(MusicPlayerTest, RowCallbacksWaitInTheirQueueUntilTheSongClockReachesThem)
{
    struct Case {
        int rate;
        int bufferSize; // -1 the default
        int blockLength;
        int ringBlocks;
    };
    // At 48 kHz a buffer size of 120 (taken as 100 ms, the ring twice that)
    // makes 9 blocks of 1,024 samples, 192 ms: a whole number of
    // milliseconds, which leaves no margin for a clock that rounds.
    for (Case c : {Case{22050, -1, 512, 4}, Case{48000, 120, 1024, 9}}) {
        HVSOUND_Close();
        if (c.bufferSize > 0) {
            ASSERT_TRUE(HVSOUND_SetBufferSize(c.bufferSize));
        }
        ASSERT_TRUE(HVSOUND_Init(c.rate, 32, 0)) << c.rate;
        const HVSOUND_STATE* s = HVSOUND_GetState();
        ASSERT_EQ(s->mixer.blockLength, c.blockLength) << c.rate;
        ASSERT_EQ(s->mixBufferLength, c.ringBlocks * c.blockLength) << c.rate;
        S3mBuilder b = twoNotes();
        b.speed(1);
        HVMUSIC_SONG* song = load(b.build());
        ASSERT_NE(song, nullptr);
        song->rowCallback.function = record;
        song->rowCallback.every = 2;
        ASSERT_TRUE(HVMUSIC_PlaySong(song));
        g_fired.clear();
        for (g_block = 0; g_block < 60; ++g_block)
            HVSOUND_Update();
        ASSERT_GE(g_fired.size(), 20u) << c.rate;
        for (size_t k = 0; k < g_fired.size(); ++k) {
            // Speed 1 at 125 BPM: tick t plays row t of the 64 of the one
            // pattern, at sample t x rate / 50, inside the block below.
            int tick = int(k) * 2;
            int row = tick % 64;
            EXPECT_EQ(g_fired[k].parameter, row) << c.rate;
            int playedBlock = int(int64_t(tick) * c.rate / 50 / c.blockLength);
            // The call is made once the block mixed as the output starts
            // playing the row's block is mixed, the rest of the ring ahead
            // of it: its entry waits one ring less one block.
            EXPECT_EQ(g_fired[k].block, playedBlock + c.ringBlocks - 1) << c.rate << " Hz, row " << row;
        }
        HVMUSIC_FreeSong(song);
        forget(song);
    }
}

TEST_F(MusicPlayerTest, ASongFreedInItsRowCallbackGetsNoneOfItsCallsStillQueued)
{
    // At speed 1 and 255 BPM a row lasts 216 samples, so every block brings
    // two or three rows, whose calls the mix cycle makes together after it:
    // the first call frees the song while the others wait.
    S3mBuilder b = twoNotes();
    HVMUSIC_SONG* song = load(b.speed(1).tempo(255).build());
    ASSERT_NE(song, nullptr);
    forget(song);
    song->rowCallback.function = [](HVMUSIC_SONG* song, int row) {
        record(song, row);
        HVMUSIC_FreeSong(song);
    };
    song->rowCallback.every = 1;
    ASSERT_TRUE(HVMUSIC_PlaySong(song));
    g_fired.clear();
    for (int i = 0; i < 20; ++i)
        HVSOUND_Update();
    ASSERT_EQ(g_fired.size(), 1u);
    EXPECT_EQ(g_fired[0].parameter, 0);
}

TEST_F(MusicPlayerTest, TheFirstRowAndOrderFireTheirCallbacksWhenTheSongStarts)
{
    HVSOUND_Close();
    ASSERT_TRUE(HVSOUND_Init(musictest::kRate, 32, HVMUSIC_INIT_IMMEDIATE_CALLBACKS));
    S3mBuilder b = twoNotes();
    b.speed(1).orders({0, 1}).effect(0, 2, 0, fx('C'), 0);
    HVMUSIC_SONG* song = load(b.build());
    ASSERT_NE(song, nullptr);
    song->rowCallback.function = [](HVMUSIC_SONG*, int row) { g_fired.push_back(Fired{nullptr, row, 0}); };
    song->rowCallback.every = 1;
    song->orderCallback.function = [](HVMUSIC_SONG*, int order) {
        g_fired.push_back(Fired{nullptr, 100 + order, 0});
    };
    song->orderCallback.every = 1;
    for (int start = 0; start < 2; ++start) {
        ASSERT_TRUE(HVMUSIC_PlaySong(song));
        g_fired.clear();
        ticks(song, 4);
        std::vector<int> fired;
        for (const Fired& f : g_fired)
            fired.push_back(f.parameter);
        // Orders as 100 + order: order 0 and row 0 first, then rows 1 and 2,
        // the break to order 1 and its row 0.
        EXPECT_EQ(fired, (std::vector<int>{100, 0, 1, 2, 101, 0})) << "start " << start;
    }
}

TEST_F(MusicPlayerTest, WithInitFlag128CallbacksAreCalledAtOnce)
{
    HVSOUND_Close();
    ASSERT_TRUE(HVSOUND_Init(musictest::kRate, 32, HVMUSIC_INIT_IMMEDIATE_CALLBACKS));
    S3mBuilder b = twoNotes();
    b.effect(0, 1, 2, fx('Z'), 0x42);
    HVMUSIC_SONG* song = load(b.build());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->positionRing, nullptr) << "no position ring with flag 128";
    song->zxxCallback.function = record;
    song->instrumentCallbacks[0].function = record;
    ASSERT_TRUE(HVMUSIC_PlaySong(song));
    g_fired.clear();
    ticks(song, 1);
    ASSERT_EQ(g_fired.size(), 2u) << "instrument 1 on two channels";
    EXPECT_EQ(g_fired[0].parameter, 1);
    ticks(song, 6);
    ASSERT_EQ(g_fired.size(), 3u);
    EXPECT_EQ(g_fired[2].parameter, 0x42);
}

} // namespace
