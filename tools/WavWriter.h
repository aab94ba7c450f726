// WavWriter.h: small PCM WAV files made in code: the sample data's sounds,
// the demos' and the tests' clips.
#pragma once

#include <cstdint>
#include <vector>

namespace tools {

// A 16-bit mono WAV of a sine tone at `hertz`, `milliseconds` long at
// `rate` samples a second, fading out linearly, peaking at `peak`.
std::vector<uint8_t> toneWav(double hertz, int milliseconds, int rate = 22050, int peak = 12000);

// A 16-bit mono PCM WAV of the samples at `rate` samples a second.
std::vector<uint8_t> pcmWav(const std::vector<int16_t>& samples, int rate);

} // namespace tools
