// GameClassesEnvironment.cpp: registers the framework's, the game's and the
// scenes' classes for the whole game test program, as the program's start-up
// does, so that data files and tests create rooms, exits and dialogs by name.
#include "game/registration/GameClasses.h"
#include "scenes/registration/SceneClasses.h"
#include "sprites/loader/SpriteFramework.h"

#include <gtest/gtest.h>

namespace {

class GameClassesEnvironment : public ::testing::Environment {
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

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new GameClassesEnvironment);

} // namespace
