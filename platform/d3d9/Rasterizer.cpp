// Rasterizer.cpp: triangle setup with fixed-point edges, the general shading
// path, and the fast path for axis-aligned quads.
#include "platform/d3d9/Rasterizer.h"

#include "platform/d3d9/OutputMerger.h"
#include "platform/d3d9/PixelBuffer.h"
#include "platform/d3d9/TextureSampler.h"
#include "platform/d3d9/TextureStage.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace platform::d3d9 {
namespace {

// Positions are snapped to 1/256 pixel.
constexpr int kSubpixelBits = 8;
constexpr int64_t kOne = 1 << kSubpixelBits;
// Vertices farther out than this many pixels are not drawn; it keeps every
// edge product inside 64 bits.
constexpr float kPositionLimit = 1048576.0f;
// Tolerance, in texels, within which a quad counts as texel-aligned.
constexpr double kTexelTolerance = 1.0 / 1024.0;

int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t ceilDiv(int64_t a, int64_t b) { return -floorDiv(-a, b); }

bool toFixed(float value, int64_t* fixed)
{
    if (!(std::fabs(value) < kPositionLimit))  // also NaN
        return false;
    *fixed = std::llround(double(value) * kOne);
    return true;
}

uint32_t clampChannel(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= 254.5)
        return 255;
    return uint32_t(value + 0.5);
}

// An edge from p to q of a triangle whose inside lies where the edge function
// is positive; pixels exactly on a top or left edge belong to the triangle.
struct Edge {
    int64_t dx, dy, px, py;
    bool topLeft;

    Edge(int64_t x0, int64_t y0, int64_t x1, int64_t y1)
        : dx(x1 - x0), dy(y1 - y0), px(x0), py(y0), topLeft(dy < 0 || (dy == 0 && dx > 0))
    {
    }

    // Narrows [lo, hi] to the pixel columns of row y (pixel centre y) inside
    // the edge; false when none are.
    bool clip(int64_t y, int64_t* lo, int64_t* hi) const
    {
        // E(X) = -dy * X + c at X = x * 256.
        int64_t k = -dy;
        int64_t c = dx * (y * kOne - py) + dy * px;
        if (k > 0) {
            int64_t d = k * kOne;
            *lo = std::max(*lo, topLeft ? ceilDiv(-c, d) : floorDiv(-c, d) + 1);
        } else if (k < 0) {
            int64_t d = -k * kOne;
            *hi = std::min(*hi, topLeft ? floorDiv(c, d) : ceilDiv(c, d) - 1);
        } else if (topLeft ? c < 0 : c <= 0) {
            return false;
        }
        return *lo <= *hi;
    }
};

// A linear function of the pixel position.
struct Plane {
    double origin = 0, dx = 0, dy = 0;

    Plane() = default;
    Plane(double a0, double a1, double a2, double x1, double y1, double x2, double y2, double det)
        : origin(a0), dx(((a1 - a0) * y2 - (a2 - a0) * y1) / det), dy(((a2 - a0) * x1 - (a1 - a0) * x2) / det)
    {
    }
    double at(double x, double y) const { return origin + dx * x + dy * y; }
};

} // namespace

struct Rasterizer::Context {
    const DrawState& state;
    TextureStage stage;
    OutputMerger merger;
    std::optional<TextureSampler> magnify;
    std::optional<TextureSampler> minify;

    explicit Context(const DrawState& s) : state(s), stage(s), merger(s)
    {
        if (stage.samplesTexture()) {
            magnify.emplace(*s.texture, s.magFilter, s.addressU, s.addressV);
            minify.emplace(*s.texture, s.minFilter, s.addressU, s.addressV);
        }
    }
};

