// The module's script event recorder: attaches the WPF facts of a recorded event to the host's event (keys
// in com/RecordIdentifiers.h). It writes no statement; the host does, from what is attached.
//
// The visual path of a mouse event (the class names from the object under the mouse up to the element)
// is walked at most kMaxVisualPathDepth levels: a hit-test object that is not below the element would
// otherwise be followed to the top of its tree. A walk that reaches the bound stops there and the path
// gathered so far is attached.
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
    // The deepest visual path walked, as deep as the application reader nests elements.
    static constexpr int kMaxVisualPathDepth = 256;

    // Creates the recorder's own recognizer; throws ComError(E_OUTOFMEMORY).
    CovWPFEventRecorder();

    HRESULT STDMETHODCALLTYPE GetModuleKey(GUID* key) override;
    // The user's class-name options reach the recorder's own recognizer unchanged.
    HRESULT STDMETHODCALLTYPE OnOptionChanged(const GUID* key, VARIANT* value,
                                              VARIANT_BOOL* changed) override;
    HRESULT STDMETHODCALLTYPE StartRecording() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE StopRecording() override { return S_OK; }
    // Declines mouse moves and window activations and events on objects without a native object or
    // without the WPF recognizer extension (false). Otherwise attaches kind and class name, and for a
    // recognised kind the enabled state, the element's context and, for a press of a mouse button, the
    // visual path and the scroll context. An invocation error ends the work: it is logged as
    // "message\ndetails" and the event still counts as dealt with.
    HRESULT STDMETHODCALLTYPE RecordEvent(IUnknown* windowContext, IovRecordedEvent* eventObject,
                                          IUnknown* hostObject, VARIANT_BOOL* handled) override;

    CovWPFControlsRecognizer& Recognizer() const noexcept { return *recognizer_; }

private:
    void Gather(IUnknown* windowContext, IovRecordedEvent* eventObject, IovHostObject* hostObject,
                const GUID& eventKind, const CovDispDriver& element, LONG kind);

    ov::ComPtr<CovWPFControlsRecognizer> recognizer_;
};
