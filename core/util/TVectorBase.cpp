// TVectorBase.cpp: the one implementation shared by every TVector<T>.
#include "core/util/TVectorBase.h"

#include "core/lang/Synchronized.h"

#include <cassert>
#include <cstring>

namespace util {

using lang::Synchronized;

TVectorBase::TVectorBase(int capacity)
    : m_nCount(0), m_nCapacity(capacity > 0 ? capacity : 0), m_nStart(0), m_pData(nullptr)
{
    if (m_nCapacity > 0)
        m_pData = new Word[size_t(m_nCapacity)];
}

TVectorBase::~TVectorBase()
{
    delete[] m_pData;
}

// Grows by half the capacity, at least by one slot; the live elements move to
// the front of the new block.
void TVectorBase::grow()
{
    int newCapacity = m_nCapacity * 3 / 2;
    if (newCapacity - m_nCapacity < 1)
        newCapacity = m_nCapacity + 1;
    Word* block = new Word[size_t(newCapacity)];
    if (m_nCount > 0)
        std::memcpy(block, m_pData + m_nStart, size_t(m_nCount) * sizeof(Word));
    delete[] m_pData;
    m_pData = block;
    m_nCapacity = newCapacity;
    m_nStart = 0;
}

int TVectorBase::size()
{
    Synchronized guard(this, true);
    return m_nCount;
}

int TVectorBase::capacity()
{
    Synchronized guard(this, true);
    return m_nCapacity;
}

void TVectorBase::removeAllElements()
{
    Synchronized guard(this, true);
    m_nCount = 0;
    m_nStart = 0;
}

TVectorBase::Word TVectorBase::wordAt(int i)
{
    Synchronized guard(this, true);
    assert(i >= 0 && i < m_nCount);
    return m_pData[m_nStart + i];
}

void TVectorBase::addWord(Word v)
{
    Synchronized guard(this, true);
    if (m_nCount + 1 > m_nCapacity)
        grow();
    if (m_nStart + m_nCount + 1 > m_nCapacity) {
        // The free room is all before the start: move the elements down to it.
        std::memmove(m_pData, m_pData + m_nStart, size_t(m_nCount) * sizeof(Word));
        m_nStart = 0;
    }
    m_pData[m_nStart + m_nCount] = v;
    ++m_nCount;
}

void TVectorBase::insertWordAtFront(Word v)
{
    Synchronized guard(this, true);
    if (m_nStart > 0) {
        --m_nStart;
    } else {
        if (m_nCount == m_nCapacity)
            grow();
        std::memmove(m_pData + 1, m_pData, size_t(m_nCount) * sizeof(Word));
    }
    m_pData[m_nStart] = v;
    ++m_nCount;
}

int TVectorBase::indexOfWord(Word v)
{
    Synchronized guard(this, true);
    for (int i = 0; i < m_nCount; ++i) {
        if (m_pData[m_nStart + i] == v)
            return i;
    }
    return -1;
}

void TVectorBase::removeWordAt(int i)
{
    Synchronized guard(this, true);
    assert(i >= 0 && i < m_nCount);
    int c = --m_nCount;
    if (i == 0) {
        ++m_nStart;
    } else if (c - i > i) {
        // Fewer elements before it: they move one slot towards the end.
        std::memmove(m_pData + m_nStart + 1, m_pData + m_nStart, size_t(i) * sizeof(Word));
        ++m_nStart;
    } else {
        Word* at = m_pData + m_nStart + i;
        std::memmove(at, at + 1, size_t(c - i) * sizeof(Word));
    }
}

bool TVectorBase::removeWord(Word v)
{
    Synchronized guard(this, true);
    int i = indexOfWord(v);
    if (i < 0)
        return false;
    removeWordAt(i);
    return true;
}

} // namespace util
