// MusicTestSupport.h: a fixture that runs the sound engine update-driven at
// 22,050 Hz, loads modules built in memory, steps a song tick by tick and
// reads what each module channel's voice and engine channel hold.
#pragma once

#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/mixer_fpui.h"
#include "sound/music/hvmusic.h"
#include "sound/music/music_formats3m.h"
#include "tests/sound/core/SoundTestSupport.h"
#include "tests/sound/music/S3mBuilder.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#ifndef HV_TEST_DATA_DIR
#define HV_TEST_DATA_DIR ""
#endif

namespace musictest {

constexpr int kRate = 22050;
constexpr int kClock = 14317056;

// Where the test command unpacks the reference modules (pachi-data).
inline std::filesystem::path moduleDir()
{
    return std::filesystem::path(HV_TEST_DATA_DIR) / "pachi-data" / "usr" / "share" / "pachi" / "music";
}

// The whole file in one read (empty when it cannot be read): the reference
// renderings run to tens of megabytes, too many to take a byte at a time in
// a sanitizer build.
inline std::vector<uint8_t> readFile(const std::filesystem::path& path)
{
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

// What one module channel sounds like after a tick.
struct Heard {
    int period;    // voice period + delta
    int volume;    // voice volume + delta, 0..64
    int frequency; // of the engine channel, 0 when it has none
    int engineVolume;
    int pan;
    bool playing;
};

class MusicFixture : public soundtest::SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        start(32);
    }

    void TearDown() override
    {
        for (HVMUSIC_SONG* song : m_songs)
            HVMUSIC_FreeSong(song);
        m_songs.clear();
        SoundFixture::TearDown();
    }

    // Loads a module from memory; the song is freed after the test.
    HVMUSIC_SONG* load(const std::vector<uint8_t>& bytes, uint32_t mode = 0)
    {
        m_data.push_back(std::make_unique<std::vector<uint8_t>>(bytes));
        const std::vector<uint8_t>& kept = *m_data.back();
        HVMUSIC_SONG* song = HVMUSIC_LoadSongEx(kept.data(), 0, int(kept.size()), HVSOUND_MODE_LOADMEMORY | mode,
                                                nullptr, 0);
        if (song)
            m_songs.push_back(song);
        return song;
    }

    HVMUSIC_SONG* play(const s3mtest::S3mBuilder& builder, uint32_t mode = 0)
    {
        HVMUSIC_SONG* song = load(builder.build(), mode);
        EXPECT_NE(song, nullptr) << "error " << HVSOUND_GetError();
        if (song) {
            EXPECT_TRUE(HVMUSIC_PlaySong(song));
        }
        return song;
    }

    void forget(HVMUSIC_SONG* song)
    {
        for (size_t i = 0; i < m_songs.size(); ++i) {
            if (m_songs[i] == song)
                m_songs.erase(m_songs.begin() + long(i));
        }
    }

    static Heard heard(HVMUSIC_SONG* song, int channel)
    {
        const HVMUSIC_VOICE& v = song->channels[channel].voice;
        HVSOUND_CHANNEL* c = HVMUSIC_Channel_Of(song, &v);
        int volume = v.volume + v.volumeDelta;
        return Heard{v.period + v.periodDelta, volume < 0 ? 0 : volume > 64 ? 64 : volume, c ? c->frequency : 0,
                     c ? c->volume : 0, c ? c->pan : -1, c && c->currentSample != nullptr};
    }

    // Runs `count` ticks of the song's player (no mixing) and records one
    // channel after each.
    static std::vector<Heard> ticks(HVMUSIC_SONG* song, int count, int channel = 0)
    {
        std::vector<Heard> out;
        for (int i = 0; i < count; ++i) {
            song->tickHook(song);
            out.push_back(heard(song, channel));
        }
        return out;
    }

    static std::vector<int> periods(const std::vector<Heard>& trace)
    {
        std::vector<int> out;
        for (const Heard& h : trace)
            out.push_back(h.period);
        return out;
    }

    static std::vector<int> volumes(const std::vector<Heard>& trace)
    {
        std::vector<int> out;
        for (const Heard& h : trace)
            out.push_back(h.volume);
        return out;
    }

    // The row played by each of `count` ticks.
    static std::vector<int> rows(HVMUSIC_SONG* song, int count)
    {
        std::vector<int> out;
        for (int i = 0; i < count; ++i) {
            song->tickHook(song);
            out.push_back(song->order * 100 + song->row);
        }
        return out;
    }

    std::vector<HVMUSIC_SONG*> m_songs;
    std::vector<std::unique_ptr<std::vector<uint8_t>>> m_data;
};

} // namespace musictest
