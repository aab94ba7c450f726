// SoundDevice.h: the sound-buffer device object: it makes primary and
// secondary buffers over its mixer and reports software-only capabilities.
#pragma once

#include "platform/audio/DirectSound.h"
#include "platform/audio/dsound/SoundMixer.h"
#include "platform/d3d9/ComObject.h"

#include <memory>

namespace platform::audio {

class SoundDevice final : public platform::d3d9::ComObject<IDirectSound8> {
public:
    // Takes a mixer whose output is open.
    explicit SoundDevice(std::shared_ptr<SoundMixer> mixer) : m_mixer(std::move(mixer)) {}
    // Closes the output: buffers still held go silent.
    ~SoundDevice() override;

    SoundMixer& mixer() { return *m_mixer; }

    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC description, IDirectSoundBuffer** buffer, IUnknown* outer) override;
    HRESULT GetCaps(LPDSCAPS caps) override;
    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;
    HRESULT SetSpeakerConfig(DWORD config) override;

protected:
    bool implements(REFIID riid) const override { return riid == IID_IDirectSound || riid == IID_IDirectSound8; }

private:
    HRESULT createSecondary(const DSBUFFERDESC& description, bool withAlgorithm, IDirectSoundBuffer** buffer);

    std::shared_ptr<SoundMixer> m_mixer;
};

} // namespace platform::audio
