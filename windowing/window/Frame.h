// Frame.h: the top-level window of the program: a component with a fixed
// design size that owns the window graphics, switches between a centred
// window and full screen, keeps its size fixed against the user and the
// system, restores a lost graphics device on the main thread, and follows the
// system's sleep and resume. Its own monitor is taken after the paint lock
// and before the lost-device flag's (the order WindowGlobals::paintLock gives).
#pragma once

#include "windowing/window/Component.h"

#include <atomic>

struct MINMAXINFO;
struct WINDOWPOS;

namespace window {

class GraphicsWWinDX;

// Sleep mode on: every device restore refuses until it is switched off.
void setSleepMode(bool sleeping);

class Frame : public Component {
public:
    // The style every size computation uses (the window itself is made
    // without WS_VISIBLE).
    static constexpr DWORD FRAME_STYLE = 0x92CB0000u;

    Frame();
    // Releases the graphics, then the component.
    ~Frame() override;

    HV_CLASS_NAME("Frame", Component)

    void resized() override;
    void paintBackground(Graphics* g) override;
    bool RestoreDevice() override;
    bool checkDevice() override;
    void RestoreDeviceIfMainThread() override;
    void releaseDeviceResources() override;
    bool isDisplayChanged() override;
    void setDisplayChanged(bool changed) override;
    Graphics* getGraphics() override;
    void releaseGraphics() override;
    // Creates the top-level window centred in the work area (or covering the
    // screen); a negative width fits it into the work area. Not yet visible.
    bool create(Component* parent, util::RectangleNM* rect) override;
    // The client size, never above the design size.
    void sizeChanged(WPARAM wParam, LPARAM lParam) override;
    HWND getFrameHWND() override;

    // Switches to full screen (a display mode of the design size) or back.
    // Leaving needs a supported desktop depth or `force`.
    virtual void setFullScreen(bool on, bool force);
    // Posts the private close message (aboutToDestroy, then the window goes).
    virtual void requestClose();
    // Called on WM_DESTROY.
    virtual void destroyed();
    // Called on WM_CLOSE: destroys the window.
    virtual void windowClosing();
    // Gives the keyboard focus back to the child window that asked for it last.
    virtual void activated(bool active);
    virtual void setLocation(int x, int y);

    bool isFullScreen() const { return m_bFullScreen; }
    bool isResizable() const { return m_bResizable; }
    int getDesignWidth() const { return m_designWidth; }
    int getDesignHeight() const { return m_designHeight; }
    // The fix-up of every move and resize of a non-resizable frame.
    void getWindowSizeInfo(int* x, int* y, int* cx, int* cy);
    // Places the window topmost with its client area over the screen.
    void placeFullScreen();
    // Starts the system's sizing loop from the bottom-right corner.
    void startResizeDrag(int x, int y);

    // The frame's share of WM_GETMINMAXINFO and WM_WINDOWPOSCHANGING; the
    // latter returns true when the change was refused and default processing
    // must not run.
    void onGetMinMaxInfo(MINMAXINFO* info);
    bool onWindowPosChanging(WINDOWPOS* pos);

protected:
    // The design rectangle (0, 0, design size) grown by the frame style's
    // borders and caption.
    RECT adjustedDesignRect() const;
    // A new reference to the window graphics (made on first use).
    GraphicsWWinDX* windowGraphics();

    GraphicsWWinDX* m_graphics;
    int m_designWidth;
    int m_designHeight;
    // Switched on the window's thread; read also by the loader thread (the
    // options dialog's check mark is set up while the game loads).
    std::atomic<bool> m_bFullScreen;
    bool m_bDepthSupported;
    bool m_bResizable;
    bool m_bPopupFullScreen;
    bool m_bDisplayChanged;
};

} // namespace window
