// GdiRegions.h: region handles: making, combining, moving and testing them,
// and reading their rectangles.
#pragma once

#include "platform/gdi/GdiTypes.h"

// A rectangle region; the corners may come in any order. Null when out of memory.
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
// Makes the region the given rectangle.
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
// dest = a <mode> b (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF; RGN_COPY ignores b).
// dest may be a or b. Returns NULLREGION, SIMPLEREGION, COMPLEXREGION or ERROR.
int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode);
// Moves the region; ERROR when a coordinate would overflow (the region is then unchanged).
int OffsetRgn(HRGN region, int dx, int dy);
BOOL PtInRegion(HRGN region, int x, int y);
// Whether any pixel of the rectangle lies in the region.
BOOL RectInRegion(HRGN region, const RECT* rect);
// The bounding box; returns the region's complexity.
int GetRgnBox(HRGN region, LPRECT box);
BOOL EqualRgn(HRGN a, HRGN b);
// Fills RGNDATA with the region's rectangles in bands. With a null buffer,
// returns the size needed; with a buffer too small, 0; otherwise the size written.
DWORD GetRegionData(HRGN region, DWORD size, LPRGNDATA data);

namespace platform {
class BandedRegion;
// The rectangles of a region handle, for code that walks them; false for a bad handle.
bool regionArea(HRGN region, BandedRegion& out);
} // namespace platform
