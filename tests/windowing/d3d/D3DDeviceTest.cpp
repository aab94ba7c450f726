// The window graphics' device: creation and its parameters, the drawing
// bracket and presentation, swap chains per window, device loss from a failed
// present, a display-mode change and a full-screen switch with the restore
// through the private message, and the fatal error boxes.
#include "D3DTestSupport.h"

#include "core/lang/ResourceFile.h"
#include "platform/d3d9/SystemWindowHost.h"
#include "platform/files/Modules.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/user/MessageBox.h"
#include "tests/support/TempDir.h"
#include "tools/archive/ArchiveWriter.h"
#include "windowing/d3d/GraphicsParticleDX.h"
#include "windowing/d3d/SwapChain.h"

#include <cmath>

namespace {

using namespace d3dtest;

// The window layer's host, counting the frames presented.
class CountingHost : public platform::d3d9::WindowHost {
public:
    bool clientSize(HWND hwnd, int* width, int* height) override { return system.clientSize(hwnd, width, height); }
    bool present(HWND hwnd, const uint32_t* pixels, int width, int height, int pitchBytes, const RECT* source,
                 const RECT* dest, bool fullScreen) override
    {
        ++presents;
        targets.push_back(hwnd);
        return system.present(hwnd, pixels, width, height, pitchBytes, source, dest, fullScreen);
    }
    bool isActive(HWND hwnd) override { return system.isActive(hwnd); }
    uint32_t displayModeGeneration() override { return system.displayModeGeneration(); }

    platform::d3d9::SystemWindowHost system;
    int presents = 0;
    std::vector<HWND> targets;
};

class D3DDeviceTest : public D3DTest {
protected:
    void repaint()
    {
        InvalidateRect(frame->getHWND(), nullptr, TRUE);
        windowtest::pump(200);
    }

    std::string paintLine() const { return "Start WM_PAINT " + std::to_string(uintptr_t(frame->getHWND())) + "\n"; }

    uint32_t shownPixel(int x, int y)
    {
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        if (!platform::readWindowFrame(frame->getHWND(), pixels, w, h) || x >= w || y >= h)
            return 0xDEADBEEFu;
        return pixels[size_t(y) * size_t(w) + size_t(x)];
    }

    static size_t occurrences(const std::string& text, const std::string& line)
    {
        size_t n = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
            ++n;
        return n;
    }

    void offerFullScreenMode()
    {
        platform::setDisplayModeList({platform::DisplayMode{800, 600, 32, 0, 60}});
    }
};

TEST_F(D3DDeviceTest, TheFrameMakesAWindowedDeviceWithTheParametersTheDrawingNeeds)
{
    openFrame();
    const D3DPRESENT_PARAMETERS& p = graphics->getPresentParams();
    EXPECT_EQ(p.BackBufferWidth, 800u);
    EXPECT_EQ(p.BackBufferHeight, 600u);
    EXPECT_EQ(p.BackBufferFormat, D3DFMT_A8R8G8B8);
    EXPECT_EQ(p.BackBufferCount, 1u);
    EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_TRUE(p.Windowed);
    EXPECT_TRUE(p.EnableAutoDepthStencil);
    EXPECT_EQ(p.AutoDepthStencilFormat, D3DFMT_D24S8);
    EXPECT_EQ(p.Flags, DWORD(D3DPRESENTFLAG_LOCKABLE_BACKBUFFER));
    EXPECT_EQ(p.PresentationInterval, UINT(D3DPRESENT_INTERVAL_IMMEDIATE));
    EXPECT_EQ(graphics->getBehaviorFlags(), DWORD(D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED));
    EXPECT_TRUE(graphics->isWindowed());
    EXPECT_TRUE(graphics->isScissorSupported());
    EXPECT_TRUE(graphics->isAlphaTestSupported());
    EXPECT_FALSE(graphics->getDynamicTextures());
    // The projection keeps the window's proportions: x scale = y scale / (800 / 600).
    const D3DMATRIX& projection = graphics->getProjectionMatrix();
    EXPECT_NEAR(projection.m[0][0] * 800.0f / 600.0f, projection.m[1][1], 1e-5f);
    EXPECT_NEAR(projection.m[1][1], 1.0f / std::tan(0.7853982f / 2.0f), 1e-5f);
    EXPECT_FLOAT_EQ(projection.m[2][3], 1.0f);
    // The camera's axes come out orthonormal.
    const D3DMATRIX& view = graphics->getViewMatrix();
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) {
            float dot = 0;
            for (int r = 0; r < 3; ++r)
                dot += view.m[r][a] * view.m[r][b];
            EXPECT_NEAR(dot, a == b ? 1.0f : 0.0f, 1e-5f);
        }
}

