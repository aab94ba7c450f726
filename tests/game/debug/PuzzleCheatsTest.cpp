// PuzzleCheatsTest.cpp: the developer's jump screen in the fixture game: the
// page of the current chapter, its check boxes calling the screen's script,
// every jump button reaching its room, the clean and the plain jump in
// their orders, jumps and the close over the pause book and the menu, and
// the close-up jumps through the scenes' hooks.
#include "game/ambient/AmbientSoundManager.h"
#include "game/debug/PuzzleCheats.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "tests/game/support/DialogInput.h"
#include "tests/game/support/GameFixture.h"

#include "core/lang/System.h"

#include <functional>
#include <sstream>

namespace gametest {
namespace {

// Check box i of a page at (20, 20 + 40 i), 30 x 30; jump button j at
// (300 + 200 (j % 2), 20 + 50 (j / 2)), 180 x 40: the pages' parts lie on
// top of each other.
int checkX(int) { return 20; }
int checkY(int i) { return 20 + 40 * i; }
int jumpX(int j) { return 300 + 200 * (j % 2); }
int jumpY(int j) { return 20 + 50 * (j / 2); }

std::string screenManifest()
{
    std::ostringstream m;
    m << "<data>\n0\n<sprites>\n";
    for (int c = 1; c <= 6; ++c)
        m << "Background_" << c << " BoundsSprite 0 0 800 600\n";
    int index[7] = {};
    for (const PuzzleCheats::CheckBox& box : PuzzleCheats::kCheckBoxes) {
        const int i = index[box.chapter]++;
        m << box.sprite << " BoundsSprite " << checkX(i) << " " << checkY(i) << " 30 30\n";
    }
    int jumps[7] = {};
    for (const PuzzleCheats::Jump& jump : PuzzleCheats::kJumps) {
        const int j = jumps[jump.chapter]++;
        m << jump.sprite << " BoundsSprite " << jumpX(j) << " " << jumpY(j) << " 180 40\n";
    }
    m << "PuzzleCheatsClose RectButtonSprite 700 550 80 40 1\n<end>\n";
    return m.str();
}

// What the scenes' hooks were asked, with the room current at the time.
std::vector<std::string> hookCalls;

std::string currentRoomName()
{
    Room* room = LanternfieldCanvas::instance->getCurrentRoom();
    return room ? room->getName().c_str() : "none";
}

class PuzzleCheatsTest : public GameFixture {
protected:
    void SetUp() override
    {
        hookCalls.clear();
        auto& hooks = LanternfieldCanvas::sceneHooks;
        hooks.growPipes = [](sprite::DialogSprite* s) {
            hookCalls.push_back("growPipes " + std::string(s->getName().c_str()) + " in " + currentRoomName());
        };
        hooks.openPegs = [](sprite::DialogSprite* s, int puzzle, int x, int y, Room* host) {
            hookCalls.push_back("openPegs " + std::string(s->getName().c_str()) + " " + std::to_string(puzzle) + " " +
                                std::to_string(x) + " " + std::to_string(y) + " over " + host->getName().c_str());
        };
        hooks.closeSafeCrack = [](sprite::DialogSprite* s) {
            hookCalls.push_back("closeSafeCrack " + std::string(s->getName().c_str()));
        };
        hooks.setupTempleDoorPuzzle = [](Room* room, int n) {
            hookCalls.push_back("setupTempleDoorPuzzle " + std::string(room->getName().c_str()) + " " +
                                std::to_string(n) + " in " + currentRoomName());
        };
        GameOptions options;
        options.dialogManifests["PuzzleCheats"] = screenManifest();
        options.gameScript = "rooms.MansionStudy.setRoomState = function(self, n) "
                             "record(\"setRoomState:MansionStudy\", self:getName(), n) end\n"
                             "function LF_setGlobalISpyActive(n) record(\"LF_setGlobalISpyActive\", n) end\n";
        ASSERT_TRUE(startGame(options));
        screen = static_cast<PuzzleCheats*>(canvas->getSprite("PuzzleCheats"));
        ASSERT_TRUE(screen->isInstanceOf("PuzzleCheats"));
        ASSERT_TRUE(screen->isInstanceOf("Room"));
    }
    void TearDown() override { LanternfieldCanvas::sceneHooks = LanternfieldCanvas::SceneHooks(); }

