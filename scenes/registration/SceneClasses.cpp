// SceneClasses.cpp: the scene classes' metaclasses, made and deleted in order.
#include "scenes/registration/SceneClasses.h"

#include "core/lang/Class.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/bridge/Bridge.h"
#include "scenes/callbox/CallBox.h"
#include "scenes/caves/CaveEntrance.h"
#include "scenes/caves/CaveMaze.h"
#include "scenes/concentration/Concentration.h"
#include "scenes/tictac/TicTac.h"

#include <vector>

const char* const SceneClasses::kClassNames[] = {
    "Concentration",
    "TicTac",
    "CallBox",
    "Bridge",
    "CaveEntrance",
    "CaveMaze",
};
const int SceneClasses::kClassCount = int(sizeof kClassNames / sizeof kClassNames[0]);

namespace {

// The metaclasses in their order of creation; deleted from the back.
std::vector<lang::Class*>& metaclasses()
{
    static std::vector<lang::Class*> made;
    return made;
}

template <class Metaclass>
void make()
{
    metaclasses().push_back(new Metaclass());
}

} // namespace

bool SceneClasses::areClassesRegistered()
{
    return !metaclasses().empty();
}

void SceneClasses::registerClasses()
{
    if (areClassesRegistered())
        return;
    make<Concentration::ConcentrationClass>();
    make<TicTac::TicTacClass>();
    make<CallBox::CallBoxClass>();
    make<Bridge::BridgeClass>();
    make<CaveEntrance::CaveEntranceClass>();
    make<CaveMaze::CaveMazeClass>();
}

void SceneClasses::unregisterClasses()
{
    std::vector<lang::Class*>& made = metaclasses();
    while (!made.empty()) {
        // The metaclass leaves the registry in its destructor.
        delete made.back();
        made.pop_back();
    }
    LanternfieldCanvas::sceneHooks = LanternfieldCanvas::SceneHooks();
}
