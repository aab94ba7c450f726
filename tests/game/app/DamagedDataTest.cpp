// DamagedDataTest.cpp: the game on its sample data with one thing damaged
// (the archive, its manifest or a room's, a picture, a sound, a script) says what is
// wrong and goes on, or ends by itself, and never crashes: the program
// itself, headless, where the damage shows at its start; the game in the
// test world where it shows only in play.
#include "game/rooms/Room.h"
#include "platform/user/Backend.h"
#include "tests/game/support/GameFixture.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/MachinePace.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestXServer.h"
#include "tools/archive/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <sstream>
#include <sys/file.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace gametest {
namespace {

namespace fs = std::filesystem;
using testsupport::MachinePace;
using testsupport::TestXServer;
using Bytes = std::vector<uint8_t>;

#ifdef HV_SAMPLE_DIR
const fs::path kSample = HV_SAMPLE_DIR;
#else
const fs::path kSample;
#endif

// Bytes no reader takes for anything (a fixed linear congruential sequence).
Bytes noise(size_t length)
{
    Bytes out(length);
    uint32_t seed = 31;
    for (uint8_t& b : out) {
        seed = seed * 1664525u + 1013904223u;
        b = uint8_t(seed >> 24);
    }
    return out;
}

// Rewrites the folder's archive with one item's bytes changed.
void changeItem(const fs::path& folder, const std::string& name, const std::function<Bytes(Bytes)>& change)
{
    const std::string path = (folder / testsupport::GameData::kArchiveName).string();
    Bytes data;
    std::vector<tools::ArchiveEntry> entries;
    std::string error;
    ASSERT_TRUE(tools::readArchive(path, data, entries, error)) << error;
    tools::ArchiveWriter writer;
    bool found = false;
    for (const tools::ArchiveEntry& e : entries) {
        Bytes bytes(data.begin() + e.offset, data.begin() + e.offset + e.size);
        if (e.name == name) {
            bytes = change(bytes);
            found = true;
        }
        writer.add(e.name, bytes);
    }
    ASSERT_TRUE(found) << name;
    ASSERT_TRUE(writer.write(path));
}

Bytes firstBytes(Bytes bytes, size_t n)
{
    bytes.resize(std::min(n, bytes.size()));
    return bytes;
}

// The game program and its data, copied into the folder.
void copyDamagedDataProgram(const fs::path& folder)
{
    for (const auto& entry : fs::directory_iterator(kSample))
        fs::copy(entry.path(), folder / entry.path().filename());
}

void appendToFile(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary | std::ios::app) << text;
}

// How a run of the program ended.
struct ProgramRun {
    bool endedByItself = false;
    int exitCode = -1;
    int crashSignal = 0; // a signal the program died of, not the one that stopped it
    int endMs = -1;      // how long it took to end once stopped (-1: it did not, and was killed)
    int endPacedMs = -1; // the same at the pace the machine gave it (see MachinePace)
    int endCpuMs = -1;   // the processor time it spent meanwhile, all its threads together
    std::string endLoad; // the machine's load meanwhile, for a failure's message
    std::string errors;  // its standard error, then its standard output
};

// How the program's environment differs from the test's, for its folder
// (see testsupport::environmentWith).
using EnvironmentChanges = std::function<std::vector<std::string>(const fs::path&)>;

// How the program is stopped: by `signal`, then `whileEnding` is done to it
// (with its folder). Its standard error goes to a pipe nobody reads when
// `errorsUnread`, filled to the last byte before it starts when
// `errorsFull`. Its environment is changed by `environment`; `inChild` is
// done in its process before it starts (to its limits, signals or
// standard streams), and makes only the calls a signal handler may: the
// test's threads run on as it is forked.
struct ProgramStop {
    int signal = SIGTERM;
    std::function<void(pid_t, const fs::path&)> whileEnding;
    bool errorsUnread = false;
    bool errorsFull = false;
    EnvironmentChanges environment;
    std::function<void()> inChild;
    // The folder it starts in, below its own (empty: the test's).
    fs::path workingFolder;
};

// The processor time a running child has spent so far, in milliseconds (-1
// once it is gone).
int processorMs(pid_t child)
{
    std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t fields = text.rfind(") ");
    if (fields == std::string::npos)
        return -1;
    std::istringstream rest(text.substr(fields + 2));
    std::string field;
    long userTicks = 0, systemTicks = 0;
    // The state, then ten fields to the user and system times (proc(5)).
    for (int i = 0; i < 11; ++i)
        rest >> field;
    rest >> userTicks >> systemTicks;
    return int((userTicks + systemTicks) * 1000 / sysconf(_SC_CLK_TCK));
}

// An X display between the program and an X server of the test's, which
// passes on what either sends until the program asks for a window to be
// made (or, made to, makes its first request after the connection's
// setup): then it hangs up, and the display is lost before the program's
// first window is (or as the program opens the display). Without a server
// it answers nothing: a program that
// opens it waits there until it hangs up, and then has no display. Its
// socket is an abstract one, which the X library tries first: nothing is
// made on disk.
class TestDisplay {
public:
    // The request that ends the relay: any request after the setup; or
    // none, as no server gives an extension this number (they are given
    // upward from 128).
    static constexpr uint8_t kAnyRequest = 0;
    static constexpr uint8_t kNoRequest = 255;

