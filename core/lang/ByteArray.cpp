// ByteArray.cpp: the byte array.
#include "core/lang/ByteArray.h"

#include "core/lang/Synchronized.h"

#include <cstring>

namespace lang {

ByteArray::ByteArray() : m_pData(nullptr), m_nLength(0) {}

ByteArray::~ByteArray()
{
    delete[] m_pData;
}

void ByteArray::setLength(int n)
{
    if (n < 0)
        n = 0;
    unsigned char* block = n > 0 ? new unsigned char[size_t(n)]() : nullptr;
    int kept = n < m_nLength ? n : m_nLength;
    if (kept > 0)
        std::memcpy(block, m_pData, size_t(kept));
    delete[] m_pData;
    m_pData = block;
    m_nLength = n;
}

ByteArray& ByteArray::operator=(const ByteArray& other)
{
    if (&other == this)
        return *this;
    Synchronized guard(this, true);
    setLength(other.m_nLength);
    if (m_nLength > 0)
        std::memcpy(m_pData, other.m_pData, size_t(m_nLength));
    return *this;
}

} // namespace lang
