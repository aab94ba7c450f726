// MpegTestSupport.h: helpers for the MPEG reader's tests: files read whole,
// frames decoded one after another through the reader, and PCM compared
// with a reference as RMS error, largest difference and SNR.
#pragma once

#include "sound/core/system_file.h"
#include "sound/formats/format_mpeg.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
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

// Decodes every frame of `bytes` from its first frame on, as a stream
// would; `frames` receives each frame's PCM sample count. Empty when the
// reader refuses the data.
inline std::vector<int16_t> decodeStream(std::vector<uint8_t>& bytes, std::vector<int>* frames = nullptr,
                                         uint32_t mode = 0)
{
    std::vector<int16_t> out;
    HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
    if (!file)
        return out;
    int rate = 0, dataLength = 0, pcmLength = 0, sourceSize = 0, dataOffset = 0, ms = 0;
    HVSOUND_MPEG_DECODER* decoder = nullptr;
    if (HVSOUND_MPEG_Open(file, &mode, &rate, &dataLength, &pcmLength, &decoder, &sourceSize, &dataOffset, &ms,
                          nullptr, nullptr, nullptr)) {
        HVSOUND_File_Seek(file, dataOffset, SEEK_SET);
        std::vector<uint8_t> source(static_cast<size_t>(sourceSize));
        int16_t pcm[HVSOUND_MPEG_MAX_FRAME_PCM / 2];
        HVSOUND_MPEG_ReadSource from{file, decoder, dataOffset + dataLength};
        for (;;) {
            int length = sizeof(pcm);
            bool more = HVSOUND_MPEG_Read(from, source.data(), sourceSize, pcm, &length);
            out.insert(out.end(), pcm, pcm + length / 2);
            if (frames && length > 0)
                frames->push_back(length / 2);
            if (!more)
                break;
        }
        HVSOUND_MPEG_FreeDecoder(decoder);
    }
    HVSOUND_File_Close(file);
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

} // namespace mpegtest
