// BresenhamStepper.h: an integer stepper that walks a value to a target in a
// fixed number of equal whole steps, spreading the remainder over the run.
#pragma once

namespace sprite {

class BresenhamStepper {
public:
    // Prepares a run from `from` to `to` in `count` steps (below 1 counts as 1).
    void init(int from, int to, int count);
    // The value after one more step from `value`: the whole step, plus one
    // whenever the spread remainder has gathered a full step.
    int next(int value);
    // Stops the run from moving the value any further.
    void stop()
    {
        step = 0;
        remainder = 0;
    }

    int step = 0;
    int remainder = 0;
    int error = 0;
    int steps = 0;
    bool descending = false;
};

} // namespace sprite
