// AmbientFirefly.h: a firefly blinking across a room (for now the class and the startle a click
// gives it; its flight is not written yet).
#pragma once

#include "sprites/images/AnimateSprite.h"

class AmbientFirefly : public sprite::AnimateSprite {
public:
    AmbientFirefly() : sprite::AnimateSprite(nullptr, 1, 1) {}

    HV_CLASS_NAME("AmbientFirefly", sprite::AnimateSprite)
    HV_DECLARE_METACLASS(AmbientFirefly);

    // A click on the animal: it flies off.
    void startle() { ++m_nStartles; }
    int getStartleCount() const { return m_nStartles; }

private:
    int m_nStartles = 0;
};
