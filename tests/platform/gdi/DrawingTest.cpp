// Drawing into DIB sections, read back and compared with hand-worked pixels.
#include "Dib.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

using gditest::Dib;

namespace {

const uint32_t kBlank = 0xFF000000u;

typedef std::vector<std::pair<int, int>> Points;

void CALLBACK collect(int x, int y, LPARAM data)
{
    reinterpret_cast<Points*>(data)->push_back({x, y});
}

Points ddaPoints(int x1, int y1, int x2, int y2)
{
    Points points;
    LineDDA(x1, y1, x2, y2, collect, reinterpret_cast<LPARAM>(&points));
    return points;
}

TEST(Drawing, LineDdaStepsTheLongAxisAndLeavesOutTheEnd)
{
    EXPECT_EQ(ddaPoints(0, 0, 6, 2), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}));
    EXPECT_EQ(ddaPoints(6, 2, 0, 0), (Points{{6, 2}, {5, 2}, {4, 1}, {3, 1}, {2, 1}, {1, 0}}));
    EXPECT_EQ(ddaPoints(0, 0, 2, 5), (Points{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}}));
    EXPECT_EQ(ddaPoints(3, 7, 3, 4), (Points{{3, 7}, {3, 6}, {3, 5}}));
    EXPECT_EQ(ddaPoints(-2, 1, 1, -2), (Points{{-2, 1}, {-1, 0}, {0, -1}}));
    EXPECT_TRUE(ddaPoints(4, 4, 4, 4).empty());
    EXPECT_FALSE(LineDDA(0, 0, 1, 1, nullptr, 0));
}

