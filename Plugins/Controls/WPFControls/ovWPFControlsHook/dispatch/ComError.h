// COM failures that are not the module's invocation errors (out of memory, failed system calls).
#pragma once

#include <windows.h>

namespace ov {

struct ComError {
    HRESULT hr;
    explicit ComError(HRESULT h) noexcept : hr(h) {}
};

inline void ThrowIfFailed(HRESULT hr) {
    if (FAILED(hr)) throw ComError(hr);
}

} // namespace ov
