// OutputStream.h: the abstract byte output stream.
#pragma once

#include "core/lang/Object.h"

namespace lang {
class ByteArray;
class String;
} // namespace lang

namespace io {

class OutputStream : public lang::Object {
public:
    virtual void close() = 0;
    virtual void flush() = 0;
    virtual void write(int byte) = 0;
    virtual void write(const unsigned char* buffer, int length) = 0;
    virtual void write(const lang::ByteArray& bytes) = 0;
    // The text's bytes without the terminating NUL.
    virtual void write(const lang::String& text) = 0;

    HV_CLASS_NAME("OutputStream", lang::Object)
};

} // namespace io
