// The 8-bit text type: capacities, borrowing, formatting, searching, editing.
#include "core/lang/String.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using lang::String;

namespace {

TEST(StringCapacity, FollowsTheSixteenByteRule)
{
    EXPECT_EQ(String("abc").capacity(), 16);
    EXPECT_EQ(String("abc").length(), 3);
    EXPECT_EQ(String(std::string(15, 'x').c_str()).capacity(), 16);
    EXPECT_EQ(String(std::string(16, 'x').c_str()).capacity(), 32);
    EXPECT_EQ(String("ab", 40).capacity(), 48);
    EXPECT_EQ(String("ab", 5).capacity(), 16);
    EXPECT_EQ(String('q', 0).capacity(), 16);
    EXPECT_EQ(String('q', 33).capacity(), 48);
}

TEST(StringCapacity, GrowsPastSixteenBitsWithoutWrapping)
{
    // 65,519 bytes is the largest text the 16-bit rule can hold.
    std::string big(65519, 'a');
    String s(big.c_str());
    EXPECT_EQ(s.capacity(), 65520);
    s.append('b');
    EXPECT_EQ(s.length(), 65520);
    EXPECT_GT(s.capacity(), 65520);
    std::string huge(200000, 'z');
    String t(huge.c_str());
    EXPECT_GT(t.capacity(), 200000);
    t += "!";
    EXPECT_EQ(t.length(), 200001);
    EXPECT_EQ(t.c_str()[200000], '!');
    String copy(t);
    EXPECT_TRUE(copy.equals(t));
}

TEST(StringCapacity, AppendReusesTheBufferUntilFull)
{
    String s("0123456789");
    const char* before = s.c_str();
    s += "abcde"; // 15 bytes still fit in 16
    EXPECT_EQ(s.c_str(), before);
    s += 'f';
    EXPECT_EQ(s.length(), 16);
    EXPECT_GE(s.capacity(), 17);
    EXPECT_STREQ(s.c_str(), "0123456789abcdef");
}

TEST(StringBorrow, BorrowedBufferIsNeverWrittenOrFreed)
{
    char text[] = "keep";
    {
        String s(text, true);
        EXPECT_EQ(s.capacity(), 0);
        EXPECT_EQ(s.c_str(), text);
        s.append('!');
        EXPECT_EQ(s.capacity(), 16);
        EXPECT_NE(s.c_str(), text);
        EXPECT_STREQ(s.c_str(), "keep!");
    }
    EXPECT_STREQ(text, "keep");
    String t(text, true);
    t = "other text";
    EXPECT_STREQ(text, "keep");
    EXPECT_STREQ(t.c_str(), "other text");

    // Set to null, a borrowed String is the empty text, and still leaves the
    // caller's buffer alone.
    String u(text, true);
    u = static_cast<const char*>(nullptr);
    EXPECT_EQ(u.length(), 0);
    EXPECT_STREQ(u.c_str(), "");
    EXPECT_TRUE(u.equals(""));
    EXPECT_TRUE(u.hasData());
    EXPECT_TRUE(u.isEmpty());
    EXPECT_STREQ(text, "keep");
    u += "more";
    EXPECT_STREQ(u.c_str(), "more");
    EXPECT_STREQ(text, "keep");
}

TEST(StringNull, NullAndEmptyAreDistinctButBothEmpty)
{
    String null;
    EXPECT_FALSE(null.hasData());
    EXPECT_TRUE(null.isEmpty());
    EXPECT_STREQ(null.c_str(), "");
    String copy(null);
    EXPECT_TRUE(copy.hasData()) << "a copy of the null string is an empty string with a buffer";
    EXPECT_TRUE(copy.isEmpty());
    String fromNull(static_cast<const char*>(nullptr));
    EXPECT_FALSE(fromNull.hasData());
    String s("abc");
    s = static_cast<const char*>(nullptr);
    EXPECT_TRUE(s.hasData());
    EXPECT_EQ(s.length(), 0);
    null = static_cast<const char*>(nullptr);
    EXPECT_FALSE(null.hasData());
    EXPECT_TRUE(null.startsWith(""));
    EXPECT_FALSE(null.startsWith("a"));
}

TEST(StringFormat, Integers)
{
    EXPECT_STREQ(String(0).c_str(), "0");
    EXPECT_STREQ(String(-45).c_str(), "-45");
    EXPECT_STREQ(String(INT_MIN).c_str(), "-2147483648");
    EXPECT_STREQ(String(INT_MAX).c_str(), "2147483647");
    String s("abc");
    s = 1234;
    EXPECT_STREQ(s.c_str(), "1234");
}

TEST(StringFormat, DoublesUseNineSignificantDigits)
{
    EXPECT_STREQ(String(2.5).c_str(), "2.5");
    EXPECT_STREQ(String(100.0).c_str(), "100.");
    EXPECT_STREQ(String(0.25).c_str(), "0.25");
    EXPECT_STREQ(String(0.05).c_str(), "5.e-002");
    EXPECT_STREQ(String(1e10).c_str(), "1.e+010");
    EXPECT_STREQ(String(-3.0).c_str(), "-3.");
}

TEST(StringConcat, OperatorsBuildNewStrings)
{
    String a("Hilite"), b("Door");
    String ab = a + b;
    EXPECT_STREQ(ab.c_str(), "HiliteDoor");
    EXPECT_STREQ(a.c_str(), "Hilite");
    EXPECT_STREQ((a + 7).c_str(), "Hilite7");
    EXPECT_STREQ((String("+iCursor_") + -3).c_str(), "+iCursor_-3");
    EXPECT_STREQ(a.concat("_x").c_str(), "Hilite_x");
    EXPECT_STREQ(a.concat(nullptr).c_str(), "Hilite");
    String c;
    c += "x";
    c += 5;
    c += 'y';
    c += String("z");
    EXPECT_STREQ(c.c_str(), "x5yz");
}

TEST(StringConcat, AppendingItselfIsSafe)
{
    String s("abcdefghijklmn"); // 14 bytes: doubling needs a new buffer
    s.append(s);
    EXPECT_STREQ(s.c_str(), "abcdefghijklmnabcdefghijklmn");
    s.append(s.c_str() + 26);
    EXPECT_STREQ(s.c_str(), "abcdefghijklmnabcdefghijklmnmn");
    s = s.c_str() + 2; // assigning a tail of itself
    EXPECT_STREQ(s.c_str(), "cdefghijklmnabcdefghijklmnmn");
}

TEST(StringHash, OrsSignExtendedBytesAtRotatingShifts)
{
    EXPECT_EQ(String("A").hashCode(), 65);
    EXPECT_EQ(String("AB").hashCode(), 65 | (66 << 8));
    // The fifth byte is ORed in unshifted again.
    int abcd = 'a' | ('b' << 8) | ('c' << 16) | ('d' << 24);
    EXPECT_EQ(String("abcde").hashCode(), abcd | 'e');
    EXPECT_EQ(String("\xff").hashCode(), -1) << "0xFF sign-extends to all ones";
    EXPECT_EQ(String().hashCode(), 0);
}

TEST(StringCompare, EqualityAndCaseInsensitiveOrder)
{
    String a("Room"), b("Room"), c("room");
    lang::Object plain;
    EXPECT_TRUE(a.equals(&b));
    EXPECT_FALSE(a.equals(&c));
    EXPECT_FALSE(a.equals(&plain));
    EXPECT_FALSE(a.equals(static_cast<lang::Object*>(nullptr)));
    EXPECT_TRUE(a.equals("Room"));
    EXPECT_TRUE(a.equalsIgnoreCase(c));
    EXPECT_TRUE(a.equalsIgnoreCase("ROOM"));
    EXPECT_EQ(a.compareToIgnoreCase(c), 0);
    EXPECT_LT(String("apple").compareToIgnoreCase(String("Banana")), 0);
    EXPECT_GT(String("b").compareToIgnoreCase(String("A")), 0);
    EXPECT_TRUE(a.isInstanceOf("String"));
    EXPECT_TRUE(a.isInstanceOf("Object"));
}

TEST(StringSearch, PrefixSuffixAndIndexes)
{
    String hello("hello");
    EXPECT_TRUE(hello.startsWith("he"));
    EXPECT_TRUE(hello.startsWith(""));
    EXPECT_FALSE(hello.startsWith("hello!"));
    EXPECT_TRUE(hello.startsWith(String("hell")));
    EXPECT_TRUE(hello.endsWith("llo"));
    EXPECT_FALSE(hello.endsWith("hhello"));
    EXPECT_TRUE(hello.endsWith(""));
    EXPECT_EQ(hello.indexOf("lo"), 3);
    EXPECT_EQ(hello.indexOf("", 7), 0);
    EXPECT_EQ(hello.indexOf("xyz"), -1);
    EXPECT_EQ(hello.indexOf('l'), 2);
    EXPECT_EQ(hello.indexOf('l', 3), 3);
    EXPECT_EQ(hello.indexOf('l', 4), -1);
    EXPECT_EQ(hello.lastIndexOf('l'), 3);
    EXPECT_EQ(hello.lastIndexOf('z'), -1);
    EXPECT_EQ(hello.indexOf("l", 10), -1);
}

TEST(StringSearch, NegativeStartsAreClamped)
{
    String hello("hello");
    EXPECT_EQ(hello.indexOf("he", -5), 0);
    EXPECT_EQ(hello.indexOf('h', -1), 0);
}

TEST(StringCopies, SubstringRightAndCase)
{
    String s("Lanternfield");
    EXPECT_STREQ(s.substring(7).c_str(), "field");
    EXPECT_STREQ(s.substring(50).c_str(), "");
    EXPECT_STREQ(s.substring(0, 7).c_str(), "Lantern");
    EXPECT_STREQ(s.right(5).c_str(), "field");
    EXPECT_STREQ(s.right(100).c_str(), "Lanternfield");
    EXPECT_STREQ(s.toUpperCase().c_str(), "LANTERNFIELD");
    EXPECT_STREQ(s.toLowerCase().c_str(), "lanternfield");
    EXPECT_STREQ(String("\xe9t\xe9").toUpperCase().c_str(), "\xc9T\xc9");
    EXPECT_STREQ(s.c_str(), "Lanternfield") << "copies leave the original alone";
}

TEST(StringCopies, BadRangesClampInsteadOfReadingOutside)
{
    String s("abcdef");
    EXPECT_STREQ(s.substring(-3).c_str(), "abcdef");
    EXPECT_STREQ(s.substring(-2, 3).c_str(), "abc");
    EXPECT_STREQ(s.substring(4, 2).c_str(), "");
    EXPECT_STREQ(s.substring(2, 99).c_str(), "cdef");
    EXPECT_STREQ(String("abcdef", -4, 2).c_str(), "ab");
    EXPECT_STREQ(String("abcdef", 3, 3).c_str(), "");
    EXPECT_STREQ(String("abcdef", 5, 1).c_str(), "");
    EXPECT_STREQ(String("abcdef", 1, 4).c_str(), "bcd");
}

TEST(StringCopies, TrimDropsSpacesAndControlsOnly)
{
    EXPECT_STREQ(String("  a b \t").trim().c_str(), "a b");
    EXPECT_STREQ(String("   ").trim().c_str(), "");
    EXPECT_STREQ(String().trim().c_str(), "");
    EXPECT_TRUE(String().trim().hasData());
    EXPECT_STREQ(String("\xa0x\xa0").trim().c_str(), "\xa0x\xa0") << "0xA0 is above 32 and stays";
}

TEST(StringEdit, SetCharAtAndSetLengthIgnoreOutsideIndices)
{
    String s("abc");
    s.setCharAt(1, 'X');
    s.setCharAt(3, 'Y');
    s.setCharAt(-1, 'Z');
    EXPECT_STREQ(s.c_str(), "aXc");
    s.setLength(10);
    EXPECT_STREQ(s.c_str(), "aXc");
    s.setLength(-1);
    EXPECT_EQ(s.length(), 3);
    s.setLength(1);
    EXPECT_STREQ(s.c_str(), "a");
    EXPECT_EQ(s.length(), 1);
}

TEST(StringEdit, ReplaceAllIsLeftToRightWithoutRescanning)
{
    String s("aaaa");
    s.replaceAll(String("aa"), String("b"));
    EXPECT_STREQ(s.c_str(), "bb");
    String t("abc");
    t.replaceAll(String("aa"), String("b"));
    EXPECT_STREQ(t.c_str(), "abc");
    String u("a.b.c");
    u.replaceAll(String("."), String(".."));
    EXPECT_STREQ(u.c_str(), "a..b..c");
    u.replaceAll(String(""), String("x"));
    EXPECT_STREQ(u.c_str(), "a..b..c");
    String v("$name$ and $name$");
    v.replaceAll(String("$name$"), String("Ada"));
    EXPECT_STREQ(v.c_str(), "Ada and Ada");
    String w("xx");
    w.replaceAll(String("x"), String(""));
    EXPECT_STREQ(w.c_str(), "");
}

TEST(StringConvert, ToIntAndNameCharacters)
{
    EXPECT_EQ(String(" 42abc").toInt(), 42);
    EXPECT_EQ(String("-7").toInt(), -7);
    EXPECT_EQ(String().toInt(), 0);
    EXPECT_TRUE(String::isNameChar('a'));
    EXPECT_TRUE(String::isNameChar('Z'));
    EXPECT_TRUE(String::isNameChar('5'));
    EXPECT_TRUE(String::isNameChar(' '));
    EXPECT_TRUE(String::isNameChar('-'));
    EXPECT_TRUE(String::isNameChar('.'));
    EXPECT_TRUE(String::isNameChar(192));
    EXPECT_TRUE(String::isNameChar(255));
    EXPECT_FALSE(String::isNameChar(191));
    EXPECT_FALSE(String::isNameChar('_'));
    EXPECT_FALSE(String::isNameChar(256));
}

TEST(StringCopy, CopyAndAssignmentAreIndependent)
{
    String a("first");
    String b(a);
    b.setCharAt(0, 'F');
    EXPECT_STREQ(a.c_str(), "first");
    a = b;
    EXPECT_STREQ(a.c_str(), "First");
    String& same = a;
    a = same;
    EXPECT_STREQ(a.c_str(), "First");
    String longer("a much longer text than sixteen");
    a = longer;
    EXPECT_STREQ(a.c_str(), "a much longer text than sixteen");
    EXPECT_STREQ(a.toString().c_str(), "a much longer text than sixteen");
    a = 'c';
    EXPECT_STREQ(a.c_str(), "c");
}

} // namespace
