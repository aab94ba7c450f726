// ColorBase.cpp: colour comparison.
#include "windowing/graphics/ColorBase.h"

bool ColorBase::equals(lang::Object* other)
{
    if (other == nullptr || !other->isInstanceOf("ColorBase"))
        return false;
    return static_cast<ColorBase*>(other)->m_value == m_value;
}
