// GraphicsIWinDX.h: the graphics images hand out for drawing into their
// pixels. The image has no DIB section, so GDI output leaves its pixels
// alone; the software operations draw, following the context's clip.
#pragma once

#include "windowing/gdi/GraphicsIWin32.h"

namespace window {

class ImageWinDX;

class GraphicsIWinDX : public GraphicsIWin32 {
public:
    GraphicsIWinDX(ImageWinDX* target, FancyHelper* fancyHelper);

    // Draws the src part of the image (all of it when null) centred on
    // (cx, cy); the software clip becomes that area within the target and
    // stays so. Scale, rotation and flip are not applied.
    bool drawImageCentered(ImageBase* image, int cx, int cy, util::RectangleNM* src, double scaleX, double scaleY,
                           double rotation, int flip) override;
    // A new graphics on the same image and helper, at the same translation
    // and software clip, with a context of its own.
    Graphics* create() override;

    HV_CLASS_NAME("GraphicsIWinDX", GraphicsIWin32)
};

} // namespace window
