// ImageWinDX.h: the image the system makes for every picture: a plain pixel
// buffer (no DIB section) that the Direct3D graphics draws through texture
// tiles made from the pixels.
#pragma once

#include "windowing/ImageWin32.h"

namespace window {

class ImageWinDX : public ImageWin32 {
public:
    // Stores the name and loads it under the current deferral rules.
    explicit ImageWinDX(const lang::String& name);
    // Stores the name and loads it; with `immediate` the picture is decoded
    // at once whatever the deferral state (the splash pictures, shown before
    // loading ends), otherwise as the one-argument form.
    ImageWinDX(const lang::String& name, bool immediate);
    // Decodes encoded bytes; the name stays empty.
    ImageWinDX(const unsigned char* bytes, int length);
    // A blank image (see create).
    ImageWinDX(int width, int height, int fillMode, bool noBuffer);
    ~ImageWinDX() override;

    // Direct3D images keep a plain buffer: no DIB section is made.
    void createSurface() override;
    // Releases the textures made from the pixels, then the pixels.
    void freePixels() override;
    // A graphics drawing into the image's pixels.
    Graphics* getGraphics() override;
    bool hasSurface() override;
    ImageWinDX* clone() override;

    HV_CLASS_NAME("ImageWinDX", ImageWin32)

protected:
    // The textures made from the pixels: none until the Direct3D drawing of
    // images makes them. Releasing happens at once, or at the next frame
    // when `now` is false.
    virtual void releaseTextures(bool now);
};

} // namespace window
