// The mosaic transition stepped frame by frame: the tile layout, each of the
// six styles with the tiles drawn after every step compared with a model of
// the tiles, the two-layer reverse case, and delay and ping-pong.
#include "tests/sprites/transitions/MosaicTestSupport.h"

#include <algorithm>
#include <set>

using namespace mosaictest;

namespace {

TEST_F(MosaicTest, SettersIgnoreValuesOutOfRangeAndTheGridFitsTheTileTable)
{
    TransitionMosaic* m = new TransitionMosaic();
    made.push_back(m);
    EXPECT_EQ(8, m->getDirection());
    EXPECT_EQ(5, m->getGridX());
    EXPECT_EQ(5, m->getGridY());
    EXPECT_EQ(1, m->getTilesPerRender());
    EXPECT_EQ(-1, m->getState());
    m->setStyle(3);
    m->setRemoveMode(1);
    m->setTilesPerRender(4);
    m->setStyle(6);
    m->setStyle(-1);
    m->setRemoveMode(2);
    m->setTilesPerRender(9);
    m->setTilesPerRender(0);
    EXPECT_EQ(3, m->getStyle());
    EXPECT_EQ(1, m->getRemoveMode());
    EXPECT_EQ(4, m->getTilesPerRender());

    struct {
        int x, y, gridX, gridY;
    } grids[] = {{30, 18, 30, 18}, {30, 30, 30, 18}, {0, -4, 1, 1}, {1000, 3, 540, 1}, {7, 100, 7, 77}};
    for (const auto& c : grids) {
        m->setGridSize(c.x, c.y);
        EXPECT_EQ(c.gridX, m->getGridX()) << c.x << "x" << c.y;
        EXPECT_EQ(c.gridY, m->getGridY()) << c.x << "x" << c.y;
    }
}

TEST_F(MosaicTest, TheLayerIsCutIntoTilesRowByRowInAShuffledOrder)
{
    TransitionMosaic* m = make(TransitionMosaic::DISAPPEAR_EFFECT, TransitionMosaic::REMOVE_WIPE, 1);
    ASSERT_EQ(60, m->getTileCount());
    std::set<int> order;
    bool shuffled = false;
    for (int k = 0; k < 60; ++k) {
        const TransitionMosaic::Tile& t = m->getTile(k);
        EXPECT_EQ(column(k) * kTileW, t.rect.x);
        EXPECT_EQ(row(k) * kTileH, t.rect.y);
        EXPECT_EQ(kTileW, t.rect.width);
        EXPECT_EQ(kTileH, t.rect.height);
        EXPECT_EQ(kX + column(k) * kTileW, t.position.x);
        EXPECT_EQ(kY + row(k) * kTileH, t.position.y);
        EXPECT_TRUE(t.visible);
        EXPECT_TRUE(t.active);
        EXPECT_EQ(0, t.counter);
        EXPECT_EQ(24, t.limit);
        EXPECT_EQ(1.0f, t.scale);
        order.insert(m->getOrder(k));
        shuffled = shuffled || m->getOrder(k) != k;
    }
    EXPECT_EQ(60u, order.size());
    EXPECT_EQ(0, *order.begin());
    EXPECT_EQ(59, *order.rbegin());
    EXPECT_TRUE(shuffled);
    for (int k = 60; k < TransitionMosaic::MAX_TILES; ++k)
        ASSERT_EQ(-1, m->getOrder(k)) << k;
    // The order comes from the tick count: the same tick shuffles the same.
    TransitionMosaic* again = make(TransitionMosaic::DISAPPEAR_EFFECT, TransitionMosaic::REMOVE_WIPE, 1);
    for (int k = 0; k < 60; ++k)
        ASSERT_EQ(m->getOrder(k), again->getOrder(k));
}

TEST_F(MosaicTest, LouversTurnTheGridIntoStripsAcrossTheirDirection)
{
    TransitionMosaic* sideways = make(TransitionMosaic::LOUVER, TransitionMosaic::REMOVE_WIPE, 1);
    EXPECT_EQ(10, sideways->getGridX());
    EXPECT_EQ(1, sideways->getGridY());
    EXPECT_EQ(1, sideways->getDirection());
    EXPECT_EQ(kH, sideways->getTile(3).rect.height);
    EXPECT_EQ(kTileW, sideways->getTile(3).rect.width);

    // Any vertical bit makes horizontal strips, and the sideways bit goes.
    TransitionMosaic* down = make(TransitionMosaic::LOUVER, TransitionMosaic::REMOVE_WIPE, 9);
    EXPECT_EQ(1, down->getGridX());
    EXPECT_EQ(6, down->getGridY());
    EXPECT_EQ(8, down->getDirection());
    EXPECT_EQ(kW, down->getTile(2).rect.width);
    EXPECT_EQ(2 * kTileH, down->getTile(2).rect.y);
    TransitionMosaic* up = make(TransitionMosaic::LOUVER, TransitionMosaic::REMOVE_WIPE, 6);
    EXPECT_EQ(1, up->getGridX());
    EXPECT_EQ(2, up->getDirection());
}

// Disappear: a render between steps lets the next tiles of the order go.
TEST_F(MosaicTest, DisappearTakesTilesPerRenderInOrderAndNeedsThirtyRenders)
{
    TransitionMosaic* m = make(TransitionMosaic::DISAPPEAR, TransitionMosaic::REMOVE_WIPE, 1);
    EXPECT_EQ(-1, m->getFrames());
    std::vector<int> order;
    for (int k = 0; k < 60; ++k)
        order.push_back(m->getOrder(k));

    for (int step = 1; step <= 30; ++step) {
        ASSERT_EQ(0, m->step());
        // Without a render in between, nothing more goes (once the last
        // tiles are gone the next step ends the layer).
        if (step < 30) {
            ASSERT_EQ(0, m->step());
        }
        EXPECT_EQ(2 * step, m->getNextInOrder());
        std::set<int> gone(order.begin(), order.begin() + 2 * step);
        std::vector<RecordingGraphics::Call> tiles = paintTiles(m);
        std::vector<RecordingGraphics::Call>::size_type next = 0;
        for (int k = 0; k < 60; ++k) {
            if (gone.count(k))
                continue;
            ASSERT_LT(next, tiles.size()) << "step " << step;
            const RecordingGraphics::Call& c = tiles[next++];
            EXPECT_EQ(picture, c.image);
            EXPECT_EQ(column(k) * kTileW, c.src.x);
            EXPECT_EQ(row(k) * kTileH, c.src.y);
            EXPECT_EQ(kX + column(k) * kTileW + kTileW / 2, c.x);
            EXPECT_EQ(kY + row(k) * kTileH + kTileH / 2, c.y);
            EXPECT_EQ(1.0, c.scaleX);
        }
        EXPECT_EQ(next, tiles.size()) << "step " << step;
        EXPECT_FALSE(m->isRendered());
    }
    EXPECT_TRUE(paintTiles(m).empty());
    // The last tiles gone, the next step ends the only layer.
    EXPECT_EQ(TransitionBase::STEP_FINISHED, m->step());
}

// The effect style with wiping: every tile loses (tile size / (frames/2))
// from the side the direction names, and goes once past its 24 steps.
TEST_F(MosaicTest, DisappearEffectWipesEveryTileTogether)
{
    struct {
        int direction;
        int dx, dy;
    } cases[] = {{1, 3, 0}, {2, 0, 1}, {4, 3, 0}, {8, 0, 1}};
    for (const auto& c : cases) {
        TransitionMosaic* m = make(TransitionMosaic::DISAPPEAR_EFFECT, TransitionMosaic::REMOVE_WIPE, c.direction);
        for (int step = 1; step <= 24; ++step) {
            ASSERT_EQ(0, m->step());
            int width = kTileW - step * c.dx;
            int height = kTileH - step * c.dy;
            std::vector<RecordingGraphics::Call> tiles = paintTiles(m);
            if (width <= 0 || height <= 0) {
                EXPECT_TRUE(tiles.empty()) << c.direction << " step " << step;
                continue;
            }
            ASSERT_EQ(60u, tiles.size()) << c.direction << " step " << step;
            for (int k = 0; k < 60; ++k) {
                // Left and up keep the tile's corner; right and down cut from
                // the start and move the tile along.
                int cutX = c.direction == 4 ? step * c.dx : 0;
                int cutY = c.direction == 8 ? step * c.dy : 0;
                const RecordingGraphics::Call& t = tiles[k];
                EXPECT_EQ(column(k) * kTileW + cutX, t.src.x);
                EXPECT_EQ(row(k) * kTileH + cutY, t.src.y);
                EXPECT_EQ(width, t.src.width);
                EXPECT_EQ(height, t.src.height);
                EXPECT_EQ(kX + column(k) * kTileW + cutX + width / 2, t.x);
                EXPECT_EQ(kY + row(k) * kTileH + cutY + height / 2, t.y);
            }
        }
        EXPECT_TRUE(m->getTile(0).visible);
        EXPECT_EQ(TransitionBase::STEP_FINISHED, m->step());
    }
}

TEST_F(MosaicTest, DisappearEffectShrinksTilesAboutTheirCentres)
{
    TransitionMosaic* m = make(TransitionMosaic::DISAPPEAR_EFFECT, TransitionMosaic::REMOVE_SHRINK, 1);
    for (int step = 1; step <= 24; ++step) {
        ASSERT_EQ(0, m->step());
        std::vector<RecordingGraphics::Call> tiles = paintTiles(m);
        ASSERT_EQ(60u, tiles.size());
        for (const RecordingGraphics::Call& t : tiles) {
            // At the end the scale is about 0, or 0.01 when it fell to 0.
            if (step < 24) {
                EXPECT_NEAR(1.0 - step / 24.0, t.scaleX, 1e-5) << "step " << step;
            } else {
                EXPECT_LE(t.scaleX, 0.01 + 1e-5);
            }
            EXPECT_GT(t.scaleX, 0.0);
            EXPECT_EQ(t.scaleX, t.scaleY);
            EXPECT_EQ(kTileW, t.src.width);
        }
        EXPECT_EQ(kX + kTileW / 2, tiles[0].x);
    }
}

TEST_F(MosaicTest, ExplodingTilesFlyApartUntilTheirLivesEnd)
{
    TransitionMosaic* m = make(TransitionMosaic::EXPLODE, TransitionMosaic::REMOVE_WIPE, 1);
    std::vector<TransitionMosaic::Tile> start;
    for (int k = 0; k < 60; ++k) {
        const TransitionMosaic::Tile& t = m->getTile(k);
        EXPECT_GE(t.velocity.x, -10);
        EXPECT_LE(t.velocity.x, 9);
        EXPECT_GE(t.velocity.y, -8);
        EXPECT_LE(t.velocity.y, 7);
        EXPECT_GE(t.limit, 12);
        EXPECT_LE(t.limit, 24);
        start.push_back(t);
    }
    int lastLimit = 0;
    for (const auto& t : start)
        lastLimit = std::max(lastLimit, t.limit);

    int step = 0;
    int result = 0;
    while ((result = m->step()) == 0) {
        ++step;
        ASSERT_LE(step, 25);
        std::vector<RecordingGraphics::Call> tiles = paintTiles(m);
        std::vector<RecordingGraphics::Call>::size_type next = 0;
        for (int k = 0; k < 60; ++k) {
            if (step > start[k].limit)
                continue;
            ASSERT_LT(next, tiles.size());
            const RecordingGraphics::Call& c = tiles[next++];
            EXPECT_EQ(start[k].position.x + step * start[k].velocity.x + kTileW / 2, c.x);
            EXPECT_EQ(start[k].position.y + step * start[k].velocity.y + kTileH / 2, c.y);
            EXPECT_EQ(start[k].rect.x, c.src.x);
        }
        EXPECT_EQ(next, tiles.size()) << "step " << step;
    }
    EXPECT_EQ(TransitionBase::STEP_FINISHED, result);
    // The layer ends by count, or earlier once every tile is gone.
    EXPECT_EQ(std::min(lastLimit + 2, 24), step);
}

TEST_F(MosaicTest, ExplodeRunsDifferFromTickToTick)
{
    TransitionMosaic* first = make(TransitionMosaic::EXPLODE, TransitionMosaic::REMOVE_WIPE, 1);
    TransitionMosaic* same = make(TransitionMosaic::EXPLODE, TransitionMosaic::REMOVE_WIPE, 1);
    clock.advance(16);
    TransitionMosaic* later = make(TransitionMosaic::EXPLODE, TransitionMosaic::REMOVE_WIPE, 1);
    bool sameAll = true;
    bool laterDiffers = false;
    for (int k = 0; k < 60; ++k) {
        const TransitionMosaic::Tile& a = first->getTile(k);
        const TransitionMosaic::Tile& b = same->getTile(k);
        const TransitionMosaic::Tile& c = later->getTile(k);
        sameAll = sameAll && a.limit == b.limit && a.velocity.x == b.velocity.x && a.velocity.y == b.velocity.y;
        laterDiffers = laterDiffers || a.limit != c.limit || a.velocity.x != c.velocity.x ||
                       a.velocity.y != c.velocity.y;
    }
    EXPECT_TRUE(sameAll);
    EXPECT_TRUE(laterDiffers);
}

// Flyaway: two tiles a render take off in order, each flying its own length
// a step for its 7 to 12 steps; the flying ones are outlined.
TEST_F(MosaicTest, FlyawayTilesTakeOffInOrderAndFlyTheirLengthEachStep)
{
    TransitionMosaic* m = make(TransitionMosaic::FLYAWAY, TransitionMosaic::REMOVE_WIPE, 1);
    EXPECT_EQ(-1, m->getFrames());
    std::vector<int> takeOff(60);
    std::vector<TransitionMosaic::Tile> start;
    for (int k = 0; k < 60; ++k) {
        takeOff[m->getOrder(k)] = k / 2 + 1;
        const TransitionMosaic::Tile& t = m->getTile(k);
        EXPECT_FALSE(t.active);
        EXPECT_EQ(-kTileW, t.velocity.x);
        EXPECT_EQ(0, t.velocity.y);
        EXPECT_GE(t.limit, 7);
        EXPECT_LE(t.limit, 12);
        start.push_back(t);
    }
    int lastLanding = 0;
    for (int k = 0; k < 60; ++k)
        lastLanding = std::max(lastLanding, takeOff[k] + start[k].limit);

    for (int step = 1; step <= lastLanding; ++step) {
        ASSERT_EQ(0, m->step()) << "step " << step;
        ASSERT_EQ(0, m->step()); // nothing moves without a render
        g->calls.clear();
        g->setColor(0xFF123456u);
        m->paint(g);
        std::vector<RecordingGraphics::Call> tiles = g->ofOp("drawImageCentered");
        std::vector<RecordingGraphics::Call> lines = g->ofOp("drawLine");
        std::vector<RecordingGraphics::Call>::size_type next = 0;
        int outlined = 0;
        for (int k = 0; k < 60; ++k) {
            int flown = step >= takeOff[k] ? step - takeOff[k] + 1 : 0;
            if (flown > start[k].limit)
                continue;
            ASSERT_LT(next, tiles.size());
            const RecordingGraphics::Call& c = tiles[next++];
            int x = start[k].position.x - kTileW * flown;
            EXPECT_EQ(x + kTileW / 2, c.x) << "tile " << k << " step " << step;
            if (flown > 0) {
                // The outline: four lines, the first along the top edge.
                ASSERT_LT(size_t(outlined * 4), lines.size());
                EXPECT_EQ(x, lines[outlined * 4].x);
                EXPECT_EQ(start[k].position.y, lines[outlined * 4].y);
                ++outlined;
            }
        }
        EXPECT_EQ(next, tiles.size()) << "step " << step;
        EXPECT_EQ(size_t(outlined * 4), lines.size()) << "step " << step;
        EXPECT_EQ(0xFF123456u, g->getColor().getValue());
    }
    // Every tile is gone: one step marks the layer done, the next ends it.
    EXPECT_EQ(0, m->step());
    paintTiles(m);
    EXPECT_EQ(TransitionBase::STEP_FINISHED, m->step());
}

// Checkerboard over 24 frames: tiles of mixed parity wipe in the first half
// and go at step 12; then a pause of 5 frames, and the rest wipe the other
// way until step 24.
TEST_F(MosaicTest, CheckerboardWipesHalfTheTilesPausesAndFlips)
{
    TransitionMosaic* m = make(TransitionMosaic::CHECKERBOARD, TransitionMosaic::REMOVE_WIPE, 1);
    for (int k = 0; k < 60; ++k) {
        bool mixed = column(k) % 2 != row(k) % 2;
        EXPECT_EQ(mixed ? 11 : 23, m->getTile(k).limit);
    }
    auto check = [&](int frame) {
        std::vector<RecordingGraphics::Call> tiles = paintTiles(m);
        std::vector<RecordingGraphics::Call>::size_type next = 0;
        for (int k = 0; k < 60; ++k) {
            bool mixed = column(k) % 2 != row(k) % 2;
            int width = kTileW, cut = 0;
            if (mixed) {
                if (frame >= 12)
                    continue;
                width -= 3 * frame;
            } else {
                if (frame >= 24)
                    continue;
                if (frame > 12) {
                    // Cut from the left as the direction is now right.
                    cut = 3 * (frame - 12);
                    width -= cut;
                }
            }
            ASSERT_LT(next, tiles.size());
            const RecordingGraphics::Call& c = tiles[next++];
            EXPECT_EQ(column(k) * kTileW + cut, c.src.x) << "tile " << k << " frame " << frame;
            EXPECT_EQ(width, c.src.width) << "tile " << k << " frame " << frame;
            EXPECT_EQ(kX + column(k) * kTileW + cut + width / 2, c.x);
        }
        EXPECT_EQ(next, tiles.size()) << "frame " << frame;
    };
    for (int frame = 1; frame <= 12; ++frame) {
        ASSERT_EQ(0, m->step());
        check(frame);
    }
    EXPECT_EQ(4, m->getDirection());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(TransitionBase::STEP_DELAYING, m->step());
    EXPECT_EQ(12, m->getFrame());
    for (int frame = 13; frame <= 24; ++frame) {
        ASSERT_EQ(0, m->step());
        EXPECT_EQ(frame, m->getFrame());
        check(frame);
    }
    EXPECT_EQ(TransitionBase::STEP_FINISHED, m->step());
}

TEST_F(MosaicTest, LouverStripsShrinkInTwoHalves)
{
    TransitionMosaic* m = make(TransitionMosaic::LOUVER, TransitionMosaic::REMOVE_SHRINK, 1);
    for (int frame = 1; frame <= 12; ++frame)
        ASSERT_EQ(0, m->step());
    // Odd strips shrank by 1/12 a step; even ones waited.
    EXPECT_LE(m->getTile(1).scale, 0.01f + 1e-5f);
    EXPECT_EQ(1.0f, m->getTile(0).scale);
    EXPECT_EQ(4, m->getDirection());
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(TransitionBase::STEP_DELAYING, m->step());
    for (int frame = 13; frame <= 18; ++frame)
        ASSERT_EQ(0, m->step());
    EXPECT_NEAR(0.5, m->getTile(0).scale, 1e-5);
    EXPECT_NEAR(0.5, m->getTile(2).scale, 1e-5);
    std::vector<RecordingGraphics::Call> tiles = paintTiles(m);
    ASSERT_EQ(10u, tiles.size());
    EXPECT_NEAR(0.5, tiles[0].scaleX, 1e-5);
    EXPECT_EQ(kH, tiles[0].src.height);
}

// A reversed shrinking effect captures the old picture, fills the second
// layer and captures the new picture, then grows the new one tile by tile
// over the fill.
TEST_F(MosaicTest, TwoLayerReverseBuildsTheArrivingPictureOnTop)
{
    TransitionMosaic* m = new TransitionMosaic(24, kX, kY, kW, kH, false);
    made.push_back(m);
    m->setStyle(TransitionMosaic::DISAPPEAR_EFFECT);
    m->setRemoveMode(TransitionMosaic::REMOVE_SHRINK);
    m->setGridSize(10, 6);
    m->setDirection(1);
    m->setReverse(true);
    m->setFillSecondLayer(true);
    m->setFillColour(0xFF102030u);
    EXPECT_TRUE(m->isTwoLayerReverse());
    m->begin();
    m->capture(g, 0, 0, kW, kH);
    EXPECT_EQ(2, m->getState());
    m->capture(g, 0, 0, kW, kH);
    EXPECT_EQ(-1, m->getState());
    ASSERT_NE(nullptr, m->getLayerImage(2));
    m->reset();

    for (int frame = 1; frame <= 24; ++frame)
        ASSERT_EQ(0, m->step());
    EXPECT_LE(m->getTile(0).scale, 0.01f + 1e-5f);
    // The fill layer is passed over: the new picture grows from 0.01.
    ASSERT_EQ(0, m->step());
    EXPECT_EQ(2, m->getCurrentLayer());
    EXPECT_EQ(4, m->getDirection());
    EXPECT_NEAR(0.01 + 1 / 24.0, m->getTile(0).scale, 1e-5);
    EXPECT_FALSE(m->isLayerActive(0));
    EXPECT_TRUE(m->isLayerActive(1));

    // The new layer's first step ran at frame 0; 24 more follow.
    EXPECT_EQ(0, m->getFrame());
    for (int frame = 1; frame <= 24; ++frame)
        ASSERT_EQ(0, m->step());
    g->calls.clear();
    m->paint(g);
    const int* order = m->getDrawOrder();
    EXPECT_EQ(0, order[0]);
    EXPECT_EQ(2, order[2]);
    ASSERT_GE(g->calls.size(), 3u);
    std::vector<RecordingGraphics::Call> fills = g->ofOp("fillRectAlpha");
    ASSERT_EQ(1u, fills.size());
    EXPECT_EQ(0xFF102030u, fills[0].argb);
    EXPECT_EQ(kW, fills[0].w);
    std::vector<RecordingGraphics::Call> tiles = g->ofOp("drawImageCentered");
    ASSERT_EQ(60u, tiles.size());
    for (const RecordingGraphics::Call& t : tiles) {
        EXPECT_EQ(m->getLayerImage(2), t.image);
        EXPECT_NEAR(1.0, t.scaleX, 1e-5);
    }
    EXPECT_EQ(TransitionBase::STEP_FINISHED, m->step());
}

TEST_F(MosaicTest, ReversedFlyawayLandsEveryArrivingTileInPlace)
{
    TransitionMosaic* m = new TransitionMosaic(24, kX, kY, kW, kH, false);
    made.push_back(m);
    m->setStyle(TransitionMosaic::FLYAWAY);
    m->setGridSize(10, 6);
    m->setTilesPerRender(8);
    m->setDirection(1);
    m->setReverse(true);
    m->setFillSecondLayer(true);
    m->begin();
    m->capture(g, 0, 0, kW, kH);
    m->capture(g, 0, 0, kW, kH);
    m->reset();
    int steps = 0;
    while (m->getCurrentLayer() == 0) {
        ASSERT_EQ(0, m->step());
        paintTiles(m);
        ASSERT_LT(++steps, 100);
    }
    EXPECT_EQ(2, m->getCurrentLayer());
    // Each arriving tile starts its whole flight away (the flight was laid
    // out before the direction turned for the layer) and already took its
    // first step.
    int flying = 0;
    for (int k = 0; k < 60; ++k) {
        const TransitionMosaic::Tile& t = m->getTile(k);
        int home = kX + column(k) * kTileW;
        int flown = t.active ? 1 : 0;
        flying += flown;
        EXPECT_EQ(home + kTileW * (t.limit - flown), t.position.x) << k;
    }
    EXPECT_EQ(8, flying);
    int result = 0;
    while ((result = m->step()) == 0) {
        std::vector<RecordingGraphics::Call> tiles = paintTiles(m);
        // Every arriving tile is drawn, landed or not.
        ASSERT_EQ(60u, tiles.size());
        ASSERT_LT(++steps, 200);
    }
    EXPECT_EQ(TransitionBase::STEP_FINISHED, result);
    for (int k = 0; k < 60; ++k)
        EXPECT_EQ(kX + column(k) * kTileW, m->getTile(k).position.x) << k;
}

TEST_F(MosaicTest, DelayAndPingPongComeFromTheBase)
{
    TransitionMosaic* m = make(TransitionMosaic::DISAPPEAR, TransitionMosaic::REMOVE_WIPE, 1, 24, 8);
    m->setDelay(2);
    m->setPingPong(true);
    m->setFade(true);
    EXPECT_FALSE(m->isFading());
    EXPECT_EQ(TransitionBase::STEP_DELAYING, m->step());
    EXPECT_EQ(TransitionBase::STEP_DELAYING, m->step());
    int result = 0, steps = 0;
    while ((result = m->step()) == 0) {
        paintTiles(m);
        ++steps;
    }
    // 60 tiles at 8 a render.
    EXPECT_EQ(8, steps);
    EXPECT_EQ(TransitionBase::STEP_PING_PONG, result);
    EXPECT_TRUE(m->isReverse());
    EXPECT_EQ(4, m->getDirection());
    EXPECT_TRUE(m->getTile(0).visible);
    EXPECT_EQ(0, m->getNextInOrder());
    steps = 0;
    while ((result = m->step()) == 0) {
        paintTiles(m);
        ++steps;
    }
    EXPECT_EQ(8, steps);
    EXPECT_EQ(TransitionBase::STEP_FINISHED, result);
    EXPECT_EQ(TransitionBase::STEP_NOT_RUNNING, m->step());
}

// An explode layer whose tiles are all gone early must not cut the replay
// short: the layout starts every layer afresh.
TEST_F(MosaicTest, AnEarlyEndDoesNotEndTheReplay)
{
    TransitionMosaic* m = make(TransitionMosaic::EXPLODE, TransitionMosaic::REMOVE_WIPE, 1, 40);
    m->setPingPong(true);
    m->setLayerDone(true);
    ASSERT_EQ(TransitionBase::STEP_PING_PONG, m->step());
    EXPECT_EQ(0, m->step());
    EXPECT_EQ(1, m->getTile(0).counter);
}

TEST_F(MosaicTest, TilesDrawIntoAPictureWithTheRemovedOnesLeftOut)
{
    const uint32_t red = 0xFFFF0000u, blue = 0xFF0000FFu;
    window::ImageWinDX* target = new window::ImageWinDX(40, 30, 1, false);
    window::ImageWinDX* old = new window::ImageWinDX(40, 30, 1, false);
    std::fill(target->getPixels(), target->getPixels() + 40 * 30, blue);
    std::fill(old->getPixels(), old->getPixels() + 40 * 30, red);
    // Each tile carries its number in the green byte.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            old->getPixels()[y * 40 + x] |= uint32_t((y / 10) * 4 + x / 10) << 8;
    target->setModified(true);
    old->setModified(true);

    TransitionMosaic* m = new TransitionMosaic(24, 0, 0, 40, 30, false);
    made.push_back(m);
    m->setGridSize(4, 3);
    m->setLayerImage(0, old);
    m->reset();
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(0, m->step());
        if (i < 4)
            m->paint(g);
    }
    window::Graphics* pen = target->getGraphics();
    m->paint(pen);
    pen->release();
    std::set<int> gone;
    for (int i = 0; i < 5; ++i)
        gone.insert(m->getOrder(i));
    for (int tile = 0; tile < 12; ++tile) {
        for (int probe = 0; probe < 4; ++probe) {
            int x = (tile % 4) * 10 + (probe % 2) * 9;
            int y = (tile / 4) * 10 + (probe / 2) * 9;
            uint32_t expected = gone.count(tile) ? blue : (red | uint32_t(tile) << 8);
            EXPECT_EQ(expected, target->getPixels()[y * 40 + x]) << "tile " << tile << " at " << x << "," << y;
        }
    }
    target->release();
    old->release();
}

} // namespace
