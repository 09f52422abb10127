#include "TypeLibDump.h"

#include "dispatch/ComPtr.h"
#include "dispatch/OleTypes.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace ov::test {
namespace {

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr)) {
        char text[128];
        std::snprintf(text, sizeof text, "%s failed: 0x%08lX", what, static_cast<unsigned long>(hr));
        throw std::runtime_error(text);
    }
}

std::wstring Hex(unsigned long v) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%lX", v);
    return text;
}

std::wstring Quoted(std::wstring_view s) {
    std::wstring r = L"\"";
    for (wchar_t c : s) {
        if (c == L'"' || c == L'\\') {
            r += L'\\';
            r += c;
        } else if (c >= 0x20 && c < 0x7F) {
            r += c;
        } else {
            wchar_t esc[8];
            std::swprintf(esc, 8, L"\\x%04X", static_cast<unsigned>(c));
            r += esc;
        }
    }
    return r + L"\"";
}

struct FlagName {
    unsigned bit;
    const wchar_t* name;
};

template <size_t N> std::wstring Flags(unsigned value, const FlagName (&names)[N]) {
    std::wstring r;
    for (const FlagName& f : names) {
        if (!(value & f.bit)) continue;
        if (!r.empty()) r += L',';
        r += f.name;
        value &= ~f.bit;
    }
    if (value) r += (r.empty() ? L"" : L",") + Hex(value);
    return r;
}

constexpr FlagName kTypeFlags[] = {
    {TYPEFLAG_FAPPOBJECT, L"appobject"},
    {TYPEFLAG_FCANCREATE, L"cancreate"},
    {TYPEFLAG_FLICENSED, L"licensed"},
    {TYPEFLAG_FPREDECLID, L"predeclid"},
    {TYPEFLAG_FHIDDEN, L"hidden"},
    {TYPEFLAG_FCONTROL, L"control"},
    {TYPEFLAG_FDUAL, L"dual"},
    {TYPEFLAG_FNONEXTENSIBLE, L"nonextensible"},
    {TYPEFLAG_FOLEAUTOMATION, L"oleautomation"},
    {TYPEFLAG_FRESTRICTED, L"restricted"},
    {TYPEFLAG_FAGGREGATABLE, L"aggregatable"},
    {TYPEFLAG_FREPLACEABLE, L"replaceable"},
    {TYPEFLAG_FDISPATCHABLE, L"dispatchable"},
    {TYPEFLAG_FREVERSEBIND, L"reversebind"},
    {TYPEFLAG_FPROXY, L"proxy"},
};

constexpr FlagName kFuncFlags[] = {
    {FUNCFLAG_FRESTRICTED, L"restricted"},
    {FUNCFLAG_FSOURCE, L"source"},
    {FUNCFLAG_FBINDABLE, L"bindable"},
    {FUNCFLAG_FREQUESTEDIT, L"requestedit"},
    {FUNCFLAG_FDISPLAYBIND, L"displaybind"},
    {FUNCFLAG_FDEFAULTBIND, L"defaultbind"},
    {FUNCFLAG_FHIDDEN, L"hidden"},
    {FUNCFLAG_FUSESGETLASTERROR, L"usesgetlasterror"},
    {FUNCFLAG_FDEFAULTCOLLELEM, L"defaultcollelem"},
    {FUNCFLAG_FUIDEFAULT, L"uidefault"},
    {FUNCFLAG_FNONBROWSABLE, L"nonbrowsable"},
    {FUNCFLAG_FREPLACEABLE, L"replaceable"},
    {FUNCFLAG_FIMMEDIATEBIND, L"immediatebind"},
};

// The default value shows as a flag of its own (default=...).
constexpr FlagName kParamFlags[] = {
    {PARAMFLAG_FIN, L"in"},         {PARAMFLAG_FOUT, L"out"}, {PARAMFLAG_FLCID, L"lcid"},
    {PARAMFLAG_FRETVAL, L"retval"}, {PARAMFLAG_FOPT, L"opt"}, {PARAMFLAG_FHASCUSTDATA, L"custdata"},
};

