#include "Members.h"

#include "../services/Host.h"
#include "Run.h"

#include "ovWPFControlsLib.h"

#include <algorithm>
#include <cwctype>
#include <optional>
#include <set>

namespace ovhost {
namespace {

constexpr const wchar_t* kCommand = L"OVHookX64 members";

std::wstring HandedOutBy(std::wstring_view owner, std::wstring_view member) {
    for (const HandOut& h : HandOuts())
        if (owner == h.owner && member == h.member) return h.gives;
    return {};
}

std::wstring NameOf(ITypeInfo& info, MEMBERID id = MEMBERID_NIL) {
    ov::Bstr name;
    info.GetDocumentation(id, name.Put(), nullptr, nullptr, nullptr);
    return std::wstring(name.View());
}

std::wstring HelpOf(ITypeInfo& info, MEMBERID id = MEMBERID_NIL) {
    ov::Bstr help;
    info.GetDocumentation(id, nullptr, help.Put(), nullptr, nullptr);
    return std::wstring(help.View());
}

// Attributes of a type description, released with it.
class TypeAttr {
public:
    explicit TypeAttr(ITypeInfo& info) : info_(info) { ov::ThrowIfFailed(info.GetTypeAttr(&attr_)); }
    ~TypeAttr() { info_.ReleaseTypeAttr(attr_); }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    const TYPEATTR* operator->() const noexcept { return attr_; }

private:
    ITypeInfo& info_;
    TYPEATTR* attr_ = nullptr;
};

// The type a script sees, in the words of OLE Automation.
std::wstring TypeText(ITypeInfo& info, const TYPEDESC& type) {
    switch (type.vt) {
    case VT_PTR:
        return TypeText(info, *type.lptdesc);
    case VT_SAFEARRAY:
        return TypeText(info, *type.lptdesc) + L"()";
    case VT_USERDEFINED: {
        ov::ComPtr<ITypeInfo> referenced;
        if (FAILED(info.GetRefTypeInfo(type.hreftype, referenced.Put()))) return L"?";
        return NameOf(*referenced);
    }
    case VT_I1:
    case VT_UI1:
        return L"Byte";
    case VT_I2:
    case VT_UI2:
        return L"Integer";
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_HRESULT:
        return L"Long";
    case VT_I8:
    case VT_UI8:
        return L"LongLong";
    case VT_R4:
        return L"Single";
    case VT_R8:
        return L"Double";
    case VT_CY:
        return L"Currency";
    case VT_DATE:
        return L"Date";
    case VT_BSTR:
    case VT_LPWSTR:
    case VT_LPSTR:
        return L"String";
    case VT_DISPATCH:
        return L"Object";
    case VT_UNKNOWN:
        return L"Unknown";
    case VT_BOOL:
        return L"Boolean";
    case VT_VARIANT:
        return L"Variant";
    case VT_VOID:
        return {};
    default:
        return L"VT " + std::to_wstring(type.vt);
    }
}

// The enumeration a parameter's type names, or null.
ov::ComPtr<ITypeInfo> EnumOf(ITypeInfo& info, const TYPEDESC& type) {
    const TYPEDESC* t = &type;
    while (t->vt == VT_PTR)
        t = t->lptdesc;
    ov::ComPtr<ITypeInfo> referenced;
    if (t->vt != VT_USERDEFINED || FAILED(info.GetRefTypeInfo(t->hreftype, referenced.Put()))) return nullptr;
    return TypeAttr(*referenced)->typekind == TKIND_ENUM ? referenced : nullptr;
}

std::map<LONG, std::wstring> ConstantsOf(ITypeInfo& info) {
    std::map<LONG, std::wstring> names;
    const WORD count = TypeAttr(info)->cVars;
    for (WORD v = 0; v < count; ++v) {
        VARDESC* var = nullptr;
        if (FAILED(info.GetVarDesc(v, &var))) continue;
        ov::Variant value;
        if (var->varkind == VAR_CONST && var->lpvarValue &&
            SUCCEEDED(VariantChangeType(&value, var->lpvarValue, 0, VT_I4)))
            names.emplace(value.lVal, NameOf(info, var->memid));
        info.ReleaseVarDesc(var);
    }
    return names;
}

// A default value as a script writes it: an enumeration's constant, True or False, a number, a string.
std::wstring DefaultText(ITypeInfo& info, const ELEMDESC& parameter) {
    const VARIANT& value = parameter.paramdesc.pparamdescex->varDefaultValue;
    ov::Variant number;
    if (auto enumeration = EnumOf(info, parameter.tdesc);
        enumeration && SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_I4))) {
        const auto names = ConstantsOf(*enumeration);
        if (auto name = names.find(number.lVal); name != names.end()) return name->second;
    }
    if (parameter.tdesc.vt == VT_BOOL &&
        SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_BOOL)))
        return number.boolVal ? L"True" : L"False";
    ov::Variant text;
    if (FAILED(VariantChangeTypeEx(&text, const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_BSTR)))
        return L"?";
    const std::wstring written(ov::Bstr::CopyOf(text.bstrVal).View());
    return value.vt == VT_BSTR ? L"\"" + written + L"\"" : written;
}

