// DebugOutput.cpp: the debugger output sink.
#include "platform/kernel/DebugOutput.h"

#include "platform/kernel/StandardError.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace platform {
namespace {

std::mutex& sinkMutex()
{
    static std::mutex m;
    return m;
}

DebugSink& currentSink()
{
    static DebugSink sink;
    return sink;
}

bool echoToStderr()
{
    static const bool echo = [] {
        const char* v = std::getenv("HV_DEBUG_OUTPUT");
        return v != nullptr && *v != '\0' && std::strcmp(v, "0") != 0;
    }();
    return echo;
}

} // namespace

void setDebugSink(DebugSink sink)
{
    std::lock_guard<std::mutex> lock(sinkMutex());
    currentSink() = std::move(sink);
}

void reportProblem(const char* text)
{
    if (!text)
        return;
    {
        std::lock_guard<std::mutex> lock(sinkMutex());
        if (currentSink())
            currentSink()(text);
    }
    StandardError::line(text);
}

struct DebugCapture::State {
    mutable std::mutex mutex;
    std::string text;
};

DebugCapture::DebugCapture() : m_state(new State)
{
    State* s = m_state;
    setDebugSink([s](const char* text) {
        std::lock_guard<std::mutex> lock(s->mutex);
        s->text += text;
    });
}

DebugCapture::~DebugCapture()
{
    setDebugSink(nullptr);
    delete m_state;
}

std::string DebugCapture::text() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->text;
}

void DebugCapture::clear()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->text.clear();
}

} // namespace platform

void OutputDebugStringA(LPCSTR text)
{
    if (!text)
        return;
    {
        std::lock_guard<std::mutex> lock(platform::sinkMutex());
        if (platform::currentSink())
            platform::currentSink()(text);
    }
    if (platform::echoToStderr())
        platform::StandardError::line(text);
}
