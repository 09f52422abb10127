// The .NET objects of the simulated application. A ClrObject holds a class name and a member table;
// callers reach it only through IDispatch proxies (Proxy.h), as the host's bridge hands out native CLR
// objects. Conventions every caller can rely on:
//
// - Names are .NET names and are matched case-sensitively ("IsEnabled" is found, "isEnabled" is not;
//   DISP_E_UNKNOWNNAME). Names after the first in GetIDsOfNames (parameter names) are never known.
// - DISPIDs are per object: two objects never share a DISPID, so a DISPID looked up on one object and
//   used on another fails with DISP_E_MEMBERNOTFOUND.
// - A property answers any Invoke whose flags hold DISPATCH_PROPERTYGET (get) or DISPATCH_PROPERTYPUT /
//   PUTREF (put, exactly one argument; the named argument DISPID_PROPERTYPUT is accepted, not required).
//   A method answers flags holding DISPATCH_METHOD. Anything else: DISP_E_MEMBERNOTFOUND. Internal
//   getters ("get_Parent", ...) are properties; internal methods ("get_Item", ...) are methods.
// - Arguments arrive in call order (rgvarg reversed); VT_BYREF arguments are dereferenced (nested
//   VT_BYREF|VT_VARIANT too). Named arguments other than DISPID_PROPERTYPUT: DISP_E_NONAMEDARGS. A wrong
//   argument count: DISP_E_BADPARAMCOUNT; an argument of the wrong type: DISP_E_TYPEMISMATCH.
// - A member that throws ClrException makes Invoke return DISP_E_EXCEPTION with EXCEPINFO filled from
//   it (source, wCode, description, scode exactly as given).
// - While the application does not respond, every lookup and Invoke fails with the application's
//   failure result (NotRespondingResult unless chosen otherwise); once it has exited, with
//   ExitedResult. Calls are counted before that check: a refused call still counts.
// - Every object has System.Object's "GetType"(): a new System.RuntimeType object with "FullName", "Name"
//   and "IsPrimitive" (true for the boxed primitive types: Boolean, Byte, SByte, Int16, UInt16, Int32,
//   UInt32, Int64, UInt64, IntPtr, UIntPtr, Char, Double, Single).
// - Not thread-safe: one apartment thread drives the application and its objects.
#pragma once

#include "com/ComObject.h"
#include "com/OleTypes.h"
#include "com/StandInClock.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace wpfsim {

struct SimTag;
// Every COM object of the simulation counts here, apart from the module's count.
class SimObject {
public:
    using LiveCounter = ov::LiveCount<SimTag>;
    using CallScope = ov::StandInCallScope<ov::StandIn::App>;
};
long LiveObjects() noexcept;

// What every call fails with while the application does not respond (the caller may retry later).
inline constexpr HRESULT NotRespondingResult = RPC_E_SERVERCALL_RETRYLATER;
// What every call fails with once the application has exited (its objects outlived it).
inline constexpr HRESULT ExitedResult = RPC_E_DISCONNECTED;

struct CallCount {
    long lookups = 0;          // by either path
    long interfaceLookups = 0; // those made through the member-lookup interface
    long invokes = 0;
    long Total() const noexcept { return lookups + invokes; }
    friend bool operator==(const CallCount&, const CallCount&) = default;
};

// Counts per member name and in total. Lookups of unknown names count under the asked name; an Invoke
// of an unknown DISPID counts in the total only.
class CallCounter {
public:
    void CountLookup(std::wstring_view name, bool throughInterface);
    void CountInvoke(std::wstring_view name);
    CallCount Of(std::wstring_view name) const;
    CallCount Total() const noexcept { return total_; }
    void Reset() noexcept;

private:
    std::map<std::wstring, CallCount, std::less<>> byName_;
    CallCount total_;
};

// A .NET exception thrown by a member: reaches the caller as DISP_E_EXCEPTION with this EXCEPINFO.
// OLE wants exactly one of code and scode non-zero; the simulation hands over what it is given.
struct ClrException {
    std::wstring source;
    WORD code = 0;
    std::wstring description;
    SCODE scode = 0;
};

// The state that all objects of one application share; it outlives the Application so that objects
// still held by callers fail cleanly after the application is gone.
class Runtime {
public:
    // S_OK while calls are answered, else what they fail with.
    HRESULT CallResult() const noexcept { return exited_ ? ExitedResult : failure_; }
    void SetFailure(HRESULT hr) noexcept { failure_ = hr; }
    void MarkExited() noexcept { exited_ = true; }
    bool Exited() const noexcept { return exited_; }

    bool stringsAsObjects = true;
    bool memberLookupDefault = true;
    CallCounter calls;
    // Run at every lookup and member call: the application's dispatcher (Application::Settle; set while the
    // application lives).
    std::function<void()> settle;

    // Fault: the k-th Invoke of a member from now on (1 = the next one) throws the .NET exception, once;
    // the Invokes since are counted apart, so that k = 0 measures a run without throwing.
    void ThrowAtInvoke(long k, ClrException exception);
    // Fault: the application stops responding at the k-th Invoke from now on (it and every later call
    // fail with NotRespondingResult until Resume), as a busy application rejects calls.
    void StopRespondingAtInvoke(long k);
    void ClearThrowAtInvoke() noexcept { throwAt_ = 0; }
    long InvokesSinceArmed() const noexcept { return sinceArmed_; }
    // The member that threw by ThrowAtInvoke since it was armed ("" when none did).
    const std::wstring& ThrownBy() const noexcept { return thrownBy_; }
    // Counts an Invoke of the member; the exception it must throw when it is the one chosen.
    const ClrException* InvokeThrows(std::wstring_view member);

