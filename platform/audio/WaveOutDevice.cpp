// WaveOutDevice.cpp: plays queued headers in order, repeating the span from a
// BEGINLOOP header to its ENDLOOP header dwLoops times, with silence for the
// bytes the program holds, and counts the bytes.
#include "platform/audio/WaveOutDevice.h"

#include <algorithm>
#include <cstring>

namespace platform::audio {

WaveOutDevice::WaveOutDevice(const AudioFormat& format) : m_format(format) {}

WaveOutDevice::~WaveOutDevice()
{
    // The device stops before the queue it reads from goes away.
    m_output.reset();
}

bool WaveOutDevice::open(AudioBackend& backend, int index)
{
    m_output = backend.open(index, m_format, *this);
    return m_output != nullptr;
}

bool WaveOutDevice::close()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_queue.empty())
            return false;
        m_closed = true;
    }
    // Outside the lock: stopping waits for a render that may be waiting for it.
    m_output.reset();
    return true;
}

MMRESULT WaveOutDevice::write(WAVEHDR* header)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed)
        return MMSYSERR_INVALHANDLE;
    if (!(header->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    m_queue.push_back(header);
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDevice::unprepare(WAVEHDR* header)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

void WaveOutDevice::reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (WAVEHDR* header : m_queue)
        finishHeader(header);
    m_queue.clear();
    m_playing = 0;
    m_offset = 0;
    m_inLoop = false;
    m_played = 0;
}

uint64_t WaveOutDevice::bytesPlayed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_played;
}

void WaveOutDevice::hold(const void* data, size_t bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_held.push_back({reinterpret_cast<uintptr_t>(data), bytes});
}

void WaveOutDevice::release(const void* data)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_held.begin(); it != m_held.end(); ++it) {
        if (it->start == reinterpret_cast<uintptr_t>(data)) {
            m_held.erase(it);
            return;
        }
    }
}

void WaveOutDevice::setVolume(DWORD volume)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_volume = volume;
}

void WaveOutDevice::render(uint8_t* out, size_t bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t written = play(out, bytes);
    // An empty queue plays silence: the middle value of unsigned 8-bit data.
    std::memset(out + written, m_format.bits == 8 ? 0x80 : 0, bytes - written);
    applyVolume(out, written);
}

size_t WaveOutDevice::play(uint8_t* out, size_t bytes)
{
    size_t written = 0;
    while (written < bytes && m_playing < m_queue.size()) {
        WAVEHDR* header = m_queue[m_playing];
        if (m_offset == 0 && !m_inLoop && (header->dwFlags & WHDR_BEGINLOOP)) {
            m_inLoop = true;
            m_loopStart = m_playing;
            m_loopsLeft = header->dwLoops;
            m_loopPassBytes = 0;
        }
        size_t n = std::min<size_t>(header->dwBufferLength - m_offset, bytes - written);
        if (header->lpData)
            copyUnheld(out + written, reinterpret_cast<const uint8_t*>(header->lpData) + m_offset, n);
        else
            std::memset(out + written, m_format.bits == 8 ? 0x80 : 0, n);
        m_offset += DWORD(n);
        written += n;
        m_played += n;
        m_loopPassBytes += n;
        if (m_offset < header->dwBufferLength)
            break; // the request is full
        m_offset = 0;
        if (m_inLoop && (header->dwFlags & WHDR_ENDLOOP)) {
            // Another pass; a loop with no bytes in it ends at once rather
            // than spinning here for ever.
            if (m_loopsLeft > 1 && m_loopPassBytes > 0) {
                --m_loopsLeft;
                m_playing = m_loopStart;
                m_loopPassBytes = 0;
                continue;
            }
            m_inLoop = false;
        }
        ++m_playing;
        if (!m_inLoop) {
            // Everything before the next header has played for good.
            for (; m_playing > 0; --m_playing) {
                finishHeader(m_queue.front());
                m_queue.pop_front();
            }
        }
    }
    return written;
}

void WaveOutDevice::copyUnheld(uint8_t* out, const uint8_t* data, size_t bytes) const
{
    const uintptr_t end = reinterpret_cast<uintptr_t>(data) + bytes;
    uintptr_t at = reinterpret_cast<uintptr_t>(data);
    while (at < end) {
        // A run up to the next place a hold starts or ends: all held or none.
        uintptr_t runEnd = end;
        bool held = false;
        for (const Held& h : m_held) {
            if (at >= h.start && at < h.start + h.bytes) {
                held = true;
                runEnd = std::min(runEnd, h.start + h.bytes);
            } else if (h.start > at) {
                runEnd = std::min(runEnd, h.start);
            }
        }
        size_t n = size_t(runEnd - at);
        size_t offset = size_t(at - reinterpret_cast<uintptr_t>(data));
        if (held)
            std::memset(out + offset, m_format.bits == 8 ? 0x80 : 0, n);
        else
            std::memcpy(out + offset, data + offset, n);
        at = runEnd;
    }
}

void WaveOutDevice::finishHeader(WAVEHDR* header)
{
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
}

void WaveOutDevice::applyVolume(uint8_t* data, size_t bytes) const
{
    if (m_volume == 0xFFFFFFFFu)
        return;
    const uint32_t gains[2] = {LOWORD(m_volume), m_format.channels == 2 ? HIWORD(m_volume) : LOWORD(m_volume)};
    const size_t sampleBytes = m_format.bits / 8;
    for (size_t i = 0, sample = 0; i + sampleBytes <= bytes; i += sampleBytes, ++sample) {
        const uint32_t gain = gains[sample % m_format.channels];
        if (sampleBytes == 1) {
            int value = (int(data[i]) - 128) * int(gain) / 0xFFFF;
            data[i] = uint8_t(value + 128);
        } else {
            int16_t value;
            std::memcpy(&value, data + i, 2);
            value = int16_t(int32_t(value) * int32_t(gain) / 0xFFFF);
            std::memcpy(data + i, &value, 2);
        }
    }
}

} // namespace platform::audio
