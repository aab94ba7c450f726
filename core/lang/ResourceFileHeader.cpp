// ResourceFileHeader.cpp: reading an archive's index and its items' bytes.
#include "core/lang/ResourceFileHeader.h"

#include "core/io/ByteArrayInputStream.h"
#include "core/io/FileInputStream.h"
#include "core/lang/Exception.h"
#include "core/lang/FileItem.h"
#include "core/lang/Synchronized.h"
#include "platform/files/Files.h"
#include "platform/kernel/DebugOutput.h"

#include <zlib.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>
#include <cstdlib>

namespace lang {
namespace {

// Deflate never expands data more than this many times, so a compressed body
// claiming more inflated bytes than this ratio allows is damaged.
const long long kMaxInflateRatio = 1032;
// More items than any game's archive holds (the sample's has some 1,100): a
// count beyond it that the file cannot hold is taken for no archive's.
const int kMaxPlausibleItems = 1 << 20;

long long fileLength(const char* path)
{
    FILE* f = crtFopen(path, "rb");
    if (!f)
        return -1;
    long long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        length = std::ftell(f);
    std::fclose(f);
    return length;
}

// The path as the user's system writes it: the Linux form, made absolute.
std::string shownPath(const String& path)
{
    const std::string native = platform::nativePath(path.c_str());
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(native, ec);
    return ec ? native : absolute.lexically_normal().string();
}

bool readFully(io::InputStream* in, unsigned char* buffer, int length)
{
    return length == 0 || in->read(buffer, 0, length) == length;
}

bool readU32(io::InputStream* in, uint32_t* value)
{
    unsigned char b[4];
    if (!readFully(in, b, 4))
        return false;
    *value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

} // namespace

ResourceFileHeader::ResourceFileHeader(const String& path)
    : m_pInflated(nullptr), m_pStream(nullptr), m_pReserved(nullptr), m_nReserved(0), m_nDataLength(0)
{
    m_items.setStringKeys(true);
    try {
        readIndex(path);
    } catch (Exception*) {
        freeAll();
        throw;
    }
}

ResourceFileHeader::~ResourceFileHeader()
{
    freeAll();
}

void ResourceFileHeader::freeAll()
{
    if (m_pStream) {
        m_pStream->release();
        m_pStream = nullptr;
    }
    std::free(m_pInflated);
    m_pInflated = nullptr;
    std::free(m_pReserved);
    m_pReserved = nullptr;
    m_items.clear();
}

void ResourceFileHeader::readIndex(const String& path)
{
    // The exception's message is the engine's own; its detail tells the
    // player what happened to which file, as their system writes its path.
    const std::string shown = shownPath(path);
    auto fail = [&path, &shown](const char* what) {
        throw new Exception(String("Error Opening ").concat(path.c_str()), String((shown + " " + what).c_str()));
    };
    const char* const cutShort = "is cut short";
    const char* const notAnArchive = "is not a game data archive";

    long long fileSize = fileLength(path.c_str());
    if (fileSize < 0) {
        std::error_code ec;
        fail(std::filesystem::exists(shown, ec) ? "cannot be read" : "is missing");
    }
    if (path.endsWith(".zin")) {
        io::FileInputStream* file = new io::FileInputStream(path);
        uint32_t ignored = 0, inflatedSize = 0, compressedSize = 0;
        const char* failure = nullptr;
        if (!readU32(file, &ignored) || !readU32(file, &inflatedSize) || !readU32(file, &compressedSize) ||
            fileSize < 12 || compressedSize > fileSize - 12)
            failure = cutShort;
        else if (inflatedSize > (long long)compressedSize * kMaxInflateRatio || inflatedSize > INT_MAX)
            failure = notAnArchive;
        unsigned char* compressed = nullptr;
        uLongf inflatedLength = inflatedSize;
        if (!failure) {
            compressed = static_cast<unsigned char*>(std::malloc(compressedSize ? compressedSize : 1));
            m_pInflated = static_cast<unsigned char*>(std::malloc(inflatedSize ? inflatedSize : 1));
            if (!compressed || !m_pInflated)
                failure = notAnArchive;
            else if (!readFully(file, compressed, int(compressedSize)))
                failure = cutShort;
            else if (uncompress(m_pInflated, &inflatedLength, compressed, compressedSize) != Z_OK)
                failure = notAnArchive;
        }
        std::free(compressed);
        file->close();
        file->release();
        if (failure)
            fail(failure);
        m_nDataLength = (long long)inflatedLength;
        m_pStream = new io::ByteArrayInputStream(m_pInflated, int(inflatedLength));
    } else {
        m_pStream = new io::FileInputStream(path);
        m_nDataLength = fileSize;
    }

    uint32_t ignored = 0, reserved = 0, count = 0;
    if (!readU32(m_pStream, &ignored) || !readU32(m_pStream, &reserved))
        fail(cutShort);
    // A reserved block longer than the whole file: no archive's head.
    if (reserved > m_nDataLength - 12)
        fail(notAnArchive);
    m_nReserved = int(reserved);
    m_pReserved = static_cast<unsigned char*>(std::malloc(reserved ? reserved : 1));
    if (!m_pReserved || !readFully(m_pStream, m_pReserved, m_nReserved) || !readU32(m_pStream, &count))
        fail(cutShort);
    int records = int32_t(count);
    // Every record takes at least 9 bytes: a count the data cannot hold is
    // an index cut off, or no count at all when no archive holds so many.
    if (records < 0 || (long long)records * 9 > m_nDataLength - 12 - m_nReserved)
        fail(records < 0 || records > kMaxPlausibleItems ? notAnArchive : cutShort);
    int cutOff = 0;
    for (int i = 0; i < records; ++i) {
        unsigned char name[256];
        int length = m_pStream->read();
        uint32_t offset = 0, size = 0;
        if (length < 0 || !readFully(m_pStream, name, length) || !readU32(m_pStream, &offset) ||
            !readU32(m_pStream, &size))
            fail(cutShort);
        name[length] = '\0';
        FileItem* item = new FileItem(int32_t(offset), int32_t(size));
        m_items.put(reinterpret_cast<const char*>(name), item);
        item->release();
        if ((long long)offset + size > m_nDataLength)
            ++cutOff;
    }
    // A file cut short still opens (what it holds can be used); the items
    // past its end read as missing, and the player is told why.
    if (cutOff > 0) {
        const std::string text = "The game data " + shown + " is damaged: " +
                                 std::to_string(cutOff) + " of its " + std::to_string(records) +
                                 " items lie past its end\n";
        platform::reportProblem(text.c_str());
    }
}

ResourceItem* ResourceFileHeader::getItem(const String& name, bool shared)
{
    Synchronized guard(this, true);
    FileItem* item = static_cast<FileItem*>(m_items.get(const_cast<String*>(&name)));
    if (!item)
        return nullptr;
    if (item->isLoaded()) {
        item->addRef();
        return item;
    }
    uint32_t offset = uint32_t(item->getOffset());
    uint32_t size = uint32_t(item->getSize());
    if ((long long)offset + size > m_nDataLength || size > INT_MAX)
        return nullptr;

    unsigned char* data = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (!data)
        return nullptr;
    m_pStream->seek(int(offset));
    if (!readFully(m_pStream, data, int(size))) {
        std::free(data);
        return nullptr;
    }
    FileItem* result = shared ? item : item->clone();
    if (shared)
        item->addRef();
    result->setData(data);
    return result;
}

} // namespace lang
