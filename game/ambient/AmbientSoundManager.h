// AmbientSoundManager.h: the background sounds of the current room (for now
// the switches the rooms and the canvas use; the recurring sounds and the
// loops are not written yet).
#pragma once

class AmbientSoundManager {
public:
    AmbientSoundManager() = default;
    virtual ~AmbientSoundManager() = default;
    AmbientSoundManager(const AmbientSoundManager&) = delete;
    AmbientSoundManager& operator=(const AmbientSoundManager&) = delete;

    // Nothing plays or counts while disabled.
    void setEnabled(bool enabled) { m_bEnabled = enabled; }
    bool isEnabled() const { return m_bEnabled; }
    // The room's sounds fade to silence over that many frames.
    void fadeOutSounds(int) {}
    // The volume of the sounds and loops; -1 the effects volume.
    void setVolume(int volume) { m_nVolume = volume; }
    int getVolume() const { return m_nVolume; }
    // The loop of that sound-table index leaves the list of loops.
    void removeLoop(int) {}
    void tick() {}

private:
    bool m_bEnabled = false;
    int m_nVolume = -1;
};
