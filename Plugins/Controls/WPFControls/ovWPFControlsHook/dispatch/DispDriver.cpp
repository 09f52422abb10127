#include "DispDriver.h"

#include "InvokeException.h"

#include "ovHostIntf.h"

#include <iterator>
#include <type_traits>
#include <utility>

namespace {

// Passed on every call; the host's objects ignore it, but .NET conversions may not.
constexpr LCID kLocale = LOCALE_USER_DEFAULT;

// Location numbers of the failure sites (they appear in the error details).
enum Location : int {
    LookupInterface = 96,
    LookupDispatch = 102,
    GetStringCall = 123,
    GetStringConversion = 145,
    GetIntCall = 176,
    GetIntConversion = 180,
    GetBoolCall = 208,
    GetBoolConversion = 212,
    GetDoubleCall = 240,
    GetDoubleConversion = 244,
    SetCall = 271,
    GetObjectCall = 287,
    GetCall = 313,
    Method0Call = 329,
    Method1Call = 346,
    Method2Call = 363,
    Method5Call = 414,
};

// A string object's "OleValue" is plain; a chain deeper than this is a broken object, not a string.
constexpr int kMaxOleValueDepth = 8;

// The arguments of one call, the last first as OLE Automation wants them. Only those given are made and
// cleared: most calls have none, and every call into the application passes here.
class ReversedArgs {
public:
    ReversedArgs(const VARIANT* const* args, UINT count) {
        if (count > std::size(v_)) throw ov::ComError(E_INVALIDARG);
        for (UINT i = 0; i < count; ++i)
            VariantInit(&v_[i]);
        count_ = count;
        for (UINT i = 0; i < count; ++i) {
            if (HRESULT hr = VariantCopy(&v_[count - 1 - i], const_cast<VARIANT*>(args[i])); FAILED(hr)) {
                Clear();
                throw ov::ComError(hr);
            }
        }
    }
    ~ReversedArgs() { Clear(); }
    ReversedArgs(const ReversedArgs&) = delete;
    ReversedArgs& operator=(const ReversedArgs&) = delete;
    VARIANT* Get() noexcept { return count_ ? v_ : nullptr; }

private:
    void Clear() noexcept {
        for (UINT i = 0; i < count_; ++i)
            VariantClear(&v_[i]);
        count_ = 0;
    }
    VARIANT v_[5];
    UINT count_ = 0;
};

// The exception record of one call; its strings are the callee's allocation and freed here.
struct ExcepInfo : EXCEPINFO {
    ExcepInfo() noexcept : EXCEPINFO{} {}
    ~ExcepInfo() {
        // Almost always empty: the three calls are skipped then.
        if (bstrSource) SysFreeString(bstrSource);
        if (bstrDescription) SysFreeString(bstrDescription);
        if (bstrHelpFile) SysFreeString(bstrHelpFile);
    }
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    // A callee may defer the texts until they are asked for.
    const EXCEPINFO* Filled() {
        if (pfnDeferredFillIn) {
            auto fill = std::exchange(pfnDeferredFillIn, nullptr);
            fill(this);
        }
        return this;
    }
};

// The object a VT_DISPATCH value refers to, also by reference (null for a null object).
IDispatch* DispatchOf(const VARIANT& v) noexcept {
    if (v.vt == (VT_DISPATCH | VT_BYREF)) return v.ppdispVal ? *v.ppdispVal : nullptr;
    return v.pdispVal;
}

bool IsObject(const VARIANT& v) noexcept {
    return v.vt == VT_DISPATCH || v.vt == (VT_DISPATCH | VT_BYREF);
}

} // namespace

void CovDispDriver::AttachObject(IUnknown* object) {
    object_ = ov::QueryAs<IDispatch>(object);
    if (!object_) ov::RaiseInvocationError();
}

void CovDispDriver::AttachVariant(const VARIANT& value) {
    if (!IsObject(value)) {
        object_.Reset();
        ov::RaiseInvocationError();
    }
    object_ = DispatchOf(value);
}

void CovDispDriver::RequireObject() const {
    if (!object_) ov::RaiseInvocationError();
}

HRESULT CovDispDriver::Lookup(const wchar_t* name, DISPID* id, int* location) const {
    RequireObject();
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (auto lookup = object_.As<IovMemberLookup>()) {
        *location = LookupInterface;
        return lookup->LookupIDsOfNames(IID_NULL, names, 1, kLocale, id);
    }
    *location = LookupDispatch;
    return object_->GetIDsOfNames(IID_NULL, names, 1, kLocale, id);
}

