// Display modes and mode switches, metrics and work area, window sizes and
// placement, and message boxes.
#include "UserTestSupport.h"

#include "platform/user/WindowSurface.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/MachinePace.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace usertest;

namespace {

using Display = UserTest;

std::vector<platform::DisplayMode> enumerate()
{
    std::vector<platform::DisplayMode> modes;
    DEVMODEA dm;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &dm); ++i)
        modes.push_back(platform::DisplayMode{int(dm.dmPelsWidth), int(dm.dmPelsHeight), int(dm.dmBitsPerPel),
                                              dm.dmDisplayFlags, int(dm.dmDisplayFrequency)});
    return modes;
}

DEVMODEA modeOf(int width, int height, int bits)
{
    DEVMODEA dm;
    std::memset(&dm, 0, sizeof dm);
    dm.dmSize = sizeof dm;
    dm.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    dm.dmPelsWidth = DWORD(width);
    dm.dmPelsHeight = DWORD(height);
    dm.dmBitsPerPel = DWORD(bits);
    return dm;
}

TEST_F(Display, ModesOfferTheDesignSizeAt32And16Bits)
{
    auto modes = enumerate();
    bool at32 = false, at16 = false;
    for (auto& m : modes) {
        at32 = at32 || (m.width == 800 && m.height == 600 && m.bitsPerPixel == 32);
        at16 = at16 || (m.width == 800 && m.height == 600 && m.bitsPerPixel == 16);
    }
    EXPECT_TRUE(at32);
    EXPECT_TRUE(at16);
    DEVMODEA dm;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &dm));
    EXPECT_EQ(dm.dmPelsWidth, 1024u);
    EXPECT_EQ(dm.dmBitsPerPel, 32u);
    EXPECT_FALSE(EnumDisplaySettingsA("\\\\.\\DISPLAY2", 0, &dm));

    platform::setDisplayModeList({{800, 600, 24, 0, 60}, {800, 600, 8, 0, 60}});
    modes = enumerate();
    ASSERT_EQ(modes.size(), 2u);
    EXPECT_EQ(modes[0].bitsPerPixel, 24);
    EXPECT_EQ(modes[1].bitsPerPixel, 8);
}

