// WavWriter.cpp: PCM WAV files, and tone WAVs made with them.
#include "tools/WavWriter.h"

#include <cmath>

namespace tools {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

std::vector<uint8_t> toneWav(double hertz, int milliseconds, int rate, int peak)
{
    const int frames = int(int64_t(rate) * milliseconds / 1000);
    std::vector<int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        const double envelope = 1.0 - double(i) / frames;
        samples.push_back(int16_t(std::sin(2.0 * 3.14159265358979 * hertz * i / rate) * envelope * peak));
    }
    return pcmWav(samples, rate);
}

std::vector<uint8_t> pcmWav(const std::vector<int16_t>& samples, int rate)
{
    std::vector<uint8_t> pcm;
    for (int16_t v : samples)
        put16(pcm, uint32_t(uint16_t(v)));
    std::vector<uint8_t> wav = {'R', 'I', 'F', 'F'};
    put32(wav, uint32_t(38 + pcm.size()));
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    // The format record with its extra-size word (no extra bytes).
    put32(wav, 18);
    put16(wav, 1);
    put16(wav, 1);
    put32(wav, uint32_t(rate));
    put32(wav, uint32_t(rate) * 2);
    put16(wav, 2);
    put16(wav, 16);
    put16(wav, 0);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    put32(wav, uint32_t(pcm.size()));
    wav.insert(wav.end(), pcm.begin(), pcm.end());
    return wav;
}

} // namespace tools
