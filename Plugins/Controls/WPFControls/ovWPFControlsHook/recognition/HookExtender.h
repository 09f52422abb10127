// The recognizer extender: the module object through which the host asks whether an object it builds
// is a WPF element, keeps one stub manager per owner, and learns of mapping option changes.
#pragma once

#include "com/ComObject.h"
#include "com/Lock.h"
#include "com/OleTypes.h"
#include "../dispatch/StubManager.h"
#include "Recognizer.h"
#include "ovHostIntf.h"

#include <atomic>
#include <unordered_map>

struct GuidHash {
    size_t operator()(const GUID& g) const noexcept {
        const auto* p = reinterpret_cast<const unsigned long long*>(&g);
        return std::hash<unsigned long long>()(p[0] ^ (p[1] * 31));
    }
};

class CThirdPartyControlsHookExtender : public IovModule,
                                        public IovModuleHidden,
                                        public IovModuleExtendedObjects,
                                        public IbxDisposable,
                                        public IovModuleManagerEvents,
                                        public IovModuleOptions,
                                        public IovCtrlsHookExtenderGeneration {
public:
    using Interfaces =
        ov::Interfaces<IovModule, IovModuleHidden, IovModuleExtendedObjects, IbxDisposable,
                       IovModuleManagerEvents, IovModuleOptions, IovCtrlsHookExtenderGeneration>;

    // IovModule
    HRESULT STDMETHODCALLTYPE GetModuleKey(GUID* key) override;
    // IbxDisposable
    HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override;
    // Dispose and OnModuleRemoved disconnect the managers' objects and let the managers go, as the
    // extender's own operations say; they do not run the stub manager's shut-down, whose wait of up to a
    // second per manager gains nothing here: the objects still held are those a script or the host keeps,
    // which no wait makes go, and each leaves its manager by itself on its last release.
    HRESULT STDMETHODCALLTYPE Dispose() override;
    // IovModuleManagerEvents
    HRESULT STDMETHODCALLTYPE OnModuleAdded(IUnknown* moduleObject) override;
    HRESULT STDMETHODCALLTYPE OnModuleRemoved(IUnknown* moduleObject) override;
    // IovCtrlsHookExtenderGeneration
    HRESULT STDMETHODCALLTYPE GetGeneration(LONG* generation) override;

    const ov::Bstr& Name() const noexcept { return name_; }
    LONG Generation() const noexcept { return generation_; }
    // The stub manager of an owner, made on first need.
    ov::ComPtr<ov::CStubManager> StubManagerOf(const GUID& ownerKey);
    size_t StubManagerCount() const noexcept;

protected:
    explicit CThirdPartyControlsHookExtender(const wchar_t* name);
    void AdvanceGeneration() noexcept { ++generation_; }

    GUID moduleKey_{};

private:
    // Takes the manager of a key out of the table when it is still the one given.
    void Forget(const GUID& key, const ov::CStubManager* manager) noexcept;

    ov::Bstr name_;
    // Hook objects read it on any thread; only option changes (which the host serialises) advance it.
    std::atomic<LONG> generation_{0};
    // The host registers elements, removes owners and disposes on any thread: the table is locked, never
    // while a manager disconnects (a disconnected object may leave its manager on another thread).
    mutable ov::CriticalSection lock_;
    std::unordered_map<GUID, ov::ComPtr<ov::CStubManager>, GuidHash> stubManagers_;
};

class CWPFControlRecognizerHookExtender : public CThirdPartyControlsHookExtender,
                                          public IovWindowMappingProvider,
                                          public IovCtrlMappingInfoHolder {
public:
    using Interfaces =
        ov::Interfaces<IovModule, IovModuleHidden, IovModuleExtendedObjects, IbxDisposable,
                       IovModuleManagerEvents, IovModuleOptions, IovCtrlsHookExtenderGeneration,
                       IovWindowMappingProvider, ov::Via<IbxKeyItem, IovWindowMappingProvider>,
                       IovCtrlMappingInfoHolder>;

    // Creates the recognizer; throws ComError(E_OUTOFMEMORY).
    CWPFControlRecognizerHookExtender();

    // IovModuleExtendedObjects. Handles the host's native CLR objects of the WPF technology: classifies the
    // element and hands out a hook object (kind 0 when no kind matches). Other objects, and objects without
    // an owner, are not handled (success, "handled" false). A failing .NET call gives E_FAIL.
    HRESULT STDMETHODCALLTYPE GetExtendedObject(IUnknown* hostObject, IDispatch** extension,
                                                VARIANT_BOOL* handled) override;
    // IovModuleOptions: replaces the class-name list of the kind with that key; a replaced list advances
    // the generation, so that every hook object made before reports itself invalid.
    HRESULT STDMETHODCALLTYPE OnOptionChanged(const GUID* key, VARIANT* value,
                                              VARIANT_BOOL* changed) override;

    CovWPFControlsRecognizer& Recognizer() const noexcept { return *recognizer_; }

    // The host reaches the kind infos and their class-name lists through the registered extender, which
    // passes the mapping interfaces on to its recognizer (so the extender keeps one COM identity).
    HRESULT STDMETHODCALLTYPE GetKey(GUID* key) override { return recognizer_->GetKey(key); }
    HRESULT STDMETHODCALLTYPE GetInfoCount(LONG* count) override { return recognizer_->GetInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetInfo(LONG index, IovWindowMappingInfo** info) override {
        return recognizer_->GetInfo(index, info);
    }
    HRESULT STDMETHODCALLTYPE SetClassNamesByKey(const GUID* key, VARIANT* classNames,
                                                 VARIANT_BOOL* done) override {
        return recognizer_->SetClassNamesByKey(key, classNames, done);
    }
    HRESULT STDMETHODCALLTYPE GetInfoByKey(const GUID* key, IovWindowMappingInfo** info,
                                           VARIANT_BOOL* found) override {
        return recognizer_->GetInfoByKey(key, info, found);
    }
    HRESULT STDMETHODCALLTYPE GetClassNamesByKey(const GUID* key, VARIANT* classNames,
                                                 VARIANT_BOOL* found) override {
        return recognizer_->GetClassNamesByKey(key, classNames, found);
    }
    HRESULT STDMETHODCALLTYPE PublishClassNames(IUnknown* hostObject, VARIANT_BOOL* done) override {
        return recognizer_->PublishClassNames(hostObject, done);
    }
    HRESULT STDMETHODCALLTYPE FindKeyByClassName(BSTR className, VARIANT* element, GUID* key) override {
        return recognizer_->FindKeyByClassName(className, element, key);
    }

private:
    ov::ComPtr<CovWPFControlsRecognizer> recognizer_;
};
