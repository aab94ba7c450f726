// Device contexts: object selection, saved states, clipping, device caps and window contexts.
#include "Dib.h"

#include "platform/gdi/WindowDC.h"

#include <gtest/gtest.h>

using gditest::Dib;

namespace {

HBITMAP makeDib(int w, int h)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

TEST(DeviceContext, SelectObjectReturnsThePreviousObjectOfItsKind)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen1 = CreatePen(PS_SOLID, 1, RGB(1, 0, 0));
    HPEN pen2 = CreatePen(PS_DASH, 2, RGB(2, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(3, 0, 0));
    HFONT font = CreateFontA(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, 0, "Arial");
    HBITMAP bitmap = makeDib(2, 2);

    EXPECT_EQ(SelectObject(dc, pen1), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, pen2), pen1);
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
    HGDIOBJ placeholder = SelectObject(dc, bitmap);
    ASSERT_NE(placeholder, nullptr);
    BITMAP bm{};
    GetObjectA(placeholder, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen2);
    // A region becomes the clip region; SelectObject then returns its complexity.
    HRGN rgn = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(SelectObject(dc, rgn), reinterpret_cast<HGDIOBJ>(SIMPLEREGION));
    EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(0x1234)), nullptr);

    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), pen2);
    EXPECT_EQ(SelectObject(dc, placeholder), bitmap);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    for (HGDIOBJ o : {(HGDIOBJ)pen1, (HGDIOBJ)pen2, (HGDIOBJ)brush, (HGDIOBJ)font, (HGDIOBJ)bitmap, (HGDIOBJ)rgn})
        EXPECT_TRUE(DeleteObject(o));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(DeviceContext, ABitmapLivesInOneContextAtATime)
{
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = makeDib(3, 3);
    HGDIOBJ old = SelectObject(a, bitmap);
    EXPECT_EQ(SelectObject(b, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap)) << "its pixels are in use";
    SelectObject(a, old);
    HGDIOBJ oldB = SelectObject(b, bitmap);
    EXPECT_NE(oldB, nullptr);
    // Deleting the context gives the bitmap free.
    DeleteDC(b);
    EXPECT_TRUE(DeleteObject(bitmap));
    DeleteDC(a);
}

TEST(DeviceContext, StockObjectsSurviveDeletion)
{
    HGDIOBJ brush = GetStockObject(NULL_BRUSH);
    ASSERT_NE(brush, nullptr);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetStockObject(NULL_BRUSH), brush);
    EXPECT_EQ(GetStockObject(999), nullptr);
    for (int i : {WHITE_BRUSH, BLACK_BRUSH, NULL_PEN, BLACK_PEN, SYSTEM_FONT, DEFAULT_PALETTE, DEFAULT_GUI_FONT})
        EXPECT_NE(GetStockObject(i), nullptr) << i;
    EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_PALETTE)), static_cast<DWORD>(OBJ_PAL));
}

TEST(DeviceContext, GetObjectDescribesPensBrushesAndFonts)
{
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
    LOGPEN lp{};
    EXPECT_EQ(GetObjectA(pen, 0, nullptr), static_cast<int>(sizeof lp));
    ASSERT_EQ(GetObjectA(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    LOGBRUSH lb{};
    GetObjectA(brush, sizeof lb, &lb);
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, RGB(4, 5, 6));
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_BOLD, 1, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Some Face");
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_STREQ(lf.lfFaceName, "Some Face");
    EXPECT_EQ(GetObjectA(pen, 2, &lp), 0) << "a buffer too small is refused";
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteObject(font);
}

TEST(DeviceContext, RestoreDcReturnsToSavedStates)
{
    Dib dib(8, 8);
    HDC dc = dib.dc;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    SetTextColor(dc, RGB(1, 1, 1));
    EXPECT_EQ(SaveDC(dc), 1);
    SetTextColor(dc, RGB(2, 2, 2));
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, pen);
    IntersectClipRect(dc, 0, 0, 4, 4);
    EXPECT_EQ(SaveDC(dc), 2);
    SetTextColor(dc, RGB(3, 3, 3));
    SelectClipRgn(dc, nullptr);

    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetTextColor(dc), RGB(2, 2, 2));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 4);

    EXPECT_TRUE(RestoreDC(dc, 1));
    EXPECT_EQ(GetTextColor(dc), RGB(1, 1, 1));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, rgn), 0);
    EXPECT_FALSE(RestoreDC(dc, 1)) << "that state was used up";
    EXPECT_FALSE(RestoreDC(dc, -1));
    DeleteObject(rgn);
    DeleteObject(pen);
}

