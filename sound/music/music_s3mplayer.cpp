// music_s3mplayer.cpp: the S3M player: the tick update that walks orders and
// rows, the row player (notes, instruments, volumes and every effect's tick-0
// work), the tick player (slides, portamento, vibrato, tremolo, tremor,
// arpeggio, retrigger, note cut and delay) and the application of each voice
// to its engine channel.
#include "sound/music/music_formats3m.h"

#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/music/hvmusic.h"

#include "platform/kernel/CRuntime.h"

#include <cstring>

namespace {

// Periods of the twelve notes of octave 0; each octave up halves them.
constexpr int kOctaveZero[12] = {1712, 1616, 1524, 1440, 1356, 1280, 1208, 1140, 1076, 1016, 960, 906};

struct PeriodTable {
    int values[HVSOUND_S3M_PERIODS];
    PeriodTable()
    {
        for (int n = 0; n < HVSOUND_S3M_PERIODS; ++n)
            values[n] = (kOctaveZero[n % 12] * 16) >> (n / 12);
        // These four are one above what the halving gives.
        for (int n : {88, 91, 92, 100})
            values[n] += 1;
    }
};
const PeriodTable g_periods;

// Vibrato and tremolo waveform 0: half a sine wave.
constexpr uint8_t kSine[32] = {0,   24,  49,  74,  97,  120, 141, 161, 180, 197, 212, 224, 235, 244, 250, 253,
                               255, 253, 250, 244, 235, 224, 212, 197, 180, 161, 141, 120, 97,  74,  49,  24};
constexpr int kC2Base = 8363;
// Note delay (SDx) and the other extended commands, by their high nibble.
enum : int {
    kSetFinetune = 0x2,
    kVibratoWave = 0x3,
    kTremoloWave = 0x4,
    kSetPan = 0x8,
    kStereoControl = 0xA,
    kPatternLoop = 0xB,
    kNoteCut = 0xC,
    kNoteDelay = 0xD,
    kPatternDelay = 0xE,
};
// Fine slides are E/F parameters from this value up: tick 0 only.
constexpr uint8_t kFineSlides = 0xE0;
constexpr int kMinTempo = 32; // T with a smaller parameter is ignored

// A silent stand-in for instruments the song does not have.
HVSOUND_SAMPLE makeInvalidSample()
{
    HVSOUND_SAMPLE s;
    memset(&s, 0, sizeof s);
    strcpy(s.name, "Invalid Sample");
    s.moduleRate = kC2Base;
    s.guardPosition = -1;
    return s;
}
HVSOUND_SAMPLE g_invalidSample = makeInvalidSample();

int clampVolume(int v)
{
    return v < 0 ? 0 : v > HVMUSIC_MAX_VOLUME ? HVMUSIC_MAX_VOLUME : v;
}

HVSOUND_SAMPLE* sampleOf(HVMUSIC_SONG* song, int instrument)
{
    if (instrument >= 1 && instrument <= song->sampleCount && song->samples[instrument - 1])
        return song->samples[instrument - 1];
    return &g_invalidSample;
}

// The period of a 1-based note for a sample: the table's, scaled by the
// sample's C2 speed; 0 for no note.
int periodOf(int note, const HVSOUND_SAMPLE* sample)
{
    int period = HVSOUND_S3M_Period(note - 1);
    int c2 = sample ? sample->moduleRate : kC2Base;
    if (period > 0 && c2 != 0)
        period = int(int64_t(period) * kC2Base / c2);
    return period;
}

int waveValue(int waveform, int position)
{
    switch (waveform & 3) {
    case 0:
        return kSine[position & 31];
    case 1: {
        int v = (position * 8) & 248;
        return position < 0 ? 255 - v : v;
    }
    case 2:
        return 255;
    default:
        return crtRand() & 255;
    }
}

// One step of a vibrato or tremolo position: it runs over -32..31.
int advance(int position, int speed)
{
    position += speed;
    if (position > 31)
        position -= 64;
    return position;
}

struct Player {
    HVMUSIC_SONG* song;
    bool jumped; // a B effect came first on this row

