// Every member of every automation object, every argument: the application (the scripts' one) holds every
// kind that has a wrapper, each wrapper is made as a script gets it (App.Find through the loaded module), its
// members are read from its type information (no list of our own), and each is called through
// IDispatch::Invoke with each argument in turn replaced by each value of a fixed table, by value and by
// reference, with too few and too many arguments, named arguments and the other invoke kinds. Every call must
// answer within 2 seconds with a result that is cleared or valid and no C++ exception; at the end nothing of
// the run may outlive it (the host's end-of-run count of handed-out objects, the host's and the application's
// live objects).
#include "Session.h"

#include "host/services/HostCom.h"
#include "wpfsim/ClrObject.h"
#include "wpfsim/Element.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <set>

namespace {

using reltest::LibraryMembers;
using reltest::MemberInfo;
using reltest::Narrow;
using reltest::Plain;
using reltest::Walk;

using Clock = std::chrono::steady_clock;

// An object of the kind a JScript array is: "length" and the indexes as properties.
class ArrayLike : public IDispatch {
public:
    using Interfaces = ov::Interfaces<IDispatch>;
    using LiveCounter = ov::LiveCount<struct ReliabilityTag>;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        const std::wstring name = names[0];
        ids[0] = name == L"length" ? 100 : name == L"0" ? 1 : name == L"1" ? 2 : DISPID_UNKNOWN;
        return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        if (!result) return S_OK;
        VariantInit(result);
        if (id == 100)
            *result = ov::Variant::Int(2).Detach();
        else if (id == 1 || id == 2)
            *result = ov::Variant::String(id == 1 ? L"Apple" : L"*").Detach();
        else
            return DISP_E_MEMBERNOTFOUND;
        return S_OK;
    }
};

SAFEARRAY* Array(VARTYPE type, UINT dims) {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    if (dims == 0) bounds[0].cElements = 0;
    SAFEARRAY* array = SafeArrayCreate(type, dims == 0 ? 1 : dims, bounds);
    if (type == VT_BSTR && dims > 0) {
        LONG at[2] = {0, 0};
        BSTR text = SysAllocString(L"Apple");
        SafeArrayPutElement(array, at, text);
        SysFreeString(text);
    }
    if (type == VT_VARIANT && dims > 0) {
        LONG at[2] = {1, 0};
        ov::Variant value = ov::Variant::Int(1);
        SafeArrayPutElement(array, at, &value);
    }
    return array;
}

// The table of argument values: each a VARIANT the caller owns (cleared after the call).
struct Value {
    const char* name;
    std::function<VARIANT()> make;
    bool huge = false; // a number far above any count a user asks for
};

