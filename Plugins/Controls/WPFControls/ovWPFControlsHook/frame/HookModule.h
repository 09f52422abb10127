// The DLL's module object: its instance handle, the count of live COM objects of the module, and the
// process-wide global interface table on demand.
#pragma once

#include "com/ComObject.h"

class CovWPFControlsHookModule {
public:
    static HINSTANCE Instance() noexcept { return instance_; }
    static void SetInstance(HINSTANCE instance) noexcept { instance_ = instance; }
    static long LiveObjects() noexcept { return ov::ModuleLiveCount::Get(); }
    static ov::ComPtr<IGlobalInterfaceTable> GlobalInterfaceTable();

private:
    static inline HINSTANCE instance_ = nullptr;
};
