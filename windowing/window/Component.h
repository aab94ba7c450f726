// Component.h: a rectangle of the screen backed by a window of the class
// "HVWND", and the window procedure of every window of the program: mouse and
// key messages become events for overridable hooks, painting runs under the
// paint lock, and private messages carry work from other threads to the
// window's thread.
#pragma once

#include "core/lang/Object.h"
#include "core/util/Dimension.h"
#include "core/util/Point.h"
#include "core/util/RectangleNM.h"
#include "platform/Win32Types.h"
#include "windowing/graphics/ColorWin32.h"
#include "windowing/window/Receiver.h"

namespace window {

class Cursor;
class Event;
class Frame;
class Graphics;

class Component : public lang::Object, public Receiver {
public:
    // Private messages of the window procedure.
    static constexpr UINT WMP_SET_FOCUS = 0x464;   // take the keyboard focus
    static constexpr UINT WMP_CLOSE = 0x465;       // aboutToDestroy, then destroy the window
    static constexpr UINT WMP_LOST_DEVICE = 0x510; // restore the lost device (retried every 100 ms)
    static constexpr UINT WMP_SHOW = 0x511;        // show the window
    // lParam of a WM_SETCURSOR posted from another thread: HTCLIENT in the
    // low word, WM_MOUSEMOVE in the high word.
    static constexpr LPARAM SET_CURSOR_POSTED = 0x2000001;

    Component();
    // Releases the cursor; a window still attached is detached and destroyed.
    ~Component() override;

    HV_CLASS_NAME("Component", lang::Object)

    // Resizes the window (the fields follow through WM_SIZE).
    virtual void setSize(int width, int height);
    // Called after every WM_SIZE and after a resize drag starts.
    virtual void resized();
    virtual util::Dimension* size();
    virtual util::Dimension getSize();
    virtual util::RectangleNM* getBounds();
    // The area update and the background fill cover.
    virtual util::RectangleNM* getPaintBounds();
    virtual Component* getParent();
    // Input hooks: true when handled. The event is released after the hook
    // returns; a hook that keeps it takes a reference.
    virtual bool mouseDown(Event* e, int x, int y);
    virtual bool mouseUp(Event* e, int x, int y);
    virtual bool mouseMove(Event* e, int x, int y);
    virtual bool mouseDrag(Event* e, int x, int y);
    // Key-down events bubble up the parents until a hook returns true.
    virtual bool keyDown(Event* e, int key);
    virtual bool keyUp(Event* e, int key);
    // Called on the private close message, just before the window goes.
    virtual void aboutToDestroy();
    // Takes the keyboard focus, from the window's thread later when it
    // cannot be taken now.
    virtual void requestFocus();
    // Whether the point lies in the bounds (half-open).
    virtual bool contains(int x, int y);
    virtual void paint(Graphics* g);
    // Fills the paint bounds with the background colour, then paint().
    virtual void update(Graphics* g);
    // Invalidates the whole client area, erasing.
    virtual void repaint();
    virtual void paintBackground(Graphics* g);
    // Called on WM_WINDOWPOSCHANGED.
    virtual void windowStateChanged();
    virtual void setVisible(bool visible);
    virtual bool isVisible();
    virtual bool RestoreDevice();
    virtual bool checkDevice();
    virtual void RestoreDeviceIfMainThread();
    virtual void releaseDeviceResources();
    virtual bool isDisplayChanged();
    virtual void setDisplayChanged(bool changed);
    // Keeps a reference on the cursor (not null) and shows it over the client
    // area: at once on the window's thread, else through a posted WM_SETCURSOR.
    virtual void setCursor(Cursor* c);
    // Moves the pointer to a point of the client area.
    virtual void setCursorPos(int x, int y);
    // A new reference to the graphics that draws this component's window.
    virtual Graphics* getGraphics();
    virtual void releaseGraphics();
    virtual void setBackground(ColorBase* c);
    virtual void setForeground(ColorBase* c);
    virtual ColorWin32* getBackground();
    virtual ColorWin32* getForeground();
    // The pointer position in this window's client coordinates.
    virtual util::Point getMousePosition();
    // Whether the pointer lies in the client area.
    virtual bool isMouseInside();
    // Creates the window as a hidden child of the parent's window; true when
    // it exists. The child is shown later (WMP_SHOW or setVisible).
    virtual bool create(Component* parent, util::RectangleNM* rect);
    // The client size from WM_SIZE.
    virtual void sizeChanged(WPARAM wParam, LPARAM lParam);
    // The window procedure proper.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The handle of the top-level frame's window (null without a frame).
    virtual HWND getFrameHWND();

    // Receiver: a component takes every event.
    bool handleEvent(Event* e) override;

    HWND getHWND() const { return m_hWnd; }
    // The component's window handle; null for a null component.
    static HWND hwndOf(const Component* c) { return c ? c->m_hWnd : nullptr; }
    Cursor* getCursor() const { return m_cursor; }
    bool isShown() const { return m_bShow; }
    void setShown(bool show) { m_bShow = show; }
    // The buttons pressed in this window and not yet released: bit 0 left, bit 1 right.
    int getButtons() const { return m_buttons; }
    int getClickCount() const { return m_clickCount; }

    // The window procedure of the class "HVWND".
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Clears the window's user-data slot and forgets the window.
    void detach();
    // This component as a frame when it is one, else null.
    Frame* asFrame();

    HWND m_hWnd;
    Component* m_parent;
    Cursor* m_cursor;
    util::Dimension m_size;
    util::RectangleNM m_bounds;
    ColorWin32 m_foreground;
    ColorWin32 m_background;
    bool m_bShow;
    uint32_t m_lastClickTime;
    int m_clickCount;
    int m_buttons;

private:
    LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onPaint(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onLostDevice(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onKeyDown(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onKeyUp(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onChar(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMouseMove(LPARAM lParam);
    LRESULT onButtonDown(bool right, LPARAM lParam);
    LRESULT onButtonUp(bool right, LPARAM lParam);
    LRESULT onCaptureChanged();
    LRESULT onPowerBroadcast(UINT message, WPARAM wParam, LPARAM lParam);
    // The resize grip of the nearest resizable frame: true when the press
    // started a resize drag.
    bool startedResizeDrag(int x, int y);
    // Offers a key-down event to this component and then its parents.
    void bubbleKeyDown(Event* e);
    // Counts the press into the run of quick presses.
    void countClick(Event* e);
    // Whether this window has the keyboard focus (mouse messages need it).
    bool hasFocus() const;
};

} // namespace window
