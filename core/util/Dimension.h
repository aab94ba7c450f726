// Dimension.h: an integer width and height.
#pragma once

#include "core/lang/Object.h"

namespace util {

class Dimension : public lang::Object {
public:
    Dimension() : width(0), height(0) {}
    Dimension(int w, int h) : width(w), height(h) {}
    Dimension(const Dimension& other) : lang::Object(), width(other.width), height(other.height) {}
    Dimension& operator=(const Dimension& other)
    {
        width = other.width;
        height = other.height;
        return *this;
    }

    HV_CLASS_NAME("Dimension", lang::Object)

    int width;
    int height;
};

} // namespace util