TEST_F(D3DDeviceTest, AnOlderDeviceGetsSoftwareVertexProcessingAndCopyPresentation)
{
    SoftwareCaps caps;
    caps.hardwareTransform = false;
    caps.fullScreenFlipOrDiscard = false;
    DeviceControls::setCaps(caps);
    openFrame();
    EXPECT_EQ(graphics->getBehaviorFlags(), DWORD(D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED));
    EXPECT_EQ(graphics->getPresentParams().SwapEffect, D3DSWAPEFFECT_COPY);
}

TEST_F(D3DDeviceTest, OnlyTheOutermostBracketThatDrewPresentsAndAnEmptyOneOnlyTestsTheDevice)
{
    openFrame();
    CountingHost host;
    DeviceControls::setWindowHost(&host);
    platform::DebugCapture debug;
    paint([](window::GraphicsWWinDX*) {});
    EXPECT_EQ(host.presents, 0);
    EXPECT_EQ(debug.text(), "testCooperativeLevel\n");

    paint([](window::GraphicsWWinDX* g) {
        window::Graphics* inner = g->create();
        g->fillRectAlpha(0, 0, 10, 10, 0xFF00FF00u);
        inner->dispose();
        inner->release();
        EXPECT_TRUE(g->isSceneOpen());
    });
    EXPECT_EQ(host.presents, 1);
    ASSERT_EQ(host.targets.size(), 1u);
    EXPECT_EQ(host.targets[0], frame->getHWND());
    EXPECT_EQ(shownPixel(5, 5), 0xFF00FF00u);
    EXPECT_EQ(shownPixel(10, 10), 0u); // the scene began cleared

    debug.clear();
    graphics->endDrawing(); // without a bracket
    EXPECT_EQ(debug.text(), "testCooperativeLevel\n");
    EXPECT_EQ(graphics->getDrawDepth(), 0);
    DeviceControls::setWindowHost(nullptr);
}

TEST_F(D3DDeviceTest, EachWindowDrawnGetsItsOwnSwapChainChosenOnlyBetweenPaints)
{
    openFrameWithCanvas();
    graphics = static_cast<window::GraphicsWWinDX*>(frame->getGraphics());
    EXPECT_EQ(graphics->getTargetWindow(), frame->getHWND());
    window::Graphics* canvasGraphics = canvas->getGraphics();
    EXPECT_EQ(canvasGraphics, graphics); // children draw through the frame's graphics
    EXPECT_EQ(graphics->getTargetWindow(), canvas->getHWND());
    canvasGraphics->release();
    window::SwapChain* frameChain = graphics->findSwapChain(frame->getHWND());
    window::SwapChain* canvasChain = graphics->findSwapChain(canvas->getHWND());
    ASSERT_NE(frameChain, nullptr);
    ASSERT_NE(canvasChain, nullptr);
    EXPECT_NE(frameChain, canvasChain);

    paint([&](window::GraphicsWWinDX* g) {
        g->setTargetWindow(frame->getHWND()); // ignored while drawing
        EXPECT_EQ(g->getTargetWindow(), canvas->getHWND());
        g->fillRectAlpha(0, 0, 800, 600, 0xFF445566u);
    });
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(platform::readWindowFrame(canvas->getHWND(), pixels, w, h));
    EXPECT_EQ(pixels[0], 0xFF445566u);

    // While the device is marked lost no chain is chosen.
    {
        lang::Synchronized guard(window::WindowGlobals::lostDeviceFlag());
        window::WindowGlobals::lostDeviceFlag()->setLost(true);
    }
    graphics->setTargetWindow(frame->getHWND());
    EXPECT_EQ(graphics->getTargetWindow(), canvas->getHWND());
    {
        lang::Synchronized guard(window::WindowGlobals::lostDeviceFlag());
        window::WindowGlobals::lostDeviceFlag()->setLost(false);
    }
}

