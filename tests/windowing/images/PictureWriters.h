// PictureWriters.h: pictures made at test time: PNG and JPEG through the
// libraries' own writers, GIF through a small LZW encoder of the tests, and
// an independent JPEG decode to compare the reader against.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testpictures {

using Bytes = std::vector<uint8_t>;

// --- PNG ---------------------------------------------------------------
struct PngSpec {
    int width = 0;
    int height = 0;
    int colorType = 0; // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    // Row data exactly as libpng writes it (packed samples, 16-bit samples big-endian).
    std::vector<Bytes> rows;
    Bytes palette; // r, g, b per entry
    Bytes trns;    // palette alphas
    // Grey and colour pictures: the one sample value (grey, or red, green
    // and blue) that is transparent; -1 for none.
    int trnsGrey = -1;
    int trnsRed = -1, trnsGreen = -1, trnsBlue = -1;
};
Bytes encodePng(const PngSpec& spec);
// An 8-bit RGBA picture of 0xAARRGGBB pixels.
Bytes pngRGBA(int width, int height, const std::vector<uint32_t>& argb, bool interlaced = false);
// An 8-bit RGB picture (alpha ignored).
Bytes pngRGB(int width, int height, const std::vector<uint32_t>& argb, bool interlaced = false);

// --- JPEG --------------------------------------------------------------
// components 1 (grey), 3 (RGB) or 4 (CMYK); samples interleaved.
Bytes encodeJpeg(int width, int height, int components, const Bytes& samples, int quality = 90,
                 bool progressive = false);
// Decodes with libjpeg's own memory source: interleaved samples.
bool decodeJpegReference(const Bytes& jpeg, int& width, int& height, int& components, Bytes& samples);

// --- GIF ---------------------------------------------------------------
struct GifFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    Bytes indices;    // width x height, rows top-down as shown
    Bytes localTable; // r, g, b per entry; a power of two of entries, or empty
    int minCodeSize = 8;
};
struct GifSpec {
    std::string version = "89a";
    int width = 0;
    int height = 0;
    Bytes globalTable; // r, g, b per entry; a power of two of entries, or empty
    int background = 0;
    bool graphicControl = false;
    bool transparentFlag = false;
    int transparentIndex = 0;
    int delay = 0;
    bool looping = false;
    std::vector<GifFrame> frames;
    bool trailer = true;
};
// LZW data of the indices as sub-blocks ending with a 0 size byte (the
// minimum code size byte not included).
Bytes encodeLzw(const Bytes& indices, int minCodeSize);
Bytes encodeGif(const GifSpec& spec);
// Packs raw (code, width) pairs into sub-blocks ending with a 0 size byte.
Bytes packCodes(const std::vector<std::pair<int, int>>& codes);
// A colour table of n entries from a seed.
Bytes makeTable(int entries, unsigned seed);
// The pixel an entry of a table shows: 0xFF, r, g, b.
uint32_t tableColor(const Bytes& table, int index);

// --- helpers -----------------------------------------------------------
// Deterministic pseudo-random bytes.
Bytes noise(size_t n, unsigned seed, int modulo = 256);
std::string asString(const Bytes& b);

} // namespace testpictures
