// UserTestSupport.cpp: the window-layer test fixture and the recording window
// procedure.
#include "UserTestSupport.h"

namespace usertest {

MessageLog& MessageLog::instance()
{
    static MessageLog log;
    return log;
}

void MessageLog::add(const Logged& m)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.push_back(m);
}

void MessageLog::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.clear();
}

std::vector<Logged> MessageLog::all() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
}

std::vector<Logged> MessageLog::of(UINT message) const
{
    std::vector<Logged> out;
    for (const Logged& m : all())
        if (m.message == message)
            out.push_back(m);
    return out;
}

std::vector<Logged> MessageLog::to(HWND hwnd) const
{
    std::vector<Logged> out;
    for (const Logged& m : all())
        if (m.hwnd == hwnd)
            out.push_back(m);
    return out;
}

std::vector<std::pair<HWND, UINT>> MessageLog::sequence(const std::vector<UINT>& wanted) const
{
    std::vector<std::pair<HWND, UINT>> out;
    for (const Logged& m : all())
        for (UINT w : wanted)
            if (m.message == w)
                out.emplace_back(m.hwnd, m.message);
    return out;
}

void MessageLog::setHook(Hook hook)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hook = std::move(hook);
}

Hook MessageLog::hook() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hook;
}

LRESULT recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog& log = MessageLog::instance();
    log.add(Logged{hwnd, message, wParam, lParam, GetCurrentThreadId()});
    if (Hook hook = log.hook()) {
        LRESULT result = 0;
        if (hook(hwnd, message, wParam, lParam, result))
            return result;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void UserTest::SetUp()
{
    platform::resetWindowLayer();
    m_backend = &platform::useHeadlessBackend();
    platform::setClock(&m_clock);
    log().clear();
    log().setHook(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = recordingProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "HVWND";
    ASSERT_NE(RegisterClassA(&wc), 0);
}

void UserTest::TearDown()
{
    log().setHook(nullptr);
    platform::resetWindowLayer();
    platform::setClock(nullptr);
}

HWND UserTest::createFrame(int x, int y, int clientWidth, int clientHeight)
{
    RECT r{x, y, x + clientWidth, y + clientHeight};
    AdjustWindowRectEx(&r, kFrameStyle, FALSE, 0);
    return CreateWindowExA(0, "HVWND", "", kFrameStyle, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                           nullptr, nullptr, nullptr);
}

HWND UserTest::createChild(HWND parent, int x, int y, int width, int height)
{
    return CreateWindowExA(0, "HVWND", "", WS_CHILD, x, y, width, height, parent, (HMENU)(LONG_PTR)-1, nullptr,
                           nullptr);
}

void UserTest::pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace usertest
