// SceneClassesEnvironment.cpp: registers the framework's, the game's and the
// scenes' classes for the whole scene test program, as the program's
// start-up does, so that the fixture's data creates the scene rooms by name.
#include "game/registration/GameClasses.h"
#include "scenes/registration/SceneClasses.h"
#include "sprites/loader/SpriteFramework.h"

#include <gtest/gtest.h>

namespace {

class SceneClassesEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        sprite::SpriteFramework::registerClasses();
        GameClasses::registerClasses();
        SceneClasses::registerClasses();
    }
    void TearDown() override
    {
        SceneClasses::unregisterClasses();
        GameClasses::unregisterClasses();
        sprite::SpriteFramework::unregisterClasses();
    }
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new SceneClassesEnvironment);

} // namespace
