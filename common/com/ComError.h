// COM failures that are not the module's invocation errors (out of memory, failed system calls).
#pragma once

#include <windows.h>

#include <new>

namespace ov {

struct ComError {
    HRESULT hr;
    explicit ComError(HRESULT h) noexcept : hr(h) {}
};

inline void ThrowIfFailed(HRESULT hr) {
    if (FAILED(hr)) throw ComError(hr);
}

// The result of the exception being handled (call inside a catch block): a ComError's HRESULT,
// E_OUTOFMEMORY for a failed allocation, E_UNEXPECTED for anything else.
inline HRESULT HResultOfCurrentException() noexcept {
    try {
        throw;
    } catch (const ComError& e) {
        return e.hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace ov
