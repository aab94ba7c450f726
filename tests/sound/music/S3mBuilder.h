// S3mBuilder.h: writes S3M modules in memory for the music tests: header,
// orders, instruments with their sample data and packed patterns, laid out
// on 16-byte paragraphs as the format's parapointers require, and the hooks
// to damage them.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace s3mtest {

// Stored note bytes: octave in the high nibble, semitone in the low one.
constexpr uint8_t note(int octave, int semitone)
{
    return uint8_t(octave << 4 | semitone);
}
constexpr uint8_t kC4 = note(4, 0);
constexpr uint8_t kCut = 254;
constexpr int kNone = -1;

// Effect letters as the cells store them.
constexpr uint8_t fx(char letter)
{
    return uint8_t(letter - 'A' + 1);
}

struct Entry {
    int channel;
    int note = kNone;       // stored note byte, with the instrument
    int instrument = 0;     // 1-based
    int volume = kNone;     // 0..64
    int effect = kNone;     // 1 = A ..
    int parameter = 0;
};

struct Instrument {
    std::vector<uint8_t> data; // stored bytes (unsigned 8-bit, or 16-bit little-endian)
    int type = 1;
    int volume = 64;
    int c2 = 8363;
    uint32_t length = 0; // in samples; 0 = from the data
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
    int flags = 0; // 1 loop, 4 16-bit
    int segmentHigh = 0;
    std::string name;
};

class S3mBuilder {
public:
    S3mBuilder()
    {
        // Channels 0..3 on: left, right, left, right.
        for (int i = 0; i < 32; ++i)
            m_settings[i] = i < 4 ? uint8_t(i % 2 ? 8 + i : i) : 255;
    }

    S3mBuilder& speed(int v) { return set(m_speed, v); }
    S3mBuilder& tempo(int v) { return set(m_tempo, v); }
    S3mBuilder& globalVolume(int v) { return set(m_globalVolume, v); }
    S3mBuilder& stereo(bool v) { return set(m_stereo, v); }
    S3mBuilder& flags(int v) { return set(m_flags, v); }
    S3mBuilder& version(int v) { return set(m_version, v); }
    S3mBuilder& signedSamples(bool v) { return set(m_signed, v); }
    S3mBuilder& orders(std::vector<uint8_t> v) { return set(m_orders, std::move(v)); }
    S3mBuilder& channelSetting(int slot, uint8_t v)
    {
        m_settings[slot] = v;
        return *this;
    }
    // The 32 default-pan bytes after the parapointers (flag 0xFC).
    S3mBuilder& panTable(std::vector<uint8_t> v)
    {
        v.resize(32, 0);
        return set(m_pans, std::move(v));
    }
    // Stored patterns beyond those the cells name (empty ones).
    S3mBuilder& patternCount(int v) { return set(m_patternCount, v); }

    // An instrument; returns its 1-based number.
    int instrument(Instrument i)
    {
        m_instruments.push_back(std::move(i));
        return int(m_instruments.size());
    }
    // An 8-bit looping instrument of `length` samples, all `value` (unsigned).
    int constantInstrument(int length = 1000, uint8_t value = 0xC0, int c2 = 8363, int volume = 64)
    {
        Instrument i;
        i.data.assign(size_t(length), value);
        i.c2 = c2;
        i.volume = volume;
        i.flags = 1;
        i.loopStart = 0;
        i.loopEnd = uint32_t(length);
        return instrument(i);
    }

    S3mBuilder& cell(int pattern, int row, Entry e)
    {
        m_cells[pattern][row].push_back(e);
        return *this;
    }
    // A note with its instrument (and optionally an effect) on one channel.
    S3mBuilder& note(int pattern, int row, int channel, int noteByte, int instrument, int effect = kNone,
                     int parameter = 0, int volume = kNone)
    {
        Entry e;
        e.channel = channel;
        e.note = noteByte;
        e.instrument = instrument;
        e.effect = effect;
        e.parameter = parameter;
        e.volume = volume;
        return cell(pattern, row, e);
    }
    S3mBuilder& effect(int pattern, int row, int channel, int effect, int parameter)
    {
        Entry e;
        e.channel = channel;
        e.effect = effect;
        e.parameter = parameter;
        return cell(pattern, row, e);
    }
    // Stores a pattern's packed length as `bytes` (the length word's own two
    // bytes included) instead of its real size.
    S3mBuilder& packedLength(int pattern, int bytes)
    {
        m_lengths[pattern] = bytes;
        return *this;
    }

