// FountainScene.cpp: the fountain and pipes close-ups' fixture data.
#include "tests/scenes/support/FountainScene.h"

#include "scenes/fountain/FountainCU.h"
#include "scenes/pipes/PipesCU.h"

#include <sstream>

namespace scenetest {

namespace {

std::string pipesManifest()
{
    std::ostringstream m;
    m << "<data>\n4 1\n";
    for (int k = 0; k < 13; ++k) {
        // Kinds 1 to 10 are elbows (left and up), 11 and 12 straight pipes.
        const bool elbow = k >= 1 && k <= 10;
        const bool straight = k >= 11;
        m << "0 " << (elbow || straight) << " " << elbow << " " << straight << " 0 " << k % 4 << "\n";
    }
    m << "0 3\n"        // start and end cells
      << "12 12 2 12\n" // kinds
      << "0 90 0 0\n"   // start angles
      << "0 0 -1 0\n";  // solutions
    m << "<sprites>\n";
    for (int k = 0; k < 13; ++k)
        m << "Pipe_" << k << " ScalerSprite pipe" << (k % 2) << " 0 0 1 1\n";
    for (int g = 0; g < 4; ++g)
        m << "Glow_" << g << " ScalerSprite glow 0 0 2 1\n";
    m << "PipeSparkle AnimateSprite sparkle 0 0 2 1 0\n"
      << "PipeHighLight RectSprite 0 0 84 84 0x40ffffff 0\n"
      << "CloseButton RectButtonSprite 560 0 40 40 1\n"
      << "<end>\n";
    return m.str();
}

std::string fountainManifest()
{
    return "<data>\n0\n<sprites>\n"
           "ScumWaterOverlay RectSprite 0 0 800 600 0x40336633 1\n"
           "ScumWaterScaler ScalerSprite water 400 400 1 1\n"
           "WaterOval ScalerSprite water 400 400 1 1\n"
           "KeyInFountain AnimateSprite key 380 420 1 1 0\n"
           "KeyTwinkle AnimateSprite twinkle 380 420 3 1 -1\n"
           "ClosedValveDoor AnimateSprite door 100 100 4 1 0\n"
           "ValveDoorOpen AnimateSprite door 100 100 4 1 -1\n"
           "ValveTurnAnim AnimateSprite valve 120 120 4 1 -1\n"
           "PipeDoorOpenBroken AnimateSprite door 600 100 4 1 -1\n"
           "PipeDoorOpenFixed AnimateSprite door 600 100 4 1 -1\n"
           "PipeMissing AnimateSprite door 600 100 4 1 0\n"
           "Bling_PipeFixedStars AnimateSprite twinkle 0 0 3 1 -1\n"
           "ValveClickRect RectButtonSprite 100 100 80 80 1\n"
           "PipesClickRect RectButtonSprite 600 100 80 80 1\n"
           "PipeLock RectButtonSprite 600 200 40 40 1\n"
           "CloseButton RectButtonSprite 740 540 60 60 1\n"
           "DimOverlay RectSprite 0 0 800 600 -0x1000000 0\n"
           "<end>\n";
}

} // namespace

void FountainScene::SetUp()
{
    testsupport::GameData& data = world.data();
    data.picture("pipe0", 84, 84, 0xFF806040u);
    data.picture("pipe1", 84, 84, 0xFF604080u);
    framesPicture(data, "glow", 2, 84, 84);
    framesPicture(data, "sparkle", 2, 30, 30);
    framesPicture(data, "water", 1, 200, 100);
    framesPicture(data, "key", 1, 40, 40);
    framesPicture(data, "twinkle", 3, 40, 40);
    framesPicture(data, "door", 4, 80, 80);
    framesPicture(data, "valve", 4, 60, 60);
    data.manifest("cu_PipesCU", pipesManifest());
    SceneSetup scene;
    scene.index = kRoom;
    scene.className = "FountainCU";
    scene.manifest = fountainManifest();
    scene.callbacks = {"clickOnPipeDoor", "clickOnValveDoor", "clickOnKeyInFountain", "setFountainFixedPipes"};
    gametest::GameOptions options;
    options.canvasSprites["PipesCU"] = "PipesCU:+cu_PipesCU 100 20 600 560 0 0";
    options.gameScript = "function LF_showTaskCompleted() record('LF_showTaskCompleted') end\n"
                         "function LF_getShowGameInstructions(n) return false end\n";
    ASSERT_TRUE(startScene(scene, options));
    fountain = static_cast<FountainCU*>(room(kRoom));
    ASSERT_TRUE(fountain->isInstanceOf("FountainCU"));
    pipes = static_cast<PipesCU*>(canvas->getCloseUp(0));
    ASSERT_TRUE(pipes->isInstanceOf("PipesCU"));
    ASSERT_TRUE(pipes->isBuilt());
    enter(kRoom);
}

bool FountainScene::painted(const std::function<bool()>& done)
{
    for (int i = 0; i < 200 && !done(); ++i)
        world.stepFrames(1);
    return done();
}

void FountainScene::openPipes()
{
    runLua(fountain, "self:enterPipesCU()");
    ASSERT_TRUE(pipes->isVisible());
    ASSERT_TRUE(painted([this] { return !pipes->isTransitioning(); }));
    ASSERT_EQ(kBoardLeft, pipes->left());
    ASSERT_EQ(kBoardTop, pipes->top());
}

} // namespace scenetest
