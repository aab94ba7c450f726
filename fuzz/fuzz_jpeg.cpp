// Fuzzes the JPEG reader through the image class.
#include "fuzz/PictureFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Only data the image class sends to the JPEG reader.
    if (size >= 4 && (data[0] == 'G' || (data[0] == 137 && data[1] == 'P')))
        return 0;
    return fuzzPicture(data, size);
}
