// GameCanvas3Sounds.cpp: the canvas's sound table: playing, looping,
// stopping, fading and bending its clips, and stepping the running fades
// once a frame.
#include "sprites/canvas/GameCanvas3.h"

#include "core/lang/Hold.h"
#include "core/lang/Synchronized.h"
#include "sound/clip/AudioClip.h"

namespace sprite {

window::AudioClip* GameCanvas3::getSound(int index)
{
    if (index < 0 || index >= m_sounds.length())
        return nullptr;
    return static_cast<window::AudioClip*>(*m_sounds.at(index));
}

void GameCanvas3::setSoundsEnabled(bool on)
{
    m_bSoundsEnabled = on;
    if (on)
        return;
    for (int i = 0; i < m_sounds.length(); ++i)
        stopSound(i);
}

void GameCanvas3::playSound(window::AudioClip* clip)
{
    if (clip && m_bSoundsEnabled)
        clip->play();
}

void GameCanvas3::loopSound(window::AudioClip* clip)
{
    if (clip && m_bSoundsEnabled)
        clip->loop();
}

void GameCanvas3::stopSound(window::AudioClip* clip)
{
    if (clip)
        clip->stop();
}

void GameCanvas3::bendSound(window::AudioClip* clip, float factor, int steps)
{
    if (!clip)
        return;
    clip->fadePitch(factor, steps);
    addFrameListener(clip);
}

void GameCanvas3::fadeSound(window::AudioClip* clip, int volume, int steps, bool pauseAtEnd)
{
    if (!clip)
        return;
    clip->fadeVolume(volume, steps, pauseAtEnd);
    addFrameListener(clip);
}

void GameCanvas3::addFrameListener(window::AudioClip* clip)
{
    lang::Synchronized guard(&m_frameListeners);
    if (m_frameListeners.indexOf(clip) < 0)
        m_frameListeners.addElement(clip);
}

int GameCanvas3::getFrameListenerCount()
{
    return m_frameListeners.size();
}

void GameCanvas3::playSound(int index)
{
    playSound(getSound(index));
}

void GameCanvas3::loopSound(int index)
{
    loopSound(getSound(index));
}

void GameCanvas3::stopSound(int index)
{
    stopSound(getSound(index));
}

void GameCanvas3::fadeSound(int index, int volume, int steps, bool pauseAtEnd)
{
    fadeSound(getSound(index), volume, steps, pauseAtEnd);
}

void GameCanvas3::bendSound(int index, float factor, int steps)
{
    bendSound(getSound(index), factor, steps);
}

void GameCanvas3::updateFrameListeners()
{
    if (m_frameListeners.size() == 0)
        return;
    lang::Synchronized guard(&m_frameListeners);
    for (int i = m_frameListeners.size() - 1; i >= 0; --i) {
        if (i >= m_frameListeners.size())
            continue;
        auto* clip = static_cast<window::AudioClip*>(m_frameListeners.elementAt(i));
        lang::Hold hold(clip);
        if (!clip->updateFades(m_nFrameCounter))
            m_frameListeners.removeElement(clip);
    }
}

} // namespace sprite
