// OptionsSpriteTest.cpp: the options dialog in the fixture game: knobs read
// from the settings and held to their tracks, drags heard at once and
// written only on close, and the full-screen check mark that follows the
// window and switches it.
#include "game/menus/OptionsSprite.h"
#include "platform/user/Display.h"
#include "sound/clip/AudioClip.h"
#include "sound/core/hvsound.h"
#include "sprites/settings/User.h"
#include "tests/game/support/DialogInput.h"
#include "tests/game/support/GameFixture.h"

namespace gametest {
namespace {

// The dialog's place on screen and its definition's numbers: the effects
// knob's track starts at x 100 (y 160), the music knob's at x 100 (y 100).
constexpr int kLeft = 200, kTop = 150;
constexpr int kBase = 100, kFxY = 160, kMusicY = 100;
// Knobs are 20 x 30.
constexpr int kKnobW = 20, kKnobH = 30;

const char kOptionsManifest[] = R"(<data>
100 160 100 100
<sprites>
butmuknob Sprite knob.png 100 100
butfxknob Sprite knob.png 100 160
bFullScreen Sprite check.png 100 215
fullscreenhotspot ButtonSprite hot.png 130 214 1 1 0 0 0 1
bOptionsClose ButtonSprite close.png 140 250 2 1 1 0 0 1
<end>
)";

class OptionsSpriteTest : public GameFixture {
protected:
    void SetUp() override
    {
        world.data().picture("knob.png", kKnobW, kKnobH, 0xFFC0A060u);
        world.data().picture("check.png", 22, 22, 0xFF60C040u);
        world.data().picture("hot.png", 100, 26, 0x00000000u);
        world.data().picture("close.png", 200, 30, 0xFF806040u);
        GameOptions options;
        options.dialogManifests["Options"] = kOptionsManifest;
        options.sounds.assign(1, "+tone.wav");
        ASSERT_TRUE(startGame(options));
        dialog = static_cast<OptionsSprite*>(canvas->getSprite("Options"));
        ASSERT_TRUE(dialog->isInstanceOf("OptionsSprite"));
        dialog->setPosition(kLeft, kTop);
    }
    void show()
    {
        dialog->setVisible(true);
        world.stepFrames(1);
    }
    sprite::SpriteBase* knob(const char* name) { return dialog->getSprite(name); }
    // A point of the dialog on screen.
    int sx(int x) { return kLeft + x; }
    int sy(int y) { return kTop + y; }
    // Presses the knob's middle, moves by dx, releases; returns the knob's
    // offset from its base after the release.
    int drag(const char* name, int y, int dx)
    {
        sprite::SpriteBase* k = knob(name);
        const int x = sx(k->left() + kKnobW / 2);
        EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, pressOn(dialog, x, sy(y + kKnobH / 2)));
        moveOn(dialog, x + dx, sy(y));
        releaseOn(dialog, x + dx, sy(y));
        return k->left() - kBase;
    }

    OptionsSprite* dialog = nullptr;
};

TEST_F(OptionsSpriteTest, StoredVolumesPlaceTheKnobsHeldToTheirTracks)
{
    const struct {
        int music, fx;         // stored, or -1000 for none
        int musicAt, fxAt;     // the knobs' offsets
    } cases[] = {
        {-1000, -1000, 85, 170}, {0, 255, 0, 255}, {300, -20, 255, 0}, {128, 1 << 30, 128, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.music) + ", " + std::to_string(c.fx));
        world.settings()->deleteValue(lang::String("VOLUMEMUSIC"));
        world.settings()->deleteValue(lang::String("VOLUMEFX"));
        if (c.music != -1000)
            world.setSetting("VOLUMEMUSIC", c.music);
        if (c.fx != -1000)
            world.setSetting("VOLUMEFX", c.fx);
        dialog->readVolumes();
        EXPECT_EQ(kBase + c.musicAt, knob("butmuknob")->left());
        EXPECT_EQ(kMusicY, knob("butmuknob")->top());
        EXPECT_EQ(kBase + c.fxAt, knob("butfxknob")->left());
        EXPECT_EQ(kFxY, knob("butfxknob")->top());
    }
    // Closing writes back what the knobs show: never a value off the track.
    show();
    pressOn(dialog, sx(150), sy(260));
    EXPECT_EQ(128, world.setting("VOLUMEMUSIC", -1));
    EXPECT_EQ(255, world.setting("VOLUMEFX", -1));
}

