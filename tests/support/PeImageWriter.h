// PeImageWriter.h: builds a small, valid 32-bit module file whose only section
// holds resources (by default of type "FILE") with given bytes, for tests of
// the module loader and of archives kept in module files.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class PeImageWriter {
public:
    // A resource type or name: a text or a 16-bit id.
    struct Key {
        bool isId = false;
        uint16_t id = 0;
        std::string name;

        static Key text(const std::string& name) { return Key{false, 0, name}; }
        static Key number(uint16_t id) { return Key{true, id, std::string()}; }

        // Directory order: texts first (by upper-cased text), then ids ascending.
        bool operator<(const Key& other) const
        {
            if (isId != other.isId)
                return !isId;
            return isId ? id < other.id : upper(name) < upper(other.name);
        }
    };

    // Adds a resource of type "FILE" named `name` (ASCII; kept as given).
    PeImageWriter& add(const std::string& name, const std::vector<uint8_t>& data)
    {
        return add(Key::text("FILE"), Key::text(name), data);
    }
    PeImageWriter& add(const std::string& name, const std::string& text)
    {
        return add(name, std::vector<uint8_t>(text.begin(), text.end()));
    }
    PeImageWriter& add(const Key& type, const Key& name, const std::vector<uint8_t>& data)
    {
        m_resources[type][name] = data;
        return *this;
    }

    // The file: DOS header, image headers, one ".rsrc" section at address
    // 0x1000 and file offset 0x200.
    std::vector<uint8_t> build() const
    {
        std::vector<uint8_t> rsrc = resourceSection();
        const uint32_t rawSize = align(uint32_t(rsrc.size()), kFileAlignment);
        std::vector<uint8_t> file(kHeadersSize + rawSize, 0);

        // DOS header: the signature and the offset of the image headers.
        put16(file, 0, 0x5A4D);
        put32(file, 0x3C, kPeOffset);
        put32(file, kPeOffset, 0x00004550); // "PE\0\0"

        const uint32_t coff = kPeOffset + 4;
        put16(file, coff + 0, 0x014C);  // i386
        put16(file, coff + 2, 1);       // one section
        put16(file, coff + 16, kOptionalSize);
        put16(file, coff + 18, 0x2102); // executable image, 32-bit, DLL

        const uint32_t opt = coff + 20;
        put16(file, opt + 0, 0x10B);    // 32-bit optional header
        put32(file, opt + 8, rawSize);  // initialised data
        put32(file, opt + 24, kSectionRva);
        put32(file, opt + 28, 0x10000000); // preferred base
        put32(file, opt + 32, kSectionAlignment);
        put32(file, opt + 36, kFileAlignment);
        put16(file, opt + 40, 4);
        put16(file, opt + 48, 4);
        put32(file, opt + 56, kSectionRva + align(uint32_t(rsrc.size()), kSectionAlignment));
        put32(file, opt + 60, kHeadersSize);
        put16(file, opt + 68, 2);       // windowed subsystem
        put32(file, opt + 72, 0x100000);
        put32(file, opt + 76, 0x1000);
        put32(file, opt + 80, 0x100000);
        put32(file, opt + 84, 0x1000);
        put32(file, opt + 92, 16);      // data directories
        put32(file, opt + 96 + 2 * 8, kSectionRva); // the resource directory
        put32(file, opt + 96 + 2 * 8 + 4, uint32_t(rsrc.size()));

        const uint32_t section = opt + kOptionalSize;
        const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
        std::copy(name, name + 8, file.begin() + section);
        put32(file, section + 8, uint32_t(rsrc.size()));
        put32(file, section + 12, kSectionRva);
        put32(file, section + 16, rawSize);
        put32(file, section + 20, kHeadersSize);
        put32(file, section + 36, 0x40000040); // initialised data, readable

        std::copy(rsrc.begin(), rsrc.end(), file.begin() + kHeadersSize);
        return file;
    }

    bool writeTo(const std::string& path) const { return writeFile(path, build()); }

    static bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return bool(out);
    }

    // Where the resource section starts in the file.
    static constexpr uint32_t kHeadersSize = 0x200;