    // Playing in the Dock, the screen opened at the chapter's page.
    void openAt(int chapter)
    {
        enter(0);
        canvas->getProgress()->chapter = chapter;
        canvas->getInventory()->enableItems(false);
        screen->onEnter();
        clearCalls();
    }
    void pressJump(const PuzzleCheats::Jump& jump)
    {
        int j = 0;
        for (const PuzzleCheats::Jump* p = PuzzleCheats::kJumps; p != &jump; ++p)
            j += p->chapter == jump.chapter;
        pressOn(screen, jumpX(j) + 5, jumpY(j) + 5);
    }
    const PuzzleCheats::Jump& jumpNamed(const std::string& sprite)
    {
        for (const PuzzleCheats::Jump& jump : PuzzleCheats::kJumps) {
            if (sprite == jump.sprite)
                return jump;
        }
        throw std::runtime_error(sprite);
    }
    int current() { return canvas->getProgress()->currentRoom; }

    PuzzleCheats* screen = nullptr;
};

TEST_F(PuzzleCheatsTest, ThePageOfChapterFourAnswersOnlyWithItsOwnBoxesAndButtons)
{
    canvas->showSprite("DimFull", true);
    enter(0);
    canvas->getProgress()->chapter = 4;
    clearCalls();
    screen->onEnter();
    EXPECT_TRUE(screen->isVisible());
    EXPECT_FALSE(canvas->isSpriteVisible("DimFull"));
    EXPECT_EQ(LanternfieldCanvas::CURSOR_NORMAL, canvas->getCurrentCursor());
    for (int c = 1; c <= 6; ++c)
        EXPECT_EQ(c == 4, screen->getSprite(("Background_" + std::to_string(c)).c_str())->isVisible()) << c;
    sprite::SpriteBase* box = screen->getSprite("SolvedOuterSanctum");
    EXPECT_TRUE(box->isVisible());
    sprite::SpriteBase* top = screen->childAt(screen->getChildCount() - 1);
    EXPECT_EQ(box, top) << "the page's boxes come on top";
    top->release();
    EXPECT_EQ((std::vector<std::string>{"onEnter:PuzzleCheats(1)"}), calls("onEnter"));

    // The first box's place holds a box of each page: only chapter 4's answers.
    clearCalls();
    pressOn(screen, checkX(0) + 5, checkY(0) + 5);
    EXPECT_EQ((std::vector<std::string>{"clickOnSolvedOuterSanctum:PuzzleCheats(1)"}), calls("clickOn"));
    // Chapter 1's second box lies where chapter 4 has none.
    clearCalls();
    pressOn(screen, checkX(1) + 5, checkY(1) + 5);
    pressOn(screen, 250, 450);
    // The room's own handling runs first, and only it.
    EXPECT_EQ((std::vector<std::string>{"onClick:PuzzleCheats(25, 65)", "onClick:PuzzleCheats(250, 450)"}), calls());
    EXPECT_EQ(0, current());
    EXPECT_TRUE(screen->isVisible());
}

TEST_F(PuzzleCheatsTest, EveryJumpLeavesTheScreenBeforeTheRoomIsEntered)
{
    openAt(4);
    pressJump(jumpNamed("To_OuterSanctum"));
    EXPECT_EQ(35, current());
    EXPECT_FALSE(screen->isVisible());
    EXPECT_TRUE(canvas->getInventory()->areItemsEnabled());
    std::vector<std::string> order;
    for (const std::string& call : calls()) {
        if (call.rfind("onE", 0) == 0 || call.rfind("LF_setGlobalISpyActive", 0) == 0)
            order.push_back(call);
    }
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ("LF_setGlobalISpyActive(0)", order[0]) << "the global I-Spy game ends before anything leaves";
    EXPECT_EQ((std::vector<std::string>{"onExit:PuzzleCheats(1)", "onExit:Dock(1)", "onEnter:OuterSanctum(1)"}),
              calls("onE"));

    openAt(2);
    canvas->getCloseUp(1)->setVisible(true);
    canvas->showSprite("Instructions", true);
    pressJump(jumpNamed("To_MansionGate"));
    EXPECT_FALSE(canvas->getCloseUp(1)->isVisible()) << "the close-up open over the room left goes";
    EXPECT_FALSE(canvas->isSpriteVisible("Instructions"));
    EXPECT_EQ(13, current());
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ((std::vector<std::string>{"onExit:PuzzleCheats(1)", "onExit:Dock(1)", "onEnter:MansionGate(1)"}),
              calls("onE"));
    EXPECT_TRUE(canvas->getAmbientSoundManager()->isEnabled()) << "the room jumped to keeps its ambient sounds";
    EXPECT_FALSE(canvas->getInventory()->areItemsEnabled()) << "a plain jump leaves the items as they were";
}

TEST_F(PuzzleCheatsTest, EveryJumpButtonReachesItsRoom)
{
    for (const PuzzleCheats::Jump& jump : PuzzleCheats::kJumps) {
        SCOPED_TRACE(jump.sprite);
        openAt(jump.chapter);
        pressJump(jump);
        EXPECT_EQ(jump.room, current());
        EXPECT_FALSE(screen->isVisible());
        EXPECT_EQ(Room::STATE_LEFT, screen->getState());
    }
    // Two buttons lead to the study and two to the inner sanctum.
    EXPECT_EQ(jumpNamed("To_SafeCrack").room, jumpNamed("To_MansionStudy").room);
    EXPECT_EQ(PuzzleCheats::JumpKind::Clean, jumpNamed("To_SafeCrack").kind);
    EXPECT_EQ(PuzzleCheats::JumpKind::Plain, jumpNamed("To_MansionStudy").kind);
    EXPECT_EQ(33, jumpNamed("To_InnerSanctum").room);
    EXPECT_EQ(33, jumpNamed("To_InnerSanctum_4").room);
    EXPECT_TRUE(world.boxes().empty());
}

// From the story's first slide straight into a room: a restart continues the
// chapter there, as one entered through its slides.
TEST_F(PuzzleCheatsTest, AChapterEnteredByAJumpIsContinuedAfterARestart)
{
    canvas->setProfileName(lang::String("Ann"));
    lang::String start("bStart1");
    canvas->handleAction(canvas, &start);
    world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + LanternfieldCanvas::FADE_IN_FRAMES + 2);
    ASSERT_EQ(LanternfieldCanvas::ROOM_STORY_INTRO, current());
    lang::System::setDebugMode(true);
    world.key('C');
    lang::System::setDebugMode(false);
    pressJump(jumpNamed("To_MarketPlace"));
    ASSERT_EQ(2, current());
    canvas->exitToMenu();
    clearCalls();
    canvas->handleAction(canvas, &start);
    world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + 1);
    EXPECT_EQ(2, current());
    EXPECT_EQ((std::vector<std::string>{"onEnter:MarketPlace(1)"}), calls("onE"));
}