TEST(DeviceContext, RestoreDcBringsBackTheSelectedBitmap)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP first = makeDib(2, 2), second = makeDib(3, 3);
    HGDIOBJ placeholder = SelectObject(dc, first);
    int level = SaveDC(dc);
    SelectObject(dc, second);
    EXPECT_FALSE(DeleteObject(second));
    EXPECT_TRUE(RestoreDC(dc, level));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), first);
    EXPECT_TRUE(DeleteObject(second)) << "no longer selected after the restore";
    SelectObject(dc, placeholder);
    DeleteObject(first);
    DeleteDC(dc);
}

TEST(DeviceContext, ClipRegionIsTheApplicationsOwnAndBoundedForDrawing)
{
    Dib dib(20, 10);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    RECT box;
    EXPECT_EQ(GetClipRgn(dib.dc, rgn), 0);
    EXPECT_EQ(GetClipBox(dib.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 10);

    EXPECT_EQ(IntersectClipRect(dib.dc, 5, 5, 30, 30), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(dib.dc, rgn), 1);
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.right, 30) << "the clip region itself is not cut to the surface";
    GetClipBox(dib.dc, &box);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 5);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 10);

    EXPECT_EQ(ExcludeClipRect(dib.dc, 8, 6, 10, 8), COMPLEXREGION);
    EXPECT_EQ(OffsetClipRgn(dib.dc, -5, -5), COMPLEXREGION);
    GetClipRgn(dib.dc, rgn);
    EXPECT_TRUE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, 3, 1));

    // SelectClipRgn copies: changing the region afterwards leaves the clip.
    HRGN source = CreateRectRgn(1, 1, 3, 3);
    EXPECT_EQ(SelectClipRgn(dib.dc, source), SIMPLEREGION);
    SetRectRgn(source, 0, 0, 20, 10);
    GetClipBox(dib.dc, &box);
    EXPECT_EQ(box.right, 3);
    EXPECT_EQ(IntersectClipRect(dib.dc, 10, 10, 12, 12), NULLREGION);
    EXPECT_EQ(SelectClipRgn(dib.dc, nullptr), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(dib.dc, rgn), 0);
    // Without a clip region, ExcludeClipRect starts from the whole surface.
    EXPECT_EQ(ExcludeClipRect(dib.dc, 0, 0, 20, 5), SIMPLEREGION);
    GetClipBox(dib.dc, &box);
    EXPECT_EQ(box.top, 5);
    EXPECT_EQ(box.bottom, 10);
    DeleteObject(source);
    DeleteObject(rgn);
}

TEST(DeviceContext, ModesRefuseValuesOutsideTheirRange)
{
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SetBkMode(dc, 7), 0);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(SetROP2(dc, 0), 0);
    EXPECT_EQ(SetROP2(dc, R2_NOT), R2_COPYPEN);
    EXPECT_EQ(GetROP2(dc), R2_NOT);
    EXPECT_EQ(SetTextAlign(dc, TA_BASELINE), static_cast<UINT>(TA_TOP));
    EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_BASELINE));
    EXPECT_EQ(SetBkColor(dc, RGB(5, 6, 7)), RGB(255, 255, 255));
    EXPECT_EQ(SetTextColor(reinterpret_cast<HDC>(0x42), 0), CLR_INVALID);
    DeleteDC(dc);
}

TEST(DeviceContext, DeviceCapsDescribeATrueColourScreen)
{
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 0);
    HPALETTE palette = CreateHalftonePalette(dc);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(SelectPalette(dc, palette, FALSE), GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(RealizePalette(dc), 0u);
    EXPECT_EQ(SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), TRUE), palette);
    EXPECT_TRUE(DeleteObject(palette));
    DeleteDC(dc);
}

TEST(DeviceContext, WindowContextsDrawIntoTheirOwnPixels)
{
    HDC dc = platform::createWindowDC(nullptr, 16, 8);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 16);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 8);
    RECT r{2, 2, 4, 4};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(GetPixel(dc, 3, 3), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 4, 4), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 16, 0), CLR_INVALID);
    HBITMAP bitmap = makeDib(2, 2);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr) << "a window context has no bitmap to swap";
    EXPECT_FALSE(DeleteDC(dc)) << "window contexts are released by the window layer";
    platform::deleteWindowDC(dc);
    EXPECT_EQ(GetObjectType(dc), 0u);
    DeleteObject(bitmap);
}

} // namespace
