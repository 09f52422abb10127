#include "HookExtender.h"

#include "../dispatch/InvokeException.h"
#include "HookObject.h"

#include <optional>

CThirdPartyControlsHookExtender::CThirdPartyControlsHookExtender(const wchar_t* name)
    : name_(name), stubManagers_(8) {}

HRESULT CThirdPartyControlsHookExtender::GetModuleKey(GUID* key) {
    if (!key) return E_POINTER;
    *key = moduleKey_;
    return S_OK;
}

HRESULT CThirdPartyControlsHookExtender::GetName(BSTR* name) {
    if (!name) return E_POINTER;
    *name = SysAllocString(L"ThirdPartyControlsHookExtender");
    return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT CThirdPartyControlsHookExtender::Dispose() {
    return ov::Guard([&] {
        // Every manager is disconnected before any leaves the table: a failure (out of memory) leaves all
        // of them for a later call.
        std::vector<std::pair<GUID, ov::ComPtr<ov::CStubManager>>> managers;
        {
            ov::Lock hold(lock_);
            managers.reserve(stubManagers_.size());
            for (auto& [key, manager] : stubManagers_)
                managers.push_back({key, manager});
        }
        for (auto& [key, manager] : managers)
            manager->DisconnectAll();
        for (auto& [key, manager] : managers)
            Forget(key, manager.Get());
    });
}

HRESULT CThirdPartyControlsHookExtender::OnModuleAdded(IUnknown*) {
    return S_OK;
}

HRESULT CThirdPartyControlsHookExtender::OnModuleRemoved(IUnknown* moduleObject) {
    return ov::Guard([&] {
        ov::ComPtr<IovModule> removed = ov::QueryAs<IovModule>(moduleObject);
        if (!removed) return;
        GUID key{};
        removed->GetModuleKey(&key);
        ov::ComPtr<ov::CStubManager> manager;
        {
            ov::Lock hold(lock_);
            auto it = stubManagers_.find(key);
            if (it == stubManagers_.end()) return;
            manager = it->second;
        }
        manager->DisconnectAll();
        Forget(key, manager.Get());
    });
}

HRESULT CThirdPartyControlsHookExtender::GetGeneration(LONG* generation) {
    if (!generation) return E_POINTER;
    *generation = generation_;
    return S_OK;
}

ov::ComPtr<ov::CStubManager> CThirdPartyControlsHookExtender::StubManagerOf(const GUID& ownerKey) {
    ov::Lock hold(lock_);
    auto& slot = stubManagers_[ownerKey];
    if (!slot) slot = ov::Create<ov::CStubManager>();
    return slot;
}

size_t CThirdPartyControlsHookExtender::StubManagerCount() const noexcept {
    ov::Lock hold(lock_);
    return stubManagers_.size();
}

void CThirdPartyControlsHookExtender::Forget(const GUID& key, const ov::CStubManager* manager) noexcept {
    ov::ComPtr<ov::CStubManager> released; // the last release happens outside the lock
    ov::Lock hold(lock_);
    auto it = stubManagers_.find(key);
    if (it == stubManagers_.end() || it->second.Get() != manager) return;
    released = std::move(it->second);
    stubManagers_.erase(it);
}

CWPFControlRecognizerHookExtender::CWPFControlRecognizerHookExtender()
    : CThirdPartyControlsHookExtender(L"WPFObjectRecognizer"),
      recognizer_(ov::Create<CovWPFControlsRecognizer>()) {
    CoCreateGuid(&moduleKey_);
}

namespace {

bool SameText(const ov::Bstr& text, const wchar_t* expected) {
    ov::Bstr other(expected);
    return VarBstrCmp(text.Get(), other.Get(), LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ);
}

// The module key of the owner of a host object; nothing when the object has no owner that answers IovModule.
std::optional<GUID> OwnerKey(IUnknown* hostObject) {
    auto internal = ov::QueryAs<IovObjectInternal>(hostObject);
    ov::ComPtr<IUnknown> owner;
    if (!internal || FAILED(internal->GetOwner(owner.Put())) || !owner) return std::nullopt;
    auto module = owner.As<IovModule>();
    GUID key{};
    if (!module || FAILED(module->GetModuleKey(&key))) return std::nullopt;
    return key;
}

// The barrier of GetExtendedObject: an invocation error of a .NET call is absorbed into E_FAIL.
template <class Body> HRESULT AbsorbInvocationErrors(Body&& body) {
    return ov::Guard([&] {
        try {
            body();
        } catch (const CovInvokeException&) {
            throw ov::ComError(E_FAIL);
        }
    });
}

} // namespace

HRESULT CWPFControlRecognizerHookExtender::GetExtendedObject(IUnknown* hostObject, IDispatch** extension,
                                                             VARIANT_BOOL* handled) {
    if (extension) *extension = nullptr;
    if (handled) *handled = VARIANT_FALSE;
    if (!extension || !handled) return E_POINTER;
    return AbsorbInvocationErrors([&] {
        auto object = ov::QueryAs<IovObject>(hostObject);
        ov::Bstr kind;
        if (!object || FAILED(object->GetNativeKind(kind.Put())) || !SameText(kind, L"NativeClrObject"))
            return;
        auto native = ov::QueryAs<IovNativeObjectInfo>(hostObject);
        ov::Bstr technology;
        if (!native || FAILED(native->GetTechnology(technology.Put())) || !SameText(technology, L"WPFObject"))
            return;

        ov::ComPtr<IDispatch> clrObject;
        ov::ThrowIfFailed(object->GetNativeObject(clrObject.Put()));
        ov::Bstr className;
        GUID kindKey{};
        const LONG kindValue =
            recognizer_->ClassifyElement(CovDispDriver(clrObject.Get()), className, kindKey);

        auto ownerKey = OwnerKey(hostObject);
        if (!ownerKey) return;
        auto hookObject = ov::Create<CWPFControlRecognizerHookObject>(
            StubManagerOf(*ownerKey), ov::ComPtr<CThirdPartyControlsHookExtender>(this), object, kindKey,
            kindValue, std::move(className));
        *extension = hookObject.As<IDispatch>().Detach();
        *handled = VARIANT_TRUE;
    });
}

HRESULT CWPFControlRecognizerHookExtender::OnOptionChanged(const GUID* key, VARIANT* value,
                                                           VARIANT_BOOL* changed) {
    HRESULT hr = recognizer_->SetClassNamesByKey(key, value, changed);
    if (SUCCEEDED(hr) && *changed) AdvanceGeneration();
    return hr;
}
