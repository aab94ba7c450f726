// ResourceItem.h: an item of a resource archive: its bytes and their number.
#pragma once

#include "core/lang/Object.h"

namespace lang {

class ResourceItem : public Object {
public:
    virtual unsigned char* getData() = 0;
    virtual int getSize() = 0;

    HV_CLASS_NAME("ResourceItem", Object)
};

} // namespace lang
