// Inventory.cpp: the inventory's construction, its fixed item list, the item
// fields of the progress record, the bar, the item held on the cursor, the
// whole-state operations and the routing of its input and commands.
#include "game/inventory/Inventory.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/Event.h"

#include <lua.hpp>

#include <cstdio>
#include <initializer_list>

HV_DEFINE_METACLASS(Inventory);

const char Inventory::kMetatable[] = "hv.Inventory";
const char Inventory::kScriptFile[] = "Inventory.lua";
const char Inventory::kLuaClassName[] = "Inventory";

// In the order of the record's item fields and of the saved profile image.
const Inventory::ItemInfo Inventory::kItems[ITEM_COUNT] = {
    {"Amulet", 0, -1},
    {"HiddenFlowerBouquet", 1, 52},
    {"Pearls", 2, 56},
    {"Cypher", 2, 54},
    {"MansionGateCode", 0, -1},
    {"ConcentrationTrophy", 2, 55},
    {"Gem_1", 0, -1},
    {"Gem_2", 0, -1},
    {"Gem_3", 0, -1},
    {"Gem_4", 0, -1},
    {"CaveMapScroll", 0, -1},
    {"Peg_1", 4, 37},
    {"Peg_2", 4, 38},
    {"Peg_3", 4, 39},
    {"Machete", 4, 40},
    {"ViewFinderSolution", 0, -1},
    {"RiddleCoaster", 0, -1},
    {"AmuletComplete", 0, -1},
    {"Vase", 1, 50},
    {"VaseWithWater", 1, 51},
    {"Box", 1, 53},
    {"AirTank", 0, -1},
};

const char* const Inventory::kHandItems[8] = {
    "Peg_1", "Peg_2", "Peg_3", "Machete", "Vase", "VaseWithWater", "HiddenFlowerBouquet", "Box",
};

const int Inventory::kCavePositions[CAVE_POSITION_COUNT] = {5, 6, 9, 10, 11, 12, 13, 14, 15, 18, 19, 22};

namespace {

// Room for the lists' usual sizes before they grow.
constexpr int kListCapacity = 10;

// The candidates of a press on the bar, in the order they are tried; the
// vases are taken only while the player holds them.
struct PickUpRule {
    int chapter;
    const char* name;
    int cursor;
    bool onlyWhenHeld;
};
const PickUpRule kPickUpRules[] = {
    {4, "Peg_1", 37, false},  {4, "Peg_2", 38, false},  {4, "Peg_3", 39, false},
    {4, "Machete", 40, false}, {2, "Cypher", 54, false}, {2, "ConcentrationTrophy", 55, false},
    {2, "Pearls", 56, false},  {1, "VaseWithWater", 51, true}, {1, "Vase", 50, true},
    {1, "HiddenFlowerBouquet", 52, false}, {1, "Box", 53, false},
};

} // namespace

Inventory::Inventory()
    : sprite::DialogSprite(false),
      m_items(kListCapacity),
      m_hints(kListCapacity),
      m_bPreviewActive(false),
      m_bPreviewPending(false),
      m_nPreviewCounter(-1),
      m_nPaperRaisedY(0),
      m_nTextRaisedY(0),
      m_nArrowDrop(0),
      m_nHintState(HINTS_NONE),
      m_nTipItem(-1),
      m_originX(0),
      m_originY(0),
      m_bChanged(false),
      m_bAdded(false),
      m_bHovering(false),
      m_bOverItem(false),
      m_bItemsEnabled(false),
      m_bTipOffset(false),
      m_pHintPaper(nullptr),
      m_pHintArrow(nullptr),
      m_pHintText(nullptr),
      m_pNewTask(nullptr),
      m_pHeldItem(nullptr),
      m_pPressedItem(nullptr),
      m_bKeptItemPressed(false),
      m_sparkles(kListCapacity)
{
    // A click on an empty part of the bar's area is not the bar's.
    setOwnRectHitTest(false);
    sprite::SpriteBaseLua::bindClass(this, kMetatable, "hv.DialogSprite", kScriptFile, kLuaClassName, luaMethods());
    ScriptHost* host = ScriptHost::instance;
    if (lua_State* L = host ? host->getState() : nullptr) {
        sprite::SpriteBaseLua::pushTable(L, this);
        if (lua_istable(L, -1))
            lua_setglobal(L, "inventory");
        else
            lua_pop(L, 1);
    }
}