TEST_F(Display, SwitchingFillsTheDisplayAndTellsTheWindows)
{
    HWND frame = createFrame();
    const uint32_t generation = platform::displayModeGeneration();
    DEVMODEA dm = modeOf(800, 600, 32);
    EXPECT_EQ(ChangeDisplaySettingsA(&dm, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(platform::displayModeGeneration(), generation) << "a test changes nothing";
    DEVMODEA bad = modeOf(800, 600, 8);
    EXPECT_EQ(ChangeDisplaySettingsA(&bad, CDS_TEST), DISP_CHANGE_BADMODE);
    EXPECT_EQ(ChangeDisplaySettingsA(&bad, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_FALSE(platform::displayFullScreen());

    log().clear();
    EXPECT_EQ(ChangeDisplaySettingsA(&dm, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(platform::displayModeGeneration(), generation + 1);
    EXPECT_TRUE(m_backend->fullScreen());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.right, 800);
    EXPECT_EQ(work.bottom, 600);
    auto changes = log().of(WM_DISPLAYCHANGE);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].hwnd, frame);
    EXPECT_EQ(changes[0].wParam, 32u);
    EXPECT_EQ(changes[0].lParam, MAKELPARAM(800, 600));

    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(platform::displayModeGeneration(), generation + 2);
    EXPECT_FALSE(m_backend->fullScreen());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(platform::displayModeGeneration(), generation + 2) << "already on the desktop's mode";
}

TEST_F(Display, InjectedResultsDecideTheSwitch)
{
    std::vector<DWORD> flagsSeen;
    platform::setDisplayChangeHook([&](const DEVMODEA& mode, DWORD flags) {
        flagsSeen.push_back(flags);
        return (flags & CDS_TEST) && mode.dmBitsPerPel == 16 ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
    });
    DEVMODEA dm = modeOf(800, 600, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&dm, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(ChangeDisplaySettingsA(&dm, CDS_FULLSCREEN), DISP_CHANGE_FAILED);
    EXPECT_FALSE(platform::displayFullScreen());
    std::vector<DWORD> expected{CDS_TEST, CDS_FULLSCREEN};
    EXPECT_EQ(flagsSeen, expected);
}

TEST_F(Display, MetricsWorkAreaAndWindowSizes)
{
    m_backend->setDesktop(platform::DisplayMode{1280, 1024, 32, 0, 60}, RECT{0, 0, 1280, 984});
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.bottom, 984);
    BOOL smoothing = FALSE;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, &smoothing, 0));
    EXPECT_TRUE(smoothing);

    RECT r{0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRectEx(&r, kFrameStyle, FALSE, 0));
    const int frameX = GetSystemMetrics(SM_CXDLGFRAME), frameY = GetSystemMetrics(SM_CYDLGFRAME);
    EXPECT_EQ(r.left, -frameX);
    EXPECT_EQ(r.right, 800 + frameX);
    EXPECT_EQ(r.top, -frameY - GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(r.bottom, 600 + frameY);
    EXPECT_LT(r.left, 0);
    RECT child{5, 5, 10, 10};
    AdjustWindowRectEx(&child, WS_CHILD, FALSE, 0);
    EXPECT_EQ(child.left, 5) << "a child without borders has no frame";

    HWND frame = createFrame(100, 50, 800, 600);
    RECT client, window;
    GetClientRect(frame, &client);
    GetWindowRect(frame, &window);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    EXPECT_EQ(window.left, 100 + r.left);
    EXPECT_EQ(window.top, 50 + r.top);
    int w = 0, h = 0;
    ASSERT_TRUE(platform::windowClientSize(frame, &w, &h));
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_FALSE(platform::windowClientSize((HWND)(uintptr_t)0xBAD0, &w, &h));
}

TEST_F(Display, WindowPositionChangesCanBeAlteredOrRefused)
{
    HWND frame = createFrame(100, 100, 800, 600);
    ShowWindow(frame, SW_SHOW);
    RECT before;
    GetWindowRect(frame, &before);
    // Like the engine's frame: smaller than its design size is refused, a
    // negative position is moved.
    log().setHook([](HWND, UINT m, WPARAM, LPARAM l, LRESULT& r) {
        if (m != WM_WINDOWPOSCHANGING)
            return false;
        auto* pos = reinterpret_cast<WINDOWPOS*>(l);
        if (!(pos->flags & SWP_NOSIZE) && pos->cx < 806) {
            pos->flags |= SWP_NOSIZE | SWP_NOMOVE;
            r = 0;
            return true;
        }
        if (pos->x < 0)
            pos->x = 40;
        return false;
    });
    log().clear();
    SetWindowPos(frame, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT after;
    GetWindowRect(frame, &after);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof after), 0);
    EXPECT_TRUE(log().of(WM_SIZE).empty());
    EXPECT_TRUE(log().of(WM_MOVE).empty());

    log().clear();
    SetWindowPos(frame, nullptr, -5, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(frame, &after);
    EXPECT_EQ(after.left, 40);
    EXPECT_EQ(after.top, 10);
    auto changing = log().of(WM_WINDOWPOSCHANGING);
    ASSERT_EQ(changing.size(), 1u);
    auto moves = log().of(WM_MOVE);
    ASSERT_EQ(moves.size(), 1u);
    POINT origin{0, 0};
    ClientToScreen(frame, &origin);
    EXPECT_EQ(moves[0].lParam, MAKELPARAM(origin.x, origin.y)) << "the client area's origin";
    EXPECT_TRUE(log().of(WM_SIZE).empty()) << "the size did not change";

    log().clear();
    SetWindowPos(frame, HWND_TOPMOST, 0, 0, 900, 700, SWP_NOMOVE);
    EXPECT_TRUE(GetWindowLongA(frame, GWL_EXSTYLE) & WS_EX_TOPMOST);
    auto sizes = log().of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    RECT client;
    GetClientRect(frame, &client);
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(client.right, client.bottom));
    platform::HeadlessBackend::WindowState state;
    m_backend->windowState(frame, state);
    EXPECT_EQ(state.client.right - state.client.left, client.right);
    SetWindowPos(frame, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_FALSE(GetWindowLongA(frame, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(Display, FirstShowTellsSizeAndPlace)
{
    HWND frame = createFrame(100, 100, 640, 480);
    EXPECT_TRUE(log().of(WM_SIZE).empty()) << "nothing before the window shows";
    ShowWindow(frame, SW_SHOW);
    auto sizes = log().of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(640, 480));
    EXPECT_EQ(log().of(WM_MOVE).size(), 1u);
    ShowWindow(frame, SW_HIDE);
    ShowWindow(frame, SW_SHOW);
    EXPECT_EQ(log().of(WM_SIZE).size(), 1u);
    SetWindowTextA(frame, "Lanternfield");
    platform::HeadlessBackend::WindowState state;
    ASSERT_TRUE(m_backend->windowState(frame, state));
    EXPECT_EQ(state.title, "Lanternfield");
}

TEST_F(Display, MessageBoxesAreRecordedAndDoNotWait)
{
    platform::MessageBoxCapture capture;
    EXPECT_EQ(MessageBoxA(nullptr, "Unable to switch to Fullscreen mode.", "Harbinvel Error", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "no caption", nullptr, MB_OK | MB_ICONERROR), IDOK);
    auto boxes = capture.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Unable to switch to Fullscreen mode.");
    EXPECT_EQ(boxes[0].caption, "Harbinvel Error");
    EXPECT_EQ(boxes[0].type, MB_OK);
    EXPECT_EQ(boxes[1].caption, "Error");
    capture.clear();
    EXPECT_TRUE(capture.boxes().empty());
}

// A display whose boxes wait in a process of their own, as a real display's
// do (forked as a real box's is, but only waiting there: it runs nothing a
// lock guards); the box's process reports to the test once it waits.
class DisplayBoxProcessBackend : public platform::HeadlessBackend {
public:
    bool showMessageBox(const std::string&, const std::string&, UINT) override
    {
        const pid_t box = fork();
        if (box == 0) {
            testsupport::ChildProgram::report();
            // Never left waiting should the test fail: five minutes, which
            // no run of the test on a busy machine comes near (nothing here
            // may look at the machine's pace: a lock another thread held
            // at the fork may guard what that takes).
            alarm(300);
            pause();
            _exit(0);
        }
        int status = 0;
        while (box > 0 && waitpid(box, &status, 0) < 0) {
        }
        return true;
    }
};

// The process the first thread of `program` started (0: none).
pid_t boxOf(pid_t program)
{
    std::ifstream children("/proc/" + std::to_string(program) + "/task/" + std::to_string(program) + "/children");
    pid_t box = 0;
    children >> box;
    return box;
}

// Whether the box's process, an orphan this test process takes in, has
// ended; an ended one is reaped here.
bool boxEnded(pid_t box)
{
    return waitpid(box, nullptr, WNOHANG) == box;
}

TEST_F(Display, ABoxsProcessEndsWithTheProgramHoweverItEnds)
{
    if (testsupport::ChildProgram::role() == "program") {
        // The program, a process of its own, shows a box.
        platform::setWindowBackend(std::make_unique<DisplayBoxProcessBackend>());
        MessageBoxA(nullptr, "waits for OK", "Box", MB_OK);
        return;
    }
    // The box's process, left an orphan by the killed program, comes to this
    // process, which can then wait for it (and only then could its number be
    // another process's).
    ASSERT_EQ(0, prctl(PR_SET_CHILD_SUBREAPER, 1));
    testsupport::TempDir dir;
    testsupport::ChildProgram program("program", dir.path());
    ASSERT_TRUE(program.waitForReports(1)) << program.output();
    // The box's process is the only child of the program's thread that
    // showed it.
    const pid_t box = boxOf(program.id());
    ASSERT_GT(box, 0);
    // The program is killed while its box waits.
    program.kill();
    const bool ended = testsupport::reachedAtPace(5000, [box] { return boxEnded(box); });
    EXPECT_TRUE(ended);
    if (!ended) {
        kill(box, SIGKILL);
        waitpid(box, nullptr, 0);
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

} // namespace
