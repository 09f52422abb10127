// RAII owners of BSTR, VARIANT and SAFEARRAY.
#pragma once

#include "com/ComError.h"

#include <oleauto.h>

#include <string_view>
#include <utility>

namespace ov {

class Bstr {
public:
    Bstr() noexcept = default;
    Bstr(std::nullptr_t) noexcept {}
    // Copies; throws ComError(E_OUTOFMEMORY) when allocation fails.
    explicit Bstr(const wchar_t* s) : Bstr(s ? std::wstring_view(s) : std::wstring_view()) {}
    explicit Bstr(std::wstring_view s) {
        b_ = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
        if (!b_) throw ComError(E_OUTOFMEMORY);
    }
    Bstr(const Bstr& o) : b_(nullptr) {
        if (o.b_) {
            b_ = SysAllocStringLen(o.b_, SysStringLen(o.b_));
            if (!b_) throw ComError(E_OUTOFMEMORY);
        }
    }
    Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    ~Bstr() { SysFreeString(b_); }
    Bstr& operator=(Bstr o) noexcept {
        std::swap(b_, o.b_);
        return *this;
    }

    static Bstr Adopt(BSTR b) noexcept {
        Bstr r;
        r.b_ = b;
        return r;
    }
    // Copies a BSTR that may hold embedded NULs.
    static Bstr CopyOf(BSTR b) { return b ? Bstr(std::wstring_view(b, SysStringLen(b))) : Bstr(); }

    BSTR Get() const noexcept { return b_; }
    // Never null: a null BSTR reads as "".
    const wchar_t* c_str() const noexcept { return b_ ? b_ : L""; }
    std::wstring_view View() const noexcept {
        return b_ ? std::wstring_view(b_, SysStringLen(b_)) : std::wstring_view();
    }
    UINT Length() const noexcept { return b_ ? SysStringLen(b_) : 0; }
    bool Empty() const noexcept { return Length() == 0; }
    BSTR Detach() noexcept { return std::exchange(b_, nullptr); }
    BSTR* Put() noexcept {
        Reset();
        return &b_;
    }
    void Reset() noexcept { SysFreeString(std::exchange(b_, nullptr)); }
    // Hands a copy to an out parameter.
    HRESULT CopyTo(BSTR* out) const noexcept {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!b_) return S_OK;
        *out = SysAllocStringLen(b_, SysStringLen(b_));
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    BSTR b_ = nullptr;
};

class Variant : public VARIANT {
public:
    Variant() noexcept { VariantInit(this); }
    Variant(const VARIANT& v) {
        VariantInit(this);
        ThrowIfFailed(VariantCopy(this, const_cast<VARIANT*>(&v)));
    }
    Variant(const Variant& v) : Variant(static_cast<const VARIANT&>(v)) {}
    Variant(Variant&& v) noexcept {
        *static_cast<VARIANT*>(this) = v;
        VariantInit(&v);
    }
    ~Variant() { VariantClear(this); }
    Variant& operator=(Variant o) noexcept {
        std::swap(*static_cast<VARIANT*>(this), *static_cast<VARIANT*>(&o));
        return *this;
    }

    static Variant Int(LONG v) noexcept {
        Variant r;
        r.vt = VT_I4;
        r.lVal = v;
        return r;
    }
    static Variant Bool(bool v) noexcept {
        Variant r;
        r.vt = VT_BOOL;
        r.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
        return r;
    }
    static Variant Double(double v) noexcept {
        Variant r;
        r.vt = VT_R8;
        r.dblVal = v;
        return r;
    }
    static Variant String(std::wstring_view s) {
        Variant r;
        r.bstrVal = Bstr(s).Detach();
        r.vt = VT_BSTR;
        return r;
    }
    // Takes a new reference; a null pointer gives VT_DISPATCH null (a .NET null object).
    static Variant Dispatch(IDispatch* p) noexcept {
        Variant r;
        r.vt = VT_DISPATCH;
        r.pdispVal = p;
        if (p) p->AddRef();
        return r;
    }
    static Variant Unknown(IUnknown* p) noexcept {
        Variant r;
        r.vt = VT_UNKNOWN;
        r.punkVal = p;
        if (p) p->AddRef();
        return r;
    }

    void Clear() noexcept { VariantClear(this); }
    VARIANT* Put() noexcept {
        VariantClear(this);
        return this;
    }
    VARIANT Detach() noexcept {
        VARIANT r = *this;
        VariantInit(this);
        return r;
    }
    // Moves the value into an out parameter the caller has not initialised.
    HRESULT MoveTo(VARIANT* out) noexcept {
        if (!out) return E_POINTER;
        *out = Detach();
        return S_OK;
    }
};

class SafeArray {
public:
    SafeArray() noexcept = default;
    explicit SafeArray(SAFEARRAY* p) noexcept : p_(p) {}
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    SafeArray(SafeArray&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    SafeArray& operator=(SafeArray&& o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~SafeArray() {
        if (p_) SafeArrayDestroy(p_);
    }
    SAFEARRAY* Get() const noexcept { return p_; }
    SAFEARRAY* Detach() noexcept { return std::exchange(p_, nullptr); }
    SAFEARRAY** Put() noexcept {
        if (p_) SafeArrayDestroy(std::exchange(p_, nullptr));
        return &p_;
    }

private:
    SAFEARRAY* p_ = nullptr;
};

} // namespace ov
