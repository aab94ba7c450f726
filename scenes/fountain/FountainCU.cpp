// FountainCU.cpp: the fountain close-up: its valve, water, key, pipe door
// and the hand-over to the pipes close-up.
#include "scenes/fountain/FountainCU.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/characters/Character.h"
#include "scenes/common/AnimationTimer.h"
#include "scenes/common/CloseUpMotion.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/pipes/PipesCU.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/ScalerSprite.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/Event.h"

HV_DEFINE_METACLASS(FountainCU);

const char FountainCU::kScriptTable[] = "FountainCU";
const char FountainCU::kDrainedFlag[] = "LF.fountainDrained";

const char* const FountainCU::kCommands[COMMAND_COUNT] = {
    "FinishDrainingWaterFromFountain",
    "DrainWaterFromFountain",
    "KeyTwinkleFinished",
    "BrokenWaterPipeOn",
    "BrokenWaterPipeOff",
    "BrokenWaterDoorOn",
    "BrokenWaterDoorOff",
    "ValveDoorOpened",
    "ShowTaskCompleted",
    "SolvedPuzzleToMarketPlace",
    "PipesFixedBling",
    "PipesFixedAllBlingDone",
};

namespace {

// The sprites' mouse-over codes: -1 none, 0 the normal cursor, 1 the hand.
// The room names its cursors by their canvas indexes (8 normal, 9 hand).
int hoverCode(int cursor)
{
    return cursor == 9 ? 1 : cursor == 8 ? 0 : -1;
}

} // namespace

FountainCU::FountainCU()
    : m_bTwinkleOn(false),
      m_nTwinkleCountdown(0),
      m_bKeyHeld(false),
      m_bDraining(false),
      m_draw(new RandomDraw(getRandom()))
{
    SceneLua::bindRoomClass(this, "FountainCU", luaMethods());
}

FountainCU::~FountainCU() = default;

void FountainCU::clearVisit()
{
    m_bTwinkleOn = false;
    m_nTwinkleCountdown = 0;
    m_bKeyHeld = false;
    m_bDraining = false;
}

PipesCU* FountainCU::pipes()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    sprite::DialogSprite* closeUp = c ? c->getCloseUp(0) : nullptr;
    return closeUp && closeUp->isInstanceOf("PipesCU") ? static_cast<PipesCU*>(closeUp) : nullptr;
}

void FountainCU::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    m_bShown = true;
    if (sprite::SpriteBase* missing = SceneRoom::find(this, "PipeMissing"))
        missing->setVisible(false);
}

void FountainCU::onEnter()
{
    Room::onEnter();
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setPuzzleActive(true);
    clearVisit();
    // Leave, the close-up's way back to the market place, shows ready on
    // every entry: a visit may have ended with it hidden under the pipes
    // board (a restart from the menu) or greyed while the water rose.
    if (sprite::SpriteBase* leave = getSprite(SceneRoom::kCloseButton))
        leave->setVisible(true);
    if (sprite::ButtonMixin* close = SceneRoom::findButton(this, SceneRoom::kCloseButton)) {
        if (!close->isSelected())
            close->setState(sprite::ButtonMixin::NORMAL);
    }
    // A key the script shows in the drained basin (left there, or put back
    // on leaving) twinkles and takes the hand on every visit, as after the
    // draining.
    sprite::SpriteBase* key = SceneRoom::find(this, "KeyInFountain");
    ScriptHost* host = ScriptHost::instance;
    if (key && key->isVisible() && host && host->getLuaBoolean(kDrainedFlag))
        startTwinkleCountdown();
}

void FountainCU::onExit()
{
    Room::onExit();
    // A key still held goes back into the water, where the next visit finds it.
    if (m_bKeyHeld)
        returnKey();
    resetProgress();
}

void FountainCU::resetProgress()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c)
        return;
    if (c->isPuzzleActive()) {
        if (PipesCU* board = pipes()) {
            board->shrinkOut();
            board->setVisible(false);
        }
    }
    c->setPuzzleActive(false);
}

bool FountainCU::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c || c->isGameInstructionsShowing() || c->getGameState() != LanternfieldCanvas::STATE_PLAYING)
        return false;
    if (m_bTwinkleOn && --m_nTwinkleCountdown < 0)
        startKeyTwinkle();
    return Room::tick(frame, boundsOut, region);
}

void FountainCU::goToRoom(int index)
{
    if (index == MARKET_PLACE)
        zoomToRoom(MARKET_PLACE, "+iMarketPlaceFountainMask", 0, -125, 1.5f, 0.2f, 36, nullptr);
    else
        Room::goToRoom(index);
}

