// Fuzzes the GIF reader: the size-only read first, then the full decode of
// pictures up to about four million pixels (larger ones only cost time).
#include "windowing/images/GifDecoder.h"
#include "windowing/images/ImageBase.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > (1u << 20))
        return 0;
    int width = 0, height = 0;
    uint32_t* pixels = nullptr;
    bool alpha = false;

    window::ImageBase::forceImmediateDecode = false;
    window::ImageBase::decodeDeferral = 1;
    int sized = window::GifDecoder().readGIF(data, int(size), width, height, pixels, alpha);
    window::ImageBase::decodeDeferral = 0;
    window::ImageBase::forceImmediateDecode = true;
    if (sized != 2 || int64_t(width) * height > (int64_t(1) << 22))
        return 0;

    window::GifDecoder decoder;
    if (decoder.readGIF(data, int(size), width, height, pixels, alpha) == 1) {
        // Touch every pixel so that uninitialised or missing ones show.
        uint32_t sum = 0;
        for (int64_t i = 0; i < int64_t(width) * height; ++i)
            sum += pixels[i];
        if (sum == 0x12345678u)
            std::abort();
    }
    std::free(pixels);
    return 0;
}
