// WindowGlobals.cpp: making the window layer's process-wide objects in their
// order before the program starts, and tearing them down in reverse at exit.
#include "windowing/window/WindowGlobals.h"

#include "platform/files/Modules.h"
#include "platform/user/User.h"
#include "windowing/window/Component.h"
#include "windowing/window/Cursor.h"
#include "windowing/window/HandCursorResource.h"
#include "windowing/d3d/LostDeviceFlag.h"

#include <atomic>

namespace window {
namespace {

// Zero-initialised before anything runs; no constructor needed.
std::atomic<HWND> s_focusRequester{nullptr};
std::atomic<DWORD> s_mainThreadId{0};
std::atomic<bool> s_sleeping{false};
std::atomic<bool> s_quitting{false};

Cursor* loadCursor(HINSTANCE instance, LPCSTR name)
{
    return new Cursor(LoadCursorA(instance, name));
}

void releaseCursor(Cursor*& cursor)
{
    if (cursor) {
        cursor->release();
        cursor = nullptr;
    }
}

} // namespace

class WindowGlobals::State {
public:
    State()
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        doubleClickTime = GetDoubleClickTime();
        paintLock = new lang::Object();
        registerClass();
        lostDeviceFlag = new LostDeviceFlag();

        HandCursorResource::install();
        Cursor::blankCursor = loadCursor(instance, MAKEINTRESOURCEA(107));
        Cursor::spareCursor = loadCursor(instance, MAKEINTRESOURCEA(105));
        Cursor::handCursor = loadCursor(instance, MAKEINTRESOURCEA(HandCursorResource::RESOURCE_ID));
        Cursor::openHandCursor = loadCursor(instance, MAKEINTRESOURCEA(106));
        Cursor::crossCursor = loadCursor(nullptr, IDC_CROSS);
        Cursor::waitCursor = loadCursor(nullptr, IDC_WAIT);
        Cursor::textCursor = loadCursor(nullptr, IDC_IBEAM);
        Cursor::normalCursor = loadCursor(nullptr, IDC_ARROW);
    }

    ~State()
    {
        releaseCursor(Cursor::normalCursor);
        releaseCursor(Cursor::textCursor);
        releaseCursor(Cursor::waitCursor);
        releaseCursor(Cursor::crossCursor);
        releaseCursor(Cursor::openHandCursor);
        releaseCursor(Cursor::handCursor);
        releaseCursor(Cursor::spareCursor);
        releaseCursor(Cursor::blankCursor);
        lostDeviceFlag->release();
        UnregisterClassA(WINDOW_CLASS_NAME, GetModuleHandleA(nullptr));
        paintLock->release();
    }

    State(const State&) = delete;
    State& operator=(const State&) = delete;

    bool registerClass()
    {
        WNDCLASSA wc{};
        wc.style = 0;
        wc.lpfnWndProc = Component::windowProc;
        wc.cbClsExtra = 0;
        wc.cbWndExtra = 0;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hIcon = nullptr;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = nullptr;
        wc.lpszMenuName = nullptr;
        wc.lpszClassName = WINDOW_CLASS_NAME;
        ATOM atom = RegisterClassA(&wc);
        if (atom)
            classAtom = atom;
        return atom != 0;
    }

    UINT doubleClickTime = 0;
    lang::Object* paintLock = nullptr;
    ATOM classAtom = 0;
    LostDeviceFlag* lostDeviceFlag = nullptr;
};

WindowGlobals::State& WindowGlobals::state()
{
    static State s;
    return s;
}

namespace {

// Makes the globals before the program's entry function runs.
struct MadeAtStartUp {
    MadeAtStartUp() { WindowGlobals::paintLock(); }
} s_madeAtStartUp;

} // namespace

lang::Object* WindowGlobals::paintLock()
{
    return state().paintLock;
}

LostDeviceFlag* WindowGlobals::lostDeviceFlag()
{
    return state().lostDeviceFlag;
}

UINT WindowGlobals::doubleClickTime()
{
    return state().doubleClickTime;
}

ATOM WindowGlobals::windowClassAtom()
{
    return state().classAtom;
}

bool WindowGlobals::registerWindowClass()
{
    // A class that is still registered makes RegisterClassA fail; it stays.
    return state().registerClass() || state().classAtom != 0;
}

HWND WindowGlobals::focusRequester()
{
    return s_focusRequester.load();
}

void WindowGlobals::setFocusRequester(HWND hwnd)
{
    s_focusRequester.store(hwnd);
}

DWORD WindowGlobals::mainThreadId()
{
    return s_mainThreadId.load();
}

void WindowGlobals::setMainThreadId(DWORD threadId)
{
    s_mainThreadId.store(threadId);
}

bool WindowGlobals::isSleeping()
{
    return s_sleeping.load();
}

void WindowGlobals::setSleeping(bool sleeping)
{
    s_sleeping.store(sleeping);
}

bool WindowGlobals::isQuitting()
{
    return s_quitting.load();
}

void WindowGlobals::setQuitting(bool quitting)
{
    s_quitting.store(quitting);
}

} // namespace window
