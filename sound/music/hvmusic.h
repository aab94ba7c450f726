// hvmusic.h: module music: the song record, loading and freeing songs, the
// public HVMUSIC_ calls, the tempo rule, the C2 frequency table, the music
// channels a song plays on and the timed callback queues.
#pragma once

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_async.h"
#include "sound/mixer/hvsound_dsp.h"

#include <atomic>
#include <cstdint>

struct HVSOUND_SAMPLE;
struct HVSOUND_FILE;
struct HVMUSIC_SONG;

// The loader's format code in a song.
enum : int {
    HVMUSIC_FORMAT_NONE = 0,
    HVMUSIC_FORMAT_S3M = 3,
    HVMUSIC_FORMAT_CALLER_SAMPLES = 6, // the samples belong to the caller, not the song
};

// Load modes a song understands besides the sample mode bits.
enum : uint32_t {
    HVMUSIC_MODE_LOOP_OFF = 1, // the song ends after its last order
    HVMUSIC_MODE_LOOP_ON = 2,  // the song starts over after its last order
};

constexpr int HVMUSIC_NAME_BYTES = 256;
constexpr int HVMUSIC_ROWS = 64;         // rows of every pattern
constexpr int HVMUSIC_MAX_CHANNELS = 64; // default pan slots of a song
constexpr int HVMUSIC_QUEUE_LENGTH = 256;
constexpr int HVMUSIC_INSTRUMENT_CALLBACKS = 256;
constexpr int HVMUSIC_MAX_VOLUME = 64;
constexpr int HVMUSIC_MASTER_VOLUME_MAX = 256;
// Init flag 0x80: timed callbacks are not queued for their time, and songs
// keep no position ring. A call that falls due while a song plays (in a mix
// cycle, at one of its ticks) is made at the end of that cycle, once the
// block is mixed and the cycle's locks are let go; one that falls due outside
// a mix cycle is made at once.
constexpr uint32_t HVMUSIC_INIT_IMMEDIATE_CALLBACKS = 0x80;

typedef void (*HVMUSIC_CALLBACK_FUNCTION)(HVMUSIC_SONG* song, int parameter);
typedef void (*HVMUSIC_OPENDONE)(HVMUSIC_SONG* song, int result);

// A timed callback: its function, how often it fires (row and order
// callbacks fire when the counter is a multiple of `every`) and a ring of
// entries waiting for their time.
struct HVMUSIC_CALLBACK_ENTRY {
    int64_t time; // samples of the song clock; negative once fired
    uint8_t parameter;
};
struct HVMUSIC_CALLBACK {
    HVMUSIC_CALLBACK_FUNCTION function;
    int every;
    HVMUSIC_CALLBACK_ENTRY* queue; // HVMUSIC_QUEUE_LENGTH entries, made when first needed
    int writeIndex;
    int readIndex;
};

// Update flags of a voice: what the next apply sends to its engine channel.
enum : uint32_t {
    HVMUSIC_VOICE_FREQUENCY = 0x1,
    HVMUSIC_VOICE_VOLUME = 0x2,
    HVMUSIC_VOICE_PAN = 0x4,
    HVMUSIC_VOICE_START = 0x8,
    HVMUSIC_VOICE_STOP = 0x20,
};

// What a module channel sounds through: one engine channel at a time.
struct HVMUSIC_VOICE {
    int channel; // engine channel handle, -1 none
    HVSOUND_SAMPLE* sample;
    int volume; // 0..64
    int volumeDelta;
    int period;
    int periodDelta;
    int pan; // 0..255
    uint32_t flags;
    int startOffset; // samples into the sample where a start begins
};

// One unpacked pattern cell: note (0 none, 255 cut, else octave x 12 +
// semitone + 1), instrument (1-based, 0 none), volume (stored value + 1, 0
// none), effect (1 = A .. 26 = Z, 0 none) and its parameter.
struct HVMUSIC_CELL {
    uint8_t note;
    uint8_t instrument;
    uint8_t volume;
    uint8_t effect;
    uint8_t parameter;
};
constexpr uint8_t HVMUSIC_NOTE_NONE = 0;
constexpr uint8_t HVMUSIC_NOTE_CUT = 255;

