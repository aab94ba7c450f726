// MpegTestSupport.h: helpers for the MPEG reader's tests: test signals,
// MP3 files made by lame and decoded by mpg123 at test time, frames decoded
// one after another through the reader, and PCM compared with a reference
// as RMS error, largest difference and SNR.
#pragma once

#include "sound/core/system_file.h"
#include "sound/formats/format_mpeg.h"
#include "sound/formats/mpeg_tables.h"
#include "tests/sound/formats/WavBuilder.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <cstdlib>
#include <random>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace mpegtest {

inline std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<int16_t> asPcm(const std::vector<uint8_t>& bytes)
{
    std::vector<int16_t> pcm(bytes.size() / 2);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = int16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return pcm;
}

// Offsets of every frame of `bytes` from an exact scan.
inline std::vector<uint32_t> frameOffsets(std::vector<uint8_t>& bytes)
{
    HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
    HVSOUND_MPEG_FRAMETABLE table{};
    HVSOUND_MPEG_ScanFrames(file, int(bytes.size()), 4608, &table);
    std::vector<uint32_t> offsets(table.offsets, table.offsets + table.count);
    HVSOUND_MPEG_FreeFrameTable(&table);
    HVSOUND_File_Close(file);
    return offsets;
}

// Decodes every frame of `bytes` from its first frame on, as a stream
// would, and hands each frame's PCM to `use(samples, count)`. With
// `everyFormat` frames of another rate or channel count than the first are
// decoded too, as the layer III decoder alone would. False when the reader
// refuses the data.
template <typename Use> bool forEachFrame(std::vector<uint8_t>& bytes, uint32_t mode, Use use, bool everyFormat = false)
{
    HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
    if (!file)
        return false;
    int rate = 0, dataLength = 0, pcmLength = 0, sourceSize = 0, dataOffset = 0, ms = 0;
    HVSOUND_MPEG_DECODER* decoder = nullptr;
    bool opened = HVSOUND_MPEG_Open(file, &mode, &rate, &dataLength, &pcmLength, &decoder, &sourceSize, &dataOffset,
                                    &ms, nullptr, nullptr, nullptr);
    if (opened) {
        if (everyFormat)
            decoder->streamFrequency = 0;
        HVSOUND_File_Seek(file, dataOffset, SEEK_SET);
        std::vector<uint8_t> source(static_cast<size_t>(sourceSize));
        int16_t pcm[HVSOUND_MPEG_MAX_FRAME_PCM / 2];
        HVSOUND_MPEG_ReadSource from{file, decoder, dataOffset + dataLength};
        for (bool more = true; more;) {
            int length = sizeof(pcm);
            more = HVSOUND_MPEG_Read(from, source.data(), sourceSize, pcm, &length);
            if (length > 0)
                use(pcm, length / 2);
        }
        HVSOUND_MPEG_FreeDecoder(decoder);
    }
    HVSOUND_File_Close(file);
    return opened;
}

// The whole stream's PCM; `frames` receives each frame's sample count.
// Empty when the reader refuses the data.
inline std::vector<int16_t> decodeStream(std::vector<uint8_t>& bytes, std::vector<int>* frames = nullptr,
                                         uint32_t mode = 0, bool everyFormat = false)
{
    std::vector<int16_t> out;
    forEachFrame(bytes, mode, [&](const int16_t* pcm, int count) {
        out.insert(out.end(), pcm, pcm + count);
        if (frames)
            frames->push_back(count);
    }, everyFormat);
    return out;
}

struct Difference {
    double rms = 0;     // in units of full scale
    int maxLsb = 0;     // largest absolute difference
    double snrDb = 0;   // reference power over difference power
    size_t compared = 0;
};

inline Difference compare(const int16_t* ours, const int16_t* reference, size_t count)
{
    Difference d;
    double sumDiff = 0, sumRef = 0;
    for (size_t i = 0; i < count; ++i) {
        int diff = int(ours[i]) - int(reference[i]);
        sumDiff += double(diff) * diff;
        sumRef += double(reference[i]) * reference[i];
        d.maxLsb = std::max(d.maxLsb, std::abs(diff));
    }
    d.compared = count;
    d.rms = count ? std::sqrt(sumDiff / double(count)) / 32768.0 : 0;
    d.snrDb = sumDiff > 0 ? 10.0 * std::log10(sumRef / sumDiff) : 999.0;
    return d;
}

