// The DSP chain: priority order, activation, buffers handed along, channel
// groups and freeing; the system units the software layer makes; the
// mixer descriptors and the choice of mixer at start.
#include "sound/streams/hvsound_stream.h"
#include "tests/sound/mixer/MixerTestSupport.h"

#include <string>

namespace {

using namespace mixertest;

struct Trace {
    std::string calls;
};

void* traceUnit(char name, void* buffer, void* parameter)
{
    static_cast<Trace*>(parameter)->calls += name;
    return buffer;
}

void* unitA(void*, void* buffer, int, void* p)
{
    return traceUnit('A', buffer, p);
}
void* unitB(void*, void* buffer, int, void* p)
{
    return traceUnit('B', buffer, p);
}
void* unitC(void*, void* buffer, int, void* p)
{
    return traceUnit('C', buffer, p);
}

// Hands on a buffer of its own; the next unit must get it.
float g_otherBuffer[2 * kBlock];
void* g_seenBuffer = nullptr;
void* replaceBuffer(void*, void*, int, void*)
{
    return g_otherBuffer;
}
void* seeBuffer(void*, void* buffer, int, void*)
{
    g_seenBuffer = buffer;
    return nullptr; // keeps the buffer it got
}

using SoundMixerDsp = MixerFixture;

std::vector<int> priorities()
{
    std::vector<int> list;
    for (HVSOUND_DSPUNIT* u = HVSOUND_DSP_First(); u; u = HVSOUND_DSP_Next(u))
        list.push_back(u->priority);
    return list;
}

TEST_F(SoundMixerDsp, TheSystemUnitsStandInPriorityOrder)
{
    startMixer(HVSOUND_MIXER_QUALITY_FPU, HVSOUND_INIT_ENABLE_LEVELS);
    HVSOUND_DSPUNIT* u = HVSOUND_DSP_First();
    const HVSOUND_DSPUNIT* expected[] = {HVSOUND_Software_ClearUnit(),   HVSOUND_Software_LevelsUnit(),
                                         HVSOUND_Stream_SyncUnit(),      HVSOUND_Software_ChannelsUnit(),
                                         HVSOUND_Software_MusicUnit(),   HVSOUND_Software_OutputUnit(),
                                         capture};
    for (const HVSOUND_DSPUNIT* e : expected) {
        ASSERT_EQ(u, e);
        EXPECT_TRUE(u->active);
        u = HVSOUND_DSP_Next(u);
    }
    EXPECT_EQ(u, nullptr);
    EXPECT_EQ(priorities(), (std::vector<int>{0, 0, 0, 100, 200, 1000, 5000}));
    EXPECT_EQ(HVSOUND_GetState()->defaultChannelDSP, HVSOUND_Software_ChannelsUnit());
    EXPECT_EQ(HVSOUND_Software_ChannelsUnit()->parameter, HVSOUND_Software_ChannelsUnit());
}

TEST_F(SoundMixerDsp, UnitsRunByPriorityAndEqualOnesInTheOrderMade)
{
    startMixer(HVSOUND_MIXER_QUALITY_MMXP6);
    Trace trace;
    HVSOUND_DSPUNIT* a = HVSOUND_DSP_Create(unitA, 50, &trace);
    HVSOUND_DSPUNIT* b = HVSOUND_DSP_Create(unitB, 50, &trace);
    HVSOUND_DSPUNIT* c = HVSOUND_DSP_Create(unitC, 10, &trace);
    ASSERT_TRUE(a && b && c);
    EXPECT_FALSE(a->active) << "made inactive";
    render(1);
    EXPECT_EQ(trace.calls, "");
    for (HVSOUND_DSPUNIT* u : {a, b, c})
        HVSOUND_DSP_SetActive(u, true);
    render(1);
    EXPECT_EQ(trace.calls, "CAB");

    trace.calls.clear();
    EXPECT_TRUE(HVSOUND_DSP_SetPriority(b, -5));
    EXPECT_EQ(b->priority, 0) << "negative priorities become 0";
    EXPECT_EQ(HVSOUND_DSP_Next(HVSOUND_Stream_SyncUnit()), b) << "after the units of priority 0 made earlier";
    HVSOUND_DSP_SetActive(c, false);
    render(1);
    EXPECT_EQ(trace.calls, "BA");

    EXPECT_TRUE(HVSOUND_DSP_Free(a));
    trace.calls.clear();
    render(1);
    EXPECT_EQ(trace.calls, "B");
    EXPECT_FALSE(HVSOUND_DSP_Exists(a));
    EXPECT_FALSE(HVSOUND_DSP_Free(a));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_FALSE(HVSOUND_DSP_SetPriority(a, 3));
    EXPECT_TRUE(HVSOUND_DSP_Exists(nullptr));
    EXPECT_TRUE(HVSOUND_DSP_Exists(b));
}

TEST_F(SoundMixerDsp, EachUnitGetsTheBufferTheOneBeforeReturned)
{
    startMixer(HVSOUND_MIXER_QUALITY_FPU);
    HVSOUND_DSPUNIT* swap = HVSOUND_DSP_Create(replaceBuffer, 2000, nullptr);
    HVSOUND_DSPUNIT* see = HVSOUND_DSP_Create(seeBuffer, 2001, nullptr);
    HVSOUND_DSPUNIT* after = HVSOUND_DSP_Create(seeBuffer, 2002, nullptr);
    HVSOUND_DSP_SetActive(see, true);
    render(1);
    // Start-up mixed block 0; block 1 is mixed at its own place in the buffer.
    EXPECT_EQ(g_seenBuffer, static_cast<uint8_t*>(HVSOUND_Software_MixBuffer()) + kBlock * 2 * sizeof(float));
    HVSOUND_DSP_SetActive(swap, true);
    HVSOUND_DSP_SetActive(after, true);
    g_seenBuffer = nullptr;
    render(1);
    EXPECT_EQ(g_seenBuffer, g_otherBuffer) << "a null result keeps the buffer";
    EXPECT_EQ(reinterpret_cast<uintptr_t>(HVSOUND_Software_MixBuffer()) % 16, 0u);
}

TEST_F(SoundMixerDsp, AChannelGroupMixesItsOwnChannelsAndFreeingItKeepsThemPlaying)
{
    startMixer(HVSOUND_MIXER_QUALITY_FPU);
    HVSOUND_SAMPLE* sample = constantSample(6000);
    HVSOUND_DSPUNIT* group = HVSOUND_DSP_Create(nullptr, 150, nullptr);
    ASSERT_NE(group, nullptr);
    HVSOUND_DSP_SetActive(group, true);
    int list[HVSOUND_MAX_SUBCHANNELS] = {HVSOUND_FREE};
    int handle = HVSOUND_PlaySoundEx(list, 1, sample, group, false);
    ASSERT_GE(handle, 0);
    HVSOUND_SetPan(handle, 0);
    HVSOUND_CHANNEL* c = HVSOUND_Channel_Find(handle);
    EXPECT_EQ(c->dspUnit, group);
    EXPECT_EQ(group->channels.first, c);
    EXPECT_EQ(group->parameter, group) << "the unit became a channel group";
    render(1);
    EXPECT_EQ(render(1)[0].left, 6000);

    HVSOUND_DSP_SetActive(group, false);
    EXPECT_EQ(render(1)[0].left, 0) << "an inactive group mixes nothing";

    ASSERT_TRUE(HVSOUND_DSP_Free(group));
    EXPECT_EQ(c->dspUnit, HVSOUND_Software_ChannelsUnit());
    EXPECT_EQ(HVSOUND_Software_ChannelsUnit()->channels.first, c);
    EXPECT_TRUE(HVSOUND_IsPlaying(handle));
    EXPECT_EQ(render(1)[0].left, 6000) << "the channels unit mixes it now";

    HVSOUND_StopSound(handle);
    EXPECT_EQ(c->dspUnit, nullptr);
    EXPECT_EQ(HVSOUND_Software_ChannelsUnit()->channels.first, nullptr);
    EXPECT_EQ(render(1)[0].left, 0);
}

TEST_F(SoundMixerDsp, WithoutAChainNoUnitExists)
{
    HVSOUND_DSP_FreeAll();
    auto* stray = reinterpret_cast<HVSOUND_DSPUNIT*>(&g_otherBuffer);
    EXPECT_TRUE(HVSOUND_DSP_Exists(nullptr));
    EXPECT_FALSE(HVSOUND_DSP_Exists(stray));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_EQ(HVSOUND_DSP_First(), nullptr);
    startMixer(HVSOUND_MIXER_QUALITY_FPU);
    EXPECT_FALSE(HVSOUND_DSP_Exists(stray));
    HVSOUND_Close();
    EXPECT_FALSE(HVSOUND_DSP_Exists(capture)) << "close frees the whole chain";
}

TEST_F(SoundMixerDsp, LevelsKeptPerBlockAnswerGetLevels)
{
    startMixer(HVSOUND_MIXER_QUALITY_MMXP6, HVSOUND_INIT_ENABLE_LEVELS);
    HVSOUND_CHANNEL* c = play(constantSample(-25600), 255); // -100 after the cut to 8 bits
    ASSERT_NE(c->levelRing, nullptr);
    float left = -1.0f;
    float right = -1.0f;
    c->functions.getLevels(c, &left, &right);
    EXPECT_EQ(left, 0.0f) << "nothing kept yet";
    render(4); // every block of the ring once
    c->functions.getLevels(c, &left, &right);
    EXPECT_FLOAT_EQ(left, 0.0f);
    EXPECT_FLOAT_EQ(right, 100.0f * 255.0f / 65536.0f);
}

TEST(SoundMixerDescriptors, OnlyThreeKindsCanMix)
{
    const char* names[] = {"HVSOUND_MIXER_AUTODETECT",    "HVSOUND_MIXER_BLENDMODE",
                           "HVSOUND_MIXER_MMXP5",         "HVSOUND_MIXER_MMXP6",
                           "HVSOUND_MIXER_QUALITY_AUTODETECT", "HVSOUND_MIXER_QUALITY_FPU",
                           "HVSOUND_MIXER_QUALITY_MMXP5", "HVSOUND_MIXER_QUALITY_MMXP6",
                           "HVSOUND_MIXER_MONO",          "HVSOUND_MIXER_QUALITY_MONO",
                           "HVSOUND_MIXER_C",             "HVSOUND_MIXER_QUALITY_C",
                           "HVSOUND_MIXER_QUALITY_C_CUBIC", "HVSOUND_MIXER_QUALITY_C_SPLINE"};
    for (int type = 0; type < HVSOUND_MIXER_COUNT; ++type) {
        const HVSOUND_MIXER* m = HVSOUND_Mixer_Descriptor(type);
        ASSERT_NE(m, nullptr);
        EXPECT_STREQ(m->name, names[type]);
        bool mixes = type >= HVSOUND_MIXER_QUALITY_FPU && type <= HVSOUND_MIXER_QUALITY_MMXP6;
        EXPECT_EQ(HVSOUND_Mixer_CanMix(m), mixes) << names[type];
        EXPECT_EQ(m->channels, 2);
    }
    EXPECT_EQ(HVSOUND_Mixer_Descriptor(14), nullptr);
    EXPECT_EQ(HVSOUND_Mixer_Descriptor(5)->bitsPerSample, 32);
    EXPECT_EQ(HVSOUND_Mixer_Descriptor(5)->capability, 7);
    EXPECT_EQ(HVSOUND_Mixer_Descriptor(6)->bitsPerSample, 16);
    EXPECT_EQ(HVSOUND_Mixer_Descriptor(7)->capability, 3);
    EXPECT_EQ(HVSOUND_Mixer_Descriptor(6)->mix != nullptr, true);
    EXPECT_EQ(HVSOUND_Mixer_Descriptor(6)->clear, HVSOUND_Mixer_Descriptor(7)->clear);
    EXPECT_EQ(HVSOUND_Mixer_Descriptor(6)->output, HVSOUND_Mixer_Descriptor(7)->output);
}

TEST_F(SoundMixerDsp, AStoredTypeWithoutRoutinesDoesNotStart)
{
    for (int type : {HVSOUND_MIXER_MONO, HVSOUND_MIXER_QUALITY_C, HVSOUND_MIXER_BLENDMODE}) {
        HVSOUND_GetState()->mixerType = type;
        EXPECT_FALSE(HVSOUND_Init(kRate, 8, 0)) << "type " << type;
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INIT);
        HVSOUND_Close();
    }
    HVSOUND_GetState()->mixerType = HVSOUND_MIXER_QUALITY_AUTODETECT;
    ASSERT_TRUE(HVSOUND_Init(kRate, 8, 0));
    bool cpuid = HVSOUND_CPU_HasCPUID();
    int expected = HVSOUND_Software_ChooseMixer(HVSOUND_MIXER_QUALITY_AUTODETECT, cpuid && HVSOUND_CPU_HasMMX(),
                                                cpuid && HVSOUND_CPU_IsFamily6());
    EXPECT_EQ(HVSOUND_GetMixer(), expected);
    EXPECT_TRUE(HVSOUND_Mixer_CanMix(HVSOUND_Software_Mixer()));
}

