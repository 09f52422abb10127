// Shared helpers of the test programs.
#pragma once

#include "com/ComObject.h"
#include "com/OleTypes.h"
#include "dispatch/InvokeException.h"

#include <optional>

#include <string>

namespace ovtest {

// Folder of the running test program (the build's bin folder: DLL, host and tests side by side).
std::wstring BinFolder();
// Loads the host's and the module's type libraries into the module's cache, once per program, as the
// DLL does at attach.
void LoadTypeLibraries();
void ReleaseTypeLibraries();

// The module's error raised by `f`, or nothing.
template <class F> std::optional<CovInvokeException> Raised(F&& f) {
    try {
        f();
    } catch (const CovInvokeException& e) {
        return e;
    }
    return std::nullopt;
}

} // namespace ovtest
