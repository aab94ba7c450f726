// SceneClassesTest.cpp: every scene class is made by its registered name,
// and its rooms answer to that name and to "Room" (the close-ups the canvas
// owns are dialogs, not rooms).
#include "core/lang/Class.h"
#include "scenes/registration/SceneClasses.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SceneClassesTest, EveryNameMakesARoomOfThatClass)
{
    ASSERT_TRUE(SceneClasses::areClassesRegistered());
    for (int i = 0; i < SceneClasses::kClassCount; ++i) {
        const char* name = SceneClasses::kClassNames[i];
        lang::Class* metaclass = lang::Class::forName(lang::String(name));
        ASSERT_NE(nullptr, metaclass) << name;
        lang::Object* made = metaclass->newInstance();
        EXPECT_STREQ(name, made->getClassName());
        // The close-ups are dialogs over a room, the tile a picture in one.
        const std::string n = name;
        const bool closeUp = n == "ClockCU" || n == "SafeCrack" || n == "PipesCU" || n == "CircuitBoard";
        EXPECT_TRUE(made->isInstanceOf(closeUp ? "DialogSprite" : n == "ArtPiece" ? "AnimateSprite" : "Room"))
            << name;
        made->release();
    }
}

} // namespace
