// Paths: separator mapping, case-insensitive lookup, attributes, the search
// order, the program path and the current directory.
#include "platform/files/FilesApi.h"

#include "tests/platform/files/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

using testsupport::ScopedCurrentDirectory;
using testsupport::ScratchDirectory;

std::string winPath(const std::string& native)
{
    std::string s = native;
    for (char& c : s) {
        if (c == '/')
            c = '\\';
    }
    return s;
}

TEST(NativePath, MapsBackslashesAndKeepsMissingComponents)
{
    ScratchDirectory dir;
    EXPECT_EQ(platform::nativePath((winPath(dir.path()) + "\\Missing\\x.txt").c_str()), dir / "Missing/x.txt");
    EXPECT_EQ(platform::nativePath(nullptr), "");
}

TEST(NativePath, FindsEachComponentRegardlessOfCase)
{
    ScratchDirectory dir;
    dir.makeDirectory("Data");
    dir.writeFile("Data/Sprite.LUA", "print(1)");
    std::string asked = winPath(dir.path()) + "\\DATA\\sprite.lua";
    EXPECT_EQ(platform::nativePath(asked.c_str()), dir / "Data/Sprite.LUA");

    FILE* f = crtFopen(asked.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buffer[16] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, f), 8u);
    EXPECT_STREQ(buffer, "print(1)");
    std::fclose(f);
}

TEST(NativePath, ExactNameWinsOverCaseVariants)
{
    ScratchDirectory dir;
    dir.writeFile("Readme.txt", "mixed");
    dir.writeFile("README.TXT", "upper");
    EXPECT_EQ(platform::nativePath((dir / "Readme.txt").c_str()), dir / "Readme.txt");
    // No exact match: the first variant in byte order.
    EXPECT_EQ(platform::nativePath((dir / "readme.txt").c_str()), dir / "README.TXT");
}

TEST(CrtFopen, WritesNewFileIntoCaseCorrectedDirectory)
{
    ScratchDirectory dir;
    dir.makeDirectory("Saves");
    FILE* f = crtFopen((winPath(dir.path()) + "\\SAVES\\New.dat").c_str(), "w+b");
    ASSERT_NE(f, nullptr);
    std::fputs("abc", f);
    std::fclose(f);
    EXPECT_EQ(testsupport::readAll(dir / "Saves/New.dat"), "abc");
}

