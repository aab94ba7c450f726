// AmbientSoundManager.h: the background sounds of the current room: clips of
// the canvas's sound table that recur at random intervals (birds, water,
// wind), faded out when the room is left, and the room's looping clips,
// whose volume follows the effects volume.
#pragma once

#include "core/util/Random.h"
#include "core/util/TVector.h"

class AmbientSoundManager {
public:
    // One recurring sound; frames are logic frames.
    struct AmbientSound {
        int id;       // the sound-table index
        int startMin; // the wait before the first play
        int startMax;
        int min; // the wait between two plays
        int max;
        int countdown; // frames to the next play; it plays below 0
    };

    // A played sound rises from silence to the effects volume in 4 frames.
    static constexpr int FADE_IN_FRAMES = 4;

    // Disabled, with no sounds or loops.
    AmbientSoundManager();
    virtual ~AmbientSoundManager();
    AmbientSoundManager(const AmbientSoundManager&) = delete;
    AmbientSoundManager& operator=(const AmbientSoundManager&) = delete;

    // A sound first played after startMin to startMax frames (either order),
    // then every min to max frames.
    void addSound(int id, int startMin, int startMax, int min, int max);
    // One logic frame while enabled: the fade-out of the last room's sounds
    // counts down, and the room's sounds play when their time comes.
    void tick();
    // The room's sounds are dropped at once (frames < 1, the clips left as
    // they are) or faded out over that many frames.
    void stopSounds(int frames);
    // The room's sounds fade to silence over that many frames, then stop;
    // a fade-out still running ends at once, its clips stopped and their
    // volume given back.
    void fadeOutSounds(int frames);
    // Every sound and loop to the volume (0-255; -1 the effects volume).
    void setVolume(int volume);
    // The sound-table index of a looping clip of the room, once.
    void addLoop(int id);
    void removeLoop(int id);

    // Nothing plays or counts while disabled.
    void setEnabled(bool enabled) { m_bEnabled = enabled; }
    bool isEnabled() const { return m_bEnabled; }
    bool isFading() const { return m_bFading; }
    int getFadeFrames() const { return m_nFadeFrames; }
    util::Random& getRandom() { return m_random; }
    int getSoundCount() { return m_sounds ? m_sounds->size() : 0; }
    const AmbientSound* soundAt(int i) { return m_sounds->elementAt(i); }
    int getFadingCount() { return m_fading ? m_fading->size() : 0; }
    int getLoopCount() { return m_loops.size(); }
    int loopAt(int i) { return m_loops.elementAt(i); }

private:
    using SoundList = util::TVector<AmbientSound*>;

    // Stops the clips of the fading sounds and gives them the effects
    // volume back; the records go.
    void endFade();
    static void freeList(SoundList*& list);

    SoundList* m_sounds;
    SoundList* m_fading;
    util::TVector<int> m_loops;
    util::Random m_random;
    int m_nFadeFrames;
    bool m_bFading;
    bool m_bEnabled;
};
