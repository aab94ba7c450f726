// ColorBase.cpp: colour comparison and the colour constants.
#include "windowing/graphics/ColorBase.h"

bool ColorBase::equals(lang::Object* other)
{
    if (other == nullptr || !other->isInstanceOf("ColorBase"))
        return false;
    return static_cast<ColorBase*>(other)->m_value == m_value;
}

// Made before the program starts in this order, destroyed in reverse at exit.
const ColorBase ColorBase::blue(0, 0, 255, 255);
const ColorBase ColorBase::red(204, 0, 0, 255);
const ColorBase ColorBase::green(0, 255, 0, 255);
const ColorBase ColorBase::black(0, 0, 0, 255);
const ColorBase ColorBase::white(255, 255, 255, 255);
const ColorBase ColorBase::orange(255, 102, 0, 255);
const ColorBase ColorBase::yellow(255, 255, 0, 255);
const ColorBase ColorBase::gray(128, 128, 128, 255);
