// S3mPlayerTest.cpp: the S3M player traced tick by tick on modules built in
// memory: tempo and speed, order and row jumps, every effect's arithmetic on
// periods, volumes and pans, and what reaches the engine channels.
#include "tests/sound/music/MusicTestSupport.h"

namespace {

using musictest::Heard;
using musictest::kClock;
using s3mtest::fx;
using s3mtest::kC4;
using s3mtest::kNone;
using s3mtest::note;
using s3mtest::S3mBuilder;

// Periods of the S3M table at C2 speed 8363: octave 4's C, D, E, G and C-5.
constexpr int kPeriodC4 = 1712;
constexpr int kPeriodD4 = 1524;
constexpr int kPeriodE4 = 1356;
constexpr int kPeriodG4 = 1140;
// Full voice volume through global volume 64 and master volume 256.
constexpr int kFullEngineVolume = 64 * 64 * 256 >> 13;

class S3mPlayerTest : public musictest::MusicFixture {
protected:
    // One instrument, one note on channel 0 in row 0 with an effect.
    S3mBuilder oneNote(int effect = kNone, int parameter = 0, int volume = kNone, int speed = 6)
    {
        S3mBuilder b;
        b.speed(speed).constantInstrument();
        b.note(0, 0, 0, kC4, 1, effect, parameter, volume);
        return b;
    }
};

TEST_F(S3mPlayerTest, Tempo125At22050HzGives441SamplesPerTickAndTicksFallInsideBlocks)
{
    HVMUSIC_SONG* song = play(oneNote());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->samplesPerTick, 441);
    HVSOUND_Update(); // 512 samples: ticks at 0 and 441
    EXPECT_EQ(song->row, 0);
    EXPECT_EQ(song->tick, 2);
    for (int i = 0; i < 5; ++i)
        HVSOUND_Update(); // 3072 samples: ticks 0 .. 6 (the last at 2646)
    EXPECT_EQ(song->row, 1);
    EXPECT_EQ(song->tick, 1);
}

TEST_F(S3mPlayerTest, TempoCommandsAboveThirtyOneSetTheBpm)
{
    struct Case {
        int parameter;
        int samplesPerTick;
    };
    for (Case c : {Case{0x1F, 441}, Case{0x20, 1723}, Case{0x7D, 441}, Case{0xFF, 216}}) {
        HVMUSIC_SONG* song = play(oneNote(fx('T'), c.parameter));
        ASSERT_NE(song, nullptr);
        ticks(song, 1);
        EXPECT_EQ(song->samplesPerTick, c.samplesPerTick) << "T" << std::hex << c.parameter;
    }
}

TEST_F(S3mPlayerTest, SpeedSetsTicksPerRowAndA00PlaysARowEveryTick)
{
    struct Case {
        int speed;
        std::vector<int> rows;
    };
    for (const Case& c : {Case{0, {0, 1, 2, 3}}, Case{1, {0, 1, 2, 3}}, Case{3, {0, 0, 0, 1, 1, 1, 2}}}) {
        HVMUSIC_SONG* song = play(oneNote(fx('A'), c.speed));
        ASSERT_NE(song, nullptr);
        EXPECT_EQ(rows(song, int(c.rows.size())), c.rows) << "A" << c.speed;
    }
}

TEST_F(S3mPlayerTest, PatternBreakGoesToTheNextOrderAtItsRowOrRowZeroPast63)
{
    struct Case {
        int parameter;
        std::vector<int> rows; // order x 100 + row
    };
    for (const Case& c : {Case{0x70, {0, 100, 101}}, Case{0x15, {0, 115, 116}}, Case{0x00, {0, 100, 101}}}) {
        S3mBuilder b;
        b.speed(1).orders({0, 1}).constantInstrument();
        b.effect(0, 0, 0, fx('C'), c.parameter).note(1, 0, 0, kC4, 1);
        HVMUSIC_SONG* song = play(b);
        ASSERT_NE(song, nullptr);
        EXPECT_EQ(rows(song, 3), c.rows) << "C" << std::hex << c.parameter;
    }
}

