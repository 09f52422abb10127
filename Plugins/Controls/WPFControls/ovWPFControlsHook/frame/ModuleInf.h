// The module information object (the process-wide singleton the host gets from GetModuleIntf), its
// unload listeners, and the DLL's attach and detach sequences.
#pragma once

#include "com/ComObject.h"
#include "../dispatch/InvokeException.h"
#include "ovHostIntf.h"

#include <list>

namespace BaseBX {

// The two unload listener lists of IbxModuleIntf; listeners compare by pointer identity. A null listener
// is refused with E_POINTER: the unload walk would call through it.
template <class T> class IbxModuleIntfImpl : public IbxModuleIntf {
public:
    using Listeners = std::list<ov::ComPtr<IbxModuleUnloadListener>>;

    HRESULT STDMETHODCALLTYPE AddUnloadListener(IbxModuleUnloadListener* listener) override {
        return Add(first_, listener);
    }
    HRESULT STDMETHODCALLTYPE RemoveUnloadListener(IbxModuleUnloadListener* listener) override {
        return Remove(first_, listener);
    }
    HRESULT STDMETHODCALLTYPE AddLateUnloadListener(IbxModuleUnloadListener* listener) override {
        return Add(second_, listener);
    }
    HRESULT STDMETHODCALLTYPE RemoveLateUnloadListener(IbxModuleUnloadListener* listener) override {
        return Remove(second_, listener);
    }

    // Calls every listener of the first list, then of the second; each list is walked as a copy so that
    // a listener may remove itself.
    void NotifyUnload(BSTR moduleFileName) {
        for (Listeners* list : {&first_, &second_}) {
            Listeners copy = *list;
            for (auto& listener : copy)
                listener->OnModuleUnload(moduleFileName, static_cast<T*>(this));
        }
    }

private:
    static HRESULT Add(Listeners& list, IbxModuleUnloadListener* listener) {
        if (!listener) return E_POINTER;
        for (auto& l : list)
            if (l.Get() == listener) return E_FAIL;
        return ov::Guard([&] { list.emplace_back(listener); });
    }
    static HRESULT Remove(Listeners& list, IbxModuleUnloadListener* listener) {
        for (auto it = list.begin(); it != list.end(); ++it)
            if (it->Get() == listener) {
                list.erase(it);
                break;
            }
        return S_OK;
    }

    Listeners first_;
    Listeners second_;
};

} // namespace BaseBX

class CovWPFControlsHookModuleInf : public BaseBX::IbxModuleIntfImpl<CovWPFControlsHookModuleInf>,
                                    public IovOpenAppHookExtension {
public:
    using Interfaces = ov::Interfaces<IbxModuleIntf, IovOpenAppHookExtension>;

    // Registers the recorder and the extender with the hook's module manager and advises the extender of
    // the manager's events. Without a hook or a module manager nothing is registered and the result is
    // still true; a null result pointer is refused with E_POINTER before anything is done.
    HRESULT STDMETHODCALLTYPE Initialize(IovOpenAppHook* hook, VARIANT_BOOL* succeeded) override;
    // Undoes Initialize; safe to repeat and on an object that was never initialised.
    HRESULT STDMETHODCALLTYPE Finalize() override;

    const GUID& RecorderKey() const noexcept { return recorderKey_; }
    const GUID& ExtenderKey() const noexcept { return extenderKey_; }
    bool HasModuleManager() const noexcept { return static_cast<bool>(manager_); }

private:
    GUID recorderKey_{};
    GUID extenderKey_{};
    ov::ComPtr<IovModuleManager> manager_;
};

namespace ov::ModuleEntry {

// The exported entry: creates the singleton on first need and hands out its IUnknown.
HRESULT GetModuleIntf(IUnknown** result);
// Process attach: product folder, then the host's and the module's type libraries. False fails the load.
bool Attach(HINSTANCE instance) noexcept;
// Process detach: unload listeners, Finalize, release of the singleton, then the type library cache.
void Detach() noexcept;
// The singleton, if it exists (for tests).
ComPtr<CovWPFControlsHookModuleInf> Singleton();

} // namespace ov::ModuleEntry
