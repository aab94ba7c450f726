// Runnable.h: the interface of anything a thread runs. A class that is also a
// lang::Object forwards these object operations to its Object part, so both
// faces share one reference count and one monitor.
#pragma once

#include "core/lang/ObjectI.h"

namespace lang {

class Runnable : public ObjectI {
public:
    virtual bool isInstanceOf(const char* name);
    virtual const char* getClassName();
    virtual void run() = 0;
};

} // namespace lang
