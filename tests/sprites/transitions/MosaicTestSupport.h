// MosaicTestSupport.h: a mosaic over a small area with a picture of its own,
// started on a fixed tick count, and the tile drawings a paint records.
#pragma once

#include "tests/sprites/support/RecordingGraphics.h"

#include "core/lang/Math.h"
#include "platform/kernel/Clock.h"
#include "sprites/transitions/TransitionMosaic.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

#include <vector>

namespace mosaictest {

using sprite::TransitionBase;
using sprite::TransitionMosaic;
using spritetest::RecordingGraphics;

// The area every test mosaic covers: 10 by 6 tiles of 40 by 20.
constexpr int kX = 10;
constexpr int kY = 20;
constexpr int kW = 400;
constexpr int kH = 120;
constexpr int kTileW = 40;
constexpr int kTileH = 20;

class MosaicTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The C runtime generator behind the explode velocities is seeded on
        // its thread's first draw; draw once so that every run after this
        // follows from the tick count alone.
        lang::Math::random();
        picture = new window::ImageWinDX(kW, kH, 1, false);
        g = new RecordingGraphics();
    }
    void TearDown() override
    {
        for (TransitionMosaic* m : made)
            m->release();
        picture->release();
        g->release();
    }

    // A running mosaic whose first layer is the picture, laid out (reset) as
    // the canvas and sprites do once the picture is in.
    TransitionMosaic* make(int style, int removal, int direction, int frames = 24, int tilesPerRender = 2)
    {
        TransitionMosaic* m = new TransitionMosaic(frames, kX, kY, kW, kH, false);
        made.push_back(m);
        m->setStyle(style);
        m->setRemoveMode(removal);
        m->setDirection(direction);
        m->setGridSize(10, 6);
        m->setTilesPerRender(tilesPerRender);
        m->setLayerImage(0, picture);
        m->reset();
        return m;
    }

    // Paints and gives the tile drawings (centred picture draws).
    std::vector<RecordingGraphics::Call> paintTiles(TransitionBase* t)
    {
        g->calls.clear();
        t->paint(g);
        return g->ofOp("drawImageCentered");
    }

    platform::FakeClock clock{5000};
    platform::ScopedClock useClock{clock};
    window::ImageWinDX* picture = nullptr;
    RecordingGraphics* g = nullptr;
    std::vector<TransitionMosaic*> made;
};

// Home of tile k of the 10 by 6 test grid: column and row.
inline int column(int k) { return k % 10; }
inline int row(int k) { return k / 10; }

} // namespace mosaictest
