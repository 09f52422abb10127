#include "MappingInfoHolder.h"

#include "../dispatch/InvokeException.h"

namespace {

// The host's option notifications take the user-default locale.
constexpr LCID kLocale = LOCALE_USER_DEFAULT;

bool SameKey(const GUID& a, const GUID& b) noexcept {
    const auto* x = reinterpret_cast<const ULONGLONG*>(&a);
    const auto* y = reinterpret_cast<const ULONGLONG*>(&b);
    return x[0] == y[0] && x[1] == y[1];
}

ov::Bstr KeyText(const GUID& key) {
    wchar_t text[40] = {};
    if (!StringFromGUID2(key, text, 40)) throw ov::ComError(E_OUTOFMEMORY);
    return ov::Bstr(text);
}

} // namespace

CovCtrlMappingInfoHolder::CovCtrlMappingInfoHolder() {
    ov::ThrowIfFailed(CoCreateGuid(&key_));
}

CovWPFControlInfo* CovCtrlMappingInfoHolder::FindInfo(const GUID& key) const noexcept {
    for (const auto& info : infos_)
        if (SameKey(info->Key(), key)) return info.Get();
    return nullptr;
}

HRESULT CovCtrlMappingInfoHolder::GetKey(GUID* key) {
    if (key) *key = key_;
    return S_OK;
}

HRESULT CovCtrlMappingInfoHolder::GetInfoCount(LONG* count) {
    if (!count) return E_POINTER;
    *count = static_cast<LONG>(infos_.size());
    return S_OK;
}

HRESULT CovCtrlMappingInfoHolder::GetInfo(LONG index, IovWindowMappingInfo** info) {
    if (index < 0 || static_cast<size_t>(index) >= infos_.size()) {
        if (info) *info = nullptr;
        return E_INVALIDARG;
    }
    if (info) {
        *info = infos_[static_cast<size_t>(index)].Get();
        (*info)->AddRef();
    }
    return S_OK;
}

HRESULT CovCtrlMappingInfoHolder::SetClassNamesByKey(const GUID* key, VARIANT* classNames,
                                                     VARIANT_BOOL* done) {
    if (!key || !done) return E_POINTER;
    *done = VARIANT_FALSE;
    CovWPFControlInfo* info = FindInfo(*key);
    return info ? info->SetClassNames(classNames, done) : S_OK;
}

HRESULT CovCtrlMappingInfoHolder::GetInfoByKey(const GUID* key, IovWindowMappingInfo** info,
                                               VARIANT_BOOL* found) {
    if (info) *info = nullptr;
    if (!key || !found) return E_POINTER;
    CovWPFControlInfo* match = FindInfo(*key);
    *found = match ? VARIANT_TRUE : VARIANT_FALSE;
    if (match && info) {
        *info = match;
        match->AddRef();
    }
    return S_OK;
}

HRESULT CovCtrlMappingInfoHolder::GetClassNamesByKey(const GUID* key, VARIANT* classNames,
                                                     VARIANT_BOOL* found) {
    if (!key || !found) return E_POINTER;
    *found = VARIANT_FALSE;
    CovWPFControlInfo* info = FindInfo(*key);
    return info ? info->GetClassNames(classNames, found) : S_OK;
}

HRESULT CovCtrlMappingInfoHolder::PublishClassNames(IUnknown* hostObject, VARIANT_BOOL* done) {
    return ov::Guard([&] {
        ov::RequireOut(done);
        *done = VARIANT_FALSE;
        auto host = ov::QueryAs<IovHostObject>(hostObject);
        if (!host) return;
        ov::ComPtr<IovOptionStore> store;
        VARIANT_BOOL found = VARIANT_FALSE;
        if (FAILED(host->GetOptionStore(store.Put(), &found)) || !found || !store) return;
        ov::ComPtr<IUnknown> extension;
        found = VARIANT_FALSE;
        if (FAILED(store->GetExtension(&IID_IovOptionNotification, extension.Put(), &found)) || !found)
            return;
        auto notification = extension.As<IDispatch>();
        if (!notification) return;
        DISPID notify = DISPID_UNKNOWN;
        LPOLESTR name[] = {const_cast<LPOLESTR>(L"NotifyOptionUpdated")};
        if (FAILED(notification->GetIDsOfNames(IID_NULL, name, 1, kLocale, &notify))) return;

        for (const auto& info : infos_) {
            // Positional arguments go last first: the list, then the key text.
            ov::Variant args[2];
            args[1] = ov::Variant::String(KeyText(info->Key()).View());
            VARIANT_BOOL listed = VARIANT_FALSE;
            ov::ThrowIfFailed(info->GetClassNames(&args[0], &listed));
            if (listed) {
                DISPPARAMS params{args, nullptr, 2, 0};
                notification->Invoke(notify, IID_NULL, kLocale, DISPATCH_METHOD, &params, nullptr, nullptr,
                                     nullptr);
            }
            *done = listed;
        }
    });
}

HRESULT CovCtrlMappingInfoHolder::FindKeyByClassName(BSTR className, VARIANT* element, GUID* key) {
    if (!key) return E_POINTER;
    *key = GUID{};
    for (const auto& info : infos_) {
        VARIANT_BOOL match = VARIANT_FALSE;
        if (SUCCEEDED(info->IsMatch(className, element, &match)) && match) {
            *key = info->Key();
            break;
        }
    }
    return S_OK;
}
