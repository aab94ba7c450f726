// RandomDraw.cpp: draws from a room's generator, and the puzzles' shuffle.
#include "scenes/common/RandomDraw.h"

#include "core/util/Random.h"

#include <utility>

int RandomDraw::nextInt(int max)
{
    return m_pGenerator->nextInt(max);
}

int RandomDraw::nextInt(int a, int b)
{
    return m_pGenerator->nextInt(a, b);
}

void RandomDraw::shuffle(RandomDraw& draw, int* values, int n)
{
    for (int i = 0; i < n; ++i) {
        const int j = draw.nextInt(n - 1);
        // A draw outside the array (only a scripted draw can give one) swaps nothing.
        if (j != i && j >= 0 && j < n)
            std::swap(values[i], values[j]);
    }
}
