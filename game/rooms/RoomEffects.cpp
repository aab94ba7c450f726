// RoomEffects.cpp: what room scripts place in their rooms beyond exits and
// characters: sparkles on things to find, particle bursts, ambient animals
// and bubbles, and the drawing order of the room's sprites.
#include "game/rooms/Room.h"

#include "core/util/Vector.h"
#include "game/ambient/AmbientAnimManager.h"
#include "game/ambient/AmbientButterfly.h"
#include "game/ambient/AmbientFirefly.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/effects/SparkleSprite.h"
#include "sprites/particles/ExplosionSpritePSX.h"
#include "windowing/d3d/ImageWinDX.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// One particle sprite of an effect: its offset from the sprite's position,
// its two colours (0xAARRGGBB) and its picture.
struct Emitter {
    int dx;
    uint32_t colour1;
    uint32_t colour2;
    const char* image;
};

// An effect: its emitters and what each is set up with.
struct ParticleRecipe {
    const char* name;
    int emitters;
    Emitter emitter[2];
    int particles;
    float dampingX;
    float dampingY;
    int option;
    // Lifetimes between a fifth of the effect's time and all of it, or
    // all of the effect's time.
    bool variedLifetime;
    float speed;
    // Whether the recipe sets the fade fraction and the sideways drift.
    bool setsDrift;
    float fadeFraction;
    float accelerationX;
    float accelerationY;
    float particleScale;
    // The sprite's end-of-effect message is cleared.
    bool clearsAction;
};

// The colours of particles: their pictures unchanged (128 is neutral),
// green, amber, and white, the particle sprite's own default.
constexpr uint32_t kNeutral = 0xFF808080u;
constexpr uint32_t kGreen = 0xFF008000u;
constexpr uint32_t kAmber = 0xFF807300u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

const ParticleRecipe kRecipes[] = {
    {"Flower", 2, {{-3, kNeutral, kGreen, "+iFlowerParticle2"}, {3, kNeutral, kAmber, "+iFlowerParticle"}}, 8, 0.8f,
     0.6f, 5, true, 1.5f, true, 0.0f, 0.4f, 0.8f, 16.0f, false},
    {"Lock", 2, {{0, kNeutral, kNeutral, "+iFountainWaterDrop"}, {0, kNeutral, kNeutral, "+iFountainWaterDrop"}}, 12,
     0.95f, 0.95f, 1, true, 1.8f, true, 0.0f, 0.0f, 0.7f, 8.0f, true},
    {"PipesFixed", 1, {{-3, kWhite, kWhite, "+iStarEffect"}, {}}, 100, 0.95f, 0.95f, 5, false, 2.0f, false, 0.0f,
     0.0f, 0.5f, 16.0f, true},
};

// Logic frames in a second: the effect's frames become seconds.
constexpr float kFramesPerSecond = 1000.0f / sprite::ParticleSpritePSX::FRAME_PERIOD_MS;
// Each burst of a recipe blends its colours from the first to the second.
constexpr int kColourGradient = sprite::ParticleSpritePSX::COLOURS_GRADIENT;

LanternfieldCanvas* effectsCanvas()
{
    return LanternfieldCanvas::instance;
}

// The tries of a sparkle call: its count, or one per SPARKLE_AREA pixels of
// the area when the count is 0 or less; at most MAX_SPARKLES.
int sparkleTries(int count, int width, int height)
{
    const long long tries =
        count > 0 ? count : std::max(0LL, (long long)width) * std::max(0, height) / Room::SPARKLE_AREA;
    return int(std::min<long long>(tries, Room::MAX_SPARKLES));
}

// start + a random 0..span, held within int: script positions may be
// anything.
int randomWithin(util::Random& random, int start, int span)
{
    const long long at = (long long)start + random.nextInt(span);
    return int(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, at)));
}

} // namespace

void Room::scheduleCleanup()
{
    if (!effectsCanvas())
        return;
    lang::String cleanup("cleanup");
    effectsCanvas()->scheduleAction(SPARKLE_CLEANUP_FRAMES, &cleanup, 0, nullptr, this);
}

void Room::placeSparkle(sprite::SpriteBase* model, int x, int y, int maxDelay, int life)
{
    auto* sparkle = static_cast<SparkleSprite*>(model->clone());
    sparkle->placeAt(x, y, m_random.nextInt(maxDelay), life);
    bringToFront(sparkle);
    m_effects.addElement(sparkle);
    sparkle->release();
}

void Room::addSparkleInSprite(const lang::String& spriteName, const lang::String& templateName, int maxDelay,
                              int life, int count)
{
    sprite::SpriteBase* target = getSprite(spriteName.c_str());
    if (!target)
        return;
    sprite::SpriteBase* model = getSprite(templateName.c_str());
    if (model && model->isInstanceOf("SparkleSprite")) {
        const int w = target->width();
        const int h = target->height();
        const int tries = sparkleTries(count, w, h);
        for (int i = 0; i < tries; ++i) {
            const int x = randomWithin(m_random, target->left(), w);
            const int y = randomWithin(m_random, target->top(), h);
            if (target->hittestOpaque(x, y))
                placeSparkle(model, x, y, maxDelay, life);
        }
    }
    scheduleCleanup();
}

