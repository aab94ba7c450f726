// StreamTokenizer.h: splits a byte stream into words, numbers, quoted texts
// and line ends, driven by a class for each of the 256 byte values.
#pragma once

#include "core/io/InputStream.h"
#include "core/lang/String.h"

namespace io {

class StreamTokenizer : public lang::Object {
public:
    // Character classes.
    enum { CT_WORD = 0, CT_WHITESPACE = 1, CT_NUMBER = 2, CT_COMMENT = 3, CT_ORDINARY = 4, CT_EOL = 5, CT_QUOTE = 6 };
    // Token types; any other type is the code of an ordinary character.
    enum { TT_EOF = -1, TT_EOL = -2, TT_NUMBER = -3, TT_WORD = -4 };

    // Takes a reference on the stream; never closes it.
    explicit StreamTokenizer(InputStream* in);
    ~StreamTokenizer() override;

    void commentChar(int c);
    void quoteChar(int c);
    // '0' to '9', '-' and '.' start and continue numbers.
    void parseNumbers();
    void wordChars(int lo, int hi);
    void whitespaceChars(int lo, int hi);
    void eolIsSignificant(bool on) { m_bEolSignificant = on; }
    // The class of c; 0 for any value outside 0..255.
    int charType(int c) const;

    // Reads the next token and returns its type (also left in ttype).
    int nextToken();
    // The next nextToken() returns the current token again.
    void pushBack() { m_bPushedBack = true; }
    // The current token as text.
    lang::String toString() override;

    HV_CLASS_NAME("StreamTokenizer", lang::Object)

    // Read by callers after nextToken().
    int ttype;
    lang::String sval;
    double nval;
    int lineno;

private:
    int readChar();
    void skipComment();
    void readNumber();
    void setClass(int lo, int hi, unsigned char type);

    bool m_bEolSignificant;
    bool m_bPushedBack;
    unsigned char m_classes[256];
    int m_nPeek;
    InputStream* m_pIn;
    bool m_bFirstWordSeen;
};

} // namespace io
