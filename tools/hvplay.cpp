// hvplay: loads a sound file whole through the sound engine's readers (MPEG
// audio, WAV, Ogg Vorbis) and plays it through an output driver until it
// ends, so that anyone can hear what the readers produce. The decoded PCM
// can also be written out as a WAV file. An S3M module is played by the
// music player instead; its WAV file is the engine's mix of it.
//   --output winmm|dsound|none   the output driver (waveOut by default)
//   --wav <file>                 also write the decoded sample (or mixed module) as a WAV file
//   --no-play                    decode (and write) only
//   --seconds N                  stop a module after N seconds
#include "platform/kernel/Kernel.h"
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/mixer_fpui.h"
#include "sound/mixer/sound_software.h"
#include "sound/music/hvmusic.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: hvplay [--output winmm|dsound|none] [--wav <out.wav>] [--no-play] [--seconds N] <sound file>\n");
    return 2;
}

void put(std::FILE* f, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        std::fputc(int(v >> (8 * i)) & 0xFF, f);
}

void putHeader(std::FILE* f, int channels, int width, int rate, uint32_t bytes)
{
    std::fwrite("RIFF", 1, 4, f);
    put(f, 36 + bytes, 4);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put(f, 16, 4);
    put(f, 1, 2);
    put(f, uint32_t(channels), 2);
    put(f, uint32_t(rate), 4);
    put(f, uint32_t(rate * channels * width), 4);
    put(f, uint32_t(channels * width), 2);
    put(f, uint32_t(width * 8), 2);
    std::fwrite("data", 1, 4, f);
    put(f, bytes, 4);
}

