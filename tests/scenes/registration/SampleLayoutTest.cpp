// SampleLayoutTest.cpp: in every room of the sample game, nothing a player
// must click or read lies under something else they can click: the exits,
// the room's buttons and its pick-ups keep clear of one another, of the
// pause button, the instructions' question mark, the inventory bar and the
// hint paper's tab, and so do the readouts a mini-game keeps on the screen;
// the island's words fit on the screen; every exit's name stays in its box,
// and the task paper keeps its tasks above the bar.
#include "game/balloons/TalkBalloon.h"
#include "game/characters/Character.h"
#include "game/inventory/Inventory.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/images/ImageSprite.h"
#include "windowing/images/ImageBase.h"
#include "tests/scenes/support/SceneFixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace scenetest {
namespace {

struct LayoutBox {
    std::string name;
    util::RectangleNM bounds;
    // The room's own (not the canvas's).
    bool own = true;
};

// What a mini-game shows the player all through its play: the turn labels
// and the air left.
const char* const kLayoutReadouts[] = {"AITurnBG", "PlayerTurnBG", "ClamTankOverlay"};

bool layoutBoxesMeet(const util::RectangleNM& a, const util::RectangleNM& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool layoutBoxHolds(const util::RectangleNM& outer, const util::RectangleNM& inner)
{
    return outer.x <= inner.x && outer.y <= inner.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

// Two boxes in each other's way. Of the room's own, one inside the other is
// one place by design: an exit and the button that marks it, an area and
// its buttons, two exits or buttons shown one at a time.
bool layoutInTheWay(const LayoutBox& a, const LayoutBox& b)
{
    if (!layoutBoxesMeet(a.bounds, b.bounds))
        return false;
    return !(a.own && b.own && (layoutBoxHolds(a.bounds, b.bounds) || layoutBoxHolds(b.bounds, a.bounds)));
}

// On the screen at all: templates and hidden pieces wait beside it.
bool layoutOnScreen(const util::RectangleNM& r)
{
    return r.width > 0 && r.height > 0 && r.x < 800 && r.y < 600 && r.x + r.width > 0 && r.y + r.height > 0;
}

class SampleLayoutTest : public SceneFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGameSeenInstructions());
    }
    // The box of one of the canvas's own sprites.
    void addCanvasBox(std::vector<LayoutBox>& boxes, const char* name)
    {
        sprite::SpriteBase* s = canvas->getSprite(name);
        ASSERT_NE(nullptr, s) << name;
        boxes.push_back({name, *s->getBounds(), false});
    }
};

