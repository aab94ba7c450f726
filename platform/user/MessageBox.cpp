// MessageBox.cpp: message boxes, written to stderr, recorded for tests and
// shown by the backend when it can.
#include "platform/user/MessageBox.h"

#include "platform/user/Backend.h"

#include <cstdio>
#include <mutex>

namespace platform {

struct MessageBoxCapture::State {
    mutable std::mutex mutex;
    std::vector<MessageBoxRecord> boxes;
};

namespace {

std::mutex& captureMutex()
{
    static std::mutex m;
    return m;
}

MessageBoxCapture::State*& currentCapture()
{
    static MessageBoxCapture::State* state = nullptr;
    return state;
}

} // namespace

MessageBoxCapture::MessageBoxCapture() : m_state(new State)
{
    std::lock_guard<std::mutex> lock(captureMutex());
    currentCapture() = m_state;
}

MessageBoxCapture::~MessageBoxCapture()
{
    {
        std::lock_guard<std::mutex> lock(captureMutex());
        if (currentCapture() == m_state)
            currentCapture() = nullptr;
    }
    delete m_state;
}

std::vector<MessageBoxRecord> MessageBoxCapture::boxes() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->boxes;
}

void MessageBoxCapture::clear()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->boxes.clear();
}

} // namespace platform

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    platform::MessageBoxRecord record;
    record.owner = owner;
    record.text = text ? text : "";
    // A box without a caption is titled "Error", as on the system the engine was made for.
    record.caption = caption ? caption : "Error";
    record.type = type;
    std::fprintf(stderr, "[message box] %s: %s\n", record.caption.c_str(), record.text.c_str());
    std::fflush(stderr);
    {
        std::lock_guard<std::mutex> lock(platform::captureMutex());
        if (platform::MessageBoxCapture::State* s = platform::currentCapture()) {
            std::lock_guard<std::mutex> inner(s->mutex);
            s->boxes.push_back(record);
        }
    }
    platform::windowBackend().showMessageBox(record.text, record.caption, type);
    return IDOK;
}
