// D3DTestSupport.h: a fixture that opens the game's 800 x 600 frame on the
// headless window layer with the software graphics device, paints through
// its window graphics and reads the back buffer back, plus test pictures and
// reference colour arithmetic written independently of the drawing code.
#pragma once

#include "../window/WindowTestSupport.h"

#include "platform/d3d9/D3D9.h"
#include "platform/d3d9/DeviceControls.h"
#include "windowing/d3d/GraphicsWWinDX.h"
#include "windowing/d3d/ImageWinDX.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace d3dtest {

using platform::d3d9::DeviceControls;
using platform::d3d9::FaultPoint;
using platform::d3d9::SoftwareCaps;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

inline int alphaOf(uint32_t c) { return int(c >> 24); }
inline int redOf(uint32_t c) { return int((c >> 16) & 0xFF); }
inline int greenOf(uint32_t c) { return int((c >> 8) & 0xFF); }
inline int blueOf(uint32_t c) { return int(c & 0xFF); }
inline uint32_t argb(int a, int r, int g, int b)
{
    return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}

// Source over destination with the source's alpha, every channel alpha
// included: (s * a + d * (255 - a)) / 255.
inline uint32_t over(uint32_t src, uint32_t dst)
{
    const double a = alphaOf(src) / 255.0;
    auto mix = [a](int s, int d) { return int(s * a + d * (1.0 - a) + 0.5); };
    return argb(mix(alphaOf(src), alphaOf(dst)), mix(redOf(src), redOf(dst)), mix(greenOf(src), greenOf(dst)),
                mix(blueOf(src), blueOf(dst)));
}

// Whether two colours differ by at most `tolerance` in every channel.
inline bool nearColour(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// Equal within the rounding of blending.
inline bool sameColour(uint32_t a, uint32_t b) { return nearColour(a, b, 1); }

inline std::string hex(uint32_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", c);
    return text;
}

// A blank image filled pixel by pixel (0xAARRGGBB words).
inline window::ImageWinDX* makeImage(int width, int height, const std::function<uint32_t(int, int)>& pixel)
{
    auto* image = new window::ImageWinDX(width, height, 1, false);
    uint32_t* p = image->getPixels();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p[y * width + x] = pixel(x, y);
    image->setModified(true);
    return image;
}

// An opaque picture with a distinct colour at every pixel.
inline uint32_t patternPixel(int x, int y)
{
    return argb(255, (x * 7 + y * 3) & 0xFF, (x * 13 + 5) & 0xFF, (y * 11 + x) & 0xFF);
}

class D3DTest : public windowtest::WindowTest {
protected:
    void SetUp() override
    {
        windowtest::WindowTest::SetUp();
        DeviceControls::reset();
    }

    void TearDown() override
    {
        if (graphics) {
            graphics->release();
            graphics = nullptr;
        }
        windowtest::WindowTest::TearDown();
        DeviceControls::reset();
    }

    // The 800 x 600 frame, shown, with its window graphics in `graphics`
    // (caps set before this apply to its device).
    void openFrame()
    {
        frame = new windowtest::ProbeFrame(kWidth, kHeight);
        util::RectangleNM bounds(0, 0, kWidth, kHeight);
        ASSERT_TRUE(frame->create(nullptr, &bounds));
        ShowWindow(frame->getHWND(), SW_SHOW);
        windowtest::pump();
        graphics = static_cast<window::GraphicsWWinDX*>(frame->getGraphics());
        ASSERT_NE(graphics, nullptr);
        ASSERT_NE(graphics->getDevice(), nullptr);
    }

    // One drawing bracket (create ... dispose), as a paint runs it.
    void paint(const std::function<void(window::GraphicsWWinDX*)>& draw)
    {
        window::Graphics* context = graphics->create();
        ASSERT_EQ(context, graphics);
        draw(graphics);
        context->dispose();
        context->release();
    }

    // The back buffer as the last paint left it.
    std::vector<uint32_t> backBuffer()
    {
        std::vector<uint32_t> pixels(size_t(kWidth) * kHeight, 0xDEADBEEFu);
        graphics->getBackBuffer(0, 0, kWidth, kHeight, pixels.data());
        return pixels;
    }

    static uint32_t at(const std::vector<uint32_t>& pixels, int x, int y) { return pixels[size_t(y) * kWidth + x]; }

    // Fills the whole back buffer with an opaque colour first.
    static void background(window::GraphicsWWinDX* g, uint32_t colour)
    {
        g->fillRectAlpha(0, 0, kWidth, kHeight, colour);
    }

    window::GraphicsWWinDX* graphics = nullptr;
};

} // namespace d3dtest
