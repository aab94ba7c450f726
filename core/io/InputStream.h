// InputStream.h: the abstract byte input stream.
#pragma once

#include "core/lang/Object.h"

namespace io {

class InputStream : public lang::Object {
public:
    // Reads up to `length` bytes into buffer + offset; returns the number read.
    virtual int read(unsigned char* buffer, int offset, int length) = 0;
    // The next byte as 0..255, or -1 at the end.
    virtual int read() = 0;
    virtual void close() = 0;
    // Back to the first byte.
    virtual void reset() = 0;
    // Moves forward; returns the distance moved.
    virtual int skip(int n) = 0;
    // Moves to a position from the start; returns the distance moved.
    virtual int seek(int position);

    HV_CLASS_NAME("InputStream", lang::Object)
};

} // namespace io
