// StartUpRoadTest.cpp: the whole road from an archive on disk to a running
// canvas on the real loader thread: the manifest's sprites, sounds, numbers
// and strings, the nested dialog, the image pack, the duplicate name, input
// reaching the canvas as a command, and closing the window.
#include "core/util/Hashtable.h"
#include "core/util/Vector.h"
#include "sound/clip/AudioClip.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/images/ImageSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/support/GameWorld.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestLoaderFrame.h"
#include "windowing/images/ImageBase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::GameWorld;
using Canvas = testsupport::RecordingCanvas<>;

const char kManifest[] = R"(; the top manifest (one header in capitals on purpose)
<IMAGES>
bg      +bg
btn     +btn
pack.bin
loose   loose.png
user    @userpic
<sounds>
+click
*+click
+theme.s3m
ab
<data>
10 20 -3.7 0x10
<strings>
alpha "two words" ""
<sprites>
Background Sprite            bg   400 300
Hero       AnimateSprite     btn  100 100 3 1 0 1 0 1
OkButton   ButtonSprite      btn  600 400 3 1 1 0 2
Hot        RectButtonSprite       0 0 40 40 1
Panel      DialogSprite:+panel    50 50 300 200 0 1 1
Dim        RectSprite             0 0 800 600 -0x80000000 0
""         Sprite            p1   10 10
Hero       Sprite            loose 5 5
Ghost      NoSuchClass            1 2 3 4
<end>
NotRead Sprite bg 0 0
)";

const char kPanel[] = R"(<images>
b +btn
<sprites>
Title  NewFontSprite font fontglyphs  10 10 0 -0x7F7F7F80
Close  ButtonSprite  b                150 20 3 1 1 0 2
Inner  DialogSprite                   0 0 100 50 1 0
<end>
)";

// Run once the game is set up, on the loader thread.
const char kSetupScript[] = R"(
record("hero", canvas:sprite("Hero") ~= nil, canvas:sprite("Close") == nil)
canvas:sprite("Panel"):sprite("Close"):enable(true)
record("title", hv.getResourceString("Title"))
canvas:playSound(0)
)";

// Three 8 x 8 frames side by side in flat colours: normal, rollover, disabled.
uint32_t buttonPixel(int x, int)
{
    static const uint32_t frames[3] = {0xFF2040A0u, 0xFF40A020u, 0xFF808080u};
    return frames[x / 8];
}

class StartUpRoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        data.manifest("datfile", kManifest);
        data.manifest("panel", kPanel);
        data.picture("bg", 8, 8, 0xFF336699u);
        data.picture("userpic", 4, 4, 0xFFAA5500u);
        data.picture("btn", 24, 8, buttonPixel);
        data.gridFont("font", "fontglyphs");
        data.sound("click");
        data.text("Title", "Hello");
        data.imagePack("pack.bin", {{"p1", testsupport::GameData::png(3, 2, [](int, int) { return 0xFF0000FFu; })},
                                    {"p2", testsupport::GameData::png(5, 1, [](int, int) { return 0xFF00FF00u; })}});
        data.file("loose.png", testsupport::GameData::png(6, 6, [](int, int) { return 0xFFFFFFFFu; }));
        data.classScripts();
        data.script("Test.lua", kSetupScript);
        world.openArchive();
        // No "NORMALEXIT": the last run counts as a normal one.
        world.setSetting("FULLSCREEN", 0);
        // The canvas's class script must be there when it is made.
        canvas = new Canvas();
        canvas->runAfterSetup("Test.lua");
    }

    GameWorld world;
    testsupport::TestLoaderFrame* frame = new testsupport::TestLoaderFrame();
    Canvas* canvas = nullptr;
};

