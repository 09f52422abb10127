#include "HostDispatch.h"

#include "ovHostIntf.h"

#include <map>

namespace ov::HostTypeLib {
namespace {

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const noexcept { return memcmp(&a, &b, sizeof(GUID)) < 0; }
};

struct Holder {
    CRITICAL_SECTION cs;
    bool ok;
    long loads = 0;
    ComPtr<ITypeLib> library;
    std::map<GUID, ComPtr<ITypeInfo>, GuidLess> infos;

    Holder() noexcept { ok = InitializeCriticalSectionAndSpinCount(&cs, 0) != FALSE; }
    ~Holder() {
        if (ok) DeleteCriticalSection(&cs);
    }
};

// At namespace scope, as the type library cache's: the lock exists before the first call can take it.
Holder g_holder;

class Lock {
public:
    Lock() { EnterCriticalSection(&g_holder.cs); }
    ~Lock() { LeaveCriticalSection(&g_holder.cs); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
};

constexpr WORD kMajor = 6;
constexpr WORD kMinor = 0;

} // namespace

HRESULT GetTypeInfo(REFIID iid, LCID lcid, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (!g_holder.ok) return E_OUTOFMEMORY;
    Lock lock;
    if (auto it = g_holder.infos.find(iid); it != g_holder.infos.end()) return it->second.CopyTo(info);
    if (!g_holder.library) {
        ++g_holder.loads;
        ComPtr<ITypeLib> library;
        HRESULT hr = LoadRegTypeLib(LIBID_Orvane, kMajor, kMinor, lcid, library.Put());
        if (FAILED(hr)) return hr;
        g_holder.library = library;
    }
    ComPtr<ITypeInfo> found;
    HRESULT hr = g_holder.library->GetTypeInfoOfGuid(iid, found.Put());
    if (FAILED(hr)) return hr;
    try {
        g_holder.infos.emplace(iid, found);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return found.CopyTo(info);
}

void Clear() {
    if (!g_holder.ok) return;
    // Released outside the lock, as the cache does.
    std::map<GUID, ComPtr<ITypeInfo>, GuidLess> infos;
    ComPtr<ITypeLib> library;
    {
        Lock lock;
        infos.swap(g_holder.infos);
        library = std::move(g_holder.library);
    }
}

long LoadCount() {
    if (!g_holder.ok) return 0;
    Lock lock;
    return g_holder.loads;
}

} // namespace ov::HostTypeLib
