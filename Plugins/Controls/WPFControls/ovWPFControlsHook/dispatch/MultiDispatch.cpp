#include "MultiDispatch.h"

#include "MemberInvoke.h"
#include "TypeLibCache.h"

namespace ovOpenAppHook {

void CMultiDispatchRoot::RegisterEntry(Entry& entry, const IID& iid) noexcept {
    entry.iid = &iid;
    if (FAILED(ov::TypeLibCache::GetTypeInfoOfGuid(iid, &entry.typeInfo))) return;
    entry.next = head_;
    head_ = &entry;
}

void CMultiDispatchRoot::UnregisterEntry(Entry& entry) noexcept {
    if (entry.typeInfo) entry.typeInfo->Release();
    entry.typeInfo = nullptr;
}

HRESULT CMultiDispatchRoot::MultiGetTypeInfoCount(UINT* count) noexcept {
    if (!count) return E_INVALIDARG;
    UINT n = 0;
    for (Entry* e = head_; e; e = e->next)
        ++n;
    *count = n;
    return S_OK;
}

HRESULT CMultiDispatchRoot::MultiGetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept {
    if (!info) return E_INVALIDARG;
    *info = nullptr;
    Entry* e = head_;
    for (UINT i = 0; e && i < index; ++i)
        e = e->next;
    if (!e) return DISP_E_BADINDEX;
    e->typeInfo->AddRef();
    *info = e->typeInfo;
    return S_OK;
}

HRESULT CMultiDispatchRoot::MultiGetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                               DISPID* ids) noexcept {
    for (Entry* e = head_; e; e = e->next) {
        HRESULT hr = DispGetIDsOfNames(e->typeInfo, names, count, ids);
        if (hr != DISP_E_UNKNOWNNAME) return hr;
    }
    return head_ ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT CMultiDispatchRoot::MultiInvoke(IUnknown* self, DISPID id, REFIID, LCID, WORD flags,
                                        DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                        UINT* argErr) noexcept {
    for (Entry* e = head_; e; e = e->next) {
        void* itf = nullptr;
        HRESULT hr = self->QueryInterface(*e->iid, &itf);
        if (FAILED(hr)) return hr;
        // DispInvoke's answer for an interface without the member, known without its search of the type.
        hr = ov::LacksMember(e->typeInfo, id, flags)
                 ? DISP_E_MEMBERNOTFOUND
                 : ov::InvokeMember(itf, e->typeInfo, id, flags, params, result, excep, argErr);
        static_cast<IUnknown*>(itf)->Release();
        if (hr != DISP_E_MEMBERNOTFOUND) return hr;
    }
    return head_ ? DISP_E_MEMBERNOTFOUND : S_OK;
}

} // namespace ovOpenAppHook
