// Fuzzes the WAV reader: whole-file loads and streams.
#include "fuzz/SoundFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Only data the WAV reader would be the one to read.
    if (size < 12 || data[0] != 'R' || data[1] != 'I' || data[2] != 'F' || data[3] != 'F')
        return 0;
    return fuzzSound(data, size);
}
