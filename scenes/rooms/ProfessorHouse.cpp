// ProfessorHouse.cpp: the hidden flowers of the professor's house.
#include "scenes/rooms/ProfessorHouse.h"

#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

#include <string>

HV_DEFINE_METACLASS(ProfessorHouse);

namespace {

// clickOnHiddenFlower(n).
int luaClickOnHiddenFlower(lua_State* L)
{
    auto* room = SceneLua::self<ProfessorHouse>(L, "ProfessorHouse", 2);
    room->clickOnHiddenFlower(int(luaL_checkinteger(L, 2)));
    return SceneLua::returnLast(L);
}

const luaL_Reg kMethods[] = {
    {"clickOnHiddenFlower", &sprite::SpriteBaseLua::guarded<luaClickOnHiddenFlower>},
    {nullptr, nullptr},
};

} // namespace

ProfessorHouse::ProfessorHouse()
{
    SceneLua::bindRoomClass(this, "ProfessorHouse", kMethods);
}

const luaL_Reg* ProfessorHouse::luaMethods()
{
    return kMethods;
}

void ProfessorHouse::onEnter()
{
    m_pLastFlower = nullptr;
    Room::onEnter();
}

void ProfessorHouse::clickOnHiddenFlower(int n)
{
    const std::string name = "HiddenFlower_" + std::to_string(n);
    sprite::SpriteBase* flower = SceneRoom::find(this, name.c_str());
    if (!flower || !flower->isVisible() || flower->isAnimating() || flower == m_pLastFlower)
        return;
    createParticleEffect(lang::String(name.c_str()), lang::String("Flower"), FLOWER_EFFECT_FRAMES);
    SceneRoom::playSound(SOUND_FLOWER);
    m_pLastFlower = flower;
    flower->setScaleDestination(FLOWER_FOUND_SCALE, FLOWER_FOUND_SCALE, FLOWER_EFFECT_FRAMES);
}
