// hvdraw: opens the game's 800 x 600 frame and animates a scene drawn through
// the Direct3D window graphics: pictures made in memory (a sky, a panorama
// wider than one texture, sprites turned, scaled and tinted), rectangles,
// lines and a polygon, a stencil-masked window and a particle fountain.
// F11 switches between a window and full screen, Esc leaves full screen.
//   --shot file.png   when the window closes, write the last frame drawn (the
//                     back buffer read back from the device) as a PNG
//   --seconds N       close the window after N seconds
#include "core/util/Vector3D.h"
#include "platform/user/Backend.h"
#include "platform/user/User.h"
#include "windowing/window/Event.h"
#include "windowing/window/Frame.h"
#include "windowing/graphics/GraphicsParticle.h"
#include "windowing/d3d/GraphicsWWinDX.h"
#include "windowing/d3d/ImageWinDX.h"
#include "windowing/graphics/Polygon.h"
#include "tools/PngWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT_PTR kCloseTimer = 2;
constexpr int kParticles = 400;

uint32_t pack(int a, int r, int g, int b)
{
    auto clamp = [](int v) { return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v); };
    return clamp(a) << 24 | clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

// A blank image filled by a function of the pixel position.
template <class F>
window::ImageWinDX* makeImage(int width, int height, F pixel)
{
    auto* image = new window::ImageWinDX(width, height, 1, false);
    uint32_t* p = image->getPixels();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p[size_t(y) * size_t(width) + size_t(x)] = pixel(x, y);
    image->setModified(true);
    return image;
}

class DemoFrame : public window::Frame {
public:
    DemoFrame(const char* shotPath) : m_shotPath(shotPath ? shotPath : "")
    {
        m_designWidth = 800;
        m_designHeight = 600;
        ColorWin32 background(0xFF101828u);
        setBackground(&background);
        m_sky = makeImage(800, 260, [](int x, int y) {
            return pack(255, 40 + y / 3, 80 + y / 2, 160 + y / 4 + (x % 200 == 0 ? 20 : 0));
        });
        // Wider than the largest texture: drawn from two tiles.
        m_panorama = makeImage(1600, 90, [](int x, int y) {
            const int hill = 45 + int(30.0 * std::sin(x * 0.013) + 12.0 * std::sin(x * 0.051));
            if (y < 90 - hill)
                return 0u;
            return pack(255, 30 + (x / 40 % 2) * 20, 110 + y, 50);
        });
        m_ball = makeImage(64, 64, [](int x, int y) {
            const double dx = x - 31.5, dy = y - 31.5, d = std::sqrt(dx * dx + dy * dy) / 32.0;
            if (d >= 1.0)
                return 0u;
            const int shade = int(255 * (1.0 - 0.6 * std::sqrt((dx + 12) * (dx + 12) + (dy + 12) * (dy + 12)) / 45.0));
            return pack(int(255 * std::min(1.0, (1.0 - d) * 6.0)), shade, shade / 2 + 60, 40);
        });
        m_checker = makeImage(96, 96, [](int x, int y) {
            return (x / 12 + y / 12) % 2 ? pack(255, 230, 230, 230) : pack(255, 200, 40, 60);
        });
        m_mask = makeImage(160, 160, [](int x, int y) {
            const double dx = x - 79.5, dy = y - 79.5;
            return dx * dx + dy * dy < 70.0 * 70.0 ? 0xFFFFFFFFu : 0u;
        });
        m_spark = makeImage(8, 8, [](int x, int y) {
            const double dx = x - 3.5, dy = y - 3.5, d = std::sqrt(dx * dx + dy * dy) / 4.0;
            return d >= 1.0 ? 0u : pack(int(255 * (1.0 - d)), 255, 255, 255);
        });
        m_star = new window::Polygon();
        for (int i = 0; i < 10; ++i) {
            const double angle = i * 3.14159265358979 / 5.0 - 3.14159265358979 / 2.0;
            const double radius = i % 2 ? 22.0 : 50.0;
            m_star->addPoint(int(std::lround(700 + radius * std::cos(angle))),
                             int(std::lround(110 + radius * std::sin(angle))));
        }
    }

    ~DemoFrame() override
    {
        if (m_particles)
            m_particles->release();
        for (window::ImageWinDX* image : {m_sky, m_panorama, m_ball, m_checker, m_mask, m_spark})
            image->release();
        m_star->release();
    }

