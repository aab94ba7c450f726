// TVectorBase.h: the shared body of every TVector<T>: a growable list of
// one-word values (ints or pointers) with a start offset, without reference
// counting and without index checks. Every operation runs under the list's
// own monitor.
#pragma once

#include "core/lang/Object.h"

#include <cstdint>

namespace util {

class TVectorBase : public lang::Object {
public:
    // Each element is stored as one machine word.
    typedef intptr_t Word;

    explicit TVectorBase(int capacity);
    // Frees the block only; elements are never freed.
    ~TVectorBase() override;

    int size();
    // Empties the list (count and start 0); nothing is freed.
    void removeAllElements();

    HV_CLASS_NAME("TVectorBase", lang::Object)

    // The number of slots (for tests and diagnostics).
    int capacity();

protected:
    // Element i (the caller keeps i within 0..size()-1).
    Word wordAt(int i);
    void addWord(Word v);
    // Inserts before the first element: into the free slot before the start
    // when there is one, else the elements move up by one slot.
    void insertWordAtFront(Word v);
    int indexOfWord(Word v);
    // Removes element i, moving the shorter side (the caller keeps i valid).
    void removeWordAt(int i);
    bool removeWord(Word v);

private:
    void grow();

    int m_nCount;
    int m_nCapacity;
    int m_nStart;
    Word* m_pData;
};

} // namespace util
