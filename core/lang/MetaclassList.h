// MetaclassList.h: metaclasses made in a fixed order and deleted in the
// reverse order, as a subsystem registers and unregisters its classes.
#pragma once

#include "core/lang/Class.h"

#include <cstddef>
#include <vector>

namespace lang {

class MetaclassList {
public:
    MetaclassList() = default;
    MetaclassList(const MetaclassList&) = delete;
    MetaclassList& operator=(const MetaclassList&) = delete;

    // Makes the metaclass (which enters the class registry as it is made).
    template <class Metaclass>
    void make()
    {
        m_made.push_back(new Metaclass());
    }
    bool empty() const { return m_made.empty(); }
    std::size_t size() const { return m_made.size(); }
    // Deletes the newest metaclass; it leaves the registry in its destructor.
    void deleteLast();
    // Deletes them all, newest first.
    void deleteAll();

private:
    std::vector<Class*> m_made;
};

} // namespace lang