std::vector<Value> Values() {
    auto of = [](VARTYPE vt, auto set) {
        return [vt, set] {
            VARIANT v;
            VariantInit(&v);
            v.vt = vt;
            set(v);
            return v;
        };
    };
    std::vector<Value> values = {
        {"empty", of(VT_EMPTY, [](VARIANT&) {})},
        {"null", of(VT_NULL, [](VARIANT&) {})},
        {"missing", of(VT_ERROR, [](VARIANT& v) { v.scode = DISP_E_PARAMNOTFOUND; })},
        {"i1 min", of(VT_I1, [](VARIANT& v) { v.cVal = CHAR_MIN; })},
        {"ui1 max", of(VT_UI1, [](VARIANT& v) { v.bVal = 255; })},
        {"i2 min", of(VT_I2, [](VARIANT& v) { v.iVal = SHRT_MIN; })},
        {"ui2 max", of(VT_UI2, [](VARIANT& v) { v.uiVal = USHRT_MAX; })},
        {"i4 min", of(VT_I4, [](VARIANT& v) { v.lVal = LONG_MIN; })},
        {"i4 max", of(VT_I4, [](VARIANT& v) { v.lVal = LONG_MAX; })},
        {"i4 -1", of(VT_I4, [](VARIANT& v) { v.lVal = -1; })},
        {"ui4 max", of(VT_UI4, [](VARIANT& v) { v.ulVal = ULONG_MAX; })},
        {"i8 min", of(VT_I8, [](VARIANT& v) { v.llVal = LLONG_MIN; })},
        {"ui8 max", of(VT_UI8, [](VARIANT& v) { v.ullVal = ULLONG_MAX; })},
        {"int max", of(VT_INT, [](VARIANT& v) { v.intVal = INT_MAX; })},
        {"uint max", of(VT_UINT, [](VARIANT& v) { v.uintVal = UINT_MAX; })},
        {"r4 max", of(VT_R4, [](VARIANT& v) { v.fltVal = std::numeric_limits<float>::max(); })},
        {"r8 nan", of(VT_R8, [](VARIANT& v) { v.dblVal = std::numeric_limits<double>::quiet_NaN(); })},
        {"r8 +inf", of(VT_R8, [](VARIANT& v) { v.dblVal = std::numeric_limits<double>::infinity(); })},
        {"r8 -inf", of(VT_R8, [](VARIANT& v) { v.dblVal = -std::numeric_limits<double>::infinity(); })},
        {"r8 -0", of(VT_R8, [](VARIANT& v) { v.dblVal = -0.0; })},
        {"r8 1e300", of(VT_R8, [](VARIANT& v) { v.dblVal = 1e300; })},
        {"bool true", of(VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_TRUE; })},
        {"bool 1", of(VT_BOOL, [](VARIANT& v) { v.boolVal = 1; })},
        {"date", of(VT_DATE, [](VARIANT& v) { v.date = 45000.5; })},
        {"cy", of(VT_CY, [](VARIANT& v) { v.cyVal.int64 = LLONG_MAX; })},
        {"decimal", [] {
             VARIANT v;
             VariantInit(&v);
             v.decVal.Hi32 = ULONG_MAX;
             v.decVal.Lo64 = ULLONG_MAX;
             v.decVal.scale = 28;
             v.vt = VT_DECIMAL;
             return v;
         }},
        {"null bstr", of(VT_BSTR, [](VARIANT& v) { v.bstrVal = nullptr; })},
        {"empty bstr", of(VT_BSTR, [](VARIANT& v) { v.bstrVal = SysAllocString(L""); })},
        {"1 MB bstr", of(VT_BSTR, [](VARIANT& v) { v.bstrVal = SysAllocStringLen(nullptr, 1 << 20);
                                                     for (UINT i = 0; i < (1u << 20); ++i) v.bstrVal[i] = L'*'; })},
        {"bstr with nul", of(VT_BSTR, [](VARIANT& v) { v.bstrVal = SysAllocStringLen(L"Ap\0ple", 6); })},
        {"lone surrogate", of(VT_BSTR, [](VARIANT& v) { v.bstrVal = SysAllocString(L"\xD800x"); })},
        {"wildcards", of(VT_BSTR, [](VARIANT& v) { v.bstrVal = SysAllocString(L"*?[|"); })},
        {"null dispatch", of(VT_DISPATCH, [](VARIANT& v) { v.pdispVal = nullptr; })},
        {"null unknown", of(VT_UNKNOWN, [](VARIANT& v) { v.punkVal = nullptr; })},
        {"array-like object", of(VT_DISPATCH, [](VARIANT& v) { v.pdispVal = ov::Create<ArrayLike>().Detach(); })},
        {"empty bstr array", of(VT_ARRAY | VT_BSTR, [](VARIANT& v) { v.parray = Array(VT_BSTR, 0); })},
        {"bstr array", of(VT_ARRAY | VT_BSTR, [](VARIANT& v) { v.parray = Array(VT_BSTR, 1); })},
        {"2-d bstr array", of(VT_ARRAY | VT_BSTR, [](VARIANT& v) { v.parray = Array(VT_BSTR, 2); })},
        {"variant array", of(VT_ARRAY | VT_VARIANT, [](VARIANT& v) { v.parray = Array(VT_VARIANT, 1); })},
        {"2-d variant array", of(VT_ARRAY | VT_VARIANT, [](VARIANT& v) { v.parray = Array(VT_VARIANT, 2); })},
        {"null array", of(VT_ARRAY | VT_VARIANT, [](VARIANT& v) { v.parray = nullptr; })},
    };
    for (Value& v : values)
        v.huge = std::set<std::string>{"ui2 max", "i4 max",  "ui4 max",  "ui8 max", "int max", "uint max",
                                       "r4 max",  "r8 +inf", "r8 1e300", "cy",      "decimal", "date"}
                     .count(v.name) != 0;
    return values;
}

