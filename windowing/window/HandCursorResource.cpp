// HandCursorResource.cpp: the picture of the hand cursor and its registration
// as a cursor resource of the program.
#include "windowing/window/HandCursorResource.h"

#include "platform/user/Cursors.h"

#include <cstdint>
#include <cstring>

namespace window {
namespace {

// '#' black, 'o' white, anything else transparent. Rows shorter than 32 are
// transparent to the right; missing rows are transparent.
const char* const kHandPicture[] = {
    "    ##",
    "   #oo#",
    "   #oo#",
    "   #oo#",
    "   #oo#",
    "   #oo###",
    "   #oo#oo###",
    "   #oo#oo#oo##",
    "## #oo#oo#oo#o#",
    "#oo#oooooooo#o#",
    "#ooooooooooooo#",
    " #oooooooooooo#",
    "  #ooooooooooo#",
    "  #oooooooooo#",
    "   #ooooooooo#",
    "   #ooooooooo#",
    "   ###########",
};

} // namespace

void HandCursorResource::install()
{
    // Monochrome planes, 32 pixels a row = 4 bytes, leftmost pixel in the high
    // bit: AND 1 / XOR 0 transparent, AND 0 / XOR 0 black, AND 0 / XOR 1 white.
    constexpr int rowBytes = SIZE / 8;
    uint8_t andPlane[SIZE * rowBytes];
    uint8_t xorPlane[SIZE * rowBytes];
    std::memset(andPlane, 0xFF, sizeof andPlane);
    std::memset(xorPlane, 0x00, sizeof xorPlane);
    const int rows = int(sizeof kHandPicture / sizeof kHandPicture[0]);
    for (int y = 0; y < rows; ++y) {
        const char* row = kHandPicture[y];
        for (int x = 0; x < SIZE && row[x]; ++x) {
            if (row[x] != '#' && row[x] != 'o')
                continue;
            const int byte = y * rowBytes + x / 8;
            const uint8_t bit = uint8_t(0x80 >> (x % 8));
            andPlane[byte] &= uint8_t(~bit);
            if (row[x] == 'o')
                xorPlane[byte] |= bit;
        }
    }
    platform::registerCursorResource(RESOURCE_ID, HOT_X, HOT_Y, SIZE, SIZE, andPlane, xorPlane);
}

} // namespace window