DISPID CovDispDriver::GetIDOfName(const wchar_t* name) const {
    DISPID id = DISPID_UNKNOWN;
    int location = 0;
    if (HRESULT hr = Lookup(name, &id, &location); FAILED(hr))
        ov::RaiseInvocationError(hr, nullptr, location, name);
    return id;
}

bool CovDispDriver::HasMember(const wchar_t* name, DISPID* id) const {
    DISPID found = DISPID_UNKNOWN;
    int location = 0;
    HRESULT hr = Lookup(name, &found, &location);
    if (id) *id = found;
    return SUCCEEDED(hr);
}

ov::Variant CovDispDriver::Invoke(DISPID id, WORD flags, const VARIANT* const* args, UINT count, int location,
                                  bool wantResult) const {
    RequireObject();
    ReversedArgs reversed(args, count);
    DISPPARAMS params{reversed.Get(), nullptr, count, 0};
    ov::Variant result;
    ExcepInfo excep;
    HRESULT hr = object_->Invoke(id, IID_NULL, kLocale, flags, &params, wantResult ? &result : nullptr,
                                 &excep, nullptr);
    if (FAILED(hr)) ov::RaiseInvocationError(hr, excep.Filled(), location);
    return result;
}

template <class T>
T CovDispDriver::GetPropertyAs(DISPID id, VARTYPE type, int callLocation, int conversionLocation) const {
    ov::Variant value = Invoke(id, DISPATCH_PROPERTYGET, nullptr, 0, callLocation);
    // A value of the type already (VT_I4 is VT_INT here) is read as it is: the conversion would copy it.
    const bool same = value.vt == type || (type == VT_INT && value.vt == VT_I4);
    if (HRESULT hr = same ? S_OK : VariantChangeType(&value, &value, 0, type); FAILED(hr))
        ov::RaiseInvocationError(hr, nullptr, conversionLocation);
    if constexpr (std::is_same_v<T, LONG>)
        return value.intVal;
    else if constexpr (std::is_same_v<T, bool>)
        return value.boolVal != VARIANT_FALSE;
    else
        return value.dblVal;
}

LONG CovDispDriver::GetPropertyInt(DISPID id) const {
    return GetPropertyAs<LONG>(id, VT_INT, GetIntCall, GetIntConversion);
}

bool CovDispDriver::GetPropertyBool(DISPID id) const {
    return GetPropertyAs<bool>(id, VT_BOOL, GetBoolCall, GetBoolConversion);
}

double CovDispDriver::GetPropertyDouble(DISPID id) const {
    return GetPropertyAs<double>(id, VT_R8, GetDoubleCall, GetDoubleConversion);
}

void CovDispDriver::GetPropertyString(DISPID id, ov::Bstr& text) const {
    GetPropertyString(id, text, 0);
}

ov::Bstr CovDispDriver::GetPropertyString(DISPID id) const {
    ov::Bstr text;
    GetPropertyString(id, text, 0);
    return text;
}

void CovDispDriver::GetPropertyString(DISPID id, ov::Bstr& text, int depth) const {
    ov::Variant value = Invoke(id, DISPATCH_PROPERTYGET, nullptr, 0, GetStringCall);
    if (value.vt == (VT_BYREF | VT_VARIANT)) {
        ov::Variant target;
        if (value.pvarVal) target = ov::Variant(*value.pvarVal);
        value = std::move(target);
    }
    if (IsObject(value)) {
        IDispatch* object = DispatchOf(value);
        if (!object) {
            text = ov::Bstr(L"");
            return;
        }
        if (depth >= kMaxOleValueDepth) ov::RaiseInvocationError();
        CovDispDriver boxed(object);
        boxed.GetPropertyString(boxed.GetIDOfName(L"OleValue"), text, depth + 1);
        return;
    }
    if (HRESULT hr = value.vt == VT_BSTR ? S_OK : VariantChangeType(&value, &value, 0, VT_BSTR); FAILED(hr))
        ov::RaiseInvocationError(hr, nullptr, GetStringConversion);
    text = ov::Bstr::Adopt(std::exchange(value.bstrVal, nullptr));
    value.vt = VT_EMPTY;
}

CovDispDriver CovDispDriver::GetPropertyObject(DISPID id) const {
    ov::Variant value = Invoke(id, DISPATCH_PROPERTYGET, nullptr, 0, GetObjectCall);
    CovDispDriver result;
    result.AttachVariant(value);
    return result;
}

ov::Variant CovDispDriver::GetProperty(DISPID id) const {
    return Invoke(id, DISPATCH_PROPERTYGET, nullptr, 0, GetCall);
}

void CovDispDriver::SetProperty(DISPID id, const VARIANT& value) const {
    const VARIANT* args[] = {&value};
    Invoke(id, DISPATCH_PROPERTYPUT, args, 1, SetCall, false);
}

