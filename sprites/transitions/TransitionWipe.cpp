// TransitionWipe.cpp: the wipe's per-frame edge and its starting layout.
#include "sprites/transitions/TransitionWipe.h"

namespace sprite {

HV_DEFINE_METACLASS(TransitionWipe);

TransitionWipe::TransitionWipe() = default;

TransitionWipe::TransitionWipe(int direction, int frames, int x, int y, int width, int height, bool overlay)
    : TransitionBase(frames, x, y, width, height, overlay)
{
    m_nDirection = direction;
}

int TransitionWipe::stepFrame()
{
    TransitionImage* layer = layerAt(m_nCurrentLayer);
    if (!layer)
        return 0;
    // A frame count below 1 would divide by zero; such a wipe moves its
    // whole size in one frame.
    int frames = m_nFrames < 1 ? 1 : m_nFrames;
    int dx = layer->baseRect.width / frames;
    int dy = layer->baseRect.height / frames;
    if (m_bReverse) {
        dx = -dx;
        dy = -dy;
    }
    edgeStep(layer->rect, layer->position, m_nDirection, dx, dy, m_bSrcMoves);
    return 0;
}

void TransitionWipe::reset()
{
    TransitionBase::reset();
    TransitionImage& layer = m_layers[0];
    layer.rect = layer.baseRect;
    layer.position = layer.basePosition;
    if (!m_bReverse)
        return;
    bool left = (m_nDirection & DIR_LEFT) != 0;
    bool right = (m_nDirection & DIR_RIGHT) != 0;
    bool up = (m_nDirection & DIR_UP) != 0;
    bool down = (m_nDirection & DIR_DOWN) != 0;
    int width = layer.baseRect.width;
    int height = layer.baseRect.height;
    // The layer starts as one pixel row or column that the reversed edge
    // step grows back to the whole picture. A sliding picture enters from
    // the far side: its first column sits at the far edge (left, up) or its
    // last column at the near edge (right, down). A picture cut in place
    // grows from the edge where the forward wipe ends.
    if (left || right)
        layer.rect.width = 1;
    if (m_bSrcMoves) {
        if (right)
            layer.rect.x += width - 1;
        if (left)
            layer.position.x += width - 1;
    } else if (right) {
        layer.rect.x += width - 1;
        layer.position.x += width - 1;
    }
    if (up || down)
        layer.rect.height = 1;
    if (m_bSrcMoves) {
        if (down)
            layer.rect.y += height - 1;
        if (up)
            layer.position.y += height - 1;
    } else if (down) {
        layer.rect.y += height - 1;
        layer.position.y += height - 1;
    }
}

void TransitionWipe::setPingPong(bool on)
{
    TransitionBase::setPingPong(on);
    if (on)
        m_bReverse = true;
}

} // namespace sprite
