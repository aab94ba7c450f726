// RandomDraw.h: where a scene takes its random numbers from: its room's
// generator, through calls a test can replace by a script of its own (the
// draws are virtual), and the shuffle the puzzles share.
#pragma once

namespace util {
class Random;
}

class RandomDraw {
public:
    // Draws from the generator (not owned; it outlives the draw).
    explicit RandomDraw(util::Random& generator) : m_pGenerator(&generator) {}
    virtual ~RandomDraw() = default;
    RandomDraw(const RandomDraw&) = delete;
    RandomDraw& operator=(const RandomDraw&) = delete;

    // A uniform int from 0 to max, both included; 0 when max is below 1.
    virtual int nextInt(int max);
    // A uniform int between a and b, both included, in either order.
    virtual int nextInt(int a, int b);

    // Shuffles values[0..n-1] in place: for each position i from 0 on, a
    // position j is drawn from the whole array (nextInt(n - 1)) and the two
    // are swapped when they differ. So every shuffle of n values makes n
    // draws; n below 1 does nothing.
    static void shuffle(RandomDraw& draw, int* values, int n);

private:
    util::Random* m_pGenerator;
};
