// ObjectArray.h: a fixed-length array of object pointers. The array holds
// plain pointers: storing, overwriting, shrinking and destroying never take or
// drop references; whoever fills it manages its elements' references.
#pragma once

#include "core/lang/Object.h"

namespace lang {

class ObjectArray : public Object {
public:
    ObjectArray();
    ~ObjectArray() override;

    // Under the array's monitor: nothing when n is the length; otherwise a new
    // table whose first min(old length, n) entries are kept and the rest null.
    // Entries cut off are dropped without a release.
    void setLength(int n);
    // Copies the other array's length and pointers, under this array's monitor.
    ObjectArray& operator=(const ObjectArray& other);

    // The address of element i, for reading and writing it (no bounds check).
    Object** at(int i) { return &m_pData[i]; }
    Object** data() { return m_pData; }
    int length() const { return m_nLength; }

    HV_CLASS_NAME("ObjectArray", Object)

private:
    Object** m_pData;
    int m_nLength;
};

} // namespace lang