MemberDoc ReadMember(ITypeInfo& info, const FUNCDESC& func, const std::wstring& interfaceName) {
    MemberDoc doc;
    std::vector<ov::Bstr> names(static_cast<size_t>(func.cParams) + 1);
    std::vector<BSTR> raw(names.size(), nullptr);
    UINT got = 0;
    info.GetNames(func.memid, raw.data(), static_cast<UINT>(raw.size()), &got);
    for (size_t i = 0; i < raw.size(); ++i)
        names[i] = ov::Bstr::Adopt(raw[i]);
    doc.name = std::wstring(names[0].View());
    doc.id = func.memid;
    doc.kind = func.invkind == INVOKE_PROPERTYGET                                            ? L"get"
               : func.invkind == INVOKE_PROPERTYPUT || func.invkind == INVOKE_PROPERTYPUTREF ? L"put"
                                                                                             : L"method";
    doc.help = HelpOf(info, func.memid);
    // A vtable description returns an HRESULT and hands the result through its last, retval parameter;
    // a dispatch description returns the result itself.
    if (func.elemdescFunc.tdesc.vt != VT_HRESULT) doc.result = TypeText(info, func.elemdescFunc.tdesc);
    for (SHORT p = 0; p < func.cParams; ++p) {
        const ELEMDESC& parameter = func.lprgelemdescParam[p];
        const USHORT flags = parameter.paramdesc.wParamFlags;
        if (flags & PARAMFLAG_FRETVAL) {
            doc.result = TypeText(info, parameter.tdesc);
            continue;
        }
        // A put's value has no name of its own in the description: the property's name stands for it.
        std::wstring name =
            static_cast<size_t>(p) + 1 < got ? std::wstring(names[p + 1].View()) : std::wstring(L"Value");
        std::wstring text = name + L": " + TypeText(info, parameter.tdesc);
        const bool optional = (flags & PARAMFLAG_FOPT) || (flags & PARAMFLAG_FHASDEFAULT) ||
                              func.cParams - p <= func.cParamsOpt;
        if ((flags & PARAMFLAG_FHASDEFAULT) && parameter.paramdesc.pparamdescex)
            text += L" = " + DefaultText(info, parameter);
        doc.arguments.push_back(optional ? L"[" + text + L"]" : text);
    }
    doc.handsOut = HandedOutBy(interfaceName, doc.name);
    return doc;
}

