// UserTest.cpp: the settings store over a registry file in a temporary folder.
#include "sprites/settings/User.h"

#include "core/lang/System.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/registry/Registry.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using lang::ByteArray;
using lang::String;
using sprite::User;

class UserTest : public ::testing::Test {
protected:
    UserTest() : m_scope(m_dir.file("registry.txt")) { m_user.open("Game"); }
    ~UserTest() override { lang::System::setDefaultFontName(String("Arial")); }

    // A key below the store's own, opened straight through the registry.
    HKEY rawKey(const std::string& sub = "")
    {
        std::string path = "Software\\Harbinvel\\Game";
        if (!sub.empty())
            path += "\\" + sub;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            return nullptr;
        m_keys.push_back(key);
        return key;
    }
    bool keyExists(const std::string& sub) { return rawKey(sub) != nullptr; }
    void rawSet(const char* name, DWORD type, const void* data, DWORD size, const std::string& sub = "")
    {
        HKEY key = rawKey(sub);
        ASSERT_NE(nullptr, key);
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    }
    // The size of a raw value, or -1 when it is missing.
    long rawSize(const char* name, const std::string& sub = "", DWORD* type = nullptr)
    {
        HKEY key = rawKey(sub);
        DWORD size = 0;
        if (!key || RegQueryValueExA(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS)
            return -1;
        return long(size);
    }
    // n bytes of a pattern that differs by seed.
    static void fill(ByteArray& a, int n, int seed)
    {
        a.setLength(n);
        for (int i = 0; i < n; ++i)
            a[i] = static_cast<unsigned char>(i * 31 + seed);
    }
    static bool same(const ByteArray& a, const ByteArray& b)
    {
        return a.length() == b.length() && std::memcmp(a.data(), b.data(), size_t(a.length())) == 0;
    }

    void TearDown() override
    {
        for (HKEY k : m_keys)
            RegCloseKey(k);
    }

    testsupport::TempDir m_dir;
    platform::ScopedRegistryFile m_scope;
    User m_user;
    std::vector<HKEY> m_keys;
};

TEST_F(UserTest, IntegersComeFromNumbersOrDecimalTexts)
{
    m_user.setInt("VOLUMEFX", -170);
    EXPECT_EQ(-170, m_user.getInt("volumefx", 5));
    EXPECT_EQ(4, rawSize("VOLUMEFX"));
    EXPECT_EQ(9, m_user.getInt("missing", 9));

    rawSet("text", REG_SZ, "42", 3);
    EXPECT_EQ(42, m_user.getInt("text", -1));
    // Longer than the 20-byte read buffer: the default.
    std::string longText(25, '1');
    rawSet("long", REG_SZ, longText.c_str(), DWORD(longText.size() + 1));
    EXPECT_EQ(-1, m_user.getInt("long", -1));
    // A text stored without its NUL ends at the data's end.
    rawSet("bare", REG_SZ, "77", 2);
    EXPECT_EQ(77, m_user.getInt("bare", -1));
    // Other types, and a DWORD too short to be one, give the default.
    rawSet("binary", REG_BINARY, "\x01\x00\x00\x00", 4);
    EXPECT_EQ(-1, m_user.getInt("binary", -1));
    rawSet("short", REG_DWORD, "\x01\x00", 2);
    EXPECT_EQ(-1, m_user.getInt("short", -1));
}

TEST_F(UserTest, StringsReadAnyTypeUpToTheirEnd)
{
    m_user.setString("fontName", "Tahoma");
    EXPECT_EQ(7, rawSize("fontName"));
    EXPECT_STREQ("Tahoma", m_user.getString("FONTNAME", "x").c_str());
    EXPECT_STREQ("dflt", m_user.getString("missing", "dflt").c_str());

    rawSet("bin", REG_BINARY, "ab\0cd", 5);
    EXPECT_STREQ("ab", m_user.getString("bin", "").c_str());
    // Bytes without any NUL give exactly their own length.
    rawSet("raw", REG_BINARY, "xyz", 3);
    String raw = m_user.getString("raw", "");
    EXPECT_EQ(3, raw.length());
    EXPECT_STREQ("xyz", raw.c_str());
    rawSet("dword", REG_DWORD, "ABC\0", 4);
    EXPECT_STREQ("ABC", m_user.getString("dword", "").c_str());

    std::string fits(1022, 'a');
    m_user.setString("fits", fits.c_str());
    EXPECT_EQ(1022, m_user.getString("fits", "").length());
    std::string tooLong(1023, 'a');
    m_user.setString("tooLong", tooLong.c_str());
    EXPECT_STREQ("dflt", m_user.getString("tooLong", "dflt").c_str());
}

TEST_F(UserTest, PathsInValueNamesUseSubkeys)
{
    m_user.setInt("BOB\\level", 3);
    EXPECT_TRUE(keyExists("BOB"));
    DWORD type = 0;
    EXPECT_EQ(4, rawSize("level", "BOB", &type));
    EXPECT_EQ(REG_DWORD, type);
    EXPECT_EQ(3, m_user.getInt("bob\\LEVEL", 0));
    m_user.setString("A\\B\\name", "deep");
    EXPECT_STREQ("deep", m_user.getString("a\\b\\NAME", "").c_str());

    // Reading or deleting under a missing sub-key makes no key.
    EXPECT_EQ(1, m_user.getInt("GHOST\\x", 1));
    m_user.deleteValue("GHOST2\\x");
    ByteArray out;
    EXPECT_FALSE(m_user.getBytes("GHOST3\\x", out));
    EXPECT_FALSE(keyExists("GHOST"));
    EXPECT_FALSE(keyExists("GHOST2"));
    EXPECT_FALSE(keyExists("GHOST3"));
}

TEST_F(UserTest, DeletingANameRemovesTheValueOrElseTheWholeSubkey)
{
    m_user.setInt("plain", 1);
    m_user.deleteValue("plain");
    EXPECT_EQ(-1, rawSize("plain"));

    m_user.setString("BOB\\displayName", "Bob");
    ByteArray block;
    fill(block, 5000, 1);
    m_user.setBytesChunked("BOB\\userdata", block);
    m_user.setInt("ANN\\x", 1);
    ASSERT_TRUE(keyExists("BOB\\userdata"));
    m_user.deleteValue("BOB\\userdata");
    EXPECT_FALSE(keyExists("BOB\\userdata"));
    EXPECT_TRUE(keyExists("BOB"));
    m_user.setInt("BOB\\sub\\deeper\\v", 1);
    m_user.deleteValue("bob");
    EXPECT_FALSE(keyExists("BOB"));
    EXPECT_TRUE(keyExists("ANN"));

    // An empty value name deletes at most the default value, never the
    // sub-keys of the store (every profile).
    m_user.deleteValue("");
    m_user.deleteValue("ANN\\");
    EXPECT_TRUE(keyExists("ANN"));
    EXPECT_EQ(1, m_user.getInt("ANN\\x", 0));
}

TEST_F(UserTest, ByteBlocksRoundTrip)
{
    ByteArray data;
    fill(data, 300, 5);
    m_user.setBytes("blob", data);
    DWORD type = 0;
    EXPECT_EQ(300, rawSize("blob", "", &type));
    EXPECT_EQ(REG_BINARY, type);
    ByteArray out;
    ASSERT_TRUE(m_user.getBytes("BLOB", out));
    EXPECT_TRUE(same(data, out));

    // Any type is accepted.
    m_user.setString("text", "hi");
    ASSERT_TRUE(m_user.getBytes("text", out));
    EXPECT_EQ(3, out.length());

    // A missing value leaves the array as it was.
    ByteArray kept, expected;
    fill(kept, 4, 9);
    fill(expected, 4, 9);
    EXPECT_FALSE(m_user.getBytes("missing", kept));
    EXPECT_TRUE(same(expected, kept));

    m_user.setBytes("empty", ByteArray());
    ASSERT_TRUE(m_user.getBytes("empty", kept));
    EXPECT_EQ(0, kept.length());
}

TEST_F(UserTest, ChunkedBlocksSplitAt4096AndShrinkCleanly)
{
    ByteArray big;
    fill(big, 10000, 3);
    m_user.setBytesChunked("BOB\\LF", big);
    EXPECT_EQ(4096, rawSize("0", "BOB\\LF"));
    EXPECT_EQ(4096, rawSize("1", "BOB\\LF"));
    EXPECT_EQ(1808, rawSize("2", "BOB\\LF"));
    EXPECT_EQ(-1, rawSize("3", "BOB\\LF"));
    ByteArray out; // replaced, not appended to
    fill(out, 154, 0);
    ASSERT_TRUE(m_user.getBytesChunked("BOB\\LF", out));
    EXPECT_TRUE(same(big, out));

    // A shorter block leaves no chunk of the longer one behind.
    ByteArray small;
    fill(small, 4097, 8);
    m_user.setBytesChunked("BOB\\LF", small);
    EXPECT_EQ(1, rawSize("1", "BOB\\LF"));
    EXPECT_EQ(-1, rawSize("2", "BOB\\LF"));
    ASSERT_TRUE(m_user.getBytesChunked("BOB\\LF", out));
    EXPECT_TRUE(same(small, out));

    ByteArray kept, expected;
    fill(kept, 3, 1);
    fill(expected, 3, 1);
    EXPECT_FALSE(m_user.getBytesChunked("BOB\\missing", kept));
    EXPECT_TRUE(same(expected, kept));
    // An empty block has no chunks at all.
    m_user.setBytesChunked("BOB\\LF", ByteArray());
    EXPECT_FALSE(m_user.getBytesChunked("BOB\\LF", kept));
}

TEST_F(UserTest, ABlockTheSettingsCannotHoldWholeIsNotWrittenAndTheOneBeforeStays)
{
    ByteArray before;
    fill(before, 10000, 4);
    m_user.setBytesChunked("BOB\\LF", before);
    ByteArray out;

    // 1,024 pieces are the most a key holds; one byte more is not written,
    // said once in the debug output, and the reason goes to the caller, who
    // tells the player.
    ByteArray most, tooLong;
    fill(most, 1024 * 4096, 6);
    fill(tooLong, 1024 * 4096 + 1, 7);
    {
        platform::DebugCapture log;
        ::testing::internal::CaptureStderr();
        std::string why;
        EXPECT_FALSE(m_user.setBlocksChunked({{"BOB\\LF", &tooLong}}, &why));
        const std::string errors = ::testing::internal::GetCapturedStderr();
        ASSERT_TRUE(m_user.getBytesChunked("BOB\\LF", out));
        EXPECT_TRUE(same(before, out));
        EXPECT_EQ("", errors);
        EXPECT_EQ("the settings hold at most 1024 pieces of 4096 bytes", why);
        EXPECT_NE(std::string::npos, log.text().find("is not stored")) << log.text();
    }
    m_user.setBytesChunked("BOB\\LF", most);
    ASSERT_TRUE(m_user.getBytesChunked("BOB\\LF", out));
    EXPECT_TRUE(same(most, out));
    m_user.setBytesChunked("BOB\\LF", before);

    // A piece refused midway (the file's count of values is full) takes the
    // pieces written before it back: the block stored before stays whole, or
    // none is there when there was none. The values are filled up to the
    // limit, and one place is freed again.
    ::testing::internal::CaptureStderr();
    {
        platform::RegistryBatch filling;
        HKEY root = rawKey();
        for (int k = 0; k < 64; ++k) {
            HKEY key = nullptr;
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(root, ("Filler" + std::to_string(k)).c_str(), &key));
            for (int v = 0; v < 1024; ++v) {
                if (RegSetValueExA(key, std::to_string(v).c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>("x"),
                                   1) != ERROR_SUCCESS)
                    break;
            }
            RegCloseKey(key);
        }
        ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(rawKey("Filler0"), "0"));
    }
    m_user.setBytesChunked("BOB\\LF", most);
    m_user.setBytesChunked("ANN\\LF", before);
    ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(m_user.getBytesChunked("BOB\\LF", out));
    EXPECT_TRUE(same(before, out));
    EXPECT_FALSE(m_user.getBytesChunked("ANN\\LF", out));
    EXPECT_EQ(-1, rawSize("0", "ANN\\LF"));
}

