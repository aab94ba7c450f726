// TVector.h: a typed face over TVectorBase for ints and pointers. Every
// instantiation shares TVectorBase's one implementation; this template only
// converts values to and from the stored word. Elements are plain values:
// nothing is referenced, released or freed, and indices are not checked.
#pragma once

#include "core/util/TVectorBase.h"

#include <type_traits>

namespace util {

template <class T>
class TVector : public TVectorBase {
    static_assert((std::is_integral<T>::value || std::is_enum<T>::value || std::is_pointer<T>::value) &&
                      sizeof(T) <= sizeof(TVectorBase::Word),
                  "TVector holds ints and pointers");

public:
    explicit TVector(int capacity) : TVectorBase(capacity) {}

    // Element i (the caller keeps i within 0..size()-1).
    T elementAt(int i) { return fromWord(wordAt(i)); }
    void addElement(const T& v) { addWord(toWord(v)); }
    // Inserts v before the first element.
    void insertElementAtFront(const T& v) { insertWordAtFront(toWord(v)); }
    // The first index holding v, or -1.
    int indexOf(const T& v) { return indexOfWord(toWord(v)); }
    // Removes element i, keeping the order of the rest (the caller keeps i valid).
    void removeElementAt(int i) { removeWordAt(i); }
    // Removes the first v; whether there was one.
    bool removeElement(const T& v) { return removeWord(toWord(v)); }

private:
    static Word toWord(T v)
    {
        if constexpr (std::is_pointer<T>::value)
            return reinterpret_cast<Word>(v);
        else
            return static_cast<Word>(v);
    }
    static T fromWord(Word w)
    {
        if constexpr (std::is_pointer<T>::value)
            return reinterpret_cast<T>(w);
        else
            return static_cast<T>(w);
    }
};

} // namespace util
