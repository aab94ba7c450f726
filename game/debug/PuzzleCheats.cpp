// PuzzleCheats.cpp: the jump screen's pages, check boxes and jumps.
#include "game/debug/PuzzleCheats.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/Event.h"

#include <string>

HV_DEFINE_METACLASS(PuzzleCheats);

using Kind = PuzzleCheats::JumpKind;

const char PuzzleCheats::kScriptFile[] = "PuzzleCheats.lua";

const PuzzleCheats::CheckBox PuzzleCheats::kCheckBoxes[CHECK_BOX_COUNT] = {
    {1, "SolvedLures", "clickOnSolvedLures"},
    {1, "CheckFixedFountain", "clickOnFixedFountain"},
    {1, "CheckCleanedStore", "clickOnCleanedStore"},
    {1, "CheckOpenedTreasureChest", "clickOnOpenedTreasureChest"},
    {1, "FoundAllFlowers", "clickOnFoundAllFlowers"},
    {2, "FixedCompressor", "clickOnFixedCompressor"},
    {2, "CollectedAllPearls", "clickOnCollectedAllPearls"},
    {2, "WonConcentration", "clickOnWonConcentration"},
    {2, "SolvedJigsawPuzzle", "clickOnSolvedJigsawPuzzle"},
    {2, "SolvedCallboxPuzzle", "clickOnSolvedCallboxPuzzle"},
    {2, "SolvedTreasureChap2", "clickOnSolvedTreasureChestChap2"},
    {3, "CleanedBookshelf", "clickOnFixAllBookshelfItems"},
    {3, "OpenedGemDoor", "clickOnOpenedGemDoor"},
    {3, "SolvedCaveEntrance", "clickOnPlacedAllCaveEntranceItems"},
    {4, "SolvedOuterSanctum", "clickOnSolvedOuterSanctum"},
    {5, "SolvedTicTac", "clickOnSolvedTicTac"},
    {5, "SolvedCircuitBoard", "clickOnSolvedCircuitBoard"},
    {5, "SolvedSafeCrack", "clickOnSolvedSafeCrack"},
    {6, "SolvedWindRace", "clickOnSolvedWindRace"},
    {6, "SolvedTempleDoorPuzzles", "clickOnSolvedTemplePuzzleDoors"},
};

const PuzzleCheats::Jump PuzzleCheats::kJumps[JUMP_COUNT] = {
    {1, "To_Dock", 0, Kind::Clean},
    {1, "To_ProfessorHouse", 1, Kind::Clean},
    {1, "To_MarketPlace", 2, Kind::Clean},
    {1, "To_OldTownConnector", 3, Kind::Clean},
    {1, "To_KnickKnackStore", 4, Kind::Clean},
    {1, "To_Riverside", 5, Kind::Clean},
    {1, "To_PipesCU", 7, Kind::PipesCloseUp},
    {1, "To_TreasureChestCU", 6, Kind::Clean},
    {1, "To_Lures", 64, Kind::Clean},
    {2, "To_TavernGallery", 10, Kind::Plain},
    {2, "To_TavernInterior", 11, Kind::Plain},
    {2, "To_GalleryInterior", 12, Kind::Plain},
    {2, "To_MansionGate", 13, Kind::Plain},
    {2, "To_DiveDock", 14, Kind::Plain},
    {2, "To_HedgeMazeFront", 15, Kind::Plain},
    {2, "To_MansionFront", 16, Kind::Plain},
    {2, "To_Concentration", 17, Kind::Plain},
    {3, "To_Landing", 25, Kind::Clean},
    {3, "To_WelcomeCenter", 26, Kind::Clean},
    {3, "To_Bookshelf", 27, Kind::Clean},
    {3, "To_Trailhead", 28, Kind::Clean},
    {3, "To_Jungle", 29, Kind::Clean},
    {3, "To_CaveEntrance", 30, Kind::CleanWithoutCaveMap},
    {3, "To_CaveMaze", 31, Kind::Clean},
    {3, "To_Bridge", 32, Kind::Clean},
    {3, "To_InnerSanctum", 33, Kind::Clean},
    {3, "To_Inlay", 34, Kind::Clean},
    {4, "To_InnerSanctum_4", 33, Kind::Clean},
    {4, "To_OuterSanctum", 35, Kind::Clean},
    {4, "To_Volcano", 36, Kind::Clean},
    {4, "To_Waterfall", 37, Kind::Clean},
    {4, "To_InnerWaterfall", 38, Kind::Clean},
    {4, "To_VillageEnterance", 39, Kind::Clean},
    {4, "To_OuterVillage_1", 40, Kind::Clean},
    {4, "To_OuterVillage_2", 41, Kind::Clean},
    {4, "To_OuterVillage_3", 42, Kind::Clean},
    {4, "To_PegsCU", 40, Kind::PegsCloseUp},
    {5, "To_TavernGalleryNight", 48, Kind::Plain},
    {5, "To_TavernInteriorNight", 44, Kind::Plain},
    {5, "To_MansionGateNight", 46, Kind::Plain},
    {5, "To_DiveDockNight", 45, Kind::Plain},
    {5, "To_HedgeMazeFrontNight", 47, Kind::Plain},
    {5, "To_MansionFrontNight", 43, Kind::Plain},
    {5, "To_MansionStudy", 51, Kind::Plain},
    {5, "To_MansionHallway", 50, Kind::Plain},
    {5, "To_DiveDockInterior", 49, Kind::Plain},
    {5, "To_TicTac", 52, Kind::Clean},
    {5, "To_ViewFinder", 53, Kind::Clean},
    {5, "To_SafeCrack", 51, Kind::Clean},
    {5, "To_MansionKeypad", 54, Kind::Clean},
    {6, "To_BehindDiveShop", 55, Kind::Clean},
    {6, "To_WindRace", 56, Kind::Clean},
    {6, "To_IslandLanding", 57, Kind::Clean},
    {6, "To_Temple1", 58, Kind::Clean},
    {6, "To_Temple2", 59, Kind::Clean},
    {6, "To_Temple3", 60, Kind::Clean},
    {6, "To_DoorPuzzle1", 61, Kind::CleanTempleDoor0},
    {6, "To_DoorPuzzle2", 61, Kind::CleanTempleDoor1},
    {6, "To_GoldenRoom", 63, Kind::Clean},
    {6, "To_AmuletDoor", 62, Kind::Clean},
};

