// AmbientAnimManager.h: the butterflies, fireflies and rising bubbles of the
// current room: it makes them from the canvas's templates when the room's
// script asks, brings the animals back after they left the screen, sends up
// groups of bubbles, and lets them all go when the room is left.
#pragma once

#include "core/util/Random.h"
#include "core/util/TVector.h"

namespace sprite {
class AnimateSprite;
}

class AmbientAnimal;
class AmbientButterfly;
class AmbientFirefly;

class AmbientAnimManager {
public:
    // The bubbles a room gets, and the frames before its first group.
    static constexpr int BUBBLE_COUNT = 50;
    // Frames before a group is tried again when too few bubbles are free.
    static constexpr int BUBBLE_RETRY = 20;
    // How far a bubble rises, and the pause between groups (40 + 0..50).
    static constexpr int BUBBLE_RISE = 650;
    static constexpr int BUBBLE_PAUSE = 40;
    static constexpr int BUBBLE_PAUSE_SPREAD = 50;
    // The number of butterfly templates looked for ("Butterfly_1" ..).
    static constexpr int BUTTERFLY_LOOKS = 5;

    // Takes the templates from the canvas's sprites: "Butterfly_1" ..
    // "Butterfly_5", "Firefly_1" and "AmbientBubble".
    AmbientAnimManager();
    // Lets go of the animals and the templates.
    virtual ~AmbientAnimManager();
    AmbientAnimManager(const AmbientAnimManager&) = delete;
    AmbientAnimManager& operator=(const AmbientAnimManager&) = delete;

    // A new animal waiting a..b frames off screen between its visits; null
    // (and nothing made) when the data has no template for it. The manager
    // keeps the animal's first reference until the room is left.
    AmbientButterfly* addButterfly(int a, int b);
    AmbientFirefly* addFirefly(int a, int b);
    // The room's bubbles: 50 hidden clones of the bubble template made on
    // the first call, the same ones on later calls; the first group rises
    // on the next frame. Null without a bubble template.
    util::TVector<sprite::AnimateSprite*>* addBubbles();
    // The room was left: its animals and bubbles are let go of.
    void roomLeft();
    // One logic frame: animals off screen wait and come back; bubbles rise.
    void tick();

    util::Random& getRandom() { return m_random; }
    int getBubbleCountdown() const { return m_nBubbleCountdown; }
    util::TVector<AmbientButterfly*>* getButterflies() const { return m_butterflies; }
    util::TVector<AmbientFirefly*>* getFireflies() const { return m_fireflies; }
    util::TVector<sprite::AnimateSprite*>* getBubbles() const { return m_bubbles; }

private:
    // Brings back the animals of the list that are off screen.
    template <class Animal>
    void waitOffScreen(util::TVector<Animal*>* animals);
    // A group of 3 to 6 bubbles rises from a random point.
    void spawnBubbleGroup();

    util::TVector<AmbientButterfly*>* m_butterflies;
    util::TVector<sprite::AnimateSprite*>* m_bubbles;
    util::TVector<AmbientFirefly*>* m_fireflies;
    util::Random m_random;
    int m_nBubbleCountdown;
    // The sprite every bubble is a clone of (a reference is held), or null.
    sprite::AnimateSprite* m_pBubbleTemplate;
};
