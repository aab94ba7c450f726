// GifDecoder.h: the GIF reader: header, logical screen and colour tables,
// the blocks up to the first image (graphic control transparency and delay,
// the looping application block), and the LZW data of that first image,
// interlaced or not, turned into 32-bit pixels of the logical screen.
#pragma once

#include <cstdint>

namespace io {
class InputStream;
}

namespace window {

class GifDecoder {
public:
    GifDecoder();
    ~GifDecoder();
    GifDecoder(const GifDecoder&) = delete;
    GifDecoder& operator=(const GifDecoder&) = delete;

    // Decodes data (length bytes), or with length 0 the file whose path data
    // holds. Returns 1 with pixels (the caller free()s them), 2 with only the
    // size when decoding is deferred, 0 on failure. hasAlpha tells whether
    // the picture has a transparent colour.
    int readGIF(const unsigned char* data, int length, int& width, int& height, uint32_t*& pixels, bool& hasAlpha);

    // The graphic control delay in hundredths of a second (1 until one is read).
    int getDelay() const { return m_nDelay; }
    // Whether a looping application block came before the first image.
    bool isLooping() const { return m_bLooping; }
    int getTransparentIndex() const { return m_nTransparent; }

    // Code sizes of the LZW data: the minimum code size may be 1 to 11, so
    // that codes never exceed 12 bits and the tables never 4096 entries.
    static const int kMinCodeSizeLimit = 11;
    static const int kMaxCodes = 4096;

private:
    int decode(int& width, int& height, uint32_t*& pixels);
    bool readHeader();
    // Reads blocks until an image descriptor; false on a bad block or a short read.
    bool skipToImage();
    bool readExtension();
    bool readFully(unsigned char* buffer, int n);
    int readByte();
    // Decodes the first image into pixels (the logical screen, already filled).
    bool decodeImage(uint32_t* pixels);
    // False when the minimum code size is refused. written receives the
    // number of frame pixels the data gave, in the data's order.
    bool decodeLZW(uint32_t* pixels, const uint32_t* colors, int left, int top, int frameWidth, int frameHeight,
                   bool interlaced, int64_t& written);

    unsigned char m_globalTable[256 * 3];
    uint16_t m_prefix[kMaxCodes];
    uint16_t m_length[kMaxCodes]; // length of each code's string
    unsigned char m_suffix[kMaxCodes];
    unsigned char m_string[kMaxCodes + 1]; // one string, in order (the longest is at most 4096 + 1)
    int m_nScreenWidth;
    int m_nScreenHeight;
    int m_nTransparent;
    int m_nBackground;
    bool m_bGlobalTable;
    int m_nGlobalBits;
    int m_nDelay;
    bool m_bLooping;
    io::InputStream* m_pInput;
};

} // namespace window
