// PeImage.cpp: the reader of module files: DOS stub, image headers, section
// table and the three-level resource directory (type, name, language). Every
// read is checked against the file's size.
#include "platform/files/PeImage.h"

#include "platform/files/Text.h"

#include <functional>
#include <set>

namespace platform {
namespace {

const uint16_t kMagicPe32 = 0x10B;
const uint16_t kMagicPe32Plus = 0x20B;
const uint32_t kResourceDirectoryIndex = 2;
const uint32_t kHighBit = 0x80000000u;

// Little-endian reads within [0, size); each returns false past the end.
class Bytes {
public:
    explicit Bytes(const std::vector<uint8_t>& data) : m_data(data) {}

    bool has(uint64_t offset, uint64_t length) const
    {
        return offset <= m_data.size() && length <= m_data.size() - offset;
    }
    bool u16(uint64_t offset, uint16_t& value) const
    {
        if (!has(offset, 2))
            return false;
        value = uint16_t(m_data[offset] | (m_data[offset + 1] << 8));
        return true;
    }
    bool u32(uint64_t offset, uint32_t& value) const
    {
        if (!has(offset, 4))
            return false;
        value = uint32_t(m_data[offset]) | (uint32_t(m_data[offset + 1]) << 8) |
                (uint32_t(m_data[offset + 2]) << 16) | (uint32_t(m_data[offset + 3]) << 24);
        return true;
    }

private:
    const std::vector<uint8_t>& m_data;
};

struct Section {
    uint32_t virtualAddress;
    uint32_t rawSize;
    uint32_t rawOffset;
};

// Resource names compare as Windows compares them: upper-cased. The Latin-1
// letters are enough for the names resource compilers write.
char16_t upper(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return char16_t(c - 32);
    if (c == 0xFF)
        return 0x178;
    return c;
}

class ResourceReader {
public:
    ResourceReader(const Bytes& bytes, const std::vector<Section>& sections, uint64_t start, uint64_t limit)
        : m_bytes(bytes), m_sections(sections), m_start(start), m_limit(limit)
    {
    }

    bool read(std::vector<PeImage::Resource>& out)
    {
        std::vector<Entry> types;
        if (!directory(0, types))
            return false;
        for (const Entry& type : types) {
            std::vector<Entry> names;
            if (!type.isDirectory || !directory(type.target, names))
                return false;
            for (const Entry& name : names) {
                std::vector<Entry> languages;
                if (!name.isDirectory || !directory(name.target, languages))
                    return false;
                if (languages.empty())
                    continue;
                PeImage::Resource resource;
                if (languages[0].isDirectory || !dataEntry(languages[0].target, resource))
                    return false;
                resource.type = type.key;
                resource.name = name.key;
                out.push_back(resource);
            }
        }
        return true;
    }

    // The file offset of `length` bytes at an address of the loaded image;
    // false unless they lie wholly in one section's data in the file.
    static bool fileOffset(const std::vector<Section>& sections, uint32_t rva, uint64_t length, uint64_t& offset)
    {
        for (const Section& s : sections) {
            if (rva >= s.virtualAddress && uint64_t(rva) - s.virtualAddress + length <= s.rawSize) {
                offset = uint64_t(s.rawOffset) + (rva - s.virtualAddress);
                return true;
            }
        }
        return false;
    }

private:
    struct Entry {
        PeImage::Key key;
        bool isDirectory;
        uint32_t target; // offset from the start of the resource directory
    };

    bool inside(uint64_t offset, uint64_t length) const
    {
        return offset <= m_limit - m_start && length <= m_limit - m_start - offset;
    }

    bool directory(uint32_t offset, std::vector<Entry>& entries)
    {
        // Each directory may be read once: a directory reached twice means
        // the tree loops back on itself or shares parts, which no tool writes.
        if (!m_visited.insert(offset).second)
            return false;
        uint16_t named, ids;
        if (!inside(offset, 16) || !m_bytes.u16(m_start + offset + 12, named) ||
            !m_bytes.u16(m_start + offset + 14, ids))
            return false;
        uint32_t count = uint32_t(named) + ids;
        if (!inside(uint64_t(offset) + 16, uint64_t(count) * 8))
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            uint64_t at = m_start + offset + 16 + uint64_t(i) * 8;
            uint32_t name = 0, target = 0;
            m_bytes.u32(at, name);
            m_bytes.u32(at + 4, target);
            Entry entry;
            if (name & kHighBit) {
                if (!text(name & ~kHighBit, entry.key.name))
                    return false;
            } else {
                entry.key.isId = true;
                entry.key.id = WORD(name);
            }
            entry.isDirectory = (target & kHighBit) != 0;
            entry.target = target & ~kHighBit;
            entries.push_back(entry);
        }
        return true;
    }

