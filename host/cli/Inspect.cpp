#include "Inspect.h"

#include "../services/Host.h"
#include "../log/LogFormat.h"
#include "Run.h"

#include "ovWPFControlsLib.h"

#include <map>
#include <optional>

namespace ovhost {
namespace {

constexpr const wchar_t* kCommand = L"OVHookX64 inspect";
constexpr const wchar_t* kUsage = L"Usage: OVHookX64 inspect [--visual] [--json] APP.xaml";

struct Options {
    std::wstring app;
    bool visual = false;
    bool json = false;
};

std::wstring ParseOptions(const std::vector<std::wstring>& arguments, Options& options) {
    std::vector<std::wstring> paths;
    for (const std::wstring& a : arguments) {
        if (a == L"--visual")
            options.visual = true;
        else if (a == L"--json")
            options.json = true;
        else if (a.starts_with(L"--"))
            return L"unknown option '" + a + L"'.";
        else
            paths.push_back(a);
    }
    if (paths.size() != 1) return L"give the application (APP.xaml).";
    options.app = paths[0];
    return {};
}

// The names of WPFControlType's values in the module's type library.
std::map<LONG, std::wstring> KindNames(ITypeLib& library) {
    std::map<LONG, std::wstring> names;
    for (UINT i = 0, n = library.GetTypeInfoCount(); i < n; ++i) {
        TYPEKIND kind{};
        ov::Bstr typeName;
        ov::ComPtr<ITypeInfo> info;
        if (FAILED(library.GetTypeInfoType(i, &kind)) || kind != TKIND_ENUM ||
            FAILED(
                library.GetDocumentation(static_cast<INT>(i), typeName.Put(), nullptr, nullptr, nullptr)) ||
            typeName.View() != L"WPFControlType" || FAILED(library.GetTypeInfo(i, info.Put())))
            continue;
        TYPEATTR* attributes = nullptr;
        ov::ThrowIfFailed(info->GetTypeAttr(&attributes));
        const WORD count = attributes->cVars;
        info->ReleaseTypeAttr(attributes);
        for (WORD v = 0; v < count; ++v) {
            VARDESC* var = nullptr;
            if (FAILED(info->GetVarDesc(v, &var))) continue;
            ov::Bstr name;
            UINT got = 0;
            ov::Variant value;
            if (var->varkind == VAR_CONST && var->lpvarValue &&
                SUCCEEDED(VariantChangeType(&value, var->lpvarValue, 0, VT_I4)) &&
                SUCCEEDED(info->GetNames(var->memid, name.Put(), 1, &got)) && got == 1)
                names[value.lVal] = std::wstring(name.View());
            info->ReleaseVarDesc(var);
        }
    }
    return names;
}

// One host object as the inspector shows it.
struct Inspected {
    const wchar_t* object = L"element"; // process, top-level window, window, element
    std::wstring step;                  // the host's name of a process or top-level window object
    std::wstring name, className;
    std::optional<LONG> kind;
    std::wstring kindName;
    std::optional<RECT> rect;
    std::wstring statement;
    bool templatePart = false;
    std::vector<Inspected> children;
};

class Inspector {
public:
    Inspector(Host& host, wpfsim::Application& app, std::map<LONG, std::wstring> kindNames, bool visual)
        : host_(host), app_(app), kindNames_(std::move(kindNames)), visual_(visual) {}

    Inspected Process() {
        ov::ComPtr<ProcessNode> process = host_.Core().Process();
        if (!process) throw ov::ComError(E_UNEXPECTED);
        HostNode& node = *process;
        Inspected shown;
        shown.object = L"process";
        shown.step = node.FullName();
        shown.name = host_.Core().ProcessName();
        AddChildren(node, shown.children);
        return shown;
    }

private:
    // The objects below `node` that are shown, in the host's order.
    void AddChildren(HostNode& node, std::vector<Inspected>& into) {
        for (const ov::ComPtr<HostNode>& child : node.Children())
            Add(*child, node, into);
    }

    void Add(HostNode& node, HostNode& parent, std::vector<Inspected>& into) {
        wpfsim::Element* element = node.Element();
        if (!element) return;
        const bool part = element->TemplatedParent() != nullptr;
        if (part && !visual_) {
            AddChildren(node, into);
            return;
        }
        Inspected shown;
        shown.name = element->Name();
        shown.className = element->ClassName();
        shown.rect = element->Bounds();
        shown.templatePart = part;
        if (IsEqualGUID(node.Type(), ov::HostIds::TopLevelWindow)) {
            shown.object = L"top-level window";
            // The host's step below its parent: its full name after the parent's and the dot.
            shown.step = node.FullName().substr(parent.FullName().size() + 1);
        } else if (auto* elementNode = dynamic_cast<ElementNode*>(&node)) {
            shown.object = IsEqualGUID(node.Type(), ov::HostIds::Window) ? L"window" : L"element";
            Classify(*elementNode, *element, shown);
        }
        AddChildren(node, shown.children);
        into.push_back(std::move(shown));
    }

