// PictureWriters.cpp: the test pictures' writers and the reference decode.
#include "tests/windowing/images/PictureWriters.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <initializer_list>
#include <map>
#include <stdexcept>

#include <jpeglib.h>

namespace testpictures {

namespace {

void appendToVector(png_structp png, png_bytep data, size_t length)
{
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp) {}

} // namespace

Bytes encodePng(const PngSpec& spec)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG writer failed");
    }
    png_set_write_fn(png, &out, appendToVector, noFlush);
    png_set_IHDR(png, info, png_uint_32(spec.width), png_uint_32(spec.height), spec.bitDepth, spec.colorType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < spec.palette.size(); i += 3)
        palette.push_back(png_color{spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!spec.trns.empty())
        png_set_tRNS(png, info, spec.trns.data(), int(spec.trns.size()), nullptr);
    if (spec.trnsGrey >= 0 || spec.trnsRed >= 0) {
        png_color_16 key{};
        key.gray = png_uint_16(spec.trnsGrey < 0 ? 0 : spec.trnsGrey);
        key.red = png_uint_16(spec.trnsRed < 0 ? 0 : spec.trnsRed);
        key.green = png_uint_16(spec.trnsGreen < 0 ? 0 : spec.trnsGreen);
        key.blue = png_uint_16(spec.trnsBlue < 0 ? 0 : spec.trnsBlue);
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    std::vector<png_bytep> rows;
    for (const Bytes& r : spec.rows)
        rows.push_back(const_cast<png_bytep>(r.data()));
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes pngRGBA(int width, int height, const std::vector<uint32_t>& argb, bool interlaced)
{
    PngSpec s;
    s.width = width;
    s.height = height;
    s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    s.interlaced = interlaced;
    for (int y = 0; y < height; ++y) {
        Bytes row;
        for (int x = 0; x < width; ++x) {
            uint32_t p = argb[size_t(y * width + x)];
            row.push_back(uint8_t(p >> 16));
            row.push_back(uint8_t(p >> 8));
            row.push_back(uint8_t(p));
            row.push_back(uint8_t(p >> 24));
        }
        s.rows.push_back(row);
    }
    return encodePng(s);
}

Bytes pngRGB(int width, int height, const std::vector<uint32_t>& argb, bool interlaced)
{
    PngSpec s;
    s.width = width;
    s.height = height;
    s.colorType = PNG_COLOR_TYPE_RGB;
    s.interlaced = interlaced;
    for (int y = 0; y < height; ++y) {
        Bytes row;
        for (int x = 0; x < width; ++x) {
            uint32_t p = argb[size_t(y * width + x)];
            row.push_back(uint8_t(p >> 16));
            row.push_back(uint8_t(p >> 8));
            row.push_back(uint8_t(p));
        }
        s.rows.push_back(row);
    }
    return encodePng(s);
}

Bytes encodeJpeg(int width, int height, int components, const Bytes& samples, int quality, bool progressive)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : (components == 3 ? JCS_RGB : JCS_CMYK);
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + size_t(cinfo.next_scanline) * size_t(width * components));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

bool decodeJpegReference(const Bytes& jpeg, int& width, int& height, int& components, Bytes& samples)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    width = int(cinfo.output_width);
    height = int(cinfo.output_height);
    components = cinfo.output_components;
    samples.assign(size_t(width) * size_t(height) * size_t(components), 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = samples.data() + size_t(cinfo.output_scanline) * size_t(width * components);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

namespace {

// Codes least significant bit first, packed into sub-blocks of up to 255 bytes.
class BitWriter {
public:
    void put(int code, int size)
    {
        m_bits |= uint64_t(code) << m_held;
        m_held += size;
        while (m_held >= 8) {
            m_bytes.push_back(uint8_t(m_bits & 0xFF));
            m_bits >>= 8;
            m_held -= 8;
        }
    }
    Bytes finish()
    {
        if (m_held > 0)
            m_bytes.push_back(uint8_t(m_bits & 0xFF));
        Bytes out;
        for (size_t i = 0; i < m_bytes.size(); i += 255) {
            size_t n = std::min<size_t>(255, m_bytes.size() - i);
            out.push_back(uint8_t(n));
            out.insert(out.end(), m_bytes.begin() + long(i), m_bytes.begin() + long(i + n));
        }
        out.push_back(0);
        return out;
    }

private:
    uint64_t m_bits = 0;
    int m_held = 0;
    Bytes m_bytes;
};

} // namespace

Bytes encodeLzw(const Bytes& indices, int minCodeSize)
{
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    std::map<std::pair<int, int>, int> table;
    BitWriter w;
    w.put(clear, codeSize);
    // Emits a code; the width grows once the next code to assign needs it
    // (checked after every code, as decoders check after every code read).
    auto emit = [&](int code) {
        w.put(code, codeSize);
        if (next >= (1 << codeSize) && codeSize < 12)
            ++codeSize;
    };
    if (!indices.empty()) {
        int current = indices[0];
        for (size_t i = 1; i < indices.size(); ++i) {
            int c = indices[i];
            auto it = table.find({current, c});
            if (it != table.end()) {
                current = it->second;
                continue;
            }
            emit(current);
            if (next < 4096) {
                table[{current, c}] = next++;
            } else {
                // The table is full: start over.
                w.put(clear, codeSize);
                table.clear();
                codeSize = minCodeSize + 1;
                next = clear + 2;
            }
            current = c;
        }
        emit(current);
    }
    w.put(end, codeSize);
    return w.finish();
}

Bytes packCodes(const std::vector<std::pair<int, int>>& codes)
{
    BitWriter w;
    for (const auto& c : codes)
        w.put(c.first, c.second);
    return w.finish();
}

Bytes makeTable(int entries, unsigned seed)
{
    return noise(size_t(entries) * 3, seed);
}

uint32_t tableColor(const Bytes& table, int index)
{
    return 0xFF000000u | (uint32_t(table[size_t(3 * index)]) << 16) | (uint32_t(table[size_t(3 * index + 1)]) << 8) |
           table[size_t(3 * index + 2)];
}

namespace {

int tableBits(const Bytes& table)
{
    int entries = int(table.size() / 3);
    int bits = 1;
    while ((1 << bits) < entries)
        ++bits;
    return bits - 1; // the size code: 2^(code + 1) entries
}

void append(Bytes& out, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        out.push_back(uint8_t(b));
}

void put16(Bytes& out, int v)
{
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t((v >> 8) & 0xFF));
}

} // namespace

Bytes encodeGif(const GifSpec& spec)
{
    Bytes out;
    append(out, {'G', 'I', 'F'});
    for (char c : spec.version)
        out.push_back(uint8_t(c));
    put16(out, spec.width);
    put16(out, spec.height);
    uint8_t packed = 0;
    if (!spec.globalTable.empty())
        packed = uint8_t(0x80 | 0x70 | tableBits(spec.globalTable));
    out.push_back(packed);
    out.push_back(uint8_t(spec.background));
    out.push_back(0);
    out.insert(out.end(), spec.globalTable.begin(), spec.globalTable.end());
    if (spec.looping) {
        append(out, {0x21, 0xFF, 11});
        const char* app = "NETSCAPE2.0";
        for (int i = 0; i < 11; ++i)
            out.push_back(uint8_t(app[i]));
        append(out, {3, 1, 0, 0, 0});
    }
    for (const GifFrame& f : spec.frames) {
        if (spec.graphicControl) {
            append(out, {0x21, 0xF9, 4});
            out.push_back(spec.transparentFlag ? 1 : 0);
            put16(out, spec.delay);
            out.push_back(uint8_t(spec.transparentIndex));
            out.push_back(0);
        }
        out.push_back(0x2C);
        put16(out, f.left);
        put16(out, f.top);
        put16(out, f.width);
        put16(out, f.height);
        uint8_t fp = 0;
        if (!f.localTable.empty())
            fp |= uint8_t(0x80 | tableBits(f.localTable));
        if (f.interlaced)
            fp |= 0x40;
        out.push_back(fp);
        out.insert(out.end(), f.localTable.begin(), f.localTable.end());
        // Interlaced data holds the rows pass by pass.
        Bytes data;
        if (f.interlaced) {
            static const int kStart[4] = {0, 4, 2, 1};
            static const int kStep[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = kStart[pass]; y < f.height; y += kStep[pass])
                    data.insert(data.end(), f.indices.begin() + long(y * f.width),
                                f.indices.begin() + long((y + 1) * f.width));
        } else {
            data = f.indices;
        }
        out.push_back(uint8_t(f.minCodeSize));
        Bytes lzw = encodeLzw(data, f.minCodeSize);
        out.insert(out.end(), lzw.begin(), lzw.end());
    }
    if (spec.trailer)
        out.push_back(0x3B);
    return out;
}

Bytes noise(size_t n, unsigned seed, int modulo)
{
    Bytes out(n);
    uint32_t s = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < n; ++i) {
        s = s * 1664525u + 1013904223u;
        out[i] = uint8_t((s >> 16) % uint32_t(modulo));
    }
    return out;
}

std::string asString(const Bytes& b)
{
    return std::string(b.begin(), b.end());
}

} // namespace testpictures