    std::vector<uint8_t> build() const
    {
        int patterns = m_patternCount;
        for (const auto& p : m_cells)
            patterns = p.first + 1 > patterns ? p.first + 1 : patterns;
        std::vector<uint8_t> out(96, 0);
        std::memcpy(out.data(), "Test module", 11);
        out[28] = 0x1A;
        out[29] = 16;
        put16(out, 32, uint16_t(m_orders.size()));
        put16(out, 34, uint16_t(m_instruments.size()));
        put16(out, 36, uint16_t(patterns));
        put16(out, 38, uint16_t(m_flags));
        put16(out, 40, uint16_t(m_version));
        put16(out, 42, m_signed ? 1 : 2);
        std::memcpy(out.data() + 44, "SCRM", 4);
        out[48] = uint8_t(m_globalVolume);
        out[49] = uint8_t(m_speed);
        out[50] = uint8_t(m_tempo);
        out[51] = uint8_t(m_stereo ? 0xB0 : 0x30);
        out[53] = m_pans.empty() ? 0 : 0xFC;
        std::memcpy(out.data() + 64, m_settings, 32);
        out.insert(out.end(), m_orders.begin(), m_orders.end());
        size_t instrumentPointers = out.size();
        out.resize(out.size() + 2 * m_instruments.size(), 0);
        size_t patternPointers = out.size();
        out.resize(out.size() + 2 * size_t(patterns), 0);
        out.insert(out.end(), m_pans.begin(), m_pans.end());

        for (size_t i = 0; i < m_instruments.size(); ++i) {
            const Instrument& ins = m_instruments[i];
            align(out);
            put16(out, instrumentPointers + 2 * i, uint16_t(out.size() / 16));
            size_t header = out.size();
            out.resize(header + 80, 0);
            out[header] = uint8_t(ins.type);
            int width = (ins.flags & 4) ? 2 : 1;
            uint32_t length = ins.length ? ins.length : uint32_t(ins.data.size() / size_t(width));
            put32(out, header + 16, length);
            put32(out, header + 20, ins.loopStart);
            put32(out, header + 24, ins.loopEnd);
            out[header + 28] = uint8_t(ins.volume);
            out[header + 31] = uint8_t(ins.flags);
            put32(out, header + 32, uint32_t(ins.c2));
            std::memcpy(out.data() + header + 48, ins.name.data(), ins.name.size() < 28 ? ins.name.size() : 28);
            std::memcpy(out.data() + header + 76, "SCRS", 4);
            align(out);
            size_t data = out.size() + size_t(ins.segmentHigh) * 0x100000;
            out.resize(data, 0);
            out[header + 13] = uint8_t(ins.segmentHigh);
            put16(out, header + 14, uint16_t((data / 16) & 0xFFFF));
            out.insert(out.end(), ins.data.begin(), ins.data.end());
        }

        for (int p = 0; p < patterns; ++p) {
            auto found = m_cells.find(p);
            if (found == m_cells.end())
                continue;
            align(out);
            put16(out, patternPointers + 2 * size_t(p), uint16_t(out.size() / 16));
            std::vector<uint8_t> packed;
            for (int row = 0; row < 64; ++row) {
                auto r = found->second.find(row);
                if (r != found->second.end()) {
                    for (const Entry& e : r->second)
                        pack(packed, e);
                }
                packed.push_back(0);
            }
            auto declared = m_lengths.find(p);
            // The stored length counts its own two bytes.
            put16v(out, uint16_t(declared != m_lengths.end() ? declared->second : int(packed.size()) + 2));
            out.insert(out.end(), packed.begin(), packed.end());
        }
        return out;
    }

private:
    template <class T, class V>
    S3mBuilder& set(T& field, V&& value)
    {
        field = std::forward<V>(value);
        return *this;
    }

    static void put16(std::vector<uint8_t>& out, size_t at, uint16_t v)
    {
        out[at] = uint8_t(v);
        out[at + 1] = uint8_t(v >> 8);
    }
    static void put32(std::vector<uint8_t>& out, size_t at, uint32_t v)
    {
        put16(out, at, uint16_t(v));
        put16(out, at + 2, uint16_t(v >> 16));
    }
    static void put16v(std::vector<uint8_t>& out, uint16_t v)
    {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    }
    static void align(std::vector<uint8_t>& out) { out.resize((out.size() + 15) / 16 * 16, 0); }

    static void pack(std::vector<uint8_t>& out, const Entry& e)
    {
        uint8_t what = uint8_t(e.channel & 31);
        if (e.note != kNone || e.instrument)
            what |= 0x20;
        if (e.volume != kNone)
            what |= 0x40;
        if (e.effect != kNone)
            what |= 0x80;
        out.push_back(what);
        if (what & 0x20) {
            out.push_back(uint8_t(e.note == kNone ? 255 : e.note));
            out.push_back(uint8_t(e.instrument));
        }
        if (what & 0x40)
            out.push_back(uint8_t(e.volume));
        if (what & 0x80) {
            out.push_back(uint8_t(e.effect));
            out.push_back(uint8_t(e.parameter));
        }
    }

    int m_speed = 6;
    int m_tempo = 125;
    int m_globalVolume = 64;
    bool m_stereo = true;
    int m_flags = 0;
    int m_version = 0x1320;
    bool m_signed = false;
    uint8_t m_settings[32];
    std::vector<uint8_t> m_orders{0};
    std::vector<uint8_t> m_pans;
    int m_patternCount = 0;
    std::vector<Instrument> m_instruments;
    std::map<int, std::map<int, std::vector<Entry>>> m_cells;
    std::map<int, int> m_lengths;
};

} // namespace s3mtest
