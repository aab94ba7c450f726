// Bookshelf.cpp: the bookshelf wall's sorting game, its key and drawer, and
// the clock close-up opened over it.
#include "scenes/bookshelf/Bookshelf.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "scenes/clock/ClockCU.h"
#include "scenes/common/AnimationTimer.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/DefinitionNumber.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/Event.h"

#include <string>

HV_DEFINE_METACLASS(Bookshelf);

const char Bookshelf::kScriptTable[] = "Bookshelf";

namespace {

// The instructions open by themselves this many frames after entering.
constexpr int kInstructionsDelay = 36;
// The close button zooms back to the welcome center through the bookshelf's
// mask: placed at (-40, -125), shrinking from 2.0 to 0.2 over 36 frames.
constexpr int kZoomX = -40;
constexpr int kZoomY = -125;
constexpr float kZoomFrom = 2.0f;
constexpr float kZoomTo = 0.2f;
constexpr int kZoomFrames = 36;
// The last wait of the finished task.
constexpr int kTaskWaitFrames = 101;
// Things taken down wait here, out of sight.
constexpr int kOffScreen = -500;
// Thing 6 hangs mirrored, thing 7 on its side.
constexpr double kTurnedRotation = 270.0;

enum Command { TWINKLE_FINISHED, TASK_COMPLETED, TO_WELCOME_CENTER };
const char* const kCommands[] = {"KeyTwinkleFinished", "ShowTaskCompleted", "SolvedPuzzleToWelcomeCenter"};

void callLua(const char* function, int n)
{
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunction(function, n);
}

void turnTo(sprite::SpriteBase* s, double degrees)
{
    if (s)
        s->rotateBy(degrees - s->getRotation());
}

// A thing taken down or put home stands as its shadow lies: unturned and
// unmirrored.
void bookshelfUpright(sprite::SpriteBase* s)
{
    turnTo(s, 0.0);
    if (s)
        s->setFlipType(sprite::SpriteBase::FLIP_NONE);
}

void showSprite(sprite::SpriteBase* s, bool visible)
{
    if (s)
        s->setVisible(visible);
}

void setEnabled(Room* room, const char* name, bool enabled)
{
    if (sprite::ButtonMixin* button = SceneRoom::findButton(room, name))
        button->setEnabled(enabled);
}

bool hasOwnPicture(int n)
{
    return n == Bookshelf::OWN_PICTURE_ITEM_A || n == Bookshelf::OWN_PICTURE_ITEM_B;
}

} // namespace

Bookshelf::Bookshelf()
    : m_bTwinkleArmed(false),
      m_nTwinkleCountdown(0),
      m_bKeyOnCursor(false),
      m_nHeld(0),
      m_ownDraw(m_random),
      m_pDraw(&m_ownDraw)
{
    SceneLua::bindRoomClass(this, "Bookshelf", luaMethods());
}

Bookshelf::~Bookshelf()
{
    takeDownItems();
}

void Bookshelf::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    m_bShown = true;
}

const Bookshelf::ItemInfo* Bookshelf::item(int n) const
{
    return n >= 1 && n <= int(m_items.size()) ? &m_items[size_t(n - 1)] : nullptr;
}

bool Bookshelf::isItemFixed(int n)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host)
        return false;
    host->callLuaFunctionIntResult("LF_isBookshelfItemFixed", n);
    return host->popLuaInteger() == 1;
}

int Bookshelf::fixedCount()
{
    int count = 0;
    for (int n = 1; n <= ITEM_COUNT; ++n)
        count += isItemFixed(n) ? 1 : 0;
    return count;
}

bool Bookshelf::acceptsInput()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    return isVisible() && !(c && c->isGameInstructionsShowing());
}

ClockCU* Bookshelf::clock()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    sprite::SpriteBase* closeUp = c ? c->getSprite("ClockCU") : nullptr;
    return closeUp && closeUp->isInstanceOf("ClockCU") ? static_cast<ClockCU*>(closeUp) : nullptr;
}

void Bookshelf::takeDownItems()
{
    for (ItemInfo& info : m_items) {
        if (info.wall)
            info.wall->setPosition(kOffScreen, kOffScreen);
    }
    m_items.clear();
}

