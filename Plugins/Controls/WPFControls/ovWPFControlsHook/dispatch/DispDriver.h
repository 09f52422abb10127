// The one way the module reaches the members of a .NET object: by name, through the IDispatch that the
// host hands out for it. Names are looked up on every call (no DISPID cache: the host may rebuild its
// objects at any time). Every failure is raised as the module's invocation error; the number each
// operation passes tells, in the error's details, which call failed:
//
//   lookup 96 (host's member-lookup interface) / 102 (GetIDsOfNames)
//   get int 176/180, bool 208/212, double 240/244, string 123/145 (call/conversion), object 287, raw 313
//   every put 271; methods with 0, 1, 2, 5 arguments 329, 346, 363, 414
//
// An empty driver fails every call with the generic invocation error without reaching any object.
// Out of memory and a failed copy of an argument are raised as ov::ComError.
#pragma once

#include "com/ComPtr.h"
#include "com/OleTypes.h"

#include <string_view>

class CovDispDriver {
public:
    CovDispDriver() noexcept = default;
    // Takes a reference.
    explicit CovDispDriver(IDispatch* object) noexcept : object_(object) {}
    virtual ~CovDispDriver() = default;
    CovDispDriver(const CovDispDriver&) = default;
    CovDispDriver(CovDispDriver&&) noexcept = default;
    CovDispDriver& operator=(const CovDispDriver&) = default;
    CovDispDriver& operator=(CovDispDriver&&) noexcept = default;

    // Takes a reference on the new object after releasing the old one.
    void Attach(IDispatch* object) noexcept { object_ = object; }
    // The object's IDispatch; an object without one raises the generic invocation error.
    void AttachObject(IUnknown* object);
    // VT_DISPATCH, also by reference (a null object empties the driver); any other type empties the
    // driver and raises the generic invocation error.
    void AttachVariant(const VARIANT& value);
    void Clear() noexcept { object_.Reset(); }

    IDispatch* Get() const noexcept { return object_.Get(); }
    bool Empty() const noexcept { return !object_; }

    DISPID GetIDOfName(const wchar_t* name) const;
    // As GetIDOfName, but a failed lookup gives false instead of an error.
    bool HasMember(const wchar_t* name, DISPID* id) const;

    LONG GetPropertyInt(DISPID id) const;
    bool GetPropertyBool(DISPID id) const;
    double GetPropertyDouble(DISPID id) const;
    // Replaces `text`. A value by reference is followed once; an object gives the text of its
    // "OleValue" (how the host hands .NET strings), a null object "".
    void GetPropertyString(DISPID id, ov::Bstr& text) const;
    ov::Bstr GetPropertyString(DISPID id) const;
    // The object value of a property (VT_DISPATCH, also by reference); a null object gives an empty
    // driver, any other value the generic invocation error.
    CovDispDriver GetPropertyObject(DISPID id) const;
    // The value exactly as the object returns it.
    ov::Variant GetProperty(DISPID id) const;

    void SetProperty(DISPID id, const VARIANT& value) const;
    void SetPropertyString(DISPID id, std::wstring_view text) const;
    void SetPropertyInt(DISPID id, LONG value) const;
    // Any non-zero value is sent as VARIANT_TRUE.
    void SetPropertyBool(DISPID id, int value) const;
    void SetPropertyDouble(DISPID id, double value) const;

    // Arguments in the order of the .NET member's parameters.
    ov::Variant CallMethod(DISPID id) const;
    ov::Variant CallMethod(DISPID id, const VARIANT& first) const;
    ov::Variant CallMethod(DISPID id, const VARIANT& first, const VARIANT& second) const;
    ov::Variant CallMethod(DISPID id, const VARIANT& first, const VARIANT& second, const VARIANT& third,
                           const VARIANT& fourth, const VARIANT& fifth) const;

private:
    // The lookup by the path the object offers; `location` tells which one was taken.
    HRESULT Lookup(const wchar_t* name, DISPID* id, int* location) const;
    ov::Variant Invoke(DISPID id, WORD flags, const VARIANT* const* args, UINT count, int location,
                       bool wantResult = true) const;
    template <class T>
    T GetPropertyAs(DISPID id, VARTYPE type, int callLocation, int conversionLocation) const;
    void GetPropertyString(DISPID id, ov::Bstr& text, int depth) const;
    void RequireObject() const;

    ov::ComPtr<IDispatch> object_;
};

namespace ov {

// GetIDOfName, then GetPropertyObject: also how the internal getters ("get_Parent", ...) are read.
CovDispDriver GetObjectByName(const CovDispDriver& object, const wchar_t* member);

// A driver over the native object behind a host object; empty when the host object has no native
// object extender. A null host object, or one that is not a host object, raises the generic error.
CovDispDriver GetNativeObjectDriver(IUnknown* hostObject);

// Whether `other` is the native object behind `hostObject`, by the rules of the native object's kind
// ("NativeClrObject": ReferenceEquals; "NativeJavaObject": equals; "NativeDelphiObject",
// "NativeQtObject": IsEqual or InstancePtr). False without an extender, for another kind, and when
// the answer does not convert to a boolean.
bool IsSameNativeObject(IUnknown* hostObject, const VARIANT& other);

// The .NET full class name of an object ("ClrFullClassName").
Bstr GetClrFullClassName(const CovDispDriver& object);

} // namespace ov
