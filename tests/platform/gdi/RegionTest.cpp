// Region algebra checked against a model that keeps every pixel as a set member.
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <bitset>
#include <random>
#include <vector>

namespace {

const int kGrid = 24; // the model covers 0..23 on both axes

struct PixelSet {
    std::bitset<kGrid * kGrid> bits;
    bool has(int x, int y) const { return x >= 0 && y >= 0 && x < kGrid && y < kGrid && bits[y * kGrid + x]; }
    void addRect(int l, int t, int r, int b)
    {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                bits[y * kGrid + x] = true;
    }
};

PixelSet combineModel(const PixelSet& a, const PixelSet& b, int mode)
{
    PixelSet out;
    for (int i = 0; i < kGrid * kGrid; ++i) {
        bool p = a.bits[i], q = b.bits[i];
        switch (mode) {
        case RGN_AND: out.bits[i] = p && q; break;
        case RGN_OR: out.bits[i] = p || q; break;
        case RGN_XOR: out.bits[i] = p != q; break;
        case RGN_DIFF: out.bits[i] = p && !q; break;
        default: out.bits[i] = p; break;
        }
    }
    return out;
}

int modelComplexity(const PixelSet& s)
{
    int count = 0, l = kGrid, t = kGrid, r = -1, b = -1;
    for (int y = 0; y < kGrid; ++y)
        for (int x = 0; x < kGrid; ++x)
            if (s.has(x, y)) {
                ++count;
                l = std::min(l, x);
                t = std::min(t, y);
                r = std::max(r, x);
                b = std::max(b, y);
            }
    if (count == 0)
        return NULLREGION;
    return count == (r - l + 1) * (b - t + 1) ? SIMPLEREGION : COMPLEXREGION;
}

std::vector<RECT> regionRects(HRGN rgn, RGNDATAHEADER* header = nullptr)
{
    DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<char> buffer(size);
    EXPECT_EQ(GetRegionData(rgn, size, reinterpret_cast<RGNDATA*>(buffer.data())), size);
    const RGNDATA* data = reinterpret_cast<const RGNDATA*>(buffer.data());
    if (header)
        *header = data->rdh;
    const RECT* rects = reinterpret_cast<const RECT*>(buffer.data() + sizeof(RGNDATAHEADER));
    return std::vector<RECT>(rects, rects + data->rdh.nCount);
}

// The banded form: bands top to bottom without overlap, rectangles of a band
// share its top and bottom, sorted left to right without touching, and no
// two touching bands with the same spans.
void expectCanonical(HRGN rgn)
{
    std::vector<RECT> rects = regionRects(rgn);
    size_t i = 0;
    LONG previousBottom = INT32_MIN;
    std::vector<std::pair<LONG, LONG>> previousSpans;
    while (i < rects.size()) {
        LONG top = rects[i].top, bottom = rects[i].bottom;
        ASSERT_LT(top, bottom);
        ASSERT_GE(top, previousBottom);
        std::vector<std::pair<LONG, LONG>> spans;
        for (; i < rects.size() && rects[i].top == top; ++i) {
            ASSERT_EQ(rects[i].bottom, bottom);
            ASSERT_LT(rects[i].left, rects[i].right);
            if (!spans.empty()) {
                ASSERT_GT(rects[i].left, spans.back().second);
            }
            spans.push_back({rects[i].left, rects[i].right});
        }
        if (top == previousBottom) {
            ASSERT_NE(spans, previousSpans) << "touching bands with equal spans were not merged";
        }
        previousBottom = bottom;
        previousSpans = spans;
    }
}

HRGN regionFromModel(const PixelSet& s)
{
    HRGN out = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < kGrid; ++y)
        for (int x = 0; x < kGrid; ++x)
            if (s.has(x, y)) {
                HRGN px = CreateRectRgn(x, y, x + 1, y + 1);
                CombineRgn(out, out, px, RGN_OR);
                DeleteObject(px);
            }
    return out;
}

