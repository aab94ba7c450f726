// Metaclasses and the class registry: creation by name, case-sensitive
// lookup, shadowing, and the registry's life from the first metaclass to the
// last.
#include "core/lang/Class.h"
#include "core/util/Hashtable.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using lang::Class;
using lang::String;

// Creatable classes with metaclasses declared and defined by the macros (the
// second passes constructor arguments), and one instance of each, made here
// as the start-up of a subsystem makes them.
class Vignette : public lang::Object {
public:
    HV_DECLARE_METACLASS(Vignette);
    const char* getClassName() override { return "Vignette"; }
};
HV_DEFINE_METACLASS(Vignette);

class Lantern : public lang::Object {
public:
    HV_DECLARE_METACLASS(Lantern);
    Lantern(int wicks, bool lit) : m_nWicks(wicks), m_bLit(lit) {}
    int m_nWicks;
    bool m_bLit;
};
HV_DEFINE_METACLASS_WITH(Lantern, 3, true);

Vignette::VignetteClass vignetteClass;
Lantern::LanternClass lanternClass;

// A metaclass made by hand, to register and unregister at will.
class TestClass : public Class {
public:
    explicit TestClass(const char* name) : Class(String(name)) {}
    lang::Object* newInstance() override { return new lang::Object(); }
    static util::Hashtable*& registry() { return classRegistry; }
};

// Sets the registry aside for one test, so that it starts with no metaclass.
class EmptyRegistry : public ::testing::Test {
protected:
    void SetUp() override { std::swap(m_saved, TestClass::registry()); }
    void TearDown() override { std::swap(m_saved, TestClass::registry()); }

private:
    util::Hashtable* m_saved = nullptr;
};

TEST(ClassRegistry, CreatesObjectsByName)
{
    Class* c = Class::forName(String("Vignette"));
    ASSERT_EQ(c, &vignetteClass);
    EXPECT_EQ(Class::forName(String("Vignette", true)), c);
    EXPECT_EQ(c->getRefCount(), 2) << "the registry holds one reference";
    lang::Object* a = c->newInstance();
    lang::Object* b = c->newInstance();
    EXPECT_NE(a, b);
    EXPECT_EQ(a->getRefCount(), 1);
    EXPECT_STREQ(a->getClassName(), "Vignette");
    a->release();
    b->release();
    EXPECT_STREQ(c->getClassName(), "Class");
    EXPECT_TRUE(c->isInstanceOf("Class") && c->isInstanceOf("Object"));

    auto* lantern = static_cast<Lantern*>(Class::forName(String("Lantern"))->newInstance());
    EXPECT_EQ(lantern->m_nWicks, 3);
    EXPECT_TRUE(lantern->m_bLit);
    lantern->release();
}

TEST(ClassRegistry, NamesAreCaseSensitive)
{
    for (const char* name : {"vignette", "VIGNETTE", "Vignett", ""})
        EXPECT_EQ(Class::forName(String(name)), nullptr) << name;
    EXPECT_EQ(Class::forName(String()), nullptr);
}

TEST_F(EmptyRegistry, ForNameBeforeAnyMetaclassCreatesNoRegistry)
{
    EXPECT_EQ(Class::forName(String("Vignette")), nullptr);
    EXPECT_EQ(TestClass::registry(), nullptr);
}

TEST_F(EmptyRegistry, TheLastMetaclassDeletesTheRegistryAndTheNextMakesAFreshOne)
{
    {
        TestClass first("Dory");
        util::Hashtable* registry = TestClass::registry();
        ASSERT_NE(registry, nullptr);
        {
            TestClass second("Skiff");
            EXPECT_EQ(TestClass::registry(), registry);
            EXPECT_EQ(Class::forName(String("Skiff")), &second);
        }
        EXPECT_EQ(Class::forName(String("Skiff")), nullptr);
        EXPECT_EQ(registry->size(), 1);
        EXPECT_EQ(first.getRefCount(), 2);
    }
    EXPECT_EQ(TestClass::registry(), nullptr);

    TestClass again("Raft");
    ASSERT_NE(TestClass::registry(), nullptr);
    EXPECT_EQ(TestClass::registry()->size(), 1);
    EXPECT_EQ(Class::forName(String("Raft")), &again);
    EXPECT_EQ(Class::forName(String("Dory")), nullptr);
}

TEST_F(EmptyRegistry, ASecondMetaclassOfTheSameNameShadowsTheFirst)
{
    TestClass older("Buoy");
    {
        TestClass newer("Buoy");
        EXPECT_EQ(Class::forName(String("Buoy")), &newer);
    }
    EXPECT_EQ(Class::forName(String("Buoy")), &older);
}

} // namespace
