// sound_software.h: the software layer: the mixer choice, block and ring
// sizes, and the software channel functions that keep the mixing state of
// every software channel (volumes through the pan law, 32.32 step, position).
#pragma once

#include <cstdint>

struct HVSOUND_CHANNEL;

// Mixer types (the state's mixer type field).
enum : int {
    HVSOUND_MIXER_AUTODETECT = 0,
    HVSOUND_MIXER_BLENDMODE = 1,
    HVSOUND_MIXER_MMXP5 = 2,
    HVSOUND_MIXER_MMXP6 = 3,
    HVSOUND_MIXER_QUALITY_AUTODETECT = 4,
    HVSOUND_MIXER_QUALITY_FPU = 5,
    HVSOUND_MIXER_QUALITY_MMXP5 = 6,
    HVSOUND_MIXER_QUALITY_MMXP6 = 7,
    HVSOUND_MIXER_MONO = 8,
    HVSOUND_MIXER_QUALITY_MONO = 9,
    HVSOUND_MIXER_C = 10,
    HVSOUND_MIXER_QUALITY_C = 11,
    HVSOUND_MIXER_QUALITY_C_CUBIC = 12,
    HVSOUND_MIXER_QUALITY_C_SPLINE = 13,
};

// Software frequencies are held between these (16 x 44,100 at the top).
constexpr int HVSOUND_SOFTWARE_MIN_FREQUENCY = 100;
constexpr int HVSOUND_SOFTWARE_MAX_FREQUENCY = 705600;

// The mixer type that a stored type resolves to on a processor with the
// given facts: 0 becomes 3 and 4 becomes 7, then each falls back by the
// processor (3 -> 2 without family 6, 2/3 -> 1 without MMX, 7 -> 6 without
// family 6, 6/7 -> 5 without MMX).
int HVSOUND_Software_ChooseMixer(int type, bool hasMMX, bool isFamily6);

// Sets up the software layer at engine start (only with software channels):
// the mixer choice, the ramp constant, the block length and the ring of the
// primary mix buffer. Closes it again at engine stop.
bool HVSOUND_Software_Init();
void HVSOUND_Software_Close();

// The equal-power pan law: P[i] = floor(16 x sqrt(i)).
int HVSOUND_Software_PanLaw(int i);

// Installs the software channel functions into a channel record.
void HVSOUND_Software_SetChannelFunctions(HVSOUND_CHANNEL* channel);
