#include "HookObject.h"

#include "HookExtender.h"

#include <atomic>

namespace {
// Serial numbers of hook objects, module-wide: the first object gets 1.
std::atomic<LONG> g_lastSerial{0};
} // namespace

CThirdPartyControlHookObject::CThirdPartyControlHookObject(
    ov::ComPtr<ov::CStubManager> stubManager, ov::ComPtr<CThirdPartyControlsHookExtender> extender,
    ov::ComPtr<IovObject> hostObject, const GUID& kindKey, ov::Bstr className)
    : stubManager_(std::move(stubManager)), extender_(std::move(extender)),
      hostObject_(std::move(hostObject)), serial_(++g_lastSerial), kindKey_(kindKey),
      className_(std::move(className)) {
    if (extender_) {
        generationSource_ =
            ov::QueryAs<IovCtrlsHookExtenderGeneration>(static_cast<IovModule*>(extender_.Get()));
        generation_ = extender_->Generation();
        namePart_ = extender_->Name();
    }
    ov::ThrowIfFailed(CoCreateGuid(&objectId_));
}

CThirdPartyControlHookObject::~CThirdPartyControlHookObject() {
    FinalRelease(); // the construction failed after FinalConstruct registered it
    SysFreeString(fullName_.load());
}

void CThirdPartyControlHookObject::FinalRelease() noexcept {
    if (registered_) stubManager_->Remove(registered_);
    registered_ = nullptr;
}

HRESULT CThirdPartyControlHookObject::FinalConstruct() {
    // The marshaler's outer unknown is this object's identity; its inner unknown stays ours alone.
    HRESULT hr = CoCreateFreeThreadedMarshaler(Self(), marshaler_.Put());
    if (FAILED(hr)) return hr;
    if (stubManager_) {
        stubManager_->Add(Self(), *this);
        registered_ = Self();
    }
    return S_OK;
}

HRESULT CThirdPartyControlHookObject::QueryInterfaceExtra(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IMarshal) && marshaler_) return marshaler_->QueryInterface(riid, ppv);
    return E_NOINTERFACE;
}

HRESULT CThirdPartyControlHookObject::get_ControlType(GUID* value) {
    if (!value) return E_POINTER;
    *value = kindKey_;
    return S_OK;
}

HRESULT CThirdPartyControlHookObject::get_NativeClassName(BSTR* value) {
    return className_.CopyTo(value);
}

HRESULT CThirdPartyControlHookObject::GetSourceObject(IDispatch** source) {
    if (!source) return E_POINTER;
    *source = nullptr;
    return S_OK;
}

HRESULT CThirdPartyControlHookObject::GetNativeObject(IDispatch** native) {
    if (!native) return E_POINTER;
    *native = nullptr;
    return S_OK;
}

HRESULT CThirdPartyControlHookObject::GetNativeKind(BSTR* kind) {
    return namePart_.CopyTo(kind);
}

HRESULT CThirdPartyControlHookObject::IsValid(VARIANT_BOOL* valid) {
    if (!hostObject_) return E_UNEXPECTED;
    HRESULT hr = hostObject_->IsValid(valid);
    LONG current = 0;
    if (SUCCEEDED(hr) && valid && generationSource_ &&
        SUCCEEDED(generationSource_->GetGeneration(&current)) && current != generation_)
        *valid = VARIANT_FALSE;
    return hr;
}

HRESULT CThirdPartyControlHookObject::GetFullName(BSTR* fullName) {
    if (!fullName) return E_POINTER;
    *fullName = nullptr;
    BSTR cached = fullName_.load();
    if (!cached || !*cached) {
        if (!hostObject_) return E_UNEXPECTED;
        ov::Bstr namePart, hostName;
        HRESULT hr = GetNativeKind(namePart.Put());
        if (SUCCEEDED(hr)) hr = hostObject_->GetFullName(hostName.Put());
        if (FAILED(hr)) return hr;
        BSTR joined = nullptr;
        hr = VarBstrCat(hostName.Get(), namePart.Get(), &joined);
        if (FAILED(hr)) return hr;
        // Threads asking at once each build the name; the first one stays, and stays for good.
        cached = nullptr;
        if (fullName_.compare_exchange_strong(cached, joined))
            cached = joined;
        else
            SysFreeString(joined);
    }
    *fullName = SysAllocStringLen(cached, SysStringLen(cached));
    return *fullName ? S_OK : E_OUTOFMEMORY;
}

HRESULT CThirdPartyControlHookObject::GetSerialNumber(LONG* serial) {
    if (!serial) return E_POINTER;
    *serial = serial_;
    return S_OK;
}

HRESULT CThirdPartyControlHookObject::GetOwner(IUnknown** owner) {
    if (!owner) return E_POINTER;
    *owner = nullptr;
    if (!extender_) return S_OK;
    return static_cast<IovModule*>(extender_.Get())
        ->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(owner));
}

HRESULT CWPFControlRecognizerHookObject::get_WPFControlType(WPFControlType* value) {
    if (!value) return E_POINTER;
    *value = static_cast<WPFControlType>(kind_);
    return S_OK;
}
