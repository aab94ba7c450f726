// output_dsound.h: the DirectSound output driver: a sound-buffer device whose
// secondary buffers play the engine's primary mix buffer and hardware voices.
#pragma once

#include "sound/output/output_driver.h"

// The DirectSound descriptor (output type 2).
HVSOUND_OutputDriver* HVSOUND_Output_DirectSound();

// The attenuation, in hundredths of a decibel, that volume 0..255 maps to.
int HVSOUND_DSound_VolumeTable(int volume);
