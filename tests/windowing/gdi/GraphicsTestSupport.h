// GraphicsTestSupport.h: images with known pixels for the image and GDI
// graphics tests, on a display-less window layer.
#pragma once

#include "platform/user/headless/HeadlessBackend.h"
#include "windowing/gdi/ImageWin32.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace gfxtest {

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override { platform::useHeadlessBackend(); }

    // A buffer image (no DIB section) filled with one pixel value.
    static window::ImageWinDX* bufferImage(int w, int h, uint32_t fill, bool alpha = false)
    {
        window::ImageWinDX* image = new window::ImageWinDX(w, h, 1, false);
        fillImage(image, fill);
        image->setHasAlpha(alpha);
        image->setModified(false);
        return image;
    }
    // An image whose pixels are a DIB section GDI draws into.
    static window::ImageWin32* dibImage(int w, int h, uint32_t fill, bool alpha = false)
    {
        window::ImageWin32* image = new window::ImageWin32(w, h, 1, true);
        fillImage(image, fill);
        image->setHasAlpha(alpha);
        image->setModified(false);
        return image;
    }
    static void fillImage(window::ImageBase* image, uint32_t fill)
    {
        uint32_t* p = image->getPixels();
        for (int i = 0; i < image->getWidth() * image->getHeight(); ++i)
            p[i] = fill;
    }
    static uint32_t at(window::ImageBase* image, int x, int y)
    {
        return image->getPixels()[y * image->getWidth() + x];
    }
    static uint32_t rgb(window::ImageBase* image, int x, int y) { return at(image, x, y) & 0x00FFFFFFu; }
    // Counts the pixels equal to value.
    static int count(window::ImageBase* image, uint32_t value, uint32_t mask = 0xFFFFFFFFu)
    {
        int n = 0;
        for (int i = 0; i < image->getWidth() * image->getHeight(); ++i)
            n += (image->getPixels()[i] & mask) == (value & mask);
        return n;
    }
};

} // namespace gfxtest
