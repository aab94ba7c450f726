// SoundDevice.cpp: buffer creation with its checks, capabilities, duplicates
// and the cooperative level.
#include "platform/audio/dsound/SoundDevice.h"

#include "platform/audio/dsound/PrimaryBuffer.h"
#include "platform/audio/dsound/SoundBuffer.h"

#include <cstring>
#include <new>

namespace platform::audio {

SoundDevice::~SoundDevice()
{
    m_mixer->shutdown();
}

HRESULT SoundDevice::CreateSoundBuffer(LPCDSBUFFERDESC description, IDirectSoundBuffer** buffer, IUnknown* outer)
{
    if (!buffer)
        return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (outer)
        return DSERR_NOAGGREGATION;
    if (!description)
        return DSERR_INVALIDPARAM;
    const DWORD size = description->dwSize;
    const bool full = size == DSBUFFERDESC_SIZE32 || size == sizeof(DSBUFFERDESC);
    const bool shortForm = size == DSBUFFERDESC1_SIZE32 || size == DSBUFFERDESC1_SIZE;
    if (!full && !shortForm)
        return DSERR_INVALIDPARAM;
    if (description->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        // The output has no size or format of its own to be given here.
        if (description->dwBufferBytes != 0 || description->lpwfxFormat)
            return DSERR_INVALIDPARAM;
        *buffer = new PrimaryBuffer(m_mixer);
        return DS_OK;
    }
    return createSecondary(*description, full, buffer);
}

HRESULT SoundDevice::createSecondary(const DSBUFFERDESC& description, bool withAlgorithm, IDirectSoundBuffer** buffer)
{
    AudioFormat format;
    HRESULT hr = readSoundFormat(description.lpwfxFormat, format);
    if (FAILED(hr))
        return hr;
    const DWORD flags = description.dwFlags;
    const DWORD location = flags & (DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE);
    if (location == (DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE) || (location && (flags & DSBCAPS_LOCDEFER)))
        return DSERR_INVALIDPARAM;
    // Positioned sound is mono and is not panned.
    if ((flags & DSBCAPS_CTRL3D) && ((flags & DSBCAPS_CTRLPAN) || format.channels != 1))
        return DSERR_INVALIDPARAM;
    // Every voice is mixed in software: there are no hardware voices.
    if (location == DSBCAPS_LOCHARDWARE)
        return DSERR_CONTROLUNAVAIL;
    if (description.dwBufferBytes < DSBSIZE_MIN || description.dwBufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    const DWORD bytes = description.dwBufferBytes - description.dwBufferBytes % format.frameBytes();
    const GUID algorithm = withAlgorithm ? description.guid3DAlgorithm : DS3DALG_DEFAULT;
    try {
        *buffer = new SoundBuffer(m_mixer, format, bytes, flags, algorithm);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    return DS_OK;
}

HRESULT SoundDevice::GetCaps(LPDSCAPS caps)
{
    if (!caps || caps->dwSize != sizeof(DSCAPS))
        return DSERR_INVALIDPARAM;
    std::memset(caps, 0, sizeof(DSCAPS));
    caps->dwSize = sizeof(DSCAPS);
    // Every format at any rate, mixed in software: no hardware voices, no 3D
    // voices, and not an emulated driver.
    caps->dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT |
                    DSCAPS_CONTINUOUSRATE | DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO |
                    DSCAPS_SECONDARY8BIT | DSCAPS_SECONDARY16BIT;
    caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
    caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
    caps->dwPrimaryBuffers = 1;
    return DS_OK;
}

HRESULT SoundDevice::DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate)
{
    if (!duplicate)
        return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    if (!original)
        return DSERR_INVALIDPARAM;
    auto* source = dynamic_cast<SoundBuffer*>(original);
    if (!source)
        return DSERR_INVALIDCALL; // the primary buffer has no sound to share
    try {
        *duplicate = source->duplicate();
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    return DS_OK;
}

HRESULT SoundDevice::SetCooperativeLevel(HWND, DWORD level)
{
    if (level == DSSCL_WRITEPRIMARY)
        return DSERR_UNSUPPORTED; // the output's memory is never handed out
    if (level < DSSCL_NORMAL || level > DSSCL_EXCLUSIVE)
        return DSERR_INVALIDPARAM;
    m_mixer->cooperativeLevel = level;
    return DS_OK;
}

HRESULT SoundDevice::SetSpeakerConfig(DWORD config)
{
    if ((config & 0xFF) > DSSPEAKER_5POINT1)
        return DSERR_INVALIDPARAM;
    m_mixer->speakerConfig = config;
    return DS_OK;
}

} // namespace platform::audio