// The members of an interface and of the interfaces it derives from (IDispatch and IUnknown excluded),
// those of the bases first.
void ReadMembers(ITypeInfo& info, const std::wstring& interfaceName, InterfaceDoc& doc, bool own) {
    const TypeAttr attr(info);
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
        HREFTYPE ref = 0;
        ov::ComPtr<ITypeInfo> base;
        if (FAILED(info.GetRefTypeOfImplType(i, &ref)) || FAILED(info.GetRefTypeInfo(ref, base.Put())))
            continue;
        const std::wstring baseName = NameOf(*base);
        if (baseName == L"IDispatch" || baseName == L"IUnknown") continue;
        if (own) doc.bases.push_back(baseName);
        ReadMembers(*base, baseName, doc, false);
    }
    for (UINT f = 0; f < attr->cFuncs; ++f) {
        FUNCDESC* func = nullptr;
        if (FAILED(info.GetFuncDesc(f, &func))) continue;
        // The dispatch view of a dual interface repeats IUnknown's and IDispatch's members, restricted.
        if (!(func->wFuncFlags & (FUNCFLAG_FRESTRICTED | FUNCFLAG_FHIDDEN))) {
            MemberDoc member = ReadMember(info, *func, interfaceName);
            member.from = interfaceName;
            // A property's get and put share their DISPID, and with it the one help string the library
            // gives for it: one row.
            auto get = std::find_if(doc.members.begin(), doc.members.end(), [&](const MemberDoc& m) {
                return m.id == member.id && m.from == interfaceName && m.kind == std::wstring_view(L"get");
            });
            if (member.kind == std::wstring_view(L"put") && get != doc.members.end())
                get->kind = L"get, put";
            else
                doc.members.push_back(std::move(member));
        }
        info.ReleaseFuncDesc(func);
    }
}

InterfaceDoc ReadInterface(ITypeInfo& info) {
    InterfaceDoc doc;
    doc.name = NameOf(info);
    doc.help = HelpOf(info);
    // The dispatch view of a dual interface flattens what it inherits; its vtable view names its bases.
    ov::ComPtr<ITypeInfo> vtable;
    HREFTYPE ref = 0;
    if (const TypeAttr attr(info); attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL) &&
                                   SUCCEEDED(info.GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)))
        info.GetRefTypeInfo(ref, vtable.Put());
    ReadMembers(vtable ? *vtable : info, doc.name, doc, true);
    return doc;
}

std::wstring Lower(std::wstring text) {
    for (auto& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// --- the command ----------------------------------------------------------------------------------------

// A cell of a Markdown table: "|" would end it.
std::wstring Cell(std::wstring_view text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'|') out += L'\\';
        if (c == L'\r' || c == L'\n') c = L' ';
        out += c;
    }
    return out;
}

std::wstring Hex(DISPID id) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%lx", static_cast<unsigned long>(id));
    return text;
}

std::wstring Joined(const std::vector<std::wstring>& parts, std::wstring_view separator) {
    std::wstring out;
    for (const auto& part : parts)
        out += (out.empty() ? L"" : std::wstring(separator)) + part;
    return out;
}

// `shown`: the interfaces of the same object; members inherited from one of them are not repeated.
void AppendInterface(const InterfaceDoc& doc, const std::vector<std::wstring>& shown, std::wstring& out) {
    out += L"\n### " + doc.name + L"\n\n";
    if (!doc.help.empty()) out += doc.help + L"\n\n";
    std::vector<const MemberDoc*> members;
    for (const MemberDoc& m : doc.members)
        if (m.from == doc.name || std::find(shown.begin(), shown.end(), m.from) == shown.end())
            members.push_back(&m);
    for (const std::wstring& base : doc.bases)
        out += L"Inherits the members of " + base +
               (std::find(shown.begin(), shown.end(), base) != shown.end() ? L" (listed with it).\n\n"
                                                                           : L".\n\n");
    if (members.empty()) {
        out += L"No members of its own.\n";
        return;
    }
    out += L"| Member | Kind | Arguments | Result | DISPID | Help |\n| --- | --- | --- | --- | --- | --- |\n";
    for (const MemberDoc* member : members) {
        const MemberDoc& m = *member;
        std::wstring result = m.result;
        if (!m.handsOut.empty()) result += L": " + m.handsOut;
        out += L"| `" + m.name + L"` | " + m.kind + L" | " + Cell(Joined(m.arguments, L", ")) + L" | " +
               Cell(result) + L" | " + Hex(m.id) + L" | " + Cell(m.help) + L" |\n";
    }
}

// The kind infos by kind value, as the module's holder lists them.
std::map<LONG, ov::ComPtr<IovWindowMappingInfo>> KindInfos(Host& host) {
    std::map<LONG, ov::ComPtr<IovWindowMappingInfo>> infos;
    for (const auto& module : host.Modules()) {
        auto provider = module.object.As<IovWindowMappingProvider>();
        LONG count = 0;
        if (!provider || FAILED(provider->GetInfoCount(&count))) continue;
        for (LONG i = 0; i < count; ++i) {
            ov::ComPtr<IovWindowMappingInfo> info;
            LONG kind = -1;
            if (SUCCEEDED(provider->GetInfo(i, info.Put())) && info)
                if (auto mapping = info.As<IovWPFControlMappingInfo>();
                    mapping && SUCCEEDED(mapping->GetControlType(&kind)))
                    infos.emplace(kind, info);
        }
    }
    return infos;
}

