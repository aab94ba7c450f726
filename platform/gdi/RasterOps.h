// RasterOps.h: the bitwise raster operations of GDI on 32-bit pixels: the
// binary ones of pens and brushes (R2_*) and the ternary ones of the blits.
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>

namespace platform {

// R2_* combines pen P with destination D: the mode minus 1 is a truth table
// whose bit (2·P + D) gives the result bit.
inline uint32_t applyRop2(int rop2, uint32_t pen, uint32_t dest)
{
    if (rop2 == R2_COPYPEN)
        return pen;
    unsigned table = static_cast<unsigned>(rop2 - 1) & 15u;
    uint32_t result = 0;
    if (table & 1u)
        result |= ~pen & ~dest;
    if (table & 2u)
        result |= ~pen & dest;
    if (table & 4u)
        result |= pen & ~dest;
    if (table & 8u)
        result |= pen & dest;
    return result;
}

// The truth table of a ternary raster operation sits in bits 16-23: bit
// (4·P + 2·S + D) gives the result for pattern P, source S and destination D.
inline unsigned rop3Table(DWORD rop) { return (rop >> 16) & 0xFFu; }
inline bool rop3UsesPattern(DWORD rop) { return ((rop3Table(rop) >> 4) & 0x0Fu) != (rop3Table(rop) & 0x0Fu); }
inline bool rop3UsesSource(DWORD rop) { return ((rop3Table(rop) >> 2) & 0x33u) != (rop3Table(rop) & 0x33u); }

inline uint32_t applyRop3(DWORD rop, uint32_t pattern, uint32_t source, uint32_t dest)
{
    unsigned table = rop3Table(rop);
    switch (table) {
    case 0xCC: return source;
    case 0xF0: return pattern;
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFFFFu;
    default: break;
    }
    uint32_t result = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (table & (1u << i))
            result |= ((i & 4u) ? pattern : ~pattern) & ((i & 2u) ? source : ~source) & ((i & 1u) ? dest : ~dest);
    }
    return result;
}

} // namespace platform
