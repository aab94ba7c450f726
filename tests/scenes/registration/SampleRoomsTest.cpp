// SampleRoomsTest.cpp: the sample game's scene rooms, sanctums, wind race,
// dive dock and clock close-up load as their classes with every sprite
// they look for, the wind race is won with the mouse, the bookshelf's drawer
// is opened with its key and its clock shows the time its close-up shows,
// the professor asks for what his errand still lacks, the market's flowers
// say whom they are for, the machete says
// where it is no use and cuts the vines, the volcano and the waterfalls are
// drawn as what they are and the waterfall's spray stays over its pool.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/characters/Character.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "scenes/bookshelf/Bookshelf.h"
#include "scenes/clock/ClockCU.h"
#include "scenes/windrace/WindRace.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/images/ImageSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/game/support/SampleSession.h"
#include "tests/scenes/support/SamplePuzzles.h"
#include "windowing/images/ImageBase.h"
#include "tests/scenes/support/SceneFixture.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace scenetest {
namespace {

class SampleRoomsTest : public SceneFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGameSeenInstructions());
    }
    void expectCleanRun()
    {
        EXPECT_EQ(std::string::npos, world.debugText().find(": no sprite ")) << world.debugText();
        EXPECT_EQ(std::string::npos, world.debugText().find(" is no ")) << world.debugText();
        EXPECT_EQ(std::string::npos, world.debugText().find("no grid is built")) << world.debugText();
        EXPECT_EQ(std::string::npos, world.debugText().find("lacks pattern numbers")) << world.debugText();
        EXPECT_TRUE(world.boxes().empty()) << world.boxes()[0].caption << ": " << world.boxes()[0].text;
    }
    gametest::SamplePlayer player{world, canvas};
};

TEST_F(SampleRoomsTest, EveryRoomIsItsClassAndEntersCleanly)
{
    const std::pair<int, const char*> rooms[] = {
        {1, "ProfessorHouse"}, {3, "OldTownConnector"}, {4, "KnickKnackStore"}, {14, "DiveDock"},
        {25, "Landing"},       {28, "Trailhead"},       {33, "InnerSanctum"},   {35, "OuterSanctum"},
        {37, "Waterfall"},     {53, "ViewFinder"},      {54, "MansionKeypad"},  {56, "WindRace"},
        {58, "Temple1"},       {59, "Temple2"},         {60, "Temple3"},        {64, "Lures"},
    };
    for (const auto& r : rooms)
        EXPECT_TRUE(room(r.first)->isInstanceOf(r.second)) << r.second;
    EXPECT_TRUE(canvas->getSprite("ClockCU")->isInstanceOf("ClockCU"));
    auto* clock = static_cast<ClockCU*>(canvas->getSprite("ClockCU"));
    EXPECT_NE(nullptr, clock->getHourHand());
    EXPECT_NE(nullptr, clock->getMinuteHand());
    for (int index : {14, 33, 35, 1, 54}) {
        enter(index);
        world.stepFrames(5);
    }
    expectCleanRun();
}

TEST_F(SampleRoomsTest, TheWindRaceIsWonByTurningItsThreeGreenWindsocks)
{
    auto* race = static_cast<WindRace*>(room(56));
    ASSERT_TRUE(race->hasGrid());
    enter(56);
    // Nothing to click lies over a buoy or its windsock, and the harbour's
    // windsock keeps off the exit.
    auto meet = [](const util::RectangleNM& a, const util::RectangleNM& b) {
        return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
    };
    std::vector<std::pair<std::string, util::RectangleNM>> above = {
        {"the question mark", *canvas->getSprite("GameInsQuestionMark")->getBounds()},
        {"the pause button", *canvas->getSprite("Quit")->getBounds()}};
    for (int i = 0; i < race->getDoorCount(); ++i)
        above.push_back({"exit " + std::to_string(i), *race->getDoor(i)->getBounds()});
    for (const char* name : {"ResetButton", "CloseButton"})
        above.push_back({name, *race->getSprite(name)->getBounds()});
    for (int b = 0; b < WindRace::BUOYS; ++b) {
        const WindRace::BuoyInfo& buoy = race->buoy(b);
        for (sprite::SpriteBase* part : {buoy.fixedSprite, buoy.turnSprite, static_cast<sprite::SpriteBase*>(
                                                                                buoy.windsocks[buoy.direction])}) {
            for (const auto& thing : above) {
                if (part) {
                    EXPECT_FALSE(meet(thing.second, *part->getBounds())) << thing.first << " over buoy " << b;
                }
            }
        }
    }
    for (int i = 0; i < race->getDoorCount(); ++i)
        EXPECT_FALSE(meet(*race->getSprite("Windsock_Red_4")->getBounds(), *race->getDoor(i)->getBounds()));
    // The harbour's windsock by the exit is no triangle of the course.
    auto* harbour = static_cast<sprite::ImageSprite*>(race->getSprite("Windsock_Red_4"));
    auto* courseSock = static_cast<sprite::ImageSprite*>(race->getSprite("Windsock_Red_1"));
    window::ImageBase* harbourImage = harbour->getImage();
    window::ImageBase* courseImage = courseSock->getImage();
    ASSERT_TRUE(harbourImage && harbourImage->getPixels() && courseImage && courseImage->getPixels());
    const bool sameLook = harbourImage->getWidth() == courseImage->getWidth() &&
                          harbourImage->getHeight() == courseImage->getHeight() &&
                          std::equal(harbourImage->getPixels(),
                                     harbourImage->getPixels() + harbourImage->getWidth() * harbourImage->getHeight(),
                                     courseImage->getPixels());
    EXPECT_FALSE(sameLook) << "the harbour's windsock looks like a red windsock of the course";
    ASSERT_TRUE(stepUntil([race] {
        return sprite::ButtonMixin::fromSprite(race->buoy(7).turnSprite)->isEnabled();
    }));
    // Buoy 17 from left to right, 13 from down to left, 7 from right to up.
    for (const auto& turns : {std::pair<int, int>{17, 2}, {13, 1}, {7, 3}}) {
        for (int i = 0; i < turns.second; ++i)
            world.click(WindRace::centreX(turns.first), WindRace::centreY(turns.first));
    }
    EXPECT_EQ(WindRace::RIGHT, race->buoy(17).direction);
    EXPECT_EQ(WindRace::LEFT, race->buoy(13).direction);
    EXPECT_EQ(WindRace::UP, race->buoy(7).direction);
    // The script takes the winner back to the jetty.
    ASSERT_TRUE(stepUntil([this, race] { return runLua(race, "return LF.windRaceWon") == "true"; }, 800));
    expectCleanRun();
}

