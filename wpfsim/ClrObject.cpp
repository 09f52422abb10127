#include "ClrObject.h"

#include "ClrValue.h"

#include "com/StandInClock.h"

#include <algorithm>
#include <new>

namespace wpfsim {

long LiveObjects() noexcept {
    return SimObject::LiveCounter::Get();
}

// --- counting ---------------------------------------------------------------------------------------

void CallCounter::CountLookup(std::wstring_view name, bool throughInterface) {
    for (CallCount* c : {&byName_[std::wstring(name)], &total_}) {
        ++c->lookups;
        if (throughInterface) ++c->interfaceLookups;
    }
}

void CallCounter::CountInvoke(std::wstring_view name) {
    if (!name.empty()) ++byName_[std::wstring(name)].invokes;
    ++total_.invokes;
}

CallCount CallCounter::Of(std::wstring_view name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? CallCount{} : it->second;
}

void CallCounter::Reset() noexcept {
    byName_.clear();
    total_ = {};
}

void Runtime::ThrowAtInvoke(long k, ClrException exception) {
    throwAt_ = k;
    stopAt_ = false;
    sinceArmed_ = 0;
    thrown_ = std::move(exception);
    thrownBy_.clear();
}

void Runtime::StopRespondingAtInvoke(long k) {
    ThrowAtInvoke(k, {});
    stopAt_ = true;
}

const ClrException* Runtime::InvokeThrows(std::wstring_view member) {
    if (++sinceArmed_ != throwAt_) return nullptr;
    thrownBy_ = member;
    if (!stopAt_) return &thrown_;
    failure_ = NotRespondingResult;
    return nullptr;
}

DISPID Runtime::NextDispId() {
    // One sequence per application: a DISPID names one member of one object for the application's life.
    if (nextDispId_ == 0x7fffffff) throw ov::ComError(E_OUTOFMEMORY);
    return nextDispId_++;
}

namespace {

// .NET reference equality of two arguments. Our objects compare as the objects behind the proxies;
// null (empty, VT_NULL, a null pointer) equals null; foreign objects compare by COM identity; any other
// value would be boxed afresh and so equals nothing.
bool SameReference(const VARIANT& a, const VARIANT& b) {
    auto reference = [](const VARIANT& v, bool& isReference) -> ov::ComPtr<IUnknown> {
        isReference = true;
        switch (v.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return nullptr;
        case VT_DISPATCH:
        case VT_UNKNOWN: {
            IUnknown* p = v.vt == VT_DISPATCH ? v.pdispVal : v.punkVal;
            if (ov::ComPtr<ClrObject> o = ObjectOf(p))
                return ov::ComPtr<IUnknown>(static_cast<IUnknown*>(o.Get()));
            return ov::QueryAs<IUnknown>(p);
        }
        default:
            isReference = false;
            return nullptr;
        }
    };
    bool refA = false, refB = false;
    ov::ComPtr<IUnknown> x = reference(a, refA), y = reference(b, refB);
    return refA && refB && x == y;
}

// System.Object.GetType(): a new type object each call, carrying what callers read of a System.Type.
ov::Variant TypeObject(const std::shared_ptr<Runtime>& runtime, const std::wstring& className) {
    static const wchar_t* const primitives[] = {
        L"System.Boolean", L"System.Byte",   L"System.SByte",  L"System.Int16",  L"System.UInt16",
        L"System.Int32",   L"System.UInt32", L"System.Int64",  L"System.UInt64", L"System.IntPtr",
        L"System.UIntPtr", L"System.Char",   L"System.Double", L"System.Single"};
    const bool primitive = std::any_of(std::begin(primitives), std::end(primitives),
                                       [&](const wchar_t* name) { return className == name; });
    auto type = ov::Create<ClrObject>(runtime, L"System.RuntimeType");
    ClrObject* self = type.Get();
    type->AddProperty(L"FullName", [self, className] { return self->Str(className); });
    type->AddProperty(L"Name",
                      [self, className] { return self->Str(className.substr(className.rfind(L'.') + 1)); });
    type->AddProperty(L"IsPrimitive", [primitive] { return ov::Variant::Bool(primitive); });
    return ClrObject::Obj(type.Get());
}

} // namespace

void Runtime::SetSimulatedCallCost(double microseconds) noexcept {
    callCostTicks_ =
        microseconds > 0
            ? static_cast<LONGLONG>(microseconds * 1e-6 * static_cast<double>(ov::StandInClock::Frequency()))
            : 0;
}

void Runtime::SpendCallCost() const noexcept {
    if (callCostTicks_ <= 0) return;
    // A busy wait: a sleep is far coarser than one call.
    const LONGLONG until = ov::StandInClock::Now() + callCostTicks_;
    while (ov::StandInClock::Now() < until) {
    }
}

// --- the object -------------------------------------------------------------------------------------

ClrObject::ClrObject(std::shared_ptr<Runtime> runtime, std::wstring className)
    : runtime_(std::move(runtime)), className_(std::move(className)),
      answersLookup_(runtime_->memberLookupDefault) {
    AddProperty(L"ClrFullClassName", [this] { return Str(className_); });
    // System.Object's statics and virtuals, which the bridge exposes on every object.
    AddMethod(L"ReferenceEquals", 2,
              [](const Args& a) { return ov::Variant::Bool(SameReference(a[0], a[1])); });
    AddMethod(L"Equals", 1, [this](const Args& a) {
        return ov::Variant::Bool(SameReference(a[0], ov::Variant::Dispatch(NewDispatch().Get())));
    });
    AddMethod(L"ToString", 0, [this](const Args&) { return Str(className_); });
    AddMethod(L"GetType", 0, [this](const Args&) { return TypeObject(runtime_, className_); });
}

ClrObject::~ClrObject() = default;

ClrObject::Member& ClrObject::Slot(std::wstring name) {
    auto it = std::find_if(members_.begin(), members_.end(), [&](const auto& m) { return m->name == name; });
    // A replaced member may be running: it lives on in that Invoke, the new one takes its DISPID.
    auto m = std::make_shared<Member>();
    m->name = std::move(name);
    if (it != members_.end()) {
        m->id = (*it)->id;
        *it = m;
    } else {
        m->id = runtime_->NextDispId();
        members_.push_back(m);
    }
    return *m;
}

void ClrObject::AddProperty(std::wstring name, Getter get, Setter put) {
    Member& m = Slot(std::move(name));
    m.get = std::move(get);
    m.put = std::move(put);
}

void ClrObject::AddByRefProperty(std::wstring name, Getter get, ByRef how) {
    Member& m = Slot(std::move(name));
    m.get = std::move(get);
    m.byRef = true;
    m.byRefHow = how;
}

void ClrObject::AddMethod(std::wstring name, int argCount, Method call) {
    Member& m = Slot(std::move(name));
    m.call = std::move(call);
    m.argCount = argCount;
}

void ClrObject::RemoveMember(std::wstring_view name) {
    std::erase_if(members_, [&](const auto& m) { return m->name == name; });
}

bool ClrObject::HasMember(std::wstring_view name) const {
    return std::any_of(members_.begin(), members_.end(), [&](const auto& m) { return m->name == name; });
}

void ClrObject::ThrowOn(std::wstring member, ClrException exception) {
    faults_.insert_or_assign(std::move(member), std::move(exception));
}

void ClrObject::ClearThrowOn(std::wstring_view member) {
    if (auto it = faults_.find(member); it != faults_.end()) faults_.erase(it);
}

void ClrObject::DropMembers() noexcept {
    // Moved out first: destroying a member may release the last proxy of another object.
    auto doomed = std::move(members_);
    members_.clear();
    faults_.clear();
}

std::shared_ptr<ClrObject::Member> ClrObject::FindByName(std::wstring_view name) const {
    auto it = std::find_if(members_.begin(), members_.end(), [&](const auto& m) { return m->name == name; });
    return it == members_.end() ? nullptr : *it;
}

std::shared_ptr<ClrObject::Member> ClrObject::FindById(DISPID id) const {
    auto it = std::find_if(members_.begin(), members_.end(), [&](const auto& m) { return m->id == id; });
    return it == members_.end() ? nullptr : *it;
}

ov::Variant ClrObject::Str(std::wstring_view text) const {
    if (!runtime_->stringsAsObjects) return ov::Variant::String(text);
    return Box(runtime_, L"System.String", ov::Variant::String(text));
}

ov::Variant ClrObject::Obj(ClrObject* object) {
    if (!object) return ov::Variant::Dispatch(nullptr);
    ov::ComPtr<IDispatch> d = object->NewDispatch();
    return ov::Variant::Dispatch(d.Get());
}

// --- the IDispatch side -----------------------------------------------------------------------------

HRESULT ClrObject::LookupMembers(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids,
                                 bool throughInterface) {
    const ov::StandInScope timed(ov::StandIn::App);
    runtime_->SpendCallCost();
    if (!names || !ids || count == 0) return E_INVALIDARG;
    std::wstring_view name = names[0] ? std::wstring_view(names[0]) : std::wstring_view();
    try {
        calls_.CountLookup(name, throughInterface);
        runtime_->calls.CountLookup(name, throughInterface);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (HRESULT hr = runtime_->CallResult(); FAILED(hr)) return hr;
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    // A lookup is a call too: it reaches the application's dispatcher (the caller's pause is measured from
    // it).
    try {
        if (runtime_->settle) runtime_->settle();
    } catch (...) {
        return ov::HResultOfCurrentException();
    }
    std::fill(ids, ids + count, DISPID_UNKNOWN);
    auto it = std::find_if(members_.begin(), members_.end(), [&](const auto& m) { return m->name == name; });
    if (it == members_.end()) return DISP_E_UNKNOWNNAME;
    ids[0] = (*it)->id;
    // .NET members are called positionally: no parameter name is ever known.
    return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

namespace {

// Follows VT_BYREF; VariantCopyInd also follows a VT_BYREF|VT_VARIANT to a by-reference value inside.
ov::Variant Dereferenced(const VARIANT& arg) {
    ov::Variant v;
    ov::ThrowIfFailed(VariantCopyInd(&v, const_cast<VARIANT*>(&arg)));
    return v;
}

void Fill(EXCEPINFO* excep, const ClrException& e) {
    if (!excep) return;
    *excep = EXCEPINFO{};
    excep->wCode = e.code;
    excep->scode = e.scode;
    excep->bstrSource = SysAllocStringLen(e.source.data(), static_cast<UINT>(e.source.size()));
    excep->bstrDescription = SysAllocStringLen(e.description.data(), static_cast<UINT>(e.description.size()));
}

} // namespace

ov::Variant ClrObject::Run(Member& m, WORD flags, DISPPARAMS& params) {
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    UINT named = params.cNamedArgs;
    if (put && named == 1 && params.rgdispidNamedArgs && params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT)
        named = 0;
    if (named != 0) throw ov::ComError(DISP_E_NONAMEDARGS);
    if (params.cArgs > 0 && !params.rgvarg) throw ov::ComError(E_INVALIDARG);

    Args args;
    args.reserve(params.cArgs);
    for (UINT i = params.cArgs; i-- > 0;)
        args.push_back(Dereferenced(params.rgvarg[i]));

    if (put) {
        if (!m.put) throw ov::ComError(DISP_E_MEMBERNOTFOUND);
        if (args.size() != 1) throw ov::ComError(DISP_E_BADPARAMCOUNT);
        m.put(args[0]);
        return {};
    }
    if ((flags & DISPATCH_PROPERTYGET) && m.get) {
        if (!args.empty()) throw ov::ComError(DISP_E_BADPARAMCOUNT);
        ov::Variant value = m.get();
        if (!m.byRef) return value;
        m.slot = std::move(value);
        ov::Variant ref;
        if (m.byRefHow == ByRef::Typed && m.slot.vt != VT_EMPTY && m.slot.vt != VT_NULL) {
            ref.vt = static_cast<VARTYPE>(m.slot.vt | VT_BYREF);
            ref.byref = &m.slot.llVal; // every payload starts at the union's first byte
        } else {
            ref.vt = VT_BYREF | VT_VARIANT;
            ref.pvarVal = &m.slot;
        }
        return ref;
    }
    if ((flags & DISPATCH_METHOD) && m.call) {
        if (m.argCount != AnyArgCount && args.size() != static_cast<size_t>(m.argCount))
            throw ov::ComError(DISP_E_BADPARAMCOUNT);
        return m.call(args);
    }
    throw ov::ComError(DISP_E_MEMBERNOTFOUND);
}

HRESULT ClrObject::InvokeMember(DISPID id, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* excep) {
    const ov::StandInScope timed(ov::StandIn::App);
    runtime_->SpendCallCost();
    // Keeps the object alive while a body runs (a body may drop the last outside reference).
    ov::ComPtr<ClrObject> self(this);
    std::shared_ptr<Member> m =
        id == DISPID_VALUE && !defaultMember_.empty() ? FindByName(defaultMember_) : FindById(id);
    try {
        calls_.CountInvoke(m ? std::wstring_view(m->name) : std::wstring_view());
        runtime_->calls.CountInvoke(m ? std::wstring_view(m->name) : std::wstring_view());
        if (HRESULT hr = runtime_->CallResult(); FAILED(hr)) return hr;
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (!m) return DISP_E_MEMBERNOTFOUND;
        // The dispatcher's turn before the call (Application::Settle): the layout catches up with what
        // changed, at once or after a pause of the caller.
        if (runtime_->settle) runtime_->settle();
        if (!params) return E_INVALIDARG;
        if (auto fault = faults_.find(m->name); fault != faults_.end()) {
            Fill(excep, fault->second);
            return DISP_E_EXCEPTION;
        }
        if (const ClrException* thrown = runtime_->InvokeThrows(m->name)) {
            Fill(excep, *thrown);
            return DISP_E_EXCEPTION;
        }
        if (HRESULT hr = runtime_->CallResult(); FAILED(hr)) return hr;
        ov::Variant value = Run(*m, flags, *params);
        if (result) value.MoveTo(result);
        return S_OK;
    } catch (const ClrException& e) {
        Fill(excep, e);
        return DISP_E_EXCEPTION;
    } catch (...) {
        return ov::HResultOfCurrentException();
    }
}

// --- argument readers -------------------------------------------------------------------------------

ov::ComPtr<ClrObject> ObjectOf(const VARIANT& v) {
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return nullptr;
    case VT_DISPATCH:
        return ObjectOf(v.pdispVal);
    case VT_UNKNOWN:
        return ObjectOf(v.punkVal);
    default:
        throw ov::ComError(DISP_E_TYPEMISMATCH);
    }
}

namespace {

// The plain value of an argument: a boxed value of ours gives what it boxes.
ov::Variant Unboxed(const VARIANT& v) {
    if (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) {
        if (auto* boxed = dynamic_cast<ClrValue*>(ObjectOf(v).Get())) return ov::Variant(boxed->Value());
        throw ov::ComError(DISP_E_TYPEMISMATCH);
    }
    return ov::Variant(v);
}

ov::Variant Converted(const VARIANT& v, VARTYPE vt) {
    ov::Variant r = Unboxed(v);
    if (FAILED(VariantChangeType(&r, &r, 0, vt))) throw ov::ComError(DISP_E_TYPEMISMATCH);
    return r;
}

} // namespace

std::wstring TextOf(const VARIANT& v) {
    ov::Variant r = Converted(v, VT_BSTR);
    return r.bstrVal ? std::wstring(r.bstrVal, SysStringLen(r.bstrVal)) : std::wstring();
}

bool BoolOf(const VARIANT& v) {
    return Converted(v, VT_BOOL).boolVal != VARIANT_FALSE;
}
LONG IntOf(const VARIANT& v) {
    return Converted(v, VT_I4).lVal;
}
double DoubleOf(const VARIANT& v) {
    return Converted(v, VT_R8).dblVal;
}

} // namespace wpfsim
