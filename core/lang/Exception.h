// Exception.h: the one exception type. It is always thrown as a pointer to a
// newly allocated Exception; the catcher reads toString() and releases it.
#pragma once

#include "core/lang/String.h"

namespace lang {

class Exception : public Object {
public:
    explicit Exception(const String& message) : m_message(message) {}
    explicit Exception(const char* message) : m_message(message) {}
    // With what happened told for the person at the computer (the message
    // stays the engine's own).
    Exception(const String& message, const String& detail) : m_message(message), m_detail(detail) {}

    // The message.
    String toString() override { return String(m_message); }
    // What happened in the user's words; empty when the thrower told none.
    const String& getDetail() const { return m_detail; }
    HV_CLASS_NAME("Exception", Object)

private:
    String m_message;
    String m_detail;
};

} // namespace lang
