// IntArray.cpp: the integer array.
#include "core/lang/IntArray.h"

#include "core/lang/Synchronized.h"

#include <cstring>

namespace lang {

IntArray::IntArray() : m_pData(nullptr), m_nLength(0) {}

IntArray::~IntArray()
{
    delete[] m_pData;
}

void IntArray::setLength(int n)
{
    if (n < 0)
        n = 0;
    int* block = n > 0 ? new int[size_t(n)]() : nullptr;
    int kept = n < m_nLength ? n : m_nLength;
    if (kept > 0)
        std::memcpy(block, m_pData, size_t(kept) * sizeof(int));
    delete[] m_pData;
    m_pData = block;
    m_nLength = n;
}

IntArray& IntArray::operator=(const IntArray& other)
{
    if (&other == this)
        return *this;
    Synchronized guard(this, true);
    setLength(other.m_nLength);
    if (m_nLength > 0)
        std::memcpy(m_pData, other.m_pData, size_t(m_nLength) * sizeof(int));
    return *this;
}

} // namespace lang
