// SoundBuffer.cpp: the buffer's calls, and its mixing with linear
// interpolation between frames (a frame at a whole position is copied exactly).
#include "platform/audio/dsound/SoundBuffer.h"

#include <cmath>
#include <cstring>

namespace platform::audio {

namespace {

// The gain of an attenuation in hundredths of a decibel; the minimum is silence.
float attenuationGain(LONG hundredthsOfDecibel)
{
    if (hundredthsOfDecibel <= DSBVOLUME_MIN)
        return 0.0f;
    return float(std::pow(10.0, double(hundredthsOfDecibel) / 2000.0));
}

} // namespace

SoundBuffer::SoundBuffer(std::shared_ptr<SoundMixer> mixer, const AudioFormat& format, DWORD bytes, DWORD flags,
                         const GUID& algorithm)
    : m_mixer(std::move(mixer)),
      // Silence: 0 for 16-bit data, the middle value for unsigned 8-bit data.
      m_data(std::make_shared<std::vector<uint8_t>>(bytes, format.bits == 8 ? 0x80 : 0)),
      m_locks(std::make_shared<std::vector<LockedBytes>>()), m_format(format),
      m_flags(flags), m_algorithm(algorithm), m_frames(bytes / format.frameBytes()), m_frequency(format.rate)
{
    m_mixer->attach(this);
}

SoundBuffer::SoundBuffer(const SoundBuffer& original, DWORD frequency, LONG volume, LONG pan)
    : m_mixer(original.m_mixer), m_data(original.m_data), m_locks(original.m_locks), m_format(original.m_format),
      m_flags(original.m_flags),
      m_algorithm(original.m_algorithm), m_frames(original.m_frames), m_frequency(frequency), m_volume(volume),
      m_pan(pan)
{
    updateGains();
    m_mixer->attach(this);
}

SoundBuffer::~SoundBuffer()
{
    m_mixer->detach(this);
}

SoundBuffer* SoundBuffer::duplicate()
{
    DWORD frequency;
    LONG volume, pan;
    {
        std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
        frequency = m_frequency;
        volume = m_volume;
        pan = m_pan;
    }
    return new SoundBuffer(*this, frequency, volume, pan);
}

DWORD SoundBuffer::writeCursor() const
{
    // The output has taken one request ahead of the play cursor, at this
    // buffer's rate.
    const uint32_t rate = m_mixer->format().rate;
    uint64_t ahead = rate ? uint64_t(m_mixer->chunkFrames()) * m_frequency / rate : 0;
    uint64_t frame = ((m_position >> 32) + ahead) % m_frames;
    return DWORD(frame * m_format.frameBytes());
}

HRESULT SoundBuffer::GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor)
{
    std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
    if (playCursor)
        *playCursor = DWORD((m_position >> 32) * m_format.frameBytes());
    if (writeCursor)
        *writeCursor = this->writeCursor();
    return DS_OK;
}

HRESULT SoundBuffer::GetStatus(LPDWORD status)
{
    if (!status)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
    DWORD s = 0;
    if (m_playing) {
        s |= DSBSTATUS_PLAYING;
        if (m_looping)
            s |= DSBSTATUS_LOOPING;
        if (m_flags & DSBCAPS_LOCDEFER)
            s |= DSBSTATUS_LOCSOFTWARE;
    }
    if (m_lost)
        s |= DSBSTATUS_BUFFERLOST;
    *status = s;
    return DS_OK;
}

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2,
                          LPDWORD bytes2, DWORD flags)
{
    if (!part1 || !bytes1)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
    if (m_lost)
        return DSERR_BUFFERLOST;
    const DWORD size = DWORD(m_data->size());
    if (flags & DSBLOCK_FROMWRITECURSOR)
        offset = writeCursor();
    if (flags & DSBLOCK_ENTIREBUFFER)
        bytes = size;
    if (offset >= size || bytes == 0 || bytes > size)
        return DSERR_INVALIDPARAM;
    const bool wraps = bytes > size - offset;
    if (wraps && (!part2 || !bytes2))
        return DSERR_INVALIDPARAM;
    uint8_t* base = m_data->data();
    *part1 = base + offset;
    *bytes1 = wraps ? size - offset : bytes;
    if (part2)
        *part2 = wraps ? base : nullptr;
    if (bytes2)
        *bytes2 = wraps ? bytes - (size - offset) : 0;
    m_locks->push_back({base + offset, offset, bytes});
    return DS_OK;
}

HRESULT SoundBuffer::Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2)
{
    // Both parts must lie inside the buffer; the data is already in place.
    // The mixer reads the bytes again once the lock is gone: both happen
    // under the state lock, which orders the caller's writes before those
    // reads (as taking it in Lock orders the mixer's earlier reads before
    // the writes).
    std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
    const uint8_t* base = m_data->data();
    const size_t size = m_data->size();
    auto inside = [&](LPVOID part, DWORD bytes) {
        if (!part)
            return bytes == 0;
        const uint8_t* p = static_cast<const uint8_t*>(part);
        return p >= base && p <= base + size && bytes <= size_t(base + size - p);
    };
    if (!inside(part1, bytes1) || !inside(part2, bytes2))
        return DSERR_INVALIDPARAM;
    for (auto it = m_locks->begin(); it != m_locks->end(); ++it) {
        if (it->part1 == part1) {
            m_locks->erase(it);
            break;
        }
    }
    return DS_OK;
}