    // Between the program and display `server`; -1: no server. It hangs up
    // on the first request `cutAt`.
    explicit TestDisplay(int server = -1, uint8_t cutAt = kCreateWindow) : m_server(server), m_cutAt(cutAt)
    {
        m_socket = listenAtFreeDisplay();
        if (m_socket >= 0 && pipe2(m_wake, O_CLOEXEC) == 0)
            m_thread = std::thread([this] { run(); });
    }
    ~TestDisplay()
    {
        m_ending = true;
        wake();
        if (m_thread.joinable())
            m_thread.join();
        for (int fd : {m_socket, m_wake[0], m_wake[1]})
            if (fd >= 0)
                close(fd);
    }
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    bool isOpen() const { return m_thread.joinable(); }
    // The DISPLAY that names it.
    std::string name() const { return ":" + std::to_string(m_number); }
    // Wait, a minute at the machine's pace at most, until a program has
    // connected, or until the display has hung up on a window's making;
    // whether it has.
    bool waitConnected() { return waitFor(m_connected); }
    bool waitCut() { return waitFor(m_cut); }
    // Ends every connection: a display that was opening does not open. The
    // next program to connect is waited for anew.
    void hangUp()
    {
        m_hangUp = true;
        wake();
        waitFor(m_hungUp);
        m_hangUp = m_hungUp = m_connected = false;
    }

private:
    // One program's connection: its requests are followed (to find a
    // window's making) from the setup on.
    struct Link {
        int program = -1;
        int server = -1;
        std::string head; // the start of a request (or the setup) read so far
        size_t skip = 0;  // the rest of a request, passed on unread
        bool setUp = false;
        bool little = true;
    };

    // A socket listening as a display no other has taken; its number is
    // kept.
    int listenAtFreeDisplay()
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        for (int n = 3000 + getpid() % 4000; fd >= 0 && m_number < 0 && n < 7100; ++n) {
            sockaddr_un address = addressOf(n);
            if (bind(fd, reinterpret_cast<sockaddr*>(&address), addressLength(n)) == 0 && listen(fd, 4) == 0)
                m_number = n;
        }
        return fd;
    }
    static std::string socketName(int number) { return "/tmp/.X11-unix/X" + std::to_string(number); }
    static sockaddr_un addressOf(int number)
    {
        const std::string name = socketName(number);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::copy(name.begin(), name.end(), address.sun_path + 1);
        return address;
    }
    static socklen_t addressLength(int number)
    {
        return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + socketName(number).size());
    }
    void wake()
    {
        if (m_wake[1] >= 0 && write(m_wake[1], "x", 1) < 0) {
            // Woken already.
        }
    }
    bool waitFor(const std::atomic<bool>& done)
    {
        return testsupport::reachedAtPace(60000, [&done] { return done.load(); });
    }
    // Whether the bytes from the program make request `cutAt`; the link
    // remembers where they end.
    static bool asksFor(uint8_t cutAt, Link& link, const char* bytes, size_t length)
    {
        auto number = [&link](size_t at, size_t size) {
            uint32_t value = 0;
            for (size_t i = 0; i < size; ++i) {
                const uint32_t byte = uint8_t(link.head[at + (link.little ? i : size - 1 - i)]);
                value |= byte << (8 * i);
            }
            return value;
        };
        auto padded = [](uint32_t n) { return (n + 3) / 4 * 4; };
        for (size_t i = 0; i < length;) {
            if (link.skip > 0) {
                const size_t passed = std::min(link.skip, length - i);
                link.skip -= passed;
                i += passed;
                continue;
            }
            link.head.push_back(bytes[i++]);
            if (!link.setUp) {
                // The byte order, the version, and the lengths of the
                // authorisation's name and data that follow.
                link.little = link.head[0] == 'l';
                if (link.head.size() == 12) {
                    link.skip = padded(number(6, 2)) + padded(number(8, 2));
                    link.setUp = true;
                    link.head.clear();
                }
            } else if (link.head.size() == 4 && (cutAt == kAnyRequest || uint8_t(link.head[0]) == cutAt)) {
                return true;
            } else if (link.head.size() == 4 && number(2, 2) != 0) {
                link.skip = number(2, 2) * 4 - 4;
                link.head.clear();
            } else if (link.head.size() == 8) {
                // A big request's length follows its first word.
                link.skip = number(4, 4) * 4 - 8;
                link.head.clear();
            }
        }
        return false;
    }
    static void end(const Link& link)
    {
        for (int fd : {link.program, link.server})
            if (fd >= 0)
                close(fd);
    }
    void run()
    {
        std::vector<Link> links;
        auto endAll = [&links] {
            for (const Link& link : links)
                end(link);
            links.clear();
        };
        while (!m_ending) {
            std::vector<pollfd> watched{{m_wake[0], POLLIN, 0}, {m_socket, POLLIN, 0}};
            for (const Link& link : links)
                if (link.server >= 0)
                    watched.insert(watched.end(), {{link.program, POLLIN, 0}, {link.server, POLLIN, 0}});
            if (poll(watched.data(), nfds_t(watched.size()), -1) < 0)
                continue;
            if (watched[0].revents != 0) {
                char drained[16];
                if (read(m_wake[0], drained, sizeof drained) < 0) {
                    // Nothing to drain.
                }
                if (m_hangUp) {
                    endAll();
                    m_hungUp = true;
                }
                continue;
            }
            if (watched[1].revents != 0) {
                Link link;
                link.program = accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
                if (link.program < 0)
                    continue;
                if (m_server >= 0) {
                    link.server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
                    sockaddr_un address = addressOf(m_server);
                    if (connect(link.server, reinterpret_cast<sockaddr*>(&address), addressLength(m_server)) != 0) {
                        close(link.server);
                        link.server = -1;
                    }
                }
                links.push_back(link);
                m_connected = true;
                continue;
            }
            // The links watched, in the order watched (a link without a
            // server is not).
            std::vector<size_t> relayed;
            for (size_t i = 0; i < links.size(); ++i)
                if (links[i].server >= 0)
                    relayed.push_back(i);
            std::vector<size_t> ended;
            for (size_t r = 0; r < relayed.size() && !m_cut; ++r) {
                Link& link = links[relayed[r]];
                for (const bool fromProgram : {true, false}) {
                    if (watched[2 + 2 * r + (fromProgram ? 0 : 1)].revents == 0)
                        continue;
                    char bytes[65536];
                    const ssize_t n = read(fromProgram ? link.program : link.server, bytes, sizeof bytes);
                    if (n > 0 && fromProgram && asksFor(m_cutAt, link, bytes, size_t(n))) {
                        m_cut = true;
                        break;
                    }
                    if (n <= 0) {
                        ended.push_back(relayed[r]);
                        break;
                    }
                    const int to = fromProgram ? link.server : link.program;
                    for (ssize_t sent = 0, k = 0; sent < n && k >= 0; sent += k)
                        k = write(to, bytes + sent, size_t(n - sent));
                }
            }
            if (m_cut)
                endAll();
            for (auto i = ended.rbegin(); !m_cut && i != ended.rend(); ++i) {
                end(links[*i]);
                links.erase(links.begin() + long(*i));
            }
        }
        endAll();
    }

    // The request that makes a window.
    static constexpr uint8_t kCreateWindow = 1;

    const int m_server;
    const uint8_t m_cutAt;
    int m_socket = -1;
    int m_number = -1;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_ending{false};
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_cut{false};
    std::atomic<bool> m_hangUp{false};
    std::atomic<bool> m_hungUp{false};
    std::thread m_thread;
};