void Rasterizer::draw(const DrawState& state, D3DPRIMITIVETYPE type, const RasterVertex* v, UINT count)
{
    if (!state.target || state.clip.left >= state.clip.right || state.clip.top >= state.clip.bottom)
        return;
    Context context(state);
    switch (type) {
    case D3DPT_POINTLIST:
        for (UINT i = 0; i < count; ++i)
            point(context, v[i]);
        break;
    case D3DPT_TRIANGLELIST:
        for (UINT i = 0; i + 2 < count; i += 3)
            triangle(context, &v[i], &v[i + 1], &v[i + 2], true);
        break;
    case D3DPT_TRIANGLESTRIP: {
        if (count == 4) {
            const RasterVertex* corners[4] = {&v[0], &v[1], &v[3], &v[2]};
            if (rectangle(context, corners, true))
                break;
        }
        // Every second triangle of a strip is turned round, so that all share
        // the first one's winding.
        for (UINT i = 0; i + 2 < count; ++i) {
            if (i % 2)
                triangle(context, &v[i + 1], &v[i], &v[i + 2], true);
            else
                triangle(context, &v[i], &v[i + 1], &v[i + 2], true);
        }
        break;
    }
    case D3DPT_TRIANGLEFAN: {
        if (count == 4) {
            const RasterVertex* corners[4] = {&v[0], &v[1], &v[2], &v[3]};
            if (rectangle(context, corners, true))
                break;
        }
        for (UINT i = 1; i + 1 < count; ++i)
            triangle(context, &v[0], &v[i], &v[i + 1], true);
        break;
    }
    default:
        break;
    }
}

void Rasterizer::point(Context& context, const RasterVertex& vertex)
{
    float half = context.state.pointSize * 0.5f;
    bool sprite = context.state.pointSprite;
    RasterVertex corners[4];
    const float xs[4] = {vertex.x - half, vertex.x + half, vertex.x + half, vertex.x - half};
    const float ys[4] = {vertex.y - half, vertex.y - half, vertex.y + half, vertex.y + half};
    const float us[4] = {0.0f, 1.0f, 1.0f, 0.0f};
    const float vs[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        corners[i] = vertex;
        corners[i].x = xs[i];
        corners[i].y = ys[i];
        if (sprite) {
            corners[i].u = us[i];
            corners[i].v = vs[i];
        }
    }
    const RasterVertex* order[4] = {&corners[0], &corners[1], &corners[2], &corners[3]};
    if (!rectangle(context, order, false)) {
        triangle(context, &corners[0], &corners[1], &corners[2], false);
        triangle(context, &corners[0], &corners[2], &corners[3], false);
    }
}

