// hvsample: starts the sample data beside it the way the game starts: the
// resource archive, the framework, a frame that shows a loading screen with
// its bar while the loader thread reads the manifest, then the canvas, whose
// button commands go to the Lua function onCommand of "Sample.lua".
// The game's own entry will take its place.
//   --seconds N        close the window after N seconds
//   --shot file.png    write the last painted frame as a PNG when closing
#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "core/lang/Synchronized.h"
#include "platform/files/Files.h"
#include "platform/user/Backend.h"
#include "platform/user/User.h"
#include "sprites/canvas/GameCanvas3.h"
#include "sprites/loader/LoaderFrame2.h"
#include "sprites/loader/SpriteFramework.h"
#include "sprites/script/ScriptHost.h"
#include "tools/PngWriter.h"
#include "windowing/d3d/ImageWinDX.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/window/Cursor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Window timers: the loading screen's repaint, the game's tick, the close.
constexpr UINT_PTR kLoadingTimer = 1;
constexpr UINT_PTR kGameTimer = 2;
constexpr UINT_PTR kCloseTimer = 3;
constexpr UINT kLoadingMs = 60;
// The game timer: the canvas paces its 40 ms frames from it.
constexpr UINT kTickMs = 16;
// Where the loading screen puts its bar and label.
constexpr int kBarX = 187;
constexpr int kBarY = 404;
constexpr int kLabelX = 305;
constexpr int kLabelY = 415;

class SampleCanvas : public sprite::GameCanvas3 {
public:
    // The data is there: the sample's script takes over.
    void setupGame(sprite::DataLoader* loader) override
    {
        GameCanvas3::setupGame(loader);
        if (ScriptHost::instance)
            ScriptHost::instance->runScriptFile("Sample.lua", 0);
    }
    // Button commands go to the script first.
    void handleAction(lang::Object* receiver, lang::String* command) override
    {
        if (command && !command->isEmpty() && !command->equals("handCursor") && !command->equals("normalCursor") &&
            !command->equals("openHandCursor") && ScriptHost::instance)
            ScriptHost::instance->callLuaFunctionString("onCommand", *command);
        GameCanvas3::handleAction(receiver, command);
    }
};

class SampleFrame : public sprite::LoaderFrame2 {
public:
    explicit SampleFrame(const std::string& shotPath) : m_shotPath(shotPath)
    {
        m_designWidth = 800;
        m_designHeight = 600;
    }
    ~SampleFrame() override
    {
        for (window::ImageBase* image : {m_pSplash, m_pLabel, m_pBar}) {
            if (image)
                image->release();
        }
    }

    bool create(window::Component* parent, util::RectangleNM* rect) override
    {
        if (!Frame::create(parent, rect))
            return false;
        ColorWin32 background(80, 80, 76, 255);
        setBackground(&background);
        m_pSplash = new window::ImageWinDX(lang::String("+logo"), true);
        m_pLabel = new window::ImageWinDX(lang::String("+loading"));
        m_pBar = new window::ImageWinDX(lang::String("+loadbar"));
        SetWindowTextA(m_hWnd, lang::String::loadText("IDS_GAMETITLE").c_str());
        auto* canvas = new SampleCanvas();
        util::RectangleNM area(0, 0, m_designWidth, m_designHeight);
        canvas->create(this, &area);
        startUp(canvas, lang::String::loadText("REGISTRYNAME"), lang::String("+datfile"));
        ShowWindow(m_hWnd, SW_SHOW);
        canvas->setCursor(window::Cursor::waitCursor);
        SetTimer(m_hWnd, kLoadingTimer, kLoadingMs, nullptr);
        startLoader();
        canvas->requestFocus();
        // The frame holds the canvas from startUp on.
        canvas->release();
        return true;
    }