bool FountainCU::isButtonHit(const char* name, int x, int y)
{
    sprite::ButtonMixin* button = SceneRoom::findButton(this, name);
    return button && button->hitAndEnabled(x, y);
}

int FountainCU::mouseDown(window::Event* e)
{
    const int result = Room::mouseDown(e);
    if (SceneRoom::isCloseButtonHit(this, e->x, e->y)) {
        callScript(kScriptTable, "onExit");
        goToRoom(MARKET_PLACE);
        return COMMAND_READY;
    }
    int x = e->x, y = e->y;
    toLocal(x, y);
    LanternfieldCanvas* c = SceneRoom::canvas();
    Character* player = c ? c->getPlayerCharacter() : nullptr;
    sprite::SpriteBase* key = getSprite("KeyInFountain");
    if (!(player && player->hasLuaAnimations()) && isButtonHit("PipesClickRect", x, y)) {
        callScript(kScriptTable, "clickOnPipeDoor");
    } else if (isButtonHit("ValveClickRect", x, y) && !m_bKeyHeld) {
        sprite::SpriteBase* valve = getSprite("ValveTurnAnim");
        if (!valve || !valve->isAnimating())
            callScript(kScriptTable, "clickOnValveDoor");
    } else if (!m_bDraining && key && key->hittest(x, y) && key->isVisible()) {
        callScript(kScriptTable, "clickOnKeyInFountain");
    } else {
        SceneRoom::playSound(SOUND_NOTHING);
        putKeyInFountain();
    }
    return result;
}

void FountainCU::sendCommand(sprite::SpriteBase* sprite, int command)
{
    CloseUpMotion::setCommand(sprite, this, kCommands[command]);
}

void FountainCU::setHoverCursor(const char* name, int cursor)
{
    if (sprite::SpriteBase* s = SceneRoom::find(this, name))
        s->setMouseOverCursor(hoverCode(cursor));
}

void FountainCU::setButtonEnabled(const char* name, bool enabled)
{
    if (sprite::ButtonMixin* button = SceneRoom::findButton(this, name))
        button->setState(enabled ? sprite::ButtonMixin::NORMAL : sprite::ButtonMixin::DISABLED);
}

void FountainCU::runValve(bool forward, bool fromFirstFrame, int command)
{
    sprite::AnimateSprite* valve = SceneRoom::findAnimation(this, "ValveTurnAnim");
    if (!valve)
        return;
    const int last = valve->getFrameCount() - 1;
    valve->setVisible(true);
    valve->setFrameRange(0, last);
    valve->setFrameRate(VALVE_RATE);
    valve->setTickCount(0);
    valve->setLoopsLeft(VALVE_LOOPS);
    if (!forward)
        valve->setFrame(last);
    else if (fromFirstFrame)
        valve->setFrame(0);
    valve->setFrameStep(forward ? 1 : -1, true);
    if (command >= 0)
        sendCommand(valve, command);
}

void FountainCU::openValveDoor()
{
    SceneRoom::playSound(SOUND_DOOR);
    if (sprite::AnimateSprite* door = SceneRoom::findAnimation(this, "ClosedValveDoor")) {
        door->setVisible(true);
        door->setFrameRange(0, door->getFrameCount() - 1);
        door->setFrameStep(1, false);
        door->setFrameRate(VALVE_RATE);
        door->setTickCount(0);
        sendCommand(door, VALVE_DOOR_OPENED);
    }
    setHoverCursor("ClosedValveDoor", 8);
}

void FountainCU::drainWaterFromFountain()
{
    m_bDraining = true;
    SceneRoom::playSound(SOUND_VALVE);
    runValve(true, false, DRAIN);
}

void FountainCU::turnOffBrokenWater(bool pipe)
{
    SceneRoom::playSound(SOUND_VALVE);
    runValve(true, true, pipe ? BROKEN_PIPE_OFF : BROKEN_DOOR_OFF);
}

void FountainCU::turnOnBrokenWater(bool pipe)
{
    SceneRoom::playSound(SOUND_VALVE);
    runValve(false, false, pipe ? BROKEN_PIPE_ON : BROKEN_DOOR_ON);
}

