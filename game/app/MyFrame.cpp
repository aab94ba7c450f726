// MyFrame.cpp: the main frame's loading screen, its start-up of the canvas
// and the loader, the hand-over to the game timer, and the save on closing.
#include "game/app/MyFrame.h"

#include "core/lang/Synchronized.h"
#include "core/util/RectangleNM.h"
#include "game/app/GameEntry.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "platform/user/Cursors.h"
#include "platform/user/MessageBox.h"
#include "platform/user/Window.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/graphics/ColorWin32.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/d3d/ImageWinDX.h"
#include "windowing/window/Cursor.h"
#include "windowing/window/WindowGlobals.h"

namespace {

// The loading screen's background: a dark warm grey.
const ColorWin32 kBackground(80, 80, 76, 255);
// The splash pictures tried in order; the last is the archive's.
const char* const kSplashNames[] = {"loading.gif", "loading.png", "loading.jpg", "+logo"};

bool loaded(window::ImageBase* image)
{
    return image && !image->isLoadFailed() && image->getWidth() > 0 && image->getHeight() > 0;
}

} // namespace

LanternfieldCanvas* MyFrame::s_pCanvas = nullptr;

MyFrame::MyFrame()
    : m_pSplash(nullptr), m_pLoadingLabel(nullptr), m_pLoadingBar(nullptr), m_nSplashTop(0)
{
    // The game's design size (the loader frame's own default is 640 x 480).
    m_designWidth = 800;
    m_designHeight = 600;
}

MyFrame::~MyFrame()
{
    for (window::ImageBase** image : {&m_pSplash, &m_pLoadingLabel, &m_pLoadingBar}) {
        if (*image)
            (*image)->release();
        *image = nullptr;
    }
    if (m_hWnd)
        KillTimer(m_hWnd, GAME_TIMER);
    // The canvas goes with the loader frame; no tick reaches it any more.
    s_pCanvas = nullptr;
}

bool MyFrame::isInstanceOf(const char* name)
{
    return lang::Object::isClassName(name, "MyFrame") || sprite::LoaderFrame2::isInstanceOf(name);
}

window::ImageBase* MyFrame::loadSplash()
{
    window::ImageBase* image = nullptr;
    for (const char* name : kSplashNames) {
        if (image)
            image->release();
        image = new window::ImageWinDX(lang::String(name), true);
        if (loaded(image))
            break;
    }
    return image;
}

bool MyFrame::create(window::Component* parent, util::RectangleNM* rect)
{
    window::Frame::create(parent, rect);
    ColorWin32 background(kBackground);
    setBackground(&background);

    m_pSplash = loadSplash();
    m_nSplashTop = -m_pSplash->getHeight();
    m_pLoadingLabel = new window::ImageWinDX(lang::String("+loading"), false);
    m_pLoadingBar = new window::ImageWinDX(lang::String("+loadbar"), false);
    m_nSplashTop = (m_nSplashTop + m_designHeight) / 2;

    const lang::String title = lang::String::loadText("IDS_GAMETITLE");
    SetWindowTextA(m_hWnd, title.c_str());
    HINSTANCE instance = GameEntry::instanceHandle();
    HANDLE big = LoadImageA(instance, MAKEINTRESOURCEA(ICON_RESOURCE), IMAGE_ICON, 32, 32, 0);
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    HANDLE small = LoadImageA(instance, MAKEINTRESOURCEA(ICON_RESOURCE), IMAGE_ICON, 16, 16, 0);
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    auto* canvas = new LanternfieldCanvas();
    s_pCanvas = canvas;
    // The canvas covers the 800 x 600 client area. The frame's size fields
    // still hold the outer window size here (the first WM_SIZE comes when the
    // window shows), and a canvas that size would stretch every frame.
    util::RectangleNM bounds(0, 0, getDesignWidth(), getDesignHeight());
    canvas->create(this, &bounds);
    startUp(canvas, lang::String::loadText("REGISTRYNAME"), lang::String("+datfile"));

    ShowWindow(m_hWnd, SW_SHOW);
    canvas->setCursor(window::Cursor::waitCursor);
    SetTimer(m_hWnd, LOADING_TIMER, LOADING_PERIOD_MS, nullptr);
    startLoader();
    canvas->requestFocus();
    // The frame keeps its own reference from startUp.
    canvas->release();
    return true;
}

