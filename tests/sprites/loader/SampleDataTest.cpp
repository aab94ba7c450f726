// SampleDataTest.cpp: the sample data the build makes beside the sample
// program loads cleanly on the start-up road: every counted item, no box,
// the sprites its script expects, and a bell that rings when pressed.
#include "core/lang/ResourceFile.h"
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/script/ScriptHost.h"
#include "tests/support/GameWorld.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestLoaderFrame.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class SampleDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifdef HV_SAMPLE_DIR
        const fs::path sample(HV_SAMPLE_DIR);
#else
        const fs::path sample;
#endif
        if (sample.empty() || !fs::exists(sample / testsupport::GameData::kArchiveName))
            GTEST_SKIP() << "the sample data is built with the tools";
        for (const auto& entry : fs::directory_iterator(sample)) {
            if (entry.path().extension() != "" || entry.path().filename() == "pack.bin")
                fs::copy_file(entry.path(), world.folder() / entry.path().filename());
        }
        lang::ResourceFile::open(lang::String((world.folder() / testsupport::GameData::kArchiveName).string().c_str()));
        world.setSetting("FULLSCREEN", 0);
        canvas = new testsupport::RecordingCanvas<>();
        canvas->runAfterSetup("Sample.lua");
        frame = new testsupport::TestLoaderFrame();
    }

    testsupport::GameWorld world;
    testsupport::RecordingCanvas<>* canvas = nullptr;
    testsupport::TestLoaderFrame* frame = nullptr;
};

TEST_F(SampleDataTest, TheSampleStartsWithEverythingItCounts)
{
    ASSERT_TRUE(world.start(frame, canvas));
    EXPECT_TRUE(world.boxes().empty());
    EXPECT_GT(canvas->getManifestTotal(), 0);
    EXPECT_EQ(canvas->getManifestTotal(), canvas->getEntriesLoaded());
    for (const char* name : {"Sky", "Moon", "Cloud", "Title", "Lantern", "LanternHit", "Panel"})
        EXPECT_NE(nullptr, canvas->getSprite(name)) << name;
    auto* panel = static_cast<sprite::DialogSprite*>(canvas->getSprite("Panel"));
    ASSERT_NE(nullptr, panel->getSprite("Ring"));
    ASSERT_EQ(1, canvas->getSoundCount());

    // The cloud drifts by its script.
    const int x = canvas->getSprite("Cloud")->left();
    world.stepFrames(10);
    EXPECT_GT(canvas->getSprite("Cloud")->left(), x);
}

TEST_F(SampleDataTest, TheBellButtonNamesItselfAndItsScriptRingsTheBell)
{
    ASSERT_TRUE(world.start(frame, canvas));
    auto* panel = static_cast<sprite::DialogSprite*>(canvas->getSprite("Panel"));
    util::RectangleNM* box = panel->getSprite("Ring")->getBounds();
    world.click(panel->left() + box->x + box->width / 2, panel->top() + box->y + box->height / 2);
    EXPECT_EQ(std::vector<std::string>{"Ring"}, canvas->commands());
    // What the program does with a command: the script's onCommand.
    ScriptHost::instance->callLuaFunctionString("onCommand", lang::String("Ring"));
    EXPECT_EQ(std::vector<std::string>{"play 0 +ring"}, canvas->sounds());
    EXPECT_GT(canvas->getSprite("Lantern")->getScaleSteps(), 0);
    // The lantern's click box names itself too; its command hides the panel.
    canvas->clearRecords();
    world.click(182, 378);
    EXPECT_EQ(std::vector<std::string>{"LanternHit"}, canvas->commands());
    ScriptHost::instance->callLuaFunctionString("onCommand", lang::String("LanternHit"));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(world.boxes().empty());
}

} // namespace