TEST_F(D3DDeviceTest, ALossAtPresentPostsTheRestoreMessageAndTheFrameRestoresTheDevice)
{
    openFrame();
    platform::DebugCapture debug;
    DeviceControls::failNext(FaultPoint::Present, 1, D3DERR_DEVICELOST);
    repaint();
    EXPECT_EQ(debug.text(), paintLine() +
                                "endDrawing(): device is lost"
                                "signalDeviceLost\n"
                                "Warning: Device has been lost!!\n"
                                "WMP_LOST_DEVICE\n"
                                "Entering Frame::RestoreDevice\n"
                                "Frame::RestoreDevice(), fullScreen = 0\n"
                                "testCooperativeLevel\n"
                                "RestoreDevice: testCooperativeLevel = 0\n"
                                "Frame::RestoreDevice(), success = 1\n"
                                "Lost Device has been successfully restored!!\n");
    lang::Synchronized guard(window::WindowGlobals::lostDeviceFlag());
    EXPECT_FALSE(window::WindowGlobals::lostDeviceFlag()->isLost());
}

TEST_F(D3DDeviceTest, ADisplayModeChangeLosesTheDeviceWhichIsResetWithItsResourcesMadeAgain)
{
    openFrame();
    window::ImageWinDX* image = makeImage(16, 16, patternPixel);
    window::GraphicsParticleDX* batch = dynamic_cast<window::GraphicsParticleDX*>(graphics->createParticle());
    paint([&](window::GraphicsWWinDX* g) {
        g->drawImage(image, 0, 0);
        batch->begin(1, 1.0f, nullptr);
        batch->end();
    });
    ASSERT_TRUE(window::ImageWinDX::isLive(image));
    IDirect3DDevice9* device = graphics->getDevice();

    // Another program changes the display mode.
    platform::DebugCapture debug;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = 800;
    mode.dmPelsHeight = 600;
    mode.dmBitsPerPel = 32;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    repaint();
    EXPECT_EQ(debug.text(), paintLine() +
                                "endDrawing(): device is lost"
                                "signalDeviceLost\n"
                                "Warning: Device has been lost!!\n"
                                "WMP_LOST_DEVICE\n"
                                "Entering Frame::RestoreDevice\n"
                                "Frame::RestoreDevice(), fullScreen = 0\n"
                                "testCooperativeLevel\n"
                                "signalDeviceLost\n"
                                "RestoreDevice: testCooperativeLevel = D3DERR_DEVICENOTRESET\n"
                                "Clearing Vertex Buffer 0\n"
                                "Clearing Vertex Buffer 1\n"
                                "Clearing Vertex Buffer 2\n"
                                "createDXDevice: m_bWindowed = 1\n"
                                "InitD3D: Reset() succeeded\n"
                                "Frame::RestoreDevice(), success = 1\n"
                                "Lost Device has been successfully restored!!\n");
    EXPECT_EQ(graphics->getDevice(), device); // reset, not made again
    EXPECT_EQ(graphics->getResetFailures(), 0);
    EXPECT_EQ(image->getTextureCount(), 0);
    EXPECT_EQ(window::ImageWinDX::liveImageCount(), 0);
    EXPECT_TRUE(batch->needsRecreate());

    // The next paint draws as before, the image making its textures again.
    const int generation = image->getGeneration();
    paint([&](window::GraphicsWWinDX* g) {
        g->drawImage(image, 0, 0);
        batch->begin(1, 1.0f, nullptr);
        batch->end();
    });
    EXPECT_GT(image->getGeneration(), generation);
    EXPECT_TRUE(window::ImageWinDX::isLive(image));
    EXPECT_FALSE(batch->needsRecreate());
    EXPECT_EQ(at(backBuffer(), 15, 15), patternPixel(15, 15));
    ChangeDisplaySettingsA(nullptr, 0);
    batch->release();
    image->release();
}

