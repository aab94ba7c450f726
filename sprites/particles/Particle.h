// Particle.h: one particle of a particle sprite: where it is, how it moves,
// how long it lives, its colour over its life and the picture it is drawn with.
#pragma once

#include "core/util/Vector3D.h"
#include "windowing/graphics/ColorBase.h"

#include <cstdint>

namespace window {
class ImageBase;
}

namespace sprite {

struct Particle {
    // Motion flags.
    static constexpr uint8_t SETTLE = 1;     // slow down by 0.95 a frame when the damping is (0, 0)
    static constexpr uint8_t TURN_LEFT = 2;  // turn one way a little every frame
    static constexpr uint8_t ACCELERATE = 4; // add the acceleration to the velocity every frame
    static constexpr uint8_t TURN_RIGHT = 8; // turn the other way

    // A dead particle at (0, 0), standing still, damped by 0.95 a frame once
    // it moves, opaque black.
    Particle();

    util::Vector3D position;     // screen position (x and y are used)
    util::Vector3D velocity;     // pixels per frame
    util::Vector3D damping;      // velocity multiplier per frame (x, y)
    util::Vector3D acceleration; // added to the velocity per frame with ACCELERATE
    window::ImageBase* image;    // drawn with this picture; borrowed from the sprite's list
    int lifetime;                // frames
    int age;                     // frames lived
    int step;                    // added to the age each frame; also scales the turning
    int fadeFrames;              // length of the fade-out at the end of life; 0 = none
    ColorBase colour;            // current colour (0xAARRGGBB)
    ColorBase startColour;       // colour at age 0 (colour mode 4)
    ColorBase endColour;         // colour at the end of life (colour mode 4)
    uint8_t motionFlags;
    bool alive;
};

} // namespace sprite
