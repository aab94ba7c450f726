// Picture.cpp: the shapes of the sample data's pictures.
#include "tools/Picture.h"

#include "tools/PngWriter.h"

#include <algorithm>
#include <cmath>

namespace tools {

void Picture::blend(int x, int y, uint32_t rgb, double alpha)
{
    if (x < 0 || y < 0 || x >= width || y >= height || alpha <= 0.0)
        return;
    alpha = std::min(alpha, 1.0);
    uint32_t& p = pixels[size_t(y) * size_t(width) + size_t(x)];
    const double below = (p >> 24) / 255.0;
    const double out = alpha + below * (1.0 - alpha);
    uint32_t result = uint32_t(std::lround(out * 255.0)) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const double s = (rgb >> shift & 0xFF) / 255.0;
        const double d = (p >> shift & 0xFF) / 255.0;
        const double c = out > 0.0 ? (s * alpha + d * below * (1.0 - alpha)) / out : 0.0;
        result |= uint32_t(std::lround(c * 255.0)) << shift;
    }
    p = result;
}

void Picture::ellipse(double cx, double cy, double rx, double ry, uint32_t rgb, double alpha)
{
    for (int y = int(cy - ry) - 1; y <= int(cy + ry) + 1; ++y)
        for (int x = int(cx - rx) - 1; x <= int(cx + rx) + 1; ++x) {
            const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            const double d = (1.0 - std::sqrt(dx * dx + dy * dy)) * std::min(rx, ry);
            blend(x, y, rgb, alpha * std::clamp(d + 0.5, 0.0, 1.0));
        }
}

void Picture::roundRect(int x0, int y0, int w, int h, double r, uint32_t rgb, double alpha)
{
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double qx = std::max({x0 + r - px, px - (x0 + w - r), 0.0});
            const double qy = std::max({y0 + r - py, py - (y0 + h - r), 0.0});
            const double d = r - std::sqrt(qx * qx + qy * qy);
            blend(x, y, rgb, alpha * std::clamp(d + 0.5, 0.0, 1.0));
        }
}

void Picture::triangle(double x1, double y1, double x2, double y2, double x3, double y3, uint32_t rgb, double alpha)
{
    const double area = (x2 - x1) * (y3 - y1) - (x3 - x1) * (y2 - y1);
    if (area == 0.0)
        return;
    const int left = int(std::floor(std::min({x1, x2, x3}))), right = int(std::ceil(std::max({x1, x2, x3})));
    const int top = int(std::floor(std::min({y1, y2, y3}))), bottom = int(std::ceil(std::max({y1, y2, y3})));
    // Four samples a pixel give the edges a little softness.
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            int inside = 0;
            for (double sy : {0.25, 0.75})
                for (double sx : {0.25, 0.75}) {
                    const double px = x + sx, py = y + sy;
                    const double a = ((x2 - px) * (y3 - py) - (x3 - px) * (y2 - py)) / area;
                    const double b = ((x3 - px) * (y1 - py) - (x1 - px) * (y3 - py)) / area;
                    inside += a >= 0 && b >= 0 && a + b <= 1;
                }
            blend(x, y, rgb, alpha * inside / 4.0);
        }
}

void Picture::line(double x1, double y1, double x2, double y2, double thickness, uint32_t rgb, double alpha)
{
    const double r = thickness / 2.0;
    const double length = std::hypot(x2 - x1, y2 - y1);
    for (int y = int(std::min(y1, y2) - r) - 1; y <= int(std::max(y1, y2) + r) + 1; ++y)
        for (int x = int(std::min(x1, x2) - r) - 1; x <= int(std::max(x1, x2) + r) + 1; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            double t = length > 0.0 ? ((px - x1) * (x2 - x1) + (py - y1) * (y2 - y1)) / (length * length) : 0.0;
            t = std::clamp(t, 0.0, 1.0);
            const double d = r - std::hypot(px - (x1 + t * (x2 - x1)), py - (y1 + t * (y2 - y1)));
            blend(x, y, rgb, alpha * std::clamp(d + 0.5, 0.0, 1.0));
        }
}

void Picture::draw(const Picture& other, int x, int y)
{
    for (int sy = 0; sy < other.height; ++sy)
        for (int sx = 0; sx < other.width; ++sx) {
            const uint32_t p = other.pixels[size_t(sy) * size_t(other.width) + size_t(sx)];
            blend(x + sx, y + sy, p & 0xFFFFFFu, (p >> 24) / 255.0);
        }
}

std::vector<uint8_t> Picture::png() const
{
    return encodePng(pixels.data(), width, height, true);
}

uint32_t mix(uint32_t a, uint32_t b, double t)
{
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const double ca = a >> shift & 0xFF, cb = b >> shift & 0xFF;
        out |= uint32_t(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

} // namespace tools
