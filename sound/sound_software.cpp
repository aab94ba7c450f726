// sound_software.cpp: the software layer's set-up (mixer choice, ramp
// constant, block and ring sizes, mixer lock) and the software channel
// functions with their frequency clamps and pan law.
#include "sound/sound_software.h"

#include "sound/hvsound.h"
#include "sound/hvsound_3d.h"
#include "sound/hvsound_channel.h"
#include "sound/hvsound_hooks.h"
#include "sound/hvsound_sample.h"

#include <cmath>

namespace {

// Blocks are whole multiples of this many samples.
constexpr int kBlockGranule = 256;

struct MixerLock {
    MixerLock() { HVSOUND_CriticalSection_Enter(HVSOUND_GetState()->mixer.lock); }
    ~MixerLock() { HVSOUND_CriticalSection_Leave(HVSOUND_GetState()->mixer.lock); }
    MixerLock(const MixerLock&) = delete;
    MixerLock& operator=(const MixerLock&) = delete;
};

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
    channel->leftVolume = HVSOUND_Software_PanLaw(255 - pan) * scaled / 255;
    channel->rightVolume = HVSOUND_Software_PanLaw(pan) * scaled / 255;
    channel->meanVolume = (channel->leftVolume + channel->rightVolume) >> 1;
}

// Applies a frequency in Hz (after the frequency scale): its sign chooses
// the direction, its magnitude is held to the software range.
void applyFrequency(HVSOUND_CHANNEL* channel, int64_t f)
{
    if (f < -HVSOUND_SOFTWARE_MAX_FREQUENCY)
        f = -HVSOUND_SOFTWARE_MAX_FREQUENCY;
    if (f < 0) {
        channel->direction = HVSOUND_DIRECTION_BACKWARD;
        f = -f;
    } else {
        channel->direction = HVSOUND_DIRECTION_FORWARD;
    }
    if (f < HVSOUND_SOFTWARE_MIN_FREQUENCY)
        f = HVSOUND_SOFTWARE_MIN_FREQUENCY;
    if (f > HVSOUND_SOFTWARE_MAX_FREQUENCY)
        f = HVSOUND_SOFTWARE_MAX_FREQUENCY;
    int rate = HVSOUND_GetState()->mixRate;
    channel->step = (uint64_t(f) << 32) / uint64_t(rate);
}

bool softwareSetSample(HVSOUND_CHANNEL* channel, HVSOUND_SAMPLE* sample)
{
    MixerLock lock;
    channel->currentSample = sample;
    return true;
}

bool softwareStart(HVSOUND_CHANNEL* channel, HVSOUND_DSPUNIT* unit, HVSOUND_SAMPLE* sample)
{
    MixerLock lock;
    int width = (sample->mode & HVSOUND_MODE_16BITS) ? 2 : 1;
    int planeBytes = sample->length * width;
    int plane = 0;
    for (HVSOUND_CHANNEL* c = channel; c; c = c->link, ++plane) {
        c->dataPointer = sample->data ? sample->data + size_t(plane) * size_t(planeBytes + HVSOUND_GUARD_BYTES)
                                      : nullptr;
        if (int64_t(c->playPosition) >= c->loopEnd)
            c->playPosition = 0;
        c->fraction = 0;
        c->direction = HVSOUND_DIRECTION_FORWARD;
        c->rampLeft = c->rampRight = c->rampCount = 0;
        c->dspUnit = unit;
    }
    return true;
}

bool softwareStop(HVSOUND_CHANNEL* channel)
{
    MixerLock lock;
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
    channel->mixVolume = volume;
    computeVolumes(channel);
    return true;
}

bool softwareSetPan(HVSOUND_CHANNEL* channel, int pan, int /*flag*/)
{
    channel->mixPan = pan;
    computeVolumes(channel);
    return true;
}

bool softwareSetPosition(HVSOUND_CHANNEL* channel, int samples)
{
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
    return int(channel->playPosition);
}

bool softwareIsPlaying(HVSOUND_CHANNEL* channel)
{
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

    bool cpuid = HVSOUND_CPU_HasCPUID();
    bool mmx = cpuid && HVSOUND_CPU_HasMMX();
    bool family6 = cpuid && HVSOUND_CPU_IsFamily6();
    s->mixerType = HVSOUND_Software_ChooseMixer(s->mixerType, mmx, family6);

    mixer.rampConstant = s->mixRate * 128 / 44100;
    if (mixer.blockLength <= 0) {
        int block = s->mixRate * 25 / 1000 / kBlockGranule * kBlockGranule;
        mixer.blockLength = block < kBlockGranule ? kBlockGranule : block;
    }
    mixer.blockDurationMs = float(mixer.blockLength) * 1000.0f / float(s->mixRate);

    int blocks = int(int64_t(s->bufferLengthMs) * s->mixRate / 1000 / mixer.blockLength);
    if (blocks < 2)
        blocks = 2;
    s->mixBufferLength = blocks * mixer.blockLength;
    s->bufferLengthMs = int(int64_t(s->mixBufferLength) * 1000 / s->mixRate);

    mixer.lock = HVSOUND_CriticalSection_Create();
    mixer.currentBlock = 0;
    return true;
}

void HVSOUND_Software_Close()
{
    HVSOUND_STATE* s = HVSOUND_GetState();
    HVSOUND_Software_StopMixer();
    HVSOUND_CriticalSection_Free(s->mixer.lock);
    s->mixer.lock = nullptr;
    s->mixer.blockLength = 0;
    s->mixer.currentBlock = 0;
}

int HVSOUND_Software_PanLaw(int i)
{
    return int(std::floor(16.0 * std::sqrt(double(i))));
}

void HVSOUND_Software_SetChannelFunctions(HVSOUND_CHANNEL* channel)
{
    HVSOUND_ChannelFunctions& f = channel->functions;
    f.setSample = softwareSetSample;
    f.start = softwareStart;
    f.stop = softwareStop;
    f.setFrequency = softwareSetFrequency;
    f.setFrequencyFloat = softwareSetFrequencyFloat;
    f.setVolume = softwareSetVolume;
    f.setPan = softwareSetPan;
    f.setPosition = softwareSetPosition;
    f.getPosition = softwareGetPosition;
    f.isPlaying = softwareIsPlaying;
    f.update3D = softwareUpdate3D;
}
