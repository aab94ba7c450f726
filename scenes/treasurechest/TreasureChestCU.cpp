// TreasureChestCU.cpp: the treasure chest close-up: its board, the chapter's
// series of boards, the locks, the camera flashes and the zooms out.
#include "scenes/treasurechest/TreasureChestCU.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/ActionCommand.h"
#include "scenes/common/AnimationTimer.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/slideblock/SlideBlockPuzzle.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <climits>
#include <cstdlib>
#include <string>

HV_DEFINE_METACLASS(TreasureChestCU);

const char TreasureChestCU::kScriptTable[] = "TreasureChestCU";

namespace {

const char kFlashPrefix[] = "hidelockbling";
// The wait of a won golden chest before it zooms into the golden room: the
// command that ends it (the board's number follows), kept by the line under
// the board.
const char kGoldenZoomPrefix[] = "zoomgoldenroom";
const char kChestStatus[] = "Status";

// Where the chest of each chapter leads back to, and the mask and point of
// its zoom.
struct Exit {
    int room;
    const char* mask;
    int x;
    int y;
};
const Exit kExits[] = {
    {5, "+iTreasureChestMask", 280, 227},
    {16, "+iTreasureChestMask2", 466, 154},
    {33, "+iChapter3_TC_doorMask", 166, 154},
    {39, "+iTreasureChestMask", 50, 230},
};

int clampToInt(long long n)
{
    return n < INT_MIN ? INT_MIN : n > INT_MAX ? INT_MAX : int(n);
}

int scriptInteger(const char* function)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host)
        return 0;
    host->callLuaFunctionWithResult(function);
    return host->popLuaInteger();
}

void setScriptInteger(const char* function, int n)
{
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunction(function, n);
}

} // namespace

TreasureChestCU::TreasureChestCU() : m_pBoard(nullptr), m_nCurrentPuzzle(0), m_nPuzzlesPerChapter(0)
{
    SceneLua::bindRoomClass(this, "TreasureChestCU", luaMethods());
}

TreasureChestCU::~TreasureChestCU() = default;

int TreasureChestCU::firstPuzzle(int chapter, int k)
{
    const long long c = chapter == GOLD_CHAPTER ? REPLAYED_CHAPTER : chapter;
    return clampToInt((c - 1) * k);
}

int TreasureChestCU::normalisePuzzle(int current, int chapter, int k, int scriptCounter)
{
    // Without boards in a chapter the steps would never end.
    const long long step = k < 1 ? 1 : k;
    const long long first = firstPuzzle(chapter, int(step));
    long long n = current;
    // The whole steps of k that bring n to the first board or past it, and
    // back below the chapter's last.
    if (n < first)
        n += (first - n + step - 1) / step * step;
    if (n >= first + step)
        n -= (n - first) / step * step;
    return scriptCounter > n ? scriptCounter : clampToInt(n);
}

int TreasureChestCU::exitRoom(int chapter)
{
    if (chapter >= 1 && chapter <= 4)
        return kExits[chapter - 1].room;
    return chapter == GOLD_CHAPTER ? GOLDEN_ROOM : -1;
}

void TreasureChestCU::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    for (int n = 1; n <= 3; ++n) {
        if (sprite::SpriteBase* flash = SceneRoom::find(this, ("CameraFlashesYellow" + std::to_string(n)).c_str()))
            flash->setVisible(false);
    }
    m_bShown = true;
}

