// AnsiText.cpp: Windows-1252 case mapping and comparisons.
#include "platform/kernel/AnsiText.h"

namespace platform {

unsigned char ansiToUpper(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 32;
    switch (c) {
    case 0x9A: return 0x8A; // s caron
    case 0x9C: return 0x8C; // oe ligature
    case 0x9E: return 0x8E; // z caron
    case 0xFF: return 0x9F; // y diaeresis
    default: return c;
    }
}

unsigned char ansiToLower(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 32;
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
    }
}

} // namespace platform

LPSTR CharUpperA(LPSTR text)
{
    if (text)
        for (char* p = text; *p; ++p)
            *p = char(platform::ansiToUpper((unsigned char)*p));
    return text;
}

LPSTR CharLowerA(LPSTR text)
{
    if (text)
        for (char* p = text; *p; ++p)
            *p = char(platform::ansiToLower((unsigned char)*p));
    return text;
}

DWORD CharUpperBuffA(LPSTR text, DWORD length)
{
    if (!text)
        return 0;
    for (DWORD i = 0; i < length; ++i)
        text[i] = char(platform::ansiToUpper((unsigned char)text[i]));
    return length;
}

DWORD CharLowerBuffA(LPSTR text, DWORD length)
{
    if (!text)
        return 0;
    for (DWORD i = 0; i < length; ++i)
        text[i] = char(platform::ansiToLower((unsigned char)text[i]));
    return length;
}

int lstrcmpA(LPCSTR a, LPCSTR b)
{
    const unsigned char* p = (const unsigned char*)(a ? a : "");
    const unsigned char* q = (const unsigned char*)(b ? b : "");
    while (*p && *p == *q) {
        ++p;
        ++q;
    }
    return (*p > *q) - (*p < *q);
}

int lstrcmpiA(LPCSTR a, LPCSTR b)
{
    const unsigned char* p = (const unsigned char*)(a ? a : "");
    const unsigned char* q = (const unsigned char*)(b ? b : "");
    for (;; ++p, ++q) {
        unsigned char x = platform::ansiToLower(*p);
        unsigned char y = platform::ansiToLower(*q);
        if (x != y || x == 0)
            return (x > y) - (x < y);
    }
}

int lstrlenA(LPCSTR text)
{
    int n = 0;
    if (text)
        while (text[n])
            ++n;
    return n;
}