// Waits until the program has ended, a minute at the machine's pace at
// most, leaving it to be waited for.
void waitUntilEnded(pid_t program)
{
    testsupport::reachedAtPace(60000, [program] {
        siginfo_t ended{};
        return waitid(P_PID, program, &ended, WEXITED | WNOHANG | WNOWAIT) != 0 || ended.si_pid != 0;
    });
}

// The whole text of a file (empty when there is none).
std::string fileText(const fs::path& file)
{
    std::stringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

// Waits (ten seconds at the machine's pace at most) until the program run
// in `folder` has said on its standard error that it is saving.
void waitForSaving(const fs::path& folder)
{
    testsupport::reachedAtPace(
        10000, [&folder] { return fileText(folder / "stderr.txt").find("saving") != std::string::npos; });
}

// Opens the pipe `slow` in `folder` for writing once the program's save has
// opened it to read (five seconds at the machine's pace at most), and closes
// it: the save reads its end and runs on.
void letTheSaveOn(const fs::path& folder)
{
    int pipe = -1;
    testsupport::reachedAtPace(
        5000, [&] { return (pipe = open((folder / "slow").c_str(), O_WRONLY | O_NONBLOCK)) >= 0; });
    close(pipe);
}

// Runs the program copied into `folder` headless, as a player runs it (the
// diagnostic lines off); it is stopped `graceMs` after the first line
// containing `awaited` appears in its output (or after the time limit)
// unless it ended by itself, and at once by a stop without a signal that
// awaits nothing. One that does not end a minute later is killed: a hang.
// The limits count time at the machine's pace.
ProgramRun runProgram(const fs::path& folder, const std::string& awaited, int graceMs = 500,
                      const ProgramStop& stop = ProgramStop())
{
    const int signal = stop.signal;
    const fs::path errors = folder / "stderr.txt";
    int unread[2] = {-1, -1};
    if (stop.errorsUnread && pipe2(unread, O_CLOEXEC) != 0)
        return ProgramRun();
    if (stop.errorsFull) {
        fcntl(unread[1], F_SETFL, O_NONBLOCK);
        const std::string block(4096, '-');
        while (write(unread[1], block.data(), block.size()) > 0) {
        }
        while (write(unread[1], "-", 1) > 0) {
        }
        fcntl(unread[1], F_SETFL, 0);
    }
    // All is made before the fork: the new process only starts the program.
    const int out =
        stop.errorsUnread ? unread[1] : open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int output = open((folder / "stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<std::string> changes{"HV_WINDOW_BACKEND=headless", "SDL_AUDIODRIVER=dummy", "HV_DEBUG_OUTPUT",
                                     "HV_REGISTRY_FILE=" + (folder / "registry.txt").string()};
    if (stop.environment)
        for (const std::string& change : stop.environment(folder))
            changes.push_back(change);
    std::vector<std::string> settings = testsupport::environmentWith(changes);
    std::vector<char*> environment = testsupport::execEntries(settings);
    std::string program = (folder / "lanternfield").string();
    char* arguments[] = {&program[0], nullptr};
    const std::string working = stop.workingFolder.empty() ? "" : (folder / stop.workingFolder).string();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out, 2);
        dup2(output, 1);
        if (!working.empty() && chdir(working.c_str()) != 0)
            _exit(127);
        if (stop.inChild)
            stop.inChild();
        execve(program.c_str(), arguments, environment.data());
        _exit(127);
    }
    for (int file : {out, output})
        if (file >= 0 && file != unread[1])
            close(file);
    ProgramRun run;
    auto readErrors = [&] { return fileText(errors) + fileText(folder / "stdout.txt"); };
    // The program starts in well under a second; it is given ten. A stop
    // that sends no signal and awaits nothing is made at once: what it does
    // waits for its own moment, and the program may end by it before a
    // later stop.
    MachinePace started;
    int stopAtMs = signal == 0 && awaited.empty() ? 0 : 10000;
    bool seen = false;
    int status = 0;
    for (;;) {
        if (waitpid(child, &status, WNOHANG) == child) {
            run.endedByItself = true;
            break;
        }
        const int now = started.counted();
        if (now >= stopAtMs) {
            const int processorAtStop = processorMs(child);
            const auto stopped = std::chrono::steady_clock::now();
            MachinePace ending;
            kill(child, signal);
            if (stop.whileEnding)
                stop.whileEnding(child, folder);
            bool ended = false;
            rusage used{};
            while (!(ended = wait4(child, &status, WNOHANG, &used) == child) && ending.counted() < 60000)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (ended) {
                const auto sinceStop = std::chrono::steady_clock::now() - stopped;
                run.endMs = int(std::chrono::duration_cast<std::chrono::milliseconds>(sinceStop).count());
                run.endPacedMs = ending.counted();
                run.endCpuMs = int(used.ru_utime.tv_sec * 1000 + used.ru_utime.tv_usec / 1000 +
                                   used.ru_stime.tv_sec * 1000 + used.ru_stime.tv_usec / 1000) -
                               processorAtStop;
            } else {
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
            }
            run.endLoad = ending.load();
            break;
        }
        if (!seen && readErrors().find(awaited) != std::string::npos) {
            seen = true;
            stopAtMs = now + graceMs;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status) && (run.endedByItself || WTERMSIG(status) != signal))
        run.crashSignal = WTERMSIG(status);
    run.errors = readErrors();
    if (stop.errorsUnread) {
        close(unread[0]);
        close(unread[1]);
    }
    return run;
}

