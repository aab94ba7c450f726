// LoaderFrame2.cpp: the start-up settings, sound, the loader thread with its
// hand-over, full-screen behaviour and the ordered shutdown.
#include "sprites/loader/LoaderFrame2.h"

#include "core/lang/Exception.h"
#include "core/lang/Synchronized.h"
#include "core/lang/System.h"
#include "core/lang/Thread.h"
#include "platform/files/Modules.h"
#include "platform/kernel/Clock.h"
#include "platform/user/User.h"
#include "sound/clip/AudioClip.h"
#include "sprites/canvas/GameCanvas3.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "windowing/window/Cursor.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/WindowGlobals.h"

#include <exception>

namespace sprite {

namespace {

// The wait between two tries to open the sound engine.
constexpr DWORD kSoundRetryMs = 3000;
// SW_SHOWMINNOACTIVE: minimised without taking the activation.
constexpr int kShowMinimisedInactive = 7;
// The buffer the program path is read into.
constexpr DWORD kModulePathSize = 2048;

} // namespace

LoaderFrame2::LoaderFrame2()
    : m_pLoaderThread(nullptr), m_pCanvas(nullptr), m_bStartPending(true), m_bMinimised(false),
      m_bLoadFailed(false), m_pUser(nullptr), m_programDirectory("")
{
    window::WindowGlobals::setQuitting(false);
}

LoaderFrame2::~LoaderFrame2()
{
    if (m_pLoaderThread)
        m_pLoaderThread->release();
    if (m_pUser)
        m_pUser->release();
    if (m_pCanvas)
        m_pCanvas->release();
}

bool LoaderFrame2::isInstanceOf(const char* name)
{
    return isClassName(name, "LoaderFrame2") || Frame::isInstanceOf(name) || Runnable::isInstanceOf(name);
}

lang::String LoaderFrame2::toString()
{
    return Object::toString();
}

bool LoaderFrame2::keyDown(window::Event*, int key)
{
    if (key == 27 && m_bFullScreen) {
        setFullScreen(false, false);
        return true;
    }
    return false;
}

void LoaderFrame2::aboutToDestroy()
{
    lang::Synchronized paintGuard(window::WindowGlobals::paintLock());
    if (m_bFullScreen)
        setFullScreen(false, true);
}

void LoaderFrame2::repaint()
{
    OutputDebugStringA("LoaderFrame2::repaint\n");
    Frame::repaint();
    if (m_pCanvas)
        m_pCanvas->setDirty(true);
}

void LoaderFrame2::windowStateChanged()
{
    if (IsIconic(m_hWnd)) {
        if (m_pCanvas)
            m_pCanvas->onFocusLost();
    } else if (m_bMinimised && IsWindowVisible(m_hWnd)) {
        setFullScreen(true, false);
        m_bMinimised = false;
    }
}

bool LoaderFrame2::RestoreDevice()
{
    const bool restored = Frame::RestoreDevice();
    if (m_pCanvas)
        m_pCanvas->setDirty(true);
    return restored;
}

void LoaderFrame2::requestClose()
{
    window::WindowGlobals::setQuitting(true);
    if (m_pUser)
        m_pUser->setInt("NORMALEXIT", 1);
    Frame::requestClose();
}

void LoaderFrame2::destroyed()
{
    quit();
}

void LoaderFrame2::windowClosing()
{
    onClose();
}

void LoaderFrame2::activated(bool active)
{
    if (m_bFullScreen && !active) {
        setFullScreen(false, true);
        const bool wasVisible = IsWindowVisible(m_hWnd) != FALSE;
        ShowWindow(m_hWnd, kShowMinimisedInactive);
        if (!wasVisible)
            ShowWindow(m_hWnd, SW_HIDE);
        m_bMinimised = true;
    }
    Frame::activated(active);
}

void LoaderFrame2::quit()
{
    // The loader ends without starting the canvas; the canvas it filled is
    // stopped once it has ended.
    m_bStartPending = true;
    joinLoader();
    stopCanvas();
    if (m_pCanvas)
        m_pCanvas->shutdown();
    releaseGraphics();
    window::AudioClip::closeSound();
    PostQuitMessage(0);
}

void LoaderFrame2::onClose()
{
    if (m_pCanvas)
        m_pCanvas->requestExit();
}

void LoaderFrame2::startUp(GameCanvas3* canvas, const lang::String& registryName, const lang::String& dataFile)
{
    if (m_programDirectory.isEmpty()) {
        char path[kModulePathSize];
        const DWORD length = GetModuleFileNameA(nullptr, path, kModulePathSize);
        const lang::String program(path, 0, int(length < kModulePathSize ? length : kModulePathSize - 1));
        const int slash = program.lastIndexOf('\\');
        m_programDirectory = slash >= 0 ? program.substring(0, slash) : lang::String("");
    }
    if (m_pUser)
        m_pUser->release();
    m_pUser = new User();
    m_pUser->open(registryName);
    lang::System::setDebugMode(m_pUser->getString("Debug", "").equals("VX"));

    // At 15 to 32 bits the setting decides (no full screen by default at 15
    // bits); at any other depth the game goes full screen.
    const int depth = lang::System::getScreenColorDepth();
    int fullScreen = 1;
    if (depth == 15 || depth == 16 || depth == 24 || depth == 32)
        fullScreen = m_pUser->getInt("FULLSCREEN", depth > 15 ? 1 : 0);
    // "NORMALEXIT" is 0 while the game runs: a 0 here means the last run
    // crashed or was killed, and this one starts in a window.
    const int normalExit = m_pUser->getInt("NORMALEXIT", 1);
    if (normalExit == 0) {
        m_pUser->setInt("FULLSCREEN", 0);
    } else {
        m_pUser->setInt("NORMALEXIT", 0);
        if (fullScreen == 1)
            setFullScreen(true, false);
    }
    if (canvas)
        canvas->init(m_programDirectory, m_pUser, dataFile, -1);
    setCanvas(canvas);
}

void LoaderFrame2::setCanvas(GameCanvas3* canvas)
{
    if (canvas)
        canvas->addRef();
    if (m_pCanvas) {
        // The loader thread may still be loading the old canvas: it ends
        // (without starting it) before the canvas goes.
        m_pCanvas->stop();
        m_bStartPending = true;
        joinLoader();
        m_pCanvas->shutdown();
        m_pCanvas->release();
    }
    m_pCanvas = canvas;
    onCanvasSet();
}

void LoaderFrame2::onCanvasSet() {}

void LoaderFrame2::joinLoader()
{
    if (!m_pLoaderThread)
        return;
    m_pLoaderThread->join(0);
    m_pLoaderThread->release();
    m_pLoaderThread = nullptr;
}

void LoaderFrame2::startSound()
{
    const int mix = m_pUser ? m_pUser->getInt("MIXBUFFER", -1) : -1;
    const bool useWaveOut = m_pUser ? m_pUser->getInt("USEWINMM", 0) != 0 : false;
    if (window::AudioClip::openSound(m_hWnd, mix, useWaveOut))
        return;
    Sleep(kSoundRetryMs);
    if (window::AudioClip::openSound(m_hWnd, mix, useWaveOut))
        return;
    // Without sound the game still runs.
    window::AudioClip::openSound(m_hWnd, mix, true);
}

void LoaderFrame2::startLoader()
{
    if (!m_bStartPending)
        return;
    startSound();
    joinLoader();
    m_bStartPending = false;
    m_pLoaderThread = new lang::Thread(this);
    m_pLoaderThread->start();
}

void LoaderFrame2::runLoaderHere()
{
    startSound();
    m_bStartPending = false;
    run();
}

void LoaderFrame2::stopCanvas()
{
    if (m_pCanvas)
        m_pCanvas->stop();
    m_bStartPending = true;
}

void LoaderFrame2::onLoaded()
{
    lang::Synchronized paintGuard(window::WindowGlobals::paintLock());
    m_bShow = false;
    OutputDebugStringA("Hiding Frame, showing Canvas...\n");
}

void LoaderFrame2::failLoad()
{
    m_bLoadFailed = true;
    PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

void LoaderFrame2::run()
{
    GameCanvas3* canvas = m_pCanvas;
    if (!canvas || window::WindowGlobals::isQuitting())
        return;
    if (!canvas->isDataLoaded()) {
        // An exception while loading is a failed load: starting a game that
        // is half there would fail later and less clearly.
        try {
            if (!canvas->preLoad() || !canvas->loadData()) {
                window::debugLine("LoaderFrame2: the data did not load\n");
                failLoad();
                return;
            }
        } catch (lang::Exception* e) {
            const lang::String message = e->toString();
            e->release();
            MessageBoxA(nullptr, message.c_str(), "Error", MB_OK);
            failLoad();
            return;
        } catch (const std::exception& e) {
            MessageBoxA(nullptr, e.what(), "Error", MB_OK);
            failLoad();
            return;
        }
    }
    // A close asked for while the data loaded (a quit signal stops the
    // scripts at once, before the window hears of it) leaves the canvas
    // unstarted: its scripts may have been cut off halfway, and a game
    // started from them would save a broken story over the player's.
    if (m_bStartPending || ScriptHost::isClosing())
        return;
    canvas->setCursor(window::Cursor::normalCursor);
    canvas->start();
    onLoaded();
}

} // namespace sprite
