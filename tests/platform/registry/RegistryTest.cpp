// RegistryTest.cpp: the registry calls over a settings file in a temporary folder.
#include "platform/kernel/DebugOutput.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryFileLock.h"
#include "platform/registry/RegistryKey.h"

#include "tests/support/ChildProgram.h"
#include "tests/support/MachinePace.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <future>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// When set, the file system's locks fail with this error, as on a file
// system without them (flock, below, stands in for the system's).
std::atomic<int> locksFailWith{0};

} // namespace

extern "C" int flock(int fd, int operation)
{
    if (const int error = locksFailWith.load()) {
        errno = error;
        return -1;
    }
    return int(::syscall(SYS_flock, fd, operation));
}

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class RegistryTest : public ::testing::Test {
protected:
    RegistryTest() : m_file(m_dir.file("settings/registry.txt")), m_scope(m_file) {}

    // Drops the registry in memory, so the next call reads the file again.
    void reopen() { platform::setRegistryFile(m_file.c_str()); }

    HKEY create(const char* path, HKEY parent = HKEY_CURRENT_USER)
    {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyA(parent, path, &key));
        return key;
    }

    LSTATUS setDword(HKEY key, const char* name, DWORD value)
    {
        return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    }
    LSTATUS setText(HKEY key, const char* name, const char* text)
    {
        return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), DWORD(std::strlen(text) + 1));
    }
    // The value's type and bytes, or an empty vector and type 0xFFFF when missing.
    std::vector<unsigned char> query(HKEY key, const char* name, DWORD* type = nullptr)
    {
        DWORD size = 0;
        DWORD t = 0xFFFF;
        if (RegQueryValueExA(key, name, nullptr, &t, nullptr, &size) != ERROR_SUCCESS) {
            if (type)
                *type = 0xFFFF;
            return {};
        }
        std::vector<unsigned char> data(size);
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, name, nullptr, &t, data.data(), &size));
        if (type)
            *type = t;
        return data;
    }
    std::vector<std::string> subkeys(HKEY key)
    {
        std::vector<std::string> names;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name;
            LSTATUS r = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (r == ERROR_NO_MORE_ITEMS)
                break;
            EXPECT_EQ(ERROR_SUCCESS, r);
            EXPECT_EQ(std::strlen(name), length);
            names.push_back(name);
        }
        return names;
    }

    testsupport::TempDir m_dir;
    std::string m_file;
    platform::ScopedRegistryFile m_scope;
};

TEST_F(RegistryTest, EveryValueTypeComesBackAsWritten)
{
    HKEY key = create("Software\\Harbinvel\\Game");
    ASSERT_EQ(ERROR_SUCCESS, setDword(key, "FULLSCREEN", 0x01020304));
    ASSERT_EQ(ERROR_SUCCESS, setText(key, "fontName", "Tahoma"));
    std::vector<unsigned char> block(300);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<unsigned char>(i * 7);
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "userdata", 0, REG_BINARY, block.data(), DWORD(block.size())));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "empty", 0, REG_BINARY, nullptr, 0));

    DWORD type = 0;
    EXPECT_EQ((std::vector<unsigned char>{4, 3, 2, 1}), query(key, "FULLSCREEN", &type));
    EXPECT_EQ(REG_DWORD, type);
    EXPECT_EQ((std::vector<unsigned char>{'T', 'a', 'h', 'o', 'm', 'a', 0}), query(key, "fontName", &type));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_EQ(block, query(key, "userdata", &type));
    EXPECT_EQ(REG_BINARY, type);
    EXPECT_TRUE(query(key, "empty", &type).empty());
    EXPECT_EQ(REG_BINARY, type);

    // A second write replaces the type and the data.
    ASSERT_EQ(ERROR_SUCCESS, setText(key, "FULLSCREEN", "1"));
    EXPECT_EQ((std::vector<unsigned char>{'1', 0}), query(key, "FULLSCREEN", &type));
    EXPECT_EQ(REG_SZ, type);

    // The default value has the empty name; null means the same.
    ASSERT_EQ(ERROR_SUCCESS, setDword(key, nullptr, 9));
    EXPECT_EQ((std::vector<unsigned char>{9, 0, 0, 0}), query(key, ""));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
}

