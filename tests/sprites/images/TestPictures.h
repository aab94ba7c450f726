// TestPictures.h: pictures for the image sprite tests: in-memory images
// filled pixel by pixel, PNG files written at test time, and reading back
// what a drawing left in a target image.
#pragma once

#include "windowing/d3d/ImageWinDX.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace spritetest {

// A w x h image (one reference) whose pixel (x, y) is pixel(x, y), ARGB.
inline window::ImageWinDX* makePicture(int w, int h, const std::function<uint32_t(int, int)>& pixel)
{
    window::ImageWinDX* image = new window::ImageWinDX(w, h, 1, false);
    uint32_t* p = image->getPixels();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p[y * w + x] = pixel(x, y);
    image->setHasAlpha(true);
    return image;
}

// A w x h opaque black target to draw into.
inline window::ImageWinDX* makeTarget(int w, int h)
{
    window::ImageWinDX* target = makePicture(w, h, [](int, int) { return 0xFF000000u; });
    target->setHasAlpha(false);
    return target;
}

inline uint32_t pixelAt(window::ImageBase* image, int x, int y)
{
    return image->getPixels()[y * image->getWidth() + x];
}

// Writes an 8-bit RGBA PNG of the ARGB pixels; false when it failed.
inline bool writePng(const std::string& path, int w, int h, const std::function<uint32_t(int, int)>& pixel)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<std::vector<png_byte>> rows(size_t(h), std::vector<png_byte>(size_t(w) * 4));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = pixel(x, y);
            png_byte* q = &rows[size_t(y)][size_t(x) * 4];
            q[0] = png_byte(p >> 16);
            q[1] = png_byte(p >> 8);
            q[2] = png_byte(p);
            q[3] = png_byte(p >> 24);
        }
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, pointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

} // namespace spritetest
