// The SDL backend on SDL's dummy video driver (no display): windows, frames,
// full screen, message boxes and SDL's events turned into messages. Skipped
// where SDL's video cannot start. On an X server of the test's own, ended
// while the backend's pump is held between two of SDL's polls, in processes
// of their own. A box's process, which needs no video, is tried without a
// display, and the text it is given is cut to what it takes.
#include "UserTestSupport.h"

#include "platform/user/DisplayThread.h"
#include "platform/user/WindowSurface.h"
#include "platform/user/sdl/SdlBackend.h"
#include "platform/user/sdl/SdlMessageBox.h"
#include "tests/support/MachinePace.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestXServer.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

using namespace usertest;

namespace {

class SdlBackendTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        const char* old = std::getenv("SDL_VIDEODRIVER");
        m_oldDriver = old ? old : "";
        m_hadDriver = old != nullptr;
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        m_started = platform::setWindowBackend("sdl");
    }
    void TearDown() override
    {
        platform::resetWindowLayer();
        m_backend = &platform::useHeadlessBackend(); // shuts SDL's video down
        if (m_hadDriver)
            setenv("SDL_VIDEODRIVER", m_oldDriver.c_str(), 1);
        else
            unsetenv("SDL_VIDEODRIVER");
        UserTest::TearDown();
    }

    void pushKey(SDL_Scancode scancode, SDL_Keycode sym, bool down)
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = sym;
        SDL_PushEvent(&e);
    }

    // Run in a process of its own (a display lost stays lost): see
    // TheServersEndIsFoundBeforeSdlsNextPoll. Ends the process with 0 when
    // the pump held found the display lost and took nothing more; otherwise
    // says why and ends it with another code.
    [[noreturn]] void endTheServerBetweenTwoPolls();

    std::string m_oldDriver;
    bool m_hadDriver = false;
    bool m_started = false;
};

// The server the hook ends, and how many events SDL held then (-1: the hook
// has not ended it).
testsupport::TestXServer* serverToEnd = nullptr;
int eventsHeld = -1;

