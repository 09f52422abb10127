#include "HookExtender.h"

#include "../dispatch/InvokeException.h"

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
    decltype(stubManagers_) managers(8);
    managers.swap(stubManagers_);
    for (auto& [key, manager] : managers) manager->DisconnectAll();
    return S_OK;
}

HRESULT CThirdPartyControlsHookExtender::OnModuleAdded(IUnknown*) { return S_OK; }

HRESULT CThirdPartyControlsHookExtender::OnModuleRemoved(IUnknown* moduleObject) {
    ov::ComPtr<IovModule> removed = ov::QueryAs<IovModule>(moduleObject);
    if (!removed) return S_OK;
    GUID key{};
    removed->GetModuleKey(&key);
    auto it = stubManagers_.find(key);
    if (it == stubManagers_.end()) return S_OK;
    ov::ComPtr<ov::CStubManager> manager = std::move(it->second);
    stubManagers_.erase(it);
    manager->DisconnectAll();
    return S_OK;
}

HRESULT CThirdPartyControlsHookExtender::GetGeneration(LONG* generation) {
    if (!generation) return E_POINTER;
    *generation = generation_;
    return S_OK;
}

ov::ComPtr<ov::CStubManager> CThirdPartyControlsHookExtender::StubManagerOf(const GUID& ownerKey) {
    auto& slot = stubManagers_[ownerKey];
    if (!slot) slot = ov::Create<ov::CStubManager>();
    return slot;
}

CWPFControlRecognizerHookExtender::CWPFControlRecognizerHookExtender()
    : CThirdPartyControlsHookExtender(L"WPFObjectRecognizer") {
    CoCreateGuid(&moduleKey_);
}

// Recognition of WPF elements arrives with the recognizer; until then no object is extended.
HRESULT CWPFControlRecognizerHookExtender::GetExtendedObject(IUnknown*, IDispatch** extension,
                                                             VARIANT_BOOL* handled) {
    if (extension) *extension = nullptr;
    if (handled) *handled = VARIANT_FALSE;
    return S_OK;
}

HRESULT CWPFControlRecognizerHookExtender::OnOptionChanged(const GUID*, VARIANT*, VARIANT_BOOL* changed) {
    if (changed) *changed = VARIANT_FALSE;
    return S_OK;
}
