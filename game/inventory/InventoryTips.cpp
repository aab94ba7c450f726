// InventoryTips.cpp: the services the inventory bar carries besides items and
// hints: the tool tip over an item under the pointer (which item has which
// tip is the scripts' business), the room-item tip, sparkles over an item
// that has just arrived, and the cave map with its overlays.
#include "game/balloons/TalkBalloon.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/effects/SparkleSprite.h"
#include "game/inventory/Inventory.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"

#include <lua.hpp>

#include <initializer_list>

namespace {

// The room-item tip stands this much lower while the tip offset is set.
constexpr int kTipOffsetY = 44;
// The item tip stands this far above its item, and keeps this far inside
// the window's left edge (over the bar's first items), as the balloons keep
// inside its edges.
constexpr int kItemTipGap = 10;
constexpr int kItemTipMargin = 4;
// Room-item tip fades.
constexpr int kTipFadeFrames = 5;
// The arriving item fades in over this many frames.
constexpr int kArrivalFadeFrames = 42;
// One sparkle is tried for every 30 pixels of the item's area.
constexpr int kPixelsPerSparkle = 30;
// Sparkles start within 40 frames and glint for 25; all are gone after 100.
constexpr int kSparkleMaxDelay = 40;
constexpr int kSparkleLife = 25;
constexpr int kSparkleCleanupFrames = 100;

LanternfieldCanvas* canvas()
{
    return LanternfieldCanvas::instance;
}

// The named canvas sprite, borrowed, or null.
sprite::SpriteBase* canvasSprite(const char* name)
{
    LanternfieldCanvas* c = canvas();
    return c ? c->getSprite(name) : nullptr;
}

// A tip's balloon and its bitmap-font text from the canvas; false unless
// both are there.
bool tipSprites(const char* balloonName, const char* textName, TalkBalloon*& balloon, sprite::NewFontSprite*& text)
{
    sprite::SpriteBase* b = canvasSprite(balloonName);
    balloon = b && b->isInstanceOf("TalkBalloon") ? static_cast<TalkBalloon*>(b) : nullptr;
    sprite::SpriteBase* t = canvasSprite(textName);
    text = t && t->isInstanceOf("NewFontSprite") ? static_cast<sprite::NewFontSprite*>(t) : nullptr;
    return balloon && text;
}

// The item tip's balloon laid out around the text item `textId`; null
// without the tip sprites.
TalkBalloon* fillItemTip(const lang::String& textId, sprite::NewFontSprite*& text)
{
    TalkBalloon* balloon = nullptr;
    if (!tipSprites("InventoryTipBalloon", "InventoryTipText", balloon, text))
        return nullptr;
    text->setText(lang::String::loadText(textId).c_str());
    balloon->layout(text);
    return balloon;
}

// Whether the scripts define the global function: a missing one reads as
// "no name, no tip, no game" instead of an error box at every pointer move.
bool hasLuaFunction(ScriptHost* host, const char* name)
{
    lua_State* L = host ? host->getState() : nullptr;
    if (!L)
        return false;
    lua_getglobal(L, name);
    const bool found = lua_isfunction(L, -1);
    lua_pop(L, 1);
    return found;
}

} // namespace

lang::String Inventory::scriptItemString(const char* function, int id)
{
    ScriptHost* host = ScriptHost::instance;
    if (!hasLuaFunction(host, function))
        return lang::String("");
    host->callLuaFunctionIntResult(function, id);
    return host->popLuaString();
}

bool Inventory::playingGlobalISpy()
{
    ScriptHost* host = ScriptHost::instance;
    if (!hasLuaFunction(host, "LF_playingGlobalISpy"))
        return false;
    host->callLuaFunctionWithResult("LF_playingGlobalISpy");
    return host->popLuaBoolean();
}

sprite::SpriteBase* Inventory::scriptItem(int id)
{
    const lang::String name = scriptItemString("LF_getInventoryItemSpriteName", id);
    return name.isEmpty() ? nullptr : getSprite(name.c_str());
}

bool Inventory::hitTestItems(int x, int y)
{
    if (!isVisible())
        return false;
    if (itemAt(x, y))
        return true;
    toLocal(x, y);
    sprite::SpriteBase* map = getSprite("CaveMap");
    return map && map->isVisible() && map->hittest(x, y);
}

sprite::SpriteBase* Inventory::itemAt(int x, int y)
{
    if (!isVisible())
        return nullptr;
    toLocal(x, y);
    for (int id = 1; id <= ITEM_COUNT; ++id) {
        sprite::SpriteBase* item = scriptItem(id);
        if (item && item->isVisible() && item->hittest(x, y))
            return item;
    }
    return nullptr;
}

bool Inventory::isHoveringItem()
{
    return isVisible() && m_bHovering;
}

