// mixer_fpui.cpp: the mixer descriptors and mixing routines. Each channel is
// mixed in segments cut at the end of its loop or sample and at the end of a
// volume ramp, so the inner loops test nothing but their frame count; the
// float mixer interpolates and ramps in float, the 16-bit mixers saturate.
#include "sound/mixer/mixer_fpui.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr float kInv255 = 0.003921569f;
constexpr float kInv256 = 1.0f / 256.0f;
constexpr float kFractionScale = 1.0f / 2147483648.0f; // fraction >> 1 to [0, 1)
constexpr float kByteScale = 258.00787353515625f;      // maps 127 to 32767.0
constexpr int kTableBytes = 1040;
constexpr int kMaxRampVolume = 255 * 256;

float* g_byteTable = nullptr;
void* g_byteTableBlock = nullptr;
int g_rampLength = 64;
float g_rampReciprocal = 1.0f / 64.0f;

enum LoopKind { kOneShot, kLoopNormal, kLoopBidi };

// The part of a sample a channel plays through, in frames: the loop, or for
// a one-shot sample (or a loop that cannot be played) the whole sample.
struct Loop {
    int64_t start;
    int64_t end;
    int64_t length; // the sample's
    LoopKind kind;
};

Loop loopOf(const HVSOUND_SAMPLE* s)
{
    Loop loop;
    loop.length = s->length > 0 ? s->length : 0;
    loop.kind = (s->mode & HVSOUND_MODE_LOOP_NORMAL) ? kLoopNormal
                : (s->mode & HVSOUND_MODE_LOOP_BIDI) ? kLoopBidi
                                                     : kOneShot;
    loop.start = s->loopStart < 0 ? 0 : s->loopStart;
    loop.end = int64_t(s->loopStart) + s->loopLength;
    if (loop.end > loop.length)
        loop.end = loop.length;
    if (loop.kind == kOneShot || loop.end - loop.start < 1) {
        // A one-shot sample plays to its last frame whatever its loop points.
        loop.kind = kOneShot;
        loop.start = 0;
        loop.end = loop.length;
    }
    return loop;
}

// Moves a position that has left the loop back into it. Positions are
// signed 32.32 values.
bool wrapPosition(const Loop& loop, int64_t& position, int& direction)
{
    if (loop.kind == kOneShot)
        return false;
    const int64_t start = loop.start << 32;
    const int64_t end = loop.end << 32;
    const int64_t length = end - start;
    if (loop.kind == kLoopNormal) {
        if (position >= end)
            position -= ((position - end) / length + 1) * length;
        else if (position < start)
            position += ((start - position - 1) / length + 1) * length;
        return true;
    }
    // Bidirectional: a position mirrors at the boundary it passed, as
    // boundary - 1 - integer part with the fraction complemented. Two
    // mirrorings move it by exactly twice the loop length, so whole periods
    // are taken off first and at most two mirrorings remain.
    const int64_t period = 2 * length;
    if (position >= end)
        position -= ((position - end) / period) * period;
    else if (position < start)
        position += ((start - position - 1) / period) * period;
    for (int i = 0; i < 4 && (position >= end || position < start); ++i) {
        if (position >= end) {
            position = end - 1 - (position - end);
            direction = HVSOUND_DIRECTION_BACKWARD;
        } else {
            position = start - 1 + (start - position);
            direction = HVSOUND_DIRECTION_FORWARD;
        }
    }
    return true;
}

struct Segment {
    int frames;
    bool reachesEnd; // the position passes the end of the region after `frames`
};

// How many frames, up to `remaining`, the channel plays before it leaves the
// region it plays through: forwards the loop end (the sample end once past
// the loop), backwards the loop start (the sample start once before it).
// Every frame of the segment reads inside the region, so the inner loops
// need no end test. A channel that does not move never reaches an end.
Segment planSegment(const Loop& loop, int64_t position, int direction, uint64_t step, int remaining)
{
    if (step == 0)
        return {remaining, false};
    uint64_t frames;
    if (direction == HVSOUND_DIRECTION_FORWARD) {
        int64_t end = loop.end;
        if (end < (position >> 32))
            end = loop.length;
        int64_t distance = (end << 32) - position;
        if (distance <= 0)
            return {0, true};
        frames = (uint64_t(distance) + step - 1) / step; // the first frame at or past the end
    } else {
        int64_t start = loop.start;
        if (start > (position >> 32))
            start = 0;
        int64_t distance = position - (start << 32);
        if (distance < 0)
            return {0, true};
        frames = uint64_t(distance) / step + 1; // the first frame before the start
    }
    if (frames <= uint64_t(remaining))
        return {int(frames), true};
    return {remaining, false};
}

