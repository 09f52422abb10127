#include "Xaml.h"

#include "XamlInput.h"
#include "XamlMarkup.h"

#include "../log/LogFormat.h"

#include "wpfsim/WpfSurface.h"
#include "wpfsim/XamlSchema.h"

#include "wpfsim/DataObject.h"
#include "wpfsim/Items.h"
#include "wpfsim/Frame.h"
#include "wpfsim/Page.h"
#include "wpfsim/Panels.h"
#include "wpfsim/Window.h"

#include "com/ComPtr.h"

#include <shlwapi.h>
#include <xmllite.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cwctype>
#include <map>
#include <set>
#include <span>
#include <unordered_set>

namespace ovhost {

std::wstring XamlError::ToString() const {
    if (line == 0) return message;
    if (column == 0) return L"line " + std::to_wstring(line) + L": " + message;
    return L"line " + std::to_wstring(line) + L", column " + std::to_wstring(column) + L": " + message;
}

namespace {

using namespace wpfsim::xaml;
using wpfsim::Auto;
namespace surface = wpfsim::surface;
using namespace xamlinput;

constexpr const wchar_t* kXmlnsNamespace = L"http://www.w3.org/2000/xmlns/";
constexpr const wchar_t* kXmlNamespace = L"http://www.w3.org/XML/1998/namespace";
constexpr std::wstring_view kClrNamespace = L"clr-namespace:";
// The namespace of sys:String and the primitives that items controls take as data items.
constexpr std::wstring_view kSystemNamespace = L"clr-namespace:System;assembly=mscorlib";
// .NET compares assembly names without case ("assembly=MsCorLib").
bool IsSystemNamespace(std::wstring_view ns) {
    return ns.size() == kSystemNamespace.size() &&
           _wcsnicmp(ns.data(), kSystemNamespace.data(), ns.size()) == 0 &&
           ns.starts_with(L"clr-namespace:System;");
}

// WPF's whitespace rule for text content: runs collapse to one space, the ends are trimmed.
std::wstring NormalizeText(std::wstring_view text) {
    std::wstring out;
    bool space = false;
    for (wchar_t c : text) {
        if (std::iswspace(c)) {
            space = true;
            continue;
        }
        if (space && !out.empty()) out += L' ';
        space = false;
        out += c;
    }
    return out;
}

// WPF's rule for names (x:Name, Name): a letter (Lu, Ll, Lt, Lo, Nl) or '_' first, then also marks (Mn, Mc),
// modifier letters and decimal digits, each UTF-16 unit on its own (so no surrogate pair). Beyond ASCII the
// system's character types stand for the Unicode categories.
bool IsIdentifier(std::wstring_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        WORD type1 = 0, type3 = 0;
        if (c >= 0x80) {
            GetStringTypeW(CT_CTYPE1, &c, 1, &type1);
            GetStringTypeW(CT_CTYPE3, &c, 1, &type3);
        }
        const bool mark = type3 & (C3_NONSPACING | C3_VOWELMARK | C3_DIACRITIC);
        const bool ascii = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
        const bool start = c == L'_' || (c < 0x80 ? ascii : (type1 & C1_ALPHA) && !mark);
        const bool part = c < 0x80 ? c >= L'0' && c <= L'9' : mark || (type1 & C1_DIGIT);
        if (!(start || (i > 0 && part))) return false;
    }
    return true;
}

struct Attribute {
    std::wstring ns, prefix, local, value;
    unsigned line = 0, column = 0;
    std::wstring Qualified() const { return prefix.empty() ? local : prefix + L":" + local; }
};

// --- resources and data ---------------------------------------------------------------------------------

// A value of the application's data: a string or primitive, a data object, or a collection (DataList).
struct Data {
    ov::Variant value;
    std::wstring typeName;
};

// A collection that the XAML describes (an x:Array, a collection property of a data object).
class DataList : public wpfsim::ClrObject {
public:
    DataList(std::shared_ptr<wpfsim::Runtime> runtime, std::wstring className, std::vector<Data> items)
        : ClrObject(std::move(runtime), std::move(className)), items_(std::move(items)) {
        auto count = [this] { return ov::Variant::Int(static_cast<LONG>(items_.size())); };
        AddProperty(L"Count", count);
        AddProperty(L"Length", count);
        AddMethod(L"get_Item", 1, [this](const wpfsim::Args& a) {
            const LONG i = wpfsim::IntOf(a[0]);
            if (i < 0 || static_cast<size_t>(i) >= items_.size()) throw wpfsim::ArgumentOutOfRange(L"index");
            const ov::Variant& v = items_[static_cast<size_t>(i)].value;
            return v.vt == VT_BSTR ? Str(v.bstrVal ? v.bstrVal : L"") : v;
        });
    }
    const std::vector<Data>& Items() const noexcept { return items_; }

private:
    std::vector<Data> items_;
};

// The collection behind a value, or null.
const DataList* ListOf(const VARIANT& v) {
    if (v.vt != VT_DISPATCH || !v.pdispVal) return nullptr;
    ov::ComPtr<wpfsim::ClrObject> object = wpfsim::ObjectOf(v);
    return dynamic_cast<const DataList*>(object.Get());
}

struct StyleDef;
struct TemplateDef;

// An entry of a resource dictionary, or a value that {x:Static} names.
struct Resource {
    std::wstring typeName; // the value's .NET class
    std::wstring text;     // a primitive's or a brush's value as an attribute writes it
    std::optional<Data> data;
    std::shared_ptr<const StyleDef> style;
    std::shared_ptr<const TemplateDef> templateDef = {}; // a data or control template
    // A WPF object the simulation reads without showing it (a gradient brush, a data provider, a storyboard):
    // a property it fits keeps its default.
    const surface::Class* object = nullptr;
    // A static member of the project's code or of WPF's that is not evaluated here: the property keeps its
    // default.
    bool unevaluated = false;
};

using ResourceMap = std::map<std::wstring, std::pair<Resource, unsigned>>; // entry, its line (0: merged)

// A template as read: its content is kept to be read again for every item or control it shows (as WPF
// keeps a template's content at load and builds it per container), with what that reading needs from where
// the template stood: the namespaces, the resources in scope, the file and its rules.
struct TemplateDef {
    std::wstring kind;        // DataTemplate, HierarchicalDataTemplate, ControlTemplate
    std::wstring targetClass; // a ControlTemplate's TargetType
    std::shared_ptr<const std::vector<xamlinput::XmlNode>> content;
    std::map<std::wstring, std::wstring> namespaces;
    std::set<std::wstring> ignorable;
    ResourceMap resources;
    std::wstring file, projectRoot, applicationFile;
    bool codeBehind = false, themeMerged = false;
    // A HierarchicalDataTemplate's: the binding of an item's children (ItemsSource) and their template.
    std::optional<markup::Extension> itemsSource;
    std::shared_ptr<const TemplateDef> itemTemplate;
};
// The implicit data templates in scope of an items control, by key (DataType).
using ImplicitTemplates = std::map<std::wstring, std::shared_ptr<const TemplateDef>>;

constexpr const wchar_t* kStyleClass = L"System.Windows.Style";
constexpr const wchar_t* kBrushClass = L"System.Windows.Media.SolidColorBrush";

struct SetterDef {
    std::wstring property;          // "Name" or "Owner.Name"
    std::wstring value;             // as an attribute writes it
    std::optional<Resource> object; // a <Setter.Value> element's value
    unsigned line = 0, column = 0;
    bool inert = false; // another class's property: set where nothing reads it
    // A style without TargetType names Owner.Name: it takes effect on elements of that class only (WPF sets
    // it on any other element, where nothing reads it).
    const Type* owner = nullptr;
};

struct StyleDef {
    const Type* target = nullptr; // null: no TargetType
    std::wstring targetClass;     // a clr-namespace class, or the WPF class
    std::vector<SetterDef> setters;
    std::shared_ptr<const StyleDef> basedOn;
};

// Resource keys of other kinds than text, kept apart from every text key.
std::wstring TypeKey(const std::wstring& className) {
    return L"\x01" + className;
}
std::wstring TemplateKey(const std::wstring& className) {
    return L"\x02" + className;
}
std::wstring SystemKey(const std::wstring& member) {
    return L"\x03" + member;
}
// A key as a message names it.
std::wstring ShownKey(const std::wstring& key) {
    if (key.empty() || key[0] > L'\x04') return key;
    if (key[0] == L'\x04') return key.substr(1); // {x:Static} of code
    return key[0] == L'\x01'   ? L"{x:Type " + key.substr(1) + L"}"
           : key[0] == L'\x02' ? L"DataTemplateKey(" + key.substr(1) + L")"
                               : L"{x:Static " + key.substr(1) + L"Key}";
}

// The templates that are read and kept without effect (the control keeps its default template, an item shows
// its text).
constexpr std::wstring_view kTemplates[] = {L"DataTemplate", L"HierarchicalDataTemplate", L"ControlTemplate",
                                            L"ItemsPanelTemplate"};
bool IsTemplate(std::wstring_view local) {
    return std::find(std::begin(kTemplates), std::end(kTemplates), local) != std::end(kTemplates);
}

// The properties that hold a template or a style: read, kept, no effect.
constexpr std::wstring_view kTemplateProperties[] = {L"Template",
                                                     L"ItemTemplate",
                                                     L"ContentTemplate",
                                                     L"ItemsPanel",
                                                     L"ItemContainerStyle",
                                                     L"HeaderTemplate",
                                                     L"FocusVisualStyle",
                                                     L"ItemTemplateSelector",
                                                     L"ContentTemplateSelector",
                                                     L"ItemContainerStyleSelector",
                                                     L"SelectedContentTemplate",
                                                     L"CellTemplate",
                                                     L"CellEditingTemplate"};
// The templates whose content is kept and read at load (ItemsPanelTemplate is read without effect).
bool IsKeptTemplate(std::wstring_view local) {
    return local == L"DataTemplate" || local == L"HierarchicalDataTemplate" || local == L"ControlTemplate";
}
bool IsTemplateProperty(std::wstring_view name) {
    return std::find(std::begin(kTemplateProperties), std::end(kTemplateProperties), name) !=
           std::end(kTemplateProperties);
}

// --- reading --------------------------------------------------------------------------------------------

class Reader {
    struct Opened {
        std::wstring local, prefix, ns, qualified;
        std::vector<Attribute> attributes;
        bool empty;
        unsigned line, column;
    };

    struct ScopeCloser {
        std::vector<std::map<std::wstring, std::wstring>>& scopes;
        ~ScopeCloser() { scopes.pop_back(); }
    };

public:
    // `characters`: the length of the text the parser reads, which bounds the number of its nodes.
    Reader(IXmlReader& xml, wpfsim::Application& app, size_t characters)
        : xml_(xml), app_(app), readsLeft_(characters + 2) {}

    void ReadDocument() {
        XmlNodeType type;
        while (Next(type)) {
            if (type != XmlNodeType_Element) continue;
            if (root_) Fail(L"a second root element", Line(), Column());
            root_ = ReadElement(true);
            if (auto* page = dynamic_cast<wpfsim::Page*>(root_))
                root_ = &NavigationWindow(*page);
            else if (root_ && !dynamic_cast<wpfsim::Window*>(root_))
                root_ = &DesignerWindow(*root_);
            if (root_) app_.AddRoot(*root_);
        }
        if (!root_) Fail(L"the document has no root element (a Window)", 0, 0);
    }

    wpfsim::Element* Root() const noexcept { return root_; }

    // The project's application file (App.xaml or Application.xaml) of the window at `path`, in its folder or
    // above it up to the project's folder: its Application.Resources are the window's outermost resources, as
    // WPF finds them at run time. Dictionary sources are found from the file's folder ("Styles.xaml") or the
    // project's ("/Styles.xaml", "/Project;component/Styles.xaml").
    void ReadApplicationOf(const std::wstring& path) {
        file_ = path;
        std::wstring folder = FolderOf(path);
        projectRoot_ = folder;
        for (int level = 0; level < 4 && !folder.empty(); ++level) {
            for (const wchar_t* name : {L"App.xaml", L"Application.xaml"}) {
                const std::wstring candidate = folder + name;
                if (FileExists(candidate) && _wcsicmp(candidate.c_str(), path.c_str()) != 0) {
                    projectRoot_ = folder;
                    applicationFile_ = candidate;
                    ReadOtherFile(candidate, &Reader::ReadApplicationDocument, application_);
                    return;
                }
            }
            if (HasProjectFile(folder)) return;
            folder = FolderOf(folder.substr(0, folder.size() - 1));
        }
    }

    // What was left out for want of the project's other files, each with its line.
    const std::vector<std::wstring>& Notes() const noexcept { return notes_; }

private:
    static bool HasProjectFile(const std::wstring& folder) {
        for (const wchar_t* pattern : {L"*.csproj", L"*.vbproj"}) {
            WIN32_FIND_DATAW found;
            HANDLE search = FindFirstFileW((folder + pattern).c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                FindClose(search);
                return true;
            }
        }
        return false;
    }

    // A note of the reading (what was left out), kept by the window's reader with this file's name.
    void Note(unsigned line, const std::wstring& text) {
        Reader& top = Top();
        top.notes_.push_back((file_ == top.file_ ? std::wstring() : file_ + L", ") + L"line " +
                             std::to_wstring(line) + L": " + text);
    }

    // The reader of the window's own file, which includes the others.
    Reader& Top() {
        Reader* top = this;
        while (top->parent_)
            top = top->parent_;
        return *top;
    }

    // Reads another file of the project with a reader of its own, which looks resources up through this one;
    // what the file defines is merged into `into`. Its errors name it.
    void ReadOtherFile(const std::wstring& path, void (Reader::*document)(), ResourceMap& into) {
        int depth = 0;
        for (const Reader* r = this; r; r = r->parent_, ++depth)
            if (_wcsicmp(r->file_.c_str(), path.c_str()) == 0 || depth > 16)
                Fail(L"the resource dictionary " + path + L" includes itself", 0, 0);
        try {
            size_t characters = 0;
            ov::ComPtr<IXmlReader> xml = OpenXml(ReadFileBytes(path), characters);
            Reader reader(*xml, app_, characters);
            reader.file_ = path;
            reader.projectRoot_ = projectRoot_;
            reader.parent_ = this;
            (reader.*document)();
            Merge(into, reader.document_);
        } catch (XamlError& e) {
            if (e.file.empty()) e.file = path;
            throw;
        }
    }

    // The dictionary's own entries win over merged ones; of merged ones, the later wins.
    static void Merge(ResourceMap& into, ResourceMap& from) {
        for (auto& [key, entry] : from) {
            auto it = into.find(key);
            if (it == into.end())
                into.emplace(key, std::make_pair(std::move(entry.first), 0u));
            else if (it->second.second == 0)
                it->second.first = std::move(entry.first);
        }
    }