// The wind race's help says what the race does: it starts by itself, its
// green windsocks turn only once "Go!" shows, so they are set while the boat
// sails out to the start buoy; a click before that leaves them as they are,
// and a click on a red one turns nothing, which the line under the course
// says; large words over the course say why the race starts again once the
// boat sails off the course, until its "Go!"; and, entering a race already
// won, the line says that it is won.
TEST_F(SampleRoomsTest, TheWindRacesHelpSaysItsWindsocksTurnOnlyFromGo)
{
    const std::string help = pictureWords("ins/windrace");
    ASSERT_FALSE(help.empty()) << "the help's description is read from the data";
    // "Go!" shows some four seconds before the boat reaches the start buoy,
    // and a windsock turns until the boat reaches it: the help says so, and
    // not that they are all set before the start buoy.
    for (const char* words :
         {"the race starts by", "from 'go!' a click turns", "a quarter turn clockwise", "until the boat reaches it"})
        EXPECT_NE(std::string::npos, help.find(words)) << words << ": " << help;
    EXPECT_EQ(std::string::npos, help.find("while the boat sails out")) << help;
    auto* race = static_cast<WindRace*>(room(56));
    enter(56);
    auto* line = static_cast<sprite::NewFontSprite*>(race->getSprite("RaceWord"));
    ASSERT_TRUE(line && line->isVisible());
    auto said = [line] { return std::string(line->getText().c_str()); };
    auto text = [](const char* id) { return std::string(lang::String::loadText(id).c_str()); };
    const int before = race->buoy(17).direction;
    world.click(WindRace::centreX(17), WindRace::centreY(17));
    EXPECT_EQ(before, race->buoy(17).direction) << "turned before 'Go!'";
    EXPECT_EQ(text("STR_RACE_WAIT_GO"), said());
    ASSERT_TRUE(stepUntil([race] { return race->getSprite("GoText")->isVisible(); }));
    EXPECT_EQ("", said());
    world.click(WindRace::centreX(12), WindRace::centreY(12));
    EXPECT_EQ(text("STR_RACE_FIXED"), said()) << "a red windsock clicked";
    world.click(WindRace::centreX(17), WindRace::centreY(17));
    EXPECT_EQ((before + 1) % 4, race->buoy(17).direction) << "not turned a quarter clockwise after 'Go!'";
    // Sailing on up the middle, the boat leaves the course at the top.
    auto* news = static_cast<sprite::NewFontSprite*>(race->getSprite("RaceNews"));
    ASSERT_NE(nullptr, news);
    ASSERT_TRUE(stepUntil([news] { return news->isVisible(); }, 1000));
    EXPECT_EQ(text("STR_RACE_OFF_COURSE"), news->getText().c_str());
    EXPECT_EQ(WindRace::STATE_LAUNCH, race->getState()) << "the race starts again";
    ASSERT_TRUE(stepUntil([race] { return race->getSprite("GoText")->isVisible(); }));
    EXPECT_FALSE(news->isVisible()) << "still said at 'Go!'";
    EXPECT_EQ("", said());
    runLua(race, "LF.windRaceWon = true");
    enter(56);
    EXPECT_EQ(text("STR_RACE_WON_BEFORE"), said());
}

// The exit of the room that leads to the target room is open.
bool sampleExitOpen(Room* room, int target)
{
    for (int i = 0; i < room->getDoorCount(); ++i) {
        DoorSprite* door = room->getDoor(i);
        if (door && door->getTargetRoom() == target)
            return door->isEnabled();
    }
    ADD_FAILURE() << room->getName().c_str() << " has no exit to " << target;
    return false;
}

TEST_F(SampleRoomsTest, TheNightsLockedWaysOpenWithTheirPuzzlesInTheFifthChapterOnly)
{
    // Room, the exit's target, and the story flag that opens it.
    struct Gate {
        int room;
        int target;
        const char* flag;
    };
    const Gate gates[] = {
        {43, 50, "mansionDoorOpen"},
        {50, 51, "story.studyKeyTaken"},
        {45, 49, "safeOpened"},
        {45, 55, "circuitBoardSolved"},
    };
    for (int chapter : {5, 6}) {
        canvas->getProgress()->chapter = chapter;
        for (const Gate& gate : gates) {
            runLua(room(gate.room), std::string("LF.") + gate.flag + " = false");
            enter(gate.room);
            world.stepFrames(2);
            EXPECT_EQ(chapter != 5, sampleExitOpen(room(gate.room), gate.target))
                << "chapter " << chapter << ", room " << gate.room << " to " << gate.target;
            runLua(room(gate.room), std::string("LF.") + gate.flag + " = true");
            enter(gate.room);
            world.stepFrames(2);
            EXPECT_TRUE(sampleExitOpen(room(gate.room), gate.target)) << gate.flag;
        }
    }
    expectCleanRun();
}

TEST_F(SampleRoomsTest, EachChapterKeepsToItsOwnPlaces)
{
    // Room, the exit's target, and the chapters in which that way is open.
    struct Way {
        int room;
        int target;
        std::vector<int> open;
    };
    const Way ways[] = {
        {2, 10, {2}},    // the market place to the tavern square
        {3, 13, {2}},    // the old town to the mansion gate
        {2, 0, {1}},     // the market place back to the dock
        {3, 4, {1}},     // the old town to the knick knack store
        {0, 2, {1}},     // the dock to the market place
        {14, 23, {}},    // the dive dock to the interlude
        {25, 23, {}},    // the island's landing to the interlude
        {32, 29, {3}},   // the bridge back to the jungle
        {48, 42, {}},    // the tavern square at night to the hidden village
        {57, 56, {}},    // the island landing to the wind race
    };
    for (int chapter = 1; chapter <= 6; ++chapter) {
        canvas->getProgress()->chapter = chapter;
        for (const Way& way : ways) {
            enter(way.room);
            const bool open = std::find(way.open.begin(), way.open.end(), chapter) != way.open.end();
            EXPECT_EQ(open, sampleExitOpen(room(way.room), way.target))
                << "chapter " << chapter << ", room " << way.room << " to " << way.target;
        }
    }
    expectCleanRun();
}

