// One IDispatch over all of an object's dispinterfaces. Every IDispatchMultiImpl<I> base links its
// interface into the chain at construction (most derived first); names and DISPIDs resolve along the
// chain. ov::ComObject routes the IDispatch slots of every dispinterface here.
#pragma once

#include "com/ComPtr.h"

namespace ovOpenAppHook {

class CMultiDispatchRoot {
public:
    struct Entry {
        const IID* iid = nullptr;
        ITypeInfo* typeInfo = nullptr;
        Entry* next = nullptr;
    };

    CMultiDispatchRoot() noexcept = default;
    CMultiDispatchRoot(const CMultiDispatchRoot&) = delete;
    CMultiDispatchRoot& operator=(const CMultiDispatchRoot&) = delete;

    // Looks up the interface's type information in the type library cache and, when found, links the
    // entry at the front. An unknown interface stays out of the chain.
    void RegisterEntry(Entry& entry, const IID& iid) noexcept;
    static void UnregisterEntry(Entry& entry) noexcept;

    HRESULT MultiGetTypeInfoCount(UINT* count) noexcept;
    HRESULT MultiGetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept;
    HRESULT MultiGetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) noexcept;
    HRESULT MultiInvoke(IUnknown* self, DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excep, UINT* argErr) noexcept;

    const Entry* ChainHead() const noexcept { return head_; }

private:
    Entry* head_ = nullptr;
};

template <class I> class IDispatchMultiImpl : public I, public virtual CMultiDispatchRoot {
public:
    IDispatchMultiImpl() noexcept { RegisterEntry(entry_, __uuidof(I)); }
    ~IDispatchMultiImpl() { UnregisterEntry(entry_); }
    IDispatchMultiImpl(const IDispatchMultiImpl&) = delete;
    IDispatchMultiImpl& operator=(const IDispatchMultiImpl&) = delete;

private:
    Entry entry_;
};

} // namespace ovOpenAppHook

namespace ov {
using ovOpenAppHook::CMultiDispatchRoot;
using ovOpenAppHook::IDispatchMultiImpl;
} // namespace ov
