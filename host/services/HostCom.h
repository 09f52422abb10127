// What every COM object of the host shares: its own live-object count, the count of calls per operation,
// the error information of failed host calls, the IDispatch of the host's dual interfaces and the
// reserved operations.
#pragma once

#include "com/ComObject.h"
#include "com/OleTypes.h"
#include "com/StandInClock.h"

#include "ovHostIntf.h"

#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <string_view>

namespace ovhost {

using LiveCounter = ov::LiveCount<struct HostTag>;
// Base of every COM object of the host: they count apart from the module's and the simulation's objects.
class HostObjectBase {
public:
    using LiveCounter = ovhost::LiveCounter;
    using CallScope = ov::StandInCallScope<ov::StandIn::Host>;
};
inline long LiveObjects() noexcept {
    return LiveCounter::Get();
}

// A failure of a host action as the host reports it: an HRESULT, and error information on the thread
// with this description and help context (source "OVHookX64").
struct HostError {
    HRESULT hr = E_FAIL;
    std::wstring description;
    DWORD helpContext = 0;
};

// Calls per operation, named "Interface::Operation" ("IovModuleManager::RegisterModule"). Only calls that
// arrive through the host's COM interfaces count; the host's own C++ accessors do not.
class CallCounter {
public:
    // Counts the call; the error it must fail with when it is the call chosen by FailCall.
    std::optional<HostError> Count(std::string_view operation);
    long Of(std::string_view operation) const;
    long Total() const;
    std::map<std::string, long, std::less<>> Snapshot() const;
    void Reset();

    // Fault: the k-th counted call from now on (1 = the next one) fails with the error, once. The calls
    // since are counted apart (CallsSinceArmed), so that k = 0 measures a run without failing anything.
    void FailCall(long k, HostError error);
    void ClearFault() noexcept;
    long CallsSinceArmed() const;
    // The operation that failed by FailCall since it was armed ("" when none did).
    std::string FailedOperation() const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, long, std::less<>> counts_;
    long total_ = 0;
    long failAt_ = 0, sinceArmed_ = 0;
    HostError fault_;
    std::string failed_;
};

// A counted call: the benchmark's clock runs until it ends. Injected() when it is the call chosen to
// fail; Fail() leaves that error on the thread and returns its HRESULT, before any out value is set.
class CountedCall {
public:
    // The clock runs from before the count: the host's bookkeeping is the host's time, not its caller's.
    CountedCall(ov::StandIn who, CallCounter& counter, std::string_view operation)
        : timed_(who), fault_(counter.Count(operation)) {}
    bool Injected() const noexcept { return fault_.has_value(); }
    HRESULT Fail() const;

private:
    ov::StandInScope timed_;
    std::optional<HostError> fault_;
};

// Every counted host operation begins with this: it counts, and fails when chosen to.
#define OVHOST_COUNTED(counting)                                                                             \
    const auto timed = counting;                                                                             \
    if (timed.Injected()) return timed.Fail()

namespace errors {
inline constexpr HRESULT ObjectGoneResult = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0201);
inline constexpr HRESULT NotRespondingResult = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0202);
inline constexpr HRESULT InvisibleResult = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0203);
inline constexpr HRESULT NotPlacedResult = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0204);
inline constexpr HRESULT NoElementResult = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0205);

HostError ObjectGone();
HostError NotResponding();
HostError Invisible();
HostError NotPlaced();
HostError NoElement(const GUID& id);
HostError BadArgument(std::wstring description);
} // namespace errors

// Leaves the error on the thread (SetErrorInfo) and returns its HRESULT.
HRESULT Raise(const HostError& error, REFIID iid);
// Clears the thread's error information, so that a success leaves no stale error behind.
void ClearErrorInfo() noexcept;

// The exception barrier of the host's COM methods: the body returns the result; what it throws becomes one.
template <class Body> HRESULT Barrier(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return ov::HResultOfCurrentException();
    }
}

// "{XXXXXXXX-...}" of a GUID.
std::wstring GuidText(const GUID& id);

class HostCore;

// The IDispatch of an object over its dual host interfaces, with the type information from the host's
// type library. Derived gives the core through Core(). DISPIDs are distinct across the host's interfaces,
// so the first interface that knows a name or DISPID answers. The IDispatch calls count as "IDispatch::...";
// a member reached through Invoke counts under its own name as well.
template <class Derived, class... Duals> class DualDispatch : public Duals... {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        OVHOST_COUNTED(CountCall("IDispatch::GetTypeInfoCount"));
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        OVHOST_COUNTED(CountCall("IDispatch::GetTypeInfo"));
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return TypeInfoOf(FirstIid(), info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        OVHOST_COUNTED(CountCall("IDispatch::GetIDsOfNames"));
        HRESULT hr = DISP_E_UNKNOWNNAME;
        ((hr = hr == DISP_E_UNKNOWNNAME ? LookUp(__uuidof(Duals), names, count, ids) : hr), ...);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argErr) override {
        OVHOST_COUNTED(CountCall("IDispatch::Invoke"));
        HRESULT hr = DISP_E_MEMBERNOTFOUND;
        ((hr = hr == DISP_E_MEMBERNOTFOUND
                   ? Call(__uuidof(Duals), static_cast<Duals*>(static_cast<Derived*>(this)), id, flags,
                          params, result, excep, argErr)
                   : hr),
         ...);
        return hr;
    }

private:
    template <class First, class...> struct Head { using Type = First; };
    static const IID& FirstIid() { return __uuidof(typename Head<Duals...>::Type); }
    [[nodiscard]] CountedCall CountCall(const char* operation) {
        return CountedCall(ov::StandIn::Host, static_cast<Derived*>(this)->Core().Calls(), operation);
    }
    HRESULT TypeInfoOf(REFIID iid, ITypeInfo** info) {
        return static_cast<Derived*>(this)->Core().TypeInfo(iid, info);
    }
    HRESULT LookUp(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) {
        ov::ComPtr<ITypeInfo> info;
        HRESULT hr = TypeInfoOf(iid, info.Put());
        return FAILED(hr) ? hr : DispGetIDsOfNames(info.Get(), names, count, ids);
    }
    HRESULT Call(REFIID iid, void* self, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* excep, UINT* argErr) {
        ov::ComPtr<ITypeInfo> info;
        HRESULT hr = TypeInfoOf(iid, info.Put());
        return FAILED(hr) ? hr : DispInvoke(self, info.Get(), id, flags, params, result, excep, argErr);
    }
};

} // namespace ovhost

// A reserved operation: counted under its position, answered with E_NOTIMPL, so that a caller that misses
// its slot shows up in the counts.
#define OVHOST_RESERVED(Interface, N)                                                                        \
    HRESULT STDMETHODCALLTYPE Reserved##N() override {                                                       \
        return ReservedCall(#Interface "::Reserved" #N);                                                     \
    }
