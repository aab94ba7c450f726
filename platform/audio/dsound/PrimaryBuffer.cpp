// PrimaryBuffer.cpp: the primary buffer's status and format.
#include "platform/audio/dsound/PrimaryBuffer.h"

namespace platform::audio {

HRESULT PrimaryBuffer::GetStatus(LPDWORD status)
{
    if (!status)
        return DSERR_INVALIDPARAM;
    *status = DSBSTATUS_PLAYING | DSBSTATUS_LOOPING;
    return DS_OK;
}

HRESULT PrimaryBuffer::Play(DWORD reserved, DWORD priority, DWORD flags)
{
    // The primary buffer plays only looping, and only where it is.
    if (reserved != 0 || priority != 0 || !(flags & DSBPLAY_LOOPING) ||
        (flags & (DSBPLAY_LOCHARDWARE | DSBPLAY_LOCSOFTWARE)))
        return DSERR_INVALIDPARAM;
    return DS_OK;
}

HRESULT PrimaryBuffer::SetFormat(LPCWAVEFORMATEX format)
{
    AudioFormat f;
    HRESULT hr = readSoundFormat(format, f);
    if (FAILED(hr))
        return hr;
    if (m_mixer->cooperativeLevel.load() < DSSCL_PRIORITY)
        return DSERR_PRIOLEVELNEEDED;
    return m_mixer->setFormat(f) ? DS_OK : DSERR_GENERIC;
}

} // namespace platform::audio
