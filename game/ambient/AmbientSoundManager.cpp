// AmbientSoundManager.cpp: the recurring sounds of the room, their fade-out
// on leaving, and the volume of the room's sounds and loops.
#include "game/ambient/AmbientSoundManager.h"

#include "game/canvas/LanternfieldCanvas.h"

namespace {

LanternfieldCanvas* canvas()
{
    return LanternfieldCanvas::instance;
}

int effectsVolume()
{
    return canvas() ? canvas()->getFXVolume() : 0;
}

void fade(int id, int volume, int frames)
{
    if (canvas())
        canvas()->fadeSound(id, volume, frames, false);
}

} // namespace

AmbientSoundManager::AmbientSoundManager()
    : m_sounds(nullptr), m_fading(nullptr), m_loops(10), m_nFadeFrames(0), m_bFading(false), m_bEnabled(false)
{
}

AmbientSoundManager::~AmbientSoundManager()
{
    freeList(m_sounds);
    freeList(m_fading);
}

void AmbientSoundManager::freeList(SoundList*& list)
{
    if (!list)
        return;
    for (int i = 0; i < list->size(); ++i)
        delete list->elementAt(i);
    delete list;
    list = nullptr;
}

void AmbientSoundManager::addSound(int id, int startMin, int startMax, int min, int max)
{
    if (!m_sounds)
        m_sounds = new SoundList(10);
    m_sounds->addElement(new AmbientSound{id, startMin, startMax, min, max, m_random.nextInt(startMin, startMax)});
}

void AmbientSoundManager::tick()
{
    if (!m_bEnabled)
        return;
    if (m_fading && m_bFading && --m_nFadeFrames < 0)
        endFade();
    if (!m_sounds)
        return;
    for (int i = 0; i < m_sounds->size(); ++i) {
        AmbientSound* sound = m_sounds->elementAt(i);
        if (--sound->countdown >= 0)
            continue;
        if (canvas())
            canvas()->playSound(sound->id);
        fade(sound->id, 0, 0);
        fade(sound->id, effectsVolume(), FADE_IN_FRAMES);
        sound->countdown = m_random.nextInt(sound->min, sound->max);
    }
}

void AmbientSoundManager::endFade()
{
    m_bFading = false;
    if (!m_fading)
        return;
    for (int i = 0; i < m_fading->size(); ++i) {
        const int id = m_fading->elementAt(i)->id;
        if (canvas())
            canvas()->stopSound(id);
        fade(id, effectsVolume(), 0);
    }
    freeList(m_fading);
}

void AmbientSoundManager::stopSounds(int frames)
{
    if (frames < 1)
        freeList(m_sounds);
    else
        fadeOutSounds(frames);
}

void AmbientSoundManager::fadeOutSounds(int frames)
{
    if (!m_sounds)
        return;
    // A clip left at the volume a dropped fade had reached would play
    // silently the next time.
    endFade();
    m_fading = new SoundList(10);
    for (int i = 0; i < m_sounds->size(); ++i) {
        AmbientSound* sound = m_sounds->elementAt(i);
        m_fading->addElement(sound);
        fade(sound->id, 0, frames);
    }
    delete m_sounds;
    m_sounds = nullptr;
    m_nFadeFrames = frames;
    m_bFading = true;
}

void AmbientSoundManager::setVolume(int volume)
{
    if (volume == -1)
        volume = effectsVolume();
    for (int i = 0; m_sounds && i < m_sounds->size(); ++i)
        fade(m_sounds->elementAt(i)->id, volume, 1);
    for (int i = 0; i < m_loops.size(); ++i)
        fade(m_loops.elementAt(i), volume, 1);
}

void AmbientSoundManager::addLoop(int id)
{
    if (m_loops.indexOf(id) < 0)
        m_loops.addElement(id);
}

void AmbientSoundManager::removeLoop(int id)
{
    m_loops.removeElement(id);
}