struct HVMUSIC_PATTERN {
    int rows;
    HVMUSIC_CELL* cells; // rows x the song's channel count; null for an empty pattern
};

// The play state of one module channel.
struct HVMUSIC_CHANNEL_STATE {
    HVMUSIC_VOICE voice;
    bool hasVoice;
    int instrument;
    int note;
    int targetPeriod; // where a tone portamento heads
    int pan;          // the channel's pan; starts as the song's default pan
    int secondDefault;
    uint8_t effect;     // this row's effect and parameter
    uint8_t parameter;
    uint8_t lastEffect; // the previous row's effect
    // Remembered parameters.
    uint8_t volumeSlide;
    uint8_t portamento;
    uint8_t portamentoSpeed;
    uint8_t vibratoSpeed;
    uint8_t vibratoDepth;
    uint8_t tremoloSpeed;
    uint8_t tremoloDepth;
    uint8_t arpeggio;
    uint8_t retriggerMode;
    uint8_t retriggerInterval;
    uint8_t tremorOn;
    uint8_t tremorOff;
    int tremorCounter;
    int vibratoPosition; // -32 .. 31
    int tremoloPosition;
    uint8_t waveControl; // vibrato waveform low nibble, tremolo high nibble
    int loopRow;
    int loopCount;
    HVMUSIC_CELL delayed; // the cell a note delay plays later in the row
};

struct HVMUSIC_SONG {
    HVMUSIC_SONG* next; // the engine's song list
    HVMUSIC_SONG* prev;
    // Not in the DSP chain: only its channel list is used, which holds the
    // engine channels the song plays on; the songs unit mixes it.
    HVSOUND_DSPUNIT unit;
    int format;
    char name[HVMUSIC_NAME_BYTES];
    HVSOUND_SAMPLE** samples;
    int sampleCount;
    HVMUSIC_CHANNEL_STATE* channels;
    int channelCount;
    HVMUSIC_PATTERN* patterns;
    int patternCount;
    uint8_t* orders;
    int orderCount;
    int defaultSpeed; // ticks per row at start
    int defaultTempo; // BPM at start
    uint8_t initialGlobalVolume;
    uint8_t defaultPan[HVMUSIC_MAX_CHANNELS];
    uint8_t defaultSecond[HVMUSIC_MAX_CHANNELS];
    int globalVolume;
    int masterVolume; // 0..256
    float speedFactor;
    int samplesPerTick;
    int bpm;
    int order;
    int row;
    int tick;
    int speed;
    int patternDelay;
    int nextOrder; // -1 none pending
    int nextRow;
    int restartOrder;
    bool fastVolumeSlides;
    int samplesLeftInTick;
    // A voice quieter than the threshold is stopped while more channels play
    // than the limit; both 0 (never) unless a loader sets them.
    int quietThreshold;
    int channelLimit;
    float panSeparation;
    bool (*playStart)(HVMUSIC_SONG* song);
    void (*tickHook)(HVMUSIC_SONG* song);
    uint16_t* positionRing; // {order, row, clock} per block of the mix ring
    int positionBlocks;
    int positionIndex;
    HVMUSIC_CALLBACK rowCallback;
    HVMUSIC_CALLBACK orderCallback;
    HVMUSIC_CALLBACK zxxCallback;
    HVMUSIC_CALLBACK instrumentCallbacks[HVMUSIC_INSTRUMENT_CALLBACKS];
    // The song clock: samples of the mix rate played since the song started,
    // counted whole so that a row's block is exact at every rate.
    int64_t elapsedSamples;
    int timeOrigin;  // the mixer's block when the song started
    int engineChannels;
    bool paused;
    bool playing;
    bool finished;
    bool looping;
    std::atomic<bool> valid;
    // A non-blocking open: what to load and how it went.
    HVSOUND_ASYNCENTRY queueEntry;
    char openName[HVMUSIC_NAME_BYTES];
    const void* openData;
    uint32_t openMode;
    int openOffset;
    int openLength;
    int* openSampleList;
    int openSampleCount;
    std::atomic<bool> done;
    std::atomic<bool> ready;
    std::atomic<bool> openFailed;
    HVMUSIC_OPENDONE openDone;
    // Who still has a freed song: its free, the loader opening it, a
    // callback of it running on the mixer thread. The last to let go frees
    // it.
    std::atomic<int> holds;
};

