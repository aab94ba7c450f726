// TransitionBarnDoor.cpp: splitting a layer into doors, moving and drawing them.
#include "sprites/transitions/TransitionBarnDoor.h"

#include "windowing/graphics/Graphics.h"

namespace sprite {

HV_DEFINE_METACLASS(TransitionBarnDoor);

TransitionBarnDoor::TransitionBarnDoor() : m_nOrientation(HORIZONTAL) {}

TransitionBarnDoor::TransitionBarnDoor(int orientation, int frames, int x, int y, int width, int height, bool overlay)
    : TransitionBase(frames, x, y, width, height, overlay), m_nOrientation(orientation)
{
}

void TransitionBarnDoor::split()
{
    TransitionImage* layer = layerAt(m_nCurrentLayer);
    if (!layer)
        return;
    const util::RectangleNM& base = layer->baseRect;
    const util::Point& origin = layer->position;
    if (m_bReverse) {
        m_doors[0].rect = base;
        m_doors[0].baseRect = base;
        m_doors[0].position = origin;
        return;
    }
    int halfWidth = m_nOrientation == HORIZONTAL ? base.width / 2 : 0;
    int halfHeight = m_nOrientation == VERTICAL ? base.height / 2 : 0;
    int doorWidth = m_nOrientation == HORIZONTAL ? halfWidth : base.width;
    int doorHeight = m_nOrientation == VERTICAL ? halfHeight : base.height;
    // The doors cut the layer's picture where it was captured and stand where
    // the layer is drawn (at the origin for a full-screen capture).
    m_doors[0].rect = util::RectangleNM(base.x, base.y, doorWidth, doorHeight);
    m_doors[0].position = origin;
    m_doors[1].rect = util::RectangleNM(base.x + halfWidth, base.y + halfHeight, doorWidth, doorHeight);
    m_doors[1].position = util::Point(origin.x + halfWidth, origin.y + halfHeight);
    for (Door& door : m_doors)
        door.baseRect = door.rect;
}

int TransitionBarnDoor::stepFrame()
{
    // The doors are fully open after frames - 1 steps; fewer than 2 frames
    // would divide by zero and open them in one step.
    int divisor = m_nFrames - 1 < 1 ? 1 : m_nFrames - 1;
    bool horizontal = m_nOrientation == HORIZONTAL;
    bool vertical = m_nOrientation == VERTICAL;
    if (m_bReverse) {
        Door& door = m_doors[0];
        int dx = (door.baseRect.width / divisor) / 2;
        int dy = (door.baseRect.height / divisor) / 2;
        if (horizontal) {
            door.rect.x += dx;
            door.rect.width -= 2 * dx;
            door.position.x += dx;
        }
        if (vertical) {
            door.rect.y += dy;
            door.rect.height -= 2 * dy;
            door.position.y += dy;
        }
        return 0;
    }
    for (int k = 0; k < 2; ++k) {
        Door& door = m_doors[k];
        int dx = door.baseRect.width / divisor;
        int dy = door.baseRect.height / divisor;
        if (!m_bSrcMoves) {
            // Cut at the middle: each door loses its inner edge.
            if (horizontal) {
                if (k == 1) {
                    door.rect.x += dx;
                    door.position.x += dx;
                }
                door.rect.width -= dx;
            }
            if (vertical) {
                if (k == 1) {
                    door.rect.y += dy;
                    door.position.y += dy;
                }
                door.rect.height -= dy;
            }
        } else {
            // The doors slide apart whole.
            if (horizontal)
                door.position.x += k == 0 ? -dx : dx;
            if (vertical)
                door.position.y += k == 0 ? -dy : dy;
        }
    }
    return 0;
}

void TransitionBarnDoor::reset()
{
    TransitionBase::reset();
    split();
}

void TransitionBarnDoor::onLayerChanged()
{
    TransitionBase::onLayerChanged();
    if (m_nCurrentLayer != -1)
        split();
}

bool TransitionBarnDoor::drawLayer(int layer, window::Graphics* g)
{
    if (layer != m_nCurrentLayer)
        return TransitionBase::drawLayer(layer, g);
    TransitionImage* record = layerAt(layer);
    if (!record)
        return false;
    int doors = m_bReverse ? 1 : 2;
    bool drawn = false;
    for (int k = 0; k < doors; ++k) {
        Door& door = m_doors[k];
        if (door.rect.width < 1 || door.rect.height < 1)
            continue;
        if (layer == 1 && m_bFillSecondLayer) {
            g->fillRectAlpha(door.position.x, door.position.y, door.rect.width, door.rect.height, m_fillColour);
            drawn = true;
        } else if (record->image) {
            drawn = drawLayerImage(g, layer, door.rect, door.position, 1.0f, 1.0f) || drawn;
        }
    }
    return drawn;
}

bool TransitionBarnDoor::isLayerActive(int layer)
{
    return layer >= 0 && layer < 3 && m_nCurrentLayer <= layer;
}

} // namespace sprite
