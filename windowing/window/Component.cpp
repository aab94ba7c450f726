// Component.cpp: the window component: creating its child window, focus,
// cursor and pointer, painting, and the window procedure that turns the
// window's messages into events and hooks.
#include "windowing/window/Component.h"

#include "core/lang/Synchronized.h"
#include "platform/files/Modules.h"
#include "platform/kernel/Clock.h"
#include "platform/user/User.h"
#include "windowing/window/Cursor.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"
#include "windowing/window/Frame.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/d3d/GraphicsWWinDX.h"
#include "windowing/d3d/LostDeviceFlag.h"
#include "windowing/window/WindowGlobals.h"

namespace window {
namespace {

// Key codes given as 1000 + the virtual-key code.
bool isMappedKey(WPARAM vk, bool withDelete)
{
    return (vk >= VK_LEFT && vk <= VK_DOWN) || (withDelete && vk == VK_DELETE) || (vk >= VK_F1 && vk <= VK_F15);
}

// Either of the two top bits of the key data: the key was already down.
int keyRepeatCount(LPARAM lParam)
{
    return (DWORD(lParam) & 0xC0000000u) ? 2 : 1;
}

bool keyDownNow(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

} // namespace

Component::Component()
    : m_hWnd(nullptr), m_parent(nullptr), m_cursor(nullptr), m_size(0, 0), m_bounds(0, 0, 0, 0),
      m_foreground(ColorBase::white), m_background(ColorBase::black), m_bShow(true), m_lastClickTime(0),
      m_clickCount(0), m_buttons(0)
{
}

Component::~Component()
{
    if (m_cursor) {
        m_cursor->release();
        m_cursor = nullptr;
    }
    if (m_hWnd) {
        HWND hwnd = m_hWnd;
        detach();
        DestroyWindow(hwnd);
    }
}

void Component::setSize(int width, int height)
{
    if (m_hWnd)
        SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

void Component::resized() {}

util::Dimension* Component::size()
{
    return &m_size;
}

util::Dimension Component::getSize()
{
    return util::Dimension(*size());
}

util::RectangleNM* Component::getBounds()
{
    return &m_bounds;
}

util::RectangleNM* Component::getPaintBounds()
{
    return getBounds();
}

Component* Component::getParent()
{
    return m_parent;
}

bool Component::mouseDown(Event*, int, int)
{
    return false;
}

bool Component::mouseUp(Event*, int, int)
{
    return false;
}

bool Component::mouseMove(Event*, int, int)
{
    return false;
}

bool Component::mouseDrag(Event*, int, int)
{
    return false;
}

bool Component::keyDown(Event*, int)
{
    return false;
}

bool Component::keyUp(Event*, int)
{
    return false;
}

void Component::aboutToDestroy() {}

void Component::requestFocus()
{
    if (!m_hWnd)
        return;
    WindowGlobals::setFocusRequester(m_hWnd);
    // SetFocus fails from another thread (or too early): the window's own
    // thread takes the focus when it handles the posted message.
    if (SetFocus(m_hWnd) == nullptr)
        PostMessageA(m_hWnd, WMP_SET_FOCUS, 0, 0);
}

bool Component::contains(int x, int y)
{
    return m_bounds.contains(x, y);
}

void Component::paint(Graphics*) {}

void Component::update(Graphics* g)
{
    g->setColor(m_background);
    util::RectangleNM* area = getPaintBounds();
    g->fillRect(0, 0, area->width, area->height);
    paint(g);
}

void Component::repaint()
{
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, TRUE);
}

void Component::paintBackground(Graphics*) {}

void Component::windowStateChanged() {}

void Component::setVisible(bool visible)
{
    ShowWindow(m_hWnd, visible ? SW_SHOW : SW_HIDE);
}

bool Component::isVisible()
{
    return IsWindowVisible(m_hWnd) != FALSE;
}

bool Component::RestoreDevice()
{
    debugLine("Root RestoreDevice\n");
    return true;
}

bool Component::checkDevice()
{
    return true;
}

void Component::RestoreDeviceIfMainThread() {}

void Component::releaseDeviceResources() {}

bool Component::isDisplayChanged()
{
    return false;
}

void Component::setDisplayChanged(bool) {}

void Component::setCursor(Cursor* c)
{
    if (!c)
        return;
    c->addRef();
    if (m_cursor)
        m_cursor->release();
    m_cursor = c;
    // Without a window there is nothing to apply it to yet; WM_SETCURSOR
    // applies it once the window exists.
    if (!m_hWnd)
        return;
    if (GetWindowThreadProcessId(m_hWnd, nullptr) == GetCurrentThreadId())
        SetCursor(c->getHandle());
    else
        PostMessageA(m_hWnd, WM_SETCURSOR, WPARAM(m_hWnd), SET_CURSOR_POSTED);
}

void Component::setCursorPos(int x, int y)
{
    POINT p{x, y};
    ClientToScreen(m_hWnd, &p);
    SetCursorPos(p.x, p.y);
}

Graphics* Component::getGraphics()
{
    Graphics* g = m_parent ? m_parent->getGraphics() : new GraphicsWWinDX(m_hWnd);
    if (auto* dx = dynamic_cast<GraphicsWWinDX*>(g))
        dx->setTargetWindow(m_hWnd);
    return g;
}

void Component::releaseGraphics() {}

void Component::setBackground(ColorBase* c)
{
    m_background = *c;
}

void Component::setForeground(ColorBase* c)
{
    m_foreground = *c;
}

ColorWin32* Component::getBackground()
{
    return &m_background;
}

ColorWin32* Component::getForeground()
{
    return &m_foreground;
}

util::Point Component::getMousePosition()
{
    POINT p{0, 0};
    GetCursorPos(&p);
    ScreenToClient(m_hWnd, &p);
    return util::Point(p.x, p.y);
}

bool Component::isMouseInside()
{
    util::Point p = getMousePosition();
    return p.x >= 0 && p.y >= 0 && p.x < m_size.width && p.y < m_size.height;
}

bool Component::create(Component* parent, util::RectangleNM* rect)
{
    if (!parent || !rect)
        return false;
    setBackground(parent->getBackground());
    CreateWindowExA(0, WindowGlobals::WINDOW_CLASS_NAME, "", WS_CHILD, rect->x, rect->y, rect->width, rect->height,
                    parent->getHWND(), reinterpret_cast<HMENU>(LONG_PTR(-1)), GetModuleHandleA(nullptr),
                    static_cast<Component*>(this));
    m_parent = parent;
    return m_hWnd != nullptr;
}

void Component::sizeChanged(WPARAM, LPARAM lParam)
{
    debugLine("WM_SIZE, sizing non-Frame:\n");
    m_size.width = LOWORD(lParam);
    m_size.height = HIWORD(lParam);
    m_bounds.width = m_size.width;
    m_bounds.height = m_size.height;
}

HWND Component::getFrameHWND()
{
    return m_parent ? m_parent->getFrameHWND() : nullptr;
}

bool Component::handleEvent(Event*)
{
    return true;
}

void Component::detach()
{
    if (m_hWnd) {
        SetWindowLongPtrA(m_hWnd, GWL_USERDATA, 0);
        m_hWnd = nullptr;
    }
}

Frame* Component::asFrame()
{
    return isInstanceOf("Frame") ? dynamic_cast<Frame*>(this) : nullptr;
}

bool Component::hasFocus() const
{
    return GetFocus() == m_hWnd;
}

LRESULT CALLBACK Component::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* component = reinterpret_cast<Component*>(GetWindowLongPtrA(hwnd, GWL_USERDATA));
    if (component)
        return component->handleMessage(message, wParam, lParam);
    if (message == WM_NCCREATE && lParam) {
        // The window holds a reference to its component until WM_NCDESTROY.
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        component = static_cast<Component*>(cs->lpCreateParams);
        if (component) {
            component->m_hWnd = hwnd;
            component->addRef();
            SetWindowLongPtrA(hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(component));
        }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT Component::defaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT Component::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        m_bounds = util::RectangleNM(cs->x, cs->y, cs->cx, cs->cy);
        m_size = util::Dimension(cs->cx, cs->cy);
        return defaultProc(message, wParam, lParam);
    }
    case WM_DESTROY:
        if (WindowGlobals::focusRequester() == m_hWnd)
            WindowGlobals::setFocusRequester(nullptr);
        if (Frame* frame = asFrame())
            frame->destroyed();
        return 0;
    case WM_MOVE:
        m_bounds.x = SHORT(LOWORD(lParam));
        m_bounds.y = SHORT(HIWORD(lParam));
        debugLine("WM_MOVE: (", m_bounds.x, ", ", m_bounds.y, ")\n");
        return 0;
    case WM_SIZE:
        if (IsIconic(m_hWnd))
            debugLine("WM_SIZE, iconic\n");
        else
            sizeChanged(wParam, lParam);
        resized();
        return 0;
    case WM_ACTIVATE:
        if (Frame* frame = asFrame()) {
            const bool active = LOWORD(wParam) != 0;
            DWORD otherProcess = 0;
            if (lParam)
                GetWindowThreadProcessId(reinterpret_cast<HWND>(lParam), &otherProcess);
            DWORD ownProcess = 0;
            GetWindowThreadProcessId(m_hWnd, &ownProcess);
            if (active || otherProcess != ownProcess)
                frame->activated(active);
            debugLine("WM_ACTIVATE: active = ", active, "\n");
        }
        return defaultProc(message, wParam, lParam);
    case WM_PAINT:
        return onPaint(message, wParam, lParam);
    case WM_CLOSE:
        if (Frame* frame = asFrame())
            frame->windowClosing();
        return 0;
    case WM_ERASEBKGND:
        debugLine("WM_ERASEBKGND ", m_hWnd, "\n");
        return defaultProc(message, wParam, lParam);
    case WM_SETCURSOR:
        if (m_cursor && LOWORD(lParam) == HTCLIENT) {
            SetCursor(m_cursor->getHandle());
            return 1;
        }
        return defaultProc(message, wParam, lParam);
    case WM_GETMINMAXINFO:
        if (Frame* frame = asFrame()) {
            frame->onGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        }
        return defaultProc(message, wParam, lParam);
    case WM_WINDOWPOSCHANGING:
        if (Frame* frame = asFrame()) {
            if (frame->onWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)))
                return 0;
        }
        return defaultProc(message, wParam, lParam);
    case WM_WINDOWPOSCHANGED:
        windowStateChanged();
        return defaultProc(message, wParam, lParam);
    case WM_DISPLAYCHANGE:
        setDisplayChanged(true);
        return defaultProc(message, wParam, lParam);
    case WM_NCDESTROY:
        // The window's reference goes last: this may delete the component.
        detach();
        release();
        return 0;
    case WM_KEYDOWN:
        return onKeyDown(message, wParam, lParam);
    case WM_KEYUP:
        return onKeyUp(message, wParam, lParam);
    case WM_CHAR:
        return onChar(message, wParam, lParam);
    case WM_SYSCOMMAND:
        if (Frame* frame = asFrame()) {
            if ((wParam & 0xFFF0) == SC_MAXIMIZE && !frame->isResizable()) {
                frame->setFullScreen(true, false);
                if (IsIconic(m_hWnd))
                    ShowWindow(m_hWnd, SW_RESTORE);
                return 0;
            }
        }
        return defaultProc(message, wParam, lParam);
    case WM_MOUSEMOVE:
        return onMouseMove(lParam);
    case WM_LBUTTONDOWN:
        return onButtonDown(false, lParam);
    case WM_LBUTTONUP:
        return onButtonUp(false, lParam);
    case WM_RBUTTONDOWN:
        return onButtonDown(true, lParam);
    case WM_RBUTTONUP:
        return onButtonUp(true, lParam);
    case WM_CAPTURECHANGED:
        return onCaptureChanged();
    case WM_POWERBROADCAST:
        return onPowerBroadcast(message, wParam, lParam);
    case WMP_SET_FOCUS:
        SetFocus(m_hWnd);
        return 0;
    case WMP_CLOSE: {
        HWND hwnd = m_hWnd;
        aboutToDestroy();
        // Destroying releases the window's reference: the component may be gone.
        DestroyWindow(hwnd);
        return 0;
    }
    case WMP_LOST_DEVICE:
        return onLostDevice(message, wParam, lParam);
    case WMP_SHOW:
        setVisible(true);
        return defaultProc(message, wParam, lParam);
    default:
        return defaultProc(message, wParam, lParam);
    }
}