// What a by-reference argument points at: kept alive for the call, cleared after.
struct ByRef {
    VARIANT target;
    VARIANT inner; // for a reference to a reference
    ByRef() {
        VariantInit(&target);
        VariantInit(&inner);
    }
    ~ByRef() {
        VariantClear(&target);
        VariantClear(&inner);
    }
};

// The argument as a VT_BYREF of its own type (a VARIANT* for those without a by-reference form).
VARIANT RefTo(ByRef& holder, VARIANT value, bool twice) {
    holder.target = value;
    VARIANT ref;
    VariantInit(&ref);
    if (twice) {
        // VT_BYREF|VT_VARIANT pointing at a by-reference VARIANT.
        holder.inner.vt = VT_BYREF | VT_VARIANT;
        holder.inner.pvarVal = &holder.target;
        ref.vt = VT_BYREF | VT_VARIANT;
        ref.pvarVal = &holder.inner;
        return ref;
    }
    if (value.vt == VT_EMPTY || value.vt == VT_NULL || value.vt == VT_ERROR || value.vt == VT_DECIMAL) {
        ref.vt = VT_BYREF | VT_VARIANT;
        ref.pvarVal = &holder.target;
        return ref;
    }
    ref.vt = VT_BYREF | value.vt;
    ref.byref = value.vt == VT_DECIMAL ? static_cast<void*>(&holder.target.decVal)
                                       : static_cast<void*>(&holder.target.lVal);
    return ref;
}

struct Tally {
    long calls = 0, slow = 0, thrown = 0, badResults = 0;
    std::vector<std::string> findings;
    void Finding(const std::string& what) {
        if (findings.size() < 40) findings.push_back(what);
    }
};

// One Invoke with the given arguments (in call order); the arguments are cleared afterwards.
void Call(IDispatch* object, const std::string& where, DISPID id, WORD flags, std::vector<VARIANT> args,
          Tally& tally, bool named = false) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT, other = 7;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if ((flags & DISPATCH_PROPERTYPUT) && !reversed.empty()) {
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
    } else if (named && !reversed.empty()) {
        params.rgdispidNamedArgs = &other;
        params.cNamedArgs = 1;
    }
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    UINT argErr = 0;
    const auto start = Clock::now();
    HRESULT hr = E_UNEXPECTED;
    try {
        hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &excep, &argErr);
    } catch (...) {
        ++tally.thrown;
        tally.Finding(where + ": a C++ exception left Invoke");
    }
    ++tally.calls;
    if (Clock::now() - start > std::chrono::seconds(2)) {
        ++tally.slow;
        tally.Finding(where + ": more than 2 seconds");
    }
    const bool cleared =
        result.vt == VT_EMPTY ||
        ((result.vt == VT_DISPATCH || result.vt == VT_UNKNOWN || result.vt == VT_BSTR) && !result.punkVal);
    if (FAILED(hr) && !cleared) {
        ++tally.badResults;
        tally.Finding(where + ": a failure with a result");
    }
    if (FAILED(VariantClear(&result))) {
        ++tally.badResults;
        tally.Finding(where + ": a result that cannot be cleared");
    }
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    for (VARIANT& arg : args)
        VariantClear(&arg);
}

