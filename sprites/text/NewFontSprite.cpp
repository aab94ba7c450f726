// NewFontSprite.cpp: bitmap-font text: glyph records, layout, drawing, wrap
// and fit, and key editing.
#include "sprites/text/NewFontSprite.h"

#include "sprites/base/DefinitionArgs.h"
#include "sprites/base/SpriteBaseLua.h"
#include "windowing/window/Event.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/images/ImageBase.h"

#include <climits>

namespace sprite {

HV_DEFINE_METACLASS(NewFontSprite);

namespace {

const uint32_t kWhite = 0xFFFFFFFFu;
const double kPi = 3.14159265358979323846;
// The cursor's width when there is no glyph table to take it from.
const int kDefaultCursorWidth = 4;

int clampInt(int64_t value)
{
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : int(value);
}

int codeAt(const lang::String& text, int i)
{
    return static_cast<unsigned char>(text.c_str()[i]);
}

} // namespace

NewFontSprite::NewFontSprite()
    : BoundsSprite(0, 0, 0, 0),
      m_nAlignment(0),
      m_pGlyphTable(nullptr),
      m_nCursorWidth(0),
      m_nOverhang(0),
      m_nKerning(0),
      m_nLeading(0),
      m_nWrapWidth(0),
      m_cursorColor(kWhite),
      m_bBlinkPhase(false),
      m_bTextGiven(false),
      m_bCursorShown(false),
      m_nCursorIndex(0),
      m_bAlignLines(true),
      m_nCursorBarWidth(1),
      m_nLastGlyphX(0),
      m_nLastGlyphY(0),
      m_pFontImage(nullptr),
      m_bRevealing(false),
      m_bRevealPaused(false),
      m_nRevealed(0)
{
    SpriteBaseLua::bindClass(this, "hv.NewFontSprite", SpriteBaseLua::kMetatable, "NewFontSprite.lua",
                             "NewFontSprite", luaMethods());
}

NewFontSprite::~NewFontSprite()
{
    if (m_pGlyphTable)
        m_pGlyphTable->release();
    if (m_pFontImage)
        m_pFontImage->release();
}

// ---------------------------------------------------------------------------
// Glyph records

const int32_t* NewFontSprite::glyphWords()
{
    if (!m_pGlyphTable)
        return nullptr;
    return reinterpret_cast<const int32_t*>(m_pGlyphTable->getPixels());
}

bool NewFontSprite::glyphOf(const int32_t* words, int code, Glyph& glyph) const
{
    code &= 0xFF;
    if (!words || code < FIRST_CODE)
        return false;
    // Texts come from data and typing: a code the table has no record for
    // is passed over like a control code instead of read past the table.
    int64_t records = int64_t(m_pGlyphTable->getWidth()) * m_pGlyphTable->getHeight() / 6;
    int64_t index = code - FIRST_CODE;
    if (index >= records)
        return false;
    const int32_t* w = words + index * 6;
    glyph = Glyph{w[0], w[1], w[2], w[3], w[4], w[5]};
    return true;
}

// ---------------------------------------------------------------------------
// Layout

int NewFontSprite::lineWidth(int start)
{
    const int32_t* words = glyphWords();
    int length = m_text.length();
    if (!words || start < 0 || start >= length)
        return 0;
    int64_t width = 0;
    for (int i = start; i < length; ++i) {
        int c = codeAt(m_text, i);
        if (c == LINE_BREAK)
            break;
        Glyph g;
        if (!glyphOf(words, c, g))
            continue;
        if (width == 0)
            width = -int64_t(g.left);
        width += int64_t(g.right) - m_nKerning;
    }
    return clampInt(width);
}

void NewFontSprite::layout()
{
    m_nOverhang = 0;
    int cursor = m_bCursorShown ? m_nCursorWidth : 0;
    const int32_t* words = glyphWords();
    if (!words) {
        setSize(cursor, 0);
        return;
    }
    Glyph space;
    int lineHeight = glyphOf(words, ' ', space) ? space.h : 0;
    int length = m_text.length();
    if (length == 0) {
        setSize(cursor, lineHeight);
        return;
    }
    int64_t lines = 1, run = 0, maxWidth = 0, overhang = 0;
    bool hasLast = false;
    Glyph last{};
    auto closeLine = [&]() {
        int64_t reach = int64_t(last.w) + last.left - last.right;
        if (hasLast && reach > 0 && reach > overhang)
            overhang = reach;
        if (run > maxWidth)
            maxWidth = run;
    };
    for (int i = 0; i < length; ++i) {
        int c = codeAt(m_text, i);
        if (c == LINE_BREAK) {
            closeLine();
            ++lines;
            run = 0;
            hasLast = false;
            continue;
        }
        Glyph g;
        if (!glyphOf(words, c, g))
            continue;
        if (run == 0)
            run = -int64_t(g.left);
        run += int64_t(g.right) - m_nKerning;
        last = g;
        hasLast = true;
    }
    closeLine();
    m_nOverhang = clampInt(overhang);
    setSize(clampInt(maxWidth + overhang + cursor), clampInt((lines - 1) * m_nLeading + lines * lineHeight));
}

int NewFontSprite::lineOffset(int start)
{
    if (!m_bAlignLines)
        return 0;
    if (m_nAlignment == 1)
        return (width() - lineWidth(start)) >> 1;
    if (m_nAlignment == 2)
        return width() - lineWidth(start);
    return 0;
}

void NewFontSprite::setCursorIndex(int index)
{
    int length = m_text.length();
    m_nCursorIndex = index < 0 ? 0 : index > length ? length : index;
}

// ---------------------------------------------------------------------------
// Set-up

bool NewFontSprite::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    auto n = [params](int i) { return DefinitionArgs::number(params, i); };
    int count = DefinitionArgs::count(params);
    // The glyph table is read as soon as the text is laid out, so it is
    // decoded at once even while the loader defers decoding.
    bool immediate = window::ImageBase::forceImmediateDecode;
    window::ImageBase::forceImmediateDecode = true;
    m_bTextGiven = true;
    setFont(DefinitionArgs::image(resources, 0), DefinitionArgs::image(resources, 1));
    setPosition(n(0), n(1));
    if (count >= 3)
        setAlignment(n(2));
    if (count >= 4) {
        ColorBase colour(uint32_t(n(3)));
        setColorBalance(colour.getAlpha(), colour.getRed(), colour.getGreen(), colour.getBlue());
    }
    if (count >= 5)
        setLeading(n(4));
    if (count >= 6)
        m_nWrapWidth = n(5);
    if (count >= 7)
        setKerning(n(6));
    m_cursorColor = kWhite;
    layout();
    m_bTextGiven = false;
    window::ImageBase::forceImmediateDecode = immediate;
    return true;
}