    void paint(window::Graphics* g) override
    {
        auto* dx = dynamic_cast<window::GraphicsWWinDX*>(g);
        if (!dx)
            return;
        const double t = m_frame * 0.04;
        g->drawImage(m_sky, 0, 0);
        // The panorama scrolls across its tile seam.
        const int scroll = int(m_frame * 3) % 800;
        g->drawImage(m_panorama, -scroll, 170);
        g->setColor(0xFF203018u);
        g->fillRect(0, 260, 800, 340);

        // Rectangles: filled, translucent and outlined.
        g->fillRectAlpha(30, 300, 180, 120, 0xC0304080u);
        g->setColor(0xFFF0D060u);
        g->drawRect(30, 300, 180, 120);
        g->fillRectAlpha(120, 350, 140, 100, 0x80E04040u);

        // Lines: one pixel thick and wide, and a star outline.
        g->setColor(0xFFFFFFFFu);
        for (int i = 0; i < 12; ++i)
            g->drawLine(300, 290, 300 + int(90 * std::cos(i * 0.5236 + t)), 290 + int(60 * std::sin(i * 0.5236 + t)),
                        1);
        g->setColor(0xFF60E0FFu);
        g->drawLine(420, 440, 560, 400, 4);
        g->setColor(0xFFFFE040u);
        g->drawPolygon(m_star);

        // Sprites: turned, scaled, flipped and tinted through the transform stack.
        g->drawImageCentered(m_checker, 480, 330, nullptr, 1.0, 1.0, m_frame * 2.0, 0);
        window::Graphics* inner = g->create();
        g->translate(640, 330);
        g->scale(1.0 + 0.3 * std::sin(t), 1.0 + 0.3 * std::sin(t));
        g->setImageColor(0x8080FF80u);
        g->drawImageCentered(m_ball, 0, 0, nullptr, 1.0, 1.0, 0.0, 0);
        inner->dispose();
        inner->release();
        g->setCornerColors(ColorBase(0x80FF4040u), ColorBase(0x8040FF40u), ColorBase(0x804040FFu),
                           ColorBase(0x80FFFF40u));
        g->drawImageCentered(m_checker, 110, 510, nullptr, 1.0, 1.0, 0.0, 1);
        g->setCornerColorsOn(false);

        // A window in the ground, cut out of a stencil mask.
        g->setMaskInverted(true); // draw inside the mask only
        g->beginMask();
        g->drawImage(m_mask, 220, 420);
        g->setMaskMode(false);
        for (int i = 0; i < 160; i += 16) {
            g->setColor(i / 16 % 2 ? 0xFF4060C0u : 0xFFA0C0F0u);
            g->fillRect(220, 420 + i, 160, 16);
        }
        g->drawImageCentered(m_ball, 300 + int(50 * std::sin(t * 1.7)), 500, nullptr, 1.0, 1.0, 0.0, 0);
        g->endMask();
        g->setMaskInverted(false);

        // A particle fountain, added to the back of the scene.
        if (!m_particles)
            m_particles = g->createParticle();
        if (m_particles) {
            g->setCompositeMode(1);
            m_particles->begin(kParticles, 6.0f, m_spark);
            for (int i = 0; i < kParticles; ++i) {
                const double age = std::fmod(t + i * 0.0137, 2.0);
                const double speed = 110.0 + (i * 37 % 60);
                const double spread = ((i * 73) % 100 - 50) * 0.9;
                util::Vector3D position(float(600 + spread * age),
                                        float(560 - speed * age + 0.5 * 120.0 * age * age), 0.0f);
                ColorBase colour(pack(int(255 * (1.0 - age / 2.0)), 255, 150 + i % 100, 80));
                m_particles->addParticle(&position, &colour);
            }
            m_particles->end();
            g->setCompositeMode(0);
        }

        // Every frame is kept, so that the one written is the last drawn.
        if (!m_shotPath.empty()) {
            m_lastFrame.resize(800 * 600);
            dx->getBackBuffer(0, 0, 800, 600, m_lastFrame.data());
            m_lastFrameNumber = m_frame;
        }
    }

    // Writes the last frame drawn, once.
    void writeShot()
    {
        if (m_shotPath.empty() || m_lastFrame.empty())
            return;
        if (tools::writePng(m_shotPath.c_str(), m_lastFrame.data(), 800, 600, false))
            std::printf("screenshot of frame %ld written: %s\n", m_lastFrameNumber, m_shotPath.c_str());
        else
            std::fprintf(stderr, "hvdraw: cannot write %s\n", m_shotPath.c_str());
        std::fflush(stdout);
        m_lastFrame.clear();
    }

    bool keyDown(window::Event*, int key) override
    {
        if (key == window::Event::F1 + 10 || (key == 27 && isFullScreen())) {
            setFullScreen(!isFullScreen(), false);
            return true;
        }
        return false;
    }

    void windowClosing() override
    {
        writeShot();
        requestClose();
    }

    void aboutToDestroy() override
    {
        if (isFullScreen())
            setFullScreen(false, true);
    }

    void destroyed() override { PostQuitMessage(0); }

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER) {
            if (wParam == kFrameTimer) {
                ++m_frame;
                InvalidateRect(m_hWnd, nullptr, FALSE);
            } else if (wParam == kCloseTimer) {
                windowClosing();
            }
            return 0;
        }
        return Frame::handleMessage(message, wParam, lParam);
    }

private:
    std::string m_shotPath;
    std::vector<uint32_t> m_lastFrame;
    long m_lastFrameNumber = 0;
    long m_frame = 0;
    window::ImageWinDX* m_sky;
    window::ImageWinDX* m_panorama;
    window::ImageWinDX* m_ball;
    window::ImageWinDX* m_checker;
    window::ImageWinDX* m_mask;
    window::ImageWinDX* m_spark;
    window::Polygon* m_star;
    window::GraphicsParticle* m_particles = nullptr;
};

} // namespace

int main(int argc, char** argv)
{
    const char* shot = nullptr;
    int seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc) {
            shot = argv[++i];
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--shot file.png] [--seconds N]\n", argv[0]);
            return 2;
        }
    }

    std::printf("window backend: %s\n", platform::windowBackend().name());
    auto* frame = new DemoFrame(shot);
    util::RectangleNM bounds(0, 0, 800, 600);
    if (!frame->create(nullptr, &bounds)) {
        std::fprintf(stderr, "hvdraw: the window could not be made\n");
        frame->release();
        return 1;
    }
    SetWindowTextA(frame->getHWND(), "hvdraw");
    ShowWindow(frame->getHWND(), SW_SHOW);
    SetTimer(frame->getHWND(), kFrameTimer, 40, nullptr);
    if (seconds > 0)
        SetTimer(frame->getHWND(), kCloseTimer, UINT(seconds) * 1000, nullptr);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    frame->release();
    std::printf("done\n");
    return 0;
}
