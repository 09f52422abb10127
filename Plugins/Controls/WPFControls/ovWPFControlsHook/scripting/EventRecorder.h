// The module's script event recorder: attaches the WPF facts of a recorded event to the host's event.
#pragma once

#include "com/ComObject.h"
#include "../recognition/Recognizer.h"
#include "ovHostIntf.h"

class CovWPFEventRecorder : public IovModule,
                            public IovModuleHidden,
                            public IovModuleOptions,
                            public IovScriptEventRecorder {
public:
    using RefCountModel = ov::LockedRefCount;
    using Interfaces = ov::Interfaces<IovModule, IovModuleHidden, IovModuleOptions, IovScriptEventRecorder>;

    // The recorder's constant key.
    static const GUID Key;

    // Creates the recorder's own recognizer; throws ComError(E_OUTOFMEMORY).
    CovWPFEventRecorder();

    HRESULT STDMETHODCALLTYPE GetModuleKey(GUID* key) override;
    // The user's class-name options reach the recorder's own recognizer unchanged.
    HRESULT STDMETHODCALLTYPE OnOptionChanged(const GUID* key, VARIANT* value,
                                              VARIANT_BOOL* changed) override;
    HRESULT STDMETHODCALLTYPE StartRecording() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE StopRecording() override { return S_OK; }
    // Gathering the WPF context of an event arrives with the element tree navigation; until then the
    // recorder deals with no event.
    HRESULT STDMETHODCALLTYPE RecordEvent(IUnknown* windowContext, IovRecordedEvent* eventObject,
                                          IUnknown* hostObject, VARIANT_BOOL* handled) override;

    CovWPFControlsRecognizer& Recognizer() const noexcept { return *recognizer_; }

private:
    ov::ComPtr<CovWPFControlsRecognizer> recognizer_;
};
