// The standard IDispatch of one dual interface of the host's registered type library (Orvane 6.0), for the
// objects that the host drives through its own interfaces (the menus). The library is found through the
// registry (LoadRegTypeLib), not through the module's cache: it is loaded on first use, under a
// process-wide lock, once for all interfaces and objects, and kept until the module unloads. A load that
// fails is not remembered: the member call fails with the load's error, and the next call tries again.
#pragma once

#include "MemberInvoke.h"
#include "com/ComPtr.h"

#include <oleauto.h>

namespace ov::HostTypeLib {

// The type information of an interface of the host's library (with a reference); the library is loaded
// with the caller's locale when it is not loaded yet.
HRESULT GetTypeInfo(REFIID iid, LCID lcid, ITypeInfo** info);
// Releases the library and the type informations (at unload; tests).
void Clear();
// How many times the library was loaded (LoadRegTypeLib calls, failed ones included).
long LoadCount();

} // namespace ov::HostTypeLib

namespace ov {

template <class I> class IDispatchImpl : public I {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return HostTypeLib::GetTypeInfo(__uuidof(I), lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        ComPtr<ITypeInfo> info;
        HRESULT hr = HostTypeLib::GetTypeInfo(__uuidof(I), lcid, info.Put());
        return FAILED(hr) ? hr : DispGetIDsOfNames(info.Get(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        HRESULT hr = HostTypeLib::GetTypeInfo(__uuidof(I), lcid, info.Put());
        if (FAILED(hr)) return hr;
        return InvokeMember(static_cast<I*>(this), info.Get(), id, flags, params, result, excep, argErr);
    }

protected:
    IDispatchImpl() = default;
    ~IDispatchImpl() = default;
};

} // namespace ov
