// AmbientAnimManager.cpp: making, recycling and letting go of the current
// room's ambient animals and bubbles.
#include "game/ambient/AmbientAnimManager.h"

#include "core/util/Vector.h"
#include "game/ambient/AmbientButterfly.h"
#include "game/ambient/AmbientFirefly.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "windowing/window/DebugLine.h"

#include <string>

namespace {

// Bubble groups: 3 to 6 bubbles from x 0..780, y 200..570, each next one
// 7 to 19 pixels higher and up to 7 pixels further to either side.
constexpr int kGroupBase = 3;
constexpr int kGroupSpread = 3;
constexpr int kGroupXSpread = 780;
constexpr int kGroupY = 200;
constexpr int kGroupYSpread = 370;
constexpr int kStepUp = 7;
constexpr int kStepUpSpread = 12;
constexpr int kSpreadStep = 7;
// A bubble starts at 5 to 15 hundredths of its size and grows by 0.37.
constexpr int kBubbleSizeBase = 5;
constexpr int kBubbleSizeSpread = 10;
constexpr double kBubbleGrowth = 0.37;

// The canvas's sprite of that name, or null.
sprite::SpriteBase* canvasSprite(const std::string& name)
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    return canvas ? canvas->getSprite(name.c_str()) : nullptr;
}

// Adds the canvas's sprite of that name to the templates unless absent or
// already there.
void takeTemplate(util::Vector& templates, const std::string& name)
{
    sprite::SpriteBase* look = canvasSprite(name);
    if (look && templates.indexOf(look) < 0)
        templates.addElement(look);
}

// Releases the first reference of every element and deletes the list.
template <class T>
void releaseAll(util::TVector<T*>*& list)
{
    if (!list)
        return;
    for (int i = 0; i < list->size(); ++i)
        list->elementAt(i)->release();
    delete list;
    list = nullptr;
}

// A new animal on the list (made on first use), or null without templates.
template <class Animal>
Animal* addAnimal(util::TVector<Animal*>*& list, int a, int b, const char* kind)
{
    if (Animal::templates().size() == 0) {
        window::debugLine("AmbientAnimManager: no ", kind, " templates; none added\n");
        return nullptr;
    }
    if (!list)
        list = new util::TVector<Animal*>(10);
    auto* animal = new Animal(a, b);
    list->addElement(animal);
    return animal;
}

} // namespace

AmbientAnimManager::AmbientAnimManager()
    : m_butterflies(nullptr), m_bubbles(nullptr), m_fireflies(nullptr), m_nBubbleCountdown(-1),
      m_pBubbleTemplate(nullptr)
{
    AmbientButterfly::templates().removeAllElements();
    AmbientFirefly::templates().removeAllElements();
    for (int i = 1; i <= BUTTERFLY_LOOKS; ++i)
        takeTemplate(AmbientButterfly::templates(), "Butterfly_" + std::to_string(i));
    takeTemplate(AmbientFirefly::templates(), "Firefly_1");
    sprite::SpriteBase* bubble = canvasSprite("AmbientBubble");
    if (bubble && bubble->isInstanceOf("AnimateSprite")) {
        m_pBubbleTemplate = static_cast<sprite::AnimateSprite*>(bubble);
        m_pBubbleTemplate->addRef();
    }
}

AmbientAnimManager::~AmbientAnimManager()
{
    roomLeft();
    if (m_pBubbleTemplate)
        m_pBubbleTemplate->release();
    AmbientButterfly::templates().removeAllElements();
    AmbientFirefly::templates().removeAllElements();
}

AmbientButterfly* AmbientAnimManager::addButterfly(int a, int b)
{
    return addAnimal(m_butterflies, a, b, "butterfly");
}

AmbientFirefly* AmbientAnimManager::addFirefly(int a, int b)
{
    return addAnimal(m_fireflies, a, b, "firefly");
}

util::TVector<sprite::AnimateSprite*>* AmbientAnimManager::addBubbles()
{
    if (!m_pBubbleTemplate) {
        window::debugLine("AmbientAnimManager: no \"AmbientBubble\" template; no bubbles\n");
        return nullptr;
    }
    if (!m_bubbles)
        m_bubbles = new util::TVector<sprite::AnimateSprite*>(10);
    // A second call in the same room keeps the bubbles it already has.
    if (m_bubbles->size() == 0) {
        for (int i = 0; i < BUBBLE_COUNT; ++i) {
            auto* bubble = static_cast<sprite::AnimateSprite*>(m_pBubbleTemplate->clone());
            bubble->setFrame(0);
            bubble->setVisible(false);
            m_bubbles->addElement(bubble);
        }
    }
    m_nBubbleCountdown = 1;
    return m_bubbles;
}

void AmbientAnimManager::roomLeft()
{
    releaseAll(m_butterflies);
    releaseAll(m_fireflies);
    releaseAll(m_bubbles);
}

template <class Animal>
void AmbientAnimManager::waitOffScreen(util::TVector<Animal*>* animals)
{
    if (!animals)
        return;
    for (int i = 0; i < animals->size(); ++i) {
        Animal* animal = animals->elementAt(i);
        if (!animal->isVisible())
            animal->waitOffScreen(m_random);
    }
}

void AmbientAnimManager::tick()
{
    waitOffScreen(m_butterflies);
    waitOffScreen(m_fireflies);
    if (m_bubbles && --m_nBubbleCountdown == 0)
        spawnBubbleGroup();
}

void AmbientAnimManager::spawnBubbleGroup()
{
    int wanted = kGroupBase + m_random.nextInt(kGroupSpread);
    const int x0 = m_random.nextInt(kGroupXSpread);
    int y = kGroupY + m_random.nextInt(kGroupYSpread);
    int free = 0;
    for (int i = 0; i < m_bubbles->size(); ++i)
        free += m_bubbles->elementAt(i)->isVisible() ? 0 : 1;
    if (free < wanted) {
        m_nBubbleCountdown = BUBBLE_RETRY;
        return;
    }
    const int divisor = 2 + m_random.nextInt(1);
    const int frames = BUBBLE_RISE / divisor;
    // The canvas hides each bubble when its rise ends.
    auto* showFalse = new lang::String("showfalse");
    int spread = 0;
    for (int i = 0; i < m_bubbles->size() && wanted > 0; ++i) {
        sprite::AnimateSprite* bubble = m_bubbles->elementAt(i);
        if (bubble->isVisible())
            continue;
        const int x = x0 - m_random.nextInt(spread) + m_random.nextInt(spread);
        bubble->setPosition(x, y);
        const int start = y;
        y = y - kStepUp - m_random.nextInt(kStepUpSpread);
        bubble->setDestination(x, start - BUBBLE_RISE, frames);
        const double size = (kBubbleSizeBase + m_random.nextInt(kBubbleSizeSpread)) / 100.0;
        bubble->setScale(size);
        bubble->setScaleDestination(size + kBubbleGrowth, size + kBubbleGrowth, frames);
        bubble->setVisible(true);
        bubble->setAction(LanternfieldCanvas::instance, showFalse);
        spread += kSpreadStep;
        --wanted;
    }
    showFalse->release();
    m_nBubbleCountdown = BUBBLE_PAUSE + m_random.nextInt(BUBBLE_PAUSE_SPREAD);
}