HRESULT SoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags)
{
    const DWORD location = flags & (DSBPLAY_LOCHARDWARE | DSBPLAY_LOCSOFTWARE);
    if (reserved != 0 || location == (DSBPLAY_LOCHARDWARE | DSBPLAY_LOCSOFTWARE))
        return DSERR_INVALIDPARAM;
    // A priority and a location are chosen at play time only by deferred buffers.
    if (priority != 0 && !(m_flags & DSBCAPS_LOCDEFER))
        return DSERR_INVALIDPARAM;
    if (location && !(m_flags & DSBCAPS_LOCDEFER))
        return DSERR_INVALIDCALL;
    // Every voice is mixed in software: there are no hardware voices.
    if (location == DSBPLAY_LOCHARDWARE)
        return DSERR_CONTROLUNAVAIL;
    std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
    if (m_lost)
        return DSERR_BUFFERLOST;
    m_playing = true;
    m_looping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD position)
{
    if (position >= m_data->size())
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
    m_position = uint64_t(position / m_format.frameBytes()) << 32;
    return DS_OK;
}

HRESULT SoundBuffer::SetFormat(LPCWAVEFORMATEX)
{
    return DSERR_INVALIDCALL; // only the primary buffer's format can change
}

HRESULT SoundBuffer::SetVolume(LONG volume)
{
    if (!(m_flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
    m_volume = volume;
    updateGains();
    return DS_OK;
}

HRESULT SoundBuffer::SetPan(LONG pan)
{
    if (!(m_flags & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
    m_pan = pan;
    updateGains();
    return DS_OK;
}

HRESULT SoundBuffer::SetFrequency(DWORD frequency)
{
    if (!(m_flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    if (frequency == DSBFREQUENCY_ORIGINAL)
        frequency = m_format.rate;
    if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
    m_frequency = frequency;
    return DS_OK;
}

HRESULT SoundBuffer::Stop()
{
    std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
    m_playing = false;
    return DS_OK;
}

HRESULT SoundBuffer::Restore()
{
    std::lock_guard<std::mutex> lock(m_mixer->stateMutex());
    m_lost = false;
    return DS_OK;
}

void SoundBuffer::lose()
{
    m_lost = true;
    m_playing = false;
}

void SoundBuffer::updateGains()
{
    const float volume = attenuationGain(m_volume);
    m_gains[0] = volume * (m_pan > 0 ? attenuationGain(-m_pan) : 1.0f);
    m_gains[1] = volume * (m_pan < 0 ? attenuationGain(m_pan) : 1.0f);
}

bool SoundBuffer::locked(uint32_t frame) const
{
    const DWORD size = DWORD(m_data->size());
    const DWORD frameBytes = m_format.frameBytes();
    const DWORD first = frame * frameBytes;
    for (const LockedBytes& l : *m_locks) {
        // How far the frame starts past the lock's first byte, round the end:
        // inside the lock, or so close before it that the frame reaches in.
        DWORD past = (first + size - l.offset) % size;
        if (past < l.bytes || size - past < frameBytes)
            return true;
    }
    return false;
}

float SoundBuffer::sample(uint32_t frame, int channel) const
{
    if (!m_locks->empty() && locked(frame))
        return 0.0f;
    const uint8_t* p = m_data->data() + size_t(frame) * m_format.frameBytes();
    if (m_format.channels == 2)
        p += channel * (m_format.bits / 8);
    if (m_format.bits == 8)
        return float((int(*p) - 128) * 256);
    int16_t value;
    std::memcpy(&value, p, 2);
    return float(value);
}

void SoundBuffer::mixInto(float* mix, size_t frames, uint32_t outputRate)
{
    if (!m_playing || m_frames == 0 || outputRate == 0)
        return;
    const uint64_t end = uint64_t(m_frames) << 32;
    const uint64_t step = (uint64_t(m_frequency) << 32) / outputRate;
    for (size_t i = 0; i < frames; ++i) {
        const uint32_t frame = uint32_t(m_position >> 32);
        const float fraction = float(uint32_t(m_position)) * (1.0f / 4294967296.0f);
        uint32_t next = frame + 1;
        if (next == m_frames)
            next = m_looping ? 0 : frame;
        for (int c = 0; c < 2; ++c) {
            float value = sample(frame, c);
            if (fraction != 0.0f)
                value += (sample(next, c) - value) * fraction;
            mix[2 * i + c] += value * m_gains[c];
        }
        m_position += step;
        if (m_position >= end) {
            if (!m_looping) {
                // A one-shot play ends at the buffer's end and goes back to the start.
                m_playing = false;
                m_position = 0;
                return;
            }
            m_position %= end;
        }
    }
}

} // namespace platform::audio
