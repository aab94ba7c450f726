// RectangleNM.cpp: rectangles: hashing, comparison and intersection.
#include "core/util/RectangleNM.h"

#include <cstdint>

namespace util {

RectangleNM& RectangleNM::operator=(const RectangleNM& other)
{
    x = other.x;
    y = other.y;
    width = other.width;
    height = other.height;
    return *this;
}

int RectangleNM::hashCode()
{
    uint32_t h = uint32_t(x);
    h = (h << 8) + uint32_t(y);
    h = (h << 8) + uint32_t(width);
    h = (h << 8) + uint32_t(height);
    return int32_t(h);
}

bool RectangleNM::equals(const RectangleNM* other)
{
    if (other == this)
        return true;
    if (other == nullptr || !const_cast<RectangleNM*>(other)->isInstanceOf("Rectangle"))
        return false;
    return x == other->x && y == other->y && width == other->width && height == other->height;
}

void RectangleNM::intersect(const RectangleNM& r)
{
    if (x < r.x + r.width && x + width > r.x && y < r.y + r.height && y + height > r.y) {
        int nx = x > r.x ? x : r.x;
        int ny = y > r.y ? y : r.y;
        int right = (x + width < r.x + r.width) ? x + width : r.x + r.width;
        int bottom = (y + height < r.y + r.height) ? y + height : r.y + r.height;
        x = nx;
        y = ny;
        width = right - nx;
        height = bottom - ny;
    } else {
        x = y = width = height = 0;
    }
}

} // namespace util
