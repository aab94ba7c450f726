// S3mWriter.cpp: header, order list, one instrument with its sample, and the
// packed patterns, each block placed on a 16-byte paragraph as the format's
// pointers count in paragraphs.
#include "tools/S3mWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tools {

namespace {

constexpr int kRowsPerPattern = 64;
constexpr uint8_t kNoteCut = 254;
constexpr uint8_t kOrderEnd = 255;
constexpr int kMaxVolume = 64;
// Event flags of a packed row: note and instrument follow, volume follows.
constexpr uint8_t kNoteAndInstrument = 0x20;
constexpr uint8_t kVolumeFollows = 0x40;

void put16(std::vector<uint8_t>& out, size_t at, unsigned value)
{
    out[at] = uint8_t(value);
    out[at + 1] = uint8_t(value >> 8);
}

void put32(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

// Pads to the next paragraph and answers its number.
unsigned paragraph(std::vector<uint8_t>& out)
{
    out.resize((out.size() + 15) / 16 * 16, 0);
    return unsigned(out.size() / 16);
}

// One row's event on channel 0: a note with the instrument and a volume, a
// cut, or nothing.
struct RowEvent {
    uint8_t note = 0;
    uint8_t volume = 0;
    bool present = false;
};

} // namespace

uint8_t S3mWriter::noteOf(double hertz)
{
    const double middleC = double(C4_RATE) / PERIOD_SAMPLES;
    int n = 4 * 12 + int(std::lround(12.0 * std::log2(std::max(hertz, 1.0) / middleC)));
    n = std::clamp(n, 0, 8 * 12 - 1);
    return uint8_t(((n / 12) << 4) | (n % 12));
}

std::vector<uint8_t> S3mWriter::module(const std::string& title, const std::vector<Note>& melody)
{
    // The melody as rows: a note where it starts, a cut where a rest does.
    std::vector<RowEvent> rows;
    for (const Note& note : melody) {
        const int count = std::max(1, int(std::lround(double(note.ms) / ROW_MS)));
        RowEvent first;
        first.present = true;
        if (note.hertz > 0) {
            first.note = noteOf(note.hertz);
            first.volume = uint8_t(std::clamp(int(std::lround(note.level * 4.0 * kMaxVolume)), 1, kMaxVolume));
        } else {
            first.note = kNoteCut;
        }
        rows.push_back(first);
        rows.resize(rows.size() + size_t(count - 1));
    }
    const int patterns = std::max(1, int((rows.size() + kRowsPerPattern - 1) / kRowsPerPattern));
    rows.resize(size_t(patterns * kRowsPerPattern));
    // The order list has an even length; an odd one ends with an end marker.
    const int orders = patterns + (patterns % 2);

    std::vector<uint8_t> out(0x60, 0);
    std::memcpy(out.data(), title.data(), std::min<size_t>(title.size(), 27));
    out[0x1C] = 0x1A;
    out[0x1D] = 16; // a module of this tracker's kind
    put16(out, 0x20, unsigned(orders));
    put16(out, 0x22, 1);
    put16(out, 0x24, unsigned(patterns));
    put16(out, 0x28, 0x1320); // the tracker version the file claims
    put16(out, 0x2A, 2);      // samples stored unsigned
    std::memcpy(out.data() + 0x2C, "SCRM", 4);
    out[0x30] = kMaxVolume;   // global volume
    out[0x31] = SPEED;
    out[0x32] = TEMPO;
    out[0x33] = 48; // master volume, mono (no stereo flag): the channel sits in the middle
    std::fill(out.begin() + 0x40, out.begin() + 0x60, uint8_t(255));
    out[0x40] = 0; // channel 0 plays
    for (int i = 0; i < orders; ++i)
        out.push_back(i < patterns ? uint8_t(i) : kOrderEnd);
    const size_t instrumentPointer = out.size();
    out.resize(out.size() + 2 + 2 * size_t(patterns), 0);

    // The instrument record, then its sample.
    put16(out, instrumentPointer, paragraph(out));
    const size_t instrument = out.size();
    out.resize(out.size() + 0x50, 0);
    out[instrument] = 1; // a sampled instrument
    std::memcpy(out.data() + instrument + 1, "sine.raw", 8);
    put32(out, instrument + 0x10, PERIOD_SAMPLES);
    put32(out, instrument + 0x14, 0);
    put32(out, instrument + 0x18, PERIOD_SAMPLES);
    out[instrument + 0x1C] = kMaxVolume;
    out[instrument + 0x1F] = 1; // looped
    put32(out, instrument + 0x20, C4_RATE);
    std::memcpy(out.data() + instrument + 0x30, "sine", 4);
    std::memcpy(out.data() + instrument + 0x4C, "SCRS", 4);
    const unsigned sample = paragraph(out);
    out[instrument + 0x0D] = uint8_t(sample >> 16);
    put16(out, instrument + 0x0E, sample & 0xFFFF);
    for (int i = 0; i < PERIOD_SAMPLES; ++i)
        out.push_back(uint8_t(128 + std::lround(100.0 * std::sin(2.0 * M_PI * i / PERIOD_SAMPLES))));

    for (int p = 0; p < patterns; ++p) {
        put16(out, instrumentPointer + 2 + 2 * size_t(p), paragraph(out));
        const size_t start = out.size();
        out.resize(out.size() + 2, 0);
        for (int r = 0; r < kRowsPerPattern; ++r) {
            const RowEvent& e = rows[size_t(p * kRowsPerPattern + r)];
            if (e.present && e.note == kNoteCut) {
                out.insert(out.end(), {kNoteAndInstrument, kNoteCut, 0});
            } else if (e.present) {
                out.insert(out.end(), {uint8_t(kNoteAndInstrument | kVolumeFollows), e.note, 1, e.volume});
            }
            out.push_back(0); // the row's end
        }
        put16(out, start, unsigned(out.size() - start));
    }
    paragraph(out);
    return out;
}

} // namespace tools
