// Math.h: small integer and floating-point helpers, and the cheap random double.
#pragma once

namespace lang {

class Math {
public:
    // The negation of a negative value; the most negative int comes back unchanged.
    static int abs(int v) { return v < 0 ? int(0u - unsigned(v)) : v; }
    static int min(int a, int b) { return a < b ? a : b; }
    static int max(int a, int b) { return a > b ? a : b; }
    static double abs(double v) { return v < 0 ? -v : v; }
    // A double in [0, 1): the calling thread's C runtime generator divided by
    // 32768, the generator seeded from the tick count on the thread's first call.
    static double random();
};

} // namespace lang