enum Format { kMono8, kMono16, kStereo8, kStereo16 };

Format formatOf(uint32_t mode)
{
    bool wide = (mode & HVSOUND_MODE_16BITS) != 0;
    bool mono = (mode & (HVSOUND_MODE_MONO | HVSOUND_MODE_MULTICHANNEL)) != 0;
    if (mono)
        return wide ? kMono16 : kMono8;
    return wide ? kStereo16 : kStereo8;
}

int clampVolume(int v)
{
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// Sample readers: the value at an index of the data.
struct Float16 {
    const int16_t* d;
    float at(size_t i) const { return float(d[i]); }
};
struct Float8 {
    const uint8_t* d;
    const float* table;
    float at(size_t i) const { return table[d[i]]; }
};
// The 16-bit mixers hold 8-bit values scaled to the 16-bit range.
struct Int16 {
    const int16_t* d;
    int32_t at(size_t i) const { return d[i]; }
};
struct Int8 {
    const int8_t* d;
    int32_t at(size_t i) const { return int32_t(d[i]) * 256; }
};

// ---------------------------------------------------------------- float mixer

template <class Source>
uint64_t floatMono(float* out, Source src, uint64_t pos, uint64_t delta, int n, float gl, float gr)
{
    for (int j = 0; j < n; ++j) {
        size_t i = size_t(pos >> 32);
        float f = float(uint32_t(pos) >> 1) * kFractionScale;
        float a = src.at(i);
        float s = a + (src.at(i + 1) - a) * f;
        out[0] += s * gl;
        out[1] += s * gr;
        out += 2;
        pos += delta;
    }
    return pos;
}

template <class Source>
uint64_t floatMonoRamp(float* out, Source src, uint64_t pos, uint64_t delta, int n, float& rl, float& rr, float sl,
                       float sr)
{
    for (int j = 0; j < n; ++j) {
        size_t i = size_t(pos >> 32);
        float f = float(uint32_t(pos) >> 1) * kFractionScale;
        float a = src.at(i);
        float s = a + (src.at(i + 1) - a) * f;
        out[0] += s * rl;
        rl += sl;
        out[1] += s * rr;
        rr += sr;
        out += 2;
        pos += delta;
    }
    return pos;
}

template <class Source>
uint64_t floatStereo(float* out, Source src, uint64_t pos, uint64_t delta, int n, float gl, float gr)
{
    for (int j = 0; j < n; ++j) {
        size_t i = size_t(pos >> 32) * 2;
        float f = float(uint32_t(pos) >> 1) * kFractionScale;
        float l = src.at(i);
        float r = src.at(i + 1);
        out[0] += (l + (src.at(i + 2) - l) * f) * gl;
        out[1] += (r + (src.at(i + 3) - r) * f) * gr;
        out += 2;
        pos += delta;
    }
    return pos;
}

struct FloatMixer {
    using Value = float;

    static bool prepare(HVSOUND_CHANNEL*, Format format) { return format == kMono16 || format == kStereo16 || g_byteTable; }

    static uint64_t stepOf(uint64_t step) { return step; }

    static void startRamp(HVSOUND_CHANNEL* c, HVSOUND_SOFTWARE_STATE* rs, int tl, int tr)
    {
        bool any = false;
        rs->stepLeft = rs->stepRight = 0.0f;
        if (tl * 256 != c->rampLeft) {
            rs->stepLeft = (float(tl) - float(c->rampLeft) * kInv256) * kInv255 * g_rampReciprocal;
            any = true;
        }
        if (tr * 256 != c->rampRight) {
            rs->stepRight = (float(tr) - float(c->rampRight) * kInv256) * kInv255 * g_rampReciprocal;
            any = true;
        }
        c->rampCount = any ? g_rampLength : 0;
    }

    static uint64_t mix(float* out, HVSOUND_CHANNEL* c, const HVSOUND_SOFTWARE_STATE* rs, Format format,
                        const uint8_t* data, uint64_t pos, uint64_t delta, int n, bool ramp, int tl, int tr)
    {
        float gl = float(tl) * kInv255;
        float gr = float(tr) * kInv255;
        float rl = float(c->rampLeft) * kInv256 * kInv255;
        float rr = float(c->rampRight) * kInv256 * kInv255;
        float sl = rs->stepLeft;
        float sr = rs->stepRight;
        bool invert = rs->invertLeft;
        if (invert) {
            gl = -gl;
            rl = -rl;
            sl = -sl;
        }
        const auto* d16 = reinterpret_cast<const int16_t*>(data);
        const Float16 s16{d16};
        const Float8 s8{data, g_byteTable};
        switch (format) {
        case kStereo16:
            return floatStereo(out, s16, pos, delta, n, gl, gr);
        case kStereo8:
            return floatStereo(out, s8, pos, delta, n, gl, gr);
        default:
            break;
        }
        if (!ramp)
            return format == kMono16 ? floatMono(out, s16, pos, delta, n, gl, gr)
                                     : floatMono(out, s8, pos, delta, n, gl, gr);
        pos = format == kMono16 ? floatMonoRamp(out, s16, pos, delta, n, rl, rr, sl, sr)
                                : floatMonoRamp(out, s8, pos, delta, n, rl, rr, sl, sr);
        if (invert)
            rl = -rl;
        c->rampLeft = int(std::lrint(std::fmin(std::fmax(rl * 255.0f * 256.0f, 0.0f), float(kMaxRampVolume))));
        c->rampRight = int(std::lrint(std::fmin(std::fmax(rr * 255.0f * 256.0f, 0.0f), float(kMaxRampVolume))));
        return pos;
    }
};

// --------------------------------------------------------------- 16-bit mixers

void addSaturated(int16_t* out, const int16_t* in, int count)
{
    int k = 0;
#if defined(__SSE2__)
    for (; k + 8 <= count; k += 8) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + k));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_adds_epi16(a, b));
    }