void Bookshelf::buildItems()
{
    takeDownItems();
    for (int n = 1; n <= ITEM_COUNT; ++n) {
        const std::string suffix = std::to_string(n);
        ItemInfo info;
        info.wall = SceneRoom::findAnimation(this, ("WallItem_" + suffix).c_str());
        info.home = SceneRoom::find(this, ("HomeItem_" + suffix).c_str());
        info.cursor = hasOwnPicture(n) ? SceneRoom::find(this, ("WallItem_" + suffix + "_cursor").c_str())
                                       : info.wall;
        info.wallX = DefinitionNumber::at(m_definitionInts, n);
        info.wallY = DefinitionNumber::at(m_definitionInts, 2 * ITEM_COUNT + n);
        info.homeX = DefinitionNumber::at(m_definitionInts, ITEM_COUNT + n);
        info.homeY = DefinitionNumber::at(m_definitionInts, 3 * ITEM_COUNT + n);
        if (isItemFixed(n)) {
            if (info.wall) {
                info.wall->setPosition(info.homeX, info.homeY);
                bookshelfUpright(info.wall);
            }
            if (hasOwnPicture(n)) {
                showSprite(info.wall, false);
                if (info.cursor) {
                    const bool a = n == OWN_PICTURE_ITEM_A;
                    info.cursor->setPosition(a ? OWN_PICTURE_A_X : OWN_PICTURE_B_X,
                                             a ? OWN_PICTURE_A_Y : OWN_PICTURE_B_Y);
                    info.cursor->setVisible(true);
                }
            }
        } else if (info.wall) {
            info.wall->setVisible(true);
            info.wall->setPosition(info.wallX, info.wallY);
        }
        m_items.push_back(info);
    }
}

void Bookshelf::onEnter()
{
    Room::onEnter();
    SceneInstructions::enterPuzzle(this, INSTRUCTIONS_GAME, kInstructionsDelay);
    SceneRoom::enableCloseButton(this);
    if (sprite::SpriteBase* mirrored = SceneRoom::find(this, "WallItem_6"))
        mirrored->setFlipType(sprite::SpriteBase::FLIP_HORIZONTAL);
    turnTo(SceneRoom::find(this, "WallItem_7"), kTurnedRotation);
    showSprite(SceneRoom::find(this, "WallItem_12_cursor"), false);
    showSprite(SceneRoom::find(this, "WallItem_13_cursor"), false);
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (Inventory* inventory = c ? c->getInventory() : nullptr)
        inventory->setTipOffset(true);
    buildItems();
    const int fixed = fixedCount();
    if (fixed < ITEM_COUNT)
        callLua("LF_setReverseISpyTip", ITEM_COUNT - fixed);
}

void Bookshelf::onExit()
{
    Room::onExit();
    letGo();
    exitClockCU();
    // Instructions still queued to open die with the room.
    SceneInstructions::leavePuzzle(this, INSTRUCTIONS_GAME);
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c)
        return;
    if (Inventory* inventory = c->getInventory()) {
        inventory->setTipOffset(false);
        inventory->stepHintDisplay(false);
    }
}

void Bookshelf::getGameInstructionsInfo(int& game, int& x, int& y)
{
    // About the room's middle, so that the panel the question mark opens
    // lies on the screen.
    SceneInstructions::info(this, INSTRUCTIONS_GAME, game, x, y);
}

int Bookshelf::mouseDown(window::Event* e)
{
    if (!acceptsInput())
        return NOT_HANDLED;
    if (SceneInstructions::openOnQuestionMark(this, INSTRUCTIONS_GAME, e->x, e->y))
        return COMMAND_READY;
    if (SceneRoom::isCloseButtonHit(this, e->x, e->y)) {
        if (LanternfieldCanvas* c = SceneRoom::canvas())
            c->disableGameInsQuestionMark();
        zoomToRoom(WELCOME_CENTER_ROOM, lang::String("+iBookshelfTransitionMask"), kZoomX, kZoomY, kZoomFrom,
                   kZoomTo, kZoomFrames, nullptr);
        callScript(kScriptTable, "onExit");
        return COMMAND_READY;
    }
    const int result = Room::mouseDown(e);
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    sprite::ButtonMixin* keyRect = SceneRoom::findButton(this, "KeyClickRect");
    sprite::SpriteBase* keyOnClock = SceneRoom::find(this, "KeyOnClock");
    m_press.clear();
    if (keyRect && keyRect->hitAndEnabled(x, y) && keyOnClock && keyOnClock->isVisible()) {
        pickupKey();
    } else if (m_nHeld == 0) {
        for (int n = 1; n <= int(m_items.size()); ++n) {
            sprite::AnimateSprite* wall = m_items[size_t(n - 1)].wall;
            if (wall && wall->hittestImage(x, y) && !isItemFixed(n)) {
                pickUp(n);
                m_press.press(e);
                break;
            }
        }
    } else if (const ItemInfo* held = item(m_nHeld)) {
        if (held->home && held->home->hittest(x, y))
            fix(m_nHeld);
        else
            putBack(m_nHeld);
    }
    return result;
}

