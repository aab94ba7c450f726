// DiveDockTest.cpp: the compressor light of the dive dock in the fixture
// game: its 48-frame cycle, a pause that freezes it, a second start that
// begins again from dark, a stop that keeps it off, and the Lua face.
#include "scenes/divedock/DiveDock.h"

#include "tests/scenes/support/SceneFixture.h"

namespace scenetest {
namespace {

constexpr int kDiveDockRoom = 14;

class DiveDockTest : public SceneFixture {
protected:
    void SetUp() override
    {
        world.data().picture("lamp", 20, 20, 0xFFFF2000u);
        SceneSetup scene;
        scene.index = kDiveDockRoom;
        scene.className = "DiveDock";
        scene.manifest = "<data>\n0\n<sprites>\nAirCompressorLight Sprite lamp 400 300\n<end>\n";
        ASSERT_TRUE(startScene(scene));
        dock = static_cast<DiveDock*>(room(kDiveDockRoom));
        enter(kDiveDockRoom);
        light = dock->getSprite(DiveDock::kLight);
        ASSERT_NE(nullptr, light);
    }

    // The light's alpha after each of `count` frames (0 while hidden).
    std::vector<int> alphas(int count)
    {
        std::vector<int> seen;
        for (int i = 0; i < count; ++i) {
            frames(1);
            seen.push_back(light->isVisible() ? light->getAlpha() : 0);
        }
        return seen;
    }

    DiveDock* dock = nullptr;
    sprite::SpriteBase* light = nullptr;
};

TEST_F(DiveDockTest, OneCycleFadesInHoldsFadesOutAndRestsTwelveFramesEach)
{
    EXPECT_EQ("", runLua(dock, "self:startCompressorLightRoutine()").substr(0, 6));
    EXPECT_EQ(DiveDock::PHASE_FADING_IN, dock->getLightPhase());
    // Two cycles: the pattern of the second equals that of the first.
    const std::vector<int> seen = alphas(2 * 48 + 4);

    std::vector<int> phases;
    int litFrames = 0;
    for (int i = 0; i < 48; ++i)
        litFrames += seen[size_t(i)] == 255;
    EXPECT_GE(litFrames, 12) << "lit for the wait after the fade in";
    EXPECT_LE(litFrames, 14);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(seen[size_t(i)], seen[size_t(i + 48)]) << "frame " << i << " of the cycle";
    // Rising to full, then falling to dark.
    const auto top = std::find(seen.begin(), seen.end(), 255);
    ASSERT_NE(seen.end(), top);
    EXPECT_TRUE(std::is_sorted(seen.begin(), top));
    EXPECT_LT(top - seen.begin(), 14);
}

TEST_F(DiveDockTest, APauseFreezesTheCycleAndASecondStartBeginsFromDark)
{
    dock->startLightRoutine();
    frames(20);
    const int phase = dock->getLightPhase();
    const int countdown = dock->getLightCountdown();
    canvas->setGameState(LanternfieldCanvas::STATE_PAUSED);
    frames(30);
    EXPECT_EQ(phase, dock->getLightPhase());
    EXPECT_EQ(countdown, dock->getLightCountdown());
    canvas->setGameState(LanternfieldCanvas::STATE_PLAYING);
    frames(1);
    ASSERT_GT(dock->getLightCountdown(), 0) << "a fade is pending";
    dock->startLightRoutine();
    EXPECT_EQ(DiveDock::PHASE_FADING_IN, dock->getLightPhase());
    EXPECT_EQ(0, light->getAlpha());
    EXPECT_TRUE(light->isVisible());
    // The pending fade goes with the restart: the fade in runs its length.
    const std::vector<int> rise = alphas(DiveDock::STEP_FRAMES);
    EXPECT_TRUE(std::is_sorted(rise.begin(), rise.end()));
    EXPECT_EQ(255, rise.back());
}

TEST_F(DiveDockTest, StoppingKeepsTheLightOff)
{
    dock->startLightRoutine();
    frames(6);
    EXPECT_EQ("", runLua(dock, "self:stopCompressorLightRoutine()").substr(0, 6));
    EXPECT_FALSE(light->isVisible());
    // The fade's end message no longer arms the next fade.
    EXPECT_EQ(std::vector<int>(60, 0), alphas(60));
    EXPECT_EQ(DiveDock::PHASE_NONE, dock->getLightPhase());
    expectLuaErrors(dock, {{"self:startCompressorLightRoutine(1)", "too many arguments"},
                           {"hv.DiveDock.stopCompressorLightRoutine({})", "not a Sprite object"}});
}

} // namespace
} // namespace scenetest