void CovDispDriver::SetPropertyString(DISPID id, std::wstring_view text) const {
    SetProperty(id, ov::Variant::String(text));
}

void CovDispDriver::SetPropertyInt(DISPID id, LONG value) const {
    SetProperty(id, ov::Variant::Int(value));
}

void CovDispDriver::SetPropertyBool(DISPID id, int value) const {
    SetProperty(id, ov::Variant::Bool(value != 0));
}

void CovDispDriver::SetPropertyDouble(DISPID id, double value) const {
    SetProperty(id, ov::Variant::Double(value));
}

ov::Variant CovDispDriver::CallMethod(DISPID id) const {
    return Invoke(id, DISPATCH_METHOD, nullptr, 0, Method0Call);
}

ov::Variant CovDispDriver::CallMethod(DISPID id, const VARIANT& first) const {
    const VARIANT* args[] = {&first};
    return Invoke(id, DISPATCH_METHOD, args, 1, Method1Call);
}

ov::Variant CovDispDriver::CallMethod(DISPID id, const VARIANT& first, const VARIANT& second) const {
    const VARIANT* args[] = {&first, &second};
    return Invoke(id, DISPATCH_METHOD, args, 2, Method2Call);
}

ov::Variant CovDispDriver::CallMethod(DISPID id, const VARIANT& first, const VARIANT& second,
                                      const VARIANT& third, const VARIANT& fourth,
                                      const VARIANT& fifth) const {
    const VARIANT* args[] = {&first, &second, &third, &fourth, &fifth};
    return Invoke(id, DISPATCH_METHOD, args, 5, Method5Call);
}

namespace ov {

CovDispDriver GetObjectByName(const CovDispDriver& object, const wchar_t* member) {
    return object.GetPropertyObject(object.GetIDOfName(member));
}

namespace {

// The native object extender of a host object (null when it has none).
ComPtr<IovObject> NativeExtender(IUnknown* hostObject) {
    auto host = QueryAs<IovHostObject>(hostObject);
    if (!host) RaiseInvocationError();
    ComPtr<IUnknown> extender;
    VARIANT_BOOL found = VARIANT_FALSE;
    if (FAILED(host->GetExtender(&__uuidof(IovObject), extender.Put(), &found)) || found == VARIANT_FALSE)
        return nullptr;
    return extender.As<IovObject>();
}

CovDispDriver DriverOver(IovObject* extender) {
    ComPtr<IDispatch> native;
    if (FAILED(extender->GetNativeObject(native.Put()))) native.Reset();
    return CovDispDriver(native.Get());
}

// A method's answer as a boolean; an answer that is no boolean means "not the same".
bool IsTrue(Variant answer) {
    if (FAILED(VariantChangeType(&answer, &answer, 0, VT_BOOL))) return false;
    return answer.boolVal != VARIANT_FALSE;
}

} // namespace

CovDispDriver GetNativeObjectDriver(IUnknown* hostObject) {
    ComPtr<IovObject> extender = NativeExtender(hostObject);
    return extender ? DriverOver(extender.Get()) : CovDispDriver();
}

bool IsSameNativeObject(IUnknown* hostObject, const VARIANT& other) {
    ComPtr<IovObject> extender = NativeExtender(hostObject);
    if (!extender) return false;
    CovDispDriver native = DriverOver(extender.Get());
    Bstr kind;
    // An extender that cannot name its kind is as broken as a missing interface.
    if (FAILED(extender->GetNativeKind(kind.Put()))) RaiseInvocationError();

    const std::wstring_view name = kind.View();
    if (name == L"NativeClrObject") {
        DISPID id = native.GetIDOfName(L"ReferenceEquals");
        return IsTrue(native.CallMethod(id, Variant::Dispatch(native.Get()), other));
    }
    if (name == L"NativeJavaObject") return IsTrue(native.CallMethod(native.GetIDOfName(L"equals"), other));
    if (name == L"NativeDelphiObject" || name == L"NativeQtObject") {
        CovDispDriver second;
        second.AttachVariant(other);
        if (DISPID isEqual; second.HasMember(L"IsEqual", &isEqual))
            return IsTrue(second.CallMethod(isEqual, Variant::Unknown(native.Get())));
        LONG mine = native.GetPropertyInt(native.GetIDOfName(L"InstancePtr"));
        return mine == second.GetPropertyInt(second.GetIDOfName(L"InstancePtr"));
    }
    return false;
}

Bstr GetClrFullClassName(const CovDispDriver& object) {
    return object.GetPropertyString(object.GetIDOfName(L"ClrFullClassName"));
}

} // namespace ov
