// MazeTest.cpp: the hedge maze room in the fixture game: the token picked
// up and put down by the 550 ms rule, following the pointer held inside its
// corridor, at once on a fast move, the entrance closed, the climb out of
// the end cell by itself to "solvedMaze", the fog
// lifted where the token has been, and the fog drawn outside the flashlight
// only (read back from the rendered frame); the token taken after the
// solve; the mouse handlers' answers, for the token alone; the debug keys'
// random maze walked from entrance to exit and their grid dump.
#include "scenes/maze/Maze.h"

#include "core/lang/Integer.h"
#include "core/lang/System.h"
#include "core/util/Random.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/RandomDraw.h"
#include "scenes/mazegen/MazeGenerator.h"
#include "sprites/buttons/ButtonMixin.h"
#include "tests/scenes/support/SceneFixture.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/window/Event.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <fstream>
#include <sstream>

namespace scenetest {
namespace {

constexpr int kMazeRoom = 20;
// The maze of MazeGridTest at (300, 200) with 60-pixel cells: start 6 at
// the bottom left, end 2 at the top right, the way up the left column and
// along the top row. The token is 20 x 20 and starts at (320, 340).
constexpr uint32_t kHedge = 0xFF206020u;

std::string mazeManifest()
{
    std::ostringstream m;
    m << "<data>\n0 3 3 6 2 300 200 10 12 5 3 15 15 3 15 15\n<sprites>\n";
    for (int v = 0; v < 16; ++v)
        m << "MazeHedge_" << v << " AnimateSprite hedge -100 0 1 1 0\n";
    m << "FlashlightPrototype AnimateSprite light 0 0 1 1 0\n";
    for (int i = 1; i <= 4; ++i)
        m << "MazeFogPrototype_" << i << " AnimateSprite frame 0 0 1 1 0\n";
    m << "MazeFogTilePrototype AnimateSprite fog -100 0 1 1 0\n"
      << "traveler AnimateSprite token 0 0 1 1 0\n"
      << "travelerPulsing AnimateSprite pulse 0 0 2 1 0\n"
      << "WinningRect RectButtonSprite 400 100 120 20 1\n";
    for (const char* border : {"MazeWall_N", "MazeWall_S", "MazeWall_W", "MazeWall_E", "MazeCorner_NW",
                               "MazeCorner_NE", "MazeCorner_SW", "MazeCorner_SE", "MazeGate_N", "MazeGate_S"})
        m << border << " RectSprite 0 0 10 10 -0xffff01 1\n";
    // A button of the room's own, away from the board.
    m << "MazeSign RectButtonSprite 40 40 60 60 1\n";
    m << "CloseButton RectButtonSprite 740 540 60 60 1\n<end>\n";
    return m.str();
}

class MazeTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        data.picture("hedge", 60, 60, kHedge);
        data.picture("light", 100, 100, 0xFFFFFFFFu);
        data.picture("frame", 4, 4, 0x00000000u);
        data.picture("fog", 62, 62, 0xFFFFFFFFu);
        data.picture("token", 20, 20, 0xFFC04040u);
        framesPicture(data, "pulse", 2, 52, 52);
        SceneSetup scene;
        scene.index = kMazeRoom;
        scene.className = "Maze";
        scene.manifest = mazeManifest();
        scene.callbacks = {"solvedMaze"};
        gametest::GameOptions options;
        options.gameScript = "function LF_getShowGameInstructions(n) return false end\n";
        ASSERT_TRUE(startScene(scene, options));
        maze = static_cast<Maze*>(room(kMazeRoom));
        ASSERT_TRUE(maze->isBuilt());
        enter(kMazeRoom);
        frames(1);
    }
    void move(int x, int y)
    {
        world.mouseMove(x, y);
        frames(1);
    }
    bool fogged(int cell) { return maze->grid().cells[size_t(cell)].fogged != 0; }
    // A key through the canvas with debug mode on (or off).
    void key(char k, bool debug = true)
    {
        lang::System::setDebugMode(debug);
        world.key(unsigned(k));
        lang::System::setDebugMode(false);
    }
    // What the generator makes of the fixture's grid with the draws of a
    // generator seeded so.
    static MazeGenerator::Grid generated(int seed)
    {
        MazeGenerator::Grid grid;
        grid.rows = grid.columns = 3;
        grid.start = 6;
        grid.end = 2;
        util::Random random;
        random.seed(seed);
        RandomDraw draw(random);
        EXPECT_TRUE(MazeGenerator::generate(grid, draw));
        return grid;
    }
    std::vector<int> walls()
    {
        std::vector<int> out;
        for (const Maze::Cell& cell : maze->grid().cells)
            out.push_back(cell.walls);
        return out;
    }
    std::string dumpFile()
    {
        std::ifstream in(world.folder() / MazeGenerator::kDumpFile, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    uint32_t pixel(int x, int y)
    {
        std::vector<uint32_t> pixels(size_t(800) * 600, 0);
        window::Graphics* g = canvas->getGraphics();
        g->getBackBuffer(0, 0, 800, 600, pixels.data());
        g->release();
        return pixels[size_t(y) * 800 + size_t(x)] | 0xFF000000u;
    }

    Maze* maze = nullptr;
};

TEST_F(MazeTest, TheTokenIsPickedUpAndPutDownByTheHoldRule)
{
    ASSERT_EQ(320, maze->getTravelerX());
    ASSERT_EQ(340, maze->getTravelerY());
    clearRecords();
    const struct {
        const char* what;
        int x, y;
        int held; // ms from the press to the release
        bool dragging;
    } steps[] = {
        {"a release 550 ms after the press keeps the token", 325, 345, 550, true},
        {"a press elsewhere puts it down", 500, 500, 0, false},
        {"a release 551 ms after the press puts it down", 325, 345, 551, false},
        {"a quick click picks it up", 325, 345, 16, true},
        {"a press on the token while it is held puts it down", 325, 345, 16, false},
    };
    for (const auto& s : steps) {
        world.mouseDown(s.x, s.y); // the event ticks the clock by 16 ms
        if (s.held > 16)
            world.tick(s.held - 16);
        world.mouseUp(s.x, s.y);
        EXPECT_EQ(s.dragging, maze->isDragging()) << s.what;
    }
    const std::vector<int> sounds = soundsPlayed();
    EXPECT_EQ(3, std::count(sounds.begin(), sounds.end(), Maze::SOUND_PICK_UP));
    // A release that keeps the token held answers 0.
    world.mouseDown(325, 345);
    lang::Integer none(0);
    window::Event release(maze, window::Event::MOUSE_UP, &none);
    release.x = 325;
    release.y = 345;
    EXPECT_EQ(0, maze->mouseUp(&release));
    EXPECT_TRUE(maze->isDragging());
}

TEST_F(MazeTest, TheMouseHandlersAnswerForTheTokenAlone)
{
    lang::Integer none(0);
    auto event = [&](int id, int x, int y) {
        auto* e = new window::Event(maze, id, &none);
        e->x = x;
        e->y = y;
        e->when = world.clock().tickCount();
        return std::unique_ptr<window::Event, void (*)(window::Event*)>(e, [](window::Event* p) { p->release(); });
    };
    // Over the room's button, which answers a rollover and a release.
    sprite::ButtonMixin::fromSprite(maze->getSprite("MazeSign"))->setFireOnRelease(true);
    EXPECT_FALSE(maze->mouseMove(event(window::Event::MOUSE_MOVE, 60, 60).get()));
    world.mouseDown(60, 60);
    EXPECT_EQ(0, maze->mouseUp(event(window::Event::MOUSE_UP, 60, 60).get()));
    // Over the token, and with it held.
    EXPECT_TRUE(maze->mouseMove(event(window::Event::MOUSE_MOVE, 325, 345).get()));
    world.mouseDown(325, 345);
    ASSERT_TRUE(maze->isDragging());
    EXPECT_TRUE(maze->mouseMove(event(window::Event::MOUSE_MOVE, 60, 60).get()));
    world.tick(600);
    EXPECT_NE(0, maze->mouseUp(event(window::Event::MOUSE_UP, 60, 60).get())) << "a long hold puts it down";
    EXPECT_FALSE(maze->isDragging());
}

TEST_F(MazeTest, TheTokenFollowsThePointerAlongTheHedgesAndClimbsOutOfTheEndCell)
{
    // Taken 5 pixels in from its corner: it follows with that hold.
    world.click(325, 345);
    ASSERT_TRUE(maze->isDragging());
    EXPECT_FALSE(fogged(6));
    EXPECT_FALSE(fogged(2));
    // From the start cell its corner may stand strictly between x 306 and
    // 334, and y 206 (up the open column) and 354.
    const struct {
        const char* what;
        int x, y;
        int expectX, expectY;
    } moves[] = {
        {"inside the bounds", 335, 355, 330, 350},
        {"held just inside the hedge it meets", 345, 350, 333, 345},
        {"not down through the entrance", 330, 370, 325, 353},
        {"a fast move far up the column: it follows at once", 325, 215, 320, 210},
    };
    for (const auto& m : moves) {
        move(m.x, m.y);
        EXPECT_EQ(m.expectX, maze->getTravelerX()) << m.what;
        EXPECT_EQ(m.expectY, maze->getTravelerY()) << m.what;
    }
    EXPECT_FALSE(fogged(3));
    EXPECT_FALSE(fogged(0));
    // One move along the top row: it goes as far as the end cell, where it
    // leaves the pointer and climbs out by itself, frame by frame.
    world.mouseMove(465, 215);
    EXPECT_EQ(420, maze->getTravelerX()) << "stopped at the end cell's edge";
    EXPECT_TRUE(maze->isClimbing());
    EXPECT_FALSE(maze->isDragging());
    EXPECT_FALSE(fogged(1));
    for (int cell : {4, 5, 7, 8})
        EXPECT_TRUE(fogged(cell)) << cell;
    ASSERT_TRUE(stepUntil([this] { return maze->isSolved(); }, 40));
    EXPECT_EQ((std::vector<std::string>{"solvedMaze:Maze(1)"}), calls("solvedMaze"));
    EXPECT_EQ(440, maze->getTravelerX()) << "drawn to the middle of the gate";
    EXPECT_LE(maze->getTravelerY() - Maze::PULSE_OFFSET, 100 + Maze::WIN_MARGIN) << "the ring met the exit";
    const int y = maze->getTravelerY();
    frames(5);
    move(maze->getTravelerX(), y - 10);
    EXPECT_EQ(y, maze->getTravelerY()) << "a solved maze ignores the pointer and climbs no more";
    EXPECT_EQ(1u, calls("solvedMaze").size());
    // Put down, the token is still picked up, though it moves no more.
    world.click(500, 500);
    ASSERT_FALSE(maze->isDragging());
    world.click(maze->getTravelerX() + 5, y + 5);
    EXPECT_TRUE(maze->isDragging());
}

TEST_F(MazeTest, TheCloseButtonTellsTheScriptAndLeavesForTheMazesFront)
{
    clearCalls();
    world.click(770, 570);
    // The close button's own call, then the one of every room left.
    EXPECT_EQ((std::vector<std::string>{"onExit:Maze(1)", "onExit:Maze(1)"}), calls("onExit:Maze"));
    world.stepFrames(40);
    EXPECT_EQ(Maze::HEDGE_MAZE_FRONT, canvas->getCurrentRoomIndex());
}

TEST_F(MazeTest, FogCoversTheUnvisitedCellsOutsideTheFlashlight)
{
    world.stepFrames(2);
    // The flashlight (100 x 100) is centred on the token's corner (320, 340).
    EXPECT_EQ(kHedge, pixel(330, 300)) << "a fogged cell under the flashlight";
    const uint32_t fog = pixel(400, 300);
    EXPECT_GT(fog & 0xFFu, 0xE0u) << "a fogged cell outside the flashlight is nearly white";
    EXPECT_GT((fog >> 16) & 0xFFu, 0xE0u);
    EXPECT_EQ(kHedge, pixel(450, 230)) << "the end cell";
    lang::System::setDebugMode(true);
    maze->keyPressed('f');
    lang::System::setDebugMode(false);
    world.stepFrames(2);
    EXPECT_EQ(kHedge, pixel(400, 300)) << "no fog without the flashlight";
}

// The cells from the start to the end through open walls, found breadth
// first over the room's cells with the wall bits spelled out here.
std::vector<int> pathThrough(const MazeGrid& g)
{
    const struct {
        int wall, rowStep, columnStep;
    } sides[] = {{8, -1, 0}, {4, 1, 0}, {2, 0, -1}, {1, 0, 1}};
    std::vector<int> from(size_t(g.cellCount()), -1);
    std::vector<int> queue{g.startCell};
    from[size_t(g.startCell)] = g.startCell;
    for (size_t q = 0; q < queue.size(); ++q) {
        const int cell = queue[q];
        for (const auto& side : sides) {
            const int r = cell / g.columns + side.rowStep, c = cell % g.columns + side.columnStep;
            if (r < 0 || r >= g.rows || c < 0 || c >= g.columns || (g.cells[size_t(cell)].walls & side.wall))
                continue;
            if (from[size_t(r * g.columns + c)] < 0) {
                from[size_t(r * g.columns + c)] = cell;
                queue.push_back(r * g.columns + c);
            }
        }
    }
    std::vector<int> path;
    for (int cell = g.endCell; from[size_t(cell)] >= 0 && cell != g.startCell; cell = from[size_t(cell)])
        path.insert(path.begin(), cell);
    return path;
}

TEST_F(MazeTest, TheGenerateKeyLaysOutARandomMazeThatCanBeWalkedToTheExit)
{
    const std::vector<int> loaded = walls();
    key('G', false);
    EXPECT_EQ(loaded, walls()) << "only in debug mode";
    bool changed = false;
    for (int seed : {3, 11, 2024}) {
        SCOPED_TRACE(seed);
        maze->getRandom().seed(seed);
        key('G');
        ASSERT_EQ(generated(seed).walls, walls()) << "the room's own generator drew the maze";
        changed = changed || walls() != loaded;
        EXPECT_EQ(9, maze->getHedgeCount());
        EXPECT_EQ(320, maze->getTravelerX()) << "laid out afresh";
        EXPECT_EQ(340, maze->getTravelerY());
        EXPECT_FALSE(maze->isSolved());
        for (int cell : {0, 1, 3, 4, 5, 7, 8})
            EXPECT_TRUE(fogged(cell)) << cell;

        // Lead the token (taken by its corner) from cell to cell, 20 pixels
        // a move, until it stands in the end cell and climbs out.
        clearCalls();
        world.click(320, 340);
        ASSERT_TRUE(maze->isDragging());
        int x = 320, y = 340, cell = 6;
        for (int next : pathThrough(maze->grid())) {
            const int dx = (next % 3 - cell % 3) * 20, dy = (next / 3 - cell / 3) * 20;
            for (int step = 0; step < 3 && cell != 2; ++step) {
                x += dx;
                y += dy;
                world.mouseMove(x, y);
                if (maze->isClimbing()) {
                    // Its corner reached the end cell on the way.
                    cell = 2;
                    break;
                }
                ASSERT_EQ(x, maze->getTravelerX()) << "towards cell " << next;
                ASSERT_EQ(y, maze->getTravelerY()) << "towards cell " << next;
                cell = (y - 200) / 60 * 3 + (x - 300) / 60;
                frames(1);
            }
            EXPECT_FALSE(fogged(next)) << next;
        }
        ASSERT_EQ(2, cell) << "the path ends in the end cell";
        stepUntil([this] { return !calls("solvedMaze").empty(); }, 40);
        EXPECT_EQ(1u, calls("solvedMaze").size());
        EXPECT_TRUE(maze->isSolved());
    }
    EXPECT_TRUE(changed) << "a random maze replaced the loaded one";
}

TEST_F(MazeTest, TheDumpKeyWritesTheGridAndAFileThatCannotBeWrittenIsReported)
{
    namespace fs = std::filesystem;
    const fs::path file = world.folder() / MazeGenerator::kDumpFile;
    key('W', false);
    EXPECT_FALSE(fs::exists(file)) << "only in debug mode";

    // A folder in the file's place: reported, and the game goes on.
    fs::create_directory(file);
    key('W');
    EXPECT_NE(std::string::npos, world.debugText().find("Error Opening")) << world.debugText();
    frames(1);
    ASSERT_TRUE(maze->isBuilt());
    fs::remove(file);

    key('W');
    const std::string loaded = "GRID ROWS: 3\nGRID COLS: 3\nGRID START: 6\nGRID END: 2\nTOTAL GRID CELLS: 9\n"
                               "10 ; 0\n12 ; 1\n5 ; 2\n3 ; 3\n15 ; 4\n15 ; 5\n3 ; 6\n15 ; 7\n15 ; 8\n";
    EXPECT_EQ(loaded, dumpFile());
    EXPECT_NE(std::string::npos, world.debugText().find(std::string(52, '*') + "\n" + loaded));

    // A generated grid dumps as the generator dumps the same grid.
    maze->getRandom().seed(5);
    key('G');
    key('W');
    EXPECT_EQ(MazeGenerator::dumpText(generated(5)), dumpFile());
    EXPECT_NE(loaded, dumpFile());
}

} // namespace
} // namespace scenetest
