// GlyphTable.h: the glyph table of a bitmap font as the bitmap-font text
// sprite reads it: six 32-bit words per character code from 32 up (where the
// glyph lies in the font picture, its left offset and its advance), stored
// as the pixels of a picture six pixels wide, one row per code.
#pragma once

#include <cstdint>
#include <vector>

namespace tools {

struct GlyphRecord {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0; // the space's height is the font's line height
    int32_t left = 0;   // drawn this far right of the pen
    int32_t right = 0;  // the pen moves on this far
};

class GlyphTable {
public:
    // The first code of a table.
    static constexpr int kFirstCode = 32;
    // Words per record, and so the picture's width.
    static constexpr int kWords = 6;

    // Record of code kFirstCode + i for each i.
    explicit GlyphTable(const std::vector<GlyphRecord>& records) : m_records(records) {}

    // The picture's pixels: one row per record, its words as 0xAARRGGBB.
    std::vector<uint32_t> pixels() const;
    int height() const { return int(m_records.size()); }

    // A table for codes 32..255 of a grid font: glyph c sits in cell
    // (c - 32) of a grid `columns` cells wide, each cell cellWidth x
    // cellHeight, the glyph glyphWidth wide, advancing by `advance`.
    static GlyphTable grid(int columns, int cellWidth, int cellHeight, int glyphWidth, int advance);

private:
    std::vector<GlyphRecord> m_records;
};

} // namespace tools
