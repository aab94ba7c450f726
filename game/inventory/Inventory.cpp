// Inventory.cpp: the inventory stand-in's bindings.
#include "game/inventory/Inventory.h"

HV_DEFINE_METACLASS(Inventory);

Inventory::Inventory()
    : sprite::DialogSprite(false),
      m_pHintPaper(nullptr),
      m_pHintArrow(nullptr),
      m_pHintText(nullptr),
      m_pNewTask(nullptr),
      m_nOriginX(0),
      m_nOriginY(0),
      m_bItemsEnabled(false)
{
}

void Inventory::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    m_nOriginX = left();
    m_nOriginY = top();
}

void Inventory::setHintSprites(sprite::SpriteBase* paper, sprite::SpriteBase* arrow, sprite::SpriteBase* hintText,
                               sprite::SpriteBase* newTask)
{
    m_pHintPaper = paper;
    m_pHintArrow = arrow;
    m_pHintText = hintText;
    m_pNewTask = newTask;
}

void Inventory::setToOrigin()
{
    setPosition(m_nOriginX, m_nOriginY);
}

void Inventory::reset()
{
    m_bItemsEnabled = false;
}
