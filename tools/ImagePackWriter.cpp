// ImagePackWriter.cpp: image packs for the sample data and the tests.
#include "tools/ImagePackWriter.h"

#include <fstream>

namespace tools {

void putBigEndian32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void ImagePackWriter::add(const std::string& name, const std::vector<uint8_t>& bytes)
{
    // The name-length byte counts the terminating byte: 254 characters at most.
    m_items.push_back({name.substr(0, 254), bytes});
}

std::vector<uint8_t> ImagePackWriter::build() const
{
    std::vector<uint8_t> body;
    for (const Item& item : m_items) {
        putBigEndian32(body, uint32_t(item.bytes.size()));
        body.push_back(uint8_t(item.name.size() + 1));
        body.insert(body.end(), item.name.begin(), item.name.end());
        body.push_back(0);
        for (uint8_t b : item.bytes)
            body.push_back(uint8_t(b ^ m_key));
    }
    std::vector<uint8_t> pack;
    putBigEndian32(pack, uint32_t(m_items.size()));
    // The reader measures the header (8 bytes) and every item but its
    // name-length byte against the total.
    putBigEndian32(pack, uint32_t(8 + body.size() - m_items.size()));
    pack.insert(pack.end(), body.begin(), body.end());
    return pack;
}

bool ImagePackWriter::write(const std::string& path) const
{
    const std::vector<uint8_t> pack = build();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(pack.data()), std::streamsize(pack.size()));
    return bool(out);
}

} // namespace tools
