// GraphicsIWin32.h: drawing into an image: GDI on the image's DIB section
// where GDI can do the work, the software pixel routines wherever alpha
// matters (pixels, fills, image blits and shadows).
#pragma once

#include "windowing/graphics/GraphicsIMixin.h"
#include "windowing/gdi/GraphicsWWin32.h"

#include <vector>

namespace window {

class GraphicsIWin32 : public GraphicsWWin32, public GraphicsIMixin {
public:
    // Draws into target; the helper is shared when given, else made on first need.
    GraphicsIWin32(ImageWin32* target, FancyHelper* fancyHelper);
    // Disposes of the context before letting the target go.
    ~GraphicsIWin32() override;

    // Blits the image, blended (or added, in blit mode 1) with the image
    // colour as modulation, within the clip; an opaque image between two DIB
    // sections is copied by GDI.
    bool drawImage(ImageBase* image, int x, int y) override;
    // Casts the image's shadow (while the helper's shadow is on).
    bool drawShadow(ImageBase* image, int x, int y) override;
    // The drawing colour, opaque.
    void setPixel(int x, int y) override;
    // Blended by argb's alpha; the result is opaque. Outside the target: nothing.
    void setPixel(int x, int y, uint32_t argb) override;
    // The target's pixel; 0 outside it.
    uint32_t getPixel(int x, int y) override;
    // Narrows the software clip and, with a context, the GDI clip.
    void clipRect(int x, int y, int w, int h) override;
    Graphics* create() override;
    // An opaque software fill in the drawing colour, within the software clip.
    void fillRect(int x, int y, int w, int h) override;
    FancyHelper* getFancyHelper() override;
    // Attaches the target's memory context with the GDI clip set to the software clip.
    void prepareDC() override;

    // Returns the previous mode.
    virtual int setBlitMode(int mode);
    // Blends argb over the rectangle within the context's clip rectangles
    // (the software clip without a context); the result is opaque.
    virtual void fillRectBlended(int x, int y, int w, int h, uint32_t argb);

    HV_CLASS_NAME("GraphicsIWin32", GraphicsWWin32)

protected:
    // The clip bounds within the target: where the target's pixels are the
    // context's surface GDI would answer the same.
    bool readClipBox(RECT& box) override;
    // The rectangles image blits and blended fills follow: those of the
    // context's clip region when there is a context, else the software clip.
    void clipRectangles(std::vector<util::RectangleNM>& out);
    // Blits the src part of the image (all of it when null) with its corner at
    // (x, y) in target pixels.
    bool blitImage(ImageBase* image, int x, int y, const util::RectangleNM* src);
    // Copies the translation and software clip into a new graphics.
    void copyStateInto(GraphicsIWin32* copy);
};

} // namespace window