TEST_F(S3mPlayerTest, JumpPastTheEndFinishesTheSongWhichStopsUnlessItLoops)
{
    for (bool looping : {false, true}) {
        S3mBuilder b;
        b.speed(1).orders({0, 1}).constantInstrument();
        b.note(0, 0, 0, kC4, 1, fx('B'), 5).note(1, 0, 0, kC4, 1);
        HVMUSIC_SONG* song = play(b, looping ? HVMUSIC_MODE_LOOP_ON : HVMUSIC_MODE_LOOP_OFF);
        ASSERT_NE(song, nullptr);
        ticks(song, 1);
        EXPECT_TRUE(song->finished);
        EXPECT_EQ(song->nextOrder, 0) << "the song starts over at its first order";
        ticks(song, 1);
        EXPECT_EQ(HVMUSIC_IsPlaying(song), looping);
        if (!looping) {
            EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0) << "a stopped song gives its channels back";
        } else {
            EXPECT_EQ(song->order * 100 + song->row, 0);
        }
    }
}

TEST_F(S3mPlayerTest, ASongThatHasLoopedStopsAtTheNextRowOnceLoopingIsSwitchedOff)
{
    S3mBuilder b;
    b.speed(1).orders({0}).constantInstrument();
    b.note(0, 0, 0, kC4, 1).effect(0, 1, 0, fx('C'), 0);
    HVMUSIC_SONG* song = play(b, HVMUSIC_MODE_LOOP_ON);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(rows(song, 3), (std::vector<int>{0, 1, 0})) << "past its end and round again";
    HVMUSIC_SetLooping(song, false);
    ticks(song, 1);
    EXPECT_FALSE(HVMUSIC_IsPlaying(song)) << "row 1 is not played";
}

TEST_F(S3mPlayerTest, SkipMarkersArePassedOverAndTheSongEndsAtTheFirstEndMarker)
{
    S3mBuilder b;
    b.speed(1).orders({0, 254, 1, 255, 2}).constantInstrument();
    b.note(0, 0, 0, kC4, 1).note(1, 0, 0, kC4, 1).note(2, 0, 0, kC4, 1);
    HVMUSIC_SONG* song = play(b, HVMUSIC_MODE_LOOP_OFF);
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(song->orderCount, 2);
    std::vector<int> trace = rows(song, 129);
    EXPECT_EQ(trace[63], 63);
    EXPECT_EQ(trace[64], 100) << "order 1 follows order 0 across the skip marker";
    EXPECT_EQ(trace[127], 163);
    EXPECT_FALSE(HVMUSIC_IsPlaying(song)) << "the pattern after the end marker never plays";
}

TEST_F(S3mPlayerTest, JumpIntoASkipMarkerLandsOnTheOrderAfterIt)
{
    S3mBuilder b;
    b.speed(1).orders({0, 254, 1}).constantInstrument();
    b.note(0, 0, 0, kC4, 1, fx('B'), 1).note(1, 0, 0, kC4, 1);
    HVMUSIC_SONG* song = play(b);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(rows(song, 2), (std::vector<int>{0, 100}));
}

TEST_F(S3mPlayerTest, RetriggerChangesTheVolumeByItsModeAndRestartsTheNote)
{
    struct Case {
        int mode;
        int volume; // from 48
    };
    for (Case c : {Case{1, 47}, Case{5, 32}, Case{6, 32}, Case{7, 24}, Case{8, 48}, Case{9, 49}, Case{13, 64},
                   Case{14, 64}, Case{15, 64}}) {
        HVMUSIC_SONG* song = play(oneNote(fx('Q'), c.mode << 4 | 1, 48));
        ASSERT_NE(song, nullptr);
        ticks(song, 1);
        HVSOUND_CHANNEL* channel = HVMUSIC_Channel_Of(song, &song->channels[0].voice);
        ASSERT_NE(channel, nullptr);
        channel->playPosition = 300;
        Heard h = ticks(song, 1)[0];
        EXPECT_EQ(h.volume, c.volume) << "mode " << c.mode;
        EXPECT_EQ(channel->playPosition, 0u) << "mode " << c.mode << " restarts the note";
    }
}

