#include "EventRecorder.h"

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

HRESULT CovWPFEventRecorder::RecordEvent(IUnknown*, IovRecordedEvent*, IUnknown*, VARIANT_BOOL* handled) {
    if (handled) *handled = VARIANT_FALSE;
    return S_OK;
}