// The program shows its window on X display `name`. What the system's
// message bus library (which SDL starts on a display) keeps to the end is
// no leak of the game's: the leak checker of a sanitizer build leaves it
// out.
EnvironmentChanges onXDisplay(const std::string& name)
{
    return [name](const fs::path& folder) {
        const std::string suppressions = folder / "lsan.supp";
        std::ofstream(suppressions) << "leak:libdbus-1.so\n";
        return std::vector<std::string>{"HV_WINDOW_BACKEND", "DISPLAY=" + name, "SDL_VIDEODRIVER=x11",
                                        "LSAN_OPTIONS=suppressions=" + suppressions};
    };
}

struct ProgramCase {
    const char* what;
    std::function<void(const fs::path&)> damage;
    const char* message;
    bool ends; // whether the program ends by itself after saying so
    int exitCode;
    EnvironmentChanges environment = {}; // see ProgramStop
    const char* workingFolder = "";      // see ProgramStop
};

TEST(DamagedDataTest, TheProgramSaysWhatIsDamagedAndNeverCrashes)
{
    if (!hasSampleGame() || !fs::exists(kSample / "lanternfield"))
        GTEST_SKIP() << "the game and its data are built with the tools";
    std::vector<ProgramCase> cases = {
        {"the archive",
         [](const fs::path& f) {
             const Bytes bytes = noise(65536);
             std::ofstream(f / testsupport::GameData::kArchiveName, std::ios::binary)
                 .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
         },
         "/Lanternfield.bin is not a game data archive.", true, 1},
        {"the archive missing", [](const fs::path& f) { fs::remove(f / testsupport::GameData::kArchiveName); },
         "/Lanternfield.bin is missing.", true, 1},
        // A relative path names the settings in the folder the game starts in.
        {"the settings named from the working folder",
         [](const fs::path& f) {
             fs::create_directory(f / "play");
             std::ofstream(f / "play" / "mine.txt") << "garbage\n";
         },
         "/play/mine.txt is damaged (line 1: not a settings file)", false, 0,
         [](const fs::path&) { return std::vector<std::string>{"HV_REGISTRY_FILE=mine.txt"}; }, "play"},
        {"the archive's index cut short",
         [](const fs::path& f) { fs::resize_file(f / testsupport::GameData::kArchiveName, 100); },
         "/Lanternfield.bin is cut short.", true, 1},
        {"the archive cut short",
         [](const fs::path& f) { fs::resize_file(f / testsupport::GameData::kArchiveName, fs::file_size(f / testsupport::GameData::kArchiveName) / 2); },
         "/Lanternfield.bin is damaged: ", false, 0},
        {"the manifest", [](const fs::path& f) { changeItem(f, "datfile", [](Bytes b) { return firstBytes(b, 5000); }); },
         "[message box] setupGame: The data manifest \"datfile\" of the game data is damaged or incomplete: it lacks",
         true, 1},
        {"a room's manifest",
         [](const fs::path& f) { changeItem(f, "rooms/Dock", [](Bytes b) { return noise(b.size()); }); },
         "DataLoader: +rooms/Dock holds no section; the manifest is damaged", false, 0},
        {"a room's manifest garbled",
         [](const fs::path& f) {
             changeItem(f, "rooms/Dock", [](Bytes b) {
                 const std::string text(b.begin(), b.end());
                 const std::string garbled = text.substr(0, text.find("<sprites>") + 10) + "<garbled\n" +
                                             text.substr(text.find("<sprites>") + 10);
                 return Bytes(garbled.begin(), garbled.end());
             });
         },
         "DataLoader: +rooms/Dock does not parse whole (\"<garbled\" stands outside its sections)", false, 0},
        {"the music",
         [](const fs::path& f) { changeItem(f, "musicMainScreen", [](Bytes b) { return noise(b.size()); }); },
         "The sound +musicMainScreen is damaged", false, 0},
        {"a picture",
         [](const fs::path& f) { changeItem(f, "rooms/Dock.png", [](Bytes b) { return noise(b.size()); }); },
         "The picture +rooms/Dock.png is damaged", false, 0},
        {"a script", [](const fs::path& f) { appendToFile(f / "Lanternfield.lua", "\nthis is not a script ((\n"); },
         "[message box] runScriptFile: Lanternfield.lua:", false, 0},
        // No display, and none but the X display tried (nothing of the
        // machine is opened); the headless backend is not asked for.
        {"the display", [](const fs::path&) {}, "no display is set", true, 1,
         [](const fs::path&) {
             return std::vector<std::string>{"HV_WINDOW_BACKEND", "DISPLAY", "SDL_VIDEODRIVER=x11"};
         }},
        // A Wayland display that is not there (a socket missing from the
        // test's folder), no X display, every driver tried: one without a
        // screen is no display either.
        {"the Wayland display", [](const fs::path&) {}, "/no-wayland\" cannot be opened", true, 1,
         [](const fs::path& folder) {
             return std::vector<std::string>{"HV_WINDOW_BACKEND", "DISPLAY", "SDL_VIDEODRIVER",
                                             "XDG_RUNTIME_DIR=" + folder.string(),
                                             "WAYLAND_DISPLAY=" + (folder / "no-wayland").string()};
         }},
    };
    // The display's server gone after its first answers, as SDL opens the
    // display: the game's own line says so, not the X library's. Only where
    // the X server can be run.
    testsupport::TempDir serverFolder;
    TestXServer server(serverFolder.path());
#ifdef HV_REQUIRE_X_TOOLS
    EXPECT_LE(0, server.number()) << "Xvfb did not start, and this test must run here";
#endif
    TestDisplay opening(server.number(), TestDisplay::kAnyRequest);
    if (server.number() >= 0 && opening.isOpen())
        cases.push_back({"the display, lost as it opens", [](const fs::path&) {},
                         "\" cannot be opened (its connection was lost); HV_WINDOW_BACKEND=headless", true, 1,
                         onXDisplay(opening.name())});
    for (const ProgramCase& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir dir;
        copyDamagedDataProgram(dir.path());
        c.damage(dir.path());
        // A program that ends by itself is given time to do so on a loaded
        // machine; one that plays on is stopped soon after its message.
        ProgramStop stop;
        stop.environment = c.environment;
        stop.workingFolder = c.workingFolder;
        const ProgramRun run = runProgram(dir.path(), c.message, c.ends ? 8000 : 500, stop);
        EXPECT_EQ(0, run.crashSignal) << run.errors.substr(run.errors.size() > 2000 ? run.errors.size() - 2000 : 0);
        EXPECT_NE(std::string::npos, run.errors.find(c.message)) << run.errors.substr(0, 2000);
        // Paths are written as the system writes them, and the libraries'
        // own lines stay out of the player's log.
        EXPECT_EQ(std::string::npos, run.errors.find('\\')) << run.errors.substr(0, 2000);
        for (const char* theirs : {"Not a JPEG file", "XIO:", "X connection to"})
            EXPECT_EQ(std::string::npos, run.errors.find(theirs)) << run.errors.substr(0, 2000);
        // Those lines are the standard error's: the standard output stays empty.
        EXPECT_EQ("", fileText(dir.path() / "stdout.txt"));
        EXPECT_EQ(c.ends, run.endedByItself);
        if (c.ends) {
            EXPECT_EQ(c.exitCode, run.exitCode);
        }
    }
}