HVMUSIC_SONG* HVMUSIC_LoadSong(const char* name);
// Loads a module from a file, or with mode 0x8000 from the memory block
// `nameOrData`; a positive offset and length read only that window. With
// mode 0x1000000 the song comes back at once and the open queue loads it.
HVMUSIC_SONG* HVMUSIC_LoadSongEx(const void* nameOrData, int offset, int length, uint32_t mode,
                                 const int* sampleList, int sampleCount);
// Frees a song. A song the loader is opening now is waited for: the free
// returns once the open, its file callbacks and its open-done callback, is
// over, and nothing of the open reads the song or the data it was given
// after that. Where that wait might never end (on one of the engine's
// threads; on the thread that opens the song, in a file callback or the
// open-done callback of its own open; inside one of the engine's locks; in a
// file callback of any load) the song stops and leaves the song list at
// once, goes once the open has returned, and gets no open-done call. A song whose callback runs
// now on the mixer thread goes once that callback has returned.
bool HVMUSIC_FreeSong(HVMUSIC_SONG* song);
bool HVMUSIC_PlaySong(HVMUSIC_SONG* song);
bool HVMUSIC_StopSong(HVMUSIC_SONG* song);
void HVMUSIC_StopAllSongs();
bool HVMUSIC_SetPaused(HVMUSIC_SONG* song, bool paused);
bool HVMUSIC_GetPaused(HVMUSIC_SONG* song);
bool HVMUSIC_SetMasterVolume(HVMUSIC_SONG* song, int volume);
bool HVMUSIC_IsPlaying(HVMUSIC_SONG* song);
int HVMUSIC_SetLooping(HVMUSIC_SONG* song, bool looping);
// The tempo rule: samples per tick = mix rate / (BPM x 0.4 x speed factor).
bool HVMUSIC_SetBPM(HVMUSIC_SONG* song, int bpm);

// The C2 frequency of a finetune value (8..15 are -8..-1); 8363 outside 0..15.
int HVMUSIC_C2Frequency(int finetune);

// The songs unit of the DSP chain: advances every playing song tick by tick
// and mixes its channels into the block.
void* HVMUSIC_MixSongs(void* blockStart, void* buffer, int length, void* parameter);
// Engine start: every loaded song's tempo again, for the new mix rate.
void HVMUSIC_ApplyTempoToAll();
// Clears every reference a loaded song holds to the sample.
void HVMUSIC_ForgetSample(HVSOUND_SAMPLE* sample);
// Runs a queued non-blocking load on the open queue's thread.
void HVMUSIC_LoadQueued(HVMUSIC_SONG* song);

// Music channels. Starts `voice`'s sample on an engine channel of the song:
// the voice's own channel while the song still owns it, else a free one.
// Returns false when no channel could be had.
bool HVMUSIC_Channel_Start(HVMUSIC_SONG* song, HVMUSIC_VOICE* voice);
// The engine channel record of a voice while the song still owns it.
HVSOUND_CHANNEL* HVMUSIC_Channel_Of(HVMUSIC_SONG* song, const HVMUSIC_VOICE* voice);
// Row, order, Zxx and instrument callbacks: queued for their time, which
// the songs unit collects at the start of a block and the mix cycle calls at
// its end; with init flag 0x80 not queued but called at the end of the mix
// cycle (at once outside one).
void HVMUSIC_Callback_Fire(HVMUSIC_SONG* song, HVMUSIC_CALLBACK* callback, int parameter);
// Fires a row or order callback when `counter` is a multiple of its `every`.
void HVMUSIC_Callback_FireEvery(HVMUSIC_SONG* song, HVMUSIC_CALLBACK* callback, int counter);