TEST_F(RegistryTest, QueriesReportSizesAndShortBuffers)
{
    HKEY key = create("Software\\Harbinvel\\Game");
    ASSERT_EQ(ERROR_SUCCESS, setText(key, "name", "abcdef"));

    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "name", nullptr, &type, nullptr, &size));
    EXPECT_EQ(7u, size);

    char small[4] = {'x', 'x', 'x', 'x'};
    size = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key, "name", nullptr, &type, reinterpret_cast<BYTE*>(small), &size));
    EXPECT_EQ(7u, size);

    char exact[7];
    size = sizeof exact;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "name", nullptr, &type, reinterpret_cast<BYTE*>(exact), &size));
    EXPECT_STREQ("abcdef", exact);

    size = 10;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, "missing", nullptr, &type, nullptr, &size));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueA(key, "missing"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, "name"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, "name", nullptr, &type, nullptr, &size));
    RegCloseKey(key);
}

TEST_F(RegistryTest, SubkeyPathsOpenCreateAndFail)
{
    HKEY missing = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Harbinvel\\Game", 0, KEY_ALL_ACCESS, &missing));
    EXPECT_EQ(nullptr, missing);

    HKEY game = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Harbinvel\\Game", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &game, &disposition));
    EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
    HKEY again = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Harbinvel\\Game", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &again, &disposition));
    EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);

    // A path below an open key, and the same key reached from the root.
    HKEY profile = create("BOB\\userdata", game);
    ASSERT_EQ(ERROR_SUCCESS, setDword(profile, "0", 5));
    HKEY viaRoot = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Harbinvel\\Game\\BOB\\userdata", 0,
                                           KEY_ALL_ACCESS, &viaRoot));
    EXPECT_EQ((std::vector<unsigned char>{5, 0, 0, 0}), query(viaRoot, "0"));

    // An empty sub-key opens the key itself.
    HKEY self = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(viaRoot, "", 0, KEY_ALL_ACCESS, &self));
    EXPECT_EQ((std::vector<unsigned char>{5, 0, 0, 0}), query(self, "0"));

    HKEY bad = nullptr;
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegCreateKeyA(game, "a\\\\b", &bad));
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegCreateKeyA(game, "\\a", &bad));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyA(game, std::string(256, 'k').c_str(), &bad));
    HKEY longest = create(std::string(255, 'k').c_str(), game);
    EXPECT_NE(nullptr, longest);

    for (HKEY k : {game, again, profile, viaRoot, self, longest})
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(k));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(game));
    EXPECT_EQ(ERROR_INVALID_HANDLE, setDword(game, "x", 1));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_CURRENT_USER));
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    HKEY key = create("Software\\Harbinvel\\Game");
    ASSERT_EQ(ERROR_SUCCESS, setText(key, "LASTPROFILE", "Bob"));
    EXPECT_EQ((std::vector<unsigned char>{'B', 'o', 'b', 0}), query(key, "lastprofile"));
    ASSERT_EQ(ERROR_SUCCESS, setText(key, "LastProfile", "Ann"));
    EXPECT_EQ((std::vector<unsigned char>{'A', 'n', 'n', 0}), query(key, "LASTPROFILE"));

    // Accented capitals match their small letters in the ANSI code page.
    ASSERT_EQ(ERROR_SUCCESS, setDword(key, "\xC9T\xC9", 1));
    EXPECT_EQ((std::vector<unsigned char>{1, 0, 0, 0}), query(key, "\xE9t\xE9"));

    HKEY lower = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\harbinvel\\gAME", 0, KEY_READ, &lower));
    EXPECT_EQ((std::vector<unsigned char>{'A', 'n', 'n', 0}), query(lower, "lastprofile"));

    HKEY sameKey = create("bob", key);
    HKEY sameKeyUpper = create("BOB", key);
    ASSERT_EQ(ERROR_SUCCESS, setDword(sameKeyUpper, "x", 1));
    EXPECT_EQ((std::vector<unsigned char>{1, 0, 0, 0}), query(sameKey, "X"));
    EXPECT_EQ(std::vector<std::string>{"bob"}, subkeys(key));
    reopen();
    std::string text = readFile(m_file);
    EXPECT_NE(std::string::npos, text.find("\"LASTPROFILE\""));
    EXPECT_EQ(std::string::npos, text.find("LastProfile"));
}

