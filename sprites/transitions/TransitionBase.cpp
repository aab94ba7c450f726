// TransitionBase.cpp: layers, stepping with delay and ping-pong, the capture
// protocol and the layered paint shared by every transition.
#include "sprites/transitions/TransitionBase.h"

#include "windowing/graphics/Graphics.h"
#include "windowing/d3d/ImageWinDX.h"

namespace sprite {

HV_DEFINE_METACLASS(TransitionBase);

TransitionBase::TransitionBase() : TransitionBase(DEFAULT_FRAMES, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, false) {}

TransitionBase::TransitionBase(int frames, int x, int y, int width, int height, bool overlay)
    : m_nState(-1),
      m_bFinished(false),
      m_nFrame(0),
      m_nFrames(frames),
      m_bLayerDone(false),
      m_nDirection(DIR_LEFT),
      m_nCurrentLayer(0),
      m_fillColour(0),
      m_bFillSecondLayer(false),
      m_bSrcMoves(true),
      m_bFade(false),
      m_nDelayCounter(0),
      m_nDelay(0),
      m_bReverse(false),
      m_bPingPong(false),
      m_nPingPongCount(0),
      m_bOverlay(overlay)
{
    initLayers(x, y, width, height);
}

TransitionBase::~TransitionBase() = default;

void TransitionBase::initLayers(int x, int y, int width, int height)
{
    for (int i = 0; i < 3; ++i) {
        TransitionImage& layer = m_layers[i];
        layer.setImage(nullptr);
        layer.rect = util::RectangleNM(0, 0, width, height);
        layer.baseRect = util::RectangleNM(0, 0, width, height);
        layer.position = util::Point(x, y);
        layer.basePosition = util::Point(x, y);
        m_drawOrder[i] = -1;
    }
    m_fillColour = 0;
    m_bFillSecondLayer = false;
}

void TransitionBase::copyStateTo(TransitionBase* other)
{
    for (int i = 0; i < 3; ++i) {
        TransitionImage& from = m_layers[i];
        TransitionImage& to = other->m_layers[i];
        to.setImage(from.image);
        to.rect = from.rect;
        to.baseRect = from.baseRect;
        to.position = from.position;
        to.basePosition = from.basePosition;
    }
    other->m_nState = m_nState;
    other->m_bFinished = m_bFinished;
    other->m_nFrame = m_nFrame;
    other->m_nFrames = m_nFrames;
    other->m_fillColour = m_fillColour;
    other->m_bFillSecondLayer = true;
}

TransitionBase* TransitionBase::clone()
{
    TransitionBase* copy = new TransitionBase();
    copyStateTo(copy);
    return copy;
}

void TransitionBase::paint(window::Graphics* g)
{
    bool fading = isFading();
    double a = 1.0;
    if (fading && m_nFrame > m_nFrames * 0.5) {
        double half = m_nFrames / 2.0;
        a = 1.0 - (m_nFrame - half) / half;
    }
    // Opaque layers need no blending: they cover what lies below them.
    bool opaque = a == 1.0 && drawsOpaque();
    if (opaque)
        g->setBlendMode(false);
    computeDrawOrder();
    for (int i = 0; i < 3; ++i) {
        int layer = m_drawOrder[i];
        if (!isLayerActive(layer))
            continue;
        int alpha = 128;
        if (layer == 0 && fading) {
            double scaled = a * 128.0;
            alpha = scaled <= 0.0 ? 0 : scaled >= 255.0 ? 255 : int(scaled);
        }
        g->setAlpha(alpha);
        drawLayer(layer, g);
    }
    if (opaque)
        g->setBlendMode(true);
}

bool TransitionBase::isFading()
{
    return m_bFade;
}

bool TransitionBase::hasLayerContent(int layer)
{
    if (layer == 1 && m_bFillSecondLayer)
        return true;
    return m_layers[layer].image != nullptr;
}

int TransitionBase::step()
{
    if (m_bFinished || m_nState != -1 || !isReady())
        return STEP_NOT_RUNNING;
    if (m_nDelay >= 1 && m_nDelayCounter < m_nDelay) {
        if (++m_nDelayCounter >= m_nDelay) {
            m_nDelayCounter = 0;
            m_nDelay = 0;
        }
        return STEP_DELAYING;
    }
    ++m_nFrame;
    if ((m_nFrames > 0 && m_nFrame > m_nFrames) || m_bLayerDone) {
        int next = m_nCurrentLayer + 1;
        while (next >= 1 && next <= 2 && !hasLayerContent(next))
            ++next;
        m_nCurrentLayer = next > 2 ? -1 : next;
        if (m_nCurrentLayer == -1) {
            if (m_bPingPong && --m_nPingPongCount != 0) {
                m_bReverse = !m_bReverse;
                flipDirection();
                reset();
                return STEP_PING_PONG;
            }
            m_bFinished = true;
            return STEP_FINISHED;
        }
        m_nFrame = 0;
        onLayerChanged();
    }
    return stepFrame();
}

int TransitionBase::stepFrame()
{
    return 0;
}

void TransitionBase::begin()
{
    m_nState = 0;
}

int TransitionBase::advanceCapture()
{
    m_nState = (m_nState == 0 && m_bFillSecondLayer) ? 1 : -1;
    return m_nState;
}

void TransitionBase::finish() {}

void TransitionBase::computeDrawOrder()
{
    m_drawOrder[0] = 2;
    m_drawOrder[1] = 1;
    m_drawOrder[2] = 0;
}

bool TransitionBase::isRunning()
{
    return !m_bFinished && m_nState != 0;
}

bool TransitionBase::isScreenTransition()
{
    return true;
}

bool TransitionBase::isReady()
{
    return true;
}

void TransitionBase::setReady(bool) {}

void TransitionBase::getCurrent(int&, int&, float&, float&, int&) {}

bool TransitionBase::hasStartValues()
{
    return false;
}

void TransitionBase::getStart(int&, int&, float&, float&, int&) {}

bool TransitionBase::hasEndValues()
{
    return false;
}

void TransitionBase::getEnd(int&, int&, float&, float&, int&) {}

void TransitionBase::setPingPong(bool on)
{
    m_bPingPong = on;
    m_nPingPongCount = 2;
}

void TransitionBase::reset()
{
    m_nFrame = 0;
    m_nDelayCounter = 0;
    m_nDelay = 0;
    m_nCurrentLayer = 0;
}

void TransitionBase::onLayerChanged() {}

bool TransitionBase::drawLayer(int layer, window::Graphics* g)
{
    TransitionImage* record = layerAt(layer);
    if (!record)
        return false;
    if (layer == 1 && m_bFillSecondLayer) {
        g->fillRectAlpha(record->position.x, record->position.y, record->rect.width, record->rect.height, m_fillColour);
        return true;
    }
    if (!record->image)
        return false;
    return drawLayerImage(g, layer, record->rect, record->position, 1.0f, 1.0f);
}

bool TransitionBase::drawLayerImage(window::Graphics* g, int layer, util::RectangleNM& rect, util::Point& position,
                                    float scaleX, float scaleY)
{
    TransitionImage* record = layerAt(layer);
    if (!record || !record->image)
        return false;
    g->drawImageCentered(record->image, position.x + rect.width / 2, position.y + rect.height / 2, &rect, scaleX,
                         scaleY, 0.0, 0);
    return true;
}

bool TransitionBase::isLayerActive(int layer)
{
    TransitionImage* record = layerAt(layer);
    if (!record || m_nCurrentLayer > layer)
        return false;
    return record->rect.width >= 1 && record->rect.height >= 1;
}

bool TransitionBase::drawsOpaque()
{
    return !m_bOverlay;
}

bool TransitionBase::isCapturing()
{
    return m_nState != -1;
}

void TransitionBase::setDelay(int frames)
{
    m_nDelayCounter = 0;
    m_nDelay = frames;
}

TransitionImage* TransitionBase::layerAt(int layer)
{
    return layer >= 0 && layer < 3 ? &m_layers[layer] : nullptr;
}

void TransitionBase::setLayerImage(int layer, window::ImageBase* image)
{
    if (TransitionImage* record = layerAt(layer))
        record->setImage(image);
}

window::ImageBase* TransitionBase::getLayerImage(int layer)
{
    TransitionImage* record = layerAt(layer);
    return record ? record->image : nullptr;
}

void TransitionBase::createLayerImage(int layer, int width, int height)
{
    if (!layerAt(layer))
        return;
    window::ImageWinDX* image = new window::ImageWinDX(width, height, 1, false);
    setLayerImage(layer, image);
    image->release();
}

void TransitionBase::setLayerRect(int layer, int x, int y, int width, int height)
{
    if (TransitionImage* record = layerAt(layer))
        record->rect = util::RectangleNM(x, y, width, height);
}

void TransitionBase::setLayerRect(int layer, const util::RectangleNM& r)
{
    if (TransitionImage* record = layerAt(layer))
        record->rect = r;
}

void TransitionBase::setLayerBaseRect(int layer, int x, int y, int width, int height)
{
    if (TransitionImage* record = layerAt(layer))
        record->baseRect = util::RectangleNM(x, y, width, height);
}

void TransitionBase::setLayerBaseRect(int layer, const util::RectangleNM& r)
{
    if (TransitionImage* record = layerAt(layer))
        record->baseRect = r;
}

void TransitionBase::setLayerPosition(int layer, int x, int y)
{
    if (TransitionImage* record = layerAt(layer))
        record->position = util::Point(x, y);
}

void TransitionBase::setLayerPosition(int layer, const util::Point& p)
{
    if (TransitionImage* record = layerAt(layer))
        record->position = p;
}

util::RectangleNM* TransitionBase::getLayerRect(int layer)
{
    TransitionImage* record = layerAt(layer);
    return record ? &record->rect : nullptr;
}

util::RectangleNM* TransitionBase::getLayerBaseRect(int layer)
{
    TransitionImage* record = layerAt(layer);
    return record ? &record->baseRect : nullptr;
}

util::Point* TransitionBase::getLayerPosition(int layer)
{
    TransitionImage* record = layerAt(layer);
    return record ? &record->position : nullptr;
}

int TransitionBase::flippedDirection(int direction)
{
    int flipped = direction & ~(DIR_LEFT | DIR_UP | DIR_RIGHT | DIR_DOWN);
    if (direction & DIR_LEFT)
        flipped |= DIR_RIGHT;
    if (direction & DIR_RIGHT)
        flipped |= DIR_LEFT;
    if (direction & DIR_UP)
        flipped |= DIR_DOWN;
    if (direction & DIR_DOWN)
        flipped |= DIR_UP;
    return flipped;
}

void TransitionBase::flipDirection()
{
    m_nDirection = flippedDirection(m_nDirection);
}

void TransitionBase::capture(window::Graphics* source, int x, int y, int width, int height)
{
    if (!isCapturing() || !source)
        return;
    int layer = m_nState;
    window::ImageWinDX* image = new window::ImageWinDX(width, height, 1, false);
    if (uint32_t* pixels = image->getPixels()) {
        source->getBackBuffer(x, y, width, height, pixels);
        image->setModified(true);
    }
    setLayerImage(layer, image);
    image->release();
    setLayerRect(layer, x, y, width, height);
    setLayerBaseRect(layer, x, y, width, height);
    if (advanceCapture() == 1 && m_bFillSecondLayer) {
        // The second layer is the fill colour, not a picture.
        setLayerImage(1, nullptr);
        setLayerRect(1, 0, 0, width, height);
        setLayerBaseRect(1, 0, 0, width, height);
        advanceCapture();
    }
}

void TransitionBase::edgeStep(util::RectangleNM& rect, util::Point& position, int direction, int dx, int dy,
                              bool srcMoves)
{
    if (srcMoves) {
        if (direction & DIR_LEFT) {
            if (dx < 0)
                position.x += dx;
            rect.width -= dx;
            if (dx >= 0)
                rect.x += dx;
        }
        if (direction & DIR_RIGHT) {
            if (dx >= 0)
                position.x += dx;
            rect.width -= dx;
            if (dx < 0)
                rect.x += dx;
        }
        if (direction & DIR_UP) {
            if (dy < 0)
                position.y += dy;
            rect.height -= dy;
            if (dy >= 0)
                rect.y += dy;
        }
        if (direction & DIR_DOWN) {
            if (dy >= 0)
                position.y += dy;
            rect.height -= dy;
            if (dy < 0)
                rect.y += dy;
        }
        return;
    }
    if (direction & DIR_LEFT)
        rect.width -= dx;
    if (direction & DIR_RIGHT) {
        rect.x += dx;
        rect.width -= dx;
        position.x += dx;
    }
    if (direction & DIR_UP)
        rect.height -= dy;
    if (direction & DIR_DOWN) {
        rect.y += dy;
        rect.height -= dy;
        position.y += dy;
    }
}

} // namespace sprite
