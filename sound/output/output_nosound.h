// output_nosound.h: the no-sound output driver, which is also the source of
// the default sample and channel functions, and the calls all drivers share.
#pragma once

#include "sound/output/output_driver.h"

// The no-sound descriptor (output type 0, 12 and any unknown type).
HVSOUND_OutputDriver* HVSOUND_Output_NoSound();

// Every sample and channel record first gets these defaults; the software
// layer or a driver then overwrites the slots it implements.
void HVSOUND_NoSound_SetSampleFunctions(HVSOUND_SAMPLE* sample);
void HVSOUND_NoSound_SetChannelFunctions(HVSOUND_CHANNEL* channel);

// Shared by every descriptor.
bool HVSOUND_Driver_HardwareVoiceCheck();
bool HVSOUND_Driver_SetProperties(const void* record);
bool HVSOUND_Driver_GetProperties(void* record);
// The timer-driven mixing of output type 12: one block per engine update.
void HVSOUND_Driver_TimerMix();
