// BookshelfTest.cpp: the bookshelf wall in the fixture game, played by clicks:
// all sixteen things sorted with the counts the scripts hear, a thing put
// back, pick-ups where things overlap, things dragged and let go, the key
// taken, hung back, twinkling and used on the drawer, the clock close-up, the
// close button, the instructions on the screen and given up with the room,
// and the pause while they show.
#include "scenes/bookshelf/Bookshelf.h"

#include "core/lang/String.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/clock/ClockCU.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "tests/scenes/support/SceneFixture.h"
#include "tests/scenes/support/ScriptedDraw.h"
#include "tests/scenes/support/ZoomCheck.h"
#include "windowing/window/Event.h"

#include <algorithm>

namespace scenetest {
namespace {

constexpr int kBookshelfRoom = 27;
constexpr int kItem = 20;

// Thing n hangs at (40n - 20, 100 + 5n) and belongs at (40n - 20, 420);
// thing 2 hangs over thing 1's right half (but for its transparent right
// half), so that the two overlap.
int wallX(int n)
{
    return n == 2 ? 30 : 40 * n - 20;
}
int wallY(int n)
{
    return n == 2 ? 105 : 100 + 5 * n;
}
int homeX(int n)
{
    return 40 * n - 20;
}
constexpr int kHomeY = 420;

std::string bookshelfManifest()
{
    std::string numbers = "0";
    for (int n = 1; n <= 16; ++n)
        numbers += " " + std::to_string(wallX(n));
    for (int n = 1; n <= 16; ++n)
        numbers += " " + std::to_string(homeX(n));
    for (int n = 1; n <= 16; ++n)
        numbers += " " + std::to_string(wallY(n));
    for (int n = 1; n <= 16; ++n)
        numbers += " " + std::to_string(kHomeY);
    std::string m = "<data>\n" + numbers + "\n<sprites>\n";
    for (int n = 1; n <= 16; ++n) {
        m += "HomeItem_" + std::to_string(n) + " Sprite home " + std::to_string(homeX(n)) + " " +
             std::to_string(kHomeY) + "\n";
        m += "WallItem_" + std::to_string(n) + " AnimateSprite " + (n == 2 ? "halfitem" : "item") + " 0 0 1 1 0\n";
    }
    m += "WallItem_12_cursor AnimateSprite item12 -100 0 1 1 0\n"
         "WallItem_13_cursor AnimateSprite item13 -100 0 1 1 0\n"
         "CloseButton ButtonSprite close 740 540 1 1 0 0 0\n"
         "KeyClickRect RectButtonSprite 700 50 30 30 1\n"
         "KeyOnClock Sprite key 700 50\n"
         "KeyTwinkle AnimateSprite twinkle 700 50 3 1 -1\n"
         "Clock Sprite clock 650 30\n"
         "DrawerMap Sprite map 300 500\n"
         "DrawerMapClickRect RectButtonSprite 300 500 40 40 0\n"
         "DrawerOpen Sprite drawer 300 500\n"
         "DimOverlay RectSprite 0 0 800 600 -0x1000000 0\n"
         "<end>\n";
    return m;
}

class BookshelfTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        data.picture("item", kItem, kItem, 0xFF806040u);
        // Opaque on its left half only.
        data.picture("halfitem", kItem, kItem, [](int x, int) { return x < kItem / 2 ? 0xFF4080C0u : 0u; });
        data.picture("item12", 30, 30, 0xFF20A020u);
        data.picture("item13", 30, 30, 0xFF2020A0u);
        data.picture("home", kItem, kItem, 0x40FFFFFFu);
        framesPicture(data, "close", 1, 40, 40);
        framesPicture(data, "twinkle", 3, 30, 30);
        for (const char* name : {"key", "map", "drawer"})
            data.picture(name, 30, 30, 0xFFC0C000u);
        data.picture("clock", 60, 60, 0xFFFFFFFFu);
        SceneSetup scene;
        scene.index = kBookshelfRoom;
        scene.className = "Bookshelf";
        scene.manifest = bookshelfManifest();
        scene.callbacks = {"onFixedAllItems", "onClockSolved"};
        gametest::GameOptions options;
        options.canvasSprites["ClockCU"] = "ClockCU 100 100 400 300 0 0";
        options.gameScript = "LF.shelf = {}\n"
                             "function LF_isBookshelfItemFixed(n) if LF.shelf[n] then return 1 end return 0 end\n"
                             "function LF_fixedBookshelfItem(n) record('LF_fixedBookshelfItem', n) "
                             "LF.shelf[n] = true end\n"
                             "function LF_setReverseISpyTip(k) record('LF_setReverseISpyTip', k) end\n"
                             "function LF_setItemAttachedToCursor(n) record('LF_setItemAttachedToCursor', n) end\n"
                             "function LF_showTaskCompleted() record('LF_showTaskCompleted') end\n";
        ASSERT_TRUE(startScene(scene, options));
        shelf = static_cast<Bookshelf*>(room(kBookshelfRoom));
        ASSERT_TRUE(shelf->isInstanceOf("Bookshelf"));
        shelf->setRandomDraw(&draw);
    }
    // Carries thing n from the wall to (x, y) and clicks there.
    void carry(int n, int x, int y)
    {
        world.click(wallX(n) + 5, wallY(n) + 5);
        ASSERT_EQ(n, shelf->heldItem());
        world.mouseMove(x, y);
        world.click(x, y);
    }
    void sort(int n) { carry(n, homeX(n) + kItem / 2, kHomeY + kItem / 2); }
    sprite::SpriteBase* sprite(const char* name) { return shelf->getSprite(name); }
    // Where the sprite stands in the room's drawing order, or -1.
    int drawnAt(const char* name)
    {
        for (int i = 0; i < shelf->getChildCount(); ++i) {
            sprite::SpriteBase* child = shelf->childAt(i);
            child->release();
            if (child == sprite(name))
                return i;
        }
        return -1;
    }