bool Rasterizer::rectangle(Context& context, const RasterVertex* const q[4], bool cullable)
{
    const DrawState& state = context.state;
    int64_t fx[4], fy[4];
    for (int i = 0; i < 4; ++i)
        if (!toFixed(q[i]->x, &fx[i]) || !toFixed(q[i]->y, &fy[i]))
            return false;
    // Around the rectangle every side changes exactly one coordinate, and the
    // sides alternate between horizontal and vertical.
    bool firstHorizontal = fy[0] == fy[1];
    for (int i = 0; i < 4; ++i) {
        int j = (i + 1) % 4;
        bool horizontal = (i % 2 == 0) == firstHorizontal;
        if (horizontal ? (fy[i] != fy[j] || fx[i] == fx[j]) : (fx[i] != fx[j] || fy[i] == fy[j]))
            return false;
    }
    if (cullable && state.cullMode != D3DCULL_NONE) {
        int64_t area = (fx[1] - fx[0]) * (fy[2] - fy[0]) - (fy[1] - fy[0]) * (fx[2] - fx[0]);
        // Positive area turns clockwise on screen (y grows downward).
        if ((state.cullMode == D3DCULL_CW && area > 0) || (state.cullMode == D3DCULL_CCW && area < 0))
            return true;
    }
    for (int i = 1; i < 4; ++i)
        if (q[i]->diffuse != q[0]->diffuse)
            return false;

    int64_t xa = std::min({fx[0], fx[1], fx[2], fx[3]}), xb = std::max({fx[0], fx[1], fx[2], fx[3]});
    int64_t ya = std::min({fy[0], fy[1], fy[2], fy[3]}), yb = std::max({fy[0], fy[1], fy[2], fy[3]});
    // Pixel centres from the left edge (inside) to the right edge (outside).
    int64_t left = std::max<int64_t>(ceilDiv(xa, kOne), state.clip.left);
    int64_t right = std::min<int64_t>(ceilDiv(xb, kOne), state.clip.right);
    int64_t top = std::max<int64_t>(ceilDiv(ya, kOne), state.clip.top);
    int64_t bottom = std::min<int64_t>(ceilDiv(yb, kOne), state.clip.bottom);
    if (left >= right || top >= bottom)
        return true;
    int count = int(right - left);
    uint32_t diffuse = q[0]->diffuse;

    if (!context.stage.samplesTexture()) {
        uint32_t colour = context.stage.combine(0, diffuse);
        for (int64_t y = top; y < bottom; ++y)
            context.merger.fillSpan(int(left), int(y), count, colour);
        return true;
    }

    // Unrotated texturing: u must follow x alone and v follow y alone.
    float ua = 0, ub = 0, va = 0, vb = 0;
    bool haveUa = false, haveUb = false, haveVa = false, haveVb = false;
    for (int i = 0; i < 4; ++i) {
        float& u = fx[i] == xa ? ua : ub;
        bool& haveU = fx[i] == xa ? haveUa : haveUb;
        if (haveU && u != q[i]->u)
            return false;
        u = q[i]->u;
        haveU = true;
        float& v = fy[i] == ya ? va : vb;
        bool& haveV = fy[i] == ya ? haveVa : haveVb;
        if (haveV && v != q[i]->v)
            return false;
        v = q[i]->v;
        haveV = true;
    }
    const PixelBuffer& texture = *state.texture;
    int width = int(texture.width()), height = int(texture.height());
    // Texel-space position at pixel centre p along one axis:
    // (u0 + (p - e0) / (e1 - e0) * (u1 - u0)) * size - 0.5, linear in p.
    auto mapping = [](double u0, double u1, int64_t e0, int64_t e1, int size, int64_t from, double* start,
                      double* scale) {
        *scale = (u1 - u0) * size / double(e1 - e0) * double(kOne);
        *start = u0 * size - 0.5 + (double(from * kOne - e0) / double(kOne)) * *scale;
    };
    double startX, scaleX, startY, scaleY;
    mapping(ua, ub, xa, xb, width, left, &startX, &scaleX);
    mapping(va, vb, ya, yb, height, top, &startY, &scaleY);
    // Texel-aligned: one texel per pixel, texel centres on pixel centres,
    // every texel inside the texture. Then bilinear and point sampling both
    // read single texels, which are copied row by row.
    auto align = [](double start, double scale, int64_t pixels, int size, int* step, int64_t* first) {
        int s = scale > 0 ? 1 : -1;
        double end = start + double(pixels - 1) * scale;
        double n0 = std::nearbyint(start);
        double n1 = n0 + double(s) * double(pixels - 1);
        if (std::fabs(start - n0) > kTexelTolerance || std::fabs(end - n1) > kTexelTolerance)
            return false;
        if (std::min(n0, n1) < 0 || std::max(n0, n1) > size - 1)
            return false;
        *step = s;
        *first = int64_t(n0);
        return true;
    };
    if (m_span.size() < size_t(count)) {
        m_span.resize(size_t(count));
        m_texels.resize(size_t(count));
    }
    int stepX = 0, stepY = 0;
    int64_t firstX = 0, firstY = 0;
    if (align(startX, scaleX, right - left, width, &stepX, &firstX) &&
        align(startY, scaleY, bottom - top, height, &stepY, &firstY)) {
        for (int64_t y = top; y < bottom; ++y) {
            int64_t ty = firstY + stepY * (y - top);
            const uint32_t* texels = texture.row(UINT(ty)) + firstX;
            context.merger.writeSpan(int(left), int(y), count,
                                     context.stage.combineSpan(texels, stepX, diffuse, m_span.data(), count));
        }
        return true;
    }

    // Scaled but not rotated: v is constant along a row, u steps evenly.
    const TextureSampler& sampler = std::fabs(scaleX * scaleY) > 1.0 ? *context.minify : *context.magnify;
    for (int64_t y = top; y < bottom; ++y) {
        float sy = float(startY + double(y - top) * scaleY);
        double sx = startX;
        for (int i = 0; i < count; ++i, sx += scaleX)
            m_texels[size_t(i)] = sampler.sample(float(sx), sy);
        context.merger.writeSpan(int(left), int(y), count,
                                 context.stage.combineSpan(m_texels.data(), 1, diffuse, m_span.data(), count));
    }
    return true;
}

