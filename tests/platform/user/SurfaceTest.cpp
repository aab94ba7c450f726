// Frames presented into windows and read back: scaling, pitch, children drawn
// into their top-level window, frames the display holds (also on a thread of
// its own) never drawn into, and the letterboxed full-screen picture.
#include "UserTestSupport.h"

#include "platform/user/WindowSurface.h"
#include "tests/support/MachinePace.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

using namespace usertest;

namespace {

using Surface = UserTest;

// A frame whose every pixel says where it is: 0xFF, then x, then y.
std::vector<uint32_t> coordinateFrame(int width, int height, int pitch)
{
    std::vector<uint32_t> px(size_t(pitch) * height, 0xDEADBEEFu);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            px[size_t(y) * pitch + x] = 0xFF000000u | uint32_t(x) << 8 | uint32_t(y);
    return px;
}

TEST_F(Surface, PresentedFramesReadBackExactly)
{
    HWND frame = createFrame(0, 100, 64, 48);
    HWND child = createChild(frame, 0, 0, 8, 6);
    std::vector<uint32_t> out;
    int w = 0, h = 0;
    EXPECT_FALSE(platform::readWindowFrame(child, out, w, h)) << "nothing presented yet";
    auto px = coordinateFrame(8, 6, 10); // padded rows
    ASSERT_TRUE(platform::presentToWindow(child, px.data(), 8, 6, 10 * 4, nullptr, nullptr));
    ASSERT_TRUE(platform::readWindowFrame(child, out, w, h));
    ASSERT_EQ(w, 8);
    ASSERT_EQ(h, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(out[size_t(y) * 8 + x], 0xFF000000u | uint32_t(x) << 8 | uint32_t(y));
    EXPECT_FALSE(platform::presentToWindow((HWND)(uintptr_t)0xBAD0, px.data(), 8, 6, 40, nullptr, nullptr));
}

TEST_F(Surface, SourceRectangleScalesToTheDestination)
{
    HWND child = createChild(createFrame(0, 100, 64, 48), 0, 0, 8, 6);
    auto px = coordinateFrame(4, 4, 4);
    RECT src{1, 1, 3, 3};  // 2 x 2
    RECT dst{2, 1, 6, 5};  // 4 x 4: each source pixel doubled
    ASSERT_TRUE(platform::presentToWindow(child, px.data(), 4, 4, 16, &src, &dst));
    std::vector<uint32_t> out;
    int w, h;
    ASSERT_TRUE(platform::readWindowFrame(child, out, w, h));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            uint32_t expected = 0xFF000000u; // untouched: black
            if (x >= 2 && x < 6 && y >= 1 && y < 5)
                expected = 0xFF000000u | uint32_t(1 + (x - 2) / 2) << 8 | uint32_t(1 + (y - 1) / 2);
            EXPECT_EQ(out[size_t(y) * 8 + x], expected) << x << "," << y;
        }
    }
}

TEST_F(Surface, AnUnscaledSourceIsShiftedAndClippedToTheFrameAndTheWindow)
{
    struct Case {
        RECT src, dst;
    };
    const Case cases[] = {
        {{1, 1, 5, 4}, {-2, 1, 2, 4}},  // off the window's left
        {{0, 0, 6, 5}, {5, 3, 11, 8}},  // off its right and bottom
        {{4, 0, 8, 5}, {0, 0, 4, 5}},   // the source reaches past the frame's right
        {{-1, 0, 3, 5}, {3, 0, 7, 5}},  // and starts left of it
    };
    const auto px = coordinateFrame(6, 5, 6);
    for (const Case& c : cases) {
        HWND child = createChild(createFrame(0, 100, 64, 48), 0, 0, 8, 6);
        ASSERT_TRUE(platform::presentToWindow(child, px.data(), 6, 5, 6 * 4, &c.src, &c.dst));
        std::vector<uint32_t> out;
        int w, h;
        ASSERT_TRUE(platform::readWindowFrame(child, out, w, h));
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                const int sx = c.src.left + (x - c.dst.left), sy = c.src.top + (y - c.dst.top);
                const bool shown = x >= c.dst.left && x < c.dst.right && y >= c.dst.top && y < c.dst.bottom &&
                                   sx >= 0 && sx < 6 && sy >= 0 && sy < 5;
                const uint32_t expected = shown ? 0xFF000000u | uint32_t(sx) << 8 | uint32_t(sy) : 0xFF000000u;
                EXPECT_EQ(out[size_t(y) * 8 + x], expected) << c.dst.left << ": " << x << "," << y;
            }
        }
    }
}

