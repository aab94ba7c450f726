// SpanList.h: the pixels of a shape as horizontal row spans, merged so that
// each pixel is painted once however often the shape covers it.
#pragma once

#include "platform/Win32Types.h"

#include <algorithm>
#include <vector>

namespace platform {

class SpanList {
public:
    // Adds the pixels x0 <= x < x1 of row y (nothing when x0 >= x1).
    void add(LONG y, LONG x0, LONG x1)
    {
        if (x0 < x1)
            m_spans.push_back({y, x0, x1});
    }
    bool empty() const { return m_spans.empty(); }

    // Calls f(y, x0, x1) for each merged span, row by row from the top.
    template <class F>
    void forEach(F&& f)
    {
        std::sort(m_spans.begin(), m_spans.end(), [](const Span& a, const Span& b) {
            return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
        });
        size_t i = 0;
        while (i < m_spans.size()) {
            Span cur = m_spans[i++];
            while (i < m_spans.size() && m_spans[i].y == cur.y && m_spans[i].x0 <= cur.x1) {
                cur.x1 = std::max(cur.x1, m_spans[i].x1);
                ++i;
            }
            f(cur.y, cur.x0, cur.x1);
        }
    }

private:
    struct Span {
        LONG y;
        LONG x0;
        LONG x1;
    };
    std::vector<Span> m_spans;
};

} // namespace platform
