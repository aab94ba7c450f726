// hvcanvas: runs the game canvas in the 800 x 600 frame over a small sprite
// tree: a box bounced by its own end-of-move actions, a draggable panel with
// a "Beep" button, and a repeating scheduled action. The button, the B key
// and the scheduled action play a sound clip through the sound engine.
//   --sound file.wav   the clip to play (default: a tone made at start)
//   --seconds N        close the window after N seconds
//   --shot file.png    write the last painted frame as a PNG when closing
#include "core/lang/IntArray.h"
#include "core/util/Hashtable.h"
#include "core/util/Vector.h"
#include "platform/user/Backend.h"
#include "platform/user/User.h"
#include "sound/clip/AudioClip.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/buttons/RectButtonSprite.h"
#include "sprites/canvas/GameCanvas3.h"
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/shapes/RectSprite.h"
#include "tools/PngWriter.h"
#include "tools/WavWriter.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/window/Cursor.h"
#include "windowing/window/Event.h"
#include "windowing/window/Frame.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kGameTimer = 1;
constexpr UINT_PTR kCloseTimer = 2;
// The game timer's period: the canvas paces its 40 ms frames from it.
constexpr UINT kTickMs = 16;

class DemoCanvas : public sprite::GameCanvas3 {
public:
    void handleAction(lang::Object* receiver, lang::String* command) override
    {
        if (command && command->equals("Beep")) {
            playSound(0);
            window::AudioClip* clip = getSound(0);
            std::printf("frame %d: Beep (%s)\n", getFrameCounter(),
                        !clip || clip->hasLoadFailed() ? "the sound did not load"
                        : clip->isPlaying()            ? "playing"
                                                       : "not playing");
            std::fflush(stdout);
            return;
        }
        if (command && command->equals("Bounce") && m_box) {
            m_right = !m_right;
            m_box->setDestination(m_right ? 640 : 100, m_right ? 380 : 120, 50);
            return;
        }
        GameCanvas3::handleAction(receiver, command);
    }

    bool keyDown(window::Event* e, int key) override
    {
        if (key == 'b' || key == 'B') {
            lang::String beep("Beep");
            handleAction(this, &beep);
            return true;
        }
        return GameCanvas3::keyDown(e, key);
    }

    void setBox(sprite::SpriteBase* box) { m_box = box; }

private:
    sprite::SpriteBase* m_box = nullptr;
    bool m_right = false;
};

class DemoFrame : public window::Frame {
public:
    explicit DemoFrame(const std::string& shotPath) : m_shotPath(shotPath)
    {
        m_designWidth = 800;
        m_designHeight = 600;
    }

    void setCanvas(DemoCanvas* canvas) { m_canvas = canvas; }

    bool keyDown(window::Event*, int key) override
    {
        if (key == 27) {
            windowClosing();
            return true;
        }
        return false;
    }

    void windowClosing() override
    {
        if (!m_shotPath.empty() && m_canvas) {
            std::vector<uint32_t> pixels(size_t(800) * 600, 0);
            window::Graphics* g = m_canvas->getGraphics();
            g->getBackBuffer(0, 0, 800, 600, pixels.data());
            g->release();
            if (tools::writePng(m_shotPath.c_str(), pixels.data(), 800, 600, false))
                std::printf("screenshot written: %s\n", m_shotPath.c_str());
        }
        KillTimer(getHWND(), kGameTimer);
        if (m_canvas)
            m_canvas->shutdown();
        requestClose();
    }

    void destroyed() override { PostQuitMessage(0); }

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER) {
            if (wParam == kGameTimer && m_canvas)
                m_canvas->onTimer();
            else if (wParam == kCloseTimer)
                windowClosing();
            return 0;
        }
        return Frame::handleMessage(message, wParam, lParam);
    }

private:
    std::string m_shotPath;
    DemoCanvas* m_canvas = nullptr;
};

sprite::RectSprite* box(int left, int top, int width, int height, uint32_t colour)
{
    auto* s = new sprite::RectSprite(width, height, colour, true);
    s->setPosition(left, top);
    return s;
}