namespace {

constexpr int kChapterCount = 6;
// The check box that the page shows without moving it to the top.
const char kShownInPlace[] = "SolvedTreasureChap2";
// The safe close-up among the canvas's close-ups.
constexpr int kSafeCrackCloseUp = 6;
constexpr int kPipesCloseUp = 0;

int currentChapter()
{
    const int chapter = Room::chapterNumber();
    return chapter >= 1 && chapter <= kChapterCount ? chapter : 0;
}

} // namespace

PuzzleCheats::PuzzleCheats()
{
    if (ScriptHost* host = ScriptHost::instance)
        host->runScriptFile(kScriptFile, 1);
}

void PuzzleCheats::onEnter()
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    if (canvas)
        canvas->showSprite("DimFull", false);
    const int chapter = currentChapter();
    if (chapter) {
        for (int i = 1; i <= kChapterCount; ++i) {
            if (sprite::SpriteBase* background = getSprite(("Background_" + std::to_string(i)).c_str()))
                background->setVisible(i == chapter);
        }
        for (const CheckBox& box : kCheckBoxes) {
            sprite::SpriteBase* s = box.chapter == chapter ? getSprite(box.sprite) : nullptr;
            if (!s)
                continue;
            if (std::string(box.sprite) != kShownInPlace)
                addChild(box.sprite, s);
            s->setVisible(true);
        }
    }
    // Nothing else shows the screen: it is opened by entering it.
    setVisible(true);
    callScript(scriptName(), "onEnter");
    if (canvas)
        canvas->setCursor(LanternfieldCanvas::CURSOR_NORMAL, false);
}

void PuzzleCheats::onExit()
{
    setVisible(false);
    Room::onExit();
}

int PuzzleCheats::mouseDown(window::Event* e)
{
    const int result = Room::mouseDown(e);
    const int chapter = currentChapter();
    if (!chapter)
        return result;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    for (const CheckBox& box : kCheckBoxes) {
        sprite::SpriteBase* s = box.chapter == chapter ? getSprite(box.sprite) : nullptr;
        if (!s || !s->hittest(x, y))
            continue;
        callScript(scriptName(), box.function);
        LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
        sprite::DialogSprite* safe = canvas ? canvas->getCloseUp(kSafeCrackCloseUp) : nullptr;
        if (std::string(box.sprite) == "SolvedSafeCrack" && safe && safe->isVisible()) {
            if (Room* current = canvas->getCurrentRoom())
                current->callScript("MansionStudy", "setRoomState");
            canvas->exitSafeCrack();
        }
        return result;
    }
    for (const Jump& j : kJumps) {
        sprite::SpriteBase* s = j.chapter == chapter ? getSprite(j.sprite) : nullptr;
        if (s && s->hittest(x, y)) {
            jump(j);
            return result;
        }
    }
    return result;
}

void PuzzleCheats::jump(const Jump& j)
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    if (!canvas)
        return;
    Inventory* inventory = canvas->getInventory();
    // The screen always leaves before the room jumped to is entered: its
    // leaving (as every room's) switches the ambient sounds and animals off,
    // hides the player figure and ends the global I-Spy game, which would
    // otherwise hit the room just entered. A close-up open over the room
    // left goes with it.
    canvas->hideCloseUps();
    switch (j.kind) {
    case Kind::Plain:
        onExit();
        canvas->jumpToRoom(j.room);
        return;
    case Kind::PipesCloseUp:
        onExit();
        canvas->jumpToRoom(j.room);
        if (Room* room = canvas->getCurrentRoom())
            room->pauseIfVisible();
        if (LanternfieldCanvas::sceneHooks.growPipes && canvas->getCloseUp(kPipesCloseUp))
            LanternfieldCanvas::sceneHooks.growPipes(canvas->getCloseUp(kPipesCloseUp));
        return;
    case Kind::PegsCloseUp:
        onExit();
        canvas->jumpToRoom(j.room);
        canvas->enterPegsCU(1);
        return;
    case Kind::CleanWithoutCaveMap:
        if (inventory)
            inventory->showCaveMap(false);
        break;
    case Kind::CleanTempleDoor0:
        canvas->setupTempleDoorPuzzle(0);
        break;
    case Kind::CleanTempleDoor1:
        canvas->setupTempleDoorPuzzle(1);
        break;
    case Kind::Clean:
        break;
    }
    if (inventory)
        inventory->enableItems(true);
    canvas->hideGlobalISpyList();
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunction("LF_setGlobalISpyActive", 0);
    onExit();
    canvas->jumpToRoom(j.room);
}
