// VorbisWriter.h: PCM encoded as one Ogg Vorbis stream with libvorbisenc
// (the sample game's Ogg music, the sound tests' Ogg fixtures).
#pragma once

#include <cstdint>
#include <vector>

namespace tools {

class VorbisWriter {
public:
    // One vector of samples (-1..1) per channel, all of the same length, at
    // `rate`; VBR quality -0.1 (smallest) to 1.0; the logical stream's serial
    // number. Empty when the encoder refuses the rate or channel count.
    static std::vector<uint8_t> encode(const std::vector<std::vector<float>>& channels, int rate,
                                       float quality = 0.3f, int serial = 1234);
};

} // namespace tools
