// Enumeration.cpp: the enumeration's class name.
#include "core/util/Enumeration.h"

#include <cstring>

namespace util {

bool Enumeration::isInstanceOf(const char* name)
{
    return (name != nullptr && std::strcmp(name, "Enumeration") == 0) || Object::isInstanceOf(name);
}

} // namespace util
