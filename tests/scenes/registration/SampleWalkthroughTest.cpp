// SampleWalkthroughTest.cpp: the sample game played through as a player
// plays it, on the real program (loader thread, canvas, headless window, fake
// clock), by clicks, drags and keys alone: a new profile, the story's cut
// scenes, every chapter's errands and puzzles, quitting and starting the
// program again in the middle of a chapter and going on from the saved
// profile, and the chapter's end leading into the next.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "scenes/aircompressor/AirCompressor.h"
#include "scenes/artrestoration/ArtRestoration.h"
#include "scenes/callbox/CallBox.h"
#include "scenes/concentration/Concentration.h"
#include "scenes/fountain/FountainCU.h"
#include "scenes/maze/Maze.h"
#include "scenes/treasurechest/TreasureChestCU.h"
#include "scenes/whackaclam/WhackAClam.h"
#include "sprites/script/ScriptHost.h"
#include "tests/scenes/support/SampleChapter2.h"
#include "tests/scenes/support/SampleChapter4.h"
#include "tests/scenes/support/SampleChapter5.h"
#include "tests/scenes/support/SampleChapters.h"
#include "tests/scenes/support/SamplePuzzles.h"
#include "tests/scenes/support/SampleStoryTest.h"
#include "tests/scenes/support/SampleWalk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenetest {
namespace {

// The rooms of the walk, by their index in the rooms table.
enum WalkRoom {
    kWalkDock = 0,
    kWalkProfessor = 1,
    kWalkMarket = 2,
    kWalkOldTown = 3,
    kWalkStore = 4,
    kWalkRiverside = 5,
    kWalkChest = 6,
    kWalkFountain = 7,
    kWalkTavernGallery = 10,
    kWalkTavernInterior = 11,
    kWalkGalleryInterior = 12,
    kWalkMansionGate = 13,
    kWalkDiveDock = 14,
    kWalkHedgeMazeFront = 15,
    kWalkConcentration = 17,
    kWalkWhackAClam = 18,
    kWalkArtRestoration = 19,
    kWalkMaze = 20,
    kWalkAirCompressor = 21,
    kWalkCallBox = 22,
    kWalkLanding = 25,
    kWalkWelcomeCenter = 26,
};

// The rooms of those names, by their index in the rooms table.
std::vector<int> walkRoute(const std::vector<const char*>& names)
{
    std::vector<int> rooms;
    for (const char* name : names)
        rooms.push_back(SampleWalk::roomOf(name));
    return rooms;
}

class SampleWalkthroughTest : public SampleStoryTest {};

TEST_F(SampleWalkthroughTest, ThePlayerWalksTheStoryFromANewProfileThroughItsChapters)
{
    std::string settings;
    {
        // Chapter 1, up to the mended fountain: a new player, the story's
        // introduction, the professor's errand and the fountain.
        gametest::SampleRun run("");
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        gametest::newPlayer(run.world, "Wren");
        w.start();
        ASSERT_EQ(LanternfieldCanvas::ROOM_STORY_INTRO, w.current());
        run.leaveBy(LanternfieldCanvas::ROOM_STORY_INTRO, 0);
        ASSERT_EQ(LanternfieldCanvas::ROOM_VIGNETTE_INTRO, w.current());
        w.pageThrough({"NextButton", "ContinueButton", "NextButton", "NextButton", "ContinueButton"});
        ASSERT_EQ(kWalkDock, w.current());
        EXPECT_EQ(1, w.chapter());
        w.expectMusic("+sMusicChapter1");
        w.player.settle();
        w.expectTasks({1, 2});

        w.walk({kWalkMarket, kWalkOldTown, kWalkStore});
        ASSERT_FALSE(HasFatalFailure());
        w.click("Item_Vase");
        ASSERT_TRUE(w.has("Vase"));
        w.walk({kWalkOldTown, kWalkMarket, kWalkDock, kWalkRiverside});
        ASSERT_FALSE(HasFatalFailure());
        w.player.takeFromBar("Vase");
        w.click("River");
        ASSERT_TRUE(w.has("VaseWithWater"));
        w.walk({kWalkDock, kWalkMarket});
        ASSERT_FALSE(HasFatalFailure());
        w.click("Item_HiddenFlowerBouquet");
        ASSERT_TRUE(w.has("HiddenFlowerBouquet"));
        w.walk({kWalkDock, kWalkProfessor});
        ASSERT_FALSE(HasFatalFailure());
        w.give("VaseWithWater");
        w.give("HiddenFlowerBouquet");
        ASSERT_TRUE(w.has("Box"));
        w.walk({kWalkDock});
        ASSERT_FALSE(HasFatalFailure());
        w.give("Box");
        ASSERT_TRUE(w.has("Amulet"));
        EXPECT_FALSE(w.room()->getSprite("Ferry")->isVisible()) << "the chest and the fountain wait";
        w.expectTasks({8, 10}); // the chest's lever, the dry fountain

        w.walk({kWalkMarket, kWalkFountain});
        ASSERT_FALSE(HasFatalFailure());
        mendFountain(w.player, run.world, run.canvas, static_cast<FountainCU*>(w.room()));
        ASSERT_FALSE(HasFatalFailure());
        w.walk({kWalkMarket});
        ASSERT_FALSE(HasFatalFailure());
        w.expectTasks({8});
        EXPECT_EQ((std::vector<int>{2, 3, 4, 3, 2, 0, 5, 0, 2, 0, 1, 0, 2, 7, 2}), w.entered);
        settings = w.quit();
    }
    {
        // The program again: the saved game goes on at the market, with the
        // errand and the fountain done; the chest by the river is opened and
        // the ferry ends the chapter.
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        EXPECT_STREQ("Wren", run.canvas->getProfileName().c_str());
        w.start();
        ASSERT_EQ(kWalkMarket, w.current()) << "back where the player left";
        EXPECT_EQ(1, w.chapter());
        EXPECT_TRUE(w.has("Amulet"));
        EXPECT_TRUE(w.story("LF.fountainFixedWaterOn"));
        EXPECT_TRUE(w.story("LF.taken.Box"));

        w.expectTasks({8});
        w.walk({kWalkDock, kWalkRiverside});
        ASSERT_FALSE(HasFatalFailure());
        w.click("Lever");
        w.expectTasks({9});
        w.walk({kWalkChest});
        ASSERT_FALSE(HasFatalFailure());
        openChest(w.player, static_cast<TreasureChestCU*>(w.room()));
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(w.player.arrivedIn(kWalkRiverside, 400)) << "the open chest is left";
        w.player.settle();
        // The chest's treasure in the bar, and the message that names it.
        EXPECT_TRUE(w.has("Cypher"));
        EXPECT_TRUE(w.run.canvas->isSpriteVisible("RoomItemsBalloon")) << "the chest's message shows";
        w.expectTasks({13}); // the ferry
        w.walk({kWalkDock});
        ASSERT_FALSE(HasFatalFailure());
        w.endChapterOn("Ferry", kWalkTavernGallery);
        ASSERT_FALSE(HasFatalFailure());
        settings = w.quit();
    }
    {
        // Chapter 2 from its saved start: the card game in the tavern, whose
        // trophy opens the gallery's restoration room; the three paintings
        // restored, for which the owner gives the card with the mansion's
        // number; the call box at the mansion gate and the hedge maze beside
        // it; the program is left at the gate.
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.start();
        ASSERT_EQ(kWalkTavernGallery, w.current()) << "the chapter's start was saved";
        EXPECT_EQ(2, w.chapter());
        EXPECT_FALSE(w.story("LF.fountainFixedWaterOn")) << "a chapter starts on a fresh story";
        w.expectTasks({21, 25}); // the card game, the compressor

        w.walk({kWalkGalleryInterior});
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_NE(nullptr, exitTo(w.room(), kWalkArtRestoration));
        EXPECT_FALSE(exitTo(w.room(), kWalkArtRestoration)->isEnabled()) << "the paintings wait for a card champion";
        w.walk({kWalkTavernGallery, kWalkTavernInterior, kWalkConcentration});
        ASSERT_FALSE(HasFatalFailure());
        w.player.closeInstructions();
        winCardGame(w.player, run.world, static_cast<Concentration*>(w.room()));
        ASSERT_FALSE(HasFatalFailure());
        w.entered.push_back(kWalkTavernInterior);
        EXPECT_TRUE(w.has("ConcentrationTrophy"));
        w.expectTasks({22, 25});
        w.walk({kWalkTavernGallery, kWalkGalleryInterior});
        ASSERT_FALSE(HasFatalFailure());
        for (int painting = 1; painting <= 3; ++painting) {
            w.walk({kWalkArtRestoration});
            ASSERT_FALSE(HasFatalFailure());
            // The instructions open on the first visit only.
            if (painting == 1)
                w.player.closeInstructions();
            restorePainting(w.player, run.world, static_cast<ArtRestoration*>(w.room()));
            ASSERT_FALSE(HasFatalFailure()) << "painting " << painting;
            w.entered.push_back(kWalkGalleryInterior);
            w.player.settle();
        }
        EXPECT_TRUE(w.story("LF.galleryRestored"));
        ASSERT_TRUE(w.has("MansionGateCode"));
        w.expectTasks({23, 25});

        w.walk({kWalkTavernGallery, kWalkMarket, kWalkOldTown, kWalkMansionGate, kWalkCallBox});
        ASSERT_FALSE(HasFatalFailure());
        w.player.closeInstructions();
        dialCallBox(w.player, run.world, static_cast<CallBox*>(w.room()));
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_TRUE(w.story("LF.callBoxSolved"));
        w.expectTasks({24, 25});
        w.walk({kWalkMansionGate, kWalkHedgeMazeFront, kWalkMaze});
        ASSERT_FALSE(HasFatalFailure());
        w.player.closeInstructions();
        walkHedgeMaze(w.player, run.world, static_cast<Maze*>(w.room()));
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(w.player.arrivedIn(kWalkHedgeMazeFront, 400)) << "out of the maze";
        w.entered.push_back(kWalkHedgeMazeFront);
        EXPECT_TRUE(w.story("LF.hedgeMazeSolved"));
        w.expectTasks({25});
        w.player.settle();
        w.walk({kWalkMansionGate});
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ((std::vector<int>{12, 10, 11, 17, 11, 10, 12, 19, 12, 19, 12, 19, 12, 10, 2, 3, 13, 22, 13, 15, 20,
                                    15, 13}),
                  w.entered);
        settings = w.quit();
    }
    {
        // Again: the compressor at the dive dock is mended, which fills the
        // air for the dive among the clams; their pearls brought up, the
        // diving boat ends the chapter.
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.start();
        ASSERT_EQ(kWalkMansionGate, w.current());
        EXPECT_EQ(2, w.chapter());
        EXPECT_TRUE(w.story("LF.callBoxSolved"));
        EXPECT_TRUE(w.story("LF.hedgeMazeSolved"));
        EXPECT_TRUE(w.story("LF.concentrationWon"));
        EXPECT_TRUE(w.story("LF.galleryRestored"));
        EXPECT_TRUE(w.has("ConcentrationTrophy"));
        EXPECT_TRUE(w.has("MansionGateCode"));
        w.expectTasks({25}); // the saved paper

        w.walk({kWalkOldTown, kWalkMarket, kWalkTavernGallery, kWalkDiveDock});
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_FALSE(w.room()->getSprite("DiveBoat")->isVisible()) << "the compressor is still broken";
        ASSERT_NE(nullptr, exitTo(w.room(), kWalkWhackAClam));
        EXPECT_FALSE(exitTo(w.room(), kWalkWhackAClam)->isEnabled()) << "no air for a dive yet";
        w.walk({kWalkAirCompressor});
        ASSERT_FALSE(HasFatalFailure());
        w.player.closeInstructions();
        mendAirCompressor(w.player, run.world, static_cast<AirCompressor*>(w.room()));
        ASSERT_FALSE(HasFatalFailure());
        w.expectTasks({26});
        settings = w.quit();
    }
    {
        // Again: the compressor still runs, its board as the player left
        // it; the pearls brought up from the dive, the diving boat ends the
        // chapter.
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.start();
        ASSERT_EQ(kWalkAirCompressor, w.current());
        auto* air = static_cast<AirCompressor*>(w.room());
        EXPECT_EQ(3, air->getNumCorrectFuses());
        EXPECT_EQ(4, air->getWiringStatus());
        EXPECT_TRUE(air->getSprite("IndicatorLight")->isVisible());
        w.expectTasks({26});
        w.walk({kWalkDiveDock});
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_FALSE(w.room()->getSprite("DiveBoat")->isVisible()) << "the skipper waits for the pearls";
        w.walk({kWalkWhackAClam});
        ASSERT_FALSE(HasFatalFailure());
        diveForPearls(w.player, run.world, static_cast<WhackAClam*>(w.room()));
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_TRUE(w.has("Pearls"));
        w.expectTasks({27});
        w.player.settle();
        w.endChapterOn("DiveBoat", kWalkLanding);
        ASSERT_FALSE(HasFatalFailure());
        settings = w.quit();
    }
    {
        // The third chapter from its saved start: the island's first gem and
        // the welcome centre's ranger, the bookshelf sorted, its clock set and
        // the caves' map taken from its drawer; the program is left at the
        // welcome centre.
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.start();
        ASSERT_EQ(kWalkLanding, w.current());
        EXPECT_EQ(3, w.chapter());
        w.expectMusic("+sMusicChapter3");
        // The jungle's way east and the cave are shut until the errand opens them.
        EXPECT_FALSE(w.story("LF.bridgeReached"));
        playChapter3ToTheMap(w);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ((std::vector<int>{26, 27, 26}), w.entered);
        settings = w.quit();
    }
    {
        // Again: the saved game goes on at the welcome centre with the map
        // and the first gem, the shelf sorted and the drawer open; the cave
        // and its inlays, the bridge and the inner sanctum's board end the
        // third chapter; the fourth's sanctums, volcano and waterfall, and
        // the vines cut; the program is left at the village's entrance.
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.start();
        ASSERT_EQ(kWalkWelcomeCenter, w.current()) << "back where the player left";
        EXPECT_EQ(3, w.chapter());
        for (const char* item : {"CaveMapScroll", "Gem_1"})
            EXPECT_TRUE(w.has(item)) << item;
        for (const char* flag : {"LF.bookshelfSorted", "LF.clockSolved", "LF.bookshelfDrawerOpen", "LF.bookshelfMapTaken"})
            EXPECT_TRUE(w.story(flag)) << flag;
        EXPECT_FALSE(w.has("Gem_2")) << "the second gem is won in the cave";
        playChapter3FromTheMap(w);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ((std::vector<int>{25, 28, 29, 30, 31, 34, 31, 34, 31, 32, 33}), w.entered);
        EXPECT_EQ(4, w.chapter());
        w.expectMusic("+sMusicChapter1");
        playChapter4ToTheVillage(w);
        ASSERT_FALSE(HasFatalFailure());
        settings = w.quit();
    }
    {
        // Again: the saved game goes on at the village's entrance with the
        // three pegs and the vines cut; each village's board won, and the
        // canoe ends the fourth chapter; the fifth's board game in the tavern
        // and the mansion's keypad; the program is left at the mansion's
        // opened door.
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.start();
        ASSERT_EQ(SampleWalk::roomOf("VillageEnterance"), w.current()) << "back where the player left";
        EXPECT_EQ(4, w.chapter());
        EXPECT_TRUE(w.story("LF.outerSanctumSolved"));
        EXPECT_TRUE(w.story("LF.vinesCut"));
        EXPECT_TRUE(w.has("Peg_1") && w.has("Peg_2") && w.has("Peg_3"));
        EXPECT_FALSE(w.has("Machete")) << "the machete stayed in the vines";
        playChapter4Villages(w);
        ASSERT_FALSE(HasFatalFailure());
        w.expectClean();
        EXPECT_EQ(5, w.chapter());
        playChapter5UpToTheMansionDoor(w);
        ASSERT_FALSE(HasFatalFailure());
        settings = w.quit();
    }
    {
        // Again: the saved game goes on at the mansion's front, the board
        // game won, the note in the bar and the door open; the view finder,
        // the study's safe, the dive shop's circuit board and the wind race
        // end the fifth chapter; the last chapter's boat to the island, the
        // lures and the temple door; the program is left in the hall behind
        // the door.
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.start();
        ASSERT_EQ(SampleWalk::roomOf("MansionFront_Night"), w.current()) << "back where the player left";
        EXPECT_EQ(5, w.chapter());
        EXPECT_TRUE(w.story("LF.ticTacSolved"));
        EXPECT_TRUE(w.story("LF.mansionDoorOpen"));
        EXPECT_TRUE(w.has("MansionGateCode"));
        EXPECT_TRUE(w.has("RiddleCoaster"));
        EXPECT_FALSE(w.story("LF.safeOpened"));
        playChapter5FromTheMansionDoor(w);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ(6, w.chapter());
        w.entered.clear(); // the last chapter's rooms from its dock
        playChapter6ToTheTempleDoor(w);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ(walkRoute({"IslandLanding", "Lures", "IslandLanding", "Temple1", "Temple2", "TempleDoorPuzzle",
                             "Temple2"}),
                  w.entered);
        settings = w.quit();
    }
    {
        // Again: the saved game goes on in the hall behind the temple door,
        // the lures won, the door open and the amulet with its gems in the
        // bar; the amulet door, the golden chest and the last lantern end the
        // story, which leads back to the main menu.
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.start();
        ASSERT_EQ(SampleWalk::roomOf("Temple2"), w.current()) << "back where the player left";
        EXPECT_EQ(6, w.chapter());
        EXPECT_TRUE(w.story("LF.luresWon"));
        EXPECT_TRUE(w.story("LF.templeDoorOpened"));
        for (const char* item : {"Amulet", "Gem_1", "Gem_2", "Gem_3", "Gem_4"})
            EXPECT_TRUE(w.has(item)) << item;
        w.expectTasks({7});
        playChapter6FromTheTempleDoor(w);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ(walkRoute({"Temple3", "AmuletDoor", "GoldenRoom", "TreasureChestCU", "GoldenRoom"}), w.entered);
        EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, run.canvas->getGameState());
        gametest::clickPart(run.world, run.canvas, "MainMenu", "bMenuExit");
        ASSERT_TRUE(run.world.pumpUntil([&run] { return run.world.hasQuit(); }, 5000));
        w.expectClean();
        settings = run.settings();
    }
    {
        // The story told to its end is saved with the player: every chapter
        // reached, the next game from the first chapter's slides.
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        EXPECT_STREQ("Wren", run.canvas->getProfileName().c_str());
        EXPECT_EQ(6, run.canvas->getProgress()->maxChapter);
        EXPECT_EQ(1, w.chapter()) << "the next game begins the first chapter";
        w.start();
        EXPECT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, w.current());
        w.expectClean();
    }
}

} // namespace
} // namespace scenetest
