// Synchronized.cpp: the monitor scope guard.
#include "core/lang/Synchronized.h"

#include "core/lang/Object.h"

namespace lang {

Synchronized::Synchronized(Object* o) : Synchronized(o, false) {}

Synchronized::Synchronized(Object* o, bool noRef) : m_pObject(o), m_bNoRef(noRef)
{
    if (!m_bNoRef)
        m_pObject->addRef();
    m_pObject->lock();
}

Synchronized::~Synchronized()
{
    m_pObject->unlock();
    if (!m_bNoRef)
        m_pObject->release();
}

} // namespace lang
