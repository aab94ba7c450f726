// ArchiveWriter.h: builds resource archives (a plain index file, or the same
// data zlib-compressed as a ".zin" file) for tests and the packing tool, and
// reads their index back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

class ArchiveWriter {
public:
    // Adds an item; a later item of the same name shadows the earlier one.
    void add(const std::string& name, const std::vector<uint8_t>& bytes);
    void add(const std::string& name, const std::string& bytes);
    // Adds a text item: the UTF-8 text followed by one 0 byte.
    void addText(const std::string& name, const std::string& utf8);

    // The archive data: head, reserved block, record count, records, item bytes.
    std::vector<uint8_t> build() const;
    // The ".zin" form: head, inflated size, compressed size, one zlib stream.
    std::vector<uint8_t> buildCompressed() const;
    // Writes build() or, for a path ending in ".zin", buildCompressed().
    bool write(const std::string& path) const;

    size_t size() const { return m_items.size(); }

private:
    struct Item {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Item> m_items;
};

// One record of an archive's index.
struct ArchiveEntry {
    std::string name;
    uint32_t offset;
    uint32_t size;
};

// Reads an archive file (plain or ".zin") into its data and index; false with
// a reason when the file is missing or damaged.
bool readArchive(const std::string& path, std::vector<uint8_t>& data, std::vector<ArchiveEntry>& entries,
                 std::string& error);

void putU32(std::vector<uint8_t>& out, uint32_t v);

} // namespace tools