TEST_F(SoundMixerDsp, TheFloatMixerBuildsItsByteTable)
{
    startMixer(HVSOUND_MIXER_QUALITY_FPU);
    const float* table = HVSOUND_Mixer_ByteTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(table) % 16, 0u);
    EXPECT_EQ(table[127], 32767.0f);
    EXPECT_EQ(table[0], 0.0f);
    EXPECT_EQ(table[1], 258.00787353515625f);
    EXPECT_EQ(table[128], -32768.0f);
    EXPECT_EQ(table[255], -256.0f);
    HVSOUND_Close();
    EXPECT_EQ(HVSOUND_Mixer_ByteTable(), nullptr) << "freed at close";
}

TEST(SoundMixerOutput, FloatOutputRoundsToNearestEvenAndClamps)
{
    const float in[] = {40000.0f, -40000.0f, 0.5f, 1.5f, -0.5f, 2.5f, -2.5f, 32767.4f, -32768.6f, 1234.49f};
    const int16_t expected[] = {32767, -32768, 0, 2, 0, 2, -2, 32767, -32768, 1234};
    for (auto output : {HVSOUND_Mixer_Output_FPU, HVSOUND_Mixer_Output_FPU_P6}) {
        uint32_t words[5] = {};
        output(words, in, 5);
        for (int j = 0; j < 5; ++j) {
            EXPECT_EQ(int16_t(words[j] & 0xFFFF), expected[2 * j]) << "frame " << j << " left";
            EXPECT_EQ(int16_t(words[j] >> 16), expected[2 * j + 1]) << "frame " << j << " right";
        }
    }
    uint32_t untouched = 0x12345678;
    HVSOUND_Mixer_Output_FPU(&untouched, in, 0);
    HVSOUND_Mixer_Output_FPU(&untouched, nullptr, 1);
    EXPECT_EQ(untouched, 0x12345678u);
}

TEST(SoundMixerOutput, ClearRoutinesZeroExactlyTheirFrames)
{
    std::vector<float> floats(2 * 21, 1.0f);
    HVSOUND_Mixer_Clear_FPU(floats.data(), 19);
    EXPECT_EQ(floats[2 * 19 - 1], 0.0f);
    EXPECT_EQ(floats[2 * 19], 1.0f);
    std::fill(floats.begin(), floats.end(), 1.0f);
    HVSOUND_Mixer_Clear_FPU_MMX(floats.data(), 19);
    EXPECT_EQ(floats[0], 0.0f);
    EXPECT_EQ(floats[2 * 19 - 1], 0.0f);
    EXPECT_EQ(floats[2 * 19], 1.0f);
    std::vector<uint32_t> words(40, 7u);
    HVSOUND_Mixer_Clear_MMX(words.data(), 37);
    EXPECT_EQ(words[36], 0u);
    EXPECT_EQ(words[37], 7u);
    std::vector<uint32_t> copy(40, 0u);
    HVSOUND_Mixer_Output_MMX(copy.data(), words.data(), 40);
    EXPECT_EQ(copy, words);
}

} // namespace
