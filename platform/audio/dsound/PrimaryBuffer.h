// PrimaryBuffer.h: the primary buffer, which stands for the device's output:
// its format is the output's format. It holds no sound of its own.
#pragma once

#include "platform/audio/DirectSound.h"
#include "platform/audio/dsound/SoundMixer.h"
#include "platform/d3d9/ComObject.h"

#include <memory>

namespace platform::audio {

class PrimaryBuffer final : public platform::d3d9::ComObject<IDirectSoundBuffer> {
public:
    explicit PrimaryBuffer(std::shared_ptr<SoundMixer> mixer) : m_mixer(std::move(mixer)) {}

    // The output always runs: it plays, looping, whatever is mixed into it.
    HRESULT GetStatus(LPDWORD status) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT Stop() override { return DS_OK; }
    // Reopens the output in the new format; needs DSSCL_PRIORITY or above.
    HRESULT SetFormat(LPCWAVEFORMATEX format) override;

    // The output's memory is never handed out, nor are its controls.
    HRESULT GetCurrentPosition(LPDWORD, LPDWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD) override { return DSERR_PRIOLEVELNEEDED; }
    HRESULT SetCurrentPosition(DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT SetVolume(LONG) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT SetPan(LONG) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT SetFrequency(DWORD) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Restore() override { return DS_OK; }

protected:
    bool implements(REFIID riid) const override { return riid == IID_IDirectSoundBuffer; }

private:
    std::shared_ptr<SoundMixer> m_mixer;
};

} // namespace platform::audio
