// LoaderFrame2.h: the top-level frame that starts the game: it finds the
// program folder, opens the settings store, reads the start-up settings,
// initialises the canvas, opens sound, loads the data on a thread of its own
// and hands the window over to the canvas; it also closes the program in
// order. The game's main frame derives from it and draws the loading screen.
#pragma once

#include "core/lang/Runnable.h"
#include "core/lang/String.h"
#include "windowing/window/Frame.h"

#include <atomic>

namespace lang {
class Thread;
}

namespace sprite {

class GameCanvas3;
class User;

class LoaderFrame2 : public window::Frame, public lang::Runnable {
public:
    // The loader thread has not started (start pending); the process-wide
    // quitting flag is cleared.
    LoaderFrame2();
    // Releases the loader thread, the settings store and the canvas.
    ~LoaderFrame2() override;

    // "LoaderFrame2", else the frame's answer, else the Runnable's.
    bool isInstanceOf(const char* name) override;
    const char* getClassName() override { return "LoaderFrame2"; }

    // The Runnable face shares the frame's count and monitor.
    void addRef() override { Object::addRef(); }
    void release() override { Object::release(); }
    void lock() override { Object::lock(); }
    void unlock() override { Object::unlock(); }
    int hashCode() override { return Object::hashCode(); }
    bool equals(lang::Object* other) override { return Object::equals(other); }
    lang::String toString() override;
    void wait(int milliseconds) override { Object::wait(milliseconds); }
    void wait() override { Object::wait(); }
    void notify() override { Object::notify(); }
    void notifyAll() override { Object::notifyAll(); }

    // Esc (27) in full screen returns to a window; not handled otherwise.
    bool keyDown(window::Event* e, int key) override;
    // Leaves full screen just before the window is destroyed.
    void aboutToDestroy() override;
    // Repaints the window and marks the canvas dirty.
    void repaint() override;
    // Minimised: the canvas loses focus; restored after a full-screen
    // minimise: back to full screen.
    void windowStateChanged() override;
    // The frame's device restore; the canvas then paints again.
    bool RestoreDevice() override;
    // Sets the quitting flag, writes "NORMALEXIT" = 1, then closes the window.
    void requestClose() override;
    // WM_DESTROY: quit.
    void destroyed() override;
    // WM_CLOSE: onClose.
    void windowClosing() override;
    // Deactivated in full screen: leaves it and minimises without activating.
    void activated(bool active) override;

    // Waits for the loader thread, stops the canvas, shuts it down,
    // releases the window graphics, closes sound and posts WM_QUIT.
    virtual void quit();
    // The window's close request: the canvas asks to exit.
    virtual void onClose();
    // Reads the start-up settings of the store `registryName`, switches to
    // full screen when asked, and initialises and keeps the canvas with the
    // manifest `dataFile`.
    virtual void startUp(GameCanvas3* canvas, const lang::String& registryName, const lang::String& dataFile);
    // Holds the canvas; an old one is stopped, shut down and released.
    virtual void setCanvas(GameCanvas3* canvas);
    // Called at the end of setCanvas.
    virtual void onCanvasSet();
    // Opens the sound engine: three tries, the last on waveOut.
    virtual void startSound();
    // When the loader has not started: sound, then the loader thread.
    virtual void startLoader();
    // Sound, then the loader's run on the calling thread.
    virtual void runLoaderHere();
    // Stops the canvas; a later loader run does not start it.
    virtual void stopCanvas();
    // The hand-over: the frame's window stops painting itself.
    virtual void onLoaded();

    // The loader thread's body: pre-load and the data when not loaded yet,
    // then the hand-over. A failed or broken load closes the window.
    void run() override;

    GameCanvas3* getCanvas() const { return m_pCanvas; }
    User* getUser() const { return m_pUser; }
    const lang::String& getProgramDirectory() const { return m_programDirectory; }
    void setProgramDirectory(const lang::String& directory) { m_programDirectory = directory; }
    lang::Thread* getLoaderThread() const { return m_pLoaderThread; }
    bool isStartPending() const { return m_bStartPending; }
    bool isMinimised() const { return m_bMinimised; }
    bool isLoadFailed() const { return m_bLoadFailed; }

protected:
    // Marks the load failed and asks the window thread to close.
    void failLoad();
    // Waits for the loader thread to end (no time limit) and lets it go.
    void joinLoader();

    lang::Thread* m_pLoaderThread;
    GameCanvas3* m_pCanvas;
    std::atomic<bool> m_bStartPending;
    bool m_bMinimised;
    std::atomic<bool> m_bLoadFailed;
    User* m_pUser;
    lang::String m_programDirectory;
};

} // namespace sprite
