// The module's one error type, its fixed texts, the reporting of errors and action messages by the
// report modes, and the exception barrier that every automation member runs its body in.
#pragma once

#include "com/ComError.h"
#include "com/OleTypes.h"

#include <new>
#include <string>

class CovSyntaxItem;

namespace ov::texts {
inline constexpr const wchar_t* InvocationMessage = L"An error occurred.";
inline constexpr const wchar_t* Reasons =
    L"Possible reasons:\r\n1. The application stopped responding.\r\n2. The application was compiled "
    L"incorrectly "
    L"(see the Open Applications topic in the help system).\r\n3. An error occurred in Orvane.";
inline constexpr const wchar_t* TechnicalHeading = L"Technical information:";
inline constexpr const wchar_t* Separator = L"\r\n\r\n";
} // namespace ov::texts

// Kinds: 1 a notice that the action was not needed, 2 a notice of the menus, 3 an error.
class CovInvokeException {
public:
    enum Kind : LONG { Notice = 1, MenuNotice = 2, Error = 3 };

    CovInvokeException(const wchar_t* message, const wchar_t* details, LONG kind);
    // From the thread's error information left by a failed host action (null: empty error).
    explicit CovInvokeException(IErrorInfo* error);

    const ov::Bstr& Message() const noexcept { return message_; }
    const ov::Bstr& Details() const noexcept { return details_; }
    LONG Kind() const noexcept { return kind_; }

private:
    ov::Bstr message_;
    ov::Bstr details_;
    LONG kind_;
};

namespace ov {

// printf-style formatting of wide strings; the buffer starts at 2048 characters and doubles until the
// text fits. Throws ComError(E_OUTOFMEMORY).
std::wstring Format(const wchar_t* format, ...);

// The system's text of an HRESULT on one line ("" for 0 or when the system has none).
std::wstring SystemText(HRESULT hr);

[[noreturn]] void RaiseInvocationError();
// The detailed invocation error of a failed lookup, Invoke or conversion.
[[noreturn]] void RaiseInvocationError(HRESULT hr, const EXCEPINFO* excep, int location,
                                       const wchar_t* member = nullptr);
// Makes "message\r\n\r\ndetails" the thread's error information, optionally marked with an origin and a
// help context.
void SetThreadErrorInfo(const CovInvokeException& error, const GUID* origin = nullptr, DWORD helpContext = 0);
// Raises the thread's error information (left by a failed host call) as the module's error.
[[noreturn]] void RaiseHostError();

// Turns a caught error into the member's result by the object's ErrorReportMode; mode 3 rethrows.
HRESULT HandleInvokeException(const CovInvokeException& error, const CovSyntaxItem& object);
// Hands an action message and its remark to the log when the object's MessageReportMode is 1.
void ReportMessage(const CovSyntaxItem& object, const wchar_t* message, const wchar_t* remark = L"");

// Reports a caught error at a member's boundary, where COM begins: by the object's ErrorReportMode, mode 3
// as mode 2. Every caller of a member reaches it through COM (scripts and the host through IDispatch or the
// vtable, the module itself never calls a member), and no C++ exception may cross a COM or OLE Automation
// frame; mode 3's hand-over of the error is HandleInvokeException's, for C++ callers of the reporter. A
// failure while reporting becomes the result.
HRESULT HandleAtBoundary(const CovInvokeException& error, const CovSyntaxItem& object);
HRESULT ResultOfCurrentException() noexcept;

// The exception barrier of an automation member: runs the body, turns its error into the result.
template <class Body> HRESULT Member(const CovSyntaxItem& object, Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (const CovInvokeException& e) {
        return HandleAtBoundary(e, object);
    } catch (...) {
        return ResultOfCurrentException();
    }
}

// The barrier of the host's own interfaces on an automation object (the host's menu support): an error of
// any kind is the thread's error information (help context: its kind) and E_FAIL, whatever the object's
// report modes, since the host reads no log and raises no script error.
HRESULT FailWithErrorInfo(const CovInvokeException& error) noexcept;
template <class Body> HRESULT HostCall(Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (const CovInvokeException& e) {
        return FailWithErrorInfo(e);
    } catch (...) {
        return ResultOfCurrentException();
    }
}

// The barrier of COM methods that have no report modes (module, extender, kind infos).
template <class Body> HRESULT Guard(Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (...) {
        return ResultOfCurrentException();
    }
}

// Checks an out parameter of a COM method.
template <class T> void RequireOut(T* p) {
    if (!p) throw ComError(E_POINTER);
}

} // namespace ov