SpriteBase* NewFontSprite::clone()
{
    NewFontSprite* copy = new NewFontSprite();
    // The size first, so that the copied position means the same box.
    copy->m_nWidth = m_nWidth;
    copy->m_nHeight = m_nHeight;
    copyStateTo(copy);
    if (m_pFontImage)
        m_pFontImage->addRef();
    if (m_pGlyphTable)
        m_pGlyphTable->addRef();
    copy->m_pFontImage = m_pFontImage;
    copy->m_pGlyphTable = m_pGlyphTable;
    copy->m_text = m_text;
    copy->m_nAlignment = m_nAlignment;
    copy->m_bCursorShown = m_bCursorShown;
    copy->m_nCursorWidth = m_nCursorWidth;
    copy->m_nKerning = m_nKerning;
    copy->m_nLeading = m_nLeading;
    copy->m_bAlignLines = m_bAlignLines;
    copy->m_cursorColor = m_cursorColor;
    copy->m_nOverhang = m_nOverhang;
    return copy;
}

void NewFontSprite::setFont(window::ImageBase* fontImage, window::ImageBase* glyphTable)
{
    if (fontImage != m_pFontImage) {
        if (fontImage)
            fontImage->addRef();
        if (m_pFontImage)
            m_pFontImage->release();
        m_pFontImage = fontImage;
    }
    if (glyphTable != m_pGlyphTable) {
        if (glyphTable)
            glyphTable->addRef();
        if (m_pGlyphTable)
            m_pGlyphTable->release();
        m_pGlyphTable = glyphTable;
    }
    layout();
    if (m_bVisible)
        m_bDirty = true;
}

void NewFontSprite::setText(const char* text)
{
    m_bRevealing = false;
    m_bTextGiven = true;
    m_text = text ? text : "";
    m_nCursorIndex = m_text.length();
    layout();
    if (m_nWrapWidth > 0)
        wrapToWidth(m_nWrapWidth);
    if (m_bVisible)
        m_bDirty = true;
}

void NewFontSprite::startReveal()
{
    getBounds(); // a defined text loads its text item first
    m_nRevealed = 0;
    m_bRevealing = m_text.length() > 0;
    if (m_bVisible)
        m_bDirty = true;
}

