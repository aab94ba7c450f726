// output_driver.h: the output driver descriptor and the per-sample and
// per-channel function tables that drivers and the software layer install.
#pragma once

#include "platform/Win32Types.h"

#include <cstdint>

struct HVSOUND_SAMPLE;
struct HVSOUND_CHANNEL;
struct HVSOUND_DSPUNIT;

// The five sample functions of every sample record.
struct HVSOUND_SampleFunctions {
    bool (*createBuffer)(HVSOUND_SAMPLE* sample);
    void (*releaseBuffer)(HVSOUND_SAMPLE* sample);
    // A sample's own write routine; no driver fills it.
    bool (*write)(HVSOUND_SAMPLE* sample, const void* source, int offset, int bytes, uint32_t sourceMode);
    bool (*lock)(HVSOUND_SAMPLE* sample, int offset, int length, void** ptr1, void** ptr2, int* len1, int* len2);
    bool (*unlock)(HVSOUND_SAMPLE* sample, void* ptr1, void* ptr2, int len1, int len2);
};

// The 23 channel functions of every channel record, in table order.
struct HVSOUND_ChannelFunctions {
    bool (*initChannel)(HVSOUND_CHANNEL* channel);
    bool (*closeChannel)(HVSOUND_CHANNEL* channel);
    bool (*setSample)(HVSOUND_CHANNEL* channel, HVSOUND_SAMPLE* sample);
    bool (*start)(HVSOUND_CHANNEL* channel, HVSOUND_DSPUNIT* unit, HVSOUND_SAMPLE* sample);
    bool (*stop)(HVSOUND_CHANNEL* channel);
    bool (*setFrequency)(HVSOUND_CHANNEL* channel, int hz);
    bool (*setFrequencyFloat)(HVSOUND_CHANNEL* channel, float hz);
    bool (*setVolume)(HVSOUND_CHANNEL* channel, int volume);
    bool (*setPan)(HVSOUND_CHANNEL* channel, int pan, int flag);
    bool (*driverSlot9)(HVSOUND_CHANNEL* channel);
    bool (*setPaused)(HVSOUND_CHANNEL* channel, bool paused);
    bool (*setPosition)(HVSOUND_CHANNEL* channel, int samples);
    int (*getPosition)(HVSOUND_CHANNEL* channel);
    bool (*getLevels)(HVSOUND_CHANNEL* channel, float* left, float* right);
    bool (*isPlaying)(HVSOUND_CHANNEL* channel);
    bool (*driverSlot15)(HVSOUND_CHANNEL* channel);
    bool (*update3D)(HVSOUND_CHANNEL* channel);
    bool (*driverSlot17)(HVSOUND_CHANNEL* channel);
    bool (*driverSlot18)(HVSOUND_CHANNEL* channel);
    bool (*driverSlot19)(HVSOUND_CHANNEL* channel);
    int (*getHardwareIndex)(HVSOUND_CHANNEL* channel);
    bool (*driverSlot21)(HVSOUND_CHANNEL* channel);
    bool (*validate)(intptr_t value);
};

// One output driver. The flag words are written by the engine and the
// drivers (see HVSOUND_Init), so descriptors are mutable statics.
struct HVSOUND_OutputDriver {
    int32_t hardware3D;  // the driver may give hardware 3D voices
    int32_t hardware2D;  // the driver may give hardware 2D voices
    int32_t mixerThread; // the engine is to run the software mixer thread
    void (*enumerate)();
    bool (*init)(int mixRate);
    void (*close)();
    void (*initSampleFunctions)(HVSOUND_SAMPLE* sample);
    void (*initChannelFunctions)(HVSOUND_CHANNEL* channel);
    void (*getDriverCaps)(int driverIndex, uint32_t* flags);
    HANDLE (*getOutputHandle)();
    void (*setSpeakerMode)(int mode);
    void (*update)();
    bool (*hardwareVoiceCheck)();
    bool (*setProperties)(const void* record);
    bool (*getProperties)(void* record);
};

// The opaque driver property record all drivers share.
constexpr int HVSOUND_DRIVER_PROPERTY_BYTES = 120;
// The driver-name table: up to 64 names of 80 bytes.
constexpr int HVSOUND_MAX_DRIVERS = 64;
constexpr int HVSOUND_DRIVER_NAME_BYTES = 80;