    // Steps 3 to 5 of the row player for one cell: the note takes the
    // voice, an instrument sets the volume, the cell's volume applies.
    void trigger(HVMUSIC_CHANNEL_STATE& ch, const HVMUSIC_CELL& cell)
    {
        HVMUSIC_VOICE& voice = ch.voice;
        HVSOUND_SAMPLE* sample = sampleOf(song, ch.instrument);
        bool porta = cell.effect == HVSOUND_S3M_FX_TONEPORTA || cell.effect == HVSOUND_S3M_FX_TONEPORTASLIDE;
        if (cell.note != HVMUSIC_NOTE_NONE && cell.note != HVMUSIC_NOTE_CUT) {
            ch.hasVoice = true;
            int period = periodOf(cell.note, sample);
            voice.pan = ch.pan;
            if (!porta) {
                voice.period = period;
                voice.sample = sample;
                voice.startOffset = 0;
                voice.flags |= HVMUSIC_VOICE_START;
            }
        }
        if (cell.instrument) {
            voice.volume = clampVolume(sample->volume);
            ch.tremorCounter = 0;
            if ((ch.waveControl & 0x0F) < 4)
                ch.vibratoPosition = 0;
            if ((ch.waveControl >> 4) < 4)
                ch.tremoloPosition = 0;
        }
        voice.flags |= HVMUSIC_VOICE_FREQUENCY | HVMUSIC_VOICE_VOLUME | HVMUSIC_VOICE_PAN;
        if (cell.volume)
            voice.volume = clampVolume(cell.volume - 1);
        if (cell.note == HVMUSIC_NOTE_CUT)
            voice.volume = 0;
    }

    // Step 1: the cell's instrument and note become the channel's.
    void take(HVMUSIC_CHANNEL_STATE& ch, const HVMUSIC_CELL& cell)
    {
        if (cell.instrument) {
            ch.instrument = cell.instrument;
            HVMUSIC_Callback_Fire(song, &song->instrumentCallbacks[(cell.instrument - 1) & 255], cell.instrument);
        }
        if (cell.note != HVMUSIC_NOTE_NONE && cell.note != HVMUSIC_NOTE_CUT)
            ch.note = cell.note;
    }

    void setPan(HVMUSIC_CHANNEL_STATE& ch, int pan)
    {
        pan = pan < 0 ? 0 : pan > 255 ? 255 : pan;
        ch.pan = pan;
        ch.voice.pan = pan;
        ch.voice.flags |= HVMUSIC_VOICE_PAN;
    }

    void fineOrFastSlide(HVMUSIC_CHANNEL_STATE& ch)
    {
        int x = ch.volumeSlide >> 4;
        int y = ch.volumeSlide & 15;
        int& volume = ch.voice.volume;
        if (y == 15 && x != 0)
            volume += x;
        else if (x == 15 && y != 0)
            volume -= y;
        else if (song->fastVolumeSlides && y == 0)
            volume += x;
        else if (song->fastVolumeSlides && x == 0)
            volume -= y;
        volume = clampVolume(volume);
        ch.voice.flags |= HVMUSIC_VOICE_VOLUME;
    }

    void volumeSlide(HVMUSIC_CHANNEL_STATE& ch)
    {
        int x = ch.volumeSlide >> 4;
        int y = ch.volumeSlide & 15;
        if (y == 0)
            ch.voice.volume = clampVolume(ch.voice.volume + x);
        else if (x == 0)
            ch.voice.volume = clampVolume(ch.voice.volume - y);
        ch.voice.flags |= HVMUSIC_VOICE_VOLUME;
    }

    void tonePortamentoTarget(HVMUSIC_CHANNEL_STATE& ch, const HVMUSIC_CELL& cell)
    {
        if (cell.note != HVMUSIC_NOTE_NONE && cell.note != HVMUSIC_NOTE_CUT)
            ch.targetPeriod = periodOf(cell.note, sampleOf(song, ch.instrument));
        ch.voice.flags &= ~(HVMUSIC_VOICE_START | HVMUSIC_VOICE_FREQUENCY);
    }

    void tonePortamento(HVMUSIC_CHANNEL_STATE& ch)
    {
        HVMUSIC_VOICE& voice = ch.voice;
        int step = ch.portamentoSpeed * 4;
        if (ch.targetPeriod <= 0)
            return;
        if (voice.period < ch.targetPeriod) {
            voice.period += step;
            if (voice.period > ch.targetPeriod)
                voice.period = ch.targetPeriod;
        } else if (voice.period > ch.targetPeriod) {
            voice.period -= step;
            if (voice.period < ch.targetPeriod)
                voice.period = ch.targetPeriod;
        }
        voice.flags |= HVMUSIC_VOICE_FREQUENCY;
    }