TEST(Drawing, DibSectionRowsFollowTheHeightSign)
{
    for (bool topDown : {true, false}) {
        Dib dib(4, 3, topDown);
        EXPECT_EQ(SetPixel(dib.dc, 1, 0, RGB(255, 0, 0)), RGB(255, 0, 0));
        // The pixel is 0x00RRGGBB: GDI's colour order reversed and alpha 0.
        size_t topRow = topDown ? 0 : 2;
        EXPECT_EQ(dib.bits[topRow * 4 + 1], 0x00FF0000u) << "topDown " << topDown;
        EXPECT_EQ(GetPixel(dib.dc, 1, 0), RGB(255, 0, 0));
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(dib.bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmBits, dib.bits);
        EXPECT_EQ(ds.dsBm.bmWidth, 4);
        EXPECT_EQ(ds.dsBm.bmHeight, 3);
        EXPECT_EQ(ds.dsBm.bmWidthBytes, 16);
        EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
        EXPECT_EQ(ds.dsBmih.biHeight, topDown ? -3 : 3);
        BITMAP bm{};
        ASSERT_EQ(GetObjectA(dib.bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
        EXPECT_EQ(bm.bmWidth, 4);
        EXPECT_EQ(bm.bmHeight, 3);
    }
}

TEST(Drawing, DibSectionRefusesWhatItCannotHold)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = -4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biWidth = 0;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info.bmiHeader.biWidth = 1 << 16;
    info.bmiHeader.biHeight = -(1 << 16);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(Drawing, FillRectKeepsToTheClip)
{
    Dib dib(10, 10);
    IntersectClipRect(dib.dc, 2, 2, 8, 8);
    ExcludeClipRect(dib.dc, 4, 4, 6, 6);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    RECT all{0, 0, 10, 10};
    EXPECT_TRUE(FillRect(dib.dc, &all, brush));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inClip = x >= 2 && x < 8 && y >= 2 && y < 8 && !(x >= 4 && x < 6 && y >= 4 && y < 6);
            EXPECT_EQ(dib.at(x, y), inClip ? 0x00010203u : kBlank) << x << "," << y;
        }
    DeleteObject(brush);
}

TEST(Drawing, OnePixelLinesMatchLineDdaAndLeaveOutTheEnd)
{
    Dib dib(12, 8);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
    HGDIOBJ old = SelectObject(dib.dc, pen);
    POINT before;
    MoveToEx(dib.dc, 1, 1, nullptr);
    EXPECT_TRUE(LineTo(dib.dc, 10, 4));
    GetCurrentPositionEx(dib.dc, &before);
    EXPECT_EQ(before.x, 10);
    EXPECT_EQ(before.y, 4);
    std::set<std::pair<int, int>> expected;
    for (auto& p : ddaPoints(1, 1, 10, 4))
        expected.insert(p);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(dib.at(x, y), expected.count({x, y}) ? 0x0000FF00u : kBlank) << x << "," << y;
    SelectObject(dib.dc, old);
    DeleteObject(pen);
}

TEST(Drawing, XorPenTogglesEveryPixelOfAPolylineOnce)
{
    Dib dib(10, 10, true, 0);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    SelectObject(dib.dc, pen);
    EXPECT_EQ(SetROP2(dib.dc, R2_XORPEN), R2_COPYPEN);
    POINT path[] = {{1, 1}, {6, 1}, {6, 7}};
    EXPECT_TRUE(Polyline(dib.dc, path, 3));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool on = (y == 1 && x >= 1 && x <= 6) || (x == 6 && y >= 1 && y < 7);
            EXPECT_EQ(dib.at(x, y), on ? 0x00FFFFFFu : 0u) << x << "," << y;
        }
    // Drawn again, XOR gives the background back.
    Polyline(dib.dc, path, 3);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(dib.bits[i], 0u);
    SelectObject(dib.dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(Drawing, WidePensDrawBothEnds)
{
    Dib dib(12, 12);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 255));
    SelectObject(dib.dc, pen);
    MoveToEx(dib.dc, 2, 5, nullptr);
    LineTo(dib.dc, 7, 5);
    // A 3-pixel stamp centred on every point from x = 2 to 7 inclusive.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            bool on = x >= 1 && x <= 8 && y >= 4 && y <= 6;
            EXPECT_EQ(dib.at(x, y), on ? 0x000000FFu : kBlank) << x << "," << y;
        }
    SelectObject(dib.dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(Drawing, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    Dib dib(8, 7);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    SelectObject(dib.dc, pen);
    SelectObject(dib.dc, brush);
    EXPECT_TRUE(Rectangle(dib.dc, 1, 1, 6, 5));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 8; ++x) {
            bool inside = x >= 1 && x < 6 && y >= 1 && y < 5;
            bool edge = inside && (x == 1 || x == 5 || y == 1 || y == 4);
            uint32_t want = !inside ? kBlank : edge ? 0x00FF0000u : 0x000000FFu;
            EXPECT_EQ(dib.at(x, y), want) << x << "," << y;
        }
    // With the null pen the fill is a pixel smaller to the right and bottom.
    Dib plain(8, 7);
    SelectObject(plain.dc, GetStockObject(NULL_PEN));
    SelectObject(plain.dc, brush);
    Rectangle(plain.dc, 1, 1, 6, 5);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(plain.at(x, y), (x >= 1 && x < 5 && y >= 1 && y < 4) ? 0x000000FFu : kBlank) << x << "," << y;
    SelectObject(dib.dc, GetStockObject(BLACK_PEN));
    SelectObject(dib.dc, GetStockObject(WHITE_BRUSH));
    SelectObject(plain.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST(Drawing, EllipseStaysInItsBoxAndIsSymmetric)
{
    Dib dib(13, 13);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    SelectObject(dib.dc, pen);
    SelectObject(dib.dc, brush);
    EXPECT_TRUE(Ellipse(dib.dc, 1, 1, 12, 12));
    EXPECT_EQ(dib.at(6, 6), 0x000000FFu);
    EXPECT_EQ(dib.at(1, 6), 0x00FF0000u);
    EXPECT_EQ(dib.at(11, 6), 0x00FF0000u);
    EXPECT_EQ(dib.at(6, 1), 0x00FF0000u);
    EXPECT_EQ(dib.at(6, 11), 0x00FF0000u);
    EXPECT_EQ(dib.at(1, 1), kBlank);
    EXPECT_EQ(dib.at(11, 11), kBlank);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x) {
            if (x == 0 || y == 0 || x == 12 || y == 12) {
                EXPECT_EQ(dib.at(x, y), kBlank) << x << "," << y;
            }
            EXPECT_EQ(dib.at(x, y), dib.at(12 - x, y)) << x << "," << y;
            EXPECT_EQ(dib.at(x, y), dib.at(x, 12 - y)) << x << "," << y;
        }
    SelectObject(dib.dc, GetStockObject(BLACK_PEN));
    SelectObject(dib.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST(Drawing, PolygonFillModesDifferOnAStar)
{
    // A five-pointed star drawn in one stroke: its centre is wound twice.
    POINT star[] = {{50, 5}, {76, 86}, {7, 36}, {93, 36}, {24, 86}};
    for (int mode : {ALTERNATE, WINDING}) {
        Dib dib(100, 100);
        SelectObject(dib.dc, GetStockObject(NULL_PEN));
        SelectObject(dib.dc, GetStockObject(WHITE_BRUSH));
        SetPolyFillMode(dib.dc, mode);
        EXPECT_TRUE(Polygon(dib.dc, star, 5));
        EXPECT_EQ(dib.at(50, 50), mode == WINDING ? 0x00FFFFFFu : kBlank);
        EXPECT_EQ(dib.at(50, 20), 0x00FFFFFFu) << "a point of the star";
        EXPECT_EQ(dib.at(5, 5), kBlank);
    }
    // A square polygon fills the pixels whose centres it holds.
    Dib dib(6, 6);
    SelectObject(dib.dc, GetStockObject(NULL_PEN));
    SelectObject(dib.dc, GetStockObject(WHITE_BRUSH));
    POINT square[] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}};
    Polygon(dib.dc, square, 4);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dib.at(x, y), (x >= 1 && x < 4 && y >= 1 && y < 4) ? 0x00FFFFFFu : kBlank) << x << "," << y;
}

