// hvplay: plays sound files (MPEG audio, WAV, Ogg Vorbis) through the sound
// engine and the system's audio output, so that anyone can hear what the
// readers and the stream layer produce. By default a file is decoded whole
// into a sample; --stream plays it as a stream instead.
//   --output winmm|dsound|none   the output driver (waveOut by default)
//   --stream                     play as a stream (decoded while it plays)
//   --loop                       with --stream: loop (until --seconds have passed)
//   --seconds <s>                stop after this long (10 when looping)
//   --wav <file>                 sample mode: also write the decoded PCM as a WAV file
//   --no-play                    sample mode: decode (and write) only
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/streams/hvsound_stream.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

// The game's own mixing set-up: 44.1 kHz and 32 software channels.
constexpr int kMixRate = 44100;
constexpr int kChannels = 32;
// How often the progress line is rewritten.
constexpr int kTickMs = 100;

struct Options {
    int output = HVSOUND_OUTPUT_WINMM;
    bool stream = false;
    bool loop = false;
    bool play = true;
    double seconds = 0;
    const char* wav = nullptr;
};

int usage()
{
    std::fprintf(stderr, "usage: hvplay [--output winmm|dsound|none] [--stream [--loop]] [--seconds <s>]\n"
                         "              [--wav <out.wav>] [--no-play] <sound file>...\n");
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

// Waits while the channel plays, rewriting a progress line; stops waiting
// after the given number of seconds when that is above 0.
void waitWhilePlaying(int channel, double seconds)
{
    auto start = std::chrono::steady_clock::now();
    while (HVSOUND_IsPlaying(channel)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
        double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("\r  %6.1f s", elapsed);
        std::fflush(stdout);
        if (seconds > 0 && elapsed >= seconds)
            break;
    }
    std::printf("\n");
}

bool playStream(const char* name, const Options& o)
{
    HVSOUND_STREAM* stream = HVSOUND_Stream_Open(name, o.loop ? HVSOUND_MODE_LOOP_NORMAL : HVSOUND_MODE_LOOP_OFF, 0, 0);
    if (!stream) {
        std::fprintf(stderr, "hvplay: %s: cannot be opened as a stream (error %d)\n", name, HVSOUND_GetError());
        return false;
    }
    HVSOUND_SAMPLE* sample = HVSOUND_Stream_GetSample(stream);
    std::printf("%s: %d Hz, %s, %.2f s\n", name, sample->frequency,
                (sample->mode & HVSOUND_MODE_STEREO) ? "stereo" : "mono", stream->lengthMs / 1000.0);
    int channel = HVSOUND_Stream_Play(HVSOUND_FREE, stream);
    bool ok = channel != -1;
    if (ok) {
        HVSOUND_SetPan(channel, -1);
        waitWhilePlaying(channel, o.seconds);
    } else {
        std::fprintf(stderr, "hvplay: %s: cannot be played (error %d)\n", name, HVSOUND_GetError());
    }
    HVSOUND_Stream_Stop(stream);
    HVSOUND_Stream_Close(stream);
    return ok;
}

bool playSample(const char* name, const Options& o)
{
    HVSOUND_SAMPLE* sample = HVSOUND_Sample_Load(-1, name, HVSOUND_MODE_LOOP_OFF | HVSOUND_MODE_2D, 0, 0);
    if (!sample) {
        std::fprintf(stderr, "hvplay: %s did not load (error %d)\n", name, HVSOUND_GetError());
        return false;
    }
    int channels = (sample->mode & HVSOUND_MODE_STEREO) ? 2 : 1;
    std::printf("%s: %d Hz, %d channel(s), %d-bit, %d samples, %.2f s\n", name, sample->frequency, channels,
                (sample->mode & HVSOUND_MODE_16BITS) ? 16 : 8, sample->length,
                double(sample->length) / sample->frequency);
    bool ok = true;
    if (o.wav && !writeWav(o.wav, sample)) {
        std::fprintf(stderr, "hvplay: could not write %s\n", o.wav);
        ok = false;
    }
    if (o.play) {
        int channel = HVSOUND_PlaySound(-1, sample);
        if (channel < 0) {
            std::fprintf(stderr, "hvplay: the sample did not start (error %d)\n", HVSOUND_GetError());
            ok = false;
        } else {
            waitWhilePlaying(channel, o.seconds);
        }
    }
    HVSOUND_Sample_Free(sample);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--output") == 0 && i + 1 < argc) {
            std::string v = argv[++i];
            o.output = v == "dsound" ? HVSOUND_OUTPUT_DSOUND : v == "none" ? HVSOUND_OUTPUT_NOSOUND : HVSOUND_OUTPUT_WINMM;
        } else if (std::strcmp(argv[i], "--stream") == 0) {
            o.stream = true;
        } else if (std::strcmp(argv[i], "--loop") == 0) {
            o.loop = true;
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            o.seconds = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--wav") == 0 && i + 1 < argc) {
            o.wav = argv[++i];
        } else if (std::strcmp(argv[i], "--no-play") == 0) {
            o.play = false;
        } else if (argv[i][0] == '-') {
            return usage();
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.empty() || (o.loop && !o.stream) || (o.stream && (o.wav || !o.play)))
        return usage();
    if (o.loop && o.seconds <= 0)
        o.seconds = 10;

    HVSOUND_SetOutput(o.play ? o.output : HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
    if (!HVSOUND_Init(kMixRate, kChannels, 0)) {
        std::fprintf(stderr, "hvplay: the sound engine did not start (error %d)\n", HVSOUND_GetError());
        return 1;
    }
    int status = 0;
    for (const char* name : files) {
        if (!(o.stream ? playStream(name, o) : playSample(name, o)))
            status = 1;
    }
    HVSOUND_Close();
    return status;
}