TEST_F(Surface, TopLevelShowsItsVisibleChildrenOverIt)
{
    HWND frame = createFrame(0, 100, 6, 4);
    HWND child = createChild(frame, 2, 1, 3, 2);
    std::vector<uint32_t> red(6 * 4, 0xFFFF0000u), blue(3 * 2, 0xFF0000FFu);
    platform::presentToWindow(frame, red.data(), 6, 4, 24, nullptr, nullptr);
    platform::presentToWindow(child, blue.data(), 3, 2, 12, nullptr, nullptr);
    std::vector<uint32_t> out;
    int w, h;
    ASSERT_TRUE(platform::readWindowFrame(frame, out, w, h));
    EXPECT_EQ(out, red) << "a hidden child is not shown";
    ShowWindow(child, SW_SHOW);
    platform::presentToWindow(child, blue.data(), 3, 2, 12, nullptr, nullptr);
    ASSERT_TRUE(platform::readWindowFrame(frame, out, w, h));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inChild = x >= 2 && x < 5 && y >= 1 && y < 3;
            EXPECT_EQ(out[size_t(y) * 6 + x], inChild ? 0xFF0000FFu : 0xFFFF0000u) << x << "," << y;
        }
    std::vector<uint32_t> shown;
    ASSERT_TRUE(m_backend->readDisplayFrame(frame, shown, w, h));
    EXPECT_EQ(shown, out) << "the backend shows the composed client area";
}

