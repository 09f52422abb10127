// The hook object: the extension that the recognizer extender gives the host for one element. Through it
// the host learns the element's kind key, kind value and .NET class name, and whether the classification
// still holds (it does not once a mapping option changed after the object was made).
//
// The host may call it from any thread: it aggregates the free-threaded marshaler. It is registered with
// the stub manager of the element's owner while it lives, so that the extender can disconnect it.
#pragma once

#include "com/ComObject.h"
#include "../dispatch/MultiDispatch.h"
#include "com/OleTypes.h"
#include "../dispatch/StubManager.h"
#include "ovHostIntf.h"
#include "ovWPFControlsLib.h"

#include <atomic>

class CThirdPartyControlsHookExtender;

class CThirdPartyControlHookObject : public ov::IDispatchMultiImpl<IovOpenAppControlHookExtender>,
                                     public ov::IDispatchMultiImpl<IovObject>,
                                     public IovObjectInternal,
                                     public ov::WeakTarget,
                                     public virtual ov::CMultiDispatchRoot {
public:
    // IovOpenAppControlHookExtender
    HRESULT STDMETHODCALLTYPE get_ControlType(GUID* value) override;
    HRESULT STDMETHODCALLTYPE get_NativeClassName(BSTR* value) override;
    // IovObject
    HRESULT STDMETHODCALLTYPE GetSourceObject(IDispatch** source) override;
    HRESULT STDMETHODCALLTYPE GetNativeObject(IDispatch** native) override;
    // The name part: the extender's name.
    HRESULT STDMETHODCALLTYPE GetNativeKind(BSTR* kind) override;
    // The host object's answer, turned false once the extender's generation moved on.
    HRESULT STDMETHODCALLTYPE IsValid(VARIANT_BOOL* valid) override;
    // The host object's full name followed by the name part, cached after the first success.
    HRESULT STDMETHODCALLTYPE GetFullName(BSTR* fullName) override;
    HRESULT STDMETHODCALLTYPE GetSerialNumber(LONG* serial) override;
    // IovObjectInternal: the extender that made the object.
    HRESULT STDMETHODCALLTYPE GetOwner(IUnknown** owner) override;

    // One IUnknown for every interface base (ov::ComObject implements it).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override = 0;
    ULONG STDMETHODCALLTYPE AddRef() override = 0;
    ULONG STDMETHODCALLTYPE Release() override = 0;

    // Creates the aggregated marshaler and registers with the stub manager.
    HRESULT FinalConstruct();
    // Leaves the stub manager while still whole (it may be reaching for the object on another thread).
    void FinalRelease() noexcept;
    // IMarshal, answered by the aggregated free-threaded marshaler.
    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv);

    const GUID& ObjectId() const noexcept { return objectId_; }
    LONG Generation() const noexcept { return generation_; }

protected:
    // Takes the extender's name, generation source and current generation.
    CThirdPartyControlHookObject(ov::ComPtr<ov::CStubManager> stubManager,
                                 ov::ComPtr<CThirdPartyControlsHookExtender> extender,
                                 ov::ComPtr<IovObject> hostObject, const GUID& kindKey, ov::Bstr className);
    ~CThirdPartyControlHookObject();

private:
    // The identity (the first interface ov::ComObject answers IUnknown with).
    IUnknown* Self() noexcept { return static_cast<IovOpenAppControlHookExtender*>(this); }

    ov::ComPtr<ov::CStubManager> stubManager_;
    ov::ComPtr<CThirdPartyControlsHookExtender> extender_;
    ov::ComPtr<IovCtrlsHookExtenderGeneration> generationSource_;
    LONG generation_ = 0;
    ov::ComPtr<IovObject> hostObject_;
    ov::ComPtr<IUnknown> marshaler_;
    LONG serial_;
    GUID objectId_{};
    std::atomic<BSTR> fullName_{nullptr}; // set once, by the first thread that built it
    ov::Bstr namePart_;
    GUID kindKey_;
    ov::Bstr className_;
    IUnknown* registered_ = nullptr;
};

class CWPFControlRecognizerHookObject : public CThirdPartyControlHookObject,
                                        public ov::IDispatchMultiImpl<IovWPFControlRecognizerExtender> {
public:
    // IDispatch leads to IovObject: the host treats hook objects as objects of its own kind.
    using Interfaces = ov::Interfaces<IovOpenAppControlHookExtender, IovObject, ov::Via<IDispatch, IovObject>,
                                      IovObjectInternal, IovWPFControlRecognizerExtender>;

    CWPFControlRecognizerHookObject(ov::ComPtr<ov::CStubManager> stubManager,
                                    ov::ComPtr<CThirdPartyControlsHookExtender> extender,
                                    ov::ComPtr<IovObject> hostObject, const GUID& kindKey, LONG kind,
                                    ov::Bstr className)
        : CThirdPartyControlHookObject(std::move(stubManager), std::move(extender), std::move(hostObject),
                                       kindKey, std::move(className)),
          kind_(kind) {}

    // IovWPFControlRecognizerExtender
    HRESULT STDMETHODCALLTYPE get_WPFControlType(WPFControlType* value) override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override = 0;
    ULONG STDMETHODCALLTYPE AddRef() override = 0;
    ULONG STDMETHODCALLTYPE Release() override = 0;

private:
    LONG kind_;
};
