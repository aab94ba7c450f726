// KernelObject.h: the base of every object a kernel HANDLE refers to (events,
// threads). Handles are plain pointers to these; CloseHandle drops a reference,
// so a thread that is still running keeps its own object alive.
#pragma once

#include "platform/Win32Types.h"

#include <atomic>

namespace platform {

class KernelObject {
public:
    KernelObject() = default;
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;
    virtual ~KernelObject() = default;

    void addRef() { m_refs.fetch_add(1, std::memory_order_relaxed); }
    void release()
    {
        if (m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }

    // Waits until the object is signalled or the time-out passes; returns
    // WAIT_OBJECT_0 or WAIT_TIMEOUT.
    virtual DWORD wait(DWORD milliseconds) = 0;

    HANDLE handle() { return static_cast<HANDLE>(this); }
    static KernelObject* fromHandle(HANDLE h)
    {
        if (h == nullptr || h == INVALID_HANDLE_VALUE)
            return nullptr;
        return static_cast<KernelObject*>(h);
    }

private:
    std::atomic<int> m_refs{1};
};

} // namespace platform
