// S3mWriter.h: a one-channel S3M module made from a melody: each note's
// pitch rounded to the nearest semitone and its length to whole rows, played
// on one looped sine instrument (the sample game's module music).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

class S3mWriter {
public:
    // A note of the melody; a rest has no pitch (hertz 0).
    struct Note {
        double hertz;
        int ms;
        double level; // 0..1
    };
    // A row lasts 100 ms: speed 6 at tempo 150 (2.5 s / 150 a tick).
    static constexpr int ROW_MS = 100;
    static constexpr int SPEED = 6;
    static constexpr int TEMPO = 150;
    // The instrument: one period of a sine in this many 8-bit samples, at a
    // rate that gives middle C (261.63 Hz) at note C-4.
    static constexpr int PERIOD_SAMPLES = 32;
    static constexpr int C4_RATE = 8372;

    // The module's bytes; the melody fills patterns of 64 rows in order.
    static std::vector<uint8_t> module(const std::string& title, const std::vector<Note>& melody);
    // The stored note byte (octave in the high nibble, semitone in the low)
    // nearest to `hertz`, within octaves 0 to 7.
    static uint8_t noteOf(double hertz);
};

} // namespace tools