TEST_F(S3mPlayerTest, PanCommandsSetThePanHeldToTheEngineRange)
{
    struct Case {
        int effect;
        int parameter;
        int pan;
    };
    for (Case c : {Case{fx('X'), 0x80, 255}, Case{fx('X'), 0x40, 128}, Case{fx('X'), 0xFF, 255}, Case{fx('X'), 0, 0},
                   Case{fx('S'), 0x8F, 240}, Case{fx('S'), 0xA0, 128}, Case{fx('S'), 0xA8, 0}}) {
        HVMUSIC_SONG* song = play(oneNote(c.effect, c.parameter));
        ASSERT_NE(song, nullptr);
        Heard h = ticks(song, 1)[0];
        EXPECT_EQ(h.pan, c.pan) << char('A' + c.effect - 1) << std::hex << c.parameter;
        EXPECT_EQ(song->channels[0].voice.pan, c.pan);
    }
}

TEST_F(S3mPlayerTest, NotesPlayAtTheClockOverTheirPeriodScaledByTheC2Speed)
{
    S3mBuilder b;
    b.constantInstrument(1000, 0xC0, 8363);
    b.constantInstrument(1000, 0xC0, 16726);
    b.note(0, 0, 0, kC4, 1).note(0, 0, 1, note(5, 0), 1).note(0, 0, 2, kC4, 2);
    HVMUSIC_SONG* song = play(b);
    ASSERT_NE(song, nullptr);
    ticks(song, 1);
    EXPECT_EQ(heard(song, 0).frequency, kClock / kPeriodC4);
    EXPECT_EQ(heard(song, 1).frequency, kClock / (kPeriodC4 / 2));
    EXPECT_EQ(heard(song, 2).frequency, kClock / (kPeriodC4 * 8363 / 16726));
    EXPECT_EQ(heard(song, 0).engineVolume, kFullEngineVolume);
}

TEST_F(S3mPlayerTest, FinetuneEightSetsTheC2SpeedTo7895ForTheNextNote)
{
    S3mBuilder b;
    b.constantInstrument();
    b.note(0, 0, 0, kC4, 1, fx('S'), 0x28).note(0, 1, 0, kC4, 1);
    HVMUSIC_SONG* song = play(b);
    ASSERT_NE(song, nullptr);
    ticks(song, 7);
    EXPECT_EQ(song->samples[0]->moduleRate, 7895);
    EXPECT_EQ(heard(song, 0).frequency, kClock / (kPeriodC4 * 8363 / 7895));
}

TEST_F(S3mPlayerTest, VolumeSlidesFineOnTickZeroNormalOnTheOthersFastOnAll)
{
    struct Case {
        int parameter;
        bool fast;
        std::vector<int> volumes; // ticks 0..5 from 32
    };
    const Case cases[] = {
        {0x04, false, {32, 28, 24, 20, 16, 12}}, {0x40, false, {32, 36, 40, 44, 48, 52}},
        {0xF2, false, {30, 30, 30, 30, 30, 30}}, {0x2F, false, {34, 34, 34, 34, 34, 34}},
        {0xFF, false, {47, 47, 47, 47, 47, 47}}, {0x0F, false, {32, 17, 2, 0, 0, 0}},
        {0x04, true, {28, 24, 20, 16, 12, 8}},   {0xF0, true, {47, 62, 64, 64, 64, 64}},
    };
    for (const Case& c : cases) {
        S3mBuilder b = oneNote(fx('D'), c.parameter, 32);
        b.flags(c.fast ? 0x40 : 0);
        HVMUSIC_SONG* song = play(b);
        ASSERT_NE(song, nullptr);
        EXPECT_EQ(volumes(ticks(song, 6)), c.volumes) << "D" << std::hex << c.parameter << (c.fast ? " fast" : "");
    }
}

TEST_F(S3mPlayerTest, TrackerVersion300SlidesFast)
{
    S3mBuilder b = oneNote(fx('D'), 0x04, 32);
    b.version(0x1300);
    HVMUSIC_SONG* song = play(b);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(volumes(ticks(song, 2)), (std::vector<int>{28, 24}));
}

