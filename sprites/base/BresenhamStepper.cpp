// BresenhamStepper.cpp: the whole-step walk of animated sprite values.
#include "sprites/base/BresenhamStepper.h"

#include <cstdint>

namespace sprite {

void BresenhamStepper::init(int from, int to, int count)
{
    descending = to < from;
    // The distance in 64 bits: two far-apart ints do not fit in 32.
    int64_t distance = descending ? int64_t(from) - to : int64_t(to) - from;
    int n = count < 1 ? 1 : count;
    step = int(distance / n);
    remainder = int(distance % n);
    error = 0;
    steps = n;
}

int BresenhamStepper::next(int value)
{
    int increment = step;
    if (remainder != 0) {
        error += remainder;
        if (error >= steps) {
            ++increment;
            error -= steps;
        }
    }
    return descending ? value - increment : value + increment;
}

} // namespace sprite
