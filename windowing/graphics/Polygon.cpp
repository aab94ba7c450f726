// Polygon.cpp: building a polygon from coordinate arrays.
#include "windowing/graphics/Polygon.h"

namespace window {

Polygon::Polygon(const int* xs, const int* ys, int count)
{
    for (int i = 0; i < count; ++i)
        addPoint(xs[i], ys[i]);
}

} // namespace window
