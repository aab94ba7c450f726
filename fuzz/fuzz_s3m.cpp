// Fuzzes the S3M loader and player: every input is loaded from memory; a
// module that loads plays a few hundred ticks (notes, effects, jumps) and a
// few mixed blocks (its samples through the mixer), then is freed.
#include "sound/core/hvsound.h"
#include "sound/music/hvmusic.h"

#include <cstdint>

namespace {

constexpr int kTicks = 300;  // rows and effects, without mixing
constexpr int kBlocks = 8;   // mixed blocks of 512 samples
constexpr size_t kMaxInput = size_t(1) << 20;

bool startEngine()
{
    HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
    return HVSOUND_Init(22050, 32, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = startEngine();
    if (!started || size > kMaxInput)
        return 0;
    HVMUSIC_SONG* song = HVMUSIC_LoadSongEx(data, 0, int(size), HVSOUND_MODE_LOADMEMORY, nullptr, 0);
    if (!song)
        return 0;
    if (HVMUSIC_PlaySong(song)) {
        for (int i = 0; i < kBlocks; ++i)
            HVSOUND_Update();
        for (int i = 0; i < kTicks && HVMUSIC_IsPlaying(song); ++i)
            song->tickHook(song);
        for (int i = 0; i < kBlocks; ++i)
            HVSOUND_Update();
    }
    HVMUSIC_FreeSong(song);
    return 0;
}