    Bookshelf* shelf = nullptr;
    ScriptedDraw draw;
};

TEST_F(BookshelfTest, SixteenThingsSortedByPickAndDrop)
{
    enter(kBookshelfRoom);
    EXPECT_EQ((std::vector<std::string>{"LF_setReverseISpyTip(16)"}), calls("LF_setReverse"));
    EXPECT_EQ(sprite::SpriteBase::FLIP_HORIZONTAL, sprite("WallItem_6")->getFlipType());
    EXPECT_DOUBLE_EQ(270.0, sprite("WallItem_7")->getRotation());
    clearCalls();
    clearRecords();
    for (int n = 1; n <= 16; ++n)
        sort(n);
    std::vector<std::string> tips;
    for (int k = 15; k >= 1; --k)
        tips.push_back("LF_setReverseISpyTip(" + std::to_string(k) + ")");
    EXPECT_EQ(tips, calls("LF_setReverse")) << "the sixteenth fix sets no tip";
    EXPECT_EQ((std::vector<std::string>{"onFixedAllItems:Bookshelf(1)"}), calls("onFixed"));
    EXPECT_EQ(16u, calls("LF_fixedBookshelfItem").size());
    const std::vector<int> sounds = soundsPlayed();
    EXPECT_EQ(16, std::count(sounds.begin(), sounds.end(), Bookshelf::SOUND_PICK_UP));
    EXPECT_EQ(16, std::count(sounds.begin(), sounds.end(), Bookshelf::SOUND_FIXED));
    EXPECT_EQ(homeX(5), sprite("WallItem_5")->left());
    EXPECT_EQ(kHomeY, sprite("WallItem_5")->top());
    EXPECT_DOUBLE_EQ(0.0, sprite("WallItem_7")->getRotation()) << "sorted things stand upright";
    // Things 12 and 13 show their own pictures at their own places.
    EXPECT_FALSE(sprite("WallItem_12")->isVisible());
    EXPECT_TRUE(sprite("WallItem_12_cursor")->isVisible());
    EXPECT_EQ(582, sprite("WallItem_12_cursor")->left());
    EXPECT_EQ(337, sprite("WallItem_13_cursor")->top());
    // Entering again builds the same wall from the scripts' flags, without a tip.
    clearCalls();
    shelf->onExit();
    shelf->onEnter();
    EXPECT_TRUE(calls("LF_setReverse").empty());
    EXPECT_TRUE(sprite("WallItem_13_cursor")->isVisible());
    EXPECT_EQ(332, sprite("WallItem_13_cursor")->left());
    EXPECT_EQ(homeX(9), sprite("WallItem_9")->left());
}

