// FileInputStream.h: a byte input stream over a file read in binary mode.
#pragma once

#include "core/io/InputStream.h"
#include "core/lang/String.h"

#include <cstdio>

namespace io {

class FileInputStream : public InputStream {
public:
    // Opening failures throw a new lang::Exception "Error Opening <path>".
    explicit FileInputStream(const char* path);
    explicit FileInputStream(const lang::String& path);
    // Opens directory + "\" + name (no separator added when the directory is
    // empty or already ends in "\").
    FileInputStream(const lang::String& name, const lang::String& directory);
    ~FileInputStream() override;

    int read(unsigned char* buffer, int offset, int length) override;
    // Throws "File error" when the end is reached through a read error.
    int read() override;
    void close() override;
    void reset() override;
    int skip(int n) override;
    int seek(int position) override;

    HV_CLASS_NAME("FileInputStream", InputStream)

private:
    void open(const char* path);

    FILE* m_pFile;
};

} // namespace io
