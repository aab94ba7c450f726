// Picture.h: a picture being drawn in memory for the sample data: 0xAARRGGBB
// pixels drawn over with "source over" in soft-edged shapes (ellipses,
// rounded rectangles, triangles, thick lines), then encoded as a PNG.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tools {

struct Picture {
    Picture(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}

    // Mixes colour `rgb` with coverage `alpha` (0..1) over the pixel.
    void blend(int x, int y, uint32_t rgb, double alpha);
    // An ellipse with a soft edge about a pixel wide.
    void ellipse(double cx, double cy, double rx, double ry, uint32_t rgb, double alpha = 1.0);
    // A rectangle with rounded corners of radius r.
    void roundRect(int x0, int y0, int w, int h, double r, uint32_t rgb, double alpha = 1.0);
    // A filled triangle.
    void triangle(double x1, double y1, double x2, double y2, double x3, double y3, uint32_t rgb,
                  double alpha = 1.0);
    // A line `thickness` wide with round ends.
    void line(double x1, double y1, double x2, double y2, double thickness, uint32_t rgb, double alpha = 1.0);
    // Copies the other picture in at (x, y), drawn over what is there.
    void draw(const Picture& other, int x, int y);
    std::vector<uint8_t> png() const;

    int width;
    int height;
    std::vector<uint32_t> pixels;
};

// The colour between a and b at t (0..1), opaque.
uint32_t mix(uint32_t a, uint32_t b, double t);

} // namespace tools
