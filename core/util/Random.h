// Random.h: the random generator object: ISAAC with 256 words of state, in the
// variant where every right shift of the mixing steps is a rotation right,
// seeded through the C runtime's small generator. Bounded draws include their
// upper bound. One generator is meant for one thread at a time.
#pragma once

#include "core/lang/Object.h"

#include <cstdint>

namespace lang {
class IntArray;
}

namespace util {

class Random : public lang::Object {
public:
    // Seeded from the tick count.
    Random();
    ~Random() override;

    // Seeds the calling thread's C runtime generator with s, skips a number of
    // its values (its first value modulo 10000), and seeds this generator with
    // the next 256 values.
    void seed(int s);
    // Seeds from 256 words (missing words count as 0) and refills. Only seed
    // clears the running sums aa, bb and cc; here they carry on.
    void setSeed(lang::IntArray& words);
    // A uniform int from 0 to max, both included; 0 without drawing when max < 1.
    int nextInt(int max);
    // A uniform int between a and b, both included, in either order.
    int nextInt(int a, int b);

    HV_CLASS_NAME("Random", lang::Object)

private:
    static const int kWords = 256;

    void initialise();
    void refill();
    uint32_t nextWord();
    // A uniform value from 0 to max (any 32-bit max), both included.
    uint32_t nextBounded(uint32_t max);

    int m_nNextIndex;
    uint32_t* m_pdwResults;
    uint32_t* m_pdwMemory;
    uint32_t m_dwAA;
    uint32_t m_dwBB;
    uint32_t m_dwCC;
};

} // namespace util
