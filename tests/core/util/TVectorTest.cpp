// The plain-value list over ints and pointers: order under edits, growth,
// front insertion and value lookup.
#include "core/util/TVector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <vector>

namespace {

using util::TVector;

template <class T>
std::vector<T> elements(TVector<T>& v)
{
    std::vector<T> out;
    for (int i = 0; i < v.size(); ++i)
        out.push_back(v.elementAt(i));
    return out;
}

TEST(TVector, IntsKeepOrderThroughRemovalsAndGrowByHalf)
{
    TVector<int> v(4);
    for (int x : {3, 7, 1, 7, 9})
        v.addElement(x);
    EXPECT_EQ(v.capacity(), 6);
    EXPECT_EQ(v.indexOf(7), 1);
    EXPECT_EQ(v.indexOf(5), -1);
    v.removeElementAt(4); // the last
    v.removeElementAt(1); // near the front: the head moves up
    v.removeElementAt(2); // near the back: the tail moves down
    EXPECT_EQ(elements(v), (std::vector<int>{3, 1}));
    EXPECT_TRUE(v.removeElement(3));
    EXPECT_FALSE(v.removeElement(3));
    v.removeAllElements();
    EXPECT_EQ(v.size(), 0);
    EXPECT_EQ(v.capacity(), 6);

    TVector<int> zero(0);
    zero.addElement(8);
    EXPECT_EQ(zero.capacity(), 1);
}

TEST(TVector, InsertAtFrontShiftsGrowsOrUsesTheFreeSlot)
{
    TVector<int> v(3);
    v.insertElementAtFront(1); // empty list
    v.insertElementAtFront(2); // start 0, room at the end: the elements shift up
    v.addElement(3);
    EXPECT_EQ(v.capacity(), 3);
    v.insertElementAtFront(4); // full: grows
    EXPECT_EQ(v.capacity(), 4);
    EXPECT_EQ(elements(v), (std::vector<int>{4, 2, 1, 3}));
    v.removeElementAt(0);
    v.insertElementAtFront(5); // the slot before the start is free: no growth
    EXPECT_EQ(v.capacity(), 4);
    EXPECT_EQ(elements(v), (std::vector<int>{5, 2, 1, 3}));
    v.removeElementAt(0);
    v.addElement(6); // compacts into the room before the start
    EXPECT_EQ(v.capacity(), 4);
    EXPECT_EQ(elements(v), (std::vector<int>{2, 1, 3, 6}));
}

struct Record {
    int id;
};

TEST(TVector, PointersAreStoredAsTheyAre)
{
    Record r[3] = {{0}, {1}, {2}};
    TVector<Record*> v(10);
    v.addElement(&r[2]);
    v.addElement(nullptr);
    v.insertElementAtFront(&r[0]);
    EXPECT_EQ(elements(v), (std::vector<Record*>{&r[0], &r[2], nullptr}));
    EXPECT_EQ(v.indexOf(nullptr), 2);
    EXPECT_EQ(v.indexOf(&r[1]), -1);
    EXPECT_EQ(v.elementAt(1)->id, 2);
    EXPECT_STREQ(v.getClassName(), "TVectorBase");
    EXPECT_TRUE(v.isInstanceOf("TVectorBase") && v.isInstanceOf("Object"));
    EXPECT_FALSE(v.isInstanceOf("Vector"));
}

// Random edits at both ends and in the middle, checked against a plain model.
TEST(TVector, MatchesAListModelUnderRandomEdits)
{
    std::mt19937 gen(4242);
    TVector<int> v(1);
    std::deque<int> model;
    for (int step = 0; step < 5000; ++step) {
        int value = int(gen() % 50) - 25;
        unsigned op = gen() % 5;
        if (op < 2) {
            v.addElement(value);
            model.push_back(value);
        } else if (op == 2) {
            v.insertElementAtFront(value);
            model.push_front(value);
        } else if (op == 3 && !model.empty()) {
            int i = int(gen() % model.size());
            v.removeElementAt(i);
            model.erase(model.begin() + i);
        } else if (op == 4) {
            auto it = std::find(model.begin(), model.end(), value);
            ASSERT_EQ(v.removeElement(value), it != model.end());
            if (it != model.end())
                model.erase(it);
        }
        ASSERT_EQ(elements(v), std::vector<int>(model.begin(), model.end())) << "step " << step;
    }
}

} // namespace
