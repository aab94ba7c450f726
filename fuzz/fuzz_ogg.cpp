// Fuzzes the Ogg Vorbis reader: whole-file loads and streams.
#include "fuzz/SoundFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Only data the Ogg reader would be the one to read.
    if (size < 4 || data[0] != 'O' || data[1] != 'g' || data[2] != 'g' || data[3] != 'S')
        return 0;
    return fuzzSound(data, size);
}
