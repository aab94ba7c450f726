// SampleChapter6Test.cpp: the sample story's last chapter on the real
// program from a player saved at its start: its slides say where the amulet
// and the gems it brings come from, and the program quit and started again
// in the middle of the lure keeper's game, whose laid lures the saved game
// keeps; and the story left on its last slides.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SampleStoryTest.h"
#include "tests/scenes/support/SampleWalk.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace scenetest {
namespace {

class SampleChapter6Test : public SampleStoryTest {};

// A run of the program on the settings, started, with the last chapter's
// slides paged into the dock when they show.
void startIsland(SampleWalk& w)
{
    w.start();
    if (w.current() == LanternfieldCanvas::ROOM_VIGNETTE)
        w.pageThrough({"NextButton", "ContinueButton"});
}

// The third chapter's gems sank into the golden door, and the second
// chapter's slides left the amulet with the professor: the last chapter's
// slides say how both come back into the bar it starts with.
TEST_F(SampleChapter6Test, ItsSlidesSayWhereTheAmuletAndTheGemsComeFrom)
{
    gametest::SampleRun run(chapterStartSettings(6));
    ASSERT_TRUE(run.started);
    SampleWalk w(run);
    w.start();
    ASSERT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, w.current());
    std::string slides;
    for (const char* caption : {"Text12", "Text13"}) {
        sprite::SpriteBase* s = w.room()->getSprite(caption);
        ASSERT_TRUE(s && s->isInstanceOf("NewFontSprite")) << caption;
        slides += std::string(static_cast<sprite::NewFontSprite*>(s)->getText().c_str()) + " ";
    }
    // The captions are read as shown, wrapped onto their lines.
    for (char& c : slides)
        c = std::isspace(static_cast<unsigned char>(c)) ? ' ' : char(std::tolower(static_cast<unsigned char>(c)));
    for (const char* told : {"amulet", "gems", "golden door"})
        EXPECT_NE(std::string::npos, slides.find(told)) << told << ": " << slides;
    w.pageThrough({"NextButton", "ContinueButton"});
    ASSERT_EQ(SampleWalk::roomOf("Dock"), w.current());
    for (const char* item : {"Amulet", "Gem_1", "Gem_2", "Gem_3", "Gem_4"})
        EXPECT_TRUE(w.has(item)) << item;
}

TEST_F(SampleChapter6Test, TheIslandsProgressIsKeptOverARestart)
{
    std::string settings;
    {
        gametest::SampleRun run(chapterStartSettings(6));
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        startIsland(w);
        ASSERT_EQ(SampleWalk::roomOf("Dock"), w.current());
        w.player.settle();
        w.click("IslandBoat");
        ASSERT_TRUE(w.player.arrivedIn(SampleWalk::roomOf("IslandLanding")));
        w.walkTo({"Lures"});
        ASSERT_FALSE(HasFatalFailure());
        w.player.closeInstructions();
        // Two lures laid, then the program left in the middle of the game.
        for (const char* lure : {"Spoon", "Plug"}) {
            w.click(("Lure" + std::string(lure)).c_str());
            w.click(("Shadow" + std::string(lure)).c_str());
        }
        EXPECT_TRUE(w.story("LF.lurePlaced.Plug"));
        settings = w.quit();
    }
    gametest::SampleRun run(settings);
    ASSERT_TRUE(run.started);
    SampleWalk w(run);
    startIsland(w);
    ASSERT_EQ(SampleWalk::roomOf("Lures"), w.current()) << "back where the player left";
    EXPECT_EQ(6, w.chapter());
    for (const char* item : {"Amulet", "Gem_1", "Gem_4"})
        EXPECT_TRUE(w.has(item)) << item;
    EXPECT_EQ(w.room()->getSprite("ShadowPlug")->left(), w.room()->getSprite("LurePlug")->left())
        << "a laid lure stays on its shadow";
    w.player.closeInstructions(10);
    for (const char* lure : {"Fly", "Spinner"}) {
        w.click(("Lure" + std::string(lure)).c_str());
        w.click(("Shadow" + std::string(lure)).c_str());
    }
    ASSERT_TRUE(w.player.arrivedIn(SampleWalk::roomOf("IslandLanding")));
    EXPECT_TRUE(w.story("LF.luresWon"));
    w.walkTo({"Temple1"});
    ASSERT_FALSE(HasFatalFailure());
    w.expectClean();
}

// The story told to its end counts so while its last slides show: left on
// them, the program started again shows them again, and their continue
// ends the story.
TEST_F(SampleChapter6Test, TheStoryLeftOnItsLastSlidesIsKeptAsTold)
{
    std::string settings;
    {
        gametest::SampleRun run(chapterStartSettings(6));
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        startIsland(w);
        // The golden chest open (the walkthrough plays the way there).
        const std::string opened = "LF.goldLocks = 3";
        ScriptHost::instance->runScriptBuffer(opened.c_str(), opened.size(), "chest", "chest");
        run.canvas->changeRoom(SampleWalk::roomOf("GoldenRoom"));
        w.player.settle();
        w.click("LastLantern");
        ASSERT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, w.current());
        EXPECT_EQ(6, run.canvas->getProgress()->maxChapter) << "the book's last page shows it complete";
        settings = w.quit();
    }
    gametest::SampleRun run(settings);
    ASSERT_TRUE(run.started);
    SampleWalk w(run);
    w.start();
    ASSERT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, w.current());
    EXPECT_TRUE(w.room()->getSprite("Slide60")->isVisible()) << "the end's slides, not the chapter's first";
    w.pageThrough({"NextButton", "ContinueButton"});
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, run.canvas->getGameState());
    EXPECT_EQ(1, w.chapter());
    EXPECT_EQ(6, run.canvas->getProgress()->maxChapter);
}

} // namespace
} // namespace scenetest
