// NumberSprite.cpp: formatting a number into strip cells, the box it needs,
// drawing it right to left, and counting toward a target.
#include "sprites/text/NumberSprite.h"

#include "core/lang/System.h"
#include "sprites/base/DefinitionArgs.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/images/ImageBase.h"

#include <climits>
#include <cstdint>

namespace sprite {

HV_DEFINE_METACLASS_WITH(NumberSprite, MODE_PLAIN);

namespace {

bool s_separatorsRead = false;
int s_decimalCell = NumberSprite::CELL_POINT;
int s_thousandsCell = NumberSprite::CELL_COMMA;

int numberClampInt(int64_t value)
{
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : int(value);
}

bool isBlank(unsigned char c)
{
    return c == ' ' || c == 160;
}

} // namespace

void NumberSprite::readSeparators()
{
    char decimal[8] = {0};
    char thousands[8] = {0};
    lang::System::getDecimalSeparator(decimal, int(sizeof decimal));
    lang::System::getThousandsSeparator(thousands, int(sizeof thousands));
    unsigned char d = static_cast<unsigned char>(decimal[0]);
    unsigned char t = static_cast<unsigned char>(thousands[0]);
    s_decimalCell = isBlank(d) ? CELL_NONE : d == ',' ? CELL_COMMA : CELL_POINT;
    s_thousandsCell = isBlank(t) ? CELL_NONE : t == '.' ? CELL_POINT : CELL_COMMA;
    s_separatorsRead = true;
}

int NumberSprite::decimalCell()
{
    return s_decimalCell;
}

int NumberSprite::thousandsCell()
{
    return s_thousandsCell;
}

NumberSprite::NumberSprite(int mode) : NumberSprite(false, false)
{
    addMode(mode);
}

NumberSprite::NumberSprite(bool amount, bool digitsOnly)
    : BoundsSprite(0, 0, 0, 0),
      m_bSignedPlus(false),
      m_nTimeSeparatorHalfCells(2),
      m_nCountTarget(0),
      m_bCounting(false),
      m_nCountStep(0),
      m_pDigits(nullptr),
      m_nValue(0),
      m_nAlignment(0),
      m_bAmount(amount),
      m_bSuffix(false),
      m_bDigitsOnly(digitsOnly),
      m_nSpacing(0),
      m_bTime(false),
      m_nMinDigits(0),
      m_nHalfCells(0),
      m_nCellWidth(0)
{
    if (!s_separatorsRead)
        readSeparators();
}

NumberSprite::~NumberSprite()
{
    if (m_pDigits)
        m_pDigits->release();
}

void NumberSprite::addMode(int mode)
{
    switch (mode) {
    case MODE_DIGITS_ONLY:
        m_bDigitsOnly = true;
        break;
    case MODE_AMOUNT:
        m_bAmount = true;
        break;
    case MODE_TIME:
        m_bTime = true;
        break;
    case MODE_SIGNED_PLUS:
        m_bSignedPlus = true;
        break;
    case MODE_SUFFIX:
        m_bSuffix = true;
        break;
    default:
        break;
    }
}

bool NumberSprite::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    auto n = [params](int i) { return DefinitionArgs::number(params, i); };
    int count = DefinitionArgs::count(params);
    m_bCounting = false;
    setPosition(n(0), n(1));
    if (count >= 3)
        setAlignment(n(2));
    if (count >= 5)
        addMode(n(4));
    setSpacing(n(5));
    setMinDigits(n(6));
    setValue(n(3));
    setDigitsImage(DefinitionArgs::image(resources, 0));
    return true;
}

SpriteBase* NumberSprite::clone()
{
    NumberSprite* copy = new NumberSprite(m_bAmount, m_bDigitsOnly);
    // The size first, so that the copied position means the same box.
    copy->m_nWidth = m_nWidth;
    copy->m_nHeight = m_nHeight;
    copyStateTo(copy);
    copy->m_nValue = m_nValue;
    copy->m_nHalfCells = m_nHalfCells;
    copy->m_nMinDigits = m_nMinDigits;
    copy->m_nAlignment = m_nAlignment;
    copy->m_nSpacing = m_nSpacing;
    copy->m_bSignedPlus = m_bSignedPlus;
    copy->m_bSuffix = m_bSuffix;
    copy->m_bTime = m_bTime;
    copy->m_nTimeSeparatorHalfCells = m_nTimeSeparatorHalfCells;
    copy->m_nCellWidth = m_nCellWidth;
    copy->m_nCountTarget = m_nCountTarget;
    copy->m_bCounting = m_bCounting;
    copy->m_nCountStep = m_nCountStep;
    if (m_pDigits)
        m_pDigits->addRef();
    copy->m_pDigits = m_pDigits;
    return copy;
}