    void vibrato(HVMUSIC_CHANNEL_STATE& ch, bool fine)
    {
        int value = waveValue(ch.waveControl & 0x0F, ch.vibratoPosition);
        int delta = fine ? (ch.vibratoDepth * value) >> 7 : ((ch.vibratoDepth * value) >> 5) & ~3;
        ch.voice.periodDelta = ch.vibratoPosition < 0 ? -delta : delta;
        ch.voice.flags |= HVMUSIC_VOICE_FREQUENCY;
        ch.vibratoPosition = advance(ch.vibratoPosition, ch.vibratoSpeed);
    }

    void tremolo(HVMUSIC_CHANNEL_STATE& ch)
    {
        int value = waveValue(ch.waveControl >> 4, ch.tremoloPosition);
        int delta = (ch.tremoloDepth * value) >> 6;
        if (ch.tremoloPosition < 0)
            delta = -delta;
        ch.voice.volumeDelta = clampVolume(ch.voice.volume + delta) - ch.voice.volume;
        ch.voice.flags |= HVMUSIC_VOICE_VOLUME;
        ch.tremoloPosition = advance(ch.tremoloPosition, ch.tremoloSpeed);
    }

    void tremor(HVMUSIC_CHANNEL_STATE& ch)
    {
        if (ch.tremorOn == 0)
            return;
        if (ch.tremorCounter >= ch.tremorOn)
            ch.voice.volumeDelta = -ch.voice.volume;
        if (++ch.tremorCounter >= ch.tremorOn + ch.tremorOff)
            ch.tremorCounter = 0;
        ch.voice.flags |= HVMUSIC_VOICE_VOLUME;
    }

    void arpeggio(HVMUSIC_CHANNEL_STATE& ch)
    {
        int step = song->tick % 3;
        int semitones = step == 1 ? ch.arpeggio >> 4 : step == 2 ? ch.arpeggio & 15 : 0;
        ch.voice.flags |= HVMUSIC_VOICE_FREQUENCY;
        if (semitones == 0 || ch.note == HVMUSIC_NOTE_NONE)
            return;
        int target = ch.note + semitones;
        if (target > HVSOUND_S3M_PERIODS)
            target = HVSOUND_S3M_PERIODS;
        HVSOUND_SAMPLE* sample = sampleOf(song, ch.instrument);
        ch.voice.periodDelta = periodOf(target, sample) - periodOf(ch.note, sample);
    }

    void retrigger(HVMUSIC_CHANNEL_STATE& ch)
    {
        if (ch.retriggerInterval == 0 || song->tick % ch.retriggerInterval != 0)
            return;
        int& volume = ch.voice.volume;
        switch (ch.retriggerMode) {
        case 1: volume -= 1; break;
        case 2: volume -= 2; break;
        case 3: volume -= 4; break;
        case 4: volume -= 8; break;
        case 5: volume -= 16; break;
        case 6: volume = volume * 2 / 3; break;
        case 7: volume /= 2; break;
        case 9: volume += 1; break;
        case 10: volume += 2; break;
        case 11: volume += 4; break;
        case 12: volume += 8; break;
        case 13: volume += 16; break;
        case 14: volume = volume * 3 / 2; break;
        case 15: volume *= 2; break;
        default: break;
        }
        volume = clampVolume(volume);
        ch.voice.pan = ch.pan;
        ch.voice.startOffset = 0;
        ch.voice.flags |= HVMUSIC_VOICE_START | HVMUSIC_VOICE_VOLUME | HVMUSIC_VOICE_FREQUENCY | HVMUSIC_VOICE_PAN;
    }

    void portamento(HVMUSIC_CHANNEL_STATE& ch, int sign, bool firstTick)
    {
        int v = ch.portamento;
        int amount = 0;
        if (firstTick) {
            if ((v >> 4) == 0xF)
                amount = 4 * (v & 15);
            else if ((v >> 4) == 0xE)
                amount = v & 15;
        } else if (v < kFineSlides) {
            amount = v * 4;
        }
        ch.voice.period += sign * amount;
        ch.voice.flags |= HVMUSIC_VOICE_FREQUENCY;
        if (!firstTick && sign < 0 && ch.voice.period <= 0)
            ch.voice.flags |= HVMUSIC_VOICE_STOP;
    }