// Windows a child hides wholly are left out of the composed picture; what
// shows must be the same as drawing every window back to front.
TEST_F(Surface, ChildrenOverTheWholeClientAreaComposeAsDrawnBackToFront)
{
    constexpr uint32_t kBlack = 0xFF000000u;
    struct Layer {
        int parent;  // index of the parent layer; -1: the frame
        RECT rect;   // in the parent's client area
        uint32_t colour;  // 0: never presented
    };
    struct Case {
        const char* name;
        uint32_t frameColour;  // 0: never presented
        std::vector<Layer> layers;  // created in order, so each comes in front of the earlier ones
    };
    const Case cases[] = {
        {"one child over all of it", 0xFFFF0000u, {{-1, {0, 0, 6, 4}, 0xFF0000FFu}}},
        {"a child reaching past every edge", 0xFFFF0000u, {{-1, {-1, -2, 7, 5}, 0xFF0000FFu}}},
        {"a blank child whose own child covers it", 0xFFFF0000u,
         {{-1, {0, 0, 6, 4}, 0}, {0, {0, 0, 6, 4}, 0xFF00FF00u}}},
        {"a small child in front of a covering one", 0xFFFF0000u,
         {{-1, {0, 0, 6, 4}, 0xFF0000FFu}, {-1, {1, 1, 3, 3}, 0xFF00FF00u}}},
        {"a small child behind a covering one", 0xFFFF0000u,
         {{-1, {1, 1, 3, 3}, 0xFF00FF00u}, {-1, {0, 0, 6, 4}, 0xFF0000FFu}}},
        {"a blank frame, a child over part of it", 0, {{-1, {2, 1, 5, 3}, 0xFF0000FFu}}},
        {"a blank frame, a child over all of it", 0, {{-1, {0, 0, 6, 4}, 0xFF0000FFu}}},
        {"a child over all of it but one row", 0xFFFF0000u, {{-1, {0, 0, 6, 3}, 0xFF0000FFu}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND frame = createFrame(0, 100, 6, 4);
        std::vector<uint32_t> expected(6 * 4, kBlack);
        auto paint = [&](int left, int top, int right, int bottom, uint32_t colour) {
            for (int y = std::max(top, 0); y < std::min(bottom, 4); ++y)
                for (int x = std::max(left, 0); x < std::min(right, 6); ++x)
                    expected[size_t(y) * 6 + x] = colour;
        };
        if (c.frameColour) {
            std::vector<uint32_t> px(6 * 4, c.frameColour);
            platform::presentToWindow(frame, px.data(), 6, 4, 24, nullptr, nullptr);
            paint(0, 0, 6, 4, c.frameColour);
        }
        std::vector<HWND> windows;
        std::vector<RECT> onFrame;  // each layer's client area in the frame, clipped by its parents
        for (const Layer& layer : c.layers) {
            const HWND parent = layer.parent < 0 ? frame : windows[size_t(layer.parent)];
            const RECT& r = layer.rect;
            HWND child = createChild(parent, r.left, r.top, r.right - r.left, r.bottom - r.top);
            ShowWindow(child, SW_SHOW);
            windows.push_back(child);
            RECT clip = layer.parent < 0 ? RECT{0, 0, 6, 4} : onFrame[size_t(layer.parent)];
            const LONG ox = layer.parent < 0 ? 0 : onFrame[size_t(layer.parent)].left;
            const LONG oy = layer.parent < 0 ? 0 : onFrame[size_t(layer.parent)].top;
            onFrame.push_back(RECT{std::max(clip.left, ox + r.left), std::max(clip.top, oy + r.top),
                                   std::min(clip.right, ox + r.right), std::min(clip.bottom, oy + r.bottom)});
            if (layer.colour) {
                const int w = r.right - r.left, h = r.bottom - r.top;
                std::vector<uint32_t> px(size_t(w) * h, layer.colour);
                platform::presentToWindow(child, px.data(), w, h, w * 4, nullptr, nullptr);
                const RECT& shown = onFrame.back();
                paint(shown.left, shown.top, shown.right, shown.bottom, layer.colour);
            }
        }
        std::vector<uint32_t> out, shown;
        int w, h;
        ASSERT_TRUE(platform::readWindowFrame(frame, out, w, h));
        EXPECT_EQ(out, expected);
        ASSERT_TRUE(m_backend->readDisplayFrame(frame, shown, w, h));
        EXPECT_EQ(shown, expected) << "the backend shows the composed client area";
        DestroyWindow(frame);
    }
}

// Puts a backend of the test's own in place of the fixture's headless one.
template <typename Backend>
Backend& installBackend(platform::HeadlessBackend*& fixtureBackend)
{
    auto owned = std::make_unique<Backend>();
    Backend& backend = *owned;
    platform::setWindowBackend(std::move(owned));
    fixtureBackend = &backend;
    return backend;
}

// A backend that keeps every frame it is given, with a copy of its pixels as
// they were then: a slow display may still be showing any of them.
class FrameKeepingBackend : public platform::HeadlessBackend {
public:
    struct Kept {
        std::shared_ptr<const std::vector<uint32_t>> frame;
        std::vector<uint32_t> pixels;
    };
    void present(HWND hwnd, std::shared_ptr<const std::vector<uint32_t>> pixels, int width, int height) override
    {
        kept.push_back(Kept{pixels, *pixels});
        HeadlessBackend::present(hwnd, std::move(pixels), width, height);
    }
    std::vector<Kept> kept;
};

TEST_F(Surface, AFrameGivenToTheBackendNeverChangesAfterwards)
{
    FrameKeepingBackend& backend = installBackend<FrameKeepingBackend>(m_backend);
    HWND frame = createFrame(0, 100, 6, 4);
    HWND canvas = createChild(frame, 0, 0, 6, 4);
    HWND front = createChild(frame, 1, 1, 2, 2);
    ShowWindow(canvas, SW_SHOW);
    const std::vector<uint32_t> whole = coordinateFrame(6, 4, 6);
    const std::vector<uint32_t> green(6 * 4, 0xFF00FF00u);
    const RECT corner = {0, 0, 3, 2};
    struct Step {
        const char* name;
        std::function<void()> run;
        // The canvas's picture afterwards, where the step decides it.
        std::function<uint32_t(int, int)> canvas;
    };
    auto wholeAt = [&](int x, int y) { return whole[size_t(y) * 6 + x]; };
    const Step steps[] = {
        {"the canvas whole", [&] { platform::presentToWindow(canvas, whole.data(), 6, 4, 24, nullptr, nullptr); },
         wholeAt},
        {"the canvas again", [&] { platform::presentToWindow(canvas, green.data(), 6, 4, 24, nullptr, nullptr); },
         [&](int, int) { return 0xFF00FF00u; }},
        {"a corner of the canvas",
         [&] { platform::presentToWindow(canvas, whole.data(), 6, 4, 24, &corner, &corner); },
         [&](int x, int y) { return x < 3 && y < 2 ? wholeAt(x, y) : 0xFF00FF00u; }},
        {"the canvas scaled", [&] { platform::presentToWindow(canvas, whole.data(), 3, 2, 24, nullptr, nullptr); },
         nullptr},
        {"the frame under the canvas",
         [&] { platform::presentToWindow(frame, green.data(), 6, 4, 24, nullptr, nullptr); }, nullptr},
        {"a child in front",
         [&] {
             ShowWindow(front, SW_SHOW);
             platform::presentToWindow(front, whole.data(), 2, 2, 24, nullptr, nullptr);
         },
         nullptr},
        {"the canvas under it", [&] { platform::presentToWindow(canvas, whole.data(), 6, 4, 24, nullptr, nullptr); },
         wholeAt},
        {"the canvas alone again",
         [&] {
             ShowWindow(front, SW_HIDE);
             platform::presentToWindow(canvas, green.data(), 6, 4, 24, nullptr, nullptr);
         },
         [&](int, int) { return 0xFF00FF00u; }},
        {"the canvas resized",
         [&] {
             SetWindowPos(canvas, nullptr, 0, 0, 5, 4, SWP_NOZORDER);
             platform::presentToWindow(canvas, whole.data(), 5, 4, 24, nullptr, nullptr);
         },
         nullptr},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const size_t before = backend.kept.size();
        step.run();
        ASSERT_GT(backend.kept.size(), before) << "a frame was shown";
        for (size_t i = 0; i < backend.kept.size(); ++i)
            ASSERT_EQ(*backend.kept[i].frame, backend.kept[i].pixels) << "frame " << i << " changed";
        std::vector<uint32_t> composed, shown;
        int w, h;
        ASSERT_TRUE(platform::readWindowFrame(frame, composed, w, h));
        ASSERT_TRUE(backend.readDisplayFrame(frame, shown, w, h));
        EXPECT_EQ(shown, composed);
        if (step.canvas) {
            ASSERT_TRUE(platform::readWindowFrame(canvas, composed, w, h));
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 6; ++x)
                    ASSERT_EQ(composed[size_t(y) * 6 + x], step.canvas(x, y)) << x << "," << y;
        }
    }
}

// A display that shows each frame on a thread of its own and lets it go
// there, as a real display may: it keeps no frame, and counts the frames
// that changed while it held them (each is drawn in one colour).
class ThreadedDisplayBackend : public platform::HeadlessBackend {
public:
    ThreadedDisplayBackend() : m_thread([this] { show(); }) {}
    ~ThreadedDisplayBackend() override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    void present(HWND, std::shared_ptr<const std::vector<uint32_t>> pixels, int, int) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_waiting.push_back(std::move(pixels));
        }
        m_wake.notify_one();
    }
    int shown() const { return m_shown; }
    int changed() const { return m_changed; }

