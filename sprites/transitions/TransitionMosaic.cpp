// TransitionMosaic.cpp: the tile layout of a layer, the six ways of taking
// tiles away (or bringing them in) and the drawing of the tiles.
#include "sprites/transitions/TransitionMosaic.h"

#include "core/util/Random.h"
#include "core/util/Vector3D.h"
#include "windowing/graphics/Graphics.h"

#include <algorithm>

namespace sprite {

HV_DEFINE_METACLASS(TransitionMosaic);

namespace {

// Explode velocities lie between these two corners.
const float kExplodeMinX = -10.0f;
const float kExplodeMinY = -8.0f;
const float kExplodeMaxX = 10.0f;
const float kExplodeMaxY = 8.0f;
// A flying tile travels 7 to 12 of its own lengths.
const int kFlyBaseSteps = 7;
const int kFlyExtraSteps = 5;
// Shuffling the order: this many passes of one swap per tile.
const int kShufflePasses = 5;
// The smallest scale a shrinking tile keeps.
const float kSmallestScale = 0.01f;
const uint32_t kOutlineColour = 0xFF000000u;

} // namespace

TransitionMosaic::TransitionMosaic() : TransitionMosaic(DEFAULT_FRAMES, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, false) {}

TransitionMosaic::TransitionMosaic(int frames, int x, int y, int width, int height, bool overlay)
    : TransitionBase(frames, x, y, width, height, overlay),
      m_nStyle(DISAPPEAR),
      m_nRemoval(REMOVE_WIPE),
      m_nGridX(5),
      m_nGridY(5),
      m_nTilesPerRender(1),
      m_nNextInOrder(0),
      m_bRendered(false)
{
    m_nDirection = DIR_DOWN;
    std::fill(m_order, m_order + MAX_TILES, -1);
}

void TransitionMosaic::setStyle(int style)
{
    if (style >= DISAPPEAR && style <= LOUVER)
        m_nStyle = style;
}

void TransitionMosaic::setRemoveMode(int removal)
{
    if (removal == REMOVE_WIPE || removal == REMOVE_SHRINK)
        m_nRemoval = removal;
}

void TransitionMosaic::setTilesPerRender(int count)
{
    if (count >= 1 && count <= 8)
        m_nTilesPerRender = count;
}

void TransitionMosaic::setGridSize(int across, int down)
{
    // The tile table has room for MAX_TILES tiles; a grid needs one at least.
    across = std::clamp(across, 1, MAX_TILES);
    down = std::clamp(down, 1, MAX_TILES / across);
    m_nGridX = across;
    m_nGridY = down;
}

bool TransitionMosaic::isTwoLayerReverse() const
{
    if (!m_bReverse)
        return false;
    if (m_nStyle == FLYAWAY)
        return true;
    bool shrinking = m_nStyle == DISAPPEAR_EFFECT || m_nStyle == CHECKERBOARD || m_nStyle == LOUVER;
    return shrinking && m_nRemoval == REMOVE_SHRINK;
}

int TransitionMosaic::halfFrames() const
{
    int half = m_nFrames / 2;
    return half < 1 ? 1 : half;
}

bool TransitionMosaic::isFading()
{
    return false;
}

void TransitionMosaic::prepareLayer()
{
    TransitionImage* layer = layerAt(m_nCurrentLayer);
    if (!layer)
        return;
    if (m_nStyle == LOUVER) {
        // Strips across the direction of travel: vertical strips for a
        // sideways louver, horizontal ones for an up or down one.
        if ((m_nDirection & (DIR_UP | DIR_DOWN)) == 0) {
            m_nGridY = 1;
            m_nDirection &= DIR_LEFT | DIR_RIGHT;
        } else {
            m_nGridX = 1;
            m_nDirection &= DIR_UP | DIR_DOWN;
        }
    }
    const int n = getTileCount();
    const int tileWidth = layer->baseRect.width / m_nGridX;
    const int tileHeight = layer->baseRect.height / m_nGridY;
    const int x0 = layer->position.x;
    const int y0 = layer->position.y;
    const int half = m_nFrames / 2;
    // Only the styles that shrink their tiles grow them back from nearly
    // nothing on the arriving layer; the others show it at full size.
    const bool shrinks = m_nStyle == DISAPPEAR_EFFECT || m_nStyle == CHECKERBOARD || m_nStyle == LOUVER;
    const bool growing = m_nCurrentLayer == 2 && m_nRemoval == REMOVE_SHRINK && shrinks;

    util::Random* random = new util::Random();
    for (int k = 0; k < n; ++k) {
        const int i = k % m_nGridX;
        const int j = k / m_nGridX;
        Tile& tile = m_tiles[k];
        tile.rect = util::RectangleNM(i * tileWidth, j * tileHeight, tileWidth, tileHeight);
        tile.baseRect = tile.rect;
        tile.position = util::Point(x0 + i * tileWidth, y0 + j * tileHeight);
        tile.velocity = util::Point(0, 0);
        tile.visible = true;
        tile.active = true;
        tile.counter = 0;
        tile.scale = growing ? kSmallestScale : 1.0f;
        m_order[k] = k;
        switch (m_nStyle) {
        case EXPLODE: {
            util::Vector3D v;
            v.setRandomBetween(util::Vector3D(kExplodeMinX, kExplodeMinY, 0.0f),
                               util::Vector3D(kExplodeMaxX, kExplodeMaxY, 0.0f));
            tile.velocity = util::Point(int(v.x), int(v.y));
            tile.limit = half + random->nextInt(half);
            break;
        }
        case FLYAWAY: {
            int vx = (m_nDirection & DIR_LEFT) ? -tileWidth : (m_nDirection & DIR_RIGHT) ? tileWidth : 0;
            int vy = (m_nDirection & DIR_UP) ? -tileHeight : (m_nDirection & DIR_DOWN) ? tileHeight : 0;
            tile.velocity = util::Point(vx, vy);
            tile.active = false;
            tile.limit = kFlyBaseSteps + random->nextInt(kFlyExtraSteps);
            if (m_nCurrentLayer == 2) {
                // The arriving tile starts as far out as it flies, and lands
                // in place on its last step.
                tile.position.x -= vx * tile.limit;
                tile.position.y -= vy * tile.limit;
            }
            break;
        }
        case CHECKERBOARD:
            tile.limit = (i % 2 != j % 2) ? half - 1 : m_nFrames - 1;
            break;
        default:
            tile.limit = m_nFrames;
            break;
        }
    }
    std::fill(m_order + n, m_order + MAX_TILES, -1);
    m_nNextInOrder = 0;

    if (m_nCurrentLayer > 0)
        flipDirection();
    for (int pass = 0; pass < kShufflePasses; ++pass) {
        for (int swap = 0; swap < n; ++swap) {
            int a = random->nextInt(n - 1);
            int b = random->nextInt(n - 1);
            std::swap(m_order[a], m_order[b]);
        }
    }
    random->release();
    if (m_nStyle == DISAPPEAR || m_nStyle == FLYAWAY) {
        // These layers end when their last tile is gone, not by count.
        m_nFrames = -1;
    }
    // A layer that ended early must not end the next one at once.
    m_bLayerDone = false;
}

void TransitionMosaic::shrinkStep(Tile& tile, int frames)
{
    float d = 1.0f / float(frames < 1 ? 1 : frames);
    if (m_nCurrentLayer == 2 && m_bReverse) {
        tile.scale = std::min(tile.scale + d, 1.0f);
        return;
    }
    tile.scale -= d;
    if (tile.scale <= 0.0f)
        tile.scale = kSmallestScale;
}

bool TransitionMosaic::anyTileVisible() const
{
    const int n = getTileCount();
    for (int k = 0; k < n; ++k)
        if (m_tiles[k].visible)
            return true;
    return false;
}

int TransitionMosaic::stepFrame()
{
    TransitionImage* layer = layerAt(m_nCurrentLayer);
    if (!layer)
        return 0;
    const int n = getTileCount();
    switch (m_nStyle) {
    case DISAPPEAR:
        if (m_bRendered)
            break;
        for (int k = 0; k < m_nTilesPerRender && m_nNextInOrder < n; ++k) {
            int index = m_order[m_nNextInOrder++];
            if (index >= 0 && index < n)
                m_tiles[index].visible = false;
        }
        if (m_nNextInOrder >= n)
            m_bLayerDone = true;
        m_bRendered = true;
        break;

    case DISAPPEAR_EFFECT: {
        const int half = halfFrames();
        const int dx = (layer->baseRect.width / m_nGridX) / half;
        const int dy = (layer->baseRect.height / m_nGridY) / half;
        for (int k = 0; k < n; ++k) {
            Tile& tile = m_tiles[k];
            if (!tile.visible)
                continue;
            if (++tile.counter > tile.limit)
                tile.visible = false;
            else if (m_nRemoval == REMOVE_WIPE)
                edgeStep(tile.rect, tile.position, m_nDirection, dx, dy, false);
            else
                shrinkStep(tile, m_nFrames);
        }
        break;
    }

    case EXPLODE:
        if (!anyTileVisible()) {
            m_bLayerDone = true;
            break;
        }
        for (int k = 0; k < n; ++k) {
            Tile& tile = m_tiles[k];
            if (!tile.visible)
                continue;
            if (++tile.counter > tile.limit) {
                tile.visible = false;
            } else {
                tile.position.x += tile.velocity.x;
                tile.position.y += tile.velocity.y;
            }
        }
        break;

    case FLYAWAY:
        if (m_bRendered)
            break;
        if (!anyTileVisible()) {
            m_bLayerDone = true;
        } else {
            // Tiles take off in order; the last one stays the next to go.
            for (int k = 0; k < m_nTilesPerRender; ++k) {
                int index = m_order[m_nNextInOrder];
                if (index >= 0 && index < n)
                    m_tiles[index].active = true;
                if (m_nNextInOrder < n - 1)
                    ++m_nNextInOrder;
            }
            for (int k = 0; k < n; ++k) {
                Tile& tile = m_tiles[k];
                if (!tile.visible || !tile.active)
                    continue;
                if (++tile.counter > tile.limit) {
                    tile.visible = false;
                    tile.active = false;
                } else {
                    tile.position.x += tile.velocity.x;
                    tile.position.y += tile.velocity.y;
                }
            }
        }
        m_bRendered = true;
        break;

    case CHECKERBOARD:
    case LOUVER: {
        const int half = halfFrames();
        const int dx = (layer->baseRect.width / m_nGridX) / half;
        const int dy = (layer->baseRect.height / m_nGridY) / half;
        // In the first half only every other tile moves; then all of them.
        const bool firstHalf = m_nFrame <= m_nFrames / 2;
        for (int k = 0; k < n; ++k) {
            Tile& tile = m_tiles[k];
            if (!tile.visible)
                continue;
            if (++tile.counter > tile.limit) {
                tile.visible = false;
                continue;
            }
            const int i = k % m_nGridX;
            const int j = k / m_nGridX;
            if (firstHalf && i % 2 == j % 2)
                continue;
            if (m_nRemoval == REMOVE_WIPE)
                edgeStep(tile.rect, tile.position, m_nDirection, dx, dy, false);
            else
                shrinkStep(tile, half);
        }
        if (m_nFrame == m_nFrames / 2) {
            // The middle of the layer: rest, then go the other way.
            flipDirection();
            setDelay(MIDDLE_PAUSE);
        }
        break;
    }
    default:
        break;
    }
    return 0;
}

int TransitionMosaic::advanceCapture()
{
    if (m_nState == 0 && m_bFillSecondLayer)
        m_nState = 1;
    else if (m_nState == 1 && isTwoLayerReverse())
        m_nState = 2;
    else
        m_nState = -1;
    return m_nState;
}

void TransitionMosaic::computeDrawOrder()
{
    if (m_nCurrentLayer == 2 && isTwoLayerReverse()) {
        m_drawOrder[0] = 0;
        m_drawOrder[1] = 1;
        m_drawOrder[2] = 2;
        return;
    }
    TransitionBase::computeDrawOrder();
}

void TransitionMosaic::reset()
{
    TransitionBase::reset();
    prepareLayer();
}

void TransitionMosaic::onLayerChanged()
{
    if (m_nCurrentLayer == -1)
        return;
    if (m_nCurrentLayer == 1 && isTwoLayerReverse())
        m_nCurrentLayer = 2;
    prepareLayer();
}

bool TransitionMosaic::drawLayer(int layer, window::Graphics* g)
{
    if (layer != m_nCurrentLayer || !layerAt(layer))
        return TransitionBase::drawLayer(layer, g);
    const int n = getTileCount();
    // The arriving picture shows every tile while it is built.
    const bool everyTile = layer == 2 && isTwoLayerReverse();
    const bool filled = layer == 1 && m_bFillSecondLayer;
    for (int k = 0; k < n; ++k) {
        Tile& tile = m_tiles[k];
        if (!tile.visible && !everyTile)
            continue;
        if (tile.rect.width <= 0 || tile.rect.height <= 0)
            continue;
        if (filled)
            g->fillRectAlpha(tile.position.x, tile.position.y, tile.rect.width, tile.rect.height, m_fillColour);
        else
            drawLayerImage(g, layer, tile.rect, tile.position, tile.scale, tile.scale);
        if (m_nStyle == FLYAWAY && tile.active) {
            uint32_t colour = g->getColor().getValue();
            g->setColor(kOutlineColour);
            g->drawRect(tile.position.x, tile.position.y, tile.rect.width, tile.rect.height);
            g->setColor(colour);
        }
    }
    m_bRendered = false;
    return true;
}

bool TransitionMosaic::isLayerActive(int layer)
{
    if (m_nCurrentLayer == 2 && isTwoLayerReverse())
        return layer >= 1;
    return m_nCurrentLayer <= layer;
}

} // namespace sprite