int Bookshelf::mouseUp(window::Event* e)
{
    const int result = Room::mouseUp(e);
    const ItemInfo* held = item(m_nHeld);
    if (!acceptsInput() || !held || !m_press.hasPress())
        return result;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    if (held->home && held->home->hittest(x, y))
        fix(m_nHeld);
    else if (m_press.isDrop(e))
        putBack(m_nHeld);
    return result;
}

bool Bookshelf::mouseMove(window::Event* e)
{
    if (!acceptsInput())
        return false;
    if (const ItemInfo* held = item(m_nHeld)) {
        if (held->cursor) {
            int x = e->x;
            int y = e->y;
            toLocal(x, y);
            held->cursor->setPosition(x - held->cursor->width() / 2, y - held->cursor->height() / 2);
        }
    }
    return Room::mouseMove(e);
}

void Bookshelf::pickUp(int n)
{
    const ItemInfo& info = m_items[size_t(n - 1)];
    m_nHeld = n;
    if (info.cursor) {
        bookshelfUpright(info.cursor);
        bringToFront(info.cursor);
    }
    callLua("LF_setItemAttachedToCursor", 1);
    SceneRoom::playSound(SOUND_PICK_UP);
    if (hasOwnPicture(n)) {
        showSprite(info.cursor, true);
        showSprite(info.wall, false);
    }
}

void Bookshelf::fix(int n)
{
    ItemInfo& info = m_items[size_t(n - 1)];
    if (info.wall) {
        info.wall->setPosition(info.homeX, info.homeY);
        bookshelfUpright(info.wall);
    }
    SceneRoom::playSound(SOUND_FIXED);
    callLua("LF_fixedBookshelfItem", n);
    if (hasOwnPicture(n) && info.cursor) {
        // From now on the thing's own picture is what stands on the shelf.
        const bool a = n == OWN_PICTURE_ITEM_A;
        info.cursor->setPosition(a ? OWN_PICTURE_A_X : OWN_PICTURE_B_X, a ? OWN_PICTURE_A_Y : OWN_PICTURE_B_Y);
        info.cursor->setVisible(true);
        info.wall = info.cursor->isInstanceOf("AnimateSprite") ? static_cast<sprite::AnimateSprite*>(info.cursor)
                                                                : nullptr;
    }
    const int fixed = fixedCount();
    if (fixed == ITEM_COUNT) {
        LanternfieldCanvas* c = SceneRoom::canvas();
        if (Inventory* inventory = c ? c->getInventory() : nullptr)
            inventory->stepHintDisplay(false);
        callScript(kScriptTable, "onFixedAllItems");
    } else {
        callLua("LF_setReverseISpyTip", ITEM_COUNT - fixed);
    }
    letGo();
}

void Bookshelf::putBack(int n)
{
    const ItemInfo& info = m_items[size_t(n - 1)];
    if (info.wall)
        info.wall->setPosition(info.wallX, info.wallY);
    if (hasOwnPicture(n)) {
        showSprite(info.wall, true);
        showSprite(info.cursor, false);
    }
    letGo();
    SceneRoom::playSound(SOUND_BACK_TO_WALL);
}

void Bookshelf::letGo()
{
    m_nHeld = 0;
    m_press.clear();
    callLua("LF_setItemAttachedToCursor", 0);
}

bool Bookshelf::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c || c->isGameInstructionsShowing() || c->getGameState() != LanternfieldCanvas::STATE_PLAYING)
        return false;
    if (m_bTwinkleArmed && --m_nTwinkleCountdown < 0)
        startKeyTwinkle();
    return Room::tick(frame, boundsOut, region);
}

