// The random generator: its words against an independent model of the
// rotating ISAAC variant and of its seeding, inclusive bounds, draws that
// take no word, and the spread of bounded draws.
#include "core/lang/IntArray.h"
#include "core/util/Random.h"
#include "platform/kernel/Clock.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <set>
#include <vector>

namespace {

// A model written from the generator's description, sharing no code with it.
class ModelGenerator {
public:
    explicit ModelGenerator(uint32_t seed)
    {
        // The Windows C runtime generator: skip (first value mod 10000) values,
        // then the next 256 values are the seed words.
        uint32_t state = seed;
        auto draw = [&state] {
            state = state * 214013u + 2531011u;
            return (state >> 16) & 0x7FFFu;
        };
        uint32_t skip = draw() % 10000u;
        for (uint32_t i = 0; i < skip; ++i)
            draw();
        uint32_t words[256];
        for (auto& w : words)
            w = draw();
        init(words);
    }
    // Reseeds from the given words; aa, bb and cc carry on from the current state.
    void setSeed(const uint32_t (&words)[256]) { init(words); }

    // Returns batches of 256 results, last result first, as the generator hands them out.
    uint32_t next()
    {
        if (m_index == 0) {
            isaac();
            m_index = 256;
            ++m_batches;
        }
        return m_results[--m_index];
    }
    int batches() const { return m_batches; }

private:
    static uint32_t rotr(uint32_t x, unsigned n) { return (x >> n) | (x << (32 - n)); }

    static void mix(uint32_t* s)
    {
        uint32_t &a = s[0], &b = s[1], &c = s[2], &d = s[3], &e = s[4], &f = s[5], &g = s[6], &h = s[7];
        a ^= b << 11; d += a; b += c;
        b ^= rotr(c, 2); e += b; c += d;
        c ^= d << 8; f += c; d += e;
        d ^= rotr(e, 16); g += d; e += f;
        e ^= f << 10; h += e; f += g;
        f ^= rotr(g, 4); a += f; g += h;
        g ^= h << 8; b += g; h += a;
        h ^= rotr(a, 9); c += h; a += b;
    }

    void init(const uint32_t (&words)[256])
    {
        uint32_t s[8];
        for (auto& x : s)
            x = 0x9E3779B9u;
        for (int i = 0; i < 4; ++i)
            mix(s);
        for (int i = 0; i < 256; i += 8) {
            for (int k = 0; k < 8; ++k)
                s[k] += words[i + k];
            mix(s);
            for (int k = 0; k < 8; ++k)
                m_mem[i + k] = s[k];
        }
        for (int i = 0; i < 256; i += 8) {
            for (int k = 0; k < 8; ++k)
                s[k] += m_mem[i + k];
            mix(s);
            for (int k = 0; k < 8; ++k)
                m_mem[i + k] = s[k];
        }
        isaac();
        m_index = 256;
        m_batches = 1;
    }

    void isaac()
    {
        m_cc += 1;
        m_bb += m_cc;
        for (int i = 0; i < 256; ++i) {
            uint32_t x = m_mem[i];
            if (i % 4 == 0)
                m_aa ^= m_aa << 13;
            else if (i % 4 == 1)
                m_aa ^= rotr(m_aa, 6);
            else if (i % 4 == 2)
                m_aa ^= m_aa << 2;
            else
                m_aa ^= rotr(m_aa, 16);
            m_aa += m_mem[(i + 128) % 256];
            uint32_t y = m_mem[(x >> 2) & 255] + m_aa + m_bb;
            m_mem[i] = y;
            m_bb = m_mem[(y >> 10) & 255] + x;
            m_results[i] = m_bb;
        }
    }