void NumberSprite::setDigitsImage(window::ImageBase* image)
{
    if (image != m_pDigits) {
        if (image)
            image->addRef();
        if (m_pDigits)
            m_pDigits->release();
        m_pDigits = image;
        m_nCellWidth = image ? image->getWidth() / (m_bDigitsOnly ? 10 : 15) : 0;
    }
    resize();
    if (m_bVisible)
        m_bDirty = true;
}

void NumberSprite::setSpacing(int spacing)
{
    if (spacing == m_nSpacing)
        return;
    m_nSpacing = spacing;
    resize();
}

void NumberSprite::setMinDigits(int digits)
{
    m_nMinDigits = digits < 0 ? 0 : digits > kMaxDigits ? kMaxDigits : digits;
}

void NumberSprite::setTimeSeparatorHalfCells(int halfCells)
{
    m_nTimeSeparatorHalfCells = halfCells;
}

void NumberSprite::setAlignment(int alignment)
{
    static const int anchors[3] = {ANCHOR_LEFT | ANCHOR_TOP, ANCHOR_CENTER_X | ANCHOR_TOP, ANCHOR_RIGHT | ANCHOR_TOP};
    int oldLeft = left();
    m_nAlignment = alignment;
    m_nAnchor = alignment >= 0 && alignment <= 2 ? anchors[alignment] : anchors[0];
    movePosition(oldLeft - left(), 0);
}

void NumberSprite::setValue(int n)
{
    if (m_bTime) {
        int64_t rest = n;
        int64_t hours = 0, minutes = 0;
        if (rest >= 3600) {
            hours = rest / 3600;
            rest -= hours * 3600;
        }
        if (rest >= 60) {
            minutes = rest / 60;
            rest -= minutes * 60;
        }
        m_nValue = numberClampInt(hours * 10000 + minutes * 100 + rest);
    } else {
        m_nValue = n;
    }
    measure();
    resize();
    if (m_bVisible)
        m_bDirty = true;
}

int NumberSprite::countedValue() const
{
    if (!m_bTime || m_nValue < 0)
        return m_nValue;
    int64_t v = m_nValue;
    return numberClampInt(v / 10000 * 3600 + v / 100 % 100 * 60 + v % 100);
}

void NumberSprite::countTo(int n)
{
    if (n == countedValue())
        return;
    m_nCountTarget = n;
    m_bCounting = true;
    m_nCountStep = 1;
}

bool NumberSprite::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (m_bCounting) {
        // In the time format the count runs in seconds, so that each step
        // lands on a time and the target is approached from either side.
        int64_t current = countedValue();
        int64_t target = m_nCountTarget;
        if (target > current) {
            // A step still pointing down (the count turned) starts again at 1.
            int64_t step = m_nCountStep < 1 ? 1 : m_nCountStep;
            while (current + step > target)
                step /= 2;
            if (step == 0)
                step = 1;
            setValue(numberClampInt(current + step));
            m_nCountStep = numberClampInt(step + step / 5 + 1);
        } else if (target < current) {
            int64_t step = m_nCountStep > -1 ? -1 : m_nCountStep;
            while (current + step < target)
                step /= 2;
            if (step == 0)
                step = -1;
            setValue(numberClampInt(current + step));
            m_nCountStep = numberClampInt(step - step / 5 - 1);
        } else {
            m_bCounting = false;
        }
    }
    return BoundsSprite::tick(frame, boundsOut, region);
}

bool NumberSprite::isShowing()
{
    return BoundsSprite::isShowing() && m_pDigits != nullptr;
}

void NumberSprite::unloadImages()
{
    // A strip without a name could not be read back: it keeps its pixels.
    if (m_pDigits && !m_pDigits->getName().isEmpty())
        m_pDigits->freePixels();
}

void NumberSprite::loadImages()
{
    if (m_pDigits)
        m_pDigits->load();
}

