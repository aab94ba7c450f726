// BandedRegion.cpp: region algebra by sweeping the bands of two regions from
// top to bottom and combining their horizontal spans band by band.
#include "platform/gdi/BandedRegion.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace platform {

namespace {

struct Span {
    LONG left;
    LONG right;
    bool operator==(const Span& o) const { return left == o.left && right == o.right; }
};

bool applyMode(int mode, bool inA, bool inB)
{
    switch (mode) {
    case RGN_AND: return inA && inB;
    case RGN_OR: return inA || inB;
    case RGN_XOR: return inA != inB;
    case RGN_DIFF: return inA && !inB;
    default: return inA;
    }
}

// Combines two sorted lists of disjoint spans into `out` (sorted, disjoint, not touching).
void combineSpans(const std::vector<Span>& a, const std::vector<Span>& b, int mode, std::vector<Span>& out)
{
    out.clear();
    size_t ia = 0, ib = 0;
    bool inA = false, inB = false;
    bool inside = false;
    LONG start = 0;
    // Walk the span edges of both lists in order; an edge toggles membership.
    while (ia < a.size() * 2 || ib < b.size() * 2) {
        LONG xa = ia < a.size() * 2 ? (ia % 2 == 0 ? a[ia / 2].left : a[ia / 2].right)
                                    : std::numeric_limits<LONG>::max();
        LONG xb = ib < b.size() * 2 ? (ib % 2 == 0 ? b[ib / 2].left : b[ib / 2].right)
                                    : std::numeric_limits<LONG>::max();
        LONG x = std::min(xa, xb);
        if (ia < a.size() * 2 && xa == x) {
            inA = (ia % 2 == 0);
            ++ia;
        }
        if (ib < b.size() * 2 && xb == x) {
            inB = (ib % 2 == 0);
            ++ib;
        }
        bool now = applyMode(mode, inA, inB);
        if (now && !inside) {
            start = x;
        } else if (!now && inside) {
            if (!out.empty() && out.back().right == start)
                out.back().right = x;
            else
                out.push_back({start, x});
        }
        inside = now;
    }
}

// Reads the bands of a canonical rectangle list.
class BandReader {
public:
    explicit BandReader(const std::vector<RECT>& rects) : m_rects(rects) {}

    bool done() const { return m_index >= m_rects.size(); }
    LONG top() const { return m_rects[m_index].top; }
    LONG bottom() const { return m_rects[m_index].bottom; }
    void spans(std::vector<Span>& out) const
    {
        out.clear();
        for (size_t i = m_index; i < m_rects.size() && m_rects[i].top == top(); ++i)
            out.push_back({m_rects[i].left, m_rects[i].right});
    }
    void next()
    {
        LONG t = top();
        while (m_index < m_rects.size() && m_rects[m_index].top == t)
            ++m_index;
    }

private:
    const std::vector<RECT>& m_rects;
    size_t m_index = 0;
};

// Appends a band, merging it into the previous band when that one ends where
// this one starts and has the same spans.
void appendBand(std::vector<RECT>& rects, size_t& lastBandStart, LONG top, LONG bottom, const std::vector<Span>& spans)
{
    if (spans.empty())
        return;
    if (lastBandStart < rects.size() && rects[lastBandStart].bottom == top &&
        rects.size() - lastBandStart == spans.size()) {
        bool same = true;
        for (size_t i = 0; i < spans.size() && same; ++i)
            same = rects[lastBandStart + i].left == spans[i].left && rects[lastBandStart + i].right == spans[i].right;
        if (same) {
            for (size_t i = lastBandStart; i < rects.size(); ++i)
                rects[i].bottom = bottom;
            return;
        }
    }
    lastBandStart = rects.size();
    for (const Span& s : spans)
        rects.push_back({s.left, top, s.right, bottom});
}

} // namespace

BandedRegion::BandedRegion(LONG left, LONG top, LONG right, LONG bottom)
{
    setRect(left, top, right, bottom);
}

BandedRegion::BandedRegion(const RECT& rect) : BandedRegion(rect.left, rect.top, rect.right, rect.bottom) {}

void BandedRegion::setRect(LONG left, LONG top, LONG right, LONG bottom)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    m_rects.clear();
    if (left < right && top < bottom)
        m_rects.push_back({left, top, right, bottom});
    updateBounds();
}

