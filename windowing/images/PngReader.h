// PngReader.h: the PNG reader over libpng: any colour type and bit depth
// into 32-bit pixels (bytes blue, green, red, alpha; rows top-down).
#pragma once

#include <cstdint>

namespace window {

// Reads a PNG from data (length bytes), or with length 0 from the file whose
// path data holds. True with pixels (the caller free()s them), or with only
// the size while decoding is deferred; false on any error, with no pixels.
// hasAlpha is set when the picture carries alpha (grey or colour with alpha,
// or a transparency chunk); a size-only read leaves it alone.
bool readPNG(const unsigned char* data, int length, uint32_t*& pixels, int& width, int& height, bool& hasAlpha);

// Whether data starts with the first 4 bytes of the PNG signature.
bool isPNG(const unsigned char* data);

} // namespace window