TEST(Regions, RandomAlgebraMatchesPixelModel)
{
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> coord(0, kGrid - 4);
    std::uniform_int_distribution<int> count(1, 5);
    auto randomRegion = [&](PixelSet& model) {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        for (int n = count(rng); n > 0; --n) {
            int l = coord(rng), t = coord(rng), r = coord(rng), b = coord(rng);
            HRGN part = CreateRectRgn(l, t, r, b); // corners in any order
            model.addRect(std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b));
            CombineRgn(rgn, rgn, part, RGN_OR);
            DeleteObject(part);
        }
        return rgn;
    };
    for (int round = 0; round < 150; ++round) {
        PixelSet ma, mb;
        HRGN a = randomRegion(ma), b = randomRegion(mb);
        for (int mode = RGN_AND; mode <= RGN_COPY; ++mode) {
            PixelSet expected = combineModel(ma, mb, mode);
            HRGN dest = CreateRectRgn(0, 0, 0, 0);
            int type = CombineRgn(dest, a, b, mode);
            ASSERT_EQ(type, modelComplexity(expected)) << "round " << round << " mode " << mode;
            for (int y = -1; y <= kGrid; ++y)
                for (int x = -1; x <= kGrid; ++x)
                    ASSERT_EQ(PtInRegion(dest, x, y) != 0, expected.has(x, y))
                        << "round " << round << " mode " << mode << " at " << x << "," << y;
            expectCanonical(dest);
            // Canonical form makes equal areas equal regions, however they were built.
            HRGN rebuilt = regionFromModel(expected);
            EXPECT_TRUE(EqualRgn(dest, rebuilt));
            DeleteObject(rebuilt);
            DeleteObject(dest);
        }
        DeleteObject(a);
        DeleteObject(b);
    }
}