TEST_F(SampleLayoutTest, NothingAPlayerMustClickIsCoveredInAnyRoom)
{
    for (int index = 0; index < LanternfieldCanvas::ROOM_COUNT; ++index) {
        Room* r = room(index);
        ASSERT_NE(nullptr, r);
        const std::string roomName = r->getName().c_str();
        // What the player clicks: the exits, the buttons and the pick-ups.
        std::vector<LayoutBox> clickable;
        for (int i = 0; i < r->getDoorCount(); ++i) {
            if (DoorSprite* door = r->getDoor(i))
                clickable.push_back({"Door" + std::to_string(i), *door->getBounds()});
        }
        const int exits = int(clickable.size());
        for (int i = 0; i < r->getChildCount(); ++i) {
            sprite::SpriteBase* child = r->childAt(i);
            const std::string name = child->getName().c_str();
            const util::RectangleNM bounds = *child->getBounds();
            // A button the room starts disabled stands in for another until
            // the play swaps them (the receiver on and off its hook).
            sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(child);
            if (!child->isInstanceOf("DoorSprite") && child->isVisible() && layoutOnScreen(bounds) &&
                ((button && button->isEnabled()) || name.rfind("Item_", 0) == 0))
                clickable.push_back({name, bounds});
            child->release();
        }
        std::vector<LayoutBox> readouts;
        for (const char* name : kLayoutReadouts) {
            if (sprite::SpriteBase* readout = r->getSprite(name))
                readouts.push_back({name, *readout->getBounds(), false});
        }
        // The canvas's own: the bar and the paper's tab along the bottom and
        // the pause button in every room the story is played in, the
        // question mark in the games that have instructions.
        if (!r->isInstanceOf("Vignette") && !r->isInstanceOf("VignetteAnimate")) {
            addCanvasBox(clickable, "Quit");
            // The paper's tab: the part above the bar, its arrow on it.
            addCanvasBox(clickable, "InventoryHintPaper");
            clickable.back().bounds.height = 520 - clickable.back().bounds.y;
            // Raised, the paper may reach up to below the exits along the
            // top, and stays so into the next room: it covers no exit.
            util::RectangleNM raised = clickable.back().bounds;
            raised.y = 100;
            raised.height = 520 - raised.y;
            for (int i = 0; i < exits; ++i) {
                EXPECT_FALSE(layoutBoxesMeet(raised, clickable[size_t(i)].bounds))
                    << roomName << ": the raised paper covers " << clickable[size_t(i)].name;
            }
            clickable.push_back({"Inventory bar", util::RectangleNM(0, 520, 800, 80), false});
            int game = -1, x = 0, y = 0;
            r->getGameInstructionsInfo(game, x, y);
            if (game != -1)
                addCanvasBox(clickable, "GameInsQuestionMark");
        }
        for (size_t a = 0; a < clickable.size(); ++a) {
            for (size_t b = a + 1; b < clickable.size(); ++b) {
                EXPECT_FALSE(layoutInTheWay(clickable[a], clickable[b]))
                    << roomName << ": " << clickable[a].name << " and " << clickable[b].name << " overlap";
            }
            for (const LayoutBox& readout : readouts) {
                EXPECT_FALSE(layoutInTheWay(clickable[a], readout))
                    << roomName << ": " << clickable[a].name << " covers " << readout.name;
            }
        }
    }
}

