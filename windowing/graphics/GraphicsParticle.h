// GraphicsParticle.h: a batch of particle points a particle sprite draws
// through the window graphics each frame: begin, points, end.
#pragma once

#include "core/lang/Object.h"

class ColorBase;

namespace util {
class Vector3D;
}

namespace window {

class ImageWinDX;

class GraphicsParticle : public lang::Object {
public:
    GraphicsParticle() : maxCount(200), active(false), pointSize(0.0f), image(nullptr) {}

    // Opens a batch for up to count points of pointSize pixels, textured with
    // the image's first tile (null: plain coloured squares). Returns the
    // number of points one pass through the batch's buffer holds.
    virtual int begin(int count, float pointSize, ImageWinDX* texture) = 0;
    // One point at the position's x and y in the colour.
    virtual void addParticle(util::Vector3D* position, ColorBase* colour) = 0;
    // Draws what is left and puts the render states back.
    virtual void end() = 0;
    virtual void releaseBuffers() = 0;

    HV_CLASS_NAME("GraphicsParticle", lang::Object)

    // The sprite's own records: its particle count, whether a begin ... end
    // bracket is open, and the point size and image of that bracket (borrowed).
    int maxCount;
    bool active;
    float pointSize;
    ImageWinDX* image;
};

} // namespace window
