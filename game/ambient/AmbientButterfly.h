// AmbientButterfly.h: a butterfly fluttering across a room (for now the class and the startle a click
// gives it; its flight is not written yet).
#pragma once

#include "sprites/images/AnimateSprite.h"

class AmbientButterfly : public sprite::AnimateSprite {
public:
    AmbientButterfly() : sprite::AnimateSprite(nullptr, 1, 1) {}

    HV_CLASS_NAME("AmbientButterfly", sprite::AnimateSprite)
    HV_DECLARE_METACLASS(AmbientButterfly);

    // A click on the animal: it flies off.
    void startle() { ++m_nStartles; }
    int getStartleCount() const { return m_nStartles; }

private:
    int m_nStartles = 0;
};
