// SoundBuffer.h: a secondary sound buffer: a ring of sound in one format with
// its own position, play state, volume, pan and frequency, mixed by the
// device's mixer. Duplicates share the memory, and the locks on it, and
// nothing else.
#pragma once

#include "platform/audio/DirectSound.h"
#include "platform/audio/dsound/SoundMixer.h"
#include "platform/d3d9/ComObject.h"

#include <memory>
#include <vector>

namespace platform::audio {

class SoundBuffer final : public platform::d3d9::ComObject<IDirectSoundBuffer> {
public:
    // A silent buffer of `bytes` (a whole number of frames) in `format`.
    SoundBuffer(std::shared_ptr<SoundMixer> mixer, const AudioFormat& format, DWORD bytes, DWORD flags,
                const GUID& algorithm);
    ~SoundBuffer() override;

    // A new buffer over the same memory, stopped at position 0.
    SoundBuffer* duplicate();

    HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) override;
    HRESULT GetStatus(LPDWORD status) override;
    // From Lock until the Unlock that names the same first part, the mixer
    // plays silence for the locked bytes instead of reading them: a caller
    // writing them never races the device, which never plays a part of them
    // half written.
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                 DWORD flags) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT SetCurrentPosition(DWORD position) override;
    HRESULT SetFormat(LPCWAVEFORMATEX format) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT Stop() override;
    HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) override;
    HRESULT Restore() override;

    // Under the mixer's state lock: adds `frames` stereo frames of this
    // buffer, played from its position at the output rate, to `mix`.
    void mixInto(float* mix, size_t frames, uint32_t outputRate);
    // Under the mixer's state lock: stops and refuses Lock and Play until Restore.
    void lose();

protected:
    bool implements(REFIID riid) const override { return riid == IID_IDirectSoundBuffer; }

private:
    // A lock not yet unlocked: its first part, and the bytes it covers from
    // `offset` on, running on round the end of the buffer.
    struct LockedBytes {
        const uint8_t* part1;
        DWORD offset;
        DWORD bytes;
    };

    // A duplicate of `original` with the given controls.
    SoundBuffer(const SoundBuffer& original, DWORD frequency, LONG volume, LONG pan);
    // Under the state lock.
    void updateGains();
    float sample(uint32_t frame, int channel) const;
    // Under the state lock: whether a byte of `frame` is locked.
    bool locked(uint32_t frame) const;
    DWORD writeCursor() const;

    std::shared_ptr<SoundMixer> m_mixer;
    std::shared_ptr<std::vector<uint8_t>> m_data;
    // The locks on the memory, shared with it; under the state lock.
    std::shared_ptr<std::vector<LockedBytes>> m_locks;
    const AudioFormat m_format;
    const DWORD m_flags;
    const GUID m_algorithm;
    const uint32_t m_frames;

    // Playback state, under the mixer's state lock.
    bool m_playing = false;
    bool m_looping = false;
    bool m_lost = false;
    uint64_t m_position = 0; // frames, 32.32 fixed point
    DWORD m_frequency;
    LONG m_volume = 0;
    LONG m_pan = 0;
    float m_gains[2] = {1.0f, 1.0f};
};

} // namespace platform::audio