    // App.xaml: an Application, its attributes as WPF reads them, its Application.Resources.
    void ReadApplicationDocument() {
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType != XmlNodeType_Element) continue;
            Opened o = Open();
            ScopeCloser closer{scopes_};
            // The project's own Application class (of a library) stands at the root too.
            const bool own = std::wstring_view(o.ns).starts_with(kClrNamespace);
            if ((o.ns != xamlns::Presentation || o.local != L"Application") && !own)
                Fail(L"the root element of the application file must be an Application, not '" + o.qualified +
                         L"'",
                     o.line, o.column);
            if (!own) ReadRootAttributes(o);
            frames_.emplace_back();
            if (!o.empty)
                ForEachChild(L"Application", [&] {
                    const std::wstring local = Text(&IXmlReader::GetLocalName);
                    if (local != o.local + L".Resources" && local != L"Application.Resources")
                        Fail(L"'" + local +
                                 L"' in the Application is not supported (Application.Resources is)",
                             Line(), Column());
                    ReadResources(local, xml_.IsEmptyElement());
                });
            document_ = std::move(frames_.back().resources);
            frames_.pop_back();
            return;
        }
        Fail(L"the application file has no root element", 0, 0);
    }

    // A dictionary file: a ResourceDictionary at the root.
    void ReadDictionaryDocument() {
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType != XmlNodeType_Element) continue;
            if (Text(&IXmlReader::GetLocalName) != L"ResourceDictionary" ||
                Text(&IXmlReader::GetNamespaceUri) != xamlns::Presentation)
                Fail(L"the root element of a dictionary file must be a ResourceDictionary", Line(), Column());
            frames_.emplace_back();
            ReadDictionary(true);
            document_ = std::move(frames_.back().resources);
            frames_.pop_back();
            return;
        }
        Fail(L"the dictionary file has no root element", 0, 0);
    }

    // The root's attributes of an application or dictionary file: x:Class (with its code-behind), and the
    // Application's properties and events.
    void ReadRootAttributes(const Opened& o) {
        for (const Attribute& a : o.attributes)
            if (a.ns == xamlns::Xaml && a.local == L"Class") codeBehind_ = true;
        const surface::Class* wpf = surface::FindClass(o.local);
        for (const Attribute& a : o.attributes) {
            if (ignorable_.count(a.ns) || (a.ns == xamlns::Compatibility && a.local == L"Ignorable"))
                continue;
            if (a.ns == xamlns::Xaml &&
                (a.local == L"Class" || a.local == L"ClassModifier" || a.local == L"Uid"))
                continue;
            if (a.ns == kXmlNamespace) {
                XmlAttribute(a);
                continue;
            }
            if (!a.ns.empty() || a.local.find(L'.') != std::wstring::npos)
                Fail(L"unknown attribute '" + a.Qualified() + L"' of " + o.local, a.line, a.column);
            ApplyWpfAttribute(nullptr, wpf, o.local, a, Value(a));
        }
    }

    // The file a dictionary's Source names: relative to this file's folder, or (from "/") to the project's,
    // where "/Assembly;component/" and "pack://application:,,," lead too.
    std::wstring SourcePath(std::wstring_view value) const {
        value = Trim(value);
        constexpr std::wstring_view pack = L"pack://application:,,,";
        if (value.size() >= pack.size() && _wcsnicmp(value.data(), pack.data(), pack.size()) == 0)
            value.remove_prefix(pack.size());
        const bool rooted = value.starts_with(L"/");
        if (rooted) {
            value.remove_prefix(1);
            constexpr std::wstring_view component = L";component/";
            if (const size_t at = value.find(component); at != std::wstring_view::npos)
                value.remove_prefix(at + component.size());
        }
        std::wstring path = (rooted ? projectRoot_ : FolderOf(file_)) + std::wstring(value);
        std::replace(path.begin(), path.end(), L'/', L'\\');
        return path;
    }

    void MergeSource(const Attribute& a, ResourceMap& into) {
        // WPF's own themes (/PresentationFramework.Aero;component/themes/aero.normalcolor.xaml): the
        // simulation keeps its look, and their keys are WPF's styles of its controls.
        if (const size_t at = a.value.find(L"PresentationFramework.");
            at != std::wstring::npos && a.value.find(L";component/", at) != std::wstring::npos) {
            Top().themeMerged_ = true;
            return;
        }
        const std::wstring path = SourcePath(a.value);
        if (file_.empty() || !FileExists(path))
            Fail(L"ResourceDictionary.Source '" + a.value +
                     L"' is not supported: the dictionary's file is not here",
                 a.line, a.column);
        ReadOtherFile(path, &Reader::ReadDictionaryDocument, into);
    }

    // <ResourceDictionary.MergedDictionaries>: dictionaries of files or inline, merged below the own entries.
    void ReadMergedDictionaries(const std::wstring& local) {
        const bool empty = xml_.IsEmptyElement();
        OpenPropertyElement(local);
        if (empty) return;
        ForEachChild(local, [&] {
            if (Text(&IXmlReader::GetLocalName) != L"ResourceDictionary" ||
                Text(&IXmlReader::GetNamespaceUri) != xamlns::Presentation)
                Fail(local + L" holds ResourceDictionary elements only", Line(), Column());
            ResourceMap merged;
            {
                struct Restore {
                    ResourceMap*& target;
                    ResourceMap* outer;
                    ~Restore() { target = outer; }
                } restore{target_, target_};
                target_ = &merged;
                ReadDictionary(false);
            }
            Merge(Target(), merged);
        });
    }

    // Where the dictionary being read puts its entries.
    ResourceMap& Target() { return target_ ? *target_ : frames_.back().resources; }
    // A user control at the root shows in a window of its own, as a designer shows it: the window, named
    // after the control's class, takes the control's size (its Width and Height, else what its content
    // needs; d:DesignWidth and d:DesignHeight are skipped, as WPF skips them when it runs).
    wpfsim::Element& DesignerWindow(wpfsim::Element& control) {
        auto& window = app_.Create<wpfsim::Window>(L"System.Windows.Window", L"");
        window.SetTitle(control.ClassName());
        window.SetContentElement(&control);
        return window;
    }

    // A page at the root shows in a NavigationWindow, as WPF shows an application's start page: titled with
    // its WindowTitle (a page's Title names its journal entry, not the window), of its WindowWidth and
    // WindowHeight (else sized as a user control).
    wpfsim::Element& NavigationWindow(wpfsim::Page& page) {
        auto& window = app_.Create<wpfsim::Window>(L"System.Windows.Navigation.NavigationWindow", L"");
        window.SetTitle(page.WindowTitle().value_or(L""));
        if (!std::isnan(page.WindowWidth())) window.Layout().width = page.WindowWidth();
        if (!std::isnan(page.WindowHeight())) window.Layout().height = page.WindowHeight();
        window.SetContentElement(&page);
        return window;
    }

    // The properties of one element that are set: its attributes, its property elements (with their lines)
    // and its content (the line of its first run). Kept without allocations for the usual element.
    struct Assigned {
        const std::vector<Attribute>& attributes;
        std::vector<std::pair<std::wstring, unsigned>> elements;
        unsigned contentLine = 0;
    };

    unsigned Line() {
        UINT line = 0;
        xml_.GetLineNumber(&line);
        return line;
    }
    unsigned Column() {
        UINT column = 0;
        xml_.GetLinePosition(&column);
        return column;
    }

    [[noreturn]] void Fail(std::wstring message, unsigned line, unsigned column) {
        throw XamlError{std::move(message), line, column};
    }

    bool Next(XmlNodeType& type) {
        HRESULT hr = xml_.Read(&type);
        if (hr == S_FALSE) return false;
        // Where the parser noticed the fault, its column says little: the line alone is given.
        if (FAILED(hr)) Fail(ParserFailure(hr), Line(), 0);
        // At a premature end (after whitespace, inside text, after a child element) wine's parser hands back
        // the node before again and again; every node takes at least one character of the text.
        const Place place{type, Line(), Column()};
        if (place == last_ || readsLeft_-- == 0) Fail(ParserFailure(kInputEnd), lastLine_, 0);
        last_ = place;
        if (place.line) lastLine_ = place.line;
        if (type == XmlNodeType_Element) {
            UINT depth = 0;
            xml_.GetDepth(&depth);
            if (depth >= kMaxDepth)
                Fail(L"the elements are nested deeper than " + std::to_wstring(kMaxDepth) + L" levels",
                     Line(), Column());
        }
        return true;
    }

    std::wstring Text(HRESULT (STDMETHODCALLTYPE IXmlReader::*get)(LPCWSTR*, UINT*)) {
        LPCWSTR text = nullptr;
        UINT length = 0;
        if (FAILED((xml_.*get)(&text, &length)) || !text) return {};
        return std::wstring(text, length);
    }

    // The prefix of the current node, also when the parser leaves out one that was never declared.
    std::wstring Prefix() {
        std::wstring prefix = Text(&IXmlReader::GetPrefix);
        if (prefix.empty()) {
            std::wstring qualified = Text(&IXmlReader::GetQualifiedName);
            if (size_t colon = qualified.find(L':'); colon != std::wstring::npos)
                prefix = qualified.substr(0, colon);
        }
        return prefix;
    }

    std::wstring Uri(const std::wstring& prefix) const {
        for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope)
            if (auto it = scope->find(prefix); it != scope->end()) return it->second;
        return {};
    }

    // The attributes of the current element; namespace declarations open a scope of their own.
    std::vector<Attribute> ReadAttributes() {
        std::vector<Attribute> attributes;
        std::map<std::wstring, std::wstring> declared;
        std::unordered_set<std::wstring> seen; // namespace, NUL, local name: neither holds a NUL
        for (HRESULT hr = xml_.MoveToFirstAttribute(); hr == S_OK; hr = xml_.MoveToNextAttribute()) {
            Attribute a{Text(&IXmlReader::GetNamespaceUri), Prefix(), Text(&IXmlReader::GetLocalName),
                        Text(&IXmlReader::GetValue),        Line(),   Column()};
            if (a.ns == kXmlnsNamespace) {
                declared[a.prefix.empty() ? std::wstring() : a.local] = a.value;
                continue;
            }
            if (!seen.insert(a.ns + L'\0' + a.local).second)
                Fail(L"the attribute '" + a.Qualified() + L"' is set twice", a.line, a.column);
            attributes.push_back(std::move(a));
        }
        xml_.MoveToElement();
        scopes_.push_back(std::move(declared));
        for (Attribute& a : attributes)
            if (!a.prefix.empty() && a.ns.empty()) a.ns = Uri(a.prefix);
        for (const Attribute& a : attributes) {
            if (!a.prefix.empty() && a.ns.empty())
                Fail(L"the namespace prefix '" + a.prefix + L"' is not declared", a.line, a.column);
            if (a.ns == xamlns::Compatibility && a.local == L"Ignorable") AddIgnorable(a);
        }
        return attributes;
    }

    void AddIgnorable(const Attribute& a) {
        std::wstring_view rest = a.value;
        while (!rest.empty()) {
            size_t start = rest.find_first_not_of(L" \t\r\n");
            if (start == std::wstring_view::npos) break;
            rest.remove_prefix(start);
            size_t end = std::min(rest.find_first_of(L" \t\r\n"), rest.size());
            std::wstring prefix(rest.substr(0, end));
            rest.remove_prefix(end);
            std::wstring uri = Uri(prefix);
            if (uri.empty())
                Fail(L"mc:Ignorable names the undeclared prefix '" + prefix + L"'", a.line, a.column);
            ignorable_.insert(uri);
        }
    }

    // The start of a property element, which takes no attributes (its namespace scope is closed at once).
    void OpenPropertyElement(const std::wstring& local) {
        std::vector<Attribute> own = ReadAttributes();
        scopes_.pop_back();
        if (!own.empty())
            Fail(L"the property element '" + local + L"' takes no attributes", own[0].line, own[0].column);
    }

    // Passes over the element the parser stands on, with its subtree (kept without effect).
    void SkipElement() {
        const bool empty = xml_.IsEmptyElement();
        ReadAttributes();
        scopes_.pop_back();
        Skip(empty);
    }

    // Reads past the current element's end (for ignorable elements).
    void Skip(bool empty) {
        if (empty) return;
        int depth = 1;
        XmlNodeType type;
        while (depth > 0 && Next(type)) {
            if (type == XmlNodeType_Element && !xml_.IsEmptyElement()) ++depth;
            if (type == XmlNodeType_EndElement) --depth;
        }
    }

    struct Resolved {
        const Type* type;
        std::wstring className;
        bool userClass;
    };

    // The element type and .NET class of the current element.
    Resolved ResolveType(const std::wstring& ns, const std::wstring& local, const std::wstring& prefix,
                         const std::vector<Attribute>& attributes, unsigned line, unsigned column) {
        std::wstring qualified = prefix.empty() ? local : prefix + L":" + local;
        if (ns == xamlns::Presentation) {
            const Type* type = FindType(local);
            if (!type) {
                if (const surface::Class* wpf = surface::FindClass(local)) {
                    if (surface::IsElement(*wpf))
                        Fail(L"'" + qualified +
                                 L"' is not supported: the simulation does not have this WPF element",
                             line, column);
                    Fail(L"'" + qualified +
                             L"' is a WPF value, not an element: it stands only as the value of a "
                             L"property (in a property element such as <Button.Background>)",
                         line, column);
                }
                Fail(UnknownWpfElement(qualified), line, column);
            }
            if (!type->make)
                Fail(L"'" + qualified + L"' is an abstract WPF class and cannot be an element", line, column);
            return {type, type->className, false};
        }
        if (std::wstring_view(ns).starts_with(kClrNamespace)) {
            std::wstring clrNamespace = ns.substr(kClrNamespace.size(), ns.find(L';') - kClrNamespace.size());
            std::wstring className = clrNamespace.empty() ? local : clrNamespace + L"." + local;
            auto base = std::find_if(attributes.begin(), attributes.end(), [](const Attribute& a) {
                return a.ns == xamlns::Sim && a.local == L"Base";
            });
            if (base == attributes.end()) {
                // A user control of the project, whose own XAML is not here: an empty one.
                const Type* type = FindType(L"UserControl");
                return {type && type->make ? type : FindType(L"ContentControl"), className, true};
            }
            const Type* type = FindType(base->value);
            if (!type || !type->make)
                Fail(L"sim:Base names '" + base->value + L"', which is no WPF class the host knows",
                     base->line, base->column);
            return {type, className, true};
        }
        if (ns.empty() && !prefix.empty())
            Fail(L"the namespace prefix '" + prefix + L"' is not declared", line, column);
        if (ns.empty())
            Fail(L"the element '" + local + L"' is in no namespace (declare xmlns=\"" +
                     std::wstring(xamlns::Presentation) + L"\")",
                 line, column);
        Fail(L"unknown element '" + qualified + L"' (namespace '" + ns + L"')", line, column);
    }

    // Reads the element the parser stands on, with its subtree; null when it is ignorable.
    wpfsim::Element* ReadElement(bool root) {
        const unsigned line = Line(), column = Column();
        const std::wstring local = Text(&IXmlReader::GetLocalName);
        const std::wstring prefix = Prefix();
        const bool empty = xml_.IsEmptyElement();
        std::vector<Attribute> attributes = ReadAttributes();
        std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
        if (ns.empty() && !prefix.empty()) ns = Uri(prefix);
        struct PopScope {
            std::vector<std::map<std::wstring, std::wstring>>& scopes;
            ~PopScope() { scopes.pop_back(); }
        } popScope{scopes_};

        if (ignorable_.count(ns)) {
            Skip(empty);
            return nullptr;
        }
        auto [type, className, userClass] = ResolveType(ns, local, prefix, attributes, line, column);
        const std::wstring qualified = prefix.empty() ? local : prefix + L":" + local;
        if (root && !IsA(*type, L"Window") && !IsA(*type, L"UserControl") && !IsA(*type, L"Page"))
            Fail(L"the root element must be a Window, a Page or a UserControl, not '" + qualified + L"'",
                 line, column);
        ReadDirectives(attributes, root);
        for (const Attribute& a : attributes)
            if (a.ns == xamlns::Xaml && a.local == L"Class") {
                className = a.value;
                codeBehind_ = true;
            }

        Node node{&type->make(app_, className)};
        // As WPF's reader, which numbers the UIElements it makes.
        if (node.element->Kind() == wpfsim::ObjectKind::UIElement) node.element->SetPersistId(++persistIds_);
        Frame& frame = frames_.emplace_back();
        frame.element = node.element;
        frame.type = type;
        frame.className = className;
        frame.projectClass = userClass && !HasSimBase(attributes);
        struct PopFrame {
            std::vector<Frame>& frames;
            ~PopFrame() { frames.pop_back(); }
        } popFrame{frames_};
        bool contentSet = false;
        Assigned assigned{attributes, {}};
        ApplyAttributes(node, *type, userClass, qualified, attributes, contentSet);

        if (!empty) ReadContent(node, *type, qualified, line, column, contentSet, assigned);
        // As WPF at the end of an element's initialization: its style (its own resources count), then the
        // bindings, whose sources are all read by now.
        ApplyStyle(node, *type, qualified, line, column);
        ApplyBindings(node, *type, qualified);
        if (auto* items = dynamic_cast<wpfsim::ItemsControl*>(node.element))
            ApplyItemTemplate(*items, line, column);
        ApplyControlTemplate(node, *type, line, column);
        return node.element;
    }

    static bool HasSimBase(const std::vector<Attribute>& attributes) {
        return std::any_of(attributes.begin(), attributes.end(),
                           [](const Attribute& a) { return a.ns == xamlns::Sim && a.local == L"Base"; });
    }

    static bool IsA(const Type& type, std::wstring_view name) {
        for (const Type* t = &type; t; t = t->base ? FindType(t->base) : nullptr)
            if (name == t->name) return true;
        const surface::Class* wpf = SurfaceOf(type);
        return wpf && surface::DerivesFrom(*wpf, name);
    }

    // WPF's class of a simulated kind (a user class's: its base's).
    static const surface::Class* SurfaceOf(const Type& type) {
        for (const Type* t = &type; t; t = t->base ? FindType(t->base) : nullptr)
            if (const surface::Class* wpf = surface::FindClass(t->name)) return wpf;
        return nullptr;
    }

    // The directives of the markup compiler: x:Class, x:Subclass and x:ClassModifier on the root only (the
    // last two beside x:Class), x:FieldModifier beside a name, x:Uid anywhere (localization; no effect).
    void ReadDirectives(const std::vector<Attribute>& attributes, bool root) {
        const Attribute* of[4] = {};
        bool named = false;
        for (const Attribute& a : attributes) {
            if (a.ns.empty() && a.local == L"Name") named = true;
            if (a.ns != xamlns::Xaml) continue;
            if (a.local == L"Name") named = true;
            int i = a.local == L"Class"           ? 0
                    : a.local == L"Subclass"      ? 1
                    : a.local == L"ClassModifier" ? 2
                    : a.local == L"FieldModifier" ? 3
                                                  : -1;
            if (i < 0) continue;
            of[i] = &a;
            if (i < 3 && !root)
                Fail(a.Qualified() + L" is allowed on the root element only", a.line, a.column);
        }
        static const wchar_t* const classModifiers[] = {L"public", L"internal", L"Public", L"Friend"};
        static const wchar_t* const fieldModifiers[] = {L"public",    L"internal", L"private", L"protected",
                                                        L"Public",    L"Friend",   L"Private", L"Protected",
                                                        L"NotPublic", L"Assembly"};
        auto oneOf = [&](const Attribute& a, std::span<const wchar_t* const> names) {
            for (const wchar_t* name : names)
                if (a.value == name) return;
            std::wstring expected;
            for (const wchar_t* name : names)
                expected += (expected.empty() ? L"" : L", ") + std::wstring(name);
            Fail(L"'" + a.value + L"' is no valid value of " + a.Qualified() + L": " + expected +
                     L" expected",
                 a.line, a.column);
        };
        if (of[0] && !IsClassName(of[0]->value))
            Fail(L"'" + of[0]->value +
                     L"' is no valid value of x:Class: a class name (Namespace.Class) expected",
                 of[0]->line, of[0]->column);
        for (int i : {1, 2})
            if (of[i] && !of[0])
                Fail(of[i]->Qualified() + L" needs x:Class on the root", of[i]->line, of[i]->column);
        if (of[1] && !IsClassName(of[1]->value))
            Fail(L"'" + of[1]->value + L"' is no valid value of x:Subclass: a class name expected",
                 of[1]->line, of[1]->column);
        if (of[2]) oneOf(*of[2], classModifiers);
        if (of[3]) {
            if (!named) Fail(L"x:FieldModifier needs x:Name on the same element", of[3]->line, of[3]->column);
            oneOf(*of[3], fieldModifiers);
        }
    }

    // Namespace.Class: identifiers joined by dots.
    static bool IsClassName(std::wstring_view name) {
        if (name.empty()) return false;
        for (size_t start = 0;;) {
            const size_t dot = name.find(L'.', start);
            const std::wstring_view part = name.substr(start, dot - start);
            if (part.empty() || !IsIdentifier(part)) return false;
            if (dot == std::wstring_view::npos) return true;
            start = dot + 1;
        }
    }

    void ApplyAttributes(Node& node, const Type& type, bool userClass, const std::wstring& qualified,
                         const std::vector<Attribute>& attributes, bool& contentSet) {
        const Attribute* named = nullptr;
        for (const Attribute& a : attributes) {
            auto fail = [&](const std::wstring& message) { Fail(message, a.line, a.column); };
            // The simulation's own attributes are read although WPF, told to ignore them, skips them; without
            // that mc:Ignorable WPF refuses the file.
            if (a.ns == xamlns::Sim) {
                if (!ignorable_.count(a.ns))
                    fail(L"the attribute '" + a.Qualified() +
                         L"' needs its prefix in mc:Ignorable (WPF refuses "
                         L"attributes of a namespace it does not know)");
                if (a.local == L"Base") {
                    if (!userClass)
                        fail(L"sim:Base belongs on user classes (elements of a clr-namespace) only");
                    continue;
                }
                const Property* property = FindSimProperty(type, a.local);
                if (!property) fail(L"unknown attribute '" + a.Qualified() + L"' of " + qualified);
                Set(node, *property, a.value, a.Qualified(), a.line, a.column);
                continue;
            }
            if (ignorable_.count(a.ns)) continue;
            if (a.ns == xamlns::Compatibility) {
                if (a.local != L"Ignorable") fail(L"unknown attribute '" + a.Qualified() + L"'");
                continue;
            }
            if (a.ns == xamlns::Xaml) {
                if (a.local == L"Class" || a.local == L"Subclass" || a.local == L"ClassModifier" ||
                    a.local == L"FieldModifier" || a.local == L"Uid")
                    continue;
                if (a.local != L"Name") fail(L"unknown attribute '" + a.Qualified() + L"'");
            } else if (a.ns == kXmlNamespace) {
                XmlAttribute(a);
                continue;
            } else if (!a.ns.empty()) {
                fail(L"unknown attribute '" + a.Qualified() + L"' (namespace '" + a.ns + L"')");
            }
            if (a.local == L"Name") {
                if (named)
                    fail(L"the element is named twice ('" + named->Qualified() + L"' and '" + a.Qualified() +
                         L"')");
                named = &a;
                SetName(*node.element, a);
                continue;
            }
            if (type.textProperty && a.local == type.textProperty) contentSet = true;
            SetFromText(node, type, qualified, a.local, a.value, a.line, a.column, false);
        }
    }

    // xml:space and xml:lang, which WPF reads on any element: checked, kept without effect (text keeps
    // XAML's white space rules; the language changes no text the module reads).
    void XmlAttribute(const Attribute& a) {
        if (a.local == L"space") {
            if (a.value != L"preserve" && a.value != L"default")
                Fail(L"'" + a.value + L"' is no valid value of xml:space: preserve or default", a.line,
                     a.column);
            return;
        }
        if (a.local != L"lang") Fail(L"unknown attribute '" + a.Qualified() + L"'", a.line, a.column);
    }

    // --- what WPF has and the simulation does not show: read as WPF reads it, then kept without effect or
    // dropped (value objects: brushes, transforms, effects, bindings of commands and keys, triggers)

    static bool IsMarkup(std::wstring_view value) {
        return value.starts_with(L"{") && !value.starts_with(L"{}");
    }

    // An attribute of a property, event or directive that the simulation does not declare, on an element
    // (`element` null on a value object) of WPF's class `wpf`.
    void ApplyWpfAttribute(wpfsim::Element* element, const surface::Class* wpf, const std::wstring& qualified,
                           const Attribute& a, const std::wstring& value) {
        if (const surface::Member* property = wpf ? surface::FindProperty(*wpf, a.local) : nullptr) {
            ReadWpfValue(element, *property, a.local, qualified, a, value);
            return;
        }
        if (wpf && surface::HasEvent(*wpf, a.local, false)) {
            Handler(element, a.local, a);
            return;
        }
        // XAML finds an attached property of the element's own class without its owner (Top="0" on a
        // Canvas): read, kept without effect on the layout.
        if (const surface::Member* attached = wpf ? surface::FindAttached(*wpf, a.local) : nullptr) {
            ReadWpfValue(element, *attached, a.local, qualified, a, value);
            return;
        }
        Fail(L"unknown attribute '" + a.local + L"' of " + qualified, a.line, a.column);
    }

    // Owner.Name: an attached property or event of WPF's, or a property of the element's own class.
    void ApplyWpfAttached(wpfsim::Element* element, const surface::Class* wpf, std::wstring_view ownerName,
                          std::wstring_view name, const Attribute& a, const std::wstring& value) {
        if (const surface::Class* owner = surface::FindClass(ownerName)) {
            const surface::Member* property = surface::FindAttached(*owner, name);
            if (!property && wpf && surface::DerivesFrom(*wpf, ownerName))
                property = surface::FindProperty(*owner, name);
            if (property) {
                ReadWpfValue(element, *property, a.local, owner->name, a, value);
                return;
            }
            if (surface::HasEvent(*owner, name, true) ||
                (wpf && surface::DerivesFrom(*wpf, ownerName) && surface::HasEvent(*owner, name, false))) {
                Handler(element, a.local, a);
                return;
            }
        }
        Fail(L"unknown attached property '" + a.local + L"'", a.line, a.column);
    }

    // A value read by the converter of the property's CLR type; what scripts and the host read is kept.
    void ReadWpfValue(wpfsim::Element* element, const surface::Member& property, const std::wstring& name,
                      const std::wstring& owner, const Attribute& a, const std::wstring& value) {
        if (property.flags & surface::member::ReadOnly)
            Fail(L"the property '" + name + L"' of " + owner +
                     L" is read-only: its items go in a property element (<" + owner + L"." + name + L">)",
                 a.line, a.column);
        if (IsMarkup(a.value)) return;
        try {
            if (ConvertedApart(property, value)) return;
        } catch (const ValueError& e) {
            Fail(L"'" + value + L"' is no valid value of " + name + L": " + e.message, a.line, a.column);
        }
        if (property.converter == surface::Converter::None)
            Fail(L"the property '" + name + L"' of " + owner + L" is not supported (its type " +
                     property.type + L" is not)",
                 a.line, a.column);
        try {
            surface::Convert(property, value);
        } catch (const ValueError& e) {
            Fail(L"'" + value + L"' is no valid value of " + name + L": " + e.message, a.line, a.column);
        }
        if (element) Keep(*element, property, name, value);
    }

    // Types whose converters live outside the surface's assemblies' common ones: DataGridLength (a length,
    // Auto, SizeToCells, SizeToHeader or a star share) and StrokeCollection (ink saved as base64). Throws
    // ValueError for a value they refuse; false for other types.
    static bool ConvertedApart(const surface::Member& property, const std::wstring& text) {
        const std::wstring_view type = property.type ? property.type : L"";
        if (type == L"DataGridLength") {
            std::wstring_view v = Trim(text);
            for (std::wstring_view word : {L"Auto", L"SizeToCells", L"SizeToHeader"})
                if (v.size() == word.size() && _wcsnicmp(v.data(), word.data(), v.size()) == 0) return true;
            if (v.ends_with(L"*")) {
                v.remove_suffix(1);
                if (v.empty()) return true;
            }
            ToNumber(v);
            return true;
        }
        if (type == L"StrokeCollection") {
            const std::wstring_view v = Trim(text);
            const bool base64 = std::all_of(v.begin(), v.end(), [](wchar_t c) {
                return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') ||
                       c == L'+' || c == L'/' || c == L'=';
            });
            if (!base64) throw ValueError{L"ink saved as base64 expected"};
            return true;
        }
        return false;
    }

    // AutomationProperties for the host; values of the plain types readable by name on the .NET object.
    static void Keep(wpfsim::Element& element, const surface::Member& property, const std::wstring& name,
                     const std::wstring& value) {
        constexpr std::wstring_view automation = L"AutomationProperties.";
        if (std::wstring_view(name).starts_with(automation)) {
            element.SetAutomationProperty(name.substr(automation.size()), value);
            return;
        }
        if (name.find(L'.') != std::wstring::npos) return;
        using surface::Converter;
        switch (property.converter) {
        case Converter::Bool:
            element.KeepValue(name, ov::Variant::Bool(ToBool(value)));
            break;
        case Converter::Int32:
            element.KeepValue(name, ov::Variant::Int(static_cast<LONG>(ToInt32(value))));
            break;
        case Converter::Number:
            element.KeepValue(name, ov::Variant::Double(ToNumber(value)));
            break;
        case Converter::Length:
            element.KeepValue(name, ov::Variant::Double(ToPosition(value)));
            break;
        case Converter::Enum:
            if (const std::optional<long> number = surface::EnumNumber(property, value))
                element.KeepValue(name, ov::Variant::Int(*number));
            break;
        case Converter::Text:
            if (property.type == std::wstring_view(L"string")) element.KeepText(name, value);
            break;
        default:
            break;
        }
    }

    // An event handler: the method of the code-behind, kept on the element; loose XAML has no code-behind.
    void Handler(wpfsim::Element* element, const std::wstring& event, const Attribute& a) {
        if (!codeBehind_)
            Fail(L"the event '" + event + L"' names the handler '" + a.value +
                     L"', but without x:Class on the root there is no code-behind to hold it (WPF refuses "
                     L"event handlers in loose XAML)",
                 a.line, a.column);
        if (!IsIdentifier(a.value) || a.value.empty())
            Fail(L"'" + a.value + L"' is no valid handler of " + event + L": a method's name expected",
                 a.line, a.column);
        if (element) element->AddHandler(event, a.value);
    }

    // The property that an element's content sets where it has a property element too (Content, Items).
    static std::wstring_view ContentProperty(const Type& type) {
        return type.content == Content::Items     ? L"Items"
               : type.content == Content::Inlines ? L"Inlines"
               : type.textProperty                ? type.textProperty
                                                  : L"";
    }

    // WPF sets a property once: an attribute and a property element of it, two property elements, or content
    // before and after a property element are refused. An attribute against the content keeps its own words.
    // `property` empty: a run of content starts.
    void Assign(Assigned& assigned, const Type& type, std::wstring_view property,
                const std::wstring& qualified, unsigned line, unsigned column) {
        const std::wstring_view content = ContentProperty(type);
        auto twice = [&](std::wstring_view name, unsigned first) {
            const std::wstring where = L" is set twice (line " + std::to_wstring(first) + L")";
            Fail(name.empty() ? L"the content of " + qualified + where
                              : L"the property '" + std::wstring(name) + L"' of " + qualified + where,
                 line, column);
        };
        const bool isContent = property.empty() || property == content;
        if (isContent && assigned.contentLine) twice(content, assigned.contentLine);
        for (const auto& [name, first] : assigned.elements)
            if (name == (property.empty() ? content : property)) twice(name, first);
        if (property.empty()) {
            assigned.contentLine = line;
            return;
        }
        for (const Attribute& a : assigned.attributes)
            if (a.ns.empty() && a.local == property) twice(property, a.line);
        assigned.elements.emplace_back(property, line);
    }

    void Set(Node& node, const Property& property, const std::wstring& value, const std::wstring& name,
             unsigned line, unsigned column) {
        if (!property.set)
            Fail(L"the property '" + name + L"' takes an element: write it as a property element", line,
                 column);
        try {
            property.set(node, value);
        } catch (const ValueError& e) {
            Fail(L"'" + value + L"' is no valid value of " + name + L": " + e.message, line, column);
        }
    }

    // --- markup extensions, resources, styles and bindings -------------------------------------------------

    // A binding waiting for the end of its element (its source may be read after it), or an ItemsSource.
    struct PendingBinding {
        std::wstring property;
        std::optional<markup::Extension> binding;
        std::optional<Data> value; // an ItemsSource given directly
        unsigned line = 0, column = 0;
    };

    // What an element being read gives the elements inside it, and what is left to do at its end.
    struct Frame {
        wpfsim::Element* element = nullptr;
        const Type* type = nullptr;
        std::wstring className;
        // A class of the project whose own XAML is not here: its own properties are not known.
        bool projectClass = false;
        std::map<std::wstring, std::pair<Resource, unsigned>> resources; // with the entry's line
        std::optional<Data> dataContext;
        std::shared_ptr<const StyleDef> style;
        bool styleSet = false;
        std::shared_ptr<const TemplateDef> itemTemplate, controlTemplate;
        bool displayMemberPath = false;
        std::set<std::wstring, std::less<>> local; // the properties the element sets itself
        std::vector<PendingBinding> bindings;
    };

    // The markup extension of an attribute's text, or nothing (plain text, or the "{}" escape).
    std::optional<markup::Extension> ExtensionOf(std::wstring_view text, unsigned line, unsigned column) {
        if (!text.starts_with(L"{") || text.starts_with(L"{}")) return std::nullopt;
        try {
            return markup::Parse(text);
        } catch (const markup::SyntaxError& e) {
            Fail(L"the markup extension '" + std::wstring(text) + L"' cannot be read: " + e.message, line,
                 column);
        }
    }

    static std::wstring Literal(const std::wstring& text) {
        return std::wstring_view(text).starts_with(L"{}") ? text.substr(2) : text;
    }
    static std::wstring Value(const Attribute& a) { return Literal(a.value); }

    static std::wstring TypeNameOf(const VARIANT& v) {
        switch (v.vt) {
        case VT_BSTR:
            return L"System.String";
        case VT_I4:
            return L"System.Int32";
        case VT_R8:
            return L"System.Double";
        case VT_BOOL:
            return L"System.Boolean";
        case VT_DISPATCH:
        case VT_UNKNOWN: {
            ov::ComPtr<wpfsim::ClrObject> object = wpfsim::ObjectOf(v);
            return object ? object->ClassName() : L"";
        }
        default:
            return L"";
        }
    }

    // A type as x:Type, TargetType and x:Array's Type name it ("Button", "local:Order", "sys:String"): its
    // kind in the schema (null for a class of the project or the system) and its .NET class.
    std::pair<const Type*, std::wstring> NamedType(std::wstring_view text, unsigned line, unsigned column) {
        text = Trim(text);
        if (auto extension = ExtensionOf(text, line, column)) {
            if (extension->name != L"x:Type")
                Fail(L"a type is named by its name or {x:Type}, not '" + extension->ToString() + L"'", line,
                     column);
            const markup::Argument* name = extension->Named(L"TypeName");
            if (!name && extension->positional.size() == 1) name = &extension->positional[0];
            if (!name || name->extension || extension->positional.size() > 1)
                Fail(L"{x:Type} names one type: " + extension->ToString(), line, column);
            return NamedType(name->text, line, column);
        }
        const size_t colon = text.find(L':');
        const std::wstring prefix(colon == std::wstring_view::npos ? std::wstring_view()
                                                                   : text.substr(0, colon));
        const std::wstring local(colon == std::wstring_view::npos ? text : text.substr(colon + 1));
        const std::wstring ns = Uri(prefix);
        if (local.empty()) Fail(L"a type's name expected", line, column);
        if (ns == xamlns::Presentation) {
            if (const Type* type = FindType(local)) return {type, type->className};
            // A WPF class the simulation does not make: nothing of it is ever styled.
            if (const surface::Class* wpf = surface::FindClass(local))
                return {nullptr, std::wstring(wpf->ns) + L"." + wpf->name};
            Fail(L"the type '" + std::wstring(text) + L"' is unknown", line, column);
        }
        if (std::wstring_view(ns).starts_with(kClrNamespace)) {
            const std::wstring clr = ns.substr(kClrNamespace.size(), ns.find(L';') - kClrNamespace.size());
            return {nullptr, clr.empty() ? local : clr + L"." + local};
        }
        if (ns.empty() && !prefix.empty())
            Fail(L"the namespace prefix '" + prefix + L"' is not declared", line, column);
        Fail(L"the type '" + std::wstring(text) + L"' is unknown", line, column);
    }

    // The value of {x:Static Owner.Member}.
    markup::SystemValue StaticValue(const markup::Extension& e, unsigned line, unsigned column) {
        const markup::Argument* member = e.Named(L"Member");
        if (!member && e.positional.size() == 1) member = &e.positional[0];
        if (!member || member->extension) Fail(L"{x:Static} names one member: " + e.ToString(), line, column);
        std::wstring_view text = Trim(member->text);
        const size_t dot = text.rfind(L'.');
        if (dot == std::wstring_view::npos)
            Fail(L"{x:Static} names a type's member (Type.Member), not '" + std::wstring(text) + L"'", line,
                 column);
        std::wstring_view owner = text.substr(0, dot);
        const std::wstring_view name = text.substr(dot + 1);
        const size_t colon = owner.find(L':');
        const std::wstring ns = colon == std::wstring_view::npos ? xamlns::Presentation
                                                                 : Uri(std::wstring(owner.substr(0, colon)));
        if (colon != std::wstring_view::npos) owner.remove_prefix(colon + 1);
        std::optional<markup::SystemValue> value;
        if (ns == xamlns::Presentation || IsSystemNamespace(ns)) value = markup::StaticMember(owner, name);
        // The project's statics (its commands, its keys) and WPF's others (ApplicationCommands.Open,
        // Application.Current) are code that runs in the application, not here.
        const bool system =
            owner == L"SystemColors" || owner == L"SystemFonts" || owner == L"SystemParameters";
        const bool code = std::wstring_view(ns).starts_with(kClrNamespace) ||
                          (ns == xamlns::Presentation && !system && surface::FindClass(owner));
        if (!value && code && IsIdentifier(name)) return markup::SystemValue{L"", L"", L"", true};
        if (!value)
            Fail(L"{x:Static " + std::wstring(text) +
                     L"} is not supported (of the static members the system's colours, fonts and sizes are: "
                     L"SystemColors, SystemFonts, SystemParameters)",
                 line, column);
        return *value;
    }

    // A resource key as x:Key, StaticResource and DynamicResource give it: text, {x:Type} or a system key.
    std::wstring KeyOf(const markup::Argument& argument, unsigned line, unsigned column) {
        if (!argument.extension) return argument.text;
        const markup::Extension& e = *argument.extension;
        if (e.name == L"x:Type") return TypeKey(NamedType(e.ToString(), line, column).second);
        if (e.name == L"x:Static") {
            const markup::SystemValue value = StaticValue(e, line, column);
            if (value.unevaluated) return L"\x04" + e.ToString();
            if (value.keyOf.empty()) return value.text;
            return SystemKey(value.keyOf);
        }
        Fail(L"the markup extension '" + e.ToString() + L"' names no resource key", line, column);
    }

    std::wstring KeyOfText(const std::wstring& text, unsigned line, unsigned column) {
        if (auto extension = ExtensionOf(text, line, column)) {
            auto shared = std::make_shared<const markup::Extension>(std::move(*extension));
            return KeyOf(markup::Argument{L"", shared}, line, column);
        }
        return Literal(text);
    }

    // A resource by key from the element being read up to the window, then the system's.
    std::optional<Resource> FindResource(const std::wstring& key) const {
        if (target_)
            if (auto it = target_->find(key); it != target_->end()) return it->second.first;
        for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame)
            if (auto it = frame->resources.find(key); it != frame->resources.end()) return it->second.first;
        if (auto it = application_.find(key); it != application_.end()) return it->second.first;
        if (outer_)
            if (auto it = outer_->find(key); it != outer_->end()) return it->second.first;
        if (parent_) return parent_->FindResource(key);
        if (!key.empty() && key[0] == L'\x03') {
            const size_t dot = key.find(L'.');
            if (auto value = markup::StaticMember(std::wstring_view(key).substr(1, dot - 1),
                                                  std::wstring_view(key).substr(dot + 1)))
                return Resource{value->typeName, value->text, std::nullopt, nullptr};
        }
        return std::nullopt;
    }

    // {StaticResource key} or {DynamicResource key}: an unknown key is WPF's error for the first and keeps
    // the property's default for the second. Both are resolved once, where they are read.
    std::optional<Resource> ResolveResource(const markup::Extension& e, unsigned line, unsigned column) {
        const markup::Argument* key = e.Named(L"ResourceKey");
        if (!key && e.positional.size() == 1) key = &e.positional[0];
        if (!key || e.positional.size() > 1)
            Fail(L"{" + e.name + L"} names one resource key: " + e.ToString(), line, column);
        const std::wstring name = KeyOf(*key, line, column);
        std::optional<Resource> resource = FindResource(name);
        if (!resource && IsThemeStyleKey(name)) {
            // WPF's theme dictionary holds the default style of each of its controls under its type: not
            // read here, what names it keeps its default.
            Resource theme;
            theme.typeName = kStyleClass;
            theme.unevaluated = true;
            return theme;
        }
        if (!resource && e.name == L"StaticResource") {
            // A compiled window finds the rest in its application's resources: without the project's
            // App.xaml here, what names the key keeps its default.
            Reader* top = &Top();
            // So does a key of WPF's theme dictionary that a merged dictionary names.
            const bool outside = top->codeBehind_ && top->applicationFile_.empty();
            if (!outside && !top->themeMerged_)
                Fail(L"Cannot find resource named '" + ShownKey(name) +
                         L"'. Resource names are case sensitive.",
                     line, column);
            Note(line, L"the resource '" + ShownKey(name) +
                           (outside ? L"' is not in this file and no App.xaml of the project is beside it"
                                    : L"' is in none of the project's dictionaries but may be in WPF's "
                                      L"theme dictionary, which is not read") +
                           L": what names it keeps its default");
            Resource unknown;
            unknown.unevaluated = true;
            return unknown;
        }
        return resource;
    }

    static bool IsThemeStyleKey(const std::wstring& key) {
        if (!key.starts_with(L"\x01System.Windows.")) return false;
        const surface::Class* wpf = surface::FindClass(std::wstring_view(key).substr(key.rfind(L'.') + 1));
        return wpf && surface::DerivesFrom(*wpf, L"Control");
    }

    static bool IsResourceReference(const markup::Extension& e) {
        return e.name == L"StaticResource" || e.name == L"DynamicResource";
    }

    // The value an extension gives a property: a resource, a system value, null, or a type. Nothing: the
    // property keeps its default (a DynamicResource not found).
    std::optional<Resource> ResolveExtension(const markup::Extension& e, unsigned line, unsigned column) {
        if (IsResourceReference(e)) return ResolveResource(e, line, column);
        if (e.name == L"x:Null") {
            if (!e.positional.empty() || !e.named.empty()) Fail(L"{x:Null} takes no arguments", line, column);
            return Resource{L"", L"{x:Null}", std::nullopt, nullptr};
        }
        if (e.name == L"x:Static") {
            const markup::SystemValue value = StaticValue(e, line, column);
            Resource resource{value.typeName, value.text, std::nullopt, nullptr};
            resource.unevaluated = value.unevaluated;
            return resource;
        }
        if (e.name == L"x:Type")
            return Resource{L"System.Type", NamedType(e.ToString(), line, column).second, std::nullopt,
                            nullptr};
        if (e.name == L"RelativeSource")
            Fail(L"{RelativeSource} names the source of a Binding and is no value of its own", line, column);
        Fail(L"the markup extension '" + e.ToString() +
                 L"' is not supported (StaticResource, DynamicResource, Binding, TemplateBinding, x:Static, "
                 L"x:Type and x:Null are)",
             line, column);
    }

    static bool IsBinding(const markup::Extension& e) {
        return e.name == L"Binding" || e.name == L"TemplateBinding";
    }

    // A Binding's arguments as WPF checks them where it reads them.
    void CheckBinding(const markup::Extension& e, unsigned line, unsigned column) {
        if (e.name == L"TemplateBinding") return;
        static const std::set<std::wstring_view> known = {L"Path",
                                                          L"ElementName",
                                                          L"Mode",
                                                          L"Converter",
                                                          L"ConverterParameter",
                                                          L"ConverterCulture",
                                                          L"StringFormat",
                                                          L"RelativeSource",
                                                          L"Source",
                                                          L"FallbackValue",
                                                          L"TargetNullValue",
                                                          L"UpdateSourceTrigger",
                                                          L"NotifyOnSourceUpdated",
                                                          L"NotifyOnTargetUpdated",
                                                          L"NotifyOnValidationError",
                                                          L"ValidatesOnDataErrors",
                                                          L"ValidatesOnExceptions",
                                                          L"XPath",
                                                          L"IsAsync",
                                                          L"BindsDirectlyToSource",
                                                          L"BindingGroupName",
                                                          L"AsyncState"};
        if (e.positional.size() > 1) Fail(L"a Binding takes one path: " + e.ToString(), line, column);
        if (!e.positional.empty() && e.Named(L"Path"))
            Fail(L"a Binding's path is given twice: " + e.ToString(), line, column);
        int sources = 0;
        for (const auto& [name, value] : e.named) {
            // The others of WPF's surface (Delay, ValidatesOnNotifyDataErrors) are read and kept without
            // effect.
            static const surface::Class* const binding = surface::FindClass(L"Binding");
            if (!known.count(name) && !(binding && surface::FindProperty(*binding, name)))
                Fail(L"unknown property '" + name + L"' of Binding", line, column);
            try {
                if (name == L"Mode")
                    EnumValue(value.text, {L"TwoWay", L"OneWay", L"OneTime", L"OneWayToSource", L"Default"});
                if (name == L"UpdateSourceTrigger")
                    EnumValue(value.text, {L"Default", L"PropertyChanged", L"LostFocus", L"Explicit"});
            } catch (const ValueError& error) {
                Fail(L"'" + value.text + L"' is no valid value of Binding." + name + L": " + error.message,
                     line, column);
            }
            if (name == L"ElementName" || name == L"Source" || name == L"RelativeSource") ++sources;
            // A converter is an object of the project's code; it is looked up and kept, never run.
            if (name == L"Converter" || name == L"Source") {
                if (!value.extension || !IsResourceReference(*value.extension))
                    Fail(L"Binding." + name + L" takes a {StaticResource}", line, column);
                ResolveResource(*value.extension, line, column);
            }
            if (name == L"RelativeSource" && (!value.extension || value.extension->name != L"RelativeSource"))
                Fail(L"Binding.RelativeSource takes a {RelativeSource}", line, column);
        }
        if (sources > 1)
            Fail(L"a Binding has one source: ElementName, Source or RelativeSource, not several", line,
                 column);
    }

    // Whether WPF's class of the element (or the owner of "Owner.Name") has the property.
    static bool WpfHasProperty(const Type& type, const std::wstring& name) {
        const surface::Class* wpf = SurfaceOf(type);
        if (size_t dot = name.find(L'.'); dot != std::wstring::npos) {
            const std::wstring_view ownerName = std::wstring_view(name).substr(0, dot);
            const std::wstring_view member = std::wstring_view(name).substr(dot + 1);
            const surface::Class* owner = surface::FindClass(ownerName);
            return owner &&
                   (surface::FindAttached(*owner, member) ||
                    (wpf && surface::DerivesFrom(*wpf, ownerName) && surface::FindProperty(*owner, member)));
        }
        return wpf && surface::FindProperty(*wpf, name);
    }

    const Property* FindElementProperty(const Type& type, const std::wstring& name) {
        if (size_t dot = name.find(L'.'); dot != std::wstring::npos) {
            const std::wstring_view owner = std::wstring_view(name).substr(0, dot);
            const std::wstring_view member = std::wstring_view(name).substr(dot + 1);
            if (const Property* attached = FindAttachedProperty(owner, member)) return attached;
            // Owner.Property of the element's own class or a base is the property itself.
            return IsA(type, owner) ? FindProperty(type, member) : nullptr;
        }
        return FindProperty(type, name);
    }

    static bool IsBrushProperty(const Property& property) { return property.set == &check::Brush; }

    // Sets a property from a resolved value: its text through the property's own converter, after checking
    // that the value's class fits the property as WPF checks it.
    void SetResolved(Node& node, const Property& property, const Resource& value, const std::wstring& name,
                     const std::wstring& shown, unsigned line, unsigned column) {
        if (value.unevaluated) return;
        if (value.object) {
            // Kept without effect where it fits: a brush of another kind for a brush, any other object for a
            // property that takes no brush.
            if (IsBrushProperty(property) != surface::DerivesFrom(*value.object, L"Brush"))
                Fail(L"'" + shown + L"' is a " + value.typeName + L", no valid value of " + name, line,
                     column);
            return;
        }
        const bool brush = value.typeName == kBrushClass || value.typeName == L"System.Windows.Media.Brush";
        // Strings and primitives are read by the property's converter; objects fit their own properties only.
        const size_t dot = value.typeName.rfind(L'.');
        const bool structure = dot != std::wstring::npos && value.typeName.starts_with(L"System.Windows") &&
                               StructValue(std::wstring_view(value.typeName).substr(dot + 1));
        const bool primitive =
            ((value.typeName.starts_with(L"System.") && value.typeName.find(L'.', 7) == std::wstring::npos) ||
             structure) &&
            !value.style && (!value.data || value.data->value.vt != VT_DISPATCH);
        const bool fits = value.typeName.empty() // null
                          || (brush ? IsBrushProperty(property) : !IsBrushProperty(property) && primitive);
        if (!fits)
            Fail(L"'" + shown + L"' is a " + value.typeName + L", no valid value of " + name, line, column);
        const std::wstring text = value.data ? wpfsim::DisplayText(value.data->value) : value.text;
        Set(node, property, text, name, line, column);
    }

    std::optional<Data> InheritedDataContext(size_t frames) const {
        for (size_t i = frames; i-- > 0;)
            if (frames_[i].dataContext) return frames_[i].dataContext;
        return std::nullopt;
    }

    [[noreturn]] void UnknownProperty(const std::wstring& name, const std::wstring& qualified, unsigned line,
                                      unsigned column) {
        Fail(name.find(L'.') != std::wstring::npos ? L"unknown attached property '" + name + L"'"
                                                   : L"unknown attribute '" + name + L"' of " + qualified,
             line, column);
    }

    // Sets the property `name` ("Name" or "Owner.Name") of the element being read from the text of an
    // attribute or of a style's setter: markup extensions, resources and bindings first, then the property's
    // own converter and checks.
    void SetFromText(Node& node, const Type& type, const std::wstring& qualified, const std::wstring& name,
                     const std::wstring& text, unsigned line, unsigned column, bool fromStyle) {
        Frame& frame = frames_.back();
        if (!fromStyle) frame.local.insert(name);
        // A property that reads its own markup (a column's Binding) gets the text as written.
        if (const Property* own = FindElementProperty(type, name); own && own->markup) {
            Set(node, *own, text, name, line, column);
            return;
        }
        std::optional<markup::Extension> extension = ExtensionOf(text, line, column);
        const bool items = dynamic_cast<wpfsim::ItemsControl*>(node.element) != nullptr;
        if (extension && IsBinding(*extension)) {
            CheckBinding(*extension, line, column);
            if (name == L"DataContext") {
                // Its source is the DataContext of the element's parent.
                std::optional<Data> context = InheritedDataContext(frames_.size() - 1);
                // Other sources of a DataContext (ElementName, RelativeSource) are left out: it stays unset.
                if (!context || extension->name != L"Binding") return;
                std::optional<ov::Variant> value = ContextPathValue(*extension, context->value);
                if (value) frame.dataContext = Data{*value, TypeNameOf(*value)};
                return;
            }
            const bool known = (items && name == L"ItemsSource") || IsTemplateProperty(name) ||
                               FindElementProperty(type, name) || WpfHasProperty(type, name) ||
                               (frame.projectClass && name.find(L'.') == std::wstring::npos);
            if (!known) UnknownProperty(name, qualified, line, column);
            frame.bindings.push_back({name, std::move(*extension), std::nullopt, line, column});
            return;
        }
        if (name == L"Style") {
            if (fromStyle) Fail(L"a Style cannot set the property Style", line, column);
            frame.styleSet = true;
            if (!extension)
                Fail(L"Style takes a {StaticResource} or {DynamicResource} of a Style, not '" + text + L"'",
                     line, column);
            std::optional<Resource> style = ResolveExtension(*extension, line, column);
            if (style && (style->typeName.empty() || style->unevaluated)) style.reset();
            if (style && !style->style)
                Fail(L"'" + extension->ToString() + L"' is a " + style->typeName +
                         L", no valid value of Style",
                     line, column);
            frame.style = style ? style->style : nullptr;
            return;
        }
        if (name == L"DataContext") {
            if (!extension) {
                frame.dataContext = Data{ov::Variant::String(Literal(text)), L"System.String"};
                return;
            }
            std::optional<Resource> value = ResolveExtension(*extension, line, column);
            // A data provider's or the code's object is not evaluated here: the context stays unset.
            if (!value || value->object || value->unevaluated) return;
            if (value->data)
                frame.dataContext = value->data;
            else if (value->typeName.empty())
                frame.dataContext = Data{};
            else
                frame.dataContext = Data{ov::Variant::String(value->text), value->typeName};
            return;
        }
        if (items && name == L"ItemsSource") {
            std::optional<Resource> value =
                extension ? ResolveExtension(*extension, line, column) : std::nullopt;
            // An object of the project's own class may be a collection its code fills: the list stays empty.
            const bool list = value && value->data && ListOf(value->data->value);
            const bool code = value && (value->unevaluated ||
                                        (value->data && !list && value->data->value.vt == VT_DISPATCH));
            if (!extension || (value && !value->typeName.empty() && !list && !code))
                Fail(L"'" + text +
                         L"' is no valid value of ItemsSource: a collection expected ({Binding} or a "
                         L"{StaticResource} of an x:Array)",
                     line, column);
            if (list) frame.bindings.push_back({name, std::nullopt, value->data, line, column});
            return;
        }
        if (items && name == L"DisplayMemberPath") {
            if (extension)
                Fail(L"DisplayMemberPath takes a property path, not a markup extension", line, column);
            static_cast<wpfsim::ItemsControl*>(node.element)->SetDisplayMemberPath(text);
            frame.displayMemberPath = true;
            return;
        }
        if (IsTemplateProperty(name) && name.find(L'.') == std::wstring::npos) {
            // An items control's item template takes effect (ApplyItemTemplate); the others are kept without
            // effect: the control shows its default template.
            KeepTemplate(name, TemplateOfText(text, name, line, column));
            return;
        }
        const Property* property = FindElementProperty(type, name);
        if (!property) {
            // The project's own properties of its user control are not known here.
            if (frame.projectClass && name.find(L'.') == std::wstring::npos) return;
            // A property or event of WPF's that the simulation does not show: its resource must exist, its
            // text is read by its type's converter.
            if (extension && extension->name != L"x:Null") ResolveExtension(*extension, line, column);
            const Attribute a{L"", L"", name, text, line, column};
            if (size_t dot = name.find(L'.'); dot != std::wstring::npos)
                ApplyWpfAttached(node.element, SurfaceOf(type), std::wstring_view(name).substr(0, dot),
                                 std::wstring_view(name).substr(dot + 1), a, Literal(text));
            else
                ApplyWpfAttribute(node.element, SurfaceOf(type), qualified, a, Literal(text));
            return;
        }
        if (!extension) {
            Set(node, *property, Literal(text), name, line, column);
            // What the simulation reads without showing it stays readable by name, as WPF's property.
            if (const surface::Class* wpf = SurfaceOf(type); wpf && name.find(L'.') == std::wstring::npos)
                if (const surface::Member* member = surface::FindProperty(*wpf, name))
                    Keep(*node.element, *member, name, Literal(text));
            return;
        }
        if (extension->name == L"x:Null") {
            Set(node, *property, text, name, line, column);
            return;
        }
        std::optional<Resource> value = ResolveExtension(*extension, line, column);
        if (value) SetResolved(node, *property, *value, name, extension->ToString(), line, column);
    }

    // The element's style at the end of its initialization: the one its Style names, or the implicit style
    // of its exact type in scope. Setters apply base first; a value the element sets itself wins.
    void ApplyStyle(Node& node, const Type& type, const std::wstring& qualified, unsigned line,
                    unsigned column) {
        Frame& frame = frames_.back();
        std::shared_ptr<const StyleDef> style = frame.style;
        if (!frame.styleSet)
            if (std::optional<Resource> implicit = FindResource(TypeKey(frame.className)))
                style = implicit->style;
        if (!style) return;
        const bool fits = style->target ? IsA(type, style->target->name)
                                        : style->targetClass.empty() || style->targetClass == frame.className;
        if (!fits)
            Fail(L"'" + style->targetClass + L"' TargetType does not match type of element '" + qualified +
                     L"'",
                 line, column);
        std::vector<const StyleDef*> chain;
        for (const StyleDef* s = style.get(); s; s = s->basedOn.get())
            chain.insert(chain.begin(), s);
        std::vector<const SetterDef*> setters;
        for (const StyleDef* s : chain)
            for (const SetterDef& setter : s->setters) {
                auto same = std::find_if(setters.begin(), setters.end(),
                                         [&](const SetterDef* d) { return d->property == setter.property; });
                if (same != setters.end())
                    *same = &setter;
                else
                    setters.push_back(&setter);
            }
        for (const SetterDef* setter : setters) {
            if (setter->inert || frames_.back().local.count(setter->property) ||
                (setter->owner && !IsA(type, setter->owner->name)))
                continue;
            if (setter->object) {
                if (setter->property == L"ItemTemplate" || setter->property == L"Template")
                    KeepTemplate(setter->property, setter->object->templateDef);
                if (IsTemplateProperty(setter->property)) continue;
                const Property* property = FindElementProperty(type, setter->property);
                if (property)
                    SetResolved(node, *property, *setter->object, setter->property, setter->object->typeName,
                                setter->line, setter->column);
                continue;
            }
            SetFromText(node, type, qualified, setter->property, setter->value, setter->line, setter->column,
                        true);
        }
    }

    // A named element's property as a binding reads it (once).
    static std::optional<ov::Variant> MemberOf(wpfsim::ClrObject& object, const std::wstring& name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
        DISPID id = DISPID_UNKNOWN;
        if (FAILED(object.LookupMembers(IID_NULL, names, 1, &id, false))) return std::nullopt;
        DISPPARAMS none{};
        ov::Variant result;
        EXCEPINFO exception{};
        if (FAILED(object.InvokeMember(id, IID_NULL, DISPATCH_PROPERTYGET, &none, &result, &exception))) {
            SysFreeString(exception.bstrSource);
            SysFreeString(exception.bstrDescription);
            SysFreeString(exception.bstrHelpFile);
            return std::nullopt;
        }
        if (result.vt == VT_DISPATCH) {
            // A .NET string as the application hands it.
            try {
                ov::ComPtr<wpfsim::ClrObject> value = wpfsim::ObjectOf(result);
                if (value && value->ClassName() == L"System.String")
                    return ov::Variant::String(wpfsim::TextOf(result));
            } catch (...) {
            }
        }
        return result;
    }

    // The bindings of the element, each read once: what the source gives at load is the property's value.
    // Without a source, or where the path finds nothing, the property keeps its default (or the binding's
    // FallbackValue), and a value that the property refuses is dropped, as WPF drops it.
    void ApplyBindings(Node& node, const Type& type, const std::wstring& qualified) {
        std::vector<PendingBinding> bindings = std::move(frames_.back().bindings);
        for (const PendingBinding& pending : bindings) {
            std::optional<ov::Variant> value;
            const markup::Extension* binding = pending.binding ? &*pending.binding : nullptr;
            if (!binding) {
                value = pending.value->value;
            } else if (binding->name == L"Binding") {
                value = BindingValue(node, type, *binding, pending);
            }
            const bool itemsSource = pending.property == L"ItemsSource";
            if (!value && binding && !itemsSource)
                if (const markup::Argument* fallback = binding->Named(L"FallbackValue"))
                    value = ov::Variant::String(fallback->text);
            if (!value) continue;
            if (itemsSource) {
                const DataList* list = ListOf(*value);
                if (!list) continue;
                auto& control = static_cast<wpfsim::ItemsControl&>(*node.element);
                if (control.Count() > 0)
                    Fail(L"Items collection must be empty before using ItemsSource.", pending.line,
                         pending.column);
                for (const Data& item : list->Items())
                    control.AddDataItem(item.value, item.typeName);
                continue;
            }
            const Property* property = FindElementProperty(type, pending.property);
            if (!property) continue;
            std::wstring text;
            const VARIANT& v = *value;
            if ((v.vt == VT_EMPTY || v.vt == VT_NULL) && binding && binding->Named(L"TargetNullValue"))
                text = binding->Named(L"TargetNullValue")->text;
            else
                text = wpfsim::DisplayText(v);
            if (const markup::Argument* format = binding ? binding->Named(L"StringFormat") : nullptr)
                text = Formatted(format->text, text);
            try {
                if (property->set) property->set(node, text);
            } catch (const ValueError&) {
            }
        }
        (void)qualified;
    }

    // String.Format with the one value; a format after the index ("{0:N2}") is left out.
    static std::wstring Formatted(const std::wstring& format, const std::wstring& value) {
        std::wstring out;
        for (size_t i = 0; i < format.size(); ++i) {
            if (format[i] == L'{' && i + 1 < format.size() && format[i + 1] == L'0') {
                const size_t end = format.find(L'}', i);
                if (end != std::wstring::npos) {
                    out += value;
                    i = end;
                    continue;
                }
            }
            out += format[i];
        }
        return format.find(L"{0") == std::wstring::npos ? value : out;
    }

    // A binding's path (Path=, or its one positional argument), trimmed; empty: the source itself.
    static std::wstring BindingPath(const markup::Extension& binding) {
        const markup::Argument* path = binding.Named(L"Path");
        if (!path && !binding.positional.empty()) path = &binding.positional[0];
        return path ? std::wstring(Trim(path->text)) : L"";
    }

    // What a binding without a source of its own reads on its data context; nothing when it names another
    // source (ElementName, Source, RelativeSource, XPath) or its path finds nothing.
    static std::optional<ov::Variant> ContextPathValue(const markup::Extension& binding,
                                                       const VARIANT& context) {
        for (const wchar_t* source : {L"ElementName", L"Source", L"RelativeSource", L"XPath"})
            if (binding.Named(source)) return std::nullopt;
        return wpfsim::ReadPath(context, BindingPath(binding));
    }

    std::optional<ov::Variant> BindingValue(Node& node, const Type& type, const markup::Extension& binding,
                                            const PendingBinding& pending) {
        const std::wstring path = BindingPath(binding);
        if (const markup::Argument* elementName = binding.Named(L"ElementName")) {
            // An element read before this one; another name leaves the default, as WPF does.
            auto it = elements_.find(elementName->text);
            if (it == elements_.end()) return std::nullopt;
            if (path.empty() || path == L".") {
                const Property* property = FindElementProperty(type, pending.property);
                if (property && property->setElement) {
                    try {
                        property->setElement(node, *it->second);
                    } catch (const ValueError&) {
                    }
                }
                return std::nullopt;
            }
            const size_t dot = path.find(L'.');
            std::optional<ov::Variant> first = MemberOf(*it->second, path.substr(0, dot));
            if (!first || dot == std::wstring::npos) return first;
            return wpfsim::ReadPath(*first, std::wstring_view(path).substr(dot + 1));
        }
        if (binding.Named(L"RelativeSource") || binding.Named(L"XPath")) return std::nullopt;
        if (const markup::Argument* source = binding.Named(L"Source")) {
            std::optional<Resource> resource =
                ResolveResource(*source->extension, pending.line, pending.column);
            if (!resource) return std::nullopt;
            const ov::Variant value =
                resource->data ? resource->data->value : ov::Variant::String(resource->text);
            return wpfsim::ReadPath(value, path);
        }
        std::optional<Data> context = InheritedDataContext(frames_.size());
        if (!context || context->value.vt == VT_EMPTY) return std::nullopt;
        return wpfsim::ReadPath(context->value, path);
    }

    // --- templates --------------------------------------------------------------------------------------

    // The DataTemplate, HierarchicalDataTemplate or ControlTemplate whose start `o` is: its content is kept,
    // and a data template's is read once now (in an application of its own, without an item) as WPF reads a
    // template's content at load, so that its faults are the window's, at their lines. Its property elements:
    // Resources (read with the content), a hierarchical template's ItemTemplate; others (Triggers) are read
    // and kept without effect.
    std::shared_ptr<const TemplateDef> ReadTemplate(const Opened& o) {
        auto t = std::make_shared<TemplateDef>();
        t->kind = o.local;
        const bool hierarchical = o.local == L"HierarchicalDataTemplate";
        for (const Attribute& a : o.attributes)
            if (a.ns.empty() && a.local == L"TargetType" && o.local == L"ControlTemplate")
                t->targetClass = NamedType(a.value, a.line, a.column).second;
        for (const Attribute& a : o.attributes) {
            if (!a.ns.empty() || !hierarchical) continue;
            if (a.local == L"ItemsSource") {
                std::optional<markup::Extension> e = ExtensionOf(a.value, a.line, a.column);
                if (!e || !IsBinding(*e))
                    Fail(L"ItemsSource of a HierarchicalDataTemplate takes a {Binding}", a.line, a.column);
                CheckBinding(*e, a.line, a.column);
                t->itemsSource = std::move(e);
            } else if (a.local == L"ItemTemplate") {
                t->itemTemplate = TemplateOfText(a.value, a.local, a.line, a.column);
            }
        }
        auto nodes = std::make_shared<std::vector<xamlinput::XmlNode>>();
        if (!o.empty) {
            const std::wstring own = o.local + L".";
            XmlNodeType type;
            while (Next(type)) {
                if (type == XmlNodeType_EndElement) break;
                if (type == XmlNodeType_Text || type == XmlNodeType_CDATA)
                    nodes->push_back(xamlinput::RecordNode(xml_, type));
                if (type != XmlNodeType_Element) continue;
                const std::wstring local = Text(&IXmlReader::GetLocalName);
                if (local.starts_with(own) && local != own + L"Resources") {
                    if (hierarchical && local == own + L"ItemTemplate")
                        t->itemTemplate = ReadTemplateProperty(local, L"ItemTemplate", Line(), Column(),
                                                               xml_.IsEmptyElement());
                    else
                        SkipElement();
                    continue;
                }
                RecordElement(*nodes);
            }
        }
        t->content = std::move(nodes);
        for (const auto& scope : scopes_)
            for (const auto& [prefix, uri] : scope)
                t->namespaces[prefix] = uri;
        t->ignorable = ignorable_;
        VisibleResources(t->resources);
        const Reader& top = Top();
        t->file = file_;
        t->projectRoot = projectRoot_;
        t->applicationFile = top.applicationFile_;
        t->codeBehind = codeBehind_;
        t->themeMerged = top.themeMerged_;
        // A control template is read where it replaces a control's (ApplyControlTemplate): those of the kinds
        // that keep their default template (a scroll bar's Track, a combo box's Popup) are not read.
        if (!contentChecked_ && t->kind != L"ControlTemplate") {
            wpfsim::Application scratch;
            Instantiate(*t, scratch, std::nullopt, this);
        }
        return t;
    }

    // The element the parser stands on, with its subtree, as nodes to read again.
    void RecordElement(std::vector<xamlinput::XmlNode>& nodes) {
        int depth = 0;
        XmlNodeType type = XmlNodeType_Element;
        do {
            if (type == XmlNodeType_Element && !xml_.IsEmptyElement()) ++depth;
            if (type == XmlNodeType_EndElement) --depth;
            if (type != XmlNodeType_Comment && type != XmlNodeType_ProcessingInstruction)
                nodes.push_back(xamlinput::RecordNode(xml_, type));
        } while (depth > 0 && Next(type));
    }

    // Every resource in scope here, the nearest of each key.
    void VisibleResources(ResourceMap& into) const {
        ForEachVisible([&](const ResourceMap::value_type& entry) { into.insert(entry); });
    }

    // Every dictionary in scope here, from the nearest out (a key may come again, hidden).
    template <class Each> void ForEachVisible(Each each) const {
        auto all = [&](const ResourceMap& from) {
            for (const auto& entry : from)
                each(entry);
        };
        if (target_) all(*target_);
        for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame)
            all(frame->resources);
        all(application_);
        if (outer_) all(*outer_);
        if (parent_) parent_->ForEachVisible(each);
    }

    // A template's visual tree for one item (its data context; none: the reading at load). `parent`: the
    // reader that reads the template at load (its notes and its resources); none for an item's container.
    static std::optional<ov::ComPtr<wpfsim::Element>>
    Instantiate(const TemplateDef& t, wpfsim::Application& app, std::optional<Data> context, Reader* parent) {
        ov::ComPtr<IXmlReader> xml = xamlinput::ReplayXml(t.content);
        Reader reader(*xml, app, t.content->size());
        reader.file_ = t.file;
        reader.projectRoot_ = t.projectRoot;
        reader.applicationFile_ = t.applicationFile;
        reader.codeBehind_ = t.codeBehind;
        reader.themeMerged_ = t.themeMerged;
        reader.ignorable_ = t.ignorable;
        reader.scopes_.push_back(t.namespaces);
        reader.outer_ = &t.resources;
        reader.parent_ = parent;
        reader.contentChecked_ = parent == nullptr;
        reader.frames_.emplace_back().dataContext = std::move(context);
        try {
            return reader.ReadTemplateContent(t.kind);
        } catch (XamlError& e) {
            // A template of another file (a dictionary) is read where it is used.
            if (parent && e.file.empty() && t.file != parent->Top().file_) e.file = t.file;
            throw;
        }
    }

    // The content of a template: its resources, then one element (none: an empty template).
    ov::ComPtr<wpfsim::Element> ReadTemplateContent(const std::wstring& kind) {
        ov::ComPtr<wpfsim::Element> root;
        XmlNodeType type;
        while (Next(type)) {
            if (type == XmlNodeType_Text || type == XmlNodeType_CDATA)
                Fail(kind + L" cannot hold text", Line(), Column());
            if (type != XmlNodeType_Element) continue;
            const std::wstring local = Text(&IXmlReader::GetLocalName);
            if (local.find(L'.') != std::wstring::npos) {
                ReadResources(local, xml_.IsEmptyElement());
                continue;
            }
            if (root) Fail(kind + L" holds one element, the root of its visual tree", Line(), Column());
            root = ReadElement(false);
        }
        return root;
    }

    // What a generated container shows for a data item: the control's item template, else the implicit
    // template of the item's class. A hierarchical template also gives a tree or menu item its children (its
    // ItemsSource's path on the item) and their template (its ItemTemplate, else the implicit ones).
    static std::optional<ov::ComPtr<wpfsim::Element>>
    ShowItem(const std::shared_ptr<const TemplateDef>& own,
             const std::shared_ptr<const ImplicitTemplates>& implicit, const wpfsim::Item& item,
             wpfsim::Element& container) {
        const TemplateDef* t = own.get();
        if (!t) {
            auto it = implicit->find(TemplateKey(item.typeName));
            if (it == implicit->end()) return std::nullopt;
            t = it->second.get();
        }
        std::optional<ov::ComPtr<wpfsim::Element>> root;
        try {
            root = Instantiate(*t, *container.App(), Data{item.value, item.typeName}, nullptr);
        } catch (const XamlError&) {
            // Read at load already: what is left is the item's data, which a binding drops when it does not
            // fit.
            return std::nullopt;
        }
        auto* children = dynamic_cast<wpfsim::HeaderedItemsControl*>(&container);
        if (children && t->itemsSource) {
            const std::optional<ov::Variant> value = ContextPathValue(*t->itemsSource, item.value);
            if (const DataList* list = value ? ListOf(*value) : nullptr) {
                for (const Data& child : list->Items())
                    children->AddDataItem(child.value, child.typeName);
                SetItemTemplate(*children, t->itemTemplate, implicit);
            }
        }
        return root;
    }

    static void SetItemTemplate(wpfsim::ItemsControl& control, std::shared_ptr<const TemplateDef> own,
                                std::shared_ptr<const ImplicitTemplates> implicit) {
        if (!own && implicit->empty()) return;
        control.SetItemTemplate([own, implicit](const wpfsim::Item& item, wpfsim::Element& container) {
            return ShowItem(own, implicit, item, container);
        });
    }

    // At the end of an items control: its item template (its own, a style's) or the implicit templates in
    // scope take effect for the containers it generates.
    void ApplyItemTemplate(wpfsim::ItemsControl& control, unsigned line, unsigned column) {
        const Frame& frame = frames_.back();
        if (frame.itemTemplate && frame.displayMemberPath)
            Fail(L"Cannot set both DisplayMemberPath and ItemTemplate.", line, column);
        auto implicit = std::make_shared<ImplicitTemplates>();
        ForEachVisible([&](const ResourceMap::value_type& entry) {
            if (entry.first.starts_with(L'\x02') && entry.second.first.templateDef)
                implicit->emplace(entry.first, entry.second.first.templateDef);
        });
        SetItemTemplate(control, frame.itemTemplate, std::move(implicit));
    }

    // A template property's {StaticResource}/{DynamicResource} text: the template it names (a data template
    // for ItemTemplate, a control template for Template: the other kind is WPF's error), or none (a key not
    // found, x:Null).
    std::shared_ptr<const TemplateDef> TemplateOfText(const std::wstring& text, const std::wstring& name,
                                                      unsigned line, unsigned column) {
        std::optional<markup::Extension> extension = ExtensionOf(text, line, column);
        if (!extension)
            Fail(L"'" + text + L"' is no valid value of " + name + L": a " +
                     (name.ends_with(L"Style") ? L"Style" : L"template") + L" resource expected",
                 line, column);
        std::optional<Resource> value = ResolveExtension(*extension, line, column);
        if (value && !value->typeName.empty() && value->typeName.find(L"Template") == std::wstring::npos &&
            value->typeName != kStyleClass)
            Fail(L"'" + extension->ToString() + L"' is a " + value->typeName + L", no valid value of " + name,
                 line, column);
        const bool control = name == L"Template";
        if (value && value->templateDef && (value->templateDef->kind == L"ControlTemplate") != control)
            Fail(L"'" + extension->ToString() + L"' is a " + value->typeName + L", no valid value of " + name,
                 line, column);
        return value ? value->templateDef : nullptr;
    }

    // A template property's value, for the end of the element: an items control's item template and a
    // control's template take effect there.
    void KeepTemplate(const std::wstring& name, std::shared_ptr<const TemplateDef> read) {
        if (name == L"ItemTemplate") frames_.back().itemTemplate = std::move(read);
        if (name == L"Template") frames_.back().controlTemplate = std::move(read);
    }

    // The kinds whose template may be replaced: their behaviour reads none of their default parts.
    static bool TakesControlTemplate(const Type& type) {
        for (const wchar_t* kind : {L"ButtonBase", L"Label", L"UserControl", L"StatusBarItem"})
            if (IsA(type, kind)) return true;
        return std::wstring_view(type.name) == L"ContentControl";
    }

    // At the end of a control: its own template (a ControlTemplate of its type) replaces the default one,
    // made with the control's data context; other kinds keep theirs.
    void ApplyControlTemplate(Node& node, const Type& type, unsigned line, unsigned column) {
        const std::shared_ptr<const TemplateDef> t = frames_.back().controlTemplate;
        if (!t) return;
        if (!t->targetClass.empty() && t->targetClass != frames_.back().className) {
            const std::wstring shortName = t->targetClass.substr(t->targetClass.rfind(L'.') + 1);
            if (!IsA(type, shortName))
                Fail(L"'" + shortName + L"' ControlTemplate TargetType does not match templated type '" +
                         std::wstring(type.name) + L"'.",
                     line, column);
        }
        auto* control = dynamic_cast<wpfsim::ContentControl*>(node.element);
        if (!control || !TakesControlTemplate(type)) return;
        std::optional<ov::ComPtr<wpfsim::Element>> root =
            Instantiate(*t, app_, InheritedDataContext(frames_.size()), this);
        control->ReplaceTemplate(root ? *root : nullptr);
    }

    // --- resource dictionaries -------------------------------------------------------------------------

    // The text inside the current element (standing on it); an element is an error.
    void ForEachText(const std::wstring& owner, std::wstring& text) {
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType == XmlNodeType_EndElement) break;
            if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA)
                text += Text(&IXmlReader::GetValue);
            if (nodeType == XmlNodeType_Element) Fail(owner + L" holds text only", Line(), Column());
        }
    }

    // WPF's structures that XAML writes as elements with their text, each with its converter.
    static const surface::Member* StructValue(std::wstring_view name) {
        using surface::Converter;
        static constexpr surface::Member kStructs[] = {
            {L"Thickness", L"Thickness", Converter::Thickness, 0, 0},
            {L"CornerRadius", L"CornerRadius", Converter::CornerRadius, 0, 0},
            {L"Color", L"Color", Converter::Color, 0, 0},
            {L"FontWeight", L"FontWeight", Converter::FontWeight, 0, 0},
            {L"FontStyle", L"FontStyle", Converter::FontStyle, 0, 0},
            {L"FontStretch", L"FontStretch", Converter::FontStretch, 0, 0},
            {L"Duration", L"Duration", Converter::Duration, 0, 0},
            {L"Point", L"Point", Converter::Point, 0, 0},
            {L"Size", L"Size", Converter::Size, 0, 0},
            {L"Rect", L"Rect", Converter::Rect, 0, 0},
            {L"GridLength", L"GridLength", Converter::GridLength, 0, 0},
            // Abstract classes that XAML makes from text by their converters.
            {L"Brush", L"Brush", Converter::Brush, 0, 0},
            {L"Geometry", L"Geometry", Converter::Geometry, 0, 0},
            {L"Transform", L"Transform", Converter::Transform, 0, 0},
            {L"ImageSource", L"ImageSource", Converter::Text, 0, 0},
        };
        for (const surface::Member& m : kStructs)
            if (name == m.name) return &m;
        return nullptr;
    }
    // The abstract classes among them: made from their text only (an empty one is WPF's error).
    static bool IsAbstractName(std::wstring_view name) {
        const surface::Class* wpf = surface::FindClass(name);
        return wpf && surface::IsAbstract(*wpf);
    }
    static std::wstring StructClass(std::wstring_view name) {
        const bool media = name == L"Color" || name == L"Point" || name == L"Size" || name == L"Rect" ||
                           name == L"Brush" || name == L"Geometry" || name == L"Transform" ||
                           name == L"ImageSource";
        return std::wstring(media ? L"System.Windows.Media." : L"System.Windows.") + std::wstring(name);
    }

    // <Thickness>4</Thickness>, and an abstract class's initialization text (<Geometry>M 0,0 L
    // 4,4</Geometry>): a value read by the type's converter from the element's text.
    // The settable members of WPF's structures that XAML writes as elements.
    static bool IsStructMember(std::wstring_view structure, std::wstring_view member) {
        static const std::map<std::wstring_view, std::vector<std::wstring_view>> members = {
            {L"Color", {L"A", L"R", L"G", L"B", L"ScA", L"ScR", L"ScG", L"ScB"}},
            {L"Thickness", {L"Left", L"Top", L"Right", L"Bottom"}},
            {L"CornerRadius", {L"TopLeft", L"TopRight", L"BottomRight", L"BottomLeft"}},
            {L"Point", {L"X", L"Y"}},
            {L"Size", {L"Width", L"Height"}},
            {L"Vector", {L"X", L"Y"}},
            {L"Rect", {L"X", L"Y", L"Width", L"Height", L"Location", L"Size"}}};
        auto it = members.find(structure);
        return it != members.end() &&
               std::find(it->second.begin(), it->second.end(), member) != it->second.end();
    }

    std::wstring ReadStructValue(const Opened& o, const surface::Member& value) {
        for (const Attribute& a : o.attributes)
            if (!(a.ns == xamlns::Xaml && (a.local == L"Key" || a.local == L"Shared")) &&
                !ignorable_.count(a.ns))
                Fail(a.ns.empty() && IsStructMember(o.local, a.local)
                         ? L"a " + o.local + L" set by its properties ('" + a.local +
                               L"') is not supported: write its value as text (<" + o.local + L">...</" +
                               o.local + L">)"
                         : L"unknown attribute '" + a.Qualified() + L"' of " + o.local,
                     a.line, a.column);
        std::wstring text;
        if (!o.empty) ForEachText(o.local, text);
        text = NormalizeText(text);
        try {
            surface::Convert(value, text);
        } catch (const ValueError& e) {
            Fail(L"'" + text + L"' is no valid value of " + o.local + L": " + e.message, o.line, o.column);
        }
        return text;
    }

    // Calls `each` for every child element of the current one (standing on it); text is an error.
    template <class Each> void ForEachChild(const std::wstring& owner, Each each) {
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType == XmlNodeType_EndElement) break;
            if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA)
                Fail(owner + L" cannot hold text", Line(), Column());
            if (nodeType == XmlNodeType_Element) each();
        }
    }

    // The element the parser stands on, its attributes read (its namespace scope stays open: CloseScope).
    Opened Open() {
        Opened o;
        o.line = Line();
        o.column = Column();
        o.local = Text(&IXmlReader::GetLocalName);
        o.prefix = Prefix();
        o.empty = xml_.IsEmptyElement();
        o.attributes = ReadAttributes();
        o.ns = Text(&IXmlReader::GetNamespaceUri);
        if (o.ns.empty() && !o.prefix.empty()) o.ns = Uri(o.prefix);
        o.qualified = o.prefix.empty() ? o.local : o.prefix + L":" + o.local;
        return o;
    }

    void ReadResources(const std::wstring& local, bool empty) {
        OpenPropertyElement(local);
        if (empty) return;
        bool dictionary = false, entries = false;
        ForEachChild(local, [&] {
            const unsigned line = Line(), column = Column();
            if (Text(&IXmlReader::GetLocalName) == L"ResourceDictionary" &&
                Text(&IXmlReader::GetNamespaceUri) == xamlns::Presentation) {
                if (dictionary || entries)
                    Fail(L"a ResourceDictionary in " + local + L" is its only element", line, column);
                dictionary = true;
                ReadDictionary();
                return;
            }
            if (dictionary) Fail(L"a ResourceDictionary in " + local + L" is its only element", line, column);
            entries = true;
            ReadResourceEntry();
        });
    }

    // A ResourceDictionary: its Source's file, its merged dictionaries, its own entries. `root`: the root of
    // a dictionary file, which may name its class.
    void ReadDictionary(bool root = false) {
        Opened o = Open();
        ScopeCloser closer{scopes_};
        const Attribute* source = nullptr;
        for (const Attribute& a : o.attributes) {
            if (ignorable_.count(a.ns) || (a.ns == xamlns::Compatibility && a.local == L"Ignorable"))
                continue;
            if (a.ns == xamlns::Xaml &&
                (a.local == L"Uid" || (root && (a.local == L"Class" || a.local == L"ClassModifier")))) {
                if (a.local == L"Class") codeBehind_ = true;
                continue;
            }
            if (a.local == L"Source" && a.ns.empty()) {
                source = &a;
                continue;
            }
            Fail(L"unknown attribute '" + a.Qualified() + L"' of ResourceDictionary", a.line, a.column);
        }
        if (source) MergeSource(*source, Target());
        if (o.empty) return;
        ForEachChild(L"ResourceDictionary", [&] {
            const std::wstring local = Text(&IXmlReader::GetLocalName);
            if (local == L"ResourceDictionary.MergedDictionaries") {
                ReadMergedDictionaries(local);
                return;
            }
            ReadResourceEntry();
        });
    }

    // One entry of a dictionary: its key is its x:Key, or a Style's TargetType, or a DataTemplate's DataType.
    void ReadResourceEntry() {
        Opened o = Open();
        ScopeCloser closer{scopes_};
        if (ignorable_.count(o.ns)) {
            Skip(o.empty);
            return;
        }
        std::optional<std::wstring> key;
        for (const Attribute& a : o.attributes)
            if (a.ns == xamlns::Xaml && a.local == L"Key") key = KeyOfText(a.value, a.line, a.column);
        Resource resource;
        std::wstring implicitKey;
        const bool presentation = o.ns == xamlns::Presentation;
        if (presentation && o.local == L"Style") {
            resource.typeName = kStyleClass;
            resource.style = ReadStyle(o);
            if (!resource.style->targetClass.empty()) implicitKey = TypeKey(resource.style->targetClass);
        } else if (presentation && IsTemplate(o.local)) {
            resource.typeName = (o.local == L"ControlTemplate" || o.local == L"ItemsPanelTemplate"
                                     ? L"System.Windows.Controls."
                                     : L"System.Windows.") +
                                o.local;
            for (const Attribute& a : o.attributes)
                if (a.ns.empty() && a.local == L"DataType" && o.local != L"ControlTemplate" &&
                    o.local != L"ItemsPanelTemplate")
                    // DataType is an object: {x:Type} names a class, text an XML element's name.
                    implicitKey = TemplateKey(IsMarkup(a.value) ? NamedType(a.value, a.line, a.column).second
                                                                : L"<" + std::wstring(Trim(a.value)) + L">");
            if (IsKeptTemplate(o.local))
                resource.templateDef = ReadTemplate(o);
            else
                Skip(o.empty);
        } else {
            resource = ReadObjectResource(o, L"as a resource");
        }
        if (!key && implicitKey.empty())
            Fail(L"Each dictionary entry must have an associated key (x:Key).", o.line, o.column);
        const std::wstring name = key ? *key : implicitKey;
        ResourceMap& resources = Target();
        auto it = resources.find(name);
        if (it != resources.end() && it->second.second != 0)
            Fail(L"the resource key '" + ShownKey(name) + L"' is already used in this dictionary (line " +
                     std::to_wstring(it->second.second) + L")",
                 o.line, o.column);
        // An own entry hides a merged dictionary's.
        if (it != resources.end()) resources.erase(it);
        resources.emplace(name, std::make_pair(std::move(resource), o.line));
    }

    Resource ReadBrush(const Opened& o) {
        Resource brush{kBrushClass, L"#FF000000", std::nullopt, nullptr};
        Node none;
        for (const Attribute& a : o.attributes) {
            if ((a.ns == xamlns::Xaml && a.local == L"Key") || ignorable_.count(a.ns)) continue;
            if (!a.ns.empty())
                Fail(L"unknown attribute '" + a.Qualified() + L"' of SolidColorBrush", a.line, a.column);
            try {
                if (a.local == L"Color" && IsMarkup(a.value)) {
                    // A colour resource: its text when it has one, else the default colour.
                    std::optional<markup::Extension> e = ExtensionOf(a.value, a.line, a.column);
                    if (!e || !IsResourceReference(*e))
                        Fail(L"the markup extension '" + a.value + L"' is not supported for Color", a.line,
                             a.column);
                    std::optional<Resource> color = ResolveResource(*e, a.line, a.column);
                    if (color && !color->unevaluated && !color->object && !color->text.empty()) {
                        check::Brush(none, color->text);
                        brush.text = color->text;
                    }
                } else if (a.local == L"Color") {
                    if (Trim(a.value) == L"{x:Null}") throw ValueError{L"a colour expected"};
                    check::Brush(none, a.value);
                    brush.text = a.value;
                } else if (a.local == L"Opacity") {
                    ToNumber(a.value);
                } else {
                    Fail(L"the attribute '" + a.local + L"' of SolidColorBrush is not supported", a.line,
                         a.column);
                }
            } catch (const ValueError& e) {
                Fail(L"'" + a.value + L"' is no valid value of " + a.local + L": " + e.message, a.line,
                     a.column);
            }
        }
        if (!o.empty)
            ForEachChild(L"SolidColorBrush", [&] {
                Fail(L"the elements of SolidColorBrush are not supported (its attributes are)", Line(),
                     Column());
            });
        return brush;
    }

    // A Style: TargetType, BasedOn, its setters; triggers, event setters and its own resources are read and
    // kept without effect.
    std::shared_ptr<const StyleDef> ReadStyle(const Opened& o) {
        auto style = std::make_shared<StyleDef>();
        const Attribute* basedOn = nullptr;
        for (const Attribute& a : o.attributes) {
            if ((a.ns == xamlns::Xaml && (a.local == L"Key" || a.local == L"Shared")) ||
                ignorable_.count(a.ns))
                continue;
            if (a.ns.empty() && a.local == L"TargetType") {
                std::tie(style->target, style->targetClass) = NamedType(a.value, a.line, a.column);
            } else if (a.ns.empty() && a.local == L"BasedOn") {
                basedOn = &a;
            } else {
                Fail(L"unknown attribute '" + a.Qualified() + L"' of Style", a.line, a.column);
            }
        }
        std::optional<markup::Extension> e =
            basedOn ? ExtensionOf(basedOn->value, basedOn->line, basedOn->column) : std::nullopt;
        // BasedOn="{x:Null}" is WPF's default: no base.
        if (e && e->name == L"x:Null" && e->positional.empty() && e->named.empty()) basedOn = nullptr;
        if (basedOn) {
            if (!e || !IsResourceReference(*e))
                Fail(L"BasedOn takes a {StaticResource} of a Style, not '" + basedOn->value + L"'",
                     basedOn->line, basedOn->column);
            std::optional<Resource> base = ResolveResource(*e, basedOn->line, basedOn->column);
            if (base && base->unevaluated) base.reset(); // the theme's or the application's, not here
            if (base && !base->style)
                Fail(L"'" + e->ToString() + L"' is a " + base->typeName + L", no valid value of BasedOn",
                     basedOn->line, basedOn->column);
            if (base) {
                const StyleDef& b = *base->style;
                const bool fits = b.targetClass.empty() || b.targetClass == style->targetClass ||
                                  (b.target && style->target && IsA(*style->target, b.target->name));
                if (!fits)
                    Fail(L"Can only base on a Style with target type that is base type '" +
                             style->targetClass + L"'.",
                         basedOn->line, basedOn->column);
                style->basedOn = base->style;
            }
        }
        if (!o.empty)
            ForEachChild(L"Style", [&] {
                const std::wstring local = Text(&IXmlReader::GetLocalName);
                if (local == L"Style.Setters") {
                    Opened setters = Open();
                    ScopeCloser closer{scopes_};
                    if (!setters.attributes.empty())
                        Fail(L"Style.Setters takes no attributes", setters.attributes[0].line,
                             setters.attributes[0].column);
                    if (!setters.empty) ForEachChild(L"Style.Setters", [&] { ReadSetter(*style); });
                    return;
                }
                if (local == L"Style.Triggers" || local == L"Style.Resources") {
                    Opened kept = Open();
                    ScopeCloser closer{scopes_};
                    Skip(kept.empty);
                    return;
                }
                ReadSetter(*style);
            });
        return style;
    }

    void ReadSetter(StyleDef& style) {
        Opened o = Open();
        ScopeCloser closer{scopes_};
        if (o.ns != xamlns::Presentation || (o.local != L"Setter" && o.local != L"EventSetter"))
            Fail(L"a Style holds Setter, EventSetter, Style.Setters, Style.Triggers and Style.Resources, not "
                 L"'" +
                     o.qualified + L"'",
                 o.line, o.column);
        if (o.local == L"EventSetter") {
            // The handler is code of the project: kept as a name without effect.
            Skip(o.empty);
            return;
        }
        SetterDef setter;
        setter.line = o.line;
        setter.column = o.column;
        bool hasProperty = false, hasValue = false;
        for (const Attribute& a : o.attributes) {
            if (ignorable_.count(a.ns)) continue;
            if (a.ns.empty() && a.local == L"Property") {
                hasProperty = true;
                setter.property = std::wstring(Trim(a.value));
            } else if (a.ns.empty() && a.local == L"Value") {
                hasValue = true;
                setter.value = a.value;
                setter.line = a.line;
                setter.column = a.column;
            } else if (a.ns.empty() && a.local == L"TargetName") {
                Fail(L"Setter.TargetName belongs in a template's triggers, not in a Style's setters", a.line,
                     a.column);
            } else {
                Fail(L"unknown attribute '" + a.Qualified() + L"' of Setter", a.line, a.column);
            }
        }
        if (!o.empty)
            ForEachChild(L"Setter", [&] {
                const unsigned line = Line(), column = Column();
                if (Text(&IXmlReader::GetLocalName) != L"Setter.Value")
                    Fail(L"a Setter holds Setter.Value only", line, column);
                if (hasValue) Fail(L"the Setter's Value is set twice", line, column);
                hasValue = true;
                Opened value = Open();
                ScopeCloser valueCloser{scopes_};
                size_t count = 0;
                if (!value.empty)
                    ForEachChild(L"Setter.Value", [&] {
                        if (count++) Fail(L"Setter.Value holds one element", Line(), Column());
                        setter.object = ReadSetterObject();
                    });
                if (!count) Fail(L"Setter.Value needs an element", line, column);
            });
        if (!hasProperty || !hasValue)
            Fail(L"Must specify both Property and Value for Setter.", o.line, o.column);
        // The property as WPF resolves it where the style is read.
        const size_t dot = setter.property.find(L'.');
        const Type* owner =
            dot == std::wstring::npos ? style.target : FindType(setter.property.substr(0, dot));
        const std::wstring name =
            dot == std::wstring::npos ? setter.property : setter.property.substr(dot + 1);
        bool found = false;
        if (owner && dot != std::wstring::npos && FindAttachedProperty(owner->name, name)) {
            found = true;
        } else if (owner && dot != std::wstring::npos && style.target && !IsA(*style.target, owner->name) &&
                   WpfHasProperty(*owner, name)) {
            // Another class's property (Border.CornerRadius in a Button's style): WPF sets it on the button,
            // where nothing reads it.
            found = true;
            setter.inert = true;
        } else if (owner &&
                   (FindProperty(*owner, name) || IsTemplateProperty(name) || name == L"DataContext" ||
                    (IsA(*owner, L"ItemsControl") &&
                     (name == L"ItemsSource" || name == L"DisplayMemberPath")))) {
            found = true;
            setter.property = name;
            if (!style.target && dot != std::wstring::npos) setter.owner = owner;
        } else if (!owner && dot == std::wstring::npos && !style.targetClass.empty()) {
            found = true; // a class of the project: its properties are known when the style applies
        } else if (owner && dot == std::wstring::npos && WpfHasProperty(*owner, name)) {
            found = true; // WPF's, read when the style applies and kept without effect
        } else if (dot != std::wstring::npos) {
            // Owner.Name of WPF's: an attached property, or a property of the owner that the target has.
            const surface::Class* wpfOwner = surface::FindClass(setter.property.substr(0, dot));
            const surface::Class* target = style.target ? SurfaceOf(*style.target) : nullptr;
            found = wpfOwner &&
                    (surface::FindAttached(*wpfOwner, name) || surface::FindProperty(*wpfOwner, name));
            setter.inert = found && !surface::FindAttached(*wpfOwner, name) && target &&
                           !surface::DerivesFrom(*target, wpfOwner->name);
        }
        if (!found || name == L"Style")
            Fail(L"Cannot resolve the Style Property '" + setter.property +
                     L"'. Verify that the owning type is the Style's TargetType, or use Class.Property "
                     L"syntax to "
                     L"specify the Property.",
                 o.line, o.column);
        style.setters.push_back(std::move(setter));
    }

    // The element of a <Setter.Value>: a template (kept), a brush, a data value, or another WPF object.
    Resource ReadSetterObject() {
        Opened o = Open();
        ScopeCloser closer{scopes_};
        if (o.ns == xamlns::Presentation && IsTemplate(o.local)) {
            Resource resource{L"System.Windows." + o.local, L"", std::nullopt, nullptr};
            if (IsKeptTemplate(o.local))
                resource.templateDef = ReadTemplate(o);
            else
                Skip(o.empty);
            return resource;
        }
        return ReadObjectResource(o, L"in Setter.Value");
    }

    // A resource or a setter's value that is neither a style nor a template: a SolidColorBrush (its colour
    // is used), data, or any other WPF object, read as WPF reads it and kept without effect.
    Resource ReadObjectResource(const Opened& o, const wchar_t* where) {
        if (o.ns == xamlns::Presentation && o.local == L"SolidColorBrush") return ReadBrush(o);
        if (const surface::Member* value =
                o.ns == xamlns::Presentation && !(IsAbstractName(o.local) && o.empty) ? StructValue(o.local)
                                                                                      : nullptr)
            return Resource{StructClass(o.local), ReadStructValue(o, *value), std::nullopt, nullptr};
        if (std::optional<Data> data = ReadDataValue(o))
            return Resource{data->typeName, wpfsim::DisplayText(data->value), std::move(data), nullptr};
        const surface::Class* wpf = o.ns == xamlns::Presentation ? surface::FindClass(o.local) : nullptr;
        if (!wpf)
            Fail(o.ns == xamlns::Presentation ? UnknownWpfElement(o.qualified)
                                              : L"'" + o.qualified + L"' " + where +
                                                    L" is not supported (WPF objects, sys: values, x:Array "
                                                    L"and objects of a clr-namespace are)",
                 o.line, o.column);
        ++resources_;
        ReadValueObject(*wpf, o.qualified, o.attributes, o.empty, o.line, o.column);
        --resources_;
        Resource resource{std::wstring(wpf->ns) + L"." + wpf->name, L"", std::nullopt, nullptr};
        resource.object = wpf;
        return resource;
    }

    // --- the application's data -------------------------------------------------------------------------

    // A value of a data position (a resource, a DataContext, an x:Array's item, an item): a sys: value, an
    // x:Array, or an object of a clr-namespace (a class of the project without sim:Base). Nothing for other
    // elements, which the caller refuses.
    std::optional<Data> ReadDataValue(const Opened& o) {
        if (IsSystemNamespace(o.ns)) return SysData(o);
        if (o.ns == xamlns::Xaml && o.local == L"Array") return ReadArray(o);
        if (std::wstring_view(o.ns).starts_with(kClrNamespace) && !HasSimBase(o.attributes))
            return ReadDataObject(o);
        return std::nullopt;
    }

    // The data value the parser stands on.
    Data ReadDataElement(const std::wstring& where) {
        Opened o = Open();
        ScopeCloser closer{scopes_};
        std::optional<Data> data = ReadDataValue(o);
        if (!data)
            Fail(L"'" + o.qualified + L"' in " + where +
                     L" is not supported (sys: values, x:Array and objects of a clr-namespace are)",
                 o.line, o.column);
        return std::move(*data);
    }

    Data SysData(const Opened& o) {
        for (const Attribute& a : o.attributes)
            if (!(a.ns == xamlns::Xaml && a.local == L"Key") && !ignorable_.count(a.ns))
                Fail(L"sys:" + o.local + L" takes no attributes", a.line, a.column);
        std::wstring value;
        XmlNodeType nodeType;
        if (!o.empty)
            while (Next(nodeType)) {
                if (nodeType == XmlNodeType_EndElement) break;
                if (nodeType == XmlNodeType_Element)
                    Fail(L"sys:" + o.local + L" holds text only", Line(), Column());
                if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA ||
                    nodeType == XmlNodeType_Whitespace)
                    value += Text(&IXmlReader::GetValue);
            }
        ov::Variant item;
        try {
            if (o.local == L"String") {
                item = ov::Variant::String(value);
            } else if (o.local == L"Int32") {
                item = ov::Variant::Int(static_cast<LONG>(ToInt32(value)));
            } else if (o.local == L"Double") {
                item = ov::Variant::Double(ToNumber(value));
            } else if (o.local == L"Boolean") {
                item = ov::Variant::Bool(ToBool(value));
            } else if (o.local == L"Int16" || o.local == L"Byte" || o.local == L"SByte" ||
                       o.local == L"UInt16") {
                const long long number = ToInt32(value);
                const auto [low, high] = o.local == L"Int16"   ? std::pair{-32768LL, 32767LL}
                                         : o.local == L"Byte"  ? std::pair{0LL, 255LL}
                                         : o.local == L"SByte" ? std::pair{-128LL, 127LL}
                                                               : std::pair{0LL, 65535LL};
                if (number < low || number > high) throw ValueError{L"out of the type's range"};
                item = ov::Variant::Int(static_cast<LONG>(number));
            } else if (o.local == L"Int64" || o.local == L"UInt32" || o.local == L"UInt64" ||
                       o.local == L"Single" || o.local == L"Decimal") {
                // Kept as a double: what a list shows and a binding reads is the number.
                const double number = ToNumber(value);
                if (o.local != L"Single" && o.local != L"Decimal" && number != std::floor(number))
                    throw ValueError{L"a whole number expected"};
                item = ov::Variant::Double(number);
            } else if (o.local == L"Char") {
                if (value.size() != 1) throw ValueError{L"one character expected"};
                item = ov::Variant::String(value);
            } else if (o.local == L"Uri" || o.local == L"DateTime" || o.local == L"TimeSpan" ||
                       o.local == L"Guid" || o.local == L"Object") {
                // Kept as written: their text is what the application shows of them.
                if (Trim(value).empty() && o.local != L"Object") throw ValueError{L"a value expected"};
                item = ov::Variant::String(value);
            } else {
                Fail(L"sys:" + o.local +
                         L" is not supported (String, Boolean, Char, the numbers, Uri, DateTime, TimeSpan, "
                         L"Guid "
                         L"and Object are)",
                     o.line, o.column);
            }
        } catch (const ValueError& e) {
            Fail(L"'" + value + L"' is no valid sys:" + o.local + L": " + e.message, o.line, o.column);
        }
        return Data{std::move(item), L"System." + o.local};
    }

    Data ReadArray(const Opened& o) {
        std::wstring itemClass;
        for (const Attribute& a : o.attributes) {
            if ((a.ns == xamlns::Xaml && a.local == L"Key") || ignorable_.count(a.ns)) continue;
            if (a.ns.empty() && a.local == L"Type")
                itemClass = NamedType(a.value, a.line, a.column).second;
            else
                Fail(L"unknown attribute '" + a.Qualified() + L"' of x:Array", a.line, a.column);
        }
        if (itemClass.empty()) Fail(L"x:Array needs its Type (Type=\"{x:Type ...}\")", o.line, o.column);
        std::vector<Data> items;
        if (!o.empty)
            ForEachChild(L"x:Array", [&] {
                const unsigned line = Line(), column = Column();
                Data item = ReadDataElement(L"x:Array");
                if (itemClass != L"System.Object" && item.typeName != itemClass)
                    Fail(L"an x:Array of " + itemClass + L" cannot hold a " + item.typeName, line, column);
                items.push_back(std::move(item));
            });
        const std::wstring className = itemClass + L"[]";
        auto list = ov::Create<DataList>(app_.SharedRuntime(), className, std::move(items));
        return Data{wpfsim::ClrObject::Obj(list.Get()), className};
    }

    // An object of the project's data: its attributes are its properties, kept as text; a property element
    // holds an object or a collection.
    Data ReadDataObject(const Opened& o) {
        const std::wstring clr = o.ns.substr(kClrNamespace.size(), o.ns.find(L';') - kClrNamespace.size());
        const std::wstring className = clr.empty() ? o.local : clr + L"." + o.local;
        auto object = ov::Create<wpfsim::DataObject>(app_.SharedRuntime(), className);
        for (const Attribute& a : o.attributes) {
            if ((a.ns == xamlns::Xaml && (a.local == L"Key" || a.local == L"Name")) || ignorable_.count(a.ns))
                continue;
            if (!a.ns.empty())
                Fail(L"unknown attribute '" + a.Qualified() + L"' of " + o.qualified, a.line, a.column);
            ov::Variant value = ov::Variant::String(Literal(a.value));
            if (std::optional<markup::Extension> e = ExtensionOf(a.value, a.line, a.column)) {
                if (e->name == L"x:Null") {
                    value = ov::Variant();
                } else if (IsResourceReference(*e)) {
                    std::optional<Resource> resource = ResolveResource(*e, a.line, a.column);
                    value = !resource        ? ov::Variant()
                            : resource->data ? resource->data->value
                                             : ov::Variant::String(resource->text);
                } else if (e->name == L"x:Static" || IsBinding(*e)) {
                    // The code's value, or a binding the project's object evaluates: not here.
                    if (e->name == L"x:Static") StaticValue(*e, a.line, a.column);
                    value = ov::Variant();
                } else {
                    Fail(L"the markup extension '" + e->ToString() + L"' in a data object is not supported",
                         a.line, a.column);
                }
            }
            object->SetValue(a.local, std::move(value));
        }
        // Text alone is the value of a class with a converter of its own (an enumeration of the project).
        std::wstring text;
        bool properties = false;
        XmlNodeType nodeType;
        if (!o.empty)
            while (Next(nodeType)) {
                if (nodeType == XmlNodeType_EndElement) break;
                if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA) {
                    if (properties)
                        Fail(o.qualified + L" holds text or property elements, not both", Line(), Column());
                    text += Text(&IXmlReader::GetValue);
                    continue;
                }
                if (nodeType != XmlNodeType_Element) continue;
                if (!NormalizeText(text).empty())
                    Fail(o.qualified + L" holds text or property elements, not both", Line(), Column());
                properties = true;
                const unsigned line = Line(), column = Column();
                Opened p = Open();
                ScopeCloser closer{scopes_};
                const size_t dot = p.local.find(L'.');
                if (p.ns != o.ns || dot == std::wstring::npos || p.local.substr(0, dot) != o.local)
                    Fail(L"the content of the data object " + o.qualified +
                             L" is not supported (its properties as attributes or property elements are)",
                         line, column);
                std::vector<Data> values;
                if (!p.empty)
                    ForEachChild(p.qualified, [&] { values.push_back(ReadDataElement(p.qualified)); });
                const std::wstring name = p.local.substr(dot + 1);
                if (values.size() == 1) {
                    object->SetValue(name, values[0].value);
                } else {
                    auto list = ov::Create<DataList>(app_.SharedRuntime(),
                                                     L"System.Collections.Generic.List`1[System.Object]",
                                                     std::move(values));
                    object->SetValue(name, wpfsim::ClrObject::Obj(list.Get()));
                }
            }
        text = NormalizeText(text);
        if (!text.empty()) return Data{ov::Variant::String(text), className};
        return Data{wpfsim::ClrObject::Obj(object.Get()), className};
    }

    // Whether the element the parser stands on names sim:Base.
    bool PeekSimBase() {
        bool found = false;
        for (HRESULT hr = xml_.MoveToFirstAttribute(); hr == S_OK; hr = xml_.MoveToNextAttribute())
            if (Text(&IXmlReader::GetLocalName) == L"Base" &&
                Text(&IXmlReader::GetNamespaceUri) == xamlns::Sim)
                found = true;
        xml_.MoveToElement();
        return found;
    }

    // The data item the parser stands on (a clr-namespace object without sim:Base in an items control).
    void ReadObjectItem(Node& node) {
        Data item = ReadDataElement(L"the items");
        static_cast<wpfsim::ItemsControl*>(node.element)->AddDataItem(std::move(item.value), item.typeName);
    }

    void SetName(wpfsim::Element& element, const Attribute& a) {
        CheckName(a);
        element.SetName(a.value);
        elements_[a.value] = &element;
    }

    // A name is an identifier, unique in the file.
    void CheckName(const Attribute& a) {
        if (a.value.empty()) Fail(L"an empty name", a.line, a.column);
        if (!IsIdentifier(a.value))
            Fail(L"the name '" + a.value +
                     L"' is no identifier (a letter or '_', then letters, digits, marks and '_')",
                 a.line, a.column);
        auto [it, added] = names_.emplace(a.value, a.line);
        if (!added)
            Fail(L"the name '" + a.value + L"' is already used (line " + std::to_wstring(it->second) + L")",
                 a.line, a.column);
    }

    // Faults of text content are given at the element's position: parsers place a text node differently
    // (at its start or its end), the element's position is the same everywhere.
    void ReadContent(Node& node, const Type& type, const std::wstring& qualified, unsigned line,
                     unsigned column, bool contentSet, Assigned& assigned) {
        if (type.content == Content::Inlines)
            return ReadInlines(node, type, qualified, line, column, contentSet, &assigned);
        std::wstring text;
        size_t children = 0;
        // A run of content is one setting of the content's property.
        bool inContent = false;
        auto content = [&](unsigned atLine, unsigned atColumn) {
            if (!inContent) Assign(assigned, type, L"", qualified, atLine, atColumn);
            inContent = true;
            frames_.back().local.emplace(ContentProperty(type));
        };
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType == XmlNodeType_EndElement) break;
            if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA) {
                if (!type.textProperty && type.content != Content::Items)
                    Fail(qualified + L" cannot hold text", line, column);
                content(line, column);
                text += Text(&IXmlReader::GetValue);
                continue;
            }
            if (nodeType != XmlNodeType_Element) continue;
            std::wstring local = Text(&IXmlReader::GetLocalName);
            std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
            if (ns.empty()) ns = Uri(Prefix());
            if (local.find(L'.') != std::wstring::npos && ns == xamlns::Presentation) {
                ReadPropertyElement(node, type, qualified, local, assigned);
                inContent = false;
                continue;
            }
            if (local.find(L'.') != std::wstring::npos && !ns.empty() && !IsSystemNamespace(ns) &&
                ns != xamlns::Xaml && !ignorable_.count(ns)) {
                // A property of code that is not here (the project's class, an attached property of the
                // project or of a library): its value is passed over without effect, the library's noted.
                if (!std::wstring_view(ns).starts_with(kClrNamespace))
                    Note(Line(), L"the property element '" + Text(&IXmlReader::GetQualifiedName) +
                                     L"' belongs to an assembly that is not here (namespace '" + ns +
                                     L"'): it is passed over without effect");
                SkipElement();
                inContent = false;
                continue;
            }
            const unsigned childLine = Line(), childColumn = Column();
            if (IsSystemNamespace(ns)) {
                if (type.content != Content::Items)
                    Fail(L"the value '" + local +
                             L"' can only be an item of an items control, not content of " + qualified,
                         childLine, childColumn);
                content(childLine, childColumn);
                ReadDataItem(node, local);
                continue;
            }
            if (type.content == Content::Items && std::wstring_view(ns).starts_with(kClrNamespace) &&
                !PeekSimBase()) {
                content(childLine, childColumn);
                ReadObjectItem(node);
                continue;
            }
            if (type.content == Content::None || type.content == Content::Text)
                Fail(qualified + L" cannot hold the element '" + local + L"'", childLine, childColumn);
            if (type.content == Content::Single && contentSet)
                Fail(qualified + L" gets its " + type.textProperty + L" twice (attribute and element)",
                     childLine, childColumn);
            if (type.content == Content::Single && children > 0)
                Fail(qualified + L" holds one element only", childLine, childColumn);
            if (wpfsim::Element* child = ReadElement(false)) {
                content(childLine, childColumn);
                AddTo(node, *child, childLine, childColumn);
                ++children;
            }
        }
        text = NormalizeText(text);
        if (text.empty()) return;
        if (type.content == Content::Items) {
            // Text inside an items control is a string item, as WPF's ItemCollection takes it.
            static_cast<wpfsim::ItemsControl*>(node.element)
                ->AddDataItem(ov::Variant::String(text), L"System.String");
            return;
        }
        if (contentSet || children > 0)
            Fail(qualified + L" gets its " + type.textProperty + L" twice (attribute, text or element)", line,
                 column);
        Set(node, *FindProperty(type, type.textProperty), text, type.textProperty, line, column);
    }

    // Text and inline elements in order (a TextBlock's or a Span's content, or <TextBlock.Inlines>), with
    // XAML's white space rules for text: runs of white space are one space, none at the start and the end,
    // none beside a LineBreak. Text alone in a TextBlock sets its Text; text among elements becomes Runs.
    // `assigned` null: inside the property element, which was assigned already.
    void ReadInlines(Node& node, const Type& type, const std::wstring& qualified, unsigned line,
                     unsigned column, bool contentSet, Assigned* assigned) {
        struct Piece {
            std::wstring text;
            wpfsim::Element* element = nullptr;
            unsigned line = 0, column = 0;
        };
        std::vector<Piece> pieces;
        bool inContent = false, hasText = false;
        auto content = [&](unsigned atLine, unsigned atColumn) {
            if (contentSet)
                Fail(qualified + L" gets its " + type.textProperty + L" twice (attribute, text or element)",
                     atLine, atColumn);
            if (!inContent && assigned) Assign(*assigned, type, L"", qualified, atLine, atColumn);
            inContent = true;
        };
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType == XmlNodeType_EndElement) break;
            if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA ||
                nodeType == XmlNodeType_Whitespace) {
                const std::wstring value = Text(&IXmlReader::GetValue);
                if (nodeType != XmlNodeType_Whitespace) {
                    content(line, column);
                    hasText = true;
                }
                if (pieces.empty() || pieces.back().element) pieces.push_back({});
                pieces.back().text += value;
                continue;
            }
            if (nodeType != XmlNodeType_Element) continue;
            std::wstring local = Text(&IXmlReader::GetLocalName);
            std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
            if (ns.empty()) ns = Uri(Prefix());
            if (local.find(L'.') != std::wstring::npos && ns == xamlns::Presentation) {
                if (!assigned) Fail(qualified + L" holds inline elements only", Line(), Column());
                ReadPropertyElement(node, type, qualified, local, *assigned);
                inContent = false;
                continue;
            }
            const unsigned childLine = Line(), childColumn = Column();
            if (IsSystemNamespace(ns))
                Fail(L"the value '" + local + L"' can only be an item of an items control, not content of " +
                         qualified,
                     childLine, childColumn);
            if (wpfsim::Element* child = ReadElement(false)) {
                content(childLine, childColumn);
                pieces.push_back({L"", child, childLine, childColumn});
            }
        }
        const bool elements =
            std::any_of(pieces.begin(), pieces.end(), [](const Piece& p) { return p.element != nullptr; });
        if (!elements) {
            if (!hasText) return;
            std::wstring text;
            for (const Piece& p : pieces)
                text += p.text;
            text = NormalizeText(text);
            if (type.textProperty) {
                Set(node, *FindProperty(type, type.textProperty), text, type.textProperty, line, column);
                return;
            }
            if (!text.empty()) AddTo(node, wpfsim::xaml::MakeRun(app_, text), line, column);
            return;
        }
        for (size_t i = 0; i < pieces.size(); ++i) {
            if (pieces[i].element) {
                AddTo(node, *pieces[i].element, pieces[i].line, pieces[i].column);
                continue;
            }
            std::wstring text;
            for (wchar_t c : pieces[i].text) {
                const bool space = std::iswspace(c) != 0;
                if (space && !text.empty() && text.back() == L' ') continue;
                text += space ? L' ' : c;
            }
            const bool first = i == 0, last = i + 1 == pieces.size();
            if ((first || TrimsSurroundingWhitespace(*pieces[i - 1].element)) && text.starts_with(L' '))
                text.erase(0, 1);
            if ((last || TrimsSurroundingWhitespace(*pieces[i + 1].element)) && text.ends_with(L' '))
                text.pop_back();
            if (!text.empty()) AddTo(node, wpfsim::xaml::MakeRun(app_, text), line, column);
        }
    }

    // As WPF when a page gets a visual parent.
    void CheckPageParent(const Node& node, const wpfsim::Element& child, unsigned line, unsigned column) {
        if (dynamic_cast<const wpfsim::Page*>(&child) && !dynamic_cast<wpfsim::Window*>(node.element) &&
            !dynamic_cast<wpfsim::Frame*>(node.element))
            Fail(L"Page can have only Window or Frame as parent.", line, column);
    }

    void AddTo(Node& node, wpfsim::Element& child, unsigned line, unsigned column) {
        CheckPageParent(node, child, line, column);
        try {
            node.element->AddChild(child);
        } catch (const std::invalid_argument&) {
            Fail(L"the element cannot take this child here", line, column);
        }
    }

    // <sys:String>text</sys:String> and the primitives: a data item of the items control.
    void ReadDataItem(Node& node, const std::wstring& local) {
        Opened o = Open();
        ScopeCloser closer{scopes_};
        for (const Attribute& a : o.attributes)
            Fail(L"sys:" + local + L" takes no attributes", a.line, a.column);
        Data item = SysData(o);
        static_cast<wpfsim::ItemsControl*>(node.element)->AddDataItem(std::move(item.value), item.typeName);
    }

    // Owner.Name as an element: the definition lists of a Grid are the ones understood.
    void ReadPropertyElement(Node& node, const Type& type, const std::wstring& qualified,
                             const std::wstring& local, Assigned& assigned) {
        const unsigned line = Line(), column = Column();
        const bool empty = xml_.IsEmptyElement();
        size_t dot = local.find(L'.');
        std::wstring owner = local.substr(0, dot);
        const std::wstring name = local.substr(dot + 1);
        if (!IsA(type, owner)) {
            // An attached property of WPF's as an element (<AutomationProperties.Name>Save</...>).
            const surface::Class* ownerClass = surface::FindClass(owner);
            const surface::Member* attached = ownerClass ? surface::FindAttached(*ownerClass, name) : nullptr;
            if (!attached) Fail(L"the property element '" + local + L"' is not supported here", line, column);
            Assign(assigned, type, local, qualified, line, column);
            frames_.back().local.insert(local);
            ReadWpfPropertyElement(&node, FindElementProperty(type, local), *attached, local, line, column,
                                   empty);
            return;
        }
        Assign(assigned, type, name, qualified, line, column);
        if (name == L"Resources") {
            ReadResources(local, empty);
            return;
        }
        frames_.back().local.insert(name);
        if (name == L"DataContext" || (name == L"ItemsSource" && IsA(type, L"ItemsControl"))) {
            ReadDataProperty(node, local, name, line, column, empty);
            return;
        }
        if (name == L"Style" || IsTemplateProperty(name)) {
            KeepTemplate(name, ReadTemplateProperty(local, name, line, column, empty));
            return;
        }
        const DefinitionList* list = FindDefinitionList(owner, name);
        if (!list && name == L"Inlines" && type.content == Content::Inlines) {
            OpenPropertyElement(local);
            if (!empty) ReadInlines(node, type, local, line, column, false, nullptr);
            return;
        }
        if (!list) {
            // A property of WPF's that the simulation does not take elements for: read as WPF reads it.
            // (Resources are read where resources are.)
            const Property* property = FindProperty(type, name);
            const bool items = name == L"Items" && type.content == Content::Items;
            const surface::Class* wpf = SurfaceOf(type);
            const surface::Member* member = wpf ? surface::FindProperty(*wpf, name) : nullptr;
            if (!items && !(property && property->setElement) && member && name != L"Resources") {
                ReadWpfPropertyElement(&node, property, *member, local, line, column, empty);
                return;
            }
            ReadElementProperty(node, type, local, name, line, column, empty);
            return;
        }
        OpenPropertyElement(local);
        if (empty) return;
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType == XmlNodeType_EndElement) break;
            if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA)
                Fail(local + L" cannot hold text", Line(), Column());
            if (nodeType != XmlNodeType_Element) continue;
            const unsigned itemLine = Line(), itemColumn = Column();
            std::wstring item = Text(&IXmlReader::GetLocalName);
            bool itemEmpty = xml_.IsEmptyElement();
            if (item != list->item || Text(&IXmlReader::GetNamespaceUri) != xamlns::Presentation)
                Fail(local + L" holds " + list->item + L" elements only, not '" + item + L"'", itemLine,
                     itemColumn);
            double size = Auto;
            for (const Attribute& a : ReadAttributes()) {
                if (a.local == list->attribute && a.ns.empty()) {
                    size = DefinitionSize(a);
                    continue;
                }
                if (ignorable_.count(a.ns) || (a.ns == xamlns::Xaml && a.local == L"Uid")) continue;
                // Its name, SharedSizeGroup, MinWidth and MaxWidth: read as WPF reads them, without effect.
                if ((a.ns == xamlns::Xaml || a.ns.empty()) && a.local == L"Name") {
                    CheckName(a);
                    continue;
                }
                if (!a.ns.empty())
                    Fail(L"unknown attribute '" + a.Qualified() + L"' of " + item, a.line, a.column);
                ApplyWpfAttribute(nullptr, surface::FindClass(item), item, a, Value(a));
            }
            scopes_.pop_back();
            (static_cast<wpfsim::Grid&>(*node.element).*(list->target)).push_back(size);
            if (!itemEmpty) Skip(false);
        }
    }

    // <X.DataContext> or <X.ItemsSource> holding one data value.
    void ReadDataProperty(Node& node, const std::wstring& local, const std::wstring& name, unsigned line,
                          unsigned column, bool empty) {
        OpenPropertyElement(local);
        std::optional<Data> value;
        bool bound = false;
        if (!empty)
            ForEachChild(local, [&] {
                const unsigned childLine = Line(), childColumn = Column();
                if (value || bound) Fail(local + L" holds one element only", childLine, childColumn);
                // A binding as an element: its source is a provider or the code here, so the value stays
                // unset.
                if (Text(&IXmlReader::GetNamespaceUri) == xamlns::Presentation)
                    if (const surface::Class* wpf = surface::FindClass(Text(&IXmlReader::GetLocalName));
                        wpf && surface::DerivesFrom(*wpf, L"BindingBase")) {
                        bound = true;
                        ReadValueObject(*wpf, wpf->name, childLine, childColumn);
                        return;
                    }
                if (name == L"ItemsSource" && Text(&IXmlReader::GetNamespaceUri) == xamlns::Presentation &&
                    Text(&IXmlReader::GetLocalName) == L"CompositeCollection") {
                    bound = true;
                    ReadCompositeCollection(node, childLine, childColumn);
                    return;
                }
                value = ReadDataElement(local);
                if (name == L"ItemsSource" && !ListOf(value->value))
                    Fail(L"ItemsSource takes a collection (an x:Array), not a " + value->typeName, childLine,
                         childColumn);
            });
        if (bound) return;
        if (!value) Fail(local + L" needs an element", line, column);
        if (name == L"DataContext")
            frames_.back().dataContext = std::move(value);
        else
            frames_.back().bindings.push_back({name, std::nullopt, std::move(value), line, column});
        (void)node;
    }

    // A CompositeCollection as ItemsSource: its elements, data values and the items of its
    // CollectionContainers become the control's items, in order. A container's collection is a
    // {StaticResource} (or a {Binding} with that Source) of a list the XAML describes; another one (the
    // project's code, a data provider) is noted and adds nothing.
    void ReadCompositeCollection(Node& node, unsigned line, unsigned column) {
        Opened o = Open();
        ScopeCloser closer{scopes_};
        for (const Attribute& a : o.attributes)
            if (!ignorable_.count(a.ns))
                Fail(L"unknown attribute '" + a.Qualified() + L"' of CompositeCollection", a.line, a.column);
        auto& control = static_cast<wpfsim::ItemsControl&>(*node.element);
        if (control.Count() > 0)
            Fail(L"Items collection must be empty before using ItemsSource.", line, column);
        if (o.empty) return;
        ForEachChild(L"CompositeCollection", [&] {
            const unsigned childLine = Line(), childColumn = Column();
            const std::wstring ns = Text(&IXmlReader::GetNamespaceUri),
                               local = Text(&IXmlReader::GetLocalName);
            if (IsSystemNamespace(ns)) {
                ReadDataItem(node, local);
            } else if (ns == xamlns::Presentation && local == L"CollectionContainer") {
                ReadCollectionContainer(control);
            } else if (std::wstring_view(ns).starts_with(kClrNamespace) && !PeekSimBase()) {
                ReadObjectItem(node);
            } else if (wpfsim::Element* child = ReadElement(false)) {
                AddTo(node, *child, childLine, childColumn);
            }
        });
    }

    void ReadCollectionContainer(wpfsim::ItemsControl& control) {
        Opened o = Open();
        ScopeCloser closer{scopes_};
        const Attribute* collection = nullptr;
        for (const Attribute& a : o.attributes) {
            if (ignorable_.count(a.ns)) continue;
            if (!a.ns.empty() || a.local != L"Collection")
                Fail(L"unknown attribute '" + a.Qualified() + L"' of CollectionContainer", a.line, a.column);
            collection = &a;
        }
        Skip(o.empty);
        if (!collection) return;
        std::optional<markup::Extension> e =
            ExtensionOf(collection->value, collection->line, collection->column);
        if (!e)
            Fail(L"CollectionContainer.Collection takes a collection, not text", collection->line,
                 collection->column);
        const markup::Extension* source = &*e;
        if (e->name == L"Binding") {
            const markup::Argument* named = e->Named(L"Source");
            const bool plain = e->positional.empty() && !e->Named(L"Path") && e->named.size() == 1;
            source = named && named->extension && plain ? named->extension.get() : nullptr;
        }
        std::optional<Resource> resource;
        if (source && IsResourceReference(*source))
            resource = ResolveResource(*source, collection->line, collection->column);
        const DataList* list = resource && resource->data ? ListOf(resource->data->value) : nullptr;
        if (!list) {
            Note(collection->line, L"the collection " + e->ToString() +
                                       L" of a CollectionContainer is not one the XAML describes: the list "
                                       L"shows the composite collection's other items");
            return;
        }
        for (const Data& item : list->Items())
            control.AddDataItem(item.value, item.typeName);
    }

    // <X.Style> holding a Style of its own, or a template property holding its template: a style takes
    // effect, a template is kept; the data template read is returned.
    std::shared_ptr<const TemplateDef> ReadTemplateProperty(const std::wstring& local,
                                                            const std::wstring& name, unsigned line,
                                                            unsigned column, bool empty) {
        OpenPropertyElement(local);
        std::shared_ptr<const TemplateDef> read;
        size_t count = 0;
        if (!empty)
            ForEachChild(local, [&] {
                if (count++) Fail(local + L" holds one element only", Line(), Column());
                const std::wstring child = Text(&IXmlReader::GetLocalName);
                const bool presentation = Text(&IXmlReader::GetNamespaceUri) == xamlns::Presentation;
                if (presentation && child == L"Style") {
                    Opened o = Open();
                    ScopeCloser closer{scopes_};
                    std::shared_ptr<const StyleDef> style = ReadStyle(o);
                    if (name == L"Style") {
                        frames_.back().style = std::move(style);
                        frames_.back().styleSet = true;
                    }
                    return;
                }
                if (!presentation || !IsTemplate(child) || name == L"Style")
                    Fail(local + L" holds a " + (name.ends_with(L"Style") ? L"Style" : L"template") +
                             L", not '" + child + L"'",
                         Line(), Column());
                Opened o = Open();
                ScopeCloser closer{scopes_};
                if (IsKeptTemplate(child))
                    read = ReadTemplate(o);
                else
                    Skip(o.empty);
            });
        if (!count) Fail(local + L" needs an element", line, column);
        return read;
    }

    // <Owner.Property> holding one element (a context menu, a header), or <Owner.Items> holding items.
    void ReadElementProperty(Node& node, const Type& type, const std::wstring& local,
                             const std::wstring& name, unsigned line, unsigned column, bool empty) {
        const Property* property = FindProperty(type, name);
        const bool items = name == L"Items" && type.content == Content::Items;
        const bool collection = property && property->collection;
        if (!items && (!property || !property->setElement))
            Fail(L"the property element '" + local + L"' is not supported here", line, column);
        OpenPropertyElement(local);
        size_t count = 0;
        // A property that takes text too (ToolTip) takes it here as from its attribute.
        std::wstring text;
        unsigned textLine = 0, textColumn = 0;
        XmlNodeType nodeType;
        if (!empty)
            while (Next(nodeType)) {
                if (nodeType == XmlNodeType_EndElement) break;
                if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA) {
                    if (items || !property->set || count > 0)
                        Fail(local + L" cannot hold text", Line(), Column());
                    if (text.empty()) textLine = Line(), textColumn = Column();
                    text += Text(&IXmlReader::GetValue);
                    continue;
                }
                if (nodeType != XmlNodeType_Element) continue;
                const unsigned childLine = Line(), childColumn = Column();
                if (!text.empty())
                    Fail(local + L" holds text or one element, not both", childLine, childColumn);
                std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
                if (ns.empty()) ns = Uri(Prefix());
                if (items && IsSystemNamespace(ns)) {
                    ReadDataItem(node, Text(&IXmlReader::GetLocalName));
                    continue;
                }
                if (items && std::wstring_view(ns).starts_with(kClrNamespace) && !PeekSimBase()) {
                    ReadObjectItem(node);
                    continue;
                }
                if (!items && !collection && count > 0)
                    Fail(local + L" holds one element only", childLine, childColumn);
                if (ns == xamlns::Presentation)
                    if (const surface::Class* markup = MarkupClass(Text(&IXmlReader::GetLocalName))) {
                        // A binding as an element: read once as its attribute form is, which leaves a
                        // multi-value or converted binding's property at its default.
                        ReadValueObject(*markup, markup->name, childLine, childColumn);
                        ++count;
                        continue;
                    }
                wpfsim::Element* child = ReadElement(false);
                if (!child) continue;
                ++count;
                if (items) {
                    AddTo(node, *child, childLine, childColumn);
                    continue;
                }
                if (name == L"Content") CheckPageParent(node, *child, childLine, childColumn);
                try {
                    property->setElement(node, *child);
                } catch (const ValueError& e) {
                    Fail(local + L": " + e.message, childLine, childColumn);
                }
            }
        if (!text.empty()) {
            Set(node, *property, NormalizeText(text), name, textLine, textColumn);
            return;
        }
        if (!items && !collection && count == 0) Fail(local + L" needs an element", line, column);
    }

    // <Owner.Name> of a WPF property: text read by the property's converter (set when the simulation has
    // the property), or WPF value objects (one, or the items of a collection), read and dropped. `node` null
    // inside a value object.
    void ReadWpfPropertyElement(Node* node, const Property* property, const surface::Member& member,
                                const std::wstring& local, unsigned line, unsigned column, bool empty) {
        OpenPropertyElement(local);
        const std::wstring where = L"<" + local + L">";
        std::wstring text;
        size_t count = 0;
        XmlNodeType nodeType;
        if (!empty)
            while (Next(nodeType)) {
                if (nodeType == XmlNodeType_EndElement) break;
                if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA)
                    text += Text(&IXmlReader::GetValue);
                if (nodeType == XmlNodeType_Element) ReadWpfChild(member, where, count);
            }
        text = NormalizeText(text);
        if (text.empty()) return;
        if (count > 0) Fail(where + L" holds both text and elements", line, column);
        if (node && property && property->set) {
            Set(*node, *property, text, member.name, line, column);
            return;
        }
        try {
            if (ConvertedApart(member, text)) return;
        } catch (const ValueError& e) {
            Fail(L"'" + text + L"' is no valid value of " + member.name + L": " + e.message, line, column);
        }
        if (member.converter == surface::Converter::None || (member.flags & surface::member::ReadOnly))
            Fail(where + L" cannot hold text", line, column);
        try {
            surface::Convert(member, text);
        } catch (const ValueError& e) {
            Fail(L"'" + text + L"' is no valid value of " + member.name + L": " + e.message, line, column);
        }
        // An attached property keeps its owner's name (AutomationProperties.Name), another its own.
        const size_t dot = local.find(L'.');
        const surface::Class* owner = surface::FindClass(std::wstring_view(local).substr(0, dot));
        const bool attached =
            dot != std::wstring::npos && owner && surface::FindAttached(*owner, member.name);
        if (node) Keep(*node->element, member, attached ? local : member.name, text);
    }

    static bool IsCollection(const surface::Member& member) {
        return (member.flags & surface::member::ReadOnly) ||
               std::wstring_view(member.type).ends_with(L"Collection");
    }

    // The class a property takes: its own type, or its collection's item type.
    static std::wstring ItemType(const surface::Member& member) {
        std::wstring type = member.type;
        if (IsCollection(member) && type.ends_with(L"Collection"))
            type.resize(type.size() - std::wstring_view(L"Collection").size());
        return type;
    }

    // Whether a value of the class can be the property's value (or an item of its collection): the item
    // type of a collection is its name without "Collection" (or that name's base class, TriggerBase).
    static bool Accepts(const surface::Member& member, const surface::Class& value) {
        if (IsCollection(member)) {
            if (surface::DerivesFrom(value, member.type)) return true; // the collection itself
            const std::wstring type = ItemType(member);
            if (!surface::FindClass(type) && !surface::FindClass(type + L"Base")) return true;
            return surface::DerivesFrom(value, type) || surface::DerivesFrom(value, type + L"Base");
        }
        // Interfaces (ICommand) and object take any value.
        return !surface::FindClass(member.type) || surface::DerivesFrom(value, member.type);
    }

    // A child element where a WPF property takes value objects.
    void ReadWpfChild(const surface::Member& member, const std::wstring& where, size_t& count) {
        const unsigned line = Line(), column = Column();
        const std::wstring local = Text(&IXmlReader::GetLocalName), prefix = Prefix();
        std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
        if (ns.empty()) ns = Uri(prefix);
        const std::wstring qualified = prefix.empty() ? local : prefix + L":" + local;
        if (ignorable_.count(ns)) {
            SkipElement();
            return;
        }
        // An object of the project's code (a validation rule, a sort description) or a sys: value where the
        // property takes any object: read, kept nowhere.
        const bool project = std::wstring_view(ns).starts_with(kClrNamespace);
        if (project || (IsSystemNamespace(ns) && !surface::FindClass(ItemType(member)))) {
            if (!IsCollection(member) && count > 0) Fail(where + L" holds one element only", line, column);
            ++count;
            Opened o = Open();
            ScopeCloser closer{scopes_};
            if (project && HasSimBase(o.attributes))
                Fail(L"the element '" + qualified + L"' in " + where +
                         L" is not supported: the simulation shows no elements in this property",
                     line, column);
            ReadDataValue(o);
            return;
        }
        if (ns == xamlns::Xaml && (local == L"Static" || local == L"Type" || local == L"Null")) {
            if (!IsCollection(member) && count > 0) Fail(where + L" holds one element only", line, column);
            ++count;
            ReadMarkupElement(local);
            return;
        }
        if (ns != xamlns::Presentation)
            Fail(where + L" cannot hold '" + qualified + L"' (a WPF value object is expected)", line, column);
        if (local.find(L'.') != std::wstring::npos)
            Fail(where + L" cannot hold the property element '" + local + L"'", line, column);
        if (IsTemplate(local)) {
            // A template in a value object (a column's CellTemplate): read and kept without effect.
            if (!IsCollection(member) && count > 0) Fail(where + L" holds one element only", line, column);
            ++count;
            if (IsKeptTemplate(local)) {
                Opened o = Open();
                ScopeCloser closer{scopes_};
                ReadTemplate(o);
            } else {
                SkipElement();
            }
            return;
        }
        if (const surface::Member* value = StructValue(local);
            value && !(IsAbstractName(local) && xml_.IsEmptyElement())) {
            // <FontStyle>Italic</FontStyle> among an AlternationConverter's values.
            if (!IsCollection(member) && count > 0) Fail(where + L" holds one element only", line, column);
            ++count;
            Opened o = Open();
            ScopeCloser closer{scopes_};
            ReadStructValue(o, *value);
            return;
        }
        const surface::Class* wpf = MarkupClass(local);
        if (!wpf) wpf = surface::FindClass(local);
        if (!wpf && IsCollection(member) && local == member.type) {
            // The property's collection written out (<GradientStopCollection>): its items are the property's.
            if (count > 0) Fail(where + L" holds one collection", line, column);
            const bool empty = xml_.IsEmptyElement();
            std::vector<Attribute> own = ReadAttributes();
            ScopeCloser closer{scopes_};
            for (const Attribute& a : own)
                if (!ignorable_.count(a.ns) && !(a.ns == xamlns::Xaml && a.local == L"Key"))
                    Fail(L"unknown attribute '" + a.Qualified() + L"' of " + local, a.line, a.column);
            if (!empty) ForEachChild(local, [&] { ReadWpfChild(member, L"<" + local + L">", count); });
            ++count;
            return;
        }
        if (!wpf) Fail(UnknownWpfElement(local), line, column);
        // A markup extension as an element (<Binding Path="Name"/>) gives a value of the property's type.
        if (!Accepts(member, *wpf) && !IsMarkupClass(*wpf))
            Fail(where + L" takes a " + member.type + L", not a '" + local + L"'", line, column);
        // Elements in a resource, or where a property takes a visual that it paints (VisualBrush.Visual), are
        // read as WPF reads them; nothing shows them. A property that would show its element in the tree
        // (one of type object) is refused.
        if (surface::IsElement(*wpf) && resources_ == 0 && member.type == std::wstring_view(L"object"))
            Fail(L"the element '" + local + L"' in " + where +
                     L" is not supported: the simulation shows no elements in this property",
                 line, column);
        if (!IsCollection(member) && count > 0) Fail(where + L" holds one element only", line, column);
        ++count;
        ReadValueObject(*wpf, local, line, column);
    }

    // A markup extension written as an element: <StaticResource ResourceKey="k"/>, <Binding Path="p"/>.
    static const surface::Class* MarkupClass(const std::wstring& local) {
        if (const surface::Class* wpf = surface::FindClass(local); wpf && IsMarkupClass(*wpf)) return wpf;
        if (const surface::Class* wpf = surface::FindClass(local + L"Extension")) return wpf;
        return nullptr;
    }
    static bool IsMarkupClass(const surface::Class& wpf) {
        return surface::DerivesFrom(wpf, L"BindingBase") || surface::DerivesFrom(wpf, L"MarkupExtension") ||
               std::wstring_view(wpf.name).ends_with(L"Extension");
    }

    // <x:Static Member="..."/>, <x:Type TypeName="..."/>, <x:Null/>: checked as their attribute forms are.
    void ReadMarkupElement(const std::wstring& local) {
        Opened o = Open();
        ScopeCloser closer{scopes_};
        std::wstring text = L"{x:" + local;
        for (const Attribute& a : o.attributes) {
            if (ignorable_.count(a.ns)) continue;
            const wchar_t* expected = local == L"Static" ? L"Member" : local == L"Type" ? L"TypeName" : L"";
            if (!a.ns.empty() || a.local != expected)
                Fail(L"unknown attribute '" + a.Qualified() + L"' of x:" + local, a.line, a.column);
            text += L" " + a.value;
        }
        if (!o.empty)
            ForEachChild(L"x:" + local,
                         [&] { Fail(L"x:" + local + L" holds no elements", Line(), Column()); });
        if (auto extension = ExtensionOf(text + L"}", o.line, o.column))
            ResolveExtension(*extension, o.line, o.column);
    }

    // An element name of WPF's that the surface does not list: 3D and the hosts of other frameworks are WPF's
    // and left out; anything else is unknown.
    static std::wstring UnknownWpfElement(const std::wstring& local) {
        constexpr std::wstring_view others[] = {
            L"WindowsFormsHost", L"ElementHost",      L"PerspectiveCamera", L"OrthographicCamera",
            L"DirectionalLight", L"AmbientLight",     L"PointLight",        L"SpotLight",
            L"DiffuseMaterial",  L"SpecularMaterial", L"EmissiveMaterial",  L"MaterialGroup"};
        if (std::wstring_view(local).ends_with(L"3D") ||
            std::find(std::begin(others), std::end(others), local) != std::end(others))
            return L"'" + local +
                   L"' is not supported: the simulation does not have this WPF class (3D and "
                   L"the hosts of other UI frameworks are left out)";
        // Classes that WPF's surface table leaves out: of its data namespace, and the generic page function
        // (written with x:TypeArguments).
        if (local == L"XmlNamespaceMappingCollection" || local == L"XmlNamespaceMapping" ||
            local == L"PageFunction")
            return L"'" + local + L"' is not supported: the simulation does not have this WPF class";
        return L"unknown element '" + local + L"'";
    }

    // A WPF value object (a brush, a transform, a command binding, a trigger): its attributes and children
    // checked as WPF reads them; it is kept nowhere.
    void ReadValueObject(const surface::Class& wpf, const std::wstring& qualified, unsigned line,
                         unsigned column) {
        const bool empty = xml_.IsEmptyElement();
        std::vector<Attribute> attributes = ReadAttributes();
        ScopeCloser closer{scopes_};
        ReadValueObject(wpf, qualified, attributes, empty, line, column);
    }

    // The value object whose start the parser has read (its namespace scope is the caller's to close).
    void ReadValueObject(const surface::Class& wpf, const std::wstring& qualified,
                         const std::vector<Attribute>& attributes, bool empty, unsigned line,
                         unsigned column) {
        if (surface::IsAbstract(wpf))
            Fail(L"'" + qualified + L"' is an abstract WPF class and cannot be an element", line, column);
        for (const Attribute& a : attributes) {
            auto unknown = [&] {
                Fail(L"unknown attribute '" + a.Qualified() + L"' of " + qualified, a.line, a.column);
            };
            if (ignorable_.count(a.ns)) continue;
            if (a.ns == xamlns::Compatibility) {
                if (a.local != L"Ignorable") unknown();
                continue;
            }
            if (a.ns == xamlns::Xaml) {
                if (a.local == L"Name") CheckName(a);
                if (a.local != L"Name" && a.local != L"Key" && a.local != L"Uid" && a.local != L"Shared")
                    unknown();
                continue;
            }
            if (a.ns == kXmlNamespace) {
                XmlAttribute(a);
                continue;
            }
            if (!a.ns.empty()) unknown();
            const std::wstring value = Value(a);
            if (size_t dot = a.local.find(L'.'); dot != std::wstring::npos)
                ApplyWpfAttached(nullptr, &wpf, std::wstring_view(a.local).substr(0, dot),
                                 std::wstring_view(a.local).substr(dot + 1), a, value);
            else
                ApplyWpfAttribute(nullptr, &wpf, qualified, a, value);
        }
        if (empty) return;
        const wchar_t* contentName = surface::ContentPropertyOf(wpf);
        const surface::Member* content = contentName ? surface::FindProperty(wpf, contentName) : nullptr;
        std::wstring text;
        size_t count = 0;
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType == XmlNodeType_EndElement) break;
            if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA)
                text += Text(&IXmlReader::GetValue);
            if (nodeType != XmlNodeType_Element) continue;
            const std::wstring local = Text(&IXmlReader::GetLocalName);
            std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
            if (ns.empty()) ns = Uri(Prefix());
            if (ns == xamlns::Xaml && local == L"XData") {
                // An XmlDataProvider's inline XML: data of its own, not XAML.
                if (!contentName || std::wstring_view(contentName) != L"XmlSerializer" || count > 0)
                    Fail(L"x:XData stands only as the one element of an XmlDataProvider", Line(), Column());
                ++count;
                SkipElement();
                continue;
            }
            if (const size_t dot = local.find(L'.');
                dot != std::wstring::npos && ns == xamlns::Presentation) {
                const unsigned l = Line(), c = Column();
                const std::wstring owner = local.substr(0, dot);
                const surface::Class* ownerClass = surface::FindClass(owner);
                const surface::Member* member =
                    ownerClass && surface::DerivesFrom(wpf, owner)
                        ? surface::FindProperty(*ownerClass, local.substr(dot + 1))
                        : nullptr;
                if (!member) Fail(L"the property element '" + local + L"' is not supported here", l, c);
                ReadWpfPropertyElement(nullptr, nullptr, *member, local, l, c, xml_.IsEmptyElement());
                continue;
            }
            if (!content) Fail(qualified + L" cannot hold the element '" + local + L"'", Line(), Column());
            ReadWpfChild(*content, qualified, count);
        }
        text = NormalizeText(text);
        if (text.empty()) return;
        // Text in a TextBlock's or a Span's inlines is a Run; a brush's text is its colour (XAML's
        // initialization text, read by the class's own converter).
        static constexpr surface::Member brush{L"Color", L"Brush", surface::Converter::Brush, 0, 0};
        if (count == 0 && content && content->type == std::wstring_view(L"InlineCollection")) return;
        const surface::Member* reader = content && content->converter != surface::Converter::None ? content
                                        : !content && surface::DerivesFrom(wpf, L"Brush")         ? &brush
                                                                                                  : nullptr;
        if (!reader || count > 0) Fail(qualified + L" cannot hold text", line, column);
        try {
            surface::Convert(*reader, text);
        } catch (const ValueError& e) {
            Fail(L"'" + text + L"' is no valid value of " + reader->name + L": " + e.message, line, column);
        }
    }

    // A row height or column width: a number, Auto, or a star share ("*", "2*"), kept as its negated weight.
    double DefinitionSize(const Attribute& a) {
        std::wstring_view value = a.value;
        try {
            if (value.ends_with(L"*")) {
                value.remove_suffix(1);
                double weight = value.empty() ? 1 : ToNumber(value);
                if (weight <= 0) throw ValueError{L"a positive star weight expected"};
                return -weight;
            }
            return ToLength(value);
        } catch (const ValueError& e) {
            Fail(L"'" + a.value + L"' is no valid value of " + a.local + L": " + e.message, a.line, a.column);
        }
    }

    struct Place {
        XmlNodeType type = XmlNodeType_None;
        unsigned line = 0, column = 0;
        bool operator==(const Place&) const = default;
    };

    IXmlReader& xml_;
    wpfsim::Application& app_;
    size_t readsLeft_;
    // The root names its class (x:Class): the window has code-behind, where event handlers live.
    bool codeBehind_ = false;
    Place last_;
    unsigned lastLine_ = 0;
    wpfsim::Element* root_ = nullptr;
    std::vector<std::map<std::wstring, std::wstring>> scopes_;
    std::set<std::wstring> ignorable_;
    std::map<std::wstring, unsigned> names_;
    std::map<std::wstring, wpfsim::Element*> elements_;
    // How deep the reader is in resources whose elements nothing shows.
    int resources_ = 0;
    // The file being read, the project's folder, the application file (empty: none found).
    std::wstring file_, projectRoot_, applicationFile_;
    Reader* parent_ = nullptr;           // the reader of the file that includes this one
    const ResourceMap* outer_ = nullptr; // a template's: the resources in scope where it stood
    bool contentChecked_ = false;        // a template made for an item: its templates were read at load
    ResourceMap application_;            // the application's resources
    ResourceMap document_;               // what an application or dictionary file defines
    ResourceMap* target_ = nullptr;      // a merged dictionary being read
    std::vector<std::wstring> notes_;
    bool themeMerged_ = false; // a dictionary merges one of WPF's themes
    // The elements being read, the window's first.
    std::vector<Frame> frames_;
    LONG persistIds_ = 0;
};

