// acm_stream.cpp: conversion streams from IMA ADPCM, MS ADPCM, A-law and
// mu-law to 16-bit PCM. Every block decodes on its own, so one-shot
// conversions of whole blocks need no state between calls.
#include "sound/formats/acm_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct AcmStream {
    WORD tag;
    int channels;
    int blockAlign;                    // source bytes per block (1 per sample for G.711)
    int samplesPerBlock;               // frames per block
    std::vector<int16_t> coefficients; // MS ADPCM pairs
};

const int16_t kMsDefaultCoefficients[14] = {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232};
constexpr int64_t kMsDeltaLimit = 1 << 24;
const int kMsAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

const int kImaIndexStep[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
const int kImaSteps[89] = {7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
                           25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
                           88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
                           307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
                           1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
                           3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
                           12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

int16_t clamp16(int value)
{
    return static_cast<int16_t>(std::min(32767, std::max(-32768, value)));
}

int16_t readS16(const uint8_t* p)
{
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

int16_t alawToLinear(uint8_t code)
{
    code ^= 0x55;
    int exponent = (code >> 4) & 7;
    int mantissa = code & 0x0F;
    int magnitude = exponent == 0 ? (mantissa << 4) + 8 : ((mantissa << 4) + 0x108) << (exponent - 1);
    return static_cast<int16_t>((code & 0x80) ? magnitude : -magnitude);
}

int16_t mulawToLinear(uint8_t code)
{
    code = static_cast<uint8_t>(~code);
    int exponent = (code >> 4) & 7;
    int magnitude = ((((code & 0x0F) << 3) + 0x84) << exponent) - 0x84;
    return static_cast<int16_t>((code & 0x80) ? -magnitude : magnitude);
}

void decodeImaBlock(const AcmStream& s, const uint8_t* in, int16_t* out)
{
    int ch = s.channels;
    for (int c = 0; c < ch; ++c) {
        const uint8_t* header = in + 4 * c;
        int predictor = readS16(header);
        int index = std::min<int>(header[2], 88);
        out[c] = static_cast<int16_t>(predictor);
        // After the headers, each channel has runs of 4 bytes (8 samples,
        // low nibble first), the channels taking turns.
        for (int i = 0; i < s.samplesPerBlock - 1; ++i) {
            int group = i / 8;
            int within = i % 8;
            uint8_t byte = in[4 * ch + (group * ch + c) * 4 + within / 2];
            int nibble = (within & 1) ? (byte >> 4) : (byte & 0x0F);
            int step = kImaSteps[index];
            int diff = step >> 3;
            if (nibble & 1)
                diff += step >> 2;
            if (nibble & 2)
                diff += step >> 1;
            if (nibble & 4)
                diff += step;
            predictor = (nibble & 8) ? predictor - diff : predictor + diff;
            predictor = clamp16(predictor);
            index = std::min(88, std::max(0, index + kImaIndexStep[nibble]));
            out[(i + 1) * ch + c] = static_cast<int16_t>(predictor);
        }
    }
}

void decodeMsBlock(const AcmStream& s, const uint8_t* in, int16_t* out)
{
    int ch = s.channels;
    int coef1[2], coef2[2], delta[2], sample1[2], sample2[2];
    int pairs = static_cast<int>(s.coefficients.size() / 2);
    for (int c = 0; c < ch; ++c) {
        int predictorIndex = std::min<int>(in[c], pairs - 1);
        coef1[c] = s.coefficients[2 * predictorIndex];
        coef2[c] = s.coefficients[2 * predictorIndex + 1];
        delta[c] = readS16(in + ch + 2 * c);
        sample1[c] = readS16(in + 3 * ch + 2 * c);
        sample2[c] = readS16(in + 5 * ch + 2 * c);
        out[c] = static_cast<int16_t>(sample2[c]);
        out[ch + c] = static_cast<int16_t>(sample1[c]);
    }
    const uint8_t* nibbles = in + 7 * ch;
    int total = (s.samplesPerBlock - 2) * ch;
    for (int n = 0; n < total; ++n) {
        int c = n % ch;
        uint8_t byte = nibbles[n / 2];
        int code = (n & 1) ? (byte & 0x0F) : (byte >> 4);
        int signedCode = code >= 8 ? code - 16 : code;
        int predicted = (sample1[c] * coef1[c] + sample2[c] * coef2[c]) >> 8;
        int value = clamp16(predicted + signedCode * delta[c]);
        sample2[c] = sample1[c];
        sample1[c] = value;
        // Damaged data can grow the step without end; past 2^24 every
        // non-zero code clips anyway, so the cap changes no real output.
        delta[c] = static_cast<int>(std::min<int64_t>(int64_t(kMsAdaptation[code]) * delta[c] >> 8, kMsDeltaLimit));
        delta[c] = std::max(16, delta[c]);
        out[2 * ch + n] = static_cast<int16_t>(value);
    }
}

AcmStream* fromHandle(HACMSTREAM handle)
{
    return reinterpret_cast<AcmStream*>(handle);
}

// Describes a supported source format, or answers false.
bool describe(const WAVEFORMATEX* source, AcmStream& s)
{
    if (!source || source->nChannels < 1 || source->nChannels > 2 || source->nSamplesPerSec == 0)
        return false;
    s.tag = source->wFormatTag;
    s.channels = source->nChannels;
    s.blockAlign = source->nBlockAlign;
    const auto* extra = reinterpret_cast<const uint8_t*>(source + 1);
    switch (source->wFormatTag) {
    case WAVE_FORMAT_ALAW:
    case WAVE_FORMAT_MULAW:
        if (source->wBitsPerSample != 8)
            return false;
        s.blockAlign = s.channels;
        s.samplesPerBlock = 1;
        return true;
    case WAVE_FORMAT_IMA_ADPCM:
        if (source->wBitsPerSample != 4 || s.blockAlign < 8 * s.channels ||
            (s.blockAlign - 4 * s.channels) % (4 * s.channels))
            return false;
        s.samplesPerBlock = (s.blockAlign - 4 * s.channels) * 2 / s.channels + 1;
        return true;
    case WAVE_FORMAT_ADPCM: {
        if (source->wBitsPerSample != 4 || s.blockAlign < 7 * s.channels)
            return false;
        s.samplesPerBlock = (s.blockAlign - 7 * s.channels) * 2 / s.channels + 2;
        // The format's own coefficient table when it carries one, else the
        // standard seven pairs.
        int count = source->cbSize >= 4 ? extra[2] | (extra[3] << 8) : 0;
        if (count > 0 && source->cbSize >= 4 + 4 * count) {
            for (int i = 0; i < 2 * count; ++i)
                s.coefficients.push_back(readS16(extra + 4 + 2 * i));
        } else {
            s.coefficients.assign(kMsDefaultCoefficients, kMsDefaultCoefficients + 14);
        }
        return true;
    }
    default:
        return false;
    }
}

DWORD outputBytesFor(const AcmStream& s, DWORD inputBytes)
{
    uint64_t blocks = inputBytes / static_cast<DWORD>(s.blockAlign);
    uint64_t bytes = blocks * static_cast<uint64_t>(s.samplesPerBlock) * s.channels * 2;
    return static_cast<DWORD>(std::min<uint64_t>(bytes, 0xFFFFFFFFu));
}

} // namespace

MMRESULT acmFormatSuggest(HACMDRIVER, const WAVEFORMATEX* source, WAVEFORMATEX* destination, DWORD destinationBytes,
                          DWORD flags)
{
    if (!destination || destinationBytes < sizeof(WAVEFORMATEX))
        return MMSYSERR_INVALPARAM;
    if ((flags & ACM_FORMATSUGGESTF_WFORMATTAG) && destination->wFormatTag != WAVE_FORMAT_PCM)
        return ACMERR_NOTPOSSIBLE;
    AcmStream s{};
    if (!describe(source, s))
        return ACMERR_NOTPOSSIBLE;
    destination->wFormatTag = WAVE_FORMAT_PCM;
    destination->nChannels = static_cast<WORD>(s.channels);
    destination->nSamplesPerSec = source->nSamplesPerSec;
    destination->wBitsPerSample = 16;
    destination->nBlockAlign = static_cast<WORD>(2 * s.channels);
    destination->nAvgBytesPerSec = source->nSamplesPerSec * destination->nBlockAlign;
    destination->cbSize = 0;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamOpen(HACMSTREAM* stream, HACMDRIVER, const WAVEFORMATEX* source, const WAVEFORMATEX* destination,
                       LPWAVEFILTER, DWORD_PTR, DWORD_PTR, DWORD)
{
    if (!stream || !destination)
        return MMSYSERR_INVALPARAM;
    *stream = nullptr;
    auto* s = new AcmStream{};
    if (!describe(source, *s) || destination->wFormatTag != WAVE_FORMAT_PCM || destination->wBitsPerSample != 16 ||
        destination->nChannels != source->nChannels || destination->nSamplesPerSec != source->nSamplesPerSec) {
        delete s;
        return ACMERR_NOTPOSSIBLE;
    }
    *stream = reinterpret_cast<HACMSTREAM>(s);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamSize(HACMSTREAM stream, DWORD inputBytes, DWORD* outputBytes, DWORD flags)
{
    if (!stream || !outputBytes)
        return MMSYSERR_INVALHANDLE;
    if (flags != ACM_STREAMSIZEF_SOURCE)
        return MMSYSERR_NOTSUPPORTED;
    *outputBytes = outputBytesFor(*fromHandle(stream), inputBytes);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamPrepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD)
{
    if (!stream || !header)
        return MMSYSERR_INVALHANDLE;
    header->fdwStatus |= ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamConvert(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD)
{
    if (!stream || !header || (header->cbSrcLength && !header->pbSrc) || (header->cbDstLength && !header->pbDst))
        return MMSYSERR_INVALHANDLE;
    if (!(header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED))
        return MMSYSERR_INVALPARAM;
    const AcmStream& s = *fromHandle(stream);
    DWORD blockOut = outputBytesFor(s, static_cast<DWORD>(s.blockAlign));
    DWORD blocks =
        std::min<DWORD>(header->cbSrcLength / static_cast<DWORD>(s.blockAlign), header->cbDstLength / blockOut);
    std::vector<int16_t> frame(static_cast<size_t>(blockOut / 2));
    for (DWORD b = 0; b < blocks; ++b) {
        const uint8_t* in = header->pbSrc + static_cast<size_t>(b) * s.blockAlign;
        switch (s.tag) {
        case WAVE_FORMAT_ALAW:
            for (int c = 0; c < s.channels; ++c)
                frame[static_cast<size_t>(c)] = alawToLinear(in[c]);
            break;
        case WAVE_FORMAT_MULAW:
            for (int c = 0; c < s.channels; ++c)
                frame[static_cast<size_t>(c)] = mulawToLinear(in[c]);
            break;
        case WAVE_FORMAT_IMA_ADPCM:
            decodeImaBlock(s, in, frame.data());
            break;
        default:
            decodeMsBlock(s, in, frame.data());
            break;
        }
        // Little-endian 16-bit output, whatever the host's byte order.
        uint8_t* out = header->pbDst + static_cast<size_t>(b) * blockOut;
        for (size_t i = 0; i < frame.size(); ++i) {
            out[2 * i] = static_cast<uint8_t>(frame[i] & 0xFF);
            out[2 * i + 1] = static_cast<uint8_t>((frame[i] >> 8) & 0xFF);
        }
    }
    header->cbSrcLengthUsed = blocks * static_cast<DWORD>(s.blockAlign);
    header->cbDstLengthUsed = blocks * blockOut;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamUnprepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD)
{
    if (!stream || !header)
        return MMSYSERR_INVALHANDLE;
    header->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamClose(HACMSTREAM stream, DWORD)
{
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    delete fromHandle(stream);
    return MMSYSERR_NOERROR;
}