LRESULT Component::onPaint(UINT message, WPARAM wParam, LPARAM lParam)
{
    debugLine("Start WM_PAINT ", m_hWnd, "\n");
    lang::Synchronized paintGuard(WindowGlobals::paintLock());
    if (WindowGlobals::isQuitting())
        return defaultProc(message, wParam, lParam);
    if (!checkDevice()) {
        debugLine("WM_PAINT: device lost\n");
        Graphics* g = getGraphics();
        Graphics* context = g ? g->create() : nullptr;
        if (g)
            g->release();
        if (context) {
            // A device ready to be reset is signalled as lost, which posts the
            // restore message.
            if (auto* dx = dynamic_cast<GraphicsWWinDX*>(context))
                dx->testCooperativeLevel(false);
            context->dispose();
            context->release();
        }
        return defaultProc(message, wParam, lParam);
    }
    if (m_bShow) {
        Graphics* g = getGraphics();
        Graphics* context = g ? g->create() : nullptr;
        if (g)
            g->release();
        if (context) {
            if (auto* dx = dynamic_cast<GraphicsWWinDX*>(context))
                dx->setTargetWindow(m_hWnd);
            update(context);
            context->dispose();
            context->release();
        }
        ValidateRect(m_hWnd, nullptr);
        return 0;
    }
    debugLine("WM_PAINT: don't show frame\n");
    ValidateRect(m_hWnd, nullptr);
    return defaultProc(message, wParam, lParam);
}