    void extendedRow(HVMUSIC_CHANNEL_STATE& ch, int x)
    {
        int command = ch.parameter >> 4;
        switch (command) {
        case kSetFinetune: {
            HVSOUND_SAMPLE* sample = sampleOf(song, ch.instrument);
            if (sample != &g_invalidSample)
                sample->moduleRate = HVMUSIC_C2Frequency(x);
            break;
        }
        case kVibratoWave:
            ch.waveControl = uint8_t((ch.waveControl & 0xF0) | x);
            break;
        case kTremoloWave:
            ch.waveControl = uint8_t((ch.waveControl & 0x0F) | (x << 4));
            break;
        case kSetPan:
            setPan(ch, x * 16);
            break;
        case kStereoControl:
            setPan(ch, (x < 8 ? x + 8 : x - 8) * 16);
            break;
        case kPatternLoop:
            if (x == 0) {
                ch.loopRow = song->row;
            } else {
                ch.loopCount = ch.loopCount == 0 ? x : ch.loopCount - 1;
                if (ch.loopCount != 0)
                    song->nextRow = ch.loopRow;
            }
            break;
        case kPatternDelay:
            song->patternDelay = song->speed * x;
            break;
        default:
            break;
        }
    }

    // Step 6 of the row player: the effect's tick-0 work.
    void rowEffect(HVMUSIC_CHANNEL_STATE& ch, const HVMUSIC_CELL& cell)
    {
        uint8_t p = cell.parameter;
        int x = p >> 4;
        int y = p & 15;
        switch (cell.effect) {
        case HVSOUND_S3M_FX_SPEED:
            song->speed = p;
            break;
        case HVSOUND_S3M_FX_JUMP:
            if (p >= song->orderCount) {
                song->nextOrder = song->restartOrder;
                song->finished = true;
            } else {
                song->nextOrder = p;
            }
            song->nextRow = 0;
            jumped = true;
            break;
        case HVSOUND_S3M_FX_BREAK: {
            int row = x * 10 + y;
            song->nextRow = row > HVMUSIC_ROWS - 1 ? 0 : row;
            if (!jumped) {
                song->nextOrder = song->order + 1;
                if (song->nextOrder >= song->orderCount) {
                    song->nextOrder = song->restartOrder;
                    song->finished = true;
                }
            }
            break;
        }
        case HVSOUND_S3M_FX_VOLUMESLIDE:
            if (p)
                ch.volumeSlide = p;
            fineOrFastSlide(ch);
            break;
        case HVSOUND_S3M_FX_PORTADOWN:
        case HVSOUND_S3M_FX_PORTAUP:
            if (p)
                ch.portamento = p;
            portamento(ch, cell.effect == HVSOUND_S3M_FX_PORTADOWN ? 1 : -1, true);
            break;
        case HVSOUND_S3M_FX_TONEPORTA:
            if (p)
                ch.portamentoSpeed = p;
            tonePortamentoTarget(ch, cell);
            break;
        case HVSOUND_S3M_FX_VIBRATO:
        case HVSOUND_S3M_FX_FINEVIBRATO:
            if (x)
                ch.vibratoSpeed = uint8_t(x);
            if (y)
                ch.vibratoDepth = uint8_t(y);
            break;
        case HVSOUND_S3M_FX_TREMOR:
            if (p) {
                ch.tremorOn = uint8_t(x + 1);
                ch.tremorOff = uint8_t(y + 1);
            }
            tremor(ch);
            break;
        case HVSOUND_S3M_FX_ARPEGGIO:
            if (p)
                ch.arpeggio = p;
            break;
        case HVSOUND_S3M_FX_VIBRATOSLIDE:
            if (p)
                ch.volumeSlide = p;
            break;
        case HVSOUND_S3M_FX_TONEPORTASLIDE:
            if (p)
                ch.volumeSlide = p;
            tonePortamentoTarget(ch, cell);
            break;
        case HVSOUND_S3M_FX_OFFSET:
            if (ch.voice.flags & HVMUSIC_VOICE_START) {
                const HVSOUND_SAMPLE* sample = ch.voice.sample;
                int offset = p * 256;
                if (!sample || offset >= sample->loopStart + sample->loopLength) {
                    ch.voice.flags &= ~HVMUSIC_VOICE_START;
                    ch.voice.flags |= HVMUSIC_VOICE_STOP;
                } else {
                    ch.voice.startOffset = offset;
                }
            }
            break;
        case HVSOUND_S3M_FX_RETRIGGER:
            if (p) {
                ch.retriggerMode = uint8_t(x);
                ch.retriggerInterval = uint8_t(y);
            }
            break;
        case HVSOUND_S3M_FX_TREMOLO:
            if (x)
                ch.tremoloSpeed = uint8_t(x);
            if (y)
                ch.tremoloDepth = uint8_t(y);
            break;
        case HVSOUND_S3M_FX_SPECIAL:
            extendedRow(ch, y);
            break;
        case HVSOUND_S3M_FX_TEMPO:
            if (p >= kMinTempo)
                HVMUSIC_SetBPM(song, p);
            break;
        case HVSOUND_S3M_FX_GLOBALVOLUME:
            song->globalVolume = p > HVMUSIC_MAX_VOLUME ? HVMUSIC_MAX_VOLUME : p;
            break;
        case HVSOUND_S3M_FX_PAN:
            setPan(ch, p * 2);
            break;
        case HVSOUND_S3M_FX_CALLBACK:
            HVMUSIC_Callback_Fire(song, &song->zxxCallback, p);
            break;
        default:
            break;
        }
    }

