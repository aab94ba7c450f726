// ContainerLuaTest.cpp: a container completing its own and its children's
// animations, in Lua and natively.
#include "tests/sprites/containers/ContainerTestSupport.h"
#include "tests/sprites/support/SpriteLuaFixture.h"

namespace {

using spritetest::CountingSprite;

class ContainerLuaTest : public SpriteLuaFixture {
protected:
    ContainerLuaTest()
    {
        // Every sprite's Lua "completeAnimations" notes the sprite's name.
        write("Sprite.lua", "hv = hv or {}\nlog = ''\nhv.SpriteBase = {}\n"
                            "function hv.SpriteBase.completeAnimations(self) log = log .. self:getName() .. ';' end\n");
    }

    CountingSprite* child(sprite::FancyContainer* parent, const char* name)
    {
        CountingSprite* s = keep(new CountingSprite(5, 5, 10, 10));
        s->setName(lang::String(name));
        s->setDestination(100, 0, 10);
        parent->bringToFront(s);
        return s;
    }
};

TEST_F(ContainerLuaTest, TheContainerAndItsChildrenCompleteButNotGrandchildren)
{
    sprite::FancyContainer* box = keep(new sprite::FancyContainer(100, 100, 0));
    box->setName(lang::String("box"));
    box->setHasLuaAnimations(true);
    CountingSprite* lua = child(box, "lua");
    lua->setHasLuaAnimations(true);
    CountingSprite* plain = child(box, "plain");
    sprite::FancyContainer* inner = keep(new sprite::FancyContainer(10, 10, 0));
    inner->setName(lang::String("inner"));
    box->bringToFront(inner);
    CountingSprite* grandchild = child(inner, "grandchild");
    grandchild->setHasLuaAnimations(true);

    box->completeAnimations(false);
    EXPECT_EQ("box;lua;", globalText("log"));
    EXPECT_EQ(10, lua->getMoveSteps());
    EXPECT_EQ(10, plain->getMoveSteps());

    box->completeAnimations(true);
    EXPECT_EQ("box;lua;box;lua;", globalText("log"));
    // Each running move is left one step from its end.
    EXPECT_EQ(1, lua->getMoveSteps());
    EXPECT_EQ(1, plain->getMoveSteps());
    EXPECT_EQ(100, plain->left());
    EXPECT_EQ(10, grandchild->getMoveSteps());
}

} // namespace