Inventory::~Inventory()
{
    while (m_items.size() > 0)
        m_items.removeElementAt(m_items.size() - 1);
    m_hints.removeAllElements();
    m_sparkles.removeAllElements();
}

int Inventory::itemIndex(const lang::String& name)
{
    for (int i = 0; i < ITEM_COUNT; ++i) {
        if (name.equals(kItems[i].name))
            return i;
    }
    return -1;
}

ProgressRecord* Inventory::record()
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    return canvas ? canvas->getProgress() : nullptr;
}

void Inventory::setItemOwned(ProgressRecord* record, const lang::String& name, bool owned)
{
    for (int i = 0; record && i < ITEM_COUNT; ++i) {
        if (name.equals(kItems[i].name))
            record->itemOwned[i] = owned ? 1 : 0;
    }
}

void Inventory::setItemValue(ProgressRecord* record, const lang::String& name, int value)
{
    for (int i = 0; record && i < ITEM_COUNT; ++i) {
        if (name.equals(kItems[i].name))
            record->itemValue[i] = value;
    }
}

bool Inventory::getItemOwned(ProgressRecord* record, const lang::String& name)
{
    const int i = itemIndex(name);
    return record && i >= 0 && record->itemOwned[i] != 0;
}

int Inventory::getItemValue(ProgressRecord* record, const lang::String& name)
{
    const int i = itemIndex(name);
    return record && i >= 0 ? record->itemValue[i] : 0;
}

void Inventory::addItemToList(const lang::String& name)
{
    sprite::SpriteBase* item = getSprite(name.c_str());
    if (!item)
        return;
    if (m_items.indexOf(item) >= 0) {
        // The name goes in as an argument, never as the format.
        std::printf("addItemToList NOT adding duplicate %s\n", name.c_str());
        return;
    }
    m_items.addElement(item);
    setItemOwned(record(), name, true);
}

void Inventory::removeItemFromList(const lang::String& name)
{
    sprite::SpriteBase* item = getSprite(name.c_str());
    if (!item)
        return;
    m_items.removeElement(item);
    setItemOwned(record(), name, false);
    // An item the player no longer holds leaves the bar at once.
    item->setVisible(false);
}

bool Inventory::hasItem(const lang::String& name)
{
    sprite::SpriteBase* item = getSprite(name.c_str());
    return item && m_items.indexOf(item) >= 0;
}

void Inventory::setVisible(bool show)
{
    sprite::DialogSprite::setVisible(show);
    if (hintSpritesBound())
        showHintPaper(show);
    if (!show) {
        settleHintPaper();
        return;
    }
    for (const ItemInfo& info : kItems) {
        sprite::SpriteBase* item = getSprite(info.name);
        if (!item)
            continue;
        // The item on the cursor stays out of the bar until it is put back.
        const bool listed = m_items.indexOf(item) >= 0 && item != m_pHeldItem;
        item->setVisible(listed);
        if (listed)
            item->setAlphaBalance(128);
    }
}

void Inventory::enableItems(bool enable)
{
    m_bItemsEnabled = enable;
    for (const char* name : kHandItems) {
        if (sprite::SpriteBase* item = getSprite(name))
            item->setMouseOverCursor(enable ? sprite::SpriteBase::CURSOR_HAND : sprite::SpriteBase::CURSOR_NORMAL);
    }
}

void Inventory::setToOrigin()
{
    setPosition(m_originX, m_originY);
}

void Inventory::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    lang::IntArray* numbers = definition ? definition->getNumbers() : nullptr;
    if (numbers)
        m_params = *numbers;
    // The framework treats the bar as shown from the start.
    m_bShown = true;
    m_originX = left();
    m_originY = top();
}

