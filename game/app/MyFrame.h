// MyFrame.h: the game's main frame: the loader frame that shows the splash
// picture and the loading bar while the data loads, creates the game
// canvas, hands the window over to it when loading ends, drives it with the
// 16 ms game timer and saves the player's progress when the window closes.
#pragma once

#include "platform/user/Messages.h"
#include "sprites/loader/LoaderFrame2.h"

#include <string>

namespace window {
class ImageBase;
}

class LanternfieldCanvas;

class MyFrame : public sprite::LoaderFrame2 {
public:
    // The window timers: the loading screen's repaint and the game's tick.
    static constexpr UINT_PTR LOADING_TIMER = 1;
    static constexpr UINT_PTR GAME_TIMER = 2;
    static constexpr UINT LOADING_PERIOD_MS = 60;
    static constexpr UINT GAME_PERIOD_MS = 16;
    // The icon resource of the window.
    static constexpr int ICON_RESOURCE = 102;
    // Where the loading bar and its label stand on the loading screen.
    static constexpr int BAR_X = 187;
    static constexpr int BAR_Y = 404;
    static constexpr int LABEL_X = 305;
    static constexpr int LABEL_Y = 415;

    // An 800 x 600 frame with no pictures yet.
    MyFrame();
    // Releases the pictures and stops the game timer.
    ~MyFrame() override;

    bool isInstanceOf(const char* name) override;
    const char* getClassName() override { return "MyFrame"; }

    // The loading screen: the background, the splash picture, the bar as far
    // as the data has loaded, and its label.
    void update(window::Graphics* g) override;
    // The loading screen paints the whole window itself.
    void paintBackground(window::Graphics* g) override;
    // The window, the loading screen's pictures, the canvas, the start-up
    // settings, the loading timer and the loader thread.
    bool create(window::Component* parent, util::RectangleNM* rect) override;
    // A tick of the loading timer repaints the loading screen.
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Saves the player's progress, then closes.
    void requestClose() override;
    // The close, made on another thread while the window's thread is held
    // for good in a call into the display (see platform::DisplayThread): the
    // save requestClose makes, but nothing waits for the window's thread or
    // the loader (which may wait for it), and the window is left as it is.
    // Nothing is saved again once the window's thread saved for its close.
    void finishClose();
    // The canvas learns of the activation first.
    void activated(bool active) override;
    // The hand-over: the game timer takes over from the loading timer and
    // the splash picture goes.
    void onLoaded() override;

    // The game timer: one tick of the canvas.
    static void CALLBACK timerProc(HWND hwnd, UINT message, UINT_PTR id, DWORD time);

    // The canvas the timer and the loading screen use (borrowed; null until
    // create made it).
    static LanternfieldCanvas* canvas() { return s_pCanvas; }
    // Why the canvas's last save of its player did not happen; empty when
    // it did, or there is no canvas.
    static std::string lastSaveFailure();
    window::ImageBase* getSplash() const { return m_pSplash; }
    window::ImageBase* getLoadingLabel() const { return m_pLoadingLabel; }
    window::ImageBase* getLoadingBar() const { return m_pLoadingBar; }
    int getSplashTop() const { return m_nSplashTop; }

private:
    // The first of the splash candidates that loads; the last one stays
    // even when it failed too.
    static window::ImageBase* loadSplash();

    window::ImageBase* m_pSplash;
    window::ImageBase* m_pLoadingLabel;
    window::ImageBase* m_pLoadingBar;
    int m_nSplashTop;

    static LanternfieldCanvas* s_pCanvas;
};
