// ImageWinDX.cpp: constructors, copies and the pixel side of the Direct3D image.
#include "windowing/ImageWinDX.h"

#include "windowing/GraphicsIWinDX.h"

namespace window {

ImageWinDX::ImageWinDX(const lang::String& name)
{
    m_name = name;
    load();
}

ImageWinDX::ImageWinDX(const lang::String& name, bool immediate)
{
    m_name = name;
    bool saved = forceImmediateDecode;
    if (immediate)
        forceImmediateDecode = true;
    load();
    forceImmediateDecode = saved;
}

ImageWinDX::ImageWinDX(const unsigned char* bytes, int length)
{
    decode(bytes, length);
}

ImageWinDX::ImageWinDX(int width, int height, int fillMode, bool noBuffer)
{
    create(width, height, fillMode, noBuffer);
}

ImageWinDX::~ImageWinDX()
{
    releaseTextures(true);
}

void ImageWinDX::createSurface() {}

void ImageWinDX::releaseTextures(bool) {}

void ImageWinDX::freePixels()
{
    releaseTextures(false);
    ImageWin32::freePixels();
}

Graphics* ImageWinDX::getGraphics()
{
    return new GraphicsIWinDX(this, nullptr);
}

bool ImageWinDX::hasSurface()
{
    return false;
}

ImageWinDX* ImageWinDX::clone()
{
    ImageWinDX* copy = new ImageWinDX(m_nWidth, m_nHeight, 2, false);
    copyInto(copy);
    return copy;
}

} // namespace window
