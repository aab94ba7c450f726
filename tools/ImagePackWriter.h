// ImagePackWriter.h: builds image packs, the files of named encoded pictures
// that the data manifest loader reads: a big-endian count and total size,
// then per item a big-endian length, a name-length byte (the name's length
// plus one), the name with one terminating byte, and the data XORed with the
// program's one-byte key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

class ImagePackWriter {
public:
    explicit ImagePackWriter(uint8_t key) : m_key(key) {}

    // Names longer than 254 bytes are cut to 254 (the name-length byte).
    void add(const std::string& name, const std::vector<uint8_t>& bytes);
    // The pack, its total the exact size the items take.
    std::vector<uint8_t> build() const;
    bool write(const std::string& path) const;

private:
    struct Item {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    uint8_t m_key;
    std::vector<Item> m_items;
};

// Appends a big-endian 32-bit integer.
void putBigEndian32(std::vector<uint8_t>& out, uint32_t v);

} // namespace tools