// The type description of an interface by its name, from the libraries given.
ov::ComPtr<ITypeInfo> FindInterface(const std::vector<ov::ComPtr<ITypeLib>>& libraries,
                                    const std::wstring& name) {
    for (const auto& library : libraries)
        for (UINT i = 0, n = library->GetTypeInfoCount(); i < n; ++i) {
            ov::Bstr typeName;
            ov::ComPtr<ITypeInfo> info;
            if (SUCCEEDED(library->GetDocumentation(static_cast<INT>(i), typeName.Put(), nullptr, nullptr,
                                                    nullptr)) &&
                typeName.View() == name && SUCCEEDED(library->GetTypeInfo(i, info.Put())))
                return info;
        }
    return nullptr;
}

class Reference {
public:
    Reference(Host& host, std::vector<ov::ComPtr<ITypeLib>> libraries)
        : host_(host), libraries_(std::move(libraries)), infos_(KindInfos(host)),
          kindNames_(EnumNames(*libraries_.front(), L"WPFControlType")) {}

    const std::map<LONG, std::wstring>& KindNames() const noexcept { return kindNames_; }

    // The kinds' sections, then the interfaces their members hand out, each once.
    std::wstring Text(const std::vector<LONG>& kinds) {
        std::wstring out =
            L"# Members of the automation objects\n\n"
            L"What a script can call on the object that `App.Find` gives for each kind of control, and on "
            L"the "
            L"objects those members hand out, as the type libraries of ovWPFControlsHook.dll and "
            L"OVHookX64.exe "
            L"describe them. `OVHookX64 members [KIND]` prints it (`tools/ovhost members > docs/members.md` "
            L"writes this file anew; a test keeps the two equal). A script finds names without case, in the "
            L"order of the object's interfaces: the first interface that knows a name wins. An argument in "
            L"brackets may be left out; its default follows `=`. A property is read (get), written (put) or "
            L"both; the value written is of the type it reads.\n";
        std::vector<std::wstring> given;
        for (LONG kind : kinds)
            AppendKind(kind, given, out);
        out += L"\n## Objects that members hand out\n";
        for (size_t i = 0; i < given.size(); ++i) {
            ov::ComPtr<ITypeInfo> info = FindInterface(libraries_, given[i]);
            if (!info) {
                out += L"\n### " + given[i] + L"\n\nNot described by the type libraries.\n";
                continue;
            }
            InterfaceDoc doc = ReadInterface(*info);
            std::vector<std::wstring> by;
            for (const HandOut& h : HandOuts())
                if (given[i] == h.gives) by.push_back(std::wstring(h.owner) + L"." + h.member);
            AppendInterface(doc, {}, out);
            out += L"\nHanded out by " + Joined(by, L", ") + L".\n";
            Collect(doc, given);
        }
        return out;
    }

private:
    void AppendKind(LONG kind, std::vector<std::wstring>& given, std::wstring& out) {
        out += L"\n## " + kindNames_.at(kind) + L" (" + std::to_wstring(kind) + L")\n\n";
        auto info = infos_.find(kind);
        if (info == infos_.end()) {
            out += L"The module has no kind of this value: it is what a lookup gives when no kind takes an "
                   L"element.\n";
            return;
        }
        out += Describe(kind, *info->second) + L"\n";
        ov::ComPtr<IDispatch> object;
        GUID none{};
        auto mapping = info->second.As<IovWPFControlMappingInfo>();
        if (!mapping || FAILED(mapping->CreateControlWithKey(&none, object.Put())) || !object) {
            out += L"\nNo automation object: `App.Find` gives null (`Nothing`). " +
                   std::wstring(ReachedBy(kind)) + L"\n";
            return;
        }
        const std::vector<InterfaceDoc> interfaces = InterfacesOf(*object);
        object.Reset();
        std::vector<std::wstring> names;
        for (const auto& doc : interfaces)
            names.push_back(doc.name);
        out += L"\n`App.Find` gives an object with the members of " + Joined(names, L", ") +
               (names.size() > 1 ? L", in this order.\n" : L".\n");
        for (const auto& doc : interfaces) {
            AppendInterface(doc, names, out);
            Collect(doc, given);
        }
    }