#endif
    for (; k < count; ++k) {
        int32_t v = int32_t(out[k]) + in[k];
        out[k] = int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
    }
}

// Frames per pass: the contributions are made one frame at a time (each
// reads the sample at its own position) and added into the buffer together.
constexpr int kPass = 64;

// `hl` and `hr` are volumes x 256 (0..65280): a value v adds v x h / 65536,
// i.e. v x volume / 256. Mono sources interpolate with a 15-bit weight from
// the fraction; stereo sources take the frame at the integer position.
template <class Source, bool Stereo, bool Ramp>
uint64_t intMix(int16_t* out, Source src, uint64_t pos, uint64_t delta, int n, int32_t& hl, int32_t& hr, int32_t sl,
                int32_t sr, bool invert)
{
    int16_t pass[2 * kPass];
    while (n > 0) {
        int m = n < kPass ? n : kPass;
        for (int j = 0; j < m; ++j) {
            size_t i = size_t(pos >> 32);
            int32_t l;
            int32_t r;
            if (Stereo) {
                l = src.at(2 * i);
                r = src.at(2 * i + 1);
            } else {
                int32_t w = int32_t(uint32_t(pos) >> 17);
                int32_t a = src.at(i);
                l = r = a + (((src.at(i + 1) - a) * w) >> 15);
            }
            int32_t cl = (l * hl) >> 16;
            int32_t cr = (r * hr) >> 16;
            pass[2 * j] = int16_t(invert ? -cl : cl);
            pass[2 * j + 1] = int16_t(cr);
            if (Ramp) {
                hl += sl;
                hr += sr;
            }
            pos += delta;
        }
        addSaturated(out, pass, 2 * m);
        out += 2 * m;
        n -= m;
    }
    return pos;
}

struct IntMixer {
    using Value = int16_t;

    // These mixers work with 16-bit fractions: the channel's position and
    // its step are used with the lower 16 bits of their fractions cleared.
    // (The record's step keeps all its bits; cutting it again each block
    // gives the same.)
    static bool prepare(HVSOUND_CHANNEL* c, Format)
    {
        c->fraction &= 0xFFFF0000u;
        return true;
    }

    static uint64_t stepOf(uint64_t step) { return step & ~uint64_t(0xFFFF); }