TEST(DamagedDataTest, AQuitEndsTheProgramWithinSecondsWhateverAScriptDoes)
{
    if (!hasSampleGame() || !fs::exists(kSample / "lanternfield"))
        GTEST_SKIP() << "the game and its data are built with the tools";
    // Once stopped in a coroutine, the script catches the stop in a loop.
    const std::string escaping = "io.stderr:write('stuck\\n') "
                                 "local co = coroutine.create(function() while true do end end) coroutine.resume(co) "
                                 "while true do pcall(function() for i = 1, 1e7 do end end) end";
    // The game's first frame starts the story (its slides seen) in a room.
    const std::string playing = "if not quitStarted then quitStarted = true canvas:setHasLuaAnimations(true) "
                                "function canvas:nextFrame() self:setHasLuaAnimations(false) "
                                "io.stderr:write('playing\\n') LF.vignetteSeen = {1, 1, 1, 1, 1, 1} "
                                "self:startChapter() end end\n";
    struct QuitCase {
        const char* what;
        std::string script; // added to the story's script
        const char* awaited;
        ProgramStop stop;
        int exitCode; // 1: ended without its save (the script being blocked or stopped, the disk full)
        const char* said = "stuck"; // what its output holds
        // The processor time of its close: the scripts' two seconds for the
        // save and six in a call at most, the rest of the save and the end.
        int endsWithinMs = 8000;
        bool closedWhole = exitCode == 0; // whether the settings tell of a normal end
    };
    auto signalled = [](int signal) {
        ProgramStop stop;
        stop.signal = signal;
        return stop;
    };
    // Standard error fills up, and the room's script blocks writing to it.
    ProgramStop unread;
    unread.errorsUnread = true;
    // The machine keeps the program from running, in the middle of its save
    // (which waits on a pipe the test writes to), for longer than the game
    // may spend on its close.
    ProgramStop slowMachine;
    slowMachine.whileEnding = [](pid_t program, const fs::path& folder) {
        waitForSaving(folder);
        kill(program, SIGSTOP);
        std::this_thread::sleep_for(std::chrono::milliseconds(6200));
        kill(program, SIGCONT);
        // The save opens the pipe again once it runs on.
        letTheSaveOn(folder);
    };
    // A second quit signal comes while the exit save runs.
    ProgramStop secondSignal;
    secondSignal.whileEnding = [](pid_t program, const fs::path& folder) {
        waitForSaving(folder);
        kill(program, SIGTERM);
    };
    // From its close on, the program's window thread, which runs its
    // scripts, shares one processor with three threads that never rest: it
    // gets a quarter of it at most.
    ProgramStop busyMachine;
    busyMachine.whileEnding = [](pid_t program, const fs::path&) {
        testsupport::BusyProcessor busy;
        busy.share(program);
        // Until the program has ended, which is waited for afterwards.
        waitUntilEnded(program);
    };
    // Files grow to 2 kB at most: the settings with Ann's story do not fit.
    // The program itself ignores the signal of a write beyond the limit.
    ProgramStop diskFull;
    diskFull.inChild = [] {
        const rlimit fileSize{2048, 2048};
        setrlimit(RLIMIT_FSIZE, &fileSize);
    };
    // The line of a close whose save's script was stopped: the room's
    // script at exit takes the two seconds the scripts have.
    const char* unsaved = "The game could not be saved: the story of Ann cannot be had";
    // The disk full, and standard error a pipe whose reader has gone: the
    // line saying so is lost, and the program ends as it would have. The
    // game says that it plays on standard output.
    ProgramStop diskFullUnheard = diskFull;
    diskFullUnheard.inChild = [] {
        const rlimit fileSize{2048, 2048};
        setrlimit(RLIMIT_FSIZE, &fileSize);
        signal(SIGPIPE, SIG_DFL);
        int lost[2];
        if (pipe(lost) == 0) {
            close(lost[0]);
            dup2(lost[1], 2);
            close(lost[1]);
        }
    };
    const std::string saidOnErrors = "io.stderr:write('playing\\n')";
    std::string playingHeard = playing;
    playingHeard.replace(playingHeard.find(saidOnErrors), saidOnErrors.size(), "io.stdout:write('playing\\n') io.stdout:flush()");
    // Another program takes the settings' lock once the close has begun
    // (the save at exit waits on a pipe the test writes to) and keeps it
    // until the program has ended, as a copy of the game stopped in its save.
    ProgramStop lockKept;
    lockKept.whileEnding = [](pid_t program, const fs::path& folder) {
        const int lock = open((folder / "registry.txt.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        flock(lock, LOCK_EX);
        letTheSaveOn(folder);
        waitUntilEnded(program);
        close(lock);
    };
    // A quit signal from the very first instants: it comes while the program
    // opens its display, which does not answer until it hangs up. Nothing
    // else stops it.
    // The program shows its window on an X display of the test's.
    auto onDisplay = [](const TestDisplay& display) { return onXDisplay(display.name()); };
    TestDisplay display;
    ProgramStop opening;
    opening.signal = 0;
    opening.environment = onDisplay(display);
    opening.whileEnding = [&display](pid_t program, const fs::path&) {
        ASSERT_TRUE(display.waitConnected());
        kill(program, SIGTERM);
        display.hangUp();
    };
    // The display's server there, the display lost at the first window's
    // making: the close runs as for a display lost later (the window's
    // thread, which stays in its call, is taken over), and nothing was
    // saved that could fail. Only where the X server can be run.
    testsupport::TempDir serverFolder;
    TestXServer server(serverFolder.path());
#ifdef HV_REQUIRE_X_TOOLS
    EXPECT_LE(0, server.number()) << "Xvfb did not start, and this test must run here";
#endif
    TestDisplay cutting(server.number());
    ProgramStop windowMade;
    windowMade.signal = 0;
    windowMade.environment = onDisplay(cutting);
    windowMade.whileEnding = [&cutting](pid_t, const fs::path&) { EXPECT_TRUE(cutting.waitCut()); };
    // Standard input and error closed (as a launcher may), the game on the
    // X server: they are the null device's, never the display's connection
    // or a file of the game's, so what it writes there (a line of its
    // script's at load) goes nowhere. It plays and closes as ever, and says
    // that it plays on standard output.
    ProgramStop streamsClosed;
    streamsClosed.signal = 0;
    streamsClosed.environment = onXDisplay(":" + std::to_string(server.number()));
    streamsClosed.inChild = [] {
        close(STDIN_FILENO);
        close(STDERR_FILENO);
    };
    streamsClosed.whileEnding = [](pid_t program, const fs::path&) {
        for (int stream : {STDIN_FILENO, STDERR_FILENO}) {
            std::error_code unread;
            const fs::path streamFile = "/proc/" + std::to_string(program) + "/fd/" + std::to_string(stream);
            EXPECT_EQ("/dev/null", fs::read_symlink(streamFile, unread).string()) << stream;
        }
        kill(program, SIGTERM);
    };
    // The display never answers (its server stopped): the quit signal ends
    // the opening after the two seconds a display call may keep a close.
    ProgramStop stalled = opening;
    stalled.whileEnding = [&display](pid_t program, const fs::path&) {
        ASSERT_TRUE(display.waitConnected());
        kill(program, SIGTERM);
        waitUntilEnded(program);
        display.hangUp();
    };
    // The program started as a box's process (as the game starts it to show
    // a box), its display likewise silent: it ignores SIGPIPE of its own,
    // whoever started it.
    ProgramStop boxOpening = opening;
    boxOpening.environment = [onDisplay = onDisplay(display)](const fs::path& folder) {
        std::vector<std::string> changes = onDisplay(folder);
        changes.insert(changes.end(), {"HV_MESSAGE_BOX_FLAGS=16", "HV_MESSAGE_BOX_CAPTION=Lanternfield",
                                       "HV_MESSAGE_BOX_TEXT=read me"});
        return changes;
    };
    boxOpening.inChild = [] { signal(SIGPIPE, SIG_DFL); };
    boxOpening.whileEnding = [&display](pid_t program, const fs::path&) {
        ASSERT_TRUE(display.waitConnected());
        // A process that did not ignore it would end by it here, not with 3.
        kill(program, SIGPIPE);
        display.hangUp();
    };
    // Standard error a pipe filled before the start and never read, the
    // settings damaged: the line saying so waits a moment at most, the game
    // plays (the quit comes once it says so on standard output, its signal
    // handlers set by then), and the quit closes it as ever. The damaged
    // file, set aside, is one the environment names: the table's settings
    // stay as they are.
    ProgramStop errorsFull;
    errorsFull.errorsUnread = errorsFull.errorsFull = true;
    errorsFull.environment = [](const fs::path& folder) {
        std::ofstream(folder / "damaged.txt") << "damaged\n";
        return std::vector<std::string>{"HV_REGISTRY_FILE=" + (folder / "damaged.txt").string()};
    };
    // The settings file's path runs through a regular file: it cannot be
    // read (by root neither), so the game plays in memory, its close says
    // that nothing was saved, and the file stays as it is.
    ProgramStop unreadableSettings;
    unreadableSettings.environment = [](const fs::path& folder) {
        return std::vector<std::string>{"HV_REGISTRY_FILE=" + (folder / "registry.txt" / "settings").string()};
    };
    // The display's server held (stopped) as the program opens it, through a
    // relay that never hangs up; the program waits for it longer than a quit
    // may wait for a display before the quit signal, and the server is let go
    // at once after it: the display opens, and the game closes as ever.
    TestDisplay heldBeforeQuit(server.number(), TestDisplay::kNoRequest);
    ProgramStop serverHeld;
    serverHeld.signal = 0;
    serverHeld.environment = onDisplay(heldBeforeQuit);
    serverHeld.inChild = [&server] { server.hold(true); };
    serverHeld.whileEnding = [&](pid_t program, const fs::path&) {
        EXPECT_TRUE(heldBeforeQuit.waitConnected());
        std::this_thread::sleep_for(std::chrono::milliseconds(platform::DISPLAY_OPENING_LIMIT_MS + 1000));
        kill(program, SIGTERM);
        server.hold(false);
    };
    // The server held likewise, and the program's opening thread (its main
    // thread, alone) held from before the quit signal for as long: the time
    // the program could not run is not the display's, which then answers.
    TestDisplay heldAfterQuit(server.number(), TestDisplay::kNoRequest);
    ProgramStop openerHeld = serverHeld;
    openerHeld.environment = onDisplay(heldAfterQuit);
    openerHeld.whileEnding = [&](pid_t program, const fs::path&) {
        EXPECT_TRUE(heldAfterQuit.waitConnected());
        int status = 0;
        EXPECT_TRUE(ptrace(PTRACE_SEIZE, program, nullptr, nullptr) == 0 &&
                    ptrace(PTRACE_INTERRUPT, program, nullptr, nullptr) == 0 &&
                    waitpid(program, &status, __WALL) == program)
            << std::strerror(errno);
        // A thread held takes no signal: another one takes the quit.
        kill(program, SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(platform::DISPLAY_OPENING_LIMIT_MS + 1000));
        server.hold(false);
        ptrace(PTRACE_DETACH, program, nullptr, nullptr);
    };
    // The server held likewise from before the quit signal, and let go as
    // late as in the row above, the program's threads sharing one processor
    // with three threads that never rest from the quit on: on a machine that
    // busy a server gets a processor as late, and the time is not the
    // display's.
    TestDisplay heldOnBusy(server.number(), TestDisplay::kNoRequest);
    ProgramStop busyServerHeld = serverHeld;
    busyServerHeld.environment = onDisplay(heldOnBusy);
    busyServerHeld.inChild = [&server] {
        server.hold(true);
        testsupport::BusyProcessor::share(0);
    };
    busyServerHeld.whileEnding = [&](pid_t program, const fs::path&) {
        EXPECT_TRUE(heldOnBusy.waitConnected());
        testsupport::BusyProcessor busy;
        kill(program, SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(platform::DISPLAY_OPENING_LIMIT_MS + 1000));
        server.hold(false);
    };
    std::vector<QuitCase> cases = {
        {"at load", escaping, "stuck", signalled(SIGINT), 0},
        // Opening a pipe that nobody writes to never returns.
        {"in a room",
         playing + "for _, room in pairs(rooms) do room.onEnter = function() io.stderr:write('stuck\\n') "
                   "io.open('pipe') end end",
         "stuck", signalled(SIGTERM), 1},
        // Two calls that would each run until stopped after five seconds.
        {"in the save at exit",
         playing + "for _, room in pairs(rooms) do room.onExit = function() " + escaping + " end end\n" +
             "function LF_save() " + escaping + " end",
         "playing", signalled(SIGTERM), 1, unsaved, 8000, true},
        {"with a story longer than the settings keep",
         playing + "local save = LF_save function LF_save() return quitStarted and ('-'):rep(4194305) or save() end",
         "playing", signalled(SIGTERM), 1,
         "The game could not be saved: the progress of Ann cannot be stored whole (a story of 4194305 bytes; the "
         "settings hold at most 1024 pieces of 4096 bytes); what was played since its last save is lost.\n",
         8000, true},
        {"writing to standard error that nobody reads",
         playing + "for _, room in pairs(rooms) do room.onEnter = function() io.stdout:write('stuck\\n') "
                   "io.stdout:flush() local line = string.rep('x', 4096) while true do io.stderr:write(line) end "
                   "end end",
         "stuck", unread, 1},
        {"in a save the machine slows down",
         playing + "local save = LF_save function LF_save() io.stderr:write('saving\\n') io.open('slow'):close() "
                   "io.stderr:write('stuck\\n') return save() end",
         "playing", slowMachine, 0},
        // The save the close began runs on to its end, within the close's
        // two seconds.
        {"with a second quit signal in the save at exit",
         playing + "local save = LF_save function LF_save() io.stderr:write('saving\\n') "
                   "local t = os.clock() while os.clock() - t < 1 do end return save() end",
         "playing", secondSignal, 0, "saving"},
        {"with the disk full", playing, "playing", diskFull, 1, "The game could not be saved: "},
        {"in the save at exit on a busy machine",
         playing + "for _, room in pairs(rooms) do room.onExit = function() " + escaping + " end end\n",
         "playing", busyMachine, 1, unsaved, 8000, true},
        {"with the disk full and nobody reading standard error", playingHeard, "playing", diskFullUnheard, 1,
         "playing"},
        {"while another program keeps the settings' lock",
         playing + "local save = LF_save function LF_save() io.open('slow'):close() return save() end", "playing",
         lockKept, 1, "another program holds the settings' lock file "},
        {"as it opens its display", "", "", opening, 1, "cannot be opened", 8000, true},
        {"as it opens a display that never answers", "", "", stalled, 1, "cannot be opened (it does not answer)",
         8000, true},
        {"as a box's process opens its display", "", "", boxOpening, 3, "", 8000, true},
        {"with its settings damaged and standard error full", playingHeard, "playing", errorsFull, 0, ""},
        {"with its settings file unreadable", "", "kept in memory only", unreadableSettings, 1,
         "registry.txt/settings cannot be read (Not a directory); what was played since its last save is lost.\n",
         8000, true},
    };
    if (server.number() >= 0) {
        cases.push_back({"as its display is lost when its window is made", "", "", windowMade, 0, "", 8000, true});
        cases.push_back({"with standard input and error closed",
                         "io.stderr:write('read by nobody\\n')\n" + playingHeard, "playing", streamsClosed, 0,
                         "playing"});
        cases.push_back({"as its display's server is held before the quit", "", "", serverHeld, 0, ""});
        cases.push_back({"as its opening thread is held after the quit", "", "", openerHeld, 0, ""});
        cases.push_back({"as its display's server is held after the quit on a busy machine", "", "", busyServerHeld, 0,
                         ""});
    }
    ASSERT_TRUE(display.isOpen());
    ASSERT_TRUE(cutting.isOpen());
    ASSERT_TRUE(heldBeforeQuit.isOpen());
    ASSERT_TRUE(heldAfterQuit.isOpen());
    ASSERT_TRUE(heldOnBusy.isOpen());
    for (const QuitCase& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir dir;
        copyDamagedDataProgram(dir.path());
        appendToFile(dir.path() / "Lanternfield.lua", "\n" + c.script + "\n");
        ASSERT_EQ(0, mkfifo((dir.path() / "pipe").c_str(), 0600));
        ASSERT_EQ(0, mkfifo((dir.path() / "slow").c_str(), 0600));
        // Ann played last, so the game saves her at its end.
        std::ofstream(dir.path() / "registry.txt")
            << "HVREGISTRY 1\nK \"\"\nK \"Software\"\nK \"Software\\Harbinvel\"\n"
               "K \"Software\\Harbinvel\\Lanternfield\"\nV \"NORMALEXIT\" 4 x01000000\n"
               "V \"FULLSCREEN\" 4 x00000000\nV \"LASTPROFILE\" 1 \"Ann\"\n"
               "K \"Software\\Harbinvel\\Lanternfield\\ANN\"\nV \"displayName\" 1 \"Ann\"\nE 9\n";
        const ProgramRun run = runProgram(dir.path(), c.awaited, 300, c.stop);
        EXPECT_NE(std::string::npos, run.errors.find(c.said)) << run.errors;
        EXPECT_EQ(0, run.crashSignal);
        EXPECT_GE(run.endMs, 0) << "it was killed";
        // Its close's own running is bounded, whatever the machine: its
        // processor time stays within the row's. On the clock, which also
        // counts the waits in calls that do not return and the time others
        // keep it from running, it ends within four times that, as a
        // processor four times busy needs (the busy row's is, with its three
        // threads), at the pace the machine gives it: a machine busier than
        // its processors stretches the limit, which only catches a hang.
        const std::string measured = "it ended " + std::to_string(run.endMs) + " ms after the stop (counted as " +
                                     std::to_string(run.endPacedMs) + " ms at " + run.endLoad + "), having run " +
                                     std::to_string(run.endCpuMs) + " ms on the processors";
        EXPECT_LT(run.endCpuMs, c.endsWithinMs) << measured;
        EXPECT_LT(run.endPacedMs, 4 * c.endsWithinMs) << measured;
        EXPECT_EQ(c.exitCode, run.exitCode) << run.errors;
        // The settings are whole, and tell whether the game ended normally.
        const std::string settings = fileText(dir.path() / "registry.txt");
        EXPECT_NE(std::string::npos, settings.find("V \"LASTPROFILE\" 1 \"Ann\"\n")) << settings;
        EXPECT_NE(std::string::npos,
                  settings.find(c.closedWhole ? "V \"NORMALEXIT\" 4 x01000000" : "V \"NORMALEXIT\" 4 x00000000"));
        // A write that failed leaves no file of its own behind.
        for (const auto& entry : fs::directory_iterator(dir.path()))
            EXPECT_EQ(std::string::npos, entry.path().filename().string().find(".tmp.")) << entry.path();
    }
}

class DamagedPlayTest : public GameFixture {};

// The ambient sounds are read when a room first plays them: the dock's
// waves, damaged, are named once the player walks in, and the dock plays on.
TEST_F(DamagedPlayTest, ADamagedSoundIsNamedWhenARoomPlaysItAndTheRoomPlaysOn)
{
    if (!hasSampleGame())
        GTEST_SKIP() << "the game data is built with the tools";
    ASSERT_TRUE(startSampleGame([](const fs::path& f) {
        changeItem(f, "sounds/waves.wav", [](Bytes b) { return noise(b.size()); });
    }));
    canvas->setResetGame(false);
    enter(0);
    world.stepFrames(50);
    EXPECT_NE(std::string::npos, world.debugText().find("The sound +sounds/waves.wav is damaged"));
    EXPECT_EQ(0, canvas->getCurrentRoomIndex());
    EXPECT_EQ(50, canvas->getRoom(0)->getAmbientSprites().size()) << "the bubbles rise as ever";
    EXPECT_TRUE(world.boxes().empty());
}

} // namespace
} // namespace gametest