    // How a script reaches the elements of a kind without an object of its own.
    static const wchar_t* ReachedBy(LONG kind) {
        switch (kind) {
        case ctrlWPFMenuItem:
            return L"A menu item is reached through a menu object (`WPFMenu`, `PopupMenu`, `SubMenu`) and "
                   L"its "
                   L"`Items` or a caption path.";
        case ctrlWPFContextMenu:
            return L"A context menu is reached through `PopupMenu` of the control it belongs to.";
        case ctrlWPFTreeViewItem:
            return L"A tree node is reached through `wItems` of its tree view, or by a path in the tree "
                   L"view's "
                   L"members.";
        case ctrlWPFPopupRoot:
        case ctrlWPFActTransparent:
            return L"Actions pass through decorations and layout elements to the element below.";
        default:
            return L"An item is named by its index or text in the members of the control that holds it.";
        }
    }

    // The kind's display name and the class names it takes by default.
    std::wstring Describe(LONG kind, IovWindowMappingInfo& info) const {
        // The last kind matches by what an element has, not by its class.
        if (kind == ctrlWPFBaseCtrl)
            return L"Every WPF element that no other kind takes: user classes and the WPF classes without a "
                   L"kind of their own.";
        ov::Bstr display;
        info.GetDisplayName(display.Put());
        LONG count = 0;
        info.GetDefaultClassNameCount(&count);
        std::vector<std::wstring> classes;
        for (LONG i = 0; i < count; ++i) {
            ov::Bstr name;
            if (SUCCEEDED(info.GetDefaultClassName(i, name.Put())))
                classes.push_back(L"`" + std::wstring(name.View()) + L"`");
        }
        std::wstring text =
            display.Empty() ? L"No display name" : L"\"" + std::wstring(display.View()) + L"\"";
        return text + L"; default class names: " + Joined(classes, L", ") + L".";
    }

    static void Collect(const InterfaceDoc& doc, std::vector<std::wstring>& given) {
        for (const MemberDoc& m : doc.members)
            if (!m.handsOut.empty() && std::find(given.begin(), given.end(), m.handsOut) == given.end())
                given.push_back(m.handsOut);
    }

    Host& host_;
    std::vector<ov::ComPtr<ITypeLib>> libraries_;
    std::map<LONG, ov::ComPtr<IovWindowMappingInfo>> infos_;
    std::map<LONG, std::wstring> kindNames_;
};

} // namespace

const std::vector<HandOut>& HandOuts() {
    static const std::vector<HandOut> handOuts = {
        {L"IovWPFControl", L"PopupMenu", L"IovWin32Menu"},
        {L"IovWPFMenu", L"WPFMenu", L"IovWin32Menu"},
        {L"IovWPFScrollHelper", L"HScroll", L"IovWPFHelperScrollBar"},
        {L"IovWPFScrollHelper", L"VScroll", L"IovWPFHelperScrollBar"},
        {L"IovWPFTreeView", L"wItems", L"IovWPFTreeViewItemCollection"},
        {L"IovWPFTreeViewItemCollection", L"Item", L"IovWPFTreeViewItem"},
        {L"IovWPFTreeViewItem", L"Items", L"IovWPFTreeViewItemCollection"},
        {L"IovWin32Menu", L"Items", L"IovWin32MenuItem"},
        {L"IovWin32MenuItem", L"SubMenu", L"IovWin32Menu"},
    };
    return handOuts;
}

std::vector<InterfaceDoc> InterfacesOf(IDispatch& object) {
    std::vector<InterfaceDoc> interfaces;
    UINT count = 0;
    if (FAILED(object.GetTypeInfoCount(&count))) return interfaces;
    for (UINT i = 0; i < count; ++i) {
        ov::ComPtr<ITypeInfo> info;
        if (SUCCEEDED(object.GetTypeInfo(i, LOCALE_USER_DEFAULT, info.Put())) && info)
            interfaces.push_back(ReadInterface(*info));
    }
    return interfaces;
}

