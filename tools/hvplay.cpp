// hvplay: plays sound files (WAV, Ogg Vorbis) as streams through the sound
// engine and the system's audio output, one after the other, printing how
// far each has played, so that anyone can hear what the stream layer does.
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/streams/hvsound_stream.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// The game's own mixing set-up: 44.1 kHz and 32 software channels.
constexpr int kMixRate = 44100;
constexpr int kChannels = 32;
// How often the progress line is rewritten.
constexpr int kTickMs = 100;

int usage()
{
    std::fprintf(stderr,
                 "usage: hvplay [--waveout] [--loop] [--seconds <s>] <file>...\n"
                 "  --waveout   play through the waveOut output instead of DirectSound\n"
                 "  --loop      loop each file (until --seconds have passed)\n"
                 "  --seconds   stop each file after this long (default: when it ends; 10 when looping)\n");
    return 2;
}

// Plays one file; false when it could not be opened or played.
bool playFile(const char* name, bool loop, double seconds)
{
    HVSOUND_STREAM* stream = HVSOUND_Stream_Open(name, loop ? HVSOUND_MODE_LOOP_NORMAL : HVSOUND_MODE_LOOP_OFF, 0, 0);
    if (!stream) {
        std::fprintf(stderr, "hvplay: %s: cannot be opened as a stream (error %d)\n", name, HVSOUND_GetError());
        return false;
    }
    HVSOUND_SAMPLE* sample = HVSOUND_Stream_GetSample(stream);
    std::printf("%s: %d Hz, %s, %.2f s\n", name, sample->frequency,
                (sample->mode & HVSOUND_MODE_STEREO) ? "stereo" : "mono", stream->lengthMs / 1000.0);
    int channel = HVSOUND_Stream_Play(HVSOUND_FREE, stream);
    if (channel == -1) {
        std::fprintf(stderr, "hvplay: %s: cannot be played (error %d)\n", name, HVSOUND_GetError());
        HVSOUND_Stream_Close(stream);
        return false;
    }
    HVSOUND_SetPan(channel, -1);
    auto start = std::chrono::steady_clock::now();
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
        double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!HVSOUND_IsPlaying(channel))
            break;
        std::printf("\r  %6.1f s", elapsed);
        std::fflush(stdout);
        if (seconds > 0 && elapsed >= seconds)
            break;
    }
    std::printf("\n");
    HVSOUND_Stream_Stop(stream);
    HVSOUND_Stream_Close(stream);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    bool waveOut = false;
    bool loop = false;
    double seconds = 0;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--waveout") == 0)
            waveOut = true;
        else if (std::strcmp(argv[i], "--loop") == 0)
            loop = true;
        else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (argv[i][0] == '-')
            return usage();
        else
            files.push_back(argv[i]);
    }
    if (files.empty())
        return usage();
    if (loop && seconds <= 0)
        seconds = 10;

    HVSOUND_SetOutput(waveOut ? HVSOUND_OUTPUT_WINMM : HVSOUND_OUTPUT_DSOUND);
    if (!HVSOUND_Init(kMixRate, kChannels, 0)) {
        std::fprintf(stderr, "hvplay: the sound output does not start (error %d)\n", HVSOUND_GetError());
        return 1;
    }
    int status = 0;
    for (const char* name : files) {
        if (!playFile(name, loop, seconds))
            status = 1;
    }
    HVSOUND_Close();
    return status;
}
