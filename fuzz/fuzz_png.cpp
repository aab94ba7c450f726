// Fuzzes the PNG reader through the image class.
#include "fuzz/PictureFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Only data the image class sends to the PNG reader.
    if (size < 8 || data[0] != 137 || data[1] != 'P' || data[2] != 'N' || data[3] != 'G')
        return 0;
    return fuzzPicture(data, size);
}
