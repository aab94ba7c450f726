// WindRaceTest.cpp: the wind race: the turning rule at the grid's edges and
// the legs between buoys (table-driven), then scripted races in the fixture
// game: launch, legs and the win, told while the boat sails off and before
// the race is left; a windsock turned off course and the loss, told until the
// next go text; the buoys locked until the go text; a reset restoring the
// windsocks; the checks of the definition and the Lua face.
#include "scenes/windrace/WindRace.h"

#include "platform/kernel/DebugOutput.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SceneFixture.h"

#include <sstream>

namespace scenetest {
namespace {

constexpr int kWindRaceRoom = 56;
constexpr int kStart = 22;
constexpr int kFinish = 8;
constexpr int kTurnable = 13;

TEST(WindRaceRulesTest, AClickTurnsClockwiseSkippingTheDirectionOffTheGrid)
{
    using W = WindRace;
    struct Case {
        int index, from, to;
    };
    const Case cases[] = {
        {12, W::UP, W::RIGHT},   {12, W::LEFT, W::UP},     {2, W::LEFT, W::RIGHT},  {4, W::LEFT, W::DOWN},
        {22, W::RIGHT, W::LEFT}, {20, W::RIGHT, W::UP},    {10, W::DOWN, W::UP},    {0, W::DOWN, W::RIGHT},
        {14, W::UP, W::DOWN},    {24, W::UP, W::LEFT},     {4, W::UP, W::DOWN},     {0, W::LEFT, W::RIGHT},
        {24, W::RIGHT, W::LEFT}, {20, W::DOWN, W::UP},     {0, W::UP, W::RIGHT},    {24, W::DOWN, W::LEFT},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.to, WindRace::nextDirection(c.index, c.from)) << "buoy " << c.index << " from " << c.from;
}

TEST(WindRaceRulesTest, LegsReachTheNeighbourOrLeaveTheGrid)
{
    using W = WindRace;
    struct Case {
        int index, direction, target, frames;
    };
    const Case cases[] = {
        {12, W::UP, 7, 38},   {12, W::DOWN, 17, 38}, {12, W::LEFT, 11, 60}, {12, W::RIGHT, 13, 60},
        {2, W::UP, -1, 38},   {22, W::DOWN, -1, 38}, {10, W::LEFT, -1, 60}, {14, W::RIGHT, -1, 60},
    };
    for (const Case& c : cases) {
        int frames = 0;
        EXPECT_EQ(c.target, WindRace::neighbour(c.index, c.direction, frames)) << c.index << "/" << c.direction;
        EXPECT_EQ(c.frames, frames);
    }
    EXPECT_EQ(401, WindRace::centreX(kStart));
    EXPECT_EQ(487, WindRace::centreY(kStart));
}

// Buoys 22, 17 point up, 12 right, 13 (turnable) up to the finish 8; every
// other buoy points up too, so 13 turned right leads 14, 9, 4 off the top.
std::string definition(const char* tail = "")
{
    std::ostringstream out;
    out << "0 100 0 401 560 " << kStart << " " << kFinish;
    for (int i = 0; i < WindRace::BUOYS; ++i)
        out << " " << (i == kTurnable ? 1 : 0);
    for (int i = 0; i < WindRace::BUOYS; ++i)
        out << " " << (i == 12 ? WindRace::RIGHT : WindRace::UP);
    return out.str() + tail;
}

std::string manifest(const std::string& numbers)
{
    std::string m = "<data>\n" + numbers + "\n<sprites>\n"
                    "BuoyLocked Sprite buoy -200 0\nBuoyFinish Sprite buoy -200 0\n"
                    "BuoyUnlocked ButtonSprite buoy -200 0 1 1 0 0 0\n"
                    "CheckeredFlag AnimateSprite sock -200 0 2 1 0\n"
                    "Windsock_Red_4 AnimateSprite sock -200 0 2 1 0\n";
    for (int d = 0; d < 4; ++d) {
        m += "Windsock_Red_" + std::to_string(d) + " AnimateSprite sock -200 0 2 1 0\n";
        m += "Windsock_Green_" + std::to_string(d) + " AnimateSprite sock -200 0 2 1 0\n";
    }
    return m + "Boat AnimateSprite boat 0 0 4 1 0\nReadyText Sprite text 300 250\nGoText Sprite text 300 250\n"
               "ResetButton ButtonSprite close 20 540 1 1 0 0 0\n"
               "RaceNewsPlate Sprite text 300 250\nRaceNews NewFontSprite " +
           std::string(kFont) + " " + kFontGlyphs + " 400 260 1\n"
               "CloseButton RectButtonSprite 740 540 40 40 1\n<end>\n";
}

class WindRaceTest : public SceneFixture {
protected:
    bool start(const std::string& numbers)
    {
        testsupport::GameData& data = world.data();
        data.picture("buoy", 52, 68, 0xFF20A020u);
        framesPicture(data, "sock", 2, 54, 40);
        framesPicture(data, "boat", 4, 40, 30);
        data.picture("text", 200, 60, 0xFFFFFFFFu);
        data.text("STR_RACE_OFF_COURSE", "Off");
        data.text("STR_RACE_WON_HERE", "Won");
        framesPicture(data, "close", 1, 40, 40);
        SceneSetup scene;
        scene.index = kWindRaceRoom;
        scene.className = "WindRace";
        scene.manifest = manifest(numbers);
        scene.callbacks = {"winGameScene", "loseScene", "gotoBehindDiveDock"};
        if (!startScene(scene))
            return false;
        race = static_cast<WindRace*>(room(kWindRaceRoom));
        return true;
    }