uint32_t sourcePattern(int x, int y) { return 0x7F000000u | (uint32_t(x) << 16) | (uint32_t(y) << 8) | 0x80u; }

TEST(Drawing, BitBltCopiesBetweenDibsOfEitherRowOrder)
{
    for (bool sourceTopDown : {true, false}) {
        Dib src(8, 8, sourceTopDown);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                src.at(x, y) = sourcePattern(x, y);
        Dib dst(10, 10);
        EXPECT_TRUE(BitBlt(dst.dc, 2, 3, 4, 4, src.dc, 1, 1, SRCCOPY));
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                bool copied = x >= 2 && x < 6 && y >= 3 && y < 7;
                // SRCCOPY moves all 32 bits, alpha included.
                EXPECT_EQ(dst.at(x, y), copied ? sourcePattern(x - 1, y - 2) : kBlank) << x << "," << y;
            }
    }
}

TEST(Drawing, BitBltHonoursClipAndSourceEdges)
{
    Dib src(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            src.at(x, y) = sourcePattern(x, y);
    Dib dst(8, 8);
    IntersectClipRect(dst.dc, 0, 0, 8, 3);
    // The source rectangle runs off the source's right edge and the clip cuts rows 3 and below.
    BitBlt(dst.dc, 1, 1, 6, 4, src.dc, 1, 0, SRCCOPY);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool copied = x >= 1 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(dst.at(x, y), copied ? sourcePattern(x, y - 1) : kBlank) << x << "," << y;
        }
}

TEST(Drawing, BitBltWithinOneDibReadsTheOriginalPixels)
{
    Dib dib(6, 1);
    for (int x = 0; x < 6; ++x)
        dib.at(x, 0) = uint32_t(x + 1);
    BitBlt(dib.dc, 1, 0, 5, 1, dib.dc, 0, 0, SRCCOPY);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(dib.at(x, 0), uint32_t(x == 0 ? 1 : x));
}

TEST(Drawing, StretchBltRepeatsAndMirrors)
{
    Dib src(2, 2);
    src.at(0, 0) = 1;
    src.at(1, 0) = 2;
    src.at(0, 1) = 3;
    src.at(1, 1) = 4;
    Dib dst(4, 4);
    EXPECT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dst.at(x, y), uint32_t(1 + (x / 2) + 2 * (y / 2))) << x << "," << y;
    Dib mirrored(2, 1);
    StretchBlt(mirrored.dc, 2, 0, -2, 1, src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(mirrored.at(0, 0), 2u);
    EXPECT_EQ(mirrored.at(1, 0), 1u);
}