    static void startRamp(HVSOUND_CHANNEL* c, HVSOUND_SOFTWARE_STATE* rs, int tl, int tr)
    {
        bool any = false;
        rs->stepLeftInt = rs->stepRightInt = 0;
        if (tl * 256 != c->rampLeft) {
            rs->stepLeftInt = (tl * 256 - c->rampLeft) / g_rampLength;
            any = true;
        }
        if (tr * 256 != c->rampRight) {
            rs->stepRightInt = (tr * 256 - c->rampRight) / g_rampLength;
            any = true;
        }
        c->rampCount = any ? g_rampLength : 0;
    }

    static uint64_t mix(int16_t* out, HVSOUND_CHANNEL* c, const HVSOUND_SOFTWARE_STATE* rs, Format format,
                        const uint8_t* data, uint64_t pos, uint64_t delta, int n, bool ramp, int tl, int tr)
    {
        bool invert = rs->invertLeft;
        int32_t hl = tl * 256;
        int32_t hr = tr * 256;
        const Int16 s16{reinterpret_cast<const int16_t*>(data)};
        const Int8 s8{reinterpret_cast<const int8_t*>(data)};
        switch (format) {
        case kStereo16:
            return intMix<Int16, true, false>(out, s16, pos, delta, n, hl, hr, 0, 0, invert);
        case kStereo8:
            return intMix<Int8, true, false>(out, s8, pos, delta, n, hl, hr, 0, 0, invert);
        default:
            break;
        }
        if (!ramp)
            return format == kMono16 ? intMix<Int16, false, false>(out, s16, pos, delta, n, hl, hr, 0, 0, invert)
                                     : intMix<Int8, false, false>(out, s8, pos, delta, n, hl, hr, 0, 0, invert);
        hl = c->rampLeft;
        hr = c->rampRight;
        pos = format == kMono16
                  ? intMix<Int16, false, true>(out, s16, pos, delta, n, hl, hr, rs->stepLeftInt, rs->stepRightInt,
                                               invert)
                  : intMix<Int8, false, true>(out, s8, pos, delta, n, hl, hr, rs->stepLeftInt, rs->stepRightInt,
                                              invert);
        c->rampLeft = hl;
        c->rampRight = hr;
        return pos;
    }
};

// ------------------------------------------------------------ the channel walk

// Mixes one channel into `out` for `frames` frames, segment by segment:
// each segment ends at the region's end, at the end of a ramp, or with the
// block. A one-shot sample that ends stops the channel and leaves the rest
// of the block as it was.
template <class Mixer>
void mixChannel(typename Mixer::Value* out, HVSOUND_CHANNEL* c, int frames)
{
    const HVSOUND_SAMPLE* sample = c->currentSample;
    const uint8_t* data = c->dataPointer;
    const Format format = formatOf(sample->mode);
    if (!data || !Mixer::prepare(c, format))
        return;
    const Loop loop = loopOf(sample);
    const uint64_t step = Mixer::stepOf(c->step);
    HVSOUND_SOFTWARE_STATE* rs = HVSOUND_Software_State(c);
    int64_t pos = int64_t((uint64_t(c->playPosition) << 32) | c->fraction);
    int direction = c->direction == HVSOUND_DIRECTION_BACKWARD ? HVSOUND_DIRECTION_BACKWARD
                                                                : HVSOUND_DIRECTION_FORWARD;
    // A position left outside the sample (its loop or length changed) first
    // comes back in, as at an end.
    bool ended = pos >= (loop.length << 32) && !wrapPosition(loop, pos, direction);
    int remaining = frames;
    while (!ended && remaining > 0) {
        Segment seg = planSegment(loop, pos, direction, step, remaining);
        int tl = clampVolume(c->leftVolume);
        int tr = clampVolume(c->rightVolume);
        if (c->rampCount <= 0 || tl != rs->lastTargetLeft || tr != rs->lastTargetRight) {
            rs->lastTargetLeft = tl;
            rs->lastTargetRight = tr;
            Mixer::startRamp(c, rs, tl, tr);
        }
        bool ramp = c->rampCount > 0;
        int n = seg.frames;
        if (ramp && n > c->rampCount) {
            n = c->rampCount;
            seg.reachesEnd = false;
        }
        uint64_t delta = direction == HVSOUND_DIRECTION_FORWARD ? step : uint64_t(0) - step;
        if (!ramp && tl == 0 && tr == 0)
            pos = int64_t(uint64_t(pos) + delta * uint64_t(n)); // silent: only the position moves
        else
            pos = int64_t(Mixer::mix(out, c, rs, format, data, uint64_t(pos), delta, n, ramp, tl, tr));
        if (ramp) {
            c->rampCount -= n;
            if (c->rampCount <= 0) {
                c->rampCount = 0;
                c->rampLeft = tl * 256;
                c->rampRight = tr * 256;
                rs->stepLeft = rs->stepRight = 0.0f;
                rs->stepLeftInt = rs->stepRightInt = 0;
            }
        }
        out += 2 * n;
        remaining -= n;
        if (seg.reachesEnd && !wrapPosition(loop, pos, direction))
            ended = true;
    }
    if (ended) {
        c->playPosition = 0;
        c->fraction = 0;
        c->currentSample = nullptr;
        c->priority = 0;
        return;
    }
    c->playPosition = uint32_t(uint64_t(pos) >> 32);
    c->fraction = uint32_t(uint64_t(pos));
    c->direction = direction;
}

