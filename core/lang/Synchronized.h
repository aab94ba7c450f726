// Synchronized.h: a scope guard that holds an object's monitor.
#pragma once

namespace lang {

class Object;

class Synchronized {
public:
    // Takes a reference on the object, then locks it.
    explicit Synchronized(Object* o);
    // As above, but takes no reference when noRef is set (for objects that
    // guard themselves and so outlive the guard).
    Synchronized(Object* o, bool noRef);
    ~Synchronized();
    Synchronized(const Synchronized&) = delete;
    Synchronized& operator=(const Synchronized&) = delete;

private:
    Object* m_pObject;
    bool m_bNoRef;
};

} // namespace lang