// The events SDL holds, read from the display and not yet taken.
int sdlEventsHeld()
{
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void SdlBackendTest::endTheServerBetweenTwoPolls()
{
    std::atomic<bool> pumped{false};
    int code = 3;
    {
        testsupport::TempDir folder;
        testsupport::TestXServer server(folder.path());
        serverToEnd = &server;
        // Should the pump never come back (from a poll of the dead display,
        // where the display's thread stays for a close to take over), the
        // process ends, its folder removed: a limit that stretches with the
        // machine's load.
        std::thread([&pumped, where = folder.path()] {
            testsupport::MachinePace pace;
            while (!pumped) {
                if (pace.counted() > 30000) {
                    std::fprintf(stderr, "the pump did not come back within 30 s (%s)\n", pace.load().c_str());
                    std::error_code ignored;
                    std::filesystem::remove_all(where, ignored);
                    std::_Exit(2);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }).detach();
        m_backend = &platform::useHeadlessBackend(); // the dummy driver's video shut down
        setenv("DISPLAY", (":" + std::to_string(server.number())).c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        std::string failure = "its X server did not start";
        std::unique_ptr<platform::WindowBackend> sdl;
        if (server.number() >= 0)
            sdl = platform::createSdlBackend(failure);
        if (!sdl) {
            std::fprintf(stderr, "SDL's video did not start on an X server of the test's: %s\n", failure.c_str());
        } else {
            platform::setWindowBackend(std::move(sdl));
            HWND frame = createFrame(0, 0, 64, 48);
            ShowWindow(frame, SW_SHOW);
            // Each warp waits for the server's answer, by which the pointer's
            // motion into and across the window has come: the first poll
            // reads it all, and SDL holds it.
            for (int x = 4; x < 60; x += 8)
                platform::windowBackend().warpPointer(x, 24);
            platform::sdlEventHandled = [] {
                if (eventsHeld < 0 && sdlEventsHeld() > 0) {
                    eventsHeld = sdlEventsHeld();
                    serverToEnd->end(SIGKILL);
                }
            };
            platform::windowBackend().pump();
            pumped = true;
            const int taken = eventsHeld - sdlEventsHeld();
            const bool lost = platform::DisplayThread::displayLost();
            if (eventsHeld <= 0) {
                std::fprintf(stderr, "SDL held no events after the first it gave\n");
            } else if (taken != 0 || !lost) {
                std::fprintf(stderr, "after the server's end the pump took %d of the %d events SDL held, and %s\n",
                             taken, eventsHeld, lost ? "found the display lost" : "did not find the display lost");
                code = 1;
            } else {
                code = 0;
            }
        }
    }
    std::_Exit(code);
}

TEST_F(SdlBackendTest, WindowsFramesAndFullScreenOnTheDummyDriver)
{
    if (!m_started)
        GTEST_SKIP() << "SDL's video cannot start here";
    EXPECT_STREQ(platform::windowBackend().name(), "sdl");
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    HWND frame = createFrame(0, 0, 64, 48);
    ASSERT_NE(frame, nullptr);
    SetWindowTextA(frame, "Lanternfield \xE9t\xE9");
    ShowWindow(frame, SW_SHOW);
    std::vector<uint32_t> px(64 * 48, 0xFF336699u);
    EXPECT_TRUE(platform::presentToWindow(frame, px.data(), 64, 48, 64 * 4, nullptr, nullptr));
    pump();
    DEVMODEA dm{};
    dm.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    dm.dmPelsWidth = 800;
    dm.dmPelsHeight = 600;
    dm.dmBitsPerPel = 32;
    EXPECT_EQ(ChangeDisplaySettingsA(&dm, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    platform::presentToWindow(frame, px.data(), 64, 48, 64 * 4, nullptr, nullptr);
    pump();
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    SetCursor(nullptr);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    platform::MessageBoxCapture capture;
    EXPECT_EQ(MessageBoxA(frame, "no display to show it on", "Test", MB_OK), IDOK) << "and it did not wait";
    EXPECT_EQ(capture.boxes().size(), 1u);
    EXPECT_TRUE(DestroyWindow(frame));
    pump();
}

TEST_F(SdlBackendTest, SdlKeysAndTextBecomeKeyMessagesAndCharacters)
{
    if (!m_started)
        GTEST_SKIP() << "SDL's video cannot start here";
    HWND frame = createFrame(0, 0, 64, 48);
    ShowWindow(frame, SW_SHOW);
    pump();
    log().clear();
    pushKey(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, true);
    pushKey(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, false);
    pushKey(SDL_SCANCODE_E, SDLK_e, true);
    SDL_Event text;
    std::memset(&text, 0, sizeof text);
    text.type = SDL_TEXTINPUT;
    std::strcpy(text.text.text, "\xC3\xA9\xE2\x82\xAC\xE2\x98\x83"); // e acute, euro sign, a snowman
    SDL_PushEvent(&text);
    pushKey(SDL_SCANCODE_E, SDLK_e, false);
    pushKey(SDL_SCANCODE_DELETE, SDLK_DELETE, true);
    pushKey(SDL_SCANCODE_DELETE, SDLK_DELETE, false);
    pump();
    std::vector<WPARAM> keys;
    for (const Logged& m : log().of(WM_KEYDOWN))
        keys.push_back(m.wParam);
    std::vector<WPARAM> expectedKeys{VK_ESCAPE, 'E', VK_DELETE};
    EXPECT_EQ(keys, expectedKeys);
    std::vector<WPARAM> chars;
    for (const Logged& m : log().of(WM_CHAR))
        chars.push_back(m.wParam);
    std::vector<WPARAM> expectedChars{27, 0xE9, 0x80, '?'};
    if (!SDL_IsTextInputActive())
        expectedChars = {27, 'e', 0xE9, 0x80, '?'};
    EXPECT_EQ(chars, expectedChars);
    DestroyWindow(frame);
}

// The X server ends while SDL holds events it read from the display that
// the backend's pump has not taken yet, the pump held between two of SDL's
// polls meanwhile: let go, it finds the display lost before it polls again
// and takes none of them. Polled again, an SDL that reads the display at
// each poll would meet the dead one, and this one hands over events of a
// server that has ended. Ten times, each in a process of its own (a display
// lost stays lost) with a server of its own.
TEST_F(SdlBackendTest, TheServersEndIsFoundBeforeSdlsNextPoll)
{
    if (!testsupport::TestXServer::installed()) {
#ifdef HV_REQUIRE_X_TOOLS
        FAIL() << "Xvfb is not installed, and this test must run here";
#else
        GTEST_SKIP() << "Xvfb is not installed";
#endif
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EXIT(endTheServerBetweenTwoPolls(), ::testing::ExitedWithCode(0), "");
    }
}

// A box's text goes to its process in the environment, which takes a string
// of 128 KiB at most: a longer text is cut to 64 KiB, and a character the cut
// would split is left out whole, so that the box's text stays whole
// characters.
TEST(SdlMessageBoxTest, ABoxsTextIsCutTo64KiBAtACharactersStart)
{
    const std::string a64k(65536, 'a');
    struct Row {
        const char* what;
        std::string text;
        size_t kept;
    };
    const std::vector<Row> rows = {
        {"a text of 64 KiB", a64k, 65536},
        {"a longer one", a64k + std::string(70000, 'b'), 65536},
        {"a character of two bytes across the cut", std::string(65535, 'a') + "\xC3\xA9" + "bb", 65535},
        {"one of three bytes", std::string(65534, 'a') + "\xE2\x82\xAC" + "bb", 65534},
        {"one of four bytes ending at the cut", std::string(65532, 'a') + "\xF0\x9F\x8E\xB2" + "bb", 65536},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string cut = platform::sdlMessageBoxText(row.text);
        EXPECT_EQ(row.kept, cut.size());
        EXPECT_TRUE(row.text.compare(0, cut.size(), cut) == 0) << "the bytes kept are not the text's first";
    }
}

// A box whose process cannot show it (no display to open) is no box shown:
// it does not answer as one the player closed.
TEST(SdlMessageBoxTest, ABoxItsProcessCannotShowIsNotShown)
{
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const std::string oldDisplay = display ? display : "", oldWayland = wayland ? wayland : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_FALSE(platform::showSdlMessageBox(SDL_MESSAGEBOX_INFORMATION, "Box", "no display to show it on"));
    if (display)
        setenv("DISPLAY", oldDisplay.c_str(), 1);
    if (wayland)
        setenv("WAYLAND_DISPLAY", oldWayland.c_str(), 1);
}

} // namespace