void BandedRegion::clear()
{
    m_rects.clear();
    updateBounds();
}

int BandedRegion::complexity() const
{
    if (m_rects.empty())
        return NULLREGION;
    return m_rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

size_t BandedRegion::firstRectOfRow(LONG y) const
{
    auto it = std::partition_point(m_rects.begin(), m_rects.end(), [y](const RECT& r) { return r.bottom <= y; });
    return static_cast<size_t>(it - m_rects.begin());
}

bool BandedRegion::contains(LONG x, LONG y) const
{
    bool found = false;
    forEachSpanPart(y, x, x + (x < std::numeric_limits<LONG>::max() ? 1 : 0), [&](LONG, LONG) { found = true; });
    return found;
}

bool BandedRegion::intersects(const RECT& rect) const
{
    LONG left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
    LONG top = std::min(rect.top, rect.bottom), bottom = std::max(rect.top, rect.bottom);
    if (left >= right || top >= bottom || m_rects.empty())
        return false;
    for (size_t i = firstRectOfRow(top); i < m_rects.size() && m_rects[i].top < bottom; ++i) {
        const RECT& r = m_rects[i];
        if (r.left < right && r.right > left)
            return true;
    }
    return false;
}

bool BandedRegion::offset(LONG dx, LONG dy)
{
    if (m_rects.empty())
        return true;
    auto fits = [](int64_t v) {
        return v >= std::numeric_limits<LONG>::min() && v <= std::numeric_limits<LONG>::max();
    };
    if (!fits(int64_t(m_bounds.left) + dx) || !fits(int64_t(m_bounds.right) + dx) ||
        !fits(int64_t(m_bounds.top) + dy) || !fits(int64_t(m_bounds.bottom) + dy))
        return false;
    for (RECT& r : m_rects) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
    updateBounds();
    return true;
}

BandedRegion BandedRegion::combine(const BandedRegion& a, const BandedRegion& b, int mode)
{
    if (mode == RGN_COPY)
        return a;
    BandedRegion result;
    BandReader ra(a.m_rects), rb(b.m_rects);
    std::vector<Span> spansA, spansB, spans;
    size_t lastBandStart = 0;
    // y walks through every band edge of either region; between two edges each
    // region is either wholly inside one of its bands or outside all of them.
    LONG y = std::numeric_limits<LONG>::min();
    while (!ra.done() || !rb.done()) {
        bool inA = !ra.done() && ra.top() <= y;
        bool inB = !rb.done() && rb.top() <= y;
        if (!inA && !inB) {
            y = std::numeric_limits<LONG>::max();
            if (!ra.done())
                y = std::min(y, ra.top());
            if (!rb.done())
                y = std::min(y, rb.top());
            continue;
        }
        LONG end = std::numeric_limits<LONG>::max();
        if (!ra.done())
            end = std::min(end, inA ? ra.bottom() : ra.top());
        if (!rb.done())
            end = std::min(end, inB ? rb.bottom() : rb.top());
        if (inA)
            ra.spans(spansA);
        else
            spansA.clear();
        if (inB)
            rb.spans(spansB);
        else
            spansB.clear();
        combineSpans(spansA, spansB, mode, spans);
        appendBand(result.m_rects, lastBandStart, y, end, spans);
        y = end;
        if (inA && ra.bottom() == end)
            ra.next();
        if (inB && rb.bottom() == end)
            rb.next();
    }
    result.updateBounds();
    return result;
}

bool BandedRegion::operator==(const BandedRegion& other) const
{
    if (m_rects.size() != other.m_rects.size())
        return false;
    for (size_t i = 0; i < m_rects.size(); ++i) {
        const RECT& a = m_rects[i];
        const RECT& b = other.m_rects[i];
        if (a.left != b.left || a.top != b.top || a.right != b.right || a.bottom != b.bottom)
            return false;
    }
    return true;
}

void BandedRegion::updateBounds()
{
    if (m_rects.empty()) {
        m_bounds = {0, 0, 0, 0};
        return;
    }
    m_bounds = {m_rects.front().left, m_rects.front().top, m_rects.front().right, m_rects.back().bottom};
    for (const RECT& r : m_rects) {
        m_bounds.left = std::min(m_bounds.left, r.left);
        m_bounds.right = std::max(m_bounds.right, r.right);
    }
}

} // namespace platform
