// NewFontSprite.h: text drawn with a bitmap font: a font picture holding the
// glyphs and a glyph table saying where each glyph lies and how far it moves
// the pen. The text is laid out in lines, can be wrapped to a width or cut to
// a width with an ellipsis, is aligned inside its box, and can serve as a
// one-line text field with a blinking cursor that takes key events.
#pragma once

#include "sprites/base/BoundsSprite.h"

#include <cstdint>

struct luaL_Reg;

namespace window {
class Event;
class ImageBase;
} // namespace window

namespace sprite {

class NewFontSprite : public BoundsSprite {
public:
    // One glyph table record: where the glyph lies in the font picture, the
    // offset from the pen at which it is placed and the pen's advance.
    struct Glyph {
        int32_t x, y, w, h, left, right;
    };

    // Character codes with a meaning of their own.
    static constexpr int LINE_BREAK = 10;
    static constexpr int ELLIPSIS = 133;
    // The first code of the glyph table.
    static constexpr int FIRST_CODE = 32;
    // Frames between two flips of the cursor.
    static constexpr int BLINK_FRAMES = 20;

    // An empty left-aligned text without font, cursor hidden.
    NewFontSprite();
    // Releases the glyph table and the font picture.
    ~NewFontSprite() override;

    HV_CLASS_NAME("NewFontSprite", BoundsSprite)
    HV_DECLARE_METACLASS(NewFontSprite);

    // Draws the text (and the cursor) inside the box.
    void paint(window::Graphics* g) override;
    // Images 0, 1: the font picture and the glyph table. Numbers 0, 1: left,
    // top; 2: alignment; 3: colour balance as 0xAARRGGBB; 4: leading; 5:
    // wrap width; 6: kerning. The text comes later, from the text item named
    // like the sprite.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    SpriteBase* clone() override;
    // Blinks the cursor, then the sprite tick.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Visible, not empty, with a font picture and a glyph table in memory.
    bool isShowing() override;
    // Takes the text from the text item named like the sprite when no text
    // was given yet.
    util::RectangleNM* getBounds() override;
    // Frees the font picture's pixels; loads them back.
    void unloadImages() override;
    void loadImages() override;
    // Edits the text by a key event: Backspace, Delete, Left and Right edit
    // and move the cursor; a character is inserted at the cursor unless the
    // text already has maxLength characters (0: no limit) or, with
    // namesOnly, it is not a name character. True when the key was taken.
    virtual bool handleKey(window::Event* key, int maxLength, bool namesOnly);
    // Cuts the text and ends it with an ellipsis until it fits the width.
    virtual void fitToWidth(int width);
    // Breaks the lines at the spaces in front of the words that end past the width.
    virtual void wrapToWidth(int width);

    void setText(const char* text);
    // 0 left, 1 centre, 2 right: the position is the box's left edge,
    // centre or right edge, and the lines are aligned so inside it. The
    // position stays where it is.
    void setAlignment(int alignment);
    // Pixels taken from every glyph's advance (negative spreads the text).
    void setKerning(int kerning);
    // Extra pixels between lines.
    void setLeading(int leading);
    // Shows the cursor and reserves its width ('_' glyph's advance) in the box.
    void setCursorVisible(bool visible);
    // Turns the sprite to the angle in radians.
    void setRotationRadians(double radians);
    // The font picture and the glyph table (references are kept; null removes).
    void setFont(window::ImageBase* fontImage, window::ImageBase* glyphTable);
    // The width of the line that begins at character index start.
    int lineWidth(int start);

    // Starts revealing the text gradually: nothing of it is drawn at first,
    // then one more character each frame until the whole text shows. The
    // box keeps the whole text's size throughout. setText stops a reveal.
    void startReveal();
    // Characters are still being revealed.
    bool isRevealing() const { return m_bRevealing; }
    // While paused, a reveal stays where it is.
    bool isRevealPaused() const { return m_bRevealPaused; }
    void setRevealPaused(bool paused) { m_bRevealPaused = paused; }
    // The number of characters drawn while revealing.
    int getRevealed() const { return m_nRevealed; }

    const lang::String& getText() const { return m_text; }
    int getAlignment() const { return m_nAlignment; }
    int getKerning() const { return m_nKerning; }
    int getLeading() const { return m_nLeading; }
    int getWrapWidth() const { return m_nWrapWidth; }
    int getOverhang() const { return m_nOverhang; }
    int getCursorWidth() const { return m_nCursorWidth; }
    bool isCursorVisible() const { return m_bCursorShown; }
    int getCursorIndex() const { return m_nCursorIndex; }
    bool getBlinkPhase() const { return m_bBlinkPhase; }
    bool isTextGiven() const { return m_bTextGiven; }
    const ColorWin32& getCursorColor() const { return m_cursorColor; }
    // Where the last glyph drawn landed on screen (its top-left corner).
    int getLastGlyphX() const { return m_nLastGlyphX; }
    int getLastGlyphY() const { return m_nLastGlyphY; }
    window::ImageBase* getFontImage() const { return m_pFontImage; }
    window::ImageBase* getGlyphTable() const { return m_pGlyphTable; }

    // The native methods of hv.NewFontSprite.
    static const luaL_Reg* luaMethods();

private:
    // The glyph table's pixels, loading them when needed; null without a
    // table or when they cannot be read.
    const int32_t* glyphWords();
    // The record of the character code (a byte) in the table; false when the
    // table has none for it (codes below 32, or past the table's end).
    bool glyphOf(const int32_t* words, int code, Glyph& glyph) const;
    // Measures the text and gives the box its size.
    void layout();
    // The line's start offset for the alignment, from lineWidth(start).
    int lineOffset(int start);
    void setCursorIndex(int index);

    lang::String m_text;
    int m_nAlignment;
    window::ImageBase* m_pGlyphTable;
    int m_nCursorWidth;
    int m_nOverhang;
    int m_nKerning;
    int m_nLeading;
    int m_nWrapWidth;
    ColorWin32 m_cursorColor;
    bool m_bBlinkPhase;
    bool m_bTextGiven;
    bool m_bCursorShown;
    int m_nCursorIndex;
    bool m_bAlignLines;
    int m_nCursorBarWidth;
    int m_nLastGlyphX;
    int m_nLastGlyphY;
    window::ImageBase* m_pFontImage;
    bool m_bRevealing;
    bool m_bRevealPaused;
    int m_nRevealed;
};

} // namespace sprite
