// SoundMixer.cpp: mixes the playing buffers in floating point, then rounds and
// clamps into the output's 8- or 16-bit, mono or stereo format.
#include "platform/audio/dsound/SoundMixer.h"

#include "platform/audio/dsound/SoundBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::audio {

HRESULT readSoundFormat(LPCWAVEFORMATEX format, AudioFormat& result)
{
    if (!format)
        return DSERR_INVALIDPARAM;
    if (format->wFormatTag != WAVE_FORMAT_PCM || (format->nChannels != 1 && format->nChannels != 2) ||
        (format->wBitsPerSample != 8 && format->wBitsPerSample != 16))
        return DSERR_BADFORMAT;
    if (format->nSamplesPerSec < DSBFREQUENCY_MIN || format->nSamplesPerSec > DSBFREQUENCY_MAX ||
        format->nBlockAlign != format->nChannels * format->wBitsPerSample / 8)
        return DSERR_INVALIDPARAM;
    result.rate = format->nSamplesPerSec;
    result.channels = format->nChannels;
    result.bits = format->wBitsPerSample;
    return DS_OK;
}

SoundMixer::~SoundMixer()
{
    shutdown();
}

bool SoundMixer::open(std::shared_ptr<AudioBackend> backend, int index, const AudioFormat& format)
{
    std::lock_guard<std::mutex> lock(m_outputMutex);
    m_backend = std::move(backend);
    m_device = index;
    {
        std::lock_guard<std::mutex> state(m_mutex);
        m_format = format;
    }
    m_output = m_backend->open(m_device, format, *this);
    if (!m_output)
        return false;
    std::lock_guard<std::mutex> state(m_mutex);
    m_chunkFrames = m_output->chunkFrames();
    return true;
}

bool SoundMixer::setFormat(const AudioFormat& format)
{
    std::lock_guard<std::mutex> lock(m_outputMutex);
    if (m_shutDown || !m_backend)
        return false;
    AudioFormat old;
    {
        std::lock_guard<std::mutex> state(m_mutex);
        old = m_format;
    }
    if (format == old && m_output)
        return true;
    // Stop the old device first: it renders under the state lock.
    m_output.reset();
    {
        std::lock_guard<std::mutex> state(m_mutex);
        m_format = format;
    }
    m_output = m_backend->open(m_device, format, *this);
    bool changed = m_output != nullptr;
    if (!changed) {
        {
            std::lock_guard<std::mutex> state(m_mutex);
            m_format = old;
        }
        m_output = m_backend->open(m_device, old, *this);
    }
    std::lock_guard<std::mutex> state(m_mutex);
    m_chunkFrames = m_output ? m_output->chunkFrames() : 0;
    return changed;
}

void SoundMixer::shutdown()
{
    std::lock_guard<std::mutex> lock(m_outputMutex);
    m_shutDown = true;
    m_output.reset();
}

void SoundMixer::attach(SoundBuffer* buffer)
{
    std::lock_guard<std::mutex> state(m_mutex);
    m_buffers.push_back(buffer);
}

void SoundMixer::detach(SoundBuffer* buffer)
{
    std::lock_guard<std::mutex> state(m_mutex);
    m_buffers.erase(std::remove(m_buffers.begin(), m_buffers.end(), buffer), m_buffers.end());
}

void SoundMixer::loseAll()
{
    std::lock_guard<std::mutex> state(m_mutex);
    for (SoundBuffer* buffer : m_buffers)
        buffer->lose();
}

void SoundMixer::render(uint8_t* out, size_t bytes)
{
    std::lock_guard<std::mutex> state(m_mutex);
    const size_t frames = bytes / m_format.frameBytes();
    m_mix.assign(frames * 2, 0.0f);
    for (SoundBuffer* buffer : m_buffers)
        buffer->mixInto(m_mix.data(), frames, m_format.rate);

    const bool mono = m_format.channels == 1;
    for (size_t i = 0; i < frames; ++i) {
        float values[2] = {m_mix[2 * i], m_mix[2 * i + 1]};
        if (mono)
            values[0] = (values[0] + values[1]) * 0.5f;
        for (int c = 0; c < m_format.channels; ++c) {
            if (m_format.bits == 8) {
                // Round to the nearest 8-bit step, then offset to unsigned.
                long v = std::lrint(std::clamp(values[c] / 256.0f, -128.0f, 127.0f));
                *out++ = uint8_t(v + 128);
            } else {
                int16_t v = int16_t(std::lrint(std::clamp(values[c], -32768.0f, 32767.0f)));
                std::memcpy(out, &v, 2);
                out += 2;
            }
        }
    }
}

} // namespace platform::audio