template <class Mixer>
void mixList(void* buffer, HVSOUND_CHANNELLIST* channels, int frames)
{
    if (!buffer || !channels || frames <= 0)
        return;
    auto* out = static_cast<typename Mixer::Value*>(buffer);
    for (HVSOUND_CHANNEL* c = channels->first; c; c = c->next) {
        if (c->currentSample && !HVSOUND_Software_State(c)->paused)
            mixChannel<Mixer>(out, c, frames);
    }
}

int16_t clampToShort(float x)
{
    return int16_t(x < -32768.0f ? -32768.0f : x > 32767.0f ? 32767.0f : x);
}

void storeFrame(uint8_t* dst, int16_t left, int16_t right)
{
    uint32_t word = uint32_t(uint16_t(left)) | (uint32_t(uint16_t(right)) << 16);
    memcpy(dst, &word, 4);
}

HVSOUND_MIXER g_descriptors[HVSOUND_MIXER_COUNT] = {
    {"HVSOUND_MIXER_AUTODETECT", nullptr, nullptr, nullptr, nullptr, nullptr, 16, 2, 0},
    {"HVSOUND_MIXER_BLENDMODE", nullptr, nullptr, nullptr, nullptr, nullptr, 16, 2, 0},
    {"HVSOUND_MIXER_MMXP5", nullptr, nullptr, nullptr, nullptr, nullptr, 16, 2, 0},
    {"HVSOUND_MIXER_MMXP6", nullptr, nullptr, nullptr, nullptr, nullptr, 16, 2, 0},
    {"HVSOUND_MIXER_QUALITY_AUTODETECT", nullptr, nullptr, nullptr, nullptr, nullptr, 16, 2, 0},
    {"HVSOUND_MIXER_QUALITY_FPU", HVSOUND_Mixer_Init, HVSOUND_Mixer_Shutdown, HVSOUND_Mixer_Clear_FPU,
     HVSOUND_Mixer_Mix_FPU, HVSOUND_Mixer_Output_FPU, 32, 2, 7},
    {"HVSOUND_MIXER_QUALITY_MMXP5", nullptr, nullptr, HVSOUND_Mixer_Clear_MMX, HVSOUND_Mixer_Mix_MMXP5,
     HVSOUND_Mixer_Output_MMX, 16, 2, 3},
    {"HVSOUND_MIXER_QUALITY_MMXP6", nullptr, nullptr, HVSOUND_Mixer_Clear_MMX, HVSOUND_Mixer_Mix_MMXP6,
     HVSOUND_Mixer_Output_MMX, 16, 2, 3},
    {"HVSOUND_MIXER_MONO", nullptr, nullptr, nullptr, nullptr, nullptr, 16, 2, 0},
    {"HVSOUND_MIXER_QUALITY_MONO", nullptr, nullptr, nullptr, nullptr, nullptr, 16, 2, 0},
    {"HVSOUND_MIXER_C", nullptr, nullptr, nullptr, nullptr, nullptr, 16, 2, 0},
    {"HVSOUND_MIXER_QUALITY_C", nullptr, nullptr, nullptr, nullptr, nullptr, 16, 2, 0},
    {"HVSOUND_MIXER_QUALITY_C_CUBIC", nullptr, nullptr, nullptr, nullptr, nullptr, 16, 2, 0},
    {"HVSOUND_MIXER_QUALITY_C_SPLINE", nullptr, nullptr, nullptr, nullptr, nullptr, 16, 2, 0},
};

} // namespace

