// mpeg_huffman.cpp: builds the layer III Huffman lookups from the standard's
// code tables. A code no longer than the root width fills every root entry
// it prefixes; longer codes go to a sub-table per root prefix, as wide as
// the longest code under that prefix needs.
#include "sound/formats/mpeg_huffman.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

// Root widths: wide enough that nearly every code is found in one step,
// small enough that the root tables stay in the first-level cache.
constexpr int kMaxRootBits = 8;

struct Built {
    std::vector<uint32_t> storage;
    HVSOUND_MPEG_HuffmanLookup lookup{nullptr, 1, 0};
};

Built g_bigValues[32];
Built g_count1[2];
bool g_valid = false;
std::once_flag g_once;

uint32_t leaf(int index, int size, int length)
{
    return uint32_t(length) << 8 | uint32_t(index / size) << 4 | uint32_t(index % size);
}

// Fills `count` entries from `first` with `value`; false when one is taken.
bool fill(std::vector<uint32_t>& table, size_t first, size_t count, uint32_t value)
{
    for (size_t i = first; i < first + count; ++i) {
        if (table[i] != 0)
            return false;
        table[i] = value;
    }
    return true;
}

bool build(const HVSOUND_MPEG_HuffmanCodes& codes, Built& out)
{
    out.lookup.linbits = codes.linbits;
    if (!codes.codes)
        return true;
    int entries = codes.size * codes.size;
    int longest = *std::max_element(codes.lengths, codes.lengths + entries);
    int root = std::min(longest, kMaxRootBits);
    std::vector<uint32_t>& table = out.storage;
    table.assign(size_t(1) << root, 0);

    for (int i = 0; i < entries; ++i) {
        int length = codes.lengths[i];
        if (length > root)
            continue;
        size_t first = size_t(codes.codes[i]) << (root - length);
        if (!fill(table, first, size_t(1) << (root - length), leaf(i, codes.size, length)))
            return false;
    }
    // Sub-tables, one per root prefix of the longer codes.
    for (uint32_t prefix = 0; prefix < (1u << root); ++prefix) {
        int width = 0;
        for (int i = 0; i < entries; ++i) {
            int length = codes.lengths[i];
            if (length > root && (uint32_t(codes.codes[i]) >> (length - root)) == prefix)
                width = std::max(width, length - root);
        }
        if (width == 0)
            continue;
        if (table[prefix] != 0)
            return false;
        size_t offset = table.size();
        table[prefix] = HVSOUND_MPEG_HUFF_LINK | uint32_t(width) << 16 | uint32_t(offset);
        table.resize(offset + (size_t(1) << width), 0);
        for (int i = 0; i < entries; ++i) {
            int length = codes.lengths[i];
            if (length <= root || (uint32_t(codes.codes[i]) >> (length - root)) != prefix)
                continue;
            int rest = length - root;
            size_t low = codes.codes[i] & ((1u << rest) - 1);
            if (!fill(table, offset + (low << (width - rest)), size_t(1) << (width - rest),
                      leaf(i, codes.size, length)))
                return false;
        }
    }
    // A gap in the code space (none in the standard's tables) decodes as
    // 0, 0 and takes the root width, so a decode always moves on.
    for (uint32_t& e : table)
        if (e == 0)
            e = uint32_t(root) << 8;
    out.lookup.entries = table.data();
    out.lookup.rootBits = root;
    return true;
}

} // namespace

bool HVSOUND_MPEG_BuildHuffmanLookups()
{
    std::call_once(g_once, [] {
        bool ok = true;
        for (int t = 0; t < 32; ++t)
            ok = build(HVSOUND_MPEG_BigValueCodes[t], g_bigValues[t]) && ok;
        for (int t = 0; t < 2; ++t)
            ok = build(HVSOUND_MPEG_Count1Codes[t], g_count1[t]) && ok;
        g_valid = ok;
    });
    return g_valid;
}

const HVSOUND_MPEG_HuffmanLookup& HVSOUND_MPEG_BigValueLookup(int table)
{
    return g_bigValues[table & 31].lookup;
}

const HVSOUND_MPEG_HuffmanLookup& HVSOUND_MPEG_Count1Lookup(int table)
{
    return g_count1[table & 1].lookup;
}