TEST_F(S3mPlayerTest, PortamentoSlidesThePeriodFineOnTickZeroOtherwiseOnLaterTicks)
{
    struct Case {
        int effect;
        int parameter;
        std::vector<int> periods; // ticks 0..3
    };
    const Case cases[] = {
        {fx('E'), 0x02, {1712, 1720, 1728, 1736}}, {fx('F'), 0x02, {1712, 1704, 1696, 1688}},
        {fx('E'), 0xF1, {1716, 1716, 1716, 1716}}, {fx('E'), 0xE1, {1713, 1713, 1713, 1713}},
        {fx('F'), 0xF2, {1704, 1704, 1704, 1704}},
    };
    for (const Case& c : cases) {
        HVMUSIC_SONG* song = play(oneNote(c.effect, c.parameter));
        ASSERT_NE(song, nullptr);
        std::vector<Heard> trace = ticks(song, 4);
        EXPECT_EQ(periods(trace), c.periods) << char('A' + c.effect - 1) << std::hex << c.parameter;
        EXPECT_EQ(trace[3].frequency, kClock / c.periods[3]);
    }
}

TEST_F(S3mPlayerTest, PortamentoUpToPeriodZeroStopsTheVoice)
{
    HVMUSIC_SONG* song = play(oneNote(fx('F'), 0xDF)); // 892 a tick from 1712
    ASSERT_NE(song, nullptr);
    std::vector<Heard> trace = ticks(song, 3);
    EXPECT_TRUE(trace[1].playing);
    EXPECT_FALSE(trace[2].playing);
}

TEST_F(S3mPlayerTest, TonePortamentoSlidesToTheNewNoteWithoutRestartingIt)
{
    S3mBuilder b;
    b.constantInstrument();
    b.note(0, 0, 0, kC4, 1).note(0, 1, 0, note(4, 2), 1, fx('G'), 0x10);
    HVMUSIC_SONG* song = play(b);
    ASSERT_NE(song, nullptr);
    ticks(song, 6);
    int handle = song->channels[0].voice.channel;
    HVMUSIC_Channel_Of(song, &song->channels[0].voice)->playPosition = 400;
    std::vector<Heard> trace = ticks(song, 5);
    EXPECT_EQ(periods(trace), (std::vector<int>{kPeriodC4, 1648, 1584, kPeriodD4, kPeriodD4}));
    EXPECT_EQ(song->channels[0].voice.channel, handle);
    EXPECT_GE(HVMUSIC_Channel_Of(song, &song->channels[0].voice)->playPosition, 400u) << "not restarted";
}

TEST_F(S3mPlayerTest, VibratoFollowsTheHalfSineFromTickOne)
{
    struct Case {
        int effect;
        std::vector<int> deltas; // ticks 0..5
    };
    // Depth 15 at positions 0, 4, 8, 12, 16: sine values 0, 97, 180, 235, 255.
    for (const Case& c : {Case{fx('H'), {0, 0, 44, 84, 108, 116}}, Case{fx('U'), {0, 0, 11, 21, 27, 29}}}) {
        HVMUSIC_SONG* song = play(oneNote(c.effect, 0x4F));
        ASSERT_NE(song, nullptr);
        std::vector<int> deltas;
        for (int p : periods(ticks(song, 6)))
            deltas.push_back(p - kPeriodC4);
        EXPECT_EQ(deltas, c.deltas) << char('A' + c.effect - 1);
    }
}

