// Fuzzes the MPEG audio reader and the layer III decoder: the bytes opened
// as a file (with an estimated length or an exact scan and its frame
// table) and read frame by frame to the end, loaded whole into a sample,
// played as a stream, loaded as a 3D sample, or decoded directly as frames
// after a decoder has seen them once; the input's last byte picks the way.
#include "fuzz/SoundFuzz.h"
#include "sound/core/system_file.h"
#include "sound/formats/format_mpeg.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Decoding frames is what an input costs, so each input decodes few: the
// input is held to 1 KB and cut after its first few frames, the direct
// read stops after a few reads, and the stream plays the data once,
// without a restart, instead of looping over it (a looping 400 ms half
// decodes a short input many times over).
constexpr size_t kMaxInput = 1024;
constexpr uint32_t kMaxFrames = 3;
constexpr int kMaxReads = 16;

// The input's length cut to its first kMaxFrames frames (as the reader's
// frame scan finds them), and to kMaxInput.
size_t boundedSize(const uint8_t* data, size_t size)
{
    size = std::min(size, kMaxInput);
    std::vector<uint8_t> bytes(data, data + size);
    HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(size));
    HVSOUND_MPEG_FRAMETABLE table{};
    HVSOUND_MPEG_ScanFrames(file, int(size), 1, &table);
    if (table.count > kMaxFrames)
        size = table.offsets[kMaxFrames];
    HVSOUND_MPEG_FreeFrameTable(&table);
    HVSOUND_File_Close(file);
    return size;
}

uint32_t readAll(std::vector<uint8_t>& bytes, uint32_t mode)
{
    uint32_t sum = 0;
    HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
    int rate = 0, dataLength = 0, pcmLength = 0, sourceSize = 0, dataOffset = 0, ms = 0;
    int loop[2] = {0, 0};
    HVSOUND_WAV_CueList cues;
    HVSOUND_MPEG_FRAMETABLE table{};
    HVSOUND_MPEG_DECODER* decoder = nullptr;
    if (HVSOUND_MPEG_Open(file, &mode, &rate, &dataLength, &pcmLength, &decoder, &sourceSize, &dataOffset, &ms,
                          &table, loop, &cues)) {
        for (uint32_t i = 0; i < table.count; ++i)
            if (table.offsets[i] >= bytes.size())
                std::abort();
        HVSOUND_File_Seek(file, dataOffset, SEEK_SET);
        std::vector<uint8_t> source(static_cast<size_t>(sourceSize));
        int16_t pcm[HVSOUND_MPEG_MAX_FRAME_PCM / 2];
        HVSOUND_MPEG_ReadSource from{file, decoder, dataOffset + dataLength};
        for (int reads = 0; reads < kMaxReads; ++reads) {
            int length = sizeof(pcm);
            bool more = HVSOUND_MPEG_Read(from, source.data(), sourceSize, pcm, &length);
            if (length < 0 || length > int(sizeof(pcm)))
                std::abort();
            for (int k = 0; k < length / 2; ++k)
                sum += uint16_t(pcm[k]);
            if (!more)
                break;
        }
        HVSOUND_MPEG_FreeDecoder(decoder);
    }
    HVSOUND_MPEG_FreeFrameTable(&table);
    HVSOUND_File_Close(file);
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    // Longer inputs (the seeds among them) are read as far as the bound.
    size = boundedSize(data, size);
    if (size < 4)
        return 0;
    std::vector<uint8_t> bytes(data, data + size);
    // Each input takes one of the four ways in, chosen by its last byte, so
    // that an input costs one decode of its frames instead of six.
    const uint8_t last = data[size - 1];
    uint32_t sum = 0;
    switch ((last >> 2) & 3) {
    case 0:
        sum = readAll(bytes, last & 1 ? HVSOUND_MODE_MPEGACCURATE : 0);
        break;
    case 1: {
        // Loaded whole, and played as a stream.
        SoundFuzzPlay once;
        once.loop = false;
        once.restart = false;
        fuzzSound(data, size, once);
        break;
    }
    case 2: {
        // Loaded as a 3D sample, which downmixes stereo.
        if (!fuzzSoundStarted())
            break;
        HVSOUND_SAMPLE* sample =
            HVSOUND_Sample_Load(-1, bytes.data(), HVSOUND_MODE_LOADMEMORY | HVSOUND_MODE_HW3D, 0, int(size));
        if (sample)
            HVSOUND_Sample_Free(sample);
        break;
    }
    default: {
        // The input as frames straight into a decoder, twice, so that the
        // second pass has a reservoir and history.
        HVSOUND_MPEG_DECODER* decoder = HVSOUND_MPEG_CreateDecoder();
        int16_t pcm[HVSOUND_MPEG_MAX_FRAME_PCM / 2];
        for (int pass = 0; pass < 2; ++pass) {
            int bytesOut = 0;
            HVSOUND_MPEG_DecodeFrame(decoder, bytes.data(), int(size), pcm, &bytesOut);
            if (bytesOut < 0 || bytesOut > int(sizeof(pcm)))
                std::abort();
        }
        HVSOUND_MPEG_FreeDecoder(decoder);
        break;
    }
    }
    return sum == 0x12345678u ? 1 : 0;
}