void FountainCU::turnOnFixedWater()
{
    setButtonEnabled(SceneRoom::kCloseButton, false);
    setButtonEnabled("PipesClickRect", false);
    setButtonEnabled("ValveClickRect", false);
    SceneRoom::playSound(SOUND_VALVE);
    runValve(false, false, -1);
    // Nothing answers the end of this run.
    AnimationTimer::cancel(getSprite("ValveTurnAnim"));
    if (sprite::SpriteBase* fixed = SceneRoom::find(this, "PipeDoorOpenFixed"))
        fixed->setAlphaDestination(0, 20, true);
    // The door closes: its stars go with it.
    fadeOutStars(20);
    SceneRoom::playSound(SOUND_FIXED_WATER);
    if (sprite::SpriteBase* overlay = SceneRoom::find(this, "ScumWaterOverlay")) {
        overlay->setAlphaBalance(128);
        overlay->setAlphaDestination(0, 40, false);
    }
    sprite::SpriteBase* oval = SceneRoom::find(this, "WaterOval");
    if (oval && oval->isInstanceOf("ScalerSprite")) {
        static_cast<sprite::ScalerSprite*>(oval)->startScaling(20, 100, 40, false, 128, 128, false, 0, 0);
        sendCommand(oval, SHOW_TASK_COMPLETED);
    }
}

void FountainCU::pickupKey()
{
    SceneRoom::playSound(SOUND_KEY_TAKEN);
    if (sprite::SpriteBase* key = SceneRoom::find(this, "KeyInFountain"))
        key->setVisible(false);
    m_bTwinkleOn = false;
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setSpecialCursor(CURSOR_KEY, false, -1);
    m_bKeyHeld = true;
    setHoverCursor("KeyInFountain", 8);
}

bool FountainCU::putKeyInFountain()
{
    if (!m_bKeyHeld)
        return false;
    returnKey();
    startTwinkleCountdown();
    SceneRoom::playSound(SOUND_KEY_BACK);
    return true;
}

void FountainCU::returnKey()
{
    if (sprite::SpriteBase* key = SceneRoom::find(this, "KeyInFountain"))
        key->setVisible(true);
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->dropSpecialCursor();
    m_bKeyHeld = false;
    setHoverCursor("KeyInFountain", 9);
}

bool FountainCU::useKeyOnPipeDoor()
{
    if (!m_bKeyHeld)
        return false;
    SceneRoom::playSound(SOUND_DOOR);
    if (sprite::SpriteBase* door = SceneRoom::find(this, "PipeDoorOpenBroken")) {
        // Added again under its own name: on top of the room.
        addChild("PipeDoorOpenBroken", door);
        door->setVisible(true);
    }
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->dropSpecialCursor();
    m_bKeyHeld = false;
    return true;
}

void FountainCU::startTwinkleCountdown()
{
    m_bTwinkleOn = true;
    m_nTwinkleCountdown = m_draw->nextInt(TWINKLE_MIN, TWINKLE_MAX);
    setHoverCursor("KeyInFountain", 9);
}

void FountainCU::startKeyTwinkle()
{
    if (sprite::AnimateSprite* twinkle = SceneRoom::findAnimation(this, "KeyTwinkle")) {
        twinkle->setVisible(true);
        twinkle->setFrame(0);
        twinkle->setFrameStep(1, false);
        sendCommand(twinkle, KEY_TWINKLE_FINISHED);
    }
    m_nTwinkleCountdown = m_draw->nextInt(TWINKLE_MIN, TWINKLE_MAX);
}

void FountainCU::enterPipesCU()
{
    PipesCU* board = pipes();
    if (!board || board->isVisible())
        return;
    if (sprite::SpriteBase* door = SceneRoom::find(this, "PipeDoorOpenBroken")) {
        int x = door->getX(), y = door->getY();
        toScreen(x, y);
        board->setOrigin(x, y);
    }
    board->setHost(this);
    if (sprite::SpriteBase* close = getSprite(SceneRoom::kCloseButton))
        close->setVisible(false);
    board->grow();
    if (sprite::SpriteBase* dim = SceneRoom::find(this, "DimOverlay"))
        bringToFront(dim);
}