void Room::addSparkleInRect(int x, int y, int width, int height, const lang::String& templateName, int maxDelay,
                            int life, int count)
{
    sprite::SpriteBase* model = getSprite(templateName.c_str());
    if (model && model->isInstanceOf("SparkleSprite")) {
        const int tries = sparkleTries(count, width, height);
        for (int i = 0; i < tries; ++i) {
            const int px = randomWithin(m_random, x, width);
            const int py = randomWithin(m_random, y, height);
            placeSparkle(model, px, py, maxDelay, life);
        }
    }
    scheduleCleanup();
}

sprite::ExplosionSpritePSX* Room::freeParticleSprite()
{
    if (!m_particles)
        m_particles = new util::TVector<sprite::ExplosionSpritePSX*>(10);
    for (int i = 0; i < m_particles->size(); ++i) {
        if (!m_particles->elementAt(i)->isRunning())
            return m_particles->elementAt(i);
    }
    // The list keeps the first reference until the room goes.
    auto* burst = new sprite::ExplosionSpritePSX(PARTICLE_CAPACITY);
    m_particles->addElement(burst);
    return burst;
}

void Room::createParticleEffect(const lang::String& spriteName, const lang::String& effect, int frames)
{
    sprite::SpriteBase* source = getSprite(spriteName.c_str());
    if (!source)
        return;
    const ParticleRecipe* recipe = nullptr;
    for (const ParticleRecipe& r : kRecipes) {
        if (effect.equals(r.name))
            recipe = &r;
    }
    if (!recipe)
        return;
    const float seconds = frames / kFramesPerSecond;
    for (int i = 0; i < recipe->emitters; ++i) {
        const Emitter& emitter = recipe->emitter[i];
        sprite::ExplosionSpritePSX* burst = freeParticleSprite();
        burst->setParticleCount(recipe->particles);
        burst->setPosition(source->left() + emitter.dx, source->top());
        burst->setParameters(kColourGradient, ColorBase(emitter.colour1), ColorBase(emitter.colour2));
        window::ImageBase* image = new window::ImageWinDX(lang::String(emitter.image));
        burst->setImages(1, &image);
        image->release();
        burst->setGravity(recipe->dampingX, recipe->dampingY);
        burst->setOption(recipe->option);
        burst->setLifetime(seconds, seconds / 5, recipe->variedLifetime ? seconds : 0.0f);
        burst->speed = recipe->speed;
        if (recipe->setsDrift) {
            burst->fadeFraction = recipe->fadeFraction;
            burst->accelerationX = recipe->accelerationX;
        }
        burst->accelerationY = recipe->accelerationY;
        burst->particleScale = recipe->particleScale;
        if (recipe->clearsAction)
            burst->setAction(nullptr, nullptr);
        burst->start();
        burst->setVisible(true);
        bringToFront(burst);
    }
}

void Room::placeAnimal(AmbientAnimal* animal, bool now)
{
    bringToFront(animal);
    m_ambientSprites.addElement(animal);
    if (now) {
        const int x = AMBIENT_PLACE_X + m_random.nextInt(AMBIENT_PLACE_SPREAD);
        animal->setPosition(x, animal->randomBandY(m_random));
        animal->setVisible(true);
    } else {
        animal->setRespawnCountdown(animal->getRespawnMin() +
                                    m_random.nextInt(animal->getRespawnMax() - animal->getRespawnMin()));
        animal->setVisible(false);
    }
}

template <class Make>
void Room::addAmbientAnimals(int count, Make make)
{
    AmbientAnimManager* manager = effectsCanvas() ? effectsCanvas()->getAmbientAnimManager() : nullptr;
    if (!manager)
        return;
    count = std::min(count, MAX_AMBIENT_ANIMALS);
    // About half may start on screen; of many, at least one does.
    const int half = count / 2;
    int now = m_random.nextInt(half);
    if (now == 0 && half > 2)
        now = 1;
    for (int i = 0; i < count; ++i) {
        AmbientAnimal* animal = make(manager);
        if (!animal)
            return;
        placeAnimal(animal, i < now);
    }
}

void Room::addAmbientButterflies(int count, int a, int b)
{
    addAmbientAnimals(count, [a, b](AmbientAnimManager* m) -> AmbientAnimal* { return m->addButterfly(a, b); });
}

void Room::addAmbientFireflies(int count, int a, int b)
{
    addAmbientAnimals(count, [a, b](AmbientAnimManager* m) -> AmbientAnimal* { return m->addFirefly(a, b); });
}

void Room::addAmbientBubbles()
{
    AmbientAnimManager* manager = effectsCanvas() ? effectsCanvas()->getAmbientAnimManager() : nullptr;
    util::TVector<sprite::AnimateSprite*>* bubbles = manager ? manager->addBubbles() : nullptr;
    for (int i = 0; bubbles && i < bubbles->size(); ++i) {
        sprite::AnimateSprite* bubble = bubbles->elementAt(i);
        bringToFront(bubble);
        if (m_ambientSprites.indexOf(bubble) < 0)
            m_ambientSprites.addElement(bubble);
    }
}

void Room::placeAbove(const lang::String& name, const lang::String& afterName)
{
    sprite::SpriteBase* sprite = getSprite(name.c_str());
    sprite::SpriteBase* after = getSprite(afterName.c_str());
    if (!sprite || !after)
        return;
    // Moved within the list: unlike a new child, it keeps its visibility.
    addNamedSprite(name.c_str(), sprite);
    insertAfter(sprite, after);
}

void Room::bringNamedToFront(const lang::String& name)
{
    if (sprite::SpriteBase* sprite = getSprite(name.c_str()))
        bringToFront(sprite);
}
