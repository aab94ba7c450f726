// GameWorld.cpp: setting a test program's world up, running it and putting
// everything back.
#include "tests/support/GameWorld.h"

#include "core/lang/ResourceFile.h"
#include "core/lang/System.h"
#include "platform/files/Files.h"
#include "platform/user/Backend.h"
#include "platform/user/User.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/canvas/GameCanvas3.h"
#include "sprites/loader/SpriteFramework.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/script/Utility.h"
#include "sprites/settings/User.h"
#include "tests/support/MachinePace.h"
#include "tests/support/TestLoaderFrame.h"
#include "tests/windowing/window/WindowTestSupport.h"
#include "windowing/window/WindowGlobals.h"

#include <chrono>
#include <thread>

namespace testsupport {

GameWorld::GameWorld()
    : m_data(m_dir.path()), m_clock(50000), m_registry(m_dir.file("registry.txt")),
      m_previousFolder(std::filesystem::current_path()), m_pPreviousHost(ScriptHost::instance), m_pHost(nullptr),
      m_pStore(nullptr), m_pFrame(nullptr), m_pCanvas(nullptr), m_bQuit(false)
{
    platform::setClock(&m_clock);
    windowtest::freshWindowLayer();
    // The program lives in the folder, and its scripts are read from the
    // working folder.
    platform::setProgramPath(m_dir.file(kProgramName).c_str());
    std::filesystem::current_path(m_dir.path());
    // A Lua state of this world's own: every class script runs afresh, and
    // the closing of an earlier world's game is over.
    ScriptHost::instance = nullptr;
    m_pHost = new ScriptHost();
    ScriptHost::clearClose();
    sprite::SpriteBaseLua::connect();
    sprite::SpriteFramework::registerClasses();
    m_lua.attach(m_pHost->getState());
}

GameWorld::~GameWorld()
{
    if (m_pFrame && m_pFrame->getHWND() && !m_bQuit) {
        // Closed the player's way when the frame has a canvas window to ask;
        // otherwise (and should that not end it) the window goes at once.
        sprite::GameCanvas3* held = m_pFrame->getCanvas();
        if (held && held->getHWND()) {
            PostMessageA(m_pFrame->getHWND(), WM_CLOSE, 0, 0);
            pumpUntil([this] { return !m_pFrame->getHWND(); }, 5000);
        }
        if (m_pFrame->getHWND())
            DestroyWindow(m_pFrame->getHWND());
    }
    if (m_pCanvas)
        m_pCanvas->release();
    if (m_pFrame)
        m_pFrame->release();
    if (m_pStore)
        m_pStore->release();
    pump();
    platform::resetWindowLayer();
    window::WindowGlobals::setQuitting(false);
    lang::ResourceFile::closeAll();
    sprite::SpriteBaseLua::disconnect();
    delete m_pHost;
    ScriptHost::instance = m_pPreviousHost;
    lang::System::setDebugMode(false);
    std::filesystem::current_path(m_previousFolder);
    platform::setProgramPath(nullptr);
    platform::setClock(nullptr);
}

sprite::User* GameWorld::settings()
{
    if (!m_pStore) {
        m_pStore = new sprite::User();
        m_pStore->open(kRegistryName);
    }
    return m_pStore;
}

std::string GameWorld::programFolder() const
{
    return platform::windowsPath(m_dir.path().string());
}

void GameWorld::setSetting(const char* name, int value)
{
    settings()->setInt(name, value);
}

void GameWorld::setSetting(const char* name, const char* text)
{
    settings()->setString(name, text);
}

int GameWorld::setting(const char* name, int fallback)
{
    return settings()->getInt(name, fallback);
}

std::string GameWorld::settingText(const char* name, const char* fallback)
{
    return settings()->getString(name, fallback).c_str();
}

void GameWorld::openArchive()
{
    lang::ResourceFile::open(lang::String(m_data.writeArchive().c_str()));
}

std::vector<platform::MessageBoxRecord> GameWorld::boxes(const std::string& caption) const
{
    std::vector<platform::MessageBoxRecord> found;
    for (const platform::MessageBoxRecord& box : m_boxes.boxes()) {
        if (box.caption.compare(0, caption.size(), caption) == 0)
            found.push_back(box);
    }
    return found;
}

void GameWorld::pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            m_bQuit = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool GameWorld::pumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    MachinePace waited;
    for (;;) {
        pump();
        if (done())
            return true;
        if (m_bQuit || waited.counted() > timeoutMs)
            return false;
        // Real time: the fake clock's Sleep would return at once.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void GameWorld::adopt(TestLoaderFrame* frame, sprite::GameCanvas3* canvas)
{
    m_pFrame = frame;
    m_pCanvas = canvas;
}

bool GameWorld::start(TestLoaderFrame* frame, sprite::GameCanvas3* canvas, const char* dataFile, bool onThread)
{
    adopt(frame, canvas);
    // The Utility module, made by start-up once the scripts are in place.
    Utility::instance();
    if (!frame->open(canvas, kRegistryName, dataFile, onThread))
        return false;
    if (!pumpUntil([this, frame] {
            if (whileLoading)
                whileLoading();
            return frame->loaded > 0 || frame->isLoadFailed();
        }))
        return false;
    if (frame->isLoadFailed()) {
        // The loader thread marks the failure before it posts the close: let
        // the close arrive, so the program has quit when this returns.
        pumpUntil([this] { return m_bQuit; }, 5000);
        return false;
    }
    if (!canvas->isStarted())
        return false;
    // The first paint shows the canvas's window (once per process: a world
    // after the first shows it itself).
    tick(sprite::GameCanvas3::FRAME_PERIOD_MS);
    pump();
    if (!canvas->isVisible()) {
        canvas->setVisible(true);
        pump();
    }
    return true;
}

void GameWorld::tick(int milliseconds)
{
    m_clock.advance(uint32_t(milliseconds));
    if (m_pCanvas)
        m_pCanvas->onTimer();
}

void GameWorld::stepFrames(int count)
{
    const int target = m_pCanvas->getFrameCounter() + count;
    while (m_pCanvas->getFrameCounter() < target)
        tick(sprite::GameCanvas3::FRAME_PERIOD_MS);
}

namespace {

POINT onScreen(sprite::GameCanvas3* canvas, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(canvas->getHWND(), &p);
    return p;
}

} // namespace

void GameWorld::mouseMove(int x, int y)
{
    const POINT p = onScreen(m_pCanvas, x, y);
    platform::events::mouseMoved(p.x, p.y);
    pump();
    tick(16);
}

void GameWorld::leftButton(int x, int y, bool down)
{
    const POINT p = onScreen(m_pCanvas, x, y);
    platform::events::mouseMoved(p.x, p.y);
    platform::events::mouseButton(platform::events::MouseButton::Left, down);
    pump();
    tick(16);
}

void GameWorld::mouseDown(int x, int y)
{
    leftButton(x, y, true);
}

void GameWorld::mouseUp(int x, int y)
{
    leftButton(x, y, false);
}

void GameWorld::click(int x, int y)
{
    mouseDown(x, y);
    mouseUp(x, y);
}

void GameWorld::key(unsigned virtualKey)
{
    platform::events::key(virtualKey, true);
    platform::events::key(virtualKey, false);
    pump();
    tick(16);
}

bool GameWorld::close()
{
    if (!m_pFrame || !m_pFrame->getHWND())
        return m_bQuit;
    PostMessageA(m_pFrame->getHWND(), WM_CLOSE, 0, 0);
    pumpUntil([] { return false; }, 10000);
    return m_bQuit;
}

} // namespace testsupport