// The panel: a draggable dialog with a face and a "Beep" button on it.
sprite::DialogSprite* makePanel()
{
    auto* panel = new sprite::DialogSprite(false);
    lang::IntArray numbers;
    numbers.setLength(7);
    const int values[] = {520, 60, 220, 140, 0, 1, 1};
    for (int i = 0; i < 7; ++i)
        numbers[i] = values[i];
    panel->configure(nullptr, &numbers);
    sprite::RectSprite* face = box(0, 0, 220, 140, 0xFF3A4A6Au);
    panel->addChild("Face", face);
    face->release();
    sprite::RectSprite* look = box(60, 50, 100, 40, 0xFFE0A030u);
    panel->addChild("ButtonLook", look);
    look->release();
    auto* button = new sprite::RectButtonSprite();
    button->setSize(100, 40);
    button->setPosition(60, 50);
    button->setState(sprite::ButtonMixin::NORMAL);
    panel->addChild("Beep", button);
    button->release();
    return panel;
}

} // namespace

int main(int argc, char** argv)
{
    std::string soundPath;
    std::string shotPath;
    int seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sound") == 0 && i + 1 < argc) {
            soundPath = argv[++i];
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc) {
            shotPath = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--sound file.wav] [--seconds N] [--shot file.png]\n", argv[0]);
            return 2;
        }
    }

    // The canvas's script is looked for in the working folder: a folder of
    // the tool's own holds it (and the tone).
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "hvcanvas";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Canvas.lua") << "hv = hv or {}\nhv.Canvas = {}\n";
    if (soundPath.empty()) {
        std::vector<uint8_t> wav = tools::toneWav(660.0, 300);
        std::ofstream(folder / "tone.wav", std::ios::binary)
            .write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));
        soundPath = (folder / "tone.wav").string();
    } else {
        soundPath = std::filesystem::absolute(soundPath).string();
    }
    if (!shotPath.empty())
        shotPath = std::filesystem::absolute(shotPath).string();
    std::filesystem::current_path(folder);

    std::printf("window backend: %s\n", platform::windowBackend().name());
    auto* frame = new DemoFrame(shotPath);
    util::RectangleNM bounds(0, 0, 800, 600);
    if (!frame->create(nullptr, &bounds)) {
        std::fprintf(stderr, "hvcanvas: the window could not be made\n");
        frame->release();
        return 1;
    }
    SetWindowTextA(frame->getHWND(), "hvcanvas");

    if (window::AudioClip::openSound(frame->getHWND(), -1, false))
        std::printf("sound engine open\n");
    else
        std::printf("sound engine did not open: playing nothing\n");

    auto* canvas = new DemoCanvas();
    canvas->create(frame, &bounds);
    frame->setCanvas(canvas);

    // The sprite tree, as a manifest load would hand it over.
    auto* root = new util::Vector(10);
    auto* names = new util::Hashtable();
    names->setStringKeys(true);
    auto* clip = new window::AudioClip();
    clip->setSource(lang::String(soundPath.c_str()), window::AudioClip::KIND_SAMPLE);
    lang::ObjectArray sounds;
    sounds.setLength(1);
    *sounds.at(0) = clip;
    canvas->takeLoadedData(root, names, &sounds, nullptr, nullptr);
    clip->release();
    root->release();
    names->release();

    sprite::RectSprite* background = box(0, 0, 800, 600, 0xFF101828u);
    canvas->addSprite("Background", background, -1);
    background->release();
    sprite::RectSprite* mover = box(100, 120, 60, 60, 0xFF40C080u);
    canvas->addSprite("Box", mover, -1);
    lang::String bounce("Bounce");
    mover->setAction(canvas, &bounce);
    canvas->setBox(mover);
    mover->release();
    sprite::DialogSprite* panel = makePanel();
    canvas->addSprite("Panel", panel, -1);
    panel->release();

    ShowWindow(frame->getHWND(), SW_SHOW);
    canvas->setCursor(window::Cursor::normalCursor);
    canvas->requestFocus();
    canvas->start();
    // The box starts moving; the beep repeats every three seconds.
    lang::String first("Bounce");
    canvas->handleAction(nullptr, &first);
    lang::String beep("Beep");
    canvas->scheduleAction(3, &beep, sprite::GameCanvas3::ACTION_SECONDS | sprite::GameCanvas3::ACTION_REPEAT,
                           nullptr, nullptr);
    canvas->handleAction(nullptr, &beep);
    SetTimer(frame->getHWND(), kGameTimer, kTickMs, nullptr);
    if (seconds > 0)
        SetTimer(frame->getHWND(), kCloseTimer, UINT(seconds) * 1000, nullptr);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    std::printf("frames run: %d\n", canvas->getFrameCounter());
    canvas->release();
    frame->release();
    window::AudioClip::closeSound();
    std::printf("done\n");
    return 0;
}
