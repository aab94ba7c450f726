// output_winmm.h: the waveOut output driver, which plays the engine's primary
// mix buffer as one endlessly looping waveform-audio buffer.
#pragma once

#include "sound/output/output_driver.h"

// The waveOut descriptor (output type 1).
HVSOUND_OutputDriver* HVSOUND_Output_WinMM();
