// The one smart-pointer vocabulary of the project: ComPtr for interface pointers; Bstr, Variant and
// SafeArray (OleTypes.h) for the OLE Automation types.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <utility>

namespace ov {

template <class... I> struct Interfaces;
template <class Asked, class Through> struct Via;

namespace detail {
template <class L> struct FirstInterface;
template <class F, class... R> struct FirstInterface<Interfaces<F, R...>> { using type = F; };
template <class A, class B, class... R> struct FirstInterface<Interfaces<Via<A, B>, R...>> {
    using type = B;
};
// The IUnknown of an object: classes with several interface bases reach it through the first listed one.
template <class T> IUnknown* UnknownOf(T* p) noexcept {
    if constexpr (requires { typename T::Interfaces; }) {
        using First = typename FirstInterface<typename T::Interfaces>::type;
        return static_cast<First*>(p);
    } else {
        return p;
    }
}
} // namespace detail

template <class T> class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference.
    ComPtr(T* p) noexcept : p_(p) {
        if (p_) detail::UnknownOf(p_)->AddRef();
    }
    ComPtr(const ComPtr& o) noexcept : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U> ComPtr(const ComPtr<U>& o) noexcept : ComPtr(static_cast<T*>(o.Get())) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }

    // Adopts a reference the caller already owns.
    static ComPtr Adopt(T* p) noexcept {
        ComPtr r;
        r.p_ = p;
        return r;
    }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    void Reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) detail::UnknownOf(p)->Release();
    }
    T* Detach() noexcept { return std::exchange(p_, nullptr); }
    // Releases the current pointer and returns the slot for an out parameter.
    T** Put() noexcept {
        Reset();
        return &p_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    // Hands a new reference to an out parameter; null out parameters get E_POINTER.
    HRESULT CopyTo(T** out) const noexcept {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) detail::UnknownOf(p_)->AddRef();
        return S_OK;
    }
    template <class U> HRESULT As(ComPtr<U>& out) const noexcept {
        if (!p_) {
            out.Reset();
            return E_NOINTERFACE;
        }
        return detail::UnknownOf(p_)->QueryInterface(__uuidof(U), out.PutVoid());
    }
    template <class U> ComPtr<U> As() const noexcept {
        ComPtr<U> r;
        As(r);
        return r;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
    T* p_ = nullptr;
};

// QueryInterface on any interface pointer into a ComPtr (null when absent).
template <class U, class T> ComPtr<U> QueryAs(T* p) noexcept {
    ComPtr<U> r;
    if (p) detail::UnknownOf(p)->QueryInterface(__uuidof(U), r.PutVoid());
    return r;
}

} // namespace ov
