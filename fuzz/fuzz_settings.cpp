// Fuzzes the settings file reader: the input is a settings file. A file that
// reads is written again and must read back to the very same text; a tree of
// the game's own shape then takes over what was read, as a save does when
// another copy of the game wrote the file meanwhile, and must write the
// same text too.
#include "platform/registry/RegistryFile.h"
#include "platform/registry/RegistryKey.h"

#include <cstdint>
#include <string>

namespace {

// A fresh start's settings and one profile, in the game's layout.
const char kGameShape[] = "HVREGISTRY 1\n"
                          "K \"\"\n"
                          "K \"Software\"\n"
                          "K \"Software\\Harbinvel\"\n"
                          "K \"Software\\Harbinvel\\Lanternfield\"\n"
                          "V \"FULLSCREEN\" 4 x00000000\n"
                          "V \"LASTPROFILE\" 1 \"Ann%00\"\n"
                          "K \"Software\\Harbinvel\\Lanternfield\\ANN\"\n"
                          "V \"displayName\" 1 \"Ann%00\"\n"
                          "K \"Software\\Harbinvel\\Lanternfield\\ANN\\LF\"\n"
                          "V \"0\" 3 x4C46203D204C46206F72207B7D0A\n"
                          "E 10\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    platform::RegistryKey read("");
    if (!platform::RegistryFile::parse(text, read, nullptr))
        return 0;
    const std::string written = platform::RegistryFile::serialize(read);
    platform::RegistryKey again("");
    if (!platform::RegistryFile::parse(written, again, nullptr) || platform::RegistryFile::serialize(again) != written)
        __builtin_trap();
    platform::RegistryKey game("");
    if (!platform::RegistryFile::parse(kGameShape, game, nullptr))
        __builtin_trap();
    game.takeContentOf(again);
    if (platform::RegistryFile::serialize(game) != written)
        __builtin_trap();
    return 0;
}
