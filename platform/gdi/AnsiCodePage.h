// AnsiCodePage.h: the Unicode character of each byte of the ANSI code page
// (Windows-1252), which fonts need to find their glyphs.
#pragma once

#include <cstdint>

namespace platform {

// Bytes below 0x80 and from 0xA0 are the same code points; 0x80-0x9F map to
// the typographic characters of the code page (the five unassigned bytes map
// to the control characters of the same value).
uint32_t ansiCodePoint(unsigned char c);

} // namespace platform
