// Hold.h: scope guards for reference counts: Hold takes a reference for the
// scope, Owned gives back one that was taken earlier (by childAt).
#pragma once

#include "core/lang/Object.h"

namespace sprite {

class Hold {
public:
    explicit Hold(lang::Object* o) : m_pObject(o) { m_pObject->addRef(); }
    ~Hold() { m_pObject->release(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    lang::Object* m_pObject;
};

class Owned {
public:
    explicit Owned(lang::Object* o) : m_pObject(o) {}
    ~Owned() { m_pObject->release(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

private:
    lang::Object* m_pObject;
};

} // namespace sprite
