// FileOutputStream.h: a byte output stream into a file, created or emptied.
#pragma once

#include "core/io/OutputStream.h"

#include <cstdio>

namespace io {

class FileOutputStream : public OutputStream {
public:
    // Opening failures throw a new lang::Exception "Error Opening <path>".
    explicit FileOutputStream(const char* path);
    ~FileOutputStream() override;

    void close() override;
    void flush() override;
    void write(int byte) override;
    // The block writes throw "Error Writing" when fewer bytes were written.
    void write(const unsigned char* buffer, int length) override;
    void write(const lang::ByteArray& bytes) override;
    void write(const lang::String& text) override;

    HV_CLASS_NAME("FileOutputStream", OutputStream)

private:
    FILE* m_pFile;
};

} // namespace io
