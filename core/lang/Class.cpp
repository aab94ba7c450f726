// Class.cpp: metaclass registration and lookup by name.
#include "core/lang/Class.h"

#include "core/util/Hashtable.h"


namespace lang {

// Zero before any dynamic initialisation, so the first metaclass constructed,
// whichever file it lives in, finds it null and creates the registry.
util::Hashtable* Class::classRegistry = nullptr;

Class::Class(const String& name) : m_name(name)
{
    if (!classRegistry) {
        classRegistry = new util::Hashtable();
        classRegistry->setStringKeys(true);
    }
    classRegistry->put(m_name, this);
}

Class::~Class()
{
    if (classRegistry) {
        classRegistry->removeKey(&m_name);
        if (classRegistry->size() == 0) {
            classRegistry->release();
            classRegistry = nullptr;
        }
    }
}

Class* Class::forName(const String& name)
{
    if (!classRegistry)
        return nullptr;
    Object* key = const_cast<String*>(&name);
    if (!classRegistry->containsKey(key))
        return nullptr;
    return static_cast<Class*>(classRegistry->get(key));
}

} // namespace lang