HVSOUND_MIXER* HVSOUND_Mixer_Descriptor(int type)
{
    if (type < 0 || type >= HVSOUND_MIXER_COUNT)
        return nullptr;
    return &g_descriptors[type];
}

bool HVSOUND_Mixer_CanMix(const HVSOUND_MIXER* mixer)
{
    return mixer && mixer->clear && mixer->mix && mixer->output;
}

bool HVSOUND_Mixer_Init()
{
    if (!g_byteTableBlock) {
        void* block = HVSOUND_ALLOC(kTableBytes);
        if (!block) {
            HVSOUND_SetError(HVSOUND_ERR_MEMORY);
            return false;
        }
        g_byteTableBlock = block;
        g_byteTable = reinterpret_cast<float*>((reinterpret_cast<uintptr_t>(block) + 15) & ~uintptr_t(15));
        for (int i = 0; i < 128; ++i)
            g_byteTable[i] = float(i) * kByteScale;
        for (int i = 128; i < 256; ++i)
            g_byteTable[i] = float(i - 256) * 256.0f;
    }
    // The variants give the same results; they only differ in how they
    // store (wide stores, the processor's own float-to-integer rounding).
    bool cpuid = HVSOUND_CPU_HasCPUID();
    HVSOUND_MIXER& self = g_descriptors[HVSOUND_MIXER_QUALITY_FPU];
    self.clear = cpuid && HVSOUND_CPU_HasMMX() ? HVSOUND_Mixer_Clear_FPU_MMX : HVSOUND_Mixer_Clear_FPU;
    self.output = cpuid && HVSOUND_CPU_IsFamily6() ? HVSOUND_Mixer_Output_FPU_P6 : HVSOUND_Mixer_Output_FPU;
    HVSOUND_Mixer_SetRampLength(HVSOUND_GetState()->mixRate * 128 / 44100);
    return true;
}

void HVSOUND_Mixer_Shutdown()
{
    HVSOUND_FREE(g_byteTableBlock);
    g_byteTableBlock = nullptr;
    g_byteTable = nullptr;
}

void HVSOUND_Mixer_SetRampLength(int frames)
{
    g_rampLength = frames < 1 ? 1 : frames;
    g_rampReciprocal = 1.0f / float(g_rampLength);
}

int HVSOUND_Mixer_RampLength()
{
    return g_rampLength;
}

const float* HVSOUND_Mixer_ByteTable()
{
    return g_byteTable;
}

void HVSOUND_Mixer_Clear_FPU(void* buffer, int count)
{
    if (buffer && count > 0)
        memset(buffer, 0, size_t(count) * 2 * sizeof(float));
}

void HVSOUND_Mixer_Clear_FPU_MMX(void* buffer, int count)
{
    if (!buffer || count <= 0)
        return;
    auto* p = static_cast<float*>(buffer);
    int i = 0;
#if defined(__SSE2__)
    const __m128 zero = _mm_setzero_ps();
    for (; i + 8 <= count; i += 8) {
        _mm_storeu_ps(p + 2 * i, zero);
        _mm_storeu_ps(p + 2 * i + 4, zero);
        _mm_storeu_ps(p + 2 * i + 8, zero);
        _mm_storeu_ps(p + 2 * i + 12, zero);
    }
#endif
    if (i < count)
        memset(p + 2 * i, 0, size_t(count - i) * 2 * sizeof(float));
}

void HVSOUND_Mixer_Mix_FPU(void* buffer, HVSOUND_CHANNELLIST* channels, int frames)
{
    mixList<FloatMixer>(buffer, channels, frames);
}

void HVSOUND_Mixer_Output_FPU(void* destination, const void* source, int frames)
{
    if (!destination || !source || frames <= 0)
        return;
    const auto* src = static_cast<const float*>(source);
    auto* dst = static_cast<uint8_t*>(destination);
    for (int j = 0; j < frames; ++j) {
        int16_t v[2];
        for (int k = 0; k < 2; ++k) {
            // Adding 1.5 x 2^52 leaves the value rounded to the nearest
            // integer (ties to even) in the low bits of the double. The value
            // is held to the 16-bit range first, so those bits never wrap.
            float x = src[2 * j + k];
            x = x < -32768.0f ? -32768.0f : x > 32767.0f ? 32767.0f : x;
            double d = double(x) + 6755399441055744.0;
            uint64_t bits;
            memcpy(&bits, &d, sizeof bits);
            v[k] = int16_t(int32_t(uint32_t(bits)));
        }
        storeFrame(dst + 4 * j, v[0], v[1]);
    }
}

