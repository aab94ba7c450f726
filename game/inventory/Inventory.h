// Inventory.h: the inventory bar (for now what the canvas and the rooms ask
// of it: its hint sprites, its home position and the pointer tests, which
// find no items yet; the items themselves are not written yet).
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class Inventory : public sprite::DialogSprite {
public:
    Inventory();

    HV_CLASS_NAME("Inventory", sprite::DialogSprite)
    HV_DECLARE_METACLASS(Inventory);

    // The home position is where the definition put the bar.
    void setDefinition(sprite::SpriteDefinition* definition) override;

    // The hint paper, its arrow button, the hint text and the new-task banner.
    void setHintSprites(sprite::SpriteBase* paper, sprite::SpriteBase* arrow, sprite::SpriteBase* hintText,
                        sprite::SpriteBase* newTask);
    // The bar goes back to its home position.
    void setToOrigin();
    void enableItems(bool enable) { m_bItemsEnabled = enable; }
    // The cave map with its overlays shown or hidden (no map yet).
    void showCaveMap(bool) {}
    // The new-game state: no items, no hints.
    void reset();
    // The pointer rests on an item of the bar.
    bool isHoveringItem() { return false; }
    // The point lies on an item of the bar.
    bool hitTestItems(int, int) { return false; }
    // The point lies on the raised hint paper.
    bool isOverHintPaper(int, int) { return false; }
    // The item taken from the bar and hanging on the cursor, or null.
    sprite::SpriteBase* getHeldItem() const { return nullptr; }

    bool areItemsEnabled() const { return m_bItemsEnabled; }
    sprite::SpriteBase* getHintPaper() const { return m_pHintPaper; }

private:
    sprite::SpriteBase* m_pHintPaper;
    sprite::SpriteBase* m_pHintArrow;
    sprite::SpriteBase* m_pHintText;
    sprite::SpriteBase* m_pNewTask;
    int m_nOriginX;
    int m_nOriginY;
    bool m_bItemsEnabled;
};
