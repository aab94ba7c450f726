// Exception.cpp: the exception's class name.
#include "core/lang/Exception.h"

#include <cstring>

namespace lang {

bool Exception::isInstanceOf(const char* name)
{
    return (name != nullptr && std::strcmp(name, "Exception") == 0) || Object::isInstanceOf(name);
}

} // namespace lang
