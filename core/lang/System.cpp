// System.cpp: the process-wide queries.
#include "core/lang/System.h"

#include "platform/files/Locale.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/user/Display.h"
#include "platform/user/Window.h"

#include <cstring>

namespace lang {
namespace {

String& defaultFontName()
{
    // Never destroyed: static destructors elsewhere may still ask for it.
    static String* name = new String("Arial");
    return *name;
}

void separator(const char* key, LCTYPE localeItem, char* buffer, int size)
{
    if (!buffer || size < 1)
        return;
    String text = String::loadText(key);
    if (text.length() < 1) {
        GetLocaleInfoA(LOCALE_USER_DEFAULT, localeItem, buffer, size);
        return;
    }
    int n = text.length() < size - 1 ? text.length() : size - 1;
    std::memcpy(buffer, text.c_str(), size_t(n));
    buffer[n] = '\0';
}

} // namespace

bool System::s_bDebugMode = false;

const char* System::getDefaultFontName()
{
    return defaultFontName().c_str();
}

void System::setDefaultFontName(const String& name)
{
    defaultFontName() = name;
}

bool System::isFontSmoothingEnabled()
{
    BOOL on = FALSE;
    if (!SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, &on, 0))
        return false;
    return on != FALSE;
}

void System::getDecimalSeparator(char* buffer, int size)
{
    separator("IDS_DECIMAL_SEPARATOR", LOCALE_SDECIMAL, buffer, size);
}

void System::getThousandsSeparator(char* buffer, int size)
{
    separator("IDS_THOUSANDS_SEPARATOR", LOCALE_STHOUSAND, buffer, size);
}

int System::getScreenColorDepth()
{
    HDC screen = GetDC(nullptr);
    int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return depth;
}

} // namespace lang
