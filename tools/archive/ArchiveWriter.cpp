// ArchiveWriter.cpp: writing and reading resource archives.
#include "tools/archive/ArchiveWriter.h"

#include <zlib.h>

#include <fstream>
#include <iterator>

namespace tools {
namespace {

// "HVA1": a marker for people looking at the file; the engine does not read it.
const uint32_t kMarker = 0x31415648;

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

uint32_t getU32(const std::vector<uint8_t>& in, size_t at)
{
    return uint32_t(in[at]) | uint32_t(in[at + 1]) << 8 | uint32_t(in[at + 2]) << 16 | uint32_t(in[at + 3]) << 24;
}

} // namespace

void putU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

void ArchiveWriter::add(const std::string& name, const std::vector<uint8_t>& bytes)
{
    m_items.push_back({name.substr(0, 255), bytes});
}

void ArchiveWriter::add(const std::string& name, const std::string& bytes)
{
    add(name, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

void ArchiveWriter::addText(const std::string& name, const std::string& utf8)
{
    std::vector<uint8_t> bytes(utf8.begin(), utf8.end());
    bytes.push_back(0);
    add(name, bytes);
}

std::vector<uint8_t> ArchiveWriter::build() const
{
    size_t indexSize = 12;
    for (const Item& item : m_items)
        indexSize += 9 + item.name.size();
    std::vector<uint8_t> out;
    putU32(out, kMarker);
    putU32(out, 0); // no reserved block
    putU32(out, uint32_t(m_items.size()));
    uint32_t offset = uint32_t(indexSize);
    for (const Item& item : m_items) {
        out.push_back(uint8_t(item.name.size()));
        out.insert(out.end(), item.name.begin(), item.name.end());
        putU32(out, offset);
        putU32(out, uint32_t(item.bytes.size()));
        offset += uint32_t(item.bytes.size());
    }
    for (const Item& item : m_items)
        out.insert(out.end(), item.bytes.begin(), item.bytes.end());
    return out;
}

std::vector<uint8_t> ArchiveWriter::buildCompressed() const
{
    std::vector<uint8_t> data = build();
    uLongf length = compressBound(uLong(data.size()));
    std::vector<uint8_t> packed(length);
    compress2(packed.data(), &length, data.data(), uLong(data.size()), Z_BEST_COMPRESSION);
    packed.resize(length);
    std::vector<uint8_t> out;
    putU32(out, kMarker);
    putU32(out, uint32_t(data.size()));
    putU32(out, uint32_t(packed.size()));
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

bool ArchiveWriter::write(const std::string& path) const
{
    std::vector<uint8_t> bytes = endsWith(path, ".zin") ? buildCompressed() : build();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

bool readArchive(const std::string& path, std::vector<uint8_t>& data, std::vector<ArchiveEntry>& entries,
                 std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<uint8_t> raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (endsWith(path, ".zin")) {
        if (raw.size() < 12 || getU32(raw, 8) > raw.size() - 12) {
            error = "truncated compressed archive";
            return false;
        }
        // Deflate expands at most 1032 times: a larger claim is damage.
        uLongf length = getU32(raw, 4);
        if (uint64_t(length) > uint64_t(getU32(raw, 8)) * 1032) {
            error = "the compressed data are damaged";
            return false;
        }
        data.assign(length, 0);
        if (uncompress(data.data(), &length, raw.data() + 12, getU32(raw, 8)) != Z_OK) {
            error = "the compressed data are damaged";
            return false;
        }
        data.resize(length);
    } else {
        data = std::move(raw);
    }
    entries.clear();
    if (data.size() < 12 || getU32(data, 4) > data.size() - 12) {
        error = "truncated index";
        return false;
    }
    size_t at = 8 + getU32(data, 4);
    int32_t count = int32_t(getU32(data, at));
    at += 4;
    for (int32_t i = 0; i < count; ++i) {
        if (at >= data.size() || at + 1 + data[at] + 8 > data.size()) {
            error = "truncated index";
            return false;
        }
        size_t length = data[at];
        ArchiveEntry entry{std::string(reinterpret_cast<const char*>(&data[at + 1]), length), 0, 0};
        at += 1 + length;
        entry.offset = getU32(data, at);
        entry.size = getU32(data, at + 4);
        at += 8;
        entries.push_back(entry);
    }
    return true;
}

} // namespace tools
