// The tokenizer with the data manifest's settings and its odd number rules.
#include "core/io/ByteArrayInputStream.h"
#include "core/io/StreamTokenizer.h"
#include "core/lang/Exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using io::StreamTokenizer;

namespace {

// A tokenizer over a text, set up as the data manifest reader sets it up.
struct Tokens {
    explicit Tokens(const std::string& text, bool manifest = true) : bytes(text)
    {
        in = new io::ByteArrayInputStream(reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()));
        tok = new StreamTokenizer(in);
        in->release();
        if (manifest) {
            tok->commentChar(';');
            tok->quoteChar('"');
            tok->parseNumbers();
        }
    }
    ~Tokens() { tok->release(); }

    std::string bytes;
    io::ByteArrayInputStream* in;
    StreamTokenizer* tok;
};

TEST(StreamTokenizer, ManifestLine)
{
    Tokens t("abc 12 \"x y\" ; a comment\r\ndef");
    ASSERT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "abc");
    ASSERT_EQ(t.tok->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_EQ(t.tok->nval, 12.0);
    ASSERT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "x y");
    ASSERT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "def");
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_EOF);
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_EOF);
    EXPECT_STREQ(t.tok->toString().c_str(), "EOF");
}

double number(const std::string& text)
{
    Tokens t(text);
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_NUMBER) << text;
    return t.tok->nval;
}

TEST(StreamTokenizer, NumberRules)
{
    EXPECT_DOUBLE_EQ(number("-3.25"), -3.25);
    EXPECT_EQ(number("0x10"), 16.0);
    EXPECT_EQ(number("0xff"), 255.0);
    EXPECT_EQ(number("0x1F"), 31.0);
    EXPECT_EQ(number("10-20"), -1020.0) << "a '-' anywhere negates the whole run";
    EXPECT_DOUBLE_EQ(number("1.2.5"), 12.5) << "the last point wins";
    EXPECT_EQ(number("."), 0.0);
    double minus = number("-");
    EXPECT_EQ(minus, 0.0);
    EXPECT_TRUE(std::signbit(minus)) << "a lone '-' is negative zero";
}

TEST(StreamTokenizer, LettersEndNumbersButContinueWords)
{
    Tokens a("7x");
    EXPECT_EQ(a.tok->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_EQ(a.tok->nval, 7.0);
    EXPECT_EQ(a.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(a.tok->sval.c_str(), "x");
    Tokens b("a1-2 1a");
    EXPECT_EQ(b.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(b.tok->sval.c_str(), "a1-2");
    EXPECT_EQ(b.tok->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_EQ(b.tok->nval, 1.0);
    EXPECT_EQ(b.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(b.tok->sval.c_str(), "a");
}

TEST(StreamTokenizer, QuotesAnyCloserAndUnclosed)
{
    Tokens t("\"\" 'a\"b \"line\r\nbreak\" \"open to the end");
    t.tok->quoteChar('\'');
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "");
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "a") << "any quote character closes";
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "b");
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "line\r\nbreak");
    EXPECT_EQ(t.tok->lineno, 1) << "line ends inside quotes are not counted";
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "open to the end");
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_EOF);
}

TEST(StreamTokenizer, OnlyCarriageReturnsCountLines)
{
    Tokens t("a\r\nb\r\nc\r\n");
    while (t.tok->nextToken() != StreamTokenizer::TT_EOF) {
    }
    EXPECT_EQ(t.tok->lineno, 4);
    Tokens lf("a\nb\nc\n");
    while (lf.tok->nextToken() != StreamTokenizer::TT_EOF) {
    }
    EXPECT_EQ(lf.tok->lineno, 1);
}

TEST(StreamTokenizer, SignificantLineEnds)
{
    Tokens t("a\r\nb");
    t.tok->eolIsSignificant(true);
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_EOL);
    EXPECT_EQ(t.tok->lineno, 2);
    EXPECT_STREQ(t.tok->toString().c_str(), "EOL");
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "b");
}

TEST(StreamTokenizer, ByteOrderMarkOnlyOnTheFirstWord)
{
    Tokens t("\xEF\xBB\xBFsection \xEF\xBB\xBFword");
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "section");
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "\xEF\xBB\xBFword");
}

TEST(StreamTokenizer, PushBackAndToString)
{
    Tokens t("42 <images>");
    t.tok->nextToken();
    t.tok->pushBack();
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_EQ(t.tok->nval, 42.0);
    EXPECT_STREQ(t.tok->toString().c_str(), "42.");
    t.tok->nextToken();
    EXPECT_STREQ(t.tok->toString().c_str(), "<images>");
}

TEST(StreamTokenizer, CommentsRunToTheLineEnd)
{
    Tokens t(";only a comment\r;another\rword ;tail");
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "word");
    EXPECT_EQ(t.tok->lineno, 3);
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_EOF);
}

TEST(StreamTokenizer, DefaultTableMakesWordsOfPunctuation)
{
    Tokens t("<images> a=b\t\"q\"", false);
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "<images>");
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "a=b");
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_STREQ(t.tok->sval.c_str(), "\"q\"");
}

TEST(StreamTokenizer, CharTypeOutsideTheTableIsZero)
{
    Tokens t("");
    EXPECT_EQ(t.tok->charType(-1), 0);
    EXPECT_EQ(t.tok->charType(-200), 0);
    EXPECT_EQ(t.tok->charType(256), 0);
    EXPECT_EQ(t.tok->charType(' '), StreamTokenizer::CT_WHITESPACE);
    EXPECT_EQ(t.tok->charType('\r'), StreamTokenizer::CT_EOL);
    EXPECT_EQ(t.tok->charType('\n'), StreamTokenizer::CT_WHITESPACE);
    EXPECT_EQ(t.tok->charType(0xE9), StreamTokenizer::CT_WORD);
    EXPECT_EQ(t.tok->charType('5'), StreamTokenizer::CT_NUMBER);
    EXPECT_EQ(t.tok->nextToken(), StreamTokenizer::TT_EOF);
}

} // namespace
