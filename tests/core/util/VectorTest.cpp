// The reference-counting object list: growth, compaction, both insertion
// directions, index exceptions and the references it holds.
#include "core/lang/Exception.h"
#include "core/lang/ObjectArray.h"
#include "core/util/Vector.h"
#include "tests/support/MachinePace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using lang::Object;
using util::Vector;

// The message of the exception f throws, or "" when it throws none.
template <class F>
std::string thrownMessage(F f)
{
    try {
        f();
    } catch (lang::Exception* e) {
        std::string text = e->toString().c_str();
        e->release();
        return text;
    }
    return "";
}

std::vector<Object*> elements(Vector& v)
{
    std::vector<Object*> out;
    for (int i = 0; i < v.size(); ++i)
        out.push_back(v.elementAt(i));
    return out;
}

// The capacities a vector passes through while n elements are appended.
std::vector<int> capacities(int initial, int n)
{
    Object o;
    Vector v(initial);
    std::vector<int> seen{v.capacity()};
    for (int i = 0; i < n; ++i) {
        v.addElement(&o);
        if (v.capacity() != seen.back())
            seen.push_back(v.capacity());
    }
    return seen;
}

TEST(Vector, GrowsByHalfItsCapacityAndAtLeastByOne)
{
    EXPECT_EQ(capacities(2, 4), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(capacities(10, 34), (std::vector<int>{10, 15, 22, 33, 49}));
    EXPECT_EQ(capacities(0, 2), (std::vector<int>{0, 1, 2}));
}

TEST(Vector, IndexErrorsThrowTheirMessagesAndChangeNothing)
{
    Object a, b;
    Vector v(4);
    v.addElement(&a);
    v.addElement(&b);
    EXPECT_EQ(thrownMessage([&] { v.elementAt(-1); }), "Index out of range");
    EXPECT_EQ(thrownMessage([&] { v.elementAt(2); }), "Index out of range");
    EXPECT_EQ(thrownMessage([&] { v.removeElementAt(2); }), "Index out of range");
    EXPECT_EQ(thrownMessage([&] { v.insertElementAt(&a, 3); }), "Index out of bounds");
    EXPECT_EQ(thrownMessage([&] { v.insertElementAt(&a, -1); }), "Index out of bounds");
    EXPECT_EQ(elements(v), (std::vector<Object*>{&a, &b}));
    EXPECT_EQ(a.getRefCount(), 2);
    v.insertElementAt(&a, 2);
    EXPECT_EQ(elements(v), (std::vector<Object*>{&a, &b, &a})) << "inserting at the count appends";

    // The monitor was released as the exceptions left: another thread gets it.
    std::atomic<bool> done(false);
    std::thread other([&] {
        v.size();
        done = true;
    });
    ASSERT_TRUE(testsupport::reachedAtPace(5000, [&done] { return done.load(); })) << "the monitor is still held";
    other.join();
}

TEST(Vector, ElementsHoldAReferenceWhileListed)
{
    auto* a = new Object();
    auto* b = new Object();
    {
        Vector v(2);
        v.addElement(a);
        v.insertElementAt(b, 0);
        v.addElement(nullptr);
        EXPECT_EQ(v.elementAt(1), a);
        EXPECT_EQ(v.get(2), nullptr);
        EXPECT_EQ(a->getRefCount(), 2) << "reading adds no reference";
        v.removeElementAt(0);
        EXPECT_EQ(b->getRefCount(), 1);
        v.addElement(b);
        v.addElement(b);
        EXPECT_EQ(b->getRefCount(), 3);
    }
    EXPECT_EQ(a->getRefCount(), 1) << "destroying the vector releases its elements";
    EXPECT_EQ(b->getRefCount(), 1);
    Vector v(3);
    v.addElement(a);
    v.removeAllElements();
    EXPECT_EQ(a->getRefCount(), 1);
    a->release();
    v.addElement(b);
    b->release();
    v.removeElementAt(0); // the last reference: b is destroyed here (checked by the sanitizer build)
    EXPECT_EQ(v.size(), 0);
}

TEST(Vector, FrontRemovalThenAppendCompactsAndInsertionUsesTheFreeSlot)
{
    Object a, b, c, d, x;
    Vector v(3);
    v.addElement(&a);
    v.addElement(&b);
    v.addElement(&c);
    v.removeElementAt(0);
    v.addElement(&d);
    EXPECT_EQ(v.capacity(), 3) << "compacted instead of growing";
    EXPECT_EQ(elements(v), (std::vector<Object*>{&b, &c, &d}));
    v.removeElementAt(0);
    v.insertElementAt(&x, 1); // the head moves into the slot before the start
    EXPECT_EQ(v.capacity(), 3);
    EXPECT_EQ(elements(v), (std::vector<Object*>{&c, &x, &d}));
    v.removeAllElements();
}

// Random inserts, appends and removals at every position, checked against a
// plain model of the list and of each element's reference count.
TEST(Vector, MatchesAListModelUnderRandomEdits)
{
    std::mt19937 gen(77);
    std::vector<std::unique_ptr<Object>> pool;
    for (int i = 0; i < 8; ++i)
        pool.emplace_back(new Object());
    std::deque<Object*> model;
    Vector v(2);
    for (int step = 0; step < 3000; ++step) {
        Object* o = pool[gen() % pool.size()].get();
        unsigned op = gen() % 4;
        if (op == 0) {
            v.addElement(o);
            model.push_back(o);
        } else if (op == 1) {
            int i = int(gen() % (model.size() + 1));
            v.insertElementAt(o, i);
            model.insert(model.begin() + i, o);
        } else if (!model.empty()) {
            int i = int(gen() % model.size());
            v.removeElementAt(i);
            model.erase(model.begin() + i);
        }
        ASSERT_EQ(elements(v), std::vector<Object*>(model.begin(), model.end())) << "step " << step;
        for (auto& p : pool)
            ASSERT_EQ(p->getRefCount(), 1 + std::count(model.begin(), model.end(), p.get()));
    }
    v.removeAllElements();
}

TEST(Vector, IndexOfUsesTheElementsEqualityAndCopyIntoHandsOutReferences)
{
    lang::String lamp("lamp"), key("key");
    Object plain;
    Vector v(4);
    v.addElement(nullptr);
    v.addElement(&plain);
    v.addElement(&lamp);
    v.addElement(&key);
    lang::String sameText("key");
    EXPECT_EQ(v.indexOf(&sameText), 3);
    EXPECT_EQ(v.indexOf(&plain), 1);
    Object other;
    EXPECT_EQ(v.indexOf(&other), -1);
    EXPECT_TRUE(v.removeElement(&sameText));
    EXPECT_FALSE(v.removeElement(&sameText));
    EXPECT_EQ(key.getRefCount(), 1);

    lang::ObjectArray arr;
    arr.setLength(7);
    v.copyInto(arr);
    ASSERT_EQ(arr.length(), 3);
    EXPECT_EQ(*arr.at(0), nullptr);
    EXPECT_EQ(*arr.at(2), &lamp);
    EXPECT_EQ(lamp.getRefCount(), 3);
    lamp.release();
    plain.release();
    v.removeAllElements();

    EXPECT_STREQ(v.getClassName(), "Vector");
    EXPECT_TRUE(v.isInstanceOf("Vector") && v.isInstanceOf("Object"));
}

} // namespace
