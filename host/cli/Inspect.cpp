#include "Inspect.h"

#include "../log/LogFormat.h"
#include "../picture/Picture.h"
#include "../services/Host.h"
#include "ControlFacts.h"
#include "Members.h"
#include "Run.h"

#include "ovWPFControlsLib.h"
#include "wpfsim/ContentControl.h"

#include <map>
#include <optional>

namespace ovhost {
namespace {

constexpr const wchar_t* kCommand = L"OVHookX64 inspect";
constexpr const wchar_t* kUsage =
    L"Usage: OVHookX64 inspect [--visual] [--json] [--members] [--picture FILE.svg] APP.xaml";

struct Options {
    std::wstring app, picture;
    bool visual = false;
    bool json = false;
    bool members = false;
};

std::wstring ParseOptions(const std::vector<std::wstring>& arguments, Options& options) {
    std::vector<std::wstring> paths;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& a = arguments[i];
        if (a == L"--visual")
            options.visual = true;
        else if (a == L"--json")
            options.json = true;
        else if (a == L"--members")
            options.members = true;
        else if (a == L"--picture") {
            if (++i == arguments.size()) return L"--picture needs a file name.";
            options.picture = arguments[i];
        } else if (a.starts_with(L"--"))
            return L"unknown option '" + a + L"'.";
        else
            paths.push_back(a);
    }
    if (paths.size() != 1) return L"give the application (APP.xaml).";
    options.app = paths[0];
    return {};
}

// One host object as the inspector shows it.
struct Inspected {
    const wchar_t* object = L"element"; // process, top-level window, window, element
    std::wstring step;                  // the host's name of a process or top-level window object
    const wpfsim::Element* element = nullptr;
    std::wstring name, className;
    std::optional<LONG> kind;
    std::wstring kindName;
    std::optional<RECT> rect;
    std::wstring statement;
    std::wstring automationId;                                   // AutomationProperties.AutomationId
    std::vector<std::pair<std::wstring, std::wstring>> handlers; // event, code-behind method
    bool templatePart = false;
    ElementFacts facts;
    std::vector<std::wstring> members; // --members: what a script calls on the element's object
    std::vector<Inspected> children;
};

class Inspector {
public:
    // `facts`: the texts, states and items of the elements (and with `members` what a script calls on
    // them); without, only what places and names them.
    Inspector(Host& host, wpfsim::Application& app, std::map<LONG, std::wstring> kindNames, bool visual,
              bool facts, bool members)
        : host_(host), app_(app), kindNames_(std::move(kindNames)), visual_(visual), facts_(facts),
          members_(members) {}

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
        const bool part = wpfsim::IsTemplatePart(*element);
        if (part && !visual_) {
            AddChildren(node, into);
            return;
        }
        Inspected shown;
        shown.element = element;
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
            shown.automationId = element->AutomationProperty(L"AutomationId");
            shown.handlers = element->Handlers();
            if (facts_) shown.facts = FactsOf(*element);
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
            if (!hook || FAILED(hook->get_ControlType(&key)) || IsEqualGUID(key, GUID{})) return;
            if (!element.Name().empty() && app_.Find(element.Name()) == &element)
                shown.statement = L"App.Find(\"" + element.Name() + L"\")";
            else if (const std::wstring& id = shown.automationId;
                     !id.empty() && !app_.Find(id) && app_.FindByAutomationId(id) == &element)
                shown.statement = L"App.Find(" + JsonQuoted(id) + L")";
            if (!facts_) return;
            if (ov::ComPtr<IDispatch> control = AutomationObjectOf(host_, element)) {
                AddItems(*control, kind, shown.facts);
                if (members_) shown.members = MemberSummaries(InterfacesOf(*control));
            }
            return;
        }
    }

    Host& host_;
    wpfsim::Application& app_;
    std::map<LONG, std::wstring> kindNames_;
    bool visual_;
    bool facts_;
    bool members_;
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

// The words of the states that show ("disabled", "checked", "value 3 (0..10)"), comma-separated.
std::wstring StateWords(const std::vector<State>& states) {
    std::wstring words;
    for (const State& state : states)
        if (!state.word.empty()) words += (words.empty() ? L"" : L", ") + state.word;
    return words;
}

std::wstring ItemLine(const ItemFact& item) {
    std::wstring line = item.what == std::wstring_view(L"item")
                            ? L"item " + std::to_wstring(item.index)
                            : item.what + std::wstring(L"  ") + JsonQuoted(item.path);
    line += L"  " + JsonQuoted(item.text);
    if (std::wstring words = StateWords(item.states); !words.empty()) line += L"  " + words;
    return line;
}

