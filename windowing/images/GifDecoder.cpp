// GifDecoder.cpp: the GIF reader. The LZW output goes straight into the
// 32-bit pixels of the logical screen through the colour list: row by row in
// the data's order, mapped to frame rows by the interlace passes, clipped to
// the screen, and discarded beyond the frame.
#include "windowing/images/GifDecoder.h"

#include "core/io/ByteArrayInputStream.h"
#include "core/io/FileInputStream.h"
#include "core/lang/Exception.h"
#include "windowing/images/ImageBase.h"

#include <cstdlib>
#include <cstring>

namespace window {

GifDecoder::GifDecoder()
    : m_nScreenWidth(0), m_nScreenHeight(0), m_nTransparent(-1), m_nBackground(0), m_bGlobalTable(false),
      m_nGlobalBits(0), m_nDelay(1), m_bLooping(false), m_pInput(nullptr)
{
    std::memset(m_globalTable, 0, sizeof m_globalTable);
    std::memset(m_prefix, 0, sizeof m_prefix);
    std::memset(m_length, 0, sizeof m_length);
    std::memset(m_suffix, 0, sizeof m_suffix);
}

GifDecoder::~GifDecoder()
{
    if (m_pInput)
        m_pInput->release();
}

int GifDecoder::readGIF(const unsigned char* data, int length, int& width, int& height, uint32_t*& pixels,
                        bool& hasAlpha)
{
    pixels = nullptr;
    m_nTransparent = -1;
    int result = 0;
    try {
        if (length == 0)
            m_pInput = new io::FileInputStream(reinterpret_cast<const char*>(data));
        else
            m_pInput = new io::ByteArrayInputStream(data, length);
        result = decode(width, height, pixels);
    } catch (lang::Exception* e) {
        e->release();
        std::free(pixels);
        pixels = nullptr;
        result = 0;
    }
    if (m_pInput) {
        m_pInput->close();
        m_pInput->release();
        m_pInput = nullptr;
    }
    hasAlpha = m_nTransparent != -1;
    return result;
}

int GifDecoder::readByte()
{
    return m_pInput->read();
}

bool GifDecoder::readFully(unsigned char* buffer, int n)
{
    int done = 0;
    while (done < n) {
        int got = m_pInput->read(buffer, done, n - done);
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

bool GifDecoder::readHeader()
{
    m_bLooping = false;
    unsigned char head[13];
    if (!readFully(head, 6))
        return false;
    if (std::memcmp(head, "GIF", 3) != 0 || (std::memcmp(head + 3, "87a", 3) != 0 && std::memcmp(head + 3, "89a", 3) != 0))
        return false;
    if (!readFully(head + 6, 7))
        return false;
    m_nScreenWidth = head[6] | (head[7] << 8);
    m_nScreenHeight = head[8] | (head[9] << 8);
    m_nTransparent = -1;
    m_nBackground = head[11];
    m_bGlobalTable = (head[10] & 0x80) != 0;
    m_nGlobalBits = (head[10] & 7) + 1;
    if (m_bGlobalTable && !readFully(m_globalTable, 3 * (1 << m_nGlobalBits)))
        return false;
    return true;
}

int GifDecoder::decode(int& width, int& height, uint32_t*& pixels)
{
    if (!readHeader())
        return 0;
    // A picture with no pixels, or too large to hold, is refused.
    if (!ImageBase::isAcceptedSize(m_nScreenWidth, m_nScreenHeight))
        return 0;
    if (!ImageBase::decodesImmediately()) {
        width = m_nScreenWidth;
        height = m_nScreenHeight;
        return 2;
    }
    uint32_t* screen = ImageBase::allocatePixels(m_nScreenWidth, m_nScreenHeight);
    if (screen == nullptr)
        return 0;
    if (!decodeImage(screen)) {
        std::free(screen);
        return 0;
    }
    width = m_nScreenWidth;
    height = m_nScreenHeight;
    pixels = screen;
    return 1;
}

bool GifDecoder::readExtension()
{
    int label = readByte();
    if (label < 0)
        return false;
    unsigned char block[256];
    for (;;) {
        int size = readByte();
        if (size < 0)
            return false;
        if (size == 0)
            return true;
        if (!readFully(block, size))
            return false;
        if (size == 11 && std::memcmp(block, "NETSCAPE2.0", 11) == 0)
            m_bLooping = true;
        if (label == 0xF9 && size >= 4) {
            m_nDelay = block[1] | (block[2] << 8);
            if (block[0] & 1)
                m_nTransparent = block[3];
        }
    }
}

bool GifDecoder::skipToImage()
{
    for (;;) {
        int b = readByte();
        if (b == 0x00)
            continue;
        if (b == 0x21) {
            if (!readExtension())
                return false;
            continue;
        }
        // The image descriptor; anything else (the trailer included, or the
        // end of the data) means there is no image.
        return b == 0x2C;
    }
}

bool GifDecoder::decodeImage(uint32_t* pixels)
{
    m_nDelay = 1;
    if (!skipToImage())
        return false;
    unsigned char desc[9];
    if (!readFully(desc, 9))
        return false;
    const int left = desc[0] | (desc[1] << 8);
    const int top = desc[2] | (desc[3] << 8);
    const int frameWidth = desc[4] | (desc[5] << 8);
    const int frameHeight = desc[6] | (desc[7] << 8);
    const bool localTable = (desc[8] & 0x80) != 0;
    const bool interlaced = (desc[8] & 0x40) != 0;
    const int localBits = (desc[8] & 7) + 1;
    if (!localTable && !m_bGlobalTable)
        return false;
    unsigned char local[256 * 3];
    if (localTable && !readFully(local, 3 * (1 << localBits)))
        return false;

    // The colour list: entries beyond the table are opaque black, the
    // transparent index is transparent black.
    uint32_t colors[256];
    const unsigned char* table = localTable ? local : m_globalTable;
    const int entries = 1 << (localTable ? localBits : m_nGlobalBits);
    for (int i = 0; i < 256; ++i) {
        if (i < entries)
            colors[i] = 0xFF000000u | (uint32_t(table[3 * i]) << 16) | (uint32_t(table[3 * i + 1]) << 8) |
                        table[3 * i + 2];
        else
            colors[i] = 0xFF000000u;
    }
    if (m_nTransparent >= 0)
        colors[m_nTransparent] = 0;

    // The screen outside the frame (and any part the data leaves out) shows
    // the transparent index when there is one, else the background index.
    const uint32_t fill = colors[m_nTransparent >= 0 ? m_nTransparent : m_nBackground];
    const size_t count = size_t(m_nScreenWidth) * size_t(m_nScreenHeight);
    // A frame over the whole screen in plain row order writes the screen
    // from its start: only what the data leaves out needs the fill, after.
    const bool linear = !interlaced && left == 0 && top == 0 && frameWidth == m_nScreenWidth;
    int64_t written = 0;
    if (!linear) {
        for (size_t i = 0; i < count; ++i)
            pixels[i] = fill;
    }
    bool ok = decodeLZW(pixels, colors, left, top, frameWidth, frameHeight, interlaced, written);
    if (linear) {
        for (size_t i = written < int64_t(count) ? size_t(written) : count; i < count; ++i)
            pixels[i] = fill;
    }
    return ok;
}

namespace {

// Where the decoded indices go: the rows of the frame in the order the data
// holds them, each mapped to its screen row (or nowhere when it lies outside
// the screen), clipped at the screen's right edge.
struct FrameWriter {
    uint32_t* pixels;
    const uint32_t* colors;
    int screenWidth;
    int screenHeight;
    int left;
    int top;
    int frameWidth;
    int frameHeight;
    int visibleWidth; // columns of the frame inside the screen
    bool interlaced;
    int pass = 0;
    int step = 1;
    int dataRow = 0;
    int frameRow = 0;
    int col = 0;
    bool full = false;   // every row of the frame was written
    uint32_t* row = nullptr; // screen pixel of the current row's column 0, or null

    void start()
    {
        step = interlaced ? 8 : 1;
        if (frameWidth <= 0 || frameHeight <= 0) {
            full = true;
            return;
        }
        frameRow = 0;
        aim();
    }

    void aim()
    {
        int y = top + frameRow;
        row = (y < screenHeight && visibleWidth > 0) ? pixels + size_t(y) * size_t(screenWidth) + left : nullptr;
    }

    void nextRow()
    {
        col = 0;
        if (++dataRow >= frameHeight) {
            full = true;
            row = nullptr;
            return;
        }
        if (!interlaced) {
            frameRow = dataRow;
        } else {
            // Passes: rows 0, 8, 16...; 4, 12...; 2, 6, 10...; 1, 3, 5...
            static const int kStart[4] = {0, 4, 2, 1};
            static const int kStep[4] = {8, 8, 4, 2};
            frameRow += step;
            while (frameRow >= frameHeight && pass < 3) {
                ++pass;
                frameRow = kStart[pass];
                step = kStep[pass];
            }
            if (frameRow >= frameHeight) {
                full = true;
                row = nullptr;
                return;
            }
        }
        aim();
    }

    // Writes n indices in order, across row ends.
    void write(const unsigned char* s, int n)
    {
        while (n > 0 && !full) {
            int room = frameWidth - col;
            int k = n < room ? n : room;
            if (row) {
                int end = col + k < visibleWidth ? col + k : visibleWidth;
                for (int c = col; c < end; ++c)
                    row[c] = colors[s[c - col]];
            }
            col += k;
            s += k;
            n -= k;
            if (col == frameWidth)
                nextRow();
        }
    }
};

} // namespace

bool GifDecoder::decodeLZW(uint32_t* pixels, const uint32_t* colors, int left, int top, int frameWidth,
                           int frameHeight, bool interlaced, int64_t& written)
{
    written = 0;
    int minCodeSize = readByte();
    // A minimum code size outside 1..11 would make codes wider than the tables.
    if (minCodeSize < 1 || minCodeSize > kMinCodeSizeLimit)
        return false;

    FrameWriter out;
    out.pixels = pixels;
    out.colors = colors;
    out.screenWidth = m_nScreenWidth;
    out.screenHeight = m_nScreenHeight;
    out.left = left;
    out.top = top;
    out.frameWidth = frameWidth;
    out.frameHeight = frameHeight;
    int visible = m_nScreenWidth - left;
    out.visibleWidth = visible < 0 ? 0 : (visible < frameWidth ? visible : frameWidth);
    out.interlaced = interlaced;
    out.start();

    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    int codeSize = minCodeSize + 1;
    int mask = (1 << codeSize) - 1;
    int nextFree = clear + 2;
    int previous = -1;
    int first = 0; // first character of the last string
    uint16_t* prefix = m_prefix;
    uint16_t* lengths = m_length;
    unsigned char* suffix = m_suffix;
    for (int i = 0; i < clear; ++i) {
        prefix[i] = 0;
        suffix[i] = static_cast<unsigned char>(i);
        lengths[i] = 1;
    }

    uint32_t bits = 0;
    int held = 0;
    unsigned char block[256];
    bool running = true;
    while (running && !out.full) {
        int size = readByte();
        if (size <= 0)
            break;
        int got = m_pInput->read(block, 0, size);
        if (got <= 0)
            break;
        for (int i = 0; i < got && running; ++i) {
            bits |= uint32_t(block[i]) << held;
            held += 8;
            while (held >= codeSize) {
                const int code = int(bits & uint32_t(mask));
                bits >>= codeSize;
                held -= codeSize;

                if (code == clear) {
                    codeSize = minCodeSize + 1;
                    mask = (1 << codeSize) - 1;
                    nextFree = clear + 2;
                    previous = -1;
                    continue;
                }
                if (code == end) {
                    running = false;
                    break;
                }
                if (previous < 0) {
                    // The first code after a clear must be a root.
                    if (code >= clear) {
                        running = false;
                        break;
                    }
                    // Roots above 255 (minimum code sizes above 8) keep
                    // their low byte, as every character does.
                    unsigned char c = suffix[code];
                    out.write(&c, 1);
                    previous = code;
                    first = c;
                    // With a minimum code size of 1 the first free code
                    // already needs one more bit.
                    if (nextFree > mask && codeSize < 12) {
                        ++codeSize;
                        mask = (mask << 1) | 1;
                    }
                    continue;
                }
                if (code > nextFree) {
                    running = false;
                    break;
                }

                // The string of code, or for a code not in the table yet the
                // previous string followed by its own first character.
                const bool pending = code == nextFree;
                int walk = pending ? previous : code;
                const int length = pending ? lengths[previous] + 1 : lengths[code];
                if (out.row && out.col + length <= out.visibleWidth) {
                    // Common case: the string fits the visible part of the
                    // current row; write it backwards in place.
                    uint32_t* p = out.row + out.col + length - 1;
                    if (pending)
                        *p-- = colors[first];
                    while (walk >= clear) {
                        *p-- = colors[suffix[walk]];
                        walk = prefix[walk];
                    }
                    *p = colors[suffix[walk]];
                    out.col += length;
                    if (out.col == out.frameWidth)
                        out.nextRow();
                } else {
                    unsigned char* p = m_string + length - 1;
                    if (pending)
                        *p-- = static_cast<unsigned char>(first);
                    while (walk >= clear) {
                        *p-- = suffix[walk];
                        walk = prefix[walk];
                    }
                    *p = suffix[walk];
                    out.write(m_string, length);
                }
                first = suffix[walk];

                if (nextFree < kMaxCodes) {
                    prefix[nextFree] = static_cast<uint16_t>(previous);
                    suffix[nextFree] = static_cast<unsigned char>(first);
                    lengths[nextFree] = static_cast<uint16_t>(lengths[previous] + 1);
                    ++nextFree;
                    // Codes grow by a bit once the next free code needs it.
                    if (nextFree > mask && codeSize < 12) {
                        ++codeSize;
                        mask = (mask << 1) | 1;
                    }
                }
                previous = code;
            }
        }
        if (got < size)
            break;
    }
    written = out.full ? int64_t(frameWidth) * frameHeight : int64_t(out.dataRow) * frameWidth + out.col;
    return true;
}

} // namespace window