#ifdef HV_SOURCE_DIR
// The rooms played in each chapter (the slides' rooms, the ferry pier's
// interlude and the story's opening belong to none): the chapter's own
// rooms by index, and those of another that it walks through again.
std::vector<int> sampleChapterRooms(int chapter)
{
    const int first[] = {0, 10, 25, 35, 43, 57, 65};
    const std::vector<int> again[] = {{}, {2, 3}, {}, {32, 33}, {}, {0, 6}};
    std::vector<int> rooms = again[chapter - 1];
    for (int index = first[chapter - 1]; index < first[chapter]; ++index) {
        if (index != 8 && index != 9 && index != 23 && index != 24)
            rooms.push_back(index);
    }
    return rooms;
}

// The names the rooms' pictures write, by the room they name: the rooms'
// titles and the names of their exits but those `named` leaves out; and each
// exit's name by its room and its place.
struct SampleExitNames {
    std::map<std::string, int> roomNamed;
    std::map<std::pair<int, int>, std::string> exitAt[LanternfieldCanvas::ROOM_COUNT];
};
SampleExitNames sampleExitNames(const std::function<Room*(int)>& room, const std::function<bool(int, int)>& named)
{
    SampleExitNames names;
    for (int index = 0; index < LanternfieldCanvas::ROOM_COUNT; ++index) {
        std::ifstream in(std::string(HV_SOURCE_DIR) + "/data/pictures/rooms/" + room(index)->getName().c_str() + ".txt");
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            std::string op;
            int x = 0, y = 0;
            words >> op >> x >> y;
            const size_t open = line.find('"'), close = line.rfind('"');
            if (open == std::string::npos || close <= open)
                continue;
            const std::string text = line.substr(open + 1, close - open - 1);
            if (op == "label")
                names.roomNamed[text] = index;
            else if (op == "exit")
                names.exitAt[index][{x, y}] = text;
        }
    }
    for (int index = 0; index < LanternfieldCanvas::ROOM_COUNT; ++index) {
        for (int d = 0; d < room(index)->getDoorCount(); ++d) {
            DoorSprite* door = room(index)->getDoor(d);
            auto name = names.exitAt[index].find({door->left(), door->top()});
            if (named(index, d) && name != names.exitAt[index].end() && !names.roomNamed.count(name->second))
                names.roomNamed[name->second] = door->getTargetRoom();
        }
    }
    return names;
}

// In every chapter, each way out of the rooms it plays in, as the chapter
// starts, opens, or a click on it makes the player say why it is shut. A way
// the story opens in no chapter names on its box no room that only another
// chapter plays in (the place it stops at, or a room of a chapter its own
// room is played in too).
TEST_F(SampleRoomsTest, EveryChaptersWaysOpenOrSayWhyTheyAreShut)
{
    // The ways the story's table opens in no chapter.
    auto never = [this](int index, int d) {
        Room* r = room(index);
        return runLua(r, std::string("local w = LF_WAYS['") + r->getName().c_str() + "'] w = w and w['" +
                             room(r->getDoor(d)->getTargetRoom())->getName().c_str() +
                             "'] return tostring(w ~= nil and #w == 0)") == "true";
    };
    SampleExitNames names =
        sampleExitNames([this](int index) { return room(index); }, [&never](int index, int d) { return !never(index, d); });
    auto playedIn = [](int index) {
        std::set<int> chapters;
        for (int c = 1; c <= 6; ++c) {
            const std::vector<int> rooms = sampleChapterRooms(c);
            if (std::find(rooms.begin(), rooms.end(), index) != rooms.end())
                chapters.insert(c);
        }
        return chapters;
    };
    Character* self = canvas->getPlayerCharacter();
    int shut = 0;
    for (int chapter = 1; chapter <= 6; ++chapter) {
        canvas->getProgress()->chapter = chapter;
        for (int index : sampleChapterRooms(chapter)) {
            Room* r = room(index);
            const std::string name = r->getName().c_str();
            // The cave's chambers draw their ways as passages.
            for (int d = 0; d < r->getDoorCount() && !r->isInstanceOf("CaveMaze"); ++d) {
                enter(index);
                world.stepFrames(2);
                self->stopTalk();
                world.stepFrames(30);
                DoorSprite* door = r->getDoor(d);
                const int target = door->getTargetRoom();
                const std::string way = "chapter " + std::to_string(chapter) + ": " + name + " to " +
                                        room(target)->getName().c_str();
                const int x = door->left() + door->width() / 2, y = door->top() + door->height() / 2;
                bool another = false;
                for (int o = 0; o < r->getDoorCount(); ++o)
                    another = another || (r->getDoor(o)->isEnabled() && r->getDoor(o)->hittest(x, y));
                if (door->isEnabled() || another)
                    continue;
                ++shut;
                world.click(x, y);
                world.stepFrames(2);
                EXPECT_EQ(index, canvas->getProgress()->currentRoom) << way;
                EXPECT_TRUE(self->isTalking()) << way << " is shut and says nothing";
                self->stopTalk();
                auto label = names.exitAt[index].find({door->left(), door->top()});
                if (!never(index, d) || label == names.exitAt[index].end() || !names.roomNamed.count(label->second))
                    continue;
                std::set<int> both, theirs = playedIn(names.roomNamed[label->second]), ours = playedIn(index);
                std::set_intersection(theirs.begin(), theirs.end(), ours.begin(), ours.end(),
                                      std::inserter(both, both.begin()));
                EXPECT_TRUE(theirs.empty() || !both.empty()) << way << ", shut for good, is named \"" << label->second
                                                             << "\", a room of another chapter";
            }
        }
    }
    EXPECT_LT(20, shut);
    expectCleanRun();
}
#endif

