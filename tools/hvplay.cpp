// hvplay: plays an S3M module through the sound engine on the system's sound
// output (DirectSound over SDL), or renders it to a WAV file with the engine
// mixing update by update and no device.
//   hvplay song.s3m                 play until the song ends (Ctrl-C stops)
//   --seconds N                     stop after N seconds
//   --render out.wav                write 22,050 Hz 16-bit stereo instead of playing
//   --waveout                       play through waveOut instead of DirectSound
#include "sound/core/hvsound.h"
#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/mixer_fpui.h"
#include "sound/mixer/sound_software.h"
#include "sound/music/hvmusic.h"

#include "platform/kernel/Kernel.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr int kChannels = 32;
// Beyond this a render stops even when the song loops forever.
constexpr double kDefaultRenderSeconds = 600.0;

struct Capture {
    std::vector<int16_t> samples;
};

void* captureBlock(void*, void* buffer, int length, void* parameter)
{
    auto* capture = static_cast<Capture*>(parameter);
    std::vector<uint32_t> words(static_cast<size_t>(length));
    HVSOUND_Software_Mixer()->output(words.data(), buffer, length);
    for (uint32_t w : words) {
        capture->samples.push_back(int16_t(uint16_t(w & 0xFFFF)));
        capture->samples.push_back(int16_t(uint16_t(w >> 16)));
    }
    return buffer;
}

void putLE(FILE* f, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        fputc(int((v >> (8 * i)) & 0xFF), f);
}

bool writeWav(const char* path, const std::vector<int16_t>& samples)
{
    FILE* f = fopen(path, "wb");
    if (!f)
        return false;
    uint32_t dataBytes = uint32_t(samples.size() * 2);
    fwrite("RIFF", 1, 4, f);
    putLE(f, 36 + dataBytes, 4);
    fwrite("WAVEfmt ", 1, 8, f);
    putLE(f, 16, 4);
    putLE(f, 1, 2);
    putLE(f, 2, 2);
    putLE(f, kRate, 4);
    putLE(f, kRate * 4, 4);
    putLE(f, 4, 2);
    putLE(f, 16, 2);
    fwrite("data", 1, 4, f);
    putLE(f, dataBytes, 4);
    for (int16_t s : samples)
        putLE(f, uint16_t(s), 2);
    return fclose(f) == 0;
}

// Starts the engine on `output` and loads the song (null after a message).
HVMUSIC_SONG* start(int output, const char* path)
{
    HVSOUND_SetOutput(output);
    if (!HVSOUND_Init(kRate, kChannels, 0)) {
        fprintf(stderr, "hvplay: the sound engine did not start (error %d)\n", HVSOUND_GetError());
        return nullptr;
    }
    HVMUSIC_SONG* song = HVMUSIC_LoadSongEx(path, 0, 0, HVMUSIC_MODE_LOOP_OFF, nullptr, 0);
    if (!song) {
        fprintf(stderr, "hvplay: %s did not load (error %d)\n", path, HVSOUND_GetError());
        HVSOUND_Close();
    }
    return song;
}

int render(const char* path, const char* out, double seconds)
{
    HVMUSIC_SONG* song = start(HVSOUND_OUTPUT_NOSOUND_NONREALTIME, path);
    if (!song)
        return 1;
    Capture capture;
    HVSOUND_DSPUNIT* unit = HVSOUND_DSP_Create(captureBlock, 5000, &capture);
    HVSOUND_DSP_SetActive(unit, true);
    HVMUSIC_PlaySong(song);
    size_t limit = size_t(seconds * kRate) * 2;
    while (HVMUSIC_IsPlaying(song) && capture.samples.size() < limit)
        HVSOUND_Update();
    HVMUSIC_FreeSong(song);
    HVSOUND_Close();
    if (!writeWav(out, capture.samples)) {
        fprintf(stderr, "hvplay: cannot write %s\n", out);
        return 1;
    }
    printf("%s: %.3f s\n", out, double(capture.samples.size() / 2) / kRate);
    return 0;
}

int play(const char* path, double seconds, bool waveOut)
{
    HVMUSIC_SONG* song = start(waveOut ? HVSOUND_OUTPUT_WINMM : HVSOUND_OUTPUT_DSOUND, path);
    if (!song)
        return 1;
    HVMUSIC_PlaySong(song);
    printf("playing %s\n", song->name);
    DWORD begin = GetTickCount();
    while (HVMUSIC_IsPlaying(song) && (seconds <= 0 || GetTickCount() - begin < DWORD(seconds * 1000))) {
        HVSOUND_Update();
        Sleep(20);
    }
    HVMUSIC_FreeSong(song);
    HVSOUND_Close();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* song = nullptr;
    const char* out = nullptr;
    double seconds = 0.0;
    bool waveOut = false;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--render") && i + 1 < argc)
            out = argv[++i];
        else if (!strcmp(argv[i], "--seconds") && i + 1 < argc)
            seconds = atof(argv[++i]);
        else if (!strcmp(argv[i], "--waveout"))
            waveOut = true;
        else
            song = argv[i];
    }
    if (!song) {
        fprintf(stderr, "usage: hvplay song.s3m [--seconds N] [--render out.wav] [--waveout]\n");
        return 2;
    }
    if (out)
        return render(song, out, seconds > 0 ? seconds : kDefaultRenderSeconds);
    return play(song, seconds, waveOut);
}
