// Runnable.cpp: the Runnable interface's own class name.
#include "core/lang/Runnable.h"

#include <cstring>

namespace lang {

bool Runnable::isInstanceOf(const char* name)
{
    return name != nullptr && std::strcmp(name, "Runnable") == 0;
}

const char* Runnable::getClassName()
{
    return "Runnable";
}

} // namespace lang
