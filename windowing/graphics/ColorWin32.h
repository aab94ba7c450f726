// ColorWin32.h: the platform form of the colour; the same packed word, the
// type the graphics state and components keep.
#pragma once

#include "windowing/graphics/ColorBase.h"

class ColorWin32 : public ColorBase {
public:
    ColorWin32() = default;
    explicit ColorWin32(uint32_t value) : ColorBase(value) {}
    ColorWin32(int r, int g, int b, int a) : ColorBase(r, g, b, a) {}
    ColorWin32(const ColorWin32& other) = default;
    explicit ColorWin32(const ColorBase& other) : ColorBase(other) {}
    ColorWin32& operator=(const ColorWin32& other) = default;
    ColorWin32& operator=(const ColorBase& other)
    {
        ColorBase::operator=(other);
        return *this;
    }
    ColorWin32& operator=(uint32_t value)
    {
        ColorBase::operator=(value);
        return *this;
    }

    HV_CLASS_NAME("ColorWin32", ColorBase)
};
