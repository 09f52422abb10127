// The variadic COM object base. A class lists what it answers to in `Interfaces`; the final class
// ComObject<T> adds reference counting, QueryInterface over that list, the live-object count and the
// shared IDispatch of multi-interface objects (classes with the Multi... dispatch members). Objects are made
// only by ov::Create.
//
//   class CovFoo : public IovFoo, public IDispatchMultiImpl<IovFoo> {
//   public:
//       using Interfaces = ov::Interfaces<IovFoo, ov::Via<IDispatch, IovFoo>>;
//   };
//   ov::ComPtr<CovFoo> foo = ov::Create<CovFoo>(args...);
//
// Optional members of T: `using RefCountModel = ...` (default ov::AtomicRefCount), `using LiveCounter = ...`
// (default the module's count), `HRESULT FinalConstruct()` (runs once the object holds a reference),
// `void FinalRelease() noexcept` (runs when the count reaches 0, before the destructors),
// `HRESULT QueryInterfaceExtra(REFIID, void**)` (asked after the list, e.g. for aggregation),
// `using CallScope = ...` (default-constructed for the length of every IUnknown call, destruction included:
// the stand-ins' clock charges those calls to the stand-in that answers them).
#pragma once

#include "com/ComError.h"
#include "com/ComPtr.h"

#include <atomic>
#include <new>
#include <type_traits>
#include <utility>

