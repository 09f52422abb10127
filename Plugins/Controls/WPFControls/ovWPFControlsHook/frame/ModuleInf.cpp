#include "ModuleInf.h"

#include "../dispatch/HostDispatch.h"
#include "../dispatch/InvokeException.h"
#include "../dispatch/TypeLibCache.h"
#include "../recognition/HookExtender.h"
#include "../scripting/EventRecorder.h"
#include "HookModule.h"
#include "HostServices.h"
#include "ProductFolder.h"

namespace {
bool IsZero(const GUID& g) {
    return g == GUID{};
}
ov::ComPtr<CovWPFControlsHookModuleInf> g_singleton;
} // namespace

HRESULT CovWPFControlsHookModuleInf::Initialize(IovOpenAppHook* hook, VARIANT_BOOL* succeeded) {
    if (!succeeded) return E_POINTER;
    *succeeded = VARIANT_TRUE;
    if (!hook) return S_OK;
    return ov::Guard([&] {
        ov::ComPtr<IUnknown> intermediate;
        hook->GetModuleManager(intermediate.Put());
        manager_ = intermediate.As<IovModuleManager>();
        // The object service and the log come with the hook object as well.
        ov::HostServices::Attach(hook);
        if (!manager_) return;

        ov::ComPtr<CovWPFEventRecorder> recorder = ov::Create<CovWPFEventRecorder>();
        manager_->RegisterModule(static_cast<IovModule*>(recorder.Get()));
        recorder->GetModuleKey(&recorderKey_);

        ov::ComPtr<CWPFControlRecognizerHookExtender> extender =
            ov::Create<CWPFControlRecognizerHookExtender>();
        manager_->RegisterModule(static_cast<IovModule*>(extender.Get()));
        extender->GetModuleKey(&extenderKey_);
        if (auto events = ov::QueryAs<IovModuleManagerEvents>(static_cast<IovModule*>(extender.Get())))
            manager_->AdviseManagerEvents(events.Get());
    });
}

HRESULT CovWPFControlsHookModuleInf::Finalize() {
    if (!IsZero(recorderKey_) && manager_) manager_->UnregisterModule(&recorderKey_);
    recorderKey_ = GUID{};
    if (!IsZero(extenderKey_) && manager_) {
        ov::ComPtr<IUnknown> registered;
        manager_->FindModule(&extenderKey_, registered.Put());
        if (auto events = ov::QueryAs<IovModuleManagerEvents>(registered.Get()))
            manager_->UnadviseManagerEvents(events.Get());
        manager_->UnregisterModule(&extenderKey_);
    }
    extenderKey_ = GUID{};
    manager_.Reset();
    ov::HostServices::Clear();
    return S_OK;
}

namespace ov::ModuleEntry {

HRESULT GetModuleIntf(IUnknown** result) {
    if (!g_singleton) {
        try {
            g_singleton = Create<CovWPFControlsHookModuleInf>();
        } catch (...) {
            if (result) *result = nullptr;
            return E_OUTOFMEMORY;
        }
    }
    return ov::detail::UnknownOf(g_singleton.Get())
        ->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(result));
}

// Attach and detach run inside the loader's DllMain: nothing may leave them but the answer. A failure of
// attach (out of memory included) makes the load fail.
bool Attach(HINSTANCE instance) noexcept {
    // The cache's lock is made with the DLL's static objects; without it nothing below may run.
    if (!TypeLibCache::Initialized()) return false;
    try {
        CovWPFControlsHookModule::SetInstance(instance);
        ProductFolder::SetUp(instance);
        std::wstring hostLibrary = ProductFolder::Get(instance) + L"\\OVHookX64.exe\\3";
        if (FAILED(TypeLibCache::Load(hostLibrary.c_str()))) return false;

        char fileName[MAX_PATH] = {};
        DWORD n = GetModuleFileNameA(instance, fileName, MAX_PATH);
        wchar_t wideName[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, fileName, static_cast<int>(n), wideName, MAX_PATH - 1);
        return SUCCEEDED(TypeLibCache::Load(wideName));
    } catch (...) {
        TypeLibCache::Clear();
        return false;
    }
}

void Detach() noexcept {
    if (ComPtr<CovWPFControlsHookModuleInf> module = g_singleton) {
        try {
            Bstr name(L"ovWPFControlsHook.dll");
            module->NotifyUnload(name.Get());
        } catch (...) {
            // Unload goes on whatever a listener did.
        }
        module->Finalize();
        g_singleton.Reset();
    }
    HostTypeLib::Clear();
    ClearMemberShapes();
    TypeLibCache::Clear();
}

ComPtr<CovWPFControlsHookModuleInf> Singleton() {
    return g_singleton;
}

} // namespace ov::ModuleEntry
