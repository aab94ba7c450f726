// ArchiveFuzz.h: writes the input as an archive file, opens it with the engine
// and reads every item the index names.
#pragma once

#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "tools/archive/ArchiveWriter.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

inline int fuzzArchive(const uint8_t* data, size_t size, const char* extension)
{
    static const std::string path = "/tmp/hvfuzz-" + std::to_string(getpid()) + extension;
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
                    volatile unsigned sum = 0;
                    for (int i = 0; i < item->getSize(); ++i)
                        sum += item->getData()[i];
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
