// hvsound.cpp: the engine state and error word, the set-up calls, the start
// and stop sequences, the update call, the SFX master volume and driver
// enumeration.
#include "sound/core/hvsound.h"

#include "sound/core/hvsound_3d.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_hooks.h"
#include "sound/core/hvsound_sample.h"
#include "sound/output/output_nosound.h"
#include "sound/mixer/sound_software.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

HVSOUND_STATE makeInitialState()
{
    HVSOUND_STATE s;
    memset(&s, 0, sizeof s);
    s.outputType = HVSOUND_OUTPUT_AUTODETECT;
    s.sfxMasterVolume = 255;
    s.panSeparation = 1.0f;
    s.mixerType = HVSOUND_MIXER_QUALITY_AUTODETECT;
    s.mixRate = 44100;
    s.bufferLength = -1;
    s.bufferLengthChosen = -1;
    s.bufferLengthMs = -1;
    s.driverIndex = -1;
    s.maxHardwareChannels = 9999;
    s.spareChannels = 16;
    s.sampleTableSize = HVSOUND_SAMPLE_TABLE_STEP;
    s.memoryPool.userAlloc = malloc;
    s.memoryPool.userRealloc = realloc;
    s.memoryPool.userFree = free;
    return s;
}

HVSOUND_STATE g_state = makeInitialState();

// Written by the engine's threads as well as the caller's; relaxed order is
// enough for a word that only reports the last failure.
std::atomic<int> g_error{HVSOUND_ERR_NONE};

// The bufferLength field's value before init resolves the default.
constexpr int kBufferDefaultWaveOut = 100;
constexpr int kBufferDefault = 50;
constexpr int kMinBufferMs = 25;

bool onInitThread()
{
    return g_state.initThread != 0 && GetCurrentThreadId() == g_state.initThread;
}

HVSOUND_OutputDriver* descriptorFor(int type)
{
    switch (type) {
    case HVSOUND_OUTPUT_WINMM:
        return HVSOUND_Output_WinMM();
    case HVSOUND_OUTPUT_DSOUND:
        return HVSOUND_Output_DirectSound();
    default:
        return HVSOUND_Output_NoSound();
    }
}

int resolveOutput(int type)
{
    if (type == HVSOUND_OUTPUT_AUTODETECT)
        return HVSOUND_IsOldWindowsNT() ? HVSOUND_OUTPUT_WINMM : HVSOUND_OUTPUT_DSOUND;
    return type;
}

// Cuts a hardware voice count to the engine's limits; a count below 1 clears
// the descriptor's flag word for that kind of voice.
void limitHardwareCount(int& count, int32_t& flag)
{
    if (count > g_state.maxHardwareChannels)
        count = g_state.maxHardwareChannels;
    if (count < g_state.minHardwareChannels)
        count = 0;
    if (count < 1)
        flag = 0;
}

bool startSystemChannel()
{
    HVSOUND_STATE& s = g_state;
    s.systemChannel = static_cast<HVSOUND_CHANNEL*>(HVSOUND_CALLOC(int(sizeof(HVSOUND_CHANNEL))));
    if (!s.systemChannel) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    s.systemChannel->index = HVSOUND_SYSTEMCHANNEL;
    HVSOUND_NoSound_SetChannelFunctions(s.systemChannel);
    s.driver->initChannelFunctions(s.systemChannel);
    HVSOUND_Channel_Reset(s.systemChannel, s.mixRate, -1);

    uint32_t mode = HVSOUND_MODE_PRIMARY | HVSOUND_MODE_HW2D | HVSOUND_MODE_STOPSAME | HVSOUND_MODE_16BITS |
                    HVSOUND_MODE_LOOP_NORMAL;
    mode |= (s.mixerType == HVSOUND_MIXER_MONO || s.mixerType == HVSOUND_MIXER_QUALITY_MONO) ? HVSOUND_MODE_MONO
                                                                                             : HVSOUND_MODE_STEREO;
    if (s.initFlags & HVSOUND_INIT_PRIMARY_3D)
        mode |= HVSOUND_MODE_3D;
    HVSOUND_SAMPLE* buffer =
        HVSOUND_Sample_Alloc(HVSOUND_SAMPLE_INTERNAL, s.mixBufferLength, mode, s.mixRate, 255, -1, 255);
    if (!buffer) {
        s.initialised = false;
        return false;
    }
    HVSOUND_String_CopyN(buffer->name, "HVSOUND Primary MixBuffer", HVSOUND_SAMPLE_NAME_BYTES - 1);
    buffer->name[HVSOUND_SAMPLE_NAME_BYTES - 1] = 0;
    s.primaryBuffer = buffer;
    s.initialised = true;
    HVSOUND_PlaySound(HVSOUND_SYSTEMCHANNEL, buffer);
    HVSOUND_SetReserved(HVSOUND_SYSTEMCHANNEL, true);
    return true;
}

} // namespace