LRESULT Component::onLostDevice(UINT message, WPARAM wParam, LPARAM lParam)
{
    debugLine("WMP_LOST_DEVICE\n");
    if (!WindowGlobals::isQuitting()) {
        lang::Synchronized paintGuard(WindowGlobals::paintLock());
        if (!checkDevice()) {
            // Held with the paint lock, so a painting thread waits for it.
            Sleep(100);
            PostMessageA(m_hWnd, WMP_LOST_DEVICE, 0, 0);
        }
    }
    return defaultProc(message, wParam, lParam);
}

void Component::bubbleKeyDown(Event* e)
{
    for (Component* c = this; c; c = c->getParent()) {
        if (c->keyDown(e, e->key))
            break;
    }
}

LRESULT Component::onKeyDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    Event* e = new Event(this, Event::KEY_DOWN, this);
    BYTE state[256];
    GetKeyboardState(state);
    int key = 0;
    bool deliver = true;
    e->clickCount = keyRepeatCount(lParam);
    const bool ctrl = (state[VK_CONTROL] & 0x80) != 0;
    if (ctrl)
        e->modifiers |= Event::CTRL_MASK;
    if (state[VK_SHIFT] & 0x80)
        e->modifiers |= Event::SHIFT_MASK;
    if (isMappedKey(wParam, true)) {
        key = Event::KEY_CODE_BASE + int(wParam);
    } else {
        // With Ctrl held, the character the key gives without Ctrl; without
        // Ctrl a character arrives as its own WM_CHAR.
        if (ctrl)
            state[VK_CONTROL] = 0;
        WORD character = 0;
        const int n = ToAscii(UINT(wParam), UINT(lParam), state, &character, 0);
        if (n <= 0)
            key = int(wParam);
        else if (ctrl)
            key = character;
        else
            deliver = false;
    }
    if (!deliver) {
        e->release();
        return defaultProc(message, wParam, lParam);
    }
    e->when = GetTickCount();
    e->key = key & 0xFFFF;
    e->x = int(wParam);
    e->y = int(DWORD(lParam));
    bubbleKeyDown(e);
    e->release();
    return 0;
}

