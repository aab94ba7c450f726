// Fuzzes the image pack reader: the input is a pack read into a loader's
// image table. Pictures are only sized (decoding is deferred): the picture
// readers have harnesses of their own.
#include "core/io/ByteArrayInputStream.h"
#include "sprites/loader/DataLoader.h"
#include "windowing/images/ImageBase.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    window::ImageBase::forceImmediateDecode = false;
    window::ImageBase::decodeDeferral = 1;
    auto* loader = new sprite::DataLoader(lang::String(""), nullptr, nullptr);
    auto* in = new io::ByteArrayInputStream(data, int(size));
    loader->readImagePack(in);
    in->release();
    loader->release();
    return 0;
}
