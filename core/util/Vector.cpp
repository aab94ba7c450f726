// Vector.cpp: the reference-counting object list.
#include "core/util/Vector.h"

#include "core/lang/Exception.h"
#include "core/lang/ObjectArray.h"
#include "core/lang/Synchronized.h"

#include <cstring>

namespace util {

using lang::Object;
using lang::Synchronized;

Vector::Vector(int capacity)
    : m_nCount(0), m_nCapacity(capacity > 0 ? capacity : 0), m_nStart(0), m_pData(nullptr)
{
    if (m_nCapacity > 0)
        m_pData = new Object*[size_t(m_nCapacity)]();
}

Vector::~Vector()
{
    for (int i = 0; i < m_nCount; ++i) {
        Object* o = m_pData[m_nStart + i];
        if (o)
            o->release();
    }
    delete[] m_pData;
}

// Grows by half the capacity, or by `needed` slots when that is more; the
// live elements move to the front of the new block and the rest is null.
void Vector::grow(int needed)
{
    int newCapacity = m_nCapacity * 3 / 2;
    if (newCapacity - m_nCapacity < needed)
        newCapacity = m_nCapacity + needed;
    Object** block = new Object*[size_t(newCapacity)]();
    if (m_nCount > 0)
        std::memcpy(block, m_pData + m_nStart, size_t(m_nCount) * sizeof(Object*));
    delete[] m_pData;
    m_pData = block;
    m_nCapacity = newCapacity;
    m_nStart = 0;
}

void Vector::addElement(Object* o)
{
    Synchronized guard(this, true);
    if (m_nCount + 1 > m_nCapacity)
        grow(1);
    if (m_nStart + m_nCount + 1 > m_nCapacity) {
        // The free room is all before the start: move the elements down to it.
        std::memmove(m_pData, m_pData + m_nStart, size_t(m_nCount) * sizeof(Object*));
        for (int i = m_nCount; i < m_nStart + m_nCount; ++i)
            m_pData[i] = nullptr;
        m_nStart = 0;
    }
    if (o)
        o->addRef();
    m_pData[m_nStart + m_nCount] = o;
    ++m_nCount;
}

Object* Vector::elementAt(int i)
{
    Synchronized guard(this, true);
    if (i < 0 || i >= m_nCount)
        throw new lang::Exception("Index out of range");
    return m_pData[m_nStart + i];
}

void Vector::insertElementAt(Object* o, int i)
{
    Synchronized guard(this, true);
    if (i < 0 || i > m_nCount)
        throw new lang::Exception("Index out of bounds");
    if (o)
        o->addRef();
    if (m_nCount == m_nCapacity)
        grow(1);
    if ((m_nCount - i <= i || m_nStart == 0) && m_nStart + m_nCount < m_nCapacity) {
        // Move the elements from i one slot towards the end.
        Object** at = m_pData + m_nStart + i;
        std::memmove(at + 1, at, size_t(m_nCount - i) * sizeof(Object*));
    } else {
        // Move the start back and the i elements before the point one slot
        // towards the front.
        --m_nStart;
        std::memmove(m_pData + m_nStart, m_pData + m_nStart + 1, size_t(i) * sizeof(Object*));
    }
    m_pData[m_nStart + i] = o;
    ++m_nCount;
}

void Vector::removeElementAt(int i)
{
    Synchronized guard(this, true);
    if (i < 0 || i >= m_nCount)
        throw new lang::Exception("Index out of range");
    Object* removed = m_pData[m_nStart + i];
    int c = --m_nCount;
    if (i == 0) {
        m_pData[m_nStart] = nullptr;
        ++m_nStart;
    } else if (c - i > i) {
        // Fewer elements before it: they move one slot towards the end.
        std::memmove(m_pData + m_nStart + 1, m_pData + m_nStart, size_t(i) * sizeof(Object*));
        m_pData[m_nStart] = nullptr;
        ++m_nStart;
    } else {
        Object** at = m_pData + m_nStart + i;
        std::memmove(at, at + 1, size_t(c - i) * sizeof(Object*));
        m_pData[m_nStart + c] = nullptr;
    }
    // Released once the list is consistent again, in case its destructor
    // looks at this vector.
    if (removed)
        removed->release();
}

bool Vector::removeElement(Object* o)
{
    Synchronized guard(this, true);
    int i = indexOf(o);
    if (i < 0)
        return false;
    removeElementAt(i);
    return true;
}

void Vector::removeAllElements()
{
    Synchronized guard(this, true);
    for (int i = 0; i < m_nCount; ++i) {
        Object*& slot = m_pData[m_nStart + i];
        if (slot)
            slot->release();
        slot = nullptr;
    }
    m_nCount = 0;
    m_nStart = 0;
}

int Vector::indexOf(Object* o)
{
    Synchronized guard(this, true);
    for (int i = 0; i < m_nCount; ++i) {
        Object* e = m_pData[m_nStart + i];
        if (e && e->equals(o))
            return i;
    }
    return -1;
}

void Vector::copyInto(lang::ObjectArray& a)
{
    Synchronized guard(this, true);
    a.setLength(m_nCount);
    for (int i = 0; i < m_nCount; ++i) {
        Object* e = m_pData[m_nStart + i];
        if (e)
            e->addRef();
        *a.at(i) = e;
    }
}

int Vector::size()
{
    Synchronized guard(this, true);
    return m_nCount;
}

int Vector::capacity()
{
    Synchronized guard(this, true);
    return m_nCapacity;
}

} // namespace util
