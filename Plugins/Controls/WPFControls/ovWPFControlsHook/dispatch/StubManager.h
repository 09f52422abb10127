// Tracks the objects handed to the host so that they can be disconnected when the module shuts down.
#pragma once

#include "com/ComObject.h"

#include <unordered_map>

namespace ovOpenAppHook {

class CStubManager : public IUnknown {
public:
    using Interfaces = ov::Interfaces<IUnknown>;

    CStubManager();
    ~CStubManager();
    CStubManager(const CStubManager&) = delete;
    CStubManager& operator=(const CStubManager&) = delete;

    // `object` is the identity of a handed-out object; the manager keeps no reference to it.
    void Add(IUnknown* object);
    void Remove(IUnknown* object) noexcept;
    size_t Count() const noexcept;
    // CoDisconnectObject on every object still registered when it is reached (outside the lock).
    void DisconnectAll();
    // Disconnects, then waits in 50 ms steps for the objects to go, giving up after 1000 ms.
    void Shutdown();

private:
    mutable CRITICAL_SECTION cs_;
    std::unordered_map<IUnknown*, IUnknown*> objects_;
};

} // namespace ovOpenAppHook

namespace ov {
using ovOpenAppHook::CStubManager;
}