TEST_F(RegistryTest, SubkeysAreListedInUpperCaseOrderAndCounted)
{
    HKEY key = create("Software\\Harbinvel\\Game");
    for (const char* name : {"b", "_x", "C", "A", "aa"})
        RegCloseKey(create(name, key));
    ASSERT_EQ(ERROR_SUCCESS, setDword(key, "abc", 1));
    // '_' sorts after the letters when both are upper case.
    EXPECT_EQ((std::vector<std::string>{"A", "aa", "b", "C", "_x"}), subkeys(key));

    char name[8];
    DWORD length = 2;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr));
    length = 3;
    EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyExA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(2u, length);

    DWORD subs = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subs, &maxSub, nullptr, &values,
                                              &maxName, &maxData, nullptr, nullptr));
    EXPECT_EQ(5u, subs);
    EXPECT_EQ(2u, maxSub);
    EXPECT_EQ(1u, values);
    EXPECT_EQ(3u, maxName);
    EXPECT_EQ(4u, maxData);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DeletingKeysNeedsThemEmptyOfSubkeys)
{
    HKEY key = create("Software\\Harbinvel\\Game");
    HKEY leaf = create("BOB\\userdata", key);
    ASSERT_EQ(ERROR_SUCCESS, setDword(leaf, "0", 1));

    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyA(key, "BOB"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyA(key, "ANN"));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegDeleteKeyA(key, ""));
    // A key with values but no sub-keys goes, through a path and in any case.
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(key, "bob\\USERDATA"));
    // The handle still open on it now fails.
    EXPECT_EQ(ERROR_KEY_DELETED, setDword(leaf, "1", 1));
    DWORD size = 0;
    EXPECT_EQ(ERROR_KEY_DELETED, RegQueryValueExA(leaf, "0", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(leaf));

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(key, "BOB"));
    EXPECT_TRUE(subkeys(key).empty());
    reopen();
    HKEY reopened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Harbinvel\\Game", 0, KEY_READ, &reopened));
    EXPECT_TRUE(subkeys(reopened).empty());
}

TEST_F(RegistryTest, EverythingSurvivesAReopen)
{
    HKEY key = create("Software\\Harbinvel\\Game");
    std::vector<unsigned char> all(256);
    for (int i = 0; i < 256; ++i)
        all[size_t(i)] = static_cast<unsigned char>(i);
    // Names and texts with spaces, quotes, percent signs and high bytes.
    const char* oddName = "a \"b\" 100% \xE9";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, oddName, 0, REG_BINARY, all.data(), 256));
    ASSERT_EQ(ERROR_SUCCESS, setText(key, "text", "line\none \"q\" %41"));
    ASSERT_EQ(ERROR_SUCCESS, setDword(key, "n", 0xFFFFFFFF));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab"), 2));
    RegCloseKey(create("Empty Key", key));
    RegCloseKey(key);

    reopen();
    EXPECT_EQ(ERROR_INVALID_HANDLE, setDword(key, "n", 1)); // handles do not survive
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "software\\harbinvel\\game", 0, KEY_READ, &key));
    DWORD type = 0;
    EXPECT_EQ(all, query(key, oddName, &type));
    EXPECT_EQ(REG_BINARY, type);
    std::string text = "line\none \"q\" %41";
    std::vector<unsigned char> expected(text.begin(), text.end());
    expected.push_back(0);
    EXPECT_EQ(expected, query(key, "text", &type));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFF, 0xFF, 0xFF}), query(key, "n"));
    EXPECT_EQ((std::vector<unsigned char>{'a', 'b'}), query(key, "unterminated"));
    EXPECT_EQ(std::vector<std::string>{"Empty Key"}, subkeys(key));
}

TEST_F(RegistryTest, EachChangeIsWrittenWholeThroughATemporaryFile)
{
    // What writers killed halfway left behind goes with the next write; a
    // file kept for the user (the story of a player named "tmp") stays.
    const std::filesystem::path folder = std::filesystem::path(m_file).parent_path();
    std::filesystem::create_directories(folder);
    { std::ofstream(m_file + ".tmp.99999.1") << "HVREGISTRY 1\n"; }
    { std::ofstream(m_file + ".tmp.story") << "story"; }
    HKEY key = create("Software\\Harbinvel\\Game");
    ASSERT_EQ(ERROR_SUCCESS, setDword(key, "first", 1));
    std::string before = readFile(m_file);
    EXPECT_EQ(0u, before.find("HVREGISTRY 1\n"));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"registry.txt", "registry.txt.lock", "registry.txt.tmp.story"}), names);

    // A write that cannot finish (the lock file's name is taken by a folder)
    // reports the failure and leaves the old file as it was.
    std::filesystem::remove(m_file + ".lock");
    std::filesystem::create_directory(m_file + ".lock");
    EXPECT_EQ(ERROR_WRITE_FAULT, setDword(key, "second", 2));
    EXPECT_NE(std::string::npos, platform::registryWriteFailure().find(".lock cannot be opened"));
    EXPECT_EQ(before, readFile(m_file));
    // The change is kept in memory and reaches the file with the next save.
    EXPECT_EQ((std::vector<unsigned char>{2, 0, 0, 0}), query(key, "second"));
    std::filesystem::remove(m_file + ".lock");
    ASSERT_EQ(ERROR_SUCCESS, setDword(key, "third", 3));
    EXPECT_EQ("", platform::registryWriteFailure()) << "nothing is left unsaved";
    reopen();
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Harbinvel\\Game", 0, KEY_READ, &key));
    EXPECT_EQ((std::vector<unsigned char>{2, 0, 0, 0}), query(key, "second"));
    EXPECT_EQ((std::vector<unsigned char>{3, 0, 0, 0}), query(key, "third"));
}

