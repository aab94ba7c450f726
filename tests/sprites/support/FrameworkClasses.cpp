// FrameworkClasses.cpp: registers the framework's classes for the whole
// sprite test program, as the program's start-up does, so that tests create
// sprites and transitions by name; the scripting part of start-up is left
// to the tests that want it.
#include "sprites/loader/SpriteFramework.h"

#include <gtest/gtest.h>

namespace {

class FrameworkClasses : public ::testing::Environment {
public:
    void SetUp() override { sprite::SpriteFramework::registerClasses(); }
    void TearDown() override { sprite::SpriteFramework::unregisterClasses(); }
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new FrameworkClasses);

} // namespace
