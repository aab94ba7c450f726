// PngWriter.h: writes 0xAARRGGBB pixels as an 8-bit PNG, for the tools that
// show what the engine decoded, rendered or drew.
#pragma once

#include <cstdint>

namespace tools {

// Writes width x height pixels, rows one after the other. With alpha the PNG is
// RGBA; without it (a screen has no transparency) RGB. False on any failure.
bool writePng(const char* path, const uint32_t* pixels, int width, int height, bool withAlpha);

} // namespace tools