    uint32_t m_mem[256] = {};
    uint32_t m_results[256] = {};
    uint32_t m_aa = 0, m_bb = 0, m_cc = 0;
    int m_index = 0;
    int m_batches = 0;
};

// The model's bounded draw: the top k bits of each word until one is at most max.
int modelBounded(ModelGenerator& m, int max)
{
    int k = 0;
    while ((uint32_t(max) >> k) != 0)
        ++k;
    for (;;) {
        uint32_t v = m.next() >> (32 - k);
        if (v <= uint32_t(max))
            return int(v);
    }
}

TEST(Random, WordsMatchTheModelAcrossSeveralRefills)
{
    util::Random r;
    r.seed(12345);
    ModelGenerator model(12345);
    // nextInt(INT_MAX) takes exactly one word and returns its top 31 bits.
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(r.nextInt(INT_MAX), int(model.next() >> 1)) << "word " << i;
    EXPECT_EQ(model.batches(), 4);
}

TEST(Random, TheTwoHundredFiftySeventhWordComesFromARefill)
{
    util::Random r;
    r.seed(777);
    ModelGenerator model(777);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(r.nextInt(INT_MAX), int(model.next() >> 1));
    EXPECT_EQ(model.batches(), 1);
    uint32_t word257 = model.next();
    EXPECT_EQ(model.batches(), 2) << "the model refilled for word 257";
    EXPECT_EQ(r.nextInt(INT_MAX), int(word257 >> 1));
}

TEST(Random, BoundedDrawsRejectLikeTheModel)
{
    util::Random r;
    r.seed(99);
    ModelGenerator model(99);
    const int bounds[] = {5, 1, 9, 2, 100, 3, 1000, 7, 65536, 8};
    for (int i = 0; i < 2000; ++i) {
        int max = bounds[i % 10];
        ASSERT_EQ(r.nextInt(max), modelBounded(model, max)) << "draw " << i;
    }
}

TEST(Random, EmptyRangesDrawNoWord)
{
    util::Random r;
    r.seed(4242);
    ModelGenerator model(4242);
    EXPECT_EQ(r.nextInt(0), 0);
    EXPECT_EQ(r.nextInt(-5), 0);
    EXPECT_EQ(r.nextInt(INT_MIN), 0);
    EXPECT_EQ(r.nextInt(3, 3), 3);
    EXPECT_EQ(r.nextInt(INT_MAX), int(model.next() >> 1));
    EXPECT_EQ(r.nextInt(0), 0);
    EXPECT_EQ(r.nextInt(INT_MAX), int(model.next() >> 1));
}

TEST(Random, ConstructionSeedsFromTheTickCount)
{
    platform::FakeClock clock(31337);
    platform::ScopedClock use(clock);
    util::Random r;
    ModelGenerator model(31337);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(r.nextInt(INT_MAX), int(model.next() >> 1));
    EXPECT_STREQ(r.getClassName(), "Random");
    EXPECT_TRUE(r.isInstanceOf("Random") && r.isInstanceOf("Object"));
}

TEST(Random, SetSeedTakesTheGivenWordsAndZeroForMissingOnes)
{
    for (int given : {256, 3}) {
        uint32_t words[256] = {};
        lang::IntArray array;
        array.setLength(given);
        for (int i = 0; i < given; ++i) {
            words[i] = uint32_t(i + 1) * 2654435761u;
            array[i] = int(words[i]);
        }
        // aa, bb and cc carry on from the state before: both start from seed 8.
        util::Random r;
        r.seed(8);
        r.setSeed(array);
        ModelGenerator model(8);
        model.setSeed(words);
        for (int i = 0; i < 600; ++i)
            ASSERT_EQ(r.nextInt(INT_MAX), int(model.next() >> 1)) << given << " words, draw " << i;
    }
}

TEST(Random, BoundsAreInclusiveInEitherOrder)
{
    util::Random r;
    r.seed(2024);
    std::set<int> seen1, seen5, seen72, seenNegative;
    for (int i = 0; i < 3000; ++i) {
        seen1.insert(r.nextInt(1));
        seen5.insert(r.nextInt(5));
        seen72.insert(r.nextInt(7, 2));
        seenNegative.insert(r.nextInt(-1, -3));
    }
    EXPECT_EQ(seen1, (std::set<int>{0, 1}));
    EXPECT_EQ(seen5, (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(seen72, (std::set<int>{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(seenNegative, (std::set<int>{-3, -2, -1}));
    // The widest spans do not overflow (the sanitizer build checks).
    bool negative = false, positive = false;
    for (int i = 0; i < 200; ++i) {
        int v = r.nextInt(INT_MIN, INT_MAX);
        negative |= v < 0;
        positive |= v > 0;
    }
    EXPECT_TRUE(negative && positive);
}

TEST(Random, BoundedDrawsAreEvenlySpread)
{
    util::Random r;
    r.seed(1);
    const int draws = 1000000;
    std::vector<int> counts(10);
    for (int i = 0; i < draws; ++i)
        ++counts[size_t(r.nextInt(9))];
    double expected = draws / 10.0, chi2 = 0;
    for (int c : counts) {
        EXPECT_NEAR(c / double(draws), 0.1, 0.003);
        chi2 += (c - expected) * (c - expected) / expected;
    }
    // 27.88 is the 0.999 quantile of chi-square with 9 degrees of freedom.
    EXPECT_LT(chi2, 27.88);
}

} // namespace
