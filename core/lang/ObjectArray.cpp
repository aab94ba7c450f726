// ObjectArray.cpp: the object pointer array.
#include "core/lang/ObjectArray.h"

#include "core/lang/Synchronized.h"

#include <cstring>

namespace lang {

ObjectArray::ObjectArray() : m_pData(nullptr), m_nLength(0) {}

ObjectArray::~ObjectArray()
{
    delete[] m_pData;
}

void ObjectArray::setLength(int n)
{
    Synchronized guard(this, true);
    if (n < 0)
        n = 0;
    if (n == m_nLength)
        return;
    Object** table = n > 0 ? new Object*[size_t(n)]() : nullptr;
    int kept = n < m_nLength ? n : m_nLength;
    if (kept > 0)
        std::memcpy(table, m_pData, size_t(kept) * sizeof(Object*));
    delete[] m_pData;
    m_pData = table;
    m_nLength = n;
}

ObjectArray& ObjectArray::operator=(const ObjectArray& other)
{
    if (&other == this)
        return *this;
    Synchronized guard(this, true);
    setLength(other.m_nLength);
    if (m_nLength > 0)
        std::memcpy(m_pData, other.m_pData, size_t(m_nLength) * sizeof(Object*));
    return *this;
}

} // namespace lang
