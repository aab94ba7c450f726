// Locale.h: the user's number format (decimal and thousands separators) as the
// C library's current locale gives it.
#pragma once

#include "platform/Win32Types.h"

typedef DWORD LCID;
typedef DWORD LCTYPE;

#define LOCALE_USER_DEFAULT 0x0400u
#define LOCALE_SYSTEM_DEFAULT 0x0800u
#define LOCALE_SDECIMAL 0x0000000Eu
#define LOCALE_STHOUSAND 0x0000000Fu

// Writes the locale's decimal (LOCALE_SDECIMAL) or thousands (LOCALE_STHOUSAND)
// separator in the ANSI code page with its NUL and returns the length with the
// NUL. With `size` 0 (or below) nothing is written and the size needed is
// returned; a buffer too small, or another item, gives 0. Only the user and
// system default locales are known; both are the C library's current locale.
// A separator the ANSI code page cannot show (a narrow or thin space) becomes
// the no-break space 0xA0.
int GetLocaleInfoA(LCID locale, LCTYPE item, LPSTR buffer, int size);
