// hvsound_hooks.cpp: neutral bodies for the entry points of the layers that
// stand on the engine core. Each body moves out when its layer is written:
// the engine then starts, stops and updates that layer with no other change.
#include "sound/hvsound_hooks.h"

#include "sound/output_nosound.h"

void HVSOUND_DSP_Init()
{
}

bool HVSOUND_DSP_Exists(HVSOUND_DSPUNIT* unit)
{
    return unit == nullptr;
}

void HVSOUND_DSP_MixCycle(int /*offset*/, int /*length*/)
{
}

bool HVSOUND_Software_StartMixerThread()
{
    return true;
}

void HVSOUND_Software_StopMixer()
{
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

void HVSOUND_MPEG_InitTables()
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

HVSOUND_FILE* HVSOUND_File_Open(const void* /*nameOrData*/, uint32_t /*kind*/, int /*length*/)
{
    return nullptr;
}

void HVSOUND_File_SetStart(HVSOUND_FILE* /*file*/, int /*offset*/)
{
}

void HVSOUND_File_SetEnd(HVSOUND_FILE* /*file*/, int /*lastByte*/)
{
}

int HVSOUND_File_Read(void* /*buffer*/, int /*size*/, int /*count*/, HVSOUND_FILE* /*file*/)
{
    return -1;
}

int HVSOUND_File_Seek(HVSOUND_FILE* /*file*/, int /*offset*/, int /*origin*/)
{
    return -1;
}

int HVSOUND_File_Tell(HVSOUND_FILE* /*file*/)
{
    return 0;
}

void HVSOUND_File_Close(HVSOUND_FILE* /*file*/)
{
}

bool HVSOUND_File_HasUserCallbacks()
{
    return false;
}

HVSOUND_SAMPLE* HVSOUND_Vorbis_LoadSample(int /*index*/, HVSOUND_FILE* /*file*/, uint32_t /*mode*/)
{
    return nullptr;
}

HVSOUND_SAMPLE* HVSOUND_MPEG_LoadSample(int /*index*/, HVSOUND_FILE* /*file*/, uint32_t /*mode*/)
{
    return nullptr;
}

HVSOUND_SAMPLE* HVSOUND_WAV_LoadSample(int /*index*/, HVSOUND_FILE* /*file*/, uint32_t /*mode*/)
{
    return nullptr;
}

// Until the device drivers exist, waveOut and DirectSound output play
// silently through the no-sound driver.
HVSOUND_OutputDriver* HVSOUND_Output_WinMM()
{
    return HVSOUND_Output_NoSound();
}

HVSOUND_OutputDriver* HVSOUND_Output_DirectSound()
{
    return HVSOUND_Output_NoSound();
}
