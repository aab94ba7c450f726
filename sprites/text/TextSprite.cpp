// TextSprite.cpp: measuring a line of text in a system font, rendering it
// from glyph bitmaps into a picture, and drawing it.
#include "sprites/text/TextSprite.h"

#include "platform/gdi/Gdi.h"
#include "sprites/base/DefinitionArgs.h"
#include "windowing/gdi/CMainDC.h"
#include "windowing/fonts/Font.h"
#include "windowing/fonts/FontMetrics.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/d3d/ImageWinDX.h"

#include <vector>

namespace sprite {

TextSprite::TextSpriteClass::TextSpriteClass() : ::lang::Class(::lang::String("TextSprite", true)) {}
::lang::Object* TextSprite::TextSpriteClass::newInstance()
{
    return new TextSprite(nullptr, nullptr, nullptr, false, false);
}

namespace {

const uint32_t kBlack = 0xFF000000u;
const uint32_t kTextWhite = 0xFFFFFFFFu;
// The pen starts this far into the picture.
const int kPenStart = 2;
// Glyph bitmaps hold grey levels 0 to 64.
const int kGreyLevels = 64;

} // namespace

TextSprite::TextSprite(window::Font* font, ColorWin32* textColour, ColorWin32* shadowColour, bool outlined,
                       bool boxed)
    : BoundsSprite(0, 0, 0, 0),
      m_pFont(nullptr),
      m_pMetrics(nullptr),
      m_textColor(textColour ? textColour->getValue() : kBlack),
      m_shadowColor(shadowColour ? shadowColour->getValue() : kTextWhite),
      m_bOutlined(outlined),
      m_bBoxed(boxed),
      m_nAlignment(0),
      m_bCursorShown(false),
      m_bCursorBlink(false),
      m_nCursorWidth(0),
      m_pImage(nullptr)
{
    m_nAnchor = ANCHOR_LEFT | ANCHOR_BOTTOM;
    if (font) {
        font->addRef();
        m_pFont = font;
        m_pMetrics = font->getFontMetrics();
    }
}

TextSprite::~TextSprite()
{
    if (m_pImage)
        m_pImage->release();
    // The metrics hold the font without a reference: they go first.
    if (m_pMetrics)
        m_pMetrics->release();
    if (m_pFont)
        m_pFont->release();
}

bool TextSprite::configure(lang::ObjectArray*, lang::IntArray* params)
{
    setPosition(DefinitionArgs::number(params, 0), DefinitionArgs::number(params, 1));
    if (DefinitionArgs::count(params) >= 3)
        setAlignment(DefinitionArgs::number(params, 2));
    return true;
}

void TextSprite::setAlignment(int alignment)
{
    static const int anchors[3] = {ANCHOR_LEFT | ANCHOR_BOTTOM, ANCHOR_CENTER_X | ANCHOR_BOTTOM,
                                   ANCHOR_RIGHT | ANCHOR_BOTTOM};
    int oldLeft = left();
    m_nAlignment = alignment;
    m_nAnchor = alignment >= 0 && alignment <= 2 ? anchors[alignment] : anchors[0];
    movePosition(oldLeft - left(), 0);
}

void TextSprite::setFont(window::Font* font)
{
    if (font == m_pFont)
        return;
    if (m_pMetrics)
        m_pMetrics->release();
    m_pMetrics = nullptr;
    if (font)
        font->addRef();
    if (m_pFont)
        m_pFont->release();
    m_pFont = font;
    if (font)
        m_pMetrics = font->getFontMetrics();
    resize();
    render();
    if (m_bVisible)
        m_bDirty = true;
}

void TextSprite::setColors(ColorWin32* text, ColorWin32* shadow)
{
    uint32_t textValue = text ? text->getValue() : m_textColor.getValue();
    uint32_t shadowValue = shadow ? shadow->getValue() : m_shadowColor.getValue();
    if (textValue == m_textColor.getValue() && shadowValue == m_shadowColor.getValue())
        return;
    m_textColor = textValue;
    m_shadowColor = shadowValue;
    render();
    if (m_bVisible)
        m_bDirty = true;
}

void TextSprite::setText(const lang::String& text)
{
    m_text = text;
    resize();
    render();
    if (m_bVisible)
        m_bDirty = true;
}

void TextSprite::setCursorShown(bool shown)
{
    if (shown == m_bCursorShown)
        return;
    m_bCursorShown = shown;
    resize();
    if (m_bVisible)
        m_bDirty = true;
}

void TextSprite::setCursorWidth(int width)
{
    if (width == m_nCursorWidth)
        return;
    m_nCursorWidth = width;
    resize();
    if (m_bVisible)
        m_bDirty = true;
}

void TextSprite::resize()
{
    if (!m_pMetrics || (m_text.isEmpty() && !m_bCursorShown)) {
        setSize(0, 0);
        return;
    }
    int w = m_pMetrics->stringWidth(m_text) + 4 + (m_bCursorShown ? m_nCursorWidth : 0);
    setSize(w, m_pMetrics->getHeight() + 2);
}

void TextSprite::render()
{
    // Without a font, text or a scale there is nothing to render, and a
    // picture of an earlier text must not be shown in its place.
    if (m_bOutlined || !m_pFont || !m_pMetrics || m_text.isEmpty() || !(m_dScaleX > 0.0) || !(m_dScaleY > 0.0)) {
        if (m_pImage)
            m_pImage->release();
        m_pImage = nullptr;
        return;
    }
    const int w = toInt(width() / m_dScaleX);
    const int h = toInt(height() / m_dScaleY);
    if (!window::ImageBase::isAcceptedSize(w, h))
        return;
    window::ImageBase* image = m_pImage;
    bool fresh = false;
    if (!image || image->getWidth() != w || image->getHeight() != h || !image->hasPixels()) {
        image = new window::ImageWinDX(w, h, 1, false);
        image->setHasAlpha(true);
        fresh = true;
    }
    uint32_t* pixels = image->getPixels();
    if (!pixels) {
        if (fresh)
            image->release();
        return;
    }
    image->setModified(true);
    const uint32_t rgb = m_textColor.getValue() & 0x00FFFFFFu;
    for (size_t i = 0, n = size_t(w) * size_t(h); i < n; ++i)
        pixels[i] = rgb;

    window::CMainDC* screen = new window::CMainDC();
    HDC dc = screen->getDC();
    SelectObject(dc, m_pFont->getHandle());
    MAT2 identity{};
    identity.eM11.value = 1;
    identity.eM22.value = 1;
    std::vector<unsigned char> bits(900);
    const int baseline = m_pMetrics->getAscent();
    bool failed = false;
    int pen = kPenStart;
    for (int i = 0; i < m_text.length(); ++i) {
        UINT c = static_cast<unsigned char>(m_text.c_str()[i]);
        GLYPHMETRICS gm{};
        DWORD size = GetGlyphOutlineA(dc, c, GGO_GRAY8_BITMAP, &gm, 0, nullptr, &identity);
        if (size == GDI_ERROR) {
            failed = true;
            break;
        }
        if (size > 0 && c >= 33) {
            if (size > bits.size())
                bits.resize(size);
            if (GetGlyphOutlineA(dc, c, GGO_GRAY8_BITMAP, &gm, size, bits.data(), &identity) == GDI_ERROR) {
                failed = true;
                break;
            }
            // Rows are padded to 4 bytes; only the rows the buffer holds are read.
            const size_t pitch = (size_t(gm.gmBlackBoxX) + 3) & ~size_t(3);
            size_t rows = gm.gmBlackBoxY;
            if (pitch == 0 || pitch * rows > size)
                rows = pitch == 0 ? 0 : size / pitch;
            int left = pen + int(gm.gmptGlyphOrigin.x);
            if (left < 0)
                left = 0;
            const int top = baseline - int(gm.gmptGlyphOrigin.y);
            for (size_t row = 0; row < rows; ++row) {
                const int y = top + int(row);
                if (y < 0 || y >= h)
                    continue;
                for (size_t col = 0; col < gm.gmBlackBoxX; ++col) {
                    const int x = left + int(col);
                    if (x >= w)
                        break;
                    int grey = bits[row * pitch + col];
                    if (grey == 0)
                        continue;
                    if (grey > kGreyLevels)
                        grey = kGreyLevels;
                    pixels[size_t(y) * size_t(w) + size_t(x)] |= uint32_t(4 * grey - 1) << 24;
                }
            }
        }
        pen += gm.gmCellIncX;
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    screen->release();
    if (failed) {
        if (fresh)
            image->release();
        return;
    }
    if (fresh) {
        if (m_pImage)
            m_pImage->release();
        m_pImage = image;
    }
}

void TextSprite::paint(window::Graphics* g)
{
    drawText(g, m_text);
}

void TextSprite::drawText(window::Graphics* g, const lang::String& text)
{
    if (!isShowing())
        return;
    g->translate(m_nX, m_nY);
    g->rotate(m_dRotation);
    g->scale(m_dScaleX, m_dScaleY);
    g->setImageColor(m_colorBalance);
    const int w = width();
    const int h = height();
    const int x = -(w >> 1);
    const int y = h - (h >> 1) - 2 - m_pMetrics->getDescent();
    g->setFont(m_pFont);
    if (!text.isEmpty() && !m_pImage) {
        lang::String line(text);
        g->setColor(m_shadowColor);
        if (m_bOutlined) {
            g->drawString(&line, x + 2, y + 2);
            g->drawString(&line, x, y + 2);
            g->drawString(&line, x + 2, y);
            g->drawString(&line, x, y);
        } else if (m_bBoxed) {
            g->fillRect(-(w >> 1), -(h >> 1), w, h);
        }
        g->setColor(m_textColor);
        g->drawString(&line, x + 1, y + 1);
    }
    if (m_pImage) {
        if (m_bBoxed) {
            g->setColor(m_shadowColor);
            g->fillRect(-(w >> 1), -(h >> 1), w, h);
        }
        g->drawImage(m_pImage, -(m_pImage->getWidth() >> 1), -(m_pImage->getHeight() >> 1));
    }
    if (m_bCursorShown && m_bCursorBlink) {
        lang::String bar("|");
        g->setColor(m_textColor);
        g->drawString(&bar, w - m_nCursorWidth + x, y);
    }
}

bool TextSprite::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (m_bCursorShown && frame % BLINK_FRAMES == 0) {
        m_bCursorBlink = !m_bCursorBlink;
        m_bDirty = true;
    }
    return BoundsSprite::tick(frame, boundsOut, region);
}

int TextSprite::top()
{
    int t = BoundsSprite::top();
    return height() >= 1 ? t - 2 : t;
}

bool TextSprite::isShowing()
{
    return BoundsSprite::isShowing() && m_pMetrics != nullptr;
}

void TextSprite::unloadImages()
{
    if (m_pImage)
        m_pImage->release();
    m_pImage = nullptr;
}

void TextSprite::loadImages()
{
    if (!m_pImage)
        render();
}

} // namespace sprite
