// PngWriter.h: encodes 0xAARRGGBB pixels as an 8-bit PNG, in memory or into a
// file, for the tools that show what the engine decoded, rendered or drew,
// the sample data generator and the test fixtures.
#pragma once

#include <cstdint>
#include <vector>

namespace tools {

// The PNG of width x height pixels, rows one after the other. With alpha the
// PNG is RGBA (the colour under a transparent pixel is kept); without it RGB.
// Empty on any failure.
std::vector<uint8_t> encodePng(const uint32_t* pixels, int width, int height, bool withAlpha);

// Writes encodePng's bytes to a file. False on any failure.
bool writePng(const char* path, const uint32_t* pixels, int width, int height, bool withAlpha);

} // namespace tools
