// PngWriter.cpp: the tools' PNG writer over libpng.
#include "tools/PngWriter.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace tools {

bool writePng(const char* path, const uint32_t* pixels, int width, int height, bool withAlpha)
{
    if (!pixels || width <= 0 || height <= 0)
        return false;
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    const int channels = withAlpha ? 4 : 3;
    std::vector<png_byte> row(size_t(width) * size_t(channels));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = pixels + size_t(y) * size_t(width);
        png_byte* out = row.data();
        for (int x = 0; x < width; ++x) {
            *out++ = png_byte(in[x] >> 16);
            *out++ = png_byte(in[x] >> 8);
            *out++ = png_byte(in[x]);
            if (withAlpha)
                *out++ = png_byte(in[x] >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

} // namespace tools
