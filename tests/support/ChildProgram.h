// ChildProgram.h: a test's child process as a program of its own: the test
// program started again to run the same test alone, which plays the child's
// part it finds in its environment. A fork of a test process whose threads
// (the game's, a sanitizer's) hold a lock would leave the child waiting on
// its copy of that lock for ever; a program started afresh holds none. The
// child tells the test how far it has come by bytes on a pipe.
#pragma once

#include "tests/support/MachinePace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace testsupport {

// This process's environment with `changes` made in order: "NAME=value"
// sets a variable, "NAME" alone takes it out. Made for a program a test
// starts before its process is: the new process only starts the program.
inline std::vector<std::string> environmentWith(const std::vector<std::string>& changes)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry)
        entries.push_back(*entry);
    for (const std::string& change : changes) {
        const std::string name = change.substr(0, change.find('=')) + "=";
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&name](const std::string& entry) { return entry.rfind(name, 0) == 0; }),
                      entries.end());
        if (change.find('=') != std::string::npos)
            entries.push_back(change);
    }
    return entries;
}

// The entries as exec takes them, ending with null (valid while the
// entries are).
inline std::vector<char*> execEntries(std::vector<std::string>& entries)
{
    std::vector<char*> pointers;
    for (std::string& entry : entries)
        pointers.push_back(&entry[0]);
    pointers.push_back(nullptr);
    return pointers;
}

class ChildProgram {
public:
    // Starts the running test again in `role`. `folder` is the test's own,
    // which the child finds by folder(); the child's own temporary folders
    // and its output are made in a folder inside it, removed with the
    // object.
    ChildProgram(const std::string& role, const std::filesystem::path& folder)
    {
        static int started = 0;
        m_folder = folder / ("child-" + std::to_string(started++));
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
        std::filesystem::create_directories(m_folder);
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string filter = "--gtest_filter=";
        if (test)
            filter += std::string(test->test_suite_name()) + "." + test->name();
        // It writes no report of the tests it runs over its test's.
        std::vector<std::string> settings = environmentWith({std::string(kRole) + "=" + role,
                                                             std::string(kFolder) + "=" + folder.string(),
                                                             "TMPDIR=" + m_folder.string(), "GTEST_OUTPUT"});
        std::vector<char*> environment = execEntries(settings);
        char* arguments[] = {program_invocation_name, &filter[0], nullptr};
        int reports[2];
        if (pipe2(reports, O_CLOEXEC) != 0)
            return;
        const std::string output = (m_folder / "output.txt").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, reports[1], kReportDescriptor);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        if (posix_spawn(&m_child, "/proc/self/exe", &actions, nullptr, arguments, environment.data()) != 0)
            m_child = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(reports[1]);
        m_reports = reports[0];
        if (m_child > 0)
            m_ended = int(syscall(SYS_pidfd_open, m_child, 0));
    }
    ~ChildProgram()
    {
        kill();
        for (int fd : {m_reports, m_ended})
            if (fd >= 0)
                close(fd);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Its process id (-1 once it was waited for, or when it did not start).
    pid_t id() const { return m_child; }
    // Waits until the child has reported `count` times in all; false when
    // it ended first, or did not within a minute at the machine's pace (a
    // hang).
    bool waitForReports(int count)
    {
        MachinePace waited;
        while (m_count < count && m_child > 0 && waited.counted() < kHangMs) {
            pollfd watched[2] = {{m_reports, POLLIN, 0}, {m_ended, POLLIN, 0}};
            if (poll(watched, 2, kLookMs) < 0 && errno != EINTR)
                return false;
            char bytes[64];
            const ssize_t n = watched[0].revents != 0 ? read(m_reports, bytes, sizeof bytes) : -1;
            if (n > 0)
                takeReports(int(n));
            else if (n == 0 || watched[1].revents != 0)
                // It has ended (every end of its pipe is closed): no report
                // comes any more.
                return false;
        }
        return m_count >= count;
    }
    // The time between the last two of its reports that came apart (zero
    // before two have): the time its step between them took.
    std::chrono::steady_clock::duration reportSpan() const { return m_span; }
    // Kills it, wherever it is, and waits for its end.
    void kill()
    {
        if (m_child > 0) {
            ::kill(m_child, SIGKILL);
            waitpid(m_child, nullptr, 0);
        }
        m_child = -1;
    }
    // Waits for its end, a minute at the machine's pace at most (then it is
    // killed); whether it ended with 0, the test's part in it passed.
    bool succeeded()
    {
        if (m_child <= 0)
            return false;
        MachinePace waited;
        int status = 0;
        while (waitpid(m_child, &status, WNOHANG) == 0) {
            if (waited.counted() >= kHangMs) {
                kill();
                return false;
            }
            // Without the descriptor, only a wait of that length.
            pollfd ended{m_ended, POLLIN, 0};
            poll(&ended, 1, kLookMs);
        }
        m_child = -1;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    // What it wrote on its standard output and error.
    std::string output() const
    {
        std::stringstream text;
        text << std::ifstream(m_folder / "output.txt").rdbuf();
        return text.str();
    }

    // The part this process plays for its test; "" in the test's own
    // process. A child plays it only while its test runs: it ends with
    // that process.
    static std::string role()
    {
        const char* played = std::getenv(kRole);
        if (!played)
            return "";
        static const bool endsWithTest = [] {
            const pid_t test = getppid();
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            return getppid() == test;
        }();
        if (!endsWithTest)
            std::_Exit(1);
        return played;
    }
    // In a child, the folder its test gave.
    static std::filesystem::path folder()
    {
        const char* given = std::getenv(kFolder);
        return given ? given : "";
    }
    // In a child (or a process it forks: this only writes), one report to
    // its test.
    static void report()
    {
        while (write(kReportDescriptor, "r", 1) < 0 && errno == EINTR) {
        }
    }

private:
    static constexpr const char* kRole = "HV_TEST_CHILD_ROLE";
    static constexpr const char* kFolder = "HV_TEST_CHILD_FOLDER";
    // The descriptor a child reports on.
    static constexpr int kReportDescriptor = 3;
    static constexpr int kHangMs = 60000;
    // How long a wait looks at once before it looks at its limit.
    static constexpr int kLookMs = 100;

    void takeReports(int count)
    {
        const auto now = std::chrono::steady_clock::now();
        if (m_count > 0 && count == 1)
            m_span = now - m_last;
        m_count += count;
        m_last = now;
    }

    std::filesystem::path m_folder;
    pid_t m_child = -1;
    int m_reports = -1;
    int m_ended = -1; // a descriptor readable once the child has ended
    int m_count = 0;
    std::chrono::steady_clock::time_point m_last;
    std::chrono::steady_clock::duration m_span{};
};

} // namespace testsupport