std::vector<std::wstring> MemberSummaries(const std::vector<InterfaceDoc>& interfaces) {
    std::vector<std::wstring> summaries;
    std::set<std::wstring> seen;
    for (const InterfaceDoc& doc : interfaces)
        for (const MemberDoc& m : doc.members) {
            if (!seen.insert(Lower(m.name)).second) continue;
            std::vector<std::wstring> arguments;
            for (const std::wstring& a : m.arguments) {
                // The name alone, in its brackets when optional.
                const bool optional = a.starts_with(L"[");
                std::wstring name = a.substr(optional ? 1 : 0, a.find(L':') - (optional ? 1 : 0));
                arguments.push_back(optional ? L"[" + name + L"]" : name);
            }
            const bool property = m.kind != std::wstring_view(L"method");
            summaries.push_back(
                property && arguments.empty() ? m.name : m.name + L"(" + Joined(arguments, L", ") + L")");
        }
    return summaries;
}

std::map<LONG, std::wstring> EnumNames(ITypeLib& library, std::wstring_view enumName) {
    for (UINT i = 0, n = library.GetTypeInfoCount(); i < n; ++i) {
        TYPEKIND kind{};
        ov::Bstr typeName;
        ov::ComPtr<ITypeInfo> info;
        if (SUCCEEDED(library.GetTypeInfoType(i, &kind)) && kind == TKIND_ENUM &&
            SUCCEEDED(
                library.GetDocumentation(static_cast<INT>(i), typeName.Put(), nullptr, nullptr, nullptr)) &&
            typeName.View() == enumName && SUCCEEDED(library.GetTypeInfo(i, info.Put())))
            return ConstantsOf(*info);
    }
    return {};
}

int RunMembers(const Invocation& invocation) {
    const Console& console = invocation.console;
    auto fail = [&](int code, const std::wstring& reason) {
        console.err(std::wstring(kCommand) + L": " + reason + L"\n");
        return code;
    };
    const std::wstring program = invocation.productFolder + L"\\OVHookX64.exe";
    if (long hr = RegisterHostTypeLibrary(program); FAILED(hr))
        return fail(ExitModuleNotLoaded, L"the host type library " + program + L"\\3 cannot be registered (" +
                                             HResultText(hr) + L").");
    std::wstring out;
    {
        Host host(invocation.productFolder);
        try {
            host.LoadModule();
        } catch (const LoadError& e) {
            return fail(ExitModuleNotLoaded, e.Reason());
        }
        std::vector<ov::ComPtr<ITypeLib>> libraries(2);
        if (HRESULT hr = LoadTypeLib(host.ModulePath().c_str(), libraries[0].Put()); FAILED(hr))
            return fail(ExitModuleNotLoaded, L"the type library of " + host.ModulePath() +
                                                 L" cannot be read (" + HResultText(hr) + L").");
        if (HRESULT hr = LoadRegTypeLib(LIBID_Orvane, 6, 0, LOCALE_NEUTRAL, libraries[1].Put()); FAILED(hr))
            return fail(ExitModuleNotLoaded,
                        L"the host's type library cannot be read (" + HResultText(hr) + L").");
        // The reference holds the module's kind infos: it goes before the module does.
        std::optional<Reference> reference(std::in_place, host, libraries);
        std::vector<LONG> kinds;
        for (const auto& [value, name] : reference->KindNames())
            if (value != ctrlWPFUnknown) kinds.push_back(value);
        if (!invocation.arguments.empty()) {
            const std::wstring& asked = invocation.arguments[0];
            auto match = std::find_if(kinds.begin(), kinds.end(), [&](LONG kind) {
                return Lower(reference->KindNames().at(kind)) == Lower(asked) ||
                       std::to_wstring(kind) == asked;
            });
            if (match == kinds.end())
                return fail(ExitUsage,
                            L"unknown kind '" + asked +
                                L"': give a WPFControlType name such as ctrlWPFListBox, or its value.");
            kinds = {*match};
        }
        out = reference->Text(kinds);
        reference.reset();
        host.UnloadModule();
    }
    console.out(out);
    return ExitOk;
}

} // namespace ovhost
