// TestXServer.h: an X server of a test's own.
#pragma once

#include "tests/support/MachinePace.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

// An X server of the test's own (Xvfb), listening on an abstract socket
// only, with no lock file: nothing of it is made on disk but its log, in
// the folder given. Ended with the object, or with the thread that made it
// should that end first.
class TestXServer {
public:
    explicit TestXServer(const std::filesystem::path& folder)
    {
        // All is made before the fork: the test's threads may hold locks,
        // and the new process only starts the server.
        const std::string server = program();
        int told[2];
        if (server.empty() || pipe2(told, O_CLOEXEC) != 0)
            return;
        const int log = open((folder / "xserver.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        m_server = fork();
        if (m_server == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            // The server tells its display's number on descriptor 3.
            dup2(told[1], 3);
            dup2(log, 1);
            dup2(log, 2);
            execl(server.c_str(), "Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-nolisten", "unix", "-nolock",
                  "-screen", "0", "800x600x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(told[1]);
        if (log >= 0)
            close(log);
        // It starts within a second; a minute at the machine's pace is a
        // hang. The number comes in one write and its line's end in
        // another: the pipe is kept open until both have come, as the
        // server ends when the second fails.
        pollfd number{told[0], POLLIN, 0};
        std::string text;
        char part[16];
        MachinePace waited;
        while (m_server > 0 && text.find('\n') == std::string::npos && waited.counted() < 60000) {
            const int ready = poll(&number, 1, 100);
            if (ready == 0 || (ready < 0 && errno == EINTR))
                continue;
            const ssize_t n = ready > 0 ? read(told[0], part, sizeof part) : -1;
            if (n <= 0)
                break;
            text.append(part, size_t(n));
        }
        if (text.find('\n') != std::string::npos)
            m_number = std::atoi(text.c_str());
        close(told[0]);
    }
    ~TestXServer() { end(SIGTERM); }
    TestXServer(const TestXServer&) = delete;
    TestXServer& operator=(const TestXServer&) = delete;

    // Whether Xvfb is on the PATH, for a test to skip without it (or fail
    // where it must run).
    static bool installed() { return !program().empty(); }
    // Its display's number; -1 when it did not start.
    int number() const { return m_number; }
    // Stops it (`held`), or lets it run on: held, it answers nothing, as a
    // server that hangs does.
    void hold(bool held) const
    {
        if (m_server > 0)
            kill(m_server, held ? SIGSTOP : SIGCONT);
    }
    // Ends it by `signal`, and returns once it is gone: its end of every
    // connection is closed then.
    void end(int signal)
    {
        if (m_server > 0) {
            kill(m_server, signal);
            waitpid(m_server, nullptr, 0);
        }
        m_server = -1;
    }

private:
    // Xvfb's path on the PATH ("" when it is not there).
    static std::string program()
    {
        const char* path = std::getenv("PATH");
        std::istringstream folders(path ? path : "");
        std::string folder;
        while (std::getline(folders, folder, ':'))
            if (!folder.empty() && access((folder + "/Xvfb").c_str(), X_OK) == 0)
                return folder + "/Xvfb";
        return "";
    }

    pid_t m_server = -1;
    int m_number = -1;
};

} // namespace testsupport