// A person's word on a thing of the story follows it: the shopkeeper's on
// the vase once it is taken, the gallery owner's on his paintings once the
// card game is won and once they are restored, the ranger's on the caves' map and its key once the map is
// taken.
TEST_F(SampleRoomsTest, ThePeoplesWordsFollowTheStory)
{
    const struct {
        int room;
        int chapter;
        const char* who;
        const char* story; // what the story comes to
        const char* before;
        const char* after;
    } words[] = {
        {4, 1, "ShopKeeper", "LF.found.Vase = true", "STR_SHOPKEEPER_2", "STR_SHOPKEEPER_4"},
        {12, 2, "GalleryOwner", "LF.galleryRestored = true", "STR_GALLERYOWNER_2", "STR_GALLERYOWNER_2_DONE"},
        {26, 3, "ParkRanger", "LF.bookshelfMapTaken = true", "STR_PARKRANGER_3", "STR_PARKRANGER_MAP_TAKEN"},
        {26, 3, "ParkRanger", "LF.bookshelfMapTaken = true", "STR_PARKRANGER_4", "STR_PARKRANGER_CAVES"},
        {12, 2, "GalleryOwner", "LF.concentrationWon = true", "STR_GALLERYOWNER_2", "STR_GALLERYOWNER_2_WON"},
    };
    for (const auto& w : words) {
        SCOPED_TRACE(w.after);
        canvas->getProgress()->chapter = w.chapter;
        runLua(room(w.room), "LF.found.Vase = false LF.galleryRestored = false LF.bookshelfMapTaken = false "
                             "LF.concentrationWon = false");
        enter(w.room);
        world.stepFrames(2);
        auto* person = static_cast<Character*>(room(w.room)->getSprite(w.who));
        ASSERT_NE(nullptr, person);
        // The texts of the lines the person starts over eight clicks on them
        // (a click on a talking figure ends the line).
        auto lines = [this, person] {
            std::set<std::string> said;
            for (int i = 0; i < 8; ++i) {
                world.click(person->left() + person->width() / 2, person->top() + person->height() / 2);
                world.stepFrames(2);
                if (person->isTalking())
                    said.insert(person->getTalkText()->getText().c_str());
            }
            return said;
        };
        const std::string before = lang::String::loadText(w.before).c_str();
        const std::string after = lang::String::loadText(w.after).c_str();
        std::set<std::string> said = lines();
        EXPECT_EQ(1u, said.count(before));
        EXPECT_EQ(0u, said.count(after));
        runLua(room(w.room), w.story);
        said = lines();
        EXPECT_EQ(0u, said.count(before)) << "a word that no longer fits";
        EXPECT_EQ(1u, said.count(after));
    }
    expectCleanRun();
}

// The professor takes the vase of water and the flowers in either order: the
// first he takes he answers with a word on the other, the second brings his
// box and ends that word.
TEST_F(SampleRoomsTest, TheProfessorAsksForTheOtherHalfOfHisErrand)
{
    const struct {
        const char* first;
        const char* second;
        const char* asks;
    } orders[] = {
        {"HiddenFlowerBouquet", "VaseWithWater", "STR_PROFESSOR_FLOWERS"},
        {"VaseWithWater", "HiddenFlowerBouquet", "STR_PROFESSOR_VASE"},
    };
    Inventory* bar = canvas->getInventory();
    for (const auto& order : orders) {
        SCOPED_TRACE(order.first);
        runLua(room(1), "LF.taken = {}");
        bar->removeItemFromList(lang::String("Box"));
        for (const char* item : {order.first, order.second})
            bar->addItemToList(lang::String(item));
        enter(1);
        world.stepFrames(2);
        auto* professor = static_cast<Character*>(room(1)->getSprite("Professor"));
        ASSERT_NE(nullptr, professor);
        player.takeFromBar(order.first);
        world.click(400, 300);
        world.stepFrames(2);
        EXPECT_FALSE(bar->hasItem(lang::String(order.first)));
        EXPECT_FALSE(bar->hasItem(lang::String("Box")));
        ASSERT_TRUE(professor->isTalking()) << "the professor answers";
        EXPECT_STREQ(lang::String::loadText(order.asks).c_str(), professor->getTalkText()->getText().c_str());
        // The second given while he still asks for it: his word ends.
        player.takeFromBar(order.second);
        world.click(400, 300);
        world.stepFrames(2);
        EXPECT_TRUE(bar->hasItem(lang::String("Box")));
        EXPECT_FALSE(professor->isTalking()) << "his word on the first outlives the errand";
    }
    expectCleanRun();
}

