// ByteArray.h: a fixed-length array of unsigned bytes that is itself a
// framework object.
#pragma once

#include "core/lang/Object.h"

namespace lang {

class ByteArray : public Object {
public:
    ByteArray();
    ~ByteArray() override;

    // Reallocates to n elements: the first min(old length, n) are kept, the
    // rest are 0. Always makes a new block, also when n is the current length.
    void setLength(int n);
    // Copies the other array's length and values, under this array's monitor.
    ByteArray& operator=(const ByteArray& other);

    unsigned char* data() { return m_pData; }
    const unsigned char* data() const { return m_pData; }
    int length() const { return m_nLength; }
    unsigned char& operator[](int i) { return m_pData[i]; }
    unsigned char operator[](int i) const { return m_pData[i]; }

    HV_CLASS_NAME("ByteArray", Object)

private:
    unsigned char* m_pData;
    int m_nLength;
};

} // namespace lang
