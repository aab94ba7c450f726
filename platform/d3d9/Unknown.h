// Unknown.h: interface identifiers and the reference-counted base interface
// that every graphics-device object implements.
#pragma once

#include "platform/Win32Types.h"

#include <cstring>

#ifndef HV_COM_BASE_DEFINED
#define HV_COM_BASE_DEFINED

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID IID;
typedef const IID& REFIID;

inline bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }

// The identifier of the base interface, as published.
constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The base of every interface: a reference count that destroys the object
// when it reaches zero, and a query for the other interfaces it implements.
struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

#endif
