// hvsound_3d.h: positional sound: the fixed listener settings and the
// distance volume, pan and Doppler factor of software channels.
#pragma once

struct HVSOUND_CHANNEL;

struct HVSOUND_VECTOR {
    float x;
    float y;
    float z;
};

constexpr int HVSOUND_MAX_LISTENERS = 8;

// The listener and the global factors. They keep their start values: nothing
// in the engine changes them.
struct HVSOUND_3DSETTINGS {
    int listenerCount;
    HVSOUND_VECTOR listenerPosition[HVSOUND_MAX_LISTENERS];
    // The points the Doppler shift is measured against.
    HVSOUND_VECTOR listenerReference[HVSOUND_MAX_LISTENERS];
    HVSOUND_VECTOR listenerRight[4];
    float dopplerFactor;
    float distanceFactor;
    float rolloffFactor;
};

const HVSOUND_3DSETTINGS* HVSOUND_3D_Settings();

// Stores a channel's position and velocity (either may be null); a change
// reaches the channel's update-3D function.
bool HVSOUND_3D_SetAttributes(int channel, const HVSOUND_VECTOR* position, const HVSOUND_VECTOR* velocity);
// Turns the channel's place against the listener into its volume scale, pan
// and Doppler factor; with `throughFunctions` they are applied through the
// channel's frequency, volume and pan functions.
void HVSOUND_3D_Update(HVSOUND_CHANNEL* channel, bool throughFunctions);
// The smallest distance from the channel to any listener (10000 with none).
float HVSOUND_3D_NearestListenerDistance(const HVSOUND_CHANNEL* channel);
