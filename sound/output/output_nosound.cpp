// output_nosound.cpp: the no-sound output driver, the default per-sample and
// per-channel functions, and the descriptor slots every driver shares.
#include "sound/output/output_nosound.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_hooks.h"
#include "sound/core/hvsound_sample.h"

#include <cstring>

namespace {

// The one property record all drivers share; its contents are the caller's.
unsigned char g_properties[HVSOUND_DRIVER_PROPERTY_BYTES];

void noSoundEnumerate()
{
    HVSOUND_STATE* state = HVSOUND_GetState();
    HVSOUND_String_CopyN(state->driverNames[0], "No Sound Driver", HVSOUND_DRIVER_NAME_BYTES);
    state->driverCount = 1;
}

bool noSoundInit(int /*mixRate*/)
{
    HVSOUND_STATE* state = HVSOUND_GetState();
    HVSOUND_Driver_EnsureEnumerated();
    state->hardware3DCount = 0;
    state->hardware2DCount = 0;
    // Only output type 12 goes without the mixer thread; every other start
    // asks for it again, since the descriptor outlives this engine start.
    HVSOUND_Output_NoSound()->mixerThread = state->outputType == HVSOUND_OUTPUT_NOSOUND_NONREALTIME ? 0 : 1;
    return true;
}

void noSoundClose()
{
}

void noSoundGetDriverCaps(int /*driverIndex*/, uint32_t* /*flags*/)
{
}

HANDLE noSoundGetOutputHandle()
{
    return nullptr;
}

void noSoundSetSpeakerMode(int /*mode*/)
{
}

// Sample functions.
bool sampleCreateBuffer(HVSOUND_SAMPLE*)
{
    return true;
}

void sampleReleaseBuffer(HVSOUND_SAMPLE*)
{
}

bool sampleLock(HVSOUND_SAMPLE*, int, int, void** ptr1, void** ptr2, int* len1, int* len2)
{
    if (ptr1)
        *ptr1 = nullptr;
    if (ptr2)
        *ptr2 = nullptr;
    if (len1)
        *len1 = 0;
    if (len2)
        *len2 = 0;
    return true;
}

bool sampleUnlock(HVSOUND_SAMPLE*, void*, void*, int, int)
{
    return true;
}

// Channel functions.
bool channelTrue(HVSOUND_CHANNEL*)
{
    return true;
}

bool channelSetSample(HVSOUND_CHANNEL* channel, HVSOUND_SAMPLE* sample)
{
    channel->currentSample = sample;
    return true;
}

bool channelStart(HVSOUND_CHANNEL*, HVSOUND_DSPUNIT*, HVSOUND_SAMPLE*)
{
    return true;
}

bool channelSetInt(HVSOUND_CHANNEL*, int)
{
    return true;
}

bool channelSetFloat(HVSOUND_CHANNEL*, float)
{
    return true;
}

bool channelSetPan(HVSOUND_CHANNEL*, int, int)
{
    return true;
}

bool channelSetPaused(HVSOUND_CHANNEL*, bool)
{
    return true;
}

// A device that plays in real time: the position follows the clock.
int channelGetPosition(HVSOUND_CHANNEL*)
{
    // 64-bit arithmetic: milliseconds x rate overflows 32 bits after about
    // 97 s at 22,050 Hz, which would give the mixer a negative block.
    int64_t ms = HVSOUND_Timer_Milliseconds();
    return int(ms * HVSOUND_GetState()->mixRate / 1000);
}

bool channelGetLevels(HVSOUND_CHANNEL*, float* left, float* right)
{
    if (left)
        *left = 0.0f;
    if (right)
        *right = 0.0f;
    return true;
}

int channelGetHardwareIndex(HVSOUND_CHANNEL*)
{
    return -1;
}

bool channelValidate(intptr_t)
{
    return true;
}

HVSOUND_OutputDriver g_noSound = {
    0,
    0,
    1,
    noSoundEnumerate,
    noSoundInit,
    noSoundClose,
    HVSOUND_NoSound_SetSampleFunctions,
    HVSOUND_NoSound_SetChannelFunctions,
    noSoundGetDriverCaps,
    noSoundGetOutputHandle,
    noSoundSetSpeakerMode,
    HVSOUND_Driver_TimerMix,
    HVSOUND_Driver_HardwareVoiceCheck,
    HVSOUND_Driver_SetProperties,
    HVSOUND_Driver_GetProperties,
};

} // namespace

HVSOUND_OutputDriver* HVSOUND_Output_NoSound()
{
    return &g_noSound;
}

void HVSOUND_NoSound_SetSampleFunctions(HVSOUND_SAMPLE* sample)
{
    sample->functions.createBuffer = sampleCreateBuffer;
    sample->functions.releaseBuffer = sampleReleaseBuffer;
    sample->functions.write = nullptr;
    sample->functions.lock = sampleLock;
    sample->functions.unlock = sampleUnlock;
}

void HVSOUND_NoSound_SetChannelFunctions(HVSOUND_CHANNEL* channel)
{
    HVSOUND_ChannelFunctions& f = channel->functions;
    f.initChannel = channelTrue;
    f.closeChannel = channelTrue;
    f.setSample = channelSetSample;
    f.start = channelStart;
    f.stop = channelTrue;
    f.setFrequency = channelSetInt;
    f.setFrequencyFloat = channelSetFloat;
    f.setVolume = channelSetInt;
    f.setPan = channelSetPan;
    f.driverSlot9 = channelTrue;
    f.setPaused = channelSetPaused;
    f.setPosition = channelSetInt;
    f.getPosition = channelGetPosition;
    f.getLevels = channelGetLevels;
    f.isPlaying = channelTrue;
    f.driverSlot15 = channelTrue;
    f.update3D = channelTrue;
    f.driverSlot17 = channelTrue;
    f.driverSlot18 = channelTrue;
    f.driverSlot19 = channelTrue;
    f.getHardwareIndex = channelGetHardwareIndex;
    f.driverSlot21 = channelTrue;
    f.validate = channelValidate;
}

bool HVSOUND_Driver_HardwareVoiceCheck()
{
    return true;
}

bool HVSOUND_Driver_SetProperties(const void* record)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!record) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    memcpy(g_properties, record, sizeof g_properties);
    return true;
}

bool HVSOUND_Driver_GetProperties(void* record)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!record) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    memcpy(record, g_properties, sizeof g_properties);
    return true;
}

void HVSOUND_Driver_TimerMix()
{
    HVSOUND_STATE* state = HVSOUND_GetState();
    if (state->outputType != HVSOUND_OUTPUT_NOSOUND_NONREALTIME)
        return;
    HVSOUND_MIXERSTATE& mixer = state->mixer;
    if (state->primaryBuffer && mixer.blockLength > 0) {
        int blocks = state->mixBufferLength / mixer.blockLength;
        HVSOUND_LoadMeter_Start(&mixer.loadMeter);
        HVSOUND_DSP_MixCycle(mixer.currentBlock * mixer.blockLength, mixer.blockLength);
        if (++mixer.currentBlock >= blocks)
            mixer.currentBlock = 0;
    }
    mixer.processorLoad = HVSOUND_LoadMeter_End(&mixer.loadMeter, 90);
}
