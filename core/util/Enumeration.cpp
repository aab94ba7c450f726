// Enumeration.cpp: the enumeration's class name.
#include "core/util/Enumeration.h"


namespace util {

} // namespace util
