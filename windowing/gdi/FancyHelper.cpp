// FancyHelper.cpp: the software fills and blits. Each blit picks one inner
// loop for its combination of flags and factors, so that the common case
// (neutral factors) multiplies nothing by the factors; two channels are
// worked at once in the 16-bit lanes of a 32-bit word where the arithmetic
// allows it.
#include "windowing/gdi/FancyHelper.h"

#include "windowing/images/ImageBase.h"

#include <algorithm>

namespace window {

namespace {

const uint32_t kLanes = 0x00FF00FFu; // red and blue, or alpha and green after >> 8

inline int64_t minI(int64_t a, int64_t b)
{
    return a < b ? a : b;
}

inline int64_t maxI(int64_t a, int64_t b)
{
    return a > b ? a : b;
}

// d + ((s - d) * a >> shift) for all four channels, a in 0..(1 << shift):
// equal to (s * a + d * ((1 << shift) - a)) >> shift, which stays within a
// 16-bit lane and needs no clamping.
template <int Shift>
inline uint32_t mix4(uint32_t s, uint32_t d, uint32_t a)
{
    const uint32_t na = (1u << Shift) - a;
    uint32_t rb = (((s & kLanes) * a + (d & kLanes) * na) >> Shift) & kLanes;
    uint32_t ag = ((((s >> 8) & kLanes) * a + ((d >> 8) & kLanes) * na) >> Shift) & kLanes;
    return rb | (ag << 8);
}

inline uint32_t channel(uint32_t p, int shift)
{
    return (p >> shift) & 0xFFu;
}

inline uint32_t cap255(uint32_t v)
{
    return v < 255u ? v : 255u;
}

// One source colour channel times its factor (128 = x1), capped at 255.
inline uint32_t modulate(uint32_t c, int factor)
{
    return cap255((c * uint32_t(factor)) >> 7);
}

} // namespace

FancyHelper::FancyHelper()
    : m_nFormat(32), m_nRedFactor(128), m_nGreenFactor(128), m_nBlueFactor(128), m_nAlphaFactor(128),
      m_nShadowOn(0), m_nShadowOffsetX(0), m_nShadowOffsetY(0), m_pSourcePixels(nullptr), m_nSourceWidth(0),
      m_nSourceHeight(0), m_nSourcePitch(0)
{
}

bool FancyHelper::attach(ImageBase* image)
{
    if (image == nullptr)
        return false;
    m_nSourceWidth = image->getWidth();
    m_nSourceHeight = image->getHeight();
    m_nSourcePitch = image->getPitch() / 4;
    if (m_nSourceWidth == -1 || m_nSourceHeight == -1)
        return false;
    m_pSourcePixels = image->getPixels();
    // The size can change when the pixels are loaded.
    m_nSourceWidth = image->getWidth();
    m_nSourceHeight = image->getHeight();
    m_nSourcePitch = image->getPitch() / 4;
    return true;
}

bool FancyHelper::setModulation(int alpha, int red, int green, int blue)
{
    bool same = alpha == m_nAlphaFactor && red == m_nRedFactor && green == m_nGreenFactor && blue == m_nBlueFactor;
    m_nAlphaFactor = alpha;
    m_nRedFactor = red;
    m_nGreenFactor = green;
    m_nBlueFactor = blue;
    return !same;
}

uint32_t FancyHelper::modulateColor(int r, int g, int b) const
{
    uint32_t mr = cap255(uint32_t(r * m_nRedFactor) >> 7);
    uint32_t mg = cap255(uint32_t(g * m_nGreenFactor) >> 7);
    uint32_t mb = cap255(uint32_t(b * m_nBlueFactor) >> 7);
    return 0xFF000000u | (mr << 16) | (mg << 8) | mb;
}

namespace {

// r cut to [0, width) x [0, height); false when nothing is left.
bool clipFill(int width, int height, const util::RectangleNM* r, int& x0, int& y0, int& x1, int& y1)
{
    if (r == nullptr)
        return false;
    int64_t left = maxI(r->x, 0);
    int64_t top = maxI(r->y, 0);
    int64_t right = minI(int64_t(r->x) + r->width, width);
    int64_t bottom = minI(int64_t(r->y) + r->height, height);
    if (left >= right || top >= bottom)
        return false;
    x0 = int(left);
    y0 = int(top);
    x1 = int(right);
    y1 = int(bottom);
    return true;
}

} // namespace

void FancyHelper::fillRectOpaque(uint32_t* pixels, int width, int height, uint32_t argb,
                                 const util::RectangleNM* r) const
{
    int x0, y0, x1, y1;
    if (pixels == nullptr || !clipFill(width, height, r, x0, y0, x1, y1))
        return;
    for (int y = y0; y < y1; ++y)
        std::fill(pixels + size_t(y) * size_t(width) + x0, pixels + size_t(y) * size_t(width) + x1, argb);
}

void FancyHelper::fillRectBlend(uint32_t* pixels, int width, int height, uint32_t argb,
                                const util::RectangleNM* r) const
{
    int x0, y0, x1, y1;
    const uint32_t a = argb >> 24;
    if (pixels == nullptr || a == 0 || !clipFill(width, height, r, x0, y0, x1, y1))
        return;
    for (int y = y0; y < y1; ++y) {
        uint32_t* row = pixels + size_t(y) * size_t(width);
        for (int x = x0; x < x1; ++x)
            row[x] = mix4<8>(argb, row[x], a) | 0xFF000000u;
    }
}

FancyHelper::Area FancyHelper::clipBlit(int width, int height, int x, int y, const util::RectangleNM* clip,
                                        const util::RectangleNM* src) const
{
    Area area;
    // The destination window: the clip cut to the destination.
    int64_t wx0 = 0, wy0 = 0, wx1 = width, wy1 = height;
    if (clip) {
        wx0 = maxI(wx0, clip->x);
        wy0 = maxI(wy0, clip->y);
        wx1 = minI(wx1, int64_t(clip->x) + clip->width);
        wy1 = minI(wy1, int64_t(clip->y) + clip->height);
    }
    // The source region cut to the source image on all four sides; source
    // pixel (u, v) lands on (x + u - ox, y + v - oy).
    int64_t ox = src ? src->x : 0;
    int64_t oy = src ? src->y : 0;
    int64_t sx0 = maxI(ox, 0);
    int64_t sy0 = maxI(oy, 0);
    int64_t sx1 = minI(src ? ox + src->width : m_nSourceWidth, m_nSourceWidth);
    int64_t sy1 = minI(src ? oy + src->height : m_nSourceHeight, m_nSourceHeight);
    if (sx0 >= sx1 || sy0 >= sy1)
        return area;
    int64_t dx0 = maxI(x + sx0 - ox, wx0);
    int64_t dy0 = maxI(y + sy0 - oy, wy0);
    int64_t dx1 = minI(x + sx1 - ox, wx1);
    int64_t dy1 = minI(y + sy1 - oy, wy1);
    if (dx0 >= dx1 || dy0 >= dy1)
        return area;
    area.dstX = int(dx0);
    area.dstY = int(dy0);
    area.srcX = int(dx0 - x + ox);
    area.srcY = int(dy0 - y + oy);
    area.w = int(dx1 - dx0);
    area.h = int(dy1 - dy0);
    return area;
}

namespace {

// Runs op(source pixel, destination pixel) over the drawn area.
template <class Op>
void forArea(const FancyHelper::Area& a, const uint32_t* source, int sourcePitch, uint32_t* pixels, int width, Op op)
{
    for (int row = 0; row < a.h; ++row) {
        const uint32_t* s = source + size_t(a.srcY + row) * size_t(sourcePitch) + a.srcX;
        uint32_t* d = pixels + size_t(a.dstY + row) * size_t(width) + a.dstX;
        for (int i = 0; i < a.w; ++i)
            d[i] = op(s[i], d[i]);
    }
}

} // namespace

void FancyHelper::blitShadow(uint32_t* pixels, int width, int height, int x, int y, const util::RectangleNM* clip,
                             const util::RectangleNM* src) const
{
    if (!m_nShadowOn || m_nAlphaFactor == 0 || pixels == nullptr || m_pSourcePixels == nullptr)
        return;
    Area a = clipBlit(width, height, x, y, clip, src);
    if (a.w <= 0 || a.h <= 0)
        return;
    const uint32_t factor = uint32_t(m_nAlphaFactor);
    forArea(a, m_pSourcePixels, m_nSourcePitch, pixels, width, [factor](uint32_t s, uint32_t d) {
        uint32_t opacity = (s >> 24) * factor;
        if (opacity < 256)
            return d;
        uint32_t k = opacity >> 8;
        uint32_t rb = d & kLanes;
        uint32_t ag = (d >> 8) & kLanes;
        rb -= ((rb * k) >> 8) & kLanes;
        ag -= ((ag * k) >> 8) & kLanes;
        return rb | (ag << 8) | 0xFF000000u;
    });
}

void FancyHelper::blitAdditive(uint32_t* pixels, int, int width, int height, int x, int y,
                               const util::RectangleNM* clip, const util::RectangleNM* src, bool copyOntoEmpty) const
{
    if (m_nAlphaFactor == 0 || pixels == nullptr || m_pSourcePixels == nullptr)
        return;
    if (m_nShadowOn)
        blitShadow(pixels, width, height, x + m_nShadowOffsetX, y + m_nShadowOffsetY, clip, src);
    Area a = clipBlit(width, height, x, y, clip, src);
    if (a.w <= 0 || a.h <= 0)
        return;

    const int af = m_nAlphaFactor, rf = m_nRedFactor, gf = m_nGreenFactor, bf = m_nBlueFactor;
    const bool neutralColour = rf == 128 && gf == 128 && bf == 128;
    // Adds amount (per channel, already scaled) to d, capping every channel.
    auto add = [](uint32_t d, uint32_t r, uint32_t g, uint32_t b) {
        return 0xFF000000u | (cap255(channel(d, 16) + r) << 16) | (cap255(channel(d, 8) + g) << 8) |
               cap255(channel(d, 0) + b);
    };

    if (neutralColour && af == 128) {
        forArea(a, m_pSourcePixels, m_nSourcePitch, pixels, width, [=](uint32_t s, uint32_t d) {
            if (copyOntoEmpty && (d >> 24) == 0)
                return s;
            uint32_t sa = s >> 24;
            if (sa == 255)
                return add(d, channel(s, 16), channel(s, 8), channel(s, 0));
            if (sa == 0)
                return d;
            return add(d, (channel(s, 16) * sa) >> 8, (channel(s, 8) * sa) >> 8, (channel(s, 0) * sa) >> 8);
        });
    } else if (neutralColour) {
        forArea(a, m_pSourcePixels, m_nSourcePitch, pixels, width, [=](uint32_t s, uint32_t d) {
            if (copyOntoEmpty && (d >> 24) == 0)
                return s;
            uint32_t e = ((s >> 24) * uint32_t(af)) >> 7;
            if (e >= 255)
                return add(d, channel(s, 16), channel(s, 8), channel(s, 0));
            if (e == 0)
                return d;
            return add(d, (channel(s, 16) * e) >> 8, (channel(s, 8) * e) >> 8, (channel(s, 0) * e) >> 8);
        });
    } else {
        forArea(a, m_pSourcePixels, m_nSourcePitch, pixels, width, [=](uint32_t s, uint32_t d) {
            if (copyOntoEmpty && (d >> 24) == 0)
                return s;
            uint32_t e = ((s >> 24) * uint32_t(af)) >> 7;
            if (e >= 255)
                return add(d, (channel(s, 16) * uint32_t(rf)) >> 7, (channel(s, 8) * uint32_t(gf)) >> 7,
                           (channel(s, 0) * uint32_t(bf)) >> 7);
            if (e == 0)
                return d;
            return add(d, (((channel(s, 16) * e) >> 8) * uint32_t(rf)) >> 7,
                       (((channel(s, 8) * e) >> 8) * uint32_t(gf)) >> 7,
                       (((channel(s, 0) * e) >> 8) * uint32_t(bf)) >> 7);
        });
    }
}

void FancyHelper::blitBlend(uint32_t* pixels, int, int width, int height, int x, int y,
                            const util::RectangleNM* clip, const util::RectangleNM* src, bool destinationAlpha) const
{
    if (m_nAlphaFactor == 0 || pixels == nullptr || m_pSourcePixels == nullptr)
        return;
    if (m_nShadowOn)
        blitShadow(pixels, width, height, x + m_nShadowOffsetX, y + m_nShadowOffsetY, clip, src);
    Area a = clipBlit(width, height, x, y, clip, src);
    if (a.w <= 0 || a.h <= 0)
        return;

    const int af = m_nAlphaFactor, rf = m_nRedFactor, gf = m_nGreenFactor, bf = m_nBlueFactor;
    const bool neutral = af == 128 && rf == 128 && gf == 128 && bf == 128;
    const bool neutralColour = rf == 128 && gf == 128 && bf == 128;

    // Blending onto an opaque (or alpha-less) destination.
    // Neutral factors: an opaque source is copied; a partly transparent one
    // is mixed with 7-bit precision over all four bytes.
    auto overNeutral = [](uint32_t s, uint32_t d) {
        uint32_t sa = s >> 24;
        if (sa == 255)
            return s;
        return mix4<7>(s, d, sa >> 1);
    };
    // Neutral colour, scaled alpha: 8-bit mix of the source colour.
    auto overScaledAlpha = [af](uint32_t s, uint32_t d) {
        uint32_t e = ((s >> 24) * uint32_t(af)) >> 7;
        if (e >= 255)
            return s | 0xFF000000u;
        if (e == 0)
            return d;
        return mix4<8>(s, d, e) | 0xFF000000u;
    };
    // Full modulation: the modulated source colour mixed by e.
    auto overModulated = [=](uint32_t s, uint32_t d) {
        uint32_t e = ((s >> 24) * uint32_t(af)) >> 7;
        if (e == 0)
            return d;
        uint32_t m = (modulate(channel(s, 16), rf) << 16) | (modulate(channel(s, 8), gf) << 8) |
                     modulate(channel(s, 0), bf);
        if (e >= 255)
            return m | 0xFF000000u;
        return mix4<8>(m, d, e) | 0xFF000000u;
    };

    if (!destinationAlpha) {
        if (neutral)
            forArea(a, m_pSourcePixels, m_nSourcePitch, pixels, width, overNeutral);
        else if (neutralColour)
            forArea(a, m_pSourcePixels, m_nSourcePitch, pixels, width, overScaledAlpha);
        else
            forArea(a, m_pSourcePixels, m_nSourcePitch, pixels, width, overModulated);
        return;
    }

    // With the destination's alpha: a transparent destination takes the
    // source as it is, an opaque one is blended as above, and a partly
    // transparent one gets the composite alpha e + da (255 - e) / 255 with
    // the colours weighted by the source's and the covered destination's
    // alpha (the source's alpha e includes the alpha factor).
    auto composite = [=](uint32_t s, uint32_t d) {
        uint32_t da = d >> 24;
        if (da == 0)
            return s;
        if (da == 255) {
            if (neutral)
                return overNeutral(s, d);
            return neutralColour ? overScaledAlpha(s, d) : overModulated(s, d);
        }
        uint32_t e = ((s >> 24) * uint32_t(af)) >> 7;
        if (e == 0)
            return d;
        if (e > 255)
            e = 255;
        uint32_t ra = e + da * (255 - e) / 255;
        uint32_t ws = e * 255;
        uint32_t wd = da * (255 - e);
        uint32_t total = ws + wd;
        uint32_t sr = modulate(channel(s, 16), rf), sg = modulate(channel(s, 8), gf), sb = modulate(channel(s, 0), bf);
        uint32_t r = (sr * ws + channel(d, 16) * wd) / total;
        uint32_t g = (sg * ws + channel(d, 8) * wd) / total;
        uint32_t b = (sb * ws + channel(d, 0) * wd) / total;
        return (ra << 24) | (r << 16) | (g << 8) | b;
    };
    forArea(a, m_pSourcePixels, m_nSourcePitch, pixels, width, composite);
}

} // namespace window