TEST(Regions, DestinationMayBeAnOperand)
{
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    EXPECT_EQ(CombineRgn(a, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(a, 4, 9));
    EXPECT_FALSE(PtInRegion(a, 5, 5));
    EXPECT_EQ(CombineRgn(b, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(b, 0, 0));
    EXPECT_TRUE(PtInRegion(b, 14, 14));
    EXPECT_EQ(CombineRgn(b, b, b, RGN_XOR), NULLREGION);
    DeleteObject(a);
    DeleteObject(b);
}

TEST(Regions, RegionDataListsBands)
{
    // An L shape and a detached square: three bands after merging.
    HRGN rgn = CreateRectRgn(0, 0, 10, 5);
    HRGN part = CreateRectRgn(0, 5, 4, 12);
    CombineRgn(rgn, rgn, part, RGN_OR);
    SetRectRgn(part, 20, 8, 25, 12);
    CombineRgn(rgn, rgn, part, RGN_OR);
    DeleteObject(part);

    RGNDATAHEADER header;
    std::vector<RECT> rects = regionRects(rgn, &header);
    EXPECT_EQ(header.dwSize, sizeof(RGNDATAHEADER));
    EXPECT_EQ(header.iType, static_cast<DWORD>(RDH_RECTANGLES));
    EXPECT_EQ(header.nRgnSize, 4 * sizeof(RECT));
    EXPECT_EQ(header.rcBound.left, 0);
    EXPECT_EQ(header.rcBound.top, 0);
    EXPECT_EQ(header.rcBound.right, 25);
    EXPECT_EQ(header.rcBound.bottom, 12);
    const RECT expected[] = {{0, 0, 10, 5}, {0, 5, 4, 8}, {0, 8, 4, 12}, {20, 8, 25, 12}};
    ASSERT_EQ(rects.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rects[i].left, expected[i].left) << i;
        EXPECT_EQ(rects[i].top, expected[i].top) << i;
        EXPECT_EQ(rects[i].right, expected[i].right) << i;
        EXPECT_EQ(rects[i].bottom, expected[i].bottom) << i;
    }
    // A buffer one rectangle short is refused.
    std::vector<char> small(sizeof(RGNDATAHEADER) + 3 * sizeof(RECT));
    EXPECT_EQ(GetRegionData(rgn, static_cast<DWORD>(small.size()), reinterpret_cast<RGNDATA*>(small.data())), 0u);
    DeleteObject(rgn);
}

TEST(Regions, RectanglesAreNormalisedAndEmptyOnesAreNullRegions)
{
    HRGN rgn = CreateRectRgn(10, 20, 0, 5);
    RECT box;
    EXPECT_EQ(GetRgnBox(rgn, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 5);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(box.bottom, 20);
    EXPECT_TRUE(SetRectRgn(rgn, 3, 3, 3, 9));
    EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
    EXPECT_EQ(box.left | box.top | box.right | box.bottom, 0);
    EXPECT_EQ(GetRegionData(rgn, 0, nullptr), sizeof(RGNDATAHEADER));
    RECT r{0, 0, 1, 1};
    HRGN indirect = CreateRectRgnIndirect(&r);
    EXPECT_EQ(GetRgnBox(indirect, &box), SIMPLEREGION);
    DeleteObject(rgn);
    DeleteObject(indirect);
}

TEST(Regions, RectInRegionFindsAnyOverlap)
{
    // Two disjoint rectangles: rectangles over either hit, one between them does not.
    HRGN rgn = CreateRectRgn(0, 0, 10, 10);
    HRGN other = CreateRectRgn(30, 0, 40, 10);
    CombineRgn(rgn, rgn, other, RGN_OR);
    RECT left{5, 5, 8, 8}, right{35, 2, 36, 3}, between{10, 0, 30, 10}, touching{-5, 10, 50, 20};
    EXPECT_TRUE(RectInRegion(rgn, &left));
    EXPECT_TRUE(RectInRegion(rgn, &right));
    EXPECT_FALSE(RectInRegion(rgn, &between));
    EXPECT_FALSE(RectInRegion(rgn, &touching));
    RECT zeroWide{5, 5, 5, 8};
    EXPECT_FALSE(RectInRegion(rgn, &zeroWide));
    RECT reversed{8, 8, 5, 5};
    EXPECT_TRUE(RectInRegion(rgn, &reversed));
    DeleteObject(rgn);
    DeleteObject(other);
}

TEST(Regions, OffsetMovesAndRefusesOverflow)
{
    HRGN rgn = CreateRectRgn(0, 0, 10, 10);
    EXPECT_EQ(OffsetRgn(rgn, 5, -3), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(rgn, 5, -3));
    EXPECT_FALSE(PtInRegion(rgn, 4, -3));
    EXPECT_EQ(OffsetRgn(rgn, INT32_MAX, 0), ERROR);
    EXPECT_TRUE(PtInRegion(rgn, 5, -3)) << "a refused offset leaves the region";
    HRGN empty = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(OffsetRgn(empty, INT32_MAX, INT32_MAX), NULLREGION);
    DeleteObject(rgn);
    DeleteObject(empty);
}

TEST(Regions, StaleAndForeignHandlesAreRefused)
{
    HRGN rgn = CreateRectRgn(0, 0, 4, 4);
    HRGN dest = CreateRectRgn(0, 0, 0, 0);
    ASSERT_TRUE(DeleteObject(rgn));
    EXPECT_FALSE(DeleteObject(rgn));
    EXPECT_EQ(CombineRgn(dest, rgn, dest, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(dest, dest, dest, 0), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 1, 1));
    RECT box;
    EXPECT_EQ(GetRgnBox(rgn, &box), ERROR);
    EXPECT_EQ(GetRegionData(rgn, 0, nullptr), 0u);
    // A pen is not a region.
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    EXPECT_EQ(OffsetRgn(reinterpret_cast<HRGN>(pen), 1, 1), ERROR);
    DeleteObject(pen);
    DeleteObject(dest);
}

} // namespace