void Rasterizer::triangle(Context& context, const RasterVertex* a, const RasterVertex* b, const RasterVertex* c,
                          bool cullable)
{
    const DrawState& state = context.state;
    int64_t ax, ay, bx, by, cx, cy;
    if (!toFixed(a->x, &ax) || !toFixed(a->y, &ay) || !toFixed(b->x, &bx) || !toFixed(b->y, &by) ||
        !toFixed(c->x, &cx) || !toFixed(c->y, &cy))
        return;
    int64_t area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    if (area == 0)
        return;
    if (cullable && ((state.cullMode == D3DCULL_CW && area > 0) || (state.cullMode == D3DCULL_CCW && area < 0)))
        return;
    if (area < 0) {
        std::swap(b, c);
        std::swap(bx, cx);
        std::swap(by, cy);
        area = -area;
    }
    const Edge edges[3] = {Edge(ax, ay, bx, by), Edge(bx, by, cx, cy), Edge(cx, cy, ax, ay)};
    int64_t top = std::max<int64_t>(ceilDiv(std::min({ay, by, cy}), kOne), state.clip.top);
    int64_t bottom = std::min<int64_t>(floorDiv(std::max({ay, by, cy}), kOne), state.clip.bottom - 1);
    if (top > bottom)
        return;

    // Attribute planes relative to vertex a, in pixels.
    double x0 = double(ax) / kOne, y0 = double(ay) / kOne;
    double x1 = double(bx) / kOne - x0, y1 = double(by) / kOne - y0;
    double x2 = double(cx) / kOne - x0, y2 = double(cy) / kOne - y0;
    double det = double(area) / double(kOne * kOne);
    bool flat = a->diffuse == b->diffuse && a->diffuse == c->diffuse;
    Plane colour[4];
    if (!flat)
        for (int i = 0; i < 4; ++i) {
            int shift = 24 - 8 * i;
            colour[i] = Plane((a->diffuse >> shift) & 0xFF, (b->diffuse >> shift) & 0xFF,
                              (c->diffuse >> shift) & 0xFF, x1, y1, x2, y2, det);
        }
    bool samples = context.stage.samplesTexture();
    Plane sx, sy;
    const TextureSampler* sampler = nullptr;
    if (samples) {
        double w = state.texture->width(), h = state.texture->height();
        sx = Plane(a->u * w - 0.5, b->u * w - 0.5, c->u * w - 0.5, x1, y1, x2, y2, det);
        sy = Plane(a->v * h - 0.5, b->v * h - 0.5, c->v * h - 0.5, x1, y1, x2, y2, det);
        // More than one texel per pixel minifies.
        sampler = std::fabs(sx.dx * sy.dy - sx.dy * sy.dx) > 1.0 ? &*context.minify : &*context.magnify;
    }
    if (!samples && flat) {
        uint32_t fill = context.stage.combine(0, a->diffuse);
        for (int64_t y = top; y <= bottom; ++y) {
            int64_t lo = state.clip.left, hi = state.clip.right - 1;
            if (edges[0].clip(y, &lo, &hi) && edges[1].clip(y, &lo, &hi) && edges[2].clip(y, &lo, &hi))
                context.merger.fillSpan(int(lo), int(y), int(hi - lo + 1), fill);
        }
        return;
    }

    for (int64_t y = top; y <= bottom; ++y) {
        int64_t lo = state.clip.left, hi = state.clip.right - 1;
        if (!edges[0].clip(y, &lo, &hi) || !edges[1].clip(y, &lo, &hi) || !edges[2].clip(y, &lo, &hi))
            continue;
        int count = int(hi - lo + 1);
        if (m_span.size() < size_t(count))
            m_span.resize(size_t(count));
        // Attribute values at the span's first pixel, stepped along the row.
        double px = double(lo) - x0, py = double(y) - y0;
        double channels[4] = {0, 0, 0, 0};
        if (!flat)
            for (int k = 0; k < 4; ++k)
                channels[k] = colour[k].at(px, py);
        double u = samples ? sx.at(px, py) : 0.0, v = samples ? sy.at(px, py) : 0.0;
        for (int i = 0; i < count; ++i) {
            uint32_t diffuse = a->diffuse;
            if (!flat) {
                diffuse = (clampChannel(channels[0]) << 24) | (clampChannel(channels[1]) << 16) |
                          (clampChannel(channels[2]) << 8) | clampChannel(channels[3]);
                for (int k = 0; k < 4; ++k)
                    channels[k] += colour[k].dx;
            }
            uint32_t texel = 0;
            if (samples) {
                texel = sampler->sample(float(u), float(v));
                u += sx.dx;
                v += sy.dx;
            }
            m_span[size_t(i)] = context.stage.combine(texel, diffuse);
        }
        context.merger.writeSpan(int(lo), int(y), count, m_span.data());
    }
}

} // namespace platform::d3d9
