// IntArray.h: a fixed-length array of 32-bit signed integers that is itself a
// framework object.
#pragma once

#include "core/lang/Object.h"

namespace lang {

class IntArray : public Object {
public:
    IntArray();
    ~IntArray() override;

    // Reallocates to n elements: the first min(old length, n) are kept, the
    // rest are 0. Always makes a new block, also when n is the current length.
    void setLength(int n);
    // Copies the other array's length and values, under this array's monitor.
    IntArray& operator=(const IntArray& other);

    int* data() { return m_pData; }
    const int* data() const { return m_pData; }
    int length() const { return m_nLength; }
    int& operator[](int i) { return m_pData[i]; }
    int operator[](int i) const { return m_pData[i]; }

    HV_CLASS_NAME("IntArray", Object)

private:
    int* m_pData;
    int m_nLength;
};

} // namespace lang