TEST_F(SampleRoomsTest, TheMansionKeypadOpensTheDoorOnlyWithTheCardSharksCode)
{
    enter(54);
    world.stepFrames(2);
    Room* keypad = room(54);
    auto type = [this, keypad](const std::string& keys) {
        for (char c : keys) {
            const std::string name = c == 'C' ? "ClearButton" : c == 'E' ? "EnterButton" : "Button_" + std::string(1, c);
            sprite::SpriteBase* key = keypad->getSprite(name.c_str());
            world.click(key->left() + key->width() / 2, key->top() + key->height() / 2);
        }
    };
    // The digits of the item's tip in a chapter: the gallery owner's card
    // (the mansion's telephone number) in the second, the card shark's note
    // (the door's code) in the fifth.
    auto tipDigits = [this, keypad](int chapter) {
        const std::string tip = runLua(keypad, "LF.chapter = " + std::to_string(chapter) +
                                                   "; for i, n in pairs(LF_ITEMS) do if n == 'MansionGateCode' then "
                                                   "return hv.getResourceString(LF_getInventoryItemToolTipID(i)) end end");
        std::string digits;
        for (char c : tip) {
            if (c >= '0' && c <= '9')
                digits += c;
        }
        return digits;
    };
    const std::string number = tipDigits(2);
    const std::string code = tipDigits(5);
    ASSERT_EQ(4u, code.size());
    // The board game won: the telephone number and a wrong code, a fifth
    // digit that does not count, and the code; a wrong code once the door
    // is open leaves it open and says so. Then the chapter played
    // again: the code known from the first time opens before the board game
    // is won, and the board game's task goes.
    std::string wrong = code;
    wrong[3] = wrong[3] == '9' ? '0' : char(wrong[3] + 1);
    const std::pair<std::string, const char*> tries[] = {
        {"TicTac", ""},          {"Note", ""},          {number + "E", "false"}, {wrong + "E", "false"},
        {code + "5E", "true"},   {wrong + "E", "true"}, {"Again", ""},          {code + "E", "true"},
    };
    for (const auto& t : tries) {
        if (t.first == "TicTac" || t.first == "Again") {
            runLua(keypad, t.first == "TicTac" ? "LF.ticTacSolved = true"
                                               : "LF.chapter = 5; LF.ticTacSolved = false; LF.mansionDoorOpen = false");
            continue;
        }
        if (t.first == "Note") {
            // The card shark's note dragged out of the bar and let go beside
            // the keys: the player says how its code goes in.
            Inventory* bar = canvas->getInventory();
            bar->enableItems(true);
            runLua(keypad, "LF_giveMansionNumber(1)");
            world.stepFrames(2);
            sprite::SpriteBase* note = bar->getSprite("MansionGateCode");
            ASSERT_TRUE(note->isVisible());
            player.dragSprite(note, 400 - bar->left() - note->left() - note->width() / 2,
                              330 - bar->top() - note->top() - note->height() / 2, bar->left(), bar->top());
            Character* self = canvas->getPlayerCharacter();
            ASSERT_TRUE(self->isTalking()) << "the note let go on the keypad";
            EXPECT_STREQ(lang::String::loadText("STR_THINK_KEYPAD_NOTE").c_str(), self->getTalkText()->getText().c_str());
            self->stopTalk();
            continue;
        }
        type("C" + t.first);
        EXPECT_EQ(t.second, runLua(keypad, "return tostring(LF.mansionDoorOpen)")) << t.first;
        EXPECT_STREQ(std::string(t.second) == "true" ? "OPEN" : "WRONG",
                     static_cast<sprite::NewFontSprite*>(keypad->getSprite("Display"))->getText().c_str())
            << "the display answers " << t.first;
    }
    EXPECT_EQ("nil", runLua(keypad, "LF_updateTasks(); return tostring(LF.tasks[51])")) << "the board game is asked for still";
    expectCleanRun();
}

TEST_F(SampleRoomsTest, AClickOnTheBookshelfsClockOpensItsCloseUp)
{
    auto* clock = static_cast<ClockCU*>(canvas->getSprite("ClockCU"));
    enter(27);
    world.stepFrames(2);
    sprite::SpriteBase* face = room(27)->getSprite("Clock");
    ASSERT_NE(nullptr, face);
    // The clock opens once the shelves are sorted (the note behind the books
    // gives its time).
    world.click(face->left() + 10, face->top() + face->height() / 2);
    EXPECT_FALSE(clock->isVisible()) << "the shelves are not sorted";
    runLua(room(27), "LF.bookshelfSorted = true; think('STR_THINK_DRAWER_LOCKED')");
    world.click(face->left() + 10, face->top() + face->height() / 2);
    EXPECT_TRUE(clock->isVisible());
    EXPECT_FALSE(canvas->getPlayerCharacter()->isVisible()) << "the figure a thought left standing goes";
    EXPECT_EQ(room(27), clock->getHost());
    world.stepFrames(ClockCU::TRANSITION_FRAMES + 2);
    EXPECT_TRUE(clock->isIdle());
    EXPECT_EQ(ClockCU::OPEN_X - clock->width() / 2, clock->left());
    // Its card stands in the middle of the screen, clear of the bar, and
    // holds the close button.
    auto* card = static_cast<sprite::ImageSprite*>(clock->getSprite("Face"));
    ASSERT_NE(nullptr, card);
    const int row = ClockCU::PIVOT_Y - clock->top();
    const int column = ClockCU::PIVOT_X - clock->left();
    int left = column, right = column, bottom = row;
    while (card->hittestImage(left - 1, row, 1))
        --left;
    while (card->hittestImage(right + 1, row, 1))
        ++right;
    while (card->hittestImage(column, bottom + 1, 1))
        ++bottom;
    EXPECT_NEAR(400, clock->left() + (left + right) / 2, 10);
    EXPECT_LE(clock->top() + bottom, 520);
    sprite::SpriteBase* close = clock->getSprite("CloseButton");
    EXPECT_TRUE(card->hittestImage(close->left(), close->top(), 1) &&
                card->hittestImage(close->left() + close->width() - 1, close->top() + close->height() - 1, 1));
    expectCleanRun();
}

// Every thing on the bookshelf's wall is taken by a press at its middle:
// no gap of its picture lies there.
TEST_F(SampleRoomsTest, EveryThingOnTheBookshelfsWallIsTakenAtItsMiddle)
{
    enter(27);
    world.stepFrames(2);
    for (int n = 1; n <= 16; ++n) {
        auto* thing = static_cast<sprite::AnimateSprite*>(room(27)->getSprite(("WallItem_" + std::to_string(n)).c_str()));
        ASSERT_NE(nullptr, thing) << n;
        EXPECT_TRUE(thing->hittestImage(thing->left() + thing->width() / 2, thing->top() + thing->height() / 2))
            << "thing " << n;
    }
    expectCleanRun();
}