int Inventory::param(int i)
{
    return i >= 0 && i < m_params.length() ? m_params[i] : 0;
}

void Inventory::pickUpItem(const lang::String& name, int cursorIndex)
{
    releaseHeldItem();
    m_pHeldItem = getSprite(name.c_str());
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    if (canvas) {
        canvas->playSound(SOUND_PICK_UP);
        canvas->setSpecialCursor(cursorIndex, true, -1);
    }
    if (m_pHeldItem)
        m_pHeldItem->setVisible(false);
}

void Inventory::releaseHeldItem()
{
    if (!m_pHeldItem)
        return;
    // An item the scripts took away while it was on the cursor stays away.
    if (m_items.indexOf(m_pHeldItem) >= 0)
        m_pHeldItem->setVisible(true);
    m_pHeldItem = nullptr;
}

void Inventory::reset()
{
    if (hintSpritesBound())
        showHintPaper(false);
    setHint(lang::String("None"), -1);
    while (m_items.size() > 0)
        m_items.removeElementAt(m_items.size() - 1);
    m_hints.removeAllElements();
    m_pHeldItem = nullptr;
    if (ProgressRecord* r = record()) {
        r->clearHints();
        for (int i = 0; i < ITEM_COUNT; ++i) {
            r->itemOwned[i] = 0;
            r->itemValue[i] = 0;
        }
    }
    for (const ItemInfo& info : kItems) {
        sprite::SpriteBase* item = getSprite(info.name);
        if (!item)
            continue;
        item->setVisible(false);
        item->setAlphaBalance(128);
    }
    for (const char* gem : {"Gem_1", "Gem_2", "Gem_3", "Gem_4"}) {
        if (sprite::SpriteBase* item = getSprite(gem))
            item->setScale(1.0, 1.0);
    }
    showCaveMap(false);
    showItemTip(false);
    m_bPreviewActive = false;
    m_bHovering = false;
    m_bItemsEnabled = false;
    m_bTipOffset = false;
    m_nHintState = HINTS_NONE;
}

void Inventory::storeProgress()
{
    ProgressRecord* r = record();
    if (!r)
        return;
    for (int i = 0; i < ITEM_COUNT; ++i) {
        sprite::SpriteBase* item = getSprite(kItems[i].name);
        if (item && item->isInstanceOf("AnimateSprite"))
            r->itemValue[i] = static_cast<sprite::AnimateSprite*>(item)->getFrame();
    }
}

void Inventory::restoreFromProgress()
{
    ProgressRecord* r = record();
    if (!r)
        return;
    // The bar and the list are rebuilt from the record alone, the items in
    // the list's order.
    while (m_items.size() > 0)
        m_items.removeElementAt(m_items.size() - 1);
    if (m_hints.size() > 0)
        clearHintList();
    for (int i = 0; i < ITEM_COUNT; ++i) {
        sprite::SpriteBase* item = getSprite(kItems[i].name);
        if (!item)
            continue;
        if (r->itemOwned[i] != 0) {
            addItemToList(lang::String(kItems[i].name));
            if (item->isInstanceOf("AnimateSprite"))
                static_cast<sprite::AnimateSprite*>(item)->setFrame(r->itemValue[i]);
        } else {
            item->setVisible(false);
        }
    }
    // A copy: adding a hint that the record holds already changes nothing in
    // it, but the loop must not depend on that.
    int ids[ProgressRecord::HINT_COUNT];
    for (int j = 0; j < ProgressRecord::HINT_COUNT; ++j)
        ids[j] = r->hint[j];
    for (int id : ids) {
        if (id == -1)
            continue;
        lang::String textId("STR_HINT_");
        textId.append(id);
        addHint(textId, id);
    }
}

