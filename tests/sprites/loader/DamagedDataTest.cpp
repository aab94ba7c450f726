// DamagedDataTest.cpp: the start-up road over damaged data: an archive that
// is no archive, manifests of noise, pictures cut short and a class script
// that does not compile each give a clear report, and nothing crashes.
#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "core/util/Vector.h"
#include "sprites/images/ImageSprite.h"
#include "tests/support/GameWorld.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestLoaderFrame.h"
#include "windowing/images/ImageBase.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using testsupport::GameWorld;
using Canvas = testsupport::RecordingCanvas<>;

class DamagedDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.data().classScripts();
        world.setSetting("FULLSCREEN", 0);
    }

    // Starts a frame and canvas over what the archive holds now.
    bool startGame()
    {
        frame = new testsupport::TestLoaderFrame();
        canvas = new Canvas();
        return world.start(frame, canvas);
    }

    GameWorld world;
    testsupport::TestLoaderFrame* frame = nullptr;
    Canvas* canvas = nullptr;
};

TEST_F(DamagedDataTest, AnArchiveOfNoiseIsReportedAndTheGameStartsEmpty)
{
    std::mt19937 random(7);
    std::string noise;
    for (int i = 0; i < 3000; ++i)
        noise += char(random() & 0xFF);
    world.data().file(testsupport::GameData::kArchiveName, noise);
    std::string report;
    try {
        lang::ResourceFile::open(lang::String((world.folder() / testsupport::GameData::kArchiveName).string().c_str()));
    } catch (lang::Exception* e) {
        report = e->toString().c_str();
        e->release();
    }
    if (!report.empty()) {
        EXPECT_NE(std::string::npos, report.find("Error")) << report;
    }
    ASSERT_TRUE(startGame());
    EXPECT_EQ(0, canvas->getRootList()->size());
    world.stepFrames(2);
}

TEST(DamagedManifests, ManifestsOfNoiseLoadWhatTheyCanWithoutCrashing)
{
    // Words, numbers, headers, quotes and comments thrown together.
    const char* pieces[] = {"<images>", "<sounds>", "<data>", "<strings>", "<sprites>", "\"", ";", "\r\n",
                            "Sprite",   "DialogSprite:+datfile", "FancyContainer:+other", "RectSprite",
                            "-", "0x", "1e9", "99999999999", "+pic", "@pic", "x.bin", "\"\"", "*+s.xm", " "};
    std::mt19937 random(11);
    for (int round = 0; round < 12; ++round) {
        GameWorld inner;
        inner.data().classScripts();
        inner.data().picture("pic", 2, 2, 0xFF000000u);
        std::string manifest;
        for (int i = 0; i < 200; ++i) {
            manifest += pieces[random() % (sizeof pieces / sizeof pieces[0])];
            manifest += (random() % 3 == 0) ? std::string(1, char(random() & 0xFF)) : std::string(" ");
        }
        inner.data().item("datfile", manifest);
        inner.data().item("other", manifest.substr(manifest.size() / 2));
        inner.openArchive();
        inner.setSetting("FULLSCREEN", 0);
        auto* f = new testsupport::TestLoaderFrame();
        auto* c = new Canvas();
        // The game either starts with what loaded or closes after a report.
        if (inner.start(f, c))
            inner.stepFrames(2);
        else
            EXPECT_TRUE(inner.hasQuit()) << "round " << round;
    }
}

TEST_F(DamagedDataTest, APictureCutShortGivesASpriteWithoutPixels)
{
    testsupport::Bytes png = testsupport::GameData::png(16, 16, [](int x, int y) { return 0xFF000000u | uint32_t(x * y); });
    png.resize(png.size() / 2);
    world.data().item("bg", png);
    world.data().manifest("datfile", "<sprites> Back Sprite bg 0 0\nFront RectSprite 0 0 10 10 -1\n");
    world.openArchive();
    ASSERT_TRUE(startGame());
    auto* back = static_cast<sprite::ImageSprite*>(canvas->getSprite("Back"));
    ASSERT_NE(nullptr, back);
    ASSERT_NE(nullptr, back->getImage());
    EXPECT_EQ(nullptr, back->getImage()->getPixels());
    canvas->setDirty(true);
    world.stepFrames(3);
    EXPECT_NE(nullptr, canvas->getSprite("Front"));
}

TEST_F(DamagedDataTest, AClassScriptThatDoesNotCompileIsReportedAndTheGameGoesOn)
{
    world.data().script("DialogSprite.lua", "hv = hv or {}\nhv.DialogSprite = {\n");
    world.data().manifest("datfile", "<sprites> Panel DialogSprite 0 0 100 100 0 1\n");
    world.openArchive();
    ASSERT_TRUE(startGame());
    EXPECT_EQ(1u, world.boxes("setupMetatableForClass").size());
    EXPECT_NE(nullptr, canvas->getSprite("Panel"));
    world.stepFrames(2);
}

} // namespace
