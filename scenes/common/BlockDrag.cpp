// BlockDrag.cpp: a block's drag on the sliding-block boards.
#include "scenes/common/BlockDrag.h"

#include "scenes/common/BlockGrid.h"
#include "sprites/dialogs/DialogSprite.h"
#include "windowing/window/Event.h"

#include <algorithm>
#include <cstdlib>

bool BlockDrag::isPull(int pressX, int pressY, int x, int y)
{
    return std::abs(x - pressX) >= PULL_DISTANCE || std::abs(y - pressY) >= PULL_DISTANCE;
}

void BlockDrag::pick(sprite::SpriteBase* block, int x, int y)
{
    m_nPressX = x;
    m_nPressY = y;
    m_nGrabX = x - block->left();
    m_nGrabY = y - block->top();
    m_nStartX = block->left();
    m_nStartY = block->top();
}

void BlockDrag::clearPress()
{
    m_nPressX = -1;
    m_nPressY = -1;
}

bool BlockDrag::follow(const BlockGrid& grid, sprite::SpriteBase* block, bool horizontal, int overhang, int px,
                       int py, int lowest, int highest, int& x, int& y)
{
    x = horizontal ? px - m_nGrabX : block->left();
    y = horizontal ? block->top() : py - m_nGrabY;
    if (!grid.takes(x, y, overhang))
        return false;
    if (horizontal)
        x = std::min(std::max(x, lowest), highest);
    else
        y = std::min(std::max(y, lowest), highest);
    m_nLastX = x;
    m_nLastY = y;
    return true;
}

bool BlockDrag::letGo(sprite::DialogSprite* room, const window::Event* e, sprite::SpriteBase* block, bool horizontal,
                      int& x, int& y) const
{
    if (horizontal ? block->left() == m_nStartX : block->top() == m_nStartY)
        return false;
    int px = e->x;
    int py = e->y;
    room->toLocal(px, py);
    x = m_nLastX == -1 ? px : m_nLastX;
    y = m_nLastY == -1 ? py : m_nLastY;
    return true;
}