void TreasureChestCU::onEnter()
{
    Room::onEnter();
    Room* room = Room::roomAt(BOARD_ROOM);
    m_pBoard = room && room->isInstanceOf("SlideBlockPuzzle") ? static_cast<SlideBlockPuzzle*>(room) : nullptr;
    if (!m_pBoard) {
        window::debugLine(kScriptTable, ": room ", BOARD_ROOM, " is no SlideBlockPuzzle\n");
        return;
    }
    m_pBoard->onEnter();
    m_pBoard->setBoardCenter(width() / 2, height() / 2 + BOARD_DROP);
    m_nPuzzlesPerChapter = scriptInteger("LF_numTreasureChestPuzzles");
    if (m_nPuzzlesPerChapter < 1)
        window::debugLine(kScriptTable, ": ", m_nPuzzlesPerChapter, " boards a chapter are taken as 1\n");
    m_nCurrentPuzzle = normalisePuzzle(m_nCurrentPuzzle, Room::chapterNumber(), m_nPuzzlesPerChapter,
                                       scriptInteger("LF_getCurrentSlideBlockPuzzle"));
    setScriptInteger("LF_setCurrentSlideBlockPuzzle", m_nCurrentPuzzle);
    m_pBoard->buildBoard(m_nCurrentPuzzle);
    showLocks();
    m_pBoard->hideDoors();
    m_pBoard->setLocked(false);
}

void TreasureChestCU::showLocks()
{
    const int chapter = Room::chapterNumber();
    if (chapter == GOLD_CHAPTER) {
        if (sprite::SpriteBase* screw = SceneRoom::find(this, "TCCU_screw"))
            screw->setPosition(160, 102);
        SceneRoom::setFrame(this, "TCCU_BigLock_anim", 0);
        if (sprite::SpriteBase* screw = SceneRoom::find(this, "TCCU_screw_flip")) {
            screw->setPosition(480, 101);
            screw->setFlipType(sprite::SpriteBase::FLIP_HORIZONTAL);
        }
        return;
    }
    const int solved = m_nCurrentPuzzle - (chapter - 1) * m_nPuzzlesPerChapter;
    sprite::AnimateSprite* first = SceneRoom::findAnimation(this, "Lock1");
    const int open = first ? first->getFrameCount() - 1 : 0;
    const char* const locks[] = {"Lock1", "Lock2", "Lock3"};
    for (int i = 0; i < 3; ++i)
        SceneRoom::setFrame(this, locks[i], solved > i || solved < 0 ? open : 0);
}

void TreasureChestCU::onExit()
{
    AnimationTimer::cancel(SceneRoom::find(this, kChestStatus));
    Room::onExit();
    if (m_pBoard)
        m_pBoard->exitTo(-1);
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->showSprite("Dim", false);
}

bool TreasureChestCU::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c || c->isGameInstructionsShowing() || c->getGameState() != LanternfieldCanvas::STATE_PLAYING)
        return false;
    if (m_pBoard && m_pBoard->isVisible()) {
        const int chapter = Room::chapterNumber();
        if (m_pBoard->isCloseRequested()) {
            // Acted on once: a request left standing would zoom out again
            // every frame.
            m_pBoard->clearCloseRequested();
            const int exit = exitRoom(chapter);
            if (exit >= 0)
                goToRoom(exit);
            callScript(kScriptTable, "onExit");
        } else if (m_pBoard->isSolved()) {
            m_pBoard->clearSolved();
            ++m_nCurrentPuzzle;
            setScriptInteger("LF_setCurrentSlideBlockPuzzle", m_nCurrentPuzzle);
            if (chapter != GOLD_CHAPTER)
                callScriptInt(kScriptTable, "unlockLock", m_nCurrentPuzzle - (chapter - 1) * m_nPuzzlesPerChapter);
            else
                callScriptInt(kScriptTable, "unlockGoldLock", m_nCurrentPuzzle - 1);
            m_pBoard->setLocked(true);
        }
    }
    return SceneRoom::pausingTick(this, frame, boundsOut, region);
}