TEST_F(BookshelfTest, AThingDroppedAwayFromHomeGoesBackAndOverlapsPickTheFirstOpaqueOne)
{
    enter(kBookshelfRoom);
    clearRecords();
    // Thing 2 covers thing 1 at (35, 110), but thing 1 comes first.
    world.click(35, 110);
    EXPECT_EQ(1, shelf->heldItem());
    world.mouseMove(400, 300);
    EXPECT_EQ(390, sprite("WallItem_1")->left()) << "the carried thing is centred on the pointer";
    world.click(400, 300);
    EXPECT_EQ(0, shelf->heldItem());
    EXPECT_EQ(wallX(1), sprite("WallItem_1")->left());
    EXPECT_EQ((std::vector<int>{Bookshelf::SOUND_PICK_UP, Bookshelf::SOUND_BACK_TO_WALL}), soundsPlayed());
    // Thing 1 sorted: its place is free, and thing 2's transparent half holds nothing.
    sort(1);
    world.click(wallX(2) + 15, wallY(2) + 5);
    EXPECT_EQ(0, shelf->heldItem());
    world.click(wallX(2) + 3, wallY(2) + 5);
    EXPECT_EQ(2, shelf->heldItem());
    // Thing 7 put back keeps its upright turn.
    world.click(500, 300);
    carry(7, 600, 300);
    EXPECT_DOUBLE_EQ(0.0, sprite("WallItem_7")->getRotation());
    EXPECT_EQ((std::vector<std::string>{"LF_setReverseISpyTip(16)", "LF_setReverseISpyTip(15)"}),
              calls("LF_setReverse"));
}

TEST_F(BookshelfTest, AThingDraggedIsPutDownWhereTheButtonIsLetGo)
{
    enter(kBookshelfRoom);
    // Let go on its home: sorted at once.
    world.mouseDown(wallX(3) + 5, wallY(3) + 5);
    world.mouseMove(homeX(3) + 10, kHomeY + 10);
    world.mouseUp(homeX(3) + 10, kHomeY + 10);
    EXPECT_EQ(0, shelf->heldItem());
    EXPECT_TRUE(Bookshelf::isItemFixed(3));
    EXPECT_EQ(homeX(3), sprite("WallItem_3")->left());
    // Let go far from its home: back on the wall.
    world.mouseDown(wallX(4) + 5, wallY(4) + 5);
    world.mouseMove(500, 300);
    world.mouseUp(500, 300);
    EXPECT_EQ(0, shelf->heldItem());
    EXPECT_FALSE(Bookshelf::isItemFixed(4));
    EXPECT_EQ(wallX(4), sprite("WallItem_4")->left());
    // A click leaves the thing on the pointer until the next click.
    world.click(wallX(5) + 5, wallY(5) + 5);
    EXPECT_EQ(5, shelf->heldItem());
}

