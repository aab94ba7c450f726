// mpeg_huffman.h: the layer III Huffman codes and the lookup tables built
// from them at start-up: a root table indexed by the next few bits, with
// sub-tables for longer codes.
#pragma once

#include <cstdint>

// One code table of the standard: `size` x `size` entries (values x and y
// from 0 to size - 1, or a count1 quadruple as x = v w and y = x y), each a
// code word and its length, and the linbits of the escape value 15.
struct HVSOUND_MPEG_HuffmanCodes {
    uint8_t size;
    uint8_t linbits;
    const uint16_t* codes;
    const uint8_t* lengths;
};
extern const HVSOUND_MPEG_HuffmanCodes HVSOUND_MPEG_BigValueCodes[32];
extern const HVSOUND_MPEG_HuffmanCodes HVSOUND_MPEG_Count1Codes[2];

// A lookup entry: a leaf holds x in bits 4..7, y in bits 0..3 and the code
// length in bits 8..12; a link (bit 31) holds a sub-table's offset in bits
// 0..15 and its index width in bits 16..20.
constexpr uint32_t HVSOUND_MPEG_HUFF_LINK = 0x80000000u;

struct HVSOUND_MPEG_HuffmanLookup {
    const uint32_t* entries; // null: the table decodes every pair as 0, 0
    int rootBits;
    int linbits;
};

// Builds the lookups of the 32 big-value tables and the two count1 tables
// (once; later calls do nothing). False when a code table is not a prefix
// code, which would be a transcription error.
bool HVSOUND_MPEG_BuildHuffmanLookups();
const HVSOUND_MPEG_HuffmanLookup& HVSOUND_MPEG_BigValueLookup(int table);
const HVSOUND_MPEG_HuffmanLookup& HVSOUND_MPEG_Count1Lookup(int table);

// Decodes one code from the next 32 bits `bits`; answers the leaf entry
// (its length says how many bits it took).
inline uint32_t HVSOUND_MPEG_HuffmanDecode(const HVSOUND_MPEG_HuffmanLookup& lookup, uint32_t bits)
{
    uint32_t e = lookup.entries[bits >> (32 - lookup.rootBits)];
    if (e & HVSOUND_MPEG_HUFF_LINK) {
        int width = int(e >> 16) & 31;
        uint32_t rest = (bits << lookup.rootBits) >> (32 - width);
        e = lookup.entries[(e & 0xFFFF) + rest];
    }
    return e;
}
