// sound_software.cpp: the software layer's set-up (mixer choice, ramp
// constant, block and ring sizes, mix buffer, mixer lock, system DSP units),
// the mixer thread, and the software channel functions with their frequency
// clamps, pan law, channel lists and levels.
#include "sound/mixer/sound_software.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_3d.h"
#include "sound/core/hvsound_channel.h"
#include "sound/mixer/hvsound_dsp.h"
#include "sound/core/hvsound_hooks.h"
#include "sound/core/hvsound_sample.h"
#include "sound/mixer/mixer_fpui.h"

#include <atomic>
#include <cmath>

namespace {

// Blocks are whole multiples of this many samples.
constexpr int kBlockGranule = 256;
// Levels are peaks of |8-bit value x volume|, reported as fractions of this.
constexpr float kLevelScale = 1.0f / 65536.0f;
// How long the mixer thread rests between looks at the play position, and
// how long a stop waits for it to finish before joining it anyway.
constexpr DWORD kMixerPeriodMs = 10;
constexpr DWORD kMixerStopWaitMs = 1000;

HVSOUND_STATE& state()
{
    return *HVSOUND_GetState();
}

using MixerLock = HVSOUND_MixerLockScope;

struct SystemUnits {
    HVSOUND_DSPUNIT* clear;
    HVSOUND_DSPUNIT* channels;
    HVSOUND_DSPUNIT* music;
    HVSOUND_DSPUNIT* output;
    HVSOUND_DSPUNIT* levels;
};

const HVSOUND_MIXER* g_mixer = nullptr;
void* g_mixBufferBlock = nullptr;
void* g_mixBuffer = nullptr;
SystemUnits g_units = {};
HVSOUND_CHANNELLIST g_idle = {};
HVSOUND_SOFTWARE_STATE* g_states = nullptr;
int g_stateCount = 0;
HVSOUND_SOFTWARE_STATE g_scratchState = {};

// The mixer thread.
HANDLE g_thread = nullptr;
// Set on the mixer thread only: its blocks follow the output's play cursor.
thread_local bool t_followsCursor = false;
HANDLE g_wake = nullptr; // set to end a rest early at stop
std::atomic<bool> g_exit{false};
std::atomic<bool> g_finished{false};

int ringBlocks()
{
    int block = state().mixer.blockLength;
    return block > 0 ? state().mixBufferLength / block : 0;
}

// Recomputes the left, right and mean volume from the volume and pan the
// channel functions last got.
void computeVolumes(HVSOUND_CHANNEL* channel)
{
    int volume = (channel->flags & HVSOUND_CHANNEL_MUTED) ? 0 : channel->mixVolume;
    int pan = channel->mixPan;
    if (pan == -1) {
        channel->leftVolume = channel->rightVolume = channel->meanVolume = volume;
        return;
    }
    pan = pan < 0 ? 0 : pan > 255 ? 255 : pan;
    int scaled = channel->secondVolume * volume / 255;
    // Pan 128 is the centre: both sides get P[128], where P[255 - 128] would
    // leave the left side one step quieter.
    int leftIndex = pan == 128 ? 128 : 255 - pan;
    channel->leftVolume = HVSOUND_Software_PanLaw(leftIndex) * scaled / 255;
    channel->rightVolume = HVSOUND_Software_PanLaw(pan) * scaled / 255;
    channel->meanVolume = (channel->leftVolume + channel->rightVolume) >> 1;
}

// Applies a frequency in Hz (after the frequency scale): its sign chooses
// the direction, its magnitude is held to the software range.
void applyFrequency(HVSOUND_CHANNEL* channel, int64_t f)
{
    if (f < -HVSOUND_SOFTWARE_MAX_FREQUENCY)
        f = -HVSOUND_SOFTWARE_MAX_FREQUENCY;
    int direction = HVSOUND_DIRECTION_FORWARD;
    if (f < 0) {
        direction = HVSOUND_DIRECTION_BACKWARD;
        f = -f;
    }
    if (f < HVSOUND_SOFTWARE_MIN_FREQUENCY)
        f = HVSOUND_SOFTWARE_MIN_FREQUENCY;
    if (f > HVSOUND_SOFTWARE_MAX_FREQUENCY)
        f = HVSOUND_SOFTWARE_MAX_FREQUENCY;
    uint64_t step = (uint64_t(f) << 32) / uint64_t(state().mixRate);
    MixerLock lock;
    channel->direction = direction;
    channel->step = step;
}

void clearRamp(HVSOUND_CHANNEL* c)
{
    c->rampLeft = c->rampRight = c->rampCount = 0;
    HVSOUND_SOFTWARE_STATE* state = HVSOUND_Software_State(c);
    state->lastTargetLeft = state->lastTargetRight = 0;
    state->stepLeft = state->stepRight = 0.0f;
    state->stepLeftInt = state->stepRightInt = 0;
}

// Copies the flags the mix routines use (the channel calls change the flag
// word on the caller's thread; this runs under the mixer lock).
void copyFlags(HVSOUND_CHANNEL* c)
{
    HVSOUND_SOFTWARE_STATE* state = HVSOUND_Software_State(c);
    state->paused = (c->flags & HVSOUND_CHANNEL_PAUSED) != 0;
    state->invertLeft = (c->flags & HVSOUND_CHANNEL_INVERT_LEFT) != 0;
}

// Software channel functions.

bool softwareInitChannel(HVSOUND_CHANNEL* channel)
{
    MixerLock lock;
    HVSOUND_FREE(channel->levelRing);
    channel->levelRing = nullptr;
    if (!(state().initFlags & HVSOUND_INIT_ENABLE_LEVELS))
        return true;
    int blocks = ringBlocks();
    channel->levelRing = static_cast<int32_t*>(HVSOUND_CALLOC(2 * 4 * (blocks > 0 ? blocks : 1)));
    if (!channel->levelRing) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    return true;
}

bool softwareCloseChannel(HVSOUND_CHANNEL* channel)
{
    MixerLock lock;
    HVSOUND_FREE(channel->levelRing);
    channel->levelRing = nullptr;
    return true;
}

// A new sample on the channel plays from its start: a channel taken over
// while it played does not carry the old sound's position into the new one.
// Until start gives it the new sample's data the channel has none, so the
// mixer never reads the new sample's loop from the old sample's data (which
// may be gone: a one-shot channel that ended stays on its list).
bool softwareSetSample(HVSOUND_CHANNEL* channel, HVSOUND_SAMPLE* sample)
{
    MixerLock lock;
    channel->currentSample = sample;
    channel->dataPointer = nullptr;
    if (sample) {
        channel->playPosition = 0;
        channel->fraction = 0;
    }
    return true;
}

bool softwareStart(HVSOUND_CHANNEL* channel, HVSOUND_DSPUNIT* unit, HVSOUND_SAMPLE* sample)
{
    MixerLock lock;
    if (!unit) {
        unit = state().defaultChannelDSP;
    } else if (!HVSOUND_Software_IsSystemUnit(unit)) {
        // A unit of the caller's becomes a channel group: it mixes its own
        // channels wherever it stands in the chain.
        unit->callback = HVSOUND_Software_MixChannels;
        unit->parameter = unit;
    }
    int width = (sample->mode & HVSOUND_MODE_16BITS) ? 2 : 1;
    int planeBytes = sample->length * width;
    int64_t loopEnd = int64_t(sample->loopStart) + sample->loopLength;
    int plane = 0;
    for (HVSOUND_CHANNEL* c = channel; c; c = c->link, ++plane) {
        c->dataPointer = sample->data ? sample->data + size_t(plane) * size_t(planeBytes + HVSOUND_GUARD_BYTES)
                                      : nullptr;
        if (int64_t(c->playPosition) >= loopEnd)
            c->playPosition = 0;
        c->fraction = 0;
        c->direction = HVSOUND_DIRECTION_FORWARD;
        clearRamp(c);
        HVSOUND_Software_MoveChannel(c, unit);
    }
    return true;
}

bool softwareStop(HVSOUND_CHANNEL* channel)
{
    MixerLock lock;
    HVSOUND_Software_MoveChannel(channel, nullptr);
    channel->currentSample = nullptr;
    channel->playPosition = 0;
    channel->fraction = 0;
    return true;
}

bool softwareSetFrequency(HVSOUND_CHANNEL* channel, int hz)
{
    applyFrequency(channel, int64_t(double(hz) * double(channel->frequencyScale)));
    return true;
}

bool softwareSetFrequencyFloat(HVSOUND_CHANNEL* channel, float hz)
{
    float f = hz * channel->frequencyScale;
    if (!(f > -float(HVSOUND_SOFTWARE_MAX_FREQUENCY)))
        f = -float(HVSOUND_SOFTWARE_MAX_FREQUENCY);
    if (f > float(HVSOUND_SOFTWARE_MAX_FREQUENCY))
        f = float(HVSOUND_SOFTWARE_MAX_FREQUENCY);
    applyFrequency(channel, int64_t(f));
    return true;
}

bool softwareSetVolume(HVSOUND_CHANNEL* channel, int volume)
{
    MixerLock lock;
    channel->mixVolume = volume;
    computeVolumes(channel);
    copyFlags(channel);
    return true;
}

bool softwareSetPan(HVSOUND_CHANNEL* channel, int pan, int /*flag*/)
{
    MixerLock lock;
    channel->mixPan = pan;
    computeVolumes(channel);
    copyFlags(channel);
    return true;
}

bool softwareSetPaused(HVSOUND_CHANNEL* channel, bool paused)
{
    MixerLock lock;
    copyFlags(channel);
    HVSOUND_Software_State(channel)->paused = paused;
    return true;
}

bool softwareSetPosition(HVSOUND_CHANNEL* channel, int samples)
{
    MixerLock lock;
    HVSOUND_SAMPLE* sample = channel->currentSample;
    if (samples < 0 || !sample || samples >= sample->length) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    channel->playPosition = uint32_t(samples);
    channel->fraction = 0;
    return true;
}

int softwareGetPosition(HVSOUND_CHANNEL* channel)
{
    MixerLock lock;
    return int(channel->playPosition);
}

float levelOf(int32_t peak)
{
    float v = float(peak) * kLevelScale;
    return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

// With levels kept (init flag 0x8) the value the levels unit stored for the
// block after the current one; otherwise a measurement of one block now.
bool softwareGetLevels(HVSOUND_CHANNEL* channel, float* left, float* right)
{
    int32_t peakLeft = 0;
    int32_t peakRight = 0;
    {
        MixerLock lock;
        int blocks = ringBlocks();
        if ((state().initFlags & HVSOUND_INIT_ENABLE_LEVELS) && channel->levelRing && blocks > 0) {
            int index = (state().mixer.currentBlock + 1) % blocks;
            peakLeft = channel->levelRing[2 * index];
            peakRight = channel->levelRing[2 * index + 1];
        } else {
            HVSOUND_Mixer_MeasureLevels(channel, state().mixer.blockLength, &peakLeft, &peakRight);
        }
    }
    if (left)
        *left = levelOf(peakLeft);
    if (right)
        *right = levelOf(peakRight);
    return true;
}

bool softwareIsPlaying(HVSOUND_CHANNEL* channel)
{
    MixerLock lock;
    return channel->currentSample != nullptr;
}

// Playing channels get their 3D update from HVSOUND_Update; a paused one
// would otherwise keep its old place until it plays again.
bool softwareUpdate3D(HVSOUND_CHANNEL* channel)
{
    if (channel->flags & HVSOUND_CHANNEL_PAUSED)
        HVSOUND_3D_Update(channel, true);
    return true;
}

// System DSP units. The mix cycle calls them under the mixer lock.

void* clearUnit(void* /*blockStart*/, void* buffer, int length, void* /*parameter*/)
{
    if (g_mixer)
        g_mixer->clear(buffer, length);
    return buffer;
}

// The output's play position in the primary buffer, in frames, reduced into
// the ring whatever its sign.
int playPosition(HVSOUND_CHANNEL* system, int ringLength)
{
    int64_t position = system->functions.getPosition(system);
    position %= ringLength;
    if (position < 0)
        position += ringLength;
    return int(position);
}

// The block of the primary buffer the output plays now: always one of the
// ring's.
int playingBlock(HVSOUND_CHANNEL* system, int ringLength, int blockLength)
{
    return playPosition(system, ringLength) / blockLength;
}

// Whether the output may be reading `block` now: the block its play cursor
// is in, or the next one when the request the device takes next reaches
// into it. A device takes the ring a request at a time, at most half a
// block (the SDL output asks for at most 12 ms, half a block at every mix
// rate).
bool outputMayRead(HVSOUND_CHANNEL* system, int block, int ringLength, int blockLength)
{
    int cursor = playPosition(system, ringLength);
    int reach = (cursor + blockLength / 2 - 1) % ringLength;
    return block == cursor / blockLength || block == reach / blockLength;
}

// Converts the mixed block into the primary buffer at the current block.
void* outputUnit(void* /*blockStart*/, void* buffer, int length, void* /*parameter*/)
{
    HVSOUND_STATE& s = state();
    if (!g_mixer || !s.primaryBuffer)
        return buffer;
    int channels = g_mixer->channels;
    int offset = s.mixer.blockLength * s.mixer.currentBlock * channels * 2;
    int bytes = channels * length * 2;
    void* p[2] = {nullptr, nullptr};
    int len[2] = {0, 0};
    // The block is locked before the cursor is looked at: the device plays
    // silence for locked bytes rather than read them, so what the cursor
    // says still holds when the copy is done, however long the thread is
    // held up in between. The handover is that one step.
    if (!HVSOUND_Sample_Lock(s.primaryBuffer, offset, bytes, &p[0], &p[1], &len[0], &len[1]))
        return buffer;
    // A block the output may be reading is left as it is: the block of a
    // cycle that ran so long that the cursor came round to it, or one the
    // device's next request reaches. The unlock then says nothing was written.
    HVSOUND_CHANNEL* system = t_followsCursor ? s.systemChannel : nullptr;
    if (system && outputMayRead(system, s.mixer.currentBlock, s.mixBufferLength, s.mixer.blockLength)) {
        HVSOUND_Sample_Unlock(s.primaryBuffer, p[0], p[1], 0, 0);
        return buffer;
    }
    int frameBytes = channels * 2;
    int mixFrameBytes = channels * g_mixer->bitsPerSample / 8;
    int done = 0;
    for (int r = 0; r < 2; ++r) {
        int frames = len[r] / frameBytes;
        if (!p[r] || frames <= 0)
            continue;
        g_mixer->output(p[r], static_cast<uint8_t*>(buffer) + size_t(done) * size_t(mixFrameBytes), frames);
        done += frames;
    }
    HVSOUND_Sample_Unlock(s.primaryBuffer, p[0], p[1], len[0], len[1]);
    return buffer;
}

// Keeps the levels of every software channel for the block being mixed.
void* levelsUnit(void* /*blockStart*/, void* buffer, int length, void* /*parameter*/)
{
    HVSOUND_STATE& s = state();
    int blocks = ringBlocks();
    if (!(s.initFlags & HVSOUND_INIT_ENABLE_LEVELS) || !s.channels || blocks <= 0)
        return buffer;
    int index = s.mixer.currentBlock % blocks;
    for (int i = 0; i < s.softwareChannels && i < s.totalChannels; ++i) {
        HVSOUND_CHANNEL* c = &s.channels[i];
        if (!c->levelRing)
            continue;
        // An idle channel (on no unit's list) is silent; its record is left
        // to the thread that stopped it.
        if (c->dspUnit) {
            HVSOUND_Mixer_MeasureLevels(c, length, &c->levelRing[2 * index], &c->levelRing[2 * index + 1]);
        } else {
            c->levelRing[2 * index] = 0;
            c->levelRing[2 * index + 1] = 0;
        }
    }
    return buffer;
}

bool makeSystemUnit(HVSOUND_DSPUNIT*& unit, HVSOUND_DSPCALLBACK callback, int priority, bool selfParameter)
{
    unit = HVSOUND_DSP_Create(callback, priority, nullptr);
    if (!unit)
        return false;
    if (selfParameter)
        unit->parameter = unit;
    HVSOUND_DSP_SetActive(unit, true);
    return true;
}

// The mixer thread's rest: ends early when a stop is asked for.
void rest(DWORD milliseconds)
{
    if (g_wake)
        WaitForSingleObject(g_wake, milliseconds);
    else
        HVSOUND_Sleep(int(milliseconds));
}

DWORD WINAPI mixerThreadMain(LPVOID)
{
    HVSOUND_STATE& s = state();
    g_finished = false;
    t_followsCursor = true;
    const int blockLength = s.mixer.blockLength;
    const int ringLength = s.mixBufferLength;
    HVSOUND_CHANNEL* system = s.systemChannel;
    if (!s.primaryBuffer || !system || blockLength <= 0 || ringLength < blockLength) {
        while (!g_exit.load())
            rest(1);
        g_finished = true;
        return 0;
    }
    const int blocks = ringLength / blockLength;
    // Every block but the one playing is mixed at once, starting with the
    // one the output reaches next; from then on each block is mixed again
    // as soon as the play cursor has left it.
    int current = (playingBlock(system, ringLength, blockLength) + 1) % blocks;
    {
        MixerLock lock;
        s.mixer.currentBlock = current;
        s.mixer.blocksMixed = 0;
    }
    while (!g_exit.load()) {
        // The cursor is read again before every block: a pass that falls
        // behind stops at the block the output has reached.
        while (!g_exit.load() && current != playingBlock(system, ringLength, blockLength)) {
            HVSOUND_LoadMeter_Start(&s.mixer.loadMeter);
            HVSOUND_DSP_MixCycle(current * blockLength, blockLength);
            current = (current + 1) % blocks;
            MixerLock lock;
            s.mixer.currentBlock = current;
            ++s.mixer.blocksMixed;
            s.mixer.processorLoad = HVSOUND_LoadMeter_End(&s.mixer.loadMeter, 90);
        }
        rest(kMixerPeriodMs);
    }
    g_finished = true;
    return 0;
}

} // namespace

int HVSOUND_Software_ChooseMixer(int type, bool hasMMX, bool isFamily6)
{
    if (type == HVSOUND_MIXER_AUTODETECT)
        type = HVSOUND_MIXER_MMXP6;
    else if (type == HVSOUND_MIXER_QUALITY_AUTODETECT)
        type = HVSOUND_MIXER_QUALITY_MMXP6;
    if (type == HVSOUND_MIXER_MMXP6 && !isFamily6)
        type = HVSOUND_MIXER_MMXP5;
    if ((type == HVSOUND_MIXER_MMXP5 || type == HVSOUND_MIXER_MMXP6) && !hasMMX)
        type = HVSOUND_MIXER_BLENDMODE;
    if (type == HVSOUND_MIXER_QUALITY_MMXP6 && !isFamily6)
        type = HVSOUND_MIXER_QUALITY_MMXP5;
    if ((type == HVSOUND_MIXER_QUALITY_MMXP5 || type == HVSOUND_MIXER_QUALITY_MMXP6) && !hasMMX)
        type = HVSOUND_MIXER_QUALITY_FPU;
    return type;
}

bool HVSOUND_Software_Init()
{
    HVSOUND_STATE* s = HVSOUND_GetState();
    if (s->softwareChannels <= 0)
        return true;
    HVSOUND_MIXERSTATE& mixer = s->mixer;

    // 1, 2. The mixer for this processor. Types without mixing routines
    // cannot run the mix cycle, so the layer does not start with them.
    bool cpuid = HVSOUND_CPU_HasCPUID();
    bool mmx = cpuid && HVSOUND_CPU_HasMMX();
    bool family6 = cpuid && HVSOUND_CPU_IsFamily6();
    s->mixerType = HVSOUND_Software_ChooseMixer(s->mixerType, mmx, family6);
    HVSOUND_MIXER* descriptor = HVSOUND_Mixer_Descriptor(s->mixerType);
    if (!HVSOUND_Mixer_CanMix(descriptor)) {
        HVSOUND_SetError(HVSOUND_ERR_INIT);
        return false;
    }
    if (descriptor->init && !descriptor->init())
        return false;
    g_mixer = descriptor;

    // 3. Ramps.
    mixer.rampConstant = s->mixRate * 128 / 44100;
    HVSOUND_Mixer_SetRampLength(mixer.rampConstant);

    // 4. Blocks.
    if (mixer.blockLength <= 0) {
        int block = s->mixRate * 25 / 1000 / kBlockGranule * kBlockGranule;
        mixer.blockLength = block < kBlockGranule ? kBlockGranule : block;
    }
    mixer.blockDurationMs = float(mixer.blockLength) * 1000.0f / float(s->mixRate);

    // 5. The ring: whole blocks, at least two.
    int blocks = int(int64_t(s->bufferLengthMs) * s->mixRate / 1000 / mixer.blockLength);
    if (blocks < 2)
        blocks = 2;
    s->mixBufferLength = blocks * mixer.blockLength;
    s->bufferLengthMs = int(int64_t(s->mixBufferLength) * 1000 / s->mixRate);

    // 6. The mix buffer (zeroed, 16-byte aligned), the lock, the ramps.
    int64_t bytes = int64_t(s->mixBufferLength) * descriptor->channels * descriptor->bitsPerSample / 8 + 256;
    g_mixBufferBlock = bytes < INT32_MAX ? HVSOUND_CALLOC(int(bytes)) : nullptr;
    g_stateCount = s->softwareChannels;
    g_states = static_cast<HVSOUND_SOFTWARE_STATE*>(HVSOUND_CALLOC(int(sizeof(HVSOUND_SOFTWARE_STATE)) * g_stateCount));
    if (!g_mixBufferBlock || !g_states) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    g_mixBuffer = reinterpret_cast<void*>((reinterpret_cast<uintptr_t>(g_mixBufferBlock) + 15) & ~uintptr_t(15));
    mixer.lock = HVSOUND_CriticalSection_Create();
    mixer.currentBlock = 0;
    mixer.blocksMixed = 0;

    // 7. The system units, 8. the idle list.
    g_idle = HVSOUND_CHANNELLIST{};
    bool made = makeSystemUnit(g_units.clear, clearUnit, 0, false) &&
                makeSystemUnit(g_units.channels, HVSOUND_Software_MixChannels, 100, true) &&
                makeSystemUnit(g_units.music, HVMUSIC_MixSongs, 200, false) &&
                makeSystemUnit(g_units.output, outputUnit, 1000, false);
    if (made && (s->initFlags & HVSOUND_INIT_ENABLE_LEVELS))
        made = makeSystemUnit(g_units.levels, levelsUnit, 0, false);
    if (!made)
        return false;
    s->defaultChannelDSP = g_units.channels;
    return true;
}

void HVSOUND_Software_Close()
{
    HVSOUND_STATE* s = HVSOUND_GetState();
    HVSOUND_Software_StopMixer();
    HVSOUND_DSP_FreeAll();
    g_units = SystemUnits{};
    s->defaultChannelDSP = nullptr;
    HVSOUND_CriticalSection_Free(s->mixer.lock);
    s->mixer.lock = nullptr;
    if (g_mixer && g_mixer->shutdown)
        g_mixer->shutdown();
    g_mixer = nullptr;
    HVSOUND_FREE(g_mixBufferBlock);
    g_mixBufferBlock = nullptr;
    g_mixBuffer = nullptr;
    HVSOUND_FREE(g_states);
    g_states = nullptr;
    g_stateCount = 0;
    s->mixer.blockLength = 0;
    s->mixer.currentBlock = 0;
}

bool HVSOUND_Software_StartMixerThread()
{
    HVSOUND_STATE& s = state();
    if (g_thread || s.outputType == HVSOUND_OUTPUT_NOSOUND_NONREALTIME)
        return true;
    g_exit = false;
    g_finished = false;
    g_wake = HVSOUND_Event_Create();
    g_thread = HVSOUND_Thread_Create(mixerThreadMain, nullptr, 3, 0);
    if (!g_thread) {
        HVSOUND_Event_Close(g_wake);
        g_wake = nullptr;
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    return true;
}

void HVSOUND_Software_StopMixer()
{
    g_exit = true;
    if (g_thread) {
        HVSOUND_Event_Set(g_wake);
        if (WaitForSingleObject(g_thread, kMixerStopWaitMs) == WAIT_TIMEOUT)
            OutputDebugStringA("HVSOUND: the mixer thread has not finished after 1000 ms; waiting for it\n");
        // The thread always ends its cycle and returns: joined, never cut off.
        HVSOUND_Thread_Kill(g_thread);
        g_thread = nullptr;
    }
    HVSOUND_Event_Close(g_wake);
    g_wake = nullptr;
}

const HVSOUND_MIXER* HVSOUND_Software_Mixer()
{
    return g_mixer;
}

void* HVSOUND_Software_MixBuffer()
{
    return g_mixBuffer;
}

HVSOUND_DSPUNIT* HVSOUND_Software_ClearUnit()
{
    return g_units.clear;
}

HVSOUND_DSPUNIT* HVSOUND_Software_ChannelsUnit()
{
    return g_units.channels;
}

HVSOUND_DSPUNIT* HVSOUND_Software_MusicUnit()
{
    return g_units.music;
}

HVSOUND_DSPUNIT* HVSOUND_Software_OutputUnit()
{
    return g_units.output;
}

HVSOUND_DSPUNIT* HVSOUND_Software_LevelsUnit()
{
    return g_units.levels;
}

bool HVSOUND_Software_IsSystemUnit(const HVSOUND_DSPUNIT* unit)
{
    return unit && (unit == g_units.clear || unit == g_units.channels || unit == g_units.music ||
                    unit == g_units.output || unit == g_units.levels);
}

void HVSOUND_Software_ForgetUnit(const HVSOUND_DSPUNIT* unit)
{
    for (HVSOUND_DSPUNIT** u : {&g_units.clear, &g_units.channels, &g_units.music, &g_units.output, &g_units.levels}) {
        if (*u == unit)
            *u = nullptr;
    }
}

HVSOUND_MixerLockScope::HVSOUND_MixerLockScope() : m_lock(state().mixer.lock)
{
    HVSOUND_CriticalSection_Enter(static_cast<CRITICAL_SECTION*>(m_lock));
}

HVSOUND_MixerLockScope::~HVSOUND_MixerLockScope()
{
    HVSOUND_CriticalSection_Leave(static_cast<CRITICAL_SECTION*>(m_lock));
}

void HVSOUND_Software_Lock()
{
    HVSOUND_CriticalSection_Enter(state().mixer.lock);
}

void HVSOUND_Software_Unlock()
{
    HVSOUND_CriticalSection_Leave(state().mixer.lock);
}

void* HVSOUND_Software_MixChannels(void* /*blockStart*/, void* buffer, int length, void* parameter)
{
    auto* unit = static_cast<HVSOUND_DSPUNIT*>(parameter);
    if (!g_mixer || !unit)
        return buffer;
    MixerLock lock;
    g_mixer->mix(buffer, &unit->channels, length);
    return buffer;
}

void HVSOUND_Software_LinkChannel(HVSOUND_CHANNELLIST* list, HVSOUND_CHANNEL* channel)
{
    channel->next = nullptr;
    channel->prev = list->last;
    if (list->last)
        list->last->next = channel;
    else
        list->first = channel;
    list->last = channel;
}

void HVSOUND_Software_UnlinkChannel(HVSOUND_CHANNELLIST* list, HVSOUND_CHANNEL* channel)
{
    if (!channel->prev && list->first != channel)
        return;
    if (channel->prev)
        channel->prev->next = channel->next;
    else
        list->first = channel->next;
    if (channel->next)
        channel->next->prev = channel->prev;
    else
        list->last = channel->prev;
    channel->next = channel->prev = nullptr;
}

HVSOUND_CHANNELLIST* HVSOUND_Software_IdleList()
{
    return &g_idle;
}

HVSOUND_CHANNELLIST* HVSOUND_Software_ListOf(HVSOUND_CHANNEL* channel)
{
    return channel->dspUnit ? &channel->dspUnit->channels : &g_idle;
}

void HVSOUND_Software_MoveChannel(HVSOUND_CHANNEL* channel, HVSOUND_DSPUNIT* unit)
{
    MixerLock lock;
    HVSOUND_Software_UnlinkChannel(HVSOUND_Software_ListOf(channel), channel);
    channel->dspUnit = unit;
    HVSOUND_Software_LinkChannel(HVSOUND_Software_ListOf(channel), channel);
}

HVSOUND_SOFTWARE_STATE* HVSOUND_Software_State(HVSOUND_CHANNEL* channel)
{
    HVSOUND_STATE& s = state();
    int index = channel->index;
    if (g_states && s.channels && index >= 0 && index < g_stateCount && &s.channels[index] == channel)
        return &g_states[index];
    g_scratchState = HVSOUND_SOFTWARE_STATE{};
    g_scratchState.paused = (channel->flags & HVSOUND_CHANNEL_PAUSED) != 0;
    g_scratchState.invertLeft = (channel->flags & HVSOUND_CHANNEL_INVERT_LEFT) != 0;
    return &g_scratchState;
}

int HVSOUND_Software_PanLaw(int i)
{
    return int(std::floor(16.0 * std::sqrt(double(i))));
}

void HVSOUND_Software_SetChannelFunctions(HVSOUND_CHANNEL* channel)
{
    HVSOUND_ChannelFunctions& f = channel->functions;
    f.initChannel = softwareInitChannel;
    f.closeChannel = softwareCloseChannel;
    f.setSample = softwareSetSample;
    f.start = softwareStart;
    f.stop = softwareStop;
    f.setFrequency = softwareSetFrequency;
    f.setFrequencyFloat = softwareSetFrequencyFloat;
    f.setVolume = softwareSetVolume;
    f.setPan = softwareSetPan;
    f.setPaused = softwareSetPaused;
    f.setPosition = softwareSetPosition;
    f.getPosition = softwareGetPosition;
    f.getLevels = softwareGetLevels;
    f.isPlaying = softwareIsPlaying;
    f.update3D = softwareUpdate3D;
}
