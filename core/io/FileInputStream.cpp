// FileInputStream.cpp: file reading through the C runtime.
#include "core/io/FileInputStream.h"

#include "core/lang/Exception.h"
#include "platform/files/Files.h"

namespace io {

FileInputStream::FileInputStream(const char* path) : m_pFile(nullptr)
{
    open(path);
}

FileInputStream::FileInputStream(const lang::String& path) : m_pFile(nullptr)
{
    open(path.c_str());
}

FileInputStream::FileInputStream(const lang::String& name, const lang::String& directory) : m_pFile(nullptr)
{
    lang::String path(directory);
    if (!directory.isEmpty() && !directory.endsWith("\\"))
        path += "\\";
    path += name;
    open(path.c_str());
}

void FileInputStream::open(const char* path)
{
    m_pFile = crtFopen(path, "rb");
    if (!m_pFile)
        throw new lang::Exception(lang::String("Error Opening ").concat(path));
}

FileInputStream::~FileInputStream()
{
    close();
}

int FileInputStream::read(unsigned char* buffer, int offset, int length)
{
    if (!m_pFile || length <= 0)
        return 0;
    return int(std::fread(buffer + offset, 1, size_t(length), m_pFile));
}

int FileInputStream::read()
{
    if (!m_pFile)
        return -1;
    int c = std::fgetc(m_pFile);
    if (c == EOF && std::ferror(m_pFile))
        throw new lang::Exception("File error");
    return c == EOF ? -1 : c;
}

void FileInputStream::close()
{
    if (m_pFile) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
    }
}

void FileInputStream::reset()
{
    if (m_pFile)
        std::fseek(m_pFile, 0, SEEK_SET);
}

int FileInputStream::skip(int n)
{
    if (!m_pFile)
        return 0;
    long before = std::ftell(m_pFile);
    // A move before the start stops at the first byte (a plain fseek would
    // fail and leave the position where it was).
    if (before + n < 0)
        n = int(-before);
    std::fseek(m_pFile, n, SEEK_CUR);
    return int(std::ftell(m_pFile) - before);
}

int FileInputStream::seek(int position)
{
    if (!m_pFile)
        return 0;
    long before = std::ftell(m_pFile);
    // A negative position, like a move before the start, gives the first byte.
    std::fseek(m_pFile, position < 0 ? 0 : position, SEEK_SET);
    return int(std::ftell(m_pFile) - before);
}

} // namespace io
