// Short forms of the driver's calls for wrapper code: each reads, writes or calls one .NET member by
// name (one lookup, then one call, as the driver always does) and raises the driver's errors unchanged.
//
//   if (!ov::GetBool(clr, L"IsEnabled")) ...
//   CovDispDriver items = ov::GetObjectByName(clr, L"Items");
//   ov::Variant item = ov::Call(items, L"get_Item", ov::Variant::Int(i));
#pragma once

#include "../dispatch/DispDriver.h"
#include "../dispatch/InvokeException.h"
#include "com/OleTypes.h"

#include <type_traits>

namespace ov {

inline bool HasMember(const CovDispDriver& object, const wchar_t* member) {
    return object.HasMember(member, nullptr);
}

inline bool GetBool(const CovDispDriver& object, const wchar_t* member) {
    return object.GetPropertyBool(object.GetIDOfName(member));
}
inline LONG GetInt(const CovDispDriver& object, const wchar_t* member) {
    return object.GetPropertyInt(object.GetIDOfName(member));
}
inline double GetDouble(const CovDispDriver& object, const wchar_t* member) {
    return object.GetPropertyDouble(object.GetIDOfName(member));
}
// A .NET string object gives its "OleValue", a null object "".
inline Bstr GetString(const CovDispDriver& object, const wchar_t* member) {
    return object.GetPropertyString(object.GetIDOfName(member));
}
// The value exactly as the object returns it.
inline Variant GetRaw(const CovDispDriver& object, const wchar_t* member) {
    return object.GetProperty(object.GetIDOfName(member));
}
// (Objects: ov::GetObjectByName in DispDriver.h.)

inline void SetValue(const CovDispDriver& object, const wchar_t* member, const VARIANT& value) {
    object.SetProperty(object.GetIDOfName(member), value);
}
inline void SetBool(const CovDispDriver& object, const wchar_t* member, bool value) {
    object.SetPropertyBool(object.GetIDOfName(member), value ? 1 : 0);
}
inline void SetInt(const CovDispDriver& object, const wchar_t* member, LONG value) {
    object.SetPropertyInt(object.GetIDOfName(member), value);
}
inline void SetDouble(const CovDispDriver& object, const wchar_t* member, double value) {
    object.SetPropertyDouble(object.GetIDOfName(member), value);
}
inline void SetString(const CovDispDriver& object, const wchar_t* member, std::wstring_view value) {
    object.SetPropertyString(object.GetIDOfName(member), value);
}

// A method with 0, 1, 2 or 5 arguments, in the order of the .NET parameters.
template <class... Args>
Variant Call(const CovDispDriver& object, const wchar_t* member, const Args&... args) {
    static_assert((std::is_convertible_v<const Args&, const VARIANT&> && ...), "arguments are VARIANTs");
    static_assert(sizeof...(Args) == 0 || sizeof...(Args) == 1 || sizeof...(Args) == 2 ||
                      sizeof...(Args) == 5,
                  "the driver calls methods with 0, 1, 2 or 5 arguments");
    return object.CallMethod(object.GetIDOfName(member), static_cast<const VARIANT&>(args)...);
}

// Calls a method without arguments when the object has it; says whether it did.
inline bool CallIfPresent(const CovDispDriver& object, const wchar_t* member) {
    DISPID id = DISPID_UNKNOWN;
    if (!object.HasMember(member, &id)) return false;
    object.CallMethod(id);
    return true;
}

// A value as a boolean the way .NET answers arrive; false when it does not convert.
inline bool IsTrue(const VARIANT& value) {
    Variant flag;
    if (FAILED(VariantChangeType(&flag, const_cast<VARIANT*>(&value), 0, VT_BOOL))) return false;
    return flag.boolVal != VARIANT_FALSE;
}

// The text of a value a method returned: a .NET string object gives its "OleValue" (a null object ""),
// any other value its conversion to a string. A value without a text form raises the generic error.
inline Bstr TextOf(const VARIANT& value) {
    const VARIANT& v = value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal ? *value.pvarVal : value;
    if (v.vt == VT_DISPATCH || v.vt == (VT_DISPATCH | VT_BYREF)) {
        CovDispDriver boxed;
        boxed.AttachVariant(v);
        return boxed.Empty() ? Bstr(L"") : GetString(boxed, L"OleValue");
    }
    Variant text;
    if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&v), 0, VT_BSTR))) RaiseInvocationError();
    return Bstr::Adopt(text.Detach().bstrVal);
}

} // namespace ov