// Decodes at another output scale while it lives (the standard's
// reconstruction is scaled by 32768; the engine's by 32767).
class OutputScale {
public:
    explicit OutputScale(long scale)
    {
        HVSOUND_MPEG_InitTables();
        HVSOUND_MPEG_InitSynthTables(scale);
    }
    ~OutputScale() { HVSOUND_MPEG_InitSynthTables(32767); }
    OutputScale(const OutputScale&) = delete;
    OutputScale& operator=(const OutputScale&) = delete;
};

// True when `tool` runs from the path.
inline bool haveTool(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// A deterministic test signal of `seconds` at `rate`: a chord with vibrato,
// different in each channel, at about a third of full scale, and with
// `transients` a burst of noise every 0.3 s that makes the encoder switch
// to short blocks.
inline std::vector<int16_t> testSignal(int rate, int channels, double seconds, bool transients, double level = 0.35)
{
    std::mt19937 random(77);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    int frames = int(rate * seconds);
    std::vector<int16_t> pcm(size_t(frames) * size_t(channels));
    const double notes[] = {196.0, 246.94, 293.66, 392.0};
    for (int i = 0; i < frames; ++i) {
        double t = double(i) / rate;
        for (int ch = 0; ch < channels; ++ch) {
            double v = 0;
            for (int n = 0; n < 4; ++n)
                v += std::sin(2 * M_PI * notes[n] * (n + 1 + ch) * t + 0.3 * std::sin(2 * M_PI * 4 * t) + ch) / 4;
            if (transients && std::fmod(t, 0.3) < 0.004)
                v += noise(random) * 1.5;
            pcm[size_t(i) * size_t(channels) + size_t(ch)] = int16_t(std::lrint(std::max(-1.0, std::min(1.0, v * level)) * 32767));
        }
    }
    return pcm;
}

// Encodes `pcm` with lame and the given options (always without an info
// frame); empty when lame is missing or fails.
inline std::vector<uint8_t> lameEncode(const testsupport::TempDir& dir, const std::vector<int16_t>& pcm, int rate,
                                       int channels, const std::string& options)
{
    std::vector<uint8_t> bytes;
    for (int16_t v : pcm)
        wavtest::put16(bytes, uint16_t(v));
    std::vector<uint8_t> wav = wavtest::WavBuilder().pcm(uint16_t(channels), uint32_t(rate), 16).data(bytes).build();
    std::string in = dir.write("in.wav", std::string(wav.begin(), wav.end()));
    std::string out = dir.file("out.mp3");
    std::string command = "lame --quiet -t " + options + " " + in + " " + out + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return {};
    return readFile(out);
}

// An MP3 of testSignal made by lame once per set of options and kept for
// the run; empty when lame is missing or fails.
inline const std::vector<uint8_t>& lameFile(int rate, int channels, const std::string& options,
                                            bool transients = true, double seconds = 1.0)
{
    static std::map<std::string, std::vector<uint8_t>> made;
    std::string key = std::to_string(rate) + "/" + std::to_string(channels) + "/" + options + "/" +
                      std::to_string(transients) + "/" + std::to_string(seconds);
    auto found = made.find(key);
    if (found != made.end())
        return found->second;
    testsupport::TempDir dir;
    std::vector<int16_t> pcm = testSignal(rate, channels, seconds, transients);
    return made[key] = lameEncode(dir, pcm, rate, channels, options);
}

// Decodes an MP3 with mpg123 (the independent decoder) to 16-bit PCM.
inline std::vector<int16_t> mpg123Decode(const testsupport::TempDir& dir, const std::vector<uint8_t>& mp3)
{
    std::string in = dir.write("ref.mp3", std::string(mp3.begin(), mp3.end()));
    std::string out = dir.file("ref.raw");
    if (std::system(("mpg123 -q -s " + in + " > " + out + " 2>/dev/null").c_str()) != 0)
        return {};
    return asPcm(readFile(out));
}

} // namespace mpegtest
