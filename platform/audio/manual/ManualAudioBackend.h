// ManualAudioBackend.h: a sound output for tests whose devices play only when
// the test pumps them, so a test decides exactly how far playback has got and
// reads back the bytes that were "heard".
#pragma once

#include "platform/audio/AudioBackend.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::audio {

struct ManualAudioState;

class ManualAudioBackend : public AudioBackend {
public:
    // One device named "Test audio output", taking 256 frames per request.
    ManualAudioBackend();
    ~ManualAudioBackend() override;

    // The devices offered (none: every open fails).
    void setDevices(std::vector<std::string> names);
    // Makes every open fail although devices are listed.
    void setOpenRefused(bool refused);
    // Refuses one open only: the one that comes after `opensFirst` more
    // have been made (a device that opens, then refuses a later format).
    void refuseOneOpen(int opensFirst);
    // The request size the outputs report (does not bound pump()).
    void setChunkFrames(uint32_t frames);

    const char* name() const override { return "manual"; }
    int deviceCount() override;
    std::string deviceName(int index) override;
    std::unique_ptr<AudioOutput> open(int index, const AudioFormat& format, AudioSource& source) override;

    // Outputs open now, and the format and device index of one of them
    // (-1: the one opened last).
    int openOutputs() const;
    AudioFormat outputFormat(int output = -1) const;
    int outputDevice(int output = -1) const;
    // Lets an open output (-1: the one opened last) play `frames` frames and
    // returns the bytes its source gave; empty when no such output is open.
    std::vector<uint8_t> pump(size_t frames, int output = -1);

private:
    std::shared_ptr<ManualAudioState> m_state;
};

} // namespace platform::audio