void NewFontSprite::setAlignment(int alignment)
{
    static const int anchors[3] = {ANCHOR_LEFT | ANCHOR_TOP, ANCHOR_CENTER_X | ANCHOR_TOP, ANCHOR_RIGHT | ANCHOR_TOP};
    int oldLeft = left();
    m_nAlignment = alignment;
    m_nAnchor = alignment >= 0 && alignment <= 2 ? anchors[alignment] : anchors[0];
    movePosition(oldLeft - left(), 0);
    if (m_bVisible)
        m_bDirty = true;
}

void NewFontSprite::setKerning(int kerning)
{
    if (kerning == m_nKerning)
        return;
    m_nKerning = kerning;
    layout();
    if (m_bVisible)
        m_bDirty = true;
}

void NewFontSprite::setLeading(int leading)
{
    if (leading == m_nLeading)
        return;
    m_nLeading = leading;
    layout();
    if (m_bVisible)
        m_bDirty = true;
}

void NewFontSprite::setCursorVisible(bool visible)
{
    if (visible == m_bCursorShown)
        return;
    m_bCursorShown = visible;
    Glyph underscore;
    m_nCursorWidth = glyphOf(glyphWords(), '_', underscore) ? underscore.right : kDefaultCursorWidth;
}

void NewFontSprite::setRotationRadians(double radians)
{
    rotateBy(radians * 180.0 / kPi - m_dRotation);
}

// ---------------------------------------------------------------------------
// The sprite's slots

bool NewFontSprite::isShowing()
{
    return BoundsSprite::isShowing() && m_pFontImage && m_pGlyphTable && m_pGlyphTable->hasPixels();
}

util::RectangleNM* NewFontSprite::getBounds()
{
    if (!m_bTextGiven)
        setText(lang::String::loadText(m_name).c_str());
    return BoundsSprite::getBounds();
}

bool NewFontSprite::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (m_bCursorShown && frame % BLINK_FRAMES == 0) {
        m_bBlinkPhase = !m_bBlinkPhase;
        m_bDirty = true;
    }
    if (m_bRevealing && !m_bRevealPaused && isActive(frame)) {
        if (++m_nRevealed >= m_text.length())
            m_bRevealing = false;
        if (m_bVisible)
            m_bDirty = true;
    }
    return BoundsSprite::tick(frame, boundsOut, region);
}

void NewFontSprite::unloadImages()
{
    // A picture without a name could not be read back: it keeps its pixels.
    if (m_pFontImage && !m_pFontImage->getName().isEmpty())
        m_pFontImage->freePixels();
}

void NewFontSprite::loadImages()
{
    if (m_pFontImage)
        m_pFontImage->load();
}

void NewFontSprite::paint(window::Graphics* g)
{
    const int32_t* words = glyphWords();
    if (!words || !m_pFontImage)
        return;
    const int w = width();
    const int h = height();
    // Where the box's top-left corner is on screen (unturned, unscaled).
    const int64_t boxLeft = int64_t(m_nX) - (w >> 1);
    const int64_t boxTop = int64_t(m_nY) - (h >> 1);
    g->translate(m_nX, m_nY);
    g->rotate(m_dRotation);
    g->scale(m_dScaleX, m_dScaleY);
    g->translate(-(w >> 1), -(h >> 1));

    Glyph space{};
    glyphOf(words, ' ', space);
    const int64_t lineHeight = space.h;
    // While revealing, only the characters revealed so far are drawn, each
    // where it stands in the whole text.
    const int length = m_bRevealing && m_nRevealed < m_text.length() ? m_nRevealed : m_text.length();
    int64_t x = lineOffset(0);
    int64_t y = 0;
    int64_t cursorX = x;
    bool lineStart = true;
    for (int i = 0; i < length; ++i) {
        g->setImageColor(m_colorBalance);
        int c = codeAt(m_text, i);
        Glyph glyph;
        if (c == LINE_BREAK) {
            x = 0;
            y += m_nLeading + lineHeight;
            if (i < length - 1)
                x = lineOffset(i + 1);
            lineStart = true;
        } else if (glyphOf(words, c, glyph)) {
            if (!lineStart)
                x += glyph.left;
            lineStart = false;
            if (c != ' ') {
                util::RectangleNM source(glyph.x, glyph.y, glyph.w, glyph.h);
                g->drawImageAt(m_pFontImage, clampInt(x), clampInt(y), &source, 1.0, 1.0, 0.0, 0);
                m_nLastGlyphX = clampInt(boxLeft + x);
                m_nLastGlyphY = clampInt(boxTop + y);
            }
            x += int64_t(glyph.right) - glyph.left - m_nKerning;
        }
        if (i == m_nCursorIndex - 1)
            cursorX = x;
    }
    if (m_bCursorShown && m_bBlinkPhase) {
        g->setColor(m_cursorColor);
        g->fillRect(clampInt(cursorX + space.left - m_nKerning), clampInt(y), m_nCursorBarWidth, clampInt(lineHeight));
    }
}