const wchar_t* KindName(TYPEKIND kind) {
    switch (kind) {
    case TKIND_ENUM:
        return L"enum";
    case TKIND_RECORD:
        return L"record";
    case TKIND_MODULE:
        return L"module";
    case TKIND_INTERFACE:
        return L"interface";
    case TKIND_DISPATCH:
        return L"dispatch";
    case TKIND_COCLASS:
        return L"coclass";
    case TKIND_ALIAS:
        return L"alias";
    case TKIND_UNION:
        return L"union";
    default:
        return L"?";
    }
}

const wchar_t* InvokeKindName(INVOKEKIND kind) {
    switch (kind) {
    case INVOKE_FUNC:
        return L"method";
    case INVOKE_PROPERTYGET:
        return L"propget";
    case INVOKE_PROPERTYPUT:
        return L"propput";
    case INVOKE_PROPERTYPUTREF:
        return L"propputref";
    default:
        return L"?";
    }
}

std::wstring VtName(VARTYPE vt) {
    switch (vt) {
    case VT_EMPTY:
        return L"EMPTY";
    case VT_NULL:
        return L"NULL";
    case VT_I2:
        return L"I2";
    case VT_I4:
        return L"I4";
    case VT_R4:
        return L"R4";
    case VT_R8:
        return L"R8";
    case VT_CY:
        return L"CY";
    case VT_DATE:
        return L"DATE";
    case VT_BSTR:
        return L"BSTR";
    case VT_DISPATCH:
        return L"DISPATCH";
    case VT_ERROR:
        return L"ERROR";
    case VT_BOOL:
        return L"BOOL";
    case VT_VARIANT:
        return L"VARIANT";
    case VT_UNKNOWN:
        return L"UNKNOWN";
    case VT_DECIMAL:
        return L"DECIMAL";
    case VT_I1:
        return L"I1";
    case VT_UI1:
        return L"UI1";
    case VT_UI2:
        return L"UI2";
    case VT_UI4:
        return L"UI4";
    case VT_I8:
        return L"I8";
    case VT_UI8:
        return L"UI8";
    case VT_INT:
        return L"INT";
    case VT_UINT:
        return L"UINT";
    case VT_VOID:
        return L"VOID";
    case VT_HRESULT:
        return L"HRESULT";
    case VT_LPSTR:
        return L"LPSTR";
    case VT_LPWSTR:
        return L"LPWSTR";
    case VT_RECORD:
        return L"RECORD";
    case VT_INT_PTR:
        return L"INT_PTR";
    case VT_UINT_PTR:
        return L"UINT_PTR";
    default:
        return L"VT(" + std::to_wstring(vt) + L")";
    }
}

std::wstring NameOf(ITypeInfo* ti, MEMBERID id = MEMBERID_NIL, std::wstring* help = nullptr) {
    Bstr name, doc;
    Check(ti->GetDocumentation(id, name.Put(), help ? doc.Put() : nullptr, nullptr, nullptr),
          "GetDocumentation");
    if (help) *help = doc.c_str();
    return name.c_str();
}

// Releases a TYPEATTR, FUNCDESC or VARDESC with its owner's matching call.
template <class T, void (STDMETHODCALLTYPE ITypeInfo::*Release)(T*)> class Desc {
public:
    Desc(ITypeInfo* owner, T* desc) : owner_(owner), desc_(desc) {}
    Desc(const Desc&) = delete;
    Desc& operator=(const Desc&) = delete;
    ~Desc() { (owner_->*Release)(desc_); }
    const T* operator->() const { return desc_; }

private:
    ITypeInfo* owner_;
    T* desc_;
};

using TypeAttr = Desc<TYPEATTR, &ITypeInfo::ReleaseTypeAttr>;
using FuncDesc = Desc<FUNCDESC, &ITypeInfo::ReleaseFuncDesc>;
using VarDesc = Desc<VARDESC, &ITypeInfo::ReleaseVarDesc>;

TypeAttr GetAttr(ITypeInfo* ti) {
    TYPEATTR* a = nullptr;
    Check(ti->GetTypeAttr(&a), "GetTypeAttr");
    return TypeAttr(ti, a);
}

ComPtr<ITypeInfo> RefType(ITypeInfo* ti, HREFTYPE ref) {
    ComPtr<ITypeInfo> r;
    Check(ti->GetRefTypeInfo(ref, r.Put()), "GetRefTypeInfo");
    return r;
}

