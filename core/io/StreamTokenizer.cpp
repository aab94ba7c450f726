// StreamTokenizer.cpp: the tokenizer's reading rules.
#include "core/io/StreamTokenizer.h"

#include "core/lang/Exception.h"

#include <cstring>

namespace io {
namespace {
const int kNone = -2; // no look-ahead character held (distinct from the end, -1)
}

StreamTokenizer::StreamTokenizer(InputStream* in)
    : ttype(0), nval(0.0), lineno(1), m_bEolSignificant(false), m_bPushedBack(false), m_nPeek(kNone), m_pIn(in),
      m_bFirstWordSeen(false)
{
    if (m_pIn)
        m_pIn->addRef();
    // Bytes 0-32 are white space, carriage return alone ends a line, and
    // everything from 33 up (punctuation and bytes above 127) makes words.
    std::memset(m_classes, CT_WORD, sizeof m_classes);
    std::memset(m_classes, CT_WHITESPACE, 33);
    m_classes[static_cast<unsigned char>('\r')] = CT_EOL;
}

StreamTokenizer::~StreamTokenizer()
{
    if (m_pIn)
        m_pIn->release();
}

void StreamTokenizer::setClass(int lo, int hi, unsigned char type)
{
    if (lo < 0)
        lo = 0;
    if (hi > 255)
        hi = 255;
    for (int c = lo; c <= hi; ++c)
        m_classes[c] = type;
}

void StreamTokenizer::commentChar(int c)
{
    setClass(c, c, CT_COMMENT);
}

void StreamTokenizer::quoteChar(int c)
{
    setClass(c, c, CT_QUOTE);
}

void StreamTokenizer::parseNumbers()
{
    setClass('0', '9', CT_NUMBER);
    setClass('-', '-', CT_NUMBER);
    setClass('.', '.', CT_NUMBER);
}

void StreamTokenizer::wordChars(int lo, int hi)
{
    setClass(lo, hi, CT_WORD);
}

void StreamTokenizer::whitespaceChars(int lo, int hi)
{
    setClass(lo, hi, CT_WHITESPACE);
}

int StreamTokenizer::charType(int c) const
{
    return (c >= 0 && c <= 255) ? m_classes[c] : 0;
}

int StreamTokenizer::readChar()
{
    int c = m_pIn ? m_pIn->read() : -1;
    return (c < 0 || c > 255) ? -1 : c;
}

void StreamTokenizer::skipComment()
{
    // Drops the rest of the line; the line end stays as the look-ahead.
    while (m_nPeek >= 0 && m_classes[m_nPeek] != CT_EOL)
        m_nPeek = readChar();
}

void StreamTokenizer::readNumber()
{
    double v = 0.0;
    bool negative = false;
    bool hex = false;
    int digits = 0;
    int point = -1;
    int c = m_nPeek;
    for (;;) {
        if (c == '-') {
            negative = true;
        } else if (c == '.') {
            point = digits;
        } else if (c == 'x') {
            hex = true;
        } else if (hex) {
            ++digits;
            v *= 16;
            if (c >= '0' && c <= '9')
                v += c - '0';
            else if (c >= 'A' && c <= 'F')
                v += c - 'A' + 10;
            else if (c >= 'a' && c <= 'f')
                v += c - 'a' + 10;
        } else {
            ++digits;
            v = v * 10 + (c - '0');
        }
        c = readChar();
        m_nPeek = c;
        if (c < 0)
            break;
        bool isHexLetter = (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (m_classes[c] == CT_NUMBER || (c == 'x' && v == 0.0) || (hex && isHexLetter))
            continue;
        break;
    }
    if (point >= 0)
        for (int i = 0; i < digits - point; ++i)
            v /= 10;
    nval = negative ? -v : v;
}

int StreamTokenizer::nextToken()
{
    if (m_bPushedBack) {
        m_bPushedBack = false;
        return ttype;
    }
    if (m_nPeek == kNone)
        m_nPeek = readChar();
    if (m_nPeek < 0)
        return ttype = TT_EOF;
    if (m_classes[m_nPeek] == CT_COMMENT)
        skipComment();
    while (m_nPeek >= 0 && (m_classes[m_nPeek] == CT_WHITESPACE ||
                            (m_classes[m_nPeek] == CT_EOL && !m_bEolSignificant))) {
        if (m_classes[m_nPeek] == CT_EOL)
            ++lineno;
        m_nPeek = readChar();
        if (m_nPeek >= 0 && m_classes[m_nPeek] == CT_COMMENT)
            skipComment();
    }
    if (m_nPeek < 0)
        return ttype = TT_EOF;

    int c = m_nPeek;
    switch (m_classes[c]) {
    case CT_WORD: {
        ttype = TT_WORD;
        sval = static_cast<char>(c);
        for (;;) {
            c = readChar();
            if (c < 0 || (m_classes[c] != CT_WORD && m_classes[c] != CT_NUMBER))
                break;
            sval += static_cast<char>(c);
        }
        m_nPeek = c;
        break;
    }
    case CT_NUMBER:
        readNumber();
        ttype = TT_NUMBER;
        break;
    case CT_ORDINARY:
        ttype = c;
        m_nPeek = kNone;
        break;
    case CT_EOL:
        ++lineno;
        ttype = TT_EOL;
        m_nPeek = kNone;
        break;
    case CT_QUOTE: {
        ttype = TT_WORD;
        sval = "";
        for (;;) {
            c = readChar();
            if (c < 0 || m_classes[c] == CT_QUOTE)
                break;
            sval += static_cast<char>(c);
        }
        m_nPeek = c < 0 ? -1 : readChar();
        break;
    }
    default:
        throw new lang::Exception("Invalid character type");
    }

    // A byte-order mark before the first word or quoted text is dropped.
    if (ttype == TT_WORD && !m_bFirstWordSeen) {
        if (sval.length() >= 3 && sval.startsWith("\xEF\xBB\xBF"))
            sval = sval.substring(3);
        m_bFirstWordSeen = true;
    }
    return ttype;
}

lang::String StreamTokenizer::toString()
{
    switch (ttype) {
    case TT_WORD:
        return lang::String(sval);
    case TT_NUMBER:
        return lang::String(nval);
    case TT_EOL:
        return lang::String("EOL");
    case TT_EOF:
        return lang::String("EOF");
    default:
        return lang::String(static_cast<char>(ttype), 0);
    }
}

} // namespace io