TEST(Drawing, PatBltAppliesTheBrushAndRasterOperation)
{
    Dib dib(4, 2, true, 0x12345678u);
    HBRUSH brush = CreateSolidBrush(RGB(0x10, 0x20, 0x30));
    SelectObject(dib.dc, brush);
    EXPECT_TRUE(PatBlt(dib.dc, 0, 0, 2, 1, PATCOPY));
    EXPECT_TRUE(PatBlt(dib.dc, 2, 0, 2, 1, DSTINVERT));
    EXPECT_TRUE(PatBlt(dib.dc, 0, 1, 1, 1, BLACKNESS));
    EXPECT_TRUE(PatBlt(dib.dc, 1, 1, 1, 1, WHITENESS));
    EXPECT_TRUE(PatBlt(dib.dc, 3, 1, -1, 1, PATINVERT)); // a negative width reaches left
    EXPECT_EQ(dib.at(0, 0), 0x00102030u);
    EXPECT_EQ(dib.at(1, 0), 0x00102030u);
    EXPECT_EQ(dib.at(2, 0), ~0x12345678u);
    EXPECT_EQ(dib.at(0, 1), 0u);
    EXPECT_EQ(dib.at(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(dib.at(2, 1), 0x12345678u ^ 0x00102030u);
    EXPECT_EQ(dib.at(3, 1), 0x12345678u);
    SelectObject(dib.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

TEST(Drawing, PixelsOutsideTheDrawableAreaAreRefused)
{
    Dib dib(4, 4);
    EXPECT_EQ(SetPixel(dib.dc, 4, 0, RGB(1, 1, 1)), CLR_INVALID);
    EXPECT_EQ(SetPixel(dib.dc, -1, 0, RGB(1, 1, 1)), CLR_INVALID);
    EXPECT_EQ(GetPixel(dib.dc, 0, 4), CLR_INVALID);
    IntersectClipRect(dib.dc, 0, 0, 2, 2);
    EXPECT_EQ(SetPixel(dib.dc, 2, 2, RGB(1, 1, 1)), CLR_INVALID);
    EXPECT_EQ(dib.at(2, 2), kBlank);
    EXPECT_TRUE(SetPixelV(dib.dc, 1, 1, RGB(9, 8, 7)));
    EXPECT_EQ(dib.at(1, 1), 0x00090807u);
}

TEST(Drawing, AContextWithoutPixelsDrawsNothingAndSucceeds)
{
    HDC dc = CreateCompatibleDC(nullptr);
    RECT r{0, 0, 10, 10};
    EXPECT_TRUE(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    EXPECT_TRUE(Ellipse(dc, 0, 0, 5, 5));
    MoveToEx(dc, 0, 0, nullptr);
    EXPECT_TRUE(LineTo(dc, 5, 5));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(dc, 0, 0, 0), CLR_INVALID);
    DeleteDC(dc);
}

TEST(Drawing, ExtremeCoordinatesAreCutToTheSurface)
{
    Dib dib(6, 6);
    SelectObject(dib.dc, GetStockObject(NULL_PEN));
    SelectObject(dib.dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(Rectangle(dib.dc, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    for (int i = 0; i < 36; ++i)
        ASSERT_EQ(dib.bits[i], 0x00FFFFFFu);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    SelectObject(dib.dc, pen);
    MoveToEx(dib.dc, -1000000000, 2, nullptr);
    EXPECT_TRUE(LineTo(dib.dc, 1000000000, 2));
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(dib.at(x, 2), 0u) << x;
    EXPECT_EQ(dib.at(0, 1), 0x00FFFFFFu);
    MoveToEx(dib.dc, INT32_MIN, INT32_MIN, nullptr);
    EXPECT_TRUE(LineTo(dib.dc, INT32_MAX, INT32_MAX));
    EXPECT_TRUE(Ellipse(dib.dc, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    POINT huge[] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}};
    EXPECT_TRUE(Polygon(dib.dc, huge, 3));
    Dib src(2, 2);
    EXPECT_TRUE(StretchBlt(dib.dc, INT32_MIN, INT32_MIN, -1, INT32_MAX, src.dc, INT32_MAX, 0, INT32_MIN, 2, SRCCOPY));
    HPEN wide = CreatePen(PS_SOLID, 4, RGB(0, 0, 0));
    SelectObject(dib.dc, wide);
    MoveToEx(dib.dc, INT32_MAX, INT32_MIN, nullptr);
    EXPECT_TRUE(LineTo(dib.dc, INT32_MIN, INT32_MAX));
    EXPECT_TRUE(Rectangle(dib.dc, INT32_MAX, INT32_MAX, INT32_MAX - 1, INT32_MAX - 1));
    SelectObject(dib.dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
    DeleteObject(wide);
}

} // namespace
