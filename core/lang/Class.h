// Class.h: the metaclass of a creatable class and the process-wide class
// registry that finds metaclasses by short class name, with the two macros
// that give a class its one static metaclass.
#pragma once

#include "core/lang/String.h"

namespace util {
class Hashtable;
}

namespace lang {

class Class : public Object {
public:
    // Copies the name and registers this metaclass under it, creating the
    // registry when this is the first metaclass.
    explicit Class(const String& name);
    // Removes the name from the registry; the last metaclass deletes it.
    ~Class() override;

    // A new instance of the described class with one reference, owned by the caller.
    virtual Object* newInstance() = 0;

    // The metaclass registered under the name (case-sensitive), borrowed; null
    // when there is none. Never creates the registry.
    static Class* forName(const String& name);

    HV_CLASS_NAME("Class", Object)

protected:
    // Name to metaclass, String keys compared by text; null while no metaclass exists.
    static util::Hashtable* classRegistry;

private:
    String m_name;
};

} // namespace lang

// Declares, inside the body of class X, its nested metaclass X::XClass. The
// one instance that registers the class is made by the start-up of the
// class's subsystem, in that subsystem's order, and deleted at its teardown.
#define HV_DECLARE_METACLASS(X)                  \
    class X##Class : public ::lang::Class {      \
    public:                                      \
        X##Class();                              \
        ::lang::Object* newInstance() override;  \
    }

// Defines X's metaclass in X's source file, inside X's namespace, with X
// written unqualified: an instance registers under the name "X", and its
// newInstance returns new X().
#define HV_DEFINE_METACLASS(X) HV_DEFINE_METACLASS_WITH(X, )

// As HV_DEFINE_METACLASS, for a class whose metaclass builds it with the given
// constructor arguments: newInstance returns new X(arguments).
#define HV_DEFINE_METACLASS_WITH(X, ...)                                          \
    X::X##Class::X##Class() : ::lang::Class(::lang::String(#X, true)) {}           \
    ::lang::Object* X::X##Class::newInstance() { return new X(__VA_ARGS__); }