    // The kind from the module's hook object among the element's extensions, and the statement that
    // reaches the element when App.Find of its name gives an automation object for it.
    void Classify(ElementNode& node, wpfsim::Element& element, Inspected& shown) {
        for (const auto& extension : node.Extensions()) {
            auto recognized = extension.As<IovWPFControlRecognizerExtender>();
            if (!recognized) continue;
            WPFControlType kind = ctrlWPFUnknown;
            if (FAILED(recognized->get_WPFControlType(&kind))) return;
            shown.kind = kind;
            if (auto name = kindNames_.find(kind); name != kindNames_.end()) shown.kindName = name->second;
            GUID key{};
            auto hook = extension.As<IovOpenAppControlHookExtender>();
            // Kinds that share the all-zero key (items, decorations) make no object.
            if (!element.Name().empty() && hook && SUCCEEDED(hook->get_ControlType(&key)) &&
                !IsEqualGUID(key, GUID{}) && app_.Find(element.Name()) == &element)
                shown.statement = L"App.Find(\"" + element.Name() + L"\")";
            return;
        }
    }

    Host& host_;
    wpfsim::Application& app_;
    std::map<LONG, std::wstring> kindNames_;
    bool visual_;
};

std::wstring RectText(const RECT& r) {
    return L"(" + std::to_wstring(r.left) + L", " + std::to_wstring(r.top) + L", " +
           std::to_wstring(r.right - r.left) + L", " + std::to_wstring(r.bottom - r.top) + L")";
}

std::wstring KindText(const Inspected& shown) {
    if (!shown.kind) return L"-";
    std::wstring text = std::to_wstring(*shown.kind);
    return shown.kindName.empty() ? text : text + L" " + shown.kindName;
}

void AppendText(const Inspected& shown, size_t depth, std::wstring& out) {
    std::wstring line(2 * depth, L' ');
    if (!shown.step.empty()) {
        line += shown.step;
        if (shown.rect) line += L"  " + RectText(*shown.rect);
    } else {
        line += (shown.name.empty() ? std::wstring(L"-") : shown.name) + L"  " + shown.className + L"  " +
                KindText(shown) + L"  " + RectText(*shown.rect);
        if (!shown.statement.empty()) line += L"  " + shown.statement;
        if (shown.templatePart) line += L"  [template part]";
    }
    out += line + L"\n";
    for (const Inspected& child : shown.children)
        AppendText(child, depth + 1, out);
}

std::wstring JsonTextOrNull(const std::wstring& text) {
    return text.empty() ? std::wstring(L"null") : JsonQuoted(text);
}

void AppendJson(const Inspected& shown, size_t depth, std::wstring& out) {
    const std::wstring indent(2 * depth, L' ');
    out += indent + L"{\"object\": " + JsonQuoted(shown.object) + L", \"name\": " +
           JsonTextOrNull(shown.name) + L", \"class\": " + JsonTextOrNull(shown.className) + L", \"kind\": ";
    if (shown.kind)
        out += L"{\"value\": " + std::to_wstring(*shown.kind) + L", \"name\": " +
               JsonTextOrNull(shown.kindName) + L"}";
    else
        out += L"null";
    out += L", \"rect\": ";
    if (const auto& r = shown.rect)
        out += L"{\"left\": " + std::to_wstring(r->left) + L", \"top\": " + std::to_wstring(r->top) +
               L", \"width\": " + std::to_wstring(r->right - r->left) + L", \"height\": " +
               std::to_wstring(r->bottom - r->top) + L"}";
    else
        out += L"null";
    out += L", \"statement\": " + JsonTextOrNull(shown.statement) + L", \"templatePart\": " +
           (shown.templatePart ? L"true" : L"false") + L", \"children\": [";
    if (shown.children.empty()) {
        out += L"]}";
        return;
    }
    out += L"\n";
    for (size_t i = 0; i < shown.children.size(); ++i) {
        AppendJson(shown.children[i], depth + 1, out);
        out += i + 1 < shown.children.size() ? L",\n" : L"\n";
    }
    out += indent + L"]}";
}

} // namespace

int RunInspect(const Invocation& invocation) {
    const Console& console = invocation.console;
    auto fail = [&](int code, const std::wstring& reason) {
        console.err(std::wstring(kCommand) + L": " + reason + L"\n");
        return code;
    };
    Options options;
    if (std::wstring wrong = ParseOptions(invocation.arguments, options); !wrong.empty())
        return fail(ExitUsage, wrong + L"\n" + kUsage);

    std::unique_ptr<wpfsim::Application> app;
    if (std::wstring why = LoadApplication(options.app, app); !why.empty())
        return fail(ExitAppNotLoaded, why);
    std::wstring out;
    {
        Host host(invocation.productFolder);
        if (std::wstring why = StartHost(host, *app, options.app, invocation.productFolder); !why.empty())
            return fail(ExitModuleNotLoaded, why);
        ov::ComPtr<ITypeLib> library;
        if (HRESULT hr = LoadTypeLib(host.ModulePath().c_str(), library.Put()); FAILED(hr))
            return fail(ExitModuleNotLoaded, L"the type library of " + host.ModulePath() +
                                                 L" cannot be read (" + HResultText(hr) + L").");
        Inspected tree;
        try {
            tree = Inspector(host, *app, KindNames(*library), options.visual).Process();
        } catch (const ov::ComError& e) {
            return fail(ExitFailed, L"the host's object tree cannot be read (" + HResultText(e.hr) + L").");
        }
        if (options.json) {
            out = L"{\"application\": " + JsonQuoted(options.app) + L", \"visual\": " +
                  (options.visual ? L"true" : L"false") + L", \"tree\":\n";
            AppendJson(tree, 1, out);
            out += L"\n}\n";
        } else {
            AppendText(tree, 0, out);
        }
        host.Detach();
        host.UnloadModule();
    }
    console.out(out);
    return ExitOk;
}

} // namespace ovhost
