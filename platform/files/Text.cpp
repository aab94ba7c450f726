// Text.cpp: Windows-1252 and UTF-8 to and from UTF-16. Input is read only
// within its given length (or up to its NUL), whatever bytes it holds.
#include "platform/files/Text.h"

#include <cstring>
#include <string>

namespace platform {
namespace {

// Bytes 0x80-0x9F of Windows-1252; the other bytes equal their code points.
const WCHAR kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

const char16_t kReplacement = 0xFFFD;

bool isTrail(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Decodes UTF-8, one U+FFFD for each maximal ill-formed part.
std::u16string decodeUtf8(const unsigned char* s, size_t n)
{
    std::u16string out;
    out.reserve(n);
    size_t i = 0;
    while (i < n) {
        unsigned char c = s[i];
        if (c < 0x80) {
            out += char16_t(c);
            ++i;
            continue;
        }
        int trails;
        uint32_t cp;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the first trail byte
        if (c >= 0xC2 && c <= 0xDF) {
            trails = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            trails = 2;
            cp = c & 0x0F;
            if (c == 0xE0)
                low = 0xA0; // no overlong forms
            if (c == 0xED)
                high = 0x9F; // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            trails = 3;
            cp = c & 0x07;
            if (c == 0xF0)
                low = 0x90;
            if (c == 0xF4)
                high = 0x8F; // nothing above U+10FFFF
        } else {
            out += kReplacement;
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool complete = true;
        for (int k = 0; k < trails; ++k, ++j) {
            if (j >= n || !isTrail(s[j]) || (k == 0 && (s[j] < low || s[j] > high))) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (s[j] & 0x3F);
        }
        i = j;
        if (!complete) {
            out += kReplacement;
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

void appendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

bool isHighSurrogate(char16_t w)
{
    return w >= 0xD800 && w <= 0xDBFF;
}

bool isLowSurrogate(char16_t w)
{
    return w >= 0xDC00 && w <= 0xDFFF;
}

size_t wideLengthOf(const WCHAR* w)
{
    size_t n = 0;
    while (w[n])
        ++n;
    return n;
}

} // namespace

WCHAR ansiToUnicode(unsigned char c)
{
    if (c >= 0x80 && c <= 0x9F)
        return kHighControls[c - 0x80];
    return WCHAR(c);
}

bool unicodeToAnsi(WCHAR w, unsigned char* c)
{
    if (w < 0x80 || (w >= 0xA0 && w <= 0xFF)) {
        *c = static_cast<unsigned char>(w);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == w) {
            *c = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

} // namespace platform

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int length, LPWSTR wide, int wideLength)
{
    if (!text || length == 0 || length < -1 || wideLength < 0 || (wideLength > 0 && !wide))
        return 0;
    if (codePage != CP_UTF8 && codePage != CP_ACP)
        return 0;
    size_t n = length == -1 ? std::strlen(text) + 1 : size_t(length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);

    std::u16string out;
    if (codePage == CP_UTF8) {
        out = platform::decodeUtf8(bytes, n);
    } else {
        out.reserve(n);
        for (size_t i = 0; i < n; ++i)
            out += platform::ansiToUnicode(bytes[i]);
    }
    if (wideLength == 0)
        return int(out.size());
    if (out.size() > size_t(wideLength))
        return 0;
    std::memcpy(wide, out.data(), out.size() * sizeof(WCHAR));
    return int(out.size());
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int wideLength, LPSTR text, int length,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar)
{
    if (!wide || wideLength == 0 || wideLength < -1 || length < 0 || (length > 0 && !text))
        return 0;
    if (codePage == CP_UTF8 && (defaultChar || usedDefaultChar))
        return 0;
    if (codePage != CP_UTF8 && codePage != CP_ACP)
        return 0;
    size_t n = wideLength == -1 ? platform::wideLengthOf(wide) + 1 : size_t(wideLength);

    std::string out;
    out.reserve(n);
    bool usedDefault = false;
    const char fallback = defaultChar ? defaultChar[0] : '?';
    for (size_t i = 0; i < n; ++i) {
        char16_t w = wide[i];
        bool pair = platform::isHighSurrogate(w) && i + 1 < n && platform::isLowSurrogate(wide[i + 1]);
        if (codePage == CP_UTF8) {
            uint32_t cp = w;
            if (pair)
                cp = 0x10000 + ((uint32_t(w) - 0xD800) << 10) + (uint32_t(wide[i + 1]) - 0xDC00);
            else if (platform::isHighSurrogate(w) || platform::isLowSurrogate(w))
                cp = platform::kReplacement;
            platform::appendUtf8(out, cp);
        } else {
            unsigned char c;
            if (!pair && platform::unicodeToAnsi(w, &c)) {
                out += char(c);
            } else {
                out += fallback;
                usedDefault = true;
            }
        }
        if (pair)
            ++i;
    }
    if (usedDefaultChar)
        *usedDefaultChar = usedDefault ? TRUE : FALSE;
    if (length == 0)
        return int(out.size());
    if (out.size() > size_t(length))
        return 0;
    std::memcpy(text, out.data(), out.size());
    return int(out.size());
}