TEST_F(S3mPlayerTest, VibratoAndTremoloRunTheHalfSineOverSixtyFourPositions)
{
    // An odd speed visits all 64 positions in 64 ticks: tick t (from 1)
    // uses position 7 (t - 1), taken into -32..31.
    const int kSpeed = 7;
    const int kTicks = 64;
    const uint8_t sine[32] = {0,   24,  49,  74,  97,  120, 141, 161, 180, 197, 212, 224, 235, 244, 250, 253,
                              255, 253, 250, 244, 235, 224, 212, 197, 180, 161, 141, 120, 97,  74,  49,  24};
    struct Case {
        int effect;
        int depth;
        bool onVolume;
    };
    for (const Case& c : {Case{fx('H'), 15, false}, Case{fx('R'), 8, true}}) {
        HVMUSIC_SONG* song = play(oneNote(c.effect, kSpeed << 4 | c.depth, 32, kTicks + 1));
        ASSERT_NE(song, nullptr);
        std::vector<Heard> trace = ticks(song, kTicks + 1);
        for (int t = 1; t <= kTicks; ++t) {
            int position = (kSpeed * (t - 1) + 32) % 64 - 32;
            int value = sine[position & 31];
            int change = c.onVolume ? (c.depth * value) >> 6 : ((c.depth * value) >> 5) & ~3;
            if (position < 0)
                change = -change;
            int got = c.onVolume ? trace[size_t(t)].volume - 32 : trace[size_t(t)].period - kPeriodC4;
            ASSERT_EQ(got, change) << char('A' + c.effect - 1) << " tick " << t << " position " << position;
        }
    }
}

TEST_F(S3mPlayerTest, TremoloMovesTheVolumeAndLeavesItsLastStepWhenItEnds)
{
    S3mBuilder b = oneNote(fx('R'), 0x4F, 32, 4);
    HVMUSIC_SONG* song = play(b);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(volumes(ticks(song, 4)), (std::vector<int>{32, 32, 54, 64}));
    EXPECT_EQ(ticks(song, 1)[0].volume, 64) << "the next row keeps the volume the tremolo reached";
}

TEST_F(S3mPlayerTest, TremorAlternatesItsOnAndOffTicks)
{
    HVMUSIC_SONG* song = play(oneNote(fx('I'), 0x11, kNone, 8));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(volumes(ticks(song, 8)), (std::vector<int>{64, 64, 0, 0, 64, 64, 0, 0}));
}

TEST_F(S3mPlayerTest, ArpeggioCyclesThroughTheNoteAndItsTwoIntervals)
{
    HVMUSIC_SONG* song = play(oneNote(fx('J'), 0x47));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(periods(ticks(song, 6)),
              (std::vector<int>{kPeriodC4, kPeriodE4, kPeriodG4, kPeriodC4, kPeriodE4, kPeriodG4}));
}

TEST_F(S3mPlayerTest, NoteCutSilencesAtItsTickAndNoteDelayStartsAtIts)
{
    HVMUSIC_SONG* cut = play(oneNote(fx('S'), 0xC2));
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(volumes(ticks(cut, 4)), (std::vector<int>{64, 64, 0, 0}));

    HVMUSIC_SONG* delayed = play(oneNote(fx('S'), 0xD2));
    ASSERT_NE(delayed, nullptr);
    std::vector<Heard> trace = ticks(delayed, 3);
    EXPECT_FALSE(trace[0].playing);
    EXPECT_FALSE(trace[1].playing);
    EXPECT_TRUE(trace[2].playing);
    EXPECT_EQ(trace[2].frequency, kClock / kPeriodC4);
}

TEST_F(S3mPlayerTest, SampleOffsetStartsInsideTheSampleAndPastItsEndStopsTheNote)
{
    HVMUSIC_SONG* inside = play(oneNote(fx('O'), 0x02));
    ASSERT_NE(inside, nullptr);
    ticks(inside, 1);
    HVSOUND_CHANNEL* channel = HVMUSIC_Channel_Of(inside, &inside->channels[0].voice);
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->playPosition, 512u);

    HVMUSIC_SONG* past = play(oneNote(fx('O'), 0x20)); // 8192 of 1000 samples
    ASSERT_NE(past, nullptr);
    EXPECT_FALSE(ticks(past, 1)[0].playing);
}

