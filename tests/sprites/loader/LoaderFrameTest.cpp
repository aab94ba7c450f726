// LoaderFrameTest.cpp: the loader frame's start-up settings (full screen by
// colour depth and the last run's exit), opening sound (three tries, the
// wait, waveOut last, the stored buffer and output), Esc and deactivation
// in full screen, failed and broken loads, and the order of shutdown (the
// loader thread waited for, a stopped canvas never started).
#include "core/lang/Exception.h"
#include "core/lang/System.h"
#include "core/lang/Thread.h"
#include "platform/audio/AudioBackend.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/user/User.h"
#include "sound/clip/AudioClip.h"
#include "sound/core/hvsound.h"
#include "sprites/loader/LoaderFrame2.h"
#include "sprites/script/ScriptHost.h"
#include "tests/support/GameWorld.h"
#include "tests/support/MachinePace.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestLoaderFrame.h"
#include "windowing/window/WindowGlobals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using testsupport::GameWorld;
using testsupport::TestLoaderFrame;

// A canvas that notes losing the focus and can fail its loading.
class ProbeCanvas : public testsupport::RecordingCanvas<> {
public:
    void onFocusLost() override { ++focusLost; }
    bool preLoad() override
    {
        if (onPreLoad)
            onPreLoad();
        inPreLoad = true;
        while (holdPreLoad)
            lang::Thread::sleep(1);
        inPreLoad = false;
        if (throwInPreLoad)
            throw new lang::Exception("The music is damaged");
        return preLoadAnswer;
    }
    void setupGame(sprite::DataLoader* loader) override
    {
        if (throwInSetup)
            throw new lang::Exception("No room called Hall");
        // A game's set-up that finds its data unusable stops before the base's.
        if (!failSetup)
            RecordingCanvas::setupGame(loader);
    }

    int focusLost = 0;
    std::function<void()> onPreLoad;
    bool preLoadAnswer = true;
    bool throwInPreLoad = false;
    bool throwInSetup = false;
    bool failSetup = false;
    std::atomic<bool> holdPreLoad{false};
    std::atomic<bool> inPreLoad{false};
};

class LoaderFrameTest : public ::testing::Test {
protected:
    LoaderFrameTest()
    {
        world.data().classScripts();
        world.data().manifest("datfile", "<sprites> Box RectSprite 0 0 10 10 -1\n");
        world.openArchive();
        canvas = new ProbeCanvas();
        world.adopt(frame, canvas);
    }
    ~LoaderFrameTest() override { platform::setScreenBitsPerPixel(0); }

    // The window and the canvas's window, as the game's frame makes them,
    // without start-up.
    void makeWindows()
    {
        util::RectangleNM bounds(0, 0, 800, 600);
        ASSERT_TRUE(frame->create(nullptr, &bounds));
        ASSERT_TRUE(canvas->create(frame, &bounds));
    }

    GameWorld world;
    TestLoaderFrame* frame = new TestLoaderFrame();
    ProbeCanvas* canvas = nullptr;
};

struct SettingsCase {
    const char* name;
    int depth;
    int fullScreen;  // the stored "FULLSCREEN", -1 for none
    int normalExit;  // the stored "NORMALEXIT", -1 for none
    bool switches;   // whether the frame goes full screen
    int fullScreenAfter;
    int normalExitAfter;
};

class StartUpSettingsTest : public LoaderFrameTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(StartUpSettingsTest, FullScreenFollowsTheDepthTheSettingAndTheLastExit)
{
    const SettingsCase& c = GetParam();
    platform::setScreenBitsPerPixel(c.depth);
    if (c.fullScreen >= 0)
        world.setSetting("FULLSCREEN", c.fullScreen);
    if (c.normalExit >= 0)
        world.setSetting("NORMALEXIT", c.normalExit);
    makeWindows();
    frame->startUp(canvas, lang::String(GameWorld::kRegistryName), lang::String("+datfile"));
    EXPECT_EQ(c.switches ? std::vector<std::string>{"on"} : std::vector<std::string>{}, frame->fullScreenCalls);
    EXPECT_EQ(c.fullScreenAfter, world.setting("FULLSCREEN", -1));
    EXPECT_EQ(c.normalExitAfter, world.setting("NORMALEXIT", -1));
}

