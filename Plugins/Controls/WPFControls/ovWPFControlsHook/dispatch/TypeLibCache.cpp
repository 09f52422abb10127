#include "TypeLibCache.h"

#include <map>
#include <vector>

namespace ov::TypeLibCache {
namespace {

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const noexcept { return memcmp(&a, &b, sizeof(GUID)) < 0; }
};

struct Cache {
    CRITICAL_SECTION cs;
    bool ok;
    std::vector<ComPtr<ITypeLib>> libraries;
    std::map<GUID, ComPtr<ITypeInfo>, GuidLess> infos;

    Cache() noexcept { ok = InitializeCriticalSectionAndSpinCount(&cs, 0) != FALSE; }
    ~Cache() {
        if (ok) DeleteCriticalSection(&cs);
    }
};

// At namespace scope, not a function's static: the lock exists before anything can take it, and the
// first use needs no guard (a guarded static costs a DLL two handles per load under the posix thread
// model, never returned).
Cache g_cache;

Cache& Instance() {
    return g_cache;
}

// Taken only once Initialized() held; every entry point checks it first.
class Lock {
public:
    Lock() { EnterCriticalSection(&Instance().cs); }
    ~Lock() { LeaveCriticalSection(&Instance().cs); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
};

} // namespace

HRESULT Load(const wchar_t* path) {
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLib(path, lib.Put());
    if (FAILED(hr)) return hr;
    HRESULT appended = Append(lib.Get());
    return FAILED(appended) ? appended : hr;
}

HRESULT Append(ITypeLib* library) {
    if (!library) return E_POINTER;
    if (!Initialized()) return E_OUTOFMEMORY;
    Lock lock;
    try {
        Instance().libraries.emplace_back(library);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT GetTypeInfoOfGuid(REFGUID iid, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!Initialized()) return E_OUTOFMEMORY;
    Lock lock;
    Cache& c = Instance();
    if (auto it = c.infos.find(iid); it != c.infos.end()) return it->second.CopyTo(out);
    for (auto& lib : c.libraries) {
        ComPtr<ITypeInfo> info;
        if (SUCCEEDED(lib->GetTypeInfoOfGuid(iid, info.Put()))) {
            try {
                c.infos.emplace(iid, info);
            } catch (const std::bad_alloc&) {
                return E_OUTOFMEMORY;
            }
            return info.CopyTo(out);
        }
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

void Clear() {
    if (!Initialized()) return;
    // Release outside the lock: a library's last release may call back into the cache.
    std::map<GUID, ComPtr<ITypeInfo>, GuidLess> infos;
    std::vector<ComPtr<ITypeLib>> libraries;
    {
        Lock lock;
        infos.swap(Instance().infos);
        libraries.swap(Instance().libraries);
    }
}

size_t LibraryCount() {
    if (!Initialized()) return 0;
    Lock lock;
    return Instance().libraries.size();
}

size_t CachedTypeInfoCount() {
    if (!Initialized()) return 0;
    Lock lock;
    return Instance().infos.size();
}

bool Initialized() {
    return Instance().ok;
}

} // namespace ov::TypeLibCache