TEST_F(D3DDeviceTest, SwitchingToFullScreenResetsTheDeviceAtOnceAndPresentsStraightToTheFrame)
{
    openFrame();
    offerFullScreenMode();
    platform::DebugCapture debug;
    frame->setFullScreen(true, false);
    const std::string restore = "Forcing Restored Device in RestoreDeviceIfMainThread()\n"
                                "Entering Frame::RestoreDevice\n"
                                "Frame::RestoreDevice(), fullScreen = 1\n"
                                "testCooperativeLevel\n"
                                "signalDeviceLost\n"
                                "RestoreDevice: testCooperativeLevel = D3DERR_DEVICENOTRESET\n"
                                "Clearing Vertex Buffer 1\n"
                                "createDXDevice: m_bWindowed = 0\n"
                                "InitD3D: Reset() succeeded\n"
                                "Frame::RestoreDevice(), success = 1\n"
                                "Lost Device has been successfully restored!!\n"
                                "RestoreDeviceIfMainThread(): nCount = 0\n";
    EXPECT_TRUE(debug.contains(restore)) << debug.text();
    ASSERT_TRUE(frame->isFullScreen());
    EXPECT_FALSE(graphics->isWindowed());
    EXPECT_FALSE(graphics->getPresentParams().Windowed);
    EXPECT_EQ(graphics->getTargetWindow(), nullptr);
    graphics->setTargetWindow(frame->getHWND()); // no swap chains in full screen
    EXPECT_EQ(graphics->getTargetWindow(), nullptr);

    paint([](window::GraphicsWWinDX* g) { g->fillRectAlpha(0, 0, 800, 600, 0xFF8899AAu); });
    EXPECT_EQ(shownPixel(400, 300), 0xFF8899AAu);
    EXPECT_EQ(at(backBuffer(), 799, 599), 0xFF8899AAu);

    // Another program takes the front: the device stays lost and the frame
    // waits until it is in front again.
    debug.clear();
    platform::events::activated(nullptr);
    repaint();
    EXPECT_TRUE(debug.contains("endDrawing(): device is lostsignalDeviceLost\n"));
    EXPECT_FALSE(debug.contains("Frame::RestoreDevice(), fullScreen"));
    EXPECT_GT(occurrences(debug.text(), "Entering Frame::RestoreDevice\n"), 1u);
    debug.clear();
    platform::events::activated(frame->getHWND());
    windowtest::pump(200);
    EXPECT_TRUE(debug.contains("InitD3D: Reset() succeeded\nFrame::RestoreDevice(), success = 1\n"
                               "Lost Device has been successfully restored!!\n"));

    debug.clear();
    frame->setFullScreen(false, false);
    EXPECT_TRUE(debug.contains("createDXDevice: m_bWindowed = 1\nInitD3D: Reset() succeeded\n"));
    EXPECT_TRUE(graphics->isWindowed());
    repaint();
    EXPECT_EQ(graphics->getTargetWindow(), frame->getHWND());
}

