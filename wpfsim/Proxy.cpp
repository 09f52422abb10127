#include "Proxy.h"

#include "com/StandInClock.h"

namespace wpfsim {
namespace {
// Private: asked only by ObjectOf, to tell our proxies from foreign objects. Answered with the proxy's
// IDispatch, which ObjectOf then knows to be a Proxy.
const IID kProxyIid = {0x07cdadaa, 0x0e9a, 0x4690, {0x8b, 0x88, 0xc8, 0xb8, 0xd0, 0x05, 0xb1, 0xbf}};
} // namespace

HRESULT Proxy::QueryInterfaceExtra(REFIID riid, void** ppv) {
    const ov::StandInScope timed(ov::StandIn::App);
    if (IsEqualIID(riid, kProxyIid)) {
        *ppv = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(riid, __uuidof(IovMemberLookup)) && target_->AnswersMemberLookup()) {
        *ppv = static_cast<IovMemberLookup*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT Proxy::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT Proxy::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT Proxy::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return target_->LookupMembers(riid, names, count, ids, false);
}

HRESULT Proxy::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT*) {
    return target_->InvokeMember(id, riid, flags, params, result, excep);
}

HRESULT Proxy::LookupIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return target_->LookupMembers(riid, names, count, ids, true);
}

ov::ComPtr<ClrObject> ObjectOf(IUnknown* p) noexcept {
    if (!p) return nullptr;
    ov::ComPtr<IDispatch> d;
    if (FAILED(p->QueryInterface(kProxyIid, d.PutVoid())) || !d) return nullptr;
    return ov::ComPtr<ClrObject>(&static_cast<Proxy*>(d.Get())->Target());
}

ov::ComPtr<IDispatch> ClrObject::NewDispatch() {
    return ov::Create<Proxy>(ov::ComPtr<ClrObject>(this));
}

} // namespace wpfsim