bool writeWav(const char* path, HVSOUND_SAMPLE* s)
{
    int channels = (s->mode & HVSOUND_MODE_STEREO) ? 2 : 1;
    int width = (s->mode & HVSOUND_MODE_16BITS) ? 2 : 1;
    uint32_t bytes = uint32_t(s->length) * uint32_t(channels * width);
    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    putHeader(f, channels, width, s->frequency, bytes);
    if (width == 2) {
        std::fwrite(s->data, 1, bytes, f);
    } else {
        // The sample holds 8-bit data signed; WAV wants it unsigned.
        for (uint32_t i = 0; i < bytes; ++i)
            std::fputc(s->data[i] ^ 0x80, f);
    }
    bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

// Modules: the music player mixes them at this rate.
constexpr int kModuleRate = 22050;
// A module that starts over forever is cut here unless --seconds says more.
constexpr double kModuleSeconds = 600.0;

bool isModule(const char* name)
{
    size_t n = std::strlen(name);
    return n > 4 && strcasecmp(name + n - 4, ".s3m") == 0;
}

// Keeps every mixed block, converted by the mixer's own output routine.
void* keepBlock(void*, void* buffer, int length, void* parameter)
{
    auto* out = static_cast<std::vector<int16_t>*>(parameter);
    std::vector<uint32_t> words(static_cast<size_t>(length));
    HVSOUND_Software_Mixer()->output(words.data(), buffer, length);
    for (uint32_t w : words) {
        out->push_back(int16_t(uint16_t(w & 0xFFFF)));
        out->push_back(int16_t(uint16_t(w >> 16)));
    }
    return buffer;
}

// Starts the engine on `output` and loads the module (null after a message).
HVMUSIC_SONG* startModule(int output, const char* name)
{
    HVSOUND_SetOutput(output);
    if (!HVSOUND_Init(kModuleRate, 32, 0)) {
        std::fprintf(stderr, "hvplay: the sound engine did not start (error %d)\n", HVSOUND_GetError());
        return nullptr;
    }
    HVMUSIC_SONG* song = HVMUSIC_LoadSongEx(name, 0, 0, HVMUSIC_MODE_LOOP_OFF, nullptr, 0);
    if (!song) {
        std::fprintf(stderr, "hvplay: %s did not load (error %d)\n", name, HVSOUND_GetError());
        HVSOUND_Close();
    }
    return song;
}

// Mixes the module update by update, with no device, into a WAV file.
bool renderModule(const char* name, const char* wav, double seconds)
{
    HVMUSIC_SONG* song = startModule(HVSOUND_OUTPUT_NOSOUND_NONREALTIME, name);
    if (!song)
        return false;
    std::vector<int16_t> mixed;
    HVSOUND_DSPUNIT* unit = HVSOUND_DSP_Create(keepBlock, 5000, &mixed);
    HVSOUND_DSP_SetActive(unit, true);
    HVMUSIC_PlaySong(song);
    size_t limit = size_t(seconds * kModuleRate) * 2;
    while (HVMUSIC_IsPlaying(song) && mixed.size() < limit)
        HVSOUND_Update();
    HVMUSIC_FreeSong(song);
    HVSOUND_Close();
    std::FILE* f = std::fopen(wav, "wb");
    if (!f)
        return false;
    putHeader(f, 2, 2, kModuleRate, uint32_t(mixed.size() * 2));
    std::fwrite(mixed.data(), 2, mixed.size(), f);
    bool ok = std::ferror(f) == 0;
    std::fclose(f);
    std::printf("%s: %.3f s\n", wav, double(mixed.size() / 2) / kModuleRate);
    return ok;
}

bool playModule(const char* name, int output, double seconds)
{
    HVMUSIC_SONG* song = startModule(output, name);
    if (!song)
        return false;
    HVMUSIC_PlaySong(song);
    std::printf("%s: \"%s\", %d channels, %d orders\n", name, song->name, song->channelCount, song->orderCount);
    DWORD begin = GetTickCount();
    while (HVMUSIC_IsPlaying(song) && GetTickCount() - begin < DWORD(seconds * 1000)) {
        HVSOUND_Update();
        Sleep(20);
    }
    HVMUSIC_FreeSong(song);
    HVSOUND_Close();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int output = HVSOUND_OUTPUT_WINMM;
    const char* wav = nullptr;
    const char* name = nullptr;
    bool play = true;
    double seconds = 0.0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--output") == 0 && i + 1 < argc) {
            std::string o = argv[++i];
            output = o == "dsound" ? HVSOUND_OUTPUT_DSOUND : o == "none" ? HVSOUND_OUTPUT_NOSOUND : HVSOUND_OUTPUT_WINMM;
        } else if (std::strcmp(argv[i], "--wav") == 0 && i + 1 < argc) {
            wav = argv[++i];
        } else if (std::strcmp(argv[i], "--no-play") == 0) {
            play = false;
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (!name) {
            name = argv[i];
        } else {
            return usage();
        }
    }
    if (!name)
        return usage();
    if (isModule(name)) {
        double limit = seconds > 0 ? seconds : kModuleSeconds;
        bool ok = (!wav || renderModule(name, wav, limit)) && (!play || playModule(name, output, limit));
        return ok ? 0 : 1;
    }

    HVSOUND_SetOutput(play ? output : HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
    if (!HVSOUND_Init(44100, 32, 0)) {
        std::fprintf(stderr, "hvplay: the sound engine did not start (error %d)\n", HVSOUND_GetError());
        return 1;
    }
    HVSOUND_SAMPLE* sample = HVSOUND_Sample_Load(-1, name, HVSOUND_MODE_LOOP_OFF | HVSOUND_MODE_2D, 0, 0);
    if (!sample) {
        std::fprintf(stderr, "hvplay: %s did not load (error %d)\n", name, HVSOUND_GetError());
        HVSOUND_Close();
        return 1;
    }
    int channels = (sample->mode & HVSOUND_MODE_STEREO) ? 2 : 1;
    std::printf("%s: %d Hz, %d channel(s), %d-bit, %d samples, %.2f s\n", name, sample->frequency, channels,
                (sample->mode & HVSOUND_MODE_16BITS) ? 16 : 8, sample->length,
                double(sample->length) / sample->frequency);
    int result = 0;
    if (wav && !writeWav(wav, sample)) {
        std::fprintf(stderr, "hvplay: could not write %s\n", wav);
        result = 1;
    }
    if (play) {
        int channel = HVSOUND_PlaySound(-1, sample);
        if (channel < 0) {
            std::fprintf(stderr, "hvplay: the sample did not start (error %d)\n", HVSOUND_GetError());
            result = 1;
        }
        while (channel >= 0 && HVSOUND_IsPlaying(channel))
            Sleep(50);
    }
    HVSOUND_Sample_Free(sample);
    HVSOUND_Close();
    return result;
}