namespace ov {

template <class... I> struct Interfaces {};
// Answers `Asked` through the base `Through` (for IDispatch and for base interfaces reached by several
// paths).
template <class Asked, class Through> struct Via {};

namespace detail {
template <class Base, class... Own> struct Prepend;
template <class... B, class... Own> struct Prepend<Interfaces<B...>, Own...> {
    using type = Interfaces<Own..., B...>;
};
} // namespace detail
// A derived class's list: its own interfaces in front of its base's list, so that QueryInterface asks
// them first (`using Interfaces = ov::InterfacesBefore<Base::Interfaces, IovOwn>;`).
template <class BaseList, class... Own>
using InterfacesBefore = typename detail::Prepend<BaseList, Own...>::type;

// Count of live objects per owner (the module, the host stand-in, the simulated application).
template <class Tag> struct LiveCount {
    static inline std::atomic<long> value{0};
    static long Get() noexcept { return value.load(); }
};
struct ModuleTag;
using ModuleLiveCount = LiveCount<ModuleTag>;

// Reference count models: interlocked; guarded by a critical section; plain (single-threaded objects).
// TryIncrement takes a reference only while the object lives (the count is not 0): for registries that
// keep no references and must not revive an object whose last release is under way.
class AtomicRefCount {
public:
    ULONG Increment() noexcept { return ++n_; }
    ULONG Decrement() noexcept { return --n_; }
    bool TryIncrement() noexcept {
        ULONG n = n_.load();
        while (n != 0)
            if (n_.compare_exchange_weak(n, n + 1)) return true;
        return false;
    }

private:
    std::atomic<ULONG> n_{0};
};

class LockedRefCount {
public:
    LockedRefCount() noexcept { InitializeCriticalSection(&cs_); }
    ~LockedRefCount() { DeleteCriticalSection(&cs_); }
    LockedRefCount(const LockedRefCount&) = delete;
    LockedRefCount& operator=(const LockedRefCount&) = delete;
    ULONG Increment() noexcept {
        EnterCriticalSection(&cs_);
        ULONG r = ++n_;
        LeaveCriticalSection(&cs_);
        return r;
    }
    ULONG Decrement() noexcept {
        EnterCriticalSection(&cs_);
        ULONG r = --n_;
        LeaveCriticalSection(&cs_);
        return r;
    }
    bool TryIncrement() noexcept {
        EnterCriticalSection(&cs_);
        bool alive = n_ != 0;
        if (alive) ++n_;
        LeaveCriticalSection(&cs_);
        return alive;
    }

private:
    CRITICAL_SECTION cs_;
    ULONG n_ = 0;
};

class SingleThreadRefCount {
public:
    ULONG Increment() noexcept { return ++n_; }
    ULONG Decrement() noexcept { return --n_; }
    bool TryIncrement() noexcept { return n_ != 0 && ++n_ != 0; }

private:
    ULONG n_ = 0;
};

// What a registry that holds no references keeps of an object to reach it safely: ComObject<T> answers it
// for every T that derives from it. Such a T leaves the registry in `void FinalRelease() noexcept`, which
// runs when the count has reached 0 and before any destructor, so the registry never calls into an object
// that is being destroyed.
class WeakTarget {
public:
    virtual bool TryAddRef() noexcept = 0;

protected:
    ~WeakTarget() = default;
};

namespace detail {

template <class T> struct InterfaceEntry {
    template <class Obj> static void* Match(Obj* o, REFIID riid) {
        return IsEqualIID(riid, __uuidof(T)) ? static_cast<void*>(static_cast<T*>(o)) : nullptr;
    }
    template <class Obj> static IUnknown* Identity(Obj* o) { return static_cast<T*>(o); }
};
template <class Asked, class Through> struct InterfaceEntry<Via<Asked, Through>> {
    template <class Obj> static void* Match(Obj* o, REFIID riid) {
        return IsEqualIID(riid, __uuidof(Asked))
                   ? static_cast<void*>(static_cast<Asked*>(static_cast<Through*>(o)))
                   : nullptr;
    }
    template <class Obj> static IUnknown* Identity(Obj* o) { return static_cast<Through*>(o); }
};

template <class L> struct InterfaceListOps;
template <class First, class... Rest> struct InterfaceListOps<Interfaces<First, Rest...>> {
    template <class Obj> static void* Find(Obj* o, REFIID riid) {
        if (void* p = InterfaceEntry<First>::Match(o, riid)) return p;
        if constexpr (sizeof...(Rest) > 0) return InterfaceListOps<Interfaces<Rest...>>::Find(o, riid);
        return nullptr;
    }
    template <class Obj> static IUnknown* Identity(Obj* o) { return InterfaceEntry<First>::Identity(o); }
};

template <class T> auto RefCountModelOf() {
    if constexpr (requires { typename T::RefCountModel; })
        return std::type_identity<typename T::RefCountModel>{};
    else
        return std::type_identity<AtomicRefCount>{};
}
struct NoCallScope {};
template <class T> auto CallScopeOf() {
    if constexpr (requires { typename T::CallScope; })
        return std::type_identity<typename T::CallScope>{};
    else
        return std::type_identity<NoCallScope>{};
}
template <class T> auto LiveCounterOf() {
    if constexpr (requires { typename T::LiveCounter; })
        return std::type_identity<typename T::LiveCounter>{};
    else
        return std::type_identity<ModuleLiveCount>{};
}

// Classes that route every dispinterface's IDispatch slots to one shared implementation.
template <class T>
concept MultiDispatched = requires(T& t, UINT* n) {
    t.MultiGetTypeInfoCount(n);
};

} // namespace detail

template <class T> class ComObject final : public T {
    using Ops = detail::InterfaceListOps<typename T::Interfaces>;
    using Counter = typename decltype(detail::LiveCounterOf<T>())::type;
    using Scope = typename decltype(detail::CallScopeOf<T>())::type;

public:
    template <class... Args> explicit ComObject(Args&&... args) : T(std::forward<Args>(args)...) {
        ++Counter::value;
    }
    ~ComObject() { --Counter::value; }

    IUnknown* Identity() noexcept { return Ops::Identity(static_cast<T*>(this)); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        [[maybe_unused]] const Scope scope{};
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        void* p = IsEqualIID(riid, IID_IUnknown) ? Identity() : Ops::Find(static_cast<T*>(this), riid);
        if (!p) {
            if constexpr (requires(T & t) { t.QueryInterfaceExtra(riid, ppv); }) {
                HRESULT hr = T::QueryInterfaceExtra(riid, ppv);
                if (hr != E_NOINTERFACE) return hr;
            }
            return E_NOINTERFACE;
        }
        *ppv = p;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        [[maybe_unused]] const Scope scope{};
        return refs_.Increment();
    }
    // A reference only while the object lives; implements ov::WeakTarget for classes that derive from it.
    bool TryAddRef() noexcept { return refs_.TryIncrement(); }
    ULONG STDMETHODCALLTYPE Release() override {
        [[maybe_unused]] const Scope scope{};
        ULONG n = refs_.Decrement();
        if (n == 0) {
            // Still whole here: registries that reach the object through TryAddRef let go of it first.
            if constexpr (requires(T & t) { t.FinalRelease(); }) T::FinalRelease();
            delete this;
        }
        return n;
    }

    // One IDispatch for every dispinterface of a multi-interface object.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) {
        if constexpr (detail::MultiDispatched<T>)
            return this->MultiGetTypeInfoCount(n);
        else if constexpr (std::is_base_of_v<IDispatch, T>)
            return T::GetTypeInfoCount(n);
        else
            return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** ti) {
        if constexpr (detail::MultiDispatched<T>)
            return this->MultiGetTypeInfo(i, lcid, ti);
        else if constexpr (std::is_base_of_v<IDispatch, T>)
            return T::GetTypeInfo(i, lcid, ti);
        else
            return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) {
        if constexpr (detail::MultiDispatched<T>)
            return this->MultiGetIDsOfNames(riid, names, count, lcid, ids);
        else if constexpr (std::is_base_of_v<IDispatch, T>)
            return T::GetIDsOfNames(riid, names, count, lcid, ids);
        else
            return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
        if constexpr (detail::MultiDispatched<T>)
            return this->MultiInvoke(Identity(), id, riid, lcid, flags, params, result, excep, argErr);
        else if constexpr (std::is_base_of_v<IDispatch, T>)
            return T::Invoke(id, riid, lcid, flags, params, result, excep, argErr);
        else
            return E_NOTIMPL;
    }

private:
    typename decltype(detail::RefCountModelOf<T>())::type refs_;
};

// The one way objects come to life. Throws ComError when construction or FinalConstruct fails.
template <class T, class... Args> ComPtr<T> Create(Args&&... args) {
    auto* raw = new (std::nothrow) ComObject<T>(std::forward<Args>(args)...);
    if (!raw) throw ComError(E_OUTOFMEMORY);
    ComPtr<T> p(static_cast<T*>(raw));
    if constexpr (requires(T & t) { t.FinalConstruct(); }) ThrowIfFailed(p->FinalConstruct());
    return p;
}

// The object's identity IUnknown (for comparisons and for handing out as IUnknown).
template <class T> IUnknown* IdentityOf(T* p) noexcept {
    return static_cast<ComObject<T>*>(p)->Identity();
}

} // namespace ov
