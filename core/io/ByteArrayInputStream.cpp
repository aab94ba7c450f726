// ByteArrayInputStream.cpp: reading from memory.
#include "core/io/ByteArrayInputStream.h"

#include "core/lang/ResourceFile.h"

#include <cstring>

namespace io {

ByteArrayInputStream::ByteArrayInputStream(const unsigned char* data, int length)
    : m_pData(data), m_nLength(length < 0 ? 0 : length), m_nPosition(0), m_pItem(nullptr)
{
}

ByteArrayInputStream::ByteArrayInputStream(const lang::String& name)
    : m_pData(nullptr), m_nLength(0), m_nPosition(0), m_pItem(nullptr)
{
    lang::ResourceFile* archive = lang::ResourceFile::getCurrent();
    if (!archive)
        return;
    lang::String key = name.startsWith("+") ? name.substring(1) : lang::String(name);
    m_pItem = archive->getItem(key, false);
    if (m_pItem) {
        m_pData = m_pItem->getData();
        m_nLength = m_pItem->getSize();
    }
}

ByteArrayInputStream::~ByteArrayInputStream()
{
    if (m_pItem)
        m_pItem->release();
}

int ByteArrayInputStream::read(unsigned char* buffer, int offset, int length)
{
    int n = length;
    if (m_nPosition + n > m_nLength)
        n = m_nLength - m_nPosition;
    if (n <= 0)
        return 0;
    std::memcpy(buffer + offset, m_pData + m_nPosition, size_t(n));
    m_nPosition += n;
    return n;
}

int ByteArrayInputStream::read()
{
    if (m_nPosition >= m_nLength)
        return -1;
    return m_pData[m_nPosition++];
}

int ByteArrayInputStream::skip(int n)
{
    int before = m_nPosition;
    long long target = (long long)m_nPosition + n;
    if (target > m_nLength)
        target = m_nLength;
    if (target < 0)
        target = 0;
    m_nPosition = int(target);
    return m_nPosition - before;
}

int ByteArrayInputStream::seek(int position)
{
    int before = m_nPosition;
    m_nPosition = position > m_nLength ? m_nLength : (position < 0 ? 0 : position);
    return m_nPosition - before;
}

} // namespace io
