// SoundSketch.h: a short sound made from a text of one step a line, each
// appended after the last: tones, frequency sweeps, filtered noise and rests
// (the sample game's ambient sounds are drawn this way).
//   tone HZ MS LEVEL                a sine that fades out over its last half
//   sweep HZ0 HZ1 MS LEVEL          a sine gliding from HZ0 to HZ1, swelling
//                                   in and out
//   noise MS LEVEL SMOOTH [PERIOD]  white noise through a one-pole low-pass
//                                   (SMOOTH 0..1, smaller is darker), faded
//                                   in and out, swelling every PERIOD ms
//   rest MS                         silence
// LEVEL is 0..1 of full scale; ';' starts a comment.
#pragma once

#include "tools/S3mWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

class SoundSketch {
public:
    // Samples a second of every sketch.
    static constexpr int RATE = 22050;

    // Reads the sketch; false (with `error` saying which line) when a line
    // cannot be read.
    bool read(const std::string& text, std::string& error);
    // The sound so far as a 16-bit mono WAV.
    std::vector<uint8_t> wav() const;
    const std::vector<int16_t>& samples() const { return m_samples; }
    // The tones and rests as a melody; false when a sweep or noise (which
    // no melody holds) is among the steps.
    bool melody(std::vector<S3mWriter::Note>& notes) const;

private:
    void tone(double hertz, int ms, double level);
    void sweep(double from, double to, int ms, double level);
    void noise(int ms, double level, double smooth, int period);
    void rest(int ms);
    void add(double value);
    static int frames(int ms);

    std::vector<int16_t> m_samples;
    std::vector<S3mWriter::Note> m_melody;
    bool m_bMelodic = true;
    // The noise generator's state: every sketch sounds the same each build.
    uint32_t m_nNoise = 22222;
};

} // namespace tools
