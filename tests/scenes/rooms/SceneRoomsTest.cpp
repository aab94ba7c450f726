// SceneRoomsTest.cpp: the small scene rooms in one fixture game: the
// door-hover cursors (a table over the five rooms with door cursors), the
// old town's music back on, the store's dark overlay made once, the hidden
// flowers, the keypad buttons' look, and the mini-game rooms' puzzle mode
// and instructions.
#include "scenes/rooms/KnickKnackStore.h"
#include "scenes/rooms/ProfessorHouse.h"

#include "platform/kernel/DebugOutput.h"
#include "sprites/buttons/ButtonSprite.h"
#include "tests/scenes/support/SceneFixture.h"
#include "windowing/window/Event.h"

namespace scenetest {
namespace {

struct RoomSpec {
    int index;
    const char* className;
    std::string sprites;
};

std::string door(const char* name)
{
    return std::string(name) + " RectButtonSprite 300 200 100 100 1\n";
}

std::string keypadButtons(std::initializer_list<std::string> names)
{
    std::string lines;
    for (const std::string& name : names)
        lines += name + " ButtonSprite key 500 300 4 1 0 0 0\n";
    return lines;
}

class SceneRoomsTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        data.picture("flower", 30, 30, 0xFFE040A0u);
        // Key frames: opaque only in their left half.
        data.picture("key", 160, 40, [](int x, int) { return x % 40 < 20 ? 0xFF808080u : 0u; });
        const std::vector<RoomSpec> rooms = {
            {1, "ProfessorHouse", "HiddenFlower_1 Sprite flower 100 100\nHiddenFlower_2 Sprite flower 200 100\n"},
            {3, "OldTownConnector", ""},
            {4, "KnickKnackStore", ""},
            {25, "Landing", door("DoorToTrailhead")},
            {28, "Trailhead", door("DoorToJungle")},
            {37, "Waterfall", ""},
            {54, "MansionKeypad",
             keypadButtons({"Button_0", "Button_1", "Button_2", "Button_3", "Button_4", "Button_5", "Button_6",
                            "Button_7", "Button_8", "Button_9", "EnterButton"})},
            {53, "ViewFinder",
             keypadButtons({"number0_ArrowUp", "number0_ArrowDown", "number1_ArrowUp", "number1_ArrowDown",
                            "number2_ArrowUp", "number2_ArrowDown", "number3_ArrowUp", "number3_ArrowDown",
                            "LookBtn"})},
            {58, "Temple1", door("DoorToTemple2") + "DoorToPuzzle1 RectButtonSprite 500 200 100 100 1\n"},
            {59, "Temple2", door("DoorToTemple3")},
            {60, "Temple3", door("DoorToAmulet")},
            {64, "Lures", ""},
        };
        gametest::GameOptions options;
        options.gameScript = "LF.templeDoor2 = false\n"
                             "function LF_solvedTempleDoorPuzzle2() return LF.templeDoor2 end\n";
        for (const RoomSpec& r : rooms) {
            const std::string name = LanternfieldCanvas::kRoomNames[r.index];
            options.roomClasses[name] = r.className;
            options.roomManifests[name] = "<data>\n0\n<sprites>\n" + r.sprites + "<end>\n";
            options.roomScripts[name] = recordingScript(name, r.className, {});
        }
        SceneSetup first;
        first.index = rooms[0].index;
        first.className = rooms[0].className;
        first.manifest = options.roomManifests[LanternfieldCanvas::kRoomNames[first.index]];
        ASSERT_TRUE(startScene(first, options));
    }

    // The cursor after the pointer moves to (x, y) in the room, the canvas's
    // cursor being `before` (an item cursor from 10 on).
    int hover(int index, int before, int x, int y)
    {
        canvas->dropSpecialCursor();
        if (before >= 10)
            canvas->setSpecialCursor(before, false, -1);
        else
            canvas->setCursor(before, false);
        Room* target = room(index);
        auto* e = new window::Event(target, window::Event::MOUSE_MOVE, target);
        e->x = x;
        e->y = y;
        target->mouseMove(e);
        e->release();
        return canvas->getCurrentCursor();
    }
};

