// Points, sizes, rectangles and float vectors.
#include "core/lang/String.h"
#include "core/util/Dimension.h"
#include "core/util/Point.h"
#include "core/util/RectangleNM.h"
#include "core/util/Vector3D.h"

#include <gtest/gtest.h>

#include <cmath>

using util::RectangleNM;

namespace {

TEST(Rectangle, ContainsIsHalfOpen)
{
    RectangleNM r(10, 10, 5, 5);
    EXPECT_TRUE(r.contains(10, 10));
    EXPECT_TRUE(r.contains(14, 14));
    EXPECT_FALSE(r.contains(15, 10));
    EXPECT_FALSE(r.contains(10, 15));
    EXPECT_FALSE(r.contains(9, 12));
    EXPECT_FALSE(RectangleNM(0, 0, 0, 10).contains(0, 0));
}

TEST(Rectangle, IntersectionAndTouching)
{
    RectangleNM a(0, 0, 10, 10);
    a.intersect(RectangleNM(5, 5, 10, 10));
    EXPECT_EQ(a.x, 5);
    EXPECT_EQ(a.y, 5);
    EXPECT_EQ(a.width, 5);
    EXPECT_EQ(a.height, 5);
    RectangleNM b(0, 0, 10, 10);
    b.intersect(RectangleNM(10, 0, 5, 5));
    EXPECT_EQ(b.x, 0);
    EXPECT_EQ(b.width, 0);
    EXPECT_EQ(b.height, 0);
    RectangleNM c(2, 3, 4, 5);
    c.intersect(RectangleNM(0, 0, 100, 100));
    EXPECT_EQ(c.x, 2);
    EXPECT_EQ(c.y, 3);
    EXPECT_EQ(c.width, 4);
    EXPECT_EQ(c.height, 5);
}

TEST(Rectangle, HashEqualityAndName)
{
    RectangleNM r(1, 2, 3, 4);
    EXPECT_EQ(r.hashCode(), 16909060);
    EXPECT_EQ(RectangleNM(-1, 0, 0, 0).hashCode(), int(0xFF000000u)) << "wraps in 32 bits";
    RectangleNM same(1, 2, 3, 4), other(1, 2, 3, 5);
    EXPECT_TRUE(r.equals(&same));
    EXPECT_FALSE(r.equals(&other));
    EXPECT_TRUE(r.equals(&r));
    EXPECT_FALSE(r.equals(static_cast<lang::Object*>(&same))) << "the object form stays identity";
    EXPECT_TRUE(r.isInstanceOf("Rectangle"));
    EXPECT_FALSE(r.isInstanceOf("RectangleNM"));
    EXPECT_STREQ(r.getClassName(), "Rectangle");
    RectangleNM copy(r);
    copy = other;
    EXPECT_EQ(copy.height, 5);
}

TEST(PointAndDimension, DefaultsAndCopies)
{
    util::Point p;
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    util::Dimension d(800, 600);
    util::Dimension e(d);
    EXPECT_EQ(e.width, 800);
    EXPECT_EQ(e.height, 600);
    EXPECT_TRUE(p.isInstanceOf("Point"));
    EXPECT_TRUE(e.isInstanceOf("Dimension"));
    EXPECT_TRUE(e.isInstanceOf("Object"));
}

TEST(Vector3D, LengthNormalizeAndScale)
{
    util::Vector3D v(3, 4, 0);
    EXPECT_FLOAT_EQ(v.length(), 5.0f);
    v.normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    EXPECT_FLOAT_EQ(v.z, 0.0f);
    util::Vector3D zero;
    zero.normalize();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);
    util::Vector3D w(1, -2, 3);
    EXPECT_EQ(&w.scale(2), &w);
    EXPECT_FLOAT_EQ(w.y, -4.0f);
}

TEST(Vector3D, RandomPointsLieBetweenTheBounds)
{
    util::Vector3D a(-10, 0, 5), b(10, 1, 5);
    util::Vector3D v;
    for (int i = 0; i < 1000; ++i) {
        v.setRandomBetween(a, b);
        ASSERT_GE(v.x, -10.0f);
        ASSERT_LT(v.x, 10.0f);
        ASSERT_GE(v.y, 0.0f);
        ASSERT_LT(v.y, 1.0f);
        ASSERT_EQ(v.z, 5.0f);
    }
}

} // namespace

#include "core/util/Region.h"
#include "platform/gdi/GdiRegions.h"

namespace {

TEST(Region, DisjointRectanglesAndTheGapBetween)
{
    util::Region r;
    EXPECT_EQ(r.getHandle(), nullptr);
    EXPECT_FALSE(r.intersects(RectangleNM(0, 0, 10, 10))) << "an empty region meets nothing";
    r.addRect(0, 0, 10, 10);
    r.addRect(RectangleNM(50, 0, 10, 10));
    EXPECT_TRUE(r.intersects(RectangleNM(5, 5, 2, 2)));
    EXPECT_TRUE(r.intersects(RectangleNM(55, 5, 20, 20)));
    EXPECT_FALSE(r.intersects(RectangleNM(20, 0, 20, 10)));
    EXPECT_FALSE(r.intersects(RectangleNM(5, 5, 0, 5))) << "a 0-wide rectangle meets nothing";
    EXPECT_FALSE(r.intersects(RectangleNM(10, 0, 40, 10))) << "right and bottom edges are open";
    r.offset(15, 0);
    EXPECT_TRUE(r.intersects(RectangleNM(20, 0, 1, 1)));
    EXPECT_FALSE(r.intersects(RectangleNM(5, 5, 2, 2)));
}

TEST(Region, IntersectRectKeepsTheHandleOrEmpties)
{
    util::Region r;
    r.intersectRect(0, 0, 5, 5); // empty stays empty
    EXPECT_EQ(r.getHandle(), nullptr);
    r.addRect(0, 0, 100, 100);
    r.intersectRect(200, 200, 10, 10);
    EXPECT_NE(r.getHandle(), nullptr) << "the handle stays even when nothing is left";
    EXPECT_FALSE(r.intersects(RectangleNM(0, 0, 300, 300)));
    r.addRect(0, 0, 100, 100);
    r.intersectRect(10, 10, 20, 0);
    EXPECT_EQ(r.getHandle(), nullptr) << "an empty rectangle clears the region";
    r.addRect(0, 0, 100, 100);
    r.intersectRect(90, 90, 50, 50);
    RECT box;
    GetRgnBox(r.getHandle(), &box);
    EXPECT_EQ(box.left, 90);
    EXPECT_EQ(box.right, 100);
    r.clear();
    EXPECT_EQ(r.getHandle(), nullptr);
    EXPECT_TRUE(r.isInstanceOf("Region"));
}

} // namespace
