// TextSprite.h: one line of text in a system font. The window's graphics
// draws no strings, so the sprite renders its text itself into a picture
// from the font's anti-aliased glyph bitmaps and draws that picture; only an
// outlined text, or one without its picture, goes through the graphics'
// string drawing.
#pragma once

#include "sprites/base/BoundsSprite.h"

namespace window {
class Font;
class FontMetrics;
class ImageBase;
} // namespace window

namespace sprite {

class TextSprite : public BoundsSprite {
public:
    // Frames between two flips of the cursor.
    static constexpr int BLINK_FRAMES = 20;

    // An empty text at 0, 0 whose position is its bottom-left corner, in the
    // font (a reference is kept; null: nothing shows) and the colours (null:
    // black text, white shadow). outlined: the text is drawn four times in
    // the shadow colour around its place; boxed: the box is filled in the
    // shadow colour behind it.
    TextSprite(window::Font* font, ColorWin32* textColour, ColorWin32* shadowColour, bool outlined, bool boxed);
    // Releases the rendered picture, the metrics and the font.
    ~TextSprite() override;

    HV_CLASS_NAME("TextSprite", BoundsSprite)
    HV_DECLARE_METACLASS(TextSprite);

    // drawText with the sprite's own text.
    void paint(window::Graphics* g) override;
    // Numbers 0, 1: left, top; 2: alignment.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    // Blinks the cursor, then the sprite tick.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // 2 pixels above the box's reported top once the box has a height.
    int top() override;
    // Visible, not empty, and a font is set.
    bool isShowing() override;
    // Drops the rendered picture; renders it again.
    void unloadImages() override;
    void loadImages() override;
    // Draws the text in the sprite's box: the rendered picture when there
    // is one, else through the graphics' string drawing.
    virtual void drawText(window::Graphics* g, const lang::String& text);

    // 0: the position is the box's bottom-left corner, 1: its bottom centre,
    // 2: its bottom-right corner; the position stays where it is.
    void setAlignment(int alignment);
    void setFont(window::Font* font);
    void setColors(ColorWin32* text, ColorWin32* shadow);
    void setText(const lang::String& text);
    // The "|" cursor after the text, with the width reserved for it.
    void setCursorShown(bool shown);
    void setCursorWidth(int width);

    const lang::String& getText() const { return m_text; }
    window::Font* getFont() const { return m_pFont; }
    window::FontMetrics* getMetrics() const { return m_pMetrics; }
    const ColorWin32& getTextColor() const { return m_textColor; }
    const ColorWin32& getShadowColor() const { return m_shadowColor; }
    int getAlignment() const { return m_nAlignment; }
    bool isCursorShown() const { return m_bCursorShown; }
    bool getCursorBlink() const { return m_bCursorBlink; }
    int getCursorWidth() const { return m_nCursorWidth; }
    // The rendered text, or null.
    window::ImageBase* getImage() const { return m_pImage; }

private:
    // The box from the text's extent in the font.
    void resize();
    // Renders the text into the picture (a new one when the size changed).
    void render();

    lang::String m_text;
    window::Font* m_pFont;
    window::FontMetrics* m_pMetrics;
    ColorWin32 m_textColor;
    ColorWin32 m_shadowColor;
    bool m_bOutlined;
    bool m_bBoxed;
    int m_nAlignment;
    bool m_bCursorShown;
    bool m_bCursorBlink;
    int m_nCursorWidth;
    window::ImageBase* m_pImage;
};

} // namespace sprite
