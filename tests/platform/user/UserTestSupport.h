// UserTestSupport.h: a fixture for window-layer tests: a fresh headless
// backend and window layer, a fake clock, and a window procedure that records
// every message and lets a test answer some of them.
#pragma once

#include "platform/kernel/Clock.h"
#include "platform/user/Backend.h"
#include "platform/user/User.h"
#include "platform/user/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <vector>

namespace usertest {

struct Logged {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD thread;
};

// Answers a message instead of the default: returns true and sets `result`.
using Hook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT& result)>;

class MessageLog {
public:
    static MessageLog& instance();
    void add(const Logged& m);
    void clear();
    std::vector<Logged> all() const;
    // The messages of one kind, or of a window, in order.
    std::vector<Logged> of(UINT message) const;
    std::vector<Logged> to(HWND hwnd) const;
    // The message numbers in `wanted` as they arrived (others left out).
    std::vector<std::pair<HWND, UINT>> sequence(const std::vector<UINT>& wanted) const;
    void setHook(Hook hook);
    Hook hook() const;

private:
    mutable std::mutex m_mutex;
    std::vector<Logged> m_log;
    Hook m_hook;
};

LRESULT recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The top-level style the engine's frame uses (caption, system menu, minimise
// and maximise boxes, a popup that clips its children).
constexpr DWORD kFrameStyle = 0x82CB0000u;

class UserTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND createFrame(int x = 100, int y = 100, int clientWidth = 800, int clientHeight = 600);
    HWND createChild(HWND parent, int x, int y, int width, int height);
    // Takes, translates and dispatches every message there is.
    void pump();
    MessageLog& log() { return MessageLog::instance(); }

    platform::FakeClock m_clock{1000};
    platform::HeadlessBackend* m_backend = nullptr;
};

} // namespace usertest