TEST_F(UserTest, TwoCopiesWritingOneBlockLeaveOneCopysWholeBlock)
{
    // Two copies of the game save one player's story by turns, one long and
    // one short; each reads back its own after every save, and the file ends
    // with one copy's last story whole.
    const std::string file = m_dir.file("registry.txt");
    const int longLength = 3 * 4096 + 100;
    const std::string copy = testsupport::ChildProgram::role();
    if (!copy.empty()) {
        // A copy, a program of its own on the test's file: the long one
        // (seed 1) or the short one (seed 2).
        platform::setRegistryFile((testsupport::ChildProgram::folder() / "registry.txt").c_str());
        User user;
        user.open("Game");
        ByteArray mine, back;
        const bool isLong = copy == "long";
        fill(mine, isLong ? longLength : 100, isLong ? 1 : 2);
        for (int round = 0; round < 60; ++round) {
            user.setBytesChunked("ANN\\LF", mine);
            ASSERT_TRUE(user.getBytesChunked("ANN\\LF", back) && same(mine, back)) << "a mixed story in round " << round;
        }
        return;
    }
    testsupport::ChildProgram longOne("long", m_dir.path());
    testsupport::ChildProgram shortOne("short", m_dir.path());
    for (testsupport::ChildProgram* child : {&longOne, &shortOne})
        EXPECT_TRUE(child->succeeded()) << child->output();
    platform::setRegistryFile(file.c_str());
    User reader;
    reader.open("Game");
    ByteArray stored, longStory, shortStory;
    fill(longStory, longLength, 1);
    fill(shortStory, 100, 2);
    ASSERT_TRUE(reader.getBytesChunked("ANN\\LF", stored));
    EXPECT_TRUE(same(stored, longStory) || same(stored, shortStory)) << stored.length() << " bytes";
}

