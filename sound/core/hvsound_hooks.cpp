// hvsound_hooks.cpp: neutral bodies for the entry points of the layers that
// stand on the engine core. Each body moves out when its layer is written:
// the engine then starts, stops and updates that layer with no other change.
#include "sound/core/hvsound_hooks.h"

#include "sound/core/hvsound.h"
#include "sound/output/output_nosound.h"

void* HVMUSIC_MixSongs(void* /*blockStart*/, void* buffer, int /*length*/, void* /*parameter*/)
{
    return buffer;
}

void HVSOUND_Async_Init()
{
}

void HVSOUND_Async_Shutdown()
{
}

bool HVSOUND_Async_StartThread()
{
    HVSOUND_SetError(HVSOUND_ERR_MEMORY);
    return false;
}

void HVSOUND_Async_Append(HVSOUND_ASYNCENTRY* /*entry*/)
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
