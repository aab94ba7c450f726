// VorbisFixtures.h: Ogg Vorbis test data made at test time with libvorbisenc
// (tones of known frequencies, any channel count), and the reference
// decode of such data by libvorbisfile on its own, from memory.
#pragma once

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include "tools/VorbisWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vorbistest {

// Encodes `frames` frames of a sine tone per channel (channel c at
// 440 + 110 c Hz, amplitude 0.5) at `rate`, as one logical stream of the
// given serial number, at a VBR quality of -0.1 (smallest) to 1.0.
inline std::vector<uint8_t> encodeTone(int channels, int rate, int frames, int serial = 1234, float quality = 0.3f)
{
    std::vector<std::vector<float>> pcm(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
    for (int c = 0; c < channels; ++c) {
        double hz = 440.0 + 110.0 * c;
        for (int i = 0; i < frames; ++i)
            pcm[size_t(c)][size_t(i)] = float(0.5 * std::sin(2.0 * M_PI * hz * double(i) / rate));
    }
    return tools::VorbisWriter::encode(pcm, rate, quality, serial);
}

// libvorbisfile reading a memory block.
struct MemorySource {
    const std::vector<uint8_t>* bytes;
    size_t position;

    static size_t read(void* buffer, size_t size, size_t count, void* self)
    {
        auto* m = static_cast<MemorySource*>(self);
        size_t n = std::min(size * count, m->bytes->size() - m->position);
        std::memcpy(buffer, m->bytes->data() + m->position, n);
        m->position += n;
        return size ? n / size : 0;
    }
    static int seek(void* self, ogg_int64_t offset, int origin)
    {
        auto* m = static_cast<MemorySource*>(self);
        int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? int64_t(m->position) : int64_t(m->bytes->size());
        int64_t target = base + offset;
        if (target < 0 || target > int64_t(m->bytes->size()))
            return -1;
        m->position = size_t(target);
        return 0;
    }
    static long tell(void* self) { return long(static_cast<MemorySource*>(self)->position); }
};

// Every 16-bit value libvorbisfile decodes from the data (interleaved),
// going on after holes (counted in `holes`); empty when it refuses the data.
inline std::vector<int16_t> referenceDecode(const std::vector<uint8_t>& bytes, int* holes = nullptr)
{
    if (holes)
        *holes = 0;
    std::vector<int16_t> pcm;
    MemorySource source{&bytes, 0};
    OggVorbis_File file;
    ov_callbacks callbacks = {MemorySource::read, MemorySource::seek, nullptr, MemorySource::tell};
    if (ov_open_callbacks(&source, &file, nullptr, 0, callbacks) < 0)
        return pcm;
    // An opened chained file is left at its second link: start at the first.
    ov_raw_seek(&file, 0);
    char buffer[4096];
    for (;;) {
        long got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, nullptr);
        if (got == OV_HOLE) {
            if (holes)
                ++*holes;
            continue;
        }
        if (got <= 0)
            break;
        const auto* values = reinterpret_cast<const int16_t*>(buffer);
        pcm.insert(pcm.end(), values, values + got / 2);
    }
    ov_clear(&file);
    return pcm;
}

// The pages of an Ogg file: where each starts and its header and body sizes.
struct Page {
    size_t at;
    size_t header;
    size_t body;
};

inline std::vector<Page> pagesOf(const std::vector<uint8_t>& bytes)
{
    std::vector<Page> pages;
    size_t p = 0;
    while (p + 27 <= bytes.size()) {
        size_t segments = bytes[p + 26];
        size_t body = 0;
        for (size_t i = 0; i < segments && p + 27 + i < bytes.size(); ++i)
            body += bytes[p + 27 + i];
        pages.push_back({p, 27 + segments, body});
        p += 27 + segments + body;
    }
    return pages;
}

} // namespace vorbistest