    // The DISPID of a new member: never handed out twice in the application's life.
    DISPID NextDispId();

    // What a call into another process costs on top of the simulation's own work: every lookup and Invoke
    // waits (busy) this long. 0, the default, adds nothing; benchmarks set it.
    void SetSimulatedCallCost(double microseconds) noexcept;
    // Spends the simulated cost of one call.
    void SpendCallCost() const noexcept;

private:
    HRESULT failure_ = S_OK;
    bool exited_ = false;
    long throwAt_ = 0, sinceArmed_ = 0;
    bool stopAt_ = false;
    ClrException thrown_;
    std::wstring thrownBy_;
    LONGLONG callCostTicks_ = 0;
    DISPID nextDispId_ = 1;
};

// Arguments in call order, dereferenced.
using Args = std::vector<ov::Variant>;
using Getter = std::function<ov::Variant()>;
using Setter = std::function<void(const VARIANT&)>;
using Method = std::function<ov::Variant(const Args&)>;
inline constexpr int AnyArgCount = -1;

// How a by-reference property hands out its value, which the object keeps alive (until the next read
// of the same property): as VT_BYREF|VT_VARIANT, or as VT_BYREF combined with the value's own type.
enum class ByRef { Variant, Typed };

class ClrObject : public SimObject, public IUnknown {
public:
    using Interfaces = ov::Interfaces<IUnknown>;

    ClrObject(std::shared_ptr<Runtime> runtime, std::wstring className);
    virtual ~ClrObject();
    ClrObject(const ClrObject&) = delete;
    ClrObject& operator=(const ClrObject&) = delete;

    const std::wstring& ClassName() const noexcept { return className_; }
    Runtime& GetRuntime() const noexcept { return *runtime_; }
    const std::shared_ptr<Runtime>& SharedRuntime() const noexcept { return runtime_; }

    // The member table. Adding a name that exists replaces the member and keeps its DISPID.
    void AddProperty(std::wstring name, Getter get, Setter put = {});
    void AddByRefProperty(std::wstring name, Getter get, ByRef how = ByRef::Variant);
    void AddMethod(std::wstring name, int argCount, Method call);
    void RemoveMember(std::wstring_view name);
    bool HasMember(std::wstring_view name) const;

    // Fault injection: every Invoke of the member throws the .NET exception until cleared.
    void ThrowOn(std::wstring member, ClrException exception);
    void ClearThrowOn(std::wstring_view member);

    // Whether the proxies answer the host's member-lookup interface (default: the application's choice).
    void SetAnswersMemberLookup(bool answers) noexcept { answersLookup_ = answers; }
    bool AnswersMemberLookup() const noexcept { return answersLookup_; }

    // The member that answers DISPID_VALUE, the bridge's default value (what VariantChangeType reads from
    // an object); none by default. Boxed values name their "OleValue".
    void SetDefaultMember(std::wstring name) { defaultMember_ = std::move(name); }

    CallCount Calls() const noexcept { return calls_.Total(); }
    CallCount Calls(std::wstring_view member) const { return calls_.Of(member); }
    void ResetCalls() noexcept { calls_.Reset(); }

    // A new IDispatch over this object: every object value handed out is a distinct proxy.
    ov::ComPtr<IDispatch> NewDispatch();

    // Values for member bodies: a .NET string as the application hands strings (an object with
    // "OleValue" or a plain BSTR); an object reference (a new proxy, or a null object).
    ov::Variant Str(std::wstring_view text) const;
    static ov::Variant Obj(ClrObject* object);

    // The IDispatch side, called by the proxies.
    HRESULT LookupMembers(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids, bool throughInterface);
    HRESULT InvokeMember(DISPID id, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                         EXCEPINFO* excep);

protected:
    // Empties the member table (and the by-reference slots), releasing whatever the members hold.
    void DropMembers() noexcept;

private:
    struct Member {
        std::wstring name;
        DISPID id = DISPID_UNKNOWN;
        Getter get;
        Setter put;
        Method call;
        int argCount = 0;
        bool byRef = false;
        ByRef byRefHow = ByRef::Variant;
        ov::Variant slot; // the value a by-reference property points at
    };

    Member& Slot(std::wstring name);
    std::shared_ptr<Member> FindById(DISPID id) const;
    std::shared_ptr<Member> FindByName(std::wstring_view name) const;
    ov::Variant Run(Member& member, WORD flags, DISPPARAMS& params);

    std::shared_ptr<Runtime> runtime_;
    std::wstring className_;
    bool answersLookup_;
    std::vector<std::shared_ptr<Member>> members_;
    std::map<std::wstring, ClrException, std::less<>> faults_;
    std::wstring defaultMember_;
    CallCounter calls_;
};

// The simulated object behind an IDispatch that one of our proxies hands out; null for foreign objects.
ov::ComPtr<ClrObject> ObjectOf(IUnknown* p) noexcept;
// The same for an argument: VT_DISPATCH or VT_UNKNOWN (null, empty: null); other types: DISP_E_TYPEMISMATCH.
ov::ComPtr<ClrObject> ObjectOf(const VARIANT& v);

// Argument readers for member bodies; they throw ov::ComError(DISP_E_TYPEMISMATCH) when the value does
// not convert. TextOf accepts a BSTR, a .NET string object (its "OleValue") and whatever converts.
std::wstring TextOf(const VARIANT& v);
bool BoolOf(const VARIANT& v);
LONG IntOf(const VARIANT& v);
double DoubleOf(const VARIANT& v);

} // namespace wpfsim
