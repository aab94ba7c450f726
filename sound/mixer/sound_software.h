// sound_software.h: the software layer: the mixer choice, block and ring
// sizes, the mix buffer and mixer lock, the system DSP units, the mixer
// thread, and the software channel functions that keep the mixing state of
// every software channel (volumes through the pan law, 32.32 step, position,
// levels).
#pragma once

#include <cstdint>

struct HVSOUND_CHANNEL;
struct HVSOUND_DSPUNIT;
struct HVSOUND_MIXER;

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
    HVSOUND_MIXER_COUNT = 14,
};

// Software frequencies are held between these (16 x 44,100 at the top).
constexpr int HVSOUND_SOFTWARE_MIN_FREQUENCY = 100;
constexpr int HVSOUND_SOFTWARE_MAX_FREQUENCY = 705600;

// A list of software channels linked through the records' next and prev
// (null at both ends). Every software channel is on exactly one list: the
// idle list after start-up and after a stop, else the channel list of the
// DSP unit that mixes it (the record's dspUnit). Changed only under the
// mixer lock.
struct HVSOUND_CHANNELLIST {
    HVSOUND_CHANNEL* first;
    HVSOUND_CHANNEL* last;
};

// What the mix routines know of a software channel besides its record:
// the pause and the left-side inversion as the channel functions last set
// them (copied under the mixer lock, so the mixer thread never reads the
// record's flag word, which the channel calls change without the lock), and
// what the volume ramp remembers besides the current ramp volumes and the
// frames left (rampLeft, rampRight, rampCount of the record).
struct HVSOUND_SOFTWARE_STATE {
    bool paused;
    bool invertLeft;
    int lastTargetLeft; // the target volumes the running ramp heads for
    int lastTargetRight;
    float stepLeft; // float mixer: gain change per frame
    float stepRight;
    int32_t stepLeftInt; // 16-bit mixers: volume x 256 change per frame
    int32_t stepRightInt;
};

// The mixer type that a stored type resolves to on a processor with the
// given facts: 0 becomes 3 and 4 becomes 7, then each falls back by the
// processor (3 -> 2 without family 6, 2/3 -> 1 without MMX, 7 -> 6 without
// family 6, 6/7 -> 5 without MMX).
int HVSOUND_Software_ChooseMixer(int type, bool hasMMX, bool isFamily6);

// Sets up the software layer at engine start (only with software channels):
// the mixer (error 3 when the chosen type has no mixing routines), the ramp
// constant, the block length, the ring of the primary mix buffer, the mix
// buffer (error 12), the mixer lock and the system DSP units. Closes it
// again at engine stop, after stopping the mixer thread.
bool HVSOUND_Software_Init();
void HVSOUND_Software_Close();

// The mixer thread: keeps every block of the primary buffer but the one
// playing mixed, following the system channel's play position. Started by
// engine start when the driver asks for it; stopped by the software close.
bool HVSOUND_Software_StartMixerThread();
void HVSOUND_Software_StopMixer();

// The chosen mixer (null when the software layer is not running), its mix
// buffer (16-byte aligned, one ring of blocks) and the system DSP units.
const HVSOUND_MIXER* HVSOUND_Software_Mixer();
void* HVSOUND_Software_MixBuffer();
HVSOUND_DSPUNIT* HVSOUND_Software_ClearUnit();
HVSOUND_DSPUNIT* HVSOUND_Software_ChannelsUnit();
HVSOUND_DSPUNIT* HVSOUND_Software_MusicUnit();
HVSOUND_DSPUNIT* HVSOUND_Software_OutputUnit();
HVSOUND_DSPUNIT* HVSOUND_Software_LevelsUnit();
bool HVSOUND_Software_IsSystemUnit(const HVSOUND_DSPUNIT* unit);
// Called when a unit is freed: a system unit is no longer the layer's.
void HVSOUND_Software_ForgetUnit(const HVSOUND_DSPUNIT* unit);

// The mixer lock guards the channel lists, the DSP chain and what the mix
// routines read or write of a channel (its sample, priority, data pointer,
// position, step, volumes, ramps) and of the sample it plays (mode, loop,
// guard values). Recursive; a no-op under output type 12.
void HVSOUND_Software_Lock();
void HVSOUND_Software_Unlock();

// Holds the mixer lock for a scope. The lock is read once, so a lock made
// or freed meanwhile (engine start and stop, on this same thread) is never
// left unbalanced.
class HVSOUND_MixerLockScope {
public:
    HVSOUND_MixerLockScope();
    ~HVSOUND_MixerLockScope();
    HVSOUND_MixerLockScope(const HVSOUND_MixerLockScope&) = delete;
    HVSOUND_MixerLockScope& operator=(const HVSOUND_MixerLockScope&) = delete;

private:
    void* m_lock;
};

// The callback of the channels unit and of every channel group: mixes the
// channels on its own list (`parameter` is the unit) into `buffer`.
void* HVSOUND_Software_MixChannels(void* blockStart, void* buffer, int length, void* parameter);

// List operations (under the mixer lock). Unlink does nothing for a channel
// that is not on the list.
void HVSOUND_Software_LinkChannel(HVSOUND_CHANNELLIST* list, HVSOUND_CHANNEL* channel);
void HVSOUND_Software_UnlinkChannel(HVSOUND_CHANNELLIST* list, HVSOUND_CHANNEL* channel);
HVSOUND_CHANNELLIST* HVSOUND_Software_IdleList();
// The list a software channel is on: its DSP unit's, or the idle list.
HVSOUND_CHANNELLIST* HVSOUND_Software_ListOf(HVSOUND_CHANNEL* channel);
// Moves a channel from its list onto `unit`'s (null: the idle list).
void HVSOUND_Software_MoveChannel(HVSOUND_CHANNEL* channel, HVSOUND_DSPUNIT* unit);

// The mixing state of a software channel (under the mixer lock). A record
// outside the software pool gets a scratch state made from its flags anew
// on each call.
HVSOUND_SOFTWARE_STATE* HVSOUND_Software_State(HVSOUND_CHANNEL* channel);

// The equal-power pan law: P[i] = floor(16 x sqrt(i)).
int HVSOUND_Software_PanLaw(int i);

// Installs the software channel functions into a channel record.
void HVSOUND_Software_SetChannelFunctions(HVSOUND_CHANNEL* channel);
