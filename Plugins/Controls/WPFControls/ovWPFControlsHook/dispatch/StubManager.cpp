#include "StubManager.h"

#include <vector>

namespace ovOpenAppHook {
namespace {
class Lock {
public:
    explicit Lock(CRITICAL_SECTION& cs) : cs_(cs) { EnterCriticalSection(&cs_); }
    ~Lock() { LeaveCriticalSection(&cs_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& cs_;
};
} // namespace

CStubManager::CStubManager() {
    InitializeCriticalSection(&cs_);
}
CStubManager::~CStubManager() {
    DeleteCriticalSection(&cs_);
}

void CStubManager::Add(IUnknown* object) {
    Lock lock(cs_);
    objects_[object] = object;
}

void CStubManager::Remove(IUnknown* object) noexcept {
    Lock lock(cs_);
    objects_.erase(object);
}

size_t CStubManager::Count() const noexcept {
    Lock lock(cs_);
    return objects_.size();
}

void CStubManager::DisconnectAll() {
    std::vector<IUnknown*> snapshot;
    {
        Lock lock(cs_);
        snapshot.reserve(objects_.size());
        for (auto& [key, object] : objects_)
            snapshot.push_back(object);
    }
    for (IUnknown* object : snapshot) {
        bool registered;
        {
            Lock lock(cs_);
            registered = objects_.count(object) != 0;
        }
        // An object being disconnected may remove itself, so the lock is not held here.
        if (registered) CoDisconnectObject(object, 0);
    }
}

void CStubManager::Shutdown() {
    DWORD start = GetTickCount();
    DisconnectAll();
    while (Count() != 0) {
        if (GetTickCount() - start > 1000) break;
        Sleep(50);
    }
}

} // namespace ovOpenAppHook