INSTANTIATE_TEST_SUITE_P(
    Depths, StartUpSettingsTest,
    ::testing::Values(
        // No "NORMALEXIT" counts as a normal exit: full screen by default.
        SettingsCase{"Depth32Defaults", 32, -1, -1, true, -1, 0}, SettingsCase{"Depth32Windowed", 32, 0, -1, false, 0, 0},
        SettingsCase{"Depth24FullScreen", 24, 1, 1, true, 1, 0}, SettingsCase{"Depth16Defaults", 16, -1, -1, true, -1, 0},
        // At 15 bits the default is a window.
        SettingsCase{"Depth15Defaults", 15, -1, -1, false, -1, 0}, SettingsCase{"Depth15FullScreen", 15, 1, -1, true, 1, 0},
        // At any other depth full screen, whatever the setting.
        SettingsCase{"Depth8Always", 8, 0, -1, true, 0, 0},
        // Only 1 means full screen.
        SettingsCase{"OnlyOneMeansFullScreen", 32, 2, -1, false, 2, 0},
        // After a crash the game starts in a window and stays there.
        SettingsCase{"AfterACrash", 32, 1, 0, false, 0, 0}, SettingsCase{"AfterACrashAtDepth8", 8, 1, 0, false, 0, 0}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.name); });

TEST_F(LoaderFrameTest, StartUpFindsTheProgramFolderAndInitialisesTheCanvas)
{
    world.setSetting("Debug", "VX");
    world.setSetting("FULLSCREEN", 0);
    makeWindows();
    frame->startUp(canvas, lang::String(GameWorld::kRegistryName), lang::String("+datfile"));
    EXPECT_STREQ(world.programFolder().c_str(), frame->getProgramDirectory().c_str());
    EXPECT_STREQ(world.programFolder().c_str(), canvas->getCodeBase().c_str());
    EXPECT_STREQ("+datfile", canvas->getDataFileName().c_str());
    EXPECT_EQ(frame->getUser(), canvas->getUser());
    EXPECT_EQ(canvas, frame->getCanvas());
    EXPECT_TRUE(lang::System::isDebugMode());
    EXPECT_TRUE(frame->isStartPending());

    world.setSetting("Debug", "vx");
    frame->startUp(canvas, lang::String(GameWorld::kRegistryName), lang::String("+datfile"));
    EXPECT_FALSE(lang::System::isDebugMode()) << "only \"VX\" itself";
}

TEST_F(LoaderFrameTest, EscLeavesFullScreenAndIsNotHandledInAWindow)
{
    makeWindows();
    EXPECT_FALSE(frame->keyDown(nullptr, 27));
    frame->setFullScreen(true, false);
    frame->fullScreenCalls.clear();
    EXPECT_FALSE(frame->keyDown(nullptr, 'A'));
    EXPECT_TRUE(frame->keyDown(nullptr, 27));
    EXPECT_EQ(std::vector<std::string>{"off"}, frame->fullScreenCalls);
    EXPECT_FALSE(frame->isFullScreen());
}

TEST_F(LoaderFrameTest, DeactivatingFullScreenMinimisesAndRestoringReturnsToIt)
{
    makeWindows();
    frame->startUp(canvas, lang::String(GameWorld::kRegistryName), lang::String("+datfile"));
    ShowWindow(frame->getHWND(), SW_SHOW);
    world.pump();
    ASSERT_TRUE(frame->isFullScreen());
    frame->fullScreenCalls.clear();

    frame->activated(false);
    world.pump();
    EXPECT_EQ(std::vector<std::string>{"off,force"}, frame->fullScreenCalls);
    EXPECT_TRUE(frame->isMinimised());
    EXPECT_TRUE(IsIconic(frame->getHWND()));
    EXPECT_GE(canvas->focusLost, 1) << "a minimised window loses the canvas's focus";

    ShowWindow(frame->getHWND(), SW_RESTORE);
    world.pump();
    EXPECT_EQ((std::vector<std::string>{"off,force", "on"}), frame->fullScreenCalls);
    EXPECT_FALSE(frame->isMinimised());

    // In a window, deactivation changes nothing.
    frame->setFullScreen(false, false);
    frame->fullScreenCalls.clear();
    frame->activated(false);
    EXPECT_TRUE(frame->fullScreenCalls.empty());
    EXPECT_FALSE(frame->isMinimised());
}