TEST_F(PuzzleCheatsTest, AJumpFromOverThePauseBookOrTheMenuEndsInTheRoomPlaying)
{
    const struct {
        const char* what;
        std::function<void()> leavePlay;
        std::vector<std::string> leaving; // the rooms left on the jump
    } cases[] = {
        {"the pause book", [this] { canvas->setGameState(LanternfieldCanvas::STATE_PAUSED); },
         {"onExit:PuzzleCheats(1)", "onExit:Dock(1)"}},
        {"the menu's how to play",
         [this] {
             canvas->exitToMenu();
             lang::String howTo("bMenuHowtoPlay");
             canvas->handleAction(canvas, &howTo);
             ASSERT_TRUE(canvas->isSpriteVisible("Instructions"));
         },
         {"onExit:PuzzleCheats(1)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        enter(0);
        c.leavePlay();
        canvas->getProgress()->chapter = 4;
        lang::System::setDebugMode(true);
        world.key('C');
        lang::System::setDebugMode(false);
        ASSERT_TRUE(screen->isVisible());
        clearCalls();
        pressJump(jumpNamed("To_OuterSanctum"));
        EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, canvas->getGameState());
        EXPECT_EQ(35, current());
        EXPECT_TRUE(room(35)->isVisible()) << "not a black room";
        EXPECT_NE(Room::STATE_LEFT, room(35)->getState());
        std::vector<std::string> expected = c.leaving;
        expected.push_back("onEnter:OuterSanctum(1)");
        EXPECT_EQ(expected, calls("onE"));
        for (const char* shown : {"BookDialog", "MainMenu", "Instructions"})
            EXPECT_FALSE(canvas->isSpriteVisible(shown)) << shown;
        EXPECT_TRUE(canvas->isSpriteVisible("Quit")) << "the pause button";
        EXPECT_TRUE(canvas->isSpriteVisible("Inventory"));
        EXPECT_FALSE(screen->isVisible());
        canvas->leaveCurrentRoom();
    }
}

TEST_F(PuzzleCheatsTest, CloseUpJumpsOpenTheirCloseUpOverTheRoom)
{
    openAt(1);
    pressJump(jumpNamed("To_PipesCU"));
    EXPECT_EQ(LanternfieldCanvas::ROOM_FOUNTAIN_CU, current());
    EXPECT_EQ(Room::STATE_SUSPENDED, room(7)->getState()) << "the fountain waits under the close-up";
    EXPECT_EQ((std::vector<std::string>{"growPipes PipesCU in FountainCU"}), hookCalls);
    EXPECT_FALSE(screen->isVisible());

    hookCalls.clear();
    openAt(4);
    pressJump(jumpNamed("To_PegsCU"));
    EXPECT_EQ(40, current());
    EXPECT_EQ((std::vector<std::string>{"openPegs PegsCU 1 408 220 over OuterVillage_1"}), hookCalls);

    hookCalls.clear();
    openAt(6);
    pressJump(jumpNamed("To_DoorPuzzle2"));
    EXPECT_EQ(61, current());
    EXPECT_EQ((std::vector<std::string>{"setupTempleDoorPuzzle TempleDoorPuzzle 1 in Dock"}), hookCalls)
        << "the board is built before the room is entered";
}

TEST_F(PuzzleCheatsTest, TheSafeBoxAlsoClosesAnOpenSafe)
{
    openAt(5);
    // "SolvedSafeCrack" is the page's third box.
    pressOn(screen, checkX(2) + 5, checkY(2) + 5);
    EXPECT_EQ((std::vector<std::string>{"clickOnSolvedSafeCrack:PuzzleCheats(1)"}), calls("clickOn"));
    EXPECT_TRUE(calls("setRoomState").empty()) << "no safe is open";
    EXPECT_TRUE(hookCalls.empty());

    canvas->getCloseUp(6)->setVisible(true);
    clearCalls();
    pressOn(screen, checkX(2) + 5, checkY(2) + 5);
    EXPECT_EQ((std::vector<std::string>{"clickOnSolvedSafeCrack:PuzzleCheats(1)"}), calls("clickOn"));
    // The study's script runs with the current room as self.
    EXPECT_EQ((std::vector<std::string>{"setRoomState:MansionStudy(\"Dock\", 1)"}), calls("setRoomState"));
    EXPECT_EQ((std::vector<std::string>{"closeSafeCrack SafeCrack"}), hookCalls);
}

TEST_F(PuzzleCheatsTest, TheDebugKeyOpensTheScreenOverTheRoomAndItsCloseButtonEntersTheRoomAgain)
{
    enter(0);
    canvas->getProgress()->chapter = 2;
    world.key('C');
    EXPECT_FALSE(screen->isVisible()) << "only in debug mode";
    lang::System::setDebugMode(true);
    world.key('C');
    lang::System::setDebugMode(false);
    ASSERT_TRUE(screen->isVisible());
    EXPECT_TRUE(screen->getSprite("Background_2")->isVisible());
    EXPECT_FALSE(room(0)->isVisible());
    EXPECT_FALSE(canvas->isSpriteVisible("Inventory"));
    clearCalls();
    world.click(740, 570);
    world.stepFrames(1);
    EXPECT_FALSE(screen->isVisible());
    EXPECT_TRUE(room(0)->isVisible());
    EXPECT_TRUE(canvas->isSpriteVisible("Inventory"));
    EXPECT_EQ((std::vector<std::string>{"onExit:PuzzleCheats(1)", "onExit:Dock(1)", "onEnter:Dock(1)"}),
              calls("onE"));
    EXPECT_EQ(0, current());

    // Over the pause book and over the menu, the close goes back to them:
    // the paused room shows under the book as it was, the menu stays.
    const struct {
        int state;
        bool roomShown;
    } under[] = {{LanternfieldCanvas::STATE_PAUSED, true}, {LanternfieldCanvas::STATE_MAIN_MENU, false}};
    for (const auto& u : under) {
        SCOPED_TRACE(u.state);
        if (u.state == LanternfieldCanvas::STATE_PAUSED)
            canvas->setGameState(u.state);
        else
            canvas->exitToMenu();
        lang::System::setDebugMode(true);
        world.key('C');
        lang::System::setDebugMode(false);
        ASSERT_TRUE(screen->isVisible());
        clearCalls();
        world.click(740, 570);
        world.stepFrames(1);
        EXPECT_FALSE(screen->isVisible());
        EXPECT_EQ(u.state, canvas->getGameState());
        EXPECT_EQ(u.roomShown, room(0)->isVisible());
        EXPECT_EQ((std::vector<std::string>{"onExit:PuzzleCheats(1)"}), calls("onE")) << "no room left or entered";
        if (u.roomShown) {
            EXPECT_NE(Room::STATE_LEFT, room(0)->getState());
        }
    }
}

} // namespace
} // namespace gametest