std::wstring TypeText(ITypeInfo* ti, const TYPEDESC& td) {
    switch (td.vt) {
    case VT_PTR:
        return L"PTR(" + TypeText(ti, *td.lptdesc) + L")";
    case VT_SAFEARRAY:
        return L"SAFEARRAY(" + TypeText(ti, *td.lptdesc) + L")";
    case VT_CARRAY:
        return L"CARRAY(" + TypeText(ti, td.lpadesc->tdescElem) + L")";
    case VT_USERDEFINED:
        return L"USERDEFINED(" + NameOf(RefType(ti, td.hreftype).Get()) + L")";
    default:
        return VtName(td.vt);
    }
}

// The automation type a value of this declared type travels as: enums as I4, aliases as their target.
VARTYPE ValueType(ITypeInfo* ti, const TYPEDESC& td) {
    if (td.vt != VT_USERDEFINED) return td.vt;
    ComPtr<ITypeInfo> ref = RefType(ti, td.hreftype);
    TypeAttr attr = GetAttr(ref.Get());
    if (attr->typekind == TKIND_ENUM) return VT_I4;
    if (attr->typekind == TKIND_ALIAS) return ValueType(ref.Get(), attr->tdescAlias);
    return VT_USERDEFINED;
}

// Values are compared by meaning, not by the variant type a compiler chose to store them in: a default is
// first coerced to the parameter's own type.
std::wstring ValueText(const VARIANT& value, VARTYPE as) {
    Variant v;
    if (as == VT_VARIANT || as == VT_USERDEFINED) as = value.vt;
    if (FAILED(VariantChangeTypeEx(&v, const_cast<VARIANT*>(&value), 0x0409, 0, as)))
        return VtName(value.vt) + L":?";
    switch (v.vt) {
    case VT_BOOL:
        return v.boolVal ? L"True" : L"False";
    case VT_BSTR:
        return Quoted(v.bstrVal ? v.bstrVal : L"");
    default: {
        Variant text;
        if (FAILED(VariantChangeTypeEx(&text, &v, 0x0409, 0, VT_BSTR))) return VtName(v.vt) + L":?";
        return text.bstrVal ? text.bstrVal : L"";
    }
    }
}

void DumpFunctions(std::wstring& out, ITypeInfo* ti, const std::wstring& typeName, const TypeAttr& attr) {
    std::vector<MEMBERID> seen;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* raw = nullptr;
        Check(ti->GetFuncDesc(i, &raw), "GetFuncDesc");
        FuncDesc fd(ti, raw);

        std::wstring help;
        std::wstring name = NameOf(ti, fd->memid, &help);
        // GetNames gives the function name, then the parameter names. It answers by memid, so a setter
        // shows its getter's names, as every client sees them.
        std::vector<Bstr> names(fd->cParams + 1);
        std::vector<BSTR> raws(names.size(), nullptr);
        UINT got = 0;
        Check(ti->GetNames(fd->memid, raws.data(), static_cast<UINT>(raws.size()), &got), "GetNames");
        for (UINT n = 0; n < got; ++n)
            names[n] = Bstr::Adopt(raws[n]);
        std::wstring head = typeName + L"." + name + L" " + InvokeKindName(fd->invkind);

        out += L"func " + head + L" id=" + Hex(static_cast<unsigned long>(fd->memid)) + L" slot=" +
               std::to_wstring(fd->oVft / static_cast<int>(sizeof(void*))) + L" ret=" +
               TypeText(ti, fd->elemdescFunc.tdesc) + L" params=" + std::to_wstring(fd->cParams);
        if (fd->wFuncFlags) out += L" fflags=" + Flags(fd->wFuncFlags, kFuncFlags);
        // Documentation is looked up by memid, which names the first function with it: a setter would only
        // repeat its getter's help, so it shows none.
        if (std::find(seen.begin(), seen.end(), fd->memid) == seen.end()) out += L" help=" + Quoted(help);
        seen.push_back(fd->memid);
        out += L"\n";

        for (SHORT p = 0; p < fd->cParams; ++p) {
            const ELEMDESC& ed = fd->lprgelemdescParam[p];
            const PARAMDESC& pd = ed.paramdesc;
            std::wstring pname = static_cast<UINT>(p + 1) < got ? std::wstring(names[p + 1].c_str()) : L"?";
            out += L"param " + head + L" [" + std::to_wstring(p) + L"] " + pname + L" type=" +
                   TypeText(ti, ed.tdesc) + L" flags=" +
                   Flags(pd.wParamFlags & ~PARAMFLAG_FHASDEFAULT, kParamFlags);
            if ((pd.wParamFlags & PARAMFLAG_FHASDEFAULT) && pd.pparamdescex)
                out += L" default=" + ValueText(pd.pparamdescex->varDefaultValue, ValueType(ti, ed.tdesc));
            out += L"\n";
        }
    }
}

