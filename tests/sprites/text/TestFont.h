// TestFont.h: a bitmap font for the text sprite tests. Every glyph's pixels
// say which character and which column of it they are (red the code, green
// the column, blue the row), and the glyph table gives most glyphs the same
// record, with a few that exercise the layout: a negative left offset, an
// overhang, a line height and cursor offset on the space, a cursor width.
#pragma once

#include "tests/sprites/images/TestPictures.h"

#include <array>
#include <cstdint>

namespace fonttest {

constexpr int kGlyphStep = 8;   // glyph c lies at x = (c - 32) * 8
constexpr int kLineHeight = 10; // the space's h
constexpr int kSpaceLeft = 1;   // where the cursor stands after a glyph
constexpr int kSpaceRight = 4;
constexpr int kCursorWidth = 5; // '_' advance

// x, y, w, h, left, right of character c.
inline std::array<int32_t, 6> glyphRecord(int c)
{
    std::array<int32_t, 6> r = {(c - 32) * kGlyphStep, 0, 6, kLineHeight, 0, 7};
    switch (c) {
    case ' ':
        r[2] = 0;
        r[4] = kSpaceLeft;
        r[5] = kSpaceRight;
        break;
    case 'A': // placed one pixel left of the pen
        r[4] = -1;
        break;
    case 'W': // reaches 2 pixels past its advance
        r[2] = 9;
        break;
    case 'j': // placed two pixels back
        r[4] = -2;
        r[5] = 5;
        break;
    case '_':
        r[5] = kCursorWidth;
        break;
    case 133: // the ellipsis
        r[5] = 6;
        break;
    default:
        break;
    }
    return r;
}

// The glyph table as a picture 6 words wide, one row per code 32..lastCode.
inline window::ImageWinDX* makeGlyphTable(int lastCode = 255)
{
    return spritetest::makePicture(6, lastCode - 31, [](int x, int y) { return uint32_t(glyphRecord(y + 32)[size_t(x)]); });
}

inline uint32_t glyphPixel(int x, int y)
{
    int code = x / kGlyphStep + 32;
    return 0xFF000000u | uint32_t(code) << 16 | uint32_t(x % kGlyphStep) << 8 | uint32_t(y);
}

inline window::ImageWinDX* makeFontPicture()
{
    return spritetest::makePicture(224 * kGlyphStep, kLineHeight, glyphPixel);
}

// What a pixel drawn from the font picture shows: the code, or 0 for a
// pixel no glyph reached; and the glyph's column and row.
inline int codeOf(uint32_t pixel) { return int(pixel >> 16 & 0xFF); }
inline int columnOf(uint32_t pixel) { return int(pixel >> 8 & 0xFF); }
inline int rowOf(uint32_t pixel) { return int(pixel & 0xFF); }

} // namespace fonttest
