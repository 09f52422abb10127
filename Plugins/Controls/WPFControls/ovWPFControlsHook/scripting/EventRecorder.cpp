#include "EventRecorder.h"

#include "../controls/ClrAccess.h"
#include "../dispatch/InvokeException.h"
#include "../frame/HostServices.h"
#include "../recognition/ElementNavigation.h"
#include "com/RecordIdentifiers.h"

// {6B1E37A2-52C4-4E0B-9E55-7A1C3F0D2B91}
const GUID CovWPFEventRecorder::Key = {
    0x6b1e37a2, 0x52c4, 0x4e0b, {0x9e, 0x55, 0x7a, 0x1c, 0x3f, 0x0d, 0x2b, 0x91}};

CovWPFEventRecorder::CovWPFEventRecorder() : recognizer_(ov::Create<CovWPFControlsRecognizer>()) {}

HRESULT CovWPFEventRecorder::GetModuleKey(GUID* key) {
    if (!key) return E_POINTER;
    *key = Key;
    return S_OK;
}

HRESULT CovWPFEventRecorder::OnOptionChanged(const GUID* key, VARIANT* value, VARIANT_BOOL* changed) {
    return recognizer_->SetClassNamesByKey(key, value, changed);
}

HRESULT CovWPFEventRecorder::RecordEvent(IUnknown* windowContext, IovRecordedEvent* eventObject,
                                         IUnknown* hostObject, VARIANT_BOOL* handled) {
    return ov::Guard([&] {
        ov::RequireOut(handled);
        *handled = VARIANT_FALSE;
        if (!eventObject || !hostObject) throw ov::ComError(E_INVALIDARG);
        GUID eventKind{};
        ov::ThrowIfFailed(eventObject->GetEventKind(&eventKind));
        if (IsEqualGUID(eventKind, ov::EventKinds::MouseMove) ||
            IsEqualGUID(eventKind, ov::EventKinds::WindowActivation))
            return;
        auto host = ov::QueryAs<IovHostObject>(hostObject);
        if (!host) return;
        ov::ComPtr<IUnknown> extender;
        VARIANT_BOOL found = VARIANT_FALSE;
        if (FAILED(host->GetExtender(&__uuidof(IovObject), extender.Put(), &found)) || !found || !extender)
            return;
        auto native = extender.As<IovObject>();
        ov::ComPtr<IDispatch> object;
        if (!native || FAILED(native->GetNativeObject(object.Put())) || !object) return;
        try {
            const CovDispDriver element(object.Get());
            std::optional<LONG> kind = ov::RecognizedKindOf(host.Get());
            if (!kind) return;
            *handled = VARIANT_TRUE;
            Gather(windowContext, eventObject, host.Get(), eventKind, element, *kind);
        } catch (const CovInvokeException& e) {
            *handled = VARIANT_TRUE;
            if (ov::ComPtr<IovHostLog> log = ov::HostServices::Log())
                log->AddEntry(e.Kind(),
                              ov::Bstr(ov::Format(L"%s\n%s", e.Message().Get() ? e.Message().Get() : L"",
                                                  e.Details().Get() ? e.Details().Get() : L""))
                                  .Get(),
                              ov::Bstr(L"").Get());
        }
    });
}

void CovWPFEventRecorder::Gather(IUnknown* windowContext, IovRecordedEvent* eventObject,
                                 IovHostObject* hostObject, const GUID& eventKind,
                                 const CovDispDriver& element, LONG kind) {
    const ov::Bstr className = ov::GetClrFullClassName(element);
    ov::ThrowIfFailed(eventObject->SetEventProperty(&ov::RecordKeys::ControlType, ov::Variant::Int(kind)));
    ov::ThrowIfFailed(
        eventObject->SetEventProperty(&ov::RecordKeys::ClassName, ov::Variant::String(className.View())));
    if (kind == ctrlWPFUnknown) return;
    DISPID id = DISPID_UNKNOWN;
    if (element.HasMember(L"IsEnabled", &id))
        ov::ThrowIfFailed(eventObject->SetEventProperty(&ov::RecordKeys::Enabled, element.GetProperty(id)));

    auto context = ov::QueryAs<IovHostObject>(windowContext);
    const bool mouse = IsEqualGUID(eventKind, ov::EventKinds::Mouse) != 0;
    const CovRecordedEventContext record{eventObject, context.Get(), hostObject, mouse};
    CollectElementContext(*recognizer_, kind, element, record);
    if (!mouse) return;

    BYTE data[40] = {};
    ov::ThrowIfFailed(eventObject->GetEventData(&ov::EventKinds::Mouse, data, sizeof data));
    LONG x = 0, y = 0;
    memcpy(&x, data + 12, sizeof x);
    memcpy(&y, data + 16, sizeof y);
    ov::ComPtr<IUnknown> extender;
    VARIANT_BOOL found = VARIANT_FALSE;
    ov::ThrowIfFailed(hostObject->GetExtender(&__uuidof(IovObject), extender.Put(), &found));
    if (auto hitTest = found ? extender.As<IovPointHitTest>() : nullptr) {
        ov::ComPtr<IDispatch> hit;
        ov::ThrowIfFailed(hitTest->GetObjectAtPoint(x, y, hit.Put()));
        std::wstring path;
        CovDispDriver current(hit.Get());
        const ov::Variant self = ov::Variant::Dispatch(element.Get());
        for (int depth = 0; depth < kMaxVisualPathDepth; ++depth) {
            if (ov::IsTrue(ov::Call(current, L"ReferenceEquals", ov::Variant::Dispatch(current.Get()), self)))
                break;
            const ov::Bstr name = ov::GetClrFullClassName(current);
            if (!name.View().empty()) {
                if (!path.empty()) path += L'|';
                path += name.View();
            }
            current = ov::GetObjectByName(current, L"get_VisualParent");
        }
        ov::ThrowIfFailed(
            eventObject->SetEventProperty(&ov::RecordKeys::VisualPath, ov::Variant::String(path)));
    }
    CollectScrollContext(*recognizer_, record);
}
