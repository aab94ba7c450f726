// GdiHandleTable.cpp: handle numbering and lookup under one lock.
#include "platform/gdi/GdiHandleTable.h"

namespace platform {

GdiHandleTable& GdiHandleTable::instance()
{
    // Never destroyed: objects may still be released by static destructors.
    static GdiHandleTable* table = new GdiHandleTable;
    return *table;
}

HGDIOBJ GdiHandleTable::add(std::shared_ptr<GdiObject> object, bool stock)
{
    if (!object)
        return nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    // Steps of 4 keep handle values looking like aligned addresses.
    uintptr_t value = m_next;
    m_next += 4;
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(value);
    object->m_handle = handle;
    object->m_stock = stock;
    m_objects.emplace(value, std::move(object));
    return handle;
}

std::shared_ptr<GdiObject> GdiHandleTable::find(HGDIOBJ handle) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == m_objects.end() ? nullptr : it->second;
}

bool GdiHandleTable::remove(HGDIOBJ handle)
{
    std::shared_ptr<GdiObject> doomed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_objects.find(reinterpret_cast<uintptr_t>(handle));
        if (it == m_objects.end())
            return false;
        doomed = std::move(it->second);
        m_objects.erase(it);
    }
    // The object is destroyed here, outside the lock, when nothing else holds it.
    return true;
}

size_t GdiHandleTable::size() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_objects.size();
}

} // namespace platform