LRESULT Component::onKeyUp(UINT message, WPARAM wParam, LPARAM lParam)
{
    Event* e = new Event(this, Event::KEY_UP, this);
    e->when = GetTickCount();
    e->key = isMappedKey(wParam, false) ? Event::KEY_CODE_BASE + int(wParam) : int(LOWORD(wParam));
    keyUp(e, e->key);
    e->release();
    return defaultProc(message, wParam, lParam);
}

LRESULT Component::onChar(UINT message, WPARAM wParam, LPARAM lParam)
{
    Event* e = new Event(this, Event::KEY_DOWN, this);
    e->when = GetTickCount();
    e->key = int(wParam);
    e->clickCount = keyRepeatCount(lParam);
    // Characters typed with Ctrl held were reported by the key-down.
    if (!keyDownNow(VK_CONTROL)) {
        if (keyDownNow(VK_SHIFT))
            e->modifiers |= Event::SHIFT_MASK;
        bubbleKeyDown(e);
    }
    e->release();
    return defaultProc(message, wParam, lParam);
}

void Component::countClick(Event* e)
{
    e->when = GetTickCount();
    if (e->when - m_lastClickTime < WindowGlobals::doubleClickTime())
        ++m_clickCount;
    else
        m_clickCount = 1;
    e->clickCount = m_clickCount;
    m_lastClickTime = e->when;
}