TEST_F(RegistryTest, DamagedFilesAreKeptAsideAndTheStoreStartsEmpty)
{
    HKEY key = create("Software\\Harbinvel\\Game");
    ASSERT_EQ(ERROR_SUCCESS, setDword(key, "CREDITS", 7));
    ASSERT_EQ(ERROR_SUCCESS, setText(key, "fontName", "Tahoma"));
    std::string whole = readFile(m_file);

    struct Case {
        const char* what;
        std::string text;
    };
    std::vector<Case> cases = {
        {"cut short", whole.substr(0, whole.size() - 5)},
        {"cut before the end line", whole.substr(0, whole.rfind("E "))},
        {"empty", ""},
        {"not a settings file", "garbage\n"},
        {"bad hex", [&] {
             std::string t = whole;
             t.replace(t.find("x07000000"), 9, "x07zz0000");
             return t;
         }()},
        {"wrong count", [&] {
             std::string t = whole;
             t.replace(t.rfind("E "), std::string::npos, "E 99\n");
             return t;
         }()},
    };
    int aside = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        { std::ofstream(m_file, std::ios::binary | std::ios::trunc) << c.text; }
        std::filesystem::permissions(m_file, std::filesystem::perms(0640));
        reopen();
        ::testing::internal::CaptureStderr();
        HKEY k = reinterpret_cast<HKEY>(1);
        EXPECT_EQ(ERROR_FILE_NOT_FOUND,
                  RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Harbinvel\\Game", 0, KEY_READ, &k));
        std::string diagnostic = ::testing::internal::GetCapturedStderr();
        std::string keptAs = m_file + ".damaged" + (aside ? "." + std::to_string(aside) : std::string());
        EXPECT_NE(std::string::npos, diagnostic.find("damaged")) << diagnostic;
        EXPECT_NE(std::string::npos, diagnostic.find(keptAs)) << diagnostic;
        EXPECT_EQ(1u, std::count(diagnostic.begin(), diagnostic.end(), '\n'));
        EXPECT_EQ(c.text, readFile(keptAs));
        EXPECT_FALSE(std::filesystem::exists(m_file));
        ++aside;
    }

    // The store works again from empty and writes a fresh file, with the
    // permissions of the one set aside.
    ASSERT_EQ(ERROR_SUCCESS, setDword(HKEY_CURRENT_USER, "after", 1));
    EXPECT_EQ(std::filesystem::perms(0640), std::filesystem::status(m_file).permissions());
    reopen();
    EXPECT_EQ((std::vector<unsigned char>{1, 0, 0, 0}), query(HKEY_CURRENT_USER, "after"));
}

