// Owned.h: a scope guard that gives back, at the end of the scope, one
// reference taken earlier (by a getter that adds one, such as childAt).
#pragma once

#include "core/lang/Object.h"

namespace lang {

class Owned {
public:
    explicit Owned(Object* o) : m_pObject(o) {}
    ~Owned() { m_pObject->release(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

private:
    Object* m_pObject;
};

} // namespace lang
