#include "ScriptSite.h"

#include "ScriptLines.h"

#include "../services/HostCom.h"

#include "com/OleTypes.h"

#include <activscp.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cwchar>
#include <functional>
#include <mutex>
#include <thread>

namespace ovhost {

namespace {

// The words of a script error that came without any: the engines' own texts of their codes, then the
// system's, then the bare code.
std::wstring DescriptionOf(SCODE code, const std::wstring& source) {
    static const struct {
        SCODE code;
        const wchar_t* text;
    } kTexts[] = {
        {DISP_E_DIVBYZERO, L"Division by zero"},
        {DISP_E_TYPEMISMATCH, L"Type mismatch"},
        {DISP_E_OVERFLOW, L"Overflow"},
        {DISP_E_BADPARAMCOUNT, L"Wrong number of arguments"},
        {DISP_E_PARAMNOTOPTIONAL, L"Argument not optional"},
        {DISP_E_MEMBERNOTFOUND, L"Object doesn't support this property or method"},
        {DISP_E_UNKNOWNNAME, L"Object doesn't support this property or method"},
        {DISP_E_BADINDEX, L"Subscript out of range"},
        {DISP_E_NONAMEDARGS, L"Named arguments not allowed"},
        {E_OUTOFMEMORY, L"Out of memory"},
        {static_cast<SCODE>(0x800A0005), L"Invalid procedure call or argument"},
        {static_cast<SCODE>(0x800A0006), L"Overflow"},
        {static_cast<SCODE>(0x800A0009), L"Subscript out of range"},
        {static_cast<SCODE>(0x800A000B), L"Division by zero"},
        {static_cast<SCODE>(0x800A000D), L"Type mismatch"},
        {static_cast<SCODE>(0x800A01A8), L"Object required"},
        {static_cast<SCODE>(0x800A01B6), L"Object doesn't support this property or method"},
        {static_cast<SCODE>(0x800A01C2), L"Wrong number of arguments or invalid property assignment"},
        {static_cast<SCODE>(0x800A01F4), L"Variable is undefined"},
        {static_cast<SCODE>(0x800A03EA), L"Syntax error"},
        {static_cast<SCODE>(0x800A0401), L"Expected end of statement"},
        {static_cast<SCODE>(0x800A03F2), L"Expected identifier"},
    };
    for (const auto& t : kTexts)
        if (t.code == code) return t.text;
    // A compilation error without a code of its own: the parser refused the line.
    if (code == E_FAIL && source.find(L"compilation") != std::wstring::npos) return L"Syntax error";
    wchar_t* text = nullptr;
    if (FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr) &&
        text) {
        std::wstring words(text);
        LocalFree(text);
        while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L'.'))
            words.pop_back();
        if (!words.empty()) return words;
    }
    wchar_t hex[16] = {};
    swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(code));
    return (source.empty() ? std::wstring(L"Script error") : source) + L" " + hex;
}

// The engine's view of us: named items by name, the first error it reports.
class ScriptSite : public HostObjectBase, public IActiveScriptSite, public IActiveScriptSiteInterruptPoll {
public:
    using Interfaces = ov::Interfaces<IActiveScriptSite, IActiveScriptSiteInterruptPoll>;

    explicit ScriptSite(const std::vector<NamedItem>& items) : items_(items) {}

    std::optional<ScriptError>& Error() noexcept { return error_; }
    void ClearError() noexcept { error_.reset(); }
    void Stop() noexcept { stopped_ = true; }
    bool Stopped() const noexcept { return stopped_; }

    // S_FALSE tells the engine to end the script.
    HRESULT STDMETHODCALLTYPE QueryContinue() override { return stopped_ ? S_FALSE : S_OK; }