TEST_F(StartUpRoadTest, TheDataLoadsOnTheLoaderThreadAndTheCanvasTakesOver)
{
    ASSERT_TRUE(world.start(frame, canvas));
    EXPECT_EQ(1, frame->loaded);
    EXPECT_TRUE(canvas->isStarted());
    EXPECT_FALSE(frame->isShown()) << "the frame stops painting itself at the hand-over";
    EXPECT_EQ(0, world.setting("NORMALEXIT", -1)) << "0 while the game runs";
    EXPECT_TRUE(frame->fullScreenCalls.empty());

    // The root list in manifest order; the unknown class and everything
    // after <end> are not there.
    util::Vector* root = canvas->getRootList();
    ASSERT_EQ(8, root->size());
    const char* expected[] = {"Background", "Hero", "OkButton", "Hot", "Panel", "Dim", "", "Hero"};
    for (int i = 0; i < 8; ++i)
        EXPECT_STREQ(expected[i], static_cast<sprite::SpriteBase*>(root->elementAt(i))->getName().c_str()) << i;
    EXPECT_EQ(nullptr, canvas->getSprite("Ghost"));
    EXPECT_EQ(nullptr, canvas->getSprite("NotRead"));
    // The later "Hero" shadows the earlier one; the earlier stays listed.
    EXPECT_EQ(root->elementAt(7), canvas->getSprite("Hero"));
    EXPECT_TRUE(static_cast<sprite::SpriteBase*>(root->elementAt(1))->isInstanceOf("AnimateSprite"));
    std::vector<platform::MessageBoxRecord> duplicates = world.boxes("Duplicate name in ");
    ASSERT_EQ(1u, duplicates.size());
    EXPECT_EQ("Duplicate name in +datfile", duplicates[0].caption);
    EXPECT_EQ("Hero", duplicates[0].text);
    EXPECT_EQ(1u, world.boxes().size()) << "no box besides the duplicate name";

    // The pack's picture reached the unnamed sprite, the disk picture the
    // second "Hero".
    auto* unnamed = static_cast<sprite::ImageSprite*>(root->elementAt(6));
    ASSERT_NE(nullptr, unnamed->getImage());
    EXPECT_EQ(3, unnamed->getImage()->getWidth());
    EXPECT_EQ(0xFF0000FFu, unnamed->getImage()->getPixels()[0]);
    auto* hero = static_cast<sprite::ImageSprite*>(canvas->getSprite("Hero"));
    ASSERT_NE(nullptr, hero->getImage());
    EXPECT_EQ(6, hero->getImage()->getWidth());

    // Sounds in manifest order with their kinds; "ab" is no sound.
    ASSERT_EQ(3, canvas->getSoundCount());
    const std::pair<const char*, int> sounds[] = {{"+click", window::AudioClip::KIND_SAMPLE},
                                                  {"+click", window::AudioClip::KIND_STREAM},
                                                  {"+theme.s3m", window::AudioClip::KIND_MUSIC}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(sounds[i].first, canvas->getSound(i)->getName().c_str()) << i;
        EXPECT_EQ(sounds[i].second, canvas->getSound(i)->getKind()) << i;
    }
    lang::IntArray* numbers = canvas->getManifestNumbers();
    ASSERT_EQ(4, numbers->length());
    EXPECT_EQ((std::vector<int>{10, 20, -3, 16}),
              (std::vector<int>{(*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3]}));
    lang::ObjectArray* strings = canvas->getManifestStrings();
    ASSERT_EQ(3, strings->length());
    EXPECT_STREQ("alpha", static_cast<lang::String*>(*strings->at(0))->c_str());
    EXPECT_STREQ("two words", static_cast<lang::String*>(*strings->at(1))->c_str());
    EXPECT_STREQ("", static_cast<lang::String*>(*strings->at(2))->c_str());

    // Every counted entry but the unknown class was loaded.
    EXPECT_EQ(21, canvas->getManifestTotal());
    EXPECT_EQ(20, canvas->getEntriesLoaded());
}

TEST_F(StartUpRoadTest, TheNestedDialogKeepsItsPartsByName)
{
    ASSERT_TRUE(world.start(frame, canvas));
    auto* panel = static_cast<sprite::DialogSprite*>(canvas->getSprite("Panel"));
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ(3, panel->getChildCount());
    auto* close = panel->getSprite("Close");
    ASSERT_NE(nullptr, close);
    EXPECT_TRUE(close->isInstanceOf("ButtonSprite"));
    EXPECT_EQ(nullptr, canvas->getSprite("Close")) << "the parts' names are the dialog's";
    EXPECT_EQ(panel, close->getParent());
    auto* title = static_cast<sprite::NewFontSprite*>(panel->getSprite("Title"));
    ASSERT_NE(nullptr, title);
    // The font came from the archive on the spot; the text from its item.
    title->getBounds();
    EXPECT_STREQ("Hello", title->getText().c_str());
    EXPECT_EQ(5 * 6, title->width());
    // The setup script ran on the loader thread with the Lua faces in place.
    std::vector<std::string> calls = world.lua().calls();
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ("record(\"hero\", true, true)", calls[0]);
    EXPECT_EQ("record(\"title\", \"Hello\")", calls[1]);
    EXPECT_EQ(std::vector<std::string>{"play 0 +click"}, canvas->sounds());
}

TEST_F(StartUpRoadTest, AClickOnTheEnabledButtonBecomesItsCommand)
{
    ASSERT_TRUE(world.start(frame, canvas));
    auto* panel = static_cast<sprite::DialogSprite*>(canvas->getSprite("Panel"));
    sprite::SpriteBase* close = panel->getSprite("Close");
    // The button's middle on the canvas: the dialog's corner plus the
    // button's place inside it.
    util::RectangleNM* box = close->getBounds();
    const int x = panel->left() + box->x + box->width / 2;
    const int y = panel->top() + box->y + box->height / 2;
    world.click(x, y);
    EXPECT_EQ(std::vector<std::string>{"Close"}, canvas->commands());

    // The disabled button does nothing; the enabled click box names itself.
    canvas->clearRecords();
    sprite::SpriteBase* ok = canvas->getSprite("OkButton");
    util::RectangleNM* okBox = ok->getBounds();
    world.click(okBox->x + okBox->width / 2, okBox->y + okBox->height / 2);
    EXPECT_TRUE(canvas->commands().empty()) << ::testing::PrintToString(canvas->commands());
    world.click(20, 20);
    EXPECT_EQ(std::vector<std::string>{"Hot"}, canvas->commands());
}

TEST_F(StartUpRoadTest, ClosingTheWindowQuitsWithANormalExit)
{
    ASSERT_TRUE(world.start(frame, canvas));
    world.stepFrames(3);
    ASSERT_TRUE(world.close());
    EXPECT_EQ(1, world.setting("NORMALEXIT", -1));
    EXPECT_EQ(nullptr, frame->getLoaderThread()) << "joined and released";
    EXPECT_TRUE(canvas->isQuitting());
    EXPECT_EQ(nullptr, frame->getHWND());
    EXPECT_TRUE(world.debugText().find("Hiding Frame, showing Canvas...\n") != std::string::npos);
}

TEST_F(StartUpRoadTest, LoadingOnTheCallingThreadEndsTheSame)
{
    ASSERT_TRUE(world.start(frame, canvas, "+datfile", false));
    EXPECT_EQ(nullptr, frame->getLoaderThread());
    EXPECT_EQ(8, canvas->getRootList()->size());
    EXPECT_EQ(20, canvas->getEntriesLoaded());
}

} // namespace
