// FancyHelper.h: software pixel routines on 32-bit ARGB pixels for the image
// graphics: opaque and blended fills, and blits of an attached source image
// (normal "over" blending, additive, and a cast shadow) with a colour
// modulation where 128 means x1.
#pragma once

#include "core/lang/Object.h"
#include "core/util/RectangleNM.h"

#include <cstdint>

namespace window {

class ImageBase;

class FancyHelper : public lang::Object {
public:
    FancyHelper();

    // Takes the image's size and pixels (decoding it when needed) as the
    // source of the blits; false when its width or height is -1.
    bool attach(ImageBase* image);
    // Stores the four factors; false when they were all already so.
    bool setModulation(int alpha, int red, int green, int blue);
    // An opaque colour of the modulated channels, each capped at 255.
    uint32_t modulateColor(int r, int g, int b) const;

    // Fills r cut to [0, width) x [0, height) with argb.
    void fillRectOpaque(uint32_t* pixels, int width, int height, uint32_t argb, const util::RectangleNM* r) const;
    // Blends argb over r (cut likewise) by its alpha; the result is opaque.
    void fillRectBlend(uint32_t* pixels, int width, int height, uint32_t argb, const util::RectangleNM* r) const;
    // Darkens the destination by the source's opacity where the source is
    // placed with its top-left at (x, y); only while the shadow is on.
    void blitShadow(uint32_t* pixels, int width, int height, int x, int y, const util::RectangleNM* clip,
                    const util::RectangleNM* src) const;
    // Adds the source to the destination (channels capped at 255). With
    // copyOntoEmpty a destination pixel of alpha 0 takes the source as it is.
    void blitAdditive(uint32_t* pixels, int pitchBytes, int width, int height, int x, int y,
                      const util::RectangleNM* clip, const util::RectangleNM* src, bool copyOntoEmpty) const;
    // Blends the source over the destination. With destinationAlpha the
    // destination's own alpha takes part (transparent pixels take the
    // source, partly transparent ones get a composite).
    void blitBlend(uint32_t* pixels, int pitchBytes, int width, int height, int x, int y,
                   const util::RectangleNM* clip, const util::RectangleNM* src, bool destinationAlpha) const;

    void setShadow(bool on, int offsetX, int offsetY)
    {
        m_nShadowOn = on ? 1 : 0;
        m_nShadowOffsetX = offsetX;
        m_nShadowOffsetY = offsetY;
    }
    bool isShadowOn() const { return m_nShadowOn != 0; }
    // The pixel format the helper works on (32 bits).
    int getFormat() const { return m_nFormat; }
    int getAlphaFactor() const { return m_nAlphaFactor; }
    int getRedFactor() const { return m_nRedFactor; }
    int getGreenFactor() const { return m_nGreenFactor; }
    int getBlueFactor() const { return m_nBlueFactor; }
    const uint32_t* getSourcePixels() const { return m_pSourcePixels; }
    int getSourceWidth() const { return m_nSourceWidth; }
    int getSourceHeight() const { return m_nSourceHeight; }

    HV_CLASS_NAME("FancyHelper", lang::Object)

    // The part of a blit that is drawn: source and destination corners and
    // the size, after clipping on every side. Empty when w or h is 0.
    struct Area {
        int srcX = 0;
        int srcY = 0;
        int dstX = 0;
        int dstY = 0;
        int w = 0;
        int h = 0;
    };
    // The drawn part of a blit of src (the whole source when null) placed at
    // (x, y) into a width x height destination limited to clip (the whole
    // destination when null).
    Area clipBlit(int width, int height, int x, int y, const util::RectangleNM* clip,
                  const util::RectangleNM* src) const;

private:
    int m_nFormat;
    int m_nRedFactor;
    int m_nGreenFactor;
    int m_nBlueFactor;
    int m_nAlphaFactor;
    int m_nShadowOn;
    int m_nShadowOffsetX;
    int m_nShadowOffsetY;
    const uint32_t* m_pSourcePixels;
    int m_nSourceWidth;
    int m_nSourceHeight;
    int m_nSourcePitch; // in pixels
};

} // namespace window
