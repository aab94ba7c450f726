// WaveOut.cpp: the waveform-audio output calls over a table of open devices,
// the holds on bytes being rewritten, and the millisecond timer.
#include "platform/audio/WinMM.h"
#include "platform/audio/WaveOutDevice.h"
#include "platform/kernel/Clock.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

using platform::audio::AudioFormat;
using platform::audio::WaveOutDevice;

namespace {

// The rates sound devices offer, and so the range a format may ask for.
constexpr DWORD kMinRate = 100;
constexpr DWORD kMaxRate = 200000;

std::mutex g_tableMutex;
std::map<HWAVEOUT, std::shared_ptr<WaveOutDevice>> g_devices;

std::shared_ptr<WaveOutDevice> findDevice(HWAVEOUT handle)
{
    std::lock_guard<std::mutex> lock(g_tableMutex);
    auto it = g_devices.find(handle);
    return it == g_devices.end() ? nullptr : it->second;
}

bool headerSizeValid(const WAVEHDR* header, UINT size)
{
    return header && (size == WAVEHDR_SIZE32 || size >= sizeof(WAVEHDR));
}

bool formatValid(const WAVEFORMATEX& f)
{
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= kMinRate &&
           f.nSamplesPerSec <= kMaxRate && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 &&
           f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
}

} // namespace

UINT waveOutGetNumDevs()
{
    return UINT(std::max(platform::audio::audioBackend()->deviceCount(), 0));
}

MMRESULT waveOutGetDevCapsA(UINT_PTR deviceId, LPWAVEOUTCAPSA caps, UINT size)
{
    if (!caps || size == 0)
        return MMSYSERR_INVALPARAM;
    auto backend = platform::audio::audioBackend();
    const int count = backend->deviceCount();
    const bool mapper = UINT(deviceId) == WAVE_MAPPER;
    if (count <= 0)
        return MMSYSERR_NODRIVER;
    if (!mapper && deviceId >= UINT_PTR(count))
        return MMSYSERR_BADDEVICEID;
    WAVEOUTCAPSA result;
    std::memset(&result, 0, sizeof result);
    std::string name = backend->deviceName(mapper ? 0 : int(deviceId));
    std::strncpy(result.szPname, name.c_str(), MAXPNAMELEN - 1);
    result.vDriverVersion = 0x0100;
    result.dwFormats = 0xFFF; // every standard rate (11, 22, 44 kHz), width and channel count
    result.wChannels = 2;
    result.dwSupport = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME;
    std::memcpy(caps, &result, std::min<size_t>(size, sizeof result));
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutOpen(LPHWAVEOUT handle, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR /*callback*/,
                     DWORD_PTR /*instance*/, DWORD flags)
{
    const bool query = (flags & WAVE_FORMAT_QUERY) != 0;
    if (handle && !query)
        *handle = nullptr;
    if (!format || (!handle && !query))
        return MMSYSERR_INVALPARAM;
    // Nothing here can call the program back; it polls the headers' flags.
    if ((flags & CALLBACK_TYPEMASK) != CALLBACK_NULL)
        return MMSYSERR_NOTSUPPORTED;
    auto backend = platform::audio::audioBackend();
    const int count = backend->deviceCount();
    if (count <= 0)
        return MMSYSERR_NODRIVER;
    if (deviceId != WAVE_MAPPER && deviceId >= UINT(count))
        return MMSYSERR_BADDEVICEID;
    if (!formatValid(*format))
        return WAVERR_BADFORMAT;
    if (query)
        return MMSYSERR_NOERROR;

    AudioFormat f;
    f.rate = format->nSamplesPerSec;
    f.channels = format->nChannels;
    f.bits = format->wBitsPerSample;
    auto device = std::make_shared<WaveOutDevice>(f);
    if (!device->open(*backend, deviceId == WAVE_MAPPER ? -1 : int(deviceId)))
        return MMSYSERR_ERROR;
    HWAVEOUT opened = reinterpret_cast<HWAVEOUT>(device.get());
    {
        std::lock_guard<std::mutex> lock(g_tableMutex);
        g_devices[opened] = std::move(device);
    }
    *handle = opened;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT handle)
{
    std::shared_ptr<WaveOutDevice> device;
    {
        std::lock_guard<std::mutex> lock(g_tableMutex);
        auto it = g_devices.find(handle);
        if (it == g_devices.end())
            return MMSYSERR_INVALHANDLE;
        if (!it->second->close())
            return WAVERR_STILLPLAYING;
        device = std::move(it->second);
        g_devices.erase(it);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT size)
{
    if (!findDevice(handle))
        return MMSYSERR_INVALHANDLE;
    if (!headerSizeValid(header, size))
        return MMSYSERR_INVALPARAM;
    // A queued header is prepared already, and only the device writes its flags then.
    if (!(header->dwFlags & WHDR_PREPARED))
        header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT size)
{
    auto device = findDevice(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    if (!headerSizeValid(header, size))
        return MMSYSERR_INVALPARAM;
    return device->unprepare(header);
}

MMRESULT waveOutWrite(HWAVEOUT handle, LPWAVEHDR header, UINT size)
{
    auto device = findDevice(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    if (!headerSizeValid(header, size))
        return MMSYSERR_INVALPARAM;
    return device->write(header);
}

MMRESULT waveOutReset(HWAVEOUT handle)
{
    auto device = findDevice(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    device->reset();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetPosition(HWAVEOUT handle, LPMMTIME time, UINT size)
{
    auto device = findDevice(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    if (!time || size < sizeof(MMTIME))
        return MMSYSERR_INVALPARAM;
    time->wType = TIME_BYTES;
    time->u.cb = DWORD(device->bytesPlayed());
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWAVEOUT handle, DWORD volume)
{
    auto device = findDevice(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    device->setVolume(volume);
    return MMSYSERR_NOERROR;
}

DWORD timeGetTime()
{
    return platform::clock().tickCount();
}

namespace platform::audio {

MMRESULT holdWaveData(HWAVEOUT handle, const void* data, DWORD bytes)
{
    auto device = findDevice(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    if (!data || bytes == 0)
        return MMSYSERR_INVALPARAM;
    device->hold(data, bytes);
    return MMSYSERR_NOERROR;
}

MMRESULT releaseWaveData(HWAVEOUT handle, const void* data)
{
    auto device = findDevice(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    device->release(data);
    return MMSYSERR_NOERROR;
}

} // namespace platform::audio
