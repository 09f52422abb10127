// The DLL's only export and its attach/detach.
#include "ModuleInf.h"

extern "C" __declspec(dllexport) HRESULT __stdcall GetModuleIntf(IUnknown** result) {
    return ov::ModuleEntry::GetModuleIntf(result);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        return ov::ModuleEntry::Attach(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        ov::ModuleEntry::Detach();
        return TRUE;
    default:
        return TRUE;
    }
}
