// Random.cpp: the ISAAC variant with rotations, its seeding and bounded draws.
#include "core/util/Random.h"

#include "core/lang/IntArray.h"
#include "core/lang/Synchronized.h"
#include "platform/kernel/CRuntime.h"
#include "platform/kernel/Clock.h"


namespace util {

namespace {

inline uint32_t ror(uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

// ISAAC's initial mix of eight words, each right shift turned into a rotation.
inline void mix(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e, uint32_t& f, uint32_t& g,
                uint32_t& h)
{
    a ^= b << 11;     d += a; b += c;
    b ^= ror(c, 2);   e += b; c += d;
    c ^= d << 8;      f += c; d += e;
    d ^= ror(e, 16);  g += d; e += f;
    e ^= f << 10;     h += e; f += g;
    f ^= ror(g, 4);   a += f; g += h;
    g ^= h << 8;      b += g; h += a;
    h ^= ror(a, 9);   c += h; a += b;
}

} // namespace

Random::Random()
    : m_nNextIndex(0), m_pdwResults(nullptr), m_pdwMemory(nullptr), m_dwAA(0), m_dwBB(0), m_dwCC(0)
{
    seed(int(GetTickCount()));
}

Random::~Random()
{
    delete[] m_pdwResults;
    delete[] m_pdwMemory;
}

void Random::seed(int s)
{
    m_dwAA = m_dwBB = m_dwCC = 0;
    crtSrand(unsigned(s));
    int skip = crtRand() % 10000;
    for (int i = 0; i < skip; ++i)
        crtRand();
    lang::IntArray words;
    words.setLength(kWords);
    for (int i = 0; i < kWords; ++i)
        words[i] = crtRand();
    setSeed(words);
}

void Random::setSeed(lang::IntArray& words)
{
    delete[] m_pdwResults;
    delete[] m_pdwMemory;
    m_pdwResults = new uint32_t[kWords]();
    m_pdwMemory = new uint32_t[kWords]();
    int given = words.length() < kWords ? words.length() : kWords;
    for (int i = 0; i < given; ++i)
        m_pdwResults[i] = uint32_t(words[i]);
    initialise();
}

// Scrambles the seed words (in the results) into the memory, then refills.
void Random::initialise()
{
    uint32_t a, b, c, d, e, f, g, h;
    a = b = c = d = e = f = g = h = 0x9E3779B9; // the golden ratio
    for (int i = 0; i < 4; ++i)
        mix(a, b, c, d, e, f, g, h);
    for (int pass = 0; pass < 2; ++pass) {
        const uint32_t* source = pass == 0 ? m_pdwResults : m_pdwMemory;
        for (int i = 0; i < kWords; i += 8) {
            a += source[i];
            b += source[i + 1];
            c += source[i + 2];
            d += source[i + 3];
            e += source[i + 4];
            f += source[i + 5];
            g += source[i + 6];
            h += source[i + 7];
            mix(a, b, c, d, e, f, g, h);
            m_pdwMemory[i] = a;
            m_pdwMemory[i + 1] = b;
            m_pdwMemory[i + 2] = c;
            m_pdwMemory[i + 3] = d;
            m_pdwMemory[i + 4] = e;
            m_pdwMemory[i + 5] = f;
            m_pdwMemory[i + 6] = g;
            m_pdwMemory[i + 7] = h;
        }
    }
    refill();
    m_nNextIndex = kWords;
}

// Makes 256 new results.
void Random::refill()
{
    ++m_dwCC;
    m_dwBB += m_dwCC;
    for (int i = 0; i < kWords; ++i) {
        uint32_t x = m_pdwMemory[i];
        switch (i & 3) {
        case 0: m_dwAA ^= m_dwAA << 13; break;
        case 1: m_dwAA ^= ror(m_dwAA, 6); break;
        case 2: m_dwAA ^= m_dwAA << 2; break;
        default: m_dwAA ^= ror(m_dwAA, 16); break;
        }
        m_dwAA += m_pdwMemory[(i + 128) & 255];
        uint32_t y = m_pdwMemory[(x >> 2) & 255] + m_dwAA + m_dwBB;
        m_pdwMemory[i] = y;
        m_dwBB = m_pdwMemory[(y >> 10) & 255] + x;
        m_pdwResults[i] = m_dwBB;
    }
}

// Results are handed out from the last to the first, then a refill.
uint32_t Random::nextWord()
{
    if (--m_nNextIndex >= 0)
        return m_pdwResults[m_nNextIndex];
    lang::Synchronized guard(this, true);
    if (m_nNextIndex < 0) {
        refill();
        m_nNextIndex = kWords - 1;
    }
    return m_pdwResults[m_nNextIndex];
}

// Takes the top k bits of each word, k the bit length of max, until the value
// is at most max: fewer than two words per draw on average.
uint32_t Random::nextBounded(uint32_t max)
{
    int k = 0;
    while (k < 32 && (max >> k) != 0)
        ++k;
    uint32_t v;
    do {
        v = nextWord() >> (32 - k);
    } while (v > max);
    return v;
}

int Random::nextInt(int max)
{
    if (max < 1)
        return 0;
    return int(nextBounded(uint32_t(max)));
}

int Random::nextInt(int a, int b)
{
    if (a == b)
        return a;
    // The span is taken in unsigned arithmetic so that the widest ranges
    // (more than 2^31 - 1 apart) neither overflow nor lose their upper end.
    if (b > a)
        return int(uint32_t(a) + nextBounded(uint32_t(b) - uint32_t(a)));
    return int(uint32_t(b) + nextBounded(uint32_t(a) - uint32_t(b)));
}

} // namespace util
