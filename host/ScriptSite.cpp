#include "ScriptSite.h"

#include "HostCom.h"

#include "com/OleTypes.h"

#include <activscp.h>

#include <cwchar>

namespace ovhost {

namespace {

// The engine's view of us: named items by name, the first error it reports.
class ScriptSite : public HostObjectBase, public IActiveScriptSite {
public:
    using Interfaces = ov::Interfaces<IActiveScriptSite>;

    explicit ScriptSite(const std::vector<NamedItem>& items) : items_(items) {}

    std::optional<ScriptError>& Error() noexcept { return error_; }

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
        // Some engines leave compilation errors without a text: name at least what failed and how.
        if (e.description.empty()) {
            wchar_t code[16] = {};
            swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(e.code));
            e.description = (e.source.empty() ? std::wstring(L"Script error") : e.source) + L" " + code;
        }
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

HRESULT Run(std::wstring_view language, std::wstring_view text, const std::vector<NamedItem>& items,
            std::wstring_view prelude, ScriptSite& site) {
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

    if (!prelude.empty())
        if (HRESULT hr = Parse(*parser, prelude); FAILED(hr)) return hr;
    if (HRESULT hr = Parse(*parser, text); FAILED(hr)) return hr;
    // The code parsed while the engine was not started runs now.
    return engine->SetScriptState(SCRIPTSTATE_CONNECTED);
}

} // namespace

std::wstring ScriptError::ToString() const {
    return L"line " + std::to_wstring(line) + L": " + description;
}

ScriptRun RunScript(std::wstring_view language, std::wstring_view text, const std::vector<NamedItem>& items,
                    std::wstring_view prelude) {
    ScriptRun run;
    try {
        ov::ComPtr<ScriptSite> site = ov::Create<ScriptSite>(items);
        run.hr = Run(language, text, items, prelude, *site);
        run.error = std::move(site->Error());
        if (SUCCEEDED(run.hr) && run.error) run.hr = run.error->code ? run.error->code : E_FAIL;
    } catch (const ov::ComError& e) {
        run.hr = e.hr;
    } catch (const std::bad_alloc&) {
        run.hr = E_OUTOFMEMORY;
    }
    return run;
}

} // namespace ovhost
