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
#include <random>
#include <string>
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

// The file with `count` bytes of noise between page `page` and the next, as
// a damaged disk or download leaves them; empty when it has no such pages.
inline std::vector<uint8_t> withGapAfterPage(const std::vector<uint8_t>& file, size_t page, size_t count)
{
    std::vector<Page> pages = pagesOf(file);
    if (page + 1 >= pages.size())
        return {};
    std::mt19937 noise{uint32_t(count)};
    std::vector<uint8_t> junk(count);
    for (uint8_t& b : junk)
        b = uint8_t(noise());
    std::vector<uint8_t> gapped = file;
    gapped.insert(gapped.begin() + long(pages[page + 1].at), junk.begin(), junk.end());
    return gapped;
}

// The Ogg page checksum: CRC-32, polynomial 0x04c11db7, not reflected,
// starting from 0, over the page with its checksum field zeroed.
inline void resealPage(std::vector<uint8_t>& bytes, size_t at, size_t length)
{
    for (size_t i = 22; i < 26; ++i)
        bytes[at + i] = 0;
    uint32_t crc = 0;
    for (size_t i = at; i < at + length; ++i) {
        crc ^= uint32_t(bytes[i]) << 24;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    for (int i = 0; i < 4; ++i)
        bytes[at + 22 + size_t(i)] = uint8_t(crc >> (8 * i));
}

// The file with the block sizes of its identification header (the first
// page's packet) set to 2^shortBits and 2^longBits samples, the page
// resealed. Empty when the first page holds no such header.
inline std::vector<uint8_t> withBlockSizes(const std::vector<uint8_t>& file, int shortBits, int longBits)
{
    std::vector<Page> pages = pagesOf(file);
    if (pages.empty() || pages[0].body != 30)
        return {};
    std::vector<uint8_t> sized = file;
    sized[pages[0].at + pages[0].header + 28] = uint8_t(shortBits | longBits << 4);
    resealPage(sized, pages[0].at, pages[0].header + pages[0].body);
    return sized;
}

// A file of one link with its comment header grown to `bytes` by one long
// tag, as a cover picture makes it: the three header packets are paged anew
// after libogg's fashion, and the audio pages behind them are renumbered
// and resealed. Empty when the headers cannot be read.
inline std::vector<uint8_t> withLongComment(const std::vector<uint8_t>& file, size_t bytes)
{
    std::vector<Page> pages = pagesOf(file);
    if (pages.empty())
        return {};
    const int serial = int(file[14] | file[15] << 8 | file[16] << 16 | uint32_t(file[17]) << 24);
    ogg_stream_state in;
    ogg_stream_init(&in, serial);
    std::vector<std::vector<uint8_t>> headers;
    size_t headerPages = 0;
    while (headers.size() < 3 && headerPages < pages.size()) {
        const Page& p = pages[headerPages++];
        ogg_page page{const_cast<uint8_t*>(&file[p.at]), long(p.header), const_cast<uint8_t*>(&file[p.at + p.header]),
                      long(p.body)};
        ogg_stream_pagein(&in, &page);
        ogg_packet packet;
        while (headers.size() < 3 && ogg_stream_packetout(&in, &packet) == 1)
            headers.emplace_back(packet.packet, packet.packet + packet.bytes);
    }
    ogg_stream_clear(&in);
    if (headers.size() < 3)
        return {};

    // Type 3, "vorbis", no vendor, one tag of the asked length, framing bit.
    std::vector<uint8_t> comment = {3, 'v', 'o', 'r', 'b', 'i', 's', 0, 0, 0, 0, 1, 0, 0, 0};
    const std::string tag = "METADATA_BLOCK_PICTURE=";
    size_t tagBytes = bytes > comment.size() + 5 + tag.size() ? bytes - comment.size() - 5 : tag.size();
    for (int i = 0; i < 4; ++i)
        comment.push_back(uint8_t(tagBytes >> (8 * i)));
    comment.insert(comment.end(), tag.begin(), tag.end());
    comment.resize(comment.size() + tagBytes - tag.size(), 'A');
    comment.push_back(1);
    headers[1] = comment;

    std::vector<uint8_t> out;
    ogg_stream_state paged;
    ogg_stream_init(&paged, serial);
    for (size_t i = 0; i < 3; ++i) {
        ogg_packet packet{headers[i].data(), long(headers[i].size()), i == 0, 0, 0, ogg_int64_t(i)};
        ogg_stream_packetin(&paged, &packet);
        ogg_page page;
        // The identification header has its page alone.
        while ((i == 0 || i == 2) && ogg_stream_flush(&paged, &page)) {
            out.insert(out.end(), page.header, page.header + page.header_len);
            out.insert(out.end(), page.body, page.body + page.body_len);
        }
    }
    long sequence = paged.pageno;
    ogg_stream_clear(&paged);
    for (size_t i = headerPages; i < pages.size(); ++i) {
        size_t at = out.size();
        out.insert(out.end(), file.begin() + long(pages[i].at),
                   file.begin() + long(pages[i].at + pages[i].header + pages[i].body));
        for (int k = 0; k < 4; ++k)
            out[at + 18 + size_t(k)] = uint8_t(uint32_t(sequence) >> (8 * k));
        ++sequence;
        resealPage(out, at, pages[i].header + pages[i].body);
    }
    return out;
}

// Bits of a Vorbis packet, least significant first.
struct PacketReader {
    const std::vector<uint8_t>* bytes;
    size_t bit = 0;

    long read(int count)
    {
        long value = 0;
        for (int i = 0; i < count; ++i, ++bit) {
            if (bit >= bytes->size() * 8)
                return -1;
            value |= long(((*bytes)[bit >> 3] >> (bit & 7)) & 1) << i;
        }
        return value;
    }
};

struct PacketWriter {
    std::vector<uint8_t> bytes;
    size_t bit = 0;

    void write(uint64_t value, int count)
    {
        for (int i = 0; i < count; ++i, ++bit) {
            if (bit / 8 >= bytes.size())
                bytes.push_back(0);
            if ((value >> i) & 1)
                bytes[bit / 8] = uint8_t(bytes[bit / 8] | (1u << (bit % 8)));
        }
    }
};

inline int bitsFor(long value)
{
    int bits = 0;
    for (; value > 0; value >>= 1)
        ++bits;
    return bits;
}

// The largest v with v^dimension <= entries.
inline long latticeValues(long entries, long dimension)
{
    long v = 1;
    for (;;) {
        long power = 1;
        for (long i = 0; i < dimension && power <= entries; ++i)
            power *= v + 1;
        if (power > entries)
            return v;
        ++v;
    }
}

// Ways a setup header can be damaged and still be taken by libvorbis.
enum class BookDamage {
    // Every codebook with a value lookup gets dimension 0 (its lookup
    // becomes an explicit one, of no values then) and every residue becomes
    // type 0: libvorbis divides by the dimension when it decodes a residue.
    EmptyVectors,
    // The same, an implicit lookup staying one (of no values too): libvorbis
    // never returns from making the book ready for decoding.
    EmptyLattices,
    // The last codebook's first codeword is one bit longer or shorter, so its
    // code is no whole tree: libvorbis refuses the first decode, with the
    // books before it made ready and the others left empty.
    WrongLength,
};

// A libvorbisenc file (its comment and setup headers together on the second
// page) with its setup header damaged as asked. The page is rebuilt with a
// valid checksum. Empty when the file is not laid out as expected.
inline std::vector<uint8_t> withDamagedBooks(const std::vector<uint8_t>& file,
                                             BookDamage damage = BookDamage::EmptyVectors)
{
    const bool emptying = damage != BookDamage::WrongLength;
    std::vector<Page> pages = pagesOf(file);
    if (pages.size() < 3)
        return {};
    const Page& headers = pages[1];
    size_t lacingCount = file[headers.at + 26];
    size_t commentBytes = 0;
    size_t lace = 0;
    for (; lace < lacingCount; ++lace) {
        commentBytes += file[headers.at + 27 + lace];
        if (file[headers.at + 27 + lace] < 255)
            break;
    }
    size_t bodyAt = headers.at + headers.header;
    std::vector<uint8_t> setup(file.begin() + long(bodyAt + commentBytes), file.begin() + long(bodyAt + headers.body));
    if (setup.size() < 8 || setup[0] != 5)
        return {};

    PacketReader in{&setup, 0};
    PacketWriter out;
    auto copy = [&](int count) {
        long value = in.read(count);
        out.write(uint64_t(value), count);
        return value;
    };
    copy(56); // packet type and "vorbis"
    long books = copy(8) + 1;
    for (long b = 0; b < books; ++b) {
        if (copy(24) != 0x564342)
            return {};
        long dimension = in.read(16);
        long entries = in.read(24);
        long ordered = in.read(1);
        // The dimension is written once the lookup type is known.
        PacketWriter lengths;
        auto keep = [&](int count) {
            long value = in.read(count);
            lengths.write(uint64_t(value), count);
            return value;
        };
        if (ordered == 0) {
            bool sparse = keep(1) == 1;
            size_t first = SIZE_MAX; // where the first length is
            for (long e = 0; e < entries; ++e) {
                if (!sparse || keep(1) == 1) {
                    first = std::min(first, lengths.bit);
                    keep(5);
                }
            }
            if (damage == BookDamage::WrongLength && b == books - 1) {
                if (first == SIZE_MAX)
                    return {};
                lengths.bytes[first / 8] = uint8_t(lengths.bytes[first / 8] ^ (1u << (first % 8)));
            }
        } else if (damage == BookDamage::WrongLength && b == books - 1) {
            return {};
        } else {
            keep(5);
            for (long e = 0; e < entries;)
                e += keep(bitsFor(entries - e));
        }
        long lookup = in.read(4);
        bool valued = lookup == 1 || lookup == 2;
        bool emptied = emptying && valued;
        out.write(uint64_t(emptied ? 0 : dimension), 16);
        out.write(uint64_t(entries), 24);
        out.write(uint64_t(ordered), 1);
        for (size_t i = 0; i < lengths.bit; ++i)
            out.write((lengths.bytes[i / 8] >> (i % 8)) & 1, 1);
        out.write(uint64_t(emptied && damage == BookDamage::EmptyVectors ? 2 : lookup), 4);
        if (valued) {
            copy(32);
            copy(32);
            long valueBits = copy(4) + 1;
            copy(1);
            long values = lookup == 1 ? latticeValues(entries, dimension) : entries * dimension;
            for (long v = 0; v < values; ++v)
                emptied ? in.read(int(valueBits)) : copy(int(valueBits));
        } else if (lookup != 0) {
            return {};
        }
    }
    for (long i = copy(6) + 1; i > 0; --i)
        copy(16); // time domain placeholders
    for (long floors = copy(6) + 1; floors > 0; --floors) {
        if (copy(16) != 1)
            return {};
        long partitions = copy(5);
        std::vector<long> classOf;
        long classes = 0;
        for (long p = 0; p < partitions; ++p) {
            classOf.push_back(copy(4));
            classes = std::max(classes, classOf.back() + 1);
        }
        std::vector<long> classDimension;
        for (long c = 0; c < classes; ++c) {
            classDimension.push_back(copy(3) + 1);
            long subclasses = copy(2);
            if (subclasses)
                copy(8);
            for (long j = 0; j < (1L << subclasses); ++j)
                copy(8);
        }
        copy(2);
        int rangeBits = int(copy(4));
        for (long p = 0; p < partitions; ++p) {
            for (long j = 0; j < classDimension[size_t(classOf[size_t(p)])]; ++j)
                copy(rangeBits);
        }
    }
    for (long residues = copy(6) + 1; residues > 0; --residues) {
        long type = in.read(16);
        out.write(uint64_t(emptying ? 0 : type), 16);
        copy(24);
        copy(24);
        copy(24);
        long partitions = copy(6) + 1;
        copy(8);
        std::vector<long> cascade;
        for (long p = 0; p < partitions; ++p) {
            long low = copy(3);
            long high = copy(1) == 1 ? copy(5) : 0;
            cascade.push_back(high * 8 + low);
        }
        for (long c : cascade) {
            for (int j = 0; j < 8; ++j) {
                if (c & (1 << j))
                    copy(8);
            }
        }
    }
    // Mappings and modes are kept as they are.
    while (in.bit < setup.size() * 8)
        copy(1);

    std::vector<uint8_t> segments;
    for (size_t i = 0; i < lace + 1; ++i)
        segments.push_back(file[headers.at + 27 + i]);
    size_t rest = out.bytes.size();
    for (; rest >= 255; rest -= 255)
        segments.push_back(255);
    segments.push_back(uint8_t(rest));
    if (segments.size() > 255)
        return {};
    std::vector<uint8_t> damaged(file.begin(), file.begin() + long(headers.at + 26));
    damaged.push_back(uint8_t(segments.size()));
    damaged.insert(damaged.end(), segments.begin(), segments.end());
    damaged.insert(damaged.end(), file.begin() + long(bodyAt), file.begin() + long(bodyAt + commentBytes));
    damaged.insert(damaged.end(), out.bytes.begin(), out.bytes.end());
    resealPage(damaged, headers.at, damaged.size() - headers.at);
    damaged.insert(damaged.end(), file.begin() + long(pages[2].at), file.end());
    return damaged;
}

} // namespace vorbistest
