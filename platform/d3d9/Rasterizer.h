// Rasterizer.h: turns pre-transformed points and triangles into pixels.
// Pixel centres lie at integer coordinates and edges follow the top-left rule,
// so a quad from (x, y) to (x + w, y + h) covers exactly w x h pixels, and a
// texture drawn on a quad shifted by half a pixel reproduces its texels
// exactly. Axis-aligned quads with one colour, whose texels fall exactly on
// pixel centres, are copied row by row; scaled ones step through the texture
// row by row; everything else (rotation, interpolated corner colours) goes
// through the general triangle path.
#pragma once

#include "platform/d3d9/DrawState.h"

#include <cstdint>
#include <vector>

namespace platform::d3d9 {

// A pre-transformed vertex: position in pixels, diffuse colour and the first
// texture coordinates.
struct RasterVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};

class Rasterizer {
public:
    // Draws the primitives of `type` (points, triangle lists, strips and fans)
    // made of `count` vertices.
    void draw(const DrawState& state, D3DPRIMITIVETYPE type, const RasterVertex* vertices, UINT count);

private:
    struct Context;

    void triangle(Context& context, const RasterVertex* a, const RasterVertex* b, const RasterVertex* c,
                  bool cullable);
    // The fast path for four corners in order around an axis-aligned
    // rectangle; false when it does not apply (the caller draws triangles).
    bool rectangle(Context& context, const RasterVertex* const corners[4], bool cullable);
    void point(Context& context, const RasterVertex& vertex);

    std::vector<uint32_t> m_span;
    std::vector<uint32_t> m_texels;
};

} // namespace platform::d3d9
