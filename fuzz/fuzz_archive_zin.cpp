// Fuzzes reading a compressed (".zin") archive's index and its items.
#include "fuzz/ArchiveFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzArchive(data, size, ".zin");
}