// The clock in the room shows the time its close-up shows: stopped, the
// time the close-up opens at (so that it closes on the time it opened with);
// set, the time of the note. A hand is read in the room's picture as the
// dark pixels along its way out from the face's middle.
TEST_F(SampleRoomsTest, TheBookshelfsClockShowsTheTimeItsCloseUpShows)
{
    auto* clock = static_cast<ClockCU*>(canvas->getSprite("ClockCU"));
    enter(27);
    runLua(room(27), "LF.bookshelfSorted = true");
    auto* face = static_cast<sprite::AnimateSprite*>(room(27)->getSprite("Clock"));
    world.click(face->left() + 10, face->top() + face->height() / 2);
    world.stepFrames(ClockCU::TRANSITION_FRAMES + 2);
    ASSERT_TRUE(clock->isVisible() && clock->isIdle());
    window::ImageBase* picture = face->getImage();
    const uint32_t* pixels = picture ? picture->getPixels() : nullptr;
    ASSERT_NE(nullptr, pixels);
    // Whether a hand at `angle` (degrees clockwise from twelve) is drawn on
    // the face of frame `frame`, whose middle is 45 pixels in and 43 down: a
    // dark pixel next to nearly every point of its way out from the middle.
    auto dark = [&](int x, int y) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if ((pixels[size_t(y + dy) * size_t(picture->getPitch() / 4) + size_t(x + dx)] & 0xFF) < 0x60)
                    return true;
            }
        }
        return false;
    };
    auto drawn = [&](int frame, double angle) {
        const double a = angle * 3.14159265358979 / 180.0;
        int points = 0;
        for (int r = 12; r <= 20; ++r)
            points += dark(frame * face->width() + 45 + int(std::lround(r * std::sin(a))),
                           43 - int(std::lround(r * std::cos(a))));
        return points >= 8;
    };
    const struct {
        int frame;
        int hour, minute;
    } times[] = {
        {0, int(clock->getHourHand()->getRotation()), int(clock->getMinuteHand()->getRotation())},
        {1, 60, 270}, // the note's time: the hour hand on the two, the minute hand on the nine
    };
    for (const auto& time : times) {
        SCOPED_TRACE(time.frame);
        EXPECT_TRUE(drawn(time.frame, time.hour)) << "the hour hand at " << time.hour;
        EXPECT_TRUE(drawn(time.frame, time.minute)) << "the minute hand at " << time.minute;
        // No other hand: nothing dark away from the two.
        for (int angle = 0; angle < 360; angle += 5) {
            auto apart = [angle](int hand) { return std::min((angle - hand + 720) % 360, (hand - angle + 720) % 360); };
            if (apart(time.hour) > 25 && apart(time.minute) > 25) {
                EXPECT_FALSE(drawn(time.frame, angle)) << "a hand at " << angle;
            }
        }
    }
    expectCleanRun();
}

// The bunch of flowers picked at the market: the player says whom it is for.
TEST_F(SampleRoomsTest, TheMarketsFlowersSayWhomTheyAreFor)
{
    enter(2);
    world.stepFrames(2);
    Character* self = canvas->getPlayerCharacter();
    self->stopTalk();
    player.clickSprite(room(2), "Item_HiddenFlowerBouquet");
    EXPECT_TRUE(canvas->getInventory()->hasItem(lang::String("HiddenFlowerBouquet")));
    ASSERT_TRUE(self->isTalking());
    EXPECT_STREQ(lang::String::loadText("STR_THINK_FLOWERS").c_str(), self->getTalkText()->getText().c_str());
    expectCleanRun();
}

TEST_F(SampleRoomsTest, TheInnerSanctumsBoardShowsItsRulesAndPlansAndRestsLitOnceDone)
{
    Room* sanctum = room(33);
    Character* self = canvas->getPlayerCharacter();
    auto stone = [sanctum](int i) {
        return static_cast<sprite::AnimateSprite*>(sanctum->getSprite(("Piece_" + std::to_string(i)).c_str()));
    };
    auto shown = [sanctum](const char* name) {
        sprite::SpriteBase* s = sanctum->getSprite(name);
        return s && s->isVisible();
    };
    auto clickStone = [this, &stone](int i) {
        world.click(stone(i)->left() + stone(i)->width() / 2, stone(i)->top() + stone(i)->height() / 2);
        world.stepFrames(2);
    };
    // In the third chapter the board waits under its rules; a plan whose
    // pattern is lit is framed.
    canvas->getProgress()->chapter = 3;
    enter(33);
    EXPECT_TRUE(shown("BoardRules"));
    runLua(sanctum, "rooms.InnerSanctum.onWinPattern(self, 1)");
    EXPECT_TRUE(shown("PlanLit_1"));
    EXPECT_FALSE(shown("PlanLit_2"));
    clickStone(12);
    EXPECT_EQ(1, stone(12)->getFrame()) << "a stone turns while the board waits";
    EXPECT_FALSE(self->isTalking());
    // All four lit: the board lights whole, its rules go, and it takes no
    // more clicks but says why; so it stands in the later chapters.
    runLua(sanctum, "LF.bridgeSolved = true; LF_updateTasks()");
    sprite::SpriteBase* banner = canvas->getSprite("NewTask");
    ASSERT_TRUE(stepUntil([banner] { return banner->isVisible(); }));
    ASSERT_TRUE(stepUntil([banner] { return !banner->isVisible(); }));
    runLua(sanctum, "for n = 2, 4 do rooms.InnerSanctum.onWinPattern(self, n) end");
    // The player says the lantern burns and what it is for; the chapter
    // ends at it, so no new task is given that the slides would cut short.
    world.stepFrames(2);
    ASSERT_TRUE(self->isTalking());
    EXPECT_STREQ(lang::String::loadText("STR_THINK_SANCTUM_LIT").c_str(), self->getTalkText()->getText().c_str());
    EXPECT_FALSE(stepUntil([banner] { return banner->isVisible(); }, 150)) << "a new task as the chapter ends";
    // The shut way north then names only the lantern as left to do.
    self->stopTalk();
    world.click(400, 45);
    world.stepFrames(2);
    ASSERT_TRUE(self->isTalking());
    EXPECT_STREQ(lang::String::loadText("STR_THINK_SANCTUM_NORTH_LANTERN").c_str(),
                 self->getTalkText()->getText().c_str());
    for (int chapter : {3, 4}) {
        SCOPED_TRACE(chapter);
        canvas->getProgress()->chapter = chapter;
        enter(32);
        enter(33);
        EXPECT_FALSE(shown("BoardRules"));
        for (int i = 0; i < 25; ++i)
            EXPECT_EQ(1, stone(i)->getFrame()) << "stone " << i;
        EXPECT_TRUE(shown("PlanLit_1") && shown("PlanLit_2") && shown("PlanLit_3") && shown("PlanLit_4"));
        self->stopTalk();
        clickStone(0);
        EXPECT_EQ(1, stone(0)->getFrame());
        ASSERT_TRUE(self->isTalking());
        EXPECT_STREQ(lang::String::loadText("STR_THINK_SANCTUM_BOARD_DONE").c_str(),
                     self->getTalkText()->getText().c_str());
    }
    expectCleanRun();
}

