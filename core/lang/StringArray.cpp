// StringArray.cpp: the string array's sort.
#include "core/lang/StringArray.h"


namespace lang {

void StringArray::sort(StringArray& a)
{
    quicksort(a, 0, a.length() - 1);
}

void StringArray::quicksort(StringArray& a, int lo, int hi)
{
    if (hi <= lo)
        return;
    // The pivot is the String itself, kept while the elements around it move.
    String* pivot = a.get((lo + hi) / 2);
    int i = lo;
    int j = hi;
    while (i <= j) {
        while (i < hi && a.get(i)->compareToIgnoreCase(*pivot) < 0)
            ++i;
        while (j > lo && a.get(j)->compareToIgnoreCase(*pivot) > 0)
            --j;
        if (i <= j) {
            Object* t = *a.at(i);
            *a.at(i) = *a.at(j);
            *a.at(j) = t;
            ++i;
            --j;
        }
    }
    if (lo < j)
        quicksort(a, lo, j);
    if (i < hi)
        quicksort(a, i, hi);
}

} // namespace lang