TEST_F(D3DDeviceTest, InFullScreenTheFramesPictureIsShownOverTheCanvasTheWindowedPaintsWentTo)
{
    openFrameWithCanvas();
    graphics = static_cast<window::GraphicsWWinDX*>(frame->getGraphics());
    canvas->getGraphics()->release(); // the canvas becomes the target
    offerFullScreenMode();
    paint([](window::GraphicsWWinDX* g) { g->fillRectAlpha(0, 0, 800, 600, 0xFF112233u); });
    ASSERT_EQ(shownPixel(400, 300), 0xFF112233u);

    // Full screen presents to the frame: the screen follows every new frame.
    frame->setFullScreen(true, false);
    for (uint32_t colour : {0xFF445566u, 0xFF778899u}) {
        paint([colour](window::GraphicsWWinDX* g) { g->fillRectAlpha(0, 0, 800, 600, colour); });
        EXPECT_EQ(shownPixel(400, 300), colour);
    }

    // Back in a window the canvas's paints are shown again.
    frame->setFullScreen(false, false);
    canvas->getGraphics()->release();
    paint([](window::GraphicsWWinDX* g) { g->fillRectAlpha(0, 0, 800, 600, 0xFFAABBCCu); });
    EXPECT_EQ(graphics->getTargetWindow(), canvas->getHWND());
    EXPECT_EQ(shownPixel(400, 300), 0xFFAABBCCu);
}

TEST_F(D3DDeviceTest, WhileTheSystemSleepsALossIsNotSignalled)
{
    openFrame();
    window::setSleepMode(true);
    platform::DebugCapture debug;
    DeviceControls::failNext(FaultPoint::Present, 1, D3DERR_DEVICELOST);
    paint([](window::GraphicsWWinDX* g) { g->fillRect(0, 0, 1, 1); });
    windowtest::pump();
    EXPECT_EQ(debug.text(), "endDrawing(): device is lost");
    {
        lang::Synchronized guard(window::WindowGlobals::lostDeviceFlag());
        EXPECT_FALSE(window::WindowGlobals::lostDeviceFlag()->isLost());
    }
    window::setSleepMode(false);
}

TEST_F(D3DDeviceTest, ALossThatHoldsIsCountedInCoopTriesAndALostDeviceCanBeMadeAgain)
{
    openFrame();
    DeviceControls::loseDevices(5);
    platform::DebugCapture debug;
    EXPECT_EQ(graphics->RestoreDevice(true), D3DERR_DEVICELOST);
    EXPECT_EQ(debug.text(), "testCooperativeLevel\n"
                            "testCooperativeLevel: Device lost\n"
                            "RestoreDevice: testCooperativeLevel = D3DERR_LOSTDEVICE\n"
                            "    CoopTries = 1\n");
    EXPECT_EQ(graphics->getCoopTries(), 1);

    IDirect3DDevice9* old = graphics->getDevice();
    old->AddRef();
    debug.clear();
    EXPECT_EQ(graphics->recreateDevice(true), 0);
    EXPECT_TRUE(debug.contains("recreateDevice: testCooperativeLevel = D3DERR_LOSTDEVICE\n"));
    EXPECT_TRUE(debug.contains("Releasing device...\n"));
    EXPECT_TRUE(debug.contains("createDXDevice: m_bWindowed = 1\n"));
    EXPECT_NE(graphics->getDevice(), nullptr);
    EXPECT_NE(graphics->getDevice(), old);
    EXPECT_EQ(graphics->getCoopTries(), 0);
    old->Release();
    EXPECT_EQ(graphics->testCooperativeLevel(true), D3D_OK);
    paint([](window::GraphicsWWinDX* g) { g->fillRectAlpha(0, 0, 4, 4, 0xFF010203u); });
    EXPECT_EQ(at(backBuffer(), 0, 0), 0xFF010203u);
}

TEST_F(D3DDeviceTest, NineFailedResetsInARowAreRetriedAndTheTenthAttemptSucceeds)
{
    openFrame();
    platform::DebugCapture debug;
    DeviceControls::failNext(FaultPoint::Reset, 9, D3DERR_INVALIDCALL);
    DeviceControls::loseDevices();
    for (int i = 0; i < 10; ++i)
        repaint();
    const std::string failed = "InitD3D: Reset() failed.  hr = " + std::to_string(long(D3DERR_INVALIDCALL)) + "\n";
    EXPECT_EQ(occurrences(debug.text(), failed), 9u);
    EXPECT_EQ(occurrences(debug.text(), "InitD3D: Reset() succeeded\n"), 1u);
    EXPECT_EQ(occurrences(debug.text(), "Lost Device has been successfully restored!!\n"), 1u);
    EXPECT_EQ(graphics->getResetFailures(), 0);
}

