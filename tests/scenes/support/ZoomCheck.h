// ZoomCheck.h: the check of a room's zoom to another room, read from the
// transition the canvas runs: its mask picture, the mask's place and the
// scales it shrinks or grows between.
#pragma once

#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/transitions/TransitionImage.h"
#include "sprites/transitions/TransitionMask.h"

#include <gtest/gtest.h>

namespace scenetest {

inline void expectZoom(LanternfieldCanvas* canvas, const char* mask, int x, int y, float from, float to)
{
    auto* zoom = dynamic_cast<sprite::TransitionMask*>(canvas->getTransition());
    ASSERT_NE(nullptr, zoom) << mask;
    sprite::TransitionImage* image = nullptr;
    ASSERT_TRUE(zoom->getMask(0, image)) << mask;
    EXPECT_STREQ(mask, image->name.c_str());
    EXPECT_EQ(x, image->position.x) << mask;
    EXPECT_EQ(y, image->position.y) << mask;
    EXPECT_FLOAT_EQ(from, zoom->getScaleInit()) << mask;
    EXPECT_FLOAT_EQ(to, zoom->getScaleEnd()) << mask;
}

} // namespace scenetest