    // The loading screen: the splash, and the bar as far as loading got.
    void update(window::Graphics* g) override
    {
        lang::Synchronized guard(this);
        g->setColor(m_background);
        g->fillRect(0, 0, m_designWidth, m_designHeight);
        if (m_pSplash && m_pSplash->hasPixels())
            g->drawImage(m_pSplash, (m_designWidth - m_pSplash->getWidth()) / 2,
                         (m_designHeight - m_pSplash->getHeight()) / 2 - 60);
        sprite::GameCanvas3* canvas = getCanvas();
        const int total = canvas ? canvas->getManifestTotal() : 0;
        const double progress = total > 0 ? double(canvas->getEntriesLoaded()) / total : 0.0;
        if (m_pBar && m_pBar->getPixels()) {
            window::Graphics* bar = g->create();
            bar->clipRect(kBarX, kBarY, int(m_pBar->getWidth() * progress), 100);
            bar->drawImage(m_pBar, kBarX, kBarY);
            bar->dispose();
            bar->release();
        }
        if (m_pLabel && m_pLabel->getPixels())
            g->drawImage(m_pLabel, kLabelX, kLabelY);
    }
    void paintBackground(window::Graphics*) override {}

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER) {
            if (wParam == kLoadingTimer) {
                InvalidateRect(m_hWnd, nullptr, FALSE);
            } else if (wParam == kGameTimer) {
                if (getCanvas())
                    getCanvas()->onTimer();
            } else if (wParam == kCloseTimer) {
                KillTimer(m_hWnd, kCloseTimer);
                writeShot();
                PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
            }
            return 0;
        }
        return LoaderFrame2::handleMessage(message, wParam, lParam);
    }

    // The hand-over (on the loader thread): the game timer replaces the
    // loading screen's.
    void onLoaded() override
    {
        KillTimer(m_hWnd, kLoadingTimer);
        SetTimer(m_hWnd, kGameTimer, kTickMs, nullptr);
        LoaderFrame2::onLoaded();
        lang::Synchronized guard(this);
        if (m_pSplash) {
            m_pSplash->release();
            m_pSplash = nullptr;
        }
    }

    void destroyed() override
    {
        KillTimer(m_hWnd, kGameTimer);
        LoaderFrame2::destroyed();
    }

private:
    void writeShot()
    {
        if (m_shotPath.empty() || !getCanvas())
            return;
        std::vector<uint32_t> pixels(size_t(m_designWidth) * size_t(m_designHeight), 0);
        window::Graphics* g = getCanvas()->getGraphics();
        g->getBackBuffer(0, 0, m_designWidth, m_designHeight, pixels.data());
        g->release();
        if (tools::writePng(m_shotPath.c_str(), pixels.data(), m_designWidth, m_designHeight, false))
            std::printf("screenshot written: %s\n", m_shotPath.c_str());
    }

    std::string m_shotPath;
    window::ImageBase* m_pSplash = nullptr;
    window::ImageBase* m_pLabel = nullptr;
    window::ImageBase* m_pBar = nullptr;
};

} // namespace

int main(int argc, char** argv)
{
    std::string shotPath;
    int seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc) {
            shotPath = std::filesystem::absolute(argv[++i]).string();
        } else {
            std::fprintf(stderr, "usage: %s [--seconds N] [--shot file.png]\n", argv[0]);
            return 2;
        }
    }
    // The scripts are read from the working folder: the program's own.
    std::error_code ec;
    std::filesystem::current_path(platform::programDirectory(), ec);

    sprite::SpriteFramework::startUp();
    try {
        lang::ResourceFile::open(lang::String("Lanternfield.bin"));
    } catch (lang::Exception* e) {
        const lang::String message = e->toString();
        e->release();
        MessageBoxA(nullptr, message.c_str(), "Error", MB_OK);
        return 1;
    }
    std::printf("window backend: %s\n", platform::windowBackend().name());

    auto* frame = new SampleFrame(shotPath);
    util::RectangleNM bounds(0, 0, 800, 600);
    if (frame->create(nullptr, &bounds)) {
        if (seconds > 0)
            SetTimer(frame->getHWND(), kCloseTimer, UINT(seconds) * 1000, nullptr);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    } else {
        MessageBoxA(nullptr, "The window could not be made.", "Error", MB_OK);
    }
    const int frames = frame->getCanvas() ? frame->getCanvas()->getFrameCounter() : 0;
    const bool failed = frame->isLoadFailed();
    frame->release();
    lang::ResourceFile::closeAll();
    sprite::SpriteFramework::tearDown();
    std::printf("frames run: %d\n", frames);
    return failed ? 1 : 0;
}
