// The SDL backend on SDL's dummy video driver (no display): windows, frames,
// full screen, message boxes and SDL's events turned into messages. Skipped
// where SDL's video cannot start.
#include "UserTestSupport.h"

#include "platform/user/WindowSurface.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

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

    std::string m_oldDriver;
    bool m_hadDriver = false;
    bool m_started = false;
};

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

} // namespace
