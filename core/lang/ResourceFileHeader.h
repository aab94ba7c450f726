// ResourceFileHeader.h: the index of an index archive (plain or with a
// zlib-compressed body, ".zin"): item names to places in the archive data.
#pragma once

#include "core/lang/String.h"
#include "core/util/Hashtable.h"

namespace io {
class InputStream;
}

namespace lang {

class ResourceItem;

class ResourceFileHeader : public Object {
public:
    // Reads the index. A file that cannot be opened, or whose index is
    // truncated or inconsistent, throws "Error Opening <path>", with what
    // happened for the player as the exception's detail ("<path as the
    // system writes it> is missing", "... is cut short", ...).
    explicit ResourceFileHeader(const String& path);
    ~ResourceFileHeader() override;

    // The item of that name or null; the caller releases it. A shared item
    // keeps its bytes cached in the index; a private one has its own copy
    // (unless the bytes were already cached). An item whose bytes lie beyond
    // the archive data, or cannot be read in full, is absent.
    ResourceItem* getItem(const String& name, bool shared);

    int getItemCount() { return m_items.size(); }

    HV_CLASS_NAME("ResourceFileHeader", Object)

private:
    void readIndex(const String& path);
    void freeAll();

    unsigned char* m_pInflated;
    io::InputStream* m_pStream;
    unsigned char* m_pReserved;
    int m_nReserved;
    long long m_nDataLength;
    util::Hashtable m_items;
};

} // namespace lang
