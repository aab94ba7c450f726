// Speed of a player's save into a settings file as full as the registry's
// limits let it be: 63 keys of 1,023 values each beside the profile. A save
// reads the file again (another copy of the game may have written it), finds
// each value it changes by name and writes the whole file; it should stay
// well under 50 ms.
#include "core/lang/ByteArray.h"
#include "core/lang/String.h"
#include "platform/registry/Registry.h"
#include "sprites/settings/User.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// 63 keys of 1,023 DWORD values and one profile with a story of two pieces.
std::string settingsBenchFullFile()
{
    std::string text = "HVREGISTRY 1\n";
    size_t records = 0;
    auto key = [&](const std::string& path) {
        text += "K \"" + path + "\"\n";
        ++records;
    };
    key("");
    key("Software");
    key("Software\\Harbinvel");
    const std::string game = "Software\\Harbinvel\\Lanternfield";
    key(game);
    text += "V \"LASTPROFILE\" 1 \"Ann%00\"\n";
    ++records;
    for (int k = 0; k < 63; ++k) {
        key(game + "\\Filler" + std::to_string(k));
        for (int v = 0; v < 1023; ++v) {
            text += "V \"Value" + std::to_string(v) + "\" 4 x01000000\n";
            ++records;
        }
    }
    key(game + "\\ANN");
    text += "V \"displayName\" 1 \"Ann%00\"\n";
    ++records;
    key(game + "\\ANN\\userdata");
    key(game + "\\ANN\\LF");
    text += "E " + std::to_string(records) + "\n";
    return text;
}

void BM_SettingsSaveOfAFullFile(benchmark::State& state)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("hv-settings-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "registry.txt").string();
    { std::ofstream(file, std::ios::binary) << settingsBenchFullFile(); }
    platform::setRegistryFile(file.c_str());
    {
        auto* user = new sprite::User();
        user->open(lang::String("Lanternfield"));
        lang::ByteArray record;
        record.setLength(154);
        lang::ByteArray story;
        story.setLength(6000);
        int round = 0;
        for (auto _ : state) {
            // The game's save: the record's image and the story, together.
            record.data()[0] = static_cast<unsigned char>(++round);
            story.data()[0] = static_cast<unsigned char>(round);
            platform::RegistryBatch save;
            user->setBytesChunked(lang::String("ANN\\userdata"), record);
            user->setBytesChunked(lang::String("ANN\\LF"), story);
        }
        user->release();
    }
    state.counters["file_kb"] = double(std::filesystem::file_size(file)) / 1024.0;
    platform::setRegistryFile(nullptr);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SettingsSaveOfAFullFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