TEST_F(UserTest, SubkeysAreListedByName)
{
    lang::StringArray names;
    m_user.listSubkeys(names);
    EXPECT_EQ(0, names.length());

    m_user.setInt("zed\\x", 1);
    m_user.setInt("ANN\\x", 1);
    m_user.setInt("bob\\deeper\\x", 1);
    m_user.listSubkeys(names);
    ASSERT_EQ(3, names.length());
    EXPECT_STREQ("ANN", names.get(0)->c_str());
    EXPECT_STREQ("bob", names.get(1)->c_str());
    EXPECT_STREQ("zed", names.get(2)->c_str());
    for (int i = 0; i < names.length(); ++i)
        names.get(i)->release();
}

TEST_F(UserTest, OpenReadsTheFrameworkValuesAndCreditsAreSavedAtTheEnd)
{
    {
        User first;
        first.open("Other");
        EXPECT_EQ(0, first.getCredits());
        EXPECT_EQ(500000, first.getCreditsOrDefault());
        EXPECT_EQ(500250, first.addCredits(250));
        EXPECT_EQ(500200, first.subtractCredits(50));
        first.setString("fontName", "Verdana");
        first.setInt("nonAscentDescent", 7);
    }
    EXPECT_STREQ("Arial", lang::System::getDefaultFontName());

    User second;
    second.open("Other");
    EXPECT_EQ(500200, second.getCredits());
    EXPECT_STREQ("Verdana", lang::System::getDefaultFontName());
    EXPECT_EQ(7, User::getNonAscentDescent());
    second.resetCredits();
    EXPECT_EQ(500000, second.getCredits());
    EXPECT_EQ(0, second.queryFlag(1));

    // Opening another name closes the first key; nested names make nested keys.
    second.open("Other\\PROFILE");
    second.setInt("x", 1);
    EXPECT_EQ(2, User::getNonAscentDescent());
    HKEY nested = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Harbinvel\\Other\\PROFILE", 0, KEY_READ, &nested));
    RegCloseKey(nested);
}

TEST_F(UserTest, AStoreThatIsNotOpenReadsDefaults)
{
    User closed;
    EXPECT_EQ(4, closed.getInt("x", 4));
    closed.setInt("x", 1);
    EXPECT_EQ(4, closed.getInt("x", 4));
    EXPECT_STREQ("d", closed.getString("x", "d").c_str());
}

} // namespace