    // A counted UTF-16 name: a 16-bit length, then that many units.
    bool text(uint32_t offset, std::u16string& name)
    {
        uint16_t length;
        if (!inside(offset, 2) || !m_bytes.u16(m_start + offset, length) || !inside(uint64_t(offset) + 2, length * 2u))
            return false;
        for (uint32_t i = 0; i < length; ++i) {
            uint16_t unit = 0;
            m_bytes.u16(m_start + offset + 2 + i * 2, unit);
            name += upper(char16_t(unit));
        }
        return true;
    }

    bool dataEntry(uint32_t offset, PeImage::Resource& resource)
    {
        uint32_t rva, size;
        if (!inside(offset, 16) || !m_bytes.u32(m_start + offset, rva) || !m_bytes.u32(m_start + offset + 4, size))
            return false;
        uint64_t fileOffset;
        if (!ResourceReader::fileOffset(m_sections, rva, size, fileOffset))
            return false;
        resource.offset = size_t(fileOffset);
        resource.size = size;
        return true;
    }

    const Bytes& m_bytes;
    const std::vector<Section>& m_sections;
    uint64_t m_start;
    uint64_t m_limit;
    std::set<uint32_t> m_visited;
};

} // namespace

std::unique_ptr<PeImage> PeImage::parse(std::vector<uint8_t> data)
{
    Bytes bytes(data);
    uint16_t mz;
    uint32_t peOffset, signature;
    if (!bytes.u16(0, mz) || mz != 0x5A4D || !bytes.u32(0x3C, peOffset) || !bytes.u32(peOffset, signature) ||
        signature != 0x00004550) // "MZ" and "PE\0\0"
        return nullptr;

    uint64_t coff = uint64_t(peOffset) + 4;
    uint16_t sectionCount, optionalSize, magic;
    if (!bytes.u16(coff + 2, sectionCount) || !bytes.u16(coff + 16, optionalSize))
        return nullptr;
    uint64_t optional = coff + 20;
    if (!bytes.has(optional, optionalSize) || optionalSize < 2 || !bytes.u16(optional, magic))
        return nullptr;
    uint32_t countField, directoriesField;
    if (magic == kMagicPe32) {
        countField = 92;
        directoriesField = 96;
    } else if (magic == kMagicPe32Plus) {
        countField = 108;
        directoriesField = 112;
    } else {
        return nullptr;
    }
    uint32_t directoryCount = 0, resourceRva = 0, resourceSize = 0;
    if (optionalSize >= countField + 4)
        bytes.u32(optional + countField, directoryCount);
    uint32_t resourceField = directoriesField + kResourceDirectoryIndex * 8;
    if (directoryCount > kResourceDirectoryIndex && optionalSize >= resourceField + 8) {
        bytes.u32(optional + resourceField, resourceRva);
        bytes.u32(optional + resourceField + 4, resourceSize);
    }

    std::vector<Section> sections;
    uint64_t table = optional + optionalSize;
    if (!bytes.has(table, uint64_t(sectionCount) * 40))
        return nullptr;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        uint64_t at = table + uint64_t(i) * 40;
        Section s;
        bytes.u32(at + 12, s.virtualAddress);
        bytes.u32(at + 16, s.rawSize);
        bytes.u32(at + 20, s.rawOffset);
        if (s.rawSize > 0 && !bytes.has(s.rawOffset, s.rawSize))
            return nullptr; // cut short
        sections.push_back(s);
    }

    std::unique_ptr<PeImage> image(new PeImage());
    if (resourceRva != 0 && resourceSize != 0) {
        uint64_t start = 0;
        const Section* home = nullptr;
        for (const Section& s : sections) {
            if (resourceRva >= s.virtualAddress && resourceRva - s.virtualAddress < s.rawSize)
                home = &s;
        }
        if (!home || !ResourceReader::fileOffset(sections, resourceRva, 16, start))
            return nullptr;
        uint64_t limit = uint64_t(home->rawOffset) + home->rawSize;
        ResourceReader reader(bytes, sections, start, limit);
        if (!reader.read(image->m_resources))
            return nullptr;
    }
    image->m_bytes = std::move(data);
    return image;
}

PeImage::Key PeImage::keyOf(LPCSTR nameOrId)
{
    Key key;
    uintptr_t value = reinterpret_cast<uintptr_t>(nameOrId);
    if (value < 0x10000) {
        key.isId = true;
        key.id = WORD(value);
        return key;
    }
    for (const char* p = nameOrId; *p; ++p)
        key.name += upper(ansiToUnicode(static_cast<unsigned char>(*p)));
    return key;
}

const PeImage::Resource* PeImage::find(const Key& type, const Key& name) const
{
    for (const Resource& r : m_resources) {
        if (r.type == type && r.name == name)
            return &r;
    }
    return nullptr;
}

bool PeImage::owns(const void* resource) const
{
    const auto* r = static_cast<const Resource*>(resource);
    const Resource* first = m_resources.data();
    std::less<const Resource*> before;
    if (m_resources.empty() || before(r, first) || !before(r, first + m_resources.size()))
        return false;
    return (reinterpret_cast<uintptr_t>(r) - reinterpret_cast<uintptr_t>(first)) % sizeof(Resource) == 0;
}

} // namespace platform
