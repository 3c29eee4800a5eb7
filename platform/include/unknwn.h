// unknwn.h - IUnknown, the base of every COM-style interface: reference counting and asking an
// object for another of its interfaces.
#pragma once

#include <guiddef.h>
#include <winerror.h>

#ifndef E_NOINTERFACE
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#endif
#ifndef E_POINTER
#define E_POINTER ((HRESULT)0x80004003L)
#endif
#ifndef E_NOTIMPL
#define E_NOTIMPL ((HRESULT)0x80004001L)
#endif

// The interface identifier of IUnknown: 00000000-0000-0000-C000-000000000046.
inline constexpr GUID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown {
    // Sets *object to this object's interface `riid` (with a reference added) and returns S_OK, or
    // sets it to null and returns E_NOINTERFACE.
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

typedef IUnknown* LPUNKNOWN;