TEST(MembersTest, EveryMemberOfEveryKindTakesEveryArgumentWithoutCrashHangOrLeak) {
    const long hostBaseline = ovhost::LiveObjects(), simBaseline = wpfsim::LiveObjects();
    Tally tally;
    size_t referenced = 0, objects = 0, members = 0;
    std::set<std::wstring> kinds;
    const std::vector<Value> values = Values();
    const std::vector<MemberInfo> library = LibraryMembers(ovtest::BinFolder() + L"\\ovWPFControlsHook.dll");
    ASSERT_GT(library.size(), 50u);
    {
        reltest::Session session;
        std::set<std::wstring> names;
        for (const wpfsim::Element* root : session.App().Roots())
            Walk(*root, names);
        // Then the objects that members hand out (scroll helpers, tree items, menus and menu items).
        std::vector<std::wstring> order(names.begin(), names.end());
        std::map<std::wstring, ov::ComPtr<IDispatch>> handedOut;
        for (const auto& [name, object] : session.Representatives(library))
            if (name.find('.') != std::string::npos) {
                order.emplace_back(name.begin(), name.end());
                handedOut[order.back()] = object;
            }
        for (const std::wstring& name : order) {
            // A new object for every element: a member may have changed its state.
            ov::ComPtr<IDispatch> object = handedOut.count(name) ? handedOut[name] : session.Find(name);
            if (!object) continue;
            ov::ComPtr<ITypeInfo> info;
            ASSERT_EQ(object->GetTypeInfo(0, 0, info.Put()), S_OK) << Narrow(name);
            ov::Bstr typeName;
            info->GetDocumentation(MEMBERID_NIL, typeName.Put(), nullptr, nullptr, nullptr);
            kinds.insert(std::wstring(typeName.View()));
            // The members of the library that the object answers, by the object's own DISPIDs.
            const std::vector<std::pair<const MemberInfo*, DISPID>> list =
                reltest::MembersOf(object.Get(), library);
            ++objects;
            members += list.size();
            for (const auto& [member, id] : list) {
                const MemberInfo& m = *member;
                const std::string where = Narrow(name) + "." + Narrow(m.name);
                const WORD flags = m.kind == INVOKE_FUNC          ? DISPATCH_METHOD
                                   : m.kind == INVOKE_PROPERTYGET ? DISPATCH_PROPERTYGET
                                                                  : DISPATCH_PROPERTYPUT;
                auto plain = [&] {
                    std::vector<VARIANT> args;
                    for (size_t p = 0; p < m.params.size(); ++p)
                        args.push_back(reltest::PlainArgument(m, p));
                    return args;
                };
                Call(object.Get(), where + " (plain)", id, flags, plain(), tally);
                for (size_t p = 0; p < m.params.size(); ++p)
                    for (const Value& v : values)
                        for (int form = 0; form < 3; ++form) {
                            // A count of clicks is done as asked, also two billion of them: the harness
                            // spares itself those (the members' own check of counts below 1 stays covered).
                            if (m.paramNames[p] == L"Count" && v.huge) continue;
                            std::vector<VARIANT> args = plain();
                            VariantClear(&args[p]);
                            ByRef holder;
                            args[p] = form == 0 ? v.make() : RefTo(holder, v.make(), form == 2);
                            Call(object.Get(),
                                 where + "(" + std::to_string(p) + ": " + v.name +
                                     (form == 1   ? " by ref"
                                      : form == 2 ? " by ref ref"
                                                  : "") +
                                     ")",
                                 id, flags, std::move(args), tally);
                        }
                // Too few and too many arguments, a named argument, the other invoke kinds.
                std::vector<VARIANT> more = plain();
                more.push_back(Plain(VT_I4));
                Call(object.Get(), where + " (one too many)", id, flags, std::move(more), tally);
                if (!m.params.empty()) {
                    std::vector<VARIANT> fewer = plain();
                    VariantClear(&fewer.back());
                    fewer.pop_back();
                    Call(object.Get(), where + " (one too few)", id, flags, std::move(fewer), tally);
                    Call(object.Get(), where + " (named)", id, flags, plain(), tally, true);
                }
                for (WORD other : {WORD(DISPATCH_METHOD), WORD(DISPATCH_PROPERTYGET),
                                   WORD(DISPATCH_PROPERTYPUT), WORD(DISPATCH_PROPERTYPUTREF)})
                    if (other != flags)
                        Call(object.Get(), where + " (other kind)", id, other, plain(), tally);
            }
            Call(object.Get(), Narrow(name) + " (unknown member)", 0x7fff, DISPATCH_METHOD, {}, tally);
        }
        handedOut.clear();
        referenced = session.End();
    }
    std::printf("[ members ] %zu objects of %zu kinds, %zu members, %ld calls; %ld slow, %ld C++ exceptions, "
                "%ld bad results; %zu objects still referenced, %ld host and %ld application objects left\n",
                objects, kinds.size(), members, tally.calls, tally.slow, tally.thrown, tally.badResults,
                referenced, ovhost::LiveObjects() - hostBaseline, wpfsim::LiveObjects() - simBaseline);
    for (const std::string& finding : tally.findings)
        ADD_FAILURE() << finding;
    EXPECT_GT(kinds.size(), 12u) << "every kind with a wrapper";
    EXPECT_EQ(referenced, 0u);
    EXPECT_EQ(ovhost::LiveObjects(), hostBaseline);
    EXPECT_EQ(wpfsim::LiveObjects(), simBaseline);
}

} // namespace
