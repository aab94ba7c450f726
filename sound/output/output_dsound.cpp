// output_dsound.cpp: the DirectSound output driver: run-time loading of the
// device module, device start with its primary format, a sound buffer per
// sample and the channel calls on the buffers that play them.
#include "sound/output/output_dsound.h"

#include "platform/audio/Com.h"
#include "platform/audio/DirectSound.h"
#include "platform/audio/SystemInfo.h"
#include "platform/files/Modules.h"
#include "platform/files/TempFiles.h"
#include "platform/user/Input.h"
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_3d.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/output/output_nosound.h"

#include <cmath>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

// Mode bits as this driver reads them.
constexpr uint32_t kOwnBuffer = HVSOUND_MODE_STOPSAME;   // the sample's own buffer plays, no duplicate
constexpr uint32_t kPlayInSoftware = HVSOUND_MODE_HW2D;  // located in software
constexpr uint32_t kEffects = HVSOUND_MODE_3D;           // an effects buffer
constexpr uint32_t kHardware3D = HVSOUND_MODE_HW3D;

typedef HRESULT (*CreateFunction)(LPCGUID, IDirectSound**, IUnknown*);
typedef HRESULT (*Create8Function)(LPCGUID, IDirectSound8**, IUnknown*);
typedef HRESULT (*EnumerateFunction)(LPDSENUMCALLBACKA, LPVOID);

struct SampleBuffers {
    IDirectSoundBuffer* buffer = nullptr;
    IDirectSound3DBuffer* buffer3D = nullptr;
};

struct ChannelBuffers {
    IDirectSoundBuffer* buffer = nullptr;
    IDirectSound3DBuffer* buffer3D = nullptr;
    IUnknown* extra = nullptr;
    int lastPan = -1000;
};

HMODULE g_module = nullptr;
HMODULE g_module3D = nullptr;
// The device maker: the version-8 entry when the module has it, else the
// older one; each is called through its own type.
Create8Function g_create8 = nullptr;
CreateFunction g_create = nullptr;
EnumerateFunction g_enumerate = nullptr;
IDirectSound* g_device = nullptr;
IDirectSound3DListener* g_listener = nullptr;
CRITICAL_SECTION* g_lock = nullptr;
int32_t g_comInitialised = 0;
int32_t g_directXLevel = 3;
int32_t g_minRate = 100;
int32_t g_maxRate = 705600;
int32_t g_software3D = 0;
GUID g_guids[HVSOUND_MAX_DRIVERS];

// The buffers of samples and channels. Lock and unlock run on the mixer
// thread while the caller's thread makes and releases buffers, so the tables
// have a lock of their own, held only for a look-up or a change.
std::mutex g_tableMutex;
std::unordered_map<const HVSOUND_SAMPLE*, SampleBuffers> g_samples;
std::unordered_map<const HVSOUND_CHANNEL*, ChannelBuffers> g_channels;

SampleBuffers sampleBuffers(const HVSOUND_SAMPLE* sample)
{
    std::lock_guard<std::mutex> guard(g_tableMutex);
    auto it = g_samples.find(sample);
    return it == g_samples.end() ? SampleBuffers() : it->second;
}

ChannelBuffers channelBuffers(const HVSOUND_CHANNEL* channel)
{
    std::lock_guard<std::mutex> guard(g_tableMutex);
    auto it = g_channels.find(channel);
    return it == g_channels.end() ? ChannelBuffers() : it->second;
}

void storeChannel(const HVSOUND_CHANNEL* channel, const ChannelBuffers& buffers)
{
    std::lock_guard<std::mutex> guard(g_tableMutex);
    g_channels[channel] = buffers;
}

struct DriverLock {
    DriverLock() { HVSOUND_CriticalSection_Enter(g_lock); }
    ~DriverLock() { HVSOUND_CriticalSection_Leave(g_lock); }
};

HVSOUND_STATE& state()
{
    return *HVSOUND_GetState();
}

// Volume 0..255 to attenuation: a logarithmic curve (10 dB per halving near
// full volume) bent to pass exactly through the fixed points below.
struct VolumeTable {
    int32_t values[256];
    VolumeTable()
    {
        static const int points[][2] = {{1, -7678}, {2, -6830}, {64, -1994}, {128, -997}, {254, -5}, {255, 0}};
        auto curve = [](int v) { return 1000.0 * std::log2(double(v) / 255.0); };
        values[0] = -10000;
        for (int p = 0; p + 1 < int(sizeof points / sizeof points[0]); ++p) {
            int a = points[p][0], b = points[p + 1][0];
            double ea = points[p][1] - curve(a), eb = points[p + 1][1] - curve(b);
            for (int v = a; v <= b; ++v) {
                double t = double(v - a) / double(b - a);
                values[v] = int32_t(std::lround(curve(v) + ea + (eb - ea) * t));
            }
        }
    }
};

