// ComBase.h: the thread-safe reference count behind every object of the
// device layer; the object deletes itself when the count reaches zero.
#pragma once

#include "platform/Win32Types.h"

#include <atomic>

namespace platform::d3d9 {

class ComBase {
public:
    ComBase(const ComBase&) = delete;
    ComBase& operator=(const ComBase&) = delete;

    ULONG refCount() const { return m_refs.load(); }

protected:
    ComBase() = default;
    virtual ~ComBase() = default;

    ULONG addReference() { return ++m_refs; }

    // A release past zero is ignored rather than wrapping the count.
    ULONG releaseReference()
    {
        ULONG current = m_refs.load();
        do {
            if (current == 0)
                return 0;
        } while (!m_refs.compare_exchange_weak(current, current - 1));
        if (current == 1)
            finalRelease();
        return current - 1;
    }

    // Runs when the last reference goes; deletes the object unless overridden.
    virtual void finalRelease() { delete this; }

private:
    std::atomic<ULONG> m_refs{1};
};

} // namespace platform::d3d9
