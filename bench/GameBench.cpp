// The game program on the sample data the build makes: the start to the main
// menu, a frame of the busiest room through the software renderer (and a
// frame of its wipe to the next room), and the peak memory of a scripted
// play session through every room, measured in a child process.
#include "core/lang/ResourceFile.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/registration/GameClasses.h"
#include "game/rooms/Room.h"
#include "scenes/registration/SceneClasses.h"
#include "sprites/particles/ExplosionSpritePSX.h"
#include "tests/game/support/GameFixture.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The argument that makes this program play the session for the memory
// benchmark instead of running the benchmarks.
constexpr const char* kSessionArgument = "--play-session";
// The budget a frame has at the game's 25 frames a second.
constexpr double kFrameBudgetMs = 40.0;
// The dock: a fisherman, the guide's first-visit talk, fifty bubbles and the
// waves; the market place is the room its wipe leads to.
constexpr int kBusiestRoom = 0;
constexpr int kNextRoom = LanternfieldCanvas::ROOM_MARKET_PLACE;
// Frames given to each room of the session: a room change's wipe takes
// about 25.
constexpr int kFramesPerRoom = 30;
// Clicks the session gives each room, at points spread over the play area.
constexpr int kClicksPerRoom = 6;

// The sample game started in a world of its own, as the program starts it.
struct SampleGame {
    SampleGame() { started = gametest::startSampleGame(world, frame, canvas); }