TEST_F(BookshelfTest, TheKeyTwinklesOpensTheDrawerAndTheClockOpensOverTheRoom)
{
    enter(kBookshelfRoom);
    clearRecords();
    auto* keyRect = sprite::ButtonMixin::fromSprite(sprite("KeyClickRect"));
    // Hung back or used while not on the cursor: nothing.
    runLua(shelf, "self:putKeyOnClock() self:useKeyOnDrawer()");
    EXPECT_FALSE(shelf->isTwinkleArmed());
    EXPECT_TRUE(soundsPlayed().empty());
    world.click(710, 60);
    EXPECT_EQ("true", runLua(shelf, "return self:isKeyOnCursor()"));
    EXPECT_FALSE(sprite("KeyOnClock")->isVisible());
    EXPECT_EQ(Bookshelf::CURSOR_KEY, canvas->getCurrentCursor());
    EXPECT_FALSE(keyRect->isEnabled());
    // Hung back: the first twinkle comes 41 frames later for a draw of 40.
    draw.addBetween({40});
    runLua(shelf, "self:putKeyOnClock()");
    EXPECT_EQ((std::vector<std::string>{"40..200"}), draw.asked());
    EXPECT_TRUE(keyRect->isEnabled());
    EXPECT_EQ(8, canvas->getCurrentCursor());
    auto* twinkle = static_cast<sprite::AnimateSprite*>(sprite("KeyTwinkle"));
    frames(40);
    EXPECT_EQ(0, shelf->getTwinkleCountdown());
    EXPECT_EQ(nullptr, twinkle->getActionCommand());
    frames(1);
    ASSERT_NE(nullptr, twinkle->getActionCommand());
    EXPECT_STREQ("KeyTwinkleFinished", twinkle->getActionCommand()->c_str());
    EXPECT_TRUE(twinkle->isVisible());
    EXPECT_EQ(Bookshelf::TWINKLE_MIN, shelf->getTwinkleCountdown()) << "armed again";
    EXPECT_TRUE(stepUntil([twinkle] { return !twinkle->isVisible(); }, 10)) << "hidden at its end";
    // Taken again and used on the drawer: it opens 24 frames later.
    world.click(710, 60);
    clearRecords();
    // The script keeps the drawer shut until then.
    sprite("DrawerOpen")->setVisible(false);
    sprite("DrawerMap")->setVisible(false);
    runLua(shelf, "self:useKeyOnDrawer()");
    EXPECT_FALSE(shelf->isKeyOnCursor());
    frames(23);
    EXPECT_FALSE(sprite("DrawerOpen")->isVisible());
    frames(1);
    EXPECT_TRUE(sprite("DrawerOpen")->isVisible());
    EXPECT_TRUE(sprite("DrawerMap")->isVisible());
    EXPECT_TRUE(sprite::ButtonMixin::fromSprite(sprite("DrawerMapClickRect"))->isEnabled());
    EXPECT_EQ((std::vector<int>{Bookshelf::SOUND_KEY_IN_DRAWER, Bookshelf::SOUND_DRAWER_OPENS}), soundsPlayed());
    // The clock close-up grows from the clock with the room as its host,
    // over the room darkened whole: a thing carried and put back (brought to
    // the front as it was picked up) goes under the darkening too.
    carry(1, 500, 300);
    auto* clock = static_cast<ClockCU*>(canvas->getSprite("ClockCU"));
    ASSERT_TRUE(clock->isInstanceOf("ClockCU"));
    runLua(shelf, "self:enterClockCU()");
    EXPECT_TRUE(clock->isVisible());
    EXPECT_LT(drawnAt("WallItem_1"), drawnAt("DimOverlay"));
    EXPECT_EQ(shelf, clock->getHost());
    EXPECT_EQ(650, clock->getOriginX());
    EXPECT_EQ(Room::STATE_SUSPENDED, shelf->getState());
    EXPECT_FALSE(sprite("CloseButton")->isVisible());
    runLua(shelf, "self:exitClockCU()");
    EXPECT_FALSE(clock->isVisible());
    EXPECT_TRUE(sprite("CloseButton")->isVisible());
}

