// Exception.h: the one exception type. It is always thrown as a pointer to a
// newly allocated Exception; the catcher reads toString() and releases it.
#pragma once

#include "core/lang/String.h"

namespace lang {

class Exception : public Object {
public:
    explicit Exception(const String& message) : m_message(message) {}
    explicit Exception(const char* message) : m_message(message) {}

    // The message.
    String toString() override { return String(m_message); }
    HV_CLASS_NAME("Exception", Object)

private:
    String m_message;
};

} // namespace lang
