// output_winmm.cpp: the waveOut output driver: the device, the one looping
// header over the primary mix buffer, and the play position the mixer
// thread follows.
#include "sound/output/output_winmm.h"

#include "platform/audio/Com.h"
#include "platform/audio/WinMM.h"
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/output/output_nosound.h"
#include "sound/mixer/sound_software.h"

#include <atomic>
#include <cstring>

namespace {

const char* const kSourceFile = "src\\output_winmm";

// Driver-wide state: one device at a time.
HWAVEOUT g_waveDevice = nullptr;
int32_t g_waveComInitialised = 0;
WAVEHDR g_header;
// Read by the mixer thread's position calls while the caller's thread stops.
std::atomic<bool> g_playing{false};

int sampleBytes(const HVSOUND_SAMPLE* sample)
{
    int bytes = sample->length;
    if (sample->mode & HVSOUND_MODE_16BITS)
        bytes *= 2;
    if (sample->mode & HVSOUND_MODE_STEREO)
        bytes *= 2;
    return bytes;
}

void winmmEnumerate()
{
    HVSOUND_STATE* state = HVSOUND_GetState();
    int count = int(waveOutGetNumDevs());
    if (count > HVSOUND_MAX_DRIVERS)
        count = HVSOUND_MAX_DRIVERS;
    for (int i = 0; i < count; ++i) {
        WAVEOUTCAPSA caps;
        memset(&caps, 0, sizeof caps);
        waveOutGetDevCapsA(UINT_PTR(i), &caps, sizeof caps);
        caps.szPname[MAXPNAMELEN - 1] = 0;
        HVSOUND_String_CopyN(state->driverNames[i], caps.szPname, HVSOUND_DRIVER_NAME_BYTES);
    }
    state->driverCount = count;
}

bool winmmInit(int mixRate)
{
    HVSOUND_STATE* state = HVSOUND_GetState();
    HVSOUND_Driver_EnsureEnumerated();
    if (state->driverCount < 1) {
        HVSOUND_SetError(HVSOUND_ERR_INIT);
        return false;
    }
    if (!g_waveComInitialised) {
        CoInitialize(nullptr);
        g_waveComInitialised = 1;
    }
    WORD channels = (state->mixerType == HVSOUND_MIXER_MONO || state->mixerType == HVSOUND_MIXER_QUALITY_MONO) ? 1 : 2;
    WAVEFORMATEX format;
    memset(&format, 0, sizeof format);
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = DWORD(mixRate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = WORD(channels * 2);
    format.nAvgBytesPerSec = DWORD(format.nBlockAlign) * DWORD(mixRate);
    format.cbSize = 0;
    UINT device = state->driverIndex < 0 ? WAVE_MAPPER : UINT(state->driverIndex);
    MMRESULT result = waveOutOpen(&g_waveDevice, device, &format, 0, 0, CALLBACK_NULL);
    if (result != MMSYSERR_NOERROR) {
        g_waveDevice = nullptr;
        HVSOUND_SetError(result == MMSYSERR_ALLOCATED ? HVSOUND_ERR_ALLOCATED : HVSOUND_ERR_INIT);
        return false;
    }
    HVSOUND_OutputDriver* self = HVSOUND_Output_WinMM();
    self->hardware2D = 0;
    self->hardware3D = 0;
    state->hardware2DCount = 0;
    state->hardware3DCount = 0;
    state->spareChannels = 16;
    return true;
}

void winmmClose()
{
    if (g_waveDevice) {
        // The device refuses to close while the header is queued; a start
        // whose buffer was never released must not leave the device open.
        if (g_header.dwFlags & WHDR_INQUEUE)
            waveOutReset(g_waveDevice);
        waveOutClose(g_waveDevice);
        g_waveDevice = nullptr;
    }
    g_playing = false;
    g_waveComInitialised = 0;
}

HANDLE winmmGetOutputHandle()
{
    return reinterpret_cast<HANDLE>(g_waveDevice);
}

void winmmGetDriverCaps(int /*driverIndex*/, uint32_t* /*flags*/)
{
}

void winmmSetSpeakerMode(int /*mode*/)
{
}

// Sample functions: the one sample is the primary mix buffer.
bool winmmCreateBuffer(HVSOUND_SAMPLE* sample)
{
    int bytes = sampleBytes(sample);
    // Zeroed: playback starts at once, before the mixer has written a block,
    // and must not play whatever the heap held.
    auto* block = static_cast<uint8_t*>(HVSOUND_Memory_Calloc(nullptr, bytes, kSourceFile, 456));
    if (!block) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    sample->dataBlock = block;
    sample->data = block;
    memset(&g_header, 0, sizeof g_header);
    g_header.lpData = reinterpret_cast<LPSTR>(block);
    g_header.dwBufferLength = DWORD(bytes);
    g_header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    g_header.dwLoops = 0xFFFFFFFFu;
    if (waveOutPrepareHeader(g_waveDevice, &g_header, sizeof g_header) != MMSYSERR_NOERROR) {
        g_playing = false;
        HVSOUND_SetError(HVSOUND_ERR_PLAY);
        return false;
    }
    return true;
}

void winmmReleaseBuffer(HVSOUND_SAMPLE* sample)
{
    g_playing = false;
    // Unpreparing is refused while the header is still queued.
    if (g_header.dwFlags & WHDR_INQUEUE)
        waveOutReset(g_waveDevice);
    waveOutUnprepareHeader(g_waveDevice, &g_header, sizeof g_header);
    g_header.dwFlags &= ~WHDR_PREPARED;
    HVSOUND_FREE(sample->dataBlock);
    sample->dataBlock = nullptr;
    sample->data = nullptr;
}

bool winmmLock(HVSOUND_SAMPLE* sample, int offset, int length, void** ptr1, void** ptr2, int* len1, int* len2)
{
    int size = sampleBytes(sample);
    auto* data = static_cast<uint8_t*>(sample->data);
    if (size <= 0 || !data) {
        *ptr1 = *ptr2 = nullptr;
        *len1 = *len2 = 0;
        return true;
    }
    if (length > size)
        length = size;
    if (length < 0)
        length = 0;
    int o = offset % size;
    if (o < 0)
        o += size;
    *ptr1 = data + o;
    if (o + length <= size) {
        *len1 = length;
        *ptr2 = nullptr;
        *len2 = 0;
    } else {
        *len1 = size - o;
        *ptr2 = data;
        *len2 = o + length - size;
    }
    // The device plays the ring as it is written: until the unlock it plays
    // silence for the locked bytes instead of reading them.
    for (int part = 0; part < 2; ++part) {
        void* p = part ? *ptr2 : *ptr1;
        int bytes = part ? *len2 : *len1;
        if (p && bytes > 0)
            platform::audio::holdWaveData(g_waveDevice, p, DWORD(bytes));
    }
    return true;
}

bool winmmUnlock(HVSOUND_SAMPLE*, void* ptr1, void* ptr2, int, int)
{
    for (void* p : {ptr1, ptr2}) {
        if (p)
            platform::audio::releaseWaveData(g_waveDevice, p);
    }
    return true;
}

// Channel functions.
bool winmmStart(HVSOUND_CHANNEL*, HVSOUND_DSPUNIT*, HVSOUND_SAMPLE*)
{
    g_playing = true;
    if (waveOutWrite(g_waveDevice, &g_header, sizeof g_header) != MMSYSERR_NOERROR) {
        g_playing = false;
        HVSOUND_SetError(HVSOUND_ERR_PLAY);
        return false;
    }
    return true;
}

bool winmmStop(HVSOUND_CHANNEL*)
{
    g_playing = false;
    waveOutReset(g_waveDevice);
    return true;
}

int winmmGetPosition(HVSOUND_CHANNEL* channel)
{
    HVSOUND_SAMPLE* sample = channel->currentSample;
    if (!sample)
        return 0;
    MMTIME time;
    memset(&time, 0, sizeof time);
    time.wType = TIME_BYTES;
    waveOutGetPosition(g_waveDevice, &time, sizeof time);
    uint32_t position = time.u.cb;
    if (sample->mode & HVSOUND_MODE_16BITS)
        position >>= 1;
    if (sample->mode & HVSOUND_MODE_STEREO)
        position >>= 1;
    // The mixer reduces it modulo the ring; keep it non-negative.
    return int(position & 0x7FFFFFFFu);
}

void winmmInitSampleFunctions(HVSOUND_SAMPLE* sample)
{
    sample->functions.createBuffer = winmmCreateBuffer;
    sample->functions.releaseBuffer = winmmReleaseBuffer;
    sample->functions.lock = winmmLock;
    sample->functions.unlock = winmmUnlock;
}

void winmmInitChannelFunctions(HVSOUND_CHANNEL* channel)
{
    // setSample keeps the no-sound default, which stores the sample.
    channel->functions.start = winmmStart;
    channel->functions.stop = winmmStop;
    channel->functions.getPosition = winmmGetPosition;
}

HVSOUND_OutputDriver g_winmm = {
    0,
    0,
    1,
    winmmEnumerate,
    winmmInit,
    winmmClose,
    winmmInitSampleFunctions,
    winmmInitChannelFunctions,
    winmmGetDriverCaps,
    winmmGetOutputHandle,
    winmmSetSpeakerMode,
    HVSOUND_Driver_TimerMix,
    HVSOUND_Driver_HardwareVoiceCheck,
    HVSOUND_Driver_SetProperties,
    HVSOUND_Driver_GetProperties,
};

} // namespace

HVSOUND_OutputDriver* HVSOUND_Output_WinMM()
{
    return &g_winmm;
}
