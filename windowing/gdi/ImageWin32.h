// ImageWin32.h: an image whose pixels can live in a GDI DIB section, so that
// GDI can draw into it through a memory device context.
#pragma once

#include "platform/Win32Types.h"
#include "windowing/gdi/CDCWin32.h"
#include "windowing/images/ImageBase.h"

namespace window {

class ImageWin32 : public ImageBase {
public:
    // Stores the name and loads it.
    explicit ImageWin32(const lang::String& name);
    // Decodes encoded bytes; the name stays empty.
    ImageWin32(const unsigned char* bytes, int length);
    // A blank image (see create).
    ImageWin32(int width, int height, int fillMode, bool noBuffer);
    // Gives the DIB section and the memory context back.
    ~ImageWin32() override;

    // With a DIB section, the size is read back from it.
    void syncSize() override;
    // Moves the pixels into a new DIB section (once); when the section cannot
    // be made the pixels stay where they are.
    void createSurface() override;
    void freePixels() override;
    Graphics* getGraphics() override;
    bool hasSurface() override;
    // A copy of the same size and pixels, with a DIB section when this has one.
    virtual ImageWin32* clone();

    // The image's memory device context with its DIB section selected, made
    // on first use.
    CDCWin32* getDC();
    // The image's own context when it has one; otherwise selects the DIB
    // section into dc and returns it (null without dc).
    CDCWin32* selectInto(CDCWin32* dc);
    HBITMAP getBitmap() const { return m_hBitmap; }

    HV_CLASS_NAME("ImageWin32", ImageBase)

protected:
    ImageWin32();
    // Deselects and deletes the DIB section and releases the memory context.
    void releaseSurface();

    CDCWin32* m_pMemDC;
    HBITMAP m_hBitmap;
    HBITMAP m_hOldBitmap;
};

} // namespace window
