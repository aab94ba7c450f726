// Text conversion: UTF-8 to UTF-16 to Windows-1252 and back, malformed input,
// default characters and the size conventions.
#include "platform/files/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::u16string toWide(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::u16string wide(size_t(n), u'\0');
    if (n > 0) {
        EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], n), n);
    }
    return wide;
}

// As the engine converts a text item: the NUL-terminated text through UTF-16
// to the ANSI code page with "." for what the code page cannot show.
std::string toAnsi(const char* utf8, bool* usedDefault = nullptr)
{
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::vector<WCHAR> wide(size_t(units) + 1);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), units + 1), units);
    std::vector<char> ansi(size_t(units) + 1, 'x');
    BOOL used = FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, ansi.data(), units + 1, ".", &used);
    EXPECT_GT(bytes, 0);
    if (usedDefault)
        *usedDefault = used != FALSE;
    return std::string(ansi.data());
}

TEST(Utf8ToAnsi, AccentedLettersAndEuroSign)
{
    bool used = true;
    EXPECT_EQ(toAnsi("Caf\xC3\xA9 \xE2\x82\xAC 5 \xC3\x9C"
                     "ber",
                     &used),
              "Caf\xE9 \x80 5 \xDC"
              "ber");
    EXPECT_FALSE(used);
    // The quotes and dashes of 0x80-0x9F.
    EXPECT_EQ(toAnsi("\xE2\x80\x9Cq\xE2\x80\x9D \xE2\x80\x94 \xC5\xA0\xC5\xB8"), "\x93q\x94 \x97 \x8A\x9F");
}

TEST(Utf8ToAnsi, CharactersOutsideTheCodePageBecomeTheDefault)
{
    bool used = false;
    // U+65E5, and U+1F600 as one surrogate pair: one default character each.
    EXPECT_EQ(toAnsi("a\xE6\x97\xA5"
                     "b\xF0\x9F\x98\x80"
                     "c",
                     &used),
              "a.b.c");
    EXPECT_TRUE(used);

    const WCHAR wide[] = {u'x', 0x0100, 0x0080, 0};
    char out[8];
    BOOL flag = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, out, sizeof out, nullptr, &flag), 4);
    EXPECT_STREQ(out, "x??");
    EXPECT_TRUE(flag);
}

TEST(Utf8ToWide, MalformedSequencesBecomeOneReplacementEach)
{
    const char16_t R = 0xFFFD;
    EXPECT_EQ(toWide("A\xC3"), (std::u16string{u'A', R}));               // cut short
    EXPECT_EQ(toWide("\xE2\x82" "A"), (std::u16string{R, u'A'}));       // cut before a letter
    EXPECT_EQ(toWide("\xC0\xAF"), (std::u16string{R, R}));              // overlong
    EXPECT_EQ(toWide("\xE0\x80\x80"), (std::u16string{R, R, R}));       // overlong
    EXPECT_EQ(toWide("\xED\xA0\x80"), (std::u16string{R, R, R}));       // a surrogate
    EXPECT_EQ(toWide("\xF4\x90\x80\x80"), (std::u16string{R, R, R, R})); // above U+10FFFF
    EXPECT_EQ(toWide("\xFF\x80"), (std::u16string{R, R}));
    EXPECT_EQ(toWide("\xF0\x9F\x98\x80"), (std::u16string{0xD83D, 0xDE00}));
    EXPECT_EQ(toAnsi("x\xC3(y"), "x.(y");
}

TEST(Utf8ToWide, ReadsNoFurtherThanTheGivenLength)
{
    // Exactly sized, unterminated heap buffers: a read past them is caught.
    std::vector<char> cut = {'\xE2', '\x82'};
    WCHAR out[4];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, cut.data(), int(cut.size()), out, 4), 1);
    EXPECT_EQ(out[0], 0xFFFD);
    std::vector<char> plain = {'a', 'b', 'c'};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, plain.data(), 3, out, 4), 3);
    std::vector<WCHAR> wide = {u'a', 0xD83D}; // a high surrogate at the very end
    char bytes[4];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide.data(), 2, bytes, 4, nullptr, nullptr), 2);
    EXPECT_EQ(bytes[1], '?');
}

TEST(Conversion, SizeQueriesAndShortBuffers)
{
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3\xA9t\xC3\xA9", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, nullptr, 0), 3);

    WCHAR wide[3] = {u'k', u'k', u'k'};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, wide, 3), 0);
    EXPECT_EQ(wide[0], u'k') << "a short buffer must be left untouched";

    const WCHAR text[] = {u'h', 0x20AC, 0};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr), 3);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr), 5);
    char small[2] = {'k', 'k'};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, small, 2, nullptr, nullptr), 0);
    EXPECT_EQ(small[0], 'k');
}

TEST(Conversion, BadArgumentsFail)
{
    WCHAR wide[4];
    char bytes[4];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", 0, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", -2, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(1251, 0, "a", -1, wide, 4), 0);
    const WCHAR text[] = {u'a', 0};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, 4, ".", nullptr), 0)
        << "a default character is refused for UTF-8";
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, nullptr, -1, bytes, 4, nullptr, nullptr), 0);
}

TEST(Conversion, AnsiAndUtf8BothWays)
{
    WCHAR wide[4];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\x80\xE9\x81", 3, wide, 4), 3);
    EXPECT_EQ(wide[0], 0x20AC);
    EXPECT_EQ(wide[1], 0x00E9);
    EXPECT_EQ(wide[2], 0x0081); // undefined in the code page: kept as the control code
    char bytes[16] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, 3, bytes, 16, nullptr, nullptr), 3);
    EXPECT_STREQ(bytes, "\x80\xE9\x81");

    const WCHAR text[] = {0x00E9, 0xD83D, 0xDE00, 0xDC00, 0};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, 16, nullptr, nullptr), 10);
    EXPECT_STREQ(bytes, "\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

} // namespace