HVSOUND_STATE* HVSOUND_GetState()
{
    return &g_state;
}

HVSOUND_MEMPOOL* HVSOUND_Memory_DefaultPool()
{
    return &g_state.memoryPool;
}

namespace {

// Where the engine cannot be closed or restarted: on its own threads, on
// any thread inside one of its locks, and in a file callback of a load
// under way, which goes on with its record once the callback returns.
bool closeRefusedHere()
{
    return HVSOUND_Thread_IsEngineThread() || HVSOUND_CriticalSection_HeldHere() || HVSOUND_Thread_LoadUnderWay();
}

} // namespace

int HVSOUND_GetError()
{
    return g_error.load(std::memory_order_relaxed);
}

void HVSOUND_SetError(int code)
{
    g_error.store(code, std::memory_order_relaxed);
}

void HVSOUND_ClearErrorOnInitThread()
{
    if (onInitThread())
        HVSOUND_SetError(HVSOUND_ERR_NONE);
}

bool HVSOUND_SetOutput(int type)
{
    HVSOUND_ClearErrorOnInitThread();
    if (g_state.initialised) {
        HVSOUND_SetError(HVSOUND_ERR_INITIALISED);
        return false;
    }
    int resolved = resolveOutput(type);
    if (resolved != g_state.outputType) {
        g_state.outputType = resolved;
        g_state.driver = descriptorFor(resolved);
        g_state.driversEnumerated = false;
    }
    return true;
}

bool HVSOUND_IsOldWindowsNT()
{
    // The system reports the NT family at version 5 or later, never an older
    // NT, so the automatic choice is DirectSound.
    return false;
}

bool HVSOUND_SetBufferSize(int milliseconds)
{
    HVSOUND_SetError(HVSOUND_ERR_NONE);
    if (g_state.initialised) {
        HVSOUND_SetError(HVSOUND_ERR_INITIALISED);
        return false;
    }
    if (milliseconds < kMinBufferMs)
        milliseconds = kMinBufferMs;
    g_state.bufferLength = milliseconds / kMinBufferMs * kMinBufferMs;
    return true;
}

bool HVSOUND_SetHWND(HWND window)
{
    HVSOUND_SetError(HVSOUND_ERR_NONE);
    if (g_state.initialised) {
        HVSOUND_SetError(HVSOUND_ERR_INITIALISED);
        return false;
    }
    g_state.window = window;
    return true;
}

