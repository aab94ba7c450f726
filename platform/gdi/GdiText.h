// GdiText.h: fonts and text: logical fonts realised over FreeType and
// fontconfig, text metrics and extents, glyph bitmaps, and text drawing.
// Character codes are bytes of the ANSI code page (Windows-1252).
#pragma once

#include "platform/gdi/GdiTypes.h"

// A logical font. height below 0 asks for a character (em) height of -height
// pixels; above 0 for a cell height (ascent + descent) of height pixels; 0 for
// a default size. A weight of 600 or more is bold: the family's bold face when
// fontconfig finds one, else the regular face widened by a pixel. Italic
// likewise, slanted when there is no italic face. The width, escapement,
// orientation, precisions, quality and character set are kept but not used.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR face);
HFONT CreateFontIndirectA(const LOGFONTA* font);

// Metrics of the selected font: tmHeight = tmAscent + tmDescent;
// tmInternalLeading = tmHeight minus the character height.
BOOL GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics);
// cx: the sum of the characters' advances; cy: the font's height.
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, LPSIZE size);
// The family name of the face the selected font is realised with. Returns
// the characters copied with the terminating 0, or the size needed for a null buffer.
int GetTextFaceA(HDC dc, int count, LPSTR name);

// One character's glyph. GGO_METRICS fills only the metrics (returns 0);
// GGO_BITMAP, GGO_GRAY2_BITMAP, GGO_GRAY4_BITMAP and GGO_GRAY8_BITMAP also
// write a bitmap of gmBlackBoxY rows, each padded to a multiple of 4 bytes
// (1 bit per pixel, or levels 0..4, 0..16, 0..64) and return its size; with
// a null buffer or size 0 they return the size needed. A blank glyph (a space)
// has a size of 0. Only the identity transform is supported. GDI_ERROR on failure.
DWORD GetGlyphOutlineA(HDC dc, UINT character, UINT format, LPGLYPHMETRICS metrics, DWORD bufferSize,
                       LPVOID buffer, const MAT2* transform);

// Draws text at (x, y) as placed by the text alignment (TA_TOP, TA_BASELINE,
// TA_BOTTOM; TA_LEFT, TA_CENTER, TA_RIGHT; TA_UPDATECP) in the text colour,
// with its cell filled in the background colour when the background mode is
// OPAQUE. ETO_OPAQUE fills `rect` with the background colour first;
// ETO_CLIPPED keeps the text inside it. `spacing` gives each character's advance.
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                 const INT* spacing);
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count);
// Formatted text in a rectangle: lines (or one with DT_SINGLELINE), word
// wrapping with DT_WORDBREAK, DT_LEFT/CENTER/RIGHT, DT_TOP/VCENTER/BOTTOM
// (the last two for single lines), '&' prefixes unless DT_NOPREFIX, and lines
// too wide cut with "..." under DT_END_ELLIPSIS or DT_WORD_ELLIPSIS.
// DT_CALCRECT measures only. Returns the height of the text; 0 on failure.
int DrawTextExA(HDC dc, LPSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params);
int DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format);

// a * b / c rounded half away from zero; -1 when c is 0 or the result overflows.
int MulDiv(int a, int b, int c);

namespace platform {
// Makes every font use this font file (null or "" restores the choice by
// fontconfig). Tests pin a file so that measurements do not depend on the machine.
void setFontFileOverride(const char* path);
} // namespace platform
