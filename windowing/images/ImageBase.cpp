// ImageBase.cpp: loading pictures from names, decoding by signature,
// deferral, masks, blank images and copies.
#include "windowing/images/ImageBase.h"

#include "core/io/FileInputStream.h"
#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "platform/files/Files.h"
#include "windowing/images/GifDecoder.h"
#include "windowing/d3d/ImageWinDX.h"
#include "windowing/images/JpegReader.h"
#include "windowing/images/PngReader.h"
#include "windowing/window/DebugLine.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace window {

bool ImageBase::forceImmediateDecode = true;
int ImageBase::decodeDeferral = 0;

ImageBase::ImageBase()
    : m_pPixels(nullptr), m_nWidth(0), m_nHeight(0), m_bHasAlpha(false), m_bLoadFailed(false), m_bModified(false)
{
}

ImageBase::~ImageBase()
{
    std::free(m_pPixels);
    m_pPixels = nullptr;
}

bool ImageBase::decodesImmediately()
{
    return forceImmediateDecode || decodeDeferral == 0;
}

bool ImageBase::isAcceptedSize(int width, int height)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return false;
    return int64_t(width) * int64_t(height) * 4 <= kMaxBufferBytes;
}

uint32_t* ImageBase::allocatePixels(int width, int height)
{
    if (!isAcceptedSize(width, height))
        return nullptr;
    return static_cast<uint32_t*>(std::malloc(size_t(width) * size_t(height) * 4));
}

void ImageBase::syncSize() {}

int ImageBase::getPitch()
{
    return m_nWidth * 4;
}

void ImageBase::freePixels()
{
    std::free(m_pPixels);
    m_pPixels = nullptr;
    if (m_name.isEmpty()) {
        m_nWidth = 0;
        m_nHeight = 0;
    }
    m_bHasAlpha = false;
    m_bLoadFailed = false;
}

uint32_t* ImageBase::getPixels()
{
    if (m_pPixels == nullptr)
        load();
    return m_pPixels;
}

void ImageBase::load()
{
    if (m_pPixels != nullptr || m_name.isEmpty() || m_bLoadFailed)
        return;
    int bar = m_name.indexOf('|');
    if (bar < 0) {
        loadFromName(m_name);
        return;
    }
    // Copies: loading may rewrite the name (setMask), not while it is read.
    lang::String picture = m_name.substring(0, bar);
    lang::String maskName = m_name.substring(bar + 1);
    loadFromName(picture);
    ImageWinDX* mask = new ImageWinDX(maskName);
    applyMask(mask);
    mask->release();
}

void ImageBase::loadFromName(const lang::String& name)
{
    if (name.startsWith("+")) {
        lang::ResourceFile* archive = lang::ResourceFile::getCurrent();
        lang::ResourceItem* item = nullptr;
        try {
            if (archive)
                item = archive->getItem(name.substring(1), false);
        } catch (lang::Exception* e) {
            e->release();
            item = nullptr;
        }
        if (item == nullptr) {
            m_bLoadFailed = true;
            return;
        }
        decode(item->getData(), item->getSize());
        item->release();
        // The archive holds the item, but it is no picture: say which. A
        // decode merely postponed (only the size read) is no damage.
        if (m_pPixels == nullptr && (decodesImmediately() || m_nWidth <= 0))
            window::problemLine("The picture ", name.c_str(), " is damaged and cannot be shown\n");
        return;
    }

    if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) {
        m_bLoadFailed = true;
        return;
    }
    // The whole file into a buffer that doubles whenever a read fills it.
    unsigned char* buffer = nullptr;
    io::FileInputStream* in = nullptr;
    try {
        int capacity = 8192;
        int used = 0;
        buffer = static_cast<unsigned char*>(std::malloc(size_t(capacity)));
        if (buffer == nullptr) {
            m_bLoadFailed = true;
            return;
        }
        in = new io::FileInputStream(name);
        for (;;) {
            int n = in->read(buffer, used, capacity - used);
            if (n <= 0)
                break;
            used += n;
            if (used == capacity) {
                // Larger files than an int can count are no picture we hold.
                if (capacity > INT_MAX / 2)
                    throw new lang::Exception("File error");
                unsigned char* bigger = static_cast<unsigned char*>(std::malloc(size_t(capacity) * 2));
                if (bigger == nullptr)
                    throw new lang::Exception("File error");
                std::memcpy(bigger, buffer, size_t(used));
                std::free(buffer);
                buffer = bigger;
                capacity *= 2;
            }
        }
        in->close();
        in->release();
        in = nullptr;
        decode(buffer, used);
    } catch (lang::Exception* e) {
        e->release();
        if (in)
            in->release();
        m_bLoadFailed = true;
    }
    std::free(buffer);
}

