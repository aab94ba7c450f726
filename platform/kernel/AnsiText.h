// AnsiText.h: text in the ANSI code page, which is Windows-1252 here: case
// mapping and the plain and case-insensitive comparisons.
#pragma once

#include "platform/Win32Types.h"

namespace platform {
// Windows-1252 case mapping of one byte (letters A-Z, the accented capitals
// 0xC0-0xDE except 0xD7, and the pairs S/s caron, OE, Z/z caron, Y diaeresis).
unsigned char ansiToUpper(unsigned char c);
unsigned char ansiToLower(unsigned char c);
} // namespace platform

// Convert a NUL-terminated text in place and return it.
LPSTR CharUpperA(LPSTR text);
LPSTR CharLowerA(LPSTR text);
// Convert `length` bytes in place; returns the number converted.
DWORD CharUpperBuffA(LPSTR text, DWORD length);
DWORD CharLowerBuffA(LPSTR text, DWORD length);

// Compare two texts: below 0, 0 or above 0. A null pointer counts as "".
// lstrcmpA orders by byte value; lstrcmpiA orders by the lower-case forms.
int lstrcmpA(LPCSTR a, LPCSTR b);
int lstrcmpiA(LPCSTR a, LPCSTR b);
int lstrlenA(LPCSTR text);