TEST_F(LoaderFrameTest, AManifestThatCannotBeOpenedClosesTheProgram)
{
    world.setSetting("FULLSCREEN", 0);
    EXPECT_FALSE(world.start(frame, canvas, "missing.txt"));
    EXPECT_TRUE(frame->isLoadFailed());
    EXPECT_TRUE(world.hasQuit());
    EXPECT_FALSE(canvas->isStarted());
    EXPECT_EQ(0, frame->loaded);
    ASSERT_FALSE(world.boxes("Error").empty());
    EXPECT_EQ(0u, world.boxes("Error")[0].text.find("Error Opening "));
    EXPECT_EQ(nullptr, frame->getLoaderThread());
}

struct BrokenLoad {
    const char* name;
    bool throwInPreLoad;
    bool throwInSetup;
    bool failSetup;
    bool preLoadAnswer;
    const char* message; // of the box, "" for none from the frame
};

class BrokenLoadTest : public LoaderFrameTest, public ::testing::WithParamInterface<BrokenLoad> {};

TEST_P(BrokenLoadTest, TheProgramClosesInsteadOfStartingHalfLoaded)
{
    const BrokenLoad& c = GetParam();
    canvas->throwInPreLoad = c.throwInPreLoad;
    canvas->throwInSetup = c.throwInSetup;
    canvas->failSetup = c.failSetup;
    canvas->preLoadAnswer = c.preLoadAnswer;
    world.setSetting("FULLSCREEN", 0);
    EXPECT_FALSE(world.start(frame, canvas));
    EXPECT_TRUE(frame->isLoadFailed());
    EXPECT_TRUE(world.hasQuit());
    EXPECT_FALSE(canvas->isStarted());
    EXPECT_FALSE(canvas->isDataLoaded());
    EXPECT_EQ(0, frame->loaded);
    std::vector<platform::MessageBoxRecord> boxes = world.boxes("Error");
    if (*c.message) {
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(c.message, boxes[0].text);
    } else {
        EXPECT_TRUE(boxes.empty());
    }
    // The close went the normal way.
    EXPECT_EQ(1, world.setting("NORMALEXIT", -1));
}

INSTANTIATE_TEST_SUITE_P(Causes, BrokenLoadTest,
                         ::testing::Values(BrokenLoad{"PreLoadRefuses", false, false, false, false, ""},
                                           BrokenLoad{"PreLoadThrows", true, false, false, true, "The music is damaged"},
                                           BrokenLoad{"SetupGameThrows", false, true, false, true, "No room called Hall"},
                                           BrokenLoad{"SetupGameFails", false, false, true, true, ""}),
                         [](const ::testing::TestParamInfo<BrokenLoad>& info) { return std::string(info.param.name); });

TEST_F(LoaderFrameTest, ALoaderThatFindsTheProgramQuittingDoesNothing)
{
    makeWindows();
    frame->startUp(canvas, lang::String(GameWorld::kRegistryName), lang::String("+datfile"));
    window::WindowGlobals::setQuitting(true);
    frame->runLoaderHere();
    EXPECT_FALSE(canvas->isDataLoaded());
    EXPECT_FALSE(canvas->isStarted());
    EXPECT_FALSE(frame->isLoadFailed());
    window::WindowGlobals::setQuitting(false);
}

TEST_F(LoaderFrameTest, TheLoaderStartsOncePerCanvas)
{
    world.setSetting("FULLSCREEN", 0);
    ASSERT_TRUE(world.start(frame, canvas));
    lang::Thread* thread = frame->getLoaderThread();
    ASSERT_NE(nullptr, thread);
    frame->startLoader();
    EXPECT_EQ(thread, frame->getLoaderThread());
    EXPECT_FALSE(frame->isStartPending());

    // A new canvas replaces the old one, which stops and lets go of its sounds.
    auto* next = new ProbeCanvas();
    frame->setCanvas(next);
    EXPECT_TRUE(canvas->isQuitting());
    EXPECT_EQ(next, frame->getCanvas());
    EXPECT_EQ(nullptr, frame->getLoaderThread());
    EXPECT_TRUE(frame->isStartPending());
    // The frame holds the new canvas now; the world still holds the old,
    // which goes back for the close (the new one has no window to ask).
    next->release();
    frame->setCanvas(canvas);
}