// The island's words as the people there say them (the ranger in the welcome
// centre, the player's thoughts in the chapter's rooms): each balloon lies
// wholly on the screen.
TEST_F(SampleLayoutTest, TheIslandsWordsFitOnTheScreen)
{
    const struct {
        int room;
        const char* who;
        const char* id;
    } cases[] = {
        {26, "ParkRanger", "STR_PARKRANGER_1"},
        {26, "ParkRanger", "STR_PARKRANGER_2"},
        {26, "ParkRanger", "STR_PARKRANGER_3"},
        {26, "ParkRanger", "STR_PARKRANGER_4"},
        {25, "PlayerCharacter", "STR_THINK_LANDING_PIER"},
        {27, "PlayerCharacter", "STR_THINK_BOOKSHELF_RIDDLE"},
        {27, "PlayerCharacter", "STR_THINK_CLOCK_KEY"},
        {27, "PlayerCharacter", "STR_THINK_DRAWER_LOCKED"},
        {27, "PlayerCharacter", "STR_THINK_DRAWER_KEY"},
        {27, "PlayerCharacter", "STR_THINK_DRAWER_MAP"},
        {31, "PlayerCharacter", "STR_THINK_GOLDEN_DOOR"},
        {31, "PlayerCharacter", "STR_THINK_GOLDEN_DOOR_1"},
        {34, "PlayerCharacter", "STR_THINK_INLAY_SOLVED"},
        {34, "PlayerCharacter", "STR_THINK_INLAY_GEM"},
        {32, "PlayerCharacter", "STR_THINK_BRIDGE_UP"},
        {33, "PlayerCharacter", "STR_THINK_SANCTUM_NORTH"},
        {33, "PlayerCharacter", "STR_THINK_SANCTUM_BOARD_DONE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        enter(c.room);
        runLua(room(c.room), std::string("characterNamed(self, '") + c.who + "'):talk('" + c.id + "')");
        world.stepFrames(2);
        auto* speaker = static_cast<Character*>(canvas->getSprite(c.who) ? canvas->getSprite(c.who)
                                                                           : room(c.room)->getSprite(c.who));
        ASSERT_NE(nullptr, speaker);
        ASSERT_TRUE(speaker->isTalking());
        ASSERT_NE(nullptr, speaker->getTalkBalloon());
        const util::RectangleNM bounds = *speaker->getTalkBalloon()->getBounds();
        EXPECT_TRUE(bounds.x >= 0 && bounds.y >= 0 && bounds.x + bounds.width <= 800 && bounds.y + bounds.height <= 600)
            << bounds.x << ", " << bounds.y << ", " << bounds.width << " x " << bounds.height;
        speaker->stopTalk();
    }
}

// What the tasks of the fourth to sixth chapters send the player to click
// lies clear of the task paper, also while the paper is raised (as it is
// for a moment when a new task comes), and so does the mansion's keypad.
TEST_F(SampleLayoutTest, TheTaskPaperLeavesWhatTheLaterTasksAskForInSight)
{
    const struct {
        const char* room;
        const char* sprite;
    } asked[] = {
        {"OuterVillage_3", "Canoe"}, {"OuterVillage_3", "BoardPeg"}, {"MansionStudy", "Safe"},
        {"BehindDiveDock", "RaceBoat"}, {"Dock", "IslandBoat"},        {"AmuletDoor", "AmuletSeal"},
        {"GoldenRoom", "GoldChest"},    {"GoldenRoom", "LastLantern"},
    };
    util::RectangleNM raised = *canvas->getSprite("InventoryHintPaper")->getBounds();
    raised.y = 100;
    raised.height = 520 - raised.y;
    for (const auto& a : asked) {
        Room* r = nullptr;
        for (int index = 0; index < LanternfieldCanvas::ROOM_COUNT && !r; ++index) {
            if (room(index)->getName().equals(a.room))
                r = room(index);
        }
        ASSERT_NE(nullptr, r) << a.room;
        sprite::SpriteBase* s = r->getSprite(a.sprite);
        ASSERT_NE(nullptr, s) << a.room << ": " << a.sprite;
        EXPECT_FALSE(layoutBoxesMeet(raised, *s->getBounds())) << a.room << ": the paper covers " << a.sprite;
    }
    // The mansion's keypad, with the frame of its panel 30 pixels round its
    // keys, stands clear of the paper too.
    Room* keypad = room(54);
    for (const char* key : {"Button_3", "Button_6", "Button_9", "EnterButton"}) {
        util::RectangleNM panel = *keypad->getSprite(key)->getBounds();
        panel.x -= 30;
        panel.y -= 30;
        panel.width += 60;
        panel.height += 60;
        EXPECT_FALSE(layoutBoxesMeet(raised, panel)) << "the paper covers the keypad at " << key;
    }
}

// Every exit's name stays inside its framed box: the box's frame (2 pixels,
// 4 in from its edge), the 2 pixels inside it and what lies outside show
// none of the name's light ink (the rooms' pictures read from the archive).
TEST_F(SampleLayoutTest, EveryExitsNameStaysInsideItsBox)
{
    auto ink = [](uint32_t p) {
        return ((p >> 16) & 0xFF) > 0xE8 && ((p >> 8) & 0xFF) > 0xD8 && (p & 0xFF) > 0xB8;
    };
    for (int index = 0; index < LanternfieldCanvas::ROOM_COUNT; ++index) {
        Room* r = room(index);
        sprite::SpriteBase* background = r->getSprite("Background");
        if (!background || !background->isInstanceOf("ImageSprite"))
            continue;
        window::ImageBase* image = static_cast<sprite::ImageSprite*>(background)->getImage();
        const uint32_t* pixels = image ? image->getPixels() : nullptr;
        if (!pixels)
            continue;
        const int w = image->getWidth(), h = image->getHeight();
        for (int i = 0; i < r->getDoorCount(); ++i) {
            DoorSprite* door = r->getDoor(i);
            if (!door)
                continue;
            const util::RectangleNM b = *door->getBounds();
            int stray = 0;
            for (int y = std::max(0, b.y + 4); y < std::min(h, b.y + b.height - 4); ++y) {
                for (int x = b.x; x < b.x + b.width; ++x) {
                    const bool margin = x < b.x + 8 || x >= b.x + b.width - 8;
                    if (margin && x >= 0 && x < w && ink(pixels[size_t(y) * size_t(w) + size_t(x)]))
                        ++stray;
                }
            }
            EXPECT_EQ(0, stray) << r->getName().c_str() << ": the name of Door" << i << " runs over its box";
        }
    }
}

// The how-to-play dialog's version stands well inside its frame, clear of
// the page and the buttons.
TEST_F(SampleLayoutTest, TheHowToPlayVersionStandsInsideItsFrame)
{
    sprite::SpriteBase* dialog = canvas->getSprite("Instructions");
    ASSERT_NE(nullptr, dialog);
    auto* panel = static_cast<sprite::DialogSprite*>(dialog);
    sprite::SpriteBase* version = panel->getSprite("version");
    ASSERT_NE(nullptr, version);
    const util::RectangleNM v = *version->getBounds();
    // The frame is 4 pixels; the label keeps 8 more from it.
    const util::RectangleNM inside(12, 12, dialog->width() - 24, dialog->height() - 24);
    EXPECT_TRUE(layoutBoxHolds(inside, v)) << v.x << "," << v.y << " " << v.width << "x" << v.height;
    for (const char* part : {"pg1", "bInstructionsBack", "bInstructionsNext", "bInstructionsClose"})
        EXPECT_FALSE(layoutBoxesMeet(v, *panel->getSprite(part)->getBounds())) << part;
}

// Raised by the player, the task paper shows every line of its list on the
// sheet, between its heading and the inventory bar: for each chapter, its
// two longest tasks together; and it goes down as the player walks on.
TEST_F(SampleLayoutTest, TheTaskPapersTextStaysOnThePaperAboveTheBar)
{
    enter(0);
    frames(30);
    Inventory* inventory = canvas->getInventory();
    sprite::SpriteBase* paper = canvas->getSprite("InventoryHintPaper");
    sprite::SpriteBase* text = canvas->getSprite("HintText");
    auto resting = [inventory] { return inventory->getHintState() == Inventory::HINTS_RESTING; };
    for (int chapter = 1; chapter <= 6; ++chapter) {
        SCOPED_TRACE(chapter);
        // Every task off the paper, then the chapter's two longest on it.
        const std::string ids = runLua(room(0), "for _, tasks in ipairs(LF_TASKS) do for _, task in ipairs(tasks) do "
                                                "LF_removeHint(task[1]) end end "
                                                "local t = {} for _, task in ipairs(LF_TASKS[" +
                                                    std::to_string(chapter) +
                                                    "]) do t[#t + 1] = task[1] end "
                                                    "table.sort(t, function(a, b) return #hv.getResourceString("
                                                    "LF_hintText(a)) > #hv.getResourceString(LF_hintText(b)) end) "
                                                    "LF_addHint(t[1]) LF_addHint(t[2]) return t[1] .. ' ' .. t[2]");
        SCOPED_TRACE(ids);
        ASSERT_TRUE(stepUntil(resting));
        clickAt(paper->left() + paper->width() / 2, 500);
        ASSERT_TRUE(stepUntil([inventory] { return inventory->getHintState() == Inventory::HINTS_RAISED; }));
        const util::RectangleNM t = *text->getBounds();
        const util::RectangleNM p = *paper->getBounds();
        EXPECT_GE(t.y, p.y + 30) << "below the paper's heading";
        EXPECT_GE(t.x, p.x);
        EXPECT_LE(t.x + t.width, p.x + p.width);
        EXPECT_LE(t.y + t.height, 520) << "above the inventory bar";
        // In the next room the paper is down again, clear of its people.
        enter(chapter % 2 == 1 ? 2 : 0);
        EXPECT_TRUE(resting()) << "the raised paper went down as the room changed";
        EXPECT_GT(paper->top(), p.y);
        ASSERT_TRUE(stepUntil(resting));
    }
}

} // namespace
} // namespace scenetest