TEST_F(RegistryTest, AnUnreadableFileIsNeverOverwritten)
{
    // Only a regular file is read: anything else in its place is left alone
    // at once (a pipe would hold the start up, a device fill the memory),
    // and the settings live in memory. A file there that cannot be read is
    // left alone too, and is a save that never happens.
    namespace fs = std::filesystem;
    struct Case {
        const char* what;
        std::function<void()> make;
        std::function<bool()> leftAlone;
        std::string failure; // what registryWriteFailure says
    };
    const std::vector<Case> cases = {
        {"a folder", [&] { fs::create_directories(m_file); }, [&] { return fs::is_directory(m_file); }, ""},
        {"a pipe", [&] { ASSERT_EQ(0, ::mkfifo(m_file.c_str(), 0600)); }, [&] { return fs::is_fifo(m_file); }, ""},
        {"a link to a pipe",
         [&] {
             ASSERT_EQ(0, ::mkfifo((m_file + ".pipe").c_str(), 0600));
             fs::create_symlink(fs::path(m_file + ".pipe").filename(), m_file);
         },
         [&] { return fs::is_symlink(m_file) && fs::is_fifo(m_file + ".pipe"); }, ""},
        // Its path runs through a regular file: unreadable also to root.
        {"a path through a file",
         [&] {
             fs::remove(m_dir.path() / "settings");
             std::ofstream(m_dir.path() / "settings") << "kept";
         },
         [&] { return readFile((m_dir.path() / "settings").string()) == "kept"; },
         m_file + " cannot be read (Not a directory)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(m_dir.path() / "settings");
        fs::create_directories(m_dir.path() / "settings");
        c.make();
        reopen();
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(ERROR_SUCCESS, setDword(HKEY_CURRENT_USER, "x", 1));
        std::string diagnostic = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(std::string::npos, diagnostic.find("cannot be read")) << diagnostic;
        EXPECT_EQ((std::vector<unsigned char>{1, 0, 0, 0}), query(HKEY_CURRENT_USER, "x"));
        EXPECT_TRUE(c.leftAlone());
        EXPECT_EQ(c.failure, platform::registryWriteFailure());
    }
}

TEST_F(RegistryTest, ASettingsFileThatIsALinkStaysALinkWithItsPermissions)
{
    // The settings kept in a folder of their own, linked from the usual place.
    namespace fs = std::filesystem;
    const fs::path kept = m_dir.path() / "dotfiles" / "lanternfield.txt";
    fs::create_directories(kept.parent_path());
    fs::create_directories(fs::path(m_file).parent_path());
    fs::create_symlink(fs::path("..") / "dotfiles" / "lanternfield.txt", m_file);
    HKEY key = create("Software\\Harbinvel\\Game"); // the file the link names is made
    ASSERT_TRUE(fs::is_regular_file(kept));
    fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(ERROR_SUCCESS, setDword(key, "saved", 5));
    EXPECT_TRUE(fs::is_symlink(m_file));
    EXPECT_NE(std::string::npos, readFile(kept.string()).find("saved"));
    EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
              fs::status(kept).permissions() & fs::perms::all);
    // Nothing is left beside the file but its lock, which a copy reaching
    // it by its own name takes too.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kept.parent_path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"lanternfield.txt", "lanternfield.txt.lock"}), names);
    {
        platform::RegistryBatch held;
        const int fd = ::open((kept.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        EXPECT_NE(0, ::flock(fd, LOCK_EX | LOCK_NB));
        ::close(fd);
    }
    reopen();
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Harbinvel\\Game", 0, KEY_READ, &key));
    EXPECT_EQ((std::vector<unsigned char>{5, 0, 0, 0}), query(key, "saved"));
}

} // namespace

TEST_F(RegistryTest, ABatchReachesTheFileWholeWhenItsOutermostScopeEnds)
{
    HKEY key = create("Software\\Harbinvel\\Game");
    ASSERT_EQ(ERROR_SUCCESS, setDword(key, "kept", 1));
    const std::string before = readFile(m_file);
    {
        platform::RegistryBatch outer;
        ASSERT_EQ(ERROR_SUCCESS, setDword(key, "a", 2));
        {
            platform::RegistryBatch inner;
            HKEY sub = create("Profile\\LF", key);
            ASSERT_EQ(ERROR_SUCCESS, setText(sub, "0", "text"));
            ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, "kept"));
            RegCloseKey(sub);
        }
        // Nothing reached the file while a batch is open, and reads see the
        // changes in memory.
        EXPECT_EQ(before, readFile(m_file));
        EXPECT_TRUE(query(key, "kept").empty());
        EXPECT_EQ((std::vector<unsigned char>{2, 0, 0, 0}), query(key, "a"));
    }
    reopen();
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Harbinvel\\Game", 0, KEY_READ, &key));
    EXPECT_TRUE(query(key, "kept").empty());
    EXPECT_EQ((std::vector<unsigned char>{2, 0, 0, 0}), query(key, "a"));
    HKEY sub = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(key, "Profile\\LF", 0, KEY_READ, &sub));
    const std::vector<unsigned char> text = query(sub, "0");
    EXPECT_EQ(std::string("text", 5), std::string(text.begin(), text.end()));

    // A batch without changes writes nothing, and after it every change is
    // saved at once again.
    const std::string after = readFile(m_file);
    { platform::RegistryBatch idle; }
    EXPECT_EQ(after, readFile(m_file));
    ASSERT_EQ(ERROR_SUCCESS, setDword(key, "b", 3));
    EXPECT_NE(after, readFile(m_file));
}

