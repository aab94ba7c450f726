// PeImage.h: a program module file read as data: its headers are checked and
// its resource directory listed, and nothing in it is ever run.
#pragma once

#include "platform/Win32Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class PeImage {
public:
    // A resource type or name: a 16-bit id or a text (upper-cased, as
    // resource names are compared without regard to case).
    struct Key {
        bool isId = false;
        WORD id = 0;
        std::u16string name;

        bool operator==(const Key& other) const
        {
            return isId == other.isId && (isId ? id == other.id : name == other.name);
        }
    };

    struct Resource {
        Key type;
        Key name;
        size_t offset = 0; // of the data in the file
        uint32_t size = 0;
    };

    // Reads the image from file bytes; null when they are not a complete,
    // consistent image (a bad header, a section or resource past the end of
    // the file, a resource directory that loops).
    static std::unique_ptr<PeImage> parse(std::vector<uint8_t> bytes);

    // The key for a resource name or type given as a text or, when the pointer
    // value is below 0x10000, as an id.
    static Key keyOf(LPCSTR nameOrId);

    // The first resource (in the first language found) of that type and name,
    // or null.
    const Resource* find(const Key& type, const Key& name) const;
    // Whether `resource` points at one of this image's resource records.
    bool owns(const void* resource) const;
    const uint8_t* dataOf(const Resource& resource) const { return m_bytes.data() + resource.offset; }
    const std::vector<Resource>& resources() const { return m_resources; }

private:
    PeImage() = default;

    std::vector<uint8_t> m_bytes;
    std::vector<Resource> m_resources;
};

} // namespace platform