void Bookshelf::armTwinkle()
{
    m_bTwinkleArmed = true;
    m_nTwinkleCountdown = m_pDraw->nextInt(TWINKLE_MIN, TWINKLE_MAX);
}

void Bookshelf::putKeyOnClock()
{
    if (!m_bKeyOnCursor)
        return;
    showSprite(SceneRoom::find(this, "KeyOnClock"), true);
    armTwinkle();
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->dropSpecialCursor();
    SceneRoom::playSound(SOUND_BACK_TO_WALL);
    m_bKeyOnCursor = false;
    setEnabled(this, "KeyClickRect", true);
}

void Bookshelf::pickupKey()
{
    SceneRoom::playSound(SOUND_KEY_TAKEN);
    showSprite(SceneRoom::find(this, "KeyOnClock"), false);
    m_bTwinkleArmed = false;
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setSpecialCursor(CURSOR_KEY, false, -1);
    m_bKeyOnCursor = true;
    setEnabled(this, "KeyClickRect", false);
}

void Bookshelf::useKeyOnDrawer()
{
    if (!m_bKeyOnCursor)
        return;
    SceneRoom::playSound(SOUND_KEY_IN_DRAWER);
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (c)
        c->dropSpecialCursor();
    m_bKeyOnCursor = false;
    if (c) {
        auto* command = new lang::String("UseKeyOnDrawer");
        c->scheduleAction(DRAWER_DELAY, command, 0, nullptr, this);
        command->release();
    }
}

void Bookshelf::startKeyTwinkle()
{
    if (sprite::AnimateSprite* twinkle = SceneRoom::findAnimation(this, "KeyTwinkle")) {
        twinkle->setVisible(true);
        twinkle->setFrame(0);
        auto* command = new lang::String(kCommands[TWINKLE_FINISHED]);
        twinkle->setAction(this, command);
        command->release();
        twinkle->playAnimation(0, -1, 0, 1, false, 1);
    }
    armTwinkle();
}

void Bookshelf::handleAction(lang::Object* sender, lang::String* command)
{
    if (command && command->startsWith("UseKeyOnDrawer")) {
        showSprite(SceneRoom::find(this, "DrawerMap"), true);
        setEnabled(this, "DrawerMapClickRect", true);
        showSprite(SceneRoom::find(this, "DrawerOpen"), true);
        SceneRoom::playSound(SOUND_DRAWER_OPENS);
        return;
    }
    Room::handleAction(sender, command);
}

bool Bookshelf::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    sprite::SpriteBase* twinkle = SceneRoom::find(this, "KeyTwinkle");
    switch (CommandMatch::matchPrefix(*command, kCommands)) {
    case TWINKLE_FINISHED:
        showSprite(twinkle, false);
        break;
    case TASK_COMPLETED:
        if (ScriptHost* host = ScriptHost::instance)
            host->callLuaFunctionNoArgs("LF_showTaskCompleted");
        AnimationTimer::start(twinkle, kTaskWaitFrames, this, kCommands[TO_WELCOME_CENTER]);
        break;
    case TO_WELCOME_CENTER:
        AnimationTimer::cancel(twinkle);
        Room::goToRoom(WELCOME_CENTER_ROOM);
        break;
    default:
        break;
    }
    return false;
}

void Bookshelf::enterClockCU()
{
    ClockCU* closeUp = clock();
    if (!closeUp || closeUp->isVisible())
        return;
    pauseIfVisible();
    if (sprite::SpriteBase* face = SceneRoom::find(this, "Clock"))
        closeUp->setOrigin(face->left(), face->top());
    closeUp->setHost(this);
    showSprite(SceneRoom::find(this, SceneRoom::kCloseButton), false);
    // The room darkens under the close-up, the things carried last (brought
    // to the front as they were picked up) with it.
    if (sprite::SpriteBase* dim = SceneRoom::find(this, "DimOverlay"))
        bringToFront(dim);
    closeUp->open();
}

void Bookshelf::exitClockCU()
{
    ClockCU* closeUp = clock();
    if (!closeUp || !closeUp->isVisible())
        return;
    closeUp->close();
    closeUp->setVisible(false);
    showSprite(SceneRoom::find(this, SceneRoom::kCloseButton), true);
}