private:
    void show()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_done || !m_waiting.empty(); });
            if (m_waiting.empty())
                return;
            std::shared_ptr<const std::vector<uint32_t>> frame = std::move(m_waiting.front());
            m_waiting.erase(m_waiting.begin());
            lock.unlock();
            // Read without the lock; the frame is let go here, after it.
            // Its last row lies outside the child of the top-left corner.
            const uint32_t first = frame->empty() ? 0 : frame->back();
            const bool same = std::all_of(frame->end() - std::min<long>(64, long(frame->size())), frame->end(),
                                          [first](uint32_t p) { return p == first; });
            frame.reset();
            lock.lock();
            ++m_shown;
            m_changed += same ? 0 : 1;
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<std::shared_ptr<const std::vector<uint32_t>>> m_waiting;
    std::atomic<int> m_shown{0};
    std::atomic<int> m_changed{0};
    bool m_done = false;
    std::thread m_thread;
};

TEST_F(Surface, AFrameLetGoOnTheDisplaysThreadIsDrawnIntoOnlyAfterward)
{
    ThreadedDisplayBackend& display = installBackend<ThreadedDisplayBackend>(m_backend);
    HWND frame = createFrame(0, 100, 64, 48);
    HWND canvas = createChild(frame, 0, 0, 64, 48);
    ShowWindow(canvas, SW_SHOW);
    HWND corner = createChild(frame, 0, 0, 8, 8);
    // The canvas alone (its picture is the frame shown), then under a child
    // (the frame is composed): both reuse the buffers the display let go.
    constexpr int kFrames = 400;
    const std::vector<uint32_t> white(8 * 8, 0xFFFFFFFFu);
    for (int i = 0; i < kFrames; ++i) {
        if (i == kFrames / 2) {
            ShowWindow(corner, SW_SHOW);
            platform::presentToWindow(corner, white.data(), 8, 8, 8 * 4, nullptr, nullptr);
        }
        const std::vector<uint32_t> colour(64 * 48, 0xFF000000u | uint32_t(i));
        platform::presentToWindow(canvas, colour.data(), 64, 48, 64 * 4, nullptr, nullptr);
    }
    testsupport::reachedAtPace(2000, [&display] { return display.shown() >= kFrames + 1; });
    EXPECT_EQ(kFrames + 1, display.shown());
    EXPECT_EQ(0, display.changed()) << "no frame changed while the display held it";
    DestroyWindow(frame);
}

