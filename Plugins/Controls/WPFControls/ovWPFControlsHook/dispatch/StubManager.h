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

    // `object` is the identity of a handed-out object; the manager keeps no reference to it, only the way
    // to take one while the object lives (`target`, the same object).
    void Add(IUnknown* object, ov::WeakTarget& target);
    void Remove(IUnknown* object) noexcept;
    size_t Count() const noexcept;
    // CoDisconnectObject on every object still registered when it is reached, outside the lock and with a
    // reference of its own, so that a last release on another thread cannot free the object under the
    // call. Throws std::bad_alloc before disconnecting anything when the snapshot cannot be made.
    void DisconnectAll();
    // Disconnects, then waits in 50 ms steps for the objects to go, giving up after 1000 ms.
    void Shutdown();

private:
    mutable CRITICAL_SECTION cs_;
    std::unordered_map<IUnknown*, ov::WeakTarget*> objects_;
};

} // namespace ovOpenAppHook

namespace ov {
using ovOpenAppHook::CStubManager;
}
