// ImageBase.h: a picture held as 32-bit pixels (0xAARRGGBB, rows top-down,
// no padding), made from a name (an archive item "+item" or a file, with the
// "a|b" form for a picture a masked by a picture b), from encoded bytes, or
// blank; with decoding by signature, deferred decoding and alpha masks.
#pragma once

#include "core/lang/String.h"

#include <cstdint>

namespace window {

class Graphics;

class ImageBase : public lang::Object {
public:
    ImageBase();
    // Frees the pixel buffer.
    ~ImageBase() override;

    // Reads the size back from the pixels' owner where there is one.
    virtual void syncSize();
    // Makes the pixels in a form other drawing code can reach.
    virtual void createSurface() = 0;
    // Bytes from one row to the next: width x 4.
    virtual int getPitch();
    // Frees the pixels; a named image keeps its size so that it can be loaded
    // again, an unnamed one becomes 0 x 0. Clears the alpha and failure flags.
    virtual void freePixels();
    // A graphics drawing into this image, or null.
    virtual Graphics* getGraphics() = 0;
    virtual bool hasSurface() = 0;

    // The pixels, loading them first when they are absent (still null when
    // that fails or decoding is deferred).
    uint32_t* getPixels();
    int getWidth() const { return m_nWidth; }
    int getHeight() const { return m_nHeight; }
    bool hasPixels() const { return m_pPixels != nullptr; }
    bool hasAlpha() const { return m_bHasAlpha; }
    void setHasAlpha(bool on) { m_bHasAlpha = on; }
    bool isLoadFailed() const { return m_bLoadFailed; }
    // Pixels changed since the textures were last made.
    bool isModified() const { return m_bModified; }
    void setModified(bool on) { m_bModified = on; }
    const lang::String& getName() const { return m_name; }

    // Reads the pixels from the name when there are none, the name is set and
    // no earlier load failed; "a|b" loads a and applies the image b as mask.
    void load();
    // Reads the encoded bytes of an archive item ("+item") or file and decodes them.
    void loadFromName(const lang::String& name);
    // Decodes GIF, PNG or (anything else) JPEG bytes; fewer than 7 bytes do nothing.
    void decode(const unsigned char* bytes, int length);
    // Makes a blank image; fillMode 1 clears it to transparent black. With
    // noBuffer the pixels come from createSurface.
    void create(int width, int height, int fillMode, bool noBuffer);
    // Records the mask in the name (so a later load rebuilds the masked
    // picture) and applies it.
    void setMask(ImageBase* mask);
    // Sets each pixel's alpha to 255 minus the blue byte of the mask, tiled
    // across and down. Nothing when either image has no pixels.
    void applyMask(ImageBase* mask);

    // Pictures are decoded at once while forceImmediateDecode is set or
    // decodeDeferral is 0; otherwise only their size is read.
    static bool decodesImmediately();
    static bool forceImmediateDecode;
    static int decodeDeferral;

    // The largest width or height a picture may have, and the largest pixel
    // buffer; larger pictures are refused as corrupt data would be.
    static const int kMaxSide = 16384;
    static const int64_t kMaxBufferBytes = int64_t(1) << 31;
    // Whether a picture of that size may be held (both sides 1..kMaxSide,
    // the buffer within kMaxBufferBytes, computed in 64 bits).
    static bool isAcceptedSize(int width, int height);
    // A pixel buffer for that size from the general allocator (free() it), or
    // null when the size is refused or memory runs out.
    static uint32_t* allocatePixels(int width, int height);

    HV_CLASS_NAME("ImageBase", lang::Object)

protected:
    // Copies size, name, alpha and pixels of this image into a blank copy.
    void copyInto(ImageBase* copy);

    uint32_t* m_pPixels;
    int m_nWidth;
    int m_nHeight;
    bool m_bHasAlpha;
    bool m_bLoadFailed;
    bool m_bModified;
    lang::String m_name;
};

} // namespace window
