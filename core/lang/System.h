// System.h: process-wide queries and settings kept in one place: the default
// font name, the debug-mode flag, font smoothing, the number separators and
// the screen's colour depth.
#pragma once

#include "core/lang/String.h"

namespace lang {

class System {
public:
    // "Arial" until the settings store replaces it.
    static const char* getDefaultFontName();
    static void setDefaultFontName(const String& name);
    static bool isDebugMode() { return s_bDebugMode; }
    static void setDebugMode(bool on) { s_bDebugMode = on; }
    static bool isFontSmoothingEnabled();
    // The text item "IDS_DECIMAL_SEPARATOR" (or "IDS_THOUSANDS_SEPARATOR") when
    // the archive has a non-empty one, else the user's locale. A buffer size
    // below 1 leaves the buffer untouched.
    static void getDecimalSeparator(char* buffer, int size);
    static void getThousandsSeparator(char* buffer, int size);
    // Bits per pixel times colour planes of the screen.
    static int getScreenColorDepth();

private:
    static bool s_bDebugMode;
};

} // namespace lang
