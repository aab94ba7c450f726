// Hold.h: a scope guard that holds one reference on an object, so that it
// outlives a call that may drop the last other reference to it.
#pragma once

#include "core/lang/Object.h"

namespace lang {

class Hold {
public:
    explicit Hold(Object* o) : m_pObject(o) { m_pObject->addRef(); }
    ~Hold() { m_pObject->release(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    Object* m_pObject;
};

} // namespace lang
