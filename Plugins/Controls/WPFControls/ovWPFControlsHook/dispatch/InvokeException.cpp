#include "InvokeException.h"

#include "../frame/HostServices.h"
#include "../scripting/SyntaxItem.h"

#include <cstdarg>
#include <cwchar>
#include <iterator>
#include <memory>
#include <new>

CovInvokeException::CovInvokeException(const wchar_t* message, const wchar_t* details, LONG kind)
    : message_(message), details_(details), kind_(kind) {}

CovInvokeException::CovInvokeException(IErrorInfo* error) : kind_(Error) {
    if (!error) return;
    ov::Bstr description;
    error->GetDescription(description.Put());
    std::wstring_view text = description.View();
    std::wstring_view sep = ov::texts::Separator;
    if (size_t at = text.find(sep); at != std::wstring_view::npos) {
        message_ = ov::Bstr(text.substr(0, at));
        details_ = ov::Bstr(text.substr(at + sep.size()));
    } else if (!text.empty() && text.back() != L'.') {
        message_ = ov::Bstr(std::wstring(text) + L".");
    } else {
        message_ = ov::Bstr(text);
    }
    DWORD context = 0;
    if (SUCCEEDED(error->GetHelpContext(&context)) && context >= 1 && context <= 3)
        kind_ = static_cast<LONG>(context);
}

namespace ov {

std::wstring Format(const wchar_t* format, ...) {
    // The first 2048 characters on the stack and never cleared: the formatter writes what it returns, and
    // clearing a buffer on every call cost more than formatting a short message.
    wchar_t first[2048];
    std::unique_ptr<wchar_t[]> larger;
    for (size_t size = std::size(first);; size *= 2) {
        wchar_t* buffer = first;
        if (size > std::size(first)) {
            larger.reset(new (std::nothrow) wchar_t[size]);
            if (!larger) throw ComError(E_OUTOFMEMORY);
            buffer = larger.get();
        }
        va_list args;
        va_start(args, format);
        // The runtime's own formatter: "%s" takes a wide string, as on every Windows compiler.
        // It answers -1 when the text is longer than the buffer, the buffer's size when only the
        // terminator is missing.
        int n = _vsnwprintf(buffer, size, format, args);
        va_end(args);
        if (n >= 0 && static_cast<size_t>(n) < size) return std::wstring(buffer, static_cast<size_t>(n));
    }
}

std::wstring SystemText(HRESULT hr) {
    if (hr == S_OK) return {};
    char text[2048] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(hr), 0, text, sizeof(text), nullptr);
    std::string line;
    for (DWORD i = 0; i < n; ++i)
        if (text[i] != '\r' && text[i] != '\n') line += text[i];
    if (line.empty()) return {};
    int wide = MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), result.data(), wide);
    return result;
}

void RaiseInvocationError() {
    throw CovInvokeException(texts::InvocationMessage, texts::Reasons, CovInvokeException::Error);
}

void RaiseInvocationError(HRESULT hr, const EXCEPINFO* excep, int location, const wchar_t* member) {
    std::wstring details =
        Format(L"%s\n\n%s\n%d 0x%.8x (%s) %s", texts::Reasons, texts::TechnicalHeading, location,
               static_cast<unsigned>(hr), SystemText(hr).c_str(), member ? member : L"");
    if (hr == DISP_E_EXCEPTION && excep) {
        Bstr tail(Format(L"\n%s %d\n%s", excep->bstrSource ? excep->bstrSource : L"",
                         static_cast<int>(excep->wCode),
                         excep->bstrDescription ? excep->bstrDescription : L""));
        Bstr head(details);
        Bstr joined;
        ThrowIfFailed(VarBstrCat(head.Get(), tail.Get(), joined.Put()));
        details.assign(joined.View());
    }
    throw CovInvokeException(texts::InvocationMessage, details.c_str(), CovInvokeException::Error);
}

void SetThreadErrorInfo(const CovInvokeException& error, const GUID* origin, DWORD helpContext) {
    std::wstring description(error.Message().View());
    description += texts::Separator;
    description += error.Details().View();
    ComPtr<ICreateErrorInfo> create;
    ThrowIfFailed(CreateErrorInfo(create.Put()));
    Bstr text(description);
    create->SetDescription(text.Get());
    if (origin) create->SetGUID(*origin);
    if (helpContext) create->SetHelpContext(helpContext);
    SetErrorInfo(0, create.As<IErrorInfo>().Get());
}

void RaiseHostError() {
    ComPtr<IErrorInfo> error;
    GetErrorInfo(0, error.Put());
    throw CovInvokeException(error.Get());
}

namespace {
// Mode 2: an error becomes the thread's error information (message, separator, details); notices pass.
HRESULT RaiseScriptError(const CovInvokeException& error) {
    if (error.Kind() != CovInvokeException::Error) return S_OK;
    SetThreadErrorInfo(error);
    return E_FAIL;
}

void LogEntry(LONG kind, const Bstr& text, const Bstr& details) {
    if (ComPtr<IovHostLog> log = HostServices::Log()) log->AddEntry(kind, text.Get(), details.Get());
}
} // namespace

HRESULT HandleInvokeException(const CovInvokeException& error, const CovSyntaxItem& object) {
    switch (object.ErrorMode()) {
    case 0:
        return S_OK;
    case 1:
        LogEntry(error.Kind(), Bstr::CopyOf(error.Message().Get()), Bstr::CopyOf(error.Details().Get()));
        return S_OK;
    case 2:
        return RaiseScriptError(error);
    case 3:
        throw CovInvokeException(error);
    default:
        return E_UNEXPECTED;
    }
}

void ReportMessage(const CovSyntaxItem& object, const wchar_t* message, const wchar_t* remark) {
    if (object.MessageMode() != 1) return;
    LogEntry(0, Bstr(message), Bstr(remark));
}

HRESULT HandleAtBoundary(const CovInvokeException& error, const CovSyntaxItem& object) {
    try {
        CovInvokeException copy(error);
        // No C++ exception crosses COM: mode 3 seen from outside the module reports as mode 2.
        if (object.ErrorMode() == 3) return RaiseScriptError(copy);
        return HandleInvokeException(copy, object);
    } catch (...) {
        // Running out of memory while reporting must not unwind through the caller's COM frame.
        return ResultOfCurrentException();
    }
}

HRESULT FailWithErrorInfo(const CovInvokeException& error) noexcept {
    try {
        SetThreadErrorInfo(error, nullptr, static_cast<DWORD>(error.Kind()));
        return E_FAIL;
    } catch (...) {
        return HResultOfCurrentException();
    }
}

HRESULT ResultOfCurrentException() noexcept {
    try {
        throw;
    } catch (const CovInvokeException& e) {
        // Raised where no report modes apply: the script sees the text as an error.
        try {
            return RaiseScriptError(e);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    } catch (...) {
        return HResultOfCurrentException();
    }
}

} // namespace ov