private:
    static constexpr uint32_t kPeOffset = 0x40;
    static constexpr uint16_t kOptionalSize = 224;
    static constexpr uint32_t kSectionRva = 0x1000;
    static constexpr uint32_t kSectionAlignment = 0x1000;
    static constexpr uint32_t kFileAlignment = 0x200;
    static constexpr uint32_t kLanguage = 1033;

    using Names = std::map<Key, std::vector<uint8_t>>;

    static std::string upper(std::string text)
    {
        for (char& c : text) {
            if (c >= 'a' && c <= 'z')
                c = char(c - 'a' + 'A');
        }
        return text;
    }

    static uint32_t align(uint32_t value, uint32_t to) { return (value + to - 1) / to * to; }

    static void put16(std::vector<uint8_t>& b, size_t at, uint32_t v)
    {
        b[at] = uint8_t(v);
        b[at + 1] = uint8_t(v >> 8);
    }
    static void put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
    {
        put16(b, at, v & 0xFFFF);
        put16(b, at + 2, v >> 16);
    }

    // The resource tree: the type directory, one name directory per type, one
    // language directory per resource, then the name texts, the data entries
    // and the data, each resource's bytes aligned to 8.
    std::vector<uint8_t> resourceSection() const
    {
        uint32_t size = 16 + 8 * uint32_t(m_resources.size());
        std::map<Key, uint32_t> nameDirectory;
        for (const auto& type : m_resources) {
            nameDirectory[type.first] = size;
            size += 16 + 8 * uint32_t(type.second.size());
        }
        std::map<std::pair<Key, Key>, uint32_t> languageDirectory;
        for (const auto& type : m_resources) {
            for (const auto& name : type.second) {
                languageDirectory[{type.first, name.first}] = size;
                size += 16 + 8;
            }
        }
        std::map<std::string, uint32_t> texts;
        for (const auto& type : m_resources) {
            if (!type.first.isId && !texts.count(type.first.name)) {
                texts[type.first.name] = size;
                size += 2 + 2 * uint32_t(type.first.name.size());
            }
            for (const auto& name : type.second) {
                if (!name.first.isId && !texts.count(name.first.name)) {
                    texts[name.first.name] = size;
                    size += 2 + 2 * uint32_t(name.first.name.size());
                }
            }
        }
        size = align(size, 4);
        std::map<std::pair<Key, Key>, uint32_t> dataEntry, data;
        for (const auto& type : m_resources) {
            for (const auto& name : type.second) {
                dataEntry[{type.first, name.first}] = size;
                size += 16;
            }
        }
        for (const auto& type : m_resources) {
            for (const auto& name : type.second) {
                size = align(size, 8);
                data[{type.first, name.first}] = size;
                size += uint32_t(name.second.size());
            }
        }

        std::vector<uint8_t> out(size, 0);
        auto directory = [&](uint32_t at, uint16_t named, uint16_t ids) {
            put16(out, at + 12, named);
            put16(out, at + 14, ids);
        };
        auto entryName = [&](uint32_t at, const Key& key) {
            put32(out, at, key.isId ? key.id : (0x80000000u | texts[key.name]));
        };
        auto counts = [](const auto& keys) {
            uint16_t named = 0, ids = 0;
            for (const auto& k : keys)
                (k.first.isId ? ids : named)++;
            return std::make_pair(named, ids);
        };

        auto rootCounts = counts(m_resources);
        directory(0, rootCounts.first, rootCounts.second);
        uint32_t at = 16;
        for (const auto& type : m_resources) {
            entryName(at, type.first);
            put32(out, at + 4, 0x80000000u | nameDirectory[type.first]);
            at += 8;
        }
        for (const auto& type : m_resources) {
            uint32_t dir = nameDirectory[type.first];
            auto nameCounts = counts(type.second);
            directory(dir, nameCounts.first, nameCounts.second);
            uint32_t entry = dir + 16;
            for (const auto& name : type.second) {
                entryName(entry, name.first);
                put32(out, entry + 4, 0x80000000u | languageDirectory[{type.first, name.first}]);
                entry += 8;
            }
        }
        for (const auto& type : m_resources) {
            for (const auto& name : type.second) {
                std::pair<Key, Key> key{type.first, name.first};
                uint32_t dir = languageDirectory[key];
                directory(dir, 0, 1);
                put32(out, dir + 16, kLanguage);
                put32(out, dir + 20, dataEntry[key]);
                put32(out, dataEntry[key], kSectionRva + data[key]);
                put32(out, dataEntry[key] + 4, uint32_t(name.second.size()));
                std::copy(name.second.begin(), name.second.end(), out.begin() + data[key]);
            }
        }
        for (const auto& text : texts) {
            put16(out, text.second, uint32_t(text.first.size()));
            for (size_t i = 0; i < text.first.size(); ++i)
                put16(out, text.second + 2 + 2 * i, static_cast<unsigned char>(text.first[i]));
        }
        return out;
    }

    std::map<Key, Names> m_resources;
};

} // namespace testsupport
