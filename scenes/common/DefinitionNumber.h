// DefinitionNumber.h: a room's definition numbers read with a bounds check,
// so that a definition shorter than its room expects reads as zeros.
#pragma once

#include "core/lang/IntArray.h"

class DefinitionNumber {
public:
    // Number i of the list, or 0 outside it.
    static int at(const lang::IntArray& numbers, int i)
    {
        return i >= 0 && i < numbers.length() ? numbers[i] : 0;
    }
};