bool HVSOUND_Init(int mixRate, int maxChannels, uint32_t flags)
{
    HVSOUND_STATE& s = g_state;
    // 1. Arguments.
    HVSOUND_SetError(HVSOUND_ERR_NONE);
    if (closeRefusedHere()) {
        // A restart closes first, which cannot be done here.
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    if (mixRate < 4000 || mixRate > 65535 || maxChannels < 0 || maxChannels > 1024) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    // 2. Init on a running engine restarts it.
    HVSOUND_Close();
    s.initialised = false;
    s.initThread = GetCurrentThreadId();
    HVSOUND_SetError(HVSOUND_ERR_NONE);

    // 3.
    s.sampleTableSize = HVSOUND_SAMPLE_TABLE_STEP;
    s.softwareChannels = maxChannels;
    s.mixRate = mixRate;
    s.initFlags = flags;
    s.spareChannels = 16;
    s.sfxMasterVolume = 255;

    // 4, 5.
    HVSOUND_DSP_Init();
    HVSOUND_SetOutput(s.outputType);
    if (!s.driver)
        s.driver = descriptorFor(s.outputType);

    // 6. The driver.
    s.driver->hardware3D = 1;
    s.driver->hardware2D = 1;
    s.emulatedOutput = false;
    s.driverStarted = true;
    if (!s.driver->init(mixRate))
        return false;

    // 7. Hardware voice counts.
    if (s.driver->hardware3D && s.driver->hardwareVoiceCheck() && s.outputType == HVSOUND_OUTPUT_DSOUND)
        s.hardware3DCount -= 1;
    limitHardwareCount(s.hardware3DCount, s.driver->hardware3D);
    limitHardwareCount(s.hardware2DCount, s.driver->hardware2D);

    // 8. Buffer length: the software layer rounds twice the chosen value to
    // whole blocks. The caller's own value stays as it was set.
    s.bufferLengthChosen = s.bufferLength;
    if (s.bufferLengthChosen == -1)
        s.bufferLengthChosen =
            (s.outputType == HVSOUND_OUTPUT_WINMM || s.emulatedOutput) ? kBufferDefaultWaveOut : kBufferDefault;
    s.bufferLengthMs = s.bufferLengthChosen * 2;

    // 9.
    if (!HVSOUND_Software_Init())
        return false;

    // 10. Tables.
    s.totalChannels = s.hardware2DCount + s.hardware3DCount + s.softwareChannels;
    s.samples = static_cast<HVSOUND_SAMPLE**>(HVSOUND_CALLOC(int(sizeof(HVSOUND_SAMPLE*)) * s.sampleTableSize));
    s.channels = static_cast<HVSOUND_CHANNEL*>(
        HVSOUND_CALLOC(int(sizeof(HVSOUND_CHANNEL)) * (s.spareChannels + s.totalChannels)));
    if (!s.samples || !s.channels) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }

    // 11. Pools.
    s.softwarePool = {0, s.softwareChannels - 1, 0};
    int next = s.softwareChannels;
    s.hardware3DPool = {next, next + s.hardware3DCount - 1, next};
    next += s.hardware3DCount;
    s.hardware2DPool = {next, next + s.hardware2DCount - 1, next};

    // 12. Channel records.
    for (int i = 0; i < s.totalChannels; ++i) {
        HVSOUND_CHANNEL* channel = &s.channels[i];
        channel->index = i;
        HVSOUND_NoSound_SetChannelFunctions(channel);
        if (i < s.softwareChannels)
            HVSOUND_Software_SetChannelFunctions(channel);
        else
            s.driver->initChannelFunctions(channel);
        HVSOUND_Channel_Reset(channel, 44100, 128);
    }

    // 13. The system channel and the primary mix buffer.
    if (s.softwareChannels == 0) {
        s.initialised = true;
    } else if (!startSystemChannel()) {
        return false;
    }

    // 14. Decoder tables; songs loaded earlier get their tempo for this rate.
    HVSOUND_MPEG_InitTables();
    HVSOUND_Vorbis_InitWindows();
    HVMUSIC_ApplyTempoToAll();

    // 15.
    if (s.systemChannel && s.driver->mixerThread)
        HVSOUND_Software_StartMixerThread();
    HVSOUND_Async_Init();
    if (s.outputType == HVSOUND_OUTPUT_NOSOUND_NONREALTIME)
        s.initFlags |= HVSOUND_INIT_UPDATE_DRIVEN;
    s.lastUpdateMs = HVSOUND_Timer_Milliseconds();

    // 16.
    if (!HVSOUND_Stream_StartThread()) {
        s.initialised = false;
        HVSOUND_SetError(HVSOUND_ERR_INIT);
        return false;
    }

    // 17.
    HVSOUND_Update();
    return true;
}

