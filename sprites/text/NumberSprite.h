// NumberSprite.h: an integer drawn from a strip of digit pictures: plain
// digits, a number with thousands separators, an amount in hundredths, a
// clock time, or a number with a sign symbol; shown at once or counted toward
// over the following frames, faster the longer the way.
#pragma once

#include "sprites/base/BoundsSprite.h"

namespace window {
class ImageBase;
}

namespace sprite {

class NumberSprite : public BoundsSprite {
public:
    // Formats (the constructor's mode, or number 4 of a definition).
    static constexpr int MODE_PLAIN = 0;       // thousands separators, minus sign
    static constexpr int MODE_DIGITS_ONLY = 1; // 10-cell strip, digits only
    static constexpr int MODE_AMOUNT = 2;      // hundredths, with the sign symbol in front
    static constexpr int MODE_TIME = 3;        // seconds shown as h:mm:ss
    static constexpr int MODE_SIGNED_PLUS = 4; // the sign symbol in front of positive values
    static constexpr int MODE_SUFFIX = 5;      // the sign symbol after the digits

    // Cells of the full 15-cell strip; the digits of a digits-only strip are
    // cells 0 to 9.
    static constexpr int CELL_TIME_SEPARATOR = 0;
    static constexpr int CELL_MINUS = 1;
    static constexpr int CELL_SIGN = 2;
    static constexpr int CELL_COMMA = 3;
    static constexpr int CELL_POINT = 4;
    static constexpr int CELL_DIGITS = 5;
    // The separator cell when the user's format separates with a space.
    static constexpr int CELL_NONE = -1;

    // Leading zeros beyond this many digits are not shown.
    static constexpr int kMaxDigits = 64;

    // An empty box at 0, 0 with the mode's format and no strip.
    explicit NumberSprite(int mode);
    // The plain format with the amount and digits-only flags as given.
    NumberSprite(bool amount, bool digitsOnly);
    // Releases the strip.
    ~NumberSprite() override;

    HV_CLASS_NAME("NumberSprite", BoundsSprite)
    HV_DECLARE_METACLASS(NumberSprite);

    // Draws the number right to left, flush with the right of the box.
    void paint(window::Graphics* g) override;
    // Image 0: the strip. Numbers 0, 1: left, top; 2: alignment; 3: the
    // value; 4: a mode (1-5) whose format is added; 5: spacing; 6: digits
    // always shown.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    SpriteBase* clone() override;
    // One step of the count toward the target, then the sprite tick.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Visible, not empty, and a strip is set.
    bool isShowing() override;
    // Frees the strip's pixels; loads them back.
    void unloadImages() override;
    void loadImages() override;
    // Shows n (in the time format, n seconds) at once.
    virtual void setValue(int n);
    // Counts toward n over the following frames (in the time format, n seconds).
    virtual void countTo(int n);

    // The strip (a reference is kept); null removes it.
    void setDigitsImage(window::ImageBase* image);
    // Pixels by which each cell is drawn closer to the one before it.
    void setSpacing(int spacing);
    // 0: the position is the box's top-left corner, 1: its top centre, 2: its
    // top-right corner; the position stays where it is.
    void setAlignment(int alignment);
    // Adds the format of mode 1 to 5 to those already set.
    void addMode(int mode);
    void setMinDigits(int digits);
    // 2: the time separator is one cell wide, 1: half a cell.
    void setTimeSeparatorHalfCells(int halfCells);

    int getValue() const { return m_nValue; }
    bool isCounting() const { return m_bCounting; }
    int getCountTarget() const { return m_nCountTarget; }
    int getCountStep() const { return m_nCountStep; }
    int getHalfCells() const { return m_nHalfCells; }
    int getCellWidth() const { return m_nCellWidth; }
    int getSpacing() const { return m_nSpacing; }
    int getAlignment() const { return m_nAlignment; }
    int getMinDigits() const { return m_nMinDigits; }
    window::ImageBase* getDigitsImage() const { return m_pDigits; }

    // The strip cells of the user's decimal and thousands separators
    // (CELL_COMMA, CELL_POINT or CELL_NONE), worked out when the first
    // NumberSprite is made.
    static int decimalCell();
    static int thousandsCell();
    // Works the two cells out (again) from the text items or the locale.
    static void readSeparators();

private:
    // Half cells of the formatted value.
    void measure();
    // The box from the half cells, the cell width and the spacing.
    void resize();
    // Draws cell k (whole, or its left half) with its top-left at (x, y).
    void drawCell(window::Graphics* g, int k, int x, int y, bool half);
    // The shown value as the count runs: seconds in the time format.
    int countedValue() const;

    bool m_bSignedPlus;
    int m_nTimeSeparatorHalfCells;
    int m_nCountTarget;
    bool m_bCounting;
    int m_nCountStep;
    window::ImageBase* m_pDigits;
    int m_nValue;
    int m_nAlignment;
    bool m_bAmount;
    bool m_bSuffix;
    bool m_bDigitsOnly;
    int m_nSpacing;
    bool m_bTime;
    int m_nMinDigits;
    int m_nHalfCells;
    int m_nCellWidth;
};

} // namespace sprite