    bool turnable() { return sprite::ButtonMixin::fromSprite(race->buoy(kTurnable).turnSprite)->isEnabled(); }
    void clickBuoy(int i) { clickAt(WindRace::centreX(i), WindRace::centreY(i)); }
    // The large words over the course, when they show on their plate.
    std::string news()
    {
        auto* words = static_cast<sprite::NewFontSprite*>(race->getSprite("RaceNews"));
        const bool shown = words->isVisible() && race->getSprite("RaceNewsPlate")->isVisible();
        return shown ? words->getText().c_str() : "";
    }

    WindRace* race = nullptr;
};

TEST_F(WindRaceTest, TheBoatLaunchesSailsItsLegsAndWinsAtTheFinish)
{
    ASSERT_TRUE(start(definition()));
    ASSERT_TRUE(race->hasGrid());
    // The finish flies its flag in all four slots, one showing.
    int showing = 0;
    for (int d = 0; d < 4; ++d) {
        ASSERT_NE(nullptr, race->buoy(kFinish).windsocks[d]);
        showing += race->buoy(kFinish).windsocks[d]->isVisible();
    }
    EXPECT_EQ(1, showing);
    EXPECT_NE(nullptr, race->buoy(kFinish).fixedSprite);
    enter(kWindRaceRoom);
    EXPECT_EQ(WindRace::STATE_LAUNCH, race->getState());
    EXPECT_EQ(1, race->getBoat()->getFrame());
    EXPECT_FALSE(turnable()) << "locked until the go text";
    ASSERT_TRUE(stepUntil([this] { return race->getCurrentBuoy() != kStart; }, 300));
    const int toFirstLeg = framesRun;
    // Entering ran a frame of the launch already.
    EXPECT_GE(toFirstLeg, WindRace::LAUNCH_FRAMES + WindRace::VERTICAL_LEG_FRAMES - 2);
    EXPECT_LE(toFirstLeg, WindRace::LAUNCH_FRAMES + WindRace::VERTICAL_LEG_FRAMES + 4);
    EXPECT_EQ(17, race->getCurrentBuoy());
    EXPECT_EQ(WindRace::STATE_RACING, race->getState());
    ASSERT_TRUE(stepUntil([this] { return !calls("winGameScene").empty(); }, 300));
    EXPECT_GE(framesRun, 38 + 38 + 60 + 38);
    EXPECT_LE(framesRun, 38 + 38 + 60 + 38 + 8);
    EXPECT_EQ(WindRace::STATE_WON, race->getState());
    EXPECT_TRUE(calls("loseScene").empty());
    EXPECT_EQ(WindRace::UP, race->getBoat()->getFrame());
    // The won race says so and stands while the boat sails off, the
    // windsocks and Reset taking no click, then leaves as Leave does.
    EXPECT_EQ("Won", news());
    clickBuoy(kTurnable);
    clickAt(40, 560);
    EXPECT_EQ(WindRace::UP, race->buoy(kTurnable).direction);
    EXPECT_EQ(WindRace::STATE_WON, race->getState());
    EXPECT_TRUE(calls("gotoBehind").empty()) << "left before the boat sailed off";
    ASSERT_TRUE(stepUntil([this] { return !calls("gotoBehind").empty(); }, 200));
    EXPECT_GE(framesRun, WindRace::SAIL_OFF_FRAMES - 4);
    EXPECT_EQ(1u, calls("onExit:WindRace").size());
}

TEST_F(WindRaceTest, AWindsockTurnedOffCourseLosesAndAResetRestoresIt)
{
    ASSERT_TRUE(start(definition()));
    enter(kWindRaceRoom);
    clearRecords();
    clickBuoy(kTurnable);
    EXPECT_EQ(WindRace::UP, race->buoy(kTurnable).direction) << "no turn before the go text";
    ASSERT_TRUE(stepUntil([this] { return turnable(); }, 120));
    // The click ran a few frames of the texts' fades already.
    EXPECT_GE(framesRun, 24 + 36 + 17 - 4);
    const std::vector<int> sounds = soundsPlayed();
    EXPECT_NE(sounds.end(), std::find(sounds.begin(), sounds.end(), WindRace::SOUND_GO));
    clearRecords();
    clickBuoy(kTurnable);
    EXPECT_EQ(WindRace::RIGHT, race->buoy(kTurnable).direction);
    EXPECT_EQ(std::vector<int>{WindRace::SOUND_TURN}, soundsPlayed());
    EXPECT_TRUE(race->buoy(kTurnable).windsocks[WindRace::RIGHT]->isVisible());
    EXPECT_FALSE(race->buoy(kTurnable).windsocks[WindRace::UP]->isVisible());
    ASSERT_TRUE(stepUntil([this] { return !calls("loseScene").empty(); }, 500));
    EXPECT_EQ(4, race->getCurrentBuoy()) << "lost at the top row, pointing up";
    EXPECT_TRUE(calls("winGameScene").empty());
    EXPECT_EQ("Off", news());
    // Any other word does nothing; "RESET" in capitals starts again.
    EXPECT_EQ("", runLua(race, "self:setState('go')").substr(0, 6));
    EXPECT_EQ(WindRace::STATE_LOST, race->getState());
    EXPECT_EQ("", runLua(race, "self:setState('RESET')").substr(0, 6));
    EXPECT_EQ(WindRace::UP, race->buoy(kTurnable).direction);
    EXPECT_EQ(WindRace::STATE_LAUNCH, race->getState());
    EXPECT_EQ(kStart, race->getCurrentBuoy());
    EXPECT_FALSE(turnable());
    // Why the race starts again stands until its "Go!".
    EXPECT_EQ("Off", news());
    ASSERT_TRUE(stepUntil([this] { return turnable(); }, 120));
    EXPECT_EQ("", news());
    expectLuaErrors(race, {{"self:setState('reset', 1)", "too many arguments"},
                           {"hv.WindRace.setState({}, 'reset')", "not a Sprite object"}});
}

TEST_F(WindRaceTest, TheResetAndCloseButtonsDuringTheRace)
{
    ASSERT_TRUE(start(definition()));
    enter(kWindRaceRoom);
    ASSERT_TRUE(stepUntil([this] { return race->getState() == WindRace::STATE_RACING; }, 300));
    clickAt(40, 560);
    EXPECT_EQ(WindRace::STATE_LAUNCH, race->getState());
    EXPECT_EQ(kStart, race->getCurrentBuoy());
    clickAt(760, 560);
    EXPECT_EQ(1u, calls("onExit:WindRace").size());
    EXPECT_EQ(std::vector<std::string>{"gotoBehindDiveDock:WindRace(1)"}, calls("gotoBehind"));
}

TEST_F(WindRaceTest, ADefinitionOutOfRangeBuildsNoGrid)
{
    platform::DebugCapture debug;
    // The last buoy's direction is 7.
    std::string numbers = definition();
    numbers.back() = '7';
    ASSERT_TRUE(start(numbers));
    EXPECT_FALSE(race->hasGrid());
    EXPECT_TRUE(debug.contains("a direction outside 0 to 3"));
    enter(kWindRaceRoom);
    frames(200);
    EXPECT_TRUE(calls("loseScene").empty());
}

} // namespace
} // namespace scenetest