// ---------------------------------------------------------------------------
// Wrap, fit and editing

void NewFontSprite::wrapToWidth(int width)
{
    const int32_t* words = glyphWords();
    if (!words || this->width() < width)
        return;
    Glyph space{};
    glyphOf(words, ' ', space);
    int64_t pen = 0;
    int lastBreak = 0;
    bool hasPrevious = false;
    Glyph previous{};
    const int length = m_text.length();
    for (int i = 0; i < length; ++i) {
        int c = codeAt(m_text, i);
        if (c == ' ' || c == LINE_BREAK) {
            if (hasPrevious && previous.w + int64_t(previous.left) > previous.right)
                pen += int64_t(previous.w) - m_nKerning - previous.right + previous.left;
            hasPrevious = false;
            if (pen > width && lastBreak >= 1) {
                // The word that ended here goes onto a line of its own:
                // break at the space in front of it and walk it again.
                m_text.setCharAt(lastBreak - 1, char(LINE_BREAK));
                i = lastBreak - 1;
                pen = 0;
                lastBreak = 0;
            } else if (c == ' ') {
                lastBreak = i + 1;
                pen += int64_t(space.right) - m_nKerning;
            } else {
                pen = -int64_t(m_nKerning);
                lastBreak = 0;
            }
            continue;
        }
        Glyph g;
        if (!glyphOf(words, c, g))
            continue;
        if (pen == 0)
            pen = -int64_t(g.left);
        pen += int64_t(g.right) - m_nKerning;
        previous = g;
        hasPrevious = true;
    }
    if (pen > width && lastBreak > 0)
        m_text.setCharAt(lastBreak - 1, char(LINE_BREAK));
    layout();
    if (m_bVisible)
        m_bDirty = true;
}

void NewFontSprite::fitToWidth(int width)
{
    if (!glyphWords() || this->width() <= width)
        return;
    m_text.append(char(ELLIPSIS));
    // Cut the character in front of the ellipsis until the text fits, or
    // only the ellipsis is left.
    while (m_text.length() > 1) {
        m_text.setLength(m_text.length() - 2);
        m_text.append(char(ELLIPSIS));
        layout();
        if (this->width() <= width)
            break;
    }
    setCursorIndex(m_nCursorIndex);
    if (m_bVisible)
        m_bDirty = true;
}

bool NewFontSprite::handleKey(window::Event* key, int maxLength, bool namesOnly)
{
    if (!key)
        return false;
    // The text may have been cut since the cursor was placed.
    setCursorIndex(m_nCursorIndex);
    const int length = m_text.length();
    switch (key->key) {
    case 8: // Backspace
        if (length == 0 || m_nCursorIndex < 1)
            return false;
        m_text = m_text.substring(0, m_nCursorIndex - 1) + m_text.substring(m_nCursorIndex);
        layout();
        --m_nCursorIndex;
        break;
    case window::Event::LEFT:
        if (m_nCursorIndex < 1)
            return false;
        --m_nCursorIndex;
        break;
    case window::Event::RIGHT:
        if (m_nCursorIndex >= length)
            return false;
        ++m_nCursorIndex;
        break;
    case window::Event::DELETE_KEY:
        if (length == 0 || m_nCursorIndex >= length)
            return false;
        m_text = m_text.substring(0, m_nCursorIndex) + m_text.substring(m_nCursorIndex + 1);
        layout();
        break;
    default: {
        // Only characters are typed: function keys, arrows and control
        // codes (Enter, Tab, Escape) are not.
        int c = key->key;
        if (c < 32 || c > 255)
            return false;
        if (maxLength != 0 && length >= maxLength)
            return false;
        if (namesOnly && !lang::String::isNameChar(c))
            return false;
        lang::String typed = m_text.substring(0, m_nCursorIndex);
        typed.append(char(c));
        typed.append(m_text.substring(m_nCursorIndex));
        m_text = typed;
        layout();
        ++m_nCursorIndex;
        break;
    }
    }
    m_bDirty = true;
    return true;
}

} // namespace sprite
