// The chained hash table: rehashing, shadowed entries, String-key lookups,
// negative hash codes, held references and snapshot enumerations.
#include "core/lang/Integer.h"
#include "core/lang/String.h"
#include "core/util/Hashtable.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <set>
#include <string>

namespace {

using lang::Object;
using lang::String;
using util::Hashtable;

// A key with a chosen hash code and identity equality.
class HashKey : public Object {
public:
    explicit HashKey(int hash) : m_nHash(hash) {}
    int hashCode() override { return m_nHash; }

private:
    int m_nHash;
};

// A String whose own equality accepts nothing, so only the table's text
// comparison can match it.
class StubbornString : public String {
public:
    explicit StubbornString(const char* text) : String(text) {}
    bool equals(Object*) override { return false; }
};

// The texts an enumeration of String keys lists; releases the enumeration.
std::multiset<std::string> drain(util::Enumeration* e)
{
    std::multiset<std::string> seen;
    while (e->hasMoreElements())
        seen.insert(static_cast<String*>(e->nextElement())->c_str());
    EXPECT_EQ(e->nextElement(), nullptr) << "past the end gives null";
    e->release();
    return seen;
}

TEST(Hashtable, RehashesToFourTimesTheCountAtTheFiftyFirstEntry)
{
    Object value; // declared first: it outlives the table's references
    Hashtable t;
    for (int i = 0; i < 50; ++i)
        t.put(String("item") + i, &value);
    EXPECT_EQ(t.getBucketCount(), 100);
    t.put("item50", &value);
    EXPECT_EQ(t.getBucketCount(), 204);
    for (int i = 0; i < 51; ++i) {
        String key = String("item") + i;
        EXPECT_EQ(t.get(&key), &value) << key.c_str();
    }
    for (int i = 51; i < 103; ++i)
        t.put(String("item") + i, &value);
    EXPECT_EQ(t.getBucketCount(), 412);
    EXPECT_EQ(value.getRefCount(), 1 + 103);
    t.clear();
    EXPECT_EQ(t.size(), 0);
    EXPECT_EQ(t.getBucketCount(), 412) << "the table never shrinks";
    EXPECT_EQ(value.getRefCount(), 1);
}

TEST(Hashtable, NewerEntryShadowsAnEqualKeyUntilRemoved)
{
    Object x, y;
    Hashtable t;
    t.put("lamp", &x);
    t.put("lamp", &y);
    String query("lamp");
    EXPECT_EQ(t.get(&query), &y);
    EXPECT_EQ(t.size(), 2);
    EXPECT_EQ(t.removeKey(&query), &y);
    EXPECT_EQ(y.getRefCount(), 1);
    EXPECT_EQ(t.get(&query), &x) << "removing the newer entry uncovers the older";
    EXPECT_EQ(t.remove(&query), &x);
    EXPECT_FALSE(t.containsKey(&query));
    EXPECT_EQ(t.removeKey(&query), nullptr);
}

TEST(Hashtable, ShadowingSurvivesARehash)
{
    Object x, y, filler;
    Hashtable t;
    t.put("lamp", &x);
    t.put("lamp", &y);
    for (int i = 0; i < 49; ++i) // the 51st entry rehashes
        t.put(String("item") + i, &filler);
    ASSERT_EQ(t.getBucketCount(), 204);
    String query("lamp");
    EXPECT_EQ(t.get(&query), &y) << "the newer entry still shadows the older";
    EXPECT_EQ(t.removeKey(&query), &y);
    EXPECT_EQ(t.get(&query), &x);
    t.clear();
}

TEST(Hashtable, ARehashKeepsTheOrderOfEveryChain)
{
    // 5 and 5 + 5100 share bucket 5 both of 100 and of 204 buckets; the newer
    // key heads the chain before the rehash and still does after it.
    Object value;
    HashKey older(5), newer(5 + 5100);
    Object x, y, z;
    Hashtable t;
    t.put(&older, &value);
    t.put(&newer, &value);
    t.put("lamp", &x);
    t.put("lamp", &y);
    t.put("lamp", &z);
    for (int i = 0; i < 46; ++i) // the 51st entry rehashes
        t.put(String("item") + i, &value);
    ASSERT_EQ(t.getBucketCount(), 204);

    util::Enumeration* keys = t.keys();
    int position = 0, newerAt = -1, olderAt = -1;
    while (keys->hasMoreElements()) {
        Object* key = keys->nextElement();
        if (key == &newer)
            newerAt = position;
        if (key == &older)
            olderAt = position;
        ++position;
    }
    keys->release();
    ASSERT_GE(olderAt, 0);
    EXPECT_EQ(newerAt + 1, olderAt) << "the chain lists the newer key first, right before the older";

    String lamp("lamp");
    for (Object* expected : {&z, &y, &x})
        EXPECT_EQ(t.removeKey(&lamp), expected) << "the newest equal key goes first";
    t.clear();
}

TEST(Hashtable, StringKeyModeComparesTextsWhateverTheQuerysEquality)
{
    Object v;
    StubbornString stubborn("oar");
    String plain("oar"), other("Oar");
    Hashtable byEquals;
    byEquals.put("oar", &v);
    EXPECT_EQ(byEquals.get(&plain), &v) << "a String's own equality compares texts";
    EXPECT_EQ(byEquals.get(&stubborn), nullptr);

    Hashtable byText;
    byText.setStringKeys(true);
    byText.put("oar", &v);
    EXPECT_EQ(byText.get(&stubborn), &v);
    EXPECT_TRUE(byText.containsKey(&stubborn));
    EXPECT_EQ(byText.get(&other), nullptr) << "keys are case-sensitive";
    EXPECT_EQ(byText.removeKey(&stubborn), nullptr) << "removal asks the query's own equality";
    EXPECT_EQ(byText.removeKey(&plain), &v);
}

TEST(Hashtable, ObjectKeysAndNegativeHashCodes)
{
    HashKey a(-7), b(INT_MIN), c(-1), d(INT_MAX), twin(-7);
    lang::Integer i1(42), i2(42);
    Object v;
    String high("\xFF\xFFk"), highQuery("\xFF\xFFk");
    ASSERT_LT(high.hashCode(), 0);
    Hashtable t;
    for (Object* k : std::initializer_list<Object*>{&a, &b, &c, &d, &i1, &high})
        t.put(k, &v);
    for (Object* k : std::initializer_list<Object*>{&a, &b, &c, &d, &i2, &highQuery})
        EXPECT_EQ(t.get(k), &v);
    EXPECT_EQ(t.get(&twin), nullptr) << "same hash, different identity";
    EXPECT_EQ(a.getRefCount(), 2);
    t.clear();
    EXPECT_EQ(a.getRefCount(), 1);
}

TEST(Hashtable, KeepsItsOwnCopyOfStringKeysAndReleasesEverythingAtTheEnd)
{
    Object v;
    String name("anchor");
    {
        Hashtable t;
        t.put(name, &v);
        EXPECT_EQ(name.getRefCount(), 1) << "the caller's String is not kept";
        name = "rope";
        String query("anchor");
        EXPECT_EQ(t.get(&query), &v);
        util::Enumeration* keys = t.keys();
        Object* key = keys->nextElement();
        EXPECT_EQ(key->getRefCount(), 2) << "the table's and the enumeration's references";
        keys->release();
        t.put(static_cast<Object*>(nullptr), &v); // ignored, as are null values
        t.put("x", nullptr);
        EXPECT_EQ(t.size(), 1);
        EXPECT_EQ(t.get(nullptr), nullptr);
        EXPECT_EQ(v.getRefCount(), 2);
    }
    EXPECT_EQ(v.getRefCount(), 1);
}

TEST(HashtableKeys, SnapshotsListEveryKeyAndIgnoreLaterChanges)
{
    Object v;
    Hashtable t;
    EXPECT_TRUE(drain(t.keys()).empty());
    std::multiset<std::string> expected;
    for (int i = 0; i < 60; ++i) {
        t.put(String("k") + i, &v);
        expected.insert("k" + std::to_string(i));
    }
    t.put("k3", &v); // a shadowed twin is listed too
    expected.insert("k3");
    util::Enumeration* e = t.keys();
    t.put("late", &v);
    EXPECT_EQ(drain(e), expected);
    t.clear();
}

TEST(HashtableKeys, SnapshotKeysSurviveClear)
{
    Object v;
    Hashtable t;
    t.put("mast", &v);
    t.put("sail", &v);
    util::Enumeration* e = t.keys();
    t.clear();
    EXPECT_EQ(v.getRefCount(), 1);
    EXPECT_EQ(drain(e), (std::multiset<std::string>{"mast", "sail"}));

    EXPECT_STREQ(t.getClassName(), "Hashtable");
    EXPECT_TRUE(t.isInstanceOf("Hashtable") && t.isInstanceOf("Object"));
    e = t.keys();
    EXPECT_STREQ(e->getClassName(), "Enumeration");
    EXPECT_TRUE(e->isInstanceOf("Enumeration") && e->isInstanceOf("Object"));
    e->release();
}

} // namespace