void MyFrame::update(window::Graphics* g)
{
    lang::Synchronized guard(this, true);
    g->setColor(kBackground);
    g->fillRect(0, 0, m_designWidth, m_designHeight);
    if (m_pSplash)
        g->drawImage(m_pSplash, (m_designWidth - m_pSplash->getWidth()) / 2, m_nSplashTop);
    if (loaded(m_pLoadingBar)) {
        double progress = 0.0;
        if (s_pCanvas && s_pCanvas->getManifestTotal() != 0)
            progress = double(s_pCanvas->getEntriesLoaded()) / double(s_pCanvas->getManifestTotal());
        if (window::Graphics* bar = g->create()) {
            bar->clipRect(BAR_X, BAR_Y, int(m_pLoadingBar->getWidth() * progress), 100);
            bar->drawImage(m_pLoadingBar, BAR_X, BAR_Y);
            bar->dispose();
            bar->release();
        }
    }
    if (loaded(m_pLoadingLabel))
        g->drawImage(m_pLoadingLabel, LABEL_X, LABEL_Y);
}

void MyFrame::paintBackground(window::Graphics*) {}

LRESULT MyFrame::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    }
    return sprite::LoaderFrame2::handleMessage(message, wParam, lParam);
}

void MyFrame::requestClose()
{
    if (window::WindowGlobals::isQuitting()) {
        // Closing already (a quit signal's close may follow the window's):
        // the game was saved on the first request.
    } else if (s_pCanvas && !s_pCanvas->isStarted()) {
        // Still loading: the loader thread may be running a script (one
        // stuck in a loop, too) or wait in a message box, and Lua is never
        // run from two threads. The scripts are stopped, the boxes closed
        // and the loader is waited for; a game not loaded whole holds
        // nothing of the player's, and saving it would put a new game's
        // record over their progress. The canvas the loader fills is
        // stopped once the loader has ended.
        ScriptHost::requestClose();
        ScriptHost::refuseScripts(true);
        platform::closeMessageBoxes();
        joinLoader();
        stopCanvas();
        ScriptHost::clearClose();
    } else if (s_pCanvas) {
        // The scripts the save runs get the closing game's short time, so
        // that none can keep it from ending.
        ScriptHost::requestClose();
        s_pCanvas->saveOnExit();
    }
    sprite::LoaderFrame2::requestClose();
}

void MyFrame::finishClose()
{
    if (window::WindowGlobals::isQuitting())
        return;
    ScriptHost::requestClose();
    if (!s_pCanvas || !s_pCanvas->isStarted()) {
        // Still loading: the loader's scripts stop and its boxes close; a
        // game not loaded whole holds nothing of the player's. A started
        // game holds them even while the loader has yet to hand the window
        // over (it may wait there for the paint the held thread is in).
        ScriptHost::refuseScripts(true);
        platform::closeMessageBoxes();
    } else {
        // The window's thread may be held inside a script (a box it opened
        // pumps the display): the save's scripts are calls of their own.
        ScriptHost::leaveCallUnderWay();
        // Held in a frame or a paint of the game, that thread holds the
        // canvas's lock for good (no other thread takes it once the game
        // has started): the room, whose leaving changes the canvas under
        // that lock, is not left then, and the story is saved as it stands.
        const bool canvasFree = s_pCanvas->tryLock();
        s_pCanvas->saveOnExit(canvasFree);
        if (canvasFree)
            s_pCanvas->unlock();
    }
    sprite::LoaderFrame2::requestClose();
}

std::string MyFrame::lastSaveFailure()
{
    return s_pCanvas ? s_pCanvas->lastSaveFailure() : std::string();
}

void MyFrame::activated(bool active)
{
    if (s_pCanvas)
        s_pCanvas->setActive(active);
    sprite::LoaderFrame2::activated(active);
}

void MyFrame::onLoaded()
{
    KillTimer(m_hWnd, LOADING_TIMER);
    SetTimer(m_hWnd, GAME_TIMER, GAME_PERIOD_MS, &MyFrame::timerProc);
    sprite::LoaderFrame2::onLoaded();
    lang::Synchronized guard(this, true);
    if (m_pSplash)
        m_pSplash->release();
    m_pSplash = nullptr;
}

void CALLBACK MyFrame::timerProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_pCanvas)
        s_pCanvas->onTimer();
}