TEST_F(S3mPlayerTest, PatternLoopAndPatternDelayRepeatAndStretchRows)
{
    S3mBuilder loop;
    loop.speed(1).constantInstrument();
    loop.note(0, 0, 0, kC4, 1, fx('S'), 0xB0).effect(0, 1, 0, fx('S'), 0xB1);
    HVMUSIC_SONG* looped = play(loop);
    ASSERT_NE(looped, nullptr);
    EXPECT_EQ(rows(looped, 6), (std::vector<int>{0, 1, 0, 1, 2, 3}));

    HVMUSIC_SONG* stretched = play(oneNote(fx('S'), 0xE2, kNone, 3));
    ASSERT_NE(stretched, nullptr);
    EXPECT_EQ(rows(stretched, 10), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 1})) << "3 + 3 x 2 ticks";
}

TEST_F(S3mPlayerTest, EngineVolumeIsVoiceTimesGlobalTimesMasterVolume)
{
    struct Case {
        int globalCommand; // -1 none
        int master;
        int engineVolume;
    };
    for (Case c : {Case{-1, 256, 128}, Case{0x20, 256, 64}, Case{0x50, 256, 128}, Case{-1, 128, 64}, Case{-1, 0, 0}}) {
        HVMUSIC_SONG* song = play(c.globalCommand < 0 ? oneNote() : oneNote(fx('V'), c.globalCommand));
        ASSERT_NE(song, nullptr);
        HVMUSIC_SetMasterVolume(song, c.master);
        EXPECT_EQ(ticks(song, 1)[0].engineVolume, c.engineVolume) << "V" << c.globalCommand << " master " << c.master;
    }
}

TEST_F(S3mPlayerTest, AnInstrumentTheSongLacksPlaysNothing)
{
    S3mBuilder b;
    b.constantInstrument();
    b.note(0, 0, 0, kC4, 5).note(0, 1, 0, kC4, 1);
    HVMUSIC_SONG* song = play(b);
    ASSERT_NE(song, nullptr);
    EXPECT_FALSE(ticks(song, 1)[0].playing);
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
    EXPECT_TRUE(ticks(song, 6)[5].playing) << "the next note with a real instrument sounds";
}

// Keeps what the mixer wrote for each block.
void* captureLeft(void*, void* buffer, int length, void* parameter)
{
    auto* out = static_cast<std::vector<int>*>(parameter);
    std::vector<uint32_t> words(static_cast<size_t>(length));
    HVSOUND_Software_Mixer()->output(words.data(), buffer, length);
    for (uint32_t w : words)
        out->push_back(int16_t(uint16_t(w & 0xFFFF)));
    return buffer;
}

TEST_F(S3mPlayerTest, ANoteOnTickOneSoundsFromItsTickInsideTheBlock)
{
    std::vector<int> left;
    HVSOUND_DSPUNIT* capture = HVSOUND_DSP_Create(captureLeft, 5000, &left);
    HVSOUND_DSP_SetActive(capture, true);
    HVMUSIC_SONG* song = play(oneNote(fx('S'), 0xD1));
    ASSERT_NE(song, nullptr);
    HVSOUND_Update();
    ASSERT_EQ(left.size(), 512u);
    for (int i = 0; i <= 441; ++i)
        ASSERT_EQ(left[size_t(i)], 0) << "frame " << i << " comes before the note";
    for (int i = 450; i < 512; ++i)
        ASSERT_NE(left[size_t(i)], 0) << "frame " << i << " plays the note";
}

TEST_F(S3mPlayerTest, APausedSongHoldsItsPlaceAndItsChannelsStaySilent)
{
    std::vector<int> left;
    HVSOUND_DSPUNIT* capture = HVSOUND_DSP_Create(captureLeft, 5000, &left);
    HVSOUND_DSP_SetActive(capture, true);
    HVMUSIC_SONG* song = play(oneNote());
    ASSERT_NE(song, nullptr);
    HVSOUND_Update();
    ASSERT_TRUE(HVMUSIC_SetPaused(song, true));
    EXPECT_TRUE(HVMUSIC_GetPaused(song));
    int tick = song->tick;
    left.clear();
    HVSOUND_Update();
    EXPECT_EQ(song->tick, tick);
    for (int v : left)
        ASSERT_EQ(v, 0);
    HVMUSIC_SetPaused(song, false);
    HVSOUND_Update();
    EXPECT_NE(song->tick, tick);
}

} // namespace
