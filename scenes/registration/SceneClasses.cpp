// SceneClasses.cpp: the scene classes' metaclasses, made and deleted in order.
#include "scenes/registration/SceneClasses.h"

#include "core/lang/Class.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/aircompressor/AirCompressor.h"
#include "scenes/artrestoration/ArtPiece.h"
#include "scenes/artrestoration/ArtRestoration.h"
#include "scenes/bookshelf/Bookshelf.h"
#include "scenes/clock/ClockCU.h"
#include "scenes/bridge/Bridge.h"
#include "scenes/callbox/CallBox.h"
#include "scenes/caves/CaveEntrance.h"
#include "scenes/caves/CaveMaze.h"
#include "scenes/concentration/Concentration.h"
#include "scenes/inlay/Inlay.h"
#include "scenes/pegs/PegsCU.h"
#include "scenes/tictac/TicTac.h"
#include "scenes/whackaclam/Clam.h"
#include "scenes/whackaclam/WhackAClam.h"

#include <vector>

const char* const SceneClasses::kClassNames[] = {
    "Concentration",
    "TicTac",
    "CallBox",
    "Bridge",
    "CaveEntrance",
    "CaveMaze",
    "Inlay",
    "WhackAClam",
    "Bookshelf",
    "ClockCU",
    "ArtRestoration",
    "ArtPiece",
    "AirCompressor",
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

// The canvas opens and closes the peg close-up through its hooks.
void openPegs(sprite::DialogSprite* pegs, int puzzle, int x, int y, Room* host)
{
    if (!pegs->isInstanceOf("PegsCU"))
        return;
    auto* closeUp = static_cast<PegsCU*>(pegs);
    closeUp->setOrigin(x, y);
    closeUp->grow(puzzle, host);
}

void closePegs(sprite::DialogSprite* pegs)
{
    if (pegs->isInstanceOf("PegsCU"))
        static_cast<PegsCU*>(pegs)->shrinkOut();
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
    make<Inlay::InlayClass>();
    make<WhackAClam::WhackAClamClass>();
    make<PegsCU::PegsCUClass>();
    make<Clam::ClamClass>();
    LanternfieldCanvas::sceneHooks.openPegs = &openPegs;
    LanternfieldCanvas::sceneHooks.closePegs = &closePegs;
    make<Bookshelf::BookshelfClass>();
    make<ClockCU::ClockCUClass>();
    make<ArtRestoration::ArtRestorationClass>();
    make<ArtPiece::ArtPieceClass>();
    make<AirCompressor::AirCompressorClass>();
    LanternfieldCanvas::sceneHooks.clearTiles = [](Room* room) {
        if (room && room->isInstanceOf("ArtRestoration"))
            static_cast<ArtRestoration*>(room)->clearTiles();
    };
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
