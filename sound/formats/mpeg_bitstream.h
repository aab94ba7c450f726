// mpeg_bitstream.h: the layer III decoder's bit reader: big-endian bits
// from a byte buffer that the caller pads with zero bytes, so that a peek
// near the end reads zeros instead of memory past the buffer.
#pragma once

#include <cstdint>
#include <cstring>

// Zero bytes every buffer read by HVSOUND_MPEG_BitReader must hold past its
// last data byte: a peek loads 8 bytes.
constexpr int HVSOUND_MPEG_BIT_PADDING = 8;

struct HVSOUND_MPEG_BitReader {
    const uint8_t* data;
    uint32_t position; // in bits from data
    uint32_t limit;    // bits that hold data; reads stop here

    void start(const uint8_t* bytes, uint32_t bitCount, uint32_t bitPosition = 0)
    {
        data = bytes;
        limit = bitCount;
        position = bitPosition;
    }

    // The next 32 bits, the first one in the top bit; zeros past the limit.
    uint32_t peek() const
    {
        if (position >= limit)
            return 0;
        uint64_t word;
        std::memcpy(&word, data + (position >> 3), 8);
        word = __builtin_bswap64(word);
        uint32_t bits = uint32_t((word << (position & 7)) >> 32);
        uint32_t left = limit - position;
        if (left < 32)
            bits &= ~(0xFFFFFFFFu >> left);
        return bits;
    }

    void skip(uint32_t count) { position += count; }

    // Reads `count` bits (0..25) as an unsigned number.
    uint32_t read(int count)
    {
        if (count == 0)
            return 0;
        uint32_t value = peek() >> (32 - count);
        position += uint32_t(count);
        return value;
    }

    bool exhausted() const { return position >= limit; }
};