const VolumeTable& volumeTable()
{
    static const VolumeTable table;
    return table;
}

bool load()
{
    if (g_module)
        return true;
    g_module = LoadLibraryA("dsound.dll");
    if (!g_module)
        return false;
    if (state().initFlags & (HVSOUND_INIT_3D_LIGHT | HVSOUND_INIT_3D_FULL))
        g_module3D = LoadLibraryA("dsound3d.dll");
    g_create8 = reinterpret_cast<Create8Function>(GetProcAddress(g_module, "DirectSoundCreate8"));
    bool version8 = g_create8 != nullptr;
    if (!g_create8)
        g_create = reinterpret_cast<CreateFunction>(GetProcAddress(g_module, "DirectSoundCreate"));
    g_enumerate = reinterpret_cast<EnumerateFunction>(GetProcAddress(g_module, "DirectSoundEnumerateA"));
    if (version8) {
        g_directXLevel = 8;
        char path[260 + 16];
        UINT length = GetSystemDirectoryA(path, 260);
        if (length > 0 && length < 260) {
            strcat(path, "\\d3d9.dll");
            HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                g_directXLevel = 9;
                CloseHandle(file);
            }
        }
    } else if (HMODULE ddraw = LoadLibraryA("ddraw.dll")) {
        if (GetProcAddress(ddraw, "DirectDrawCreateEx"))
            g_directXLevel = 7;
        FreeLibrary(ddraw);
    }
    return true;
}

BOOL CALLBACK enumerateCallback(LPGUID guid, LPCSTR description, LPCSTR, LPVOID)
{
    HVSOUND_STATE& s = state();
    if (s.driverCount < HVSOUND_MAX_DRIVERS) {
        HVSOUND_String_CopyN(s.driverNames[s.driverCount], description ? description : "",
                             HVSOUND_DRIVER_NAME_BYTES);
        s.driverNames[s.driverCount][HVSOUND_DRIVER_NAME_BYTES - 1] = 0;
        memset(&g_guids[s.driverCount], 0, sizeof(GUID));
        if (guid)
            g_guids[s.driverCount] = *guid;
        ++s.driverCount;
    }
    return TRUE;
}

void dsEnumerate()
{
    load();
    if (g_enumerate)
        g_enumerate(enumerateCallback, nullptr);
}

HWND cooperativeWindow()
{
    return state().window ? state().window : GetForegroundWindow();
}

bool createDevice(int driverIndex, IDirectSound** device)
{
    *device = nullptr;
    LPCGUID guid = driverIndex < 0 || driverIndex >= HVSOUND_MAX_DRIVERS ? nullptr : &g_guids[driverIndex];
    if (g_create8) {
        IDirectSound8* device8 = nullptr;
        HRESULT hr = g_create8(guid, &device8, nullptr);
        *device = device8;
        return SUCCEEDED(hr) && *device;
    }
    return g_create && SUCCEEDED(g_create(guid, device, nullptr)) && *device;
}

DWORD locationFlags(const HVSOUND_SAMPLE* sample)
{
    if (g_directXLevel < 7 || (sample->mode & kOwnBuffer))
        return 0;
    if ((sample->mode & kPlayInSoftware) || g_software3D)
        return DSBPLAY_LOCSOFTWARE;
    return DSBPLAY_LOCHARDWARE;
}

// The hardware voice test of older systems: a hardware 3D buffer must take a
// free streaming voice from the device for the voices to be real.
bool deferredVoiceTest()
{
    DSCAPS caps;
    memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    g_device->GetCaps(&caps);
    DWORD before = caps.dwFreeHw3DStreamingBuffers;
    HVSOUND_SAMPLE* probe = HVSOUND_Sample_Alloc(HVSOUND_SAMPLE_INTERNAL, 4096, 0x1032, 44100, 255, 128, 255);
    bool answer = false;
    if (probe) {
        bool made = sampleBuffers(probe).buffer != nullptr;
        g_device->GetCaps(&caps);
        answer = made && caps.dwFreeHw3DStreamingBuffers == before;
        HVSOUND_Sample_Free(probe);
    }
    return answer;
}

