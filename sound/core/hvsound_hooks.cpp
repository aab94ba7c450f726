// hvsound_hooks.cpp: neutral bodies for the entry points of the layers that
// stand on the engine core. Each body moves out when its layer is written:
// the engine then starts, stops and updates that layer with no other change.
#include "sound/core/hvsound_hooks.h"

#include "sound/output/output_nosound.h"

void* HVMUSIC_MixSongs(void* /*blockStart*/, void* buffer, int /*length*/, void* /*parameter*/)
{
    return buffer;
}

bool HVSOUND_Stream_StartThread()
{
    return true;
}

void HVSOUND_Stream_Shutdown()
{
}

void HVSOUND_Stream_Update(float /*milliseconds*/)
{
}

void HVSOUND_Vorbis_InitWindows()
{
}

void HVSOUND_Async_Init()
{
}

void HVSOUND_Async_Shutdown()
{
}

void HVMUSIC_StopAllSongs()
{
}

void HVMUSIC_ApplyTempoToAll()
{
}

void HVMUSIC_ForgetSample(HVSOUND_SAMPLE* /*sample*/)
{
}

HVSOUND_SAMPLE* HVSOUND_Vorbis_LoadSample(int /*index*/, HVSOUND_FILE* /*file*/, uint32_t /*mode*/)
{
    return nullptr;
}

