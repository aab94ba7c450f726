// ArchiveFuzz.h: writes the input as an archive file, opens it with the engine
// and reads every item the index names.
#pragma once

#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "tools/archive/ArchiveWriter.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// The file the input is written to, in the temporary folder; removed when the
// fuzzer ends (scripts/fuzz.sh also gives each fuzzer a temporary folder of
// its own, removed after it, for a run that ends in a crash).
inline std::string fuzzArchiveFile;

inline void removeFuzzArchiveFile()
{
    std::remove(fuzzArchiveFile.c_str());
}

// Keeps the sums of the items read, so that reading them is not optimised away.
inline volatile unsigned fuzzArchiveSink = 0;

inline int fuzzArchive(const uint8_t* data, size_t size, const char* extension)
{
    if (fuzzArchiveFile.empty()) {
        fuzzArchiveFile = (std::filesystem::temp_directory_path() / ("hvfuzz-" + std::to_string(getpid()) + extension))
                              .string();
        std::atexit(removeFuzzArchiveFile);
    }
    const std::string& path = fuzzArchiveFile;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    // The tool's own reader gives the names to ask for (and is fuzzed too).
    std::vector<uint8_t> bytes;
    std::vector<tools::ArchiveEntry> entries;
    std::string error;
    tools::readArchive(path, bytes, entries, error);
    entries.push_back({"missing", 0, 0});

    try {
        lang::ResourceFileHeader* header = new lang::ResourceFileHeader(lang::String(path.c_str()));
        for (const tools::ArchiveEntry& e : entries) {
            for (bool shared : {false, true}) {
                lang::ResourceItem* item = header->getItem(lang::String(e.name.c_str()), shared);
                if (item) {
                    unsigned sum = 0;
                    for (int i = 0; i < item->getSize(); ++i)
                        sum += item->getData()[i];
                    fuzzArchiveSink = sum;
                    item->release();
                }
            }
        }
        header->release();
    } catch (lang::Exception* e) {
        e->release();
    }
    return 0;
}