TEST(CrtFopen, MissingFileFailsWithENOENT)
{
    ScratchDirectory dir;
    errno = 0;
    EXPECT_EQ(crtFopen((dir / "nothing.bin").c_str(), "rb"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(crtFopen(nullptr, "rb"), nullptr);
}

TEST(GetFileAttributes, TellsDirectoriesFilesAndMissingNames)
{
    ScratchDirectory dir;
    dir.makeDirectory("Sub");
    dir.writeFile("Sub/Image.PNG", "x");
    EXPECT_EQ(GetFileAttributesA((dir / "Sub").c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesA((winPath(dir.path()) + "\\sub\\image.png").c_str()), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesA((dir / "Sub/none.png").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(""), INVALID_FILE_ATTRIBUTES);
}

// A program directory, a current directory and a PATH directory, each with
// its own files; the program path and PATH are restored afterwards.
class SearchPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root.makeDirectory("prog");
        root.makeDirectory("cwd");
        root.makeDirectory("bin");
        const char* path = std::getenv("PATH");
        savedPath = path ? path : "";
        ::setenv("PATH", ((root / "missing") + ":" + (root / "bin")).c_str(), 1);
        platform::setProgramPath((root / "prog/game").c_str());
    }
    void TearDown() override
    {
        platform::setProgramPath(nullptr);
        ::setenv("PATH", savedPath.c_str(), 1);
    }

    std::string search(const char* name, const char* extension = nullptr)
    {
        char buffer[1024] = {};
        DWORD n = SearchPathA(nullptr, name, extension, sizeof buffer, buffer, nullptr);
        EXPECT_EQ(n, std::strlen(buffer));
        return buffer;
    }

    ScratchDirectory root;
    std::string savedPath;
};

TEST_F(SearchPathTest, ProgramDirectoryThenCurrentDirectoryThenPath)
{
    for (const char* place : {"prog", "cwd", "bin"})
        root.writeFile(std::string(place) + "/a.bin", place);
    root.writeFile("cwd/b.bin", "cwd");
    root.writeFile("bin/b.bin", "bin");
    root.writeFile("bin/c.bin", "bin");
    ScopedCurrentDirectory cwd(root / "cwd");
    ASSERT_TRUE(cwd.changed());

    EXPECT_EQ(search("a.bin"), winPath(root / "prog/a.bin"));
    EXPECT_EQ(search("b.bin"), winPath(root / "cwd/b.bin"));
    EXPECT_EQ(search("c.bin"), winPath(root / "bin/c.bin"));
    EXPECT_EQ(search("d.bin"), "");
}

TEST_F(SearchPathTest, AddsExtensionOnlyToNamesWithoutOne)
{
    root.writeFile("prog/Archive.bin", "x");
    EXPECT_EQ(search("archive", ".bin"), winPath(root / "prog/Archive.bin"));
    EXPECT_EQ(search("Archive.bin", ".zin"), winPath(root / "prog/Archive.bin"));
    EXPECT_EQ(search("Archive.zin", ".bin"), "");
}

TEST_F(SearchPathTest, ReportsNeededSizeAndFilePart)
{
    root.writeFile("prog/a.bin", "x");
    std::string expected = winPath(root / "prog/a.bin");

    char small[8] = "keep";
    EXPECT_EQ(SearchPathA(nullptr, "a.bin", nullptr, sizeof small, small, nullptr), expected.size() + 1);
    EXPECT_STREQ(small, "keep");

    std::vector<char> exact(expected.size() + 1);
    LPSTR filePart = nullptr;
    EXPECT_EQ(SearchPathA(nullptr, "a.bin", nullptr, DWORD(exact.size()), exact.data(), &filePart),
              expected.size());
    ASSERT_NE(filePart, nullptr);
    EXPECT_STREQ(filePart, "a.bin");
}

TEST_F(SearchPathTest, GivenDirectoriesAndAbsoluteNames)
{
    root.writeFile("cwd/x.dat", "x");
    root.writeFile("prog/x.dat", "x");
    char buffer[1024];
    std::string list = (root / "bin") + ";" + winPath(root / "cwd");
    EXPECT_GT(SearchPathA(list.c_str(), "x.dat", nullptr, sizeof buffer, buffer, nullptr), 0u);
    EXPECT_EQ(std::string(buffer), winPath(root / "cwd/x.dat"));
    EXPECT_GT(SearchPathA(nullptr, winPath(root / "cwd/X.DAT").c_str(), nullptr, sizeof buffer, buffer, nullptr), 0u);
    EXPECT_EQ(std::string(buffer), winPath(root / "cwd/x.dat"));
}

TEST_F(SearchPathTest, ModuleFileNameGivesProgramPathInWindowsForm)
{
    char buffer[2048];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string path(buffer);
    EXPECT_EQ(n, path.size());
    EXPECT_EQ(path, winPath(root / "prog/game"));
    // The engine's rule: the program directory is the text before the last '\'.
    EXPECT_EQ(path.substr(0, path.rfind('\\')), winPath(root / "prog"));
    EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, sizeof buffer), n);

    char small[5];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
    EXPECT_EQ(std::string(small), path.substr(0, 4));
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, 0), 0u);
}

TEST(ProgramPath, DefaultsToTheRunningExecutable)
{
    platform::setProgramPath(nullptr);
    char buffer[4096];
    ASSERT_GT(GetModuleFileNameA(nullptr, buffer, sizeof buffer), 0u);
    std::string path(buffer);
    EXPECT_EQ(path[0], '\\');
    EXPECT_NE(path.find("platform_files_tests"), std::string::npos) << path;
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleA("other.dll"), nullptr);
}

TEST(GetCurrentDirectory, WindowsFormAndSizeQuery)
{
    ScratchDirectory dir;
    ScopedCurrentDirectory cwd(dir.path());
    ASSERT_TRUE(cwd.changed());
    std::string expected = winPath(dir.path());
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), expected.size() + 1);
    char buffer[1024];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), expected.size());
    EXPECT_EQ(std::string(buffer), expected);
}

} // namespace
