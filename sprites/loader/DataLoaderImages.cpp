// DataLoaderImages.cpp: the manifest loader's pictures: the image file forms,
// pictures named by sprite entries, and image packs.
#include "sprites/loader/DataLoader.h"

#include "core/io/FileInputStream.h"
#include "core/lang/Exception.h"
#include "core/lang/Owned.h"
#include "core/lang/ResourceFile.h"
#include "sprites/settings/User.h"
#include "windowing/d3d/ImageWinDX.h"
#include "windowing/window/DebugLine.h"

#include <cstdint>
#include <vector>

namespace sprite {

namespace {

// Reads exactly `length` bytes, repeating partial reads; false when the
// stream ends first.
bool readFully(io::InputStream* in, unsigned char* buffer, int length)
{
    int done = 0;
    while (done < length) {
        const int n = in->read(buffer, done, length - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// A big-endian 32-bit integer; false at the end of the stream.
bool readInt(io::InputStream* in, int32_t& value)
{
    unsigned char bytes[4];
    if (!readFully(in, bytes, 4))
        return false;
    value = int32_t(uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3]);
    return true;
}

} // namespace

void DataLoader::loadImage(const lang::String& name, const lang::String& file)
{
    window::ImageBase* image = makeImage(file);
    // The newest entry of a name shadows the older ones.
    m_images.put(name, image);
    image->release();
}

window::ImageBase* DataLoader::makeImage(const lang::String& file)
{
    if (file.startsWith("@")) {
        const lang::String name = file.substring(1);
        const lang::String item = lang::String("+") + name;
        const lang::String path = m_pUser ? m_pUser->getString(name, item) : item;
        if (!path.startsWith("+")) {
            // The player's own picture is decoded now, so that a file that
            // gives no picture falls back to the archive's.
            auto* own = new window::ImageWinDX(underCodeBase(path, false), true);
            if (own->hasPixels())
                return own;
            own->release();
            return new window::ImageWinDX(item);
        }
        return new window::ImageWinDX(path);
    }
    if (file.startsWith("+"))
        return new window::ImageWinDX(file);
    return new window::ImageWinDX(underCodeBase(file, false));
}

window::ImageBase* DataLoader::imageForWord(const lang::String& word)
{
    lang::String key(word);
    if (auto* known = static_cast<window::ImageBase*>(m_images.get(&key)))
        return known;
    lang::String file = lang::String("+") + word;
    if (lang::ResourceFile* archive = lang::ResourceFile::getCurrent()) {
        const lang::String maskName = word + "_automask";
        if (lang::ResourceItem* mask = archive->getItem(maskName, true)) {
            mask->release();
            file += "|+";
            file += maskName;
        }
    }
    loadImage(word, file);
    return static_cast<window::ImageBase*>(m_images.get(&key));
}

void DataLoader::loadImagePack(const lang::String& file)
{
    io::InputStream* in = nullptr;
    try {
        in = new io::FileInputStream(underCodeBase(file, false));
        readImagePack(in);
    } catch (lang::Exception* e) {
        // A missing or unreadable pack loads nothing and shows nothing.
        window::debugLine("DataLoader: image pack ", file.c_str(), ": ", e->toString().c_str(), "\n");
        e->release();
    }
    if (in) {
        in->close();
        in->release();
    }
}

void DataLoader::readImagePack(io::InputStream* in)
{
    int32_t count = 0;
    int32_t total = 0;
    if (!readInt(in, count) || !readInt(in, total))
        return;
    if (count < 1 || total > kMaxPackTotal || int64_t(total) < int64_t(count) * 4)
        return;
    // The position counts the length fields, the names and the data, but not
    // the name-length bytes: the limit test below is measured that way.
    int64_t position = 8;
    for (int32_t i = 0; i < count; ++i) {
        int32_t length = 0;
        if (!readInt(in, length))
            return;
        const int nameLength = in->read();
        // A name length of 0 would leave no terminating byte.
        if (nameLength <= 0)
            return;
        unsigned char name[256];
        if (!readFully(in, name, nameLength))
            return;
        position += 4 + nameLength;
        // A negative length is a damaged pack, like one beyond the total.
        if (length < 0 || int64_t(length) > int64_t(total) - position)
            return;
        if (length == 0)
            continue;
        std::vector<unsigned char> data(size_t(length), 0);
        if (!readFully(in, data.data(), length))
            return;
        position += length;
        for (unsigned char& b : data)
            b ^= kImagePackKey;
        auto* image = new window::ImageWinDX(data.data(), length);
        m_images.put(lang::String(reinterpret_cast<const char*>(name), 0, nameLength - 1), image);
        image->release();
    }
}

} // namespace sprite
