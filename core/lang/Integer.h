// Integer.h: a boxed 32-bit integer, used as a hash-table value.
#pragma once

#include "core/lang/Object.h"

namespace lang {

class Integer : public Object {
public:
    explicit Integer(int value) : m_nValue(value) {}

    int intValue() const { return m_nValue; }
    int hashCode() override { return m_nValue; }
    bool equals(Object* other) override;
    HV_CLASS_NAME("Integer", Object)

    // Leading white space, an optional sign, then decimal digits up to the
    // first other character; 0 when there are none.
    static int parseInt(const char* text);

private:
    int m_nValue;
};

} // namespace lang
