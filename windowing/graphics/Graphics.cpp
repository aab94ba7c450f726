// Graphics.cpp: the drawing state, its save/restore stack, and the base
// bodies of the drawing operations.
#include "windowing/graphics/Graphics.h"

#include "core/util/Region.h"
#include "windowing/fonts/Font.h"
#include "windowing/images/ImageBase.h"

#include <cmath>

namespace window {

namespace {

// Double-to-int conversion of the drawing code: truncation toward zero.
inline int trunc(double v)
{
    return int(v);
}

} // namespace

Graphics::Graphics()
    : m_nTranslateX(0), m_nTranslateY(0), m_dScaleX(1.0), m_dScaleY(1.0), m_color(0xFF000000u),
      m_imageColor(0x80808080u), m_bCornerColorsOn(false), m_bRenderingToImage(false), m_nAlpha(128), m_nReserved(0),
      m_nCompositeMode(0), m_pFont(nullptr), m_pStateStack(nullptr)
{
}

Graphics::~Graphics()
{
    while (m_pStateStack) {
        GraphicsDataStorage* next = m_pStateStack->next;
        delete m_pStateStack;
        m_pStateStack = next;
    }
    if (m_pFont)
        m_pFont->release();
    m_pFont = nullptr;
}

Graphics* Graphics::restoreState(GraphicsDataStorage* entry)
{
    m_nTranslateX = entry->translateX;
    m_nTranslateY = entry->translateY;
    m_dScaleX = entry->scaleX;
    m_dScaleY = entry->scaleY;
    m_color = ColorWin32(entry->color);
    m_imageColor = ColorWin32(entry->imageColor);
    for (int i = 0; i < 4; ++i)
        m_cornerColors[i] = ColorWin32(entry->cornerColors[i]);
    m_bCornerColorsOn = entry->cornerColorsOn;
    m_nAlpha = entry->alpha;
    m_clip = entry->clip;
    m_nReserved = entry->reserved;
    if (entry->compositeMode != m_nCompositeMode && setCompositeMode(entry->compositeMode))
        m_nCompositeMode = entry->compositeMode;
    return this;
}

Graphics::GraphicsDataStorage* Graphics::saveState(GraphicsDataStorage* next)
{
    GraphicsDataStorage* entry = new GraphicsDataStorage;
    entry->next = next;
    entry->translateX = m_nTranslateX;
    entry->translateY = m_nTranslateY;
    entry->scaleX = m_dScaleX;
    entry->scaleY = m_dScaleY;
    entry->color = m_color.getValue();
    entry->imageColor = m_imageColor.getValue();
    for (int i = 0; i < 4; ++i)
        entry->cornerColors[i] = m_cornerColors[i].getValue();
    entry->cornerColorsOn = m_bCornerColorsOn;
    entry->alpha = m_nAlpha;
    entry->clip = m_clip;
    entry->reserved = m_nReserved;
    entry->compositeMode = m_nCompositeMode;
    return entry;
}

void Graphics::pushState()
{
    m_pStateStack = saveState(m_pStateStack);
}

void Graphics::popState()
{
    GraphicsDataStorage* top = m_pStateStack;
    if (!top)
        return;
    restoreState(top);
    m_pStateStack = top->next;
    delete top;
}

bool Graphics::setCompositeMode(int)
{
    return false;
}

bool Graphics::drawImageAt(ImageBase* image, int x, int y, util::RectangleNM* src, double scaleX, double scaleY,
                           double rotation, int flip)
{
    int w = src ? src->width : (image ? image->getWidth() : 0);
    int h = src ? src->height : (image ? image->getHeight() : 0);
    return drawImageCentered(image, x + w / 2, y + h / 2, src, scaleX, scaleY, rotation, flip);
}

bool Graphics::drawShadow(ImageBase*, int, int)
{
    return false;
}

void Graphics::setPixel(int x, int y)
{
    setPixel(x, y, m_color.getValue());
}

void Graphics::setPixel(int, int, uint32_t) {}

uint32_t Graphics::getPixel(int, int)
{
    return 0;
}

void Graphics::clipRect(int x, int y, int w, int h)
{
    util::RectangleNM r(trunc(x * m_dScaleX) + m_nTranslateX, trunc(y * m_dScaleY) + m_nTranslateY,
                        trunc(w * m_dScaleX), trunc(h * m_dScaleY));
    m_clip.intersect(r);
}

void Graphics::excludeClipRect(int, int, int, int) {}

void Graphics::setClip(util::Region*) {}

util::Region* Graphics::getClip()
{
    util::Region* region = new util::Region();
    region->addRect(m_clip);
    return region;
}

util::RectangleNM* Graphics::getClipBounds(util::RectangleNM* out)
{
    *out = m_clip;
    return out;
}

void Graphics::drawRect(int x, int y, int w, int h)
{
    int r = x + w - 1;
    int b = y + h - 1;
    drawLine(x, y, r, y, 2);
    drawLine(r, y, r, b, 2);
    drawLine(r, b, x, b, 2);
    drawLine(x, b, x, y, 2);
}

void Graphics::setFont(Font* font)
{
    if (font == nullptr)
        return;
    font->addRef();
    if (m_pFont)
        m_pFont->release();
    m_pFont = font;
}

bool Graphics::beginDrawing()
{
    return false;
}

void Graphics::endDrawing() {}

void Graphics::clearScreen() {}

int Graphics::RestoreDevice(bool)
{
    return 1;
}

int Graphics::recreateDevice(bool)
{
    return 1;
}

int Graphics::getCoopTries()
{
    return 0;
}

void Graphics::setCoopTries(int) {}

void Graphics::releaseDeviceResources(bool) {}

GraphicsParticle* Graphics::createParticle()
{
    return nullptr;
}

void Graphics::getBackBuffer(int, int, int, int, uint32_t*) {}

void Graphics::beginMask() {}

void Graphics::endMask() {}

void Graphics::setMaskMode(bool) {}

void Graphics::setMaskInverted(bool) {}

FancyHelper* Graphics::getFancyHelper()
{
    return nullptr;
}

void Graphics::setBlendMode(bool) {}

void Graphics::translate(int dx, int dy)
{
    m_nTranslateX += trunc(dx * m_dScaleX);
    m_nTranslateY += trunc(dy * m_dScaleY);
}

bool Graphics::scale(double sx, double sy)
{
    m_dScaleX *= sx;
    m_dScaleY *= sy;
    return false;
}

bool Graphics::scale(double s)
{
    return scale(s, s);
}

bool Graphics::rotate(double)
{
    return false;
}

bool Graphics::flip(int)
{
    return false;
}

void Graphics::setCornerColors(const ColorBase& c0, const ColorBase& c1, const ColorBase& c2, const ColorBase& c3)
{
    m_cornerColors[0] = c0;
    m_cornerColors[1] = c1;
    m_cornerColors[2] = c2;
    m_cornerColors[3] = c3;
    m_bCornerColorsOn = true;
}

ColorWin32 Graphics::getCornerColor(int i) const
{
    if (m_bCornerColorsOn && i >= 0 && i < 4)
        return m_cornerColors[i];
    return m_imageColor;
}

void Graphics::applyAlpha(ColorBase& color) const
{
    if (m_nAlpha == 128)
        return;
    int a = color.getAlpha() * m_nAlpha / 128;
    color.setAlpha(a < 255 ? a : 255);
}

ColorWin32 Graphics::getImageColorWithAlpha() const
{
    ColorWin32 c(m_imageColor);
    applyAlpha(c);
    return c;
}

void Graphics::setAlpha(int alpha)
{
    m_nAlpha = alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha);
}

util::Point Graphics::bezierPoint(const int* points, int n, double t, int scale)
{
    // Weights t^i (1-t)^(n-i) are formed step by step from (1-t)^n, and the
    // binomial coefficient from n! divided by the falling factors of i! and
    // (n-i)!, all in single precision.
    float ft = float(t);
    float omt = 1.0f - ft;
    float weight = std::pow(omt, float(n));
    float sx = 0.0f;
    float sy = 0.0f;
    for (int i = 0; i <= n; ++i) {
        float binom = 1.0f;
        int a = i;
        int b = n - i;
        for (int k = n; k >= 1; --k) {
            binom *= float(k);
            if (a > 1)
                binom /= float(a--);
            if (b > 1)
                binom /= float(b--);
        }
        float term = binom * weight;
        sx += term * float(points[2 * i]);
        sy += term * float(points[2 * i + 1]);
        weight = weight * ft / omt;
    }
    return util::Point(int(float(scale) * sx), int(float(scale) * sy));
}

} // namespace window
