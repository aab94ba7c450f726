// Integer.cpp: the boxed integer and decimal parsing.
#include "core/lang/Integer.h"


namespace lang {

bool Integer::equals(Object* other)
{
    return other != nullptr && other->isInstanceOf("Integer") && static_cast<Integer*>(other)->m_nValue == m_nValue;
}

int Integer::parseInt(const char* text)
{
    if (!text)
        return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    // Accumulate in unsigned arithmetic: overflow wraps as a 32-bit int does.
    uint32_t value = 0;
    while (*p >= '0' && *p <= '9')
        value = value * 10u + uint32_t(*p++ - '0');
    return int(negative ? 0u - value : value);
}

} // namespace lang
