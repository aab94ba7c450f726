// Integer, byte and object arrays: resizing, assignment, class names and the
// case-insensitive string sort.
#include "core/lang/ByteArray.h"
#include "core/lang/IntArray.h"
#include "core/lang/StringArray.h"
#include "core/lang/TArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(IntArray, SetLengthKeepsTheHeadAndZeroFillsAndAssignmentCopies)
{
    lang::IntArray a, b;
    a.setLength(5);
    for (int i = 0; i < 5; ++i)
        a[i] = i + 1;
    a.setLength(3);
    a.setLength(5);
    EXPECT_EQ(std::vector<int>(a.data(), a.data() + a.length()), (std::vector<int>{1, 2, 3, 0, 0}));
    b.setLength(9);
    b = a;
    a[0] = 99;
    EXPECT_EQ(std::vector<int>(b.data(), b.data() + b.length()), (std::vector<int>{1, 2, 3, 0, 0}));
    lang::IntArray& alias = b;
    b = alias; // assigning an array to itself keeps its values
    EXPECT_EQ(b[2], 3);

    lang::ByteArray c, d;
    c.setLength(2);
    c[0] = 0xFF;
    c.setLength(3);
    d = c;
    EXPECT_EQ(std::vector<unsigned char>(d.data(), d.data() + d.length()), (std::vector<unsigned char>{0xFF, 0, 0}));
}

TEST(ObjectArray, HoldsPlainPointers)
{
    lang::Object x, y, z;
    lang::ObjectArray a, b;
    a.setLength(3);
    *a.at(0) = &x;
    *a.at(1) = &y;
    *a.at(2) = &z;
    lang::Object** table = a.data();
    a.setLength(3);
    EXPECT_EQ(a.data(), table) << "the same length keeps the same table";
    b = a;
    EXPECT_EQ(*b.at(2), &z);
    a.setLength(1);
    a.setLength(2);
    EXPECT_EQ(*a.at(0), &x);
    EXPECT_EQ(*a.at(1), nullptr);
    for (lang::Object* o : {&x, &y, &z})
        EXPECT_EQ(o->getRefCount(), 1) << "no reference taken or dropped";
}

TEST(Arrays, ClassNames)
{
    lang::IntArray i;
    lang::ByteArray b;
    lang::StringArray s;
    lang::TArray<lang::String> t;
    EXPECT_STREQ(i.getClassName(), "IntArray");
    EXPECT_STREQ(b.getClassName(), "ByteArray");
    EXPECT_STREQ(s.getClassName(), "StringArray");
    EXPECT_STREQ(t.getClassName(), "ObjectArray");
    EXPECT_TRUE(s.isInstanceOf("ObjectArray") && s.isInstanceOf("Object"));
    EXPECT_FALSE(t.isInstanceOf("StringArray"));
    EXPECT_TRUE(i.isInstanceOf("Object") && b.isInstanceOf("ByteArray"));
    EXPECT_FALSE(i.isInstanceOf("ByteArray"));
}

// Sorts the texts through a StringArray and gives them back in array order.
std::vector<std::string> sorted(const std::vector<std::string>& texts)
{
    lang::StringArray a;
    a.setLength(int(texts.size()));
    for (size_t i = 0; i < texts.size(); ++i)
        *a.at(int(i)) = new lang::String(texts[i].c_str());
    lang::StringArray::sort(a);
    std::vector<std::string> out;
    for (int i = 0; i < a.length(); ++i) {
        out.push_back(a.get(i)->c_str());
        a.get(i)->release();
    }
    return out;
}

std::string lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TEST(StringArraySort, OrdersIgnoringCase)
{
    std::vector<std::string> t = sorted({"b", "A", "c", "a"});
    ASSERT_EQ(t.size(), 4u);
    EXPECT_TRUE((t[0] == "A" && t[1] == "a") || (t[0] == "a" && t[1] == "A"));
    EXPECT_EQ(t[2], "b");
    EXPECT_EQ(t[3], "c");
    EXPECT_TRUE(sorted({}).empty());
    EXPECT_EQ(sorted({"Zed"}), std::vector<std::string>{"Zed"});
}

TEST(StringArraySort, AgreesWithACaseInsensitiveReferenceSort)
{
    std::mt19937 gen(20240601);
    const char alphabet[] = "abcABC019 xyz";
    for (int round = 0; round < 50; ++round) {
        std::vector<std::string> texts(gen() % 40);
        for (std::string& s : texts)
            for (unsigned k = gen() % 5; k > 0; --k)
                s += alphabet[gen() % (sizeof alphabet - 1)];
        std::vector<std::string> got = sorted(texts), expected = texts;
        std::sort(expected.begin(), expected.end(),
                  [](const std::string& x, const std::string& y) { return lower(x) < lower(y); });
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(lower(got[i]), lower(expected[i])) << "round " << round;
        std::sort(got.begin(), got.end());
        std::sort(texts.begin(), texts.end());
        ASSERT_EQ(got, texts) << "the sort only permutes";
    }
}

} // namespace