bool failInit(int error)
{
    HVSOUND_SetError(error);
    // A device made before the failure is given up: the engine's close
    // closes only an output that started, and the device would stay open
    // beside the output the caller tries next.
    if (g_device)
        g_device->Release();
    g_device = nullptr;
    HVSOUND_CriticalSection_Free(g_lock);
    g_lock = nullptr;
    return false;
}

bool dsInit(int mixRate)
{
    HVSOUND_STATE& s = state();
    HVSOUND_OutputDriver* self = HVSOUND_Output_DirectSound();
    // 1.
    load();
    g_lock = HVSOUND_CriticalSection_Create();
    HVSOUND_Driver_EnsureEnumerated();
    if (s.driverCount < 1)
        return failInit(HVSOUND_ERR_INIT);
    // 2.
    if (!g_comInitialised) {
        CoInitialize(nullptr);
        g_comInitialised = 1;
    }
    // 3.
    if (!createDevice(s.driverIndex, &g_device))
        return failInit(HVSOUND_ERR_INIT);
    // 4.
    if (FAILED(g_device->SetCooperativeLevel(cooperativeWindow(), DSSCL_PRIORITY)))
        return failInit(HVSOUND_ERR_COOPERATIVE);
    // 5.
    DSCAPS caps;
    memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    g_device->GetCaps(&caps);
    if (caps.dwMaxHw3DAllBuffers == 0 || caps.dwMaxHw3DAllBuffers > 200 || (caps.dwFlags & DSCAPS_EMULDRIVER))
        self->hardware3D = 0;
    if (caps.dwFlags & DSCAPS_EMULDRIVER)
        s.emulatedOutput = true;
    g_minRate = int32_t(caps.dwMinSecondarySampleRate);
    g_maxRate = int32_t(caps.dwMaxSecondarySampleRate);
    // 6.
    if (self->hardware3D && g_directXLevel < 8)
        self->hardware3D = deferredVoiceTest() ? 1 : 0;
    // 7. Without free hardware 3D streaming buffers the software-3D flag is
    // set: 3D samples are then placed in software, on 32 nominal 3D voices
    // (which outweigh a cleared hardware 3D flag).
    s.hardware2DCount = 32;
    s.hardware3DCount = int(caps.dwFreeHw3DStreamingBuffers);
    s.spareChannels = 16;
    g_software3D = s.hardware3DCount == 0 ? 1 : 0;
    if (!self->hardware3D)
        s.hardware3DCount = 0;
    if (!self->hardware2D)
        s.hardware2DCount = 0;
    if (g_software3D) {
        g_minRate = 100;
        g_maxRate = 705600;
        s.hardware3DCount = 32;
    }
    // 8.
    DSBUFFERDESC description;
    memset(&description, 0, sizeof description);
    description.dwSize = g_directXLevel < 8 ? DSBUFFERDESC1_SIZE32 : DSBUFFERDESC_SIZE32;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER | (s.hardware3DCount > 0 ? DSBCAPS_CTRL3D : 0u);
    IDirectSoundBuffer* primary = nullptr;
    if (FAILED(g_device->CreateSoundBuffer(&description, &primary, nullptr)) || !primary)
        return failInit(HVSOUND_ERR_CREATEBUFFER);
    // 9.
    WAVEFORMATEX format;
    memset(&format, 0, sizeof format);
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = DWORD(mixRate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = DWORD(mixRate) * 4;
    if (FAILED(primary->SetFormat(&format))) {
        primary->Release();
        return failInit(HVSOUND_ERR_FORMAT);
    }
    // 10.
    if (s.hardware3DCount > 0) {
        void* listener = nullptr;
        if (SUCCEEDED(primary->QueryInterface(IID_IDirectSound3DListener, &listener)))
            g_listener = static_cast<IDirectSound3DListener*>(listener);
    }
    primary->Release();
    return true;
}

void dsClose()
{
    HVSOUND_OutputDriver* self = HVSOUND_Output_DirectSound();
    if (!g_device)
        return;
    HVSOUND_CriticalSection_Enter(g_lock);
    if (g_listener)
        g_listener->Release();
    g_listener = nullptr;
    g_device->Release();
    g_device = nullptr;
    if (g_module3D)
        FreeLibrary(g_module3D);
    g_module3D = nullptr;
    if (g_module)
        FreeLibrary(g_module);
    g_module = nullptr;
    g_create8 = nullptr;
    g_create = nullptr;
    g_enumerate = nullptr;
    HVSOUND_CriticalSection_Leave(g_lock);
    HVSOUND_CriticalSection_Free(g_lock);
    g_lock = nullptr;
    self->hardware2D = 0;
    self->hardware3D = 0;
}

void dsGetDriverCaps(int driverIndex, uint32_t* flags)
{
    load();
    IDirectSound* device = nullptr;
    if (!createDevice(driverIndex, &device))
        return;
    device->SetCooperativeLevel(cooperativeWindow(), DSSCL_PRIORITY);
    DSCAPS caps;
    memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    device->GetCaps(&caps);
    state().hardware3DCount = int(caps.dwFreeHw3DStreamingBuffers);
    if (caps.dwMaxHw3DAllBuffers >= 1 && caps.dwMaxHw3DAllBuffers <= 128 && !(caps.dwFlags & DSCAPS_EMULDRIVER) &&
        caps.dwFreeHw3DStreamingBuffers != 0) {
        HVSOUND_Output_DirectSound()->hardware3D = 1;
        if (flags)
            *flags |= 2u;
    }
    device->Release();
    // The temporary device is gone; what close ends is the loaded module.
    IDirectSound* kept = g_device;
    if (!kept) {
        if (g_module)
            FreeLibrary(g_module);
        g_module = nullptr;
        g_create8 = nullptr;
        g_create = nullptr;
        g_enumerate = nullptr;
    }
}

HANDLE dsGetOutputHandle()
{
    return reinterpret_cast<HANDLE>(g_device);
}

void dsSetSpeakerMode(int mode)
{
    if (!g_device)
        return;
    // Modes past 6 are passed as they are.
    g_device->SetSpeakerConfig(mode == 0 ? 6u : DWORD(mode));
}

void dsUpdate()
{
    if (!g_listener)
        return;
    HVSOUND_STATE& s = state();
    const HVSOUND_3DSETTINGS* settings = HVSOUND_3D_Settings();
    DWORD apply = (s.initFlags & HVSOUND_INIT_DEFER_3D) ? DS3D_DEFERRED : DS3D_IMMEDIATE;
    DriverLock lock;
    DS3DLISTENER listener;
    memset(&listener, 0, sizeof listener);
    listener.dwSize = sizeof listener;
    if (settings->listenerCount == 1) {
        listener.vPosition = {settings->listenerPosition[0].x, settings->listenerPosition[0].y,
                              settings->listenerPosition[0].z};
    }
    listener.vOrientFront = {0.0f, 0.0f, 1.0f};
    listener.vOrientTop = {0.0f, 1.0f, 0.0f};
    listener.flDistanceFactor = settings->distanceFactor;
    listener.flRolloffFactor = settings->rolloffFactor;
    listener.flDopplerFactor = settings->dopplerFactor;
    g_listener->SetAllParameters(&listener, apply);
    for (int i = s.hardware3DPool.first; s.channels && i <= s.hardware3DPool.last; ++i) {
        HVSOUND_CHANNEL* channel = &s.channels[i];
        if (settings->listenerCount != 1) {
            ChannelBuffers b = channelBuffers(channel);
            if (b.buffer3D)
                b.buffer3D->SetPosition(0.0f, 0.0f, HVSOUND_3D_NearestListenerDistance(channel), apply);
        }
        channel->functions.update3D(channel);
    }
    if (apply == DS3D_DEFERRED)
        g_listener->CommitDeferredSettings();
}

// Sample functions.

void dsUnlockCore(const HVSOUND_SAMPLE* sample, IDirectSoundBuffer* buffer, void* ptr1, void* ptr2, int len1,
                  int len2)
{
    // The engine keeps 8-bit sound signed; the device plays it unsigned.
    if (sample->mode & HVSOUND_MODE_8BITS) {
        for (int i = 0; ptr1 && i < len1; ++i)
            static_cast<uint8_t*>(ptr1)[i] ^= 0x80u;
        for (int i = 0; ptr2 && i < len2; ++i)
            static_cast<uint8_t*>(ptr2)[i] ^= 0x80u;
    }
    buffer->Unlock(ptr1, DWORD(len1 > 0 ? len1 : 0), ptr2, DWORD(len2 > 0 ? len2 : 0));
}

bool dsCreateBuffer(HVSOUND_SAMPLE* sample)
{
    HVSOUND_STATE& s = state();
    if (sample->mode & HVSOUND_MODE_MULTICHANNEL) {
        HVSOUND_SetError(HVSOUND_ERR_CREATEBUFFER);
        return false;
    }
    bool is16 = (sample->mode & HVSOUND_MODE_16BITS) != 0;
    bool mono = (sample->mode & HVSOUND_MODE_MONO) != 0;
    DWORD bytes = DWORD(sample->length) * (is16 ? 2u : 1u) * (mono ? 1u : 2u);
    WAVEFORMATEX format;
    memset(&format, 0, sizeof format);
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = mono ? 1 : 2;
    format.wBitsPerSample = is16 ? 16 : 8;
    format.nBlockAlign = WORD(format.wBitsPerSample * format.nChannels / 8);
    format.nSamplesPerSec = DWORD(sample->frequency);
    format.nAvgBytesPerSec = DWORD(format.nBlockAlign) * format.nSamplesPerSec;

    bool sample3D = (sample->mode & kHardware3D) != 0;
    DWORD flags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY;
    if ((s.initFlags & HVSOUND_INIT_GLOBALFOCUS) || !s.window)
        flags |= DSBCAPS_GLOBALFOCUS;
    if (s.hardware3DCount > 0 && sample3D) {
        flags |= DSBCAPS_CTRL3D;
        if (g_directXLevel >= 7)
            flags |= DSBCAPS_LOCDEFER;
    } else {
        flags |= DSBCAPS_CTRLPAN;
        if (sample->mode & kOwnBuffer)
            flags |= DSBCAPS_LOCSOFTWARE;
        else if (g_directXLevel >= 7)
            flags |= DSBCAPS_LOCDEFER;
    }
    if (g_directXLevel >= 8 && (sample->mode & kEffects)) {
        flags |= DSBCAPS_CTRLFX;
        if (g_directXLevel < 9)
            flags &= ~DWORD(DSBCAPS_CTRLFREQUENCY);
    }
    DSBUFFERDESC description;
    memset(&description, 0, sizeof description);
    description.dwSize = g_directXLevel < 7 ? DSBUFFERDESC1_SIZE32 : DSBUFFERDESC_SIZE32;
    description.dwFlags = flags;
    description.dwBufferBytes = bytes;
    description.lpwfxFormat = &format;
    description.guid3DAlgorithm = DS3DALG_DEFAULT;
    if (g_software3D && sample3D) {
        if (s.initFlags & HVSOUND_INIT_3D_FULL)
            description.guid3DAlgorithm = DS3DALG_HRTF_FULL;
        else if (s.initFlags & HVSOUND_INIT_3D_LIGHT)
            description.guid3DAlgorithm = DS3DALG_HRTF_LIGHT;
    }

    SampleBuffers made;
    {
        DriverLock lock;
        if (!g_device || FAILED(g_device->CreateSoundBuffer(&description, &made.buffer, nullptr)) ||
            !made.buffer) {
            HVSOUND_SetError(HVSOUND_ERR_CREATEBUFFER);
            return false;
        }
        if (sample3D && (sample->mode & kOwnBuffer)) {
            void* buffer3D = nullptr;
            if (FAILED(made.buffer->QueryInterface(IID_IDirectSound3DBuffer, &buffer3D)) || !buffer3D) {
                made.buffer->Release();
                HVSOUND_SetError(HVSOUND_ERR_CREATEBUFFER);
                return false;
            }
            made.buffer3D = static_cast<IDirectSound3DBuffer*>(buffer3D);
        }
    }
    {
        std::lock_guard<std::mutex> guard(g_tableMutex);
        g_samples[sample] = made;
    }
    // A new buffer is silence.
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD l1 = 0, l2 = 0;
    if (SUCCEEDED(made.buffer->Lock(0, bytes, &p1, &l1, &p2, &l2, 0))) {
        if (p1)
            memset(p1, 0, l1);
        if (p2)
            memset(p2, 0, l2);
        dsUnlockCore(sample, made.buffer, p1, p2, int(l1), int(l2));
    }
    sample->hardware = 1;
    made.buffer->SetCurrentPosition(0);
    return true;
}

void dsReleaseBuffer(HVSOUND_SAMPLE* sample)
{
    DriverLock lock;
    SampleBuffers b;
    {
        std::lock_guard<std::mutex> guard(g_tableMutex);
        auto it = g_samples.find(sample);
        if (it == g_samples.end())
            return;
        b = it->second;
        g_samples.erase(it);
    }
    if (b.buffer3D)
        b.buffer3D->Release();
    if (b.buffer)
        b.buffer->Release();
    sample->hardware = 0;
}

bool dsLock(HVSOUND_SAMPLE* sample, int offset, int length, void** ptr1, void** ptr2, int* len1, int* len2)
{
    IDirectSoundBuffer* buffer = sampleBuffers(sample).buffer;
    if (!buffer) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    DWORD l1 = 0, l2 = 0;
    HRESULT result = buffer->Lock(DWORD(offset), DWORD(length), ptr1, &l1, ptr2, &l2, 0);
    if (result == DSERR_BUFFERLOST) {
        // The device was taken away and given back: its memory returns and
        // playback starts again; the sound is written anew by this lock.
        buffer->Restore();
        buffer->Play(0, 0, DSBPLAY_LOOPING | locationFlags(sample));
        result = buffer->Lock(DWORD(offset), DWORD(length), ptr1, &l1, ptr2, &l2, 0);
    }
    if (FAILED(result))
        return false;
    *len1 = int(l1);
    *len2 = int(l2);
    return true;
}

bool dsUnlock(HVSOUND_SAMPLE* sample, void* ptr1, void* ptr2, int len1, int len2)
{
    IDirectSoundBuffer* buffer = sampleBuffers(sample).buffer;
    if (!buffer) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    dsUnlockCore(sample, buffer, ptr1, ptr2, len1, len2);
    return true;
}

// Channel functions.

bool releaseChannelBuffers(HVSOUND_CHANNEL* channel)
{
    ChannelBuffers b = channelBuffers(channel);
    HVSOUND_SAMPLE* sample = channel->currentSample;
    if (b.buffer) {
        b.buffer->Stop();
        b.buffer->SetCurrentPosition(0);
    }
    if (b.extra)
        b.extra->Release();
    b.extra = nullptr;
    bool own = sample && (sample->mode & kOwnBuffer);
    if (!own) {
        if (b.buffer3D)
            b.buffer3D->Release();
        if (b.buffer)
            b.buffer->Release();
    }
    b.buffer = nullptr;
    b.buffer3D = nullptr;
    storeChannel(channel, b);
    channel->flags &= ~uint32_t(HVSOUND_CHANNEL_RESUME_PENDING);
    return true;
}

bool dsStop(HVSOUND_CHANNEL* channel)
{
    DriverLock lock;
    return releaseChannelBuffers(channel);
}

bool dsSetSample(HVSOUND_CHANNEL* channel, HVSOUND_SAMPLE* sample)
{
    DriverLock lock;
    SampleBuffers sb = sample ? sampleBuffers(sample) : SampleBuffers();
    if (!sb.buffer) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    releaseChannelBuffers(channel);
    channel->currentSample = sample;
    ChannelBuffers b = channelBuffers(channel);
    if (sample->mode & kOwnBuffer) {
        b.buffer = sb.buffer;
        b.buffer3D = sb.buffer3D;
    } else {
        if (!g_device || FAILED(g_device->DuplicateSoundBuffer(sb.buffer, &b.buffer)) || !b.buffer) {
            b.buffer = nullptr;
            storeChannel(channel, b);
            HVSOUND_SetError(HVSOUND_ERR_PLAY);
            return false;
        }
        if ((sample->mode & kHardware3D) && state().hardware3DCount > 0) {
            void* buffer3D = nullptr;
            if (FAILED(b.buffer->QueryInterface(IID_IDirectSound3DBuffer, &buffer3D)) || !buffer3D) {
                storeChannel(channel, b);
                HVSOUND_SetError(HVSOUND_ERR_PLAY);
                return false;
            }
            b.buffer3D = static_cast<IDirectSound3DBuffer*>(buffer3D);
        }
    }
    b.lastPan = -1000;
    storeChannel(channel, b);
    return true;
}

DWORD playFlags(const HVSOUND_CHANNEL* channel, const HVSOUND_SAMPLE* sample)
{
    uint32_t loop = (channel->mode | sample->mode) & (HVSOUND_MODE_LOOP_NORMAL | HVSOUND_MODE_LOOP_BIDI);
    return (loop ? DSBPLAY_LOOPING : 0u) | locationFlags(sample);
}

bool dsStart(HVSOUND_CHANNEL* channel, HVSOUND_DSPUNIT*, HVSOUND_SAMPLE*)
{
    DriverLock lock;
    if (g_listener && (state().initFlags & HVSOUND_INIT_DEFER_3D))
        g_listener->CommitDeferredSettings();
    HVSOUND_SAMPLE* sample = channel->currentSample;
    ChannelBuffers b = channelBuffers(channel);
    if (channel->flags & HVSOUND_CHANNEL_PAUSED) {
        channel->flags |= HVSOUND_CHANNEL_RESUME_PENDING;
        return true;
    }
    if (!sample || !b.buffer) {
        HVSOUND_SetError(HVSOUND_ERR_PLAY);
        return false;
    }
    b.buffer->Play(0, 0, playFlags(channel, sample));
    channel->flags &= ~uint32_t(HVSOUND_CHANNEL_RESUME_PENDING);
    return true;
}

bool dsSetFrequency(HVSOUND_CHANNEL* channel, int hz)
{
    DriverLock lock;
    HVSOUND_SAMPLE* sample = channel->currentSample;
    ChannelBuffers b = channelBuffers(channel);
    if (!sample || !b.buffer)
        return true;
    if ((sample->mode & kEffects) && g_directXLevel < 9) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    if (sample->mode & kHardware3D)
        hz = hz < g_minRate ? g_minRate : hz > g_maxRate ? g_maxRate : hz;
    if (FAILED(b.buffer->SetFrequency(DWORD(hz)))) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    return true;
}

bool dsSetFrequencyFloat(HVSOUND_CHANNEL* channel, float hz)
{
    DriverLock lock;
    HVSOUND_SAMPLE* sample = channel->currentSample;
    ChannelBuffers b = channelBuffers(channel);
    if (!sample || !b.buffer || (sample->mode & kEffects))
        return true;
    int value = int(hz + 0.5f);
    value = value < 100 ? 100 : value > 705600 ? 705600 : value;
    if (FAILED(b.buffer->SetFrequency(DWORD(value)))) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    return true;
}

bool dsSetVolume(HVSOUND_CHANNEL* channel, int volume)
{
    DriverLock lock;
    volume = volume < 0 ? 0 : volume > 255 ? 255 : volume;
    if (channel->flags & HVSOUND_CHANNEL_MUTED)
        volume = 0;
    channel->mixVolume = volume;
    ChannelBuffers b = channelBuffers(channel);
    if (b.buffer)
        b.buffer->SetVolume(volumeTable().values[volume]);
    return true;
}

bool dsSetPan(HVSOUND_CHANNEL* channel, int pan, int)
{
    DriverLock lock;
    ChannelBuffers b = channelBuffers(channel);
    if (b.buffer3D) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    if (pan == -1)
        pan = 128;
    pan = pan < 0 ? 0 : pan > 255 ? 255 : pan;
    channel->mixPan = pan;
    if (b.buffer && pan != b.lastPan) {
        LONG value = pan < 128 ? volumeTable().values[2 * pan] : -volumeTable().values[510 - 2 * pan];
        b.buffer->SetPan(value);
        b.lastPan = pan;
        storeChannel(channel, b);
    }
    return true;
}

bool dsSetPaused(HVSOUND_CHANNEL* channel, bool paused)
{
    DriverLock lock;
    ChannelBuffers b = channelBuffers(channel);
    HVSOUND_SAMPLE* sample = channel->currentSample;
    if (!b.buffer || !sample)
        return true;
    if (paused) {
        DWORD status = 0;
        if (SUCCEEDED(b.buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING)) {
            channel->flags |= HVSOUND_CHANNEL_RESUME_PENDING;
            b.buffer->Stop();
        }
        return true;
    }
    bool result = true;
    if (channel->flags & HVSOUND_CHANNEL_RESUME_PENDING) {
        HRESULT played = b.buffer->Play(0, 0, playFlags(channel, sample));
        if (FAILED(played)) {
            HVSOUND_SetError(played == E_OUTOFMEMORY ? HVSOUND_ERR_MEMORY : HVSOUND_ERR_INVALID_PARAM);
            result = false;
        }
    }
    channel->flags &= ~uint32_t(HVSOUND_CHANNEL_RESUME_PENDING);
    return result;
}

int bytesPerSample(const HVSOUND_SAMPLE* sample)
{
    return ((sample->mode & HVSOUND_MODE_16BITS) ? 2 : 1) * ((sample->mode & HVSOUND_MODE_MONO) ? 1 : 2);
}

bool dsSetPosition(HVSOUND_CHANNEL* channel, int samples)
{
    ChannelBuffers b = channelBuffers(channel);
    HVSOUND_SAMPLE* sample = channel->currentSample;
    if (!b.buffer || !sample)
        return true;
    return SUCCEEDED(b.buffer->SetCurrentPosition(DWORD(samples) * DWORD(bytesPerSample(sample))));
}

int dsGetPosition(HVSOUND_CHANNEL* channel)
{
    ChannelBuffers b = channelBuffers(channel);
    HVSOUND_SAMPLE* sample = channel->currentSample;
    if (!b.buffer || !sample)
        return 0;
    DWORD play = 0;
    if (FAILED(b.buffer->GetCurrentPosition(&play, nullptr)))
        return 0;
    return int(play / DWORD(bytesPerSample(sample)));
}

bool dsIsPlaying(HVSOUND_CHANNEL* channel)
{
    if (channel->flags & (HVSOUND_CHANNEL_PAUSED | HVSOUND_CHANNEL_RESUME_PENDING))
        return true;
    ChannelBuffers b = channelBuffers(channel);
    if (!b.buffer)
        return false;
    DWORD status = 0;
    if (FAILED(b.buffer->GetStatus(&status))) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    return (status & DSBSTATUS_PLAYING) != 0;
}

bool dsUpdate3D(HVSOUND_CHANNEL* channel)
{
    DriverLock lock;
    ChannelBuffers b = channelBuffers(channel);
    if (!b.buffer3D)
        return true;
    DS3DBUFFER parameters;
    memset(&parameters, 0, sizeof parameters);
    parameters.dwSize = sizeof parameters;
    b.buffer3D->GetAllParameters(&parameters);
    parameters.vPosition = {channel->position.x, channel->position.y, channel->position.z};
    parameters.vVelocity = {channel->velocity.x, channel->velocity.y, channel->velocity.z};
    parameters.flMinDistance = channel->minDistance;
    parameters.flMaxDistance = channel->maxDistance;
    DWORD apply = (state().initFlags & HVSOUND_INIT_DEFER_3D) ? DS3D_DEFERRED : DS3D_IMMEDIATE;
    return SUCCEEDED(b.buffer3D->SetAllParameters(&parameters, apply));
}

int dsGetHardwareIndex(HVSOUND_CHANNEL*)
{
    return -1;
}

bool dsValidate(intptr_t value)
{
    if (value)
        return true;
    HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
    return false;
}

bool dsCloseChannel(HVSOUND_CHANNEL* channel)
{
    // Forget the channel's record so a later engine start begins afresh.
    dsStop(channel);
    std::lock_guard<std::mutex> guard(g_tableMutex);
    g_channels.erase(channel);
    return true;
}

void dsInitSampleFunctions(HVSOUND_SAMPLE* sample)
{
    sample->functions.createBuffer = dsCreateBuffer;
    sample->functions.releaseBuffer = dsReleaseBuffer;
    sample->functions.lock = dsLock;
    sample->functions.unlock = dsUnlock;
}

void dsInitChannelFunctions(HVSOUND_CHANNEL* channel)
{
    HVSOUND_ChannelFunctions& f = channel->functions;
    f.closeChannel = dsCloseChannel;
    f.setSample = dsSetSample;
    f.start = dsStart;
    f.stop = dsStop;
    f.setFrequency = dsSetFrequency;
    f.setFrequencyFloat = dsSetFrequencyFloat;
    f.setVolume = dsSetVolume;
    f.setPan = dsSetPan;
    f.setPaused = dsSetPaused;
    f.setPosition = dsSetPosition;
    f.getPosition = dsGetPosition;
    f.isPlaying = dsIsPlaying;
    f.update3D = dsUpdate3D;
    f.getHardwareIndex = dsGetHardwareIndex;
    f.validate = dsValidate;
}

HVSOUND_OutputDriver g_dsound = {
    0,
    0,
    1,
    dsEnumerate,
    dsInit,
    dsClose,
    dsInitSampleFunctions,
    dsInitChannelFunctions,
    dsGetDriverCaps,
    dsGetOutputHandle,
    dsSetSpeakerMode,
    dsUpdate,
    HVSOUND_Driver_HardwareVoiceCheck,
    HVSOUND_Driver_SetProperties,
    HVSOUND_Driver_GetProperties,
};

} // namespace

HVSOUND_OutputDriver* HVSOUND_Output_DirectSound()
{
    return &g_dsound;
}

int HVSOUND_DSound_VolumeTable(int volume)
{
    volume = volume < 0 ? 0 : volume > 255 ? 255 : volume;
    return volumeTable().values[volume];
}
