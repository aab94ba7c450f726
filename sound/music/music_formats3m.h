// music_formats3m.h: the S3M module format: the loader that fills a song
// record from a file, and the player the songs unit runs once per tick.
#pragma once

#include <cstdint>

struct HVMUSIC_SONG;
struct HVSOUND_FILE;

// Effect numbers of the S3M cells (1 = A .. 26 = Z).
enum : uint8_t {
    HVSOUND_S3M_FX_SPEED = 1,           // A
    HVSOUND_S3M_FX_JUMP = 2,            // B
    HVSOUND_S3M_FX_BREAK = 3,           // C
    HVSOUND_S3M_FX_VOLUMESLIDE = 4,     // D
    HVSOUND_S3M_FX_PORTADOWN = 5,       // E
    HVSOUND_S3M_FX_PORTAUP = 6,         // F
    HVSOUND_S3M_FX_TONEPORTA = 7,       // G
    HVSOUND_S3M_FX_VIBRATO = 8,         // H
    HVSOUND_S3M_FX_TREMOR = 9,          // I
    HVSOUND_S3M_FX_ARPEGGIO = 10,       // J
    HVSOUND_S3M_FX_VIBRATOSLIDE = 11,   // K
    HVSOUND_S3M_FX_TONEPORTASLIDE = 12, // L
    HVSOUND_S3M_FX_OFFSET = 15,         // O
    HVSOUND_S3M_FX_RETRIGGER = 17,      // Q
    HVSOUND_S3M_FX_TREMOLO = 18,        // R
    HVSOUND_S3M_FX_SPECIAL = 19,        // S
    HVSOUND_S3M_FX_TEMPO = 20,          // T
    HVSOUND_S3M_FX_FINEVIBRATO = 21,    // U
    HVSOUND_S3M_FX_GLOBALVOLUME = 22,   // V
    HVSOUND_S3M_FX_PAN = 24,            // X
    HVSOUND_S3M_FX_CALLBACK = 26,       // Z
};

// Order values that are markers, not patterns.
constexpr uint8_t HVSOUND_S3M_ORDER_SKIP = 254;
constexpr uint8_t HVSOUND_S3M_ORDER_END = 255;
// The value a jump's target takes when it lies past the song's last order.
constexpr uint8_t HVSOUND_S3M_JUMP_PAST_END = 255;
constexpr int HVSOUND_S3M_PERIODS = 132;
// Frequency in Hz = this / period.
constexpr int HVSOUND_S3M_CLOCK = 14317056;

// Fills `song` from an S3M file: error 10 when "SCRM" is missing, 11 when
// the orders or parapointers are cut short or no order plays a pattern, 12
// when memory runs out.
bool HVSOUND_S3M_Load(HVMUSIC_SONG* song, HVSOUND_FILE* file);

// The song's tick hook: row player on tick 0, tick player on the others.
void HVSOUND_S3M_Update(HVMUSIC_SONG* song);

// Entry `index` (0..131) of the period table, 0 outside it.
int HVSOUND_S3M_Period(int index);
