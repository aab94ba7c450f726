// Temporary files: the temporary directory, unique names, and a file created
// delete-on-close that is gone once its stream is closed.
#include "platform/files/FilesApi.h"

#include "tests/platform/files/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using testsupport::ScratchDirectory;

std::string tempFilesWinPath(const std::string& native)
{
    return platform::windowsPath(native);
}

// Points TMPDIR at a scratch directory for one test.
class TempFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* previous = std::getenv("TMPDIR");
        m_hadTmpdir = previous != nullptr;
        m_previous = previous ? previous : "";
        ::setenv("TMPDIR", scratch.path().c_str(), 1);
    }
    void TearDown() override
    {
        if (m_hadTmpdir)
            ::setenv("TMPDIR", m_previous.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

    ScratchDirectory scratch;

private:
    bool m_hadTmpdir = false;
    std::string m_previous;
};

TEST_F(TempFilesTest, TempPathIsTheTemporaryDirectoryWithTrailingSeparator)
{
    std::string expected = tempFilesWinPath(scratch.path()) + "\\";
    char buffer[MAX_PATH];
    EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), expected.size());
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(GetTempPathA(2, buffer), expected.size() + 1);
}

TEST_F(TempFilesTest, UniqueNamesAreCreatedAndDistinct)
{
    char dir[MAX_PATH], first[MAX_PATH], second[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    UINT a = GetTempFileNameA(dir, "jpgx", 0, first);
    UINT b = GetTempFileNameA(dir, "jpgx", 0, second);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_STRNE(first, second);
    std::string name = std::strrchr(first, '\\') + 1;
    EXPECT_EQ(name.size(), 11u); // "jpg", four hex digits, ".TMP"
    EXPECT_EQ(name.substr(0, 3), "jpg");
    EXPECT_EQ(name.substr(7), ".TMP");
    EXPECT_EQ(std::strtoul(name.substr(3, 4).c_str(), nullptr, 16), a);
    EXPECT_NE(GetFileAttributesA(first), INVALID_FILE_ATTRIBUTES) << "the name is taken by an empty file";

    char given[MAX_PATH];
    EXPECT_EQ(GetTempFileNameA(dir, "ab", 0x1F, given), 0x1Fu);
    EXPECT_EQ(std::string(given), std::string(dir) + "ab001F.TMP");
    EXPECT_EQ(GetFileAttributesA(given), INVALID_FILE_ATTRIBUTES) << "a given number creates nothing";
    EXPECT_EQ(GetTempFileNameA((scratch / "missing").c_str(), "jpg", 0, given), 0u);
}

TEST_F(TempFilesTest, DeleteOnCloseFileIsGoneAfterFclose)
{
    char dir[MAX_PATH], name[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof dir, dir), 0u);
    ASSERT_NE(GetTempFileNameA(dir, "jpg", 0, name), 0u);
    HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_RANDOM_ACCESS | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    int fd = crtOpenOsfHandle(h, 0);
    ASSERT_GE(fd, 0);
    FILE* f = crtFdopen(fd, "w+b");
    ASSERT_NE(f, nullptr);

    // Random access, as the decoder's backing store uses it.
    const char block[] = "0123456789";
    ASSERT_EQ(std::fseek(f, 5000, SEEK_SET), 0);
    ASSERT_EQ(std::fwrite(block, 1, 10, f), 10u);
    ASSERT_EQ(std::fseek(f, 5003, SEEK_SET), 0);
    char back[4] = {};
    ASSERT_EQ(std::fread(back, 1, 3, f), 3u);
    EXPECT_STREQ(back, "345");

    EXPECT_EQ(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES) << "no name while open";
    EXPECT_EQ(std::fclose(f), 0);
    EXPECT_EQ(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES);
}

TEST_F(TempFilesTest, CreationDispositions)
{
    std::string path = tempFilesWinPath(scratch / "data.bin");
    EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
    h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "kept without delete-on-close";
    EXPECT_EQ(CreateFileA(tempFilesWinPath(scratch.path()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE)
        << "directories are refused";
    EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, 99, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(crtOpenOsfHandle(nullptr, 0), -1);
}

} // namespace
