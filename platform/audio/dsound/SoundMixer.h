// SoundMixer.h: the output of one sound-buffer device: it holds the backend's
// device in the primary format and mixes every playing secondary buffer into it.
#pragma once

#include "platform/audio/AudioBackend.h"
#include "platform/audio/DirectSound.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace platform::audio {

class SoundBuffer;

// Reads a buffer or output format: 8- or 16-bit PCM, one or two channels, a
// rate the device plays, a consistent block size. DSERR_BADFORMAT for any
// other kind of data, DSERR_INVALIDPARAM for inconsistent fields.
HRESULT readSoundFormat(LPCWAVEFORMATEX format, AudioFormat& result);

class SoundMixer : public AudioSource {
public:
    SoundMixer() = default;
    ~SoundMixer() override;
    SoundMixer(const SoundMixer&) = delete;
    SoundMixer& operator=(const SoundMixer&) = delete;

    // Opens device `index` (-1: default) of `backend` in `format`.
    bool open(std::shared_ptr<AudioBackend> backend, int index, const AudioFormat& format);
    // Reopens the device in a new format; on failure the old format is
    // reopened and false returned. False once shut down.
    bool setFormat(const AudioFormat& format);
    // Closes the device for good; buffers still held go silent.
    void shutdown();

    // Guards the playback state of every buffer attached to this mixer; the
    // mixing runs under it.
    std::mutex& stateMutex() { return m_mutex; }
    // Under stateMutex(): the output's format and request size.
    const AudioFormat& format() const { return m_format; }
    uint32_t chunkFrames() const { return m_chunkFrames; }

    void attach(SoundBuffer* buffer);
    void detach(SoundBuffer* buffer);
    // Marks every attached buffer lost.
    void loseAll();

    std::atomic<DWORD> cooperativeLevel{0};
    std::atomic<DWORD> speakerConfig{DSSPEAKER_STEREO};

    void render(uint8_t* out, size_t bytes) override;

private:
    std::mutex m_outputMutex; // serialises opening and closing the device
    std::shared_ptr<AudioBackend> m_backend;
    int m_device = -1;
    std::unique_ptr<AudioOutput> m_output;
    bool m_shutDown = false;

    std::mutex m_mutex;
    AudioFormat m_format;
    uint32_t m_chunkFrames = 0;
    std::vector<SoundBuffer*> m_buffers;
    std::vector<float> m_mix; // stereo frames, in 16-bit sample units
};

} // namespace platform::audio
