// GdiDrawing.h: the drawing calls: fills, shapes, lines, pixels and blits.
// They draw into the context's surface (a selected bitmap or a window's
// buffer) within its clip region; a context without pixels draws nothing and
// still succeeds. Pixels GDI draws get an alpha byte of 0.
#pragma once

#include "platform/gdi/GdiTypes.h"

// Fills left <= x < right, top <= y < bottom with the brush (raster modes do not apply).
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// Outlines with the pen (inside the rectangle, pen width pixels thick) and
// fills the inside with the brush. With the null pen the filled area is one
// pixel smaller to the right and bottom, as GDI does.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
// The ellipse inscribed in the rectangle, outlined and filled likewise.
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous);
// A line from the current position to (x, y), which becomes the current
// position. One-pixel pens leave out the end point; wider pens draw round ends.
BOOL LineTo(HDC dc, int x, int y);
// Connected lines; the current position is not used or changed.
BOOL Polyline(HDC dc, const POINT* points, int count);
// A closed polygon filled with the brush under the fill mode and outlined with the pen.
BOOL Polygon(HDC dc, const POINT* points, int count);

// Returns the colour set, or CLR_INVALID outside the drawable area.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
// CLR_INVALID outside the drawable area.
COLORREF GetPixel(HDC dc, int x, int y);

// Combines the brush with the rectangle (PATCOPY, PATINVERT, DSTINVERT, BLACKNESS, WHITENESS...).
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
// Copies (or combines, by the raster operation) source pixels from
// (srcX, srcY) to (x, y). Source pixels outside the source surface are skipped.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY, DWORD rop);
// The same with scaling by the nearest source pixel; a negative width or
// height on one side only mirrors the picture. Every stretch mode samples alike.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop);

// Calls proc(x, y, data) for every point of the line from (x1, y1) to (x2,
// y2) as a one-pixel pen draws it: the end point is left out.
BOOL LineDDA(int x1, int y1, int x2, int y2, LINEDDAPROC proc, LPARAM data);
