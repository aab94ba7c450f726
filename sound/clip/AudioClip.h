// AudioClip.h: the game's one way into the sound engine: a sound effect
// (sample), a stream or a piece of module music, loaded lazily from an archive
// item ("+name") or a file, played, looped, paused, stopped, and faded or bent
// one step per logic frame; plus the opening and closing of the engine. Every
// engine call runs under one process-wide sound monitor and does nothing
// while the engine is closed.
#pragma once

#include "core/lang/String.h"
#include "platform/Win32Types.h"

namespace window {

class AudioClip : public lang::Object {
public:
    // Kinds of clip.
    static constexpr int KIND_SAMPLE = 0;
    static constexpr int KIND_STREAM = 1;
    static constexpr int KIND_MUSIC = 2;

    // The engine's set-up: 22,050 Hz output with 32 channels.
    static constexpr int MIX_RATE = 22050;
    static constexpr int CHANNELS = 32;

    // An unloaded clip: no name, no handle, no channel, volume never set,
    // pitch 1.0, no fade.
    AudioClip();
    // Frees the sound data.
    ~AudioClip() override;

    HV_CLASS_NAME("AudioClip", lang::Object)

    virtual void pause();
    virtual void play();
    virtual void loop();
    virtual void stop();
    // Loops from where it is: a paused clip resumes, a playing one keeps on.
    virtual void doLoop();
    virtual void doPause();
    // Plays once from the start.
    virtual void doPlay();
    virtual void doStop();
    // 0..255; kept also while the engine is closed, for the next play.
    virtual void setVolume(int volume);
    // The playing frequency becomes the sound's own times the factor.
    virtual void setPitch(float factor);
    // Moves the volume to the target over `steps` frames (at once for
    // steps <= 0), pausing at the end when asked.
    virtual void fadeVolume(int target, int steps, bool pauseAtEnd);
    // Moves the pitch factor to the target over `steps` frames.
    virtual void fadePitch(float target, int steps);
    // One frame of each running fade; true while one goes on.
    virtual bool updateFades(int frame);

    // Opens the engine (at once true when it is open): the window, the mix
    // buffer length unless -1, the waveOut output when asked, then 22,050 Hz
    // and 32 channels. The result is the sound-open flag.
    static bool openSound(HWND window, int mixBufferMs, bool useWaveOut);
    static void closeSound();
    static bool isSoundOpen();
    // The master volume of the sound effects, 0..255.
    static void setMasterVolume(int volume);
    // The lock every engine call of a clip runs under.
    static lang::Object* soundMonitor();

    // Names the sound (an archive item when it begins with "+", else a file)
    // and its kind; loads nothing. Returns the clip.
    AudioClip* setSource(const lang::String& name, int kind);
    // Stops and frees what the clip holds and loads the sound now; false
    // when the engine is closed or nothing loaded.
    bool load(const lang::String& name, int kind);
    bool loadFromMemory(const unsigned char* bytes, int length, int kind);
    // Loads the named sound unless it is loaded, unnamed or failed before.
    bool ensureLoaded();
    // Frees the sound data the clip holds; the clip itself stays.
    void releaseData();
    bool isPlaying();

    const lang::String& getName() const { return m_name; }
    int getKind() const { return m_nKind; }
    // The kind of the sound the clip holds: the kind it was loaded as, which
    // a later setSource does not change; the named kind while none is held.
    int getHeldKind() const { return m_pHandle ? m_nHeldKind : m_nKind; }
    bool hasData() const { return m_pHandle != nullptr; }
    bool hasLoadFailed() const { return m_bLoadFailed; }
    int getChannel() const { return m_nChannel; }
    int getVolume() const { return m_nVolume; }
    float getPitch() const { return m_fPitch; }
    int getBaseFrequency() const { return m_nBaseFrequency; }
    int getFadeStepsLeft() const { return m_nFadeStepsLeft; }
    int getPitchStepsLeft() const { return m_nPitchStepsLeft; }

protected:
    // Applies the volume and pitch set on the clip to its channel.
    void applyChannelSettings();
    // Gives a stream's new channel the top priority and the stream's pan.
    void takeStreamChannel();
    // Applies the volume set on the clip to its song.
    void applySongVolume();

    void* m_pHandle;
    unsigned char* m_pMemoryCopy;
    int m_nChannel;
    int m_nVolume;
    int m_nFadeTarget;
    double m_dFadeAccumulator;
    double m_dFadeStep;
    int m_nFadeStepsLeft;
    bool m_bPauseAtEnd;
    int m_nKind;
    int m_nHeldKind; // the kind the handle was loaded as
    int m_nBaseFrequency;
    float m_fPitch;
    float m_fPitchTarget;
    float m_fPitchStep;
    int m_nPitchStepsLeft;
    lang::String m_name;
    bool m_bLoadFailed;
};

} // namespace window
