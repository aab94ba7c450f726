// AudioClip.cpp: the sound clip over the engine's samples: lazy loading
// from archive items and files, playing and looping on a channel, pausing,
// stopping, volume and pitch with their per-frame fades, and opening and
// closing the engine.
#include "sound/clip/AudioClip.h"

#include "core/lang/ResourceFile.h"
#include "core/lang/ResourceItem.h"
#include "core/lang/Synchronized.h"
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"

#include <atomic>

namespace window {

namespace {

// The result of the last open, cleared by close.
std::atomic<bool> g_soundOpen{false};

HVSOUND_SAMPLE* asSample(void* handle)
{
    return static_cast<HVSOUND_SAMPLE*>(handle);
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
    if (!m_name.equals(name))
        m_name = name;
    lang::Synchronized guard(soundMonitor(), true);
    if (!g_soundOpen)
        return false;
    stop();
    releaseData();
    m_nKind = kind;
    if (m_name.startsWith("+")) {
        lang::ResourceFile* archive = lang::ResourceFile::getCurrent();
        lang::ResourceItem* item = archive ? archive->getItem(m_name.substring(1), false) : nullptr;
        if (item) {
            loadFromMemory(item->getData(), item->getSize(), kind);
            item->release();
        }
    } else if (kind == KIND_SAMPLE) {
        HVSOUND_SAMPLE* sample = HVSOUND_Sample_Load(-1, m_name.c_str(), 0, 0, 0);
        if (sample)
            HVSOUND_Sample_GetDefaults(sample, &m_nBaseFrequency, nullptr, nullptr, nullptr);
        m_pHandle = sample;
    }
    m_bLoadFailed = m_pHandle == nullptr;
    return m_pHandle != nullptr;
}

bool AudioClip::loadFromMemory(const unsigned char* bytes, int length, int kind)
{
    m_nKind = kind;
    lang::Synchronized guard(soundMonitor(), true);
    if (!g_soundOpen || !bytes || length <= 0)
        return false;
    if (kind == KIND_SAMPLE) {
        // The engine copies the data into the sample.
        HVSOUND_SAMPLE* sample = HVSOUND_Sample_Load(-1, bytes, HVSOUND_MODE_LOADMEMORY, 0, length);
        if (sample)
            HVSOUND_Sample_GetDefaults(sample, &m_nBaseFrequency, nullptr, nullptr, nullptr);
        m_pHandle = sample;
    }
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
    if (m_pHandle && g_soundOpen) {
        lang::Synchronized guard(soundMonitor(), true);
        if (g_soundOpen && m_nKind == KIND_SAMPLE)
            HVSOUND_Sample_Free(asSample(m_pHandle));
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
    if (m_nKind == KIND_SAMPLE) {
        HVSOUND_Sample_SetMode(asSample(m_pHandle), HVSOUND_MODE_LOOP_OFF);
        // Any free channel: the one played before may belong to another sound now.
        m_nChannel = HVSOUND_PlaySound(HVSOUND_FREE, asSample(m_pHandle));
        applyChannelSettings();
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
    if (m_nKind == KIND_SAMPLE) {
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
    }
}

void AudioClip::doStop()
{
    lang::Synchronized guard(soundMonitor(), true);
    if (!g_soundOpen || m_nChannel == -1)
        return;
    if (m_nKind == KIND_SAMPLE)
        HVSOUND_StopSound(m_nChannel);
    m_nChannel = -1;
}

void AudioClip::doPause()
{
    lang::Synchronized guard(soundMonitor(), true);
    if (!g_soundOpen)
        return;
    if (m_nKind == KIND_SAMPLE && m_nChannel != -1)
        HVSOUND_SetPaused(m_nChannel, true);
}

void AudioClip::setVolume(int volume)
{
    m_nVolume = volume;
    lang::Synchronized guard(soundMonitor(), true);
    if (g_soundOpen && m_nKind == KIND_SAMPLE && m_nChannel != -1)
        HVSOUND_SetVolumeAbsolute(m_nChannel, volume);
}

void AudioClip::setPitch(float factor)
{
    m_fPitch = factor;
    lang::Synchronized guard(soundMonitor(), true);
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
