// MaskTestSupport.h: a recording graphics that also records the stencil
// calls, a small pixel model of drawing through a stencil mask, and flat
// pictures made in memory or written as PNG files.
#pragma once

#include "tests/sprites/support/RecordingGraphics.h"

#include "windowing/d3d/ImageWinDX.h"

#include <png.h>

#include <algorithm>
#include <string>
#include <vector>

namespace masktest {

using spritetest::RecordingGraphics;

// Records beginMask, endMask, setMaskMode (flag = write) and
// setMaskInverted (flag = inverted) besides everything RecordingGraphics does.
class MaskGraphics : public RecordingGraphics {
public:
    void beginMask() override { record("beginMask", false); }
    void endMask() override { record("endMask", false); }
    void setMaskMode(bool write) override { record("setMaskMode", write); }
    void setMaskInverted(bool inverted) override { record("setMaskInverted", inverted); }

protected:
    void record(const char* op, bool flag)
    {
        Call c;
        c.op = op;
        c.flag = flag;
        calls.push_back(c);
    }
};

// A w x h picture and its stencil. Between beginMask and endMask, what is
// drawn while the mask is written marks the stencil where it is opaque and
// draws nothing; what is drawn otherwise lands only where the stencil is
// clear (or, inverted, only where it is marked). Pictures are drawn with
// nearest sampling, scaled about the centre they are given.
class StencilGraphics : public MaskGraphics {
public:
    StencilGraphics(int w, int h, uint32_t background) : width(w), height(h), pixels(size_t(w * h), background) {}

    void beginMask() override
    {
        MaskGraphics::beginMask();
        masking = true;
        stencil.assign(size_t(width * height), 0);
    }
    void endMask() override
    {
        MaskGraphics::endMask();
        masking = false;
    }
    void setMaskMode(bool write) override
    {
        MaskGraphics::setMaskMode(write);
        writing = write;
    }
    void setMaskInverted(bool on) override
    {
        MaskGraphics::setMaskInverted(on);
        inverted = on;
    }
    bool drawImageCentered(window::ImageBase* image, int cx, int cy, util::RectangleNM* src, double sx, double sy,
                           double rotation, int flip) override
    {
        RecordingGraphics::drawImageCentered(image, cx, cy, src, sx, sy, rotation, flip);
        const uint32_t* from = image->getPixels();
        int dw = int(src->width * sx), dh = int(src->height * sy);
        int left = cx - dw / 2, top = cy - dh / 2;
        for (int y = 0; y < dh; ++y) {
            for (int x = 0; x < dw; ++x) {
                int u = src->x + int(x / sx), v = src->y + int(y / sy);
                put(left + x, top + y, from[v * image->getWidth() + u]);
            }
        }
        return true;
    }
    void fillRectAlpha(int x, int y, int w, int h, uint32_t argb) override
    {
        RecordingGraphics::fillRectAlpha(x, y, w, h, argb);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                put(x + i, y + j, argb);
    }

    uint32_t at(int x, int y) const { return pixels[size_t(y * width + x)]; }

    int width, height;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> stencil;
    bool masking = false, writing = false, inverted = false;

private:
    void put(int x, int y, uint32_t argb)
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        size_t i = size_t(y * width + x);
        if (masking && writing) {
            if (argb >> 24)
                stencil[i] = 1;
            return;
        }
        if (masking && (stencil[i] != 0) != inverted)
            return;
        pixels[i] = argb;
    }
};

// A new w x h picture of one colour.
inline window::ImageWinDX* flatImage(int w, int h, uint32_t argb)
{
    window::ImageWinDX* image = new window::ImageWinDX(w, h, 1, false);
    std::fill(image->getPixels(), image->getPixels() + w * h, argb);
    image->setModified(true);
    return image;
}

// Writes a w x h PNG file of one colour; whether it was written.
inline bool writeFlatPng(const std::string& path, int w, int h, uint32_t argb)
{
    std::vector<uint32_t> pixels(size_t(w * h), argb);
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(w);
    png.height = png_uint_32(h);
    png.format = PNG_FORMAT_BGRA; // 0xAARRGGBB words in little-endian order
    return png_image_write_to_file(&png, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

} // namespace masktest
