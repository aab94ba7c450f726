// AudioBackend.h: the driver interface under the sound output calls (an SDL
// one for the program and a manual-pump one for tests) and where it is chosen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform::audio {

// Linear PCM as a device plays it: 8-bit unsigned or 16-bit signed
// little-endian samples, channels interleaved.
struct AudioFormat {
    uint32_t rate = 22050;
    uint16_t channels = 2;
    uint16_t bits = 16;

    uint32_t frameBytes() const { return uint32_t(channels) * bits / 8; }
    bool operator==(const AudioFormat& o) const
    {
        return rate == o.rate && channels == o.channels && bits == o.bits;
    }
    bool operator!=(const AudioFormat& o) const { return !(*this == o); }
};

// What an open output plays: the device asks for the next bytes whenever it
// needs them, on a thread of its own (or on the thread of a test that pumps
// it). `bytes` is always a whole number of frames of the output's format.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual void render(uint8_t* out, size_t bytes) = 0;
};

// An open device. It plays from the moment it is opened; destroying it stops
// the device and returns only when no render call runs any more, so the
// caller must not hold a lock that its render takes while destroying it.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    virtual const AudioFormat& format() const = 0;
    // How many frames the device takes in one request: the distance by which
    // what has been played runs ahead of what is heard.
    virtual uint32_t chunkFrames() const = 0;
};

class AudioBackend {
public:
    virtual ~AudioBackend() = default;
    virtual const char* name() const = 0;
    // Output devices, by index from 0; no device means no sound can be opened.
    virtual int deviceCount() = 0;
    virtual std::string deviceName(int index) = 0;
    // Opens device `index` (-1: the default device) to play `source` in
    // `format`; null when it cannot be opened. The output may outlive the
    // backend that made it.
    virtual std::unique_ptr<AudioOutput> open(int index, const AudioFormat& format, AudioSource& source) = 0;
};

// The backend in use, made on first use: SDL's audio output.
std::shared_ptr<AudioBackend> audioBackend();
// Installs a backend (null: make the SDL one again on next use). Outputs that
// are open stay on the backend that opened them.
void setAudioBackend(std::shared_ptr<AudioBackend> backend);

} // namespace platform::audio