// The machete carried about the fourth chapter: let go on a way out it goes
// back into the bar and the player says it is no use there; dropped on the
// vines it cuts them, and the player says the way is open. So does an item
// dragged where it is no use.
TEST_F(SampleRoomsTest, TheMacheteSaysWhereItIsOfNoUseAndCutsTheVines)
{
    Character* self = canvas->getPlayerCharacter();
    auto expectThought = [this, self](const char* id) {
        world.stepFrames(2);
        ASSERT_TRUE(self->isTalking()) << id;
        EXPECT_STREQ(lang::String::loadText(id).c_str(), self->getTalkText()->getText().c_str());
        self->stopTalk();
    };
    canvas->getProgress()->chapter = 4;
    enter(38);
    canvas->getInventory()->enableItems(true);
    runLua(room(38), "LF_giveItem('Machete')");
    player.takeFromBar("Machete");
    player.clickOn(room(38)->getDoor(0));
    EXPECT_EQ(38, canvas->getProgress()->currentRoom) << "an item in hand takes no way out";
    EXPECT_EQ(nullptr, canvas->getInventory()->getHeldItem());
    EXPECT_TRUE(canvas->getInventory()->hasItem(lang::String("Machete")));
    expectThought("STR_THINK_NO_USE");
    enter(33);
    player.takeFromBar("Machete");
    player.clickSprite(room(33), "Vines");
    EXPECT_EQ("true", runLua(room(33), "return tostring(LF.vinesCut)"));
    expectThought("STR_THINK_VINES_CUT");
    // Dragged out of the bar and let go where it is no use, an item says so
    // as a click there does (the flowers on the riverside's lever).
    canvas->getProgress()->chapter = 1;
    enter(5);
    runLua(room(5), "LF_giveItem('HiddenFlowerBouquet')");
    sprite::SpriteBase* flowers = canvas->getInventory()->getSprite("HiddenFlowerBouquet");
    sprite::SpriteBase* lever = room(5)->getSprite("Lever");
    player.dragSprite(flowers, lever->left() + lever->width() / 2 - (flowers->left() + flowers->width() / 2),
                      lever->top() + lever->height() / 2 - (flowers->top() + flowers->height() / 2));
    EXPECT_TRUE(canvas->getInventory()->hasItem(lang::String("HiddenFlowerBouquet")));
    expectThought("STR_THINK_NO_USE");
    expectCleanRun();
}

// The volcano and the two waterfall places are drawn as what they are:
// most of each picture is more than its plain ground, its name and its
// exits.
TEST_F(SampleRoomsTest, TheVolcanoAndTheWaterfallsAreDrawnAsWhatTheyAre)
{
    for (const char* name : {"Volcano", "Waterfall", "InnerWaterfall"}) {
        Room* r = nullptr;
        for (int index = 0; index < LanternfieldCanvas::ROOM_COUNT && !r; ++index) {
            if (room(index)->getName().equals(name))
                r = room(index);
        }
        ASSERT_NE(nullptr, r) << name;
        auto* background = static_cast<sprite::ImageSprite*>(r->getSprite("Background"));
        window::ImageBase* image = background ? background->getImage() : nullptr;
        ASSERT_TRUE(image && image->getPixels()) << name;
        // The ground's colour is that of the top left corner.
        const uint32_t* pixels = image->getPixels();
        const size_t pitch = size_t(image->getPitch() / 4);
        const uint32_t ground = pixels[0];
        int drawn = 0;
        for (int y = 0; y < image->getHeight(); ++y) {
            for (int x = 0; x < image->getWidth(); ++x)
                drawn += pixels[size_t(y) * pitch + size_t(x)] != ground ? 1 : 0;
        }
        EXPECT_GT(drawn, image->getWidth() * image->getHeight() / 4) << name;
    }
}

// The waterfall's spray glints over its pool: nothing of it rises across
// the screen to the pause button or the count of treasures.
TEST_F(SampleRoomsTest, TheWaterfallsSprayStaysOverItsPool)
{
    canvas->getProgress()->chapter = 4;
    enter(37);
    frames(10);
    Room* r = room(37);
    EXPECT_EQ(0, r->getAmbientSprites().size()) << "nothing rises over the screen";
    int spray = 0;
    for (int i = 0; i < r->getChildCount(); ++i) {
        sprite::SpriteBase* child = r->childAt(i);
        if (child->isInstanceOf("SparkleSprite") && child->isVisible() && child != r->getSprite("Glint")) {
            ++spray;
            EXPECT_GE(child->top(), 380);
            EXPECT_LT(child->top() + child->height(), 520);
        }
        child->release();
    }
    EXPECT_GT(spray, 0);
}