// Death tests run the whole statement in a child process; the window layer
// and the device are set up there from scratch.
class D3DDeviceDeathTest : public D3DDeviceTest {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        D3DDeviceTest::SetUp();
    }

    // An archive with the texts of the error boxes, opened as the current one.
    void openTexts()
    {
        tools::ArchiveWriter writer;
        writer.addText("IDS_DXERR_TITLE", "Graphics trouble");
        writer.addText("IDS_DXERR_NODLL", "No graphics device.");
        writer.addText("IDS_DXERR_RESTART", "The device could not be restored.");
        writer.addText("IDS_DXERR_SWAP", "No swap chain.");
        const std::string path = dir.file("texts.bin");
        ASSERT_TRUE(writer.write(path));
        lang::ResourceFile::open(lang::String(path.c_str()));
    }

    testsupport::TempDir dir;
};

TEST_F(D3DDeviceDeathTest, TheTenthFailedResetInARowEndsTheProgramWithAFailure)
{
    EXPECT_EXIT(
        {
            openTexts();
            openFrame();
            DeviceControls::failNext(FaultPoint::Reset, 10, D3DERR_INVALIDCALL);
            DeviceControls::loseDevices();
            for (int i = 0; i < 12; ++i)
                repaint();
        },
        ::testing::ExitedWithCode(1), "Graphics trouble: The device could not be restored\\.");
}

TEST_F(D3DDeviceDeathTest, AMissingGraphicsLibraryEndsTheProgramWhenTheFrameIsMade)
{
    EXPECT_EXIT(
        {
            openTexts();
            platform::unregisterBuiltinModule("d3d9.dll");
            openFrame();
        },
        ::testing::ExitedWithCode(1), "Graphics trouble: No graphics device\\.");
    EXPECT_EXIT(
        {
            DeviceControls::failNext(FaultPoint::CreateDevice, 2, D3DERR_NOTAVAILABLE);
            openFrame();
        },
        ::testing::ExitedWithCode(1), "The graphics device could not be started\\.");
    EXPECT_EXIT(
        {
            DeviceControls::failNext(FaultPoint::GetDeviceCaps, 11, D3DERR_NOTAVAILABLE);
            openFrame();
        },
        ::testing::ExitedWithCode(1), "could not be started");
}

TEST_F(D3DDeviceDeathTest, ASwapChainThatCannotBeMadeEndsTheProgramUnlessTheDeviceIsLost)
{
    openFrame();
    platform::DebugCapture debug;
    DeviceControls::failNext(FaultPoint::CreateAdditionalSwapChain, 1, D3DERR_DEVICELOST);
    HWND other = CreateWindowExA(0, window::WindowGlobals::WINDOW_CLASS_NAME, "", WS_POPUP, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    graphics->setTargetWindow(other);
    EXPECT_TRUE(debug.contains("*** Warning: DirectX return D3DERR_DEVICELOST in createSwapChain\n"
                               "signalDeviceLost\nWarning: Device has been lost!!\n"));
    EXPECT_EQ(graphics->findSwapChain(other), nullptr);
    {
        lang::Synchronized guard(window::WindowGlobals::lostDeviceFlag());
        window::WindowGlobals::lostDeviceFlag()->setLost(false);
    }
    EXPECT_EXIT(
        {
            DeviceControls::failNext(FaultPoint::CreateAdditionalSwapChain, 1, D3DERR_OUTOFVIDEOMEMORY);
            graphics->setTargetWindow(other);
        },
        ::testing::ExitedWithCode(1), "could not draw");
    DestroyWindow(other);
}

TEST_F(D3DDeviceTest, CapabilitiesThatComeLateAreWaitedFor)
{
    DeviceControls::failNext(FaultPoint::GetDeviceCaps, 3, D3DERR_NOTAVAILABLE);
    const DWORD before = GetTickCount();
    openFrame();
    EXPECT_GE(GetTickCount() - before, 300u);
}

} // namespace