TEST_F(OptionsSpriteTest, DraggedKnobsStayOnTheirTracksAndAreWrittenOnlyOnClose)
{
    world.setSetting("VOLUMEFX", 170);
    world.setSetting("VOLUMEMUSIC", 85);
    dialog->readVolumes();
    show();
    window::AudioClip* sample = dialog->getEffectsSample();
    ASSERT_NE(nullptr, sample);
    ASSERT_EQ(canvas->getSound(0), sample);

    // Effects: far left, then far right; the sample sounds while dragged.
    sprite::SpriteBase* fx = knob("butfxknob");
    const int grabX = sx(fx->left() + 5);
    ASSERT_EQ(sprite::DialogSprite::COMMAND_READY, pressOn(dialog, grabX, sy(kFxY + 10)));
    EXPECT_EQ(fx, dialog->getDraggedKnob());
    EXPECT_TRUE(sample->isPlaying()) << "the sample loops while the knob is held";
    moveOn(dialog, grabX - 1000, sy(kFxY + 40));
    EXPECT_EQ(kBase, fx->left());
    EXPECT_EQ(kFxY, fx->top()) << "the knob moves only along its track";
    EXPECT_EQ(0, HVSOUND_GetState()->sfxMasterVolume) << "the effects are heard at the knob's volume at once";
    moveOn(dialog, grabX + 1000, sy(kFxY));
    EXPECT_EQ(kBase + 255, fx->left());
    EXPECT_EQ(255, HVSOUND_GetState()->sfxMasterVolume);
    moveOn(dialog, grabX - 70, sy(kFxY));
    EXPECT_EQ(kBase + 100, fx->left()) << "the grab point stays under the pointer";
    EXPECT_EQ(100, HVSOUND_GetState()->sfxMasterVolume);
    EXPECT_EQ(sprite::DialogSprite::NOT_HANDLED, releaseOn(dialog, grabX + 2000, sy(kFxY)));
    EXPECT_EQ(kBase + 255, fx->left());
    EXPECT_EQ(nullptr, dialog->getDraggedKnob());
    EXPECT_FALSE(sample->isPlaying()) << "the sample stops with the release";
    EXPECT_EQ(170, world.setting("VOLUMEFX", -1)) << "nothing is written before the dialog closes";

    // Music: heard at once at the knob's volume.
    window::AudioClip* music = canvas->getMusicClip();
    ASSERT_EQ(music, dialog->getMusicClip());
    EXPECT_EQ(0, drag("butmuknob", kMusicY, -500));
    EXPECT_EQ(0, music->getVolume());
    EXPECT_EQ(40, drag("butmuknob", kMusicY, 40));
    EXPECT_EQ(40, music->getVolume());
    EXPECT_EQ(85, world.setting("VOLUMEMUSIC", -1));

    // Close: both volumes written and applied; the dialog fades away.
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, pressOn(dialog, sx(150), sy(260)));
    EXPECT_STREQ("bOptionsClose", dialog->getLastCommand().c_str());
    EXPECT_EQ(255, world.setting("VOLUMEFX", -1));
    EXPECT_EQ(40, world.setting("VOLUMEMUSIC", -1));
    EXPECT_EQ(40, music->getVolume());
    EXPECT_EQ(255, canvas->getFXVolume());
    EXPECT_LT(dialog->getFadeStep(), 0);
    world.stepFrames(20);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(OptionsSpriteTest, ShowingTheDialogPlaysTheMusicAtTheKnobsVolume)
{
    world.setSetting("VOLUMEMUSIC", 60);
    dialog->readVolumes();
    canvas->showSprite("DimFull", true);
    window::AudioClip* music = canvas->getMusicClip();
    music->setVolume(200);
    dialog->setVisible(true);
    EXPECT_FALSE(canvas->isSpriteVisible("DimFull"));
    EXPECT_EQ(60, music->getVolume());
    // A press beside everything changes nothing.
    EXPECT_EQ(sprite::DialogSprite::HANDLED, pressOn(dialog, sx(300), sy(30)));
    EXPECT_EQ(nullptr, dialog->getDraggedKnob());
}

TEST_F(OptionsSpriteTest, TheCheckMarkFollowsTheWindowAndSwitchesIt)
{
    show();
    EXPECT_FALSE(knob("bFullScreen")->isVisible());
    // Full screen entered another way: the mark follows at the next frame.
    frame->setFullScreen(true, false);
    world.stepFrames(1);
    EXPECT_TRUE(knob("bFullScreen")->isVisible());
    frame->setFullScreen(false, false);
    world.stepFrames(1);
    EXPECT_FALSE(knob("bFullScreen")->isVisible());
    frame->fullScreenCalls.clear();

    // The mark's box (also while the mark is hidden) and the words beside it.
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, pressOn(dialog, sx(105), sy(220)));
    EXPECT_TRUE(knob("bFullScreen")->isVisible());
    EXPECT_EQ(1, world.setting("FULLSCREEN", -1));
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, pressOn(dialog, sx(180), sy(225)));
    EXPECT_FALSE(knob("bFullScreen")->isVisible());
    EXPECT_EQ(0, world.setting("FULLSCREEN", -1));
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_EQ((std::vector<std::string>{"on", "off"}), frame->fullScreenCalls);
}

TEST_F(OptionsSpriteTest, TheWindowReallyGoesFullScreenAndBack)
{
    frame->switchesDisplay = true;
    show();
    pressOn(dialog, sx(105), sy(220));
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_TRUE(platform::displayFullScreen());
    world.stepFrames(1);
    EXPECT_TRUE(knob("bFullScreen")->isVisible());
    pressOn(dialog, sx(105), sy(220));
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_FALSE(platform::displayFullScreen());
    world.stepFrames(1);
    EXPECT_FALSE(knob("bFullScreen")->isVisible());
    EXPECT_TRUE(world.boxes().empty());
}

} // namespace
} // namespace gametest