bool Inventory::hoverItems(int x, int y)
{
    if (!isVisible() || !m_bItemsEnabled || playingGlobalISpy())
        return false;
    bool hit = false;
    for (int id = 1; id <= ITEM_COUNT; ++id) {
        sprite::SpriteBase* item = scriptItem(id);
        if (!item || !item->isVisible() || !item->hittest(x, y))
            continue;
        hit = true;
        m_bOverItem = true;
        if (m_nTipItem == id)
            continue;
        const lang::String tip = scriptItemString("LF_getInventoryItemToolTipID", id);
        if (tip.isEmpty()) {
            m_bOverItem = false;
            m_bHovering = true;
            return true;
        }
        m_nTipItem = id;
        sprite::NewFontSprite* text = nullptr;
        if (TalkBalloon* balloon = fillItemTip(tip, text)) {
            // Centred above the item, on screen.
            int tipX = left() + item->left() + item->width() / 2 - balloon->width() / 2;
            if (tipX < kItemTipMargin)
                tipX = kItemTipMargin;
            const int tipY = top() + item->top() - balloon->height() - kItemTipGap;
            balloon->setPosition(tipX, tipY);
            balloon->placeOver(text);
            showItemTip(true);
        }
        m_bOverItem = true;
        m_bHovering = true;
        return true;
    }
    if (!hit) {
        showItemTip(false);
        m_nTipItem = -1;
    }
    return false;
}

void Inventory::showItemTipAt(int x, int y, const lang::String& textId)
{
    sprite::NewFontSprite* text = nullptr;
    TalkBalloon* balloon = fillItemTip(textId, text);
    if (!balloon)
        return;
    balloon->setPosition(x, y);
    balloon->placeOver(text);
    showItemTip(true);
}

void Inventory::showItemTip(bool show)
{
    TalkBalloon* balloon = nullptr;
    sprite::NewFontSprite* text = nullptr;
    if (!tipSprites("InventoryTipBalloon", "InventoryTipText", balloon, text))
        return;
    balloon->setVisible(show);
    text->setVisible(show);
}

void Inventory::setRoomItemTip(const lang::String& textId, int number, bool slide)
{
    TalkBalloon* balloon = nullptr;
    sprite::NewFontSprite* text = nullptr;
    if (!tipSprites("RoomItemsBalloon", "RoomItemTipText", balloon, text))
        return;
    lang::String tip = lang::String::loadText(textId);
    if (number > -1)
        tip.replaceAll(lang::String("%1"), lang::String(number));
    text->setText(tip.c_str());
    balloon->layout(text);
    balloon->setPosition(balloon->getHomeLeft() - balloon->width(),
                         balloon->getHomeTop() + (m_bTipOffset ? kTipOffsetY : 0));
    balloon->placeOver(text);
    if (slide)
        balloon->slideInFromRight(text);
    stepHintDisplay(true);
}

void Inventory::stepHintDisplay(bool show)
{
    TalkBalloon* balloon = nullptr;
    sprite::NewFontSprite* text = nullptr;
    if (!tipSprites("RoomItemsBalloon", "RoomItemTipText", balloon, text))
        return;
    for (sprite::SpriteBase* s : {static_cast<sprite::SpriteBase*>(balloon), static_cast<sprite::SpriteBase*>(text)}) {
        s->setVisible(show);
        s->setAlphaDestination(show ? 128 : 0, kTipFadeFrames, show ? 0 : 1);
    }
}

void Inventory::sparkleInSprite(const lang::String& targetName, const lang::String& templateName)
{
    sprite::SpriteBase* target = getSprite(targetName.c_str());
    sprite::SpriteBase* pattern = getSprite(templateName.c_str());
    // A missing target or template places nothing.
    if (!target || !pattern || !pattern->isInstanceOf("SparkleSprite"))
        return;
    target->setVisible(true);
    target->setColorBalance(0, 128, 128, 128);
    target->setAlphaDestination(128, kArrivalFadeFrames, 0);
    const int count = target->height() * target->width() / kPixelsPerSparkle;
    for (int i = 0; i < count; ++i) {
        const int x = target->left() + m_random.nextInt(target->width());
        const int y = target->top() + m_random.nextInt(target->height());
        if (!target->hittestOpaque(x, y))
            continue;
        auto* sparkle = static_cast<SparkleSprite*>(pattern->clone());
        sparkle->placeAt(x, y, m_random.nextInt(kSparkleMaxDelay), kSparkleLife);
        bringToFront(sparkle);
        m_sparkles.addElement(sparkle);
        sparkle->release();
    }
    if (LanternfieldCanvas* c = canvas()) {
        lang::String cleanup("cleanup");
        c->scheduleAction(kSparkleCleanupFrames, &cleanup, 0, nullptr, this);
    }
}

void Inventory::removeSparkles()
{
    for (int i = 0; i < m_sparkles.size(); ++i)
        removeChild(static_cast<sprite::SpriteBase*>(m_sparkles.elementAt(i)));
    m_sparkles.removeAllElements();
}

void Inventory::showCaveMap(bool show)
{
    if (sprite::SpriteBase* map = getSprite("CaveMap"))
        map->setVisible(show);
    for (int n : kCavePositions) {
        for (const char* kind : {"CaveMap_Visited_", "CaveMap_Current_"}) {
            lang::String name(kind);
            name.append(n);
            if (sprite::SpriteBase* overlay = getSprite(name.c_str()))
                overlay->setVisible(show);
        }
    }
}