void NumberSprite::measure()
{
    const int64_t v = m_nValue;
    const int64_t magnitude = v < 0 ? -v : v;
    int digits = 1;
    for (int64_t rest = magnitude; rest >= 10; rest /= 10)
        ++digits;
    const int shown = digits > m_nMinDigits ? digits : m_nMinDigits;
    int hc = 2 * shown;
    // The half cells of exactly what paint draws: the amount's arithmetic
    // runs on the magnitude (the minus goes in front of it), a sign symbol
    // comes on top of the separators of the digits, and a time has a
    // separator between every two digit pairs.
    if (m_bAmount) {
        int t = hc + (hc - 6) / 6;
        if (magnitude % 100 != 0)
            hc = magnitude < 10 ? t + 5 : t + 3;
        else if (magnitude != 0)
            hc = t - 2;
        else
            hc = t + 2;
    } else {
        if (m_bTime)
            hc += (shown - 1) / 2 * m_nTimeSeparatorHalfCells;
        else if (!m_bDigitsOnly)
            hc += (hc - 2) / 6;
        if (m_bSuffix || (m_bSignedPlus && m_nValue > 0))
            hc += 2;
    }
    if (m_nValue < 0 && !m_bDigitsOnly)
        hc += 2;
    m_nHalfCells = hc;
}

void NumberSprite::resize()
{
    int64_t hc = m_nHalfCells;
    int64_t w = (int64_t(m_nCellWidth) * hc + 1) / 2;
    if (hc >= 4)
        w -= ((hc - 2) * m_nSpacing) / 2;
    if (w < 0)
        w = 0;
    setSize(numberClampInt(w), m_pDigits ? m_pDigits->getHeight() : 0);
}

void NumberSprite::drawCell(window::Graphics* g, int k, int x, int y, bool half)
{
    util::RectangleNM cell(k * m_nCellWidth, 0, half ? m_nCellWidth / 2 : m_nCellWidth, m_pDigits->getHeight());
    g->drawImageAt(m_pDigits, x, y, &cell, 1.0, 1.0, 0.0, 0);
}

void NumberSprite::paint(window::Graphics* g)
{
    if (!m_pDigits)
        return;
    g->translate(m_nX, m_nY);
    g->rotate(m_dRotation);
    g->scale(m_dScaleX, m_dScaleY);
    g->setImageColor(m_colorBalance);

    const int cw = m_nCellWidth;
    const int w = width();
    const int y = -(height() >> 1);
    int pen = w - (w >> 1);
    int count = 0;
    int64_t v = m_nValue < 0 ? -int64_t(m_nValue) : int64_t(m_nValue);
    if (m_bAmount && v > 99 && v % 100 == 0) {
        v /= 100;
        count = 3;
    }
    if (m_bSuffix) {
        drawCell(g, CELL_SIGN, pen - cw, y, false);
        pen = pen - cw + m_nSpacing;
    }
    for (;;) {
        int d = int(v % 10);
        v /= 10;
        drawCell(g, m_bDigitsOnly ? d : CELL_DIGITS + d, pen - cw, y, false);
        pen = pen - cw + m_nSpacing;
        ++count;
        if (!m_bTime) {
            if (m_bAmount && count == 2) {
                pen -= cw / 2;
                if (s_decimalCell != CELL_NONE)
                    drawCell(g, s_decimalCell, pen, y, true);
                pen += (m_nSpacing + 1) >> 1;
                count = 3;
            } else if (count % 3 == 0 && !m_bDigitsOnly && (v > 0 || count < m_nMinDigits)) {
                pen -= (cw + 1) >> 1;
                if (s_thousandsCell != CELL_NONE)
                    drawCell(g, s_thousandsCell, pen, y, true);
                pen += (m_nSpacing + 1) >> 1;
                if (cw & 1)
                    pen += 1;
            }
        } else if (count % 2 == 0 && (v > 0 || count < m_nMinDigits)) {
            int separator = m_nTimeSeparatorHalfCells == 1 ? (cw + 1) >> 1 : cw;
            util::RectangleNM cell(CELL_TIME_SEPARATOR * cw, 0, separator, m_pDigits->getHeight());
            g->drawImageAt(m_pDigits, pen - separator, y, &cell, 1.0, 1.0, 0.0, 0);
            pen = pen - separator + m_nSpacing;
        }
        if (!(v > 0 || (m_bAmount && count < 3 && m_nValue != 0) || count < m_nMinDigits))
            break;
    }
    if (m_bAmount || (m_bSignedPlus && m_nValue > 0)) {
        drawCell(g, CELL_SIGN, pen - cw, y, false);
        pen = pen - cw + m_nSpacing;
    }
    if (m_nValue < 0 && !m_bDigitsOnly)
        drawCell(g, CELL_MINUS, pen - cw, y, false);
}

} // namespace sprite
