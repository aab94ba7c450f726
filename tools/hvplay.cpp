// hvplay: loads a sound file whole through the sound engine's readers (MPEG
// audio, WAV, Ogg Vorbis) and plays it through an output driver until it
// ends, so that anyone can hear what the readers produce. The decoded PCM
// can also be written out as a WAV file.
//   --output winmm|dsound|none   the output driver (waveOut by default)
//   --wav <file>                 also write the decoded sample as a WAV file
//   --no-play                    decode (and write) only
#include "platform/kernel/Kernel.h"
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: hvplay [--output winmm|dsound|none] [--wav <out.wav>] [--no-play] <sound file>\n");
    return 2;
}

void put(std::FILE* f, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        std::fputc(int(v >> (8 * i)) & 0xFF, f);
}

bool writeWav(const char* path, HVSOUND_SAMPLE* s)
{
    int channels = (s->mode & HVSOUND_MODE_STEREO) ? 2 : 1;
    int width = (s->mode & HVSOUND_MODE_16BITS) ? 2 : 1;
    uint32_t bytes = uint32_t(s->length) * uint32_t(channels * width);
    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    std::fwrite("RIFF", 1, 4, f);
    put(f, 36 + bytes, 4);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put(f, 16, 4);
    put(f, 1, 2);
    put(f, uint32_t(channels), 2);
    put(f, uint32_t(s->frequency), 4);
    put(f, uint32_t(s->frequency * channels * width), 4);
    put(f, uint32_t(channels * width), 2);
    put(f, uint32_t(width * 8), 2);
    std::fwrite("data", 1, 4, f);
    put(f, bytes, 4);
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

} // namespace

int main(int argc, char** argv)
{
    int output = HVSOUND_OUTPUT_WINMM;
    const char* wav = nullptr;
    const char* name = nullptr;
    bool play = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--output") == 0 && i + 1 < argc) {
            std::string o = argv[++i];
            output = o == "dsound" ? HVSOUND_OUTPUT_DSOUND : o == "none" ? HVSOUND_OUTPUT_NOSOUND : HVSOUND_OUTPUT_WINMM;
        } else if (std::strcmp(argv[i], "--wav") == 0 && i + 1 < argc) {
            wav = argv[++i];
        } else if (std::strcmp(argv[i], "--no-play") == 0) {
            play = false;
        } else if (!name) {
            name = argv[i];
        } else {
            return usage();
        }
    }
    if (!name)
        return usage();

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
