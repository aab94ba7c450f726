// AmbientAnimManager.h: the butterflies, fireflies and bubbles of the current
// room (for now the calls the rooms and the canvas make; the animals are not
// written yet).
#pragma once

class AmbientAnimManager {
public:
    AmbientAnimManager() = default;
    virtual ~AmbientAnimManager() = default;
    AmbientAnimManager(const AmbientAnimManager&) = delete;
    AmbientAnimManager& operator=(const AmbientAnimManager&) = delete;

    // The room was left: its animals are let go of.
    void roomLeft() {}
    void tick() {}
};