void FountainCU::showPipesFixed()
{
    setButtonEnabled("PipesClickRect", false);
    if (sprite::SpriteBase* broken = SceneRoom::find(this, "PipeDoorOpenBroken"))
        broken->setAlphaDestination(0, FIXED_FADE, true);
    if (sprite::SpriteBase* missing = SceneRoom::find(this, "PipeMissing"))
        missing->setVisible(true);
    sprite::SpriteBase* fixed = SceneRoom::find(this, "PipeDoorOpenFixed");
    if (fixed) {
        fixed->setVisible(true);
        fixed->setAlphaBalance(0);
        fixed->setAlphaDestination(128, FIXED_FADE, false);
        sendCommand(fixed, PIPES_FIXED_ALL_BLING_DONE);
    }
    for (const char* name : {"PipeMissing", "PipeDoorOpenBroken", "PipeDoorOpenFixed", "DimOverlay"}) {
        if (sprite::SpriteBase* s = getSprite(name))
            bringToFront(s);
    }
    for (const char* name : {"ClosedValveDoor", "ValveDoorOpen", "PipeDoorOpenBroken", "PipeLock", "PipeDoorOpenFixed"})
        setHoverCursor(name, -1);
    setButtonEnabled("PipeLock", false);
    sprite::SpriteBase* star = SceneRoom::find(this, "Bling_PipeFixedStars");
    if (fixed && star) {
        const int spreadX = fixed->width() / 4;
        const int spreadY = fixed->height() / 4;
        for (int i = 0; i < FIXED_STARS; ++i) {
            int dx = m_draw->nextInt(spreadX);
            if (m_draw->nextInt(1) == 1)
                dx = -dx;
            int dy = m_draw->nextInt(spreadY);
            if (m_draw->nextInt(1) == 1)
                dy = -dy;
            sprite::SpriteBase* s = star->clone();
            s->setCenter(fixed->getX() + dx, fixed->getY() + dy);
            if (s->isInstanceOf("AnimateSprite")) {
                static_cast<sprite::AnimateSprite*>(s)->setFrameRate(1);
                static_cast<sprite::AnimateSprite*>(s)->setTickCount(0);
            }
            bringToFront(s);
            s->setVisible(true);
            getEffects().addElement(s);
            s->release();
        }
    }
    createParticleEffect("PipeDoorOpenFixed", "PipesFixed", FIXED_FADE);
    SceneRoom::playSound(SOUND_PIPES_FIXED);
}

void FountainCU::fadeOutStars(int frames)
{
    util::Vector& stars = getEffects();
    for (int i = 0; i < stars.size(); ++i) {
        auto* star = static_cast<sprite::SpriteBase*>(stars.elementAt(i));
        if (star->isVisible())
            star->setAlphaDestination(0, frames, true);
    }
}

bool FountainCU::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    const int match = CommandMatch::matchPrefix(*command, kCommands);
    if (match >= 0)
        handleCommand(match);
    return false;
}

void FountainCU::handleCommand(int command)
{
    switch (command) {
    case DRAIN: {
        SceneRoom::playSound(SOUND_DRAIN);
        sprite::SpriteBase* scum = SceneRoom::find(this, "ScumWaterScaler");
        if (scum && scum->isInstanceOf("ScalerSprite")) {
            scum->setVisible(true);
            static_cast<sprite::ScalerSprite*>(scum)->startScaling(100, 20, 40, false, 128, 128, false, 0, 0);
            sendCommand(scum, FINISH_DRAINING);
        }
        break;
    }
    case FINISH_DRAINING:
        m_bDraining = false;
        startTwinkleCountdown();
        break;
    case KEY_TWINKLE_FINISHED:
        if (sprite::SpriteBase* twinkle = getSprite("KeyTwinkle"))
            twinkle->setVisible(false);
        break;
    case VALVE_DOOR_OPENED:
        if (sprite::SpriteBase* door = getSprite("ClosedValveDoor"))
            door->setVisible(false);
        for (const char* name : {"ValveTurnAnim", "ValveDoorOpen"}) {
            if (sprite::SpriteBase* s = SceneRoom::find(this, name))
                s->setVisible(true);
            setHoverCursor(name, 9);
        }
        break;
    case SHOW_TASK_COMPLETED:
        if (sprite::SpriteBase* oval = getSprite("WaterOval"))
            oval->setAction(nullptr, nullptr);
        if (ScriptHost* host = ScriptHost::instance)
            host->callLuaFunctionNoArgs("LF_showTaskCompleted");
        AnimationTimer::start(SceneRoom::find(this, "KeyTwinkle"), BANNER_TICKS, this,
                              kCommands[SOLVED_TO_MARKET_PLACE]);
        break;
    case SOLVED_TO_MARKET_PLACE:
        if (sprite::SpriteBase* twinkle = getSprite("KeyTwinkle"))
            twinkle->setAction(nullptr, nullptr);
        goToRoom(MARKET_PLACE);
        break;
    case PIPES_FIXED_BLING:
        showPipesFixed();
        break;
    case PIPES_FIXED_ALL_BLING_DONE:
        if (sprite::SpriteBase* missing = getSprite("PipeMissing"))
            missing->setVisible(false);
        // The burst is over; its stars would stand still on the door.
        fadeOutStars(STARS_FADE);
        break;
    default:
        // The broken water's runs end without anything to do.
        break;
    }
}
