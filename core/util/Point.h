// Point.h: an integer point.
#pragma once

#include "core/lang/Object.h"

namespace util {

class Point : public lang::Object {
public:
    Point() : x(0), y(0) {}
    Point(int px, int py) : x(px), y(py) {}
    Point(const Point& other) : lang::Object(), x(other.x), y(other.y) {}
    Point& operator=(const Point& other)
    {
        x = other.x;
        y = other.y;
        return *this;
    }

    HV_CLASS_NAME("Point", lang::Object)

    int x;
    int y;
};

} // namespace util
