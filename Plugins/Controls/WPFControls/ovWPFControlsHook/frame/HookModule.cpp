#include "HookModule.h"

ov::ComPtr<IGlobalInterfaceTable> CovWPFControlsHookModule::GlobalInterfaceTable() {
    ov::ComPtr<IGlobalInterfaceTable> git;
    CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER, IID_IGlobalInterfaceTable,
                     git.PutVoid());
    return git;
}
