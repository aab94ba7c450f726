// ShellTest.cpp: which addresses ShellExecuteA opens, and that the launcher
// gets the address as one untouched argument.
#include "platform/shell/Shell.h"

#include "tests/support/MachinePace.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

intptr_t open(const char* file, const char* operation = nullptr, const char* parameters = nullptr)
{
    return reinterpret_cast<intptr_t>(ShellExecuteA(nullptr, operation, file, parameters, nullptr, 1));
}

TEST(ShellTest, OnlyWebAddressesOpenAndEveryCallIsAnswered)
{
    struct Case {
        const char* file;
        const char* operation;
        intptr_t result; // 0: success (above 32)
    };
    const Case cases[] = {
        {"http://example.com/", nullptr, 0},
        {"HTTPS://example.com/a?b=c&d=e", "open", 0},
        {"iexplore.exe", nullptr, SE_ERR_FNF},
        {"/bin/sh", nullptr, SE_ERR_FNF},
        {"http://example.com/", "print", SE_ERR_FNF},
        {"file:///etc/passwd", nullptr, SE_ERR_ACCESSDENIED},
        {"javascript:alert(1)", nullptr, SE_ERR_ACCESSDENIED},
        {"http://", nullptr, SE_ERR_ACCESSDENIED},
        {"http://example.com/ two", nullptr, SE_ERR_ACCESSDENIED},
        {"http://example.com/\nrm", nullptr, SE_ERR_ACCESSDENIED},
        {"", nullptr, SE_ERR_FNF},
        {nullptr, nullptr, SE_ERR_FNF},
    };
    platform::ShellCapture capture;
    for (const Case& c : cases) {
        const intptr_t r = open(c.file, c.operation, "ignored");
        if (c.result == 0)
            EXPECT_GT(r, 32) << c.file;
        else
            EXPECT_EQ(c.result, r) << (c.file ? c.file : "(null)");
    }
    const std::vector<platform::ShellRecord> calls = capture.calls();
    ASSERT_EQ(sizeof cases / sizeof cases[0], calls.size());
    EXPECT_EQ((std::vector<std::string>{"xdg-open", "http://example.com/"}), calls[0].command);
    EXPECT_TRUE(calls[2].command.empty());
    EXPECT_EQ("ignored", calls[2].parameters);
}

TEST(ShellTest, TheLauncherGetsTheAddressAsItsOneArgumentWithoutAShell)
{
    testsupport::TempDir dir;
    const std::string out = dir.file("argv.txt");
    {
        std::ofstream script(dir.file("xdg-open"));
        script << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" << out << ".part'\nmv '" << out << ".part' '" << out
               << "'\n";
    }
    std::filesystem::permissions(dir.file("xdg-open"), std::filesystem::perms::owner_all);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (dir.path().string() + ":" + oldPath).c_str(), 1);

    // Shell syntax in the address stays text: nothing of it is run.
    const std::string address = "http://example.com/a;touch${IFS}" + dir.file("ran") + "?q=$(id)&r='x'";
    EXPECT_GT(open(address.c_str()), 32);
    setenv("PATH", oldPath.c_str(), 1);

    testsupport::reachedAtPace(5000, [&out] { return std::filesystem::exists(out); });
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ("1\n" + address + "\n", text.str());
    EXPECT_FALSE(std::filesystem::exists(dir.file("ran")));
}

TEST(ShellTest, AMissingLauncherIsReportedAsNoAssociation)
{
    testsupport::TempDir dir;
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", dir.path().string().c_str(), 1);
    EXPECT_EQ(SE_ERR_NOASSOC, open("https://example.com/"));
    setenv("PATH", oldPath.c_str(), 1);
}

} // namespace
