// StringArray.h: an object array whose elements are Strings, with the
// case-insensitive sort.
#pragma once

#include "core/lang/ObjectArray.h"
#include "core/lang/String.h"

namespace lang {

class StringArray : public ObjectArray {
public:
    // Element i as a String (no bounds check; null for an empty slot).
    String* get(int i) { return static_cast<String*>(*at(i)); }

    // Sorts the whole array in place by compareToIgnoreCase; every element
    // must be a String. Not stable: texts equal but for case may change order.
    static void sort(StringArray& a);
    // Sorts the elements lo to hi (both included).
    static void quicksort(StringArray& a, int lo, int hi);

    HV_CLASS_NAME("StringArray", ObjectArray)
};

} // namespace lang
