// DefinitionLists.h: the number and image lists a data definition hands a
// sprite's configure, made for tests (the caller releases them; image lists
// hold their pictures without references, as the loader's do).
#pragma once

#include "core/lang/IntArray.h"
#include "core/lang/ObjectArray.h"
#include "windowing/images/ImageBase.h"

#include <initializer_list>

namespace spritetest {

inline lang::IntArray* numberList(std::initializer_list<int> values)
{
    lang::IntArray* a = new lang::IntArray;
    a->setLength(int(values.size()));
    int i = 0;
    for (int v : values)
        (*a)[i++] = v;
    return a;
}

inline lang::ObjectArray* imageList(std::initializer_list<window::ImageBase*> values)
{
    lang::ObjectArray* a = new lang::ObjectArray;
    a->setLength(int(values.size()));
    int i = 0;
    for (window::ImageBase* v : values)
        *a->at(i++) = v;
    return a;
}

} // namespace spritetest
