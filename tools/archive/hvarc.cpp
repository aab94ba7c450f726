// hvarc: packs a folder into a resource archive, and lists, prints or extracts
// the items of one.
#include "tools/archive/ArchiveWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage:\n"
                 "  hvarc pack <folder> <archive>      pack every file; \"<name>.text\" becomes\n"
                 "                                     the text item <name> (UTF-8 plus a 0 byte)\n"
                 "  hvarc list <archive>               names, offsets and sizes\n"
                 "  hvarc print <archive> <item>       an item's bytes to standard output\n"
                 "  hvarc extract <archive> <folder>   every item into a folder\n"
                 "An archive whose name ends in \".zin\" is written and read compressed.\n");
    return 2;
}

int pack(const fs::path& folder, const std::string& archive)
{
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file())
            files.push_back(it->path());
    if (ec) {
        std::fprintf(stderr, "hvarc: cannot read %s\n", folder.string().c_str());
        return 1;
    }
    std::sort(files.begin(), files.end());
    tools::ArchiveWriter writer;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string name = fs::relative(file, folder).generic_string();
        if (name.size() > 255) {
            std::fprintf(stderr, "hvarc: name too long: %s\n", name.c_str());
            return 1;
        }
        if (file.extension() == ".text")
            writer.addText(name.substr(0, name.size() - 5), bytes);
        else
            writer.add(name, bytes);
    }
    if (!writer.write(archive)) {
        std::fprintf(stderr, "hvarc: cannot write %s\n", archive.c_str());
        return 1;
    }
    std::printf("%zu items packed into %s\n", writer.size(), archive.c_str());
    return 0;
}

bool load(const std::string& archive, std::vector<uint8_t>& data, std::vector<tools::ArchiveEntry>& entries)
{
    std::string error;
    if (tools::readArchive(archive, data, entries, error))
        return true;
    std::fprintf(stderr, "hvarc: %s\n", error.c_str());
    return false;
}

bool inside(const std::vector<uint8_t>& data, const tools::ArchiveEntry& e)
{
    return uint64_t(e.offset) + e.size <= data.size();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return usage();
    std::string command = argv[1];
    if (command == "pack" && argc == 4)
        return pack(argv[2], argv[3]);

    std::vector<uint8_t> data;
    std::vector<tools::ArchiveEntry> entries;
    if (command == "list" && argc == 3) {
        if (!load(argv[2], data, entries))
            return 1;
        for (const auto& e : entries)
            std::printf("%10u %10u  %s%s\n", e.offset, e.size, e.name.c_str(), inside(data, e) ? "" : "  (outside the data)");
        return 0;
    }
    if (command == "print" && argc == 4) {
        if (!load(argv[2], data, entries))
            return 1;
        // The last record of a name wins, as in the engine.
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if (it->name == argv[3] && inside(data, *it)) {
                std::fwrite(data.data() + it->offset, 1, it->size, stdout);
                return 0;
            }
        }
        std::fprintf(stderr, "hvarc: no item %s\n", argv[3]);
        return 1;
    }
    if (command == "extract" && argc == 4) {
        if (!load(argv[2], data, entries))
            return 1;
        for (const auto& e : entries) {
            fs::path target = fs::path(argv[3]) / e.name;
            if (!inside(data, e) || e.name.empty() || e.name[0] == '/' || e.name.find("..") != std::string::npos) {
                std::fprintf(stderr, "hvarc: skipping %s\n", e.name.c_str());
                continue;
            }
            fs::create_directories(target.parent_path());
            std::ofstream out(target, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(data.data() + e.offset), std::streamsize(e.size));
        }
        return 0;
    }
    return usage();
}
