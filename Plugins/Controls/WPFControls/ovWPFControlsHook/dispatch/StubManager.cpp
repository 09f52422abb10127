#include "StubManager.h"

#include "com/Lock.h"

#include <vector>

namespace ovOpenAppHook {
using ov::Lock;

CStubManager::CStubManager() {
    InitializeCriticalSection(&cs_);
}
CStubManager::~CStubManager() {
    DeleteCriticalSection(&cs_);
}

void CStubManager::Add(IUnknown* object, ov::WeakTarget& target) {
    Lock lock(cs_);
    objects_[object] = &target;
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
    std::vector<ov::ComPtr<IUnknown>> snapshot;
    {
        Lock lock(cs_);
        snapshot.reserve(objects_.size());
        // An object whose last release is under way waits for the lock to unregister: it is left alone.
        for (auto& [identity, target] : objects_)
            if (target->TryAddRef()) snapshot.push_back(ov::ComPtr<IUnknown>::Adopt(identity));
    }
    for (const auto& object : snapshot) {
        bool registered;
        {
            Lock lock(cs_);
            registered = objects_.count(object.Get()) != 0;
        }
        // An object being disconnected may remove itself (or others), so the lock is not held here.
        if (registered) CoDisconnectObject(object.Get(), 0);
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
