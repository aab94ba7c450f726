// SoundFuzz.h: the shared body of the sound readers' harnesses: load the
// bytes whole into a sample, then play them as a stream, looping unless the
// harness asks otherwise (and, for
// inputs of odd length, as a 3D stream downmixed to mono) through a few
// refills, a stop and a restart, on the update-driven engine. Inputs whose
// length has bit 1 set open MPEG data with its exact frame table.
#pragma once

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_sample.h"
#include "sound/streams/hvsound_stream.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

// How a harness has the stream played.
struct SoundFuzzPlay {
    // Updates while it plays: enough for the play cursor to cross into the
    // second half once.
    int blocks = 20;
    // Looping refills the halves from the data over and over; without it
    // every frame is decoded once per pass, and the end is played out.
    bool loop = true;
    // Stop and play again from the start (the refill after a rewind).
    bool restart = true;
};

// Starts the engine once for the whole run: without threads or a device,
// every update mixes one block and runs one refill pass.
inline bool fuzzSoundStarted()
{
    static bool started = [] {
        HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
        return HVSOUND_Init(22050, 4, 0);
    }();
    return started;
}

inline int fuzzSound(const uint8_t* data, size_t size, const SoundFuzzPlay& play = SoundFuzzPlay())
{
    if (!fuzzSoundStarted() || size == 0 || size > (1u << 20))
        return 0;
    // The engine reads the bytes where they are; a copy of exactly their
    // size lets the address sanitizer see any read beyond them.
    std::vector<uint8_t> bytes(data, data + size);

    HVSOUND_SAMPLE* sample =
        HVSOUND_Sample_Load(-1, bytes.data(), HVSOUND_MODE_LOADMEMORY, 0, int(bytes.size()));
    if (sample)
        HVSOUND_Sample_Free(sample);

    uint32_t mode = HVSOUND_MODE_LOADMEMORY | (play.loop ? HVSOUND_MODE_LOOP_NORMAL : HVSOUND_MODE_LOOP_OFF);
    if (size & 1)
        mode |= HVSOUND_MODE_HW3D | HVSOUND_MODE_FORCEMONO;
    if (size & 2)
        mode |= HVSOUND_MODE_MPEGACCURATE;
    HVSOUND_STREAM* stream = HVSOUND_Stream_Open(bytes.data(), mode, 0, int(bytes.size()));
    if (!stream)
        return 0;
    if (HVSOUND_Stream_Play(-1, stream) != -1) {
        for (int i = 0; i < play.blocks; ++i)
            HVSOUND_Update();
        HVSOUND_Stream_SetMode(stream, HVSOUND_MODE_LOOP_OFF);
        HVSOUND_Stream_Stop(stream);
        if (play.restart) {
            HVSOUND_Stream_Play(-1, stream);
            for (int i = 0; i < 2; ++i)
                HVSOUND_Update();
        }
    }
    HVSOUND_Stream_Close(stream);
    return 0;
}
