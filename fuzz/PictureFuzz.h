// PictureFuzz.h: the shared body of the PNG and JPEG harnesses: decode bytes
// through the image class, size first, then in full for pictures of up to
// about four million pixels, then apply the picture to itself as a mask.
#pragma once

#include "windowing/d3d/ImageWinDX.h"

#include <cstdint>
#include <cstdlib>

inline int fuzzPicture(const uint8_t* data, size_t size)
{
    if (size == 0 || size > (1u << 20))
        return 0;
    window::ImageBase::forceImmediateDecode = false;
    window::ImageBase::decodeDeferral = 1;
    window::ImageWinDX* sized = new window::ImageWinDX(data, int(size));
    window::ImageBase::decodeDeferral = 0;
    window::ImageBase::forceImmediateDecode = true;
    int64_t pixels = int64_t(sized->getWidth()) * sized->getHeight();
    sized->release();
    if (pixels <= 0 || pixels > (int64_t(1) << 22))
        return 0;

    window::ImageWinDX* image = new window::ImageWinDX(data, int(size));
    if (image->hasPixels()) {
        uint32_t sum = 0;
        const uint32_t* p = image->getPixels();
        for (int64_t i = 0; i < int64_t(image->getWidth()) * image->getHeight(); ++i)
            sum += p[i];
        if (sum == 0x12345678u)
            std::abort();
        image->applyMask(image);
    }
    image->release();
    return 0;
}
