// One IDispatch over a simulated .NET object, as the host's bridge hands out. Several proxies may stand
// for one object; they differ in COM identity and agree in everything else. A proxy answers the host's
// member-lookup interface only when its object does.
#pragma once

#include "ClrObject.h"

#include "ovHostIntf.h"

namespace wpfsim {

class Proxy : public SimObject, public IDispatch, public IovMemberLookup {
public:
    using Interfaces = ov::Interfaces<IDispatch>;

    explicit Proxy(ov::ComPtr<ClrObject> target) noexcept : target_(std::move(target)) {}
    ClrObject& Target() const noexcept { return *target_; }

    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv);

    // One IUnknown for both bases (ov::ComObject implements it); keeps ComPtr<Proxy> unambiguous.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override = 0;
    ULONG STDMETHODCALLTYPE AddRef() override = 0;
    ULONG STDMETHODCALLTYPE Release() override = 0;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;

    HRESULT STDMETHODCALLTYPE LookupIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                               DISPID* ids) override;

private:
    ov::ComPtr<ClrObject> target_;
};

} // namespace wpfsim
