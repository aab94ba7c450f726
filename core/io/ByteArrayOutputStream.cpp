// ByteArrayOutputStream.cpp: writing into a growing memory store.
#include "core/io/ByteArrayOutputStream.h"

#include "core/lang/String.h"

#include <cstring>

namespace io {

ByteArrayOutputStream::ByteArrayOutputStream(int initialSize) : m_nPosition(0)
{
    m_store.setLength(initialSize > 0 ? initialSize : 100);
}

void ByteArrayOutputStream::write(int byte)
{
    if (m_nPosition + 1 >= m_store.length())
        m_store.setLength(m_nPosition + 1);
    m_store[m_nPosition] = static_cast<unsigned char>(byte);
    ++m_nPosition;
}

void ByteArrayOutputStream::write(const unsigned char* buffer, int length)
{
    if (length <= 0)
        return;
    if (m_nPosition + length >= m_store.length())
        m_store.setLength(m_nPosition + length);
    std::memcpy(m_store.data() + m_nPosition, buffer, size_t(length));
    m_nPosition += length;
}

void ByteArrayOutputStream::write(const lang::ByteArray& bytes)
{
    write(bytes.data(), bytes.length());
}

void ByteArrayOutputStream::write(const lang::String& text)
{
    write(reinterpret_cast<const unsigned char*>(text.c_str()), text.length());
}

} // namespace io
