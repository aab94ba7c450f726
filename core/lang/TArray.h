// TArray.h: an object array whose elements are all of one class T (derived
// from lang::Object). It has no class name of its own: it answers as an
// ObjectArray.
#pragma once

#include "core/lang/ObjectArray.h"

namespace lang {

template <class T>
class TArray : public ObjectArray {
public:
    // Element i as a T (no bounds check; null for an empty slot).
    T* get(int i) { return static_cast<T*>(*at(i)); }
};

} // namespace lang