std::wstring Joined(const std::vector<std::wstring>& parts) {
    std::wstring out;
    for (const auto& part : parts)
        out += (out.empty() ? L"" : L", ") + part;
    return out;
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
        if (!shown.automationId.empty()) line += L"  AutomationId " + JsonQuoted(shown.automationId);
        if (shown.facts.text) line += L"  " + JsonQuoted(*shown.facts.text);
        if (std::wstring words = StateWords(shown.facts.states); !words.empty()) line += L"  " + words;
        if (shown.templatePart) line += L"  [template part]";
    }
    out += line + L"\n";
    const std::wstring inner(2 * depth + 2, L' ');
    for (const ItemFact& item : shown.facts.items)
        out += inner + ItemLine(item) + L"\n";
    if (!shown.members.empty()) out += inner + L"members  " + Joined(shown.members) + L"\n";
    if (!shown.handlers.empty()) {
        std::vector<std::wstring> handlers;
        for (const auto& [event, method] : shown.handlers)
            handlers.push_back(event + L" " + method);
        out += inner + L"handlers  " + Joined(handlers) + L"\n";
    }
    for (const Inspected& child : shown.children)
        AppendText(child, depth + 1, out);
}

std::wstring JsonTextOrNull(const std::wstring& text) {
    return text.empty() ? std::wstring(L"null") : JsonQuoted(text);
}

std::wstring JsonStates(const std::vector<State>& states) {
    std::wstring out = L"{";
    for (const State& state : states)
        out += (out.size() > 1 ? L", " : L"") + JsonQuoted(state.key) + L": " + state.json;
    return out + L"}";
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
    out += L", \"statement\": " + JsonTextOrNull(shown.statement) + L", \"automationId\": " +
           JsonTextOrNull(shown.automationId) + L", \"handlers\": [";
    for (size_t i = 0; i < shown.handlers.size(); ++i)
        out += (i ? L", " : L"") + std::wstring(L"{\"event\": ") + JsonQuoted(shown.handlers[i].first) +
               L", \"method\": " + JsonQuoted(shown.handlers[i].second) + L"}";
    out += std::wstring(L"], \"templatePart\": ") + (shown.templatePart ? L"true" : L"false") +
           L", \"text\": " + (shown.facts.text ? JsonQuoted(*shown.facts.text) : std::wstring(L"null")) +
           L", \"states\": " + JsonStates(shown.facts.states) + L", \"items\": [";
    for (size_t i = 0; i < shown.facts.items.size(); ++i) {
        const ItemFact& item = shown.facts.items[i];
        out += (i ? L", " : L"") + std::wstring(L"{\"kind\": ") + JsonQuoted(item.what) + L", \"index\": " +
               std::to_wstring(item.index) + L", \"path\": " +
               (item.what == std::wstring_view(L"item") ? std::wstring(L"null") : JsonQuoted(item.path)) +
               L", \"text\": " + JsonQuoted(item.text) + L", \"states\": " + JsonStates(item.states) + L"}";
    }
    out += L"], \"members\": ";
    if (shown.members.empty()) {
        out += L"null";
    } else {
        out += L"[";
        for (size_t i = 0; i < shown.members.size(); ++i)
            out += (i ? L", " : L"") + JsonQuoted(shown.members[i]);
        out += L"]";
    }
    out += L", \"children\": [";
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

// The kind names of the module's type library, or why they cannot be read.
std::wstring ReadKindNames(Host& host, std::map<LONG, std::wstring>& names) {
    ov::ComPtr<ITypeLib> library;
    if (HRESULT hr = LoadTypeLib(host.ModulePath().c_str(), library.Put()); FAILED(hr))
        return L"the type library of " + host.ModulePath() + L" cannot be read (" + HResultText(hr) + L").";
    names = EnumNames(*library, L"WPFControlType");
    return {};
}

void CollectLabels(const Inspected& shown, std::map<const wpfsim::Element*, PictureLabel>& labels) {
    if (shown.element && !shown.statement.empty()) labels[shown.element] = {shown.name, shown.kindName};
    for (const Inspected& child : shown.children)
        CollectLabels(child, labels);
}

std::wstring Picture(const Inspected& tree, wpfsim::Application& app) {
    std::map<const wpfsim::Element*, PictureLabel> labels;
    CollectLabels(tree, labels);
    return DrawPicture(app, labels);
}

} // namespace

std::wstring PictureOf(Host& host, wpfsim::Application& app) {
    std::map<LONG, std::wstring> kindNames;
    ReadKindNames(host, kindNames);
    return Picture(Inspector(host, app, std::move(kindNames), false, false, false).Process(), app);
}

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
    std::vector<std::wstring> notes;
    if (std::wstring why = LoadApplication(options.app, app, &notes); !why.empty())
        return fail(ExitAppNotLoaded, why);
    for (const std::wstring& note : notes)
        console.err(std::wstring(kCommand) + L": note: " + note + L".\n");
    std::wstring out;
    {
        Host host(invocation.productFolder);
        if (std::wstring why = StartHost(host, *app, options.app, invocation.productFolder); !why.empty())
            return fail(ExitModuleNotLoaded, why);
        std::map<LONG, std::wstring> kindNames;
        if (std::wstring why = ReadKindNames(host, kindNames); !why.empty())
            return fail(ExitModuleNotLoaded, why);
        Inspected tree;
        try {
            tree =
                Inspector(host, *app, std::move(kindNames), options.visual, true, options.members).Process();
        } catch (const ov::ComError& e) {
            return fail(ExitFailed, L"the host's object tree cannot be read (" + HResultText(e.hr) + L").");
        }
        if (!options.picture.empty() && !WritePicture(options.picture, Picture(tree, *app)))
            return fail(ExitFailed, L"the picture cannot be written to " + options.picture + L".");
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
