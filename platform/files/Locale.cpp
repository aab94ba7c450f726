// Locale.cpp: the separators from localeconv, converted from UTF-8 when the
// locale's text is not plain ASCII.
#include "platform/files/Locale.h"

#include "platform/files/Text.h"

#include <clocale>
#include <cstring>
#include <string>

namespace {

// The locale's text in Windows-1252. The C library gives it in the locale's
// own encoding, UTF-8 on the systems we run on.
std::string toAnsi(const char* text)
{
    std::u16string wide(std::strlen(text) + 1, u'\0');
    int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], int(wide.size()));
    std::string result;
    for (int i = 0; i + 1 < units; ++i) {
        unsigned char c;
        result += platform::unicodeToAnsi(wide[size_t(i)], &c) ? char(c) : char(0xA0);
    }
    return result;
}

} // namespace

int GetLocaleInfoA(LCID locale, LCTYPE item, LPSTR buffer, int size)
{
    if (locale != LOCALE_USER_DEFAULT && locale != LOCALE_SYSTEM_DEFAULT)
        return 0;
    const struct lconv* conventions = std::localeconv();
    const char* value;
    if (item == LOCALE_SDECIMAL)
        value = conventions->decimal_point;
    else if (item == LOCALE_STHOUSAND)
        value = conventions->thousands_sep;
    else
        return 0;
    std::string text = toAnsi(value ? value : "");
    int needed = int(text.size()) + 1;
    if (size <= 0)
        return needed;
    if (!buffer || size < needed)
        return 0;
    std::memcpy(buffer, text.c_str(), size_t(needed));
    return needed;
}