LRESULT Component::onMouseMove(LPARAM lParam)
{
    if (!hasFocus())
        return 0;
    Event* e = new Event(this, Event::MOUSE_MOVE, this);
    e->x = SHORT(LOWORD(lParam));
    e->y = SHORT(HIWORD(lParam));
    e->when = GetTickCount();
    if (keyDownNow(VK_LBUTTON)) {
        e->id = Event::MOUSE_DRAG;
        mouseDrag(e, e->x, e->y);
    } else if (keyDownNow(VK_RBUTTON)) {
        e->id = Event::MOUSE_DRAG;
        e->modifiers |= Event::CTRL_MASK | Event::RIGHT_BUTTON_MASK;
        mouseDrag(e, e->x, e->y);
    } else {
        mouseMove(e, e->x, e->y);
    }
    e->release();
    return 0;
}

bool Component::startedResizeDrag(int x, int y)
{
    for (Component* c = this; c; c = c->getParent()) {
        if (!c->isInstanceOf("Frame"))
            continue;
        auto* frame = dynamic_cast<Frame*>(c);
        if (!frame || !frame->isResizable())
            return false;
        RECT client{};
        GetClientRect(frame->getHWND(), &client);
        if (x > client.right - 20 && y > client.bottom - 20) {
            frame->startResizeDrag(x, y);
            return true;
        }
        return false;
    }
    return false;
}

LRESULT Component::onButtonDown(bool right, LPARAM lParam)
{
    const int x = LOWORD(lParam);
    const int y = HIWORD(lParam);
    if (!right && startedResizeDrag(x, y))
        return 0;
    if (!hasFocus())
        return 0;
    Event* e = new Event(this, Event::MOUSE_DOWN, this);
    e->x = x;
    e->y = y;
    e->when = GetTickCount();
    if (right) {
        e->modifiers |= Event::CTRL_MASK | Event::RIGHT_BUTTON_MASK;
    } else {
        if (keyDownNow(VK_CONTROL))
            e->modifiers |= Event::CTRL_MASK;
        if (keyDownNow(VK_SHIFT))
            e->modifiers |= Event::SHIFT_MASK;
    }
    countClick(e);
    // Child windows keep the mouse while a button is held; frames never capture.
    if (m_parent && GetCapture() != m_hWnd)
        SetCapture(m_hWnd);
    m_buttons |= right ? 2 : 1;
    mouseDown(e, e->x, e->y);
    e->release();
    return 0;
}

LRESULT Component::onButtonUp(bool right, LPARAM lParam)
{
    if (!hasFocus())
        return 0;
    Event* e = new Event(this, Event::MOUSE_UP, this);
    e->x = LOWORD(lParam);
    e->y = HIWORD(lParam);
    if (right)
        e->modifiers |= Event::CTRL_MASK | Event::RIGHT_BUTTON_MASK;
    e->when = GetTickCount();
    m_buttons &= right ? ~2 : ~1;
    mouseUp(e, e->x, e->y);
    if (GetCapture() == m_hWnd && m_buttons == 0)
        ReleaseCapture();
    e->release();
    return 0;
}

LRESULT Component::onCaptureChanged()
{
    if (m_buttons == 0)
        return 0;
    // The buttons still held are released where the pointer is now.
    POINT p{0, 0};
    GetCursorPos(&p);
    ScreenToClient(m_hWnd, &p);
    for (int bit = 1; bit <= 2; bit <<= 1) {
        if (!(m_buttons & bit))
            continue;
        Event* e = new Event(this, Event::MOUSE_UP, this);
        e->x = p.x;
        e->y = p.y;
        e->when = GetTickCount();
        if (bit == 2)
            e->modifiers |= Event::CTRL_MASK | Event::RIGHT_BUTTON_MASK;
        mouseUp(e, e->x, e->y);
        e->release();
    }
    m_buttons = 0;
    return 0;
}

LRESULT Component::onPowerBroadcast(UINT message, WPARAM wParam, LPARAM lParam)
{
    debugLine("WM_POWERBROADCAST: wParam = ", wParam, "\n");
    if (wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMQUERYSUSPENDFAILED) {
        setSleepMode(false);
        {
            lang::Synchronized paintGuard(WindowGlobals::paintLock());
            LostDeviceFlag* flag = WindowGlobals::lostDeviceFlag();
            lang::Synchronized flagGuard(flag);
            flag->setLost(true);
            RestoreDeviceIfMainThread();
        }
        Frame* frame = asFrame();
        if (frame && frame->isFullScreen()) {
            debugLine("WM_POWERBROADCAST: Setting FullScreen\n");
            frame->placeFullScreen();
        }
    } else if (wParam == PBT_APMSUSPEND) {
        setSleepMode(true);
    }
    return defaultProc(message, wParam, lParam);
}

} // namespace window
