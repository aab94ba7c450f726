// WaveOutDevice.h: one open waveform-audio output: its queue of headers with
// their loops, the bytes the program holds, the byte position counter and
// the volume, played through an output of the sound backend.
#pragma once

#include "platform/audio/AudioBackend.h"
#include "platform/audio/WinMM.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace platform::audio {

class WaveOutDevice : public AudioSource {
public:
    explicit WaveOutDevice(const AudioFormat& format);
    ~WaveOutDevice() override;
    WaveOutDevice(const WaveOutDevice&) = delete;
    WaveOutDevice& operator=(const WaveOutDevice&) = delete;

    // Opens the backend's device `index` (-1: default); false when it cannot.
    bool open(AudioBackend& backend, int index);
    // Stops the backend's device. Refused (false) while headers are queued;
    // afterwards writes are refused with MMSYSERR_INVALHANDLE.
    bool close();

    MMRESULT write(WAVEHDR* header);
    MMRESULT unprepare(WAVEHDR* header);
    void reset();
    uint64_t bytesPlayed() const;
    // Until released, the device plays silence for the `bytes` bytes at
    // `data` instead of reading them. A release names where its hold starts.
    void hold(const void* data, size_t bytes);
    void release(const void* data);
    const AudioFormat& format() const { return m_format; }
    void setVolume(DWORD volume);

    void render(uint8_t* out, size_t bytes) override;

private:
    // Plays queued data into `out`; returns the bytes written.
    size_t play(uint8_t* out, size_t bytes);
    // Copies `bytes` bytes of a header's data to `out`, with silence for
    // the held ones.
    void copyUnheld(uint8_t* out, const uint8_t* data, size_t bytes) const;
    void finishHeader(WAVEHDR* header);
    void applyVolume(uint8_t* data, size_t bytes) const;

    struct Held {
        uintptr_t start;
        size_t bytes;
    };

    const AudioFormat m_format;
    mutable std::mutex m_mutex;
    std::deque<WAVEHDR*> m_queue;
    size_t m_playing = 0;        // index in the queue of the header being played
    DWORD m_offset = 0;          // bytes of it already played
    bool m_inLoop = false;       // between a BEGINLOOP header and its ENDLOOP header
    size_t m_loopStart = 0;      // queue index of the BEGINLOOP header
    DWORD m_loopsLeft = 0;       // passes of the loop still to play, this one included
    uint64_t m_loopPassBytes = 0; // bytes played in the current pass
    uint64_t m_played = 0;
    DWORD m_volume = 0xFFFFFFFFu;
    std::vector<Held> m_held;
    bool m_closed = false;
    std::unique_ptr<AudioOutput> m_output;
};

} // namespace platform::audio
