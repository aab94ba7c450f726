// PngWriter.cpp: the tools' PNG encoder over libpng.
#include "tools/PngWriter.h"

#include <png.h>

#include <cstdio>

namespace tools {

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

} // namespace

std::vector<uint8_t> encodePng(const uint32_t* pixels, int width, int height, bool withAlpha)
{
    std::vector<uint8_t> out;
    if (!pixels || width <= 0 || height <= 0)
        return out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        return out;
    }
    const int channels = withAlpha ? 4 : 3;
    std::vector<png_byte> row(size_t(width) * size_t(channels));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return out;
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = pixels + size_t(y) * size_t(width);
        png_byte* p = row.data();
        for (int x = 0; x < width; ++x) {
            *p++ = png_byte(in[x] >> 16);
            *p++ = png_byte(in[x] >> 8);
            *p++ = png_byte(in[x]);
            if (withAlpha)
                *p++ = png_byte(in[x] >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool writePng(const char* path, const uint32_t* pixels, int width, int height, bool withAlpha)
{
    const std::vector<uint8_t> bytes = encodePng(pixels, width, height, withAlpha);
    if (bytes.empty())
        return false;
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace tools
