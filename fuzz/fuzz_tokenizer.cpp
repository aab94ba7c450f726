// Fuzzes the stream tokenizer with the data manifest's settings; the first
// input byte turns significant line ends on or off.
#include "core/io/ByteArrayInputStream.h"
#include "core/io/StreamTokenizer.h"
#include "core/lang/Exception.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    io::ByteArrayInputStream* in = new io::ByteArrayInputStream(data + 1, int(size - 1));
    io::StreamTokenizer* tok = new io::StreamTokenizer(in);
    in->release();
    tok->commentChar(';');
    tok->quoteChar('"');
    tok->parseNumbers();
    tok->eolIsSignificant(data[0] & 1);
    if (data[0] & 2)
        tok->wordChars(0, 255);
    try {
        for (int i = 0; i < 100000 && tok->nextToken() != io::StreamTokenizer::TT_EOF; ++i) {
            if (i % 7 == 0)
                tok->pushBack();
            lang::String text = tok->toString();
            (void)text;
        }
    } catch (lang::Exception* e) {
        e->release();
    }
    tok->release();
    return 0;
}
