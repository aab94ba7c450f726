// SceneClasses.cpp: the scene classes' metaclasses, made and deleted in order.
#include "scenes/registration/SceneClasses.h"

#include "core/lang/MetaclassList.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/aircompressor/AirCompressor.h"
#include "scenes/artrestoration/ArtPiece.h"
#include "scenes/artrestoration/ArtRestoration.h"
#include "scenes/bookshelf/Bookshelf.h"
#include "scenes/bridge/Bridge.h"
#include "scenes/callbox/CallBox.h"
#include "scenes/caves/CaveEntrance.h"
#include "scenes/caves/CaveMaze.h"
#include "scenes/clock/ClockCU.h"
#include "scenes/circuit/CircuitBoard.h"
#include "scenes/concentration/Concentration.h"
#include "scenes/divedock/DiveDock.h"
#include "scenes/fountain/FountainCU.h"
#include "scenes/inlay/Inlay.h"
#include "scenes/maze/Maze.h"
#include "scenes/pegs/PegsCU.h"
#include "scenes/pipes/PipesCU.h"
#include "scenes/rooms/KnickKnackStore.h"
#include "scenes/rooms/Landing.h"
#include "scenes/rooms/Lures.h"
#include "scenes/rooms/MansionKeypad.h"
#include "scenes/rooms/OldTownConnector.h"
#include "scenes/rooms/ProfessorHouse.h"
#include "scenes/rooms/Temple1.h"
#include "scenes/rooms/Temple2.h"
#include "scenes/rooms/Temple3.h"
#include "scenes/rooms/Trailhead.h"
#include "scenes/rooms/ViewFinder.h"
#include "scenes/rooms/Waterfall.h"
#include "scenes/safecrack/SafeCrack.h"
#include "scenes/sanctum/InnerSanctum.h"
#include "scenes/sanctum/OuterSanctum.h"
#include "scenes/slideblock/SlideBlockPuzzle.h"
#include "scenes/templedoor/TempleDoorPuzzle.h"
#include "scenes/tictac/TicTac.h"
#include "scenes/treasurechest/TreasureChestCU.h"
#include "scenes/whackaclam/Clam.h"
#include "scenes/whackaclam/WhackAClam.h"
#include "scenes/windrace/WindRace.h"

const char* const SceneClasses::kClassNames[] = {
    "CircuitBoard",
    "Concentration",
    "FountainCU",
    "Maze",
    "PipesCU",
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
    "SlideBlockPuzzle",
    "TreasureChestCU",
    "TempleDoorPuzzle",
    "SafeCrack",
    "DiveDock",
    "InnerSanctum",
    "OuterSanctum",
    "WindRace",
    "KnickKnackStore",
    "Landing",
    "Lures",
    "MansionKeypad",
    "OldTownConnector",
    "ProfessorHouse",
    "Temple1",
    "Temple2",
    "Temple3",
    "Trailhead",
    "ViewFinder",
    "Waterfall",
};
const int SceneClasses::kClassCount = int(sizeof kClassNames / sizeof kClassNames[0]);

namespace {

// The metaclasses in their order of creation; deleted from the back.
lang::MetaclassList& metaclasses()
{
    static lang::MetaclassList made;
    return made;
}

template <class Metaclass>
void make()
{
    metaclasses().make<Metaclass>();
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
    make<CircuitBoard::CircuitBoardClass>();
    make<Concentration::ConcentrationClass>();
    make<FountainCU::FountainCUClass>();
    make<Maze::MazeClass>();
    make<PipesCU::PipesCUClass>();
    LanternfieldCanvas::sceneHooks.resetPipes = [](sprite::DialogSprite* pipes) {
        if (pipes->isInstanceOf("PipesCU"))
            static_cast<PipesCU*>(pipes)->resetPipes();
    };
    LanternfieldCanvas::sceneHooks.growPipes = [](sprite::DialogSprite*) {
        // The fountain close-up opens its pipes from their door.
        LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
        Room* room = canvas ? canvas->getCurrentRoom() : nullptr;
        if (room && room->isInstanceOf("FountainCU"))
            static_cast<FountainCU*>(room)->enterPipesCU();
    };
    LanternfieldCanvas::sceneHooks.openCircuitBoard = [](sprite::DialogSprite* board, Room*) {
        if (board->isInstanceOf("CircuitBoard")) {
            static_cast<CircuitBoard*>(board)->setOrigin();
            static_cast<CircuitBoard*>(board)->grow();
        }
    };
    LanternfieldCanvas::sceneHooks.closeCircuitBoard = [](sprite::DialogSprite* board) {
        if (board->isInstanceOf("CircuitBoard"))
            static_cast<CircuitBoard*>(board)->shrinkOut();
    };
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
    make<SlideBlockPuzzle::SlideBlockPuzzleClass>();
    make<TreasureChestCU::TreasureChestCUClass>();
    make<TempleDoorPuzzle::TempleDoorPuzzleClass>();
    make<SafeCrack::SafeCrackClass>();
    LanternfieldCanvas::sceneHooks.setupTempleDoorPuzzle = [](Room* room, int puzzle) {
        if (room->isInstanceOf("TempleDoorPuzzle"))
            static_cast<TempleDoorPuzzle*>(room)->setupPuzzle(puzzle);
    };
    LanternfieldCanvas::sceneHooks.openSafeCrack = [](sprite::DialogSprite* safe, Room* host) {
        LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
        if (!safe->isInstanceOf("SafeCrack") || !host || !canvas)
            return;
        auto* close = static_cast<SafeCrack*>(safe);
        close->setOrigin();
        close->grow(canvas->findRoomIndex(host->getName()));
    };
    LanternfieldCanvas::sceneHooks.closeSafeCrack = [](sprite::DialogSprite* safe) {
        if (safe->isInstanceOf("SafeCrack"))
            static_cast<SafeCrack*>(safe)->shrinkOut();
    };
    make<DiveDock::DiveDockClass>();
    make<InnerSanctum::InnerSanctumClass>();
    make<OuterSanctum::OuterSanctumClass>();
    make<WindRace::WindRaceClass>();
    make<KnickKnackStore::KnickKnackStoreClass>();
    make<Landing::LandingClass>();
    make<Lures::LuresClass>();
    make<MansionKeypad::MansionKeypadClass>();
    make<OldTownConnector::OldTownConnectorClass>();
    make<ProfessorHouse::ProfessorHouseClass>();
    make<Temple1::Temple1Class>();
    make<Temple2::Temple2Class>();
    make<Temple3::Temple3Class>();
    make<Trailhead::TrailheadClass>();
    make<ViewFinder::ViewFinderClass>();
    make<Waterfall::WaterfallClass>();
}

void SceneClasses::unregisterClasses()
{
    metaclasses().deleteAll();
    LanternfieldCanvas::sceneHooks = LanternfieldCanvas::SceneHooks();
}