void ImageBase::decode(const unsigned char* bytes, int length)
{
    freePixels();
    if (bytes == nullptr || length < 7)
        return;

    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    bool alpha = false;
    bool sized = false;
    if (std::memcmp(bytes, "GIF89a", 6) == 0 || std::memcmp(bytes, "GIF87a", 6) == 0) {
        std::unique_ptr<GifDecoder> decoder(new GifDecoder);
        sized = decoder->readGIF(bytes, length, width, height, pixels, alpha) != 0;
    } else if (isPNG(bytes)) {
        sized = readPNG(bytes, length, pixels, width, height, alpha);
    } else {
        sized = readJPEG(bytes, length, pixels, width, height);
        alpha = false;
    }

    if (sized) {
        m_nWidth = width;
        m_nHeight = height;
    }
    if (pixels != nullptr) {
        m_pPixels = pixels;
        m_bHasAlpha = alpha;
        m_bModified = true;
    } else if (decodesImmediately()) {
        m_bLoadFailed = true;
    }
    syncSize();
}

void ImageBase::create(int width, int height, int fillMode, bool noBuffer)
{
    freePixels();
    m_name = "";
    m_nWidth = width;
    m_nHeight = height;
    if (!noBuffer) {
        m_pPixels = allocatePixels(width, height);
        if (m_pPixels == nullptr)
            m_bLoadFailed = true;
    } else {
        createSurface();
    }
    if (fillMode == 1 && m_pPixels != nullptr)
        std::memset(m_pPixels, 0, size_t(getPitch()) * size_t(m_nHeight));
    m_bModified = true;
}

void ImageBase::setMask(ImageBase* mask)
{
    if (mask != nullptr && !mask->m_name.isEmpty()) {
        int bar = m_name.indexOf('|');
        lang::String base = bar >= 0 ? m_name.substring(0, bar) : lang::String(m_name);
        base.append('|');
        base.append(mask->m_name);
        m_name = base;
    }
    applyMask(mask);
}

void ImageBase::applyMask(ImageBase* mask)
{
    if (m_pPixels == nullptr)
        return;
    // A mask with nothing to read leaves the picture as it is.
    if (mask == nullptr || mask->m_pPixels == nullptr || mask->m_nWidth < 1 || mask->m_nHeight < 1)
        return;
    const int mw = mask->m_nWidth;
    const int mh = mask->m_nHeight;
    for (int y = 0; y < m_nHeight; ++y) {
        uint32_t* row = m_pPixels + size_t(y) * size_t(m_nWidth);
        const uint32_t* maskRow = mask->m_pPixels + size_t(y % mh) * size_t(mw);
        int mx = 0;
        for (int x = 0; x < m_nWidth; ++x) {
            uint32_t alpha = 255u - (maskRow[mx] & 0xFFu);
            row[x] = (row[x] & 0x00FFFFFFu) | (alpha << 24);
            if (++mx == mw)
                mx = 0;
        }
    }
    m_bModified = true;
    m_bHasAlpha = true;
}

void ImageBase::copyInto(ImageBase* copy)
{
    copy->m_nWidth = m_nWidth;
    copy->m_nHeight = m_nHeight;
    copy->m_name = m_name;
    if (copy->m_pPixels != nullptr)
        copy->m_bHasAlpha = m_bHasAlpha;
    uint32_t* source = getPixels();
    // The copy was made at the size known before the source loaded; copy only
    // when both agree and both have their buffers.
    if (source != nullptr && copy->m_pPixels != nullptr && copy->m_nWidth == m_nWidth &&
        copy->m_nHeight == m_nHeight) {
        std::memcpy(copy->m_pPixels, source, size_t(getPitch()) * size_t(m_nHeight));
        copy->m_bModified = true;
    } else {
        copy->freePixels();
    }
}

} // namespace window