void HVSOUND_Mixer_Output_FPU_P6(void* destination, const void* source, int frames)
{
    if (!destination || !source || frames <= 0)
        return;
    const auto* src = static_cast<const float*>(source);
    auto* dst = static_cast<uint8_t*>(destination);
    for (int j = 0; j < frames; ++j) {
        int16_t l = clampToShort(std::nearbyint(src[2 * j]));
        int16_t r = clampToShort(std::nearbyint(src[2 * j + 1]));
        storeFrame(dst + 4 * j, l, r);
    }
}

void HVSOUND_Mixer_Clear_MMX(void* buffer, int count)
{
    if (!buffer || count <= 0)
        return;
    auto* p = static_cast<uint32_t*>(buffer);
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= count; i += 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 4), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 8), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 12), zero);
    }
#endif
    for (; i < count; ++i)
        p[i] = 0;
}

void HVSOUND_Mixer_Mix_MMXP5(void* buffer, HVSOUND_CHANNELLIST* channels, int frames)
{
    mixList<IntMixer>(buffer, channels, frames);
}

void HVSOUND_Mixer_Mix_MMXP6(void* buffer, HVSOUND_CHANNELLIST* channels, int frames)
{
    mixList<IntMixer>(buffer, channels, frames);
}

void HVSOUND_Mixer_Output_MMX(void* destination, const void* source, int frames)
{
    if (!destination || !source || frames <= 0 || destination == source)
        return;
    memmove(destination, source, size_t(frames) * 4);
}

bool HVSOUND_Mixer_WrapPosition(const HVSOUND_SAMPLE* sample, int64_t* position, int* direction)
{
    return wrapPosition(loopOf(sample), *position, *direction);
}

void HVSOUND_Mixer_MeasureLevels(const HVSOUND_CHANNEL* channel, int frames, int32_t* left, int32_t* right)
{
    int32_t peakLeft = 0;
    int32_t peakRight = 0;
    const HVSOUND_SAMPLE* sample = channel->currentSample;
    const uint8_t* data = channel->dataPointer;
    if (sample && data && frames > 0) {
        const Loop loop = loopOf(sample);
        const Format format = formatOf(sample->mode);
        const bool wide = format == kMono16 || format == kStereo16;
        const bool stereo = format == kStereo8 || format == kStereo16;
        const int32_t vl = clampVolume(channel->leftVolume);
        const int32_t vr = clampVolume(channel->rightVolume);
        const uint64_t step = channel->step;
        int64_t pos = int64_t((uint64_t(channel->playPosition) << 32) | channel->fraction);
        int direction = channel->direction == HVSOUND_DIRECTION_BACKWARD ? HVSOUND_DIRECTION_BACKWARD
                                                                          : HVSOUND_DIRECTION_FORWARD;
        auto value = [&](size_t i) -> int32_t {
            if (wide)
                return reinterpret_cast<const int16_t*>(data)[i] >> 8;
            return reinterpret_cast<const int8_t*>(data)[i];
        };
        bool ended = pos >= (loop.length << 32) && !wrapPosition(loop, pos, direction);
        int remaining = frames;
        while (!ended && remaining > 0) {
            Segment seg = planSegment(loop, pos, direction, step, remaining);
            uint64_t delta = direction == HVSOUND_DIRECTION_FORWARD ? step : uint64_t(0) - step;
            uint64_t p = uint64_t(pos);
            for (int j = 0; j < seg.frames; ++j) {
                size_t i = size_t(p >> 32);
                int32_t l = stereo ? value(2 * i) : value(i);
                int32_t r = stereo ? value(2 * i + 1) : l;
                int32_t a = std::abs(l * vl);
                int32_t b = std::abs(r * vr);
                peakLeft = a > peakLeft ? a : peakLeft;
                peakRight = b > peakRight ? b : peakRight;
                p += delta;
            }
            pos = int64_t(p);
            remaining -= seg.frames;
            if (step == 0)
                break; // the same frame for the whole block
            if (seg.reachesEnd && !wrapPosition(loop, pos, direction))
                ended = true;
        }
    }
    if (left)
        *left = peakLeft;
    if (right)
        *right = peakRight;
}
