// SpriteFrameworkTest.cpp: the framework's start-up: every class it
// registers, created by its name, the manifest's word "Sprite", the script
// host and the Lua-animated list, and the teardown that empties the class
// registry.
#include "core/lang/Class.h"
#include "sprites/containers/FancyContainer.h"
#include "sprites/loader/SpriteFramework.h"
#include "sprites/script/ScriptHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using sprite::SpriteFramework;

// What an instance made by each registered name answers to.
struct Registered {
    const char* name;
    const char* instanceOf;
};

const Registered kRegistered[] = {
    {"DialogSprite", "DialogSprite"},
    {"FancyContainer", "FancyContainer"},
    {"AnimateSprite", "AnimateSprite"},
    {"BoundsSprite", "BoundsSprite"},
    {"Sprite", "ImageSprite"},
    {"ScalerSprite", "ScalerSprite"},
    {"NewFontSprite", "NewFontSprite"},
    {"ButtonSprite", "ButtonSprite"},
    {"TransitionFactory", "TransitionFactory"},
    {"TransitionWipe", "TransitionWipe"},
    {"TransitionBarnDoor", "TransitionBarnDoor"},
    {"TransitionMosaic", "TransitionMosaic"},
    {"TransitionScale", "TransitionScale"},
    {"RectButtonSprite", "RectButtonSprite"},
    {"TextSprite", "TextSprite"},
    {"NumberSprite", "NumberSprite"},
    {"RectSprite", "RectSprite"},
    {"TransitionMask", "TransitionMask"},
    {"ParticleSpritePSX", "ParticleSpritePSX"},
    {"ExplosionSpritePSX", "ExplosionSpritePSX"},
    {"TransitionBase", "TransitionBase"},
    {"BorderedDialog", "BorderedDialog"},
    {"TiledSprite", "TiledSprite"},
};

TEST(SpriteFramework, EveryClassIsCreatedByItsNameInTheOrderOfRegistration)
{
    ASSERT_EQ(int(sizeof kRegistered / sizeof kRegistered[0]), SpriteFramework::kClassCount);
    for (int i = 0; i < SpriteFramework::kClassCount; ++i) {
        const Registered& r = kRegistered[i];
        EXPECT_STREQ(r.name, SpriteFramework::kClassNames[i]);
        lang::Class* c = lang::Class::forName(lang::String(r.name));
        ASSERT_NE(nullptr, c) << r.name;
        lang::Object* made = c->newInstance();
        EXPECT_TRUE(made->isInstanceOf(r.instanceOf)) << r.name;
        EXPECT_EQ(1, made->getRefCount()) << r.name;
        made->release();
    }
    // The manifest's word for an image sprite is "Sprite", and only that.
    EXPECT_EQ(nullptr, lang::Class::forName(lang::String("ImageSprite")));
    EXPECT_EQ(nullptr, lang::Class::forName(lang::String("sprite")));
    EXPECT_NE(nullptr, sprite::FancyContainer::luaAnimatedSprites);
}

// In a child process, so that this program's registrations stay.
TEST(SpriteFrameworkDeathTest, StartUpMakesTheScriptHostAndTeardownEmptiesTheRegistry)
{
    EXPECT_EXIT(
        {
            SpriteFramework::unregisterClasses();
            bool empty = lang::Class::forName(lang::String("DialogSprite")) == nullptr &&
                         sprite::FancyContainer::luaAnimatedSprites == nullptr;
            ScriptHost* previous = ScriptHost::instance;
            ScriptHost::instance = nullptr;
            SpriteFramework::startUp();
            bool started = SpriteFramework::isStarted() && ScriptHost::instance &&
                           ScriptHost::instance->getState() && lang::Class::forName(lang::String("TiledSprite")) &&
                           sprite::FancyContainer::luaAnimatedSprites;
            SpriteFramework::startUp();
            SpriteFramework::tearDown();
            bool down = !SpriteFramework::isStarted();
            for (int i = 0; i < SpriteFramework::kClassCount; ++i)
                down = down && lang::Class::forName(lang::String(SpriteFramework::kClassNames[i])) == nullptr;
            down = down && sprite::FancyContainer::luaAnimatedSprites == nullptr;
            // The Lua state stays until the process ends.
            bool stateKept = ScriptHost::instance != nullptr && ScriptHost::instance != previous;
            std::exit(empty && started && down && stateKept ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
