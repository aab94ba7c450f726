// GdiHandleTable.h: the process-wide table that turns GDI handles into objects.
#pragma once

#include "platform/gdi/GdiObject.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform {

// Handles are opaque numbers, never addresses, so a stale or foreign handle is
// refused instead of dereferenced. Objects are shared: a device context keeps
// what is selected into it alive even after its handle was deleted.
class GdiHandleTable {
public:
    static GdiHandleTable& instance();

    // Enters the object and returns its new handle.
    HGDIOBJ add(std::shared_ptr<GdiObject> object, bool stock = false);
    // The object of a handle, or null for an unknown handle.
    std::shared_ptr<GdiObject> find(HGDIOBJ handle) const;
    // The object when it exists and is of class T.
    template <class T>
    std::shared_ptr<T> get(HGDIOBJ handle) const
    {
        return std::dynamic_pointer_cast<T>(find(handle));
    }
    // Removes a handle; false when it is unknown.
    bool remove(HGDIOBJ handle);
    // Number of live handles, stock objects included (tests look for leaks).
    size_t size() const;

private:
    GdiHandleTable() = default;

    mutable std::mutex m_mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> m_objects;
    uintptr_t m_next = 0x10000;
};

} // namespace platform