TEST_F(RegistryTest, ASaveKeepsWhatAnotherCopySavedMeanwhile)
{
    if (testsupport::ChildProgram::role() == "other copy") {
        // The other copy, a program of its own on the test's file, saves a
        // profile of its own and deletes BOB.
        platform::setRegistryFile((testsupport::ChildProgram::folder() / "settings" / "registry.txt").c_str());
        HKEY game = create("Software\\Harbinvel\\Game");
        HKEY cy = create("CY", game);
        EXPECT_EQ(ERROR_SUCCESS, setDword(cy, "0", 7));
        HKEY bob = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(game, "BOB", 0, KEY_ALL_ACCESS, &bob));
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(bob, "0"));
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(game, "BOB"));
        return;
    }
    HKEY game = create("Software\\Harbinvel\\Game");
    HKEY ann = create("ANN", game);
    ASSERT_EQ(ERROR_SUCCESS, setDword(ann, "0", 1));
    HKEY bob = create("BOB", game);
    ASSERT_EQ(ERROR_SUCCESS, setDword(bob, "0", 1));

    // The other copy saves a profile of its own and deletes BOB, all after
    // this copy read the file.
    testsupport::ChildProgram otherCopy("other copy", m_dir.path());
    ASSERT_TRUE(otherCopy.succeeded()) << otherCopy.output();

    // This copy's next change is saved over what the file holds now: CY
    // stays, and BOB stays deleted, its handle with it; a change made to
    // BOB before that save is dropped with it. A batch starts from the file
    // as it is: BOB is gone in it from the start.
    ASSERT_EQ(ERROR_SUCCESS, setDword(bob, "1", 2));
    {
        platform::RegistryBatch together;
        ASSERT_EQ(ERROR_SUCCESS, setDword(ann, "0", 2));
        EXPECT_EQ(ERROR_KEY_DELETED, setDword(bob, "2", 3));
    }
    EXPECT_EQ(ERROR_KEY_DELETED, setDword(bob, "2", 3));
    EXPECT_EQ((std::vector<std::string>{"ANN", "CY"}), subkeys(game));
    HKEY cy = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(game, "CY", 0, KEY_READ, &cy));
    EXPECT_EQ((std::vector<unsigned char>{7, 0, 0, 0}), query(cy, "0"));
    EXPECT_EQ((std::vector<unsigned char>{2, 0, 0, 0}), query(ann, "0")) << "a handle kept over the save";

    reopen();
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Harbinvel\\Game", 0, KEY_READ, &game));
    EXPECT_EQ((std::vector<std::string>{"ANN", "CY"}), subkeys(game));
}