TEST_F(LoaderFrameTest, ReplacingTheCanvasWaitsForTheLoaderStillLoadingIt)
{
    world.setSetting("FULLSCREEN", 0);
    makeWindows();
    frame->startUp(canvas, lang::String(GameWorld::kRegistryName), lang::String("+datfile"));
    canvas->holdPreLoad = true;
    frame->startLoader();
    while (!canvas->inPreLoad)
        lang::Thread::sleep(1);
    std::thread release([this] {
        lang::Thread::sleep(50);
        canvas->holdPreLoad = false;
    });
    auto* next = new ProbeCanvas();
    frame->setCanvas(next);
    EXPECT_FALSE(canvas->inPreLoad) << "the old canvas is let go only after its loader ended";
    release.join();
    next->release();
    frame->setCanvas(canvas);
}

TEST_F(LoaderFrameTest, RequestingCloseMarksANormalExitAndTheQuit)
{
    world.setSetting("FULLSCREEN", 0);
    ASSERT_TRUE(world.start(frame, canvas));
    EXPECT_EQ(0, world.setting("NORMALEXIT", -1));
    frame->requestClose();
    EXPECT_TRUE(window::WindowGlobals::isQuitting());
    EXPECT_EQ(1, world.setting("NORMALEXIT", -1));
    world.pumpUntil([] { return false; }, 5000);
    EXPECT_TRUE(world.hasQuit());
    EXPECT_TRUE(canvas->isQuitting());
}

TEST_F(LoaderFrameTest, ClosingWhileTheLoaderRunsWaitsForItToEnd)
{
    world.setSetting("FULLSCREEN", 0);
    std::atomic<bool> loaderBusy{false};
    std::atomic<bool> loaderDone{false};
    canvas->onPreLoad = [&loaderBusy, &loaderDone] {
        loaderBusy = true;
        // Real time: the fake clock's sleep would return at once.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        loaderDone = true;
    };
    ASSERT_TRUE(frame->open(canvas, GameWorld::kRegistryName, "+datfile"));
    // Closed once the loader is under way (a loader that finds the program
    // quitting does nothing at all).
    ASSERT_TRUE(testsupport::reachedAtPace(2000, [&loaderBusy] { return loaderBusy.load(); }));
    frame->requestClose();
    world.pumpUntil([] { return false; }, 5000);
    ASSERT_TRUE(world.hasQuit());
    EXPECT_TRUE(loaderDone) << "the program quit before its loader thread ended";
    EXPECT_EQ(nullptr, frame->getLoaderThread());
    EXPECT_FALSE(canvas->isStarted()) << "a loader that ends after the close starts nothing";
}

TEST_F(LoaderFrameTest, ACanvasStoppedWhileItLoadsIsNotStartedByTheLoader)
{
    makeWindows();
    frame->startUp(canvas, lang::String(GameWorld::kRegistryName), lang::String("+datfile"));
    canvas->onPreLoad = [this] { frame->stopCanvas(); };
    frame->runLoaderHere();
    EXPECT_TRUE(canvas->isDataLoaded()) << "the loading itself goes on";
    EXPECT_FALSE(canvas->isStarted());
    EXPECT_EQ(0, frame->loaded);
    EXPECT_TRUE(frame->isStartPending());
}

TEST_F(LoaderFrameTest, ACloseAskedForWhileTheDataLoadsLeavesTheCanvasUnstarted)
{
    // A quit signal stops the scripts the moment it comes, before the
    // window's close reaches the frame.
    makeWindows();
    frame->startUp(canvas, lang::String(GameWorld::kRegistryName), lang::String("+datfile"));
    canvas->onPreLoad = [] { ScriptHost::requestClose(); };
    frame->runLoaderHere();
    ScriptHost::clearClose();
    EXPECT_TRUE(canvas->isDataLoaded());
    EXPECT_FALSE(canvas->isStarted());
    EXPECT_EQ(0, frame->loaded);
}