TEST_F(Surface, LetterboxKeepsTheProportions)
{
    RECT r = platform::letterboxRect(800, 600, 1280, 1024);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 32);
    EXPECT_EQ(r.right, 1280);
    EXPECT_EQ(r.bottom, 992);
    r = platform::letterboxRect(800, 600, 1920, 1080);
    EXPECT_EQ(r.left, 240);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 1680);
    EXPECT_EQ(r.bottom, 1080);
    r = platform::letterboxRect(800, 600, 800, 600);
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(r.top, 0);
    r = platform::letterboxRect(0, 600, 800, 600);
    EXPECT_EQ(r.right, 0);
}

TEST_F(Surface, FullScreenScalesTheClientAreaToTheDisplay)
{
    // An 8 x 6 game picture on a 20 x 10 display: scaled to 13 x 10 (8 * 10 / 6
    // = 13.3), centred with bars of 3 and 4 columns.
    m_backend->setDesktop(platform::DisplayMode{20, 10, 32, 0, 60}, RECT{0, 0, 20, 10});
    platform::setDisplayModeList({{8, 6, 32, 0, 60}});
    HWND frame = createFrame(0, 0, 8, 6);
    ShowWindow(frame, SW_SHOW);
    DEVMODEA dm{};
    dm.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    dm.dmPelsWidth = 8;
    dm.dmPelsHeight = 6;
    dm.dmBitsPerPel = 32;
    ASSERT_EQ(ChangeDisplaySettingsA(&dm, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    auto px = coordinateFrame(8, 6, 8);
    platform::presentToWindow(frame, px.data(), 8, 6, 32, nullptr, nullptr);
    std::vector<uint32_t> shown;
    int w, h;
    ASSERT_TRUE(m_backend->readDisplayFrame(frame, shown, w, h));
    ASSERT_EQ(w, 20);
    ASSERT_EQ(h, 10);
    const int boxLeft = 3, boxWidth = 13;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            uint32_t expected = 0xFF000000u;
            if (x >= boxLeft && x < boxLeft + boxWidth) {
                int sx = (x - boxLeft) * 8 / boxWidth, sy = y * 6 / 10;
                expected = 0xFF000000u | uint32_t(sx) << 8 | uint32_t(sy);
            }
            EXPECT_EQ(shown[size_t(y) * 20 + x], expected) << x << "," << y;
        }
    ChangeDisplaySettingsA(nullptr, 0);
    ASSERT_TRUE(m_backend->readDisplayFrame(frame, shown, w, h));
    EXPECT_EQ(w, 8) << "windowed again: the client area as it is";
}


// The picture's width and height as a PNG file's header gives them; 0, 0
// when the file is not a PNG.
std::pair<uint32_t, uint32_t> pngSize(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    unsigned char b[24] = {};
    in.read(reinterpret_cast<char*>(b), sizeof b);
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!in || std::memcmp(b, signature, 8) != 0 || std::memcmp(b + 12, "IHDR", 4) != 0)
        return {0, 0};
    auto be = [&](int i) { return uint32_t(b[i]) << 24 | uint32_t(b[i + 1]) << 16 | uint32_t(b[i + 2]) << 8 | b[i + 3]; };
    return {be(16), be(20)};
}

TEST_F(Surface, TheLastFrameGoesToTheFileTheEnvironmentNames)
{
    testsupport::TempDir dir;
    const std::filesystem::path shot = dir.path() / "shot.png";
    setenv("HV_LAST_FRAME", shot.c_str(), 1);
    HWND frame = createFrame(0, 100, 64, 48);
    HWND child = createChild(frame, 0, 0, 8, 6);
    auto px = coordinateFrame(8, 6, 8);
    ASSERT_TRUE(platform::presentToWindow(child, px.data(), 8, 6, 8 * 4, nullptr, nullptr));
    // Closing the window writes the whole window's picture at once.
    DestroyWindow(frame);
    unsetenv("HV_LAST_FRAME");
    EXPECT_EQ(pngSize(shot), std::make_pair(64u, 48u));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "shot.png.part"));
}

} // namespace