TEST_F(RegistryTest, FilesBeyondTheLimitsAreSetAsideAndNeverWritten)
{
    struct Case {
        const char* what;
        std::string records; // K and V lines
        size_t count;        // how many records they are
    };
    std::string deepPath;
    for (int i = 0; i < 30000; ++i)
        deepPath += i ? "\\a" : "a";
    // One key past the limit; the limit itself is read (below).
    auto keys = [](int count) {
        std::string records;
        for (int i = 0; i < count; ++i)
            records += "K \"k" + std::to_string(i) + "\"\n";
        return records;
    };
    auto values = [](int count) {
        std::string records = "K \"k\"\n";
        for (int i = 0; i < count; ++i)
            records += "V \"v" + std::to_string(i) + "\" 4 x00000000\n";
        return records;
    };
    const std::vector<Case> cases = {
        {"60 KB of nesting", "K \"" + deepPath + "\"\n", 1},
        {"17 levels", "K \"a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\\o\\p\\q\"\n", 1},
        {"4097 keys", keys(4097), 4097},
        {"1025 values in a key", values(1025), 1026},
        {"a value of more than 1 MB", "K \"k\"\nV \"big\" 3 x" + std::string(2 * (1 << 20) + 2, '0') + "\n", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(m_dir.path() / "settings");
        std::filesystem::create_directories(m_dir.path() / "settings");
        const std::string text = "HVREGISTRY 1\nK \"\"\n" + c.records + "E " + std::to_string(c.count + 1) + "\n";
        { std::ofstream(m_file, std::ios::binary) << text; }
        reopen();
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(subkeys(HKEY_CURRENT_USER).empty());
        const std::string diagnostic = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(std::string::npos, diagnostic.find("damaged")) << diagnostic;
        EXPECT_EQ(text, readFile(m_file + ".damaged"));
        ASSERT_EQ(ERROR_SUCCESS, setDword(HKEY_CURRENT_USER, "after", 1));
        EXPECT_LT(readFile(m_file).size(), 100u);
    }

    // A file larger than a settings file may be is set aside unread.
    {
        std::filesystem::remove(m_file + ".damaged");
        { std::ofstream(m_file, std::ios::binary) << "HVREGISTRY 1\n"; }
        std::filesystem::resize_file(m_file, (64u << 20) + 1);
        reopen();
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(subkeys(HKEY_CURRENT_USER).empty());
        EXPECT_NE(std::string::npos, ::testing::internal::GetCapturedStderr().find("larger than"));
        EXPECT_EQ((64u << 20) + 1, std::filesystem::file_size(m_file + ".damaged"));
        std::filesystem::remove(m_file + ".damaged");
    }

    // Nor is one written: 33 values of 1 MB take 66 MB in hex. The file
    // keeps what it held, the batch's end says so (the caller tells the
    // player: the debug output has it, standard error not), and its changes
    // are dropped: the registry is the file's again, and the next change is
    // saved.
    {
        ASSERT_EQ(ERROR_SUCCESS, setDword(HKEY_CURRENT_USER, "kept", 1));
        const std::string before = readFile(m_file);
        platform::DebugCapture debug;
        ::testing::internal::CaptureStderr();
        {
            platform::RegistryBatch oneWrite;
            const std::vector<BYTE> big(1u << 20);
            for (int i = 0; i < 33; ++i)
                ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(HKEY_CURRENT_USER, ("big" + std::to_string(i)).c_str(), 0,
                                                        REG_BINARY, big.data(), DWORD(big.size())));
            EXPECT_EQ(ERROR_WRITE_FAULT, oneWrite.end());
        }
        EXPECT_EQ("", ::testing::internal::GetCapturedStderr());
        EXPECT_TRUE(debug.contains("larger than")) << debug.text();
        EXPECT_EQ(before, readFile(m_file));
        EXPECT_TRUE(query(HKEY_CURRENT_USER, "big0").empty());
        ASSERT_EQ(ERROR_SUCCESS, setDword(HKEY_CURRENT_USER, "later", 2));
        reopen();
        EXPECT_EQ((std::vector<unsigned char>{2, 0, 0, 0}), query(HKEY_CURRENT_USER, "later"));
        EXPECT_EQ((std::vector<unsigned char>{1, 0, 0, 0}), query(HKEY_CURRENT_USER, "kept"));
    }

    // Files of exactly as many keys, and values in a key, as the limits are
    // read whole.
    for (const std::string& records : {keys(4096), values(1024)}) {
        const size_t count = size_t(std::count(records.begin(), records.end(), '\n'));
        const std::string text = "HVREGISTRY 1\nK \"\"\n" + records + "E " + std::to_string(count + 1) + "\n";
        { std::ofstream(m_file, std::ios::binary) << text; }
        std::filesystem::remove(m_file + ".damaged");
        reopen();
        EXPECT_FALSE(subkeys(HKEY_CURRENT_USER).empty());
        EXPECT_FALSE(std::filesystem::exists(m_file + ".damaged")) << count;
        std::filesystem::remove(m_file);
        reopen();
    }

    // Nor does the registry make what such a file would hold: 4,096 keys
    // and no more, a value of at most 1 MB, ...
    ::testing::internal::CaptureStderr();
    HKEY key = nullptr;
    {
        platform::RegistryBatch oneWrite;
        for (int i = 0; i < 4096; ++i) {
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, ("k" + std::to_string(i)).c_str(), &key)) << i;
            RegCloseKey(key);
        }
        EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyA(HKEY_CURRENT_USER, "one more", &key));
        std::vector<BYTE> big((1u << 20) + 1);
        EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueExA(HKEY_CURRENT_USER, "big", 0, REG_BINARY, big.data(),
                                                          DWORD(big.size())));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(HKEY_CURRENT_USER, "big", 0, REG_BINARY, big.data(),
                                                DWORD(big.size() - 1)));
    }
    reopen();
    EXPECT_EQ(4096u, subkeys(HKEY_CURRENT_USER).size());
    EXPECT_EQ((1u << 20), query(HKEY_CURRENT_USER, "big").size());
    std::filesystem::remove(m_file);
    reopen();
    // ... 16 levels, and 1,024 values in a key.
    std::string sixteen = "a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\\o\\p";
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyA(HKEY_CURRENT_USER, (sixteen + "\\q").c_str(), &key));
    key = create(sixteen.c_str());
    {
        platform::RegistryBatch oneWrite;
        for (int i = 0; i < 1024; ++i)
            ASSERT_EQ(ERROR_SUCCESS, setDword(key, std::to_string(i).c_str(), 1)) << i;
        EXPECT_EQ(ERROR_INVALID_PARAMETER, setDword(key, "1024", 1));
        EXPECT_EQ(ERROR_SUCCESS, setDword(key, "0", 2)) << "an existing value changes";
    }
    ::testing::internal::GetCapturedStderr();
    reopen();
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, sixteen.c_str(), 0, KEY_READ, &key));
    EXPECT_EQ((std::vector<unsigned char>{2, 0, 0, 0}), query(key, "0"));
}