    HRESULT STDMETHODCALLTYPE GetLCID(LCID* lcid) override {
        if (!lcid) return E_POINTER;
        return E_NOTIMPL; // the engine's default locale
    }

    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** unknown,
                                          ITypeInfo** typeInfo) override {
        if (unknown) *unknown = nullptr;
        if (typeInfo) *typeInfo = nullptr;
        if (!name) return E_INVALIDARG;
        const NamedItem* item = Find(name);
        if (!item || !item->object) return TYPE_E_ELEMENTNOTFOUND;
        if (mask & SCRIPTINFO_IUNKNOWN) {
            if (!unknown) return E_POINTER;
            item->object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown));
        }
        if ((mask & SCRIPTINFO_ITYPEINFO) && typeInfo)
            item->object->GetTypeInfo(0, LOCALE_USER_DEFAULT, typeInfo);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR* version) override {
        if (version) *version = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* reported) override {
        if (!reported || error_) return S_OK;
        ScriptError e;
        EXCEPINFO info{};
        if (SUCCEEDED(reported->GetExceptionInfo(&info))) {
            // Deferred filling: the engine leaves the texts to a callback.
            if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
            e.code = info.scode ? info.scode : static_cast<SCODE>(info.wCode);
            e.source = ov::Bstr::Adopt(info.bstrSource).c_str();
            e.description = ov::Bstr::Adopt(info.bstrDescription).c_str();
            SysFreeString(info.bstrHelpFile);
        }
        DWORD context = 0;
        ULONG line = 0;
        LONG column = 0;
        // The engines count lines from 0.
        if (SUCCEEDED(reported->GetSourcePosition(&context, &line, &column))) {
            e.line = line + 1;
            e.column = column;
        }
        ov::Bstr text;
        if (SUCCEEDED(reported->GetSourceLineText(text.Put()))) e.lineText = text.c_str();
        // Some engines leave errors without a text: the words of the error's code, then the system's.
        if (e.description.empty()) e.description = DescriptionOf(e.code, e.source);
        error_ = std::move(e);
        return S_OK;
    }

private:
    const NamedItem* Find(LPCOLESTR name) const {
        for (const NamedItem& item : items_)
            if (item.name == name) return &item;
        return nullptr;
    }

    std::vector<NamedItem> items_;
    std::optional<ScriptError> error_;
    std::atomic<bool> stopped_{false};
};

// Interrupts the engine once the time limit has passed, from a thread of its own: the script's thread is
// busy running the script. Joined (and so done with the engine) before the engine is closed.
class Watchdog {
public:
    static constexpr unsigned long kGraceMs = 2000;

