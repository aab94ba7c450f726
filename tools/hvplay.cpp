// hvplay: plays sound files (MPEG audio, WAV, Ogg Vorbis) through the sound
// engine and the system's audio output, so that anyone can hear what the
// readers and the stream layer produce. By default a file is decoded whole
// into a sample; --stream plays it as a stream instead. An S3M module plays
// through the music player.
//   --output winmm|dsound|none   the output driver (waveOut by default; none plays
//                                in time without a sound device, and silently)
//   --stream                     play as a stream (decoded while it plays); not for a module
//   --loop                       with --stream: loop (until --seconds have passed)
//   --seconds <s>                stop after this long (10 when looping; a module that
//                                jumps back plays, or is mixed, for 600 at most)
//   --wav <file>                 sample mode: also write the decoded PCM as a WAV file;
//                                a module with --no-play: write the engine's mix of it
//                                (one file only; refused with --stream and for a module
//                                that plays)
//   --no-play                    sample and module mode: decode (and write) only
// What would be ignored (an unknown output, --wav with several files, --stream
// for a module) is refused with status 2 and a line saying why.
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/mixer_fpui.h"
#include "sound/mixer/sound_software.h"
#include "sound/music/hvmusic.h"
#include "sound/streams/hvsound_stream.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <thread>
#include <vector>

namespace {

// The game's own mixing set-up: 44.1 kHz and 32 software channels.
constexpr int kMixRate = 44100;
constexpr int kChannels = 32;
// How often the progress line is rewritten.
constexpr int kTickMs = 100;
// A module that starts over forever is cut here unless --seconds says more.
constexpr double kModuleSeconds = 600.0;

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

// Refuses the command line with one line saying why (a printf format and
// its arguments).
int refuse(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::fputs("hvplay: ", stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
    va_end(arguments);
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

// Waits while `playing()` holds, rewriting a progress line; stops waiting
// after the given number of seconds when that is above 0.
template <class Playing>
void waitWhile(Playing playing, double seconds)
{
    auto start = std::chrono::steady_clock::now();
    while (playing()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
        double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("\r  %6.1f s", elapsed);
        std::fflush(stdout);
        if (seconds > 0 && elapsed >= seconds)
            break;
    }
    std::printf("\n");
}

void waitWhilePlaying(int channel, double seconds)
{
    waitWhile([channel] { return HVSOUND_IsPlaying(channel); }, seconds);
}

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

// Mixes a playing song update by update (the engine runs without a device)
// into a 16-bit stereo WAV file.
bool renderSong(HVMUSIC_SONG* song, const char* path, double seconds)
{
    std::vector<int16_t> mixed;
    HVSOUND_DSPUNIT* unit = HVSOUND_DSP_Create(keepBlock, 5000, &mixed);
    HVSOUND_DSP_SetActive(unit, true);
    size_t limit = size_t(seconds * kMixRate) * 2;
    while (HVMUSIC_IsPlaying(song) && mixed.size() < limit)
        HVSOUND_Update();
    HVSOUND_DSP_Free(unit);
    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    putHeader(f, 2, 2, kMixRate, uint32_t(mixed.size() * 2));
    std::fwrite(mixed.data(), 2, mixed.size(), f);
    bool ok = std::ferror(f) == 0;
    std::fclose(f);
    std::printf("%s: %.3f s mixed\n", path, double(mixed.size() / 2) / kMixRate);
    return ok;
}

bool playModule(const char* name, const Options& o)
{
    HVMUSIC_SONG* song = HVMUSIC_LoadSongEx(name, 0, 0, HVMUSIC_MODE_LOOP_OFF, nullptr, 0);
    if (!song) {
        std::fprintf(stderr, "hvplay: %s did not load (error %d)\n", name, HVSOUND_GetError());
        return false;
    }
    std::printf("%s: \"%s\", %d channels, %d orders, %d instruments\n", name, song->name, song->channelCount,
                song->orderCount, song->sampleCount);
    HVMUSIC_PlaySong(song);
    double seconds = o.seconds > 0 ? o.seconds : kModuleSeconds;
    bool ok = true;
    if (o.play)
        waitWhile([song] { return HVMUSIC_IsPlaying(song); }, seconds);
    else if (o.wav && !renderSong(song, o.wav, seconds))
        ok = false;
    HVMUSIC_FreeSong(song);
    return ok;
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
            if (v == "winmm")
                o.output = HVSOUND_OUTPUT_WINMM;
            else if (v == "dsound")
                o.output = HVSOUND_OUTPUT_DSOUND;
            else if (v == "none")
                o.output = HVSOUND_OUTPUT_NOSOUND;
            else
                return refuse("--output %s: no such output (winmm, dsound or none)", v.c_str());
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
    if (files.empty() || (o.stream && !o.play))
        return usage();
    if (o.loop && !o.stream)
        return refuse("--loop loops a stream: give it with --stream");
    // Nothing would be written: a stream is decoded only into the buffer it
    // plays from, and a module is mixed into a file only without the device.
    if (o.wav && o.stream)
        return refuse("--wav cannot be given with --stream");
    // Each file would replace the one before in the same output.
    if (o.wav && files.size() > 1)
        return refuse("--wav writes one file: give it one sound file");
    for (const char* name : files) {
        if (o.wav && o.play && isModule(name))
            return refuse("--wav writes the mix of %s only with --no-play", name);
        // A module plays only through the music player, whole.
        if (o.stream && isModule(name))
            return refuse("%s is a module: --stream and --loop are for sound files only", name);
    }
    if (o.loop && o.seconds <= 0)
        o.seconds = 10;

    HVSOUND_SetOutput(o.play ? o.output : HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
    if (!HVSOUND_Init(kMixRate, kChannels, 0)) {
        int error = HVSOUND_GetError();
        if (o.play && o.output != HVSOUND_OUTPUT_NOSOUND)
            std::fprintf(stderr, "hvplay: the sound engine did not start (error %d); without a sound device, "
                                 "--output none plays silently\n", error);
        else
            std::fprintf(stderr, "hvplay: the sound engine did not start (error %d)\n", error);
        return 1;
    }
    int status = 0;
    for (const char* name : files) {
        bool ok = isModule(name) ? playModule(name, o) : o.stream ? playStream(name, o) : playSample(name, o);
        if (!ok)
            status = 1;
    }
    HVSOUND_Close();
    return status;
}
