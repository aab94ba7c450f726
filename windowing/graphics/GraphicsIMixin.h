// GraphicsIMixin.h: the image side of the image graphics: the image drawn
// into, its software pixel routines, the software clip and the blit mode.
#pragma once

#include "core/util/RectangleNM.h"

namespace window {

class FancyHelper;
class ImageWin32;

class GraphicsIMixin {
public:
    // Takes references on target and (when given) fancyHelper; the clip
    // starts as the target's bounds and the blit mode as normal blending.
    GraphicsIMixin(ImageWin32* target, FancyHelper* fancyHelper);
    // Releases the helper and the target.
    virtual ~GraphicsIMixin();
    GraphicsIMixin(const GraphicsIMixin&) = delete;
    GraphicsIMixin& operator=(const GraphicsIMixin&) = delete;

    ImageWin32* getTarget() const { return m_pTarget; }
    // The software clip, in target pixels.
    const util::RectangleNM& getImageClip() const { return m_imageClip; }
    int getBlitMode() const { return m_nBlitMode; }

    // 1: image blits add onto the target; anything else: normal blending.
    static const int kBlitAdditive = 1;

protected:
    ImageWin32* m_pTarget;
    FancyHelper* m_pFancyHelper;
    util::RectangleNM m_imageClip;
    int m_nBlitMode;
};

} // namespace window
