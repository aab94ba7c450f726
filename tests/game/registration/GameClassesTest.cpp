// GameClassesTest.cpp: each of the game's 30 classes that the data may name
// is made by its registered name, answers to that name and to its base, and
// names differing in letter case or classes made directly are not found.
#include "core/lang/Class.h"
#include "game/registration/GameClasses.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

struct Registered {
    const char* name;
    const char* base;
};

// Written out here rather than read from the registration's own list.
constexpr Registered kRegistered[] = {
    {"PuzzleCheats", "Room"},           {"Vignette", "Room"},
    {"VignetteAnimate", "Room"},        {"Barkeeper", "Character"},
    {"CardShark", "Character"},         {"Fisherman", "Character"},
    {"GalleryOwner", "Character"},      {"Millionaire", "Character"},
    {"ParkRanger", "Character"},        {"PlayerCharacter", "Character"},
    {"Professor", "Character"},         {"ShopKeeper", "Character"},
    {"TribalElder", "Character"},       {"TutorialCharacter", "Character"},
    {"BookDlgSprite", "DialogSprite"},  {"Character", "DialogSprite"},
    {"ChoosePlayer", "DialogSprite"},   {"GameInstructDialog", "DialogSprite"},
    {"InstructDialog", "DialogSprite"}, {"Inventory", "DialogSprite"},
    {"MenuSprite", "DialogSprite"},     {"OptionsSprite", "DialogSprite"},
    {"Room", "DialogSprite"},           {"ProfileInputPrompt", "DialogSprite"},
    {"GenericDialog", "DialogSprite"},  {"TalkBalloon", "BorderedDialog"},
    {"AmbientButterfly", "AnimateSprite"}, {"AmbientFirefly", "AnimateSprite"},
    {"SparkleSprite", "AnimateSprite"}, {"DoorSprite", "RectButtonSprite"},
};

TEST(GameClassesTest, EveryGameClassIsMadeByItsNameAndAnswersToItsBase)
{
    ASSERT_TRUE(GameClasses::areClassesRegistered());
    ASSERT_EQ(GameClasses::kClassCount, 30);
    std::set<std::string> listed(GameClasses::kClassNames, GameClasses::kClassNames + GameClasses::kClassCount);
    for (const Registered& r : kRegistered) {
        EXPECT_EQ(listed.count(r.name), 1u) << r.name;
        lang::Class* metaclass = lang::Class::forName(lang::String(r.name));
        ASSERT_NE(nullptr, metaclass) << r.name;
        lang::Object* made = metaclass->newInstance();
        ASSERT_NE(nullptr, made) << r.name;
        EXPECT_STREQ(r.name, made->getClassName());
        EXPECT_TRUE(made->isInstanceOf(r.name)) << r.name;
        EXPECT_TRUE(made->isInstanceOf(r.base)) << r.name << " from " << r.base;
        made->release();
    }
    for (const char* absent : {"choosePlayer", "CHOOSEPLAYER", "LanternfieldCanvas", "MyFrame"})
        EXPECT_EQ(nullptr, lang::Class::forName(lang::String(absent))) << absent;
}

} // namespace
