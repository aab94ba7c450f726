// Enumeration.h: the abstract enumeration of a sequence of objects.
#pragma once

#include "core/lang/Object.h"

namespace util {

class Enumeration : public lang::Object {
public:
    virtual bool hasMoreElements() = 0;
    // The next element (borrowed), or null when there is none left.
    virtual lang::Object* nextElement() = 0;

    HV_CLASS_NAME("Enumeration", lang::Object)
};

} // namespace util