    void playCell(HVMUSIC_CHANNEL_STATE& ch, const HVMUSIC_CELL& cell)
    {
        HVMUSIC_VOICE& voice = ch.voice;
        ch.lastEffect = ch.effect;
        ch.effect = cell.effect;
        ch.parameter = cell.parameter;
        take(ch, cell);
        if (ch.lastEffect == HVSOUND_S3M_FX_TREMOLO && ch.effect != HVSOUND_S3M_FX_TREMOLO)
            voice.volume = clampVolume(voice.volume + voice.volumeDelta);
        voice.volumeDelta = 0;
        voice.periodDelta = 0;
        voice.flags = 0;
        bool delayed = cell.effect == HVSOUND_S3M_FX_SPECIAL && (cell.parameter >> 4) == kNoteDelay &&
                       (cell.parameter & 15) != 0;
        if (delayed)
            ch.delayed = cell; // played at its tick, until then the row leaves the voice as it was
        else
            trigger(ch, cell);
        rowEffect(ch, cell);
    }

    void tickEffect(HVMUSIC_CHANNEL_STATE& ch)
    {
        HVMUSIC_VOICE& voice = ch.voice;
        voice.volumeDelta = 0;
        voice.periodDelta = 0;
        voice.flags = 0;
        switch (ch.effect) {
        case HVSOUND_S3M_FX_VOLUMESLIDE:
            volumeSlide(ch);
            break;
        case HVSOUND_S3M_FX_PORTADOWN:
            portamento(ch, 1, false);
            break;
        case HVSOUND_S3M_FX_PORTAUP:
            portamento(ch, -1, false);
            break;
        case HVSOUND_S3M_FX_TONEPORTA:
            tonePortamento(ch);
            break;
        case HVSOUND_S3M_FX_VIBRATO:
            vibrato(ch, false);
            break;
        case HVSOUND_S3M_FX_FINEVIBRATO:
            vibrato(ch, true);
            break;
        case HVSOUND_S3M_FX_TREMOLO:
            tremolo(ch);
            break;
        case HVSOUND_S3M_FX_TREMOR:
            tremor(ch);
            break;
        case HVSOUND_S3M_FX_ARPEGGIO:
            arpeggio(ch);
            break;
        case HVSOUND_S3M_FX_VIBRATOSLIDE:
            vibrato(ch, false);
            volumeSlide(ch);
            break;
        case HVSOUND_S3M_FX_TONEPORTASLIDE:
            tonePortamento(ch);
            volumeSlide(ch);
            break;
        case HVSOUND_S3M_FX_RETRIGGER:
            retrigger(ch);
            break;
        case HVSOUND_S3M_FX_SPECIAL: {
            int command = ch.parameter >> 4;
            int x = ch.parameter & 15;
            if (command == kNoteCut && song->tick == x) {
                voice.volume = 0;
                voice.flags |= HVMUSIC_VOICE_VOLUME;
            } else if (command == kNoteDelay && song->tick == x) {
                trigger(ch, ch.delayed);
            }
            break;
        }
        default:
            break;
        }
    }