TEST(RegistryFileLockTest, AHeldLockKeepsEveryOtherWriterOut)
{
    // Another copy of the game asks for the lock through a file description
    // of its own; without waiting, so that the test needs no timing.
    testsupport::TempDir dir;
    const std::string file = dir.file("registry.txt");
    auto anotherCopyGets = [&](int kind) {
        const int fd = ::open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        const bool got = fd >= 0 && ::flock(fd, kind | LOCK_NB) == 0;
        if (fd >= 0)
            ::close(fd);
        return got;
    };
    {
        platform::RegistryFileLock held(file);
        ASSERT_TRUE(held.isOpen());
        EXPECT_FALSE(anotherCopyGets(LOCK_EX));
        EXPECT_FALSE(anotherCopyGets(LOCK_SH)) << "the lock is no shared one";
    }
    EXPECT_TRUE(anotherCopyGets(LOCK_EX)) << "and it goes with its holder";

    // A batch holds it from its start to its end.
    platform::ScopedRegistryFile scope(file);
    DWORD one = 1;
    {
        platform::RegistryBatch batch;
        EXPECT_FALSE(anotherCopyGets(LOCK_SH));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(HKEY_CURRENT_USER, "a", 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&one), 4));
        EXPECT_FALSE(anotherCopyGets(LOCK_SH));
    }
    EXPECT_TRUE(anotherCopyGets(LOCK_EX));

    // Another program that keeps the lock (a copy stopped in its save) holds
    // a write up for the wait, on the clock, and no longer: the write fails,
    // naming the lock file, and the file stays as it was. Its changes wait
    // for the next write, which gets the lock once it is let go.
    const int other = ::open((file + ".lock").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(0, ::flock(other, LOCK_EX | LOCK_NB));
    // It lets go after ten waits at the machine's pace (a write that waits
    // that long hangs), or when told.
    constexpr int waitMs = int(platform::RegistryFileLock::kWait.count());
    std::promise<void> letGo;
    std::thread holder([other, told = letGo.get_future()] {
        testsupport::MachinePace waited;
        while (told.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready &&
               waited.counted() < 10 * waitMs) {
        }
        ::close(other);
    });
    const std::string before = readFile(file);
    const auto start = std::chrono::steady_clock::now();
    DWORD two = 2;
    EXPECT_EQ(ERROR_WRITE_FAULT,
              RegSetValueExA(HKEY_CURRENT_USER, "b", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), 4));
    EXPECT_GE(std::chrono::steady_clock::now() - start, platform::RegistryFileLock::kWait);
    EXPECT_EQ("another program holds the settings' lock file " + file + ".lock", platform::registryWriteFailure());
    EXPECT_EQ(before, readFile(file));
    // Held through a whole wait, the lock is taken to be held still: the
    // next write waits only as long as a copy's save holds it (a wait,
    // which takes no processor time: counted at the machine's pace).
    testsupport::MachinePace again;
    EXPECT_EQ(ERROR_WRITE_FAULT,
              RegSetValueExA(HKEY_CURRENT_USER, "b", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), 4));
    EXPECT_LT(again.counted(), waitMs / 2) << again.load();
    letGo.set_value();
    holder.join();
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(HKEY_CURRENT_USER, "c", 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&one), 4));
    EXPECT_EQ("", platform::registryWriteFailure());
    const std::string after = readFile(file);
    EXPECT_NE(std::string::npos, after.find("V \"b\" 4 x02000000")) << after;
    EXPECT_NE(std::string::npos, after.find("V \"c\" 4 x01000000")) << after;

    // A file system without locks leaves the copies unguarded, as they were
    // before locks: a write goes through at once.
    locksFailWith = ENOLCK;
    testsupport::MachinePace unguarded;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(HKEY_CURRENT_USER, "d", 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&one), 4));
    EXPECT_LT(unguarded.counted(), waitMs / 2) << unguarded.load();
    locksFailWith = 0;
    EXPECT_NE(std::string::npos, readFile(file).find("V \"d\" 4 x01000000"));
}

TEST(RegistryKeyTest, ADeepTreeIsFreedWithoutRecursion)
{
    auto root = std::make_shared<platform::RegistryKey>("");
    platform::RegistryKey* key = root.get();
    for (int i = 0; i < 300000; ++i)
        key = key->addSubkey("a").get();
    EXPECT_EQ(300000u, key->depth());
    root.reset();
}
