// GdiObjects.h: device contexts and the objects selected into them (bitmaps
// and DIB sections, pens, brushes, palettes), their attributes and clipping.
#pragma once

#include "platform/gdi/GdiTypes.h"

// Objects of every kind.
HGDIOBJ GetStockObject(int index);
// Frees a region, bitmap, pen, brush, font or palette. Stock objects stay
// (TRUE). A bitmap selected into a device context is refused (FALSE).
BOOL DeleteObject(HGDIOBJ object);
// OBJ_REGION, OBJ_BITMAP, OBJ_PEN, ...; 0 for an unknown handle.
DWORD GetObjectType(HGDIOBJ object);
// Describes a bitmap (BITMAP, or DIBSECTION for a DIB section), pen (LOGPEN),
// brush (LOGBRUSH), font (LOGFONTA) or palette (its entry count, a WORD).
// With a null buffer returns the size needed; otherwise the bytes written, 0 on failure.
int GetObjectA(HGDIOBJ object, int size, LPVOID buffer);
// Selects a pen, brush, font or bitmap and returns the previous one of that
// kind (null on failure). A region becomes the clip region (as SelectClipRgn)
// and its complexity is returned.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);

// Device contexts. A memory context starts with a 1 x 1 placeholder bitmap
// that cannot be drawn into; select a bitmap to draw.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// BITSPIXEL is the display's depth (32 unless a test sets another) and PLANES
// 1 on every context; LOGPIXELSX/Y 96; HORZRES and VERTRES are the size of
// the surface drawn into.
int GetDeviceCaps(HDC dc, int index);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int level);
BOOL GdiFlush();

// Bitmaps. DIB sections must be 32 bits per pixel, BI_RGB; a negative
// biHeight lays rows top-down in memory. The pixels start at zero.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
// A 32-bit bitmap whatever the context; a zero size gives the 1 x 1 placeholder.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);

// Pens, brushes and palettes.
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HPALETTE CreateHalftonePalette(HDC dc);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC dc);

// Attributes. The setters return the previous value (CLR_INVALID or 0 for a bad context).
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int mode);
int GetROP2(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
BOOL GetCurrentPositionEx(HDC dc, LPPOINT point);
// The viewport origin is always (0, 0): logical and device coordinates agree.
BOOL GetViewportOrgEx(HDC dc, LPPOINT point);

// Clipping, in device coordinates. The clip region is the application's own;
// drawing is further limited to the surface. SelectClipRgn copies the region
// (null removes the clip). The calls return the complexity of the resulting
// clip region within the surface, or ERROR.
int SelectClipRgn(HDC dc, HRGN region);
// Copies the clip region into `region`: 1 when there is one, 0 when there is none, -1 on error.
int GetClipRgn(HDC dc, HRGN region);
// The bounding box of the drawable part of the clip region.
int GetClipBox(HDC dc, LPRECT box);
// With no clip region yet, IntersectClipRect makes the rectangle the clip
// region and ExcludeClipRect starts from the whole surface.
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);

namespace platform {

// Test hook: the colour depth in bits per pixel that every device context
// reports as BITSPIXEL (32 by default; 0 restores the default).
void setScreenBitsPerPixel(int bits);
int screenBitsPerPixel();

} // namespace platform