    // Sends what changed in a voice to its engine channel.
    void apply(HVMUSIC_CHANNEL_STATE& ch)
    {
        if (!ch.hasVoice)
            return;
        HVMUSIC_VOICE& voice = ch.voice;
        uint32_t flags = voice.flags;
        int period = voice.period + voice.periodDelta;
        if (period == 0)
            flags &= ~HVMUSIC_VOICE_FREQUENCY;
        int volume = clampVolume(voice.volume + voice.volumeDelta);
        if (song->quietThreshold > 0 && volume < song->quietThreshold && playingChannels() > song->channelLimit)
            flags |= HVMUSIC_VOICE_STOP;
        if (flags & HVMUSIC_VOICE_START)
            HVMUSIC_Channel_Start(song, &voice);
        HVSOUND_CHANNEL* c = HVMUSIC_Channel_Of(song, &voice);
        if (!c)
            return;
        if (flags & HVMUSIC_VOICE_VOLUME)
            HVSOUND_SetVolumeAbsolute(voice.channel, (volume * song->globalVolume * song->masterVolume) >> 13);
        if (flags & HVMUSIC_VOICE_PAN) {
            int pan = int(float(voice.pan - 128) * song->panSeparation + 128.0f);
            HVSOUND_SetPanDirect(voice.channel, pan < 0 ? 0 : pan > 255 ? 255 : pan);
        }
        if (flags & HVMUSIC_VOICE_FREQUENCY)
            HVSOUND_Channel_SetFrequency(c, HVSOUND_S3M_CLOCK / (period > 1 ? period : 1));
        if (flags & HVMUSIC_VOICE_STOP) {
            c->flags &= ~HVSOUND_CHANNEL_MUSIC;
            HVSOUND_Channel_Stop(c);
            voice.channel = -1;
            voice.startOffset = 0;
        }
    }

    int playingChannels() const
    {
        int n = 0;
        for (HVSOUND_CHANNEL* c = song->unit.channels.first; c; c = c->next)
            n += HVSOUND_Channel_CurrentSample(c) != nullptr;
        return n;
    }

    void playRow()
    {
        jumped = false;
        const HVMUSIC_PATTERN& pattern = song->patterns[song->orders[song->order]];
        const HVMUSIC_CELL empty = {};
        for (int i = 0; i < song->channelCount; ++i) {
            const HVMUSIC_CELL& cell =
                pattern.cells ? pattern.cells[size_t(song->row) * size_t(song->channelCount) + size_t(i)] : empty;
            playCell(song->channels[i], cell);
            apply(song->channels[i]);
        }
    }

    void playTick()
    {
        for (int i = 0; i < song->channelCount; ++i) {
            tickEffect(song->channels[i]);
            apply(song->channels[i]);
        }
    }
};

} // namespace

int HVSOUND_S3M_Period(int index)
{
    return index >= 0 && index < HVSOUND_S3M_PERIODS ? g_periods.values[index] : 0;
}

void HVSOUND_S3M_Update(HVMUSIC_SONG* song)
{
    Player player{song, false};
    if (song->tick == 0) {
        if (song->finished && !song->looping) {
            HVMUSIC_StopSong(song);
            return;
        }
        // The finished flag stays set once the song has passed its end, so
        // that looping switched off later stops it at the next row.
        if (song->nextOrder >= 0) {
            song->order = song->nextOrder;
            song->nextOrder = -1;
            HVMUSIC_Callback_FireEvery(song, &song->orderCallback, song->order);
        }
        if (song->nextRow >= 0) {
            song->row = song->nextRow;
            song->nextRow = -1;
            HVMUSIC_Callback_FireEvery(song, &song->rowCallback, song->row);
        }
        player.playRow();
        if (song->nextRow < 0) {
            song->nextRow = song->row + 1;
            if (song->nextRow >= HVMUSIC_ROWS) {
                song->nextRow = 0;
                song->nextOrder = song->order + 1;
            }
        }
        if (song->nextOrder >= song->orderCount) {
            song->nextOrder = song->restartOrder;
            song->finished = true;
        }
    } else {
        player.playTick();
    }
    if (++song->tick >= song->speed + song->patternDelay) {
        song->tick = 0;
        song->patternDelay = 0;
    }
}
