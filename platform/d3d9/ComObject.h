// ComObject.h: implements the base interface's methods of an interface over
// ComBase; the concrete class names the interfaces it answers.
#pragma once

#include "platform/d3d9/ComBase.h"
#include "platform/d3d9/Unknown.h"

namespace platform::d3d9 {

template <class Interface>
class ComObject : public Interface, public ComBase {
public:
    ULONG AddRef() override { return addReference(); }
    ULONG Release() override { return releaseReference(); }

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_INVALIDARG;
        if (riid == IID_IUnknown || implements(riid)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

protected:
    // Whether riid names Interface or one of its bases (besides the base interface).
    virtual bool implements(REFIID riid) const = 0;
};

} // namespace platform::d3d9
