// DiveDock.cpp: the compressor light's fade cycle and its script methods.
#include "scenes/divedock/DiveDock.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

HV_DEFINE_METACLASS(DiveDock);

const char DiveDock::kLight[] = "AirCompressorLight";
const char DiveDock::kFadeDone[] = "FadeDone";

namespace {

// The light's alpha when out and when fully lit.
constexpr int kDark = 0;
constexpr int kLit = 255;

int luaStart(lua_State* L)
{
    SceneLua::self<DiveDock>(L, "DiveDock", 1)->startLightRoutine();
    return SceneLua::returnLast(L);
}

int luaStop(lua_State* L)
{
    SceneLua::self<DiveDock>(L, "DiveDock", 1)->stopLightRoutine();
    return SceneLua::returnLast(L);
}

const luaL_Reg kMethods[] = {
    {"startCompressorLightRoutine", &sprite::SpriteBaseLua::guarded<luaStart>},
    {"stopCompressorLightRoutine", &sprite::SpriteBaseLua::guarded<luaStop>},
    {nullptr, nullptr},
};

} // namespace

DiveDock::DiveDock() : m_nLightPhase(PHASE_NONE), m_nLightCountdown(0)
{
    SceneLua::bindRoomClass(this, "DiveDock", kMethods);
}

const luaL_Reg* DiveDock::luaMethods()
{
    return kMethods;
}

void DiveDock::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    m_bShown = true;
}

void DiveDock::onEnter()
{
    Room::onEnter();
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setCursor(LanternfieldCanvas::CURSOR_NORMAL, false);
}

void DiveDock::fadeLight(bool in)
{
    sprite::SpriteBase* light = SceneRoom::find(this, kLight);
    if (!light)
        return;
    light->setVisible(true);
    light->setAlphaBalance(in ? kDark : kLit);
    light->setAlphaDestination(in ? kLit : kDark, STEP_FRAMES, 0);
    lang::String* done = new lang::String(kFadeDone);
    light->setAction(this, done);
    done->release();
    m_nLightPhase = in ? PHASE_FADING_IN : PHASE_FADING_OUT;
    // A fade still pending from before a restart would cut this one short.
    m_nLightCountdown = 0;
}

void DiveDock::stopLightRoutine()
{
    // The fade's end message would otherwise arm the next fade and light
    // the lamp again 12 frames later: the action goes with the routine.
    if (sprite::SpriteBase* light = SceneRoom::find(this, kLight)) {
        light->setVisible(false);
        light->completeAnimations();
        light->setAction(nullptr, nullptr);
    }
    m_nLightCountdown = 0;
    m_nLightPhase = PHASE_NONE;
}

bool DiveDock::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command || !command->equals(kFadeDone))
        return false;
    ++m_nLightPhase;
    // The message comes in the frame of the fade's last step, which the
    // count includes: the next fade starts 12 frames after that one.
    m_nLightCountdown = STEP_FRAMES + 1;
    return true;
}

bool DiveDock::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c || c->isGameInstructionsShowing() || c->getGameState() != LanternfieldCanvas::STATE_PLAYING)
        return false;
    if (m_nLightCountdown != 0 && --m_nLightCountdown == 0)
        fadeLight(m_nLightPhase == PHASE_DARK);
    return Room::tick(frame, boundsOut, region);
}