void DumpConstants(std::wstring& out, ITypeInfo* ti, const std::wstring& typeName, const TypeAttr& attr) {
    for (UINT i = 0; i < attr->cVars; ++i) {
        VARDESC* raw = nullptr;
        Check(ti->GetVarDesc(i, &raw), "GetVarDesc");
        VarDesc vd(ti, raw);
        std::wstring help;
        std::wstring name = NameOf(ti, vd->memid, &help);
        std::wstring value = vd->varkind == VAR_CONST && vd->lpvarValue
                                 ? ValueText(*vd->lpvarValue, vd->lpvarValue->vt)
                                 : std::wstring(L"?");
        out += L"const " + typeName + L"." + name + L" = " + value + L" help=" + Quoted(help) + L"\n";
    }
}

void DumpType(std::wstring& out, ITypeLib* lib, UINT index) {
    ComPtr<ITypeInfo> ti;
    Check(lib->GetTypeInfo(index, ti.Put()), "GetTypeInfo");
    std::wstring help;
    std::wstring name = NameOf(ti.Get(), MEMBERID_NIL, &help);
    TypeAttr attr = GetAttr(ti.Get());

    out += L"type[" + std::to_wstring(index) + L"] " + name + L" kind=" + KindName(attr->typekind) +
           L" flags=" + Flags(attr->wTypeFlags, kTypeFlags);

    if (attr->typekind == TKIND_ENUM || attr->typekind == TKIND_RECORD || attr->typekind == TKIND_UNION) {
        out += L" help=" + Quoted(help) + L"\n";
        DumpConstants(out, ti.Get(), name, attr);
        return;
    }

    // The functions of a dual interface are listed from its vtable part: that is the order DispInvoke calls.
    ComPtr<ITypeInfo> body = ti;
    if (attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL)) {
        HREFTYPE ref = 0;
        Check(ti->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref), "GetRefTypeOfImplType(-1)");
        body = RefType(ti.Get(), ref);
    }
    TypeAttr bodyAttr = GetAttr(body.Get());
    std::wstring base = L"-";
    if (bodyAttr->cImplTypes > 0) {
        HREFTYPE ref = 0;
        Check(body->GetRefTypeOfImplType(0, &ref), "GetRefTypeOfImplType");
        base = NameOf(RefType(body.Get(), ref).Get());
    }
    if (body.Get() != ti.Get()) out += L" vflags=" + Flags(bodyAttr->wTypeFlags, kTypeFlags);
    out += L" base=" + base + L" funcs=" + std::to_wstring(bodyAttr->cFuncs) + L" slots=" +
           std::to_wstring(bodyAttr->cbSizeVft / sizeof(void*)) + L" help=" + Quoted(help) + L"\n";
    DumpFunctions(out, body.Get(), name, bodyAttr);
}

} // namespace

std::wstring DumpTypeLib(ITypeLib* lib) {
    if (!lib) throw std::invalid_argument("DumpTypeLib: no library");
    Bstr name, help;
    Check(lib->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr), "ITypeLib::GetDocumentation");
    TLIBATTR* la = nullptr;
    Check(lib->GetLibAttr(&la), "GetLibAttr");
    const TLIBATTR attr = *la;
    lib->ReleaseTLibAttr(la);

    const UINT count = lib->GetTypeInfoCount();
    std::wstring out = L"library " + std::wstring(name.c_str()) + L" version=" +
                       std::to_wstring(attr.wMajorVerNum) + L"." + std::to_wstring(attr.wMinorVerNum) +
                       L" lcid=" + std::to_wstring(attr.lcid) + L" syskind=" +
                       (attr.syskind == SYS_WIN64   ? L"win64"
                        : attr.syskind == SYS_WIN32 ? L"win32"
                                                    : L"other") +
                       L" types=" + std::to_wstring(count) + L" help=" + Quoted(help.View()) + L"\n";
    for (UINT i = 0; i < count; ++i)
        DumpType(out, lib, i);
    return out;
}

} // namespace ov::test