    Watchdog(IActiveScript* engine, ScriptSite& site, const TimeLimit& limit) {
        if (!limit.ms) return;
        thread_ = std::thread([this, engine, &site, &limit] {
            std::unique_lock lock(mutex_);
            if (done_.wait_for(lock, std::chrono::milliseconds(limit.ms), [this] { return finished_; }))
                return;
            site.Stop();
            if (limit.reached) limit.reached();
            EXCEPINFO info{};
            info.scode = E_ABORT;
            engine->InterruptScriptThread(SCRIPTTHREADID_ALL, &info, 0);
            // Engines that take no interruption (some only stub it) leave the script running: then the
            // caller's last word.
            if (!done_.wait_for(lock, std::chrono::milliseconds(kGraceMs), [this] { return finished_; }) &&
                limit.stuck)
                limit.stuck();
        });
    }
    ~Watchdog() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

HRESULT Parse(IActiveScriptParse64& parser, std::wstring_view text) {
    ov::Bstr code(text);
    EXCEPINFO excep{};
    HRESULT hr = parser.ParseScriptText(code.Get(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr, &excep);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    return hr;
}

} // namespace

// Connects a line source to the engine for as long as it lives.
class LineConnection {
public:
    LineConnection(ScriptLineSource* lines, IActiveScript* engine) noexcept : lines_(lines) {
        if (lines_) lines_->engine_ = engine;
    }
    ~LineConnection() {
        if (!lines_) return;
        lines_->engine_ = nullptr;
        lines_->global_ = nullptr;
        lines_->id_ = -1;
    }
    LineConnection(const LineConnection&) = delete;
    LineConnection& operator=(const LineConnection&) = delete;

private:
    ScriptLineSource* lines_;
};

ULONG ScriptLineSource::Current() const noexcept {
    if (!engine_) return 0;
    if (!global_ && FAILED(engine_->GetScriptDispatch(nullptr, global_.Put()))) return 0;
    if (id_ == -1) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(kLineVariable)};
        DISPID id = DISPID_UNKNOWN;
        if (!global_ || FAILED(global_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
            return 0;
        id_ = id;
    }
    DISPPARAMS none{};
    ov::Variant value, line;
    if (FAILED(global_->Invoke(static_cast<DISPID>(id_), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                               &none, &value, nullptr, nullptr)) ||
        FAILED(VariantChangeType(&line, &value, 0, VT_I4)) || line.lVal < 0)
        return 0;
    return static_cast<ULONG>(line.lVal);
}

namespace {

// `instrumented`: the script with line markers, reset when the engine refuses it (the script then runs as
// it was written).
HRESULT Run(std::wstring_view language, std::wstring_view text, const std::vector<NamedItem>& items,
            std::wstring_view prelude, const TimeLimit& limit, ScriptSite& site,
            std::optional<InstrumentedScript>& instrumented, ScriptLineSource* lines) {
    CLSID clsid{};
    std::wstring progId(language);
    if (HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid); FAILED(hr)) return hr;
    ov::ComPtr<IActiveScript> engine;
    if (HRESULT hr =
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IActiveScript), engine.PutVoid());
        FAILED(hr))
        return hr;
    // Closing drops the engine's references to the site and the named items on every path.
    struct CloseOnExit {
        IActiveScript* engine;
        ~CloseOnExit() { engine->Close(); }
    } closeOnExit{engine.Get()};

    ov::ComPtr<IActiveScriptParse64> parser = engine.As<IActiveScriptParse64>();
    if (!parser) return E_NOINTERFACE;
    if (HRESULT hr = engine->SetScriptSite(&site); FAILED(hr)) return hr;
    if (HRESULT hr = parser->InitNew(); FAILED(hr)) return hr;
    for (const NamedItem& item : items) {
        DWORD flags = SCRIPTITEM_ISVISIBLE | (item.globalMembers ? SCRIPTITEM_GLOBALMEMBERS : 0);
        if (HRESULT hr = engine->AddNamedItem(item.name.c_str(), flags); FAILED(hr)) return hr;
    }

    Watchdog watchdog(engine.Get(), site, limit);
    std::wstring before(prelude);
    if (instrumented) before += LinePrelude(language);
    if (!before.empty())
        if (HRESULT hr = Parse(*parser, before); FAILED(hr)) return hr;
    if (instrumented && FAILED(Parse(*parser, instrumented->text))) {
        site.ClearError();
        instrumented.reset();
    }
    if (!instrumented)
        if (HRESULT hr = Parse(*parser, text); FAILED(hr)) return hr;
    LineConnection connection(lines, engine.Get());
    // The code parsed while the engine was not started runs now.
    return engine->SetScriptState(SCRIPTSTATE_CONNECTED);
}

} // namespace

std::wstring ScriptError::ToString() const {
    return L"line " + std::to_wstring(line) + L": " + description;
}

ScriptRun RunScript(std::wstring_view language, std::wstring_view text, const std::vector<NamedItem>& items,
                    std::wstring_view prelude, const TimeLimit& limit, ScriptLineSource* lines) {
    ScriptRun run;
    try {
        ov::ComPtr<ScriptSite> site = ov::Create<ScriptSite>(items);
        std::optional<InstrumentedScript> instrumented;
        if (lines) instrumented = InstrumentLines(language, text);
        run.hr = Run(language, text, items, prelude, limit, *site, instrumented, lines);
        run.timedOut = site->Stopped();
        run.error = std::move(site->Error());
        // The position in the script of an error in the instrumented text, and the line's text as written.
        if (run.error && instrumented && run.error->line) {
            run.error->column = instrumented->ScriptColumn(run.error->line - 1, run.error->column);
            run.error->lineText.clear();
        }
        // Engines that do not give the line's text: it is the script's own line.
        if (run.error && run.error->lineText.empty() && run.error->line) {
            size_t start = 0;
            for (ULONG l = 1; l < run.error->line && start != std::wstring_view::npos; ++l) {
                start = text.find(L'\n', start);
                if (start != std::wstring_view::npos) ++start;
            }
            if (start != std::wstring_view::npos && start < text.size()) {
                std::wstring_view line = text.substr(start, text.find(L'\n', start) - start);
                while (!line.empty() && (line.back() == L'\r'))
                    line.remove_suffix(1);
                run.error->lineText = line;
            }
        }
        if (SUCCEEDED(run.hr) && run.error) run.hr = run.error->code ? run.error->code : E_FAIL;
    } catch (const ov::ComError& e) {
        run.hr = e.hr;
    } catch (const std::bad_alloc&) {
        run.hr = E_OUTOFMEMORY;
    }
    return run;
}

} // namespace ovhost