TEST_F(SceneRoomsTest, DoorsShowTheirCursorUnlessAnItemKeepsIts)
{
    struct Case {
        int room, before;
        bool onDoor;
        int after;
    };
    const Case cases[] = {
        {25, 8, true, 0},   {25, 20, false, 8}, {25, 3, false, 8},   // Landing: always normal off its door
        {28, 20, true, 0},  {28, 20, false, 20}, {28, 19, false, 19}, {28, 22, false, 8}, {28, 8, false, 8},
        {58, 46, true, 46}, {58, 8, true, 0},   {58, 9, false, 8},   {58, 43, false, 43},
        {59, 8, true, 9},   {59, 47, true, 47}, {59, 20, false, 8},
        {60, 30, true, 30}, {60, 8, true, 0},   {60, 37, true, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.after, hover(c.room, c.before, c.onDoor ? 350 : 50, c.onDoor ? 250 : 50))
            << "room " << c.room << " from cursor " << c.before << (c.onDoor ? " on" : " off") << " the door";
    // Temple1's second door shows the hand; Temple2's the arrow once solved.
    EXPECT_EQ(9, hover(58, 8, 550, 250));
    runLua(room(59), "LF.templeDoor2 = true");
    EXPECT_EQ(0, hover(59, 8, 350, 250));
    // A disabled door never counts.
    sprite::ButtonMixin::fromSprite(room(25)->getSprite("DoorToTrailhead"))->setEnabled(false);
    EXPECT_EQ(8, hover(25, 5, 350, 250));
}

TEST_F(SceneRoomsTest, TheOldTownBringsTheMusicBackWhateverRoomSilencedIt)
{
    canvas->setNoMusic(true);
    room(3)->activate();
    EXPECT_FALSE(canvas->isNoMusic());
}

TEST_F(SceneRoomsTest, TheStoreMakesItsDarkOverlayOnceAndFadesItEachVisit)
{
    auto* store = static_cast<KnickKnackStore*>(room(4));
    EXPECT_EQ(nullptr, store->getDarkOverlay());
    enter(4);
    sprite::SpriteBase* dark = store->getDarkOverlay();
    ASSERT_NE(nullptr, dark);
    EXPECT_NE(canvas->getSprite("Dim"), dark) << "a clone, not the canvas's own";
    sprite::SpriteBase* top = store->childAt(store->getChildCount() - 1);
    EXPECT_EQ(dark, top) << "on top";
    top->release();
    frames(KnickKnackStore::DARK_FADE_FRAMES + 2);
    EXPECT_FALSE(dark->isVisible());
    store->onEnter();
    EXPECT_EQ(dark, store->getDarkOverlay()) << "the same clone again";
    EXPECT_TRUE(dark->isVisible());
    EXPECT_EQ(255, dark->getAlpha());
}

TEST_F(SceneRoomsTest, AHiddenFlowerBurstsOnceAndNotWhileItGrows)
{
    auto* house = static_cast<ProfessorHouse*>(room(1));
    enter(1);
    clearRecords();
    EXPECT_EQ("", runLua(house, "self:clickOnHiddenFlower(1)").substr(0, 6));
    EXPECT_EQ(std::vector<int>{ProfessorHouse::SOUND_FLOWER}, soundsPlayed());
    sprite::SpriteBase* flower = house->getSprite("HiddenFlower_1");
    EXPECT_EQ(flower, house->getLastFlower());
    clearRecords();
    house->clickOnHiddenFlower(1);
    EXPECT_TRUE(soundsPlayed().empty()) << "growing, and the flower found last";
    house->clickOnHiddenFlower(2);
    EXPECT_EQ(std::vector<int>{ProfessorHouse::SOUND_FLOWER}, soundsPlayed());
    EXPECT_EQ(house->getSprite("HiddenFlower_2"), house->getLastFlower());
    frames(ProfessorHouse::FLOWER_EFFECT_FRAMES + 2);
    clearRecords();
    house->clickOnHiddenFlower(2);
    house->clickOnHiddenFlower(9);
    EXPECT_TRUE(soundsPlayed().empty()) << "the flower found last, and no such flower";
    house->clickOnHiddenFlower(1);
    EXPECT_EQ(std::vector<int>{ProfessorHouse::SOUND_FLOWER}, soundsPlayed());
    house->onEnter();
    EXPECT_EQ(nullptr, house->getLastFlower());
    expectLuaErrors(house, {{"self:clickOnHiddenFlower(1, 2)", "too many arguments"},
                            {"hv.ProfessorHouse.clickOnHiddenFlower({}, 1)", "not a Sprite object"}});
}

TEST_F(SceneRoomsTest, KeypadButtonsShowAFramePerStateFireOnReleaseAndHitOnTheirPixels)
{
    platform::DebugCapture debug;
    const struct {
        int room;
        std::vector<const char*> buttons;
    } cases[] = {
        {54, {"Button_7"}},
        {53,
         {"number0_ArrowUp", "number0_ArrowDown", "number1_ArrowUp", "number1_ArrowDown", "number2_ArrowUp",
          "number2_ArrowDown", "number3_ArrowUp", "number3_ArrowDown", "LookBtn"}},
    };
    using B = sprite::ButtonMixin;
    for (const auto& c : cases) {
        Room* keypad = room(c.room);
        for (const char* name : c.buttons) {
            auto* key = static_cast<sprite::ButtonSprite*>(keypad->getSprite(name));
            ASSERT_NE(nullptr, key) << name;
            EXPECT_EQ(0, key->getStateFrame(B::NORMAL)) << name;
            EXPECT_EQ(1, key->getStateFrame(B::ROLLOVER)) << name;
            EXPECT_EQ(2, key->getStateFrame(B::PRESSED)) << name;
            EXPECT_EQ(3, key->getStateFrame(B::DISABLED)) << name;
            EXPECT_EQ(sprite::ButtonSprite::NO_FRAME, key->getStateFrame(B::SELECTED)) << name;
            EXPECT_TRUE(key->getFireOnRelease()) << name;
            key->setState(B::NORMAL);
            EXPECT_TRUE(key->hittest(key->left() + 5, key->top() + 5)) << name;
            EXPECT_FALSE(key->hittest(key->left() + 35, key->top() + 5)) << name << ": the clear half of the frame";
        }
        canvas->setPuzzleActive(true);
        keypad->onExit();
        EXPECT_FALSE(canvas->isPuzzleActive()) << c.room;
    }
}

TEST_F(SceneRoomsTest, TheMiniGameRoomsRunInPuzzleModeWithTheirInstructions)
{
    enter(64);
    EXPECT_TRUE(canvas->isPuzzleActive());
    EXPECT_TRUE(canvas->isSpriteVisible("GameInsQuestionMark"));
    int game = 0, x = 0, y = 0;
    room(64)->getGameInstructionsInfo(game, x, y);
    EXPECT_EQ(16, game);
    room(64)->onExit();
    EXPECT_FALSE(canvas->isPuzzleActive());
    EXPECT_EQ(-1, canvas->getGameInstructionsGame());
    Room* waterfall = room(37);
    EXPECT_EQ("", runLua(waterfall, "self:showGameInstructions()").substr(0, 6));
    EXPECT_EQ("", runLua(waterfall, "self:hideGameInstructions()").substr(0, 6));
    EXPECT_FALSE(canvas->isSpriteVisible("GameInsQuestionMark"));
    EXPECT_EQ(-1, canvas->getGameInstructionsGame());
    expectLuaErrors(waterfall, {{"self:showGameInstructions(1)", "too many arguments"},
                                {"hv.Waterfall.hideGameInstructions({})", "not a Sprite object"}});
}

} // namespace
} // namespace scenetest
