// GameStateTest.cpp: the game states' music and the background music with
// the name it keeps, on a bare canvas with a clip that notes its calls; and
// in the fixture game the main menu entered with and without a profile, the
// loading music and volumes sound starts with, and the menu's music paused
// when the window loses the focus.
#include "sound/clip/AudioClip.h"
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "tests/game/support/BareCanvas.h"
#include "tests/game/support/GameFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gametest {
namespace {

// A music clip that notes the canvas's calls.
class NotingClip : public window::AudioClip {
public:
    explicit NotingClip(std::vector<std::string>* calls) : m_calls(calls) {}
    void loop() override { m_calls->push_back("loop"); }
    void pause() override { m_calls->push_back("pause"); }
    void setVolume(int volume) override
    {
        m_calls->push_back("volume " + std::to_string(volume));
        AudioClip::setVolume(volume);
    }
    void fadeVolume(int target, int steps, bool pauseAtEnd) override
    {
        m_calls->push_back("fade " + std::to_string(target) + " " + std::to_string(steps) + " " +
                           std::to_string(int(pauseAtEnd)));
    }

private:
    std::vector<std::string>* m_calls;
};

class MusicTest : public ::testing::Test {
protected:
    MusicTest()
    {
        music = new NotingClip(&calls);
        world.canvas->useMusicClip(music);
    }
    std::vector<std::string> take()
    {
        std::vector<std::string> out;
        out.swap(calls);
        return out;
    }
    BareWorld world;
    std::vector<std::string> calls;
    NotingClip* music = nullptr;
};

TEST_F(MusicTest, BackgroundMusicKeepsThePreviousNameForOneReturn)
{
    LanternfieldCanvas* canvas = world.canvas;
    EXPECT_STREQ("", canvas->setBackgroundMusic(lang::String("+a")).c_str());
    EXPECT_EQ((std::vector<std::string>{"volume 85", "loop"}), take());
    // The music already playing is only set to its volume and looped.
    EXPECT_STREQ("+a", canvas->setBackgroundMusic(lang::String("+a")).c_str());
    EXPECT_EQ((std::vector<std::string>{"volume 85", "loop"}), take());
    EXPECT_STREQ("+a", canvas->getKeptMusicName().c_str());
    canvas->setBackgroundMusic(lang::String("+b"));
    EXPECT_STREQ("+a", canvas->getKeptMusicName().c_str());
    take();
    canvas->revertBackgroundMusic();
    EXPECT_STREQ("+a", music->getName().c_str());
    EXPECT_STREQ("", canvas->getKeptMusicName().c_str());
    EXPECT_EQ((std::vector<std::string>{"volume 85", "loop"}), take());
    canvas->revertBackgroundMusic();
    EXPECT_TRUE(take().empty()) << "a second return does nothing";

    for (int chapter = 0; chapter <= 7; ++chapter)
        EXPECT_STREQ(chapter == 3 ? "+sMusicChapter3" : "+sMusicChapter1", canvas->chapterMusicName(chapter).c_str())
            << chapter;
    canvas->setChapterBackgroundMusic(3);
    EXPECT_STREQ("+sMusicChapter3", music->getName().c_str());
    take();
    canvas->fadeMusic(30, 12);
    EXPECT_EQ((std::vector<std::string>{"fade 30 12 0"}), take());
}

TEST_F(MusicTest, TheNoMusicFlagKeepsPlayingAndFocusFromRestartingTheMusic)
{
    LanternfieldCanvas* canvas = world.canvas;
    struct Case {
        bool noMusic;
        std::vector<std::string> expected;
    };
    for (const Case& c : {Case{true, {}}, Case{false, {"loop", "loop", "loop"}}}) {
        canvas->setNoMusic(c.noMusic);
        take();
        canvas->setGameState(LanternfieldCanvas::STATE_PLAYING);
        canvas->setActive(false);
        canvas->setActive(true);
        EXPECT_EQ(c.expected, take()) << c.noMusic;
    }
    // A pause taken in the menu leaves music that is not playing alone.
    world.canvas->forceGameState(LanternfieldCanvas::STATE_MAIN_MENU);
    canvas->onFocusLost();
    canvas->doFrame();
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState());
}

class MainMenuTest : public GameFixture {};

TEST_F(MainMenuTest, WithoutAProfileTheMenuOpensThePlayerChoiceForANewGame)
{
    ASSERT_TRUE(startGame());
    EXPECT_TRUE(canvas->isSpriteVisible("ChoosePlayer"));
    EXPECT_TRUE(canvas->isSpriteVisible("Dim"));
    EXPECT_TRUE(canvas->isResetGame());

    canvas->setProfileName(lang::String("Ann"));
    canvas->setResetGame(false);
    enter(4);
    canvas->exitToMenu();
    EXPECT_FALSE(canvas->isSpriteVisible("ChoosePlayer"));
    EXPECT_FALSE(canvas->isSpriteVisible("Dim"));
    EXPECT_FALSE(canvas->isResetGame());
    EXPECT_TRUE(canvas->isSpriteVisible("MainMenu"));
    EXPECT_FALSE(canvas->isSpriteVisible("Quit"));
}

TEST_F(MainMenuTest, StartingSoundPlaysTheLoadingMusicAtTheStoredVolumes)
{
    world.data().sound("musicLoad");
    ASSERT_TRUE(startGame());
    world.setSetting("VOLUMEMUSIC", 40);
    world.setSetting("VOLUMEFX", 100);
    ASSERT_TRUE(canvas->initSound());
    window::AudioClip* music = canvas->getMusicClip();
    EXPECT_STREQ("+musicLoad", music->getName().c_str());
    EXPECT_TRUE(music->isPlaying());
    EXPECT_EQ(40, music->getVolume());
    EXPECT_EQ(100, HVSOUND_GetState()->sfxMasterVolume) << "the effects' master volume";
    EXPECT_EQ(LanternfieldCanvas::STATE_LOADING, canvas->getGameState());
}

TEST_F(MainMenuTest, LosingTheFocusInTheMainMenuPausesTheMusicPlaying)
{
    world.data().sound("musicMainScreen");
    ASSERT_TRUE(startGame());
    ASSERT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState());
    window::AudioClip* music = canvas->getMusicClip();
    ASSERT_TRUE(music->isPlaying());
    ASSERT_FALSE(HVSOUND_GetPaused(music->getChannel()));
    canvas->onFocusLost();
    world.stepFrames(1);
    EXPECT_TRUE(HVSOUND_GetPaused(music->getChannel()));
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState());
}

} // namespace
} // namespace gametest
