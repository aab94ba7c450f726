// RectangleNM.h: an integer rectangle covering x <= px < x + width and
// y <= py < y + height. Its class name is "Rectangle".
#pragma once

#include "core/lang/Object.h"

namespace util {

class RectangleNM : public lang::Object {
public:
    RectangleNM() : x(0), y(0), width(0), height(0) {}
    RectangleNM(int rx, int ry, int w, int h) : x(rx), y(ry), width(w), height(h) {}
    RectangleNM(const RectangleNM& other) : lang::Object(), x(other.x), y(other.y), width(other.width), height(other.height) {}
    RectangleNM& operator=(const RectangleNM& other);
    ~RectangleNM() override = default;

    bool contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    // ((((x << 8) + y) << 8) + width) << 8) + height, wrapping in 32 bits.
    int hashCode() override;
    using lang::Object::equals; // identity, so hash tables compare rectangles by identity
    // True for this very object, or for another "Rectangle" with equal fields.
    virtual bool equals(const RectangleNM* other);
    // Becomes the intersection with r; all zero when they do not overlap
    // (rectangles that only touch do not).
    void intersect(const RectangleNM& r);

    HV_CLASS_NAME("Rectangle", lang::Object)

    int x;
    int y;
    int width;
    int height;
};

} // namespace util