    testsupport::GameWorld world;
    testsupport::TestLoaderFrame* frame = new testsupport::TestLoaderFrame();
    gametest::Canvas* canvas = nullptr;
    bool started = false;
};

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void BM_StartToMainMenu(benchmark::State& state)
{
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        auto game = std::make_unique<SampleGame>();
        const double ms = millisecondsSince(start);
        if (!game->started || game->canvas->getGameState() != LanternfieldCanvas::STATE_MAIN_MENU) {
            state.SkipWithError("the sample game did not reach its main menu");
            break;
        }
        state.SetIterationTime(ms / 1000.0);
        // Closing the program is no part of its start.
        game.reset();
    }
    state.counters["goal_ms"] = 500;
}
BENCHMARK(BM_StartToMainMenu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// The dock entered by a new player, with a burst of flower petals over it.
std::unique_ptr<SampleGame> busiestRoom()
{
    auto game = std::make_unique<SampleGame>();
    if (!game->started)
        return nullptr;
    gametest::typeName(game->world, "Ann");
    game->canvas->enterGame(kBusiestRoom);
    game->world.stepFrames(2);
    return game;
}

// Starts a burst of petals in the room unless one is running.
void keepParticlesRunning(Room* room)
{
    util::TVector<sprite::ExplosionSpritePSX*>* bursts = room->getParticles();
    if (!bursts || !bursts->elementAt(0)->isRunning())
        room->createParticleEffect(lang::String("Background"), lang::String("Flower"), 40);
}

// One logic frame and its paint through the software device, timed. Kept out
// of line so that a profiler can count the timed frames alone
// (valgrind --toggle-collect on this function).
__attribute__((noinline)) double frame(SampleGame& game)
{
    const Clock::time_point start = Clock::now();
    game.world.tick(sprite::GameCanvas3::FRAME_PERIOD_MS);
    return millisecondsSince(start);
}

void reportFrames(benchmark::State& state, double totalMs)
{
    const double perFrame = state.iterations() ? totalMs / double(state.iterations()) : 0.0;
    state.counters["percent_of_40ms_frame"] = 100.0 * perFrame / kFrameBudgetMs;
    state.counters["goal_ms"] = 2;
}

void BM_BusiestRoomFrame(benchmark::State& state)
{
    std::unique_ptr<SampleGame> game = busiestRoom();
    if (!game) {
        state.SkipWithError("the sample game did not start");
        return;
    }
    Room* room = game->canvas->getRoom(kBusiestRoom);
    state.counters["animals"] = room->getAmbientSprites().size();
    double totalMs = 0.0;
    for (auto _ : state) {
        keepParticlesRunning(room);
        totalMs += frame(*game);
    }
    reportFrames(state, totalMs);
}
BENCHMARK(BM_BusiestRoomFrame)->Unit(benchmark::kMillisecond);

void BM_BusiestRoomWipeFrame(benchmark::State& state)
{
    std::unique_ptr<SampleGame> game = busiestRoom();
    if (!game) {
        state.SkipWithError("the sample game did not start");
        return;
    }
    LanternfieldCanvas* canvas = game->canvas;
    double totalMs = 0.0;
    int wipes = 0;
    for (auto _ : state) {
        if (!canvas->isOverlayShowing()) {
            // Only the wipe's frames are timed: back and forth between the
            // dock and the market place, each change asked for as the walk
            // through an exit asks for it, so that the exit's wipe runs (a
            // room changed at once has none). The next room is entered, and
            // its pictures decoded, halfway through the wipe.
            state.PauseTiming();
            const int here = canvas->getCurrentRoomIndex();
            canvas->requestRoomChange(here == kBusiestRoom ? kNextRoom : kBusiestRoom);
            keepParticlesRunning(canvas->getRoom(kBusiestRoom));
            if (!canvas->isOverlayShowing()) {
                state.SkipWithError("the room change started no wipe");
                break;
            }
            ++wipes;
            state.ResumeTiming();
        }
        totalMs += frame(*game);
    }
    if (wipes > 0)
        state.counters["frames_per_wipe"] = double(state.iterations()) / wipes;
    reportFrames(state, totalMs);
}
BENCHMARK(BM_BusiestRoomWipeFrame)->Unit(benchmark::kMillisecond);

// The session the memory benchmark measures: a new player starts a new game
// and then goes through all 66 rooms, each with its wipe, a few clicks on
// its puzzle or people and the frames they start; then back to the menu and
// the program closed. Answers the process's exit code.
int playSession()
{
    GameClasses::registerClasses();
    SceneClasses::registerClasses();
    int boxes = 0;
    {
        SampleGame game;
        if (!game.started)
            return 1;
        gametest::typeName(game.world, "Ann");
        game.world.click(400, 410);
        game.world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + 2);
        // A fixed scatter of clicks (a linear congruential sequence).
        uint32_t seed = 31;
        for (int index = 0; index < LanternfieldCanvas::ROOM_COUNT; ++index) {
            game.canvas->changeRoom(index);
            game.world.stepFrames(kFramesPerRoom);
            for (int i = 0; i < kClicksPerRoom; ++i) {
                seed = seed * 1664525u + 1013904223u;
                game.world.click(int(seed >> 8) % 800, int(seed >> 20) % 520);
                game.world.stepFrames(3);
            }
        }
        game.canvas->exitToMenu();
        game.world.stepFrames(kFramesPerRoom);
        boxes = int(game.world.boxes().size());
        game.world.close();
    }
    std::fprintf(stderr, "session: %d message boxes\n", boxes);
    return 0;
}

void BM_PlaySessionPeakMemory(benchmark::State& state)
{
    const std::filesystem::path archive = std::filesystem::path(HV_SAMPLE_DIR) / "Lanternfield.bin";
    const double archiveMb = double(std::filesystem::file_size(archive)) / (1024.0 * 1024.0);
    for (auto _ : state) {
        // A fresh process: the peak is the session's own, not this one's.
        const Clock::time_point start = Clock::now();
        const pid_t child = fork();
        if (child == 0) {
            execl("/proc/self/exe", "GameBench", kSessionArgument, static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError("the play session failed");
            break;
        }
        state.SetIterationTime(millisecondsSince(start) / 1000.0);
        // ru_maxrss is in kilobytes on Linux.
        state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
    }
    state.counters["archive_MB"] = archiveMb;
    state.counters["goal_MB"] = 2.0 * archiveMb + 64.0;
}
BENCHMARK(BM_PlaySessionPeakMemory)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], kSessionArgument) == 0)
        return playSession();
    if (!gametest::hasSampleGame()) {
        std::fprintf(stderr, "GameBench: the sample data is not built (the sample_data target)\n");
        return 1;
    }
    // Every class the data may name, as the program registers them.
    GameClasses::registerClasses();
    SceneClasses::registerClasses();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