// An audio device that refuses the first `refusals` opens and notes the
// engine's output and buffer length at each of them and at the first open
// it grants (the engine may open it more than once once it runs).
class RefusingAudio : public platform::audio::AudioBackend {
public:
    explicit RefusingAudio(int refusals) : m_nRefusals(refusals) {}
    const char* name() const override { return "refusing"; }
    int deviceCount() override { return 1; }
    std::string deviceName(int) override { return "Speakers"; }
    std::unique_ptr<platform::audio::AudioOutput> open(int index, const platform::audio::AudioFormat& format,
                                                       platform::audio::AudioSource& source) override
    {
        if (!m_bGranted)
            attempts.push_back({HVSOUND_GetState()->outputType, HVSOUND_GetState()->bufferLength});
        if (int(attempts.size()) <= m_nRefusals)
            return nullptr;
        m_bGranted = true;
        return m_real->open(index, format, source);
    }

    std::vector<std::pair<int, int>> attempts;

private:
    int m_nRefusals;
    bool m_bGranted = false;
    std::shared_ptr<platform::audio::AudioBackend> m_real = platform::audio::audioBackend();
};

struct SoundOpenCase {
    const char* name;
    int refusals;
    int mixBuffer;  // the stored "MIXBUFFER", -1 for none
    int useWinMM;   // the stored "USEWINMM", -1 for none
    std::vector<int> outputs;
    bool waits;
};

class SoundOpenTest : public LoaderFrameTest, public ::testing::WithParamInterface<SoundOpenCase> {
protected:
    void SetUp() override
    {
        window::AudioClip::closeSound();
        m_saved = *HVSOUND_GetState();
    }
    void TearDown() override
    {
        window::AudioClip::closeSound();
        platform::audio::setAudioBackend(nullptr);
        HVSOUND_SetOutput(m_saved.outputType);
        HVSOUND_GetState()->bufferLength = m_saved.bufferLength;
    }

private:
    HVSOUND_STATE m_saved;
};

TEST_P(SoundOpenTest, ThreeTriesTheLastOnWaveOutWithTheStoredBufferAndOutput)
{
    const SoundOpenCase& c = GetParam();
    if (c.mixBuffer >= 0)
        world.setSetting("MIXBUFFER", c.mixBuffer);
    if (c.useWinMM >= 0)
        world.setSetting("USEWINMM", c.useWinMM);
    HVSOUND_SetOutput(HVSOUND_OUTPUT_DSOUND);
    auto audio = std::make_shared<RefusingAudio>(c.refusals);
    platform::audio::setAudioBackend(audio);
    makeWindows();
    frame->startUp(canvas, lang::String(GameWorld::kRegistryName), lang::String("+datfile"));
    const uint32_t before = world.clock().tickCount();
    frame->runLoaderHere();
    std::vector<int> outputs;
    for (const auto& attempt : audio->attempts) {
        outputs.push_back(attempt.first);
        EXPECT_EQ(c.mixBuffer >= 0 ? c.mixBuffer : -1, attempt.second) << "the mix buffer's length";
    }
    EXPECT_EQ(c.outputs, outputs);
    EXPECT_EQ(c.refusals < 3, window::AudioClip::isSoundOpen());
    EXPECT_EQ(c.waits, world.clock().tickCount() - before >= 3000) << "the wait before the second try";
    EXPECT_TRUE(canvas->isStarted()) << "the game goes on with or without sound";
}

constexpr int kDS = HVSOUND_OUTPUT_DSOUND;
constexpr int kMM = HVSOUND_OUTPUT_WINMM;

INSTANTIATE_TEST_SUITE_P(
    Devices, SoundOpenTest,
    ::testing::Values(SoundOpenCase{"FirstTryOpens", 0, -1, -1, {kDS}, false},
                      SoundOpenCase{"SecondTryAfterTheWait", 1, 150, 0, {kDS, kDS}, true},
                      SoundOpenCase{"ThirdTryOnWaveOut", 2, -1, -1, {kDS, kDS, kMM}, true},
                      SoundOpenCase{"NoSoundAtAll", 5, 100, -1, {kDS, kDS, kMM}, true},
                      SoundOpenCase{"WaveOutAsked", 5, -1, 1, {kMM, kMM, kMM}, true}),
    [](const ::testing::TestParamInfo<SoundOpenCase>& info) { return std::string(info.param.name); });

} // namespace