TEST_F(BookshelfTest, TheCloseButtonZoomsBackAndTheInstructionsHoldTheRoom)
{
    enter(kBookshelfRoom);
    // While the instructions show, presses are not taken and time stands still.
    draw.addBetween({50});
    world.click(710, 60);
    runLua(shelf, "self:putKeyOnClock()");
    canvas->showSprite("GameInstructions", true);
    ASSERT_TRUE(canvas->isGameInstructionsShowing());
    frames(60);
    EXPECT_EQ(50, shelf->getTwinkleCountdown());
    world.click(wallX(3) + 5, wallY(3) + 5);
    EXPECT_EQ(0, shelf->heldItem());
    canvas->showSprite("GameInstructions", false);
    clearCalls();
    world.click(750, 550);
    expectZoom(canvas, "+iBookshelfTransitionMask", -40, -125, 2.0f, 0.2f);
    world.stepFrames(40);
    EXPECT_EQ(Bookshelf::WELCOME_CENTER_ROOM, canvas->getCurrentRoomIndex());
    // The close button's own call, then the room's as it is left.
    EXPECT_EQ((std::vector<std::string>{"onExit:Bookshelf(1)", "onExit:Bookshelf(1)"}), calls("onExit"));
}

TEST_F(BookshelfTest, TheQuestionMarksInstructionsOpenOnTheScreen)
{
    // The question mark opens them about the middle of the room.
    enter(kBookshelfRoom);
    ASSERT_TRUE(canvas->isGameInsQuestionMarkShowing());
    sprite::SpriteBase* mark = canvas->getSprite("GameInsQuestionMark");
    world.click(mark->left() + mark->width() / 2, mark->top() + mark->height() / 2);
    sprite::SpriteBase* panel = canvas->getSprite("GameInstructions");
    ASSERT_TRUE(canvas->isGameInstructionsShowing());
    world.stepFrames(20);
    ASSERT_TRUE(panel->isVisible() && !panel->isTransitioning());
    EXPECT_GE(panel->left(), 0);
    EXPECT_GE(panel->top(), 0);
    EXPECT_LE(panel->left() + panel->width(), 800);
    EXPECT_LE(panel->top() + panel->height(), 600);
}

TEST_F(BookshelfTest, InstructionsQueuedOnEnteringAreGivenUpWhenTheRoomIsLeft)
{
    canvas->setShowGameInstructions(Bookshelf::INSTRUCTIONS_GAME, true);
    enter(kBookshelfRoom);
    frames(10);
    shelf->onExit();
    frames(40);
    EXPECT_FALSE(canvas->isGameInstructionsShowing());
    EXPECT_FALSE(canvas->isGameInsQuestionMarkShowing());
    EXPECT_TRUE(canvas->getShowGameInstructions(Bookshelf::INSTRUCTIONS_GAME)) << "still to be seen";
}

TEST_F(BookshelfTest, AFinishedTaskWaits101FramesThenReturnsToTheWelcomeCenter)
{
    enter(kBookshelfRoom);
    clearCalls();
    auto* command = new lang::String("ShowTaskCompleted");
    auto* done = new window::Event(shelf, window::Event::ACTION, command);
    EXPECT_FALSE(shelf->handleEvent(done)) << "never consumed";
    done->release();
    command->release();
    EXPECT_EQ((std::vector<std::string>{"LF_showTaskCompleted()"}), calls("LF_show"));
    frames(100);
    EXPECT_EQ(kBookshelfRoom, canvas->getCurrentRoomIndex());
    // No exit leads there: the room changes at once, and nothing is left
    // pending.
    frames(1);
    EXPECT_EQ(Bookshelf::WELCOME_CENTER_ROOM, canvas->getCurrentRoomIndex());
    EXPECT_EQ(-1, canvas->getPendingRoom());
}

} // namespace
} // namespace scenetest