void HVSOUND_Close()
{
    HVSOUND_STATE& s = g_state;
    // 1. The close waits for the engine's threads to end and then frees what
    // they use: on one of them (in a song's, a stream's or an open's
    // callback) it would wait for itself, and under one of the engine's
    // locks (a callback made inside an engine call, such as a file callback
    // of a seek) for a thread that waits for that lock, and then free what
    // the call goes on with; in a file callback of a load it would free the
    // sample, stream or song being loaded. It is refused there, and the
    // engine runs on until its starter closes it.
    HVSOUND_ClearErrorOnInitThread();
    if (closeRefusedHere()) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return;
    }
    if (s.initialised) {
        s.driversEnumerated = false;
        s.bufferLength = -1;
    }

    // 2. Everything that plays stops. The mixer thread ends first: the song
    // and sync callbacks it calls after its cycles may still call the stream
    // layer, and it reads the system channel's play position. The open
    // queue's loader ends next: it may be opening a stream, under the stream
    // layer's locks. The stream thread ends then: it looks at the channels of
    // the streams, which stopping every channel changes under it.
    if (s.initialised) {
        HVMUSIC_StopAllSongs();
        HVSOUND_Software_StopMixer();
        HVSOUND_Async_Shutdown();
        HVSOUND_Stream_Shutdown();
        HVSOUND_StopSound(HVSOUND_ALL);
        HVSOUND_StopSound(HVSOUND_SYSTEMCHANNEL);
    }

    // 3. The mixer thread ends before any table goes.
    if (s.systemChannel)
        s.systemChannel->functions.closeChannel(s.systemChannel);
    HVSOUND_Software_Close();

    // 4. Samples.
    s.initialised = false;
    if (s.primaryBuffer) {
        HVSOUND_Sample_Free(s.primaryBuffer);
        s.primaryBuffer = nullptr;
    }
    if (s.samples) {
        for (int i = 0; i < s.sampleTableSize; ++i) {
            if (s.samples[i])
                HVSOUND_Sample_Free(s.samples[i]);
        }
        HVSOUND_FREE(s.samples);
        s.samples = nullptr;
    }

    // 5. Channels and the driver.
    if (s.channels) {
        for (int i = 0; i < s.totalChannels; ++i) {
            if (s.channels[i].functions.closeChannel)
                s.channels[i].functions.closeChannel(&s.channels[i]);
        }
    }
    if (s.driver && s.driverStarted)
        s.driver->close();
    s.driverStarted = false;
    HVSOUND_FREE(s.channels);
    s.channels = nullptr;
    HVSOUND_FREE(s.systemChannel);
    s.systemChannel = nullptr;
    s.totalChannels = 0;

    // 6. The file layer reads synchronously, so there is no read thread to end.
    s.driversEnumerated = false;
    s.driverCount = 0;
}

void HVSOUND_Update()
{
    HVSOUND_STATE& s = g_state;
    HVSOUND_ClearErrorOnInitThread();
    if (!s.initialised)
        return;
    {
        HVSOUND_MixerLockScope lock;
        for (int i = 0; i < s.softwareChannels && i < s.totalChannels; ++i)
            HVSOUND_3D_Update(&s.channels[i], true);
    }
    if (s.initFlags & HVSOUND_INIT_UPDATE_DRIVEN) {
        uint32_t now = HVSOUND_Timer_Milliseconds();
        float ms = s.outputType == HVSOUND_OUTPUT_NOSOUND_NONREALTIME ? s.mixer.blockDurationMs
                                                                       : float(now - s.lastUpdateMs);
        s.lastUpdateMs = now;
        HVSOUND_Stream_Update(ms);
    }
    s.driver->update();
}

int HVSOUND_GetMixer()
{
    return g_state.mixerType;
}

int HVSOUND_GetMaxChannels()
{
    return g_state.totalChannels;
}

int HVSOUND_GetChannelsPlaying()
{
    HVSOUND_ClearErrorOnInitThread();
    if (!g_state.initialised || !g_state.channels) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return 0;
    }
    // As HVSOUND_IsPlaying asks each: under the mixer lock, which starts,
    // stops and setters on every channel take.
    HVSOUND_MixerLockScope lock;
    int playing = 0;
    for (int i = 0; i < g_state.totalChannels; ++i) {
        HVSOUND_CHANNEL* channel = &g_state.channels[i];
        if (channel->functions.isPlaying(channel))
            ++playing;
    }
    return playing;
}

void HVSOUND_SetSFXMasterVolume(int volume)
{
    HVSOUND_ClearErrorOnInitThread();
    // The mixer thread's music player takes channels and sets their samples
    // and volumes under the mixer lock: the walk holds it too, so a channel
    // cannot become a song's between the look at its sample and its new
    // volume. A song's notes play the song's own samples, marked as a
    // module's. The channel's music flag is no guide: it stays on a channel
    // after the song's note there ends, and on the effect that takes it next.
    HVSOUND_MixerLockScope lock;
    g_state.sfxMasterVolume = volume < 0 ? 0 : volume > 255 ? 255 : volume;
    if (!g_state.channels)
        return;
    for (int i = 0; i < g_state.totalChannels; ++i) {
        HVSOUND_CHANNEL* channel = &g_state.channels[i];
        HVSOUND_SAMPLE* sample = channel->currentSample;
        if (sample && !sample->moduleSample && !(channel->flags & HVSOUND_CHANNEL_ABSOLUTE))
            HVSOUND_Channel_SetVolume(channel, channel->volume);
    }
}

bool HVSOUND_Driver_EnsureEnumerated()
{
    HVSOUND_STATE& s = g_state;
    if (!s.driver)
        return false;
    if (s.driversEnumerated && s.driverCount > 0)
        return true;
    s.driverCount = 0;
    s.driver->enumerate();
    s.driversEnumerated = true;
    return true;
}
