// Text.h: conversion between the ANSI code page (Windows-1252 here), UTF-8 and
// UTF-16 text.
#pragma once

#include "platform/Win32Types.h"

typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;

#define CP_ACP 0u
#define CP_UTF8 65001u

namespace platform {
// The UTF-16 unit of a Windows-1252 byte. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of
// the same value, as Windows maps them.
WCHAR ansiToUnicode(unsigned char c);
// The Windows-1252 byte of a UTF-16 unit; false when the code page has none.
bool unicodeToAnsi(WCHAR w, unsigned char* c);
} // namespace platform

// Converts text of `codePage` (CP_UTF8 or CP_ACP) to UTF-16. A `length` of -1
// means the text is NUL-terminated and the NUL is converted too. Malformed
// UTF-8 becomes U+FFFD, one for each invalid sequence; characters above U+FFFF
// become surrogate pairs. With `wideLength` 0 nothing is written and the number
// of units needed is returned; otherwise the number written, or 0 when the
// output does not fit (nothing written) or the arguments are bad. Flags are
// ignored.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide, int wideLength);

// Converts UTF-16 text to `codePage` (CP_ACP or CP_UTF8) with the same length
// and size-query conventions. For CP_ACP every character the code page cannot
// show (a surrogate pair counts as one) becomes the first byte of
// `defaultChar`, '?' when that is null, and `usedDefaultChar` (when given) says
// whether that happened. For CP_UTF8 both must be null, as on Windows; a lone
// surrogate becomes U+FFFD.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text, int length,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar);
