// FileOutputStream.cpp: file writing through the C runtime.
#include "core/io/FileOutputStream.h"

#include "core/lang/ByteArray.h"
#include "core/lang/Exception.h"
#include "platform/files/Files.h"

namespace io {

FileOutputStream::FileOutputStream(const char* path) : m_pFile(crtFopen(path, "w+b"))
{
    if (!m_pFile)
        throw new lang::Exception(lang::String("Error Opening ").concat(path));
}

FileOutputStream::~FileOutputStream()
{
    close();
}

void FileOutputStream::close()
{
    if (m_pFile) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
    }
}

void FileOutputStream::flush()
{
    if (m_pFile)
        std::fflush(m_pFile);
}

void FileOutputStream::write(int byte)
{
    if (m_pFile)
        std::fputc(byte & 0xFF, m_pFile);
}

void FileOutputStream::write(const unsigned char* buffer, int length)
{
    if (!m_pFile || length <= 0)
        return;
    if (std::fwrite(buffer, 1, size_t(length), m_pFile) < size_t(length))
        throw new lang::Exception("Error Writing");
}

void FileOutputStream::write(const lang::ByteArray& bytes)
{
    write(bytes.data(), bytes.length());
}

void FileOutputStream::write(const lang::String& text)
{
    write(reinterpret_cast<const unsigned char*>(text.c_str()), text.length());
}

} // namespace io
