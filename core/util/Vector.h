// Vector.h: a growable list of framework objects with a start offset, so that
// removing the first element is cheap. The vector holds a reference on every
// non-null element and checks its indices; every operation except get runs
// under the vector's own monitor.
#pragma once

#include "core/lang/Object.h"

namespace lang {
class ObjectArray;
}

namespace util {

class Vector : public lang::Object {
public:
    explicit Vector(int capacity);
    // Releases every element.
    ~Vector() override;

    // Appends o, taking a reference on it when it is not null.
    void addElement(lang::Object* o);
    // Element i, borrowed; throws "Index out of range" outside 0..size()-1.
    lang::Object* elementAt(int i);
    // Element i without a check and without the monitor.
    lang::Object* get(int i) { return m_pData[m_nStart + i]; }
    // Inserts o before index i (i = size() appends), taking a reference;
    // throws "Index out of bounds" outside 0..size().
    void insertElementAt(lang::Object* o, int i);
    // Removes and releases element i; throws "Index out of range" outside 0..size()-1.
    void removeElementAt(int i);
    // Removes the first element that equals o; whether there was one.
    bool removeElement(lang::Object* o);
    // Releases every element; the capacity stays.
    void removeAllElements();
    // The first index whose element is not null and equals o (the element's
    // own equals: identity for plain objects, the text for Strings); -1 if none.
    int indexOf(lang::Object* o);
    // Sizes the array to the count and stores every element into it with a
    // reference taken on each non-null one; the caller releases them.
    void copyInto(lang::ObjectArray& a);
    int size();

    HV_CLASS_NAME("Vector", lang::Object)

    // The number of slots (for tests and diagnostics).
    int capacity();

private:
    void grow(int needed);

    int m_nCount;
    int m_nCapacity;
    int m_nStart;
    lang::Object** m_pData;
};

} // namespace util
