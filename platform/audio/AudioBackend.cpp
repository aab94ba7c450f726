// AudioBackend.cpp: the one place where the sound output's backend is chosen.
#include "platform/audio/AudioBackend.h"

#include "platform/audio/sdl/SdlAudioBackend.h"

#include <mutex>

namespace platform::audio {

namespace {

std::mutex g_mutex;
std::shared_ptr<AudioBackend> g_backend;

} // namespace

std::shared_ptr<AudioBackend> audioBackend()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_backend)
        g_backend = std::make_shared<SdlAudioBackend>();
    return g_backend;
}

void setAudioBackend(std::shared_ptr<AudioBackend> backend)
{
    std::shared_ptr<AudioBackend> old;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        old = std::move(g_backend);
        g_backend = std::move(backend);
    }
    // The old backend goes here, outside the lock.
}

} // namespace platform::audio
