// hvsound_3d.cpp: positional sound: distance volume, pan and Doppler factor
// of software channels against the engine's fixed listener.
#include "sound/core/hvsound_3d.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/mixer/sound_software.h"

#include <cmath>

namespace {

// Below this a distance or a Doppler factor counts as this.
constexpr float kTiny = 0.00001f;
// Speed of sound in units per second at distance factor 1.
constexpr float kSpeedOfSound = 340.0f;

HVSOUND_3DSETTINGS makeSettings()
{
    HVSOUND_3DSETTINGS s{};
    s.listenerCount = 1;
    for (HVSOUND_VECTOR& right : s.listenerRight)
        right = HVSOUND_VECTOR{1.0f, 0.0f, 0.0f};
    s.dopplerFactor = 1.0f;
    s.distanceFactor = 1.0f;
    s.rolloffFactor = 1.0f;
    return s;
}

const HVSOUND_3DSETTINGS g_settings = makeSettings();

HVSOUND_VECTOR minus(const HVSOUND_VECTOR& a, const HVSOUND_VECTOR& b)
{
    return HVSOUND_VECTOR{a.x - b.x, a.y - b.y, a.z - b.z};
}

float length(const HVSOUND_VECTOR& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

bool sameVector(const HVSOUND_VECTOR& a, const HVSOUND_VECTOR& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace

const HVSOUND_3DSETTINGS* HVSOUND_3D_Settings()
{
    return &g_settings;
}

bool HVSOUND_3D_SetAttributes(int channel, const HVSOUND_VECTOR* position, const HVSOUND_VECTOR* velocity)
{
    HVSOUND_ClearErrorOnInitThread();
    HVSOUND_STATE* s = HVSOUND_GetState();
    if (!s->initialised || !s->channels) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return false;
    }
    HVSOUND_MixerLockScope lock;
    HVSOUND_CHANNEL* record = HVSOUND_Channel_Find(channel);
    if (!record)
        return false;
    bool chain = channel >= 0 && (channel >> 12) != 0;
    bool result = true;
    for (HVSOUND_CHANNEL* c = record; c; c = chain ? c->link : nullptr) {
        bool changed = false;
        if (position && !sameVector(*position, c->position)) {
            c->position = *position;
            changed = true;
        }
        if (velocity && !sameVector(*velocity, c->velocity)) {
            c->velocity = *velocity;
            changed = true;
        }
        if (changed)
            result = c->functions.update3D(c);
    }
    return result;
}

void HVSOUND_3D_Update(HVSOUND_CHANNEL* channel, bool throughFunctions)
{
    HVSOUND_SAMPLE* sample = HVSOUND_Channel_CurrentSample(channel);
    if (!sample)
        return;
    if (channel->mode & HVSOUND_MODE_2D) {
        channel->secondVolume = 255;
        channel->frequencyScale = 1.0f;
        return;
    }
    if ((channel->flags & HVSOUND_CHANNEL_MUSIC) || (sample->mode & HVSOUND_MODE_STEREO))
        return;

    const HVSOUND_3DSETTINGS& g = g_settings;
    HVSOUND_STATE* state = HVSOUND_GetState();
    float doppler = 1.0f;
    int volume = 0;
    int pan = 128;
    for (int i = 0; i < g.listenerCount; ++i) {
        HVSOUND_VECTOR d = minus(channel->position, g.listenerPosition[i]);
        float distance = length(d);

        if (g.dopplerFactor > 0.0f && g.listenerCount == 1) {
            float c = kSpeedOfSound / g.distanceFactor;
            float previous = length(minus(minus(channel->position, channel->velocity), g.listenerReference[i]));
            doppler = (c - (distance - previous) * g.dopplerFactor) / c;
            if (doppler < kTiny)
                doppler = kTiny;
        }

        float attenuated = distance;
        if (attenuated > channel->maxDistance)
            attenuated = channel->maxDistance;
        if (attenuated < channel->minDistance)
            attenuated = channel->minDistance;
        if (attenuated > channel->minDistance && g.rolloffFactor != 1.0f)
            attenuated = (attenuated - channel->minDistance) * g.rolloffFactor + channel->minDistance;
        if (attenuated < kTiny)
            attenuated = kTiny;
        float v = channel->minDistance / attenuated;
        v = v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
        int volumeHere = int(v * 255.0f);
        if (volumeHere > volume)
            volume = volumeHere;

        if (g.listenerCount == 1) {
            HVSOUND_VECTOR u{0.0f, 0.0f, 0.0f};
            if (distance != 0.0f)
                u = HVSOUND_VECTOR{d.x / distance, d.y / distance, d.z / distance};
            const HVSOUND_VECTOR& right = g.listenerRight[i];
            int t = int((u.x * right.x + u.y * right.y + u.z * right.z) * -128.0f);
            pan = 128 - t;
            pan = pan < 0 ? 0 : pan > 255 ? 255 : pan;
            pan = int((float(pan) - 128.0f) * state->panSeparation + 128.0f);
        }
    }

    channel->secondVolume = volume;
    channel->frequencyScale = doppler;
    if (!throughFunctions)
        return;
    channel->functions.setFrequency(channel, channel->frequency);
    int level = (channel->flags & HVSOUND_CHANNEL_ABSOLUTE) ? channel->volume
                                                            : channel->volume * state->sfxMasterVolume / 255;
    channel->functions.setVolume(channel, level);
    channel->functions.setPan(channel, pan, 0);
}

float HVSOUND_3D_NearestListenerDistance(const HVSOUND_CHANNEL* channel)
{
    float nearest = 10000.0f;
    for (int i = 0; i < g_settings.listenerCount; ++i) {
        float d = length(minus(channel->position, g_settings.listenerPosition[i]));
        if (i == 0 || d < nearest)
            nearest = d;
    }
    return nearest;
}
