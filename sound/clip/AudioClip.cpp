// AudioClip.cpp: the sound clip over the engine's samples, streams and
// module music: lazy loading from archive items and files, playing and
// looping, pausing, stopping, volume and pitch with their per-frame fades,
// and opening and closing the engine.
#include "sound/clip/AudioClip.h"

#include "core/lang/ResourceFile.h"
#include "core/lang/ResourceItem.h"
#include "core/lang/Synchronized.h"
#include "platform/kernel/DebugOutput.h"
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/music/hvmusic.h"
#include "sound/streams/hvsound_stream.h"

#include <cstring>

#include <atomic>
#include <string>

namespace window {

namespace {

// The result of the last open, cleared by close.
std::atomic<bool> g_soundOpen{false};

HVSOUND_SAMPLE* asSample(void* handle)
{
    return static_cast<HVSOUND_SAMPLE*>(handle);
}

HVSOUND_STREAM* asStream(void* handle)
{
    return static_cast<HVSOUND_STREAM*>(handle);
}

HVMUSIC_SONG* asSong(void* handle)
{
    return static_cast<HVMUSIC_SONG*>(handle);
}

// The default frequency of a stream's own sample.
int streamFrequency(HVSOUND_STREAM* stream)
{
    int frequency = 0;
    HVSOUND_Sample_GetDefaults(HVSOUND_Stream_GetSample(stream), &frequency, nullptr, nullptr, nullptr);
    return frequency;
}

// The sound's frequency times the factor, truncated toward zero.
int bentFrequency(int baseFrequency, float factor)
{
    return int(double(baseFrequency) * double(factor));
}

} // namespace

AudioClip::AudioClip()
    : m_pHandle(nullptr),
      m_pMemoryCopy(nullptr),
      m_nChannel(-1),
      m_nVolume(-1),
      m_nFadeTarget(-1),
      m_dFadeAccumulator(0.0),
      m_dFadeStep(0.0),
      m_nFadeStepsLeft(0),
      m_bPauseAtEnd(false),
      m_nKind(KIND_SAMPLE),
      m_nHeldKind(KIND_SAMPLE),
      m_nBaseFrequency(0),
      m_fPitch(1.0f),
      m_fPitchTarget(1.0f),
      m_fPitchStep(0.0f),
      m_nPitchStepsLeft(0),
      m_name(""),
      m_bLoadFailed(false)
{
}

AudioClip::~AudioClip()
{
    releaseData();
}

lang::Object* AudioClip::soundMonitor()
{
    static lang::Object monitor;
    return &monitor;
}

bool AudioClip::openSound(HWND window, int mixBufferMs, bool useWaveOut)
{
    if (g_soundOpen)
        return true;
    HVSOUND_SetHWND(window);
    if (mixBufferMs != -1)
        HVSOUND_SetBufferSize(mixBufferMs);
    if (useWaveOut)
        HVSOUND_SetOutput(HVSOUND_OUTPUT_WINMM);
    g_soundOpen = HVSOUND_Init(MIX_RATE, CHANNELS, 0);
    return g_soundOpen;
}

void AudioClip::closeSound()
{
    lang::Synchronized guard(soundMonitor(), true);
    if (g_soundOpen)
        HVSOUND_Close();
    g_soundOpen = false;
}

bool AudioClip::isSoundOpen()
{
    return g_soundOpen;
}

void AudioClip::setMasterVolume(int volume)
{
    lang::Synchronized guard(soundMonitor(), true);
    if (g_soundOpen)
        HVSOUND_SetSFXMasterVolume(volume);
}

AudioClip* AudioClip::setSource(const lang::String& name, int kind)
{
    m_name = name;
    m_nKind = kind;
    m_bLoadFailed = false;
    return this;
}

bool AudioClip::load(const lang::String& name, int kind)
{
    lang::Synchronized guard(soundMonitor(), true);
    if (!m_name.equals(name))
        m_name = name;
    if (!g_soundOpen)
        return false;
    stop();
    releaseData();
    m_nKind = kind;
    if (m_name.startsWith("+")) {
        lang::ResourceFile* archive = lang::ResourceFile::getCurrent();
        lang::ResourceItem* item = archive ? archive->getItem(m_name.substring(1), false) : nullptr;
        if (item) {
            // The archive holds the item, but it is no sound: say which.
            if (!loadFromMemory(item->getData(), item->getSize(), kind)) {
                const std::string text = std::string("The sound ") + m_name.c_str() + " is damaged and cannot be played\n";
                platform::reportProblem(text.c_str());
            }
            item->release();
        }
    } else if (kind == KIND_SAMPLE) {
        HVSOUND_SAMPLE* sample = HVSOUND_Sample_Load(-1, m_name.c_str(), 0, 0, 0);
        if (sample)
            HVSOUND_Sample_GetDefaults(sample, &m_nBaseFrequency, nullptr, nullptr, nullptr);
        m_pHandle = sample;
    } else if (kind == KIND_STREAM) {
        HVSOUND_STREAM* stream = HVSOUND_Stream_Open(m_name.c_str(), HVSOUND_MODE_LOOP_NORMAL, 0, 0);
        if (stream)
            m_nBaseFrequency = streamFrequency(stream);
        m_pHandle = stream;
    } else if (kind == KIND_MUSIC) {
        m_pHandle = HVMUSIC_LoadSong(m_name.c_str());
        m_nBaseFrequency = 0;
    }
    m_nHeldKind = kind;
    m_bLoadFailed = m_pHandle == nullptr;
    return m_pHandle != nullptr;
}

bool AudioClip::loadFromMemory(const unsigned char* bytes, int length, int kind)
{
    lang::Synchronized guard(soundMonitor(), true);
    if (!g_soundOpen || !bytes || length <= 0) {
        m_nKind = kind;
        return false;
    }
    // A clip holds one sound: what it held is let go first.
    if (m_pHandle) {
        stop();
        releaseData();
    }
    m_nKind = kind;
    if (kind == KIND_SAMPLE) {
        // The engine copies the data into the sample.
        HVSOUND_SAMPLE* sample = HVSOUND_Sample_Load(-1, bytes, HVSOUND_MODE_LOADMEMORY, 0, length);
        if (sample)
            HVSOUND_Sample_GetDefaults(sample, &m_nBaseFrequency, nullptr, nullptr, nullptr);
        m_pHandle = sample;
    } else if (kind == KIND_STREAM) {
        // The stream reads its data while it plays: it gets a copy of its
        // own, kept until the clip lets the stream go.
        m_pMemoryCopy = new unsigned char[size_t(length)];
        std::memcpy(m_pMemoryCopy, bytes, size_t(length));
        HVSOUND_STREAM* stream = HVSOUND_Stream_Open(
            m_pMemoryCopy, HVSOUND_MODE_LOADMEMORY | HVSOUND_MODE_LOOP_NORMAL, 0, length);
        if (stream) {
            m_nBaseFrequency = streamFrequency(stream);
        } else {
            delete[] m_pMemoryCopy;
            m_pMemoryCopy = nullptr;
        }
        m_pHandle = stream;
    } else if (kind == KIND_MUSIC) {
        // A module is read whole: the song needs no copy of the data.
        m_pHandle = HVMUSIC_LoadSongEx(bytes, 0, length, HVSOUND_MODE_LOADMEMORY, nullptr, 0);
        m_nBaseFrequency = 0;
    }
    m_nHeldKind = kind;
    return m_pHandle != nullptr;
}

bool AudioClip::ensureLoaded()
{
    if (m_pHandle || m_name.isEmpty() || m_bLoadFailed)
        return false;
    return load(m_name, m_nKind);
}

void AudioClip::releaseData()
{
    if (m_pHandle) {
        lang::Synchronized guard(soundMonitor(), true);
        if (g_soundOpen && getHeldKind() == KIND_SAMPLE) {
            HVSOUND_Sample_Free(asSample(m_pHandle));
        } else if (getHeldKind() == KIND_STREAM) {
            // The engine frees its samples when it closes, but only stops
            // its streams and songs: those are freed by their clip, open
            // engine or not (a stream before the copy it reads goes).
            HVSOUND_Stream_Close(asStream(m_pHandle));
        } else if (getHeldKind() == KIND_MUSIC) {
            HVMUSIC_FreeSong(asSong(m_pHandle));
        }
    }
    delete[] m_pMemoryCopy;
    m_pMemoryCopy = nullptr;
    m_pHandle = nullptr;
}

bool AudioClip::isPlaying()
{
    lang::Synchronized guard(soundMonitor(), true);
    if (!g_soundOpen)
        return false;
    if (getHeldKind() == KIND_MUSIC)
        return m_pHandle && HVMUSIC_IsPlaying(asSong(m_pHandle));
    return m_nChannel != -1 && HVSOUND_IsPlaying(m_nChannel);
}

void AudioClip::pause()
{
    doPause();
}

void AudioClip::play()
{
    doPlay();
}

void AudioClip::loop()
{
    doLoop();
}

void AudioClip::stop()
{
    doStop();
}

void AudioClip::takeStreamChannel()
{
    if (m_nChannel == -1)
        return;
    // Above every effect, so no sample takes the channel from the stream;
    // the stream's own pan (stereo as recorded).
    HVSOUND_SetPriority(m_nChannel, 255);
    HVSOUND_SetPan(m_nChannel, -1);
}

void AudioClip::applySongVolume()
{
    if (m_nVolume != -1)
        HVMUSIC_SetMasterVolume(asSong(m_pHandle), m_nVolume);
}

void AudioClip::applyChannelSettings()
{
    if (m_nChannel == -1)
        return;
    if (m_nVolume != -1)
        HVSOUND_SetVolumeAbsolute(m_nChannel, m_nVolume);
    if (m_fPitch != 1.0f)
        HVSOUND_SetFrequency(m_nChannel, bentFrequency(m_nBaseFrequency, m_fPitch));
}

void AudioClip::doPlay()
{
    lang::Synchronized guard(soundMonitor(), true);
    if (!g_soundOpen)
        return;
    if (m_pHandle)
        doStop();
    else
        ensureLoaded();
    if (!m_pHandle)
        return;
    if (getHeldKind() == KIND_SAMPLE) {
        HVSOUND_Sample_SetMode(asSample(m_pHandle), HVSOUND_MODE_LOOP_OFF);
        // Any free channel: the one played before may belong to another sound now.
        m_nChannel = HVSOUND_PlaySound(HVSOUND_FREE, asSample(m_pHandle));
        applyChannelSettings();
    } else if (getHeldKind() == KIND_STREAM) {
        HVSOUND_Stream_SetMode(asStream(m_pHandle), HVSOUND_MODE_LOOP_OFF);
        m_nChannel = HVSOUND_Stream_Play(HVSOUND_FREE, asStream(m_pHandle));
        takeStreamChannel();
        applyChannelSettings();
    } else if (getHeldKind() == KIND_MUSIC) {
        HVMUSIC_PlaySong(asSong(m_pHandle));
        applySongVolume();
    }
}

void AudioClip::doLoop()
{
    lang::Synchronized guard(soundMonitor(), true);
    if (!g_soundOpen)
        return;
    if (!m_pHandle)
        ensureLoaded();
    if (!m_pHandle)
        return;
    if (getHeldKind() == KIND_SAMPLE) {
        HVSOUND_Sample_SetMode(asSample(m_pHandle), HVSOUND_MODE_LOOP_NORMAL);
        if (m_nChannel != -1 && HVSOUND_GetPaused(m_nChannel)) {
            HVSOUND_SetPaused(m_nChannel, false);
        } else if (!isPlaying()) {
            if (m_nChannel == -1) {
                m_nChannel = HVSOUND_PlaySound(HVSOUND_FREE, asSample(m_pHandle));
            } else {
                // A play that has ended: the channel is forgotten and the
                // next loop starts the sample.
                HVSOUND_StopSound(m_nChannel);
                m_nChannel = -1;
            }
        }
        applyChannelSettings();
    } else if (getHeldKind() == KIND_STREAM) {
        HVSOUND_Stream_SetMode(asStream(m_pHandle), HVSOUND_MODE_LOOP_NORMAL);
        if (m_nChannel != -1 && HVSOUND_GetPaused(m_nChannel)) {
            HVSOUND_SetPaused(m_nChannel, false);
        } else if (!isPlaying()) {
            // The channel it had no longer plays it and may belong to
            // another sound now: any free channel.
            m_nChannel = HVSOUND_Stream_Play(HVSOUND_FREE, asStream(m_pHandle));
        }
        takeStreamChannel();
        applyChannelSettings();
    } else if (getHeldKind() == KIND_MUSIC) {
        // Songs loop by themselves: a paused one resumes, any other starts
        // again from its first order.
        if (HVMUSIC_GetPaused(asSong(m_pHandle)))
            HVMUSIC_SetPaused(asSong(m_pHandle), false);
        else
            HVMUSIC_PlaySong(asSong(m_pHandle));
        applySongVolume();
    }
}

void AudioClip::doStop()
{
    lang::Synchronized guard(soundMonitor(), true);
    if (!g_soundOpen)
        return;
    if (getHeldKind() == KIND_MUSIC) {
        if (isPlaying())
            HVMUSIC_StopSong(asSong(m_pHandle));
        return;
    }
    if (m_nChannel == -1)
        return;
    if (getHeldKind() == KIND_STREAM && m_pHandle)
        HVSOUND_Stream_Stop(asStream(m_pHandle));
    if (getHeldKind() == KIND_SAMPLE || getHeldKind() == KIND_STREAM)
        HVSOUND_StopSound(m_nChannel);
    m_nChannel = -1;
}

void AudioClip::doPause()
{
    lang::Synchronized guard(soundMonitor(), true);
    if (!g_soundOpen)
        return;
    if (getHeldKind() == KIND_MUSIC) {
        if (isPlaying())
            HVMUSIC_SetPaused(asSong(m_pHandle), true);
    } else if (m_nChannel != -1) {
        HVSOUND_SetPaused(m_nChannel, true);
    }
}

void AudioClip::setVolume(int volume)
{
    // Under the monitor, as every play and loop that applies it reads it: a
    // clip is played from the window's thread and the loader thread alike.
    lang::Synchronized guard(soundMonitor(), true);
    m_nVolume = volume;
    if (!g_soundOpen)
        return;
    if (getHeldKind() == KIND_MUSIC) {
        if (isPlaying())
            HVMUSIC_SetMasterVolume(asSong(m_pHandle), volume);
    } else if (m_nChannel != -1) {
        HVSOUND_SetVolumeAbsolute(m_nChannel, volume);
    }
}

void AudioClip::setPitch(float factor)
{
    lang::Synchronized guard(soundMonitor(), true);
    m_fPitch = factor;
    if (g_soundOpen && m_nChannel != -1)
        HVSOUND_SetFrequency(m_nChannel, bentFrequency(m_nBaseFrequency, factor));
}

void AudioClip::fadeVolume(int target, int steps, bool pauseAtEnd)
{
    if (steps <= 0) {
        setVolume(target);
        m_nFadeStepsLeft = 0;
        return;
    }
    m_nFadeTarget = target;
    m_dFadeAccumulator = 0.0;
    m_dFadeStep = double(target - m_nVolume) / steps;
    m_nFadeStepsLeft = steps;
    m_bPauseAtEnd = pauseAtEnd;
}

void AudioClip::fadePitch(float target, int steps)
{
    if (steps <= 0) {
        setPitch(target);
        m_nPitchStepsLeft = 0;
        return;
    }
    m_fPitchTarget = target;
    m_fPitchStep = (target - m_fPitch) / float(steps);
    m_nPitchStepsLeft = steps;
}

bool AudioClip::updateFades(int)
{
    bool going = false;
    if (m_nFadeStepsLeft > 0) {
        if (--m_nFadeStepsLeft > 0) {
            m_dFadeAccumulator += m_dFadeStep;
            const int k = int(m_dFadeAccumulator);
            setVolume(m_nVolume + k);
            m_dFadeAccumulator -= k;
            going = true;
        } else {
            setVolume(m_nFadeTarget);
            if (m_bPauseAtEnd)
                pause();
        }
    }
    if (m_nPitchStepsLeft >= 1) {
        if (--m_nPitchStepsLeft > 0) {
            setPitch(m_fPitch + m_fPitchStep);
            going = true;
        } else {
            setPitch(m_fPitchTarget);
        }
    }
    return going;
}

} // namespace window