bool Inventory::takeItemAt(window::Event* e)
{
    ProgressRecord* r = record();
    if (!r)
        return false;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    for (const PickUpRule& rule : kPickUpRules) {
        if (rule.chapter != r->chapter)
            continue;
        sprite::SpriteBase* item = getSprite(rule.name);
        if (!item || !item->isVisible() || !item->hittest(x, y))
            continue;
        const lang::String name(rule.name);
        if (rule.onlyWhenHeld && !hasItem(name))
            continue;
        // Nothing leaves the bar while the global I-Spy game runs.
        if (playingGlobalISpy())
            return false;
        pickUpItem(name, rule.cursor);
        return true;
    }
    return false;
}

int Inventory::mouseDown(window::Event* e)
{
    // No earlier command may fire again with this press.
    setLastCommand(lang::String(""));
    m_pPressedItem = nullptr;
    if (takeItemAt(e)) {
        m_pPressedItem = m_pHeldItem;
        m_bKeptItemPressed = false;
        return COMMAND_READY;
    }
    // An item the bar keeps, pressed with nothing on the cursor.
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    m_bKeptItemPressed =
        canvas && !canvas->hasItemOnCursor() && !playingGlobalISpy() && itemAt(e->x, e->y) != nullptr;
    if (int result = pressHintPaper(e))
        return result;
    return sprite::DialogSprite::mouseDown(e);
}

int Inventory::mouseUp(window::Event* e)
{
    const int result = sprite::DialogSprite::mouseUp(e);
    sprite::SpriteBase* pressed = m_pPressedItem;
    m_pPressedItem = nullptr;
    const bool kept = m_bKeptItemPressed;
    m_bKeptItemPressed = false;
    // Let go on the bar, the item stays on the pointer for a click in the
    // room; let go over the room, it is used there as that click uses it.
    // An item the bar keeps, let go over the room, clicks the room there.
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    Room* room = canvas ? canvas->getCurrentRoom() : nullptr;
    if (!room || !isVisible() || isOnBar(e->x, e->y))
        return result;
    if (pressed && pressed == m_pHeldItem)
        room->useHeldItem(e->x, e->y);
    else if (kept && !canvas->hasItemOnCursor())
        room->clickAt(e->x, e->y);
    return result;
}

bool Inventory::isOnBar(int x, int y)
{
    if (isOverHintPaper(x, y) || hitTestItems(x, y))
        return true;
    sprite::SpriteBase* background = getSprite("InventoryBG");
    int lx = x;
    int ly = y;
    toLocal(lx, ly);
    return background && background->isVisible() && background->hittestOpaque(lx, ly);
}

bool Inventory::mouseMove(window::Event* e)
{
    hoverHintPaper(e->x, e->y);
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    if (hoverItems(x, y))
        return false;
    return sprite::DialogSprite::mouseMove(e);
}

bool Inventory::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    // The preview holds the raised paper for a while, then lowers it.
    if (isVisible() && m_bPreviewActive && m_nPreviewCounter != -1) {
        ++m_nPreviewCounter;
        if (m_nPreviewCounter >= param(7) && m_nHintState != HINTS_LOWERING)
            moveHintPaper(param(2), param(6), "PreviewHintLoweringFinished");
    }
    return sprite::DialogSprite::tick(frame, boundsOut, region);
}

void Inventory::handleAction(lang::Object*, lang::String* command)
{
    if (command && command->equals("cleanup"))
        removeSparkles();
}

bool Inventory::handleEvent(window::Event* e)
{
    if (!e || !e->arg || !e->arg->isInstanceOf("String"))
        return false;
    const lang::String command(*static_cast<lang::String*>(e->arg));
    if (command.startsWith("SparkleInBouquet")) {
        if (sprite::SpriteBase* flower = getSprite("HiddenFlower_Purple"))
            flower->setAction(nullptr, nullptr);
        addItemToList(lang::String("HiddenFlowerBouquet"));
        sparkleInSprite(lang::String("HiddenFlowerBouquet"), lang::String("InventorySparkle"));
    } else if (command.startsWith("cleanup")) {
        removeSparkles();
    } else if (command.startsWith("NewTaskFadeWait") || command.startsWith("StartNewTaskFadeOut") ||
               command.startsWith("HideNewTask")) {
        bannerCommand(command);
    } else {
        hintCommand(command);
    }
    return false;
}