// OVHOST_DISPATCHER=Immediate or Deferred gives every application that mode, whatever its Window says, so
// that whole suites run in either.
void ForceDispatcherMode(wpfsim::Application& app) {
    wchar_t value[32];
    const DWORD length = GetEnvironmentVariableW(kDispatcherVariable, value, 32);
    if (length == 0) return;
    const std::wstring_view mode(value, length < 32 ? length : 0);
    if (mode == L"Immediate")
        app.GetDispatcher().SetMode(wpfsim::DispatcherMode::Immediate);
    else if (mode == L"Deferred")
        app.GetDispatcher().SetMode(wpfsim::DispatcherMode::Deferred);
    else
        throw XamlError{std::wstring(kDispatcherVariable) + L" is neither Immediate nor Deferred"};
}

std::unique_ptr<wpfsim::Application> ReadText(std::string_view bytes, const std::wstring& path,
                                              std::vector<std::wstring>* notes) {
    size_t characters = 0;
    ov::ComPtr<IXmlReader> xml = OpenXml(bytes, characters);
    auto app = std::make_unique<wpfsim::Application>();
    Reader reader(*xml, *app, characters);
    if (!path.empty()) reader.ReadApplicationOf(path);
    reader.ReadDocument();
    if (notes) *notes = reader.Notes();
    ForceDispatcherMode(*app);
    return app;
}

} // namespace

std::unique_ptr<wpfsim::Application> LoadXaml(const std::wstring& path, std::vector<std::wstring>* notes) {
    return ReadText(ReadFileBytes(path), FullPath(path), notes);
}

std::unique_ptr<wpfsim::Application> ParseXaml(std::string_view utf8, std::vector<std::wstring>* notes) {
    return ReadText(utf8, L"", notes);
}

} // namespace ovhost