int TreasureChestCU::mouseDown(window::Event* e)
{
    if (m_pBoard && (m_pBoard->isBusy() || m_pBoard->isLocked()))
        return NOT_HANDLED;
    const int result = Room::mouseDown(e);
    if (!m_pBoard)
        return result;
    if (SceneRoom::isCloseButtonHit(m_pBoard, e->x, e->y)) {
        callScript(kScriptTable, "onExit");
        const int exit = exitRoom(Room::chapterNumber());
        if (exit >= 0)
            goToRoom(exit);
    } else if (!hasLuaAnimations()) {
        int x = e->x;
        int y = e->y;
        m_pBoard->toLocal(x, y);
        sprite::SpriteBase* reset = m_pBoard->getSprite("ResetButton");
        if (reset && reset->hittest(x, y))
            m_pBoard->startDoorAnimation(m_nCurrentPuzzle);
    }
    return result;
}

void TreasureChestCU::resetGlobalItems()
{
    Room::resetGlobalItems();
    m_nCurrentPuzzle = firstPuzzle(Room::chapterNumber(), m_nPuzzlesPerChapter);
    setScriptInteger("LF_setCurrentSlideBlockPuzzle", m_nCurrentPuzzle);
}

void TreasureChestCU::goToRoom(int index)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c || c->getGameState() != LanternfieldCanvas::STATE_PLAYING)
        return;
    for (const Exit& exit : kExits) {
        if (exit.room == index) {
            zoomToRoom(index, lang::String(exit.mask), exit.x, exit.y, ZOOM_FROM, ZOOM_TO, ZOOM_FRAMES, nullptr);
            return;
        }
    }
    if (index == GOLDEN_ROOM)
        zoomToGoldenRoom(m_nCurrentPuzzle);
    else
        Room::goToRoom(index);
}

void TreasureChestCU::zoomToGoldenRoom(int n)
{
    // The board goes with the close-up: the zoom draws the chest over the
    // golden room a while, and the board's blocks may not stay drawn there.
    // The exit's box stays: it is drawn over the chest's picture of the
    // riverside's box, which would show in its place.
    if (m_pBoard)
        m_pBoard->setVisible(false);
    const char* mask = n == 13 ? "+iGoldenRoomTransitionMask2" : "+iGoldenRoomTransitionMask1";
    const int x = n == 12 ? -100 : n == 13 ? 420 : 175;
    const int y = n == 12 ? 280 : n == 13 ? 290 : 230;
    zoomToRoom(GOLDEN_ROOM, lang::String(mask), x, y, ZOOM_FROM, GOLDEN_ZOOM_TO, ZOOM_FRAMES, nullptr);
}

void TreasureChestCU::zoomToGoldenRoomAfter(int n, int frames)
{
    sprite::SpriteBase* timer = SceneRoom::find(this, kChestStatus);
    if (!timer || frames <= 0) {
        zoomToGoldenRoom(n);
        return;
    }
    AnimationTimer::start(timer, frames, this, (kGoldenZoomPrefix + std::to_string(n)).c_str());
}

void TreasureChestCU::showLockUnlock(int n)
{
    const std::string suffix = std::to_string(n);
    sprite::AnimateSprite* flash = SceneRoom::findAnimation(this, ("CameraFlashesYellow" + suffix).c_str());
    if (!flash)
        return;
    bringToFront(flash);
    flash->setVisible(true);
    flash->setFrame(0);
    flash->playAnimation(0, flash->getFrameCount() - 1, 0, 1, false, 1);
    ActionCommand::give(flash, this, (kFlashPrefix + suffix).c_str());
}

bool TreasureChestCU::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (command && command->startsWith(kGoldenZoomPrefix)) {
        AnimationTimer::cancel(SceneRoom::find(this, kChestStatus));
        zoomToGoldenRoom(std::atoi(command->c_str() + sizeof(kGoldenZoomPrefix) - 1));
        return false;
    }
    if (!command || !command->startsWith(kFlashPrefix))
        return false;
    lang::String rest(*command);
    rest.replaceAll(lang::String(kFlashPrefix), lang::String(""));
    const std::string name = std::string("CameraFlashesYellow") + rest.c_str();
    if (sprite::SpriteBase* flash = getSprite(name.c_str())) {
        flash->setVisible(false);
        flash->setAction(nullptr, nullptr);
    }
    return false;
}