// The piers no boat calls at: a click on the shut way says why (at the dive
// dock, where the diving boat waits once the second chapter is done).
TEST_F(SampleRoomsTest, AClickOnAShutPierSaysWhy)
{
    const struct {
        int room;
        int chapter;
        const char* way;
        const char* story;
        const char* thought;
    } piers[] = {
        {25, 3, "Door2", "", "STR_THINK_LANDING_PIER"},
        {14, 2, "Door3", "", "STR_THINK_DIVEDOCK_PIER"},
        {14, 2, "Door3",
         "LF.callBoxSolved = true LF.hedgeMazeSolved = true LF.compressorStage = 'running' LF.pearlsWon = true",
         "STR_THINK_DIVEDOCK_PIER_BOAT"},
    };
    Character* self = canvas->getPlayerCharacter();
    for (const auto& p : piers) {
        SCOPED_TRACE(p.thought);
        canvas->getProgress()->chapter = p.chapter;
        runLua(room(p.room), p.story);
        enter(p.room);
        world.stepFrames(2);
        self->stopTalk();
        auto* pier = static_cast<DoorSprite*>(room(p.room)->getSprite(p.way));
        ASSERT_FALSE(pier->isEnabled());
        world.click(pier->left() + pier->width() / 2, pier->top() + pier->height() / 2);
        world.stepFrames(2);
        EXPECT_EQ(p.room, canvas->getProgress()->currentRoom);
        ASSERT_TRUE(self->isTalking());
        EXPECT_STREQ(lang::String::loadText(p.thought).c_str(), self->getTalkText()->getText().c_str());

        // The click cuts short what the player was saying (here a thought
        // still fading), never the thought it starts itself; nor does a click
        // that comes once that one may be cut short.
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round);
            world.stepFrames(30);
            EXPECT_EQ(self, canvas->getTalkingCharacter());
            EXPECT_TRUE(self->getTalkText()->isVisible());
            ASSERT_TRUE(self->canSkipTalk());
            if (round == 0)
                world.click(pier->left() + pier->width() / 2, pier->top() + pier->height() / 2);
        }
        self->stopTalk();
        world.stepFrames(30);
    }
}

// Things in a room that are no puzzle answer a click with a word: the
// mansion's door, locked by day (which the player also says on coming to
// it), the jungle's idol, found and then left where it stands, the tavern's
// coaster, whose riddle is read out as it is taken, the things taken (a gem,
// the hallway's card) and the hallway's ghost.
TEST_F(SampleRoomsTest, ThingsThatAreNoPuzzleAnswerAClick)
{
    const struct {
        int room;
        int chapter;
        const char* thing;
        const char* thought;
        bool onArrival;
        int clicks;
    } things[] = {
        {16, 2, "MansionDoor", "STR_THINK_MANSION_FRONT", true, 2},
        {29, 3, "Idol", "STR_THINK_JUNGLE_IDOL", false, 2},
        {44, 5, "Item_RiddleCoaster", "STR_THINK_RIDDLE_COASTER", false, 1},
        {25, 3, "Item_Gem_1", "STR_THINK_FOUND_GEM_1", false, 1},
        {50, 5, "Item_ViewFinderSolution", "STR_THINK_BEARING_CARD", false, 1},
        {50, 5, "GhostFigure", "STR_THINK_GHOST", false, 2},
    };
    Character* self = canvas->getPlayerCharacter();
    auto says = [self](const char* id) {
        return self->isTalking() && std::string(self->getTalkText()->getText().c_str()) == lang::String::loadText(id).c_str();
    };
    for (const auto& t : things) {
        SCOPED_TRACE(t.thought);
        canvas->getProgress()->chapter = t.chapter;
        enter(t.room);
        world.stepFrames(2);
        EXPECT_EQ(t.onArrival, says(t.thought));
        sprite::SpriteBase* thing = room(t.room)->getSprite(t.thing);
        ASSERT_NE(nullptr, thing);
        for (int click = 0; click < t.clicks; ++click) {
            self->stopTalk();
            world.stepFrames(30);
            world.click(thing->left() + thing->width() / 2, thing->top() + thing->height() / 2);
            world.stepFrames(2);
            EXPECT_TRUE(says(t.thought)) << "click " << click;
        }
        self->stopTalk();
        world.stepFrames(30);
    }
    expectCleanRun();
}

TEST_F(SampleRoomsTest, TheBookshelfsDrawerSaysItIsLockedAndOpensOnTheMapWithTheKey)
{
    Room* shelf = room(27);
    Character* self = canvas->getPlayerCharacter();
    ASSERT_NE(nullptr, self);
    auto expectThought = [this, self](const char* id) {
        world.stepFrames(2);
        ASSERT_TRUE(self->isTalking()) << id;
        EXPECT_STREQ(lang::String::loadText(id).c_str(), self->getTalkText()->getText().c_str());
        self->stopTalk();
    };
    auto clickCentre = [this](sprite::SpriteBase* s) {
        world.click(s->left() + s->width() / 2, s->top() + s->height() / 2);
    };
    // The shut drawer (its handle) is locked, and says so.
    enter(27);
    world.stepFrames(2);
    EXPECT_EQ(0, static_cast<sprite::AnimateSprite*>(shelf->getSprite("Clock"))->getFrame());
    world.click(461, 563);
    expectThought("STR_THINK_DRAWER_LOCKED");
    // The clock set, its key opens the drawer, which shows the map inside;
    // the player says what it holds.
    runLua(shelf, "LF.bookshelfSorted = true LF.clockSolved = true");
    enter(26);
    enter(27);
    world.stepFrames(2);
    // The wall clock stopped at three shows the note's time once it is set.
    EXPECT_EQ(1, static_cast<sprite::AnimateSprite*>(shelf->getSprite("Clock"))->getFrame());
    world.click(461, 563);
    expectThought("STR_THINK_DRAWER_KEY");
    clickCentre(shelf->getSprite("KeyOnClock"));
    ASSERT_EQ("true", runLua(shelf, "return tostring(self:isKeyOnCursor())"));
    expectThought("STR_THINK_CLOCK_KEY_TAKEN");
    world.click(461, 563);
    world.stepFrames(Bookshelf::DRAWER_DELAY);
    expectThought("STR_THINK_DRAWER_OPEN");
    sprite::SpriteBase* drawer = shelf->getSprite("DrawerOpen");
    sprite::SpriteBase* map = shelf->getSprite("DrawerMap");
    EXPECT_TRUE(drawer->isShowing()) << "the open drawer is drawn";
    ASSERT_TRUE(map->isShowing()) << "the map in it is drawn";
    // A click on the map takes it, and the player says so (the bar is put
    // away in the bookshelf).
    clickCentre(map);
    EXPECT_TRUE(canvas->getInventory()->hasItem("CaveMapScroll"));
    EXPECT_FALSE(map->isVisible());
    expectThought("STR_THINK_DRAWER_MAP");
    expectCleanRun();
}

} // namespace
} // namespace scenetest
